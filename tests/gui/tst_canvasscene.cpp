// The canvas model on its own: pages, selection order, links that follow
// their ends, actions and their undo, hit testing and the mouse gestures.
#include "guitestkit.h"

#include "canvas/canvasactions.h"
#include "canvas/canvasedits.h"
#include "canvas/canvasscene.h"
#include "canvas/canvasview.h"
#include "canvas/compositeshape.h"
#include "canvas/linkshape.h"

#include <QSignalSpy>
#include <QUndoStack>
#include <QtTest>

using GuiTestKit::AddBox;

namespace {

// Shapes and links, without the items that hold them.
qsizetype drawnItems(const CCanvasScene &scene)
{
    qsizetype n = 0;
    for (const QGraphicsItem *i : scene.items())
        n += i->type() == Canvas::CompositeItem || i->type() == Canvas::LinkItem;
    return n;
}

QPoint posOf(const CCanvasScene &scene, int key)
{
    return scene.ShapeByKey(key)->pos().toPoint();
}

} // namespace

namespace {

struct ShownScene
{
    CCanvasScene scene;
    CCanvasView view{&scene};
    ShownScene()
    {
        view.resize(800, 600);
        view.show();
        view.centerOn(0, 0);
    }
    QPoint at(const QPointF &scenePos) const { return view.mapFromScene(scenePos); }
};

} // namespace

class TestCanvasScene : public QObject
{
    Q_OBJECT
private slots:
    // The page area only ever grows, and by whole pages: to the right first,
    // then down.
    void pagesGrowByWholePages_data()
    {
        QTest::addColumn<QPoint>("extent");
        QTest::addColumn<int>("wide");
        QTest::addColumn<int>("high");
        const int W = Canvas::kPageWidth;
        const int H = Canvas::kPageHeight;
        QTest::newRow("inside") << QPoint(W - 1, H - 1) << 1 << 1;
        QTest::newRow("exactly the edge") << QPoint(W, H) << 1 << 1;
        QTest::newRow("one unit beyond the right") << QPoint(W + 1, 10) << 2 << 1;
        QTest::newRow("one unit below") << QPoint(10, H + 1) << 1 << 2;
        QTest::newRow("far right and below") << QPoint(5 * W + 3, 2 * H + 1) << 6 << 3;
        QTest::newRow("negative extent") << QPoint(-500, -500) << 1 << 1;
    }

    void pagesGrowByWholePages()
    {
        QFETCH(QPoint, extent);
        QFETCH(int, wide);
        QFETCH(int, high);
        CCanvasScene scene;
        QSignalSpy grown(&scene, &CCanvasScene::pagesChanged);
        QCOMPARE(scene.GrowToReach(extent), wide != 1 || high != 1);
        QCOMPARE(scene.PagesWide(), wide);
        QCOMPARE(scene.PagesHigh(), high);
        QCOMPARE(grown.count(), wide != 1 || high != 1 ? 1 : 0);
        QCOMPARE(scene.PageArea(), QRect(0, 0, wide * Canvas::kPageWidth, high * Canvas::kPageHeight));
        QVERIFY(scene.sceneRect().contains(QRectF(scene.PageArea())));
        // and it never shrinks
        QVERIFY(!scene.GrowToReach(QPoint(1, 1)));
        QCOMPARE(scene.PagesWide(), wide);
    }

    void shapesBeyondThePagesGrowThem()
    {
        CCanvasScene scene;
        CCompositeShape *s = AddBox(scene, 1, QRect(10, 10, 200, 50));
        QCOMPARE(scene.PagesWide(), 1);
        s->setPos(Canvas::kPageWidth - 100, 10);
        QCOMPARE(scene.PagesWide(), 2);
        QCOMPARE(scene.PagesHigh(), 1);
        // a shape left of the origin is reachable though no page grows that way
        s->setPos(-300, -40);
        QVERIFY(scene.sceneRect().contains(QRectF(s->GetBoundRect())));
        QCOMPARE(scene.PageArea().topLeft(), QPoint(0, 0));
    }

