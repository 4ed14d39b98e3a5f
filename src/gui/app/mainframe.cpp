#include "mainframe.h"
#include "apptexts.h"
#include "model/modeltexts.h"

#include "dialogs/dialogwidgets.h"

#include "autosave.h"
#include "dialogs/dialogrunner.h"
#include "edit/undohistory.h"
#include "explorer/explorercommands.h"
#include "explorer/kelnavigatebar.h"
#include "explorer/kelnavigatetree.h"
#include "messageboxprompt.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "recentfiles.h"
#include "solutioncommands.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>

// Resources of a static library are linked in only when asked for.
static void initResources()
{
    Q_INIT_RESOURCE(verdantis);
}

CMainFrame::CMainFrame(QWidget *parent)
    : QMainWindow(parent)
    , m_manager(std::make_unique<CKELDataManager>())
    , m_messageBoxes(std::make_unique<CMessageBoxPrompt>(this))
    , m_dialogs(std::make_unique<CDialogRunner>())
    , m_recent(std::make_unique<CRecentFiles>())
    , m_autoSave(std::make_unique<CAutoSave>(*m_manager))
{
    initResources();
    setObjectName(QStringLiteral("MainFrame"));
    const QIcon icon(QStringLiteral(":/verdantis/verdantis.svg"));
    setWindowIcon(icon);
    // the tree windows take the application's icon
    if (QApplication::windowIcon().isNull())
        QApplication::setWindowIcon(icon);
    m_manager->SetPrompt(m_messageBoxes.get());
    setAcceptDrops(true);
    setDockNestingEnabled(true);

    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName(QStringLiteral("MdiArea"));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::subWindowActivated);

    m_explorerBar = new CKELNavigateBar(*m_manager, this);
    m_explorerCommands = new CExplorerCommands(*m_explorerBar->Tree(), *m_dialogs, this);
    m_files = new CSolutionCommands(*m_manager, *m_dialogs, this);
    connect(m_files, &CSolutionCommands::busy, this, &CMainFrame::showBusy);
    connect(m_files, &CSolutionCommands::idle, this, &CMainFrame::showIdle);
    connect(m_files, &CSolutionCommands::fileOpened, this, [this](const QString &path) {
        m_recent->Add(path);
        updateRecentFiles();
    });
    connect(m_files, &CSolutionCommands::fileSaved, this, [this](const QString &path) {
        m_recent->Add(path);
        updateRecentFiles();
    });

    createActions();
    createBars();
    createMenus();

    connect(m_manager.get(), &CKELDataManager::solutionReplaced, this, [this] {
        UpdateTitle();
        updateActions();
    });
    connect(m_manager.get(), &CKELDataManager::modifiedChanged, this, &CMainFrame::UpdateTitle);
    connect(&m_manager->History(), &CUndoHistory::changed, this, [this] {
        updateUndoActions();
        // undoing back to what was saved takes the star away
        UpdateTitle();
    });
    updateUndoActions();
    connect(m_manager.get(), &CKELDataManager::elementChanged, this, [this](int id) {
        if (m_manager->Solution() && id == m_manager->Solution()->GetId())
            UpdateTitle();
    });

    restoreSettings();
    // a fresh start shows a new, empty solution
    m_manager->NewSolution();
    updateRecentFiles();
}

CMainFrame::~CMainFrame()
{
    // the windows go before the model they show
    m_mdiArea->closeAllSubWindows();
    std::unique_ptr<QWidget> central(takeCentralWidget());
    central.reset();
    removeDockWidget(m_explorerBar);
    std::unique_ptr<QWidget> explorer(m_explorerBar);
    explorer.reset();
    removeDockWidget(m_panDock);
    std::unique_ptr<QWidget> pan(m_panDock);
    pan.reset();
    m_manager->SetPrompt(nullptr);
    // Whatever the installed parts hung on the window may refer to the model until
    // it goes: as the last child, it goes after them.
    CKELDataManager *manager = m_manager.release();
    manager->setParent(this);
}

CKELNavigateTree *CMainFrame::Explorer() const
{
    return m_explorerBar->Tree();
}

void CMainFrame::SetPrompt(CPrompt *prompt)
{
    m_manager->SetPrompt(prompt ? prompt : m_messageBoxes.get());
}

void CMainFrame::SetTreeOpener(std::function<void(int)> opener)
{
    m_explorerCommands->SetTreeOpener(std::move(opener));
}

