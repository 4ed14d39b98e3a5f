// The editor built into a main window: its menus, bars, pan window, zoom
// in the status bar, export through the dialog runner, and the real frame.
#include "guitestkit.h"

#include "canvas/canvasbars.h"
#include "canvas/canvasscene.h"
#include "canvas/panwindow.h"
#include "dialogs/dialogrunner.h"
#include "edit/undohistory.h"
#include "editor/childframe.h"
#include "editor/editorinstall.h"
#include "editor/kelnodeshape.h"
#include "editor/posterdialog.h"
#include "editor/tessel1doc.h"
#include "editor/tessel1view.h"
#include "editor/treewindows.h"
#include "model/keldatamanager.h"
#include "model/solutionfile.h"
#include "clirunner.h"
#include "scriptedprompt.h"

#include <QDockWidget>
#include <QImageReader>
#include <QInputDialog>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

namespace {

// A bare main window with the places the editor fills.
struct Host
{
    QMainWindow window;
    CKELDataManager manager;
    CScriptedPrompt prompt;
    CDialogRunner runner;
    QMdiArea *area = new QMdiArea;
    QDockWidget *pan = new QDockWidget(u"Pan Window"_qs);
    QToolBar *format = new QToolBar(u"Canvas Format Bar"_qs);
    QToolBar *align = new QToolBar(u"Canvas Align Bar"_qs);
    QToolBar *product = new QToolBar(u"Verdantis Toolbar"_qs);
    std::function<void(int)> opener;
    CEditor *editor = nullptr;

    Host()
    {
        manager.SetPrompt(&prompt);
        window.setCentralWidget(area);
        window.addDockWidget(Qt::RightDockWidgetArea, pan);
        window.addToolBar(format);
        window.addToolBar(align);
        window.addToolBar(product);
        QMenu *file = window.menuBar()->addMenu(u"&File"_qs);
        file->addAction(u"&Open..."_qs);
        file->addAction(u"&Close"_qs);
        file->addSeparator();
        file->addAction(u"&Quit"_qs);
        CEditorHost h;
        h.window = &window;
        h.manager = &manager;
        h.mdiArea = area;
        h.panDock = pan;
        h.formatBar = format;
        h.alignBar = align;
        h.treeBar = product;
        h.statusBar = window.statusBar();
        h.dialogs = &runner;
        h.menuNamed = [this](const QString &title) {
            for (QAction *a : window.menuBar()->actions()) {
                if (a->menu() && a->text() == title)
                    return a->menu();
            }
            return window.menuBar()->addMenu(title);
        };
        h.setTreeOpener = [this](std::function<void(int)> o) { opener = std::move(o); };
        editor = InstallEditor(h);
        window.resize(1000, 700);
    }
    QStringList menuTexts(const QString &title) const
    {
        for (QAction *a : window.menuBar()->actions()) {
            if (a->text() == title)
                return GuiTestKit::EntryTexts(*a->menu());
        }
        return {};
    }
};

} // namespace

