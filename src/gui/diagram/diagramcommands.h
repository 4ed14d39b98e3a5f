#pragma once

#include <QObject>

#include <functional>

class CDialogRunner;
class CDiagramWindows;
class CKELDataManager;
class QWidget;

// The commands that make and show interaction networks and interface
// diagrams. Each gathers its input, calls the model manager (so that a
// shared solution sends the record instead), and has the new diagram's
// window opened once the model has made it.
class CDiagramCommands : public QObject
{
    Q_OBJECT
public:
    CDiagramCommands(CKELDataManager &manager, CDiagramWindows &windows, CDialogRunner &dialogs, QWidget *dialogParent,
                     QObject *parent = nullptr);

    // The tree a command without one starts from (the active tree window's).
    void SetCurrentTree(std::function<int()> currentTree) { m_currentTree = std::move(currentTree); }

    // "Create CIN": with a tree, at once; without one, "Select BT for CIN" first.
    bool CreateCIN(int treeId);
    // "Create CID", "New CID": "Select details for CID", the tree preselected.
    bool CreateCID(int treeId);
    // "View CIN", "View CID": choose, then show the diagram the tree has
    // already, or make it when there is none.
    bool ViewCIN();
    bool ViewCID();

private:
    int currentTree() const;
    bool create(int typeCode, int treeId, const QString &component);

    CKELDataManager &m_manager;
    CDiagramWindows &m_windows;
    CDialogRunner &m_dialogs;
    QWidget *m_dialogParent;
    std::function<int()> m_currentTree;
};
