#include "treesketch.h"

#include "simulate/abstranslator.h"
#include "simulate/abstree.h"

#include <QtTest>

namespace {

// Lines joined as the simulator reads them: CR LF between, none at the end.
QString lines(const QStringList &l)
{
    return l.join(u"\r\n"_qs);
}

QString program(const QStringList &components, int maxEvents, const QStringList &body)
{
    QStringList l{u"["_qs};
    for (const QString &c : components)
        l << u"   c(\""_qs + c + u"\") - init,"_qs;
    l << u"   exteventCount - i(%1)"_qs.arg(maxEvents) << u"]."_qs << u"["_qs;
    l << body << u"]."_qs << u"[]."_qs;
    return lines(l);
}

// Makes the tree's one node "A.a" the top of a chain of `length` such nodes;
// returns the last.
CKELMethod *appendChain(CSketchSolution &t, int length)
{
    CKELMethod *last = t.Node(u"A"_qs);
    for (int i = 1; i < length; ++i) {
        CKELMethod *n = TreeOps::NewNode(t.m, *t.tree);
        n->component = u"A"_qs;
        n->behavior = u"a"_qs;
        TreeOps::Link(t.m, last, n);
        last = n;
    }
    return last;
}

} // namespace

class TestZephTranslator : public QObject
{
    Q_OBJECT
private slots:
    // The text is what the simulator parses: every blank counts.
    void translate_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<int>("maxEvents");
        QTest::addColumn<bool>("showIds");
        QTest::addColumn<QString>("expected");