class TestEditorInstall : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { m_home = GuiTestKit::IsolateHome(); }

    void fillsTheHost()
    {
        Host h;
        QVERIFY(h.editor);
        QVERIFY(qobject_cast<CPanWindow *>(h.pan->widget()));
        QCOMPARE(h.align->actions().size(), 8);
        QVERIFY(h.format->actions().size() >= 5);
        QCOMPARE(h.menuTexts(u"&Tree"_qs),
                 (QStringList{u"Add Node"_qs, u"Add Link"_qs, u"Arrange Tree"_qs, u"Auto Arrange Tree"_qs,
                              u"Rearrange All"_qs, u"-"_qs, u"&Find..."_qs, u"Find &Next"_qs}));
        QCOMPARE(h.menuTexts(u"&File"_qs), (QStringList{u"&Open..."_qs, u"&Close"_qs, u"-"_qs, u"&Export..."_qs,
                                                        u"&Print..."_qs, u"-"_qs, u"&Quit"_qs}));
        QVERIFY(h.menuTexts(u"&View"_qs).contains(u"Zoom &In"_qs));
        QCOMPARE(h.menuTexts(u"&Edit"_qs), (QStringList{u"Cu&t"_qs, u"&Copy"_qs, u"&Paste"_qs, u"&Duplicate"_qs,
                                                        u"&Delete"_qs, u"Select &All"_qs}));
        QVERIFY(h.product->actions().size() >= 4);
        QVERIFY(h.opener);
    }

    void commandsFollowTheActiveWindow()
    {
        Host h;
        QVERIFY(CSolutionFile::Read(h.manager, GuiTestKit::ExampleSolution(), nullptr));
        h.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&h.window));
        QAction *zoomIn = h.editor->Action(u"Zoom In"_qs);
        QAction *autoArrange = h.editor->Action(u"Auto Arrange Tree"_qs);
        QVERIFY(zoomIn && autoArrange);
        QVERIFY(!zoomIn->isEnabled()); // no window yet
        h.opener(20);
        CChildFrame *r1 = h.editor->Windows().Find(20);
        QVERIFY(r1);
        QVERIFY(zoomIn->isEnabled());
        QCOMPARE(h.editor->ZoomLabel()->text(), u"Zoom: 100%"_qs);
        zoomIn->trigger();
        QCOMPARE(h.editor->ZoomLabel()->text(), u"Zoom: 125%"_qs);
        QCOMPARE(r1->View().Zoom(), 1.25);
        autoArrange->trigger();
        QVERIFY(r1->View().AutoRearrange());
        QVERIFY(autoArrange->isChecked());
        // another window: its own state
        h.opener(25);
        CChildFrame *r3 = h.editor->Windows().Find(25);
        QCOMPARE(h.editor->Windows().ActiveFrame(), r3);
        QVERIFY(!autoArrange->isChecked());
        QCOMPARE(h.editor->ZoomLabel()->text(), u"Zoom: 100%"_qs);
        QCOMPARE(h.editor->Bars().Scene(), &r3->Document().Scene());
        QCOMPARE(qobject_cast<CPanWindow *>(h.pan->widget())->View(), &r3->View());
        // Arrange Tree on the active window: the prompt answers Cancel
        h.prompt.answers = {CPrompt::No};
        h.editor->Action(u"Arrange Tree"_qs)->trigger();
        QCOMPARE(h.prompt.captions, QStringList{u"Tessel1:Rearrange Tree"_qs});
        const QPoint before = r3->Document().NodeShapes().begin().value()->pos().toPoint();
        h.editor->Action(u"Rearrange All"_qs)->trigger();
        QCOMPARE(h.manager.History().UndoText(), u"Rearrange All"_qs);
        QVERIFY(h.manager.History().Undo());
        QCOMPARE(r3->Document().NodeShapes().begin().value()->pos().toPoint(), before);
        // the find bar
        h.editor->Action(u"Find"_qs)->trigger();
        QVERIFY(r3->FindBarShown());
    }

    void exportAsksForFileAndScale()
    {
        Host h;
        QVERIFY(CSolutionFile::Read(h.manager, GuiTestKit::ExampleSolution(), nullptr));
        h.opener(20);
        QTemporaryDir dir;
        QString path = dir.filePath(u"r1.png"_qs);
        h.runner.saveFileHook = [&path](const QString &) { return path; };
        QStringList asked;
        h.runner.dialogHook = [&asked](QDialog &d) {
            asked.append(d.windowTitle());
            auto *input = qobject_cast<QInputDialog *>(&d);
            if (!input)
                return int(QDialog::Rejected);
            input->setDoubleValue(2.0);
            return int(QDialog::Accepted);
        };
        QVERIFY(h.editor->ExportActive());
        QCOMPARE(asked, QStringList{u"Export Tree"_qs});
        QCOMPARE(QImageReader(path).size(), QSize(440, 540));
        QVERIFY(h.prompt.texts.isEmpty());
        // an SVG is drawn from the records, yet as the window shows the tree:
        // below a collapsed root nothing is drawn
        h.editor->Windows().ActiveView()->Document().SetCollapsed(21, true);
        path = dir.filePath(u"r1.svg"_qs);
        QVERIFY(h.editor->ExportActive());
        QCOMPARE(asked.size(), 1);
        QCOMPARE(CliRun::ReadText(path).count(u"<text "_qs), 3);
        // cancelled at the file: nothing written
        h.runner.saveFileHook = [](const QString &) { return QString(); };
        QVERIFY(!h.editor->ExportActive());
    }

    // A PDF is one page fitted to the tree or a poster of pages, as asked.
    void pdfExportAsksForPages_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("pages");
        QTest::newRow("fit to one page") << 1 << 1 << 1;
        QTest::newRow("poster of 3 x 2") << 3 << 2 << 6;
    }

    void pdfExportAsksForPages()
    {
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(int, pages);
        Host h;
        QVERIFY(CSolutionFile::Read(h.manager, GuiTestKit::ExampleSolution(), nullptr));
        h.opener(20);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"r1.pdf"_qs);
        h.runner.saveFileHook = [&path](const QString &) { return path; };
        h.runner.dialogHook = [columns, rows](QDialog &d) {
            auto *poster = qobject_cast<CPosterDialog *>(&d);
            if (!poster)
                return int(QDialog::Rejected);
            poster->SetPoster(columns, rows);
            return int(QDialog::Accepted);
        };
        QVERIFY(h.editor->ExportActive());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLatin1(f.readAll()).count(QRegularExpression(u"/Type\\s*/Page\\b"_qs)), pages);
        QVERIFY(h.prompt.texts.isEmpty());
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

QTEST_MAIN(TestEditorInstall)
#include "tst_editorinstall.moc"
