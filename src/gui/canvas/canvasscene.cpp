#include "canvasscene.h"

#include "colourscheme.h"

#include "canvasactions.h"
#include "compositeshape.h"
#include "linkshape.h"

#include <QGraphicsLineItem>
#include <QGraphicsSceneHelpEvent>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsView>
#include <QPainter>
#include <QSet>
#include <QTimer>
#include <QToolTip>
#include <QUndoStack>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {

// How close (in screen pixels) a press must come to a port or a link end
// to grab it.
constexpr qreal kGrabPixels = 6.0;

qreal grabReach(const QGraphicsSceneMouseEvent *event)
{
    const QWidget *viewport = event->widget();
    const auto *view = viewport ? qobject_cast<const QGraphicsView *>(viewport->parentWidget()) : nullptr;
    const qreal scale = view ? std::max<qreal>(view->transform().m11(), 1e-6) : 1.0;
    return kGrabPixels / scale;
}

int pagesFor(qint64 extent, int pageSize)
{
    if (extent <= 0)
        return 1;
    const qint64 pages = (extent + pageSize - 1) / pageSize;
    return int(std::min<qint64>(pages, std::numeric_limits<int>::max() / pageSize));
}

// Shapes and links hang under holder items, one for each cell of this size
// and kind; trees are wide and shallow, and so are the cells. The scene
// walks its top-level items on every update, so with holders a moving box
// costs the holders and the cells it touches, not every box of the canvas;
// a cell is also the unit that painting a part of the window visits.
// Holders sit at the origin untransformed, so a shape's pos() is still its
// place on the canvas.
constexpr qreal kCellWidth = 8192.0;
constexpr qreal kCellHeight = 2048.0;

class CLayer : public QGraphicsItem
{
public:
    CLayer(quint64 cell, bool links) : m_cell(cell), m_links(links) { setFlag(ItemHasNoContents); }
    int type() const override { return Canvas::LayerItem; }
    quint64 Cell() const { return m_cell; }
    bool HoldsLinks() const { return m_links; }
    // An emptied holder waits to serve another cell: taking a holder out of
    // the scene searches every item that changed since the index last
    // caught up, which after a layout is nearly every item.
    void Reuse(quint64 cell, bool links)
    {
        m_cell = cell;
        m_links = links;
    }
    // The items held, in the order they came; the scene's own list sorts
    // itself anew after every addition.
    const QList<QGraphicsItem *> &Held() const { return m_held; }
    QRectF boundingRect() const override { return {}; }
    void paint(QPainter *, const QStyleOptionGraphicsItem *, QWidget *) override {}

protected:
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override
    {
        if (change == ItemChildAddedChange) {
            m_held.append(qvariant_cast<QGraphicsItem *>(value));
        } else if (change == ItemChildRemovedChange) {
            // items mostly leave from the back
            if (const qsizetype at = m_held.lastIndexOf(qvariant_cast<QGraphicsItem *>(value)); at >= 0)
                m_held.removeAt(at);
        }
        return QGraphicsItem::itemChange(change, value);
    }

private:
    QList<QGraphicsItem *> m_held;
    quint64 m_cell;
    bool m_links;
};

// Fewer movers than this leave their holder one by one; more, and the
// holder is emptied from the back (each step then costs nothing) and the
// stayers go to a fresh holder of the same cell.
constexpr qsizetype kMoversOneByOne = 16;

quint64 cellOf(const QPointF &at)
{
    auto index = [](qreal v) {
        const qreal c = std::floor(v);
        return quint32(
            qint32(std::clamp<qreal>(c, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max())));
    };
    return (quint64(index(at.x() / kCellWidth)) << 32) | index(at.y() / kCellHeight);
}

// The point that decides an item's cell: the middle of what it covers.
QPointF homePoint(const QGraphicsItem *item)
{
    if (item->type() == Canvas::CompositeItem)
        return QRectF(static_cast<const CCompositeShape *>(item)->GetBoundRect()).center();
    if (item->type() == Canvas::LinkItem)
        return static_cast<const CLinkShape *>(item)->Line().center();
    return item->sceneBoundingRect().center();
}

} // namespace

