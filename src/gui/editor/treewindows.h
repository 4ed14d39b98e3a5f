#pragma once

#include "editorhooks.h"

#include <QHash>
#include <QObject>
#include <QPointer>

class CChildFrame;
class CKELDataManager;
class CTessel1View;
class QMdiArea;
class QMdiSubWindow;

// Opens, finds and closes the tree windows of one main window.
class CTreeWindows : public QObject
{
    Q_OBJECT
public:
    CTreeWindows(CKELDataManager &manager, QMdiArea &area, QObject *parent = nullptr);
    ~CTreeWindows() override;

    // Shows the tree's window, opening it when needed; null when the
    // element is not a tree that has a window.
    CChildFrame *Open(int treeId);
    CChildFrame *Find(int treeId) const;
    void Close(int treeId);
    void CloseAll();
    QList<CChildFrame *> Frames() const;
    CChildFrame *ActiveFrame() const;
    CTessel1View *ActiveView() const;

    // What the views ask the user with, and the commands other parts add.
    CEditorDialogs &Dialogs() { return m_dialogs; }
    CViewMenuCommands &MenuCommands() { return m_menuCommands; }
    // Opens RBTs and IBTs right after the user makes them (on by default).
    void SetOpenNewTrees(bool on) { m_openNewTrees = on; }

signals:
    void activeViewChanged(CTessel1View *view);
    void frameOpened(CChildFrame *frame);

private:
    void onSubWindowActivated(QMdiSubWindow *window);
    void onElementAdded(int id);

    CKELDataManager &m_manager;
    QMdiArea &m_area;
    QHash<int, QPointer<CChildFrame>> m_frames;
    CEditorDialogs m_dialogs;
    CViewMenuCommands m_menuCommands;
    bool m_openNewTrees = true;
};
