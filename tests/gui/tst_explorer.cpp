// The solution explorer: what it shows, how it follows the model, its
// menus, drags and double clicks.
#include "guitestkit.h"
#include "scriptedprompt.h"

#include "dialogs/dialogrunner.h"
#include "dialogs/kelcomponentbehaviordlg.h"
#include "dialogs/kelrequirementdlg.h"
#include "explorer/explorercommands.h"
#include "explorer/explorerdrag.h"
#include "explorer/explorericons.h"
#include "explorer/explorertooltip.h"
#include "edit/undohistory.h"
#include "explorer/kelnavigatetree.h"
#include "model/explorerlisting.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/kelrequirement.h"
#include "model/keltree.h"
#include "model/nodeattributes.h"
#include "model/solutionfile.h"

#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QtTest>

using namespace GuiTestKit;

using Edit = std::function<void(CKELDataManager &)>;
Q_DECLARE_METATYPE(Edit)

namespace {

// Ids in the example solution.
constexpr int Version1 = 3;
constexpr int R1 = 9;
constexpr int R2 = 10;
constexpr int R3 = 11;
constexpr int Oven = 12;
constexpr int Idle = 13;
constexpr int Button = 14;
constexpr int Push = 15;
constexpr int Door = 16;
constexpr int Open = 17;
constexpr int RBT1 = 20;
constexpr int RBT3 = 25;
constexpr int DBTOven = 30;
constexpr int OvenCooking = 33;

struct Fixture
{
    CKELDataManager manager;
    CScriptedPrompt prompt;
    CDialogRunner dialogs;
    CDialogScript script;
    std::unique_ptr<CKELNavigateTree> tree;
    CExplorerCommands *commands = nullptr;

    Fixture()
    {
        manager.SetPrompt(&prompt);
        QString error;
        if (!CSolutionFile::Read(manager, ExampleSolution(), &error))
            qFatal("example not readable: %s", qPrintable(error));
        tree = std::make_unique<CKELNavigateTree>(manager);
        script.Install(dialogs);
        commands = new CExplorerCommands(*tree, dialogs, nullptr);
    }
    QString shown() const { return ItemsText(*tree); }
    QString model() const { return ExplorerText(manager.Solution()); }
};

} // namespace

