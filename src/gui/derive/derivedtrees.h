#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <utility>

class CChildFrame;
class CDialogRunner;
class CKELDataManager;
class CTessel1View;
class CTreeWindows;
class QWidget;

// Integration of RBTs into a DBT, component behavior trees and evolution
// trees as the user reaches them: each command runs its dialog, then the
// model manager's command, so that a shared solution sees the same edit,
// and opens, arranges or marks the windows it concerns.
//
// The windows of derived trees open when this user's command has made
// them (in a shared solution, once the server relayed the record back)
// and are arranged the first time they are shown.
class CDerivedTrees : public QObject
{
    Q_OBJECT
public:
    CDerivedTrees(CKELDataManager &manager, CTreeWindows &windows, CDialogRunner &dialogs, QWidget *dialogParent,
                  QObject *parent = nullptr);

    // ---- Integration (DBT windows) ---------------------------------------
    // "Get RBTs": copies the chosen RBTs of the DBT's version into the DBT.
    bool GetRBTs(int dbtId);
    // The two mark commands toggle the view's flag and mark or clear.
    // Return the ids now marked (empty when turned off).
    QList<int> ToggleIntegrationPoints(CTessel1View &view);
    QList<int> ToggleMissingPreconditions(CTessel1View &view);
    QList<int> MarkAllMatchingNodes(CTessel1View &view, int nodeId);
    bool IntegrateThisRBT(CTessel1View &view, int rootId);
    bool IntegrateNextMatchingRBT(CTessel1View &view, int nodeId);
    // Marks again what the view's flags have on, so that they follow the
    // tree as RBTs are brought in and grafted.
    void RefreshMarks(CTessel1View &view);

    // ---- Component behavior trees -----------------------------------------
    // "Create CBT", "New CBT", "Evolutionary CBT": the dialog starts at treeId.
    bool CreateCBT(int treeId);
    // "View CBT": shows the chosen CBT, deriving it when there is none yet.
    bool ViewCBT();

    // ---- Evolution trees ---------------------------------------------------
    bool AddEvolutionTree();

    // What a derived tree's window says above its canvas.
    QString InfoText(int treeId) const;

private:
    void onElementAdded(int id);
    void afterIntegration(CTessel1View &view);
    void onFrameOpened(CChildFrame *frame);
    CTessel1View *viewOf(int treeId);
    void rearrangeGraftedTree(CTessel1View &view, int matchId);

    CKELDataManager &m_manager;
    CTreeWindows &m_windows;
    CDialogRunner &m_dialogs;
    QWidget *m_dialogParent;
    // derivations this user asked for, opened when they appear
    QList<std::pair<int, QString>> m_wantedCbts;
    QList<QList<int>> m_wantedEvts;
    // derived trees made in this session and not yet arranged
    QSet<int> m_unarranged;
};
