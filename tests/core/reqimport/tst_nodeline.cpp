#include "reqimport/nodeline.h"

#include <QtTest>

class TestNodeLine : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("defaultKind");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("component");
        QTest::addColumn<QString>("behavior");
        QTest::addColumn<int>("kind");
        QTest::newRow("state") << u"R1:Door[open]"_qs << 1 << u"R1"_qs << u"Door"_qs << u"open"_qs << 1;
        QTest::newRow("selection") << u"R1:Door?closed?"_qs << 1 << u"R1"_qs << u"Door"_qs << u"closed"_qs << 2;
        QTest::newRow("event") << u"R1:Door??opened??"_qs << 1 << u"R1"_qs << u"Door"_qs << u"opened"_qs << 3;
        QTest::newRow("guard") << u"R1:Door???closed???"_qs << 1 << u"R1"_qs << u"Door"_qs << u"closed"_qs << 4;
        QTest::newRow("external input") << u"R1:User>>press<<"_qs << 1 << u"R1"_qs << u"User"_qs << u"press"_qs << 5;
        QTest::newRow("external output") << u"R1:Bell<<ring>>"_qs << 1 << u"R1"_qs << u"Bell"_qs << u"ring"_qs << 6;
        QTest::newRow("internal input") << u"R1:Door>lock<"_qs << 1 << u"R1"_qs << u"Door"_qs << u"lock"_qs << 7;
        QTest::newRow("internal output") << u"R1:Door<lock>"_qs << 1 << u"R1"_qs << u"Door"_qs << u"lock"_qs << 8;
        QTest::newRow("set-all bracket is no part of the name")
            << u"R1:Doors||closed"_qs << 1 << u"R1"_qs << u"Doors"_qs << u"closed"_qs << 9;
        QTest::newRow("set-any bracket is no part of the name")
            << u"R1:Bag[]any"_qs << 1 << u"R1"_qs << u"Bag"_qs << u"any"_qs << 10;
        QTest::newRow("bare [] opens an empty set-any")
            << u"R1:Door[]"_qs << 2 << u"R1"_qs << u"Door"_qs << QString() << 10;
        QTest::newRow("blanks around parts")
            << u" R2 : Big Door [ open wide ] "_qs << 1 << u"R2"_qs << u"Big Door"_qs << u"open wide"_qs << 1;
        QTest::newRow("no colon: empty tag") << u"Door[open]"_qs << 1 << QString() << u"Door"_qs << u"open"_qs << 1;
        QTest::newRow("no decoration: default kind")
            << u"R1:Door open"_qs << 3 << u"R1"_qs << u"Door open"_qs << QString() << 3;
        QTest::newRow("carriage return") << u"R1:Door[open]\r"_qs << 1 << u"R1"_qs << u"Door"_qs << u"open"_qs << 1;
        QTest::newRow("colon after the tag belongs to the rest")
            << u"R1:Door[a:b]"_qs << 1 << u"R1"_qs << u"Door"_qs << u"a:b"_qs << 1;
        QTest::newRow("missing closing bracket")
            << u"R1:Door[open"_qs << 2 << u"R1"_qs << u"Door"_qs << u"open"_qs << 1;
        QTest::newRow("empty line") << QString() << 4 << QString() << QString() << QString() << 4;
    }

    void parse()
    {
        QFETCH(QString, line);
        QFETCH(int, defaultKind);
        QFETCH(QString, tag);
        QFETCH(QString, component);
        QFETCH(QString, behavior);
        QFETCH(int, kind);
        const CNodeLine n = CNodeLine::Parse(line, defaultKind);
        QCOMPARE(n.tag, tag);
        QCOMPARE(n.component, component);
        QCOMPARE(n.behavior, behavior);
        QCOMPARE(n.kind, kind);
    }

    // Whatever "Create Node" writes, "Export Nodes" must read back.
    void buildReadsBack_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("line");
        QTest::newRow("state") << 1 << u"R1:Door[open]\n"_qs;
        QTest::newRow("condition") << 2 << u"R1:Door?open?\n"_qs;
        QTest::newRow("event") << 3 << u"R1:Door??open??\n"_qs;
        QTest::newRow("guard") << 4 << u"R1:Door???open???\n"_qs;
        QTest::newRow("input") << 5 << u"R1:Door>>open<<\n"_qs;
        QTest::newRow("output") << 6 << u"R1:Door<<open>>\n"_qs;
        QTest::newRow("set all") << 9 << u"R1:Door||open\n"_qs;
        QTest::newRow("set any") << 10 << u"R1:Door[]open\n"_qs;
    }

    void buildReadsBack()
    {
        QFETCH(int, kind);
        QFETCH(QString, line);
        QCOMPARE(CNodeLine::Build(u"R1"_qs, u"Door"_qs, u"open"_qs, kind), line);
        const CNodeLine back = CNodeLine::Parse(line, 1);
        QCOMPARE(back, (CNodeLine{u"R1"_qs, u"Door"_qs, u"open"_qs, kind}));
    }
};

QTEST_GUILESS_MAIN(TestNodeLine)
#include "tst_nodeline.moc"