// Changes the shapes themselves; used when no owner speaks for them.
class CCanvasScene::CDirectDelegate : public CCanvasDelegate
{
public:
    explicit CDirectDelegate(CCanvasScene &scene) : m_scene(scene) {}

    bool SetShapeGeometry(int key, const QPoint &pos, const QSize &size) override
    {
        return m_scene.PlaceDirect(key, pos, size);
    }
    void LinkRequested(int startKey, int endKey) override
    {
        if (m_scene.FindLink(startKey, endKey))
            return;
        m_scene.Execute(std::make_unique<CLinkAction>(m_scene, true, startKey, m_scene.LinkFromPort(), endKey,
                                                      m_scene.LinkToPort()));
    }
    void LinkCut(int startKey, int endKey) override
    {
        const CLinkShape *link = m_scene.FindLink(startKey, endKey);
        if (!link)
            return;
        m_scene.Execute(
            std::make_unique<CLinkAction>(m_scene, false, startKey, link->StartPort(), endKey, link->EndPort()));
    }

private:
    CCanvasScene &m_scene;
};

CCanvasScene::CCanvasScene(QObject *parent)
    : QGraphicsScene(parent)
    , m_undo(new QUndoStack(this))
    , m_direct(std::make_unique<CDirectDelegate>(*this))
{
    // queued connections and signal spies need the action's pointer type
    qRegisterMetaType<const CCanvasAction *>();
    setItemIndexMethod(QGraphicsScene::BspTreeIndex);
    updateSceneRect();
    connect(this, &QGraphicsScene::selectionChanged, this, &CCanvasScene::updateSelectionOrder);
}

CCanvasScene::~CCanvasScene()
{
    // the undo stack is a child; let it go before the shapes its actions name
    m_undo->clear();
    m_selectionOrder.clear();
    m_rubberLine = nullptr;
    clear();
}

// ---- Pages ---------------------------------------------------------------

void CCanvasScene::SetPages(int wide, int high)
{
    wide = std::max(1, wide);
    high = std::max(1, high);
    if (wide == m_pagesWide && high == m_pagesHigh)
        return;
    m_pagesWide = wide;
    m_pagesHigh = high;
    updateSceneRect();
    update();
    emit pagesChanged(m_pagesWide, m_pagesHigh);
}

QRect CCanvasScene::PageArea() const
{
    return QRect(0, 0, m_pagesWide * Canvas::kPageWidth, m_pagesHigh * Canvas::kPageHeight);
}

bool CCanvasScene::GrowToReach(const QPoint &extent)
{
    const int wide = std::max(m_pagesWide, pagesFor(extent.x(), Canvas::kPageWidth));
    const int high = std::max(m_pagesHigh, pagesFor(extent.y(), Canvas::kPageHeight));
    if (wide == m_pagesWide && high == m_pagesHigh)
        return false;
    SetPages(wide, high);
    return true;
}

void CCanvasScene::updateSceneRect()
{
    setSceneRect(QRectF(PageArea()).adjusted(-m_margin, -m_margin, 0, 0).united(m_outside));
}

void CCanvasScene::SetMargin(int margin)
{
    m_margin = std::max(0, margin);
    updateSceneRect();
}

void CCanvasScene::NoteShapeMoved(const CCompositeShape *shape)
{
    ++m_work.placed;
    noteOutOfLayer(shape);
    const QRect r = shape->GetBoundRect();
    if (m_batchDepth > 0) {
        m_batchReach |= r;
        if (!std::exchange(shape->m_batchNoted, true))
            m_batchMoved.append(shape->Key());
        return;
    }
    reach(r);
}

void CCanvasScene::noteShapeAdded(const CCompositeShape *shape)
{
    // a new shape has no links yet, and it hangs in its own cell: only the
    // room it needs counts
    ++m_work.placed;
    const QRect r = shape->GetBoundRect();
    if (m_batchDepth > 0)
        m_batchReach |= r;
    else
        reach(r);
}

