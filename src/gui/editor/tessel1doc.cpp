#include "tessel1doc.h"

#include "editortexts.h"
#include "kellinkshape.h"
#include "kelnodeshape.h"

#include "canvas/canvasactions.h"
#include "canvas/canvasscene.h"
#include "canvas/colourscheme.h"
#include "canvas/compositeshape.h"
#include "derive/cbt.h"
#include "edit/editstep.h"
#include "edit/undohistory.h"
#include "layout/treelayout.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/prompt.h"
#include "model/treeops.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <vector>

CTessel1Doc::CTessel1Doc(CKELDataManager &manager, int treeId, QObject *parent)
    : QObject(parent)
    , m_manager(manager)
    , m_scene(new CCanvasScene(this))
    , m_treeId(treeId)
    , m_viewKind(RbtView)
{
    const CKELTree *tree = Tree();
    if (tree)
        m_viewKind = ViewKindOf(tree->GetTypeCode());
    m_scene->SetDelegate(this);
    m_scene->SetLinkPorts(CKELNodeShape::BottomPort, CKELNodeShape::TopPort);
    // layout places trees from the origin; the margin keeps them off the edge
    m_scene->SetMargin(kTreeMargin);
    followPages();

    m_building = true;
    Reconcile();
    m_building = false;

    connect(&m_manager, &CKELDataManager::elementAdded, this, &CTessel1Doc::onElementAdded);
    connect(&m_manager, &CKELDataManager::elementChanged, this, &CTessel1Doc::onElementChanged);
    connect(&m_manager, &CKELDataManager::elementAboutToBeRemoved, this, &CTessel1Doc::onElementAboutToBeRemoved);
    connect(&m_manager, &CKELDataManager::solutionReplaced, this, &CTessel1Doc::treeRemoved);
    // an undo or redo that moves many nodes (a layout's) reaches the canvas
    // as one change: links follow and holders change once
    connect(&m_manager.History(), &CUndoHistory::replayStarted, m_scene, &CCanvasScene::BeginBatch);
    connect(&m_manager.History(), &CUndoHistory::replayFinished, m_scene, &CCanvasScene::EndBatch);
    connect(&ColourScheme::Notifier(), &ColourScheme::CNotifier::changed, this, &CTessel1Doc::RefreshLooks);
}

void CTessel1Doc::RefreshLooks()
{
    CCanvasBatch batch(*m_scene);
    for (auto it = m_shapes.cbegin(); it != m_shapes.cend(); ++it)
        it.value()->RefreshFromModel(m_manager, m_marks.value(it.key(), 0), m_integrationMarks.CodeOf(it.key()));
    m_scene->update();
}

CTessel1Doc::~CTessel1Doc()
{
    // the scene's actions call back into this object through the delegate
    m_scene->SetDelegate(nullptr);
    // Items wait in a list of the scene's until the event loop polishes
    // them, and each removal searches that list: a drawing made without an
    // event loop (a report, a test) would take minutes to tear down.
    QCoreApplication::sendPostedEvents(m_scene, QEvent::MetaCall);
    m_scene->ClearCanvas();
}

int CTessel1Doc::ViewKindOf(int typeCode)
{
    switch (typeCode) {
    case KEL::DBT: return DbtView;
    case KEL::CBT: return CbtView;
    case KEL::CIN: return CinView;
    case KEL::CID: return CidView;
    case KEL::EVT: return EvtView;
    default: return RbtView;
    }
}

const CKELTree *CTessel1Doc::Tree() const
{
    const CKELData *e = m_manager.Lookup(m_treeId);
    return e && e->IsTree() ? static_cast<const CKELTree *>(e) : nullptr;
}

int CTessel1Doc::GetTreeId() const
{
    const CKELTree *tree = Tree();
    if (!tree)
        return 0;
    const QString &type = tree->GetType();
    return type == u"RBT" || type == u"DBT" || type == u"CBT" || type == u"EVT" ? tree->GetId() : 0;
}

