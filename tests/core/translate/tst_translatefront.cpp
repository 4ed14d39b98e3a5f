// The front end: threads and program counters, the rule factory, names,
// random trees and what the results dialog saves.
#include "salgrammar.h"
#include "translatetest.h"

#include "translate/identifier.h"
#include "translate/identifiermap.h"
#include "translate/translatecontext.h"
#include "translate/translateparsingrule.h"

#include <QSettings>

// Every node after the initialisation block as number:thread.pc, in pre-order.
static QString placement(const QString &sketch)
{
    CKELDataManager m;
    const CKELTree *tree = TreeSketch::AddTree(m, sketch);
    CTranslateContext ctx(CTranslateSettings(), false, false);
    ctx.BuildNodes(m, *tree);
    ctx.CheckInitialisationBlock();
    ctx.AssignThreads();
    QStringList out;
    for (int n = 1; n <= ctx.NodeCount(); ++n) {
        const CTranslateNode &node = ctx.Node(n);
        if (!node.initBlock)
            out.append(QStringLiteral("%1:%2.%3").arg(n).arg(node.thread).arg(node.pc));
    }
    return out.join(u' ') + QStringLiteral(" T=") + QString::number(ctx.Collections().ThreadCount());
}

class TestTranslateFront : public QObject
{
    Q_OBJECT
private slots:
    void threads_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<QString>("placement");
        QTest::newRow("one thread") << u"1|A|a\n  3|U|p\n    1|A|b"_qs << u"2:1.1 3:1.2 T=1"_qs;
        QTest::newRow("initialisation block of three")
            << u"1|A|a\n  1|B|b|*\n    1|C|c|*\n      3|U|p"_qs << u"4:1.1 T=1"_qs;
        QTest::newRow("every child of a branching starts at 1 in a thread of its own")
            << u"1|A|a\n  3|U|p\n    1|B|b\n      1|B|c\n    1|C|c\n    1|D|d"_qs
            << u"2:1.1 3:2.1 4:2.2 5:3.1 6:4.1 T=4"_qs;
        QTest::newRow("threads numbered in pre-order")
            << u"1|A|a\n  3|U|p\n    3|U|q\n      1|B|b\n      1|C|c\n    3|U|r"_qs
            << u"2:1.1 3:2.1 4:3.1 5:4.1 6:5.1 T=5"_qs;
        QTest::newRow("an atomic node joins its parent's step")
            << u"1|A|a\n  3|U|p\n    1|B|b|*\n      1|C|c"_qs << u"2:1.1 3:1.1 4:1.2 T=1"_qs;
        QTest::newRow("an atomic node with siblings starts a thread")
            << u"1|A|a\n  3|U|p\n    1|B|b|*\n    1|C|c|*"_qs << u"2:1.1 3:2.1 4:3.1 T=3"_qs;
        QTest::newRow("only the initialisation block") << u"1|A|a"_qs << u" T=0"_qs;
    }

    void threads()
    {
        QFETCH(QString, sketch);
        QFETCH(QString, placement);
        QCOMPARE(::placement(sketch), placement);
    }

    void createRule_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("made");
        for (int n = 0; n <= 20; ++n) {
            const bool made = (n >= 1 && n <= 19) && n != 6 && n != 9 && n != 10;
            QTest::addRow("rule %d", n) << n << made;
        }
        QTest::newRow("negative") << -1 << false;
    }

    void createRule()
    {
        QFETCH(int, number);
        QFETCH(bool, made);
        const std::unique_ptr<CTranslateParsingRule> rule = CreateRule(number);
        QCOMPARE(bool(rule), made);
        if (rule)
            QCOMPARE(rule->Number(), number);
    }

    void ruleLists()
    {
        QList<int> pre;
        for (const auto &r : PrePassRules())
            pre.append(r->Number());
        QList<int> main;
        for (const auto &r : MainRules())
            main.append(r->Number());
        QCOMPARE(pre, (QList<int>{8, 5}));
        QCOMPARE(main, (QList<int>{1, 2, 3, 4, 7, 11, 15, 14, 16, 17, 18, 13, 12, 19}));
    }

    void identifiers_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("variable");
        QTest::newRow("blank inside") << u"traffic light"_qs << u"Traffic_light"_qs << u"traffic_light"_qs;
        QTest::newRow("upper initial") << u"Traffic light"_qs << u"Traffic_light"_qs << u"traffic_light"_qs;
        QTest::newRow("blanks around are trimmed") << u"  Door  "_qs << u"Door"_qs << u"door"_qs;
        QTest::newRow("only the first character changes") << u"ABS unit"_qs << u"ABS_unit"_qs << u"aBS_unit"_qs;
        QTest::newRow("two blanks, two underscores") << u"a  b"_qs << u"A__b"_qs << u"a__b"_qs;
        QTest::newRow("empty") << QString() << QString() << QString();
        QTest::newRow("hyphen and full stop") << u"x-ray.unit"_qs << u"X_ray_unit"_qs << u"x_ray_unit"_qs;
        QTest::newRow("accents dropped") << u"Tür"_qs << u"Tur"_qs << u"tur"_qs;
        QTest::newRow("a letter with no Latin base") << u"Straße"_qs << u"Strasse"_qs << u"strasse"_qs;
        QTest::newRow("another script as code points") << u"門 A"_qs << u"U9580_A"_qs << u"u9580_A"_qs;
        QTest::newRow("UPPAAL built-in function") << u"exit"_qs << u"Exit_"_qs << u"exit_"_qs;
        QTest::newRow("SAL keyword as a type") << u"OBSERVE"_qs << u"OBSERVE_"_qs << u"oBSERVE_"_qs;
        QTest::newRow("starts with a digit") << u"2nd door"_qs << u"X2nd_door"_qs << u"x2nd_door"_qs;
        QTest::newRow("starts with an underscore") << u"_door"_qs << u"X_door"_qs << u"x_door"_qs;
        QTest::newRow("SAL keyword in any case") << u"begin"_qs << u"Begin_"_qs << u"begin_"_qs;
        QTest::newRow("UPPAAL keyword") << u"Clock"_qs << u"Clock_"_qs << u"clock_"_qs;
        QTest::newRow("keyword inside a name is fine") << u"end switch"_qs << u"End_switch"_qs << u"end_switch"_qs;
    }

    void identifiers()
    {
        QFETCH(QString, name);
        QFETCH(QString, type);
        QFETCH(QString, variable);
        QCOMPARE(MakeIdentifier(name, true), type);
        QCOMPARE(MakeIdentifier(name, false), variable);
    }

    // The map takes a keyword of SAL in any case (SAL reads words without case)
    // and one of UPPAAL in its own case only.
    void mapEscapesReservedWords_data()
    {
        QTest::addColumn<QString>("component");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("variable");
        QTest::newRow("SAL keyword in capitals") << u"BEGIN"_qs << u"BEGIN_"_qs << u"bEGIN_"_qs;
        QTest::newRow("SAL keyword with an upper initial") << u"Observe"_qs << u"Observe_"_qs << u"observe_"_qs;
        QTest::newRow("UPPAAL word in another case") << u"Exit"_qs << u"Exit"_qs << u"exit_"_qs;
        QTest::newRow("UPPAAL word in capitals") << u"ASSERT"_qs << u"ASSERT"_qs << u"aSSERT"_qs;
    }

    void mapEscapesReservedWords()
    {
        QFETCH(QString, component);
        QFETCH(QString, type);
        QFETCH(QString, variable);
        CIdentifierMap map;
        QCOMPARE(map.ComponentTypeName(component), type);
        QCOMPARE(map.ComponentVariableName(component), variable);
    }

    // A generated tree always translates, and its figures describe it.
    void randomTree_data()
    {
        QTest::addColumn<int>("iterations");
        QTest::addColumn<unsigned>("seed");
        QTest::newRow("one node") << 1 << 7u;
        QTest::newRow("two nodes") << 2 << 7u;
        QTest::newRow("100 nodes") << 100 << 1u;
        QTest::newRow("1000 nodes") << 1000 << 2u;
        QTest::newRow("5000 nodes") << 5000 << 3u;
    }

    void randomTree()
    {
        QFETCH(int, iterations);
        QFETCH(unsigned, seed);
        CKELDataManager m;
        const CKELTree *tree = TreeSketch::AddTree(m, u"2|Ignored|tree"_qs); // a random tree replaces it
        CTranslateSALMain sal;
        sal.Settings().useRandomTree = true;
        sal.Settings().iterations = QString::number(iterations);
        sal.Settings().randomSeed = seed;
        std::optional<CTranslationResult> r;
        try {
            r = sal.Translate(m, tree->GetId());
        } catch (const CTranslateException &e) {
            QFAIL(qPrintable(e.Message()));
        }
        QVERIFY(r->hasRandomFigures);
        QCOMPARE(r->nodes, iterations);
        QVERIFY(!r->text.contains(u"Ignored"_qs));
        QVERIFY(r->text.startsWith(u":CONTEXT=\r\nBEGIN\r\nC"_qs));
        QCOMPARE(SalGrammar::Check(r->text), QString());
        if (iterations >= 1000)
            QVERIFY(r->branches > 0 && r->reversions > 0 && r->macros > 0 && r->threadKills > 0);
        // the same seed gives the same tree
        const std::optional<CTranslationResult> again = sal.Translate(m, tree->GetId());
        QCOMPARE(again->text, r->text);
        // the random tree is for SAL only
        CTranslateUPPAAL uppaal;
        uppaal.Settings() = sal.Settings();
        QVERIFY_THROWS_EXCEPTION(CTranslateException, uppaal.Translate(m, tree->GetId()));
    }

    void badIterations_data()
    {
        QTest::addColumn<QString>("iterations");
        QTest::newRow("empty") << QString();
        QTest::newRow("zero") << u"0"_qs;
        QTest::newRow("negative") << u"-5"_qs;
        QTest::newRow("not a number") << u"many"_qs;
        QTest::newRow("more than the memory holds") << u"2000000000"_qs;
    }

    void badIterations()
    {
        QFETCH(QString, iterations);
        CKELDataManager m;
        const CKELTree *tree = TreeSketch::AddTree(m, u"1|A|a"_qs);
        CTranslateSALMain sal;
        sal.Settings().useRandomTree = true;
        sal.Settings().iterations = iterations;
        try {
            sal.Translate(m, tree->GetId());
            QFAIL("no error");
        } catch (const CTranslateException &e) {
            QCOMPARE(e.Text(), u"The number of iterations must be a whole number from 1 to 10000000: "_qs + iterations);
        }
    }

    void savedTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("saved");
        QTest::newRow("context named after the file")
            << u":CONTEXT=\r\nBEGIN"_qs << u"/tmp/lift.sal"_qs << u"lift:CONTEXT=\r\nBEGIN"_qs;
        QTest::newRow("an old name is replaced") << u"old:CONTEXT=\r\n"_qs << u"new.sal"_qs << u"new:CONTEXT=\r\n"_qs;
        QTest::newRow("only the last extension goes, the rest made an identifier")
            << u":CONTEXT="_qs << u"a.b.sal"_qs << u"a_b:CONTEXT="_qs;
        QTest::newRow("comment lines above the context stay")
            << u"% x_1 = x 1\r\n:CONTEXT="_qs << u"2 lifts.sal"_qs << u"% x_1 = x 1\r\nx2_lifts:CONTEXT="_qs;
    }

    void savedTexts()
    {
        QFETCH(QString, text);
        QFETCH(QString, file);
        QFETCH(QString, saved);
        CTranslationResult r;
        r.text = text;
        QCOMPARE(r.TextForFile(file), saved);
        r.kind = CTranslationResult::Uppaal;
        QCOMPARE(r.TextForFile(file), text);
    }

    // "Save times" writes the two times, and the figures only for a generated tree.
    void timesText_data()
    {
        QTest::addColumn<bool>("random");
        QTest::addColumn<QString>("text");
        QTest::newRow("a tree of the model") << false << u"Parsing time (ms): 12\r\nTranslation time (ms): 3"_qs;
        QTest::newRow("a generated tree")
            << true
            << u"Parsing time (ms): 12\r\nTranslation time (ms): 3\r\nNumber of Nodes: 100\r\nNumber of Branches: 7\r\n"
               "Number of Reversions: 5\r\nNumber of Macros: 4\r\nNumber of Thread Kills: 2"_qs;
    }

    void timesText()
    {
        QFETCH(bool, random);
        QFETCH(QString, text);
        CTranslationResult r;
        r.parsingMs = 12;
        r.translationMs = 3;
        r.hasRandomFigures = random;
        r.nodes = 100;
        r.branches = 7;
        r.reversions = 5;
        r.macros = 4;
        r.threadKills = 2;
        QCOMPARE(r.TimesText(), text);
    }

    void settingsKeepTheirValues()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"settings.ini"_qs);
        CTranslateSettings s;
        s.messageMode = 4;
        s.useFailureViews = true;
        s.displayTime = false;
        s.iterations = u"250"_qs;
        s.setParserCommand = u"my-parser {in} {out}"_qs;
        {
            QSettings out(path, QSettings::IniFormat);
            s.WriteTo(out);
        }
        QSettings in(path, QSettings::IniFormat);
        CTranslateSettings back;
        back.ReadFrom(in);
        QCOMPARE(back.messageMode, 4);
        QVERIFY(back.useFailureViews && !back.displayTime && !back.useRandomTree);
        QCOMPARE(back.iterations, u"250"_qs);
        QCOMPARE(back.setParserCommand, u"my-parser {in} {out}"_qs);
        QCOMPARE(CTranslateSettings::ValidMessageMode(3), 1);
    }
};

QTEST_GUILESS_MAIN(TestTranslateFront)
#include "tst_translatefront.moc"