CCanvasBatch::CCanvasBatch(CCanvasScene &scene) : m_scene(scene)
{
    m_scene.BeginBatch();
}

CCanvasBatch::~CCanvasBatch()
{
    m_scene.EndBatch();
}

void CCanvasScene::BeginBatch()
{
    if (m_batchDepth++ == 0)
        m_batchReach = QRect();
}

void CCanvasScene::EndBatch()
{
    if (m_batchDepth == 0 || --m_batchDepth > 0)
        return;
    // each link once, though both its ends moved: a link that changes twice
    // before the scene's index catches up costs a search through every
    // item changed so far
    const QList<int> moved = std::exchange(m_batchMoved, {});
    QList<const CCompositeShape *> shapes;
    shapes.reserve(moved.size());
    for (int key : moved) {
        if (const CCompositeShape *shape = ShapeByKey(key); shape && shape->m_batchNoted)
            shapes.append(shape);
    }
    for (const CCompositeShape *shape : std::as_const(shapes)) {
        for (const CPort &p : shape->m_ports) {
            for (CLinkShape *l : p.links) {
                // a link whose start moved too follows from there
                if (l->GetStartShape() == shape || !l->GetStartShape() || !l->GetStartShape()->m_batchNoted)
                    l->UpdatePosition();
            }
        }
    }
    for (const CCompositeShape *shape : std::as_const(shapes))
        shape->m_batchNoted = false;
    // before the index takes in what moved: an item the index holds leaves
    // its cells of the index as it changes holder, and when many boxes
    // share a cell (a tree whose boxes were all put at one place) each of
    // those searches is as long as the crowd
    rehomeMoved();
    reach(std::exchange(m_batchReach, QRect()));
}

void CCanvasScene::reach(const QRect &r)
{
    if (r.isNull())
        return;
    // the pages grow to the right and down to hold it all; what lies left of
    // or above the origin widens the scene as single shapes do
    if ((r.left() < 0 || r.top() < 0) && !m_outside.contains(QRectF(r))) {
        m_outside |= QRectF(r);
        updateSceneRect();
    }
    GrowToReach(QPoint(r.right() + 1, r.bottom() + 1));
}

void CCanvasScene::GrowToHoldShapes()
{
    QRect all;
    for (const CCompositeShape *shape : std::as_const(m_shapes))
        all |= shape->GetBoundRect();
    reach(all);
}

// ---- Shapes --------------------------------------------------------------

QGraphicsItem *CCanvasScene::layerFor(QHash<quint64, QGraphicsItem *> &layers, qreal z, const QPointF &at)
{
    const quint64 cell = cellOf(at);
    QGraphicsItem *&layer = layers[cell];
    if (!layer) {
        if (!m_panel) {
            m_panel = new CLayer(0, false);
            m_panel->setFlag(QGraphicsItem::ItemIsPanel);
            addItem(m_panel);
        }
        const bool links = &layers == &m_linkLayers;
        if (!m_spareLayers.isEmpty()) {
            auto *spare = static_cast<CLayer *>(m_spareLayers.takeLast());
            spare->Reuse(cell, links);
            layer = spare;
        } else {
            layer = new CLayer(cell, links);
            addItem(layer);
        }
        layer->setZValue(z);
    }
    return layer;
}

void CCanvasScene::noteOutOfLayer(const CCompositeShape *shape)
{
    const QGraphicsItem *layer = shape->parentItem();
    if (m_gesture == Gesture::Move || !layer || layer->type() != Canvas::LayerItem
        || static_cast<const CLayer *>(layer)->Cell() == cellOf(homePoint(shape)))
        return; // a drag's shapes are looked at once, when it ends
    if (!std::exchange(shape->m_rehomeNoted, true))
        m_outOfLayer.append(shape->Key());
    scheduleRehome();
}

void CCanvasScene::scheduleRehome()
{
    if (m_batchDepth > 0 || m_rehomeScheduled || m_outOfLayer.isEmpty())
        return;
    // not from inside the shape's own change notice, nor while a drag holds it
    m_rehomeScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_rehomeScheduled = false;
        if (m_gesture == Gesture::Move)
            return; // the drag's end places the shapes again
        rehomeMoved();
    });
}

