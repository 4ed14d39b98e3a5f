// Zoom, pan and the pan window of the canvas.
#include "guitestkit.h"

#include "canvas/canvasbars.h"
#include "canvas/canvasscene.h"
#include "canvas/canvasview.h"
#include "canvas/compositeshape.h"
#include "canvas/panwindow.h"

#include <QAction>
#include <QComboBox>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolBar>
#include <QUndoStack>
#include <QtTest>

using GuiTestKit::AddBox;

class TestCanvasView : public QObject
{
    Q_OBJECT
private slots:
    void zoomSteps_data()
    {
        QTest::addColumn<QString>("steps"); // i in, o out, f 100 %
        QTest::addColumn<double>("zoom");
        QTest::newRow("one in") << u"i"_qs << 1.25;
        QTest::newRow("two in") << u"ii"_qs << 1.5625;
        QTest::newRow("in and out") << u"io"_qs << 1.0;
        QTest::newRow("one out") << u"o"_qs << 0.8;
        QTest::newRow("back to 100") << u"iiif"_qs << 1.0;
        QTest::newRow("never beyond the largest") << QString(30, u'i') << CCanvasView::kMaxZoom;
        QTest::newRow("never below the smallest") << QString(60, u'o') << CCanvasView::kMinZoom;
    }

    void zoomSteps()
    {
        QFETCH(QString, steps);
        QFETCH(double, zoom);
        CCanvasScene scene;
        CCanvasView view(&scene);
        QSignalSpy changed(&view, &CCanvasView::zoomChanged);
        for (QChar c : steps) {
            if (c == u'i')
                view.ZoomIn();
            else if (c == u'o')
                view.ZoomOut();
            else
                view.ZoomTo100();
        }
        QVERIFY(qAbs(view.Zoom() - zoom) < 1e-9);
        QVERIFY(qAbs(view.transform().m11() - zoom) < 1e-9);
        if (!changed.isEmpty())
            QVERIFY(qAbs(changed.last().first().toDouble() - zoom) < 1e-9);
    }

