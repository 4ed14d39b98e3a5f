// Translations with sets: declarations, the shipped set parser end to end,
// the initialisation file, and every way a file or the parser can fail.
#include "declarationcheck.h"
#include "salgrammar.h"
#include "translatetest.h"

#include "translate/translatesets.h"

#include <QRegularExpression>

namespace {

const QString kAllOperations = QStringLiteral("1|Basket|idle\n"
                                              "  3|User|add\n"
                                              "    1|Basket|items := items + {apple}|$\n"
                                              "      1|Basket|items := items - {pear}|$\n"
                                              "        1|Basket|items := items union extra|$\n"
                                              "          1|Basket|items := items diff extra|$\n"
                                              "            1|Basket|items := items intersect Shelf.stock|$\n"
                                              "              2|Basket|apple in items|$\n"
                                              "                2|Basket|pear not in items|$\n"
                                              "                  4|Basket|items subset Shelf.stock|$\n"
                                              "                    4|Basket|items = {}|$\n"
                                              "                      4|Basket|NOT empty(items)|$\n"
                                              "                        4|Basket|card(items) >= 2|$\n"
                                              "                          1|Basket|extra := {}|$\n"
                                              "                            1|Counter|count++\n"
                                              "                              1|Basket|idle\n");

CTranslateSetFiles files(bool init = true)
{
    return {TranslateTest::DataPath(u"sets-declarations.txt"_qs),
            init ? TranslateTest::DataPath(u"sets-init.txt"_qs) : QString()};
}

} // namespace

