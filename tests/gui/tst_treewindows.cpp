// Tree windows follow the model: what they show is what the records say,
// after every kind of edit and every undo.
#include "editortestkit.h"
#include "guitestkit.h"

#include "canvas/canvasactions.h"
#include "canvas/canvasscene.h"
#include "editor/childframe.h"
#include "editor/kellinkshape.h"
#include "editor/kelnodeshape.h"
#include "editor/tessel1doc.h"
#include "editor/tessel1view.h"
#include "editor/treewindows.h"
#include "layout/treelayout.h"
#include "model/kelrequirement.h"
#include "model/solutionfile.h"
#include "model/treeops.h"

#include <QLineEdit>
#include <QMdiArea>
#include "edit/undohistory.h"

#include <QtTest>

#include <functional>

using EditorTestKit::Attrs;
using EditorTestKit::Fixture;

namespace {

#define AGREES(doc) QCOMPARE(GuiTestKit::CanvasDisagreement(doc), QString())

} // namespace

class TestTreeWindows : public QObject
{
    Q_OBJECT
private slots:
    void openingShowsNodesAndLinks()
    {
        CKELDataManager m;
        QString error;
        QVERIFY2(CSolutionFile::Read(m, GuiTestKit::ExampleSolution(), &error), qPrintable(error));
        QMdiArea area;
        CTreeWindows windows(m, area);
        CChildFrame *frame = windows.Open(20);
        QVERIFY(frame);
        QCOMPARE(frame->windowTitle(), u"RBT: R1"_qs);
        const CTessel1Doc &doc = frame->Document();
        QCOMPARE(doc.ViewKind(), int(CTessel1Doc::RbtView));
        QCOMPARE(doc.GetTreeId(), 20);
        QCOMPARE(doc.NodeShapes().size(), 3);
        AGREES(doc);
        QCOMPARE(doc.NodeShape(22)->pos(), QPointF(80, 120));
        QCOMPARE(doc.LinkInto(23)->GetStartShape(), doc.NodeShape(22));
        QCOMPARE(doc.NodeShape(21)->StaCell()->text, u"[idle]"_qs);
        CChildFrame *dbt = windows.Open(30);
        QCOMPARE(dbt->windowTitle(), u"DBT: Oven"_qs);
        QCOMPARE(dbt->Document().ViewKind(), int(CTessel1Doc::DbtView));
        QCOMPARE(windows.Frames().size(), 2);
        QVERIFY(!m.Solution()->IsModified()); // looking changes nothing
    }

    void openTwiceShowsTheSameWindow()
    {
        Fixture f;
        QMdiArea area;
        CTreeWindows windows(f.m, area);
        CChildFrame *first = windows.Open(f.tree);
        QCOMPARE(windows.Open(f.tree), first);
        QCOMPARE(area.subWindowList().size(), 1);
        QCOMPARE(windows.Find(f.tree), first);
    }

    void onlyTreesOpen()
    {
        Fixture f;
        f.m.AddRequirement(u"R1"_qs, u"text"_qs);
        QMdiArea area;
        CTreeWindows windows(f.m, area);
        QVERIFY(!windows.Open(f.m.FindRequirement(u"R1"_qs)->GetId()));
        QVERIFY(!windows.Open(f.m.CurrentVersion()->GetId()));
        QVERIFY(!windows.Open(424242));
        QVERIFY(area.subWindowList().isEmpty());
    }

    void titleFollowsTheTree()
    {
        Fixture f;
        QMdiArea area;
        CTreeWindows windows(f.m, area);
        CChildFrame *frame = windows.Open(f.tree);
        QCOMPARE(frame->windowTitle(), u"RBT: T"_qs);
        QVERIFY(f.m.ChangeRBT(f.tree, u"Renamed"_qs, {}));
        QCOMPARE(frame->windowTitle(), u"RBT: Renamed"_qs);
    }

    void removingTheTreeClosesItsWindow()
    {
        Fixture f;
        f.Add(0, u"Door"_qs);
        QMdiArea area;
        CTreeWindows windows(f.m, area);
        QPointer<CChildFrame> frame = windows.Open(f.tree);
        f.ClearPrompt();
        QVERIFY(f.m.RemoveRBT(f.tree));
        // the model asked once; the window closed without a question of its own
        QCOMPARE(f.prompt.texts.size(), 1);
        QTRY_VERIFY(frame.isNull());
        QVERIFY(windows.Frames().isEmpty());
        QVERIFY(!windows.Find(f.tree));
    }

