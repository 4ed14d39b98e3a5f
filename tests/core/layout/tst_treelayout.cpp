#include "layout/treelayout.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/treeops.h"
#include "treesketch.h"

#include <QtTest>

namespace {

// A tree of node sizes: a sketch whose components read W[xH][e] (height 50
// when absent; "e" gives the node a shown extended tag).
class CSizedForest : public CSketchSolution
{
public:
    explicit CSizedForest(const QString &text, int levelGap = 50)
    {
        AddTree(text);
        static_cast<CKELRBT *>(tree)->SetLevelGap(levelGap);
        for (CKELMethod *n : std::as_const(nodes)) {
            const bool ext = n->component.endsWith(u'e');
            const QStringList wh = n->component.chopped(ext ? 1 : 0).split(u'x');
            size(n, wh.value(0).toInt(), wh.value(1, u"50"_qs).toInt());
            n->hasExtendedTag = ext;
            n->extendedTag = ext ? u"E"_qs : QString();
        }
    }

    CKELMethod *Add(CKELMethod *parent, int w, int h)
    {
        CKELMethod *n = TreeOps::NewNode(m, *tree);
        nodes.append(n);
        if (parent)
            TreeOps::Link(m, parent, n);
        return size(n, w, h);
    }

    // Laid-out positions in element order, as "x,y" words.
    QString Positions(const QList<CLayoutMove> &moves) const
    {
        QHash<int, QPoint> at;
        for (const CLayoutMove &move : moves)
            at.insert(move.nodeId, move.to);
        QStringList words;
        for (const CKELMethod *n : nodes) {
            const QPoint p = at.value(n->GetId(), QPoint(n->x, n->y));
            words.append(u"%1,%2"_qs.arg(p.x()).arg(p.y()));
        }
        return words.join(u' ');
    }

private:
    static CKELMethod *size(CKELMethod *n, int w, int h)
    {
        n->w = w;
        n->h = h;
        n->x = -1; // off every laid-out place, so that each node moves
        n->y = -1;
        return n;
    }
};

} // namespace

class TestTreeLayout : public QObject
{
    Q_OBJECT
private slots:
    // The size a node's shape will have. Extra info rows hang below the box:
    // the layout must count them, or children and links cover them.
    void nodeSize_data()
    {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<bool>("extTag");
        QTest::addColumn<bool>("showExtTag");
        QTest::addColumn<int>("tags"); // extra info rows, shown when names are given too
        QTest::addColumn<int>("names");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QSize>("size");
        QTest::newRow("as stored") << 120 << 40 << false << true << 0 << 0 << false << QSize(120, 40);
        QTest::newRow("zero is default") << 0 << 0 << false << true << 0 << 0 << false << QSize(200, 50);
        QTest::newRow("negative is default") << -30 << -1 << false << true << 0 << 0 << false << QSize(200, 50);
        QTest::newRow("shown extended tag adds a quarter")
            << 200 << 50 << true << true << 0 << 0 << false << QSize(250, 50);
        QTest::newRow("quarter truncates") << 103 << 50 << true << true << 0 << 0 << false << QSize(128, 50);
        QTest::newRow("hidden extended tag") << 200 << 50 << true << false << 0 << 0 << false << QSize(200, 50);
        QTest::newRow("default width with tag") << 0 << 0 << true << true << 0 << 0 << false << QSize(250, 50);
        QTest::newRow("huge width stays in range")
            << 2147483647 << 50 << true << true << 0 << 0 << false << QSize(2147483647, 50);
        QTest::newRow("three rows below a default box")
            << 0 << 0 << false << false << 3 << 3 << true << QSize(200, 125);
        QTest::newRow("hidden rows take no room") << 0 << 0 << false << false << 3 << 3 << false << QSize(200, 50);
        QTest::newRow("rows are as many as the shorter list")
            << 0 << 0 << false << false << 2 << 5 << true << QSize(200, 100);
        QTest::newRow("rows wider than a narrow box") << 120 << 0 << false << false << 1 << 1 << true << QSize(200, 75);
        QTest::newRow("rows with the extended tag column")
            << 120 << 0 << true << true << 1 << 1 << true << QSize(250, 75);
        QTest::newRow("wide box keeps its width") << 400 << 0 << false << false << 1 << 1 << true << QSize(400, 75);
    }