    // "Add Link" takes the first selected as parent: the order matters.
    void selectionRemembersItsOrder()
    {
        CCanvasScene scene;
        CCompositeShape *a = AddBox(scene, 1, QRect(0, 0, 100, 40));
        CCompositeShape *b = AddBox(scene, 2, QRect(200, 0, 100, 40));
        CCompositeShape *c = AddBox(scene, 3, QRect(400, 0, 100, 40));
        b->setSelected(true);
        a->setSelected(true);
        QCOMPARE(scene.SelectionCount(), 2);
        QCOMPARE(scene.GetCurrentSelectShape(), b);
        QCOMPARE(scene.GetSecondSelectShape(), a);
        c->setSelected(true);
        b->setSelected(false);
        QCOMPARE(scene.GetCurrentSelectShape(), a);
        QCOMPARE(scene.GetSecondSelectShape(), c);
        scene.SelectOnly(b);
        QCOMPARE(scene.SelectionOrder(), QList<QGraphicsItem *>{b});
        QVERIFY(!scene.GetSecondSelectShape());
        scene.RemoveShape(2);
        QCOMPARE(scene.SelectionCount(), 0);
    }

    void linksFollowTheirEnds()
    {
        CCanvasScene scene;
        CCompositeShape *a = AddBox(scene, 1, QRect(0, 0, 100, 40));
        CCompositeShape *b = AddBox(scene, 2, QRect(0, 200, 100, 40));
        CLinkShape *l = scene.ConnectDirect(1, 1, 2, 0);
        QVERIFY(l);
        QCOMPARE(l->GetStartShape(), a);
        QCOMPARE(l->GetEndShape(), b);
        QCOMPARE(l->Line(), QLineF(50, 40, 50, 200));
        QCOMPARE(a->GetLinksOnPort(1), QList<CLinkShape *>{l});
        QCOMPARE(b->GetLinksOnPort(0), QList<CLinkShape *>{l});
        b->setPos(300, 400);
        QCOMPARE(l->Line(), QLineF(50, 40, 350, 400));
        a->setPos(10, 10);
        QCOMPARE(l->Line().p1(), QPointF(60, 50));
        // ports laid out again keep their links
        b->SetPortPositions({QPointF(20, 0), QPointF(20, 40)});
        QCOMPARE(l->Line().p2(), QPointF(320, 400));
        QCOMPARE(scene.FindLink(1, 2), l);
        QVERIFY(!scene.FindLink(2, 1));
        QVERIFY(!scene.ConnectDirect(1, 1, 1, 0)); // never to itself
        QVERIFY(!scene.ConnectDirect(1, 7, 2, 0)); // no such port
    }

    void removingAShapeTakesItsLinks()
    {
        CCanvasScene scene;
        AddBox(scene, 1, QRect(0, 0, 100, 40));
        AddBox(scene, 2, QRect(0, 200, 100, 40));
        AddBox(scene, 3, QRect(200, 200, 100, 40));
        scene.ConnectDirect(1, 1, 2, 0);
        scene.ConnectDirect(1, 1, 3, 0);
        QCOMPARE(drawnItems(scene), 5);
        scene.RemoveShape(1);
        QCOMPARE(drawnItems(scene), 2);
        QVERIFY(scene.ShapeByKey(2)->GetLinksOnPort(0).isEmpty());
        QVERIFY(scene.ShapeByKey(3)->GetLinksOnPort(0).isEmpty());
        // nothing is left behind once every shape is gone
        scene.RemoveShape(2);
        scene.RemoveShape(3);
        QVERIFY(scene.items().isEmpty());
    }

