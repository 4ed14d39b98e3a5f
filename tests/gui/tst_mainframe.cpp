// The main window: bars, menus, the file commands, the title and the
// close check, run through the real actions with scripted answers.
#include "guitestkit.h"
#include "scriptedprompt.h"

#include "app/autosave.h"
#include "app/mainframe.h"
#include "app/programparts.h"
#include "app/solutioncommands.h"
#include "dialogs/addversiondlg.h"
#include "editor/editorinstall.h"
#include "editor/childframe.h"
#include "editor/treewindows.h"
#include "dialogs/kelcomponentbehaviordlg.h"
#include "dialogs/kelcomponentdlg.h"
#include "dialogs/kelextrainfodlg.h"
#include "dialogs/kelibtdlg.h"
#include "dialogs/kelnodedlg.h"
#include "dialogs/kelrbtdlg.h"
#include "dialogs/kelrequirementdlg.h"
#include "explorer/explorercommands.h"
#include "explorer/kelnavigatebar.h"
#include "explorer/kelnavigatetree.h"
#include "model/explorerlisting.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelrequirement.h"
#include "model/keltree.h"

#include <QDockWidget>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

using GuiTestKit::EntryOf;
using GuiTestKit::ExampleSolution;
using GuiTestKit::IsolateHome;

struct Frame;
using Step = std::function<void(Frame &)>;
Q_DECLARE_METATYPE(Step)

// A bare main window: the tree windows it would open are only noted.
struct Frame : GuiTestKit::Frame
{
    QList<int> opened;

    explicit Frame(const Parts &parts = {}) : GuiTestKit::Frame(parts)
    {
        if (!parts)
            frame->SetTreeOpener([this](int id) { opened.append(id); });
    }
};

namespace {

// Answers the dialog D with a name.
template<class D> Step named(const QString &name)
{
    return [name](Frame &f) { f.script.Accept<D>([name](D &d) { d.NameEdit()->setText(name); }); };
}

QAction *viewEntry(CMainFrame &frame, const QString &text)
{
    return EntryOf(*frame.MenuNamed(u"View"_qs), text);
}

} // namespace

// The whole program with two tree windows open, the second one active.
struct TwoWindows
{
    Frame f{Frame::Everything};
    QMdiSubWindow *first = nullptr;
    QMdiSubWindow *second = nullptr;

    TwoWindows()
    {
        f.frame->resize(1100, 720);
        f.frame->show();
        f.open();
        first = f.windows().Open(20);
        second = f.windows().Open(30);
    }
    // Shortcuts the user can press while this window has the focus: the
    // main window's and the window's own.
    QMultiHash<QKeySequence, QString> reachable(QMdiSubWindow *window) const
    {
        QMultiHash<QKeySequence, QString> keys;
        const auto add = [&keys](const QList<QAction *> &actions) {
            for (const QAction *a : actions) {
                for (const QKeySequence &k : a->shortcuts())
                    keys.insert(k, a->text().isEmpty() ? a->objectName() : a->text());
            }
        };
        QList<QAction *> frameActions;
        for (QAction *a : f.frame->findChildren<QAction *>()) {
            QObject *o = a->parent();
            while (o && !qobject_cast<QMdiSubWindow *>(o))
                o = o->parent();
            if (!o)
                frameActions.append(a);
        }
        add(frameActions);
        add(window->findChildren<QAction *>());
        return keys;
    }
};

