// Component behavior trees and evolution trees in the main window: their
// dialogs, read-only windows that open when made and close when their tree
// goes, and what the windows draw against what the model derived.
#include "derivetestkit.h"

#include "derive/cbt.h"
#include "dialogs/kelcbtdlg.h"
#include "dialogs/kelevtdlg.h"
#include "model/nodeattributes.h"

#include <QComboBox>
#include <QListWidget>
#include <QTemporaryDir>

using namespace DeriveTestKit;

namespace {

void chooseComponent(Frame &f, const QString &component)
{
    f.script.Accept<CKELCBTDlg>([component](CKELCBTDlg &d) { QVERIFY(d.SelectComponent(component)); });
}

// Version 3.0 of the door: the hold switch is back, the buzzer gone, and a
// sensor fault is new.
bool addThirdVersion(Frame &f)
{
    CKELDataManager &m = f.model();
    if (!m.NewVersion(u"3.0"_qs, f.version(u"2.0"_qs)->GetId()) || !m.SetCurrentVersion(f.version(u"3.0"_qs)->GetId()))
        return false;
    CKELTree *door = f.tree(KEL::DBTs, u"Door"_qs, u"3.0"_qs);
    auto add = [&](const QString &under, const QString &component, const QString &behavior, int type) {
        CNodeAttributes a;
        a.component = component;
        a.behavior = behavior;
        a.behaviorType = type;
        a.requirementTag = u"R9"_qs;
        const CKELMethod *p = NodeNamed(*door, under);
        return p && m.AddNode(door->GetId(), p->GetId(), a, 0, 0);
    };
    return m.RemoveNode(NodeNamed(*door, u"R2:BUZZER<<beep>>"_qs)->GetId())
           && add(u"R1:DOOR[open]"_qs, u"SWITCH"_qs, u"hold on"_qs, KEL::Event)
           && add(u"R1:DOOR[closed]"_qs, u"SENSOR"_qs, u"fault"_qs, KEL::Event);
}

} // namespace