    void newSolutionClosesEveryWindow()
    {
        Fixture f;
        QMdiArea area;
        CTreeWindows windows(f.m, area);
        QPointer<CChildFrame> frame = windows.Open(f.tree);
        f.m.NewSolution();
        QTRY_VERIFY(frame.isNull());
    }

    void newTreesOpenAtOnce()
    {
        Fixture f;
        QMdiArea area;
        CTreeWindows windows(f.m, area);
        QVERIFY(f.m.AddRBT(u"Fresh"_qs, {}, 50));
        const int fresh = f.m.FindTree(KEL::RBTs, u"Fresh"_qs)->GetId();
        QTRY_VERIFY(windows.Find(fresh));
        QCOMPARE(windows.Find(fresh)->windowTitle(), u"RBT: Fresh"_qs);
        QVERIFY(f.m.AddDBT(u"Whole"_qs));
        const int whole = f.m.FindTree(KEL::DBTs, u"Whole"_qs)->GetId();
        QTRY_VERIFY(windows.Find(whole));
        QCOMPARE(windows.ActiveFrame(), windows.Find(whole));
        // a shared solution's trees come from everyone: they do not pop up
        f.m.SetLocal(false);
        f.m.ApplyOperationRecord(u"addrbt;name:Theirs;lvg:50;"_qs);
        const CKELTree *theirs = f.m.FindTree(KEL::RBTs, u"Theirs"_qs);
        QVERIFY(theirs);
        // a tree of our own made after it opens, and so would theirs first
        f.m.SetLocal(true);
        QVERIFY(f.m.AddRBT(u"Marker"_qs, {}, 50));
        QTRY_VERIFY(windows.Find(f.m.FindTree(KEL::RBTs, u"Marker"_qs)->GetId()));
        QVERIFY(!windows.Find(theirs->GetId()));
    }

    void treesKeepOffTheEdge_data()
    {
        QTest::addColumn<QString>("tree"); // empty: a new IBT
        QTest::newRow("the example's first RBT") << u"R1"_qs;
        QTest::newRow("a new empty IBT") << QString();
    }

    // A window opens at the top-left of its tree with white room before the
    // layout's origin; the places of the boxes stay as the file has them.
    void treesKeepOffTheEdge()
    {
        QFETCH(QString, tree);
        CKELDataManager m;
        QString error;
        QVERIFY2(CSolutionFile::Read(m, GuiTestKit::ExampleSolution(), &error), qPrintable(error));
        QMdiArea area;
        area.resize(900, 700);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        CTreeWindows windows(m, area);
        int id = 0;
        if (tree.isEmpty()) {
            QVERIFY(m.AddDBT(u"Whole"_qs));
            id = m.FindTree(KEL::DBTs, u"Whole"_qs)->GetId();
            QTRY_VERIFY(windows.Find(id));
        } else {
            id = m.FindTree(KEL::RBTs, tree)->GetId();
            QVERIFY(windows.Open(id));
        }
        CChildFrame *frame = windows.Find(id);
        frame->showMaximized();
        QCoreApplication::processEvents();
        const int margin = CTessel1Doc::kTreeMargin;
        QCOMPARE(frame->View().mapToScene(QPoint(0, 0)), QPointF(-margin, -margin));
        for (const CKELNodeShape *shape : frame->Document().NodeShapes()) {
            const CKELMethod *node = m.LookupAs<CKELMethod>(shape->NodeId(), KEL::Method);
            QCOMPARE(shape->pos(), QPointF(node->x, node->y));
        }
    }

