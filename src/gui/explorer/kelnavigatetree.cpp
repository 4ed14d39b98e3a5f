#include "kelnavigatetree.h"

#include "explorertooltip.h"

#include "explorerdrag.h"
#include "explorericons.h"
#include "model/explorerlisting.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMenu>
#include <QMimeData>
#include <QSignalBlocker>
#include <QToolTip>

#include <vector>

namespace {

bool isDraggable(int typeCode)
{
    return typeCode == KEL::Method || typeCode == KEL::State || typeCode == KEL::RBT;
}

} // namespace

CKELNavigateTree::CKELNavigateTree(CKELDataManager &manager, QWidget *parent) : QTreeWidget(parent), m_manager(manager)
{
    setObjectName(QStringLiteral("SolutionExplorer"));
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setIconSize(QSize(20, 20));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setExpandsOnDoubleClick(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    header()->setStretchLastSection(false);
    m_widthTimer.setSingleShot(true);
    m_widthTimer.setInterval(0);
    connect(&m_widthTimer, &QTimer::timeout, this, &CKELNavigateTree::fitWidth);
    connect(this, &QTreeWidget::itemExpanded, this, &CKELNavigateTree::scheduleWidth);
    connect(this, &QTreeWidget::itemCollapsed, this, &CKELNavigateTree::scheduleWidth);

    connect(&m_manager, &CKELDataManager::solutionReplaced, this, &CKELNavigateTree::Rebuild);
    connect(&m_manager, &CKELDataManager::elementAdded, this, &CKELNavigateTree::onAdded);
    connect(&m_manager, &CKELDataManager::elementChanged, this, &CKELNavigateTree::onChanged);
    connect(&m_manager, &CKELDataManager::elementAboutToBeRemoved, this, &CKELNavigateTree::onAboutToBeRemoved);
    connect(&m_manager, &CKELDataManager::currentVersionChanged, this, &CKELNavigateTree::onCurrentVersionChanged);
    connect(&m_manager, &CKELDataManager::modifiedChanged, this, &CKELNavigateTree::onModifiedChanged);
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) { Activate(item); });
    Rebuild();
}

CKELNavigateTree::~CKELNavigateTree() = default;

int CKELNavigateTree::ElementIdOf(const QTreeWidgetItem *item)
{
    return item ? item->data(0, Qt::UserRole).toInt() : 0;
}

CExplorerTarget CKELNavigateTree::TargetOf(const QTreeWidgetItem *item) const
{
    CExplorerTarget target;
    target.elementId = ElementIdOf(item);
    target.shownUnderId = item ? ElementIdOf(item->parent()) : 0;
    return target;
}

void CKELNavigateTree::setLabel(QTreeWidgetItem *item, const CKELData *element)
{
    const QString label = element->GetLabel();
    if (item->text(0) != label) {
        // The view looks each changed item up among all shown rows; a rename
        // that relabels thousands of nodes would pay that thousands of times.
        // One repaint of what is visible does the same.
        const QSignalBlocker quiet(model());
        item->setText(0, label);
        viewport()->update();
    }
    ++m_labelWrites;
    scheduleWidth();
}

void CKELNavigateTree::scheduleWidth()
{
    m_widthTimer.start();
}

void CKELNavigateTree::fitWidth()
{
    setColumnWidth(0, std::max(sizeHintForColumn(0), viewport()->width()));
}

void CKELNavigateTree::resizeEvent(QResizeEvent *event)
{
    QTreeWidget::resizeEvent(event);
    scheduleWidth();
}

QTreeWidgetItem *CKELNavigateTree::makeItem(const CKELData *element, bool isVirtual)
{
    auto *item = new QTreeWidgetItem(isVirtual ? VirtualItem : OwnItem);
    item->setText(0, element->GetLabel());
    item->setIcon(0, ExplorerIcons::Icon(element->GetImageIndex()));
    item->setData(0, Qt::UserRole, element->GetId());
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (isDraggable(element->GetTypeCode()))
        flags |= Qt::ItemIsDragEnabled;
    item->setFlags(flags);
    if (isVirtual)
        m_virtual[element->GetId()].append(item);
    else
        m_own.insert(element->GetId(), item);
    return item;
}