    // The second shape lines up with the first selected; its frame decides.
    void align_data()
    {
        QTest::addColumn<int>("how");
        QTest::addColumn<QRect>("expected");
        const QRect second(300, 200, 100, 40); // reference: (50, 60, 200, 80)
        using A = CanvasEdits::Alignment;
        QTest::newRow("left") << int(A::Left) << QRect(50, 200, 100, 40);
        QTest::newRow("centre") << int(A::Centre) << QRect(100, 200, 100, 40);
        QTest::newRow("right") << int(A::Right) << QRect(150, 200, 100, 40);
        QTest::newRow("top") << int(A::Top) << QRect(300, 60, 100, 40);
        QTest::newRow("middle") << int(A::Middle) << QRect(300, 80, 100, 40);
        QTest::newRow("bottom") << int(A::Bottom) << QRect(300, 100, 100, 40);
        QTest::newRow("same width") << int(A::SameWidth) << QRect(300, 200, 200, 40);
        QTest::newRow("same height") << int(A::SameHeight) << QRect(300, 200, 100, 80);
    }

    void align()
    {
        QFETCH(int, how);
        QFETCH(QRect, expected);
        CCanvasScene scene;
        CCompositeShape *ref = AddBox(scene, 1, QRect(50, 60, 200, 80));
        CCompositeShape *other = AddBox(scene, 2, QRect(300, 200, 100, 40));
        ref->setSelected(true);
        other->setSelected(true);
        auto frame = [](const CCompositeShape *s) { return s->OwnRect().translated(s->pos().toPoint()); };
        QVERIFY(CanvasEdits::Align(scene, CanvasEdits::Alignment(how)));
        QCOMPARE(frame(other), expected);
        QCOMPARE(frame(ref), QRect(50, 60, 200, 80));
        QCOMPARE(scene.UndoStack()->count(), 1);
        scene.UndoStack()->undo();
        QCOMPARE(frame(other), QRect(300, 200, 100, 40));
        scene.UndoStack()->redo();
        QCOMPARE(frame(other), expected);
        // cells scale with a resized frame
        QCOMPARE(other->Cell(0).rect.size(), expected.size());
    }

    void alignNeedsTwoShapes()
    {
        CCanvasScene scene;
        CCompositeShape *a = AddBox(scene, 1, QRect(0, 0, 100, 40));
        AddBox(scene, 2, QRect(300, 0, 100, 40));
        a->setSelected(true);
        QVERIFY(!CanvasEdits::Align(scene, CanvasEdits::Alignment::Left));
        QCOMPARE(scene.UndoStack()->count(), 0);
        // already aligned: nothing to do, nothing on the stack
        scene.ShapeByKey(2)->setSelected(true);
        QVERIFY(!CanvasEdits::Align(scene, CanvasEdits::Alignment::Top));
        QCOMPARE(scene.UndoStack()->count(), 0);
    }

    void layoutMacroIsOneStep()
    {
        CCanvasScene scene;
        for (int k = 1; k <= 3; ++k)
            AddBox(scene, k, QRect(0, 0, 100, 40));
        auto macro = std::make_unique<CActionMacro>(scene, CCanvasAction::Layout, u"Layout"_qs);
        for (int k = 1; k <= 3; ++k) {
            new CGeometryAction(scene, CCanvasAction::Move, u"Move"_qs,
                                {{k, QPoint(0, 0), QPoint(k * 150, k * 10), QSize(100, 40), QSize(100, 40)}},
                                macro.get());
        }
        QCOMPARE(macro->GetActionCount(), 3);
        QVERIFY(scene.Execute(std::move(macro)));
        QCOMPARE(scene.UndoStack()->count(), 1);
        QCOMPARE(posOf(scene, 3), QPoint(450, 30));
        scene.UndoStack()->undo();
        for (int k = 1; k <= 3; ++k)
            QCOMPARE(posOf(scene, k), QPoint(0, 0));
        scene.UndoStack()->redo();
        QCOMPARE(posOf(scene, 2), QPoint(300, 20));
    }

    void emptyMacroIsDiscarded()
    {
        CCanvasScene scene;
        QSignalSpy executed(&scene, &CCanvasScene::actionExecuted);
        QVERIFY(!scene.Execute(std::make_unique<CActionMacro>(scene, CCanvasAction::Layout, u"Layout"_qs)));
        QCOMPARE(scene.UndoStack()->count(), 0);
        QCOMPARE(executed.count(), 0);
        QVERIFY(!scene.PeekUndo());
    }

