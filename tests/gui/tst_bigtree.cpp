// A tree window on a tree of ten thousand nodes: an edit of one box costs
// what that box and its links cost, whatever the size of the tree. The
// canvas counts the shapes it paints and the links it moves; those counts,
// not times, are what is checked here.
#include "viewtestkit.h"

#include "canvas/panwindow.h"
#include "deeptrees.h"

#include "edit/undohistory.h"
#include <QtTest>

using ViewTestKit::Editor;

namespace {

constexpr int kNodes = 10000;
// A moved box, its links, and what the picture shows around them; far
// below the size of the tree.
constexpr qint64 kMostShapesTouched = 300;

// Near the top edge of the box: far from the bottom port, where a press
// would start a new link instead of a move.
QPoint grabPointOf(const CTessel1View &view, const CKELNodeShape &shape)
{
    const QRect box = shape.GetBoundRect();
    return view.mapFromScene(QPointF(box.center().x(), box.top() + 6));
}

} // namespace

class TestBigTree : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_e = std::make_unique<Editor>();
        DeepTrees::Grow(m_e->f.m, *m_e->f.Tree(), kNodes, DeepTrees::Shape::Balanced);
        CTreeLayout::ApplyMoves(m_e->f.m, CTreeLayout(*m_e->f.Tree()).RearrangeAll());
        m_e->open();
        m_e->show();
        m_pan = std::make_unique<CPanWindow>();
        m_pan->resize(220, 170);
        m_pan->SetView(m_e->view.get());
        m_pan->show();
        QCOMPARE(m_e->doc->NodeShapes().size(), kNodes);
    }

    void dragTouchesOnlyWhatMoves_data()
    {
        QTest::addColumn<double>("zoom");
        QTest::addColumn<int>("node"); // index in the tree's node list
        QTest::newRow("a leaf at 100 per cent") << 1.0 << kNodes - 7;
        QTest::newRow("an inner node at 100 per cent") << 1.0 << 40;
        QTest::newRow("a leaf at half size") << 0.5 << kNodes - 7;
        QTest::newRow("an inner node zoomed out to a quarter") << 0.25 << 40;
    }

    void dragTouchesOnlyWhatMoves()
    {
        QFETCH(double, zoom);
        QFETCH(int, node);
        CTessel1View &view = *m_e->view;
        const int id = m_e->f.Tree()->Nodes().at(node)->GetId();
        CKELNodeShape *shape = m_e->shape(id);
        QVERIFY(shape);
        view.SetZoom(zoom);
        view.centerOn(shape);
        // the window and the overview are up to date before the drag
        view.viewport()->repaint();
        QTRY_VERIFY(!m_pan->RenderPending());
        const QPoint before = m_e->place(id);

        CCanvasScene &scene = m_e->scene();
        scene.ResetWork();
        QWidget *vp = view.viewport();
        QPoint at = grabPointOf(view, *shape);
        QTest::mousePress(vp, Qt::LeftButton, {}, at);
        for (int i = 0; i < 6; ++i) {
            at += QPoint(3, 2);
            QTest::mouseMove(vp, at);
            QCoreApplication::processEvents(); // with the repaint of what moved
        }
        QTest::mouseRelease(vp, Qt::LeftButton, {}, at);
        QCoreApplication::processEvents();
        QTRY_VERIFY(!m_pan->RenderPending());

        QVERIFY2(m_e->place(id) != before, "the drag moved the node");
        const CCanvasScene::CWork work = scene.Work();
        qInfo("painted %lld, in the overview %lld, links followed %lld, placed %lld", work.painted, work.paintedPlain,
              work.linksFollowed, work.placed);
        QVERIFY2(work.painted <= kMostShapesTouched, qPrintable(QString::number(work.painted)));
        // the pan window mends the pixels of its overview that changed; each
        // holds many boxes of so large a tree, but never the whole tree
        QVERIFY2(work.paintedPlain <= kNodes / 10, qPrintable(QString::number(work.paintedPlain)));
        // the node's own links, once a move
        QVERIFY2(work.linksFollowed <= 8 * 5, qPrintable(QString::number(work.linksFollowed)));
        QVERIFY2(work.placed <= 8, qPrintable(QString::number(work.placed)));
        // the scene visits each of its top-level items on every update, so the
        // boxes and links must hang under far fewer holders than there are boxes
        qsizetype topLevel = 0;
        for (const QGraphicsItem *i : scene.items())
            topLevel += i->parentItem() == nullptr;
        QVERIFY2(topLevel <= kNodes / 20, qPrintable(QString::number(topLevel)));
        QVERIFY(m_e->f.m.History().Undo());
        QCOMPARE(m_e->place(id), before);
    }

    // Zoomed out, the window paints from its picture of the canvas; that
    // picture follows every change, here a node moved from the model's side:
    // the box shows at its new place and has left its old one.
    void overviewFollowsTheCanvas()
    {
        Editor e;
        DeepTrees::Grow(e.f.m, *e.f.Tree(), 1200, DeepTrees::Shape::Balanced);
        CTreeLayout::ApplyMoves(e.f.m, CTreeLayout(*e.f.Tree()).RearrangeAll());
        e.open();
        e.show();
        CTessel1View &view = *e.view;
        view.SetZoom(0.15);
        QVERIFY(view.PaintsFromOverview());
        const CKELMethod *leaf = e.f.Tree()->Nodes().last();
        const CKELNodeShape *shape = e.shape(leaf->GetId());
        const QPointF oldCentre = shape->sceneBoundingRect().center();
        // free canvas a little below the bottom row
        const QPoint spot(leaf->x, leaf->y + 3 * leaf->h);
        auto colourAt = [&view](const QPointF &scenePoint) {
            view.centerOn(scenePoint);
            view.viewport()->repaint();
            return view.viewport()->grab().toImage().pixelColor(view.mapFromScene(scenePoint));
        };
        QCOMPARE(colourAt(QPointF(spot) + QPointF(leaf->w / 2.0, leaf->h / 2.0)), QColor(Qt::white));
        QVERIFY(colourAt(oldCentre) != QColor(Qt::white));

        e.scene().ResetWork();
        QVERIFY(e.f.m.SetNodeGeometry(leaf->GetId(), spot.x(), spot.y(), leaf->w, leaf->h));
        QCoreApplication::processEvents();
        QVERIFY(view.PaintsFromOverview());
        view.viewport()->update();
        QCoreApplication::processEvents();
        // the picture is mended where the box was and where it is, not redrawn
        QVERIFY2(e.scene().Work().painted <= kMostShapesTouched, qPrintable(QString::number(e.scene().Work().painted)));
        QVERIFY(colourAt(shape->sceneBoundingRect().center()) != QColor(Qt::white));
        QCOMPARE(colourAt(oldCentre), QColor(Qt::white));
    }

    // A layout moves every box; each link follows once, not once for each of
    // its two ends, both when the layout is made and when it is undone.
    void layoutFollowsEachLinkOnce_data()
    {
        QTest::addColumn<bool>("undo");
        QTest::newRow("Rearrange All") << false;
        QTest::newRow("its undo") << true;
    }

    void layoutFollowsEachLinkOnce()
    {
        QFETCH(bool, undo);
        CKELTree &tree = *m_e->f.Tree();
        // every box further right, so that the layout moves them all back
        QList<CNodeGeometry> shifted;
        for (const CKELMethod *n : tree.Nodes())
            shifted.append({n->GetId(), n->x + 2000, n->y, n->w, n->h});
        QVERIFY(m_e->f.m.SetNodesGeometry(tree.GetId(), shifted));
        QCoreApplication::processEvents();
        CCanvasScene &scene = m_e->scene();
        scene.ResetWork();
        QVERIFY(m_e->view->RearrangeAll());
        if (undo) {
            scene.ResetWork();
            QVERIFY(m_e->f.m.History().Undo());
            // the boxes are back where the layout found them
            QCOMPARE(m_e->shape(shifted.first().id)->pos().toPoint(), QPoint(shifted.first().x, shifted.first().y));
        }
        QVERIFY2(scene.Work().linksFollowed <= kNodes - 1, qPrintable(QString::number(scene.Work().linksFollowed)));
        // holders emptied by the move serve other cells: links still lie
        // under the boxes, in holders of their own
        for (const QGraphicsItem *i : scene.items()) {
            if (i->type() == Canvas::CompositeItem || i->type() == Canvas::LinkItem)
                QCOMPARE(i->parentItem()->zValue(), i->type() == Canvas::LinkItem ? Canvas::kLinkZ : Canvas::kShapeZ);
        }
    }

    // Listening to the scene's changed areas makes every item's change go
    // through one list for the whole canvas; only a kept picture (the window's
    // own when zoomed far out, the overview while it is shown) needs them.
    void changedAreasFollowedOnlyForPictures_data()
    {
        QTest::addColumn<double>("zoom");
        QTest::addColumn<bool>("overviewShown");
        QTest::addColumn<bool>("followed");
        QTest::newRow("at 100 per cent, overview hidden") << 1.0 << false << false;
        QTest::newRow("at 100 per cent, overview shown") << 1.0 << true << true;
        QTest::newRow("zoomed out to a picture, overview hidden") << 0.02 << false << true;
    }

    void changedAreasFollowedOnlyForPictures()
    {
        QFETCH(double, zoom);
        QFETCH(bool, overviewShown);
        QFETCH(bool, followed);
        CTessel1View &view = *m_e->view;
        m_pan->setVisible(overviewShown);
        view.SetZoom(zoom);
        view.viewport()->repaint();
        QCOMPARE(view.PaintsFromOverview(), zoom < CCanvasView::kOverviewZoom);
        QCOMPARE(m_e->scene().ChangedAreasFollowed(), followed);
        m_pan->show();
    }

private:
    std::unique_ptr<Editor> m_e;
    std::unique_ptr<CPanWindow> m_pan;
};

QTEST_MAIN(TestBigTree)
#include "tst_bigtree.moc"
