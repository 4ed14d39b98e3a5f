// The behavior-expression parser: the behavior texts the XML export sends
// and the lines it writes back.
#include "toolrunner.h"

#include <QtTest>

class TestBehaviorParser : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void behaviors_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("state") << u"open"_qs << QStringList{u"<state>open</state>"_qs};
        QTest::newRow("state with blanks") << u"  wide open "_qs << QStringList{u"<state>wide open</state>"_qs};
        QTest::newRow("empty") << QString() << QStringList{u"<state></state>"_qs};
        QTest::newRow("assignment") << u"count := 5"_qs
                                    << QStringList{u"<assignment>"_qs, u"<attribute>count</attribute>"_qs,
                                                   u"<value>5</value>"_qs, u"</assignment>"_qs};
        QTest::newRow("increment") << u"count++"_qs
                                   << QStringList{u"<increment>"_qs, u"<attribute>count</attribute>"_qs,
                                                  u"</increment>"_qs};
        QTest::newRow("decrement") << u"count --"_qs
                                   << QStringList{u"<decrement>"_qs, u"<attribute>count</attribute>"_qs,
                                                  u"</decrement>"_qs};
        const auto comparison = [](const char16_t *op, const char16_t *value) {
            return QStringList{u"<comparison>"_qs, u"<attribute>level</attribute>"_qs,
                               u"<operator>"_qs + QString::fromUtf16(op) + u"</operator>"_qs,
                               u"<value>"_qs + QString::fromUtf16(value) + u"</value>"_qs, u"</comparison>"_qs};
        };
        QTest::newRow("equal") << u"level = high"_qs << comparison(u"eq", u"high");
        QTest::newRow("double equal") << u"level==high"_qs << comparison(u"eq", u"high");
        QTest::newRow("not equal") << u"level != 0"_qs << comparison(u"ne", u"0");
        QTest::newRow("less") << u"level < 3"_qs << comparison(u"lt", u"3");
        QTest::newRow("greater") << u"level > 3"_qs << comparison(u"gt", u"3");
        QTest::newRow("at most") << u"level <= 3"_qs << comparison(u"le", u"3");
        QTest::newRow("at least") << u"level >= 3"_qs << comparison(u"ge", u"3");
        QTest::newRow("negation") << u"NOT(open)"_qs
                                  << QStringList{u"<not>"_qs, u"<state>open</state>"_qs, u"</not>"_qs};
        QTest::newRow("negated comparison, lower case")
            << u"not ( level < 3 )"_qs
            << QStringList{u"<not>"_qs} + comparison(u"lt", u"3") + QStringList{u"</not>"_qs};
        QTest::newRow("set-all with a binding")
            << u"||d : doors"_qs
            << QStringList{u"<quantifier>all</quantifier>"_qs, u"<variable>d</variable>"_qs, u"<set>doors</set>"_qs};
        QTest::newRow("set-any with a state")
            << u"[]closed"_qs << QStringList{u"<quantifier>any</quantifier>"_qs, u"<state>closed</state>"_qs};
        QTest::newRow("a colon without a separator is text") << u"a:b"_qs << QStringList{u"<state>a:b</state>"_qs};
        QTest::newRow("markup is escaped")
            << u"R&D <ok>"_qs
            << QStringList{u"<comparison>"_qs, u"<attribute>R&amp;D</attribute>"_qs, u"<operator>lt</operator>"_qs,
                           u"<value>ok&gt;</value>"_qs, u"</comparison>"_qs};
    }

    void behaviors()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        // framed as the XML export frames it
        const ToolRun r = RunTool(m_dir, text.toUtf8() + "\r\n \r\n", {}, u"BTSetExp.txt"_qs, u"OutPut"_qs);
        QCOMPARE(r.code, 0);
        QCOMPARE(r.lines, lines);
    }

    void missingInput()
    {
        const ToolRun r = RunTool(m_dir, "", {u"nowhere.txt"_qs, u"out.txt"_qs}, u"BTSetExp.txt"_qs, u"out.txt"_qs);
        QCOMPARE(r.code, 2);
        QVERIFY(!r.written);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestBehaviorParser)
#include "tst_behaviorparser.moc"
