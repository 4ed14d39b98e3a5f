#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

class CKELDataManager;

// What a tree window shows while its tree is simulated: a mark per node,
// fed by the simulator's output. A window draws the marks and, on its own
// redraw timer, refreshes the nodes that TakeChangedNodes hands it.
//
// A line of output that equals a node's position label reports that node:
// it becomes the current node, and the node reported before it becomes the
// previous one. Lines are matched one by one, so several labels in one
// piece of output all count, and a line cut between two pieces is joined
// before it is matched.
class CSimulationDisplay : public QObject
{
    Q_OBJECT
public:
    enum Mark : int {
        Unmarked = 0, // colours of the node's missing type
        Waiting = 1,  // in the tree being simulated, not reported yet
        Current = 2,  // reported last
        Visited = 3,  // reported before
    };

    explicit CSimulationDisplay(CKELDataManager &manager, QObject *parent = nullptr);

    // One piece of simulator output for a tree; starts the display first
    // when it is not running.
    void ShowSimulationStep(int treeId, const QString &chunk);
    // Marks every node of the tree Waiting and remembers its labels.
    void StartSimulationDisplay(int treeId);
    // Takes every mark back.
    void EndSimulationDisplay(int treeId);
    // A step taken by an interpreter that knows its nodes: they become the
    // current ones, and the nodes of the step before become visited.
    // Starts the display first when it is not running.
    void ShowStepNodes(int treeId, const QList<int> &nodeIds);
    // Shows where a finding happens: these nodes current, those visited,
    // every other node of the tree Waiting.
    void HighlightNodes(int treeId, const QList<int> &current, const QList<int> &visited = {});

    bool IsRunning(int treeId) const;
    int MarkOf(int treeId, int nodeId) const;
    // Marked nodes only: node id -> mark.
    QHash<int, int> Marks(int treeId) const;
    QString CurrentLabel(int treeId) const;
    QString SecondLabel(int treeId) const;
    // Nodes whose mark changed since the last call; their shapes need a refresh.
    QList<int> TakeChangedNodes(int treeId);

    // A line longer than this without a line end is dropped: no label is.
    static constexpr qsizetype kMaxPendingLine = 64 * 1024;

signals:
    void displayStarted(int treeId);
    void displayEnded(int treeId);
    void marksChanged(int treeId);

private:
    struct TreeState
    {
        bool running = false;
        QString current;
        QString second;
        QString pending; // the unfinished last line of the output so far
        QHash<int, int> marks;
        QSet<int> changed;
        QHash<QString, int> nodeByLabel; // first node in element order
        QList<int> currentNodes;         // the last step's, when nodes come by id
        bool labelsStale = false;
    };

    void setMark(TreeState &s, int nodeId, int mark);
    void indexLabels(int treeId, TreeState &s);
    int nodeForLabel(int treeId, TreeState &s, const QString &label);
    void reportLine(int treeId, TreeState &s, QStringView line);
    void forgetElement(int id);

    CKELDataManager &m_manager;
    QHash<int, TreeState> m_trees;
};