void CCanvasScene::rehomeMoved()
{
    if (m_outOfLayer.isEmpty())
        return;
    const QList<int> keys = std::exchange(m_outOfLayer, {});
    // the shapes and their links that now belong to another cell, by the
    // holder they leave
    QHash<QGraphicsItem *, QList<QGraphicsItem *>> leaving;
    auto check = [&leaving](QGraphicsItem *item) {
        QGraphicsItem *layer = item->parentItem();
        if (layer && layer->type() == Canvas::LayerItem
            && static_cast<const CLayer *>(layer)->Cell() != cellOf(homePoint(item)))
            leaving[layer].append(item);
    };
    QList<CCompositeShape *> shapes;
    shapes.reserve(keys.size());
    for (int key : keys) {
        if (CCompositeShape *shape = ShapeByKey(key); shape && shape->m_rehomeNoted)
            shapes.append(shape);
    }
    for (CCompositeShape *shape : std::as_const(shapes)) {
        check(shape);
        for (const CPort &p : shape->m_ports) {
            for (CLinkShape *l : p.links) {
                // each link once, though both its ends moved: by its end
                // when that moved, else by its start
                const CCompositeShape *end = l->GetEndShape();
                if (end == shape || !end || !end->m_rehomeNoted)
                    check(l);
            }
        }
    }
    for (CCompositeShape *shape : std::as_const(shapes))
        shape->m_rehomeNoted = false;
    auto home = [this](QGraphicsItem *item) {
        const bool link = item->type() == Canvas::LinkItem;
        item->setParentItem(
            layerFor(link ? m_linkLayers : m_shapeLayers, link ? Canvas::kLinkZ : Canvas::kShapeZ, homePoint(item)));
    };
    for (auto it = leaving.begin(); it != leaving.end(); ++it) {
        auto *old = static_cast<CLayer *>(it.key());
        if (it.value().size() <= kMoversOneByOne) {
            for (QGraphicsItem *item : std::as_const(it.value()))
                home(item);
            dropLayerIfEmpty(old);
            continue;
        }
        (old->HoldsLinks() ? m_linkLayers : m_shapeLayers).remove(old->Cell());
        const QList<QGraphicsItem *> held = old->Held();
        for (auto item = held.crbegin(); item != held.crend(); ++item)
            home(*item);
        m_spareLayers.append(old);
    }
}

void CCanvasScene::dropLayerIfEmpty(QGraphicsItem *layer)
{
    if (!layer || layer->type() != Canvas::LayerItem || layer == m_panel
        || !static_cast<CLayer *>(layer)->Held().isEmpty())
        return;
    const auto *held = static_cast<CLayer *>(layer);
    QHash<quint64, QGraphicsItem *> &layers = held->HoldsLinks() ? m_linkLayers : m_shapeLayers;
    if (layers.value(held->Cell()) == layer)
        layers.remove(held->Cell());
    m_spareLayers.append(layer);
    if (!m_shapeLayers.isEmpty() || !m_linkLayers.isEmpty())
        return;
    // nothing is held any more, and nothing waits for the index: an empty
    // canvas keeps no holders
    for (QGraphicsItem *spare : std::exchange(m_spareLayers, {})) {
        removeItem(spare);
        delete spare;
    }
    if (m_panel) {
        removeItem(m_panel);
        delete std::exchange(m_panel, nullptr);
    }
}

void CCanvasScene::AddShape(CCompositeShape *shape)
{
    RemoveShape(shape->Key());
    m_shapes.insert(shape->Key(), shape);
    shape->setParentItem(layerFor(m_shapeLayers, Canvas::kShapeZ, homePoint(shape)));
    noteShapeAdded(shape);
}