    void peekUndoTellsTheLatestAction()
    {
        CCanvasScene scene;
        CCompositeShape *a = AddBox(scene, 1, QRect(0, 0, 100, 40));
        CCompositeShape *b = AddBox(scene, 2, QRect(200, 0, 100, 40));
        scene.Execute(std::make_unique<CGeometryAction>(
            scene, CCanvasAction::Move, u"Move"_qs,
            QList<CGeometryAction::Entry>{{2, QPoint(200, 0), QPoint(200, 90), QSize(100, 40), QSize(100, 40)}}));
        a->setSelected(true);
        b->setSelected(true);
        CanvasEdits::SetFill(scene, Qt::red);
        QVERIFY(scene.PeekUndo());
        QCOMPARE(scene.PeekUndo()->ActionKind(), CCanvasAction::Format);
        QCOMPARE(scene.PeekUndo()->AffectedKeys(), (QList<int>{1, 2}));
        scene.UndoStack()->undo();
        QCOMPARE(scene.PeekUndo()->ActionKind(), CCanvasAction::Move);
        QCOMPARE(scene.PeekUndo()->AffectedKeys(), QList<int>{2});
        scene.UndoStack()->undo();
        QVERIFY(!scene.PeekUndo());
    }

    void formatChangesUndo()
    {
        CCanvasScene scene;
        CCompositeShape *a = AddBox(scene, 1, QRect(0, 0, 100, 40));
        AddBox(scene, 2, QRect(0, 200, 100, 40));
        CLinkShape *l = scene.ConnectDirect(1, 1, 2, 0);
        a->setSelected(true);
        l->setSelected(true);
        QVERIFY(CanvasEdits::SetLineWidth(scene, 5));
        QVERIFY(CanvasEdits::SetLineColor(scene, Qt::blue));
        QVERIFY(CanvasEdits::SetFaceName(scene, u"Courier"_qs));
        QVERIFY(CanvasEdits::SetPointSize(scene, 14));
        QVERIFY(CanvasEdits::SetFill(scene, Qt::yellow));
        QCOMPARE(l->EffectiveLineWidth(), 5);
        QCOMPARE(l->EffectiveLineColor(), QColor(Qt::blue));
        QCOMPARE(a->EffectiveFill(a->Cell(0)), QColor(Qt::yellow));
        QCOMPARE(a->EffectiveFont(a->Cell(0)).family(), u"Courier"_qs);
        QCOMPARE(a->EffectiveFont(a->Cell(0)).pixelSize(), (14 * 4 + 1) / 3);
        QCOMPARE(scene.UndoStack()->count(), 5);
        // the same value again is no step
        QVERIFY(!CanvasEdits::SetFill(scene, Qt::yellow));
        QVERIFY(!CanvasEdits::SetPointSize(scene, 0));
        for (int i = 0; i < 5; ++i)
            scene.UndoStack()->undo();
        QCOMPARE(a->Format(), Canvas::CShapeFormat());
        QCOMPARE(l->Format(), Canvas::CShapeFormat());
        QCOMPARE(l->EffectiveLineWidth(), 1);
        QCOMPARE(a->EffectiveFill(a->Cell(0)), QColor(Qt::white));
    }

    // Without a delegate the canvas keeps its links itself, undoably.
    void linkActionsUndo()
    {
        CCanvasScene scene;
        AddBox(scene, 1, QRect(0, 0, 100, 40));
        AddBox(scene, 2, QRect(0, 200, 100, 40));
        scene.Delegate().LinkRequested(1, 2);
        QVERIFY(scene.FindLink(1, 2));
        QCOMPARE(scene.PeekUndo()->ActionKind(), CCanvasAction::AddLink);
        scene.Delegate().LinkRequested(1, 2); // already there
        QCOMPARE(scene.UndoStack()->count(), 1);
        scene.FindLink(1, 2)->setSelected(true);
        CanvasEdits::SetLineWidth(scene, 3);
        scene.Delegate().LinkCut(1, 2);
        QVERIFY(!scene.FindLink(1, 2));
        QCOMPARE(scene.PeekUndo()->ActionKind(), CCanvasAction::RemoveLink);
        scene.UndoStack()->undo();
        QVERIFY(scene.FindLink(1, 2));
        QCOMPARE(scene.FindLink(1, 2)->EffectiveLineWidth(), 3); // comes back as it was
        scene.UndoStack()->undo();
        scene.UndoStack()->undo();
        QVERIFY(!scene.FindLink(1, 2));
        scene.UndoStack()->redo();
        QVERIFY(scene.FindLink(1, 2));
    }

