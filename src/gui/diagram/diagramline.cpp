#include "diagramline.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionGraphicsItem>

namespace {

constexpr qreal kHeadLength = 9.0;
constexpr qreal kHeadHalfWidth = 4.5;
// how near a click must come to count as on the line
constexpr qreal kGrab = 4.0;

} // namespace

CDiagramLine::CDiagramLine(const QList<QPointF> &points) : m_points(points)
{
    setFlags(ItemIsSelectable);
    setZValue(Canvas::kLinkZ);
}

void CDiagramLine::SetLineColor(const QColor &c)
{
    m_lineColor = c;
    update();
}

void CDiagramLine::SetLineWidth(int w)
{
    prepareGeometryChange();
    m_lineWidth = qMax(1, w);
    update();
}

void CDiagramLine::SetEndArrow(bool on)
{
    m_endArrow = on;
    update();
}

QRectF CDiagramLine::boundingRect() const
{
    if (m_points.isEmpty())
        return {};
    const qreal grow = qMax(kHeadLength, kGrab) + m_lineWidth;
    return QPolygonF(m_points).boundingRect().adjusted(-grow, -grow, grow, grow);
}

QPainterPath CDiagramLine::shape() const
{
    QPainterPath path;
    if (m_points.isEmpty())
        return path;
    path.addPolygon(QPolygonF(m_points));
    QPainterPathStroker stroker;
    stroker.setWidth(2 * kGrab + m_lineWidth);
    return stroker.createStroke(path);
}

void CDiagramLine::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (m_points.size() < 2)
        return;
    QColor colour = m_lineColor;
    if (isSelected())
        colour = QColor(0, 90, 255);
    QPen pen(colour, m_lineWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setCapStyle(Qt::FlatCap);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawPolyline(QPolygonF(m_points));
    if (!m_endArrow)
        return;
    const QLineF last(m_points[m_points.size() - 2], m_points.last());
    const qreal len = last.length();
    if (len < 0.5)
        return;
    const QPointF dir = (last.p2() - last.p1()) / len;
    const QPointF normal(-dir.y(), dir.x());
    // a bold line keeps a visible tip
    const QPointF base = last.p2() - dir * (kHeadLength + m_lineWidth);
    const qreal half = kHeadHalfWidth + m_lineWidth / 2.0;
    painter->drawLine(QLineF(last.p2(), base + normal * half));
    painter->drawLine(QLineF(last.p2(), base - normal * half));
}
