#pragma once

#include "canvas/canvastypes.h"

#include <QColor>
#include <QGraphicsItem>
#include <QList>
#include <QPointF>
#include <QString>

// A line of a derived diagram: a polyline with an open arrow at its end.
// Unlike a canvas link it is not tied to ports, since a derived diagram is
// never edited; it only shows the points it was given.
class CDiagramLine : public QGraphicsItem
{
public:
    enum { Type = QGraphicsItem::UserType + 40 };

    explicit CDiagramLine(const QList<QPointF> &points);

    int type() const override { return Type; }

    const QList<QPointF> &Points() const { return m_points; }
    const QString &ObjectName() const { return m_objectName; }
    void SetObjectName(const QString &name) { m_objectName = name; }
    QColor LineColor() const { return m_lineColor; }
    void SetLineColor(const QColor &c);
    int LineWidth() const { return m_lineWidth; }
    void SetLineWidth(int w);
    bool HasEndArrow() const { return m_endArrow; }
    void SetEndArrow(bool on);

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

private:
    QList<QPointF> m_points;
    QString m_objectName;
    QColor m_lineColor = Qt::black;
    int m_lineWidth = 1;
    bool m_endArrow = true;
};
