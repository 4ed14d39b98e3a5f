// SAL text of small trees, compared with golden files, and the errors that
// stop a translation.
#include "salgrammar.h"
#include "translatetest.h"

#include "translate/translatesalmain.h"

class TestSalTranslation : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_scratch.isValid()); }

    void golden_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("failureViews");
        QTest::addColumn<QString>("golden");

        const QString everyType = QStringLiteral("1|Door|closed\n"
                                                 "  3|User|push\n"
                                                 "    2|Door|closed\n"
                                                 "      4|Timer|NOT(running)\n"
                                                 "        5|Sensor|beam\n"
                                                 "          6|Lamp|on\n"
                                                 "            8|Ctrl|ready\n"
                                                 "              7|Ctrl|ready\n"
                                                 "                1|Counter|count := 0\n"
                                                 "                  1|Counter|count++\n"
                                                 "                    4|Counter|count < 5\n"
                                                 "                      1|Counter|count--\n"
                                                 "                        1|Door|open\n");
        QTest::newRow("every behavior type in sequence") << everyType << 1 << false << u"sal-every-type.sal"_qs;

        const QString messages = QStringLiteral("1|Door|closed\n"
                                                "  3|User|push\n"
                                                "    8|Motor|start\n"
                                                "      7|Motor|start\n"
                                                "        1|Motor|running\n"
                                                "          8|Door|opening\n"
                                                "            7|Door|opening\n"
                                                "              2|Motor|running\n"
                                                "                1|Door|open\n");
        QTest::newRow("mode 2 with internal messages") << messages << 2 << false << u"sal-mode2.sal"_qs;
        QTest::newRow("mode 2 without internal messages")
            << u"1|Door|closed\n  3|User|push\n    1|Door|open"_qs << 2 << false << u"sal-mode2-none.sal"_qs;
        QTest::newRow("mode 4") << messages << 4 << false << u"sal-mode4.sal"_qs;
        QTest::newRow("mode 4 without internal messages")
            << u"1|Door|closed\n  3|User|push\n    1|Door|open"_qs << 4 << false << u"sal-mode4-none.sal"_qs;

        const QString reversion = QStringLiteral("1|Oven|idle\n"
                                                 "  3|User|start\n"
                                                 "    1|Oven|cooking\n"
                                                 "      1|Light|on\n"
                                                 "        3|Timer|tick\n"
                                                 "          1|Oven|cooking|^\n"
                                                 "        3|User|stop\n"
                                                 "          1|Oven|idle|^\n");
        QTest::newRow("reversion, to a node and to the root") << reversion << 1 << false << u"sal-reversion.sal"_qs;

        const QString macro = QStringLiteral("1|Alarm|off\n"
                                             "  3|User|arm\n"
                                             "    1|Alarm|armed\n"
                                             "      3|Sensor|tripped\n"
                                             "        1|Siren|on\n"
                                             "      3|User|panic\n"
                                             "        1|Siren|on|=\n");
        QTest::newRow("go to another thread") << macro << 1 << false << u"sal-goto.sal"_qs;
        QTest::newRow("go to with failure views") << macro << 1 << true << u"sal-goto-views.sal"_qs;

        const QString kill = QStringLiteral("1|Pump|off\n"
                                            "  3|User|start\n"
                                            "    1|Pump|on\n"
                                            "      3|Sensor|high\n"
                                            "        1|Alarm|on\n"
                                            "          3|Sensor|low\n"
                                            "            1|Alarm|off\n"
                                            "      3|User|stop\n"
                                            "        3|Sensor|high|!\n"
                                            "          1|Pump|off\n");
        QTest::newRow("thread kill") << kill << 1 << false << u"sal-kill.sal"_qs;

        const QString concurrent = QStringLiteral("1|Light|off\n"
                                                  "  3|User|press\n"
                                                  "    1|Light|on\n"
                                                  "      3|Timer|expired\n"
                                                  "        1|Light|off\n"
                                                  "      3|Motion|seen\n"
                                                  "        1|Light|bright\n"
                                                  "      1|Fan|on\n");
        QTest::newRow("concurrent branching") << concurrent << 1 << false << u"sal-concurrent.sal"_qs;

        const QString alternative = QStringLiteral("1|Gate|closed\n"
                                                   "  3|Car|arrives\n"
                                                   "    2|Ticket|valid|~\n"
                                                   "      1|Gate|open\n"
                                                   "    2|Ticket|NOT(valid)|~\n"
                                                   "      1|Alarm|on\n");
        QTest::newRow("alternative branching") << alternative << 1 << false << u"sal-alternative.sal"_qs;

        const QString atomic = QStringLiteral("1|Door|closed\n"
                                              "  1|Light|off|*\n"
                                              "    3|User|push\n"
                                              "      1|Door|open|*\n"
                                              "        1|Light|on|*\n"
                                              "          6|Panel|opened|*\n"
                                              "            3|User|push\n"
                                              "              1|Door|closed\n");
        QTest::newRow("atomic blocks") << atomic << 1 << false << u"sal-atomic.sal"_qs;

        QTest::newRow("names with blanks")
            << u"1|Traffic light|red\n  3|Car|arrives\n    1|Traffic light|green light"_qs << 1 << false
            << u"sal-identifiers.sal"_qs;
        QTest::newRow("no input and no output: LOCAL follows the module head")
            << u"1|Door|closed\n  1|Door|open\n    1|Door|closed"_qs << 1 << false << u"sal-no-messages.sal"_qs;
        QTest::newRow("only the initialisation block")
            << u"1|Door|closed\n  1|Light|off|*"_qs << 1 << false << u"sal-init-only.sal"_qs;
    }

    void golden()
    {
        QFETCH(QString, sketch);
        QFETCH(int, mode);
        QFETCH(bool, failureViews);
        QFETCH(QString, golden);
        CTranslateSALMain sal;
        sal.Settings() = TranslateTest::Settings(m_scratch.path(), mode, failureViews);
        const QString text = TranslateTest::Translate(sal, sketch);
        QVERIFY(TranslateTest::MatchesGolden(text, golden));
        QCOMPARE(SalGrammar::Check(text), QString());
    }

    // The grammar check above would let none of these through.
    void grammarRefuses_data()
    {
        QTest::addColumn<QString>("change"); // what replaces "%1" in a good text
        QTest::addColumn<QString>("error");
        QTest::newRow("as it stands") << u"pc1: [0 .. 2]"_qs << QString();
        QTest::newRow("comma after the last declaration") << u"pc1: [0 .. 2],"_qs << u"expected an identifier"_qs;
        QTest::newRow("set library without the ';'")
            << u"pc1: [0 .. 2],\r\ns: set{T}!Set"_qs << u"expected ';' inside the context's braces"_qs;
        QTest::newRow("set library with the ';'") << u"pc1: [0 .. 2],\r\ns: set{T;}!Set"_qs << QString();
    }

    void grammarRefuses()
    {
        QFETCH(QString, change);
        QFETCH(QString, error);
        const QString text = u":CONTEXT=\r\nBEGIN\r\nT: TYPE={a,b};\r\n\r\nbehavior:MODULE=\r\nBEGIN\r\nLOCAL\r\n%1\r\n"
                             "INITIALIZATION\r\npc1=1;\r\nTRANSITION\r\n[\r\nA1:pc1=1-->\r\n\tpc1'=0;\r\n[]\r\n\r\n"
                             "A2: ELSE --> \r\n]\r\n\r\nEND; % of MODULE\r\n\r\nEND\r\n"_qs;
        const QString result = SalGrammar::Check(text.arg(change));
        QVERIFY2(error.isEmpty() ? result.isEmpty() : result.contains(error), qPrintable(result));
        // text after the context's END must be a comment that ends its line
        QVERIFY(!SalGrammar::Check(text.arg(u"pc1: [0 .. 2]"_qs) + u"; Time: 3\r\n"_qs).isEmpty());
        QVERIFY(!SalGrammar::Check(text.arg(u"pc1: [0 .. 2]"_qs) + u"% Time: 3"_qs).isEmpty());
        QVERIFY(SalGrammar::Check(text.arg(u"pc1: [0 .. 2]"_qs) + u"% Time: 3\r\n"_qs).isEmpty());
    }

    // How the text of a selection or guard becomes a condition.
    void conditions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("condition");
        QTest::newRow("state") << u"open"_qs << u"door=open"_qs;
        QTest::newRow("negated state") << u"NOT(open)"_qs << u"NOT(door=open)"_qs;
        QTest::newRow("negation in lower case with blanks") << u" not ( open ) "_qs << u"NOT(door=open)"_qs;
        QTest::newRow("a state that begins with NOT") << u"NOTHING"_qs << u"door=nOTHING"_qs;
        QTest::newRow("attribute equal") << u"mode = fast"_qs << u"door_mode=fast"_qs;
        QTest::newRow("attribute equal, doubled") << u"level == 2"_qs << u"door_level=2"_qs;
        QTest::newRow("attribute not equal") << u"level != 2"_qs << u"door_level/=2"_qs;
        QTest::newRow("less") << u"level<2"_qs << u"door_level<2"_qs;
        QTest::newRow("at most") << u"level <= 2"_qs << u"door_level<=2"_qs;
        QTest::newRow("more") << u"level > 2"_qs << u"door_level>2"_qs;
        QTest::newRow("at least") << u"level >= 2"_qs << u"door_level>=2"_qs;
        QTest::newRow("negated comparison") << u"NOT(level >= 2)"_qs << u"NOT(door_level>=2)"_qs;
        QTest::newRow("negative number, a blank after the operator") << u"level > -5"_qs << u"door_level> -5"_qs;
        QTest::newRow("true in capitals") << u"locked = TRUE"_qs << u"door_locked=true"_qs;
        QTest::newRow("two negations are no single one") << u"NOT(a) = NOT(b)"_qs << u"door_nOT_a_=nOT_b_"_qs;
    }

    void conditions()
    {
        QFETCH(QString, text);
        QFETCH(QString, condition);
        CKELDataManager m;
        CKELTree *tree = TreeSketch::AddTree(m, u"1|Door|closed\n  2|Door|x"_qs);
        tree->Nodes().last()->behavior = text;
        CTranslateSALMain sal;
        sal.Settings() = TranslateTest::Settings(m_scratch.path());
        const QString out = sal.Translate(m, tree->GetId())->text;
        QVERIFY2(out.contains(u"\r\nA1:pc1=1 AND "_qs + condition + u"-->\r\n"_qs), qPrintable(out));
    }

    // Each error stops the translation; the user sees "Parsing error: " and the rule's text.
    void errors_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty tree") << QString() << u"Root node must be a state-realisation."_qs;
        QTest::newRow("root is a selection")
            << u"2|Door|closed\n  1|Door|open"_qs << u"Root node must be a state-realisation."_qs;
        QTest::newRow("atomic guard after the root")
            << u"1|Door|closed\n  4|Door|open|*"_qs
            << u"Initialisation block must all be state-realisations with no branching."_qs;
        QTest::newRow("root branches") << u"1|Door|closed\n  1|A|a\n  1|B|b"_qs
                                       << u"Initialisation block must all be state-realisations with no branching."_qs;
        QTest::newRow("initialisation block branches")
            << u"1|Door|closed\n  1|A|a|*\n    3|U|p\n    3|U|q"_qs
            << u"Initialisation block must all be state-realisations with no branching."_qs;
        QTest::newRow("go to with no match") << u"1|Door|closed\n  3|User|push\n    1|Door|ajar|="_qs
                                             << u"Matching macro node not found for: Door ajar"_qs;
        QTest::newRow("go to with two matches")
            << u"1|Door|closed\n  3|User|push\n    1|Door|open\n      3|User|pull\n        1|Door|open\n          1|Door|open|="_qs
            << u"Too many matching macro nodes found for: Door open"_qs;
        QTest::newRow("go to an atomic node")
            << u"1|A|a\n  3|U|p\n    1|B|b\n      1|C|c|*\n        3|U|q\n          1|C|c|="_qs
            << u"Jumping to an atomic node is not allowed: C c"_qs;
        QTest::newRow("go to the initialisation block")
            << u"1|A|a\n  1|B|b|*\n    3|U|p\n      1|B|b|="_qs << u"Jumping to an atomic node is not allowed: B b"_qs;
        QTest::newRow("reversion whose ancestors differ in type")
            << u"1|Door|closed\n  3|User|push\n    2|Door|closed|^"_qs
            << u"Top reversion point not found for: Door closed"_qs;
        QTest::newRow("reversion to a sibling branch") << u"1|A|a\n  3|U|p\n    1|B|b\n    3|U|q\n      1|B|b|^"_qs
                                                       << u"Top reversion point not found for: B b"_qs;
        QTest::newRow("reversion to an atomic node")
            << u"1|A|a\n  3|U|p\n    1|B|b\n      1|C|c|*\n        3|U|q\n          1|C|c|^"_qs
            << u"Jumping to an atomic node is not allowed: C c"_qs;
        QTest::newRow("internal output without input")
            << u"1|Ctrl|idle\n  8|Ctrl|go"_qs << u"No matching internal input node found for: Ctrl <go>"_qs;
        QTest::newRow("internal output in an atomic block without input")
            << u"1|Ctrl|idle\n  3|U|p\n    8|Ctrl|go|*"_qs
            << u"No matching internal input node found for: Ctrl <go>"_qs;
        QTest::newRow("internal input of another component does not match")
            << u"1|Ctrl|idle\n  8|Ctrl|go\n    7|Motor|go"_qs
            << u"No matching internal input node found for: Ctrl <go>"_qs;
        QTest::newRow("branch kill naming no branch")
            << u"1|A|a\n  3|U|p\n    1|B|b|!"_qs << u"Branch kill not referring to a valid branch: B b"_qs;
        QTest::newRow("branch kill naming a node that starts no branch")
            << u"1|A|a\n  3|U|p\n    1|B|b\n      1|B|b|!"_qs << u"Branch kill not referring to a valid branch: B b"_qs;
        QTest::newRow("children mix NonDet and plain links")
            << u"1|A|a\n  3|U|p\n    1|B|b|~\n    1|C|c"_qs << u"No matching rules found for node: U p"_qs;
        QTest::newRow("branch starting with set-all")
            << u"1|A|a\n  3|U|p\n    9|S|all\n    1|C|c"_qs << u"No matching rules found for node: S all"_qs;
        QTest::newRow("set-all in sequence")
            << u"1|A|a\n  3|U|p\n    10|S|any"_qs << u"No matching rules found for node: S any"_qs;
        QTest::newRow("set-all in an atomic block")
            << u"1|A|a\n  3|U|p\n    9|S|x|*"_qs << u"No matching rules found for node: S x"_qs;
        QTest::newRow("set expression in a plain translation")
            << u"1|Basket|empty\n  3|U|p\n    1|Basket|items := items + {apple}|$"_qs
            << u"No matching rules found for node: Basket items := items + {apple}"_qs;
    }

    void errors()
    {
        QFETCH(QString, sketch);
        QFETCH(QString, message);
        CTranslateSALMain sal;
        sal.Settings() = TranslateTest::Settings(m_scratch.path());
        QCOMPARE(TranslateTest::Translate(sal, sketch), u"Parsing error: "_qs + message);
    }

    // Trees that a careless search would refuse, and steps that must keep
    // their nodes' order.
    void accepted_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<QString>("part"); // a line of the text
        QTest::newRow("two go-tos to one node")
            << u"1|A|a\n  3|U|p\n    1|B|b\n      3|U|q\n        1|B|b|=\n      3|U|r\n        1|B|b|="_qs
            << u"\tb'=b_b;"_qs; // a value that meets its component's variable is qualified
        QTest::newRow("go to a node a branch kill also names")
            << u"1|A|a\n  3|U|p\n    3|S|s\n      1|B|b\n    3|U|q\n      3|S|s|!\n        3|S|s|="_qs
            << u"A1:pc3=3 AND extInMsg_s_s=true-->"_qs;
        QTest::newRow("reversion to the nearest of two ancestors")
            << u"1|A|a\n  3|U|p\n    1|B|b\n      3|U|p\n        1|B|b\n          1|C|c\n            1|B|b|^"_qs
            << u"\tpc1'=6;"_qs;
        QTest::newRow("an input, then a selection in its atomic block")
            << u"1|Door|closed\n  3|User|push\n    2|Door|closed|*\n      1|Door|open"_qs
            << u"A1:pc1=1 AND extInMsg_user_push=true AND door=closed-->"_qs;
    }

    void accepted()
    {
        QFETCH(QString, sketch);
        QFETCH(QString, part);
        CTranslateSALMain sal;
        sal.Settings() = TranslateTest::Settings(m_scratch.path());
        const QString text = TranslateTest::Translate(sal, sketch);
        QVERIFY2(text.split(u"\r\n"_qs).contains(part), qPrintable(text));
    }

    void unknownTreeEndsQuietly()
    {
        CKELDataManager m;
        m.NewSolution();
        CTranslateSALMain sal;
        QVERIFY(!sal.Translate(m, 12345).has_value());
        QVERIFY(!sal.Translate(m, m.CurrentVersion()->GetId()).has_value()); // not a tree
    }

    // Deep and wide trees: no recursion, no rule pass that looks at every node for every node.
    void largeTrees_data()
    {
        QTest::addColumn<bool>("chain");
        QTest::addColumn<bool>("uppaal");
        QTest::newRow("chain of 100 000, SAL") << true << false;
        QTest::newRow("chain of 100 000, UPPAAL") << true << true;
        QTest::newRow("100 000 branches, SAL") << false << false;
        QTest::newRow("100 000 branches, UPPAAL") << false << true;
    }

    void largeTrees()
    {
        QFETCH(bool, chain);
        QFETCH(bool, uppaal);
        const int count = 100000;
        CKELDataManager m;
        CKELTree *tree = TreeSketch::AddTree(m, u"1|Door|closed\n  3|User|push"_qs);
        CKELMethod *parent = tree->Nodes().last();
        for (int i = 0; i < count; ++i) {
            CKELMethod *n = TreeOps::NewNode(m, *tree);
            n->component = QStringLiteral("C%1").arg(i % 7);
            n->behavior = QStringLiteral("s%1").arg(i % 11);
            n->behaviorType = i % 3 == 0 ? 1 : i % 3 == 1 ? 2 : 3;
            TreeOps::Link(m, parent, n);
            if (chain)
                parent = n;
        }
        CTranslateUPPAAL up;
        CTranslateSALMain sal;
        CTranslateSALMain &translator = uppaal ? up : sal;
        translator.Settings() = TranslateTest::Settings(m_scratch.path());
        const std::optional<CTranslationResult> r = translator.Translate(m, tree->GetId());
        QVERIFY(r.has_value());
        // one step per node after the initialisation block, and the push before them
        const QString last = chain ? QStringLiteral("pc1'=0") : QStringLiteral("pc%1'=0").arg(count + 1);
        if (!uppaal) {
            QVERIFY(r->text.contains(QStringLiteral("\r\nA%1: ELSE --> \r\n").arg(count + 2)));
            QVERIFY(r->text.contains(last));
        } else {
            QVERIFY(r->text.contains(chain
                                         ? QStringLiteral("id=\"p1_%1\"").arg(count + 1)
                                         : QStringLiteral("<name x=\"32\" y=\"16\">process%1</name>").arg(count + 1)));
        }
    }

private:
    QTemporaryDir m_scratch;
};

QTEST_GUILESS_MAIN(TestSalTranslation)
#include "tst_saltranslation.moc"