    void nodeSize()
    {
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(bool, extTag);
        QFETCH(bool, showExtTag);
        QFETCH(int, tags);
        QFETCH(int, names);
        QFETCH(bool, shown);
        QFETCH(QSize, size);
        CKELMethod n(nullptr);
        n.w = w;
        n.h = h;
        n.hasExtendedTag = extTag;
        n.displayExtendedTag = showExtTag;
        n.displayExtraInfo = shown;
        n.extraInfoTags = QStringList(tags, u"Pre"_qs);
        n.extraInfoNames = QStringList(names, u"door closed"_qs);
        QCOMPARE(CTreeLayout::NodeSize(n), size);

        // the child of such a node starts a level gap below its rows
        CSizedForest f(u"200(200)"_qs, 50);
        CKELMethod *parent = f.nodes.first();
        parent->displayExtraInfo = shown;
        parent->extraInfoTags = n.extraInfoTags;
        parent->extraInfoNames = n.extraInfoNames;
        const CSubtreeLayout laid = CTreeLayout(*f.tree).LayoutSubtree(parent->GetId());
        QCOMPARE(laid.nodes.value(1).to.y(), CTreeLayout::NodeSize(*parent).height() + 50);
    }

    // Placement of one subtree from the origin: positions in reading order.
    void layoutSubtree_data()
    {
        QTest::addColumn<QString>("tree");
        QTest::addColumn<int>("levelGap");
        QTest::addColumn<QString>("positions");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<int>("maxY");
        QTest::newRow("one node") << u"200"_qs << 50 << u"0,0"_qs << 200 << 50;
        // the first child spans 0..200, the second 210..310, the parent centres on (100 + 260) / 2
        QTest::newRow("children 200 and 100 under 200")
            << u"200(200,100)"_qs << 50 << u"80,0 0,100 210,100"_qs << 320 << 150;
        QTest::newRow("wider parent pushed to the cursor") << u"300(100)"_qs << 50 << u"0,0 100,100"_qs << 300 << 150;
        QTest::newRow("parent exactly at the cursor") << u"200(200)"_qs << 50 << u"0,0 0,100"_qs << 210 << 150;
        QTest::newRow("tall node pushes its subtree down") << u"200x80(200)"_qs << 50 << u"0,0 0,130"_qs << 210 << 180;
        QTest::newRow("low node keeps a nominal row") << u"200x10(200)"_qs << 50 << u"0,0 0,65"_qs << 210 << 115;
        QTest::newRow("excess heights add up")
            << u"200x80(200x100(200))"_qs << 50 << u"0,0 0,130 0,280"_qs << 220 << 330;
        QTest::newRow("nested subtrees carry trailing gaps")
            << u"200(200(200),200)"_qs << 50 << u"110,0 0,100 0,200 220,100"_qs << 430 << 250;
        QTest::newRow("centre of odd spans truncates")
            << u"101(100,101)"_qs << 50 << u"55,0 0,100 110,100"_qs << 221 << 150;
        QTest::newRow("mean of three centres")
            << u"100(100,100,100)"_qs << 50 << u"110,0 0,100 110,100 220,100"_qs << 330 << 150;
        QTest::newRow("extended tag widens the parent") << u"200e(200)"_qs << 50 << u"0,0 25,100"_qs << 250 << 150;
        QTest::newRow("zero sizes count as 200 by 50") << u"0x0(0x0)"_qs << 50 << u"0,0 0,100"_qs << 210 << 150;
        QTest::newRow("level gap of the tree") << u"200(200)"_qs << 20 << u"0,0 0,70"_qs << 210 << 120;
    }

