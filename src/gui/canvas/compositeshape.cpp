#include "compositeshape.h"

#include "canvasscene.h"
#include "colourscheme.h"
#include "linkshape.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionGraphicsItem>

namespace {

Qt::PenStyle penStyleOf(int style)
{
    switch (style) {
    case 1: return Qt::DashLine;
    case 2: return Qt::DotLine;
    case 3: return Qt::DashDotLine;
    default: return Qt::SolidLine;
    }
}

// Below this many pixels of frame height the labels cannot be read, so the
// shape is drawn as one filled box: this keeps a whole large tree at
// fit-to-window quick to paint.
constexpr qreal kLegibleHeight = 9.0;
constexpr qreal kSelectionMargin = 3.0;

} // namespace

CCompositeShape::CCompositeShape(int key) : m_key(key)
{
    setFlags(ItemIsSelectable | ItemIsMovable | ItemSendsGeometryChanges);
    setZValue(Canvas::kShapeZ);
    setAcceptHoverEvents(false);
}

CCompositeShape::~CCompositeShape()
{
    // links that outlive their end must not point at it
    for (CPort &p : m_ports) {
        for (CLinkShape *l : p.links)
            l->shapeGone(this);
    }
}

void CCompositeShape::Create(const QRect &rect, const QString &caption)
{
    prepareGeometryChange();
    m_rect = QRect(QPoint(0, 0), rect.size());
    m_caption = caption;
    UpdateBorder();
}

void CCompositeShape::ResizeFrame(const QSize &size)
{
    if (size.isEmpty() || m_rect.isEmpty() || size == m_rect.size())
        return;
    prepareGeometryChange();
    const qreal sx = qreal(size.width()) / m_rect.width();
    const qreal sy = qreal(size.height()) / m_rect.height();
    auto scaled = [sx, sy](const QRect &r) {
        return QRect(QPoint(qRound(r.left() * sx), qRound(r.top() * sy)),
                     QPoint(qRound((r.right() + 1) * sx) - 1, qRound((r.bottom() + 1) * sy) - 1));
    };
    for (CLabelCell &c : m_cells)
        c.rect = scaled(c.rect);
    m_rect = QRect(QPoint(0, 0), size);
    UpdateBorder();
    QList<QPointF> ports;
    for (const CPort &p : std::as_const(m_ports))
        ports.append(QPointF(p.at.x() * sx, p.at.y() * sy));
    SetPortPositions(ports);
}

int CCompositeShape::AddText(const QString &name, const QString &text, const QRect &rect)
{
    prepareGeometryChange();
    CLabelCell cell;
    cell.name = name;
    cell.text = text;
    cell.rect = rect;
    m_cells.append(cell);
    UpdateBorder();
    return int(m_cells.size()) - 1;
}

void CCompositeShape::SetCells(const QRect &frame, const QList<CLabelCell> &cells)
{
    prepareGeometryChange();
    m_rect = QRect(QPoint(0, 0), frame.size());
    m_cells = cells;
    UpdateBorder();
}

int CCompositeShape::FindCell(const QString &name) const
{
    for (qsizetype i = 0; i < m_cells.size(); ++i) {
        if (m_cells[i].name == name)
            return int(i);
    }
    return -1;
}

void CCompositeShape::RemoveAllCells()
{
    prepareGeometryChange();
    m_cells.clear();
    UpdateBorder();
}

void CCompositeShape::UpdateBorder()
{
    QRect r = m_rect;
    for (const CLabelCell &c : std::as_const(m_cells))
        r = r.united(c.rect);
    m_border = r;
}

QRect CCompositeShape::GetBoundRect() const
{
    return m_border.translated(pos().toPoint());
}

void CCompositeShape::PositionShape(const QRect &rect)
{
    setPos(rect.topLeft() - m_border.topLeft());
}

void CCompositeShape::SetPortPositions(const QList<QPointF> &positions)
{
    // links on ports that no longer exist lose their end
    while (m_ports.size() > positions.size()) {
        const QList<CLinkShape *> gone = m_ports.takeLast().links;
        for (CLinkShape *l : gone)
            l->shapeGone(this);
    }
    while (m_ports.size() < positions.size())
        m_ports.append(CPort());
    for (qsizetype i = 0; i < positions.size(); ++i)
        m_ports[i].at = positions[i];
    for (const CPort &p : std::as_const(m_ports)) {
        for (CLinkShape *l : p.links)
            l->UpdatePosition();
    }
}