    void ctrlWheelZooms()
    {
        CCanvasScene scene;
        CCanvasView view(&scene);
        view.resize(400, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QPointF pos(100, 100);
        QWheelEvent in(pos, view.viewport()->mapToGlobal(pos), QPoint(), QPoint(0, 120), Qt::NoButton,
                       Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &in);
        QVERIFY(qAbs(view.Zoom() - 1.25) < 1e-9);
        QWheelEvent out(pos, view.viewport()->mapToGlobal(pos), QPoint(), QPoint(0, -240), Qt::NoButton,
                        Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &out);
        QVERIFY(qAbs(view.Zoom() - 0.8) < 1e-9);
        // without Ctrl the wheel scrolls
        const int before = view.verticalScrollBar()->value();
        QWheelEvent scroll(pos, view.viewport()->mapToGlobal(pos), QPoint(), QPoint(0, -120), Qt::NoButton,
                           Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &scroll);
        QVERIFY(qAbs(view.Zoom() - 0.8) < 1e-9);
        QVERIFY(view.verticalScrollBar()->value() > before);
    }

    void fitToWindowShowsEverything()
    {
        CCanvasScene scene;
        AddBox(scene, 1, QRect(0, 0, 200, 50));
        AddBox(scene, 2, QRect(5000, 3000, 200, 50));
        CCanvasView view(&scene);
        view.resize(500, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.FitToWindow();
        QVERIFY(view.Zoom() < 0.1);
        const QRectF visible = view.mapToScene(view.viewport()->rect()).boundingRect();
        QVERIFY(visible.contains(QRectF(0, 0, 200, 50)));
        QVERIFY(visible.contains(QRectF(5000, 3000, 200, 50)));
        // with a margin: the far boxes do not touch the window's edge
        QVERIFY2(visible.right() >= 5200 + 20 && visible.bottom() >= 3050 + 20,
                 qPrintable(u"%1,%2"_qs.arg(visible.right()).arg(visible.bottom())));
    }

    void actualSizeKeepsTheWork_data()
    {
        QTest::addColumn<int>("selected"); // key of the selected box, 0 for none
        QTest::addColumn<QRectF>("kept");  // must be in view at 100%
        QTest::newRow("the selection") << 2 << QRectF(5000, 3000, 200, 50);
        QTest::newRow("the top of the drawing without one") << 0 << QRectF(2400, 0, 200, 50);
    }

    // Actual Size must not leave the user looking at an empty area.
    void actualSizeKeepsTheWork()
    {
        QFETCH(int, selected);
        QFETCH(QRectF, kept);
        CCanvasScene scene;
        AddBox(scene, 1, QRect(2400, 0, 200, 50));
        CCompositeShape *far = AddBox(scene, 2, QRect(5000, 3000, 200, 50));
        AddBox(scene, 3, QRect(0, 3000, 200, 50));
        CCanvasView view(&scene);
        view.resize(500, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.FitToWindow();
        if (selected)
            far->setSelected(true);
        view.ZoomTo100();
        QCOMPARE(view.Zoom(), 1.0);
        const QRectF visible = view.mapToScene(view.viewport()->rect()).boundingRect();
        QVERIFY2(visible.contains(kept), qPrintable(u"%1,%2"_qs.arg(visible.x()).arg(visible.y())));
    }

    void middleButtonPans()
    {
        CCanvasScene scene;
        scene.SetPages(4, 4);
        CCanvasView view(&scene);
        view.resize(400, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.centerOn(1000, 1000);
        const QPointF before = view.mapToScene(view.viewport()->rect().center());
        QWidget *vp = view.viewport();
        QTest::mousePress(vp, Qt::MiddleButton, {}, QPoint(200, 150));
        QTest::mouseMove(vp, QPoint(150, 100));
        QTest::mouseRelease(vp, Qt::MiddleButton, {}, QPoint(150, 100));
        const QPointF after = view.mapToScene(view.viewport()->rect().center());
        QCOMPARE(after - before, QPointF(50, 50));
        QVERIFY(scene.selectedItems().isEmpty());
    }

    void panWindowFrameFollowsAndMovesTheView()
    {
        CCanvasScene scene;
        scene.SetPages(3, 3);
        CCanvasView view(&scene);
        view.resize(400, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        CPanWindow pan;
        pan.resize(330, 255);
        pan.SetView(&view);
        pan.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pan));
        view.centerOn(0, 0);
        const QRectF frame0 = pan.VisibleFrame();
        QVERIFY(!frame0.isEmpty());
        // the frame is the visible part of the page area, scaled down
        const QRectF mapped = pan.MapFromScene(view.VisibleSceneRect());
        QCOMPARE(frame0, mapped);
        // clicking beside the frame centres the view there
        const QPointF target = pan.MapFromScene(QRectF(2000, 1500, 0, 0)).topLeft();
        QTest::mouseClick(&pan, Qt::LeftButton, {}, target.toPoint());
        const QPointF centre = view.mapToScene(view.viewport()->rect().center());
        QVERIFY2(QLineF(centre, QPointF(2000, 1500)).length() < 20,
                 qPrintable(QStringLiteral("%1,%2").arg(centre.x()).arg(centre.y())));
        QVERIFY(pan.VisibleFrame() != frame0);
    }

    void barsActOnTheActiveScene()
    {
        CCanvasScene a;
        CCanvasScene b;
        CCompositeShape *boxA = AddBox(a, 1, QRect(0, 0, 100, 40));
        AddBox(a, 2, QRect(300, 70, 100, 40));
        QToolBar format;
        QToolBar align;
        CCanvasBars bars;
        bars.Install(&format, &align);
        QCOMPARE(bars.AlignActions().size(), 8);
        bars.SetScene(&a);
        QVERIFY(!bars.AlignAction(CanvasEdits::Alignment::Left)->isEnabled());
        boxA->setSelected(true);
        a.ShapeByKey(2)->setSelected(true);
        QVERIFY(bars.AlignAction(CanvasEdits::Alignment::Left)->isEnabled());
        bars.AlignAction(CanvasEdits::Alignment::Top)->trigger();
        QCOMPARE(a.ShapeByKey(2)->pos(), QPointF(300, 0));
        bars.WidthBox()->setCurrentIndex(3);
        emit bars.WidthBox()->activated(3);
        QCOMPARE(boxA->Format().lineWidth, std::optional<int>(4));
        // another window active: the bars follow it
        bars.SetScene(&b);
        QVERIFY(!bars.AlignAction(CanvasEdits::Alignment::Left)->isEnabled());
        bars.AlignAction(CanvasEdits::Alignment::Bottom)->trigger();
        QCOMPARE(a.UndoStack()->count(), 2);
        QCOMPARE(b.UndoStack()->count(), 0);
    }
};

QTEST_MAIN(TestCanvasView)
#include "tst_canvasview.moc"