void CCanvasScene::RemoveShape(int key)
{
    CCompositeShape *shape = m_shapes.value(key, nullptr);
    if (!shape)
        return;
    for (int p = 0; p < shape->PortCount(); ++p) {
        for (CLinkShape *l : shape->GetLinksOnPort(p))
            RemoveLinkShape(l);
    }
    m_shapes.remove(key);
    m_selectionOrder.removeAll(shape);
    m_pressPositions.remove(key);
    QGraphicsItem *layer = shape->parentItem();
    removeItem(shape);
    std::unique_ptr<CCompositeShape> gone(shape);
    dropLayerIfEmpty(layer);
}

void CCanvasScene::AddLinkShape(CLinkShape *link)
{
    link->setParentItem(layerFor(m_linkLayers, Canvas::kLinkZ, homePoint(link)));
}

void CCanvasScene::RemoveLinkShape(CLinkShape *link)
{
    if (!link)
        return;
    m_selectionOrder.removeAll(link);
    QGraphicsItem *layer = link->parentItem();
    removeItem(link);
    std::unique_ptr<CLinkShape> gone(link);
    dropLayerIfEmpty(layer);
}

CLinkShape *CCanvasScene::FindLink(int startKey, int endKey) const
{
    const CCompositeShape *start = ShapeByKey(startKey);
    if (!start)
        return nullptr;
    for (int p = 0; p < start->PortCount(); ++p) {
        for (CLinkShape *l : start->GetLinksOnPort(p)) {
            if (l->GetStartShape() == start && l->EndKey() == endKey)
                return l;
        }
    }
    return nullptr;
}

void CCanvasScene::ClearCanvas()
{
    m_undo->clear();
    m_selectionOrder.clear();
    m_pressPositions.clear();
    m_gesture = Gesture::None;
    m_rubberLine = nullptr;
    m_shapes.clear();
    m_shapeLayers.clear();
    m_linkLayers.clear();
    m_outOfLayer.clear();
    m_batchMoved.clear();
    m_spareLayers.clear();
    m_panel = nullptr;
    clear();
    emit selectionOrderChanged();
}

// ---- Selection -----------------------------------------------------------

void CCanvasScene::updateSelectionOrder()
{
    const QList<QGraphicsItem *> now = selectedItems();
    const QSet<QGraphicsItem *> selected(now.begin(), now.end());
    m_selectionOrder.removeIf([&selected](QGraphicsItem *i) { return !selected.contains(i); });
    const QSet<QGraphicsItem *> known(m_selectionOrder.begin(), m_selectionOrder.end());
    for (QGraphicsItem *i : now) {
        if (!known.contains(i))
            m_selectionOrder.append(i);
    }
    emit selectionOrderChanged();
}

QGraphicsItem *CCanvasScene::GetCurrentSelectShape() const
{
    return m_selectionOrder.isEmpty() ? nullptr : m_selectionOrder.first();
}

QGraphicsItem *CCanvasScene::GetSecondSelectShape() const
{
    return m_selectionOrder.size() < 2 ? nullptr : m_selectionOrder.at(1);
}

void CCanvasScene::SelectOnly(QGraphicsItem *item)
{
    {
        const QSignalBlocker block(this);
        clearSelection();
        if (item)
            item->setSelected(true);
    }
    updateSelectionOrder();
}

// ---- Hit testing ---------------------------------------------------------

QGraphicsItem *CCanvasScene::ShapeAt(const QPointF &p) const
{
    for (QGraphicsItem *i : items(p, Qt::IntersectsItemShape, Qt::DescendingOrder)) {
        if (i->isVisible() && (i->type() == Canvas::CompositeItem || i->type() == Canvas::LinkItem))
            return i;
    }
    return nullptr;
}

CCompositeShape *CCanvasScene::CompositeAt(const QPointF &p) const
{
    for (QGraphicsItem *i : items(p, Qt::IntersectsItemShape, Qt::DescendingOrder)) {
        if (i->isVisible() && i->type() == Canvas::CompositeItem)
            return static_cast<CCompositeShape *>(i);
    }
    return nullptr;
}

// ---- Actions -------------------------------------------------------------