QString CTessel1Doc::Title() const
{
    const CKELTree *tree = Tree();
    return tree ? tree->GetType() + QStringLiteral(": ") + tree->GetName() : QString();
}

CKELLinkShape *CTessel1Doc::LinkInto(int nodeId) const
{
    const CKELNodeShape *shape = NodeShape(nodeId);
    if (!shape)
        return nullptr;
    const QList<CLinkShape *> links = shape->GetLinksOnPort(CKELNodeShape::TopPort);
    return links.isEmpty() ? nullptr : static_cast<CKELLinkShape *>(links.first());
}

const CKELMethod *CTessel1Doc::nodeOfTree(int id) const
{
    const CKELTree *tree = Tree();
    return tree ? TreeOps::NodeOf(*tree, id) : nullptr;
}

// ---- Following the model -------------------------------------------------

CTessel1Doc::Look CTessel1Doc::lookOf(const CKELMethod &node) const
{
    Look l;
    l.attributes = CNodeAttributes::Of(node);
    l.evTags = node.EvTags();
    l.w = node.w;
    l.h = node.h;
    l.highlight = m_integrationMarks.CodeOf(node.GetId());
    l.evStyle = node.GetEvStyle();
    l.mark = SimulationMark(node.GetId());
    l.evolution = node.IsEvolution();
    return l;
}

// Every field lookOf reads, compared where it lies: a node that only moved
// (a layout reports every node) builds nothing. A field added to the
// attributes changes their size, and this comparison must take it in.
static_assert(sizeof(void *) != 8 || sizeof(CNodeAttributes) == 208,
              "compare the new node attribute in CTessel1Doc::lookMatches");

bool CTessel1Doc::lookMatches(const Look &l, const CKELMethod &node) const
{
    const CNodeAttributes &a = l.attributes;
    return l.w == node.w && l.h == node.h && l.evStyle == node.GetEvStyle() && l.evolution == node.IsEvolution()
           && l.mark == SimulationMark(node.GetId()) && l.highlight == m_integrationMarks.CodeOf(node.GetId())
           && a.behaviorType == node.behaviorType && a.jumpType == node.jumpType && a.missType == node.missType
           && a.doubleLine == node.doubleLine && a.nonDeterministic == node.nonDeterministic && a.atomic == node.atomic
           && a.setOperation == node.setOperation && a.hasExtendedTag == node.hasExtendedTag
           && a.displayExtendedTag == node.displayExtendedTag && a.displayExtraInfo == node.displayExtraInfo
           && a.component == node.component && a.behavior == node.behavior && a.requirementTag == node.requirementTag
           && a.qualifier == node.qualifier && a.extendedTag == node.extendedTag
           && a.extraInfoTags == node.extraInfoTags && a.extraInfoNames == node.extraInfoNames
           && l.evTags == node.EvTags();
}

void CTessel1Doc::Reconcile()
{
    const CKELTree *tree = Tree();
    if (!tree)
        return;
    const CCanvasBatch batch(*m_scene);
    const QList<const CKELMethod *> nodes = tree->Nodes();
    QSet<int> present;
    present.reserve(nodes.size());
    for (const CKELMethod *n : nodes)
        present.insert(n->GetId());
    for (int id : m_shapes.keys()) {
        if (!present.contains(id))
            removeNodeShape(id);
    }
    m_shapes.reserve(nodes.size());
    m_looks.reserve(nodes.size());
    // every box first, then every link once: a link needs both its boxes
    for (const CKELMethod *n : nodes) {
        if (IsDrawn(*n))
            syncNode(*n, false);
        else if (m_shapes.contains(n->GetId()))
            removeNodeShape(n->GetId());
    }
    for (const CKELMethod *n : nodes)
        syncLink(*n);
    updateVisibility();
}

bool CTessel1Doc::IsDrawn(const CKELMethod &node) const
{
    if (m_viewKind != CbtView)
        return true;
    const CKELTree *tree = Tree();
    return !tree || IsDrawnIn(*tree, node);
}

