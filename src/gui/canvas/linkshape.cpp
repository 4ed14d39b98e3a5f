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
// A routed link drops this far below its start before it turns, keeps this
// far from the boxes it passes, and leaves this much straight line above
// its head.
constexpr qreal kStub = 10.0;
constexpr qreal kClearance = 12.0;
constexpr qreal kFreeAboveHead = 6.0;
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
    const QPolygonF path = computePath();
    if (path == m_path)
        return;
    prepareGeometryChange();
    m_path = path;
    m_line = QLineF(path.first(), path.last());
}

void CLinkShape::SetRouted(bool routed)
{
    if (m_routed == routed)
        return;
    m_routed = routed;
    UpdatePosition();
}

QPolygonF CLinkShape::computePath() const
{
    const QPointF a = m_start ? m_start->PortScenePos(m_startPort) : m_line.p1();
    const QPointF b = m_end ? m_end->PortScenePos(m_endPort) : m_line.p2();
    if (!m_routed || !m_start || !m_end)
        return QPolygonF({a, b});
    const QSizeF head = m_arrowType == NoArrow ? QSizeF(0, 0) : ArrowHeadSize();
    return RouteDownward(a, QRectF(m_start->DrawnRect()), b, QRectF(m_end->DrawnRect()), head);
}

QPolygonF CLinkShape::RouteDownward(const QPointF &a, const QRectF &from, const QPointF &b, const QRectF &to,
                                    const QSizeF &head)
{
    const qreal dx = b.x() - a.x();
    const qreal dy = b.y() - a.y();
    const qreal headLength = head.width();
    const qreal halfWidth = head.height();
    // a straight line keeps both wings of its head above b while its slope
    // beats the head's own (|dx| * halfWidth <= dy * headLength)
    if (dy >= qMax(headLength, kStub) && std::abs(dx) * halfWidth <= dy * headLength)
        return QPolygonF({a, b});
    const qreal drop = headLength + kFreeAboveHead;
    const QPointF aboveB(b.x(), b.y() - drop);
    if (aboveB.y() >= a.y() + kStub)
        return QPolygonF({a, aboveB, b});
    const bool apart = to.left() >= from.right() || to.right() <= from.left();
    if (!apart && dy > 0) {
        // stacked too close for a full drop: bend in the gap between them
        const qreal mid = (a.y() + b.y()) / 2;
        return QPolygonF({a, QPointF(a.x(), mid), QPointF(b.x(), mid), b});
    }
    // the end sits beside or above the start: go round by the gap between
    // the boxes, or outside both when they overlap across
    const QPointF belowA(a.x(), a.y() + kStub);
    qreal side;
    if (to.left() >= from.right())
        side = (from.right() + to.left()) / 2;
    else if (to.right() <= from.left())
        side = (to.right() + from.left()) / 2;
    else if (dx >= 0)
        side = qMax(from.right(), to.right()) + kClearance;
    else
        side = qMin(from.left(), to.left()) - kClearance;
    const qreal top = apart ? aboveB.y() : qMin(aboveB.y(), qMin(to.top(), from.top()) - kClearance);
    return QPolygonF({a, belowA, QPointF(side, belowA.y()), QPointF(side, top), QPointF(b.x(), top), b});
}

void CLinkShape::SetLineColor(const QColor &c)
{
    m_lineColor = c;
    update();
}

void CLinkShape::SetLineWidth(int w)
{
    if (m_lineWidth == qMax(0, w))
        return;
    prepareGeometryChange();
    m_lineWidth = qMax(0, w);
    if (m_routed)
        UpdatePosition(); // the head's size decides the bends
}

void CLinkShape::SetEndArrowType(int type)
{
    if (m_arrowType == type)
        return;
    prepareGeometryChange();
    m_arrowType = type;
    if (m_routed)
        UpdatePosition(); // the head's size decides the bends
}

void CLinkShape::SetEndArrowWidth(int w)
{
    if (m_arrowWidth == qMax(0, w))
        return;
    prepareGeometryChange();
    m_arrowWidth = qMax(0, w);
    if (m_routed)
        UpdatePosition(); // the head's size decides the bends
}

