#include "linkshape.h"

#include "canvasscene.h"
#include "compositeshape.h"

#include <QPainter>
#include <QPainterPathStroker>
#include <QStyleOptionGraphicsItem>

#include <cmath>

namespace {

// Arrow sizes are given in small library units; one unit is this many
// canvas units.
constexpr qreal kArrowUnitLength = 3.0;
constexpr qreal kArrowUnitWidth = 2.0;
constexpr qreal kPickWidth = 8.0;
const QColor kMarkColour(0, 90, 255);

} // namespace

CLinkShape::CLinkShape(CCompositeShape *start, int startPort, CCompositeShape *end, int endPort)
    : m_start(start)
    , m_end(end)
    , m_startPort(startPort)
    , m_endPort(endPort)
{
    setFlags(ItemIsSelectable);
    setZValue(Canvas::kLinkZ);
    if (m_start)
        m_start->attachLink(m_startPort, this);
    if (m_end)
        m_end->attachLink(m_endPort, this);
    UpdatePosition();
}

CLinkShape::~CLinkShape()
{
    if (m_start)
        m_start->detachLink(this);
    if (m_end)
        m_end->detachLink(this);
}

int CLinkShape::StartKey() const
{
    return m_start ? m_start->Key() : 0;
}

int CLinkShape::EndKey() const
{
    return m_end ? m_end->Key() : 0;
}

void CLinkShape::shapeGone(CCompositeShape *shape)
{
    if (m_start == shape)
        m_start = nullptr;
    if (m_end == shape)
        m_end = nullptr;
}

void CLinkShape::UpdatePosition()
{
    if (auto *canvas = qobject_cast<CCanvasScene *>(scene()))
        canvas->NoteLinkFollowed();
    const QPointF a = m_start ? m_start->PortScenePos(m_startPort) : m_line.p1();
    const QPointF b = m_end ? m_end->PortScenePos(m_endPort) : m_line.p2();
    if (QLineF(a, b) == m_line)
        return;
    prepareGeometryChange();
    m_line = QLineF(a, b);
}

void CLinkShape::SetLineColor(const QColor &c)
{
    m_lineColor = c;
    update();
}

void CLinkShape::SetLineWidth(int w)
{
    prepareGeometryChange();
    m_lineWidth = qMax(0, w);
}

void CLinkShape::SetEndArrowType(int type)
{
    prepareGeometryChange();
    m_arrowType = type;
}

void CLinkShape::SetEndArrowWidth(int w)
{
    prepareGeometryChange();
    m_arrowWidth = qMax(0, w);
}

void CLinkShape::SetEndArrowLength(int l)
{
    prepareGeometryChange();
    m_arrowLength = qMax(0, l);
}

void CLinkShape::SetFormat(const Canvas::CShapeFormat &format)
{
    prepareGeometryChange();
    m_format = format;
}

bool CLinkShape::NearEnd(const QPointF &scenePos, qreal reach) const
{
    return QLineF(scenePos, m_line.p2()).length() <= reach;
}

qreal CLinkShape::margin() const
{
    const qreal arrow = m_arrowType == NoArrow ? 0
                                               : qMax(m_arrowLength * kArrowUnitLength, m_arrowWidth * kArrowUnitWidth)
                                                     + EffectiveLineWidth();
    return qMax<qreal>(kPickWidth, EffectiveLineWidth() + arrow) + 4;
}

QRectF CLinkShape::boundingRect() const
{
    const qreal m = margin();
    return QRectF(m_line.p1(), m_line.p2()).normalized().adjusted(-m, -m, m, m);
}

QPainterPath CLinkShape::shape() const
{
    QPainterPath path(m_line.p1());
    path.lineTo(m_line.p2());
    QPainterPathStroker stroker;
    stroker.setWidth(qMax<qreal>(kPickWidth, EffectiveLineWidth() + 4));
    QPainterPath s = stroker.createStroke(path);
    if (m_arrowType != NoArrow)
        s.addPolygon(arrowHead());
    return s;
}

QSizeF CLinkShape::ArrowHeadSize() const
{
    // the head grows with the line so that a bold link keeps a visible tip
    const qreal w = EffectiveLineWidth();
    return QSizeF(m_arrowLength * kArrowUnitLength + w, m_arrowWidth * kArrowUnitWidth + w / 2);
}

QPolygonF CLinkShape::arrowHead() const
{
    const qreal len = m_line.length();
    if (len < 0.5)
        return {};
    const QSizeF size = ArrowHeadSize();
    const qreal headLength = size.width();
    const qreal halfWidth = size.height();
    const QPointF tip = m_line.p2();
    const QPointF dir = (m_line.p2() - m_line.p1()) / len;
    const QPointF normal(-dir.y(), dir.x());
    const QPointF base = tip - dir * headLength;
    return QPolygonF({tip, base + normal * halfWidth, base - normal * halfWidth});
}

void CLinkShape::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *)
{
    // as for shapes: a picture of part of the canvas skips what lies outside
    if (painter->hasClipping() && !painter->clipBoundingRect().intersects(boundingRect()))
        return;
    if (auto *canvas = qobject_cast<CCanvasScene *>(scene()))
        canvas->NotePainted();
    const qreal lod = option->levelOfDetailFromTransform(painter->worldTransform());
    const QColor colour = EffectiveLineColor();
    const int width = EffectiveLineWidth();
    if (lod < 0.15) {
        // far away: a hairline is all that can be seen
        painter->setPen(QPen(colour, 0));
        painter->drawLine(m_line);
        return;
    }
    const bool marked = isSelected() && CCanvasScene::DrawsMarks(scene());
    if (marked) {
        // a selected link glows under its own line
        QPen glow(QColor(0, 90, 255, 90), width + 6);
        glow.setCapStyle(Qt::RoundCap);
        painter->setPen(glow);
        painter->drawLine(m_line);
    }
    QPen pen(colour, width);
    pen.setCapStyle(Qt::FlatCap);
    painter->setPen(pen);
    const QPolygonF head = arrowHead();
    if (m_arrowType != NoArrow && !head.isEmpty()) {
        // stop the line at the head's base so that a wide line keeps a sharp tip
        const QPointF base = (head[1] + head[2]) / 2;
        painter->drawLine(QLineF(m_line.p1(), m_arrowType == FilledArrow ? base : m_line.p2()));
        if (m_arrowType == FilledArrow) {
            painter->setPen(Qt::NoPen);
            painter->setBrush(colour);
            painter->drawPolygon(head);
        } else {
            painter->setBrush(Qt::NoBrush);
            painter->drawPolyline(QPolygonF({head[1], head[0], head[2]}));
        }
    } else {
        painter->drawLine(m_line);
    }
    if (marked) {
        const qreal s = 6.0 / qMax<qreal>(lod, 0.2);
        for (const QPointF &p : {m_line.p1(), m_line.p2()})
            painter->fillRect(QRectF(p.x() - s / 2, p.y() - s / 2, s, s), kMarkColour);
    }
}
