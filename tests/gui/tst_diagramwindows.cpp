// What the windows of interaction networks and interface diagrams draw:
// exactly the boxes, ports, routes, labels and marks that core computed.
#include "diagramtestkit.h"

#include "canvas/canvasscene.h"
#include "canvas/canvasview.h"
#include "derive/cid.h"
#include "derive/cin.h"
#include "diagram/diagramdrawing.h"
#include "diagram/diagramline.h"
#include "diagram/kelcidshape.h"
#include "diagram/kelcinshape.h"
#include "dialogs/kelciddlg.h"

#include <QComboBox>
#include <QSet>
#include <QtTest>

using namespace DiagramTestKit;

using Setup = std::function<void(Frame &)>;
Q_DECLARE_METATYPE(Setup)

namespace {

QList<QPointF> toF(const QList<QPoint> &points)
{
    QList<QPointF> out;
    for (const QPoint &p : points)
        out.append(QPointF(p));
    return out;
}

template<class T> QList<T *> itemsOf(const QGraphicsScene &scene)
{
    QList<T *> out;
    for (QGraphicsItem *i : scene.items()) {
        if (auto *t = dynamic_cast<T *>(i))
            out.append(t);
    }
    return out;
}

QRect rectOf(const Cid::Rect &r)
{
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

// More components, rows of several boxes, lines back up and across: the
// example's IBT grown so that routing has something to do.
void growOven(Frame &f)
{
    CKELDataManager &m = f.model();
    for (const QString &c : {u"TIMER"_qs, u"BEEPER"_qs, u"LIGHT"_qs})
        m.AddComponent(c, false);
    CKELTree *oven = f.tree(KEL::DBTs, u"Oven"_qs);
    const int root = oven->Roots().first()->GetId();
    int cooking = 0;
    for (CKELMethod *n : oven->Nodes()) {
        if (n->behavior == u"cooking")
            cooking = n->GetId();
    }
    const int timer = AddNode(m, *oven, cooking, u"TIMER"_qs, u"running"_qs);
    const int beeper = AddNode(m, *oven, timer, u"BEEPER"_qs, u"beep"_qs, KEL::InternalOutput);
    AddNode(m, *oven, beeper, u"OVEN"_qs, u"idle"_qs);
    const int light = AddNode(m, *oven, cooking, u"LIGHT"_qs, u"on"_qs);
    const int door = AddNode(m, *oven, light, u"DOOR"_qs, u"open"_qs, KEL::Event);
    AddNode(m, *oven, door, u"LIGHT"_qs, u"off"_qs);
    AddNode(m, *oven, door, u"OVEN"_qs, u"paused"_qs);
    const int early = AddNode(m, *oven, root, u"DOOR"_qs, u"open"_qs, KEL::Event);
    AddNode(m, *oven, early, u"LIGHT"_qs, u"on"_qs);
}

// Version 1.1 copies 1.0; then 1.0's IBT gains a branch the new version
// lacks and 1.1's a branch the old one lacks; the EVT merges the two.
int makeEvolution(Frame &f)
{
    CKELDataManager &m = f.model();
    const CKELVersion *v10 = m.CurrentVersion();
    if (!m.NewVersion(u"1.1"_qs, v10->GetId()))
        return 0;
    const CKELVersion *v11 = nullptr;
    for (const auto &c : v10->GetParent()->Children()) {
        if (c->GetTypeCode() == KEL::Version && c->GetName() == u"1.1")
            v11 = static_cast<const CKELVersion *>(c.get());
    }
    CKELTree *old = f.tree(KEL::DBTs, u"Oven"_qs, v10);
    CKELTree *now = f.tree(KEL::DBTs, u"Oven"_qs, v11);
    if (!v11 || !old || !now)
        return 0;
    const int oldDoor = AddNode(m, *old, old->Roots().first()->GetId(), u"DOOR"_qs, u"open"_qs, KEL::Event);
    AddNode(m, *old, oldDoor, u"OVEN"_qs, u"locked"_qs);
    m.SetCurrentVersion(v11->GetId());
    m.AddComponent(u"LIGHT"_qs, false);
    int cooking = 0;
    for (CKELMethod *n : now->Nodes()) {
        if (n->behavior == u"cooking")
            cooking = n->GetId();
    }
    const int light = AddNode(m, *now, cooking, u"LIGHT"_qs, u"on"_qs);
    AddNode(m, *now, light, u"OVEN"_qs, u"lit"_qs);
    if (!m.AddEVT({old->GetId(), now->GetId()}))
        return 0;
    const CKELData *evts = m.Solution()->FirstChildOfType<CKELData>(KEL::EVTs);
    return evts && !evts->Children().empty() ? evts->Children().back()->GetId() : 0;
}

} // namespace

class TestDiagramWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_home = GuiTestKit::IsolateHome(); }

    void cinWindowDrawsTheCoreNetwork_data()
    {
        QTest::addColumn<int>("folder");
        QTest::addColumn<QString>("treeName");
        QTest::addColumn<Setup>("setup");
        QTest::newRow("an RBT") << int(KEL::RBTs) << u"R3"_qs << Setup();
        QTest::newRow("a grown IBT with lines back and across") << int(KEL::DBTs) << u"Oven"_qs << Setup(growOven);
    }

    // Every box stands where core placed it with its eighteen ports; every
    // connection follows core's polyline from the chosen bottom port to the
    // chosen top port.
    void cinWindowDrawsTheCoreNetwork()
    {
        QFETCH(int, folder);
        QFETCH(QString, treeName);
        QFETCH(Setup, setup);
        Frame f;
        if (setup)
            setup(f);
        CKELTree *tree = f.tree(folder, treeName);
        QVERIFY(tree);
        QVERIFY(f.runExplorer(tree->GetId(), u"Create CIN"_qs));
        CDiagramWindow *w = f.onlyWindow();
        QVERIFY(w);
        const auto *cin = f.model().LookupAs<CKELCIN>(w->ElementId(), KEL::CIN);
        QVERIFY(cin);
        QCOMPARE(cin->GetParent(), tree);
        const Cin::Network net = Cin::NetworkOf(*cin);
        QVERIFY(!net.boxes.isEmpty());

        const QList<CKELCINShape *> shapes = itemsOf<CKELCINShape>(w->Scene());
        QCOMPARE(shapes.size(), net.boxes.size());
        for (const Cin::Box &box : net.boxes) {
            auto *shape = dynamic_cast<CKELCINShape *>(w->Scene().ShapeByKey(box.nodeId));
            QVERIFY2(shape, qPrintable(box.component));
            QCOMPARE(shape->Component(), box.component);
            QCOMPARE(shape->GetBoundRect(), QRect(box.x, box.y, Cin::kBoxWidth, Cin::kBoxHeight));
            QCOMPARE(shape->PortCount(), 2 * Cin::kPortCount);
            for (int k = 1; k <= Cin::kPortCount; ++k) {
                QCOMPARE(shape->PortScenePos(CKELCINShape::TopPortIndex(k)), QPointF(box.TopPort(k)));
                QCOMPARE(shape->PortScenePos(CKELCINShape::BottomPortIndex(k)), QPointF(box.BottomPort(k)));
            }
        }

        QList<CDiagramLine *> lines = itemsOf<CDiagramLine>(w->Scene());
        QCOMPARE(lines.size(), net.connections.size());
        for (const Cin::Connection &c : net.connections) {
            const QList<QPointF> points = toF(c.points);
            const auto it = std::find_if(lines.begin(), lines.end(),
                                         [&points](const CDiagramLine *l) { return l->Points() == points; });
            QVERIFY2(it != lines.end(), qPrintable(net.boxes[c.from].component + u"->"_qs + net.boxes[c.to].component));
            QVERIFY((*it)->HasEndArrow());
            QVERIFY((*it)->zValue() < Canvas::kShapeZ);
            lines.erase(it);
            auto *from = static_cast<CKELCINShape *>(w->Scene().ShapeByKey(net.boxes[c.from].nodeId));
            auto *to = static_cast<CKELCINShape *>(w->Scene().ShapeByKey(net.boxes[c.to].nodeId));
            QCOMPARE(points.first(), from->PortScenePos(CKELCINShape::BottomPortIndex(c.fromPort)));
            QCOMPARE(points.last(), to->PortScenePos(CKELCINShape::TopPortIndex(c.toPort)));
            QVERIFY(from->BottomUsed(c.fromPort));
            QVERIFY(to->TopUsed(c.toPort));
        }
        // the page area holds the whole drawing
        QVERIFY(QRectF(w->Scene().PageArea()).contains(w->Scene().itemsBoundingRect()));
    }

    void movedCinBoxTakesItsLines_data()
    {
        QTest::addColumn<QString>("component");
        QTest::addColumn<QPoint>("by");
        QTest::addColumn<QPoint>("lands"); // null: where it was dropped
        QTest::newRow("near a free place of the grid") << u"LIGHT"_qs << QPoint(300, 40) << QPoint(770, 210);
        QTest::newRow("near a taken place") << u"DOOR"_qs << QPoint(-200, -150) << QPoint();
    }

    // A user drags a box of the network: it takes the nearest free place of the
    // grid or stays where it was dropped, and every line still runs from a
    // bottom port of its source to a top port of its target; the stored
    // network is not changed.
    void movedCinBoxTakesItsLines()
    {
        QFETCH(QString, component);
        QFETCH(QPoint, by);
        QFETCH(QPoint, lands);
        Frame f;
        growOven(f);
        CKELTree *tree = f.tree(KEL::DBTs, u"Oven"_qs);
        QVERIFY(f.runExplorer(tree->GetId(), u"Create CIN"_qs));
        CDiagramWindow *w = f.onlyWindow();
        QVERIFY(w);
        f.frame->show();
        w->showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const Cin::Network stored = Cin::NetworkOf(*f.model().LookupAs<CKELCIN>(w->ElementId(), KEL::CIN));
        const auto box = std::find_if(stored.boxes.begin(), stored.boxes.end(),
                                      [&component](const Cin::Box &b) { return b.component == component; });
        QVERIFY(box != stored.boxes.end());
        CCompositeShape *shape = w->Scene().ShapeByKey(box->nodeId);
        QVERIFY(shape);
        CCanvasView &view = w->View();
        view.ZoomTo100();
        const QPointF grab = shape->sceneBoundingRect().center();
        view.centerOn(grab + QPointF(by) / 2);
        QWidget *vp = view.viewport();
        QTest::mousePress(vp, Qt::LeftButton, {}, view.mapFromScene(grab));
        QTest::mouseMove(vp, view.mapFromScene(grab + QPointF(by) / 2));
        QTest::mouseMove(vp, view.mapFromScene(grab + QPointF(by)));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, view.mapFromScene(grab + QPointF(by)));
        QCOMPARE(shape->pos().toPoint(), lands.isNull() ? QPoint(box->x, box->y) + by : lands);

        // every line leaves a bottom edge and enters a top edge where the boxes stand now
        const QList<CDiagramLine *> lines = itemsOf<CDiagramLine>(w->Scene());
        QCOMPARE(lines.size(), stored.connections.size());
        for (const Cin::Connection &c : stored.connections) {
            const QRect from = w->Scene().ShapeByKey(stored.boxes[c.from].nodeId)->GetBoundRect();
            const QRect to = w->Scene().ShapeByKey(stored.boxes[c.to].nodeId)->GetBoundRect();
            const auto it = std::find_if(lines.begin(), lines.end(), [&](const CDiagramLine *l) {
                const QPointF a = l->Points().first(), b = l->Points().last();
                return a.y() == from.bottom() + 1 && a.x() > from.left() && a.x() < from.right() + 1
                       && b.y() == to.top() && b.x() > to.left() && b.x() < to.right() + 1;
            });
            QVERIFY2(it != lines.end(),
                     qPrintable(stored.boxes[c.from].component + u"->"_qs + stored.boxes[c.to].component));
        }
        // the model keeps the computed places: the move is the window's own
        const Cin::Network after = Cin::NetworkOf(*f.model().LookupAs<CKELCIN>(w->ElementId(), KEL::CIN));
        QCOMPARE(QPoint(after.boxes[box - stored.boxes.begin()].x, after.boxes[box - stored.boxes.begin()].y),
                 QPoint(box->x, box->y));
    }

    void cidWindowDrawsTheCoreInterface_data()
    {
        QTest::addColumn<QString>("component");
        QTest::addColumn<Setup>("setup");
        QTest::newRow("the oven of a grown IBT") << u"OVEN"_qs << Setup(growOven);
        QTest::newRow("a long item wraps in a taller label") << u"OVEN"_qs << Setup([](Frame &f) {
            f.model().AddComponent(u"SENSOR"_qs, false);
            CKELTree *oven = f.tree(KEL::DBTs, u"Oven"_qs);
            AddNode(f.model(), *oven, oven->Roots().first()->GetId(), u"SENSOR"_qs,
                    u"person detected near the door"_qs);
        });
        QTest::newRow("a component with selections only gives an empty diagram") << u"TIMER"_qs << Setup([](Frame &f) {
            f.model().AddComponent(u"TIMER"_qs, false);
            CKELTree *oven = f.tree(KEL::DBTs, u"Oven"_qs);
            AddNode(f.model(), *oven, oven->Roots().first()->GetId(), u"TIMER"_qs, u"expired"_qs, KEL::Selection);
        });
    }

    // The component's shape, its two state labels per box, and the stimulus
    // and response items with their links stand where core put them.
    void cidWindowDrawsTheCoreInterface()
    {
        QFETCH(QString, component);
        QFETCH(Setup, setup);
        Frame f;
        if (setup)
            setup(f);
        CKELTree *tree = f.tree(KEL::DBTs, u"Oven"_qs);
        const Cid::Drawing expected =
            Cid::DrawInterface(Cid::BuildInterface(*tree, component), DiagramDrawing::MeasureLabelText);
        f.script.Accept<CKELCIDDlg>(
            [component](CKELCIDDlg &d) { d.Components()->setCurrentIndex(d.Components()->findText(component)); });
        QVERIFY(f.runExplorer(tree->GetId(), u"Create CID"_qs));
        QCOMPARE(f.script.titles, QStringList{u"Select details for CID"_qs});
        CDiagramWindow *w = f.onlyWindow();
        QVERIFY(w);
        QCOMPARE(f.model().Lookup(w->ElementId())->GetName(), component);

        const QList<CKELCIDShape *> shapes = itemsOf<CKELCIDShape>(w->Scene());
        if (expected.boxes.isEmpty()) {
            QVERIFY(w->Scene().items().isEmpty());
            return;
        }
        QCOMPARE(shapes.size(), 1);
        const CKELCIDShape *shape = shapes.first();
        QCOMPARE(shape->OwnRect().translated(shape->pos().toPoint()), rectOf(expected.shape));
        QCOMPARE(shape->BoxCount(), expected.boxes.size());

        QList<QPair<QRect, QString>> wantItems;
        QList<QPair<QPointF, QPointF>> wantLinks;
        for (int k = 0; k < expected.boxes.size(); ++k) {
            const Cid::BoxDrawing &b = expected.boxes[k];
            for (const auto &[name, label] :
                 {std::pair{u"PrecondLabel"_qs, b.precondition}, std::pair{u"NewStateLabel"_qs, b.newState}}) {
                const int cell = shape->BoxCell(k, name);
                QVERIFY(cell >= 0);
                QCOMPARE(shape->Cell(cell).text, label.text);
                QCOMPARE(shape->Cell(cell).rect.translated(shape->pos().toPoint()), rectOf(label.rect));
                QCOMPARE(shape->Cell(cell).faceName, u"Arial"_qs);
            }
            for (const QList<Cid::Label> *stack : {&b.stimulus, &b.responses}) {
                for (const Cid::Label &l : *stack)
                    wantItems.append({rectOf(l.rect), l.text});
            }
            for (const std::optional<Cid::Line> &l : {b.stimulusLink, b.responseLink}) {
                if (l)
                    wantLinks.append({QPointF(l->from), QPointF(l->to)});
            }
        }
        QList<QPair<QRect, QString>> items;
        for (const CKELCIDTextLabel *l : itemsOf<CKELCIDTextLabel>(w->Scene()))
            items.append({l->GetBoundRect(), l->Text()});
        QList<QPair<QPointF, QPointF>> links;
        for (const CDiagramLine *l : itemsOf<CDiagramLine>(w->Scene()))
            links.append({l->Points().first(), l->Points().last()});
        auto sorted = [](auto list) {
            std::sort(list.begin(), list.end(), [](const auto &a, const auto &b) {
                return std::tuple(a.first.x(), a.first.y(), a.second) < std::tuple(b.first.x(), b.first.y(), b.second);
            });
            return list;
        };
        QCOMPARE(sorted(items), sorted(wantItems));
        QCOMPARE(links.size(), wantLinks.size());
        for (const auto &l : wantLinks)
            QVERIFY(links.contains(l));
        QVERIFY(w->Scene().PageArea().right() >= expected.shape.right + 50);
    }

    // Boxes of components the last version dropped are grey, those it added
    // have a heavy frame; connections likewise grey or bold, and each names
    // the versions it occurs in.
    void evolutionaryCinShowsDroppedAndAdded()
    {
        Frame f;
        const int evt = makeEvolution(f);
        QVERIFY(evt);
        QVERIFY(f.runExplorer(evt, u"Evolutionary CIN"_qs));
        CDiagramWindow *w = f.onlyWindow();
        QVERIFY(w);
        const Cin::Network net = Cin::NetworkOf(*f.model().LookupAs<CKELCIN>(w->ElementId(), KEL::CIN));
        QSet<int> statuses;
        for (const Cin::Box &box : net.boxes) {
            const auto *shape = static_cast<CKELCINShape *>(w->Scene().ShapeByKey(box.nodeId));
            const CLabelCell &cell = shape->Cell(shape->FindCell(u"Comp"_qs));
            statuses.insert(box.evolution.status);
            QCOMPARE(Canvas::ToColorRef(cell.bkColor), box.evolution.status == -1 ? 0xD2D2D2u : 0xE3E0BBu);
            QCOMPARE(cell.lineWidth, box.evolution.status == 1 ? 3 : 1);
            QVERIFY(shape->toolTip().startsWith(u"Version:"_qs));
        }
        QCOMPARE(statuses, (QSet<int>{-1, 0, 1}));
        const QString oldName = u"1.0->Oven"_qs;
        const QString newName = u"1.1->Oven"_qs;
        for (const Cin::Connection &c : net.connections) {
            const QList<QPointF> points = toF(c.points);
            const QList<CDiagramLine *> lines = itemsOf<CDiagramLine>(w->Scene());
            const auto it = std::find_if(lines.begin(), lines.end(),
                                         [&points](const CDiagramLine *l) { return l->Points() == points; });
            QVERIFY(it != lines.end());
            const CDiagramLine *line = *it;
            QCOMPARE(line->LineWidth(), c.evolution.status == 1 ? 2 : 1);
            QCOMPARE(Canvas::ToColorRef(line->LineColor()), c.evolution.status == -1 ? 0xC0C0C0u : 0u);
            QVERIFY(line->toolTip().startsWith(u"Version:"_qs));
            QCOMPARE(line->toolTip().contains(oldName), c.evolution.status != 1);
            QCOMPARE(line->toolTip().contains(newName), c.evolution.status != -1);
        }
    }

    // A state the last version dropped or added is told apart on its label;
    // the marker itself is never shown.
    void evolutionaryCidShowsDroppedAndAdded()
    {
        Frame f;
        const int evt = makeEvolution(f);
        QVERIFY(evt);
        f.script.Accept<CKELCIDDlg>(
            [](CKELCIDDlg &d) { d.Components()->setCurrentIndex(d.Components()->findText(u"OVEN"_qs)); });
        QVERIFY(f.runExplorer(evt, u"Evolutionary CID"_qs));
        CDiagramWindow *w = f.onlyWindow();
        QVERIFY(w);
        const auto *tree = static_cast<const CKELTree *>(f.model().Lookup(evt));
        const QList<Cid::Box> boxes = Cid::BuildInterface(*tree, u"OVEN"_qs);
        const CKELCIDShape *shape = itemsOf<CKELCIDShape>(w->Scene()).value(0);
        QVERIFY(shape);
        QCOMPARE(shape->BoxCount(), boxes.size());
        QSet<int> statuses;
        for (int k = 0; k < boxes.size(); ++k) {
            const CLabelCell &state = shape->Cell(shape->BoxCell(k, u"NewStateLabel"_qs));
            const CLabelCell &pre = shape->Cell(shape->BoxCell(k, u"PrecondLabel"_qs));
            statuses.insert(boxes[k].newStateStatus);
            QCOMPARE(state.text, boxes[k].newState);
            QCOMPARE(pre.text, boxes[k].precondition);
            QVERIFY(!state.text.startsWith(u"o~"_qs) && !state.text.startsWith(u"n~"_qs));
            for (const auto &[cell, status] :
                 {std::pair{&state, boxes[k].newStateStatus}, std::pair{&pre, boxes[k].preconditionStatus}}) {
                QCOMPARE(cell->textColor == QColor(0x80, 0x80, 0x80), status == -1);
                QCOMPARE(cell->penStyle == 1 && !cell->nullPen, status == -1);
                QCOMPARE(cell->weight == 900 && cell->lineWidth == 3, status == 1);
            }
        }
        QCOMPARE(statuses, (QSet<int>{-1, 0, 1}));
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

QTEST_MAIN(TestDiagramWindows)
#include "tst_diagramwindows.moc"
