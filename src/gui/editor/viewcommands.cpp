// The commands of a tree view: adding nodes and links, arranging, removing,
// and the node dialogs.
#include "tessel1view.h"

#include "editortexts.h"
#include "kellinkshape.h"
#include "kelnodeshape.h"
#include "tessel1doc.h"

#include "canvas/canvasactions.h"
#include "canvas/canvasscene.h"
#include "edit/editstep.h"
#include "layout/treelayout.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/prompt.h"
#include "model/treeops.h"

#include <QTimer>

namespace {

// "Add Node" probes this point of the new box and steps while it is taken.
constexpr int kProbeX = 100;
constexpr int kProbeY = 25;
constexpr int kStepX = 30;
constexpr int kStepY = 20;
constexpr int kBelowGap = 50;
constexpr int kFreePlace = 50;

} // namespace

const CKELTree *CTessel1View::tree() const
{
    return m_doc.Tree();
}

const CKELMethod *CTessel1View::node(int id) const
{
    const CKELTree *t = tree();
    return t ? TreeOps::NodeOf(*t, id) : nullptr;
}

int CTessel1View::treeIdForEdits() const
{
    return m_doc.IsReadOnly() ? 0 : m_doc.GetTreeId();
}

bool CTessel1View::NewNodePlace(QPoint &at, int &parentId) const
{
    const CCanvasScene &scene = m_doc.Scene();
    at = QPoint(kFreePlace, kFreePlace);
    parentId = 0;
    if (scene.SelectionCount() == 1) {
        const auto *shape = dynamic_cast<const CKELNodeShape *>(scene.GetCurrentSelectShape());
        if (!shape)
            return false;
        at = QPoint(shape->GetShapeLeft(), shape->GetShapeTop() + shape->GetShapeHeight() + kBelowGap);
        parentId = shape->NodeId();
    }
    // the bound only guards against a canvas packed beyond any use
    for (int steps = 0; steps < 100000 && scene.CompositeAt(QPointF(at.x() + kProbeX, at.y() + kProbeY)); ++steps)
        at += QPoint(kStepX, kStepY);
    return true;
}

bool CTessel1View::OnAddNode()
{
    if (!treeIdForEdits())
        return false;
    QPoint at;
    int parentId = 0;
    if (!NewNodePlace(at, parentId))
        return false;
    return AddNodeAt(at, parentId);
}

bool CTessel1View::AddNodeAt(const QPoint &at, int parentId)
{
    const int treeId = treeIdForEdits();
    const CKELTree *t = tree();
    if (!treeId || !t || !m_dialogs || !m_dialogs->nodeAttributes)
        return false;
    CNodeAttributes attributes;
    if (!m_dialogs->nodeAttributes(this, *t, attributes, true))
        return false;
    CEditStep step(m_doc.Manager(), EditorTexts::AddNode);
    return m_doc.Manager().AddNode(treeId, parentId, attributes, std::max(0, at.x()), std::max(0, at.y()));
}

bool CTessel1View::CreateChildNode(int nodeId)
{
    CKELNodeShape *shape = m_doc.NodeShape(nodeId);
    if (!shape)
        return false;
    m_doc.Scene().SelectOnly(shape);
    return OnAddNode();
}

bool CTessel1View::OnAddLink()
{
    const CCanvasScene &scene = m_doc.Scene();
    if (!treeIdForEdits() || scene.SelectionCount() != 2)
        return false;
    const auto *parent = dynamic_cast<const CKELNodeShape *>(scene.GetCurrentSelectShape());
    const auto *child = dynamic_cast<const CKELNodeShape *>(scene.GetSecondSelectShape());
    if (!parent || !child)
        return false;
    CEditStep step(m_doc.Manager(), EditorTexts::AddLink);
    return m_doc.LinkNodes(parent->NodeId(), child->NodeId());
}

bool CTessel1View::applyLayout(const CLayoutResult &result, const QString &text)
{
    return m_doc.ApplyLayout(result, text);
}