bool CCanvasScene::Execute(std::unique_ptr<CCanvasAction> action)
{
    if (!action)
        return false;
    if (const auto *macro = dynamic_cast<const CActionMacro *>(action.get()); macro && macro->GetActionCount() == 0)
        return false;
    if (m_delegate && m_delegate->OwnsHistory()) {
        if (!m_delegate->RunAction(*action))
            return false;
        emit actionExecuted(action.get());
        return true;
    }
    CCanvasAction *kept = action.release();
    m_undo->push(kept);
    emit actionExecuted(kept);
    return true;
}

const CCanvasAction *CCanvasScene::PeekUndo() const
{
    const int index = m_undo->index();
    return index > 0 ? dynamic_cast<const CCanvasAction *>(m_undo->command(index - 1)) : nullptr;
}

CCanvasDelegate &CCanvasScene::Delegate()
{
    return m_delegate ? *m_delegate : *m_direct;
}

void CCanvasScene::SetLinkPorts(int fromPort, int toPort)
{
    m_linkFromPort = fromPort;
    m_linkToPort = toPort;
}

bool CCanvasScene::PlaceDirect(int key, const QPoint &pos, const QSize &size)
{
    CCompositeShape *shape = ShapeByKey(key);
    if (!shape)
        return false;
    if (size.isValid())
        shape->ResizeFrame(size);
    shape->setPos(pos);
    return true;
}

CLinkShape *CCanvasScene::ConnectDirect(int startKey, int startPort, int endKey, int endPort)
{
    CCompositeShape *start = ShapeByKey(startKey);
    CCompositeShape *end = ShapeByKey(endKey);
    if (!start || !end || start == end || !start->GetPortByIndex(startPort) || !end->GetPortByIndex(endPort))
        return nullptr;
    auto *link = new CLinkShape(start, startPort, end, endPort);
    link->SetEndArrowType(CLinkShape::FilledArrow);
    AddLinkShape(link);
    return link;
}

bool CCanvasScene::DisconnectDirect(int startKey, int endKey)
{
    CLinkShape *link = FindLink(startKey, endKey);
    RemoveLinkShape(link);
    return link != nullptr;
}

// ---- Drawing -------------------------------------------------------------

bool CCanvasScene::DrawsMarks(const QGraphicsScene *scene)
{
    const auto *canvas = qobject_cast<const CCanvasScene *>(scene);
    return !canvas || !canvas->m_plain;
}

QRectF CCanvasScene::DrawingArea() const
{
    QRectF area;
    for (const CCompositeShape *s : m_shapes) {
        if (s->isVisible())
            area |= QRectF(s->DrawnRect());
    }
    // links from their holders: the scene's own list of items comes sorted
    // by stacking order, which costs more than the whole walk here
    for (const QGraphicsItem *layer : m_linkLayers) {
        for (const QGraphicsItem *i : layer->childItems()) {
            if (i->type() == Canvas::LinkItem && i->isVisible())
                area |= static_cast<const CLinkShape *>(i)->Path().boundingRect();
        }
    }
    if (area.isNull())
        return QRectF(0, 0, 1, 1);
    return area.adjusted(-10, -10, 10, 10);
}

void CCanvasScene::RenderPlain(QPainter *painter, const QRectF &target, const QRectF &source)
{
    m_plain = true;
    render(painter, target, source, Qt::KeepAspectRatio);
    m_plain = false;
}

ColourScheme::CanvasColours CCanvasScene::CanvasColours() const
{
    // pictures for files are drawn on a light page whatever the desktop's palette
    if (m_plain)
        return ColourScheme::LightCanvas();
    return ColourScheme::Canvas(palette());
}