bool CTessel1Doc::IsDrawnIn(const CKELTree &tree, const CKELMethod &node)
{
    if (tree.GetTypeCode() != KEL::CBT)
        return true;
    const auto &cbt = static_cast<const CKELCBT &>(tree);
    return Cbt::InitShown(cbt) || Cbt::InitNode(cbt) != &node;
}

void CTessel1Doc::syncNode(const CKELMethod &node, bool links)
{
    const int id = node.GetId();
    CKELNodeShape *shape = NodeShape(id);
    if (!shape) {
        Look look = lookOf(node);
        shape = new CKELNodeShape(id);
        shape->RefreshFromModel(m_manager, look.mark, look.highlight);
        shape->setPos(ShownPlace(node));
        shape->SetCollapsed(m_collapsed.contains(id));
        m_shapes.insert(id, shape);
        m_looks.emplace(id, std::move(look));
        m_scene->AddShape(shape);
        noteStructure(id);
    } else {
        auto known = m_looks.find(id);
        if (known == m_looks.end() || !lookMatches(*known, node)) {
            Look look = lookOf(node);
            const QSize before = shape->OwnRect().size();
            const int rowsBefore = shape->ExtraInfoRows();
            shape->RefreshFromModel(m_manager, look.mark, look.highlight);
            m_looks.emplace(id, std::move(look));
            if (shape->OwnRect().size() != before || shape->ExtraInfoRows() != rowsBefore)
                noteStructure(id);
        }
        if (const QPoint at = ShownPlace(node); shape->pos() != QPointF(at))
            shape->setPos(at);
    }
    if (!links)
        return;
    syncLink(node);
    // a child is linked after it is announced, and the model then reports
    // the parent changed; children whose shapes came first wait for it too.
    // A child already hanging from this box has nothing to wait for: its own
    // changes reach its link through its own notice.
    const CPort *bottom = shape->GetPortByIndex(CKELNodeShape::BottomPort);
    const QList<int> &childIds = node.ChildIds();
    for (qsizetype i = 0; i < childIds.size(); ++i) {
        const int childId = childIds[i];
        // links mostly come in the order of the children: look there first
        if (bottom
            && ((i < bottom->links.size() && bottom->links[i]->EndKey() == childId)
                || std::any_of(bottom->links.cbegin(), bottom->links.cend(),
                               [childId](const CLinkShape *l) { return l->EndKey() == childId; })))
            continue;
        if (const CKELMethod *child = nodeOfTree(childId))
            syncLink(*child);
    }
}

void CTessel1Doc::syncLink(const CKELMethod &child)
{
    CKELNodeShape *childShape = NodeShape(child.GetId());
    if (!childShape)
        return;
    const int kind = child.atomic ? CKELLinkShape::Atomic : CKELLinkShape::Ordinary;
    const int status = child.GetEvStyle();
    const CPort *top = childShape->GetPortByIndex(CKELNodeShape::TopPort);
    auto *link = top && !top->links.isEmpty() ? static_cast<CKELLinkShape *>(top->links.first()) : nullptr;
    // a layout reports every node: a link that still joins the same two
    // boxes needs no look at the tree (keys name boxes one to one)
    if (link && child.ParentId() && link->GetStartShape() && link->StartKey() == child.ParentId()) {
        if (link->LinkKind() != kind || link->EvolutionStatus() != status)
            link->Configure(kind, status);
        return;
    }
    CKELNodeShape *parentShape =
        child.ParentId() && nodeOfTree(child.ParentId()) ? NodeShape(child.ParentId()) : nullptr;
    if (!link && !parentShape)
        return; // a root, drawn as one: nothing changed
    if (link && link->GetStartShape() == parentShape) {
        if (link->LinkKind() != kind || link->EvolutionStatus() != status)
            link->Configure(kind, status);
        return;
    }
    if (link) {
        // the tree the child leaves changed too
        if (const auto *formerParent = dynamic_cast<const CKELNodeShape *>(link->GetStartShape()))
            noteStructure(formerParent->NodeId());
        m_scene->RemoveLinkShape(link);
    }
    if (parentShape) {
        auto *made = new CKELLinkShape(parentShape, childShape, kind, status);
        made->setVisible(childShape->isVisible());
        m_scene->AddLinkShape(made);
    }
    noteStructure(child.GetId());
    if (child.ParentId())
        noteStructure(child.ParentId());
}

