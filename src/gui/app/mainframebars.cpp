// The main frame's actions, menus, tool bars and status bar.
#include "apptexts.h"
#include "mainframe.h"

#include "canvas/colourscheme.h"
#include "dialogs/dialogrunner.h"
#include "edit/undohistory.h"
#include "explorer/explorercommands.h"
#include "explorer/explorericons.h"
#include "explorer/kelnavigatebar.h"
#include "helpwindows.h"
#include "lockkeyindicators.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/prompt.h"
#include "recentfiles.h"
#include "solutioncommands.h"

#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenuBar>
#include <QMdiSubWindow>
#include <QPointer>
#include <QMessageBox>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

namespace {

QString withoutMnemonic(QString text)
{
    text.remove(u'&');
    return text;
}

} // namespace

QAction *CMainFrame::makeAction(const QString &objectName, const QString &text, const QIcon &icon)
{
    auto *action = new QAction(icon, text, this);
    action->setObjectName(objectName);
    return action;
}

void CMainFrame::createActions()
{
    QStyle *s = style();
    m_newAction = makeAction(QStringLiteral("actionNew"), AppTexts::New, s->standardIcon(QStyle::SP_FileIcon));
    m_newAction->setShortcut(QKeySequence::New);
    m_newAction->setStatusTip(AppTexts::NewTip);
    connect(m_newAction, &QAction::triggered, this, [this] { m_files->New(); });

    m_openAction =
        makeAction(QStringLiteral("actionOpen"), AppTexts::Open, s->standardIcon(QStyle::SP_DialogOpenButton));
    m_openAction->setShortcut(QKeySequence::Open);
    m_openAction->setStatusTip(AppTexts::OpenTip);
    connect(m_openAction, &QAction::triggered, this, [this] { m_files->Open(); });

    m_saveAction =
        makeAction(QStringLiteral("actionSave"), AppTexts::Save, s->standardIcon(QStyle::SP_DialogSaveButton));
    m_saveAction->setShortcut(QKeySequence::Save);
    m_saveAction->setStatusTip(AppTexts::SaveTip);
    connect(m_saveAction, &QAction::triggered, this, [this] { m_files->Save(); });

    m_saveAsAction = makeAction(QStringLiteral("actionSaveAs"), AppTexts::SaveAs);
    m_saveAsAction->setShortcut(QKeySequence::SaveAs);
    m_saveAsAction->setStatusTip(AppTexts::SaveAsTip);
    connect(m_saveAsAction, &QAction::triggered, this, [this] { m_files->SaveAs(); });

    m_closeAction = makeAction(QStringLiteral("actionClose"), AppTexts::Close);
    // Ctrl+W alone: the standard Close also brings Ctrl+F4, which the tree
    // windows keep for closing themselves
    m_closeAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    m_closeAction->setStatusTip(AppTexts::CloseTip);
    connect(m_closeAction, &QAction::triggered, this, [this] { m_files->Close(); });

    m_quitAction = makeAction(QStringLiteral("actionQuit"), AppTexts::Quit);
    m_quitAction->setShortcut(QKeySequence::Quit);
    m_quitAction->setMenuRole(QAction::QuitRole);
    connect(m_quitAction, &QAction::triggered, this, &QWidget::close);

    m_undoAction = makeAction(QStringLiteral("actionUndo"), AppTexts::Undo, s->standardIcon(QStyle::SP_ArrowBack));
    m_undoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    connect(m_undoAction, &QAction::triggered, this, [this] { m_manager->History().Undo(); });
    m_redoAction = makeAction(QStringLiteral("actionRedo"), AppTexts::Redo, s->standardIcon(QStyle::SP_ArrowForward));
    // both habits: Ctrl+Y from office programs, Ctrl+Shift+Z from drawing ones
    m_redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(m_redoAction, &QAction::triggered, this, [this] { m_manager->History().Redo(); });

    m_newRequirementAction =
        makeAction(QStringLiteral("actionNewRequirement"), AppTexts::NewRequirement, ExplorerIcons::NewIcon(4));
    connect(m_newRequirementAction, &QAction::triggered, this, [this] { m_explorerCommands->NewRequirement(); });
    m_newRBTAction = makeAction(QStringLiteral("actionNewRBT"), AppTexts::NewRbt, ExplorerIcons::NewIcon(9));
    connect(m_newRBTAction, &QAction::triggered, this, [this] { m_explorerCommands->NewRBT(); });
    m_newIBTAction = makeAction(QStringLiteral("actionNewIBT"), AppTexts::NewIbt, ExplorerIcons::NewIcon(11));
    connect(m_newIBTAction, &QAction::triggered, this, [this] { m_explorerCommands->NewIBT(); });

    for (int i = 0; i < CRecentFiles::kMaxFiles; ++i) {
        QAction *action = makeAction(QStringLiteral("actionRecent%1").arg(i + 1), QString());
        action->setVisible(false);
        connect(action, &QAction::triggered, this, [this, action] { OpenFile(action->data().toString()); });
        m_recentActions.append(action);
    }
}