void CLinkShape::SetEndArrowLength(int l)
{
    if (m_arrowLength == qMax(0, l))
        return;
    prepareGeometryChange();
    m_arrowLength = qMax(0, l);
    if (m_routed)
        UpdatePosition(); // the head's size decides the bends
}

void CLinkShape::SetFormat(const Canvas::CShapeFormat &format)
{
    prepareGeometryChange();
    m_format = format;
    if (m_routed)
        UpdatePosition(); // the head's size decides the bends
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
    return m_path.boundingRect().adjusted(-m, -m, m, m);
}

QPainterPath CLinkShape::shape() const
{
    QPainterPath path;
    path.addPolygon(m_path);
    QPainterPathStroker stroker;
    stroker.setWidth(qMax<qreal>(kPickWidth, EffectiveLineWidth() + 4));
    QPainterPath s = stroker.createStroke(path);
    if (m_arrowType != NoArrow)
        s.addPolygon(arrowHead());
    return s;
}

QSizeF CLinkShape::ArrowHeadSize() const
{
    return ArrowHeadSize(m_arrowLength, m_arrowWidth, EffectiveLineWidth());
}

QSizeF CLinkShape::ArrowHeadSize(int arrowLength, int arrowWidth, int lineWidth)
{
    // the head grows with the line so that a bold link keeps a visible tip
    const qreal w = lineWidth;
    return QSizeF(arrowLength * kArrowUnitLength + w, arrowWidth * kArrowUnitWidth + w / 2);
}

QPolygonF CLinkShape::arrowHead() const
{
    if (m_path.size() < 2)
        return {};
    const QLineF last(m_path[m_path.size() - 2], m_path.last());
    const qreal len = last.length();
    if (len < 0.5)
        return {};
    const QSizeF size = ArrowHeadSize();
    const qreal headLength = size.width();
    const qreal halfWidth = size.height();
    const QPointF tip = last.p2();
    const QPointF dir = (last.p2() - last.p1()) / len;
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
    QColor colour = EffectiveLineColor();
    // a black link would vanish on a dark page: it takes the page's link colour
    if (colour == Qt::black) {
        if (auto *canvas = qobject_cast<CCanvasScene *>(scene()))
            colour = canvas->CanvasColours().link;
    }
    const int width = EffectiveLineWidth();
    if (lod < 0.15) {
        // far away: a hairline is all that can be seen
        painter->setPen(QPen(colour, 0));
        painter->drawPolyline(m_path);
        return;
    }
    const bool marked = isSelected() && CCanvasScene::DrawsMarks(scene());
    if (marked) {
        // a selected link glows under its own line
        QPen glow(QColor(0, 90, 255, 90), width + 6);
        glow.setCapStyle(Qt::RoundCap);
        painter->setPen(glow);
        painter->drawPolyline(m_path);
    }
    QPen pen(colour, width);
    pen.setCapStyle(Qt::FlatCap);
    painter->setPen(pen);
    const QPolygonF head = arrowHead();
    if (m_arrowType != NoArrow && !head.isEmpty()) {
        // stop the line at the head's base so that a wide line keeps a sharp tip
        QPolygonF body = m_path;
        if (m_arrowType == FilledArrow)
            body.last() = (head[1] + head[2]) / 2;
        painter->drawPolyline(body);
        if (m_arrowType == FilledArrow) {
            painter->setPen(Qt::NoPen);
            painter->setBrush(colour);
            painter->drawPolygon(head);
        } else {
            painter->setBrush(Qt::NoBrush);
            painter->drawPolyline(QPolygonF({head[1], head[0], head[2]}));
        }
    } else {
        painter->drawPolyline(m_path);
    }
    if (marked) {
        const qreal s = 6.0 / qMax<qreal>(lod, 0.2);
        for (const QPointF &p : {m_line.p1(), m_line.p2()})
            painter->fillRect(QRectF(p.x() - s / 2, p.y() - s / 2, s, s), kMarkColour);
    }
}
