// The tree canvas on a large tree, offscreen.
//   bench_canvas [NODES]    10000 by default
// Figures: opening the tree in a window; one full repaint at fit-to-window
// and at 100 %; "Rearrange All" with its undo step (and the undo); dragging
// one node among all the others, per mouse move including the repaint.
#include "treegen.h"

#include "canvas/canvasscene.h"
#include "editor/childframe.h"
#include "editor/tessel1doc.h"
#include "editor/tessel1view.h"
#include "editor/kelnodeshape.h"
#include "editor/treewindows.h"
#include "layout/treelayout.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QTest>
#include <QTextStream>
#include <QUndoStack>

#include <algorithm>
#include <vector>

namespace {

double msSince(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int nodes = argc > 1 ? std::max(10, QString::fromLocal8Bit(argv[1]).toInt()) : 10000;
    QTextStream out(stdout);

    CKELDataManager m;
    m.NewSolution();
    CKELTree *tree = TreeGen::AddTree(m, KEL::RBT, QStringLiteral("Bench"), nodes, TreeGen::Shape::Bushy);
    // saved trees are arranged
    CTreeLayout::ApplyMoves(m, CTreeLayout(*tree).RearrangeAll());

    QMdiArea area;
    area.resize(1280, 900);
    area.show();
    CTreeWindows windows(m, area);

    QElapsedTimer t;
    t.start();
    CChildFrame *frame = windows.Open(tree->GetId());
    frame->showMaximized();
    QCoreApplication::processEvents();
    const double open = msSince(t);
    CTessel1View &view = frame->View();
    CTessel1Doc &doc = frame->Document();

    view.FitToWindow();
    QCoreApplication::processEvents();
    double fit = 1e30;
    for (int i = 0; i < 3; ++i) {
        t.restart();
        view.viewport()->repaint();
        fit = std::min(fit, msSince(t));
    }
    view.ZoomTo100();
    view.centerOn(doc.NodeShape(tree->Roots().first()->GetId()));
    QCoreApplication::processEvents();
    double full = 1e30;
    for (int i = 0; i < 3; ++i) {
        t.restart();
        view.viewport()->repaint();
        full = std::min(full, msSince(t));
    }

    // every node out of place, so that the layout moves all of them
    for (CKELMethod *n : tree->Nodes())
        m.SetNodeGeometry(n->GetId(), 0, 0, n->w, n->h);
    QCoreApplication::processEvents();
    t.restart();
    view.RearrangeAll();
    const double rearrange = msSince(t);
    t.restart();
    doc.UndoStack()->undo();
    const double undo = msSince(t);
    doc.UndoStack()->redo();
    QCoreApplication::processEvents();

    // drag a node in the middle of the tree at 100 %
    const CKELMethod *dragged = tree->Nodes().at(tree->Nodes().size() / 2);
    const CKELNodeShape *shape = doc.NodeShape(dragged->GetId());
    view.centerOn(shape);
    QCoreApplication::processEvents();
    QWidget *vp = view.viewport();
    QPoint at = view.mapFromScene(shape->sceneBoundingRect().center());
    QTest::mousePress(vp, Qt::LeftButton, {}, at);
    const int moves = 60;
    double worst = 0;
    std::vector<double> each;
    for (int i = 0; i < moves; ++i) {
        at += QPoint(i % 2 ? 3 : 2, i % 3 ? 2 : 1);
        t.restart();
        QTest::mouseMove(vp, at);
        QCoreApplication::processEvents(); // includes the repaint of the moved part
        const double ms = msSince(t);
        worst = std::max(worst, ms);
        each.push_back(ms);
    }
    QTest::mouseRelease(vp, Qt::LeftButton, {}, at);
    QCoreApplication::processEvents();

    out << QStringLiteral("tree canvas, %1 nodes (bushy), offscreen\n").arg(nodes);
    out << QStringLiteral("  open in a window               %1 ms   (goal < 1000)\n").arg(open, 8, 'f', 1);
    out << QStringLiteral("  repaint at fit-to-window       %1 ms   (goal < 100)\n").arg(fit, 8, 'f', 1);
    out << QStringLiteral("  repaint at 100 per cent        %1 ms\n").arg(full, 8, 'f', 1);
    out << QStringLiteral("  Rearrange All with undo step   %1 ms   (goal < 500)\n").arg(rearrange, 8, 'f', 1);
    out << QStringLiteral("  its undo                       %1 ms\n").arg(undo, 8, 'f', 1);
    std::sort(each.begin(), each.end());
    double total = 0;
    for (double ms : each)
        total += ms;
    out << QStringLiteral("  drag one node: per move        %1 ms   (median %2, worst %3; goal < 5)\n")
               .arg(total / moves, 8, 'f', 2)
               .arg(each[each.size() / 2], 0, 'f', 2)
               .arg(worst, 0, 'f', 2);
    out.flush();
    return 0;
}