void CMainFrame::createBars()
{
    m_standardBar = addToolBar(AppTexts::StandardToolbar);
    m_standardBar->setObjectName(QStringLiteral("StandardToolbar"));
    m_standardBar->addAction(m_newAction);
    m_standardBar->addAction(m_openAction);
    m_standardBar->addAction(m_saveAction);
    m_standardBar->addSeparator();
    m_standardBar->addAction(m_undoAction);
    m_standardBar->addAction(m_redoAction);

    m_productBar = addToolBar(AppTexts::ProductToolbar);
    m_productBar->setObjectName(QStringLiteral("VerdantisToolbar"));
    m_productBar->addAction(m_newRequirementAction);
    m_productBar->addAction(m_newRBTAction);
    m_productBar->addAction(m_newIBTAction);

    auto *status = statusBar();
    status->setObjectName(QStringLiteral("StatusBar"));
    m_lockKeys = new CLockKeyIndicators(status);
    status->addPermanentWidget(m_lockKeys);
    connect(status, &QStatusBar::messageChanged, this, [status](const QString &text) {
        if (text.isEmpty())
            status->showMessage(AppTexts::Ready);
    });
    status->showMessage(AppTexts::Ready);

    addDockWidget(Qt::LeftDockWidgetArea, m_explorerBar);
    m_panDock = new QDockWidget(AppTexts::PanWindow, this);
    m_panDock->setObjectName(QStringLiteral("PanWindow"));
    addDockWidget(Qt::LeftDockWidgetArea, m_panDock);
    splitDockWidget(m_explorerBar, m_panDock, Qt::Vertical);
    resizeDocks({m_explorerBar}, {320}, Qt::Horizontal);

    m_formatBar = addToolBar(AppTexts::FormatBar);
    m_formatBar->setObjectName(QStringLiteral("CanvasFormatBar"));
    m_alignBar = addToolBar(AppTexts::AlignBar);
    m_alignBar->setObjectName(QStringLiteral("CanvasAlignBar"));
}

void CMainFrame::createMenus()
{
    QMenu *file = menuBar()->addMenu(AppTexts::FileMenu);
    file->setObjectName(QStringLiteral("menuFile"));
    file->addAction(m_newAction);
    file->addAction(m_openAction);
    file->addAction(m_saveAction);
    file->addAction(m_saveAsAction);
    file->addAction(m_closeAction);
    m_recentSeparator = file->addSeparator();
    for (QAction *action : std::as_const(m_recentActions))
        file->addAction(action);
    file->addSeparator();
    file->addAction(m_quitAction);

    QMenu *edit = menuBar()->addMenu(AppTexts::EditMenu);
    edit->setObjectName(QStringLiteral("menuEdit"));
    edit->addAction(m_undoAction);
    edit->addAction(m_redoAction);

    QMenu *view = menuBar()->addMenu(AppTexts::ViewMenu);
    view->setObjectName(QStringLiteral("menuView"));
    // each shows its check state and follows the bar however it was hidden
    for (QAction *toggle :
         {m_productBar->toggleViewAction(), m_explorerBar->toggleViewAction(), m_panDock->toggleViewAction(),
          m_formatBar->toggleViewAction(), m_alignBar->toggleViewAction()})
        view->addAction(toggle);
    view->addSeparator();
    QMenu *schemes = view->addMenu(AppTexts::ColourSchemeMenu);
    schemes->setObjectName(QStringLiteral("menuColourScheme"));
    auto *schemeGroup = new QActionGroup(schemes);
    for (const ColourScheme::Scheme scheme : {ColourScheme::Scheme::Classic, ColourScheme::Scheme::Modern}) {
        QAction *a = schemes->addAction(ColourScheme::Name(scheme));
        a->setObjectName(QStringLiteral("actionColourScheme") + ColourScheme::Name(scheme));
        a->setCheckable(true);
        a->setChecked(ColourScheme::Current() == scheme);
        a->setStatusTip(scheme == ColourScheme::Scheme::Classic ? AppTexts::NotationSchemeTip
                                                                : AppTexts::SoftSchemeTip);
        schemeGroup->addAction(a);
        connect(a, &QAction::triggered, this, [scheme] { ColourScheme::SetCurrent(scheme); });
    }

    QMenu *model = menuBar()->addMenu(AppTexts::ModelMenu);
    model->setObjectName(QStringLiteral("menuModel"));
    model->addAction(m_newRequirementAction);
    model->addAction(m_newRBTAction);
    model->addAction(m_newIBTAction);

    QMenu *window = menuBar()->addMenu(AppTexts::WindowMenu);
    window->setObjectName(QStringLiteral("menuWindow"));
    window->addAction(AppTexts::Cascade, m_mdiArea, &QMdiArea::cascadeSubWindows);
    window->addAction(AppTexts::Tile, m_mdiArea, &QMdiArea::tileSubWindows);
    QAction *next = window->addAction(AppTexts::Next, m_mdiArea, &QMdiArea::activateNextSubWindow);
    next->setShortcut(QKeySequence::NextChild);
    QAction *previous = window->addAction(AppTexts::Previous, m_mdiArea, &QMdiArea::activatePreviousSubWindow);
    // Ctrl+Shift+Tab arrives as Backtab
    previous->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab));
    // the open windows, the active one checked
    window->addSeparator();
    connect(window, &QMenu::aboutToShow, this, [this, window] { fillWindowList(*window); });

    QMenu *help = menuBar()->addMenu(AppTexts::HelpMenu);
    help->setObjectName(QStringLiteral("menuHelp"));
    QAction *guide = help->addAction(AppTexts::UserGuideEntry, this, [this] {
        // one guide window, brought forward when asked for again
        if (auto *open = findChild<CUserGuideWindow *>()) {
            open->raise();
            open->activateWindow();
            return;
        }
        const QString page = CUserGuideWindow::FindGuide();
        if (page.isEmpty()) {
            m_manager->Prompt().Message(AppTexts::GuideNotInstalled, AppTexts::MessageCaption);
            return;
        }
        (new CUserGuideWindow(page, this))->show();
    });
    guide->setObjectName(QStringLiteral("actionUserGuide"));
    guide->setShortcut(QKeySequence(Qt::Key_F1));
    QAction *shortcuts = help->addAction(AppTexts::ShortcutsEntry, this, [this] {
        CKeyboardShortcutsDlg dialog(CollectShortcuts(*this), this);
        m_dialogs->Run(dialog);
    });
    shortcuts->setObjectName(QStringLiteral("actionKeyboardShortcuts"));
    help->addSeparator();
    QAction *about = help->addAction(AppTexts::AboutEntry, this, [this] {
        QMessageBox box(QMessageBox::NoIcon, AppTexts::AboutTitle,
                        AppTexts::AboutText(QApplication::applicationVersion()), QMessageBox::Ok, this);
        box.setIconPixmap(windowIcon().pixmap(64, 64));
        m_dialogs->Run(box);
    });
    about->setMenuRole(QAction::AboutRole);
    updateActions();
}

