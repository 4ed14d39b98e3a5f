#pragma once

#include "canvas/canvasdelegate.h"

#include "derive/integration.h"
#include "model/nodeattributes.h"

#include <QHash>
#include <QObject>
#include <QSet>

class CCanvasScene;
class CKELDataManager;
class CKELLinkShape;
class CKELMethod;
class CKELNodeShape;
class CKELTree;
struct CLayoutResult;

// The document of a tree window: the canvas that shows one tree. It holds
// no model data; it turns the tree's records into shapes when opened,
// follows the model manager's signals so that the canvas never disagrees
// with the model, and routes every change a user makes on the canvas back
// to the manager.
class CTessel1Doc : public QObject, private CCanvasDelegate
{
    Q_OBJECT
public:
    enum ViewKind { RbtView = 1, DbtView = 2, CbtView = 3, CinView = 4, CidView = 5, EvtView = 6 };
    // White room the tree window keeps left of and above the layout's origin.
    static constexpr int kTreeMargin = 20;

    CTessel1Doc(CKELDataManager &manager, int treeId, QObject *parent = nullptr);
    ~CTessel1Doc() override;

    CKELDataManager &Manager() const { return m_manager; }
    // The tree shown, looked up afresh; null once it is gone.
    const CKELTree *Tree() const;
    int ElementId() const { return m_treeId; }
    // The tree's id for model calls: 0 unless it is an RBT, DBT, CBT or EVT.
    int GetTreeId() const;
    int ViewKind() const { return m_viewKind; }
    static int ViewKindOf(int typeCode);
    // "RBT: name", "DBT: name", ...
    QString Title() const;
    // Derived trees (CBTs, evolution trees) are shown, never edited here:
    // they are rebuilt by the command that made them.
    bool IsReadOnly() const { return m_viewKind == CbtView || m_viewKind == EvtView; }
    // Whether the node has a shape: a CBT's INIT node steps aside when a
    // single projected node can stand as the visible root.
    bool IsDrawn(const CKELMethod &node) const;
    static bool IsDrawnIn(const CKELTree &tree, const CKELMethod &node);

    CCanvasScene &Scene() const { return *m_scene; }
    CKELNodeShape *NodeShape(int nodeId) const { return m_shapes.value(nodeId, nullptr); }
    CKELLinkShape *LinkInto(int nodeId) const;
    const QHash<int, CKELNodeShape *> &NodeShapes() const { return m_shapes; }

    // Links child under parent through the model manager; a link that would
    // make a node its own ancestor is refused with a message.
    bool LinkNodes(int parentId, int childId);

    // Moves the nodes of a layout pass as one undo step, growing the pages
    // to hold the result in the same step. False when nothing moves.
    bool ApplyLayout(const CLayoutResult &result, const QString &text);

    // View state, never saved
    void SetSimulationMark(int nodeId, int code);
    int SimulationMark(int nodeId) const { return m_marks.value(nodeId, 0); }
    void ClearSimulationMarks();
    // What the integration mark commands highlight in this tree; call
    // Reconcile after changing it.
    CIntegrationMarks &IntegrationMarks() { return m_integrationMarks; }
    const CIntegrationMarks &IntegrationMarks() const { return m_integrationMarks; }
    void SetCollapsed(int nodeId, bool on);
    bool IsCollapsed(int nodeId) const { return m_collapsed.contains(nodeId); }
    // False for a node below a collapsed one.
    bool IsShown(int nodeId) const;

    // The place a node is drawn at: its record's, or, in a tree that is
    // never saved (a CBT), where the user or a layout last put it.
    QPoint ShownPlace(const CKELMethod &node) const;

    // Brings every shape in line with the model.
    void Reconcile();
    // Draws every box again in the current colour scheme.
    void RefreshLooks();

signals:
    void titleChanged(const QString &title);
    // The tree (or the solution) is gone: the window closes without asking.
    void treeRemoved();
    // Nodes whose links, size or existence changed; sent once the model's
    // edit is complete.
    void structureChanged(const QList<int> &nodeIds);

private:
    // CCanvasDelegate
    bool SetShapeGeometry(int key, const QPoint &pos, const QSize &size) override;
    void LinkRequested(int startKey, int endKey) override;
    void LinkCut(int startKey, int endKey) override;
    // Places and sizes go to the model as one step named after the gesture;
    // format changes are view state and keep no step at all.
    bool OwnsHistory() const override { return true; }
    bool RunAction(CCanvasAction &action) override;

    struct Place
    {
        int key;
        QPoint pos;
        QSize size; // invalid: keep the size
    };
    bool placeNodes(const QList<Place> &places, const QString &stepName);

    // What a node's shape draws, to tell a move from a change of looks.
    struct Look
    {
        CNodeAttributes attributes;
        QList<int> evTags;
        int w = 0, h = 0, highlight = 0, evStyle = 0, mark = 0;
        bool evolution = false;
        bool operator==(const Look &) const = default;
    };
    Look lookOf(const CKELMethod &node) const;
    bool lookMatches(const Look &look, const CKELMethod &node) const;

    const CKELMethod *nodeOfTree(int id) const;
    // Brings the node's shape, and unless told otherwise its links, in line.
    void syncNode(const CKELMethod &node, bool links = true);
    void syncLink(const CKELMethod &child);
    void removeNodeShape(int id);
    void updateVisibility();
    void noteStructure(int id);
    void onElementAdded(int id);
    void onElementChanged(int id);
    void onElementAboutToBeRemoved(int id);
    void followPages();
    static int recordWidthFor(const CKELMethod &node, int outerWidth);

    CKELDataManager &m_manager;
    CCanvasScene *m_scene; // child object
    QHash<int, CKELNodeShape *> m_shapes;
    QHash<int, Look> m_looks;
    QHash<int, int> m_marks;
    CIntegrationMarks m_integrationMarks;
    QHash<int, QPoint> m_viewPlaces; // trees never saved (CBTs) are arranged in the view only
    QSet<int> m_collapsed;
    QSet<int> m_pendingStructure;
    int m_treeId;
    int m_viewKind;
    bool m_hiddenShapes = false;
    bool m_building = false;
};