const CPort *CCompositeShape::GetPortByIndex(int index) const
{
    return index >= 0 && index < m_ports.size() ? &m_ports[index] : nullptr;
}

QList<CLinkShape *> CCompositeShape::GetLinksOnPort(int index) const
{
    const CPort *p = GetPortByIndex(index);
    return p ? p->links : QList<CLinkShape *>();
}

QPointF CCompositeShape::PortScenePos(int index) const
{
    const CPort *p = GetPortByIndex(index);
    return p ? mapToScene(p->at) : mapToScene(QPointF(m_rect.center()));
}

int CCompositeShape::PortNear(const QPointF &scenePos, qreal reach) const
{
    int best = -1;
    qreal bestDistance = reach;
    for (qsizetype i = 0; i < m_ports.size(); ++i) {
        const qreal d = QLineF(scenePos, mapToScene(m_ports[i].at)).length();
        if (d <= bestDistance) {
            best = int(i);
            bestDistance = d;
        }
    }
    return best;
}

void CCompositeShape::attachLink(int port, CLinkShape *link)
{
    if (port >= 0 && port < m_ports.size())
        m_ports[port].links.append(link);
}

void CCompositeShape::detachLink(CLinkShape *link)
{
    for (CPort &p : m_ports)
        p.links.removeAll(link);
}

void CCompositeShape::SetLineColor(const QColor &c)
{
    m_lineColor = c;
    update();
}

void CCompositeShape::SetLineWidth(int w)
{
    prepareGeometryChange();
    m_lineWidth = qMax(0, w);
    update();
}

void CCompositeShape::SetNullPen(bool on)
{
    m_nullPen = on;
    update();
}

void CCompositeShape::SetLineStyle(Qt::PenStyle style)
{
    if (m_lineStyle == style)
        return;
    m_lineStyle = style;
    update();
}

void CCompositeShape::SetFormat(const Canvas::CShapeFormat &format)
{
    prepareGeometryChange();
    m_format = format;
    update();
}

QColor CCompositeShape::EffectiveFill(const CLabelCell &cell) const
{
    return EffectiveFill(m_format, cell);
}

QColor CCompositeShape::EffectiveLine(const CLabelCell &cell) const
{
    return EffectiveLine(m_format, cell);
}

int CCompositeShape::EffectiveLineWidth(const CLabelCell &cell) const
{
    return EffectiveLineWidth(m_format, cell);
}

QFont CCompositeShape::EffectiveFont(const CLabelCell &cell) const
{
    return EffectiveFont(m_format, cell);
}

QColor CCompositeShape::EffectiveFill(const Canvas::CShapeFormat &format, const CLabelCell &cell)
{
    return format.fill.value_or(cell.bkColor);
}

QColor CCompositeShape::EffectiveLine(const Canvas::CShapeFormat &format, const CLabelCell &cell)
{
    return format.lineColor.value_or(cell.lineColor);
}

int CCompositeShape::EffectiveLineWidth(const Canvas::CShapeFormat &format, const CLabelCell &cell)
{
    return format.lineWidth.value_or(cell.lineWidth);
}

QFont CCompositeShape::EffectiveFont(const Canvas::CShapeFormat &format, const CLabelCell &cell)
{
    return Canvas::FontFor(format.faceName.value_or(cell.faceName), format.pointSize.value_or(cell.pointSize),
                           cell.weight);
}

QRectF CCompositeShape::boundingRect() const
{
    qreal pen = m_nullPen ? 0 : m_lineWidth;
    pen = qMax<qreal>(pen, m_format.lineWidth.value_or(1));
    for (const CLabelCell &c : m_cells)
        pen = qMax<qreal>(pen, c.lineWidth);
    const qreal grow = pen / 2 + kSelectionMargin + 1;
    return QRectF(m_border).adjusted(-grow, -grow, grow, grow);
}

QPainterPath CCompositeShape::shape() const
{
    QPainterPath path;
    path.addRect(m_border);
    return path;
}

QColor CCompositeShape::SummaryColor() const
{
    for (const CLabelCell &c : m_cells) {
        if (c.brushType == 1)
            return EffectiveFill(c);
    }
    return m_format.fill.value_or(m_bkColor);
}

void CCompositeShape::PaintDecorations(QPainter *, qreal) {}