    // Undo holds keys: a shape that went meanwhile is skipped, not touched.
    void actionsOfGoneShapesDoNothing()
    {
        CCanvasScene scene;
        AddBox(scene, 1, QRect(0, 0, 100, 40));
        AddBox(scene, 2, QRect(0, 100, 100, 40));
        scene.Execute(std::make_unique<CGeometryAction>(
            scene, CCanvasAction::Move, u"Move"_qs,
            QList<CGeometryAction::Entry>{{1, QPoint(0, 0), QPoint(50, 0), QSize(100, 40), QSize(100, 40)},
                                          {2, QPoint(0, 100), QPoint(50, 100), QSize(100, 40), QSize(100, 40)}}));
        scene.RemoveShape(1);
        scene.UndoStack()->undo();
        QCOMPARE(posOf(scene, 2), QPoint(0, 100));
        scene.UndoStack()->redo();
        QCOMPARE(posOf(scene, 2), QPoint(50, 100));
    }

    void hitTesting_data()
    {
        QTest::addColumn<QPointF>("at");
        QTest::addColumn<int>("expected"); // 0 nothing, 1 the box, 2 the link
        QTest::newRow("inside the box") << QPointF(60, 20) << 1;
        QTest::newRow("box corner") << QPointF(10, 0) << 1;
        QTest::newRow("just outside the box") << QPointF(111, 20) << 0;
        QTest::newRow("on the link") << QPointF(60, 120) << 2;
        QTest::newRow("beside the link") << QPointF(80, 120) << 0;
        QTest::newRow("empty canvas") << QPointF(700, 500) << 0;
    }

    void hitTesting()
    {
        QFETCH(QPointF, at);
        QFETCH(int, expected);
        CCanvasScene scene;
        CCompositeShape *box = AddBox(scene, 1, QRect(10, 0, 100, 40));
        AddBox(scene, 2, QRect(10, 200, 100, 40));
        CLinkShape *link = scene.ConnectDirect(1, 1, 2, 0);
        QGraphicsItem *hit = scene.ShapeAt(at);
        QCOMPARE(hit, expected == 1   ? static_cast<QGraphicsItem *>(box)
                      : expected == 2 ? static_cast<QGraphicsItem *>(link)
                                      : nullptr);
        // hidden shapes are not there
        box->hide();
        link->hide();
        QVERIFY(!scene.ShapeAt(at));
    }