class TestSetTranslation : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_scratch.isValid()); }

    void golden_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("init");
        QTest::addColumn<QString>("golden");
        QTest::newRow("every set operation") << kAllOperations << 1 << true << u"sal-sets.sal"_qs;
        QTest::newRow("without an initialisation file") << kAllOperations << 1 << false << u"sal-sets-noinit.sal"_qs;
        QTest::newRow("mode 4")
            << u"1|Basket|idle\n  3|User|add\n    1|Basket|items := items + {plum}|$\n      4|Basket|NOT plum in items|$"_qs
            << 4 << true << u"sal-sets-mode4.sal"_qs;
        QTest::newRow("set steps in branches and atomic blocks")
            << u"1|Basket|idle\n  3|User|add\n    1|Basket|items := items + {plum}|$\n      1|Basket|full|*\n"
               "    2|Basket|card(items) = 0|$"_qs
            << 1 << false << u"sal-sets-branches.sal"_qs;
    }

    void golden()
    {
        QFETCH(QString, sketch);
        QFETCH(int, mode);
        QFETCH(bool, init);
        QFETCH(QString, golden);
        CTranslateSALMain sal;
        sal.Settings() = TranslateTest::Settings(m_scratch.path(), mode);
        const QString text = TranslateTest::Translate(sal, sketch, true, files(init));
        QVERIFY(TranslateTest::MatchesGolden(text, golden));
        QCOMPARE(SalGrammar::Check(text), QString());
        // the model and the set context it is saved with, as a whole
        QCOMPARE(SalGrammar::Checker(SalSetContext()).Check(), QString());
        QCOMPARE(DeclarationCheck::Sal(text, SalSetContext()), QString());
    }

    // Keyword lines as a set parser writes them, the short and the long forms alike.
    void parserOutput_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<int>("rule");
        QTest::addColumn<bool>("negated");
        QTest::newRow("add") << u"union\nmembership\nAttribute s\nName s\nVALUE e"_qs << 11 << false;
        QTest::newRow("add, short forms") << u"union\nmem\nattribute s\nName s\nVALUE e"_qs << 11 << false;
        QTest::newRow("union") << u"union\nAttribute s\nName s\nName t"_qs << 12 << false;
        QTest::newRow("remove") << u"difference\nmembership\nAttribute s\nName s\nVALUE e"_qs << 13 << false;
        QTest::newRow("difference") << u"difference\nAttribute s\nName s\nName t"_qs << 14 << false;
        QTest::newRow("diff") << u"diff\nAttribute s\nName s\nName t"_qs << 14 << false;
        QTest::newRow("cardinality") << u"cardinality\nName s\nboolsym LessThan\nNum 2"_qs << 15 << false;
        QTest::newRow("card, comparison on its own line")
            << u"card\nName s\nboolsym\nLessThan\nNum 2"_qs << 15 << false;
        QTest::newRow("empty, assigned") << u"empty\nAttribute s"_qs << 16 << false;
        QTest::newRow("empty, tested with NOT") << u"NOT\nempty\nName s\nboolsym EqualTo"_qs << 16 << true;
        QTest::newRow("intersection") << u"intersection\nAttribute s\nName s\nName t"_qs << 17 << false;
        QTest::newRow("intersect") << u"intersect\nAttribute s\nName s\nName t"_qs << 17 << false;
        QTest::newRow("membership") << u"membership\nName s\nVALUE e"_qs << 18 << false;
        QTest::newRow("mem with NOT") << u"NOT\nmem\nName s\nVALUE e"_qs << 18 << true;
        QTest::newRow("subset") << u"subset\nName s\nName t"_qs << 19 << false;
        QTest::newRow("union without an attribute") << u"union\nName s\nName t"_qs << 0 << false;
        QTest::newRow("no operation") << u"Name s\nVALUE e"_qs << 0 << false;
        QTest::newRow("unknown lines are skipped") << u"Comment whatever\nsubset\nName s\nName t"_qs << 19 << false;
    }

    void parserOutput()
    {
        QFETCH(QString, lines);
        QFETCH(int, rule);
        QFETCH(bool, negated);
        bool inOrder = false;
        const QList<CSetExpression> groups = CTranslateSets::ReadParserOutput(
            (u"RULE 1\n"_qs + lines + u"\nRULE 2\nsubset\nName a\nName b"_qs).split(u'\n'), &inOrder);
        QVERIFY(inOrder);
        QCOMPARE(groups.size(), 2);
        QCOMPARE(CTranslateSets::RuleFor(groups[0]), rule);
        QCOMPARE(groups[0].negated, negated);
        QCOMPARE(CTranslateSets::RuleFor(groups[1]), 19);
    }

    // The declaration check finds what a set context misses or repeats.
    void setContextChecked_data()
    {
        QTest::addColumn<QString>("removed");
        QTest::addColumn<QString>("added");
        QTest::addColumn<QString>("fault");
        QTest::newRow("as written") << QString() << QString() << QString();
        QTest::newRow("without size?") << u"size?"_qs << QString()
                                       << u"'size?' is used but the set context does not define it"_qs;
        QTest::newRow("without subset?") << u"subset?"_qs << QString()
                                         << u"'subset?' is used but the set context does not define it"_qs;
        QTest::newRow("union twice") << QString() << u"  union(a : Set, b : Set) : Set = a;\n"_qs
                                     << u"'union' is declared twice (the set context)"_qs;
    }

    void setContextChecked()
    {
        QFETCH(QString, removed);
        QFETCH(QString, added);
        QFETCH(QString, fault);
        QString context = SalSetContext();
        if (!removed.isEmpty()) // the definition's lines, up to the next one
            context.replace(QRegularExpression(u"\\n  "_qs + QRegularExpression::escape(removed) + u"\\(.*?;\\n"_qs,
                                               QRegularExpression::DotMatchesEverythingOption),
                            u"\n"_qs);
        context.replace(u"END\n"_qs, added + u"END\n"_qs);
        CTranslateSALMain sal;
        sal.Settings() = TranslateTest::Settings(m_scratch.path(), 1);
        const QString text = TranslateTest::Translate(sal, kAllOperations, true, files());
        QCOMPARE(DeclarationCheck::Sal(text, context), fault);
    }

    // size?(S, n) holds when S has exactly n elements; a bound beyond the type's
    // four values adds no further terms.
    void cardinality_data()
    {
        QTest::addColumn<QString>("test");
        QTest::addColumn<QString>("guard");
        const QString e = u"set{Fruit;}!empty?(basket_items)"_qs;
        const auto size = [](int n) { return QStringLiteral("set{Fruit;}!size?(basket_items,%1)").arg(n); };
        QTest::newRow("less than 2") << u"card(items) < 2"_qs << u"(%1 OR %2)"_qs.arg(e, size(1));
        QTest::newRow("less than 1") << u"card(items) < 1"_qs << e;
        QTest::newRow("less than 0") << u"card(items) < 0"_qs << u"FALSE"_qs;
        QTest::newRow("at most 2") << u"card(items) <= 2"_qs << u"(%1 OR %2 OR %3)"_qs.arg(e, size(1), size(2));
        QTest::newRow("at most 9") << u"card(items) <= 9"_qs
                                   << u"(%1 OR %2 OR %3 OR %4 OR %5)"_qs.arg(e, size(1), size(2), size(3), size(4));
        QTest::newRow("equal to 3") << u"card(items) = 3"_qs << size(3);
        QTest::newRow("equal to 0") << u"card(items) = 0"_qs << e;
        QTest::newRow("more than 0") << u"card(items) > 0"_qs << u"NOT (%1)"_qs.arg(e);
        QTest::newRow("more than 1") << u"card(items) > 1"_qs << u"NOT ((%1 OR %2))"_qs.arg(e, size(1));
        QTest::newRow("at least 2") << u"card(items) >= 2"_qs << u"NOT ((%1 OR %2))"_qs.arg(e, size(1));
        QTest::newRow("NOT less than 2") << u"NOT card(items) < 2"_qs << u"NOT ((%1 OR %2))"_qs.arg(e, size(1));
        QTest::newRow("bars around the set") << u"|items| < 2"_qs << u"(%1 OR %2)"_qs.arg(e, size(1));
    }

    void cardinality()
    {
        QFETCH(QString, test);
        QFETCH(QString, guard);
        CKELDataManager m;
        CKELTree *tree = TreeSketch::AddTree(m, u"1|Basket|idle\n  4|Basket|x|$"_qs);
        tree->Nodes().last()->behavior = test; // may hold the sketch's separator
        CTranslateSALMain sal;
        sal.Settings() = TranslateTest::Settings(m_scratch.path());
        const QString text = sal.Translate(m, tree->GetId(), true, files(false))->text;
        QVERIFY2(text.contains(u"\r\nA1:pc1=1 AND "_qs + guard + u"-->\r\n"_qs), qPrintable(text));
    }

    // A missing file or a failing parser gives a clear message and no text.
    void failures_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<QString>("declarations");
        QTest::addColumn<QString>("init");
        QTest::addColumn<QString>("parser");  // empty: the shipped one
        QTest::addColumn<QString>("message"); // a regular expression
        const QString oneSet = u"1|Basket|idle\n  1|Basket|items := items + {fig}|$"_qs;
        const QString declared = TranslateTest::DataPath(u"sets-declarations.txt"_qs);
        QTest::newRow("declaration file missing")
            << oneSet << u"/no/such/declarations.txt"_qs << QString() << QString()
            << u"^Cannot read the declaration file: /no/such/declarations.txt$"_qs;
        QTest::newRow("initialisation file missing") << oneSet << declared << u"/no/such/init.txt"_qs << QString()
                                                     << u"^Cannot read the initialisation file: /no/such/init.txt$"_qs;
        QTest::newRow("no declaration file: the set is not declared")
            << oneSet << QString() << QString() << QString() << u"^Set attribute not declared: Basket items$"_qs;
        QTest::newRow("undeclared operand")
            << u"1|Basket|idle\n  1|Basket|items := items union Shelf.fruit|$"_qs << declared << QString() << QString()
            << u"^Set attribute not declared: Shelf fruit$"_qs;
        QTest::newRow("expression the parser refuses")
            << u"1|Basket|idle\n  1|Basket|items := items + apple|$"_qs << declared << QString() << QString()
            << u"^Set expression not understood for: Basket items := items \\+ apple: expected '\\{' at 'apple'$"_qs;
        QTest::newRow("parser not there") << oneSet << declared << QString() << u"/no/such/parser {in} {out}"_qs
                                          << u"^The set parser failed: .*/no/such/parser.*$"_qs;
        QTest::newRow("parser writes nothing")
            << oneSet << declared << QString() << u"true"_qs
            << u"^Cannot read the set parser output: .*/sets/SetParserOutput.txt$"_qs;
        QTest::newRow("parser answers fewer expressions")
            << u"1|Basket|idle\n  1|Basket|items := {}|$\n    1|Basket|extra := {}|$"_qs << declared << QString()
            << u"printf 'RULE 1\\nempty\\nAttribute items\\n' > {out}"_qs
            << u"^The set parser's output does not match the expressions sent$"_qs;
        QTest::newRow("parser fails after writing")
            << oneSet << declared << QString() << u"cp {in} {out}; echo broken >&2; exit 4"_qs
            << u"^The set parser failed: broken$"_qs;
        QTest::newRow("keywords that no set rule takes")
            << oneSet << declared << QString() << u"printf 'RULE 1\\nunion\\nName items\\n' > {out}"_qs
            << u"^No matching rules found for node: Basket items := items \\+ \\{fig\\}$"_qs;
        QTest::newRow("set type without elements")
            << u"1|Basket|idle\n  1|Basket|extra := {}|$"_qs << TranslateTest::DataPath(u"sets-empty-type.txt"_qs)
            << QString() << QString() << u"^No element values known for the set type: Nothing$"_qs;
    }

    void failures()
    {
        QFETCH(QString, sketch);
        QFETCH(QString, declarations);
        QFETCH(QString, init);
        QFETCH(QString, parser);
        QFETCH(QString, message);
        CTranslateSALMain sal;
        sal.Settings() = TranslateTest::Settings(m_scratch.path());
        if (!parser.isEmpty())
            sal.Settings().setParserCommand = parser;
        CKELDataManager m;
        const CKELTree *tree = TreeSketch::AddTree(m, sketch);
        try {
            sal.Translate(m, tree->GetId(), true, {declarations, init});
            QFAIL("translated");
        } catch (const CTranslateException &e) {
            QVERIFY2(QRegularExpression(message).match(e.Text()).hasMatch(), qPrintable(e.Text()));
        }
    }

    // Anything after the context's END must be a comment.
    void timesAreComments()
    {
        CTranslateSALMain sal;
        sal.Settings() = TranslateTest::Settings(m_scratch.path());
        sal.Settings().displayTime = true;
        CKELDataManager m;
        const CKELTree *tree = TreeSketch::AddTree(m, kAllOperations);
        const CTranslationResult r = *sal.Translate(m, tree->GetId(), true, files());
        QVERIFY(r.timesShown);
        const QRegularExpression tail(u"\r\nEND\r\n% Time for reading initialisation file: \\d+\r\n"
                                      "% Time for parsing set info: \\d+\r\n$"_qs);
        QVERIFY2(tail.match(r.text).hasMatch(), qPrintable(r.text.right(200)));
        QCOMPARE(SalGrammar::Check(r.text), QString());
    }

    void noSetNodeRunsNoParser()
    {
        CTranslateSALMain sal;
        sal.Settings() = TranslateTest::Settings(m_scratch.path());
        sal.Settings().setParserCommand = u"exit 9"_qs;
        QVERIFY(!TranslateTest::Translate(sal, u"1|Door|closed\n  3|User|push"_qs, true, files())
                     .startsWith(u"Parsing error"_qs));
    }

private:
    QTemporaryDir m_scratch;
};

QTEST_GUILESS_MAIN(TestSetTranslation)
#include "tst_settranslation.moc"
