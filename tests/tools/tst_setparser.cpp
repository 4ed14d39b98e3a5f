// The set-expression parser: every operation of the set rules, its output
// groups, and what it does with text it cannot read.
#include "toolrunner.h"

#include <QtTest>

class TestSetParser : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void expressions_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QStringList>("group");
        QTest::newRow("add") << u"items := items + {apple}"_qs
                             << QStringList{u"union"_qs, u"membership"_qs, u"Attribute items"_qs, u"Name items"_qs,
                                            u"VALUE apple"_qs};
        QTest::newRow("names outside ASCII")
            << u"Körbe := Körbe + {Äpfel}"_qs
            << QStringList{u"union"_qs, u"membership"_qs, u"Attribute Körbe"_qs, u"Name Körbe"_qs, u"VALUE Äpfel"_qs};
        QTest::newRow("names that start with a digit")
            << u"2nd := 2nd - {3rd}"_qs
            << QStringList{u"difference"_qs, u"membership"_qs, u"Attribute 2nd"_qs, u"Name 2nd"_qs, u"VALUE 3rd"_qs};
        QTest::newRow("remove") << u"items := items - {pear}"_qs
                                << QStringList{u"difference"_qs, u"membership"_qs, u"Attribute items"_qs,
                                               u"Name items"_qs, u"VALUE pear"_qs};
        QTest::newRow("add into another set")
            << u"all := items + { 3 }"_qs
            << QStringList{u"union"_qs, u"membership"_qs, u"Attribute all"_qs, u"Name items"_qs, u"VALUE 3"_qs};
        QTest::newRow("union") << u"items := items union Shelf.stock"_qs
                               << QStringList{u"union"_qs, u"Attribute items"_qs, u"Name items"_qs,
                                              u"Name Shelf.stock"_qs};
        QTest::newRow("diff") << u"a := a diff b"_qs
                              << QStringList{u"difference"_qs, u"Attribute a"_qs, u"Name a"_qs, u"Name b"_qs};
        QTest::newRow("difference") << u"a := a DIFFERENCE b"_qs
                                    << QStringList{u"difference"_qs, u"Attribute a"_qs, u"Name a"_qs, u"Name b"_qs};
        QTest::newRow("intersect") << u"a := a intersect b"_qs
                                   << QStringList{u"intersection"_qs, u"Attribute a"_qs, u"Name a"_qs, u"Name b"_qs};
        QTest::newRow("intersection") << u"a := a intersection b"_qs
                                      << QStringList{u"intersection"_qs, u"Attribute a"_qs, u"Name a"_qs, u"Name b"_qs};
        QTest::newRow("empty the set with braces") << u"a := {}"_qs << QStringList{u"empty"_qs, u"Attribute a"_qs};
        QTest::newRow("empty the set with a word") << u"a := empty"_qs << QStringList{u"empty"_qs, u"Attribute a"_qs};
        QTest::newRow("membership") << u"apple in items"_qs
                                    << QStringList{u"membership"_qs, u"Name items"_qs, u"VALUE apple"_qs};
        QTest::newRow("membership with not in")
            << u"apple not in items"_qs
            << QStringList{u"NOT"_qs, u"membership"_qs, u"Name items"_qs, u"VALUE apple"_qs};
        QTest::newRow("membership with NOT in front")
            << u"NOT apple in items"_qs
            << QStringList{u"NOT"_qs, u"membership"_qs, u"Name items"_qs, u"VALUE apple"_qs};
        QTest::newRow("two negations cancel")
            << u"not apple not in items"_qs << QStringList{u"membership"_qs, u"Name items"_qs, u"VALUE apple"_qs};
        QTest::newRow("subset") << u"a subset b"_qs << QStringList{u"subset"_qs, u"Name a"_qs, u"Name b"_qs};
        QTest::newRow("not a subset") << u"NOT a subset b"_qs
                                      << QStringList{u"NOT"_qs, u"subset"_qs, u"Name a"_qs, u"Name b"_qs};
        QTest::newRow("emptiness") << u"empty(a)"_qs << QStringList{u"empty"_qs, u"Name a"_qs};
        QTest::newRow("equal to the empty set")
            << u"a = {}"_qs << QStringList{u"empty"_qs, u"Name a"_qs, u"boolsym EqualTo"_qs};
        QTest::newRow("not equal to the empty set")
            << u"a != {}"_qs << QStringList{u"NOT"_qs, u"empty"_qs, u"Name a"_qs, u"boolsym EqualTo"_qs};
        QTest::newRow("less than") << u"|a| < 3"_qs
                                   << QStringList{u"cardinality"_qs, u"Name a"_qs, u"boolsym LessThan"_qs, u"Num 3"_qs};
        QTest::newRow("greater than") << u"card(a) > 0"_qs
                                      << QStringList{u"cardinality"_qs, u"Name a"_qs, u"boolsym GreaterThan"_qs,
                                                     u"Num 0"_qs};
        QTest::newRow("equal to") << u"|a| = 2"_qs
                                  << QStringList{u"cardinality"_qs, u"Name a"_qs, u"boolsym EqualTo"_qs, u"Num 2"_qs};
        QTest::newRow("at most") << u"|a|<=2"_qs
                                 << QStringList{u"cardinality"_qs, u"Name a"_qs, u"boolsym LessThanOrEqual"_qs,
                                                u"Num 2"_qs};
        QTest::newRow("at least") << u"Card(a) >= 12"_qs
                                  << QStringList{u"cardinality"_qs, u"Name a"_qs, u"boolsym GreaterThanOrEqual"_qs,
                                                 u"Num 12"_qs};
    }

    void expressions()
    {
        QFETCH(QString, expression);
        QFETCH(QStringList, group);
        const ToolRun r =
            RunTool(m_dir, expression.toUtf8() + "\r\n", {}, u"BTSetExp.txt"_qs, u"SetParserOutput.txt"_qs);
        QCOMPARE(r.code, 0);
        QCOMPARE(r.lines, QStringList{u"RULE 1"_qs} + group);
    }

    void refused_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("error");
        QTest::newRow("element without braces") << u"a := a + apple"_qs << u"ERROR expected '{' at 'apple'"_qs;
        QTest::newRow("NOT before an assignment")
            << u"NOT a := {}"_qs << u"ERROR expected a condition after NOT at ':='"_qs;
        QTest::newRow("unknown operation")
            << u"a := a times b"_qs << u"ERROR expected '+', '-', 'union', 'diff' or 'intersect' at 'times'"_qs;
        QTest::newRow("missing bound") << u"|a| <"_qs << u"ERROR expected a number at the end"_qs;
        QTest::newRow("no comparison") << u"|a| 3"_qs << u"ERROR expected a comparison at '3'"_qs;
        QTest::newRow("stray character") << u"a := a + {b};"_qs << u"ERROR unexpected character ';'"_qs;
        QTest::newRow("trailing words") << u"a subset b c"_qs << u"ERROR expected the end of the expression at 'c'"_qs;
        QTest::newRow("empty line") << QString() << u"ERROR an empty expression"_qs;
    }

    void refused()
    {
        QFETCH(QString, expression);
        QFETCH(QString, error);
        const ToolRun r =
            RunTool(m_dir, expression.toUtf8() + "\r\nempty(a)\r\n", {}, u"BTSetExp.txt"_qs, u"SetParserOutput.txt"_qs);
        QCOMPARE(r.code, 1);
        // the other lines are still answered, each in its place
        QCOMPARE(r.lines, (QStringList{u"RULE 1"_qs, error, u"RULE 2"_qs, u"empty"_qs, u"Name a"_qs}));
        QVERIFY(r.errors.contains(u"line 1: "_qs));
    }

    void filesFromTheCommandLine()
    {
        const ToolRun r = RunTool(m_dir, "a := {}\n", {u"in.txt"_qs, u"out.txt"_qs}, u"in.txt"_qs, u"out.txt"_qs);
        QCOMPARE(r.code, 0);
        QCOMPARE(r.lines, (QStringList{u"RULE 1"_qs, u"empty"_qs, u"Attribute a"_qs}));
    }

    void missingInput()
    {
        const ToolRun r = RunTool(m_dir, "", {u"nowhere.txt"_qs, u"out2.txt"_qs}, u"BTSetExp.txt"_qs, u"out2.txt"_qs);
        QCOMPARE(r.code, 2);
        QVERIFY(!r.written);
        QVERIFY(r.errors.contains(u"cannot read nowhere.txt"_qs));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestSetParser)
#include "tst_setparser.moc"