    void dragIsOneMoveStep()
    {
        ShownScene s;
        QVERIFY(QTest::qWaitForWindowExposed(&s.view));
        AddBox(s.scene, 1, QRect(100, 100, 100, 40));
        QSignalSpy moved(&s.scene, &CCanvasScene::shapesMoved);
        QWidget *vp = s.view.viewport();
        QTest::mousePress(vp, Qt::LeftButton, {}, s.at(QPointF(150, 110)));
        QTest::mouseMove(vp, s.at(QPointF(170, 130)));
        QTest::mouseMove(vp, s.at(QPointF(250, 210)));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, s.at(QPointF(250, 210)));
        QCOMPARE(posOf(s.scene, 1), QPoint(200, 200));
        QCOMPARE(s.scene.UndoStack()->count(), 1);
        QCOMPARE(s.scene.PeekUndo()->ActionKind(), CCanvasAction::Move);
        QCOMPARE(moved.count(), 1);
        const auto moves = moved.first().first().value<QList<CShapeMove>>();
        QCOMPARE(moves.size(), 1);
        QCOMPARE(moves.first().from, QPoint(100, 100));
        QCOMPARE(moves.first().to, QPoint(200, 200));
        s.scene.UndoStack()->undo();
        QCOMPARE(posOf(s.scene, 1), QPoint(100, 100));
        // a click without a move is no step
        QTest::mouseClick(vp, Qt::LeftButton, {}, s.at(QPointF(150, 110)));
        QCOMPARE(s.scene.UndoStack()->index(), 0);
    }

    void dragStopsAtTheOrigin()
    {
        ShownScene s;
        QVERIFY(QTest::qWaitForWindowExposed(&s.view));
        s.view.centerOn(QPointF(0, 0));
        AddBox(s.scene, 1, QRect(20, 30, 100, 40));
        s.scene.setSceneRect(-400, -400, 2000, 2000); // room to drag beyond
        s.view.centerOn(QPointF(0, 0));
        QWidget *vp = s.view.viewport();
        QTest::mousePress(vp, Qt::LeftButton, {}, s.at(QPointF(70, 50)));
        QTest::mouseMove(vp, s.at(QPointF(30, 30)));
        QTest::mouseMove(vp, s.at(QPointF(-50, -20)));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, s.at(QPointF(-50, -20)));
        QCOMPARE(posOf(s.scene, 1), QPoint(0, 0));
    }

    void drawingALinkFromAPort()
    {
        ShownScene s;
        QVERIFY(QTest::qWaitForWindowExposed(&s.view));
        AddBox(s.scene, 1, QRect(100, 100, 100, 40));
        AddBox(s.scene, 2, QRect(100, 300, 100, 40));
        QWidget *vp = s.view.viewport();
        QTest::mousePress(vp, Qt::LeftButton, {}, s.at(QPointF(150, 139)));
        QTest::mouseMove(vp, s.at(QPointF(150, 250)));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, s.at(QPointF(150, 320)));
        QTRY_VERIFY(s.scene.FindLink(1, 2));
        QCOMPARE(posOf(s.scene, 1), QPoint(100, 100)); // drawing a link is no move
        // the rubber line is gone
        int lines = 0;
        for (QGraphicsItem *i : s.scene.items())
            lines += i->type() == QGraphicsLineItem::Type;
        QCOMPARE(lines, 0);
        // released on empty canvas: no link
        QTest::mousePress(vp, Qt::LeftButton, {}, s.at(QPointF(150, 339)));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, s.at(QPointF(500, 500)));
        QCOMPARE(s.scene.UndoStack()->count(), 1);
    }

    void draggingALinkEndOffCutsIt()
    {
        ShownScene s;
        QVERIFY(QTest::qWaitForWindowExposed(&s.view));
        AddBox(s.scene, 1, QRect(100, 100, 100, 40));
        AddBox(s.scene, 2, QRect(100, 300, 100, 40));
        AddBox(s.scene, 3, QRect(400, 300, 100, 40));
        CLinkShape *l = s.scene.ConnectDirect(1, 1, 2, 0);
        s.scene.SelectOnly(l);
        QWidget *vp = s.view.viewport();
        // onto another shape: the link now ends there
        QTest::mousePress(vp, Qt::LeftButton, {}, s.at(QPointF(150, 300)));
        QTest::mouseMove(vp, s.at(QPointF(300, 310)));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, s.at(QPointF(450, 320)));
        QTRY_VERIFY(s.scene.FindLink(1, 3));
        QVERIFY(!s.scene.FindLink(1, 2));
        // off onto empty canvas: the link is cut
        s.scene.SelectOnly(s.scene.FindLink(1, 3));
        QTest::mousePress(vp, Qt::LeftButton, {}, s.at(QPointF(450, 300)));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, s.at(QPointF(700, 200)));
        QTRY_VERIFY(!s.scene.FindLink(1, 3));
        s.scene.UndoStack()->undo();
        QVERIFY(s.scene.FindLink(1, 3));
    }
};

QTEST_MAIN(TestCanvasScene)
#include "tst_canvasscene.moc"