QTreeWidgetItem *CKELNavigateTree::buildSubtree(const CKELData *element)
{
    // built detached and handed to the view in one piece: far cheaper than
    // inserting a large solution row by row
    const QList<CExplorerRow> rows = ExplorerRows(element);
    std::vector<QTreeWidgetItem *> atDepth;
    QTreeWidgetItem *top = nullptr;
    for (const CExplorerRow &row : rows) {
        QTreeWidgetItem *item = makeItem(row.element, row.isVirtual);
        if (row.depth == 0) {
            top = item;
        } else {
            atDepth[size_t(row.depth - 1)]->addChild(item);
        }
        atDepth.resize(size_t(row.depth) + 1);
        atDepth[size_t(row.depth)] = item;
    }
    return top;
}

void CKELNavigateTree::Rebuild()
{
    m_rightClicked = nullptr;
    m_own.clear();
    m_virtual.clear();
    clear();
    const CKELSolution *solution = m_manager.Solution();
    if (!solution)
        return;
    m_own.reserve(m_manager.IdMap().size());
    if (QTreeWidgetItem *root = buildSubtree(solution))
        addTopLevelItem(root);
    expandTop();
    scheduleWidth();
}

void CKELNavigateTree::expandTop()
{
    // the solution, the project, its versions and the evolution trees open;
    // the folders of the current version open too
    const CKELSolution *solution = m_manager.Solution();
    if (!solution)
        return;
    auto expand = [this](const CKELData *e) {
        if (QTreeWidgetItem *item = e ? ItemOf(e->GetId()) : nullptr)
            item->setExpanded(true);
    };
    expand(solution);
    expand(solution->Project());
    if (const CKELProject *project = solution->Project()) {
        for (const auto &v : project->Children())
            expand(v.get());
    }
    if (const CKELVersion *current = m_manager.CurrentVersion()) {
        for (const auto &folder : current->Children())
            expand(folder.get());
    }
}

void CKELNavigateTree::RefreshLabels(int elementId)
{
    const CKELData *e = m_manager.Lookup(elementId);
    if (!e)
        return;
    if (QTreeWidgetItem *own = m_own.value(elementId)) {
        setLabel(own, e);
        own->setIcon(0, ExplorerIcons::Icon(e->GetImageIndex()));
    }
    const auto it = m_virtual.constFind(elementId);
    if (it != m_virtual.constEnd()) {
        for (QTreeWidgetItem *item : *it)
            setLabel(item, e);
    }
}

int CKELNavigateTree::ownedInsertIndex(const CKELData *element, const QTreeWidgetItem *parentItem) const
{
    const CKELData *parent = element->GetParent();
    // the usual case: the newest child, placed after the owned items
    if (parent->ChildCount() > 0 && parent->ChildAt(parent->ChildCount() - 1) == element) {
        int index = parentItem->childCount();
        while (index > 0 && parentItem->child(index - 1)->type() == VirtualItem)
            --index;
        return index;
    }
    int index = 0;
    for (const auto &c : parent->Children()) {
        if (c.get() == element)
            break;
        const QTreeWidgetItem *item = m_own.value(c->GetId());
        if (item && item->parent() == parentItem)
            ++index;
    }
    return index;
}

void CKELNavigateTree::onAdded(int id)
{
    const CKELData *e = m_manager.Lookup(id);
    if (!e)
        return;
    if (e == m_manager.Solution()) {
        Rebuild();
        return;
    }
    const CKELData *parent = e->GetParent();
    QTreeWidgetItem *parentItem = parent ? m_own.value(parent->GetId()) : nullptr;
    if (QTreeWidgetItem *own = m_own.value(id)) {
        if (own->parent() == parentItem) {
            onChanged(id);
            return;
        }
        removeItemTree(own); // moved to another owner
    }
    // Owners made along with it (a derived diagram's folder) may not have
    // been announced: show the highest of them under the nearest shown
    // ancestor, with everything below it.
    const CKELData *top = e;
    while (top->GetParent() && !m_own.contains(top->GetParent()->GetId()))
        top = top->GetParent();
    if (!top->GetParent())
        return; // outside the shown solution
    parentItem = m_own.value(top->GetParent()->GetId());
    QTreeWidgetItem *item = buildSubtree(top);
    parentItem->insertChild(ownedInsertIndex(top, parentItem), item);
    scheduleWidth();
    // elements that list it as a virtual child show it too
    for (int vparent : e->VParentIds()) {
        if (const CKELData *p = m_manager.Lookup(vparent))
            syncVirtualChildren(p);
    }
}