void CTessel1Doc::removeNodeShape(int id)
{
    m_scene->RemoveShape(id);
    m_shapes.remove(id);
    m_looks.remove(id);
    m_marks.remove(id);
    m_viewPlaces.remove(id);
    m_collapsed.remove(id);
}

QPoint CTessel1Doc::ShownPlace(const CKELMethod &node) const
{
    return m_viewPlaces.value(node.GetId(), QPoint(node.x, node.y));
}

void CTessel1Doc::noteStructure(int id)
{
    if (m_building)
        return;
    const bool first = m_pendingStructure.isEmpty();
    m_pendingStructure.insert(id);
    if (first) {
        // the model sends its signals while an edit is under way (a node is
        // announced before it is linked); report once the edit is complete
        QTimer::singleShot(0, this, [this] {
            const QList<int> ids(m_pendingStructure.begin(), m_pendingStructure.end());
            m_pendingStructure.clear();
            if (!m_collapsed.isEmpty() || m_hiddenShapes)
                updateVisibility();
            emit structureChanged(ids);
        });
    }
}

void CTessel1Doc::onElementAdded(int id)
{
    if (const CKELMethod *node = nodeOfTree(id); node && IsDrawn(*node))
        syncNode(*node);
}

void CTessel1Doc::onElementChanged(int id)
{
    if (id == m_treeId) {
        emit titleChanged(Title());
        followPages();
        // whole-tree edits (a copy into this tree) announce the tree only and
        // add nodes; a change of the page counts alone leaves every box as it is
        if (const CKELTree *tree = Tree()) {
            qsizetype drawn = 0;
            for (const auto &c : tree->Children())
                drawn += c->IsMethod() && IsDrawn(*static_cast<const CKELMethod *>(c.get()));
            if (drawn != m_shapes.size())
                Reconcile();
        }
        return;
    }
    if (const CKELMethod *node = nodeOfTree(id); node && IsDrawn(*node))
        syncNode(*node);
}

void CTessel1Doc::onElementAboutToBeRemoved(int id)
{
    if (m_shapes.contains(id)) {
        const CKELMethod *node = nodeOfTree(id);
        if (node) {
            if (node->ParentId())
                noteStructure(node->ParentId());
            for (int c : node->ChildIds())
                noteStructure(c);
        }
        removeNodeShape(id);
        return;
    }
    const CKELData *gone = m_manager.Lookup(id);
    const CKELTree *tree = Tree();
    if (gone && tree && (gone == tree || gone->IsAncestorOf(tree)))
        emit treeRemoved();
}

void CTessel1Doc::followPages()
{
    // the canvas shows the tree's pages, and more where boxes lie beyond
    // them; only an edit that needs the room changes the tree's counts
    const CKELTree *tree = Tree();
    if (!tree
        || !(tree->GetTypeCode() == KEL::RBT || tree->GetTypeCode() == KEL::DBT || tree->GetTypeCode() == KEL::EVT))
        return;
    const auto *rbt = static_cast<const CKELRBT *>(tree);
    const bool shrinks = rbt->PagesWide() < m_scene->PagesWide() || rbt->PagesHigh() < m_scene->PagesHigh();
    m_scene->SetPages(rbt->PagesWide(), rbt->PagesHigh());
    if (!shrinks)
        return; // every box already lies within reach
    m_scene->GrowToHoldShapes();
}

// ---- Collapsing ----------------------------------------------------------

bool CTessel1Doc::IsShown(int nodeId) const
{
    const CKELNodeShape *shape = NodeShape(nodeId);
    return shape && shape->isVisible();
}

