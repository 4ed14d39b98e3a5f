#pragma once

#include "canvastypes.h"

#include <QGraphicsItem>
#include <QLineF>
#include <QPolygonF>

class CCompositeShape;

// A link from a port of one shape to a port of another. It follows its
// ends when they move; it is identified by the keys of its two shapes. A
// routed link leaves its start downward and enters its end from above, so
// that it never runs under either box and its head stays in sight.
class CLinkShape : public QGraphicsItem
{
public:
    enum { Type = Canvas::LinkItem };
    enum ArrowType { NoArrow = 0, OpenArrow = 1, LineArrow = 2, FilledArrow = 3 };

    CLinkShape(CCompositeShape *start, int startPort, CCompositeShape *end, int endPort);
    ~CLinkShape() override;
    CLinkShape(const CLinkShape &) = delete;
    CLinkShape &operator=(const CLinkShape &) = delete;

    int type() const override { return Type; }

    CCompositeShape *GetStartShape() const { return m_start; }
    CCompositeShape *GetEndShape() const { return m_end; }
    int StartPort() const { return m_startPort; }
    int EndPort() const { return m_endPort; }
    int StartKey() const;
    int EndKey() const;

    // Recomputes the line from the ports; the shapes call it when they move.
    void UpdatePosition();
    // From the start port to the end port; Path() holds the bends between.
    QLineF Line() const { return m_line; }
    QPolygonF Path() const { return m_path; }
    bool IsRouted() const { return m_routed; }
    void SetRouted(bool routed);

    // The way from a (bottom of box `from`) to b (top of box `to`): straight
    // while the head fits above `to` and no wing of it dips into the box,
    // otherwise bent so that the last stretch drops straight onto b and no
    // stretch crosses either box.
    static QPolygonF RouteDownward(const QPointF &a, const QRectF &from, const QPointF &b, const QRectF &to,
                                   const QSizeF &head);

    const QString &ObjectName() const { return m_objectName; }
    void SetObjectName(const QString &name) { m_objectName = name; }
    const QString &ObjectCaption() const { return m_caption; }
    void SetObjectCaption(const QString &caption) { m_caption = caption; }
    QColor LineColor() const { return m_lineColor; }
    void SetLineColor(const QColor &c);
    int LineWidth() const { return m_lineWidth; }
    void SetLineWidth(int w);
    int EndArrowType() const { return m_arrowType; }
    void SetEndArrowType(int type);
    int EndArrowWidth() const { return m_arrowWidth; }
    void SetEndArrowWidth(int w);
    int EndArrowLength() const { return m_arrowLength; }
    void SetEndArrowLength(int l);

    const Canvas::CShapeFormat &Format() const { return m_format; }
    void SetFormat(const Canvas::CShapeFormat &format);
    QColor EffectiveLineColor() const { return m_format.lineColor.value_or(m_lineColor); }
    int EffectiveLineWidth() const { return m_format.lineWidth.value_or(m_lineWidth); }

    // Length of the arrow head along the line and half its width across.
    QSizeF ArrowHeadSize() const;
    static QSizeF ArrowHeadSize(int arrowLength, int arrowWidth, int lineWidth);

    // The end handle that a user can drag off its port.
    bool NearEnd(const QPointF &scenePos, qreal reach) const;

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

private:
    friend class CCompositeShape;
    void shapeGone(CCompositeShape *shape);
    QPolygonF arrowHead() const;
    qreal margin() const;

    QPolygonF computePath() const;

    QLineF m_line;
    QPolygonF m_path;
    Canvas::CShapeFormat m_format;
    QString m_objectName;
    QString m_caption;
    QColor m_lineColor = Qt::black;
    CCompositeShape *m_start;
    CCompositeShape *m_end;
    int m_startPort;
    int m_endPort;
    int m_lineWidth = 1;
    int m_arrowType = NoArrow;
    int m_arrowWidth = 2;
    int m_arrowLength = 3;
    bool m_routed = false;
};