bool CTessel1View::RearrangeAll()
{
    const CKELTree *t = tree();
    if (!t)
        return false;
    const CTreeLayout layout(*t);
    const QList<const CKELMethod *> roots = t->Roots();
    if (roots.size() == 1 && !m_doc.IsDrawn(*roots.first())) {
        // a CBT whose INIT node is not drawn: its one child is the top of
        // the picture, so lay that out from the origin
        const QList<int> children = roots.first()->ChildIds();
        if (children.size() != 1 || !node(children.first()))
            return false;
        const CSubtreeLayout sub = layout.LayoutSubtree(children.first());
        CLayoutResult result;
        result.moves = sub.nodes;
        for (const CLayoutMove &m : sub.nodes) {
            const QSize size = CTreeLayout::NodeSize(*node(m.nodeId));
            result.extent = QPoint(std::max(result.extent.x(), m.to.x() + size.width()),
                                   std::max(result.extent.y(), m.to.y() + size.height()));
        }
        return applyLayout(result, EditorTexts::RearrangeAll);
    }
    return applyLayout(layout.RearrangeAll(), EditorTexts::RearrangeAll);
}

bool CTessel1View::RearrangeSubtree(int nodeId, bool wholeTree)
{
    const CKELTree *t = tree();
    if (!t || !node(nodeId))
        return false;
    return applyLayout(CTreeLayout(*t).RearrangeSubtree(nodeId, wholeTree), EditorTexts::RearrangeSubtree);
}

void CTessel1View::OnArrangeTree()
{
    const CCanvasScene &scene = m_doc.Scene();
    CPrompt &prompt = m_doc.Manager().Prompt();
    const int selected = scene.SelectionCount();
    if (selected > 1) {
        if (!m_autoRearrange)
            prompt.Message(EditorTexts::ManySelected, EditorTexts::ManySelectedCaption);
        return;
    }
    if (selected == 0) {
        if (prompt.OkCancel(EditorTexts::ZeroSelected, EditorTexts::ZeroSelectedCaption))
            RearrangeAll();
        return;
    }
    if (const auto *shape = dynamic_cast<const CKELNodeShape *>(scene.GetCurrentSelectShape()))
        RearrangeSubtree(shape->NodeId(), m_autoRearrange);
}

void CTessel1View::SetAutoRearrange(bool on)
{
    if (on == m_autoRearrange)
        return;
    m_autoRearrange = on;
    m_pendingArrange.clear();
    emit autoRearrangeChanged(on);
}

void CTessel1View::OnDelete()
{
    if (!treeIdForEdits())
        return;
    QList<int> nodes;
    QList<int> detached;
    for (QGraphicsItem *i : m_doc.Scene().SelectionOrder()) {
        if (const auto *shape = dynamic_cast<const CKELNodeShape *>(i)) {
            nodes.append(shape->NodeId());
        } else if (const auto *link = dynamic_cast<const CKELLinkShape *>(i)) {
            if (const auto *child = dynamic_cast<const CKELNodeShape *>(link->GetEndShape()))
                detached.append(child->NodeId());
        }
    }
    if (nodes.isEmpty() && detached.isEmpty())
        return;
    // children that are neither removed nor detached are the user's to decide
    const QSet<int> chosen(nodes.begin(), nodes.end());
    int orphans = 0;
    for (int id : std::as_const(nodes)) {
        if (const CKELMethod *n = node(id)) {
            for (int c : n->ChildIds())
                orphans += node(c) && !chosen.contains(c) && !detached.contains(c) ? 1 : 0;
        }
    }
    CRemoveChoice choice = CRemoveChoice::KeepChildren;
    if (orphans > 0 && m_dialogs && m_dialogs->removeChildren)
        choice = m_dialogs->removeChildren(this, orphans);
    if (choice == CRemoveChoice::Cancel)
        return;
    CKELDataManager &m = m_doc.Manager();
    const QString name = nodes.isEmpty()     ? EditorTexts::RemoveLink
                         : nodes.size() == 1 ? EditorTexts::RemoveNode
                                             : EditorTexts::RemoveNodes;
    CEditStep step(m, name);
    // detach first: removing a node takes the links on its ports with it
    for (int id : std::as_const(detached)) {
        const CKELMethod *n = node(id);
        if (n && n->ParentId())
            m.LinkNode(0, id);
    }
    QList<int> present;
    for (int id : std::as_const(nodes)) {
        if (node(id))
            present.append(id);
    }
    if (!present.isEmpty())
        m.RemoveNodes(present, choice == CRemoveChoice::WholeSubtree ? CKELDataManager::RemoveMode::Subtree
                                                                     : CKELDataManager::RemoveMode::KeepChildren);
}