void CTessel1Doc::SetCollapsed(int nodeId, bool on)
{
    CKELNodeShape *shape = NodeShape(nodeId);
    if (!shape || on == m_collapsed.contains(nodeId))
        return;
    if (on)
        m_collapsed.insert(nodeId);
    else
        m_collapsed.remove(nodeId);
    shape->SetCollapsed(on);
    updateVisibility();
}

void CTessel1Doc::updateVisibility()
{
    const CKELTree *tree = Tree();
    if (!tree || (m_collapsed.isEmpty() && !m_hiddenShapes))
        return;
    // walk every tree from its root, hiding what lies below a collapsed node
    std::vector<std::pair<const CKELMethod *, bool>> stack;
    for (const CKELMethod *root : tree->Roots())
        stack.emplace_back(root, false);
    QSet<int> seen;
    bool anyHidden = false;
    while (!stack.empty()) {
        const auto [node, hidden] = stack.back();
        stack.pop_back();
        if (seen.contains(node->GetId()))
            continue;
        seen.insert(node->GetId());
        if (CKELNodeShape *shape = NodeShape(node->GetId())) {
            shape->setVisible(!hidden);
            if (CKELLinkShape *link = LinkInto(node->GetId()))
                link->setVisible(!hidden);
        }
        anyHidden |= hidden;
        const bool childrenHidden = hidden || m_collapsed.contains(node->GetId());
        for (int c : node->ChildIds()) {
            if (const CKELMethod *child = nodeOfTree(c))
                stack.emplace_back(child, childrenHidden);
        }
    }
    m_hiddenShapes = anyHidden;
}

// ---- View state ----------------------------------------------------------

void CTessel1Doc::SetSimulationMark(int nodeId, int code)
{
    if (code == 0)
        m_marks.remove(nodeId);
    else
        m_marks.insert(nodeId, code);
    if (const CKELMethod *node = nodeOfTree(nodeId))
        syncNode(*node);
}

void CTessel1Doc::ClearSimulationMarks()
{
    const QList<int> marked = m_marks.keys();
    m_marks.clear();
    for (int id : marked) {
        if (const CKELMethod *node = nodeOfTree(id))
            syncNode(*node);
    }
}

// ---- Changes from the canvas ---------------------------------------------

int CTessel1Doc::recordWidthFor(const CKELMethod &node, int outerWidth)
{
    if (!(node.hasExtendedTag && node.displayExtendedTag))
        return outerWidth;
    // the record keeps the width without the extra tag column (a quarter of
    // it), so that a saved box never grows; find the width that draws as asked
    int best = outerWidth * 4 / 5;
    for (int w = best - 2; w <= best + 2; ++w) {
        if (w > 0 && std::abs(w + w / 4 - outerWidth) < std::abs(best + best / 4 - outerWidth))
            best = w;
    }
    return std::max(1, best);
}

bool CTessel1Doc::SetShapeGeometry(int key, const QPoint &pos, const QSize &size)
{
    return placeNodes({{key, pos, size}}, QString());
}

bool CTessel1Doc::RunAction(CCanvasAction &action)
{
    const auto *geometry = dynamic_cast<const CGeometryAction *>(&action);
    if (!geometry) {
        action.redo();
        return true;
    }
    QList<Place> places;
    places.reserve(geometry->Entries().size());
    for (const CGeometryAction::Entry &e : geometry->Entries())
        places.append({e.key, e.toPos, e.fromSize == e.toSize ? QSize() : e.toSize});
    return placeNodes(places, action.text());
}