    void layoutSubtree()
    {
        QFETCH(QString, tree);
        QFETCH(int, levelGap);
        QFETCH(QString, positions);
        QFETCH(int, cursor);
        QFETCH(int, maxY);
        CSizedForest f(tree, levelGap);
        const CSubtreeLayout laid = CTreeLayout(*f.tree).LayoutSubtree(f.nodes.first()->GetId());
        QCOMPARE(f.Positions(laid.nodes), positions);
        QCOMPARE(laid.cursor, cursor);
        QCOMPARE(laid.maxY, maxY);
        QCOMPARE(laid.nodes.size(), f.nodes.size());
    }

    // Child ids that name no node of this tree are passed over.
    void danglingChildren_data()
    {
        QTest::addColumn<int>("badChild");
        QTest::newRow("unknown id") << 99999;
        QTest::newRow("node of another tree") << -1;
        QTest::newRow("the tree itself") << -2;
        QTest::newRow("the node itself") << -3;
    }

    void danglingChildren()
    {
        QFETCH(int, badChild);
        CSizedForest f(u"200(200,100)"_qs);
        CKELMethod *parent = f.nodes.first();
        int id = badChild;
        if (badChild == -1) {
            auto e = f.m.CreateElement(KEL::RBT);
            f.m.RegisterElement(e.get());
            auto *second = static_cast<CKELTree *>(e.get());
            TestKit::Mutable(f.m.CurrentVersion())->RBTFolder()->AddChild(e);
            id = TreeOps::NewNode(f.m, *second)->GetId();
        } else if (badChild == -2) {
            id = f.tree->GetId();
        } else if (badChild == -3) {
            id = parent->GetId();
        }
        parent->ChildIds().insert(1, id);
        const CTreeLayout layout(*f.tree);
        QCOMPARE(f.Positions(layout.LayoutSubtree(parent->GetId()).nodes), u"80,0 0,100 210,100"_qs);
        QCOMPARE(f.Positions(layout.RearrangeAll().moves), u"80,0 0,100 210,100"_qs);
    }

    // Trees stand side by side, each next one 100 right of the previous cursor.
    void rearrangeAll_data()
    {
        QTest::addColumn<QString>("forest");
        QTest::addColumn<QString>("positions");
        QTest::addColumn<QPoint>("extent");
        QTest::newRow("one node") << u"200"_qs << u"0,0"_qs << QPoint(300, 50);
        QTest::newRow("two single nodes") << u"200,150"_qs << u"0,0 300,0"_qs << QPoint(550, 50);
        QTest::newRow("second tree after the first tree's cursor")
            << u"200(200,100),100x80(100)"_qs << u"80,0 0,100 210,100 420,0 420,130"_qs << QPoint(630, 180);
        QTest::newRow("empty tree") << QString() << QString() << QPoint(0, 0);
    }

    void rearrangeAll()
    {
        QFETCH(QString, forest);
        QFETCH(QString, positions);
        QFETCH(QPoint, extent);
        CSizedForest f(forest);
        const CLayoutResult result = CTreeLayout(*f.tree).RearrangeAll();
        QCOMPARE(f.Positions(result.moves), positions);
        QCOMPARE(result.extent, extent);
        QCOMPARE(result.moves.size(), f.nodes.size());
        // laid out again, nothing moves
        CTreeLayout::ApplyMoves(f.m, result);
        QVERIFY(CTreeLayout(*f.tree).RearrangeAll().moves.isEmpty());
    }

    // The selected subtree keeps its place unless it would leave the canvas.
    void rearrangeSubtree_data()
    {
        QTest::addColumn<QString>("forest");
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("autoArrange");
        QTest::addColumn<QPoint>("selectedAt");
        QTest::addColumn<QString>("positions");
        QTest::addColumn<QPoint>("extent");
        QTest::newRow("stays where it is") << u"200(200,100)"_qs << 0 << false << QPoint(500, 300)
                                           << u"500,300 420,400 630,400"_qs << QPoint(740, 450);
        QTest::newRow("placed from the origin when it would reach left")
            << u"100(200,200)"_qs << 0 << false << QPoint(10, 40) << u"155,40 0,140 210,140"_qs << QPoint(420, 190);
        QTest::newRow("inner node, rest of the tree untouched")
            << u"200(200(200,200),200)"_qs << 1 << false << QPoint(1000, 100)
            << u"-1,-1 1000,100 895,200 1105,200 -1,-1"_qs << QPoint(1315, 250);
        QTest::newRow("auto-arrange lays out the whole tree from its root")
            << u"200(200(200,200),200)"_qs << 2 << true << QPoint(7, 7) << u"400,20 238,120 133,220 343,220 563,120"_qs
            << QPoint(773, 270);
    }