bool CTessel1View::ChangeBehavior(int nodeId)
{
    if (m_doc.IsReadOnly())
        return false;
    const CKELMethod *n = node(nodeId);
    const CKELTree *t = tree();
    if (!n || !t || !m_dialogs || !m_dialogs->nodeAttributes)
        return false;
    CNodeAttributes attributes = CNodeAttributes::Of(*n);
    if (!m_dialogs->nodeAttributes(this, *t, attributes, false))
        return false;
    // the dialog may have run a while; the node may have gone meanwhile
    if (!node(nodeId) || attributes == CNodeAttributes::Of(*node(nodeId)))
        return false;
    CEditStep step(m_doc.Manager(), EditorTexts::ChangeBehavior);
    return m_doc.Manager().ChangeNode(nodeId, attributes);
}

bool CTessel1View::EditExtraInfo(int nodeId)
{
    if (m_doc.IsReadOnly())
        return false;
    const CKELMethod *n = node(nodeId);
    if (!n || !m_dialogs || !m_dialogs->extraInfo)
        return false;
    QStringList tags = n->extraInfoTags;
    QStringList names = n->extraInfoNames;
    if (!m_dialogs->extraInfo(this, tags, names))
        return false;
    n = node(nodeId);
    if (!n || (tags == n->extraInfoTags && names == n->extraInfoNames))
        return false;
    CNodeAttributes attributes = CNodeAttributes::Of(*n);
    attributes.extraInfoTags = tags;
    attributes.extraInfoNames = names;
    CEditStep step(m_doc.Manager(), EditorTexts::ExtraInfo);
    return m_doc.Manager().ChangeNode(nodeId, attributes);
}

void CTessel1View::ToggleCollapse(int nodeId)
{
    if (node(nodeId))
        m_doc.SetCollapsed(nodeId, !m_doc.IsCollapsed(nodeId));
}

// ---- Auto-arrange --------------------------------------------------------

void CTessel1View::onActionExecuted(const CCanvasAction *action)
{
    if (!action)
        return;
    switch (action->ActionKind()) {
    case CCanvasAction::Move:
    case CCanvasAction::Align:
    case CCanvasAction::Resize: scheduleAutoArrange(action->AffectedKeys()); break;
    default: break; // a layout pass must not start another one
    }
}

void CTessel1View::scheduleAutoArrange(const QList<int> &nodeIds)
{
    if (!m_autoRearrange || nodeIds.isEmpty())
        return;
    for (int id : nodeIds)
        m_pendingArrange.insert(id);
    if (m_arrangeQueued)
        return;
    m_arrangeQueued = true;
    QTimer::singleShot(0, this, &CTessel1View::runAutoArrange);
}

void CTessel1View::runAutoArrange()
{
    m_arrangeQueued = false;
    const QSet<int> pending = std::exchange(m_pendingArrange, {});
    const CKELTree *t = tree();
    if (!m_autoRearrange || !t)
        return;
    // every touched tree once, anchored at its root
    const CTreeLayout layout(*t);
    CLayoutResult all;
    QSet<int> roots;
    for (int id : pending) {
        const CKELMethod *n = node(id);
        if (!n)
            continue;
        const CKELMethod *root = n;
        for (qsizetype guard = t->ChildCount(); guard > 0 && root->ParentId(); --guard) {
            const CKELMethod *up = node(root->ParentId());
            if (!up)
                break;
            root = up;
        }
        if (roots.contains(root->GetId()))
            continue;
        roots.insert(root->GetId());
        const CLayoutResult r = layout.RearrangeSubtree(root->GetId(), true);
        all.moves += r.moves;
        all.extent = QPoint(std::max(all.extent.x(), r.extent.x()), std::max(all.extent.y(), r.extent.y()));
    }
    applyLayout(all, EditorTexts::AutoArrangeTree);
}
