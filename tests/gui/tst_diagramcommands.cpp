// The commands that make, show and remove interaction networks and
// interface diagrams, run through the real entries: the explorer's menus,
// the tree views' context menus and the "Model" menu.
#include "diagramtestkit.h"

#include "app/solutioncommands.h"
#include "canvas/canvasscene.h"
#include "derive/cbt.h"
#include "derive/cid.h"
#include "dialogs/kelciddlg.h"
#include "dialogs/kelcindlg.h"
#include "editor/childframe.h"
#include "diagram/kelcidshape.h"

#include <QComboBox>
#include <QImageReader>
#include <QSignalSpy>
#include <QtTest>

using namespace DiagramTestKit;
using GuiTestKit::EntryOf;

using Step = std::function<bool(Frame &)>;
Q_DECLARE_METATYPE(Step)

namespace {

int treeId(Frame &f, int folder, const QString &name)
{
    const CKELTree *t = f.tree(folder, name);
    return t ? t->GetId() : 0;
}

// The diagrams of a kind that a tree holds, in order.
QList<int> diagramsOf(Frame &f, int tree, int typeCode)
{
    const CKELData *holder = f.model().Lookup(tree);
    if (holder && typeCode == KEL::CID)
        holder = holder->FirstChildOfType<CKELData>(KEL::CIDs);
    QList<int> out;
    if (!holder)
        return out;
    for (const auto &c : holder->Children()) {
        if (c->GetTypeCode() == typeCode)
            out.append(c->GetId());
    }
    return out;
}

QAction *viewMenuEntry(Frame &f, const QString &text)
{
    return EntryOf(*f.frame->MenuNamed(u"&Model"_qs), text);
}

// The tree view's context menu on empty canvas, far from every node.
bool fromTreeView(Frame &f, int tree, const QString &text)
{
    CChildFrame *child = f.windows().Open(tree);
    return child && f.runViewMenu(child->View(), QPointF(5000, 5000), text);
}

void chooseTree(QComboBox *trees, int id)
{
    trees->setCurrentIndex(trees->findData(id));
}

} // namespace

class TestDiagramCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_home = GuiTestKit::IsolateHome(); }

    void commandsMakeTheDiagramAndOpenIt_data()
    {
        QTest::addColumn<Step>("run");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("treeName");
        QTest::addColumn<QStringList>("dialogs");
        QTest::addColumn<int>("diagramsAfter");
        QTest::addColumn<QString>("title");

        const QString cinDlg = u"Select BT for CIN"_qs;
        const QString cidDlg = u"Select details for CID"_qs;
        QTest::newRow("explorer: Create CIN on an IBT needs no dialog")
            << Step([](Frame &f) { return f.runExplorer(treeId(f, KEL::DBTs, u"Oven"_qs), u"Create CIN"_qs); })
            << int(KEL::CIN) << u"Oven"_qs << QStringList() << 1 << u"CIN: Oven"_qs;
        QTest::newRow("tree view: Create CIN")
            << Step([](Frame &f) { return fromTreeView(f, treeId(f, KEL::RBTs, u"R3"_qs), u"Create CIN"_qs); })
            << int(KEL::CIN) << u"R3"_qs << QStringList() << 1 << u"CIN: R3"_qs;
        QTest::newRow("View CIN asks for the tree") << Step([](Frame &f) {
            f.script.Accept<CKELCINDlg>([&f](CKELCINDlg &d) { chooseTree(d.Trees(), treeId(f, KEL::RBTs, u"R3"_qs)); });
            viewMenuEntry(f, u"View CIN"_qs)->trigger();
            return true;
        }) << int(KEL::CIN) << u"R3"_qs << QStringList{cinDlg}
                                                    << 1 << u"CIN: R3"_qs;
        QTest::newRow("View CIN shows the tree's CIN instead of making another") << Step([](Frame &f) {
            const int oven = treeId(f, KEL::DBTs, u"Oven"_qs);
            f.model().CreateCIN(oven);
            f.diagrams->CloseAll();
            f.script.Accept<CKELCINDlg>([oven](CKELCINDlg &d) { chooseTree(d.Trees(), oven); });
            viewMenuEntry(f, u"View CIN"_qs)->trigger();
            return true;
        }) << int(KEL::CIN) << u"Oven"_qs << QStringList{cinDlg} << 1 << u"CIN: Oven"_qs;
        QTest::newRow("explorer: Create CID asks for the component") << Step([](Frame &f) {
            f.script.Accept<CKELCIDDlg>(
                [](CKELCIDDlg &d) { d.Components()->setCurrentIndex(d.Components()->findText(u"BUTTON"_qs)); });
            return f.runExplorer(treeId(f, KEL::DBTs, u"Oven"_qs), u"Create CID"_qs);
        }) << int(KEL::CID) << u"Oven"_qs << QStringList{cidDlg} << 1 << u"CID: BUTTON (Oven)"_qs;
        QTest::newRow("tree view: Create CID") << Step([](Frame &f) {
            f.script.Accept<CKELCIDDlg>([](CKELCIDDlg &) {});
            return fromTreeView(f, treeId(f, KEL::DBTs, u"Oven"_qs), u"Create CID"_qs);
        }) << int(KEL::CID) << u"Oven"_qs << QStringList{cidDlg}
                                               << 1 << u"CID: OVEN (Oven)"_qs;
        QTest::newRow("New CID on the CIDs folder starts from its tree") << Step([](Frame &f) {
            const int r1 = treeId(f, KEL::RBTs, u"R1"_qs);
            f.model().CreateCID(r1, u"OVEN"_qs);
            const int folder = f.model().Lookup(r1)->FirstChildOfType<CKELData>(KEL::CIDs)->GetId();
            f.script.Accept<CKELCIDDlg>(
                [](CKELCIDDlg &d) { d.Components()->setCurrentIndex(d.Components()->findText(u"BUTTON"_qs)); });
            return f.runExplorer(folder, u"New CID"_qs);
        }) << int(KEL::CID) << u"R1"_qs << QStringList{cidDlg} << 2 << u"CID: BUTTON (R1)"_qs;
        QTest::newRow("View CID shows the component's CID instead of making another") << Step([](Frame &f) {
            const int oven = treeId(f, KEL::DBTs, u"Oven"_qs);
            f.model().CreateCID(oven, u"OVEN"_qs);
            f.diagrams->CloseAll();
            f.script.Accept<CKELCIDDlg>([oven](CKELCIDDlg &d) { chooseTree(d.Trees(), oven); });
            viewMenuEntry(f, u"View CID"_qs)->trigger();
            return true;
        }) << int(KEL::CID) << u"Oven"_qs << QStringList{cidDlg} << 1 << u"CID: OVEN (Oven)"_qs;
        QTest::newRow("a cancelled dialog makes nothing") << Step([](Frame &f) {
            f.script.Cancel();
            return f.runExplorer(treeId(f, KEL::DBTs, u"Oven"_qs), u"Create CID"_qs);
        }) << int(KEL::CID) << u"Oven"_qs << QStringList{cidDlg}
                                                          << 0 << QString();
    }

    // Each entry asks what its command needs, has the model make the diagram
    // (never more than one for "View"), and shows it in a window of its own.
    void commandsMakeTheDiagramAndOpenIt()
    {
        QFETCH(Step, run);
        QFETCH(int, kind);
        QFETCH(QString, treeName);
        QFETCH(QStringList, dialogs);
        QFETCH(int, diagramsAfter);
        QFETCH(QString, title);
        Frame f;
        QSignalSpy modified(&f.model(), &CKELDataManager::modifiedChanged);
        QVERIFY(run(f));
        QCOMPARE(f.script.titles, dialogs);
        QVERIFY(f.script.Done());
        int tree = treeId(f, KEL::RBTs, treeName);
        if (!tree)
            tree = treeId(f, KEL::DBTs, treeName);
        const QList<int> made = diagramsOf(f, tree, kind);
        QCOMPARE(made.size(), diagramsAfter);
        if (diagramsAfter == 0) {
            QVERIFY(f.diagrams->Windows().isEmpty());
            return;
        }
        CDiagramWindow *w = f.diagrams->Find(made.last());
        QVERIFY(w);
        QCOMPARE(w->TypeCode(), kind);
        QCOMPARE(f.frame->MdiArea()->activeSubWindow(), w);
        QCOMPARE(w->windowTitle(), title);
        // derived diagrams are never written, so the solution is not changed
        QCOMPARE(modified.count(), 0);
    }

    // The second list holds the chosen tree's components as a walk from its
    // root meets them, and follows the first.
    void cidDialogListsTheComponentsOfTheChosenTree()
    {
        Frame f;
        const int r3 = treeId(f, KEL::RBTs, u"R3"_qs);
        const int oven = treeId(f, KEL::DBTs, u"Oven"_qs);
        CKELCIDDlg dlg(f.model(), r3);
        QCOMPARE(dlg.TreeId(), r3);
        auto items = [](const QComboBox *c) {
            QStringList out;
            for (int i = 0; i < c->count(); ++i)
                out.append(c->itemText(i));
            return out;
        };
        QCOMPARE(items(dlg.Components()), Cbt::ComponentList(*f.tree(KEL::RBTs, u"R3"_qs)));
        QCOMPARE(dlg.Components()->currentIndex(), 0);
        chooseTree(dlg.Trees(), oven);
        QCOMPARE(items(dlg.Components()), Cbt::ComponentList(*f.tree(KEL::DBTs, u"Oven"_qs)));
        QCOMPARE(dlg.Component(), Cbt::ComponentList(*f.tree(KEL::DBTs, u"Oven"_qs)).first());

        CKELCINDlg cin(f.model(), oven);
        QCOMPARE(cin.TreeId(), oven);
    }

    void windowsCloseWithTheirElement_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<Step>("run");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QString>("question");
        const QString cinQuestion = u"Are you sure that you want to remove the CIN? "_qs;
        auto removeDiagram = [](Frame &f) {
            return f.runExplorer(f.diagrams->Windows().first()->ElementId(), u"Remove"_qs);
        };
        QTest::newRow("Remove on the CIN") << int(KEL::CIN) << Step(removeDiagram) << true << cinQuestion;
        QTest::newRow("Remove on the CID") << int(KEL::CID) << Step(removeDiagram) << true
                                           << u"Are you sure that you want to remove the CID \"OVEN\" ?"_qs;
        QTest::newRow("a declined removal keeps the window") << int(KEL::CIN) << Step([removeDiagram](Frame &f) {
            f.prompt.answers.append(CPrompt::No);
            removeDiagram(f);
            return true;
        }) << false << cinQuestion;
        QTest::newRow("removing the tree it was made from") << int(KEL::CID) << Step([](Frame &f) {
            return f.runExplorer(treeId(f, KEL::DBTs, u"Oven"_qs), u"Remove"_qs);
        }) << true << u"Are you sure that you want to remove the DBT \"Oven\" ?"_qs;
        QTest::newRow("a new solution") << int(KEL::CIN) << Step([](Frame &f) {
            f.frame->Files().New();
            return true;
        }) << true << QString();
        QTest::newRow("the solution opened again")
            << int(KEL::CID) << Step([](Frame &f) { return f.frame->OpenFile(GuiTestKit::ExampleSolution()); }) << true
            << QString();
    }

    // A window never outlives what it shows.
    void windowsCloseWithTheirElement()
    {
        QFETCH(int, kind);
        QFETCH(Step, run);
        QFETCH(bool, closes);
        QFETCH(QString, question);
        Frame f;
        const int oven = treeId(f, KEL::DBTs, u"Oven"_qs);
        if (kind == KEL::CIN) {
            QVERIFY(f.runExplorer(oven, u"Create CIN"_qs));
        } else {
            f.script.Accept<CKELCIDDlg>([](CKELCIDDlg &d) { d.Components()->setCurrentIndex(0); });
            QVERIFY(f.runExplorer(oven, u"Create CID"_qs));
        }
        QPointer<CDiagramWindow> w = f.onlyWindow();
        QVERIFY(w);
        const int element = w->ElementId();
        QVERIFY(run(f));
        if (!question.isEmpty())
            QCOMPARE(f.prompt.texts.value(0), question);
        if (closes) {
            QTRY_VERIFY(w.isNull());
            QVERIFY(!f.model().Lookup(element));
            QVERIFY(f.diagrams->Windows().isEmpty());
        } else {
            // a window that goes is deleted later: let that happen first
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(!w.isNull());
            QVERIFY(f.model().Lookup(element));
        }
    }

    // "Open" and a double click bring a closed diagram back; trees still open
    // in the editor's windows.
    void openReopensAndLeavesTreesToTheEditor()
    {
        Frame f;
        const int oven = treeId(f, KEL::DBTs, u"Oven"_qs);
        QVERIFY(f.runExplorer(oven, u"Create CIN"_qs));
        const int cin = f.onlyWindow()->ElementId();
        QPointer<CDiagramWindow> first = f.onlyWindow();
        f.diagrams->CloseAll();
        QTRY_VERIFY(first.isNull());
        QVERIFY(f.runExplorer(cin, u"Open"_qs));
        QVERIFY(f.diagrams->Find(cin));
        QCOMPARE(f.diagrams->Windows().size(), 1);
        // "Open" again activates the same window
        QVERIFY(f.runExplorer(cin, u"Open"_qs));
        QCOMPARE(f.diagrams->Windows().size(), 1);
        f.diagrams->CloseAll();
        QTRY_VERIFY(f.diagrams->Windows().isEmpty());
        f.frame->Explorer()->Activate(f.frame->Explorer()->ItemOf(cin));
        QVERIFY(f.diagrams->Find(cin));
        QVERIFY(f.runExplorer(oven, u"Open"_qs));
        QVERIFY(f.windows().Find(oven));
        QCOMPARE(f.diagrams->Windows().size(), 1);
    }

    // Edits of the tree after a CID was made do not show in it, even when its
    // window is opened again.
    void aCidIsBuiltOnce()
    {
        Frame f;
        CKELTree *oven = f.tree(KEL::DBTs, u"Oven"_qs);
        QVERIFY(f.model().CreateCID(oven->GetId(), u"OVEN"_qs));
        const int cid = diagramsOf(f, oven->GetId(), KEL::CID).value(0);
        const QList<Cid::Box> before = Cid::BuildInterface(*oven, u"OVEN"_qs);
        AddNode(f.model(), *oven, oven->Roots().first()->GetId(), u"OVEN"_qs, u"broken"_qs);
        QCOMPARE(Cid::BuildInterface(*oven, u"OVEN"_qs).size(), before.size() + 1);
        QVERIFY(f.runExplorer(cid, u"Open"_qs));
        const CDiagramWindow *w = f.diagrams->Find(cid);
        QVERIFY(w);
        int shown = -1;
        for (QGraphicsItem *i : w->Scene().items()) {
            if (auto *s = dynamic_cast<CKELCIDShape *>(i))
                shown = s->BoxCount();
        }
        QCOMPARE(shown, before.size());
    }

    void exportDrawings_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("PNG") << u"cin.png"_qs << QByteArray("\x89PNG");
        QTest::newRow("SVG") << u"cin.svg"_qs << QByteArray("<?xml");
        QTest::newRow("PDF") << u"cin.pdf"_qs << QByteArray("%PDF");
        QTest::newRow("suffix in capitals") << u"CIN.SVG"_qs << QByteArray("<?xml");
    }

    // The picture goes where the user says, as the window shows it; a drawing
    // keeps its names as text; a place that cannot be written is reported,
    // not passed over.
    void exportDrawings()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, start);
        Frame f;
        QVERIFY(f.runExplorer(treeId(f, KEL::DBTs, u"Oven"_qs), u"Create CIN"_qs));
        CDiagramWindow *w = f.onlyWindow();
        QTemporaryDir dir;
        f.script.files = {dir.filePath(file), dir.filePath(u"missing/folder/"_qs + file)};
        w->Action(u"Export Picture..."_qs)->trigger();
        QFile written(dir.filePath(file));
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray bytes = written.readAll();
        QVERIFY(bytes.startsWith(start));
        if (start == "<?xml")
            QVERIFY(bytes.contains("OVEN"));
        if (start == "\x89PNG")
            QCOMPARE(QImageReader(dir.filePath(file)).size(), w->Picture().size());
        QVERIFY(f.prompt.texts.isEmpty());
        w->Action(u"Export Picture..."_qs)->trigger();
        QCOMPARE(f.prompt.texts.size(), 1);
        QVERIFY(f.prompt.texts.first().startsWith(u"The picture could not be written"_qs));
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

QTEST_MAIN(TestDiagramCommands)
#include "tst_diagramcommands.moc"