    void rearrangeSubtree()
    {
        QFETCH(QString, forest);
        QFETCH(int, selected);
        QFETCH(bool, autoArrange);
        QFETCH(QPoint, selectedAt);
        QFETCH(QString, positions);
        QFETCH(QPoint, extent);
        CSizedForest f(forest);
        f.nodes[selected]->x = selectedAt.x();
        f.nodes[selected]->y = selectedAt.y();
        if (autoArrange) {
            // the root anchors the tree
            f.nodes[0]->x = 400;
            f.nodes[0]->y = 20;
        }
        const CLayoutResult result = CTreeLayout(*f.tree).RearrangeSubtree(f.nodes[selected]->GetId(), autoArrange);
        QCOMPARE(f.Positions(result.moves), positions);
        QCOMPARE(result.extent, extent);
    }

    void applyMoves()
    {
        CSizedForest f(u"200(200)"_qs);
        TestKit::Mutable(f.m.Solution())->SetModified(false);
        CLayoutResult result;
        result.moves = {
            {f.nodes[1]->GetId(), QPoint(5, 6)}, {f.nodes[0]->GetId(), QPoint(-1, -1)}, {99999, QPoint(1, 1)}};
        QCOMPARE(CTreeLayout::ApplyMoves(f.m, result), 1);
        QCOMPARE(QPoint(f.nodes[1]->x, f.nodes[1]->y), QPoint(5, 6));
        QVERIFY(f.m.Solution()->IsModified());
        TestKit::Mutable(f.m.Solution())->SetModified(false);
        QCOMPARE(CTreeLayout::ApplyMoves(f.m, result), 0);
        QVERIFY(!f.m.Solution()->IsModified());
    }

    // Depth and width never exhaust the stack, and sums over wide rows do not wrap.
    void deepAndWide_data()
    {
        QTest::addColumn<bool>("chain");
        QTest::addColumn<QPoint>("root");
        QTest::addColumn<QPoint>("last");
        QTest::addColumn<QPoint>("extent");
        const int n = 100000;
        // a chain of equal widths stays in one column, one level gap apart
        QTest::newRow("chain of 100000") << true << QPoint(0, 0) << QPoint(0, (n - 1) * 100)
                                         << QPoint(200 + (n - 1) * 10 + 100, (n - 1) * 100 + 50);
        // child i is centred at 210 i + 100; the parent at their mean
        QTest::newRow("100000 children") << false << QPoint(210 * (n - 1) / 2, 0) << QPoint(210 * (n - 1), 100)
                                         << QPoint(210 * n + 100, 150);
    }

    void deepAndWide()
    {
        QFETCH(bool, chain);
        QFETCH(QPoint, root);
        QFETCH(QPoint, last);
        QFETCH(QPoint, extent);
        CSizedForest f(QString(), 50);
        CKELMethod *top = f.Add(nullptr, 200, 50);
        CKELMethod *prev = top;
        // a chain of 100000 nodes, or a root with 100000 children
        for (int i = chain ? 1 : 0; i < 100000; ++i)
            prev = f.Add(chain ? prev : top, 200, 50);
        const CLayoutResult result = CTreeLayout(*f.tree).RearrangeAll();
        QCOMPARE(result.extent, extent);
        CTreeLayout::ApplyMoves(f.m, result);
        QCOMPARE(QPoint(top->x, top->y), root);
        QCOMPARE(QPoint(prev->x, prev->y), last);
    }
};

QTEST_GUILESS_MAIN(TestTreeLayout)
#include "tst_treelayout.moc"
