// The ways a user reaches a tree view's commands: context menus, keys,
// drops from the explorer, find, double clicks and gestures on links, and
// the application's node dialog.
#include "viewtestkit.h"

#include "canvas/canvasactions.h"
#include "dialogs/dialogrunner.h"
#include "dialogs/kelnodedlg.h"
#include "editor/editortexts.h"
#include "explorer/explorerdrag.h"
#include "model/kelrequirement.h"

#include <QComboBox>
#include <QMimeData>
#include <QUndoStack>
#include <QtTest>

using EditorTestKit::Attrs;
using GuiTestKit::EntryOf;
using GuiTestKit::EntryTexts;
using ViewTestKit::Editor;

class TestViewInput : public QObject
{
    Q_OBJECT
private slots:
    void contextMenus_data()
    {
        QTest::addColumn<int>("kind"); // tree type code
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("texts");
        const QStringList empty{u"Add Node"_qs, u"Paste"_qs, u"Rearrange All"_qs};
        const QStringList node{u"Create Child Node"_qs,
                               u"Change Behavior"_qs,
                               u"Extra Info"_qs,
                               u"Remove"_qs,
                               u"-"_qs,
                               u"Cut"_qs,
                               u"Copy"_qs,
                               u"Paste"_qs,
                               u"Duplicate"_qs,
                               u"-"_qs,
                               u"Rearrange Subtree"_qs,
                               u"Collapse Subtree"_qs};
        const QStringList link{u"Remove"_qs};
        QTest::newRow("RBT, empty canvas") << int(KEL::RBT) << u"empty"_qs << u"RBT_NoWhere"_qs << empty;
        QTest::newRow("RBT, a node") << int(KEL::RBT) << u"node"_qs << u"RBT_Node"_qs << node;
        QTest::newRow("RBT, a link") << int(KEL::RBT) << u"link"_qs << u"RBT_LINK"_qs << link;
        QTest::newRow("DBT, empty canvas") << int(KEL::DBT) << u"empty"_qs << u"DBT_NoWhere"_qs << empty;
        QTest::newRow("DBT, a node") << int(KEL::DBT) << u"node"_qs << u"DBT_Node"_qs << node;
        QTest::newRow("DBT, a link shows the link menu") << int(KEL::DBT) << u"link"_qs << u"RBT_LINK"_qs << link;
        QTest::newRow("CBT: no menu") << int(KEL::CBT) << u"node"_qs << QString() << QStringList();
    }

    void contextMenus()
    {
        QFETCH(int, kind);
        QFETCH(QString, where);
        QFETCH(QString, name);
        QFETCH(QStringList, texts);
        Editor e(kind == KEL::DBT ? KEL::DBT : KEL::RBT);
        const int a = e.f.Add(0, u"A"_qs, 0, 0);
        e.f.Add(a, u"B"_qs, 0, 200);
        if (kind == KEL::CBT) {
            QVERIFY(e.f.m.CreateCBT(e.f.tree, u"A"_qs));
            for (const auto &child : e.f.Tree()->Children()) {
                if (child->GetTypeCode() == KEL::CBTs)
                    e.f.tree = child->Children().front()->GetId();
            }
            QCOMPARE(e.f.m.Lookup(e.f.tree)->GetTypeCode(), int(KEL::CBT));
        }
        e.open();
        const QPointF at = where == u"node"   ? QPointF(100, 25)
                           : where == u"link" ? QPointF(100, 125)
                                              : QPointF(700, 500);
        const std::unique_ptr<QMenu> menu = e.view->CreateContextMenu(at);
        QCOMPARE(menu != nullptr, !name.isEmpty());
        if (!menu)
            return;
        QCOMPARE(menu->objectName(), name);
        QCOMPARE(EntryTexts(*menu), texts);
        // the keys the view answers to are shown, and every entry has a hint
        const QHash<QString, QKeySequence> keys{{u"Add Node"_qs, QKeySequence(Qt::Key_Insert)},
                                                {u"Create Child Node"_qs, QKeySequence(Qt::Key_Insert)},
                                                {u"Change Behavior"_qs, QKeySequence(Qt::Key_F2)},
                                                {u"Remove"_qs, QKeySequence(Qt::Key_Delete)}};
        for (const QAction *a : menu->actions()) {
            if (a->isSeparator() || !texts.contains(a->text()))
                continue;
            QVERIFY2(!a->statusTip().isEmpty(), qPrintable(a->text()));
            QCOMPARE(a->shortcut(), keys.value(a->text()));
            QVERIFY(a->shortcut().isEmpty() || a->isShortcutVisibleInContextMenu());
        }
    }

