#include "tessel1view.h"

#include "editortexts.h"
#include "kellinkshape.h"
#include "kelnodeshape.h"
#include "tessel1doc.h"

#include "canvas/canvasactions.h"
#include "canvas/canvasscene.h"
#include "edit/editstep.h"
#include "explorer/explorerdrag.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/kelrequirement.h"
#include "model/keltree.h"
#include "model/treeops.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QHash>
#include <QMenu>
#include <QMimeData>

#include <algorithm>

CTessel1View::CTessel1View(CTessel1Doc &doc, QWidget *parent) : CCanvasView(&doc.Scene(), parent), m_doc(doc)
{
    setAcceptDrops(true);
    connect(&doc.Scene(), &CCanvasScene::actionExecuted, this, &CTessel1View::onActionExecuted);
    connect(&doc, &CTessel1Doc::structureChanged, this, &CTessel1View::scheduleAutoArrange);
    // canvas items have no accessible objects of their own: the view names
    // what is selected, and assistive tools hear each change
    setAccessibleName(QStringLiteral("Tree canvas"));
    connect(&doc.Scene(), &CCanvasScene::selectionOrderChanged, this, &CTessel1View::announceSelection);
    announceSelection();
}

CTessel1View::~CTessel1View() = default;

void CTessel1View::announceSelection()
{
    const QList<int> ids = SelectedNodeIds();
    QString text = QStringLiteral("No node selected");
    if (ids.size() == 1) {
        if (const CKELMethod *n = node(ids.first())) {
            text = QStringList{CKELNodeShape::TagText(*n), CKELNodeShape::ComText(*n), CKELNodeShape::StaText(*n)}
                       .join(u' ')
                       .simplified();
        }
    } else if (ids.size() > 1) {
        text = QStringLiteral("%1 nodes selected").arg(ids.size());
    }
    if (text == accessibleDescription())
        return;
    setAccessibleDescription(text);
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

int CTessel1View::ViewKind() const
{
    return m_doc.ViewKind();
}

// ---- Selection -----------------------------------------------------------

QList<int> CTessel1View::SelectedNodeIds() const
{
    QList<int> ids;
    for (QGraphicsItem *i : m_doc.Scene().SelectionOrder()) {
        if (const auto *shape = dynamic_cast<const CKELNodeShape *>(i))
            ids.append(shape->NodeId());
    }
    return ids;
}

void CTessel1View::SelectAllNodes()
{
    CCanvasScene &scene = m_doc.Scene();
    {
        const QSignalBlocker block(scene);
        scene.clearSelection();
        for (CKELNodeShape *shape : m_doc.NodeShapes()) {
            if (shape->isVisible())
                shape->setSelected(true);
        }
    }
    // one notice for the whole selection
    emit scene.selectionChanged();
}

int CTessel1View::SingleSelectedNode() const
{
    const CCanvasScene &scene = m_doc.Scene();
    if (scene.SelectionCount() != 1)
        return 0;
    const auto *shape = dynamic_cast<const CKELNodeShape *>(scene.GetCurrentSelectShape());
    return shape ? shape->NodeId() : 0;
}

void CTessel1View::SelectNode(int nodeId, bool centre)
{
    CKELNodeShape *shape = m_doc.NodeShape(nodeId);
    if (!shape)
        return;
    m_doc.Scene().SelectOnly(shape);
    if (centre)
        centerOn(shape);
    else
        ensureVisible(shape, 20, 20);
}

bool CTessel1View::SelectRelative(Step step)
{
    const CKELTree *t = tree();
    if (!t)
        return false;
    const int current = SingleSelectedNode();
    const CKELMethod *n = current ? node(current) : nullptr;
    int target = 0;
    if (!n) {
        // nothing chosen yet: start at the first tree's root
        const QList<const CKELMethod *> roots = t->Roots();
        target = roots.isEmpty() ? 0 : roots.first()->GetId();
    } else {
        switch (step) {
        case Step::Parent: target = node(n->ParentId()) ? n->ParentId() : 0; break;
        case Step::FirstChild:
            if (!m_doc.IsCollapsed(current)) {
                for (int c : n->ChildIds()) {
                    if (node(c)) {
                        target = c;
                        break;
                    }
                }
            }
            break;
        case Step::PreviousSibling:
        case Step::NextSibling: {
            QList<int> siblings;
            if (const CKELMethod *p = node(n->ParentId())) {
                siblings = p->ChildIds();
            } else {
                for (const CKELMethod *r : t->Roots())
                    siblings.append(r->GetId());
            }
            const qsizetype at = siblings.indexOf(current);
            const qsizetype next = step == Step::NextSibling ? at + 1 : at - 1;
            if (at >= 0 && next >= 0 && next < siblings.size())
                target = siblings[next];
            break;
        }
        }
    }
    if (!target || !m_doc.IsShown(target))
        return false;
    SelectNode(target, false);
    return true;
}

bool CTessel1View::FindNext(const QString &text)
{
    m_findText = text;
    const CKELTree *t = tree();
    if (!t || text.isEmpty())
        return false;
    QList<const CKELMethod *> order;
    for (const CKELMethod *root : t->Roots())
        order += TreeOps::PreOrder(m_doc.Manager(), root);
    auto matches = [&text](const CKELMethod *n) {
        return n->requirementTag.contains(text, Qt::CaseInsensitive) || n->component.contains(text, Qt::CaseInsensitive)
               || n->behavior.contains(text, Qt::CaseInsensitive);
    };
    const int current = SingleSelectedNode();
    qsizetype start = 0;
    for (qsizetype i = 0; current && i < order.size(); ++i) {
        if (order[i]->GetId() == current) {
            start = i + 1;
            break;
        }
    }
    for (qsizetype k = 0; k < order.size(); ++k) {
        const CKELMethod *n = order[(start + k) % order.size()];
        if (!matches(n))
            continue;
        // a match inside a collapsed subtree is brought into view
        qsizetype guard = order.size();
        for (const CKELMethod *up = node(n->ParentId()); up && guard-- > 0; up = node(up->ParentId())) {
            if (m_doc.IsCollapsed(up->GetId()))
                m_doc.SetCollapsed(up->GetId(), false);
        }
        SelectNode(n->GetId(), true);
        return true;
    }
    return false;
}

// ---- Context menu --------------------------------------------------------

std::unique_ptr<QMenu> CTessel1View::CreateContextMenu(const QPointF &scenePos)
{
    const int kind = ViewKind();
    if (kind != CTessel1Doc::RbtView && kind != CTessel1Doc::DbtView)
        return nullptr;
    QGraphicsItem *item = m_doc.Scene().ShapeAt(scenePos);
    const auto *nodeShape = dynamic_cast<const CKELNodeShape *>(item);
    const bool rbt = kind == CTessel1Doc::RbtView;
    QString name;
    if (!item)
        name = rbt ? EditorTexts::MenuRbtNoWhere : EditorTexts::MenuDbtNoWhere;
    else if (nodeShape)
        name = rbt ? EditorTexts::MenuRbtNode : EditorTexts::MenuDbtNode;
    else
        name = EditorTexts::MenuLink;

    auto menu = std::make_unique<QMenu>(name, this);
    menu->setObjectName(name);
    // "Remove" acts on the selection; a click outside it means the clicked shape
    auto removeClicked = [this, item] {
        if (item && !m_doc.Scene().SelectionOrder().contains(item))
            m_doc.Scene().SelectOnly(item);
        OnDelete();
    };
    const int nodeId = nodeShape ? nodeShape->NodeId() : 0;
    // the keys the view answers to are shown beside their entries, and
    // each entry says in the status bar what it does
    auto described = [](QAction *a, const QString &tip, const QKeySequence &key = QKeySequence()) {
        a->setStatusTip(tip);
        if (!key.isEmpty()) {
            a->setShortcut(key);
            a->setShortcutVisibleInContextMenu(true);
        }
    };
    if (!item) {
        const QPoint at = scenePos.toPoint();
        described(menu->addAction(EditorTexts::AddNode, this, [this, at] { AddNodeAt(at, 0); }), tr("Add a node here"),
                  QKeySequence(Qt::Key_Insert));
        QAction *paste = menu->addAction(EditorTexts::Paste, this, [this, at] { PasteAt(at, 0); });
        described(paste, tr("Paste the copied nodes as a new tree here"));
        paste->setEnabled(CanPaste());
        described(menu->addAction(EditorTexts::RearrangeAll, this, [this] { RearrangeAll(); }),
                  tr("Lay out every tree of the window"));
    } else if (nodeShape) {
        described(menu->addAction(EditorTexts::CreateChildNode, this, [this, nodeId] { CreateChildNode(nodeId); }),
                  tr("Add a node below this one"), QKeySequence(Qt::Key_Insert));
        described(menu->addAction(EditorTexts::ChangeBehavior, this, [this, nodeId] { ChangeBehavior(nodeId); }),
                  tr("Change the node's component, behavior and tag"), QKeySequence(Qt::Key_F2));
        described(menu->addAction(EditorTexts::ExtraInfo, this, [this, nodeId] { EditExtraInfo(nodeId); }),
                  tr("Edit the rows shown below the node"));
        described(menu->addAction(EditorTexts::Remove, this, removeClicked), tr("Remove the selected nodes"),
                  QKeySequence(Qt::Key_Delete));
        menu->addSeparator();
        described(menu->addAction(EditorTexts::Cut, this, [this] { CutSelection(); }),
                  tr("Copy the selected nodes and remove them"));
        described(menu->addAction(EditorTexts::Copy, this, [this] { CopySelection(); }),
                  tr("Copy the selected nodes with everything below them"));
        QAction *paste = menu->addAction(EditorTexts::Paste, this, [this, nodeId] { PasteAt(QPoint(), nodeId); });
        described(paste, tr("Paste the copied nodes below this one"));
        paste->setEnabled(CanPaste());
        described(menu->addAction(EditorTexts::Duplicate, this, [this] { DuplicateSelection(); }),
                  tr("Place a copy of the selected nodes beside them"));
        menu->addSeparator();
        described(
            menu->addAction(EditorTexts::RearrangeSubtree, this, [this, nodeId] { RearrangeSubtree(nodeId, false); }),
            tr("Lay out the nodes below this one"));
        QAction *collapse =
            menu->addAction(EditorTexts::CollapseSubtree, this, [this, nodeId] { ToggleCollapse(nodeId); });
        described(collapse, tr("Hide or show the nodes below this one"));
        collapse->setCheckable(true);
        collapse->setChecked(m_doc.IsCollapsed(nodeId));
    } else {
        described(menu->addAction(EditorTexts::Remove, this, removeClicked), tr("Remove the selected link"),
                  QKeySequence(Qt::Key_Delete));
    }
    addMenuExtensions(*menu, name, nodeId, scenePos);
    return menu;
}

void CTessel1View::addMenuExtensions(QMenu &menu, const QString &menuName, int clickedNodeId, const QPointF &at)
{
    if (!m_menuCommands)
        return;
    bool first = true;
    QHash<QString, QMenu *> submenus;
    for (const CViewMenuCommand &c : *m_menuCommands) {
        if (c.menu != menuName || !c.run)
            continue;
        if (first)
            menu.addSeparator();
        first = false;
        QMenu *target = &menu;
        if (!c.submenu.isEmpty()) {
            QMenu *&sub = submenus[c.submenu];
            if (!sub)
                sub = menu.addMenu(c.submenu);
            target = sub;
        }
        const auto run = c.run;
        QAction *a = target->addAction(c.text, this, [this, run, clickedNodeId, at] { run(*this, clickedNodeId, at); });
        if (c.checked) {
            a->setCheckable(true);
            a->setChecked(c.checked(*this));
        }
    }
}

void CTessel1View::contextMenuEvent(QContextMenuEvent *event)
{
    const QPointF at = mapToScene(event->pos());
    if (QGraphicsItem *item = m_doc.Scene().ShapeAt(at); item && !item->isSelected())
        m_doc.Scene().SelectOnly(item);
    if (std::unique_ptr<QMenu> menu = CreateContextMenu(at))
        menu->exec(event->globalPos());
    event->accept();
}

void CTessel1View::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPointF at = mapToScene(event->position().toPoint());
    if (const auto *shape = dynamic_cast<const CKELNodeShape *>(m_doc.Scene().CompositeAt(at))) {
        ChangeBehavior(shape->NodeId());
        event->accept();
        return;
    }
    CCanvasView::mouseDoubleClickEvent(event);
}