QByteArray CCompositeShape::SvgDecorations(const QPointF &) const
{
    return QByteArray();
}

void CCompositeShape::paintCell(QPainter *painter, const CLabelCell &cell) const
{
    if (cell.brushType == 1)
        painter->fillRect(cell.rect, EffectiveFill(cell));
    if (!cell.nullPen && EffectiveLineWidth(cell) > 0) {
        QPen pen(EffectiveLine(cell), EffectiveLineWidth(cell), penStyleOf(cell.penStyle));
        pen.setJoinStyle(Qt::MiterJoin);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(cell.rect);
    }
    if (!cell.text.isEmpty()) {
        painter->setPen(cell.textColor);
        painter->setFont(EffectiveFont(cell));
        const QRect inner = cell.rect.adjusted(2, 1, -2, -1);
        painter->save();
        // within whatever clip the painter already has (a part of a poster)
        painter->setClipRect(cell.rect, Qt::IntersectClip);
        painter->drawText(inner, Qt::AlignCenter | Qt::TextWordWrap, cell.text);
        painter->restore();
    }
}

void CCompositeShape::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *)
{
    // a picture of part of the canvas hands over every shape of the holders
    // it touches; those outside the part drawn are left out
    if (painter->hasClipping() && !painter->clipBoundingRect().intersects(boundingRect()))
        return;
    if (auto *canvas = qobject_cast<CCanvasScene *>(scene()))
        canvas->NotePainted();
    const qreal lod = option->levelOfDetailFromTransform(painter->worldTransform());
    if (lod * m_rect.height() < kLegibleHeight) {
        // a few pixels tall: one box in the shape's colour
        painter->fillRect(m_border, SummaryColor());
        if (lod * m_rect.height() >= 3.0) {
            painter->setPen(QPen(Qt::black, 0));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(m_rect);
        }
        if (isSelected() && CCanvasScene::DrawsMarks(scene())) {
            painter->setPen(QPen(QColor(0, 90, 255), 0));
            painter->drawRect(m_border);
        }
        return;
    }
    const int radius = ColourScheme::Nodes(ColourScheme::Current()).cornerRadius;
    if (radius > 0) {
        // rounded boxes: the cells are cut to the rounded outline, which a
        // thin line then draws
        QPainterPath outline;
        outline.addRoundedRect(QRectF(m_rect), radius, radius);
        painter->save();
        painter->setClipPath(outline, Qt::IntersectClip);
        for (const CLabelCell &c : std::as_const(m_cells))
            paintCell(painter, c);
        painter->restore();
        painter->setPen(QPen(QColor(0, 0, 0, 150), 1));
        painter->setBrush(Qt::NoBrush);
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->drawPath(outline);
        painter->setRenderHint(QPainter::Antialiasing, false);
    } else {
        for (const CLabelCell &c : std::as_const(m_cells))
            paintCell(painter, c);
    }
    if (!m_nullPen && m_lineWidth > 0) {
        QPen pen(m_format.lineColor.value_or(m_lineColor), m_lineWidth, m_lineStyle);
        pen.setJoinStyle(Qt::MiterJoin);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(m_rect);
    }
    PaintDecorations(painter, lod);
    if (isSelected() && CCanvasScene::DrawsMarks(scene())) {
        const QRectF r =
            QRectF(m_border).adjusted(-kSelectionMargin, -kSelectionMargin, kSelectionMargin, kSelectionMargin);
        QPen pen(QColor(0, 90, 255), 0, Qt::DashLine);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(r);
        const qreal s = 5.0 / qMax<qreal>(lod, 0.2);
        for (const QPointF &corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()})
            painter->fillRect(QRectF(corner.x() - s / 2, corner.y() - s / 2, s, s), QColor(0, 90, 255));
    }
}

QVariant CCompositeShape::itemChange(GraphicsItemChange change, const QVariant &value)
{
    if (change == ItemPositionHasChanged || change == ItemTransformHasChanged) {
        auto *canvas = qobject_cast<CCanvasScene *>(scene());
        // in a batch the links follow once at its end
        if (!canvas || !canvas->InBatch()) {
            for (const CPort &p : std::as_const(m_ports)) {
                for (CLinkShape *l : p.links)
                    l->UpdatePosition();
            }
        }
        if (canvas)
            canvas->NoteShapeMoved(this);
    }
    return QGraphicsItem::itemChange(change, value);
}
