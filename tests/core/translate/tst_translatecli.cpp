// "verdantis-cli translate" run as a user runs it, with its own HOME and the
// parsers it finds by itself.
#include "clirunner.h"
#include "translatetest.h"

#include "model/solutionfile.h"

#include <QProcess>

namespace {

const QString kLift = u"1|Lift|idle\n  3|User|call\n    1|Lift|moving\n      1|Lift|idle"_qs;

} // namespace

class TestTranslateCli : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        CKELDataManager m;
        TreeSketch::AddTree(m, kLift, u"Lift"_qs);
        TreeSketch::AddTree(m, u"2|Lift|idle"_qs, u"Broken"_qs);
        TreeSketch::AddTree(m, u"1|Basket|idle\n  3|User|add\n    1|Basket|items := items + {fig}|$"_qs, u"Sets"_qs);
        TreeSketch::AddTree(m, u"1|Door|closed\n  3|User|push\n    8|Door|opening\n      7|Door|opening"_qs,
                            u"Messages"_qs);
        TreeSketch::AddTree(m, u"1|Lift|idle\n1|Lift|moving"_qs, u"Roots"_qs);
        TreeSketch::AddTree(m, u"1|Lift|idle\n  3|User|call\n    1|Lift|floor++"_qs, u"Counter"_qs);
        m_solution = m_home.filePath(u"lift.kvf"_qs);
        QString error;
        QVERIFY2(CSolutionFile::Write(m, m_solution, &error), qPrintable(error));
    }

    void run_data()
    {
        QTest::addColumn<QStringList>("args"); // after "translate"; FILE stands for the solution
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out"); // the start of standard output
        QTest::addColumn<QString>("err"); // part of standard error
        const QString decl = TranslateTest::DataPath(u"sets-declarations.txt"_qs);
        QTest::newRow("sal, its context named after the tree")
            << QStringList{u"sal"_qs, u"FILE"_qs, u"Lift"_qs} << 0
            << u"lift:CONTEXT=\r\nBEGIN\r\nLift: TYPE={idle,moving};\r\n"_qs << QString();
        QTest::newRow("tree by id") << QStringList{u"uppaal"_qs, u"FILE"_qs, u"#ID"_qs} << 0
                                    << u"<?xml version='1.0' encoding='utf-8'?>"_qs << QString();
        QTest::newRow("mode 2") << QStringList{u"sal"_qs, u"FILE"_qs, u"Messages"_qs, u"--mode"_qs, u"2"_qs} << 0
                                << u"messages:CONTEXT="_qs << QString();
        QTest::newRow("mode 3 is no mode") << QStringList{u"sal"_qs, u"FILE"_qs, u"Lift"_qs, u"--mode"_qs, u"3"_qs} << 1
                                           << QString() << u"--mode takes 1, 2 or 4"_qs;
        QTest::newRow("translation error") << QStringList{u"sal"_qs, u"FILE"_qs, u"Broken"_qs} << 3 << QString()
                                           << u"Parsing error: Root node must be a state-realisation.\n"_qs;
        QTest::newRow("uppaal error") << QStringList{u"uppaal"_qs, u"FILE"_qs, u"Broken"_qs} << 3 << QString()
                                      << u"Parsing error: Root node must be a state-realisation."_qs;
        QTest::newRow("sets with the shipped parser")
            << QStringList{u"sal-sets"_qs, u"FILE"_qs, u"Sets"_qs, u"--declarations"_qs, decl} << 0
            << u"sets:CONTEXT=\r\nBEGIN\r\nBasket: TYPE={idle};\r\nFruit: TYPE={apple,pear,plum,fig};\r\n"_qs
            << QString();
        QTest::newRow("sets, declaration file missing")
            << QStringList{u"sal-sets"_qs, u"FILE"_qs, u"Sets"_qs, u"--declarations"_qs, u"missing.txt"_qs} << 3
            << QString() << u"Parsing error: Cannot read the declaration file: missing.txt"_qs;
        QTest::newRow("sets, parser from the command line")
            << QStringList{u"sal-sets"_qs, u"FILE"_qs,         u"Sets"_qs, u"--declarations"_qs,
                           decl,           u"--set-parser"_qs, u"true"_qs}
            << 3 << QString() << u"Parsing error: Cannot read the set parser output: "_qs;
        QTest::newRow("sets, scratch folder from the command line")
            << QStringList{u"sal-sets"_qs, u"FILE"_qs,      u"Sets"_qs, u"--declarations"_qs, decl, u"--set-parser"_qs,
                           u"true"_qs,     u"--scratch"_qs, u"mine"_qs}
            << 3 << QString() << u"mine/sets/SetParserOutput.txt"_qs;
        QTest::newRow("declarations without sets")
            << QStringList{u"sal"_qs, u"FILE"_qs, u"Lift"_qs, u"--declarations"_qs, decl} << 1 << QString()
            << u"--declarations, --init and --set-context go with 'translate sal-sets'"_qs;
        QTest::newRow("set context without sets")
            << QStringList{u"sal"_qs, u"FILE"_qs, u"Lift"_qs, u"--set-context"_qs, u"set.sal"_qs} << 1 << QString()
            << u"--set-context go with 'translate sal-sets'"_qs;
        QTest::newRow("set context over the model")
            << QStringList{u"sal-sets"_qs,      u"FILE"_qs,    u"Sets"_qs, u"--declarations"_qs, decl,
                           u"--set-context"_qs, u"set.sal"_qs, u"-o"_qs,   u"set.sal"_qs}
            << 1 << QString() << u"--set-context and -o name the same file"_qs;
        QTest::newRow("set context not named set.sal")
            << QStringList{u"sal-sets"_qs, u"FILE"_qs,          u"Sets"_qs,        u"--declarations"_qs,
                           decl,           u"--set-context"_qs, u"sets-lib.sal"_qs}
            << 0 << u"sets:CONTEXT="_qs << u"save it as set.sal beside the model"_qs;
        QTest::newRow("xml with the shipped parser")
            << QStringList{u"xml"_qs, u"FILE"_qs, u"Lift"_qs} << 0 << u"<bt>\r\n  <btreeid>"_qs << QString();
        QTest::newRow("xml, parser fails")
            << QStringList{u"xml"_qs, u"FILE"_qs, u"Lift"_qs, u"--behavior-parser"_qs, u"exit 5"_qs} << 3 << QString()
            << u"Parsing error: The behavior parser failed: exit code 5"_qs;
        QTest::newRow("times") << QStringList{u"sal"_qs, u"FILE"_qs, u"Lift"_qs, u"--times"_qs} << 0
                               << u"lift:CONTEXT="_qs << u"Parsing time (ms): "_qs;
        QTest::newRow("several roots")
            << QStringList{u"uppaal"_qs, u"FILE"_qs, u"Roots"_qs} << 3 << QString()
            << u"Parsing error: The tree has 2 roots; join them under one root or translate one subtree\n"_qs;
        QTest::newRow("several roots, xml") << QStringList{u"xml"_qs, u"FILE"_qs, u"Roots"_qs} << 3 << QString()
                                            << u"Parsing error: The tree has 2 roots;"_qs;
        QTest::newRow("integer range") << QStringList{u"sal"_qs, u"FILE"_qs, u"Counter"_qs, u"--int-range"_qs,
                                                      u"-3..7"_qs}
                                       << 0
                                       << u"% Integer attributes that no declaration bounds range over -3 .. 7\r\n"_qs
                                       << QString();
        QTest::newRow("integer range the wrong way round")
            << QStringList{u"sal"_qs, u"FILE"_qs, u"Counter"_qs, u"--int-range"_qs, u"7..3"_qs} << 1 << QString()
            << u"--int-range takes LOW..HIGH"_qs;
        QTest::newRow("integer range beyond 32 bits")
            << QStringList{u"uppaal"_qs, u"FILE"_qs, u"Counter"_qs, u"--int-range"_qs, u"0..4294967296"_qs} << 1
            << QString() << u"--int-range takes LOW..HIGH"_qs;
        QTest::newRow("properties, uppaal")
            << QStringList{u"uppaal"_qs, u"FILE"_qs, u"Lift"_qs, u"--properties"_qs} << 0
            << u"<?xml version='1.0' encoding='utf-8'?><!DOCTYPE nta PUBLIC "
               u"'-//Uppaal Team//DTD Flat System 1.2//EN'"_qs
            << QString();
        QTest::newRow("properties with xml") << QStringList{u"xml"_qs, u"FILE"_qs, u"Lift"_qs, u"--properties"_qs} << 1
                                             << QString() << u"--properties and --int-range go with"_qs;
        QTest::newRow("unknown kind") << QStringList{u"promela"_qs, u"FILE"_qs, u"Lift"_qs} << 1 << QString()
                                      << u"unknown command 'translate'"_qs;
        QTest::newRow("no tree") << QStringList{u"uppaal"_qs, u"FILE"_qs} << 1 << QString()
                                 << u"'translate uppaal' takes a solution file and a tree"_qs;
        QTest::newRow("unknown tree") << QStringList{u"sal"_qs, u"FILE"_qs, u"Escalator"_qs} << 2 << QString()
                                      << u"no tree named \"Escalator\""_qs;
        QTest::newRow("missing solution")
            << QStringList{u"sal"_qs, u"none.kvf"_qs, u"Lift"_qs} << 2 << QString() << u"Cannot read"_qs;
    }

    void run()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, out);
        QFETCH(QString, err);
        CKELDataManager m;
        QString error;
        QVERIFY(CSolutionFile::Read(m, m_solution, &error));
        const int liftId = m.FindTree(KEL::RBT, u"Lift"_qs)->GetId();
        args.replaceInStrings(u"FILE"_qs, m_solution);
        args.replaceInStrings(u"#ID"_qs, u"#"_qs + QString::number(liftId));
        const Result r = cli(QStringList{u"translate"_qs} + args);
        QVERIFY2(r.code == code, qPrintable(r.err));
        QVERIFY2(r.out.startsWith(out), qPrintable(r.out.left(300)));
        QVERIFY2(r.err.contains(err), qPrintable(r.err));
        if (code != 0)
            QCOMPARE(r.out, QString());
    }

    // With -o the text goes to the file; a SAL context takes the file's name.
    void outputFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("start");
        QTest::newRow("sal") << u"sal"_qs << u"lift.sal"_qs << u"lift:CONTEXT=\r\nBEGIN\r\n"_qs;
        QTest::newRow("sal, dotted name, made an identifier")
            << u"sal"_qs << u"lift.v2.sal"_qs << u"lift_v2:CONTEXT=\r\n"_qs;
        QTest::newRow("uppaal") << u"uppaal"_qs << u"lift.xml"_qs << u"<?xml version='1.0' encoding='utf-8'?>"_qs;
        QTest::newRow("xml") << u"xml"_qs << u"lift-tree.xml"_qs << u"<bt>\r\n"_qs;
    }

    void outputFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, file);
        QFETCH(QString, start);
        const Result r = cli({u"translate"_qs, kind, m_solution, u"Lift"_qs, u"-o"_qs, file});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.out, QString());
        const QString written = TranslateTest::ReadText(m_home.filePath(file));
        QVERIFY2(written.startsWith(start), qPrintable(written.left(200)));
        // the file holds what standard output shows, but for the context's name
        const Result printed = cli({u"translate"_qs, kind, m_solution, u"Lift"_qs});
        QCOMPARE(written.mid(written.indexOf(u":CONTEXT"_qs) < 0 ? 0 : written.indexOf(u":CONTEXT"_qs)),
                 printed.out.mid(printed.out.indexOf(u":CONTEXT"_qs) < 0 ? 0 : printed.out.indexOf(u":CONTEXT"_qs)));
    }

private:
    struct Result
    {
        int code = -1;
        QString out;
        QString err;
    };

    Result cli(const QStringList &args) const
    {
        const CliRun::Result r = CliRun::Run(args, m_home.path());
        return {r.exitCode, r.out, r.err};
    }

    QTemporaryDir m_home;
    QString m_solution;
};

QTEST_GUILESS_MAIN(TestTranslateCli)
#include "tst_translatecli.moc"