        QTest::newRow("worked example") << u"C1.S1(C2.E1:3(C1.S2:2,C2.G:4))"_qs << 10 << false
                                        << program({u"C1"_qs, u"C2"_qs}, 10,
                                                   {u"   sr(c(\"C1\"), s(\"S1\")); "_qs,
                                                    u"      wait(e(\"C2-E1\")); "_qs, u"         pl(["_qs,
                                                    u"            leaf(sel(c(\"C1\"), s(\"S2\"))), "_qs,
                                                    u"            leaf(gd(c(\"C2\"), s(\"G\")))"_qs,
                                                    u"         ])"_qs});
        QTest::newRow("single node") << u"X.Y"_qs << 10 << false
                                     << program({u"X"_qs}, 10, {u"   leaf(sr(c(\"X\"), s(\"Y\")))"_qs});
        QTest::newRow("chain indents per level")
            << u"A.a(B.b(C.c))"_qs << 10 << false
            << program({u"A"_qs, u"B"_qs, u"C"_qs}, 10,
                       {u"   sr(c(\"A\"), s(\"a\")); "_qs, u"      sr(c(\"B\"), s(\"b\")); "_qs,
                        u"         leaf(sr(c(\"C\"), s(\"c\")))"_qs});
        QTest::newRow("atomic only child")
            << u"A.a(B.b*)"_qs << 10 << false
            << program({u"A"_qs, u"B"_qs}, 10,
                       {u"   sr(c(\"A\"), s(\"a\"))++ "_qs, u"      leaf(sr(c(\"B\"), s(\"b\")))"_qs});
        QTest::newRow("atomic child among several is a branch")
            << u"A.a(B.b*,C.c)"_qs << 10 << false
            << program({u"A"_qs, u"B"_qs, u"C"_qs}, 10,
                       {u"   sr(c(\"A\"), s(\"a\")); "_qs, u"      pl(["_qs,
                        u"         leaf(sr(c(\"B\"), s(\"b\"))), "_qs, u"         leaf(sr(c(\"C\"), s(\"c\")))"_qs,
                        u"      ])"_qs});
        QTest::newRow("kinds without text")
            << u"A.a:0(B.b:5)"_qs << 10 << false << program({u"A"_qs, u"B"_qs}, 10, {u"   ; "_qs, u"      leaf()"_qs});
        QTest::newRow("reversion") << u"X.Y^"_qs << 10 << false
                                   << program({u"X"_qs}, 10, {u"   leaf(revert(sr(c(\"X\"), s(\"Y\"))))"_qs});
        QTest::newRow("go to an event") << u"B.p:3="_qs << 10 << false
                                        << program({u"B"_qs}, 10, {u"   leaf(goto(wait(e(\"B-p\"))))"_qs});
        QTest::newRow("node ids") << u"A.a(B.b,C.c^)"_qs << 10 << true
                                  << program(
                                         {u"A"_qs, u"B"_qs, u"C"_qs}, 10,
                                         {u"   inf(nodeInfo(\"0\"), sr(c(\"A\"), s(\"a\"))); "_qs, u"      pl(["_qs,
                                          u"         leaf(inf(nodeInfo(\"00\"), sr(c(\"B\"), s(\"b\")))), "_qs,
                                          u"         leaf(inf(nodeInfo(\"01\"), revert(sr(c(\"C\"), s(\"c\")))))"_qs,
                                          u"      ])"_qs});
        QTest::newRow("component once, first place")
            << u"A.a(B.b(A.c,C.d))"_qs << 3 << false
            << program({u"A"_qs, u"B"_qs, u"C"_qs}, 3,
                       {u"   sr(c(\"A\"), s(\"a\")); "_qs, u"      sr(c(\"B\"), s(\"b\")); "_qs, u"         pl(["_qs,
                        u"            leaf(sr(c(\"A\"), s(\"c\"))), "_qs,
                        u"            leaf(sr(c(\"C\"), s(\"d\")))"_qs, u"         ])"_qs});
        QTest::newRow("nested branches") << u"R.r(A.a(X.x,Y.y),B.b)"_qs << 0 << false
                                         << program({u"R"_qs, u"A"_qs, u"X"_qs, u"Y"_qs, u"B"_qs}, 0,
                                                    {u"   sr(c(\"R\"), s(\"r\")); "_qs, u"      pl(["_qs,
                                                     u"         sr(c(\"A\"), s(\"a\")); "_qs, u"            pl(["_qs,
                                                     u"               leaf(sr(c(\"X\"), s(\"x\"))), "_qs,
                                                     u"               leaf(sr(c(\"Y\"), s(\"y\")))"_qs,
                                                     u"            ]), "_qs,
                                                     u"         leaf(sr(c(\"B\"), s(\"b\")))"_qs, u"      ])"_qs});
        QTest::newRow("apostrophes and brackets copied unchanged")
            << u"Do'or.o[pen]"_qs << 10 << false
            << program({u"Do'or"_qs}, 10, {u"   leaf(sr(c(\"Do'or\"), s(\"o[pen]\")))"_qs});
        QTest::newRow("case-sensitive components")
            << u"door.a(Door.b)"_qs << 10 << false
            << program({u"door"_qs, u"Door"_qs}, 10,
                       {u"   sr(c(\"door\"), s(\"a\")); "_qs, u"      leaf(sr(c(\"Door\"), s(\"b\")))"_qs});
    }

    void translate()
    {
        QFETCH(QString, sketch);
        QFETCH(int, maxEvents);
        QFETCH(bool, showIds);
        QFETCH(QString, expected);
        CSketchSolution t(sketch);
        const QString text = Zeph::TranslateTree(t.m, *t.tree, maxEvents, showIds);
        QCOMPARE(text, expected);
        QVERIFY(!text.endsWith(u'\n'));
    }

    // Position labels, in pre-order of the nodes' components.
    void labels_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("root and children") << u"A.a(B.b(D.d,E.e,F.f),C.c)"_qs
                                           << QStringList{u"0"_qs, u"00"_qs, u"000"_qs, u"001"_qs, u"002"_qs, u"01"_qs};
        QString wide = u"R.r("_qs;
        for (int i = 0; i < 12; ++i)
            wide += (i ? u","_qs : QString()) + u"N%1.x"_qs.arg(i);
        wide += u"(Z.z))"_qs; // the last child has a child of its own
        QStringList wideLabels{u"0"_qs};
        for (int i = 0; i < 10; ++i)
            wideLabels << u"0"_qs + QString::number(i);
        wideLabels << u"0(10)"_qs << u"0(11)"_qs << u"0(11)0"_qs;
        QTest::newRow("ten or more siblings stay apart") << wide << wideLabels;
    }

    void labels()
    {
        QFETCH(QString, sketch);
        QFETCH(QStringList, expected);
        CSketchSolution t(sketch);
        const QHash<int, QString> labels = Zeph::NodeLabels(t.m, *t.tree);
        QStringList got;
        for (const CKELMethod *n : TreeOps::PreOrder(t.m, Zeph::RootOf(*t.tree)))
            got << labels.value(n->GetId());
        QCOMPARE(got, expected);
        QCOMPARE(QSet<QString>(got.begin(), got.end()).size(), got.size());
    }

    // A node that left the root's tree must not keep a label a simulator may report.
    void staleLabelsCleared()
    {
        CSketchSolution t(u"A.a(B.b,C.c)"_qs);
        QVERIFY(Zeph::TranslateTree(t.m, *t.tree, 10, true).contains(u"nodeInfo(\"01\")"_qs));
        QCOMPARE(Zeph::NodeLabels(t.m, *t.tree).value(t.Node(u"C"_qs)->GetId()), u"01"_qs);
        TreeOps::Unlink(t.m, t.Node(u"C"_qs));
        QVERIFY(!Zeph::TranslateTree(t.m, *t.tree, 10, true).contains(u"nodeInfo(\"01\")"_qs));
        const QHash<int, QString> labels = Zeph::NodeLabels(t.m, *t.tree);
        QVERIFY(!labels.contains(t.Node(u"C"_qs)->GetId()));
        QCOMPARE(labels.value(t.Node(u"B"_qs)->GetId()), u"00"_qs);
    }

    // A child id naming no element is translated with empty texts and is not atomic.
    void missingChild()
    {
        CSketchSolution t(u"A.a"_qs);
        t.Node(u"A"_qs)->ChildIds().append(9999);
        QCOMPARE(Zeph::TranslateTree(t.m, *t.tree, 10, false),
                 program({u"A"_qs}, 10, {u"   sr(c(\"A\"), s(\"a\")); "_qs, u"      leaf()"_qs}));
    }

    void treeWithoutNodes()
    {
        CSketchSolution t{QString()};
        QCOMPARE(Zeph::TranslateTree(t.m, *t.tree, 10, true), QString());
        CAbsTranslator translator(t.m);
        translator.Translate();
        QCOMPARE(translator.GetResult(), QString());
    }

    // Building and destroying the structure must not recurse per level.
    void deepChainBuildsWithoutRecursion()
    {
        CSketchSolution t(u"A.a"_qs);
        CKELMethod *last = t.Node(u"A"_qs);
        const int depth = 200000;
        for (int i = 1; i < depth; ++i) {
            CKELMethod *n = TreeOps::NewNode(t.m, *t.tree);
            n->component = u"N"_qs;
            n->SetParentId(last->GetId());
            last->ChildIds().append(n->GetId());
            last = n;
        }
        std::unique_ptr<CAbsTree> built = CAbsTree::Build(t.m, t.Node(u"A"_qs)->GetId());
        int count = 0;
        for (const CAbsTree *e = built.get(); e; e = e->Next()) {
            QCOMPARE(e->Kind(), e->Next() ? int(CAbsTree::Sequence) : int(CAbsTree::Leaf));
            ++count;
        }
        QCOMPARE(count, depth);
        built.reset();
    }

    void longChainIndents()
    {
        CSketchSolution t(u"A.a"_qs);
        appendChain(t, 1500);
        const QString text = Zeph::TranslateTree(t.m, *t.tree, 10, false);
        const QStringList l = text.split(u"\r\n"_qs);
        QCOMPARE(l.size(), 5 + 1500 + 2); // header of one component, body, two closing lines
        QCOMPARE(l[5 + 1499], QString(3 * 1500, u' ') + u"leaf(sr(c(\"A\"), s(\"a\")))"_qs);
    }

    // A chain's text grows with the square of its length; past the limit the
    // translation says so instead of taking gigabytes.
    void oversizedProgramRefused()
    {
        CSketchSolution t(u"A.a"_qs);
        CKELMethod *last = appendChain(t, 15000);
        QVERIFY(Zeph::EstimatedProgramSize(t.m, *t.Node(u"A"_qs), true) > Zeph::kMaxProgramSize);
        QString error;
        QCOMPARE(Zeph::TranslateTree(t.m, *t.tree, 10, true, &error), QString());
        QVERIFY2(error.contains(u"too deep to translate"_qs), qPrintable(error));
        // no labels for it either: they alone would take gigabytes
        QVERIFY(!Zeph::NodeLabels(t.m, *t.tree).contains(last->GetId()));

        // below the limit the estimate stays under the real size
        CSketchSolution small(u"A.a(B.b(C.c,D.d:2),E.e)"_qs);
        error.clear();
        const QString text = Zeph::TranslateTree(small.m, *small.tree, 10, true, &error);
        QVERIFY(error.isEmpty());
        const qint64 estimate = Zeph::EstimatedProgramSize(small.m, *small.Node(u"A"_qs), true);
        QVERIFY2(estimate <= text.size(), qPrintable(QString::number(estimate)));
    }

    // The simulator's strings have no escape: a name that would end one is
    // refused, naming the node, instead of writing a different program.
    void unquotableNamesRefused_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<QString>("named");
        QTest::newRow("quote in the root's component") << u"Do\"or.open"_qs << u"Do\"or open"_qs;
        QTest::newRow("quote deep in a behavior") << u"A.a(B.b,C.c(D.x\"]))"_qs << u"D x\"]"_qs;
        QTest::newRow("backslash") << u"A.a(B.b\\)"_qs << u"B b\\"_qs;
        QTest::newRow("line break") << u"A.a(B.b\nc)"_qs << u"B b\nc"_qs;
    }

    void unquotableNamesRefused()
    {
        QFETCH(QString, sketch);
        QFETCH(QString, named);
        CSketchSolution t(sketch);
        QString error;
        QCOMPARE(Zeph::TranslateTree(t.m, *t.tree, 10, false, &error), QString());
        QVERIFY2(error.contains(u'"' + named + u'"'), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestZephTranslator)
#include "tst_zephtranslator.moc"