    void pagesComeFromTheTreeAndGoBack()
    {
        Fixture f;
        auto *rbt = static_cast<CKELRBT *>(f.Tree());
        rbt->SetPages(2, 3);
        // a chain deeper than three pages
        int parent = 0;
        for (int i = 0; i < 40; ++i)
            parent = f.Add(parent, u"C"_qs);
        CTessel1Doc doc(f.m, f.tree);
        QCOMPARE(doc.Scene().PagesWide(), 2);
        QCOMPARE(doc.Scene().PagesHigh(), 3);
        CTessel1View view(doc);
        QVERIFY(view.RearrangeAll());
        const int high = doc.Scene().PagesHigh();
        QVERIFY(high > 3);
        QCOMPARE(doc.Scene().PageArea().bottom() + 1 >= 40 * 65, true);
        QCOMPARE(rbt->PagesHigh(), high);
        QVERIFY(f.m.BuildSolutionText().contains(QStringLiteral("pgw:2;pgh:%1;").arg(high)));
    }

    // Every kind of model edit, wherever it comes from, shows on the canvas.
    void canvasFollowsModelEdits_data()
    {
        QTest::addColumn<int>("edit");
        const char *names[] = {"add a child",      "add a root",           "link under another",
                               "detach",           "remove an inner node", "change attributes",
                               "make atomic",      "move by the record",   "copy a tree in",
                               "integrate a root", "a relayed record",     "remove a leaf then add"};
        for (int i = 0; i < int(std::size(names)); ++i)
            QTest::newRow(names[i]) << i;
    }

    void canvasFollowsModelEdits()
    {
        QFETCH(int, edit);
        Fixture f;
        const int a = f.Add(0, u"A"_qs, 10, 10);
        const int b = f.Add(a, u"B"_qs, 10, 100);
        const int c = f.Add(b, u"C"_qs, 10, 200);
        const int d = f.Add(a, u"D"_qs, 300, 100);
        CTessel1Doc doc(f.m, f.tree);
        AGREES(doc);
        switch (edit) {
        case 0: QVERIFY(f.Add(c, u"E"_qs, 10, 300)); break;
        case 1: QVERIFY(f.Add(0, u"F"_qs, 600, 10)); break;
        case 2: QVERIFY(f.m.LinkNode(d, c)); break;
        case 3: QVERIFY(f.m.LinkNode(0, b)); break;
        case 4: QVERIFY(f.m.RemoveNode(b)); break;
        case 5: QVERIFY(f.m.ChangeNode(c, Attrs(u"Renamed"_qs, u"x"_qs))); break;
        case 6: {
            CNodeAttributes at = CNodeAttributes::Of(*f.N(c));
            at.atomic = true;
            QVERIFY(f.m.ChangeNode(c, at));
            QCOMPARE(doc.LinkInto(c)->EndArrowType(), int(CLinkShape::NoArrow));
            break;
        }
        case 7: QVERIFY(f.m.SetNodeGeometry(d, 444, 333, 0, 0)); break;
        case 8: {
            f.m.AddRBT(u"Other"_qs, {}, 50);
            const int other = f.m.FindTree(KEL::RBTs, u"Other"_qs)->GetId();
            f.m.AddNode(other, 0, Attrs(u"P"_qs, u"p"_qs), 0, 0);
            const int p = static_cast<const CKELTree *>(f.m.Lookup(other))->Nodes().last()->GetId();
            f.m.AddNode(other, p, Attrs(u"Q"_qs, u"q"_qs), 0, 0);
            QVERIFY(f.m.CopyTree(f.tree, other));
            QCOMPARE(doc.NodeShapes().size(), 6);
            break;
        }
        case 9: {
            // a second root B' matching B takes its children over
            const int root = f.Add(0, u"B"_qs, 500, 10);
            f.Add(root, u"G"_qs, 500, 100);
            QVERIFY(f.m.IntegrateNextMatchingRBT(b) || f.m.IntegrateThisRBT(root));
            break;
        }
        case 10: QVERIFY(f.m.ApplyOperationRecord(QStringLiteral("linknode;par:%1;chd:%2;").arg(c).arg(d))); break;
        case 11:
            QVERIFY(f.m.RemoveNode(c));
            QVERIFY(f.Add(b, u"H"_qs, 20, 220));
            break;
        }
        AGREES(doc);
        QCoreApplication::processEvents();
        AGREES(doc);
    }

