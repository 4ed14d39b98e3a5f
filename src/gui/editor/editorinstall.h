#pragma once

#include "tessel1view.h"

#include "canvas/panwindow.h"

#include <QLabel>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class CCanvasBars;
class CDialogRunner;
class CKELDataManager;
class CTreeWindows;
class QAction;
class QDockWidget;
class QMdiArea;
class QMenu;
class QStatusBar;
class QToolBar;
class QWidget;

// The places of a main window that the tree editor fills.
struct CEditorHost
{
    QWidget *window = nullptr; // parent of dialogs, owner of the editor
    CKELDataManager *manager = nullptr;
    QMdiArea *mdiArea = nullptr;
    QDockWidget *panDock = nullptr;
    QToolBar *formatBar = nullptr;
    QToolBar *alignBar = nullptr;
    QToolBar *treeBar = nullptr; // where "Add Node" and its kin go; may be null
    QStatusBar *statusBar = nullptr;
    CDialogRunner *dialogs = nullptr;
    std::function<QMenu *(const QString &title)> menuNamed;
    std::function<void(std::function<void(int)>)> setTreeOpener;
};

// The tree editor in a main window: the tree windows, the pan window, the
// format and align bars, and the commands in the menus.
class CEditor : public QObject
{
    Q_OBJECT
public:
    explicit CEditor(const CEditorHost &host);
    ~CEditor() override;

    CTreeWindows &Windows() const { return *m_windows; }
    CCanvasBars &Bars() const { return *m_bars; }
    CPanWindow *PanWindow() const { return m_pan; }
    // The editor's menu commands by their text without "&" and "...".
    QAction *Action(const QString &text) const;
    QLabel *ZoomLabel() const { return m_zoomLabel; }

    // File commands of the active window
    bool ExportActive();
    void PrintActive();

private:
    QAction *add(QMenu *menu, QToolBar *bar, const QString &text, const QKeySequence &key,
                 const std::function<void(CTessel1View &)> &run);
    void onActiveViewChanged(CTessel1View *view);
    void updateActions();

    CEditorHost m_host;
    CTreeWindows *m_windows;
    CCanvasBars *m_bars;
    QPointer<CPanWindow> m_pan;
    QPointer<QLabel> m_zoomLabel;
    CTessel1View *m_active = nullptr; // let go when it closes
    QList<QMetaObject::Connection> m_viewConnections;
    QList<QAction *> m_actions;
    QAction *m_autoArrange = nullptr;
};

// Builds the editor into the main window: the tree opener, the pan dock,
// the two canvas bars and the menu entries.
CEditor *InstallEditor(const CEditorHost &host);