void CTessel1View::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Find)) {
        emit findRequested();
    } else if (event->matches(QKeySequence::FindNext)) {
        FindNext(m_findText);
    } else if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
        CCanvasView::keyPressEvent(event);
        return;
    } else {
        const auto &keys = KeyCommands();
        const auto command =
            std::find_if(keys.begin(), keys.end(), [event](const KeyCommand &k) { return k.key == event->key(); });
        if (command == keys.end()) {
            CCanvasView::keyPressEvent(event);
            return;
        }
        command->run(*this);
    }
    event->accept();
}

const QList<CTessel1View::KeyCommand> &CTessel1View::KeyCommands()
{
    static const QList<KeyCommand> keys{
        {Qt::Key_Delete, QStringLiteral("Remove the selected nodes and links"), [](CTessel1View &v) { v.OnDelete(); }},
        {Qt::Key_F2, QStringLiteral("Change the selected node"),
         [](CTessel1View &v) {
             if (const int id = v.SingleSelectedNode())
                 v.ChangeBehavior(id);
         }},
        {Qt::Key_Insert, QStringLiteral("Add a child to the selected node, or a node"),
         [](CTessel1View &v) {
             if (const int id = v.SingleSelectedNode())
                 v.CreateChildNode(id);
             else
                 v.OnAddNode();
         }},
        {Qt::Key_Up, QStringLiteral("Select the parent"), [](CTessel1View &v) { v.SelectRelative(Step::Parent); }},
        {Qt::Key_Down, QStringLiteral("Select the first child"),
         [](CTessel1View &v) { v.SelectRelative(Step::FirstChild); }},
        {Qt::Key_Left, QStringLiteral("Select the previous sibling"),
         [](CTessel1View &v) { v.SelectRelative(Step::PreviousSibling); }},
        {Qt::Key_Right, QStringLiteral("Select the next sibling"),
         [](CTessel1View &v) { v.SelectRelative(Step::NextSibling); }},
    };
    return keys;
}