std::function<void(int)> CMainFrame::TreeOpener() const
{
    return m_explorerCommands->TreeOpener();
}

void CMainFrame::SetConnectionTitle(const QString &text)
{
    m_connectionTitle = text;
    UpdateTitle();
}

void CMainFrame::UpdateTitle()
{
    const CKELSolution *s = m_manager->Solution();
    if (!s) {
        setWindowTitle(AppTexts::ProductName);
        return;
    }
    QString title = AppTexts::TitlePrefix + s->DisplayName();
    if (!m_manager->IsLocal())
        title += ModelTexts::SharedMark;
    if (s->IsModified())
        title += u'*';
    title += u' ';
    title += m_connectionTitle;
    setWindowTitle(title);
}

bool CMainFrame::OpenFile(const QString &path)
{
    if (m_files->OpenPath(path))
        return true;
    // a file that is gone leaves the list
    if (!QFileInfo::exists(path)) {
        m_recent->Remove(path);
        updateRecentFiles();
    }
    return false;
}

bool CMainFrame::HasRecovery() const
{
    return !m_autoSave->Orphans().isEmpty();
}

bool CMainFrame::OfferRecovery()
{
    const QList<CAutoSave::Orphan> orphans = m_autoSave->Orphans();
    if (orphans.isEmpty())
        return false;
    const CAutoSave::Orphan &newest = orphans.first();
    const QString name =
        newest.originalPath.isEmpty() ? ModelTexts::Untitled : QDir::toNativeSeparators(newest.originalPath);
    const QString question = AppTexts::RecoveryQuestion(name, QLocale().toString(newest.written, QLocale::ShortFormat));
    if (!m_manager->Prompt().YesNo(question, AppTexts::RecoverCaption)) {
        m_autoSave->DiscardOrphan(newest);
        return false;
    }
    QString error;
    if (!m_autoSave->Restore(newest, &error)) {
        m_manager->Prompt().Message(AppTexts::RecoveryUnreadable(error));
        m_autoSave->DiscardOrphan(newest);
        return false;
    }
    statusBar()->showMessage(AppTexts::RecoveryRestored(name), 8000);
    return true;
}

void CMainFrame::subWindowActivated(QMdiSubWindow *window)
{
    if (!window)
        return;
    // A window's own Close brings Ctrl+W as well, which made File > Close
    // ambiguous: the window keeps Ctrl+F4.
    if (QMenu *system = window->systemMenu()) {
        for (QAction *a : system->actions()) {
            if (a->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_W)))
                a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));
        }
    }
}

void CMainFrame::showBusy(const QString &text)
{
    if (m_busyDepth++ == 0)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    statusBar()->showMessage(text);
    // shown before the work starts, not after it ends
    statusBar()->repaint();
}

void CMainFrame::showIdle(const QString &text)
{
    if (m_busyDepth > 0 && --m_busyDepth == 0)
        QApplication::restoreOverrideCursor();
    if (text.isEmpty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(text, 8000);
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    if (!m_files->CloseCheck()) {
        event->ignore();
        return;
    }
    saveSettings();
    m_autoSave->Discard();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent *event)
{
    if (!event->mimeData()->hasUrls())
        return;
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            return;
        }
    }
}

void CMainFrame::dropEvent(QDropEvent *event)
{
    QString path;
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            path = url.toLocalFile();
            break;
        }
    }
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // opened after the drop has finished: the open may ask questions
    QTimer::singleShot(0, this, [this, path] { OpenFile(path); });
}

void CMainFrame::saveSettings()
{
    QSettings settings;
    settings.setValue(QStringLiteral("MainFrame/geometry"), saveGeometry());
    settings.setValue(QStringLiteral("MainFrame/state"), saveState());
}

void CMainFrame::restoreSettings()
{
    QSettings settings;
    const QByteArray geometry = settings.value(QStringLiteral("MainFrame/geometry")).toByteArray();
    if (geometry.isEmpty() || !restoreGeometry(geometry))
        resize(1200, 800);
    // at a large display scale, or on another screen than last time, the
    // window must still fit: the status bar is not to be off-screen
    DialogWidgets::FitToScreen(this, 0.95);
}

void CMainFrame::showEvent(QShowEvent *event)
{
    // the bars are placed once every part has added its own
    if (!m_layoutRestored) {
        m_layoutRestored = true;
        restoreState(QSettings().value(QStringLiteral("MainFrame/state")).toByteArray());
    }
    QMainWindow::showEvent(event);
}