class TestMainFrame : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_home = IsolateHome();
        m_files = std::make_unique<QTemporaryDir>();
    }

    void barsAreToggledFromTheViewMenu_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("dock");
        QTest::newRow("product toolbar") << u"Verdantis Toolbar"_qs << false;
        QTest::newRow("explorer") << u"Solution Explorer Window"_qs << true;
        QTest::newRow("pan window") << u"Pan Window"_qs << true;
        QTest::newRow("format bar") << u"Canvas Format Bar"_qs << false;
        QTest::newRow("align bar") << u"Canvas Align Bar"_qs << false;
    }
    void barsAreToggledFromTheViewMenu()
    {
        QFETCH(QString, title);
        QFETCH(bool, dock);
        Frame f;
        f.frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.frame.get()));
        QWidget *bar = nullptr;
        if (dock) {
            for (QDockWidget *d : f.frame->findChildren<QDockWidget *>())
                bar = d->windowTitle() == title ? d : bar;
        } else {
            for (QToolBar *t : f.frame->findChildren<QToolBar *>())
                bar = t->windowTitle() == title ? t : bar;
        }
        QVERIFY(bar);
        QVERIFY(bar->isVisible());
        QAction *entry = viewEntry(*f.frame, title);
        QVERIFY(entry);
        QVERIFY(entry->isCheckable());
        QVERIFY(entry->isChecked());
        entry->trigger();
        QVERIFY(!bar->isVisible());
        QVERIFY(!entry->isChecked());
        entry->trigger();
        QVERIFY(bar->isVisible());
        QVERIFY(entry->isChecked());
    }

    void newCommandsRunTheirDialogs_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Step>("answer");
        QTest::addColumn<QString>("newItem");
        QTest::addColumn<bool>("opens");
        QTest::newRow("requirement") << u"actionNewRequirement"_qs << Step([](Frame &f) {
            f.script.Accept<CKELRequirementDlg>([](CKELRequirementDlg &d) {
                d.TagEdit()->setText(u"R1"_qs);
                d.DescriptionEdit()->setPlainText(u"The lamp lights."_qs);
            });
        }) << u"R1"_qs << false;
        QTest::newRow("RBT with a requirement") << u"actionNewRBT"_qs << Step([](Frame &f) {
            f.model().AddRequirement(u"R1"_qs, u"first"_qs);
            f.script.Accept<CKELRBTDlg>([](CKELRBTDlg &d) {
                d.NameEdit()->setText(u"Lamp"_qs);
                d.List()->item(0)->setSelected(true);
            });
        }) << u"Lamp {R1}"_qs << true;
        QTest::newRow("IBT") << u"actionNewIBT"_qs << named<CKELIBTDlg>(u"Design"_qs) << u"Design"_qs << true;
        for (const QString &name : {u"actionNewRequirement"_qs, u"actionNewRBT"_qs, u"actionNewIBT"_qs})
            QTest::addRow("%s cancelled", qPrintable(name))
                << name << Step([](Frame &f) { f.script.Cancel(); }) << QString() << false;
    }
    void newCommandsRunTheirDialogs()
    {
        QFETCH(QString, name);
        QFETCH(Step, answer);
        QFETCH(QString, newItem);
        QFETCH(bool, opens);
        Frame f;
        const QString before = f.explorer();
        answer(f);
        f.action(name)->trigger();
        QVERIFY(f.script.Done());
        QCOMPARE(f.script.titles.size(), 1);
        if (newItem.isEmpty()) { // cancelled: nothing changes
            QCOMPARE(f.explorer(), before);
            QVERIFY(!f.model().Solution()->IsModified());
        } else {
            QVERIFY(f.explorer().contains(u"      "_qs + newItem + u'\n'));
        }
        QCOMPARE(f.explorer(), ExplorerText(f.model().Solution()));
        QCOMPARE(f.opened.size(), opens ? 1 : 0);
        if (opens)
            QCOMPARE(f.model().Lookup(f.opened.first())->GetLabel(), newItem);
    }

    // Each context-menu command through its menu entry.
    void explorerCommands_data()
    {
        QTest::addColumn<int>("elementId");
        QTest::addColumn<QString>("command");
        QTest::addColumn<Step>("answer");
        QTest::addColumn<QStringList>("appears");
        QTest::addColumn<QStringList>("disappears");
        auto yes = [](Frame &) {};
        auto no = [](Frame &f) { f.prompt.answers.append(CPrompt::No); };
        QTest::newRow("new requirement in the folder") << 6 << u"New Requirement"_qs << Step([](Frame &f) {
            f.script.Accept<CKELRequirementDlg>([](CKELRequirementDlg &d) { d.TagEdit()->setText(u"R4"_qs); });
        }) << QStringList{u"        R4"_qs} << QStringList();
        QTest::newRow("change requirement, tag trimmed")
            << 11 << u"Change"_qs << Step([](Frame &f) {
                   f.script.Accept<CKELRequirementDlg>([](CKELRequirementDlg &d) {
                       if (d.TagEdit()->text() == u"R3")
                           d.TagEdit()->setText(u" R3b "_qs);
                   });
               })
            << QStringList{u"Solution: microwave*\n"_qs, u"        R3b\n"_qs, u"        R3 {R3b}"_qs,
                           u"??open?? {R3b}"_qs}
            << QStringList{u"        R3\n"_qs};
        QTest::newRow("remove requirement") << 10 << u"Remove"_qs << Step(yes) << QStringList()
                                            << QStringList{u"        R2"_qs, u"[extra minute] {R2}"_qs};
        QTest::newRow("new component") << 7 << u"New Component"_qs << named<CKELComponentDlg>(u"LIGHT"_qs)
                                       << QStringList{u"        LIGHT"_qs} << QStringList();
        QTest::newRow("rename component")
            << 16 << u"Rename"_qs << named<CKELComponentDlg>(u"HATCH"_qs)
            << QStringList{u"        HATCH"_qs, u"R3:-HATCH??open??"_qs} << QStringList{u"DOOR"_qs};
        QTest::newRow("change behaviors") << 16 << u"Change Behaviors"_qs << Step([](Frame &f) {
            f.script.Use<CKELComponentBehaviorDlg>([](CKELComponentBehaviorDlg &d) {
                d.BehaviorEdit()->setText(u"closed"_qs);
                d.AddButton()->click();
                return int(QDialog::Accepted);
            });
        }) << QStringList{u"          [closed]"_qs}
                                          << QStringList();
        QTest::newRow("remove component") << 16 << u"Remove "_qs << Step(yes) << QStringList()
                                          << QStringList{u"        DOOR\n"_qs, u"??open?? {R3}"_qs};
        QTest::newRow("remove component, answered no")
            << 16 << u"Remove "_qs << Step(no) << QStringList{u"        DOOR"_qs} << QStringList();
        QTest::newRow("new RBT in the folder") << 5 << u"New RBT"_qs << named<CKELRBTDlg>(u"R2"_qs)
                                               << QStringList{u"        R2\n      IBTs"_qs} << QStringList();
        QTest::newRow("change RBT") << 20 << u"Change "_qs << Step([](Frame &f) {
            f.script.Accept<CKELRBTDlg>([](CKELRBTDlg &d) {
                d.List()->item(1)->setSelected(true);
                d.NameEdit()->setText(u"R1 and R2"_qs);
            });
        }) << QStringList{u"        R1 and R2 {R1,R2}"_qs}
                                    << QStringList{u"        R1 {R1}"_qs};
        QTest::newRow("remove RBT") << 20 << u"Remove"_qs << Step(yes) << QStringList() << QStringList{u"R1 {R1}"_qs};
        QTest::newRow("new IBT in the folder") << 4 << u"New IBT"_qs << named<CKELIBTDlg>(u"Second"_qs)
                                               << QStringList{u"        Second"_qs} << QStringList();
        QTest::newRow("rename DBT") << 30 << u"Rename"_qs << named<CKELIBTDlg>(u"Cooker"_qs)
                                    << QStringList{u"        Cooker"_qs} << QStringList{u"        Oven\n"_qs};
        QTest::newRow("remove DBT") << 30 << u"Remove"_qs << Step(yes) << QStringList()
                                    << QStringList{u"        Oven\n"_qs};
        QTest::newRow("new version") << 3 << u"New Version"_qs << named<CAddVersionDlg>(u"2.0"_qs)
                                     << QStringList{u"    Version: 2.0\n"_qs, u"    Version: 1.0*\n"_qs}
                                     << QStringList();
        QTest::newRow("open RBT") << 25 << u"Open"_qs << Step(yes) << QStringList() << QStringList();
    }
    void explorerCommands()
    {
        QFETCH(int, elementId);
        QFETCH(QString, command);
        QFETCH(Step, answer);
        QFETCH(QStringList, appears);
        QFETCH(QStringList, disappears);
        Frame f;
        QVERIFY(f.open());
        answer(f);
        QVERIFY(f.explorerEntry(elementId, command));
        QVERIFY(f.script.Done());
        const QString shown = f.explorer();
        for (const QString &text : appears)
            QVERIFY2(shown.contains(text), qPrintable(text));
        for (const QString &text : disappears)
            QVERIFY2(!shown.contains(text), qPrintable(text));
        QCOMPARE(shown, ExplorerText(f.model().Solution()));
        if (command == u"Open")
            QCOMPARE(f.opened, QList<int>{elementId});
    }

    // No key may be claimed twice where the user can press it: Qt then
    // runs neither and only warns of an ambiguous overload.
    void shortcutsAreUnique()
    {
        TwoWindows w;
        for (QMdiSubWindow *window : {w.first, w.second}) {
            w.f.frame->MdiArea()->setActiveSubWindow(window);
            const QMultiHash<QKeySequence, QString> keys = w.reachable(window);
            QVERIFY(keys.size() > 10);
            for (const QKeySequence &k : keys.uniqueKeys()) {
                const QStringList owners = keys.values(k);
                QVERIFY2(owners.size() == 1, qPrintable(k.toString() + u": "_qs + owners.join(u", "_qs)));
            }
            // the editing keys reach their commands from a tree window
            for (const QString &key : {u"Ctrl+Z"_qs, u"Ctrl+Y"_qs, u"Ctrl+Shift+Z"_qs, u"Ctrl+C"_qs, u"Ctrl+X"_qs,
                                       u"Ctrl+V"_qs, u"Ctrl+D"_qs})
                QVERIFY2(keys.contains(QKeySequence(key)), qPrintable(key));
        }
    }

    void windowKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("activeAfter"); // 1 first window, 2 second, 0 none (solution closed)
        QTest::newRow("Ctrl+W closes the solution") << int(Qt::Key_W) << int(Qt::ControlModifier) << 0;
        QTest::newRow("Ctrl+F4 closes the window") << int(Qt::Key_F4) << int(Qt::ControlModifier) << 1;
        QTest::newRow("Ctrl+Tab goes to the next window") << int(Qt::Key_Tab) << int(Qt::ControlModifier) << 1;
        QTest::newRow("Ctrl+Shift+Tab goes to the previous window")
            << int(Qt::Key_Backtab) << int(Qt::ControlModifier | Qt::ShiftModifier) << 1;
    }
    // The keys of File > Close and the Window menu, pressed in a tree window.
    void windowKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, activeAfter);
        TwoWindows w;
        QVERIFY(QTest::qWaitForWindowActive(w.f.frame.get()));
        w.f.frame->MdiArea()->setActiveSubWindow(w.second);
        w.second->widget()->setFocus();
        QTRY_VERIFY(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTRY_COMPARE(w.f.frame->MdiArea()->activeSubWindow(), activeAfter == 1   ? w.first
                                                              : activeAfter == 2 ? w.second
                                                                                 : nullptr);
        QCOMPARE(w.f.model().Solution() != nullptr, activeAfter != 0);
    }

    // Window lists the open windows; the active one is checked and an
    // entry activates its window.
    void windowMenuListsWindows()
    {
        TwoWindows w;
        QMenu *menu = w.f.frame->MenuNamed(u"Window"_qs);
        w.f.frame->MdiArea()->setActiveSubWindow(w.second);
        const auto entries = [menu] {
            emit menu->aboutToShow();
            QStringList out;
            for (const QAction *a : menu->actions()) {
                if (a->isCheckable())
                    out.append((a->isChecked() ? u"* "_qs : u"  "_qs) + a->text());
            }
            return out;
        };
        const QStringList shown = entries();
        QCOMPARE(shown, (QStringList{u"  &1 "_qs + w.first->windowTitle(), u"* &2 "_qs + w.second->windowTitle()}));
        for (QAction *a : menu->actions()) {
            if (a->isCheckable() && !a->isChecked())
                a->trigger();
        }
        QCOMPARE(w.f.frame->MdiArea()->activeSubWindow(), w.first);
        QCOMPARE(entries().value(0).left(1), u"*"_qs);
    }

    // Without a stored place (or with one from a larger screen) the window
    // opens within the screen's free area, status bar included.
    void windowFitsTheScreen_data()
    {
        QTest::addColumn<QSize>("stored"); // saved size, empty for none
        QTest::newRow("first start") << QSize();
        QTest::newRow("saved on a larger screen") << QSize(3000, 2000);
    }
    void windowFitsTheScreen()
    {
        QFETCH(QSize, stored);
        QSettings().remove(u"MainFrame"_qs);
        if (stored.isValid()) {
            QWidget big;
            big.resize(stored);
            QSettings().setValue(u"MainFrame/geometry"_qs, big.saveGeometry());
        }
        Frame f;
        f.frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.frame.get()));
        const QRect area = f.frame->screen()->availableGeometry();
        QVERIFY2(area.contains(f.frame->frameGeometry()),
                 qPrintable(u"%1x%2"_qs.arg(f.frame->frameGeometry().width()).arg(f.frame->frameGeometry().height())));
        QSettings().remove(u"MainFrame"_qs);
    }

    void titleFollowsTheSolution()
    {
        Frame f;
        QCOMPARE(f.frame->windowTitle(), u" TESSEL: Untitled "_qs);
        QVERIFY(f.model().AddRequirement(u"R1"_qs, QString()));
        QCOMPARE(f.frame->windowTitle(), u" TESSEL: Untitled* "_qs);
        f.script.files.append(m_files->filePath(u"plan"_qs));
        f.action(u"actionSaveAs"_qs)->trigger();
        QVERIFY(QFileInfo::exists(m_files->filePath(u"plan.kvf"_qs)));
        QCOMPARE(f.frame->windowTitle(), u" TESSEL: plan "_qs);
        // the explorer's label follows, and a local solution has no " -M-"
        QCOMPARE(f.frame->Explorer()->topLevelItem(0)->text(0), u"Solution: plan"_qs);
        f.frame->SetConnectionTitle(u"[Connected to host(abc)]"_qs);
        QCOMPARE(f.frame->windowTitle(), u" TESSEL: plan [Connected to host(abc)]"_qs);
        f.action(u"actionClose"_qs)->trigger();
        QCOMPARE(f.frame->windowTitle(), u"Verdantis"_qs);
        QVERIFY(!f.action(u"actionSave"_qs)->isEnabled());
        QCOMPARE(f.frame->Explorer()->topLevelItemCount(), 0);
    }

    void closeCheck_data()
    {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("saveTo");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("saved");
        QTest::newRow("yes saves and closes") << true << int(CPrompt::Yes) << u"yes"_qs << true << true;
        QTest::newRow("yes, save cancelled, stays") << true << int(CPrompt::Yes) << QString() << false << false;
        QTest::newRow("no closes without saving") << true << int(CPrompt::No) << QString() << true << false;
        QTest::newRow("cancel stays") << true << int(CPrompt::Cancel) << QString() << false << false;
        QTest::newRow("unchanged closes without asking") << false << int(CPrompt::Cancel) << QString() << true << false;
    }
    void closeCheck()
    {
        QFETCH(bool, modified);
        QFETCH(int, answer);
        QFETCH(QString, saveTo);
        QFETCH(bool, closes);
        QFETCH(bool, saved);
        Frame f;
        f.frame->show();
        if (modified)
            QVERIFY(f.model().AddRequirement(u"R1"_qs, QString()));
        f.prompt.answers.append(CPrompt::Answer(answer));
        const QString path = saveTo.isEmpty() ? QString() : m_files->filePath(saveTo + u".kvf"_qs);
        if (!path.isEmpty())
            f.script.files.append(path);
        QCOMPARE(f.frame->close(), closes);
        if (modified) {
            QCOMPARE(f.prompt.texts.value(0), u"Solution Untitled*has been changed. Save it?"_qs);
            QCOMPARE(f.prompt.captions.value(0), u"Message"_qs);
        } else {
            QVERIFY(f.prompt.texts.isEmpty());
        }
        QCOMPARE(!path.isEmpty() && QFileInfo::exists(path), saved);
        // a window that stays keeps its solution as it was
        if (!closes) {
            QVERIFY(f.model().Solution());
            QVERIFY(f.model().Solution()->IsModified());
            QVERIFY(f.model().FindRequirement(u"R1"_qs));
        }
    }

    void openAndNewAskFirst_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("new, no") << u"actionNew"_qs << int(CPrompt::No) << true;
        QTest::newRow("new, cancel") << u"actionNew"_qs << int(CPrompt::Cancel) << false;
        QTest::newRow("open, no") << u"actionOpen"_qs << int(CPrompt::No) << true;
        QTest::newRow("open, cancel") << u"actionOpen"_qs << int(CPrompt::Cancel) << false;
    }
    void openAndNewAskFirst()
    {
        QFETCH(QString, name);
        QFETCH(int, answer);
        QFETCH(bool, replaced);
        Frame f;
        QVERIFY(f.model().AddRequirement(u"R9"_qs, QString()));
        f.prompt.answers.append(CPrompt::Answer(answer));
        f.script.files.append(ExampleSolution());
        f.action(name)->trigger();
        QCOMPARE(f.model().FindRequirement(u"R9"_qs) == nullptr, replaced);
        QCOMPARE(f.explorer(), ExplorerText(f.model().Solution()));
    }

    // Read and write failures say why; the open solution stays.
    void failuresAreReported_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("message");
        QTest::newRow("not a solution") << u"actionOpen"_qs << u"notes.kvf"_qs << u"hello\nworld\n"_qs
                                        << u"This is not a solution file"_qs;
        QTest::newRow("folder that is not there")
            << u"actionSaveAs"_qs << u"no/such/folder/x.kvf"_qs << QString() << u"Cannot write"_qs;
    }
    void failuresAreReported()
    {
        QFETCH(QString, action);
        QFETCH(QString, file);
        QFETCH(QString, content);
        QFETCH(QString, message);
        Frame f;
        QVERIFY(f.open());
        QVERIFY(f.model().AddRequirement(u"R9"_qs, QString()));
        const QString before = f.explorer();
        const QString path = m_files->filePath(file);
        if (!content.isEmpty()) {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(content.toUtf8());
        }
        f.prompt.answers.append(CPrompt::No); // do not save the changed one first
        f.script.files.append(path);
        f.action(action)->trigger();
        QVERIFY2(f.prompt.texts.last().contains(message), qPrintable(f.prompt.texts.last()));
        QCOMPARE(f.prompt.captions.last(), u"Message"_qs);
        QCOMPARE(f.explorer(), before);
        QVERIFY(f.model().Solution()->IsModified());
        QVERIFY(f.model().Solution()->Path().endsWith(u"microwave.kvf"_qs));
    }

    void recentFilesKeepFour()
    {
        Frame f;
        QSettings().remove(u"RecentFileList"_qs);
        QStringList saved;
        // "%2" in the names: the status line must show them as they are
        for (int i = 1; i <= 5; ++i) {
            const QString path = m_files->filePath(u"r%1 %2.kvf"_qs.arg(i));
            f.script.files.append(path);
            f.action(u"actionSaveAs"_qs)->trigger();
            saved.prepend(path);
        }
        QStringList shown;
        for (int i = 1; i <= 5; ++i) {
            QAction *a = f.action(u"actionRecent%1"_qs.arg(i));
            if (a && a->isVisible())
                shown.append(a->data().toString());
        }
        QCOMPARE(shown, saved.mid(0, 4));
        // choosing one opens it and brings it to the front
        f.action(u"actionRecent3"_qs)->trigger();
        QCOMPARE(f.model().Solution()->Path(), saved[2]);
        const QString status = f.frame->statusBar()->currentMessage();
        QVERIFY2(status.startsWith(u"Opened "_qs + QDir::toNativeSeparators(saved[2]) + u" ("_qs), qPrintable(status));
        QCOMPARE(f.action(u"actionRecent1"_qs)->data().toString(), saved[2]);
    }

    void droppedFileOpens()
    {
        Frame f;
        f.frame->show();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(ExampleSolution())});
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f.frame.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f.frame.get(), &drop);
        QTRY_COMPARE(f.frame->windowTitle(), u" TESSEL: microwave "_qs);
    }

    void settingsKeepTheLayout()
    {
        {
            Frame f;
            f.frame->show();
            QVERIFY(QTest::qWaitForWindowExposed(f.frame.get()));
            viewEntry(*f.frame, u"Pan Window"_qs)->trigger();
            f.frame->resize(700, 520); // within the test screen
            QVERIFY(f.frame->close());
        }
        Frame again;
        again.frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(again.frame.get()));
        QVERIFY(!again.frame->PanDock()->isVisible());
        QCOMPARE(again.frame->size(), QSize(700, 520));
        viewEntry(*again.frame, u"Pan Window"_qs)->trigger();
        QVERIFY(again.frame->close());
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<QTemporaryDir> m_files;
};

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