// ---- Drops from the explorer ---------------------------------------------

bool CTessel1View::AcceptsDrop(int elementId) const
{
    const CKELData *e = m_doc.Manager().Lookup(elementId);
    const CKELTree *t = tree();
    if (!e || !t || !treeIdForEdits())
        return false;
    const int treeType = t->GetTypeCode();
    const bool takesNodes = treeType == KEL::RBT || treeType == KEL::DBT || treeType == KEL::EVT;
    switch (e->GetTypeCode()) {
    case KEL::Method:
    case KEL::State: return takesNodes;
    case KEL::RBT: return ViewKind() == CTessel1Doc::DbtView && e != t;
    default: return false;
    }
}

bool CTessel1View::DropElement(int elementId, int shownUnderId, const QPointF &scenePos)
{
    if (!AcceptsDrop(elementId))
        return false;
    CKELDataManager &m = m_doc.Manager();
    const CKELData *e = m.Lookup(elementId);
    const int treeId = treeIdForEdits();
    const QPoint at(std::max(0, qRound(scenePos.x())), std::max(0, qRound(scenePos.y())));
    CEditStep step(m, e->GetTypeCode() == KEL::RBT ? QStringLiteral("Drop RBT") : QStringLiteral("Drop Node"));
    if (e->GetTypeCode() == KEL::RBT) {
        if (!m.CopyTree(treeId, elementId))
            return false;
        RearrangeAll();
        return true;
    }
    CNodeAttributes attributes;
    if (e->GetTypeCode() == KEL::Method) {
        attributes = CNodeAttributes::Of(*static_cast<const CKELMethod *>(e));
    } else {
        const auto *state = static_cast<const CKELState *>(e);
        attributes.component = state->GetParent() ? state->GetParent()->GetName() : QString();
        attributes.behavior = state->Behavior();
        attributes.behaviorType = state->BehaviorType();
        // a state dragged from under a requirement carries that requirement's tag
        if (const auto *req = m.LookupAs<CKELRequirement>(shownUnderId, KEL::Requirement))
            attributes.requirementTag = req->GetName();
    }
    return m.AddNode(treeId, 0, attributes, at.x(), at.y());
}

void CTessel1View::dragEnterEvent(QDragEnterEvent *event)
{
    const auto payload = ExplorerDrag::Decode(event->mimeData());
    if (payload && AcceptsDrop(payload->elementId))
        event->acceptProposedAction();
    else
        event->ignore();
}

void CTessel1View::dragMoveEvent(QDragMoveEvent *event)
{
    const auto payload = ExplorerDrag::Decode(event->mimeData());
    if (payload && AcceptsDrop(payload->elementId))
        event->acceptProposedAction();
    else
        event->ignore();
}

void CTessel1View::dropEvent(QDropEvent *event)
{
    const auto payload = ExplorerDrag::Decode(event->mimeData());
    if (!payload) {
        event->ignore();
        return;
    }
    if (DropElement(payload->elementId, payload->shownUnderId, mapToScene(event->position().toPoint())))
        event->acceptProposedAction();
    else
        event->ignore();
}
