#include "clirunner.h"

#include "layout/treelayout.h"
#include "model/keldatamanager.h"
#include "model/keltree.h"
#include "model/solutionfile.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// derive cbt and evt run as the real command line on small solutions and
// compared with golden files. In evolution/versions.kvf, trees 24, 32 and 39
// are "Door" in versions 1.0, 2.0 and 3.0 (the current one); 46 is "Window".
class TestCbtEvtCli : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_home.isValid()); }
    void deriveCbt_data();
    void deriveCbt();
    void evt_data();
    void evt();
    void refused_data();
    void refused();

private:
    struct Run
    {
        int exitCode = -1;
        QString out, err;
    };
    Run run(const QStringList &args);
    QTemporaryDir m_home;
};

namespace {
QString data(const QString &name)
{
    return QStringLiteral(VERDANTIS_TEST_DATA "/") + name;
}
QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

TestCbtEvtCli::Run TestCbtEvtCli::run(const QStringList &args)
{
    const CliRun::Result r = CliRun::Run(args, m_home.path());
    return {r.exitCode, r.out, r.err};
}

void TestCbtEvtCli::deriveCbt_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("tree");
    QTest::addColumn<QString>("component");
    QTest::addColumn<QString>("golden");
    QTest::newRow("nested with reversion and go to")
        << u"cbt/design.kvf"_qs << u"Design"_qs << u"Door"_qs << u"cbt/design_Door.txt"_qs;
    QTest::newRow("INIT over two branches")
        << u"cbt/design.kvf"_qs << u"Design"_qs << u"Light"_qs << u"cbt/design_Light.txt"_qs;
    QTest::newRow("single node stands alone")
        << u"cbt/design.kvf"_qs << u"Design"_qs << u"Timer"_qs << u"cbt/design_Timer.txt"_qs;
    QTest::newRow("letter case is its own component")
        << u"cbt/design.kvf"_qs << u"#9"_qs << u"door"_qs << u"cbt/design_lowercase_door.txt"_qs;
    QTest::newRow("evolution marks, INIT shown")
        << u"evolution/versions_evt.kvf"_qs << u"#49"_qs << u"Light"_qs << u"cbt/versions_evt_Light.txt"_qs;
    QTest::newRow("added in the last version")
        << u"evolution/versions_evt.kvf"_qs << u"#49"_qs << u"Bell"_qs << u"cbt/versions_evt_Bell.txt"_qs;
    QTest::newRow("dropped, guard brackets")
        << u"evolution/versions_evt.kvf"_qs << u"#49"_qs << u"Lock"_qs << u"cbt/versions_evt_Lock.txt"_qs;
}

void TestCbtEvtCli::deriveCbt()
{
    QFETCH(QString, file);
    QFETCH(QString, tree);
    QFETCH(QString, component);
    QFETCH(QString, golden);
    const Run r = run({u"derive"_qs, u"cbt"_qs, data(file), tree, component});
    QCOMPARE(r.err, QString());
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QString::fromUtf8(contents(data(golden))));
}

void TestCbtEvtCli::evt_data()
{
    QTest::addColumn<QStringList>("trees");
    QTest::newRow("other versions by id, current by name") << QStringList{u"#24"_qs, u"#32"_qs, u"Door"_qs};
    QTest::newRow("all by id") << QStringList{u"#24"_qs, u"#32"_qs, u"#39"_qs};
}

void TestCbtEvtCli::evt()
{
    QFETCH(QStringList, trees);
    const QString out = m_home.filePath(QString::fromUtf8(QTest::currentDataTag()) + u".kvf"_qs);
    const Run r = run(QStringList{u"evt"_qs, data(u"evolution/versions.kvf"_qs)} + trees + QStringList{u"-o"_qs, out});
    QCOMPARE(r.err, QString());
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, u"#49 1.0->Door, 2.0->Door, 3.0->Door\n"_qs);
    QCOMPARE(contents(out), contents(data(u"evolution/versions_evt.kvf"_qs)));
    // the tree is written laid out, as the window shows it: a layout pass
    // would move nothing
    CKELDataManager manager;
    QString error;
    QVERIFY2(CSolutionFile::Read(manager, out, &error), qPrintable(error));
    const auto *evt = manager.LookupAs<CKELTree>(49, KEL::EVT);
    QVERIFY(evt);
    const qsizetype moved = CTreeLayout(*evt).RearrangeAll().moves.size();
    QVERIFY2(moved == 0, qPrintable(QString::number(moved) + u" nodes out of place"_qs));
}

void TestCbtEvtCli::refused_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error");
    const QString design = data(u"cbt/design.kvf"_qs);
    const QString versions = data(u"evolution/versions.kvf"_qs);
    QTest::newRow("component not in the tree") << QStringList{u"derive"_qs, u"cbt"_qs, design, u"Design"_qs, u"Bell"_qs}
                                               << 2 << u"no component \"Bell\" in tree \"Design\""_qs;
    QTest::newRow("component not given") << QStringList{u"derive"_qs, u"cbt"_qs, design, u"Design"_qs} << 1
                                         << u"'derive cbt' takes"_qs;
    QTest::newRow("roots differ") << QStringList{u"evt"_qs, versions, u"#24"_qs, u"#46"_qs} << 2
                                  << u"Not all the root nodes are identical, so can't generate the evolution tree!"_qs;
    QTest::newRow("id of no tree") << QStringList{u"evt"_qs, versions, u"#24"_qs, u"#16"_qs} << 2
                                   << u"no tree with id #16"_qs;
    QTest::newRow("one tree only") << QStringList{u"evt"_qs, versions, u"#24"_qs} << 1 << u"at least two trees"_qs;
}

void TestCbtEvtCli::refused()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, error);
    const QString out = m_home.filePath(u"refused.kvf"_qs);
    const Run r = run(args + QStringList{u"-o"_qs, out});
    QCOMPARE(r.exitCode, exitCode);
    QCOMPARE(r.out, QString());
    QVERIFY2(r.err.contains(error), qPrintable(r.err));
    QVERIFY(!QFile::exists(out)); // nothing is written when nothing was built
}

QTEST_GUILESS_MAIN(TestCbtEvtCli)
#include "tst_cbtevtcli.moc"