    void movesAreWrittenToTheRecord()
    {
        Fixture f;
        const int a = f.Add(0, u"A"_qs, 10, 10);
        TestKit::Mutable(f.m.Solution())->SetModified(false);
        CTessel1Doc doc(f.m, f.tree);
        doc.Scene().Execute(std::make_unique<CGeometryAction>(
            doc.Scene(), CCanvasAction::Move, u"Move"_qs,
            QList<CGeometryAction::Entry>{{a, QPoint(10, 10), QPoint(70, 90), QSize(200, 50), QSize(200, 50)}}));
        QCOMPARE(QPoint(f.N(a)->x, f.N(a)->y), QPoint(70, 90));
        QCOMPARE(f.N(a)->w, 0); // the size stays as the record had it
        QVERIFY(f.m.Solution()->IsModified());
        AGREES(doc);
        QVERIFY(f.m.History().Undo());
        QCOMPARE(QPoint(f.N(a)->x, f.N(a)->y), QPoint(10, 10));
        AGREES(doc);
        QVERIFY(f.m.History().Redo());
        QCOMPARE(QPoint(f.N(a)->x, f.N(a)->y), QPoint(70, 90));
        QCOMPARE(f.N(a)->w, 0);
        AGREES(doc);
    }

    // A box with its extended tag shown is a quarter wider than its record
    // says; the record keeps its own width, so saving never widens the box.
    void savedWidthDoesNotGrow()
    {
        Fixture f;
        CNodeAttributes at = Attrs(u"A"_qs, u"a"_qs);
        at.hasExtendedTag = true;
        at.extendedTag = u"X1"_qs;
        QVERIFY(f.m.AddNode(f.tree, 0, at, 10, 10));
        const int a = f.Tree()->Nodes().last()->GetId();
        f.m.SetNodeGeometry(a, 10, 10, 200, 50);
        for (int round = 0; round < 3; ++round) {
            CTessel1Doc doc(f.m, f.tree);
            QCOMPARE(doc.NodeShape(a)->OwnRect().width(), 250);
            CTessel1View view(doc);
            QVERIFY(view.RearrangeAll() || round > 0);
            const QString text = f.m.BuildSolutionText();
            QVERIFY(f.m.LoadSolutionText(text));
            QCOMPARE(f.N(a)->w, 200);
        }
        // "same width" with a plain box of 300 gives the record what draws 300 wide
        CTessel1Doc doc(f.m, f.tree);
        const int plain = f.Add(0, u"B"_qs, 400, 10);
        f.m.SetNodeGeometry(plain, 400, 10, 300, 50);
        doc.Scene().SelectOnly(doc.NodeShape(plain));
        doc.NodeShape(a)->setSelected(true);
        QVERIFY(doc.Scene().Execute(std::make_unique<CGeometryAction>(
            doc.Scene(), CCanvasAction::Resize, u"Same Size"_qs,
            QList<CGeometryAction::Entry>{{a, QPoint(0, 10), QPoint(0, 10), QSize(250, 50), QSize(300, 50)}})));
        QCOMPARE(f.N(a)->w, 240);
        QCOMPARE(doc.NodeShape(a)->OwnRect().width(), 300);
    }

    void findBarFindsAndSaysWhenNot()
    {
        CKELDataManager m;
        QVERIFY(CSolutionFile::Read(m, GuiTestKit::ExampleSolution(), nullptr));
        QMdiArea area;
        CTreeWindows windows(m, area);
        CChildFrame *frame = windows.Open(20);
        QVERIFY(!frame->FindBarShown());
        frame->ShowFindBar();
        QVERIFY(frame->FindBarShown());
        QTest::keyClicks(frame->FindEdit(), u"push"_qs);
        QTest::keyClick(frame->FindEdit(), Qt::Key_Return);
        QCOMPARE(frame->View().SingleSelectedNode(), 22);
        QVERIFY(frame->FindStatus().isEmpty());
        frame->FindEdit()->setText(u"nothing like it"_qs);
        QTest::keyClick(frame->FindEdit(), Qt::Key_Return);
        QCOMPARE(frame->FindStatus(), u"Not found"_qs);
        QCOMPARE(frame->View().SingleSelectedNode(), 22);
        frame->HideFindBar();
        QVERIFY(!frame->FindBarShown());
        QVERIFY(frame->FindStatus().isEmpty());
    }
};

QTEST_MAIN(TestTreeWindows)
#include "tst_treewindows.moc"