void CCanvasScene::drawBackground(QPainter *painter, const QRectF &rect)
{
    if (m_plain) {
        painter->fillRect(rect, Qt::white);
        return;
    }
    // the page follows the desktop's light or dark palette; the boxes keep
    // their notation colours on either
    const ColourScheme::CanvasColours colours = CanvasColours();
    painter->fillRect(rect, colours.outside);
    const QRectF page = PageArea();
    painter->fillRect(rect.intersected(page.adjusted(-m_margin, -m_margin, 0, 0)), colours.page);
    QPen pen(colours.grid, 0, Qt::DashLine);
    painter->setPen(pen);
    for (int i = 1; i < m_pagesWide; ++i) {
        const qreal x = qreal(i) * Canvas::kPageWidth;
        if (x >= rect.left() && x <= rect.right())
            painter->drawLine(QPointF(x, std::max(rect.top(), page.top())),
                              QPointF(x, std::min(rect.bottom(), page.bottom())));
    }
    for (int j = 1; j < m_pagesHigh; ++j) {
        const qreal y = qreal(j) * Canvas::kPageHeight;
        if (y >= rect.top() && y <= rect.bottom())
            painter->drawLine(QPointF(std::max(rect.left(), page.left()), y),
                              QPointF(std::min(rect.right(), page.right()), y));
    }
}

void CCanvasScene::ViewsFollowListeners()
{
    const QList<QGraphicsView *> windows = views();
    // the same connection Qt makes, so that neither side doubles it
    for (QGraphicsView *v : windows)
        disconnect(this, SIGNAL(changed(QList<QRectF>)), v, SLOT(updateScene(QList<QRectF>)));
    const bool followed = ChangedAreasFollowed();
    for (QGraphicsView *v : windows) {
        if (followed)
            connect(this, SIGNAL(changed(QList<QRectF>)), v, SLOT(updateScene(QList<QRectF>)), Qt::UniqueConnection);
        else
            v->viewport()->update(); // whatever waited in the list is drawn
    }
}

void CCanvasScene::helpEvent(QGraphicsSceneHelpEvent *event)
{
    // a box's text is made when the pointer rests on it; links and other
    // items carry theirs
    QGraphicsItem *top = ShapeAt(event->scenePos());
    const QString text =
        top && top->type() == Canvas::CompositeItem ? static_cast<CCompositeShape *>(top)->HoverText() : QString();
    if (text.isEmpty()) {
        QGraphicsScene::helpEvent(event);
        return;
    }
    QToolTip::showText(event->screenPos(), text, event->widget());
    event->setAccepted(true);
}

// ---- Gestures ------------------------------------------------------------

void CCanvasScene::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    m_gesture = Gesture::None;
    if (event->button() != Qt::LeftButton) {
        QGraphicsScene::mousePressEvent(event);
        return;
    }
    const QPointF p = event->scenePos();
    const qreal reach = grabReach(event);

    // the end of a selected link can be dragged off its port or onto another shape
    for (QGraphicsItem *i : std::as_const(m_selectionOrder)) {
        if (i->type() != Canvas::LinkItem)
            continue;
        const auto *link = static_cast<CLinkShape *>(i);
        if (link->GetStartShape() && link->GetEndShape() && link->NearEnd(p, reach)) {
            m_gesture = Gesture::DragLinkEnd;
            m_gestureStartKey = link->StartKey();
            m_gestureEndKey = link->EndKey();
            m_rubberLine = addLine(QLineF(link->Line().p1(), p), QPen(Qt::darkGray, 0, Qt::DashLine));
            event->accept();
            return;
        }
    }
    // a press on a shape's outgoing port draws a new link
    if (m_linkFromPort >= 0) {
        for (QGraphicsItem *i : items(QRectF(p - QPointF(reach, reach), QSizeF(2 * reach, 2 * reach)))) {
            if (i->type() != Canvas::CompositeItem || !i->isVisible())
                continue;
            const auto *shape = static_cast<CCompositeShape *>(i);
            if (shape->PortNear(p, reach) == m_linkFromPort) {
                m_gesture = Gesture::DrawLink;
                m_gestureStartKey = shape->Key();
                m_rubberLine =
                    addLine(QLineF(shape->PortScenePos(m_linkFromPort), p), QPen(Qt::darkGray, 0, Qt::DashLine));
                event->accept();
                return;
            }
        }
    }

    QGraphicsScene::mousePressEvent(event);
    m_gesture = Gesture::Move;
    m_pressPositions.clear();
    for (QGraphicsItem *i : std::as_const(m_selectionOrder)) {
        if (i->type() == Canvas::CompositeItem && (i->flags() & QGraphicsItem::ItemIsMovable)) {
            const auto *s = static_cast<CCompositeShape *>(i);
            m_pressPositions.insert(s->Key(), s->pos().toPoint());
        }
    }
}