bool CTessel1Doc::placeNodes(const QList<Place> &places, const QString &stepName)
{
    const CKELTree *tree = Tree();
    if (!tree)
        return false;
    const int treeId = tree->GetId();
    QList<CNodeGeometry> records;
    records.reserve(places.size());
    for (const Place &p : places) {
        const CKELMethod *node = nodeOfTree(p.key);
        const CKELNodeShape *shape = NodeShape(p.key);
        if (!node || !shape)
            continue;
        int w = node->w;
        int h = node->h;
        const QSize own = shape->OwnRect().size();
        if (p.size.isValid() && p.size.width() != own.width())
            w = recordWidthFor(*node, p.size.width());
        if (p.size.isValid() && p.size.height() != own.height())
            h = p.size.height();
        records.append({p.key, p.pos.x(), p.pos.y(), w, h});
    }
    if (records.isEmpty())
        return false;
    bool ok = true;
    if (!tree->IsPersistent()) {
        // a CBT is never written, so arranging it stays in this window and
        // never makes the solution look changed; its boxes keep their sizes
        for (const CNodeGeometry &g : std::as_const(records))
            m_viewPlaces.insert(g.id, QPoint(g.x, g.y));
    } else {
        CEditStep step(m_manager, stepName.isEmpty() ? tr("Move") : stepName);
        {
            // the model reports each node; the canvas follows them as one
            // change, and the room they need is known before the step ends
            const CCanvasBatch batch(*m_scene);
            ok = m_manager.SetNodesGeometry(treeId, records);
        }
        // the page counts are saved with the tree: room the edit needed is
        // part of the same step
        if (ok
            && (tree->GetTypeCode() == KEL::RBT || tree->GetTypeCode() == KEL::DBT
                || tree->GetTypeCode() == KEL::EVT)) {
            const auto *rbt = static_cast<const CKELRBT *>(tree);
            if (m_scene->PagesWide() > rbt->PagesWide() || m_scene->PagesHigh() > rbt->PagesHigh())
                m_manager.SetTreePages(treeId, std::max(m_scene->PagesWide(), rbt->PagesWide()),
                                       std::max(m_scene->PagesHigh(), rbt->PagesHigh()));
        }
    }
    // whatever the model said, the shapes show the records; a plain move has
    // only a place to put back
    for (const Place &p : places) {
        const CKELMethod *node = nodeOfTree(p.key);
        CKELNodeShape *shape = NodeShape(p.key);
        if (!node || !shape)
            continue;
        if (p.size.isValid())
            syncNode(*node);
        else if (const QPoint at = ShownPlace(*node); shape->pos() != QPointF(at))
            shape->setPos(at);
    }
    return ok;
}

bool CTessel1Doc::LinkNodes(int parentId, int childId)
{
    const CKELMethod *parent = nodeOfTree(parentId);
    const CKELMethod *child = nodeOfTree(childId);
    if (!parent || !child || child->ParentId() == parentId)
        return false;
    if (TreeOps::IsAncestorOrSelf(m_manager, child, parent)) {
        m_manager.Prompt().Message(EditorTexts::LinkMakesCycle);
        return false;
    }
    return m_manager.LinkNode(parentId, childId);
}

void CTessel1Doc::LinkRequested(int startKey, int endKey)
{
    if (!IsReadOnly())
        LinkNodes(startKey, endKey);
}

void CTessel1Doc::LinkCut(int startKey, int endKey)
{
    if (IsReadOnly()) {
        // the canvas took the link away; the derived tree still has it
        if (const CKELMethod *child = nodeOfTree(endKey))
            syncLink(*child);
        return;
    }
    const CKELMethod *child = nodeOfTree(endKey);
    if (child && child->ParentId() && child->ParentId() == startKey)
        m_manager.LinkNode(0, endKey);
}

// ---- Layout --------------------------------------------------------------

bool CTessel1Doc::ApplyLayout(const CLayoutResult &result, const QString &text)
{
    m_scene->GrowToReach(result.extent);
    QList<CGeometryAction::Entry> entries;
    entries.reserve(result.moves.size());
    for (const CLayoutMove &m : result.moves) {
        const CKELNodeShape *shape = NodeShape(m.nodeId);
        if (!shape || shape->pos().toPoint() == m.to)
            continue;
        const QSize size = shape->OwnRect().size();
        entries.append({m.nodeId, shape->pos().toPoint(), m.to, size, size});
    }
    if (entries.isEmpty())
        return false;
    return m_scene->Execute(std::make_unique<CGeometryAction>(*m_scene, CCanvasAction::Layout, text, entries));
}