void CMainFrame::fillWindowList(QMenu &menu)
{
    for (QAction *a : menu.actions()) {
        if (a->property("windowEntry").toBool())
            delete a;
    }
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList();
    for (qsizetype i = 0; i < windows.size(); ++i) {
        QMdiSubWindow *w = windows[i];
        QString title = w->windowTitle();
        title.replace(u'&', QStringLiteral("&&"));
        QAction *a = menu.addAction(i < 9 ? AppTexts::NumberedEntry(i + 1, title) : title);
        a->setProperty("windowEntry", true);
        a->setCheckable(true);
        a->setChecked(w == m_mdiArea->activeSubWindow());
        connect(a, &QAction::triggered, m_mdiArea, [this, w = QPointer<QMdiSubWindow>(w)] {
            if (w)
                m_mdiArea->setActiveSubWindow(w);
        });
    }
}

QMenu *CMainFrame::MenuNamed(const QString &title)
{
    const QString wanted = withoutMnemonic(title);
    QAction *before = nullptr;
    for (QAction *action : menuBar()->actions()) {
        if (!action->menu())
            continue;
        const QString name = withoutMnemonic(action->text());
        if (name == wanted)
            return action->menu();
        if (!before && (name == u"Window" || name == u"Help"))
            before = action;
    }
    auto *menu = new QMenu(title, menuBar());
    menu->setObjectName(QStringLiteral("menu") + wanted.simplified().remove(u' '));
    menuBar()->insertMenu(before, menu);
    return menu;
}

void CMainFrame::updateActions()
{
    const bool open = m_manager->Solution() != nullptr;
    for (QAction *a :
         {m_saveAction, m_saveAsAction, m_closeAction, m_newRequirementAction, m_newRBTAction, m_newIBTAction})
        a->setEnabled(open);
}

void CMainFrame::updateUndoActions()
{
    const CUndoHistory &history = m_manager->History();
    // "&&" keeps a step's name free of mnemonics
    auto named = [](const QString &verb, QString step) {
        return step.isEmpty() ? verb : verb + u' ' + step.replace(u'&', QStringLiteral("&&"));
    };
    m_undoAction->setEnabled(history.CanUndo());
    m_undoAction->setText(named(AppTexts::Undo, history.CanUndo() ? history.UndoText() : QString()));
    m_redoAction->setEnabled(history.CanRedo());
    m_redoAction->setText(named(AppTexts::Redo, history.CanRedo() ? history.RedoText() : QString()));
}

void CMainFrame::updateRecentFiles()
{
    const QStringList files = m_recent->Files();
    for (int i = 0; i < m_recentActions.size(); ++i) {
        QAction *action = m_recentActions[i];
        if (i < files.size()) {
            QString shown = fontMetrics().elidedText(QDir::toNativeSeparators(files[i]), Qt::ElideMiddle, 420);
            shown.replace(u'&', QStringLiteral("&&"));
            action->setText(AppTexts::NumberedEntry(i + 1, shown));
            action->setData(files[i]);
            action->setVisible(true);
        } else {
            action->setVisible(false);
        }
    }
    m_recentSeparator->setVisible(!files.isEmpty());
}