void CCanvasScene::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    if ((m_gesture == Gesture::DrawLink || m_gesture == Gesture::DragLinkEnd) && m_rubberLine) {
        QLineF l = m_rubberLine->line();
        l.setP2(event->scenePos());
        m_rubberLine->setLine(l);
        event->accept();
        return;
    }
    QGraphicsScene::mouseMoveEvent(event);
}

void CCanvasScene::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    const Gesture gesture = m_gesture;
    m_gesture = Gesture::None;
    if (gesture == Gesture::DrawLink || gesture == Gesture::DragLinkEnd) {
        m_gesture = gesture;
        finishLinkGesture(event->scenePos());
        m_gesture = Gesture::None;
        event->accept();
        return;
    }
    QGraphicsScene::mouseReleaseEvent(event);
    if (gesture == Gesture::Move) {
        for (auto it = m_pressPositions.cbegin(); it != m_pressPositions.cend(); ++it) {
            if (const CCompositeShape *s = ShapeByKey(it.key()))
                noteOutOfLayer(s);
        }
    }
    if (gesture == Gesture::Move && event->button() == Qt::LeftButton)
        finishMove();
}

void CCanvasScene::endRubberLine()
{
    if (!m_rubberLine)
        return;
    removeItem(m_rubberLine);
    std::unique_ptr<QGraphicsLineItem> gone(m_rubberLine);
    m_rubberLine = nullptr;
}

void CCanvasScene::finishMove()
{
    struct Moved
    {
        CCompositeShape *shape;
        QPoint from;
        QPoint to;
    };
    QList<Moved> moved;
    int minX = std::numeric_limits<int>::max();
    int minY = std::numeric_limits<int>::max();
    for (auto it = m_pressPositions.cbegin(); it != m_pressPositions.cend(); ++it) {
        CCompositeShape *s = ShapeByKey(it.key());
        if (!s)
            continue;
        const QPoint to = s->pos().toPoint();
        if (to == it.value() && s->pos() == QPointF(to))
            continue;
        moved.append({s, it.value(), to});
        minX = std::min(minX, s->GetBorderArea().left() + to.x());
        minY = std::min(minY, s->GetBorderArea().top() + to.y());
    }
    m_pressPositions.clear();
    if (moved.isEmpty())
        return;
    // the page area starts at the origin: a drag stops there
    const QPoint shift(std::max(0, -minX), std::max(0, -minY));
    QList<CGeometryAction::Entry> entries;
    QList<CShapeMove> moves;
    for (Moved &m : moved) {
        m.to += shift;
        m.shape->setPos(m.to);
        const QSize size = m.shape->OwnRect().size();
        entries.append({m.shape->Key(), m.from, m.to, size, size});
        moves.append({m.shape->Key(), m.from, m.to});
    }
    Execute(std::make_unique<CGeometryAction>(*this, CCanvasAction::Move, tr("Move"), entries));
    emit shapesMoved(moves);
}

void CCanvasScene::finishLinkGesture(const QPointF &at)
{
    endRubberLine();
    const CCompositeShape *target = CompositeAt(at);
    const int startKey = m_gestureStartKey;
    const int endKey = m_gestureEndKey;
    const int targetKey = target ? target->Key() : 0;
    const bool drawing = m_gesture == Gesture::DrawLink;
    if (drawing && (!target || targetKey == startKey))
        return;
    if (!drawing && target && (targetKey == endKey || targetKey == startKey))
        return;
    // The owner may remove the very link or shape under the mouse; let the
    // scene finish its own event first.
    QTimer::singleShot(0, this, [this, drawing, startKey, endKey, targetKey] {
        if (!drawing)
            Delegate().LinkCut(startKey, endKey);
        if (targetKey)
            Delegate().LinkRequested(startKey, targetKey);
    });
}