void CKELNavigateTree::syncVirtualChildren(const CKELData *element)
{
    QTreeWidgetItem *own = m_own.value(element->GetId());
    if (!own)
        return;
    QList<int> wanted;
    for (int id : element->VChildIds()) {
        if (m_manager.Lookup(id))
            wanted.append(id);
    }
    // virtual items follow the owned ones
    int first = own->childCount();
    while (first > 0 && own->child(first - 1)->type() == VirtualItem)
        --first;
    QList<int> shown;
    for (int i = first; i < own->childCount(); ++i)
        shown.append(ElementIdOf(own->child(i)));
    if (shown == wanted)
        return;
    while (own->childCount() > first) {
        QTreeWidgetItem *item = own->child(own->childCount() - 1);
        removeItemTree(item);
    }
    for (int id : std::as_const(wanted))
        own->addChild(makeItem(m_manager.Lookup(id), true));
    scheduleWidth();
}

void CKELNavigateTree::onChanged(int id)
{
    const CKELData *e = m_manager.Lookup(id);
    if (!e)
        return;
    RefreshLabels(id);
    syncVirtualChildren(e);
}

void CKELNavigateTree::forget(QTreeWidgetItem *item)
{
    if (item == m_rightClicked)
        m_rightClicked = nullptr;
    const int id = ElementIdOf(item);
    if (item->type() == VirtualItem) {
        auto it = m_virtual.find(id);
        if (it != m_virtual.end()) {
            it->removeOne(item);
            if (it->isEmpty())
                m_virtual.erase(it);
        }
    } else {
        auto it = m_own.find(id);
        if (it != m_own.end() && it.value() == item)
            m_own.erase(it);
    }
}

void CKELNavigateTree::removeItemTree(QTreeWidgetItem *top)
{
    // forget every item below first; elements that lose their own item
    // lose their virtual items elsewhere too
    std::vector<QTreeWidgetItem *> stack{top};
    QList<int> gone;
    while (!stack.empty()) {
        QTreeWidgetItem *item = stack.back();
        stack.pop_back();
        if (item->type() == OwnItem && m_own.value(ElementIdOf(item)) == item)
            gone.append(ElementIdOf(item));
        forget(item);
        for (int i = 0; i < item->childCount(); ++i)
            stack.push_back(item->child(i));
    }
    std::unique_ptr<QTreeWidgetItem> owned(top->parent() ? top->parent()->takeChild(top->parent()->indexOfChild(top))
                                                         : takeTopLevelItem(indexOfTopLevelItem(top)));
    owned.reset();
    for (int id : std::as_const(gone)) {
        const QList<QTreeWidgetItem *> elsewhere = m_virtual.take(id);
        for (QTreeWidgetItem *item : elsewhere) {
            if (item == m_rightClicked)
                m_rightClicked = nullptr;
            std::unique_ptr<QTreeWidgetItem> v(item->parent()->takeChild(item->parent()->indexOfChild(item)));
        }
    }
}

void CKELNavigateTree::removeElementItems(int id)
{
    if (QTreeWidgetItem *own = m_own.value(id)) {
        removeItemTree(own);
        return;
    }
    const QList<QTreeWidgetItem *> virtuals = m_virtual.value(id);
    for (QTreeWidgetItem *item : virtuals)
        removeItemTree(item);
}

void CKELNavigateTree::onAboutToBeRemoved(int id)
{
    const CKELData *e = m_manager.Lookup(id);
    if (e && e == m_manager.Solution()) {
        Rebuild();
        return;
    }
    removeElementItems(id);
}