    void contextMenuCommands()
    {
        Editor e;
        const int a = e.f.Add(0, u"A"_qs, 0, 0);
        const int b = e.f.Add(a, u"B"_qs, 0, 200);
        const int c = e.f.Add(b, u"C"_qs, 0, 400);
        e.open();

        // "Add Node" on empty canvas: a root at the clicked point
        e.answers = {Attrs(u"N"_qs, u"n"_qs)};
        std::unique_ptr<QMenu> menu = e.view->CreateContextMenu(QPointF(600, 333));
        EntryOf(*menu, u"Add Node"_qs)->trigger();
        const CKELMethod *made = e.f.Tree()->Nodes().last();
        QCOMPARE(made->component, u"N"_qs);
        QCOMPARE(QPoint(made->x, made->y), QPoint(600, 333));
        QCOMPARE(made->ParentId(), 0);

        // "Change Behavior" and "Extra Info"
        e.answers = {Attrs(u"A2"_qs, u"a2"_qs)};
        menu = e.view->CreateContextMenu(QPointF(100, 25));
        EntryOf(*menu, u"Change Behavior"_qs)->trigger();
        QCOMPARE(e.f.N(a)->component, u"A2"_qs);
        QCOMPARE(e.shape(a)->ComCell()->text, u"A2"_qs);
        QCOMPARE(e.askedNew.last(), false);
        e.extraAnswer = {{u"T1"_qs, u"T2"_qs}, {u"one"_qs, u"two"_qs}};
        EntryOf(*menu, u"Extra Info"_qs)->trigger();
        QCOMPARE(e.f.N(a)->extraInfoNames, (QStringList{u"one"_qs, u"two"_qs}));
        QCOMPARE(e.shape(a)->ExtraInfoRows(), 2);

        // "Collapse Subtree" hides the descendants, again shows them
        menu = e.view->CreateContextMenu(QPointF(100, 225));
        EntryOf(*menu, u"Collapse Subtree"_qs)->trigger();
        QVERIFY(e.doc->IsCollapsed(b));
        QVERIFY(!e.shape(c)->isVisible());
        QVERIFY(!e.doc->LinkInto(c)->isVisible());
        QVERIFY(e.shape(b)->isVisible());
        menu = e.view->CreateContextMenu(QPointF(100, 225));
        QVERIFY(EntryOf(*menu, u"Collapse Subtree"_qs)->isChecked());
        // a child added under a collapsed node stays hidden
        e.answers = {Attrs(u"D"_qs, u"d"_qs)};
        QVERIFY(e.view->AddNodeAt(QPoint(300, 600), c));
        QCoreApplication::processEvents();
        QVERIFY(!e.shape(e.f.Tree()->Nodes().last()->GetId())->isVisible());
        EntryOf(*menu, u"Collapse Subtree"_qs)->trigger();
        QVERIFY(e.shape(c)->isVisible());
        QVERIFY(e.doc->LinkInto(c)->isVisible());
        QCOMPARE(e.f.m.BuildSolutionText().contains(u"Collapse"_qs), false); // view state only

        // "Rearrange Subtree" lays out the clicked node's subtree only
        e.f.m.SetNodeGeometry(c, 777, 555, 0, 0);
        menu = e.view->CreateContextMenu(QPointF(100, 225));
        EntryOf(*menu, u"Rearrange Subtree"_qs)->trigger();
        QCOMPARE(e.place(b), QPoint(0, 200)); // anchored
        QCOMPARE(e.place(c).y(), 300);
        QCOMPARE(e.place(a), QPoint(0, 0));

        // "Remove" on a link detaches its child; the click selects what it hits
        menu = e.view->CreateContextMenu(QPointF(100, 120));
        QCOMPARE(menu->objectName(), u"RBT_LINK"_qs);
        EntryOf(*menu, u"Remove"_qs)->trigger();
        QCOMPARE(e.f.N(b)->ParentId(), 0);
        QVERIFY(e.f.N(a));

        // "Create Child Node" selects the node, then adds below it
        e.answers = {Attrs(u"K"_qs, u"k"_qs)};
        menu = e.view->CreateContextMenu(QPointF(100, 25));
        EntryOf(*menu, u"Create Child Node"_qs)->trigger();
        QCOMPARE(e.f.Tree()->Nodes().last()->ParentId(), a);
        QCOMPARE(e.view->SingleSelectedNode(), a);

        // "Remove" on a node removes it
        menu = e.view->CreateContextMenu(QPointF(100, 25));
        EntryOf(*menu, u"Remove"_qs)->trigger();
        QVERIFY(!e.f.N(a));
    }

