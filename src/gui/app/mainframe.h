#pragma once

#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>

class CAutoSave;
class CDialogRunner;
class CExplorerCommands;
class CKELDataManager;
class CKELNavigateBar;
class CKELNavigateTree;
class CLockKeyIndicators;
class CMessageBoxPrompt;
class CPrompt;
class CRecentFiles;
class CSolutionCommands;
class QAction;
class QDockWidget;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

// The main window: the tree windows in the middle, the solution explorer
// beside them, the bars and the menus. It owns the one model manager of
// the run. The parts of the program (InstallProgramParts) add their windows,
// bars and menu entries through the accessors below.
class CMainFrame : public QMainWindow
{
    Q_OBJECT
public:
    explicit CMainFrame(QWidget *parent = nullptr);
    ~CMainFrame() override;

    // ---- Where the tree windows and the other parts plug in ------------
    QMdiArea *MdiArea() const { return m_mdiArea; }
    CKELDataManager &Manager() { return *m_manager; }
    QDockWidget *PanDock() const { return m_panDock; }
    QToolBar *FormatBar() const { return m_formatBar; }
    QToolBar *AlignBar() const { return m_alignBar; }
    // The top-level menu with this title ("&" marks are not compared),
    // made before "&Window" and "&Help" when there is none yet.
    QMenu *MenuNamed(const QString &title);
    // The explorer's "Open" entries and double clicks on trees and diagrams
    // call it; until it is set they are not offered.
    void SetTreeOpener(std::function<void(int elementId)> opener);
    // The opener now set, so that a part can wrap it for its own kinds.
    std::function<void(int elementId)> TreeOpener() const;
    // Undo and Redo act on the solution's one history, whichever window is
    // active: the explorer's edits and every tree window's are in it.

    // ---- The application's own parts --------------------------------------
    CKELNavigateBar *ExplorerBar() const { return m_explorerBar; }
    CKELNavigateTree *Explorer() const;
    CExplorerCommands &ExplorerCommands() { return *m_explorerCommands; }
    CSolutionCommands &Files() { return *m_files; }
    CDialogRunner &Dialogs() { return *m_dialogs; }
    CAutoSave &AutoSave() { return *m_autoSave; }
    // How the model asks; null returns to message boxes.
    void SetPrompt(CPrompt *prompt);

    // Opens a solution file (command line, drop, recent files).
    bool OpenFile(const QString &path);
    // Offers the newest copy left by a session that did not end properly.
    // Returns whether one was restored.
    bool OfferRecovery();
    // Whether OfferRecovery would ask.
    bool HasRecovery() const;
    // The connection part of the title, for the collaboration part.
    void SetConnectionTitle(const QString &text);
    void UpdateTitle();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void createActions();
    void createMenus();
    void createBars();
    void updateActions();
    void updateUndoActions();
    void updateRecentFiles();
    void subWindowActivated(QMdiSubWindow *window);
    void fillWindowList(QMenu &menu);
    void showBusy(const QString &text);
    void showIdle(const QString &text);
    void saveSettings();
    void restoreSettings();
    QAction *makeAction(const QString &objectName, const QString &text, const QIcon &icon = QIcon());

    std::unique_ptr<CKELDataManager> m_manager;
    std::unique_ptr<CMessageBoxPrompt> m_messageBoxes;
    std::unique_ptr<CDialogRunner> m_dialogs;
    std::unique_ptr<CRecentFiles> m_recent;
    std::unique_ptr<CAutoSave> m_autoSave;
    QMdiArea *m_mdiArea = nullptr;
    CKELNavigateBar *m_explorerBar = nullptr;
    QDockWidget *m_panDock = nullptr;
    QToolBar *m_standardBar = nullptr;
    QToolBar *m_productBar = nullptr;
    QToolBar *m_formatBar = nullptr;
    QToolBar *m_alignBar = nullptr;
    CLockKeyIndicators *m_lockKeys = nullptr;
    CExplorerCommands *m_explorerCommands = nullptr;
    CSolutionCommands *m_files = nullptr;
    QString m_connectionTitle;
    int m_busyDepth = 0;
    bool m_layoutRestored = false;

    QAction *m_newAction = nullptr;
    QAction *m_openAction = nullptr;
    QAction *m_saveAction = nullptr;
    QAction *m_saveAsAction = nullptr;
    QAction *m_closeAction = nullptr;
    QAction *m_quitAction = nullptr;
    QAction *m_undoAction = nullptr;
    QAction *m_redoAction = nullptr;
    QAction *m_newRequirementAction = nullptr;
    QAction *m_newRBTAction = nullptr;
    QAction *m_newIBTAction = nullptr;
    QList<QAction *> m_recentActions;
    QAction *m_recentSeparator = nullptr;
};