void CKELNavigateTree::onCurrentVersionChanged(int previousId, int currentId)
{
    RefreshLabels(previousId);
    RefreshLabels(currentId);
}

void CKELNavigateTree::onModifiedChanged()
{
    if (const CKELSolution *s = m_manager.Solution())
        RefreshLabels(s->GetId());
}

std::unique_ptr<QMenu> CKELNavigateTree::ContextMenuFor(QTreeWidgetItem *item)
{
    const CKELData *e = m_manager.Lookup(ElementIdOf(item));
    if (!e)
        return nullptr;
    const int typeCode = e->GetTypeCode();
    const QStringList shown = m_menu.Shown(typeCode);
    if (shown.isEmpty())
        return nullptr;
    m_rightClicked = item;
    auto menu = std::make_unique<QMenu>(this);
    const CExplorerTarget target = TargetOf(item);
    for (const QString &command : shown) {
        if (command.isEmpty()) {
            menu->addSeparator();
            continue;
        }
        QAction *action = menu->addAction(command);
        if (const CExplorerMenu::CheckState state = m_menu.CheckStateOf(typeCode, command)) {
            action->setCheckable(true);
            action->setChecked(state(target));
        }
        // the ids say what was meant, even if the item is gone by then
        connect(action, &QAction::triggered, this, [this, typeCode, command, target] {
            if (m_manager.Lookup(target.elementId))
                m_menu.Run(typeCode, command, target);
        });
    }
    return menu;
}

void CKELNavigateTree::contextMenuEvent(QContextMenuEvent *event)
{
    QTreeWidgetItem *item = nullptr;
    QPoint at = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        // the menu key acts on the current item, below its text
        item = currentItem();
        if (item)
            at = viewport()->mapToGlobal(visualItemRect(item).bottomLeft());
    } else {
        item = itemAt(viewport()->mapFromGlobal(at));
    }
    if (!item)
        return;
    setCurrentItem(item);
    if (std::unique_ptr<QMenu> menu = ContextMenuFor(item))
        menu->exec(at);
}

void CKELNavigateTree::Activate(QTreeWidgetItem *item)
{
    const CKELData *e = m_manager.Lookup(ElementIdOf(item));
    if (!e)
        return;
    switch (e->GetTypeCode()) {
    case KEL::Requirement:
    case KEL::Component:
    case KEL::RBT:
    case KEL::DBT:
    case KEL::EVT:
    case KEL::CBT:
    case KEL::CIN:
    case KEL::CID: emit elementActivated(e->GetTypeCode(), TargetOf(item)); break;
    default:
        // what has nothing to open opens and closes like a folder
        item->setExpanded(!item->isExpanded());
        break;
    }
}

bool CKELNavigateTree::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const QTreeWidgetItem *item = itemAt(help->pos());
        const CKELData *e = item ? m_manager.Lookup(ElementIdOf(item)) : nullptr;
        if (!e) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        // looked up when asked: a description may change at any time
        const QRect area = visualItemRect(item);
        QToolTip::showText(help->globalPos(), ExplorerToolTip::For(m_manager, *e), viewport(), area);
        return true;
    }
    return QTreeWidget::viewportEvent(event);
}

QStringList CKELNavigateTree::mimeTypes() const
{
    return {ExplorerDrag::MimeType()};
}

QMimeData *CKELNavigateTree::mimeData(const QList<QTreeWidgetItem *> &items) const
{
    if (items.size() != 1)
        return nullptr;
    const CKELData *e = m_manager.Lookup(ElementIdOf(items.first()));
    if (!e || !isDraggable(e->GetTypeCode()))
        return nullptr;
    ExplorerDrag::Payload payload;
    payload.elementId = e->GetId();
    payload.shownUnderId = ElementIdOf(items.first()->parent());
    payload.typeCode = e->GetTypeCode();
    auto data = std::make_unique<QMimeData>();
    data->setData(ExplorerDrag::MimeType(), ExplorerDrag::Encode(payload));
    data->setText(e->GetLabel());
    return data.release();
}