class TestDeriveTrees : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_home = GuiTestKit::IsolateHome(); }

    void cbtWindow_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("component");
        QTest::addColumn<bool>("initShown");
        QTest::addColumn<QStringList>("tops");
        // a single top node stands in INIT's place
        QTest::newRow("one top node") << u"2.0"_qs << u"MOTOR"_qs << false << QStringList{u"[opening]"_qs};
        // the timer runs on one branch and is stopped on the other
        QTest::newRow("two branches") << u"1.0"_qs << u"TIMER"_qs << true
                                      << QStringList{u"[running]"_qs, u"[stopped]"_qs};
    }

    void cbtWindow()
    {
        QFETCH(QString, version);
        QFETCH(QString, component);
        QFETCH(bool, initShown);
        QFETCH(QStringList, tops);
        Frame f;
        QVERIFY(f.open());
        CKELTree *door = f.tree(KEL::DBTs, u"Door"_qs, version);
        chooseComponent(f, component);
        QVERIFY(f.runExplorer(door->GetId(), u"Create CBT"_qs));
        QCOMPARE(f.script.titles, QStringList{u"Select details for CBT"_qs});
        const CKELCBT *cbt = Cbt::FindCbt(*door, component);
        QVERIFY(cbt);
        CChildFrame *w = f.windows().Find(cbt->GetId());
        QVERIFY2(w, "the CBT's window did not open");
        QCOMPARE(Cbt::InitShown(*cbt), initShown);
        const CKELMethod *init = Cbt::InitNode(*cbt);
        QCOMPARE(bool(w->Document().NodeShape(init->GetId())), initShown);
        QStringList top;
        for (int id : init->ChildIds())
            top.append(TreeOps::NodeOf(*cbt, id)->GetDecoratedBehavior());
        QCOMPARE(top, tops);
        // every node shows its own component and behavior, where the model has it
        for (const CKELMethod *n : cbt->Nodes()) {
            if (const CKELNodeShape *s = w->Document().NodeShape(n->GetId())) {
                QCOMPARE(s->ComCell()->text, component);
                QCOMPARE(s->StaCell()->text, n->GetDecoratedBehavior());
            }
        }
        QCOMPARE(CanvasDisagreement(w->Document()), QString());
        QVERIFY(!ShapesOverlap(w->Document()));
        if (!initShown) {
            // the visible top is at the top of the page
            QCOMPARE(w->Document().NodeShape(init->ChildIds().first())->pos().y(), 0.0);
        }
        QVERIFY(!f.model().Solution()->IsModified());
    }

    void cbtWindowIsReadOnly()
    {
        Frame f;
        QVERIFY(f.open());
        CKELTree *door = f.tree(KEL::DBTs, u"Door"_qs, u"2.0"_qs);
        chooseComponent(f, u"DOOR"_qs);
        QVERIFY(f.runExplorer(door->GetId(), u"Create CBT"_qs));
        const CKELCBT *cbt = Cbt::FindCbt(*door, u"DOOR"_qs);
        CTessel1View &view = f.windows().Find(cbt->GetId())->View();
        const qsizetype nodes = cbt->Nodes().size();
        const int someNode = cbt->Nodes().last()->GetId();
        view.SelectNode(someNode, false);
        view.OnDelete();
        QVERIFY(!view.OnAddNode());
        QVERIFY(!view.AcceptsDrop(f.tree(KEL::RBTs, u"R1"_qs, u"2.0"_qs)->GetId()));
        QVERIFY(!view.CreateContextMenu(QPointF(-100, -100)));
        QCOMPARE(cbt->Nodes().size(), nodes);
        QVERIFY(!f.model().Solution()->IsModified());
    }

    void secondCbtOfAComponentIsRefused()
    {
        Frame f;
        QVERIFY(f.open());
        CKELTree *door = f.tree(KEL::DBTs, u"Door"_qs, u"2.0"_qs);
        chooseComponent(f, u"SENSOR"_qs);
        chooseComponent(f, u"SENSOR"_qs);
        QVERIFY(f.runExplorer(door->GetId(), u"Create CBT"_qs));
        QVERIFY(f.runExplorer(door->GetId(), u"Create CBT"_qs));
        QCOMPARE(f.prompt.texts, QStringList{u"CBT with name SENSOR is already added in the DBT"_qs});
        QCOMPARE(f.windows().Frames().size(), 1);
    }

    void viewCbtShowsOrDerives()
    {
        Frame f;
        QVERIFY(f.open());
        QAction *view = f.frame->findChild<QAction *>(u"actionViewCBT"_qs);
        QVERIFY(view);
        // the first tree of the current version is R1; its first component DOOR
        f.script.Accept<CKELCBTDlg>([](CKELCBTDlg &) {});
        view->trigger();
        const CKELTree *r1 = f.tree(KEL::RBTs, u"R1"_qs, u"2.0"_qs);
        const CKELCBT *cbt = Cbt::FindCbt(*r1, u"DOOR"_qs);
        QVERIFY(cbt);
        f.windows().Close(cbt->GetId());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        f.script.Accept<CKELCBTDlg>([](CKELCBTDlg &) {});
        view->trigger();
        QVERIFY(f.windows().Find(cbt->GetId()));
        QVERIFY(f.prompt.texts.isEmpty());
    }

    void windowsGoWithTheirTrees_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("CBT removed") << u"remove cbt"_qs;
        QTest::newRow("source tree removed") << u"remove source"_qs;
        QTest::newRow("solution closed") << u"close"_qs;
    }

    void windowsGoWithTheirTrees()
    {
        QFETCH(QString, how);
        Frame f;
        QVERIFY(f.open());
        CKELTree *r2 = f.tree(KEL::RBTs, u"R2"_qs, u"2.0"_qs);
        chooseComponent(f, u"TIMER"_qs);
        QVERIFY(f.runExplorer(r2->GetId(), u"Create CBT"_qs));
        const int cbtId = Cbt::FindCbt(*r2, u"TIMER"_qs)->GetId();
        QPointer<CChildFrame> w = f.windows().Find(cbtId);
        QVERIFY(w);
        if (how == u"remove cbt") {
            QVERIFY(f.runExplorer(cbtId, u"Remove"_qs));
            QCOMPARE(f.prompt.texts.last(), u"Are you sure that you want to remove the CBT \"TIMER\" ?"_qs);
        } else if (how == u"remove source") {
            QVERIFY(f.model().RemoveRBT(r2->GetId()));
        } else {
            f.model().CloseSolution();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(w.isNull());
    }

    void evtDialogChecks_data()
    {
        QTest::addColumn<bool>("emptySolution");
        QTest::addColumn<int>("added");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("a version without trees")
            << true << 1
            << QStringList{u"Behavior Tree can't be empty."_qs,
                           u"Need to select at least two behavior trees, to create a evolution tree."_qs};
        QTest::newRow("one tree is too few")
            << false << 1 << QStringList{u"Need to select at least two behavior trees, to create a evolution tree."_qs};
    }

    void evtDialogChecks()
    {
        QFETCH(bool, emptySolution);
        QFETCH(int, added);
        QFETCH(QStringList, texts);
        Frame f;
        if (emptySolution)
            f.model().NewSolution();
        else
            QVERIFY(f.open());
        CKELEVTDlg dlg(f.model(), f.prompt);
        for (int i = 0; i < added; ++i)
            dlg.AddTree();
        dlg.accept();
        QCOMPARE(f.prompt.texts, texts);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(dlg.Chosen()->count(), int(dlg.TreeIds().size()));
    }

    // The evolution tree made through its dialog: each node drawn by its
    // status (grey when only the first version has it, a heavy frame when
    // only the last) and naming its versions.
    void evtStatuses()
    {
        Frame f;
        QVERIFY(f.open());
        QVERIFY(addThirdVersion(f));
        const CKELData *evts = f.model().Solution()->EvtFolder();
        f.script.Accept<CKELEVTDlg>([](CKELEVTDlg &d) {
            for (const QString &v : {u"1.0"_qs, u"2.0"_qs, u"3.0"_qs}) {
                QVERIFY(d.SelectVersion(v));
                QVERIFY(d.SelectTree(u"Door"_qs));
                QVERIFY(d.AddTree());
            }
            QCOMPARE(d.Chosen()->item(2)->text(), u"(3) Version 3.0->Door"_qs);
        });
        QVERIFY(f.runExplorer(evts->GetId(), u"Add Evolution Tree"_qs));
        QCOMPARE(f.script.titles, QStringList{u"Create New Evolution Tree"_qs});
        QCOMPARE(evts->ChildCount(), 1);
        const int evtId = evts->Children().front()->GetId();
        CChildFrame *w = f.windows().Find(evtId);
        QVERIFY2(w, "the EVT's window did not open");
        QVERIFY(w->Document().IsReadOnly());
        QCOMPARE(CanvasDisagreement(w->Document()), QString());
        QVERIFY(!ShapesOverlap(w->Document()));
        QVERIFY(w->InfoText().contains(u"1.0->Door, 2.0->Door, 3.0->Door"_qs));

        const struct
        {
            QString node;
            int status;
            QString versions;
        } expected[] = {{u"R1:DOOR[closed]"_qs, 0, u"1.0->Door, 2.0->Door, 3.0->Door"_qs},
                        {u"R5:TIMER[stopped]"_qs, -1, u"1.0->Door"_qs},
                        {u"R9:SENSOR??fault??"_qs, 1, u"3.0->Door"_qs}};
        for (const auto &[node, status, versions] : expected) {
            const CKELMethod *n = NodeNamed(*w->Document().Tree(), node);
            QVERIFY2(n, qPrintable(node));
            QCOMPARE(n->GetEvStyle(), status);
            const CKELNodeShape *s = w->Document().NodeShape(n->GetId());
            QCOMPARE(s->FrameCell()->bkColor == QColor(0xD2, 0xD2, 0xD2), status == -1);
            QCOMPARE(s->FrameCell()->lineWidth == 3, status == 1);
            QCOMPARE(s->HoverText(), u"Evolution Tree Node: \n\r Version: "_qs + versions);
        }
    }

    void evolutionaryCbtCarriesTheMarks()
    {
        Frame f;
        QVERIFY(f.open());
        QVERIFY(f.model().AddEVT(
            {f.tree(KEL::DBTs, u"Door"_qs, u"1.0"_qs)->GetId(), f.tree(KEL::DBTs, u"Door"_qs, u"2.0"_qs)->GetId()}));
        const CKELData *evt = f.model().Solution()->EvtFolder()->Children().front().get();
        chooseComponent(f, u"TIMER"_qs);
        QVERIFY(f.runExplorer(evt->GetId(), u"Evolutionary CBT"_qs));
        const CKELCBT *cbt = Cbt::FindCbt(*static_cast<const CKELTree *>(evt), u"TIMER"_qs);
        QVERIFY(cbt);
        CChildFrame *w = f.windows().Find(cbt->GetId());
        QVERIFY(w);
        const CKELMethod *stopped = NodeNamed(*cbt, u":TIMER[stopped]"_qs);
        QVERIFY(stopped);
        QCOMPARE(stopped->GetEvStyle(), -1);
        QCOMPARE(w->Document().NodeShape(stopped->GetId())->FrameCell()->bkColor, QColor(0xD2, 0xD2, 0xD2));
        QVERIFY(w->InfoText().contains(u"dropped by it (1)"_qs));
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

QTEST_MAIN(TestDeriveTrees)
#include "tst_derivetrees.moc"