class TestExplorer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_home = IsolateHome(); }

    void toolTips_data()
    {
        QTest::addColumn<int>("id"); // element of the example
        QTest::addColumn<QString>("text");
        QTest::newRow("requirement with its description")
            << 11 << u"Requirement \"R3\"\nOpening the door stops the cooking."_qs;
        QTest::newRow("component with its states") << 12 << u"Component \"OVEN\", 3 states"_qs;
        QTest::newRow("requirement tree with its nodes") << 20 << u"Requirement behavior tree \"R1\", 3 nodes"_qs;
        QTest::newRow("design tree") << 30 << u"Design behavior tree \"Oven\", 3 nodes"_qs;
        QTest::newRow("folder with its entries") << 6 << u"Requirements, 3 entries"_qs;
        QTest::newRow("node with its requirement")
            << 27 << u"Node DOOR ??open??\nRequirement R3: Opening the door stops the cooking."_qs;
    }
    // A tooltip says what the item is, never a placeholder.
    void toolTips()
    {
        QFETCH(int, id);
        QFETCH(QString, text);
        Fixture f;
        const CKELData *e = f.manager.Lookup(id);
        QVERIFY(e);
        QCOMPARE(ExplorerToolTip::For(f.manager, *e), text);
    }

    // Incremental updates must leave the same items as a fresh rebuild.
    void followsEveryEdit_data()
    {
        QTest::addColumn<Edit>("edit");
        auto attrs = [] {
            CNodeAttributes a;
            a.component = QStringLiteral("LIGHT");
            a.behavior = QStringLiteral("on");
            a.requirementTag = QStringLiteral("R2");
            return a;
        };
        QTest::newRow("add requirement") << Edit([](CKELDataManager &m) { m.AddRequirement(u"R4"_qs, u"more"_qs); });
        QTest::newRow("add component") << Edit([](CKELDataManager &m) { m.AddComponent(u"LIGHT"_qs, false); });
        QTest::newRow("add state under a requirement")
            << Edit([](CKELDataManager &m) { m.AddState(u"DOOR"_qs, u"close"_qs, 1, u"R3"_qs); });
        QTest::newRow("attach state to a second requirement")
            << Edit([](CKELDataManager &m) { m.AttachState(Idle, u"R3"_qs); });
        QTest::newRow("rename requirement")
            << Edit([](CKELDataManager &m) { m.ChangeRequirement(R1, u"R1a"_qs, u"renamed"_qs); });
        QTest::newRow("detach state") << Edit([](CKELDataManager &m) { m.DetachState(Idle, R1); });
        QTest::newRow("remove requirement") << Edit([](CKELDataManager &m) { m.RemoveRequirement(R1); });
        QTest::newRow("remove component with states shown elsewhere")
            << Edit([](CKELDataManager &m) { m.RemoveComponent(Oven); });
        QTest::newRow("remove state") << Edit([](CKELDataManager &m) { m.RemoveState(Push); });
        QTest::newRow("rename component and its nodes")
            << Edit([](CKELDataManager &m) { m.RenameComponent(Door, u"HATCH"_qs, false); });
        QTest::newRow("new version") << Edit([](CKELDataManager &m) { m.NewVersion(u"2.0"_qs, Version1); });
        QTest::newRow("new version made current") << Edit([](CKELDataManager &m) {
            m.NewVersion(u"2.0"_qs, Version1);
            m.SetCurrentVersion(m.MaxCount() > 0 ? m.Solution()->Project()->ChildAt(1)->GetId() : 0);
        });
        QTest::newRow("add RBT with requirements") << Edit([](CKELDataManager &m) { m.AddRBT(u"R2"_qs, {R2, R3}, 0); });
        QTest::newRow("change RBT requirements")
            << Edit([](CKELDataManager &m) { m.ChangeRBT(RBT1, u"R1 again"_qs, {R2}); });
        QTest::newRow("remove RBT") << Edit([](CKELDataManager &m) { m.RemoveRBT(RBT1); });
        QTest::newRow("add node with a new component")
            << Edit([attrs](CKELDataManager &m) { m.AddNode(DBTOven, OvenCooking, attrs(), 10, 10); });
        QTest::newRow("change node") << Edit([attrs](CKELDataManager &m) { m.ChangeNode(OvenCooking, attrs()); });
        QTest::newRow("remove node") << Edit([](CKELDataManager &m) { m.RemoveNode(32); });
        QTest::newRow("copy tree") << Edit([](CKELDataManager &m) { m.CopyTree(DBTOven, RBT3); });
        QTest::newRow("derive CBT") << Edit([](CKELDataManager &m) { m.CreateCBT(DBTOven, u"OVEN"_qs); });
        QTest::newRow("derive CIN") << Edit([](CKELDataManager &m) { m.CreateCIN(DBTOven); });
        QTest::newRow("derive CIN then remove it") << Edit([](CKELDataManager &m) {
            m.CreateCIN(DBTOven);
            int cin = 0;
            for (int id : m.SortedIds())
                cin = m.Lookup(id)->GetTypeCode() == KEL::CIN ? id : cin;
            QVERIFY(m.RemoveCIN(cin));
        });
        QTest::newRow("modified and saved") << Edit([](CKELDataManager &m) {
            m.MarkModified();
            m.MarkSaved();
        });
        QTest::newRow("modified") << Edit([](CKELDataManager &m) { m.MarkModified(); });
        QTest::newRow("edit undone back to the saved state") << Edit([](CKELDataManager &m) {
            m.MarkSaved();
            m.RemoveRequirement(R1);
            QVERIFY(m.History().Undo());
        });
        QTest::newRow("saved edit undone and redone") << Edit([](CKELDataManager &m) {
            m.ChangeRequirement(R1, u"R1a"_qs, u"renamed"_qs);
            m.MarkSaved();
            QVERIFY(m.History().Undo());
            QVERIFY(m.History().Redo());
        });
    }
    void followsEveryEdit()
    {
        QFETCH(Edit, edit);
        Fixture f;
        edit(f.manager);
        QCOMPARE(f.shown().split(u'\n'), f.model().split(u'\n'));
        // and the maps behind the items agree with what is shown
        for (int id : f.manager.SortedIds()) {
            if (QTreeWidgetItem *item = f.tree->ItemOf(id))
                QCOMPARE(CKELNavigateTree::ElementIdOf(item), id);
        }
    }

    void closingEmptiesIt()
    {
        Fixture f;
        f.manager.CloseSolution();
        QCOMPARE(f.tree->topLevelItemCount(), 0);
        QVERIFY(!f.tree->ItemOf(R1));
        f.manager.NewSolution();
        QCOMPARE(f.shown().split(u'\n'), f.model().split(u'\n'));
    }

    // A state realising two requirements shows three times.
    void stateRemoveDependsOnWhereItIsShown_data()
    {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<bool>("virtualItem");
        QTest::addColumn<QString>("question");
        QTest::addColumn<bool>("stateRemains");
        QTest::addColumn<int>("itemsLeft");
        // attaching the state below has changed the solution
        const QStringList version{u"Solution: microwave*"_qs, u"System:Microwave Oven"_qs, u"Version: 1.0*"_qs};
        QTest::newRow("under a requirement detaches from it only")
            << (version + QStringList{u"Requirements"_qs, u"R3"_qs, u"[idle] {R1,R3}"_qs}) << true
            << u"Are you sure that you want to remove the state from the requirement of \"R3\" ?"_qs << true << 2;
        QTest::newRow("under its component removes it")
            << (version + QStringList{u"Components"_qs, u"OVEN"_qs, u"[idle] {R1,R3}"_qs}) << false
            << u"Are you sure that you want to remove the state \"OVEN [idle]\" ?"_qs << false << 0;
    }
    void stateRemoveDependsOnWhereItIsShown()
    {
        QFETCH(QStringList, path);
        QFETCH(bool, virtualItem);
        QFETCH(QString, question);
        QFETCH(bool, stateRemains);
        QFETCH(int, itemsLeft);
        Fixture f;
        QVERIFY(f.manager.AttachState(Idle, u"R3"_qs));
        QCOMPARE(f.tree->VirtualItemsOf(Idle).size(), 2);
        QVERIFY(f.tree->ItemOf(Idle));

        QTreeWidgetItem *item = ItemAt(*f.tree, path, virtualItem);
        QVERIFY(item);
        std::unique_ptr<QMenu> menu = f.tree->ContextMenuFor(item);
        QCOMPARE((menu ? EntryTexts(*menu) : QStringList()), QStringList{u"Remove"_qs});
        EntryOf(*menu, u"Remove"_qs)->trigger();
        QCOMPARE(f.prompt.texts.value(0), question);
        QCOMPARE(f.prompt.captions.value(0), QStringLiteral("Confirm Message"));
        QCOMPARE(f.manager.Lookup(Idle) != nullptr, stateRemains);
        QCOMPARE(int(f.tree->VirtualItemsOf(Idle).size()) + (f.tree->ItemOf(Idle) ? 1 : 0), itemsLeft);
        QCOMPARE(f.shown().split(u'\n'), f.model().split(u'\n'));
    }

    void menusOfEachKind_data()
    {
        QTest::addColumn<int>("elementId");
        QTest::addColumn<bool>("withOpener");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("solution") << 1 << true << QStringList();
        QTest::newRow("project") << 2 << true << QStringList();
        QTest::newRow("version") << Version1 << false << QStringList{u"New Version"_qs, u"Set as Current Version"_qs};
        QTest::newRow("requirements folder") << 6 << false << QStringList{u"New Requirement"_qs};
        QTest::newRow("requirement") << R1 << false << QStringList{u"Change"_qs, u"Remove"_qs};
        QTest::newRow("components folder") << 7 << false << QStringList{u"New Component"_qs};
        QTest::newRow("component") << Oven << false << QStringList{u"Rename"_qs, u"Change Behaviors"_qs, u"Remove "_qs};
        QTest::newRow("state") << Idle << false << QStringList{u"Remove"_qs};
        QTest::newRow("RBTs folder") << 5 << false << QStringList{u"New RBT"_qs};
        QTest::newRow("RBT without opener") << RBT1 << false << QStringList{u"Change "_qs, u"Remove"_qs};
        QTest::newRow("RBT with opener") << RBT1 << true << QStringList{u"Open"_qs, u"Change "_qs, u"Remove"_qs};
        QTest::newRow("IBTs folder") << 4 << false << QStringList{u"New IBT"_qs};
        QTest::newRow("DBT with opener") << DBTOven << true << QStringList{u"Open"_qs, u"Rename"_qs, u"Remove"_qs};
        QTest::newRow("node") << OvenCooking << true << QStringList();
        QTest::newRow("EVTs folder before its dialog exists") << 8 << true << QStringList();
    }
    void menusOfEachKind()
    {
        QFETCH(int, elementId);
        QFETCH(bool, withOpener);
        QFETCH(QStringList, expected);
        Fixture f;
        if (withOpener)
            f.commands->SetTreeOpener([](int) {});
        std::unique_ptr<QMenu> menu = f.tree->ContextMenuFor(f.tree->ItemOf(elementId));
        QCOMPARE(menu != nullptr, !expected.isEmpty());
        QCOMPARE((menu ? EntryTexts(*menu) : QStringList()), expected);
    }

    // Commands registered later fall into their groups, with separators
    // only between groups that show something.
    void laterCommandsJoinTheirGroups_data()
    {
        QTest::addColumn<int>("typeCode");
        QTest::addColumn<QStringList>("registered");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("RBT derivation only") << int(KEL::RBT) << QStringList{u"Create CIN"_qs}
                                             << QStringList{u"Change "_qs, u"Remove"_qs, u"-"_qs, u"Create CIN"_qs};
        QTest::newRow("RBT translation and derivation")
            << int(KEL::RBT) << QStringList{u"Create CBT"_qs, u"Simulate with ZEPH"_qs}
            << QStringList{u"Change "_qs, u"Remove"_qs, u"-"_qs, u"Simulate with ZEPH"_qs, u"-"_qs, u"Create CBT"_qs};
        QTest::newRow("DBT integration group")
            << int(KEL::DBT) << QStringList{u"Mark Missing Precondition"_qs, u"Get RBTs"_qs}
            << QStringList{u"Rename"_qs, u"Remove"_qs, u"-"_qs, u"Get RBTs"_qs, u"Mark Missing Precondition"_qs};
        QTest::newRow("a command outside the table goes last")
            << int(KEL::DBT) << QStringList{u"Translate to UPPAAL"_qs}
            << QStringList{u"Rename"_qs, u"Remove"_qs, u"-"_qs, u"Translate to UPPAAL"_qs};
        QTest::newRow("EVT group without its first entries")
            << int(KEL::EVT) << QStringList{u"Evolutionary CIN"_qs}
            << QStringList{u"Remove"_qs, u"-"_qs, u"Evolutionary CIN"_qs};
    }
    void laterCommandsJoinTheirGroups()
    {
        QFETCH(int, typeCode);
        QFETCH(QStringList, registered);
        QFETCH(QStringList, expected);
        Fixture f;
        for (const QString &command : registered)
            f.tree->Menu().SetHandler(typeCode, command, [](const CExplorerTarget &) {});
        QStringList shown = f.tree->Menu().Shown(typeCode);
        shown.replaceInStrings(QRegularExpression(u"^$"_qs), u"-"_qs);
        QCOMPARE(shown, expected);
        // taken off again, the menu is as before
        for (const QString &command : registered)
            f.tree->Menu().SetHandler(typeCode, command, nullptr);
        QVERIFY(!f.tree->Menu().Shown(typeCode).contains(registered.first()));
    }

    void currentVersionStarMoves()
    {
        Fixture f;
        QVERIFY(f.manager.NewVersion(u"2.0"_qs, Version1));
        const int v2 = f.manager.Solution()->Project()->ChildAt(1)->GetId();
        QCOMPARE(f.tree->ItemOf(v2)->text(0), QStringLiteral("Version: 2.0"));
        std::unique_ptr<QMenu> menu = f.tree->ContextMenuFor(f.tree->ItemOf(v2));
        EntryOf(*menu, u"Set as Current Version"_qs)->trigger();
        QCOMPARE(f.tree->ItemOf(v2)->text(0), QStringLiteral("Version: 2.0*"));
        QCOMPARE(f.tree->ItemOf(Version1)->text(0), QStringLiteral("Version: 1.0"));
    }

    // Adding into a version that is not current would add elsewhere than
    // the user clicked.
    void newElementsOnlyIntoTheCurrentVersion()
    {
        Fixture f;
        QVERIFY(f.manager.NewVersion(u"2.0"_qs, Version1));
        const CKELVersion *v2 = static_cast<const CKELVersion *>(f.manager.Solution()->Project()->ChildAt(1));
        f.manager.SetCurrentVersion(v2->GetId());
        const int reqsBefore = f.manager.Solution()->Project()->ChildAt(0)->ChildAt(0)->ChildCount();
        QVERIFY(!f.commands->NewRequirement(6)); // the requirements folder of 1.0
        QVERIFY(f.script.titles.isEmpty());
        QVERIFY(f.prompt.texts.value(0).contains(u"Make version 1.0 the current version"_qs));
        QCOMPARE(f.manager.Solution()->Project()->ChildAt(0)->ChildAt(0)->ChildCount(), reqsBefore);
    }

    void onlyNodesStatesAndRBTsDrag_data()
    {
        QTest::addColumn<int>("elementId");
        QTest::addColumn<bool>("viaRequirement");
        QTest::addColumn<bool>("draggable");
        QTest::addColumn<int>("shownUnder");
        QTest::newRow("node") << OvenCooking << false << true << DBTOven;
        QTest::newRow("state under its component") << Open << false << true << Door;
        QTest::newRow("state under a requirement") << Open << true << true << R3;
        QTest::newRow("RBT") << RBT3 << false << true << 5;
        QTest::newRow("requirement") << R2 << false << false << 0;
        QTest::newRow("component") << Door << false << false << 0;
        QTest::newRow("DBT") << DBTOven << false << false << 0;
        QTest::newRow("version") << Version1 << false << false << 0;
    }
    void onlyNodesStatesAndRBTsDrag()
    {
        QFETCH(int, elementId);
        QFETCH(bool, viaRequirement);
        QFETCH(bool, draggable);
        QFETCH(int, shownUnder);
        Fixture f;
        QTreeWidgetItem *item = viaRequirement ? f.tree->VirtualItemsOf(elementId).value(0) : f.tree->ItemOf(elementId);
        QVERIFY(item);
        QCOMPARE(bool(item->flags() & Qt::ItemIsDragEnabled), draggable);
        QCOMPARE(f.tree->model()->supportedDragActions(), Qt::DropActions(Qt::CopyAction));
        // what a drag would carry, asked the way the view asks
        struct Probe : CKELNavigateTree
        {
            using CKELNavigateTree::mimeData;
        };
        std::unique_ptr<QMimeData> data(static_cast<Probe *>(f.tree.get())->mimeData({item}));
        QCOMPARE(data != nullptr, draggable);
        if (!draggable)
            return;
        const auto payload = ExplorerDrag::Decode(data.get());
        QVERIFY(payload);
        QCOMPARE(payload->elementId, elementId);
        QCOMPARE(payload->shownUnderId, shownUnder);
        QCOMPARE(payload->typeCode, f.manager.Lookup(elementId)->GetTypeCode());
    }

    void doubleClickOpensOrEdits_data()
    {
        QTest::addColumn<int>("elementId");
        QTest::addColumn<int>("opened");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("RBT opens its window") << RBT1 << RBT1 << QString();
        QTest::newRow("DBT opens its window") << DBTOven << DBTOven << QString();
        QTest::newRow("requirement edits") << R2 << 0 << u"New or Change  Requirement"_qs;
        QTest::newRow("component edits its behaviors") << Oven << 0 << u"Change Component Behaviors"_qs;
        QTest::newRow("node does nothing") << OvenCooking << 0 << QString();
        QTest::newRow("folder does nothing") << 6 << 0 << QString();
    }
    void doubleClickOpensOrEdits()
    {
        QFETCH(int, elementId);
        QFETCH(int, opened);
        QFETCH(QString, dialog);
        Fixture f;
        int openedId = 0;
        f.commands->SetTreeOpener([&openedId](int id) { openedId = id; });
        f.script.Cancel();
        QTreeWidgetItem *item = f.tree->ItemOf(elementId);
        const bool expanded = item->isExpanded();
        f.tree->Activate(item);
        QCOMPARE(openedId, opened);
        QCOMPARE(f.script.titles.value(0), dialog);
        // what opens nothing opens and closes like a folder
        QCOMPARE(item->isExpanded() != expanded, !opened && dialog.isEmpty());
        // a cancelled edit changes nothing
        QVERIFY(!f.manager.Solution()->IsModified());
    }

    // A rename sets the texts of the items that show the changed labels
    // and no others.
    void renameTouchesOnlyItsItems()
    {
        Fixture f;
        const qint64 before = f.tree->LabelWrites();
        QVERIFY(f.manager.ChangeRequirement(R3, u"R3x"_qs, u"Opening the door stops the cooking."_qs));
        // the requirement (its own item and under its RBT), its state (under
        // its component and under R3), the RBT naming it, the solution's mark,
        // and the three nodes that carry the tag
        QCOMPARE(f.tree->LabelWrites() - before, qint64(9));
        QCOMPARE(f.tree->ItemOf(RBT3)->text(0), QStringLiteral("R3 {R3x}"));
    }

    void iconsTellKindsApart()
    {
        const QList<int> indexes{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 16, 17, 18, 19, 20, 21, 22};
        QList<QImage> images;
        for (int index : indexes)
            images.append(ExplorerIcons::Icon(index).pixmap(20, 20).toImage());
        for (qsizetype i = 0; i < images.size(); ++i) {
            QVERIFY2(!images[i].isNull(), qPrintable(QString::number(indexes[i])));
            for (qsizetype j = i + 1; j < images.size(); ++j)
                QVERIFY2(images[i] != images[j],
                         qPrintable(QStringLiteral("%1 and %2").arg(indexes[i]).arg(indexes[j])));
        }
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

QTEST_MAIN(TestExplorer)
#include "tst_explorer.moc"
