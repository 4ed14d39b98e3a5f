#pragma once

#include "editorhooks.h"

#include "canvas/canvasview.h"

#include <QSet>

#include <memory>

class CCanvasAction;
class CKELMethod;
class CKELTree;
class CTessel1Doc;
struct CLayoutResult;
class QMenu;

// The view of a tree window: turns menu commands, context menus, double
// clicks, keys and drops from the explorer into calls on the model
// manager, and arranges the tree on request or, while auto-arrange is on,
// after every edit.
class CTessel1View : public CCanvasView
{
    Q_OBJECT
public:
    explicit CTessel1View(CTessel1Doc &doc, QWidget *parent = nullptr);
    ~CTessel1View() override;

    CTessel1Doc &Document() const { return m_doc; }
    int ViewKind() const;

    void SetDialogs(const CEditorDialogs *dialogs) { m_dialogs = dialogs; }
    void SetMenuCommands(const CViewMenuCommands *commands) { m_menuCommands = commands; }

    bool AutoRearrange() const { return m_autoRearrange; }
    void SetAutoRearrange(bool on);
    // Flags of the integration mark commands; the integration part acts on them.
    bool MarkIntegrationPoints() const { return m_markIntegrationPoints; }
    void SetMarkIntegrationPoints(bool on) { m_markIntegrationPoints = on; }
    bool MarkMissingPrecondition() const { return m_markMissingPrecondition; }
    void SetMarkMissingPrecondition(bool on) { m_markMissingPrecondition = on; }

    // ---- Commands (viewcommands.cpp) -------------------------------------
    // "Add Node": below the single selected node, else at 50,50, stepping
    // while the place is taken; then the node dialog.
    bool OnAddNode();
    // Where "Add Node" would put the node and under which parent; false
    // when a single selected shape is not a node.
    bool NewNodePlace(QPoint &at, int &parentId) const;
    // Asks for the node's attributes and adds it at a place.
    bool AddNodeAt(const QPoint &at, int parentId);
    // Selects the node and adds a child below it.
    bool CreateChildNode(int nodeId);
    // "Add Link": the first selected node becomes the parent of the second.
    bool OnAddLink();
    void OnArrangeTree();
    void OnAutoArrangeTree() { SetAutoRearrange(!m_autoRearrange); }
    bool RearrangeAll();
    bool RearrangeSubtree(int nodeId, bool wholeTree);
    // Delete key and "Remove": detaches the children of selected links,
    // then removes the selected nodes.
    void OnDelete();
    bool ChangeBehavior(int nodeId);
    bool EditExtraInfo(int nodeId);
    void ToggleCollapse(int nodeId);

    // ---- Clipboard (clipboardcommands.cpp) -------------------------------
    // The selected nodes that are not below another selected one: each
    // stands for its whole subtree.
    QList<int> SelectedSubtreeRoots() const;
    bool CopySelection();
    bool CutSelection();
    bool CanPaste() const;
    // Under the single selected node, else as a new root at the mouse.
    bool Paste();
    // Under parentId when it is not 0 (below its box), else at a place.
    bool PasteAt(const QPoint &at, int parentId);
    bool DuplicateSelection();

    // ---- Selection and find (tessel1view.cpp) ----------------------------
    QList<int> SelectedNodeIds() const;
    void SelectAllNodes();
    // The node when exactly one shape, a node, is selected; else 0.
    int SingleSelectedNode() const;
    void SelectNode(int nodeId, bool centre);
    enum class Step { Parent, FirstChild, PreviousSibling, NextSibling };
    bool SelectRelative(Step step);
    // Finds the next node after the selected one (wrapping) whose tag,
    // component or behavior holds text; selects and centres it.
    bool FindNext(const QString &text);
    const QString &LastFindText() const { return m_findText; }

    // The plain keys a tree window answers (without Ctrl or Alt). The key
    // handler dispatches from this table and Help > Keyboard Shortcuts
    // lists it, so the two cannot disagree.
    struct KeyCommand
    {
        Qt::Key key;
        QString text;
        void (*run)(CTessel1View &view);
    };
    static const QList<KeyCommand> &KeyCommands();

    // ---- Context menu and drops (tessel1view.cpp) ------------------------
    // The menu for a click at a scene point, or null where none is shown.
    std::unique_ptr<QMenu> CreateContextMenu(const QPointF &scenePos);
    // Adds what an explorer item stands for at a scene point.
    bool DropElement(int elementId, int shownUnderId, const QPointF &scenePos);
    bool AcceptsDrop(int elementId) const;

signals:
    void autoRearrangeChanged(bool on);
    void findRequested();

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void announceSelection();
    const CKELTree *tree() const;
    const CKELMethod *node(int id) const;
    int treeIdForEdits() const;
    QPoint PastePlace() const;
    bool applyLayout(const CLayoutResult &result, const QString &text);
    void onActionExecuted(const CCanvasAction *action);
    void scheduleAutoArrange(const QList<int> &nodeIds);
    void runAutoArrange();
    void addMenuExtensions(QMenu &menu, const QString &menuName, int clickedNodeId, const QPointF &at);

    CTessel1Doc &m_doc;
    const CEditorDialogs *m_dialogs = nullptr;
    const CViewMenuCommands *m_menuCommands = nullptr;
    QSet<int> m_pendingArrange;
    QString m_findText;
    bool m_autoRearrange = false;
    bool m_arrangeQueued = false;
    bool m_markIntegrationPoints = false;
    bool m_markMissingPrecondition = false;
};