    void laterPartsAddMenuCommands()
    {
        Editor e(KEL::DBT);
        const int a = e.f.Add(0, u"A"_qs, 0, 0);
        e.open();
        QList<int> clicked;
        CViewMenuCommands commands{
            {u"DBT_Node"_qs, u"Mark all Matching Nodes"_qs,
             [&clicked](CTessel1View &, int id, const QPointF &) { clicked.append(id); }},
            {u"RBT_Node"_qs, u"Only in RBTs"_qs, [](CTessel1View &, int, const QPointF &) {}},
        };
        e.view->SetMenuCommands(&commands);
        std::unique_ptr<QMenu> menu = e.view->CreateContextMenu(QPointF(100, 25));
        const QStringList texts = EntryTexts(*menu);
        QCOMPARE(texts.mid(texts.size() - 2), (QStringList{u"-"_qs, u"Mark all Matching Nodes"_qs}));
        QVERIFY(!texts.contains(u"Only in RBTs"_qs));
        EntryOf(*menu, u"Mark all Matching Nodes"_qs)->trigger();
        QCOMPARE(clicked, QList<int>{a});
    }

    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("start"); // the selected node, or "" for none
        QTest::addColumn<QString>("selectedAfter");
        QTest::newRow("Up: the parent") << int(Qt::Key_Up) << u"C"_qs << u"A"_qs;
        QTest::newRow("Up at a root stays") << int(Qt::Key_Up) << u"A"_qs << u"A"_qs;
        QTest::newRow("Down: the first child") << int(Qt::Key_Down) << u"A"_qs << u"B"_qs;
        QTest::newRow("Right: the next sibling") << int(Qt::Key_Right) << u"B"_qs << u"C"_qs;
        QTest::newRow("Right at the last sibling stays") << int(Qt::Key_Right) << u"C"_qs << u"C"_qs;
        QTest::newRow("Left: the previous sibling") << int(Qt::Key_Left) << u"C"_qs << u"B"_qs;
        QTest::newRow("Right among roots") << int(Qt::Key_Right) << u"A"_qs << u"R"_qs;
        QTest::newRow("an arrow with nothing selected starts at the root") << int(Qt::Key_Down) << u""_qs << u"A"_qs;
    }

    void keys()
    {
        QFETCH(int, key);
        QFETCH(QString, start);
        QFETCH(QString, selectedAfter);
        Editor e;
        QHash<QString, int> ids;
        ids[u"A"_qs] = e.f.Add(0, u"A"_qs, 200, 0);
        ids[u"B"_qs] = e.f.Add(ids[u"A"_qs], u"B"_qs, 0, 100);
        ids[u"C"_qs] = e.f.Add(ids[u"A"_qs], u"C"_qs, 300, 100);
        ids[u"R"_qs] = e.f.Add(0, u"R"_qs, 700, 0);
        e.open();
        e.show();
        if (!start.isEmpty())
            e.select({ids[start]});
        e.key(key);
        QCOMPARE(e.view->SingleSelectedNode(), ids[selectedAfter]);
    }

    void drops_data()
    {
        QTest::addColumn<int>("treeType");
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("a node") << int(KEL::RBT) << u"Method"_qs << true;
        QTest::newRow("a state") << int(KEL::RBT) << u"State"_qs << true;
        QTest::newRow("a state shown under a requirement") << int(KEL::RBT) << u"State under R2"_qs << true;
        QTest::newRow("an RBT on a DBT") << int(KEL::DBT) << u"RBT"_qs << true;
        QTest::newRow("an RBT on an RBT") << int(KEL::RBT) << u"RBT"_qs << false;
        QTest::newRow("a requirement") << int(KEL::RBT) << u"Requirement"_qs << false;
    }

    void drops()
    {
        QFETCH(int, treeType);
        QFETCH(QString, what);
        QFETCH(bool, accepted);
        Editor e(treeType);
        e.f.m.AddRequirement(u"R2"_qs, u"two"_qs);
        e.f.m.AddComponent(u"Door"_qs, false);
        e.f.m.AddState(u"Door"_qs, u"open"_qs, 3, u"R2"_qs);
        const int state = e.f.m.FindComponent(u"Door"_qs)->Children().front()->GetId();
        const int r2 = e.f.m.FindRequirement(u"R2"_qs)->GetId();
        e.f.m.AddRBT(u"Source"_qs, {}, 50);
        const int source = e.f.m.FindTree(KEL::RBTs, u"Source"_qs)->GetId();
        e.f.m.AddNode(source, 0, Attrs(u"Lamp"_qs, u"on"_qs, 1, u"R9"_qs), 0, 0);
        const int method = static_cast<const CKELTree *>(e.f.m.Lookup(source))->Nodes().first()->GetId();
        e.open();
        e.show();

        ExplorerDrag::Payload payload;
        payload.elementId = what == u"Method"           ? method
                            : what.startsWith(u"State") ? state
                            : what == u"RBT"            ? source
                                                        : r2;
        payload.shownUnderId = what == u"State under R2" ? r2 : 0;
        payload.typeCode = e.f.m.Lookup(payload.elementId)->GetTypeCode();
        QMimeData data;
        data.setData(ExplorerDrag::MimeType(), ExplorerDrag::Encode(payload));
        const QPoint at = e.view->mapFromScene(QPointF(333, 222));
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(e.view->viewport(), &enter);
        QCOMPARE(enter.isAccepted(), accepted);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        const int before = e.f.Tree()->Nodes().size();
        QApplication::sendEvent(e.view->viewport(), &drop);
        QCOMPARE(drop.isAccepted(), accepted);
        if (!accepted) {
            QCOMPARE(e.f.Tree()->Nodes().size(), before);
            return;
        }
        const CKELMethod *made = what == u"RBT" ? e.f.Tree()->Roots().first() : e.f.Tree()->Nodes().last();
        QVERIFY(e.shape(made->GetId()));
        if (what == u"RBT") {
            // copied in and arranged at once
            QCOMPARE(made->component, u"Lamp"_qs);
            QCOMPARE(QPoint(made->x, made->y), QPoint(0, 0));
            return;
        }
        QCOMPARE(QPoint(made->x, made->y), QPoint(333, 222));
        QCOMPARE(made->ParentId(), 0);
        if (what == u"Method") {
            QCOMPARE(made->component, u"Lamp"_qs);
            QCOMPARE(made->requirementTag, u"R9"_qs);
        } else {
            QCOMPARE(made->component, u"Door"_qs);
            QCOMPARE(made->behavior, u"open"_qs);
            QCOMPARE(made->behaviorType, 3);
            QCOMPARE(made->requirementTag, what == u"State under R2" ? u"R2"_qs : QString());
        }
    }

    void findAndFindNext()
    {
        Editor e;
        const int a = e.f.Add(0, u"Oven"_qs, 0, 0, u"idle"_qs);
        const int b = e.f.Add(a, u"Button"_qs, 0, 100, u"push"_qs);
        const int c = e.f.Add(b, u"Oven"_qs, 0, 200, u"cooking"_qs);
        e.f.m.ChangeNode(b, Attrs(u"Button"_qs, u"push"_qs, 3, u"R7"_qs));
        const int d = e.f.Add(0, u"Door"_qs, 3000, 2000, u"open oven"_qs);
        e.open();
        e.show();
        QVERIFY(e.view->FindNext(u"oven"_qs));
        QCOMPARE(e.view->SingleSelectedNode(), a);
        // F3: the next in tree order, then around
        e.key(Qt::Key_F3);
        QCOMPARE(e.view->SingleSelectedNode(), c);
        e.key(Qt::Key_F3);
        QCOMPARE(e.view->SingleSelectedNode(), d);
        // the match is brought into view (centred as far as the canvas reaches)
        QVERIFY(e.view->VisibleSceneRect().contains(QRectF(e.shape(d)->GetBoundRect())));
        e.key(Qt::Key_F3);
        QCOMPARE(e.view->SingleSelectedNode(), a);
        // by tag
        QVERIFY(e.view->FindNext(u"r7"_qs));
        QCOMPARE(e.view->SingleSelectedNode(), b);
        // nothing found: the selection stays
        QVERIFY(!e.view->FindNext(u"nowhere"_qs));
        QCOMPARE(e.view->SingleSelectedNode(), b);
        // a match in a collapsed subtree is brought out
        e.doc->SetCollapsed(a, true);
        QVERIFY(!e.shape(c)->isVisible());
        QVERIFY(e.view->FindNext(u"cooking"_qs));
        QCOMPARE(e.view->SingleSelectedNode(), c);
        QVERIFY(e.shape(c)->isVisible());
        QVERIFY(!e.doc->IsCollapsed(a));
        // Ctrl+F asks for the find bar
        QSignalSpy asked(e.view.get(), &CTessel1View::findRequested);
        e.key(Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(asked.count(), 1);
    }

    void doubleClickChangesTheNode()
    {
        Editor e;
        const int a = e.f.Add(0, u"A"_qs, 100, 100);
        e.open();
        e.show();
        e.answers = {Attrs(u"Changed"_qs, u"c"_qs)};
        QTest::mouseDClick(e.view->viewport(), Qt::LeftButton, {}, e.view->mapFromScene(QPointF(200, 120)));
        QCOMPARE(e.f.N(a)->component, u"Changed"_qs);
        // on empty canvas: no dialog
        QTest::mouseDClick(e.view->viewport(), Qt::LeftButton, {}, e.view->mapFromScene(QPointF(600, 500)));
        QCOMPARE(e.askedNew.size(), 1);
        // F2 and Insert
        e.select({a});
        e.answers = {Attrs(u"Again"_qs, u"a"_qs)};
        e.key(Qt::Key_F2);
        QCOMPARE(e.f.N(a)->component, u"Again"_qs);
        e.answers = {Attrs(u"Child"_qs, u"c"_qs)};
        e.key(Qt::Key_Insert);
        QCOMPARE(e.f.Tree()->Nodes().last()->ParentId(), a);
    }

    void cuttingALinkOnTheCanvasDetachesTheChild()
    {
        Editor e;
        const int a = e.f.Add(0, u"A"_qs, 100, 100);
        const int b = e.f.Add(a, u"B"_qs, 100, 300);
        const int c = e.f.Add(0, u"C"_qs, 500, 300);
        e.open();
        e.show();
        QWidget *vp = e.view->viewport();
        // drag the link's end off the child
        e.scene().SelectOnly(e.doc->LinkInto(b));
        QTest::mousePress(vp, Qt::LeftButton, {}, e.view->mapFromScene(QPointF(200, 300)));
        QTest::mouseMove(vp, e.view->mapFromScene(QPointF(250, 250)));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, e.view->mapFromScene(QPointF(400, 220)));
        QTRY_COMPARE(e.f.N(b)->ParentId(), 0);
        QVERIFY(!e.doc->LinkInto(b));
        // draw a link from A's bottom port onto C
        QTest::mousePress(vp, Qt::LeftButton, {}, e.view->mapFromScene(QPointF(200, 150)));
        QTest::mouseMove(vp, e.view->mapFromScene(QPointF(300, 250)));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, e.view->mapFromScene(QPointF(600, 320)));
        QTRY_COMPARE(e.f.N(c)->ParentId(), a);
        QCOMPARE(e.doc->LinkInto(c)->StartKey(), a);
        QCOMPARE(e.place(a), QPoint(100, 100));
    }

    // The application's "New Node or Change Node" fills the attributes.
    void theNodeDialogIsTheApplicationsOwn()
    {
        Editor e;
        const int a = e.f.Add(0, u"A"_qs, 100, 100);
        e.open();
        CDialogRunner runner;
        QStringList titles;
        QString shown;
        runner.dialogHook = [&titles, &shown](QDialog &d) {
            titles.append(d.windowTitle());
            auto *node = qobject_cast<CKELNodeDlg *>(&d);
            if (!node)
                return int(QDialog::Rejected);
            shown = node->ComponentCombo()->currentText();
            node->ComponentCombo()->setCurrentText(u"Lamp"_qs);
            node->BehaviorCombo()->setCurrentText(u"lit"_qs);
            node->accept();
            return d.result();
        };
        const CEditorDialogs standard = StandardEditorDialogs(e.f.m, runner);
        e.view->SetDialogs(&standard);
        QVERIFY(e.view->ChangeBehavior(a));
        QCOMPARE(titles, QStringList{u"New Node or Change Node"_qs});
        QCOMPARE(shown, u"A"_qs); // the dialog showed the node as it was
        QCOMPARE(e.f.N(a)->component, u"Lamp"_qs);
        QCOMPARE(e.f.N(a)->behavior, u"lit"_qs);
        QCOMPARE(e.shape(a)->ComCell()->text, u"Lamp"_qs);
    }
};

QTEST_MAIN(TestViewInput)
#include "tst_viewinput.moc"
