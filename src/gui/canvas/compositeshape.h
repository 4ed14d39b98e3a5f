#pragma once

#include "canvastypes.h"

#include <QGraphicsItem>
#include <QList>
#include <QRect>

class CLinkShape;

// A labelled rectangle inside a composite shape, in the shape's coordinates.
struct CLabelCell
{
    QString name;
    QString text;
    QRect rect;
    QString faceName;
    int pointSize = 9;
    int weight = 400;
    int penStyle = 0;  // 0 solid, 1 dash, 2 dot
    int brushType = 0; // 0 no fill, 1 solid fill
    int lineWidth = 1;
    QColor bkColor = Qt::white;
    QColor lineColor = Qt::black;
    QColor textColor = Qt::black;
    bool nullPen = false;
    bool selectProtect = false;
};

// A place on a shape where links start or end.
struct CPort
{
    QPointF at;                // in the shape's coordinates
    QList<CLinkShape *> links; // in the order they were attached
};

// A shape made of labelled cells with ports for links. It is identified by
// a key that the owner chooses (a tree node's id, say); undo actions keep
// the key, never the pointer.
class CCompositeShape : public QGraphicsItem
{
public:
    enum { Type = Canvas::CompositeItem };

    explicit CCompositeShape(int key);
    ~CCompositeShape() override;
    CCompositeShape(const CCompositeShape &) = delete;
    CCompositeShape &operator=(const CCompositeShape &) = delete;

    int type() const override { return Type; }
    int Key() const { return m_key; }

    // The shape's own rectangle (its frame), in its own coordinates from the
    // origin; cells may reach beyond it.
    void Create(const QRect &rect, const QString &caption);
    QRect OwnRect() const { return m_rect; }
    // Gives the frame a new size; the cells scale with it.
    void ResizeFrame(const QSize &size);
    int AddText(const QString &name, const QString &text, const QRect &rect);
    // Replaces the frame and all cells at once.
    void SetCells(const QRect &frame, const QList<CLabelCell> &cells);
    int CellCount() const { return int(m_cells.size()); }
    CLabelCell &Cell(int index) { return m_cells[index]; }
    const CLabelCell &Cell(int index) const { return m_cells[index]; }
    // The first cell of that name, or -1.
    int FindCell(const QString &name) const;
    void RemoveAllCells();

    // Scene rectangle of the shape's frame and cells together.
    QRect GetBoundRect() const;
    // Frame and cells together, in the shape's coordinates.
    QRect GetBorderArea() const { return m_border; }
    // Scene rectangle of everything the shape draws besides selection marks.
    virtual QRect DrawnRect() const { return GetBoundRect(); }
    // Moves the shape so that its border area starts at rect's top-left.
    void PositionShape(const QRect &rect);

    // Ports keep their links when they are laid out again.
    void SetPortPositions(const QList<QPointF> &positions);
    int PortCount() const { return int(m_ports.size()); }
    const CPort *GetPortByIndex(int index) const;
    QList<CLinkShape *> GetLinksOnPort(int index) const;
    QPointF PortScenePos(int index) const;
    // The port nearest to a scene point within reach, or -1.
    int PortNear(const QPointF &scenePos, qreal reach) const;

    // Properties that drawing honours
    int ShapeType() const { return m_shapeType; }
    void SetType(int type) { m_shapeType = type; }
    const QString &ObjectName() const { return m_objectName; }
    void SetObjectName(const QString &name) { m_objectName = name; }
    const QString &ObjectCaption() const { return m_caption; }
    void SetObjectCaption(const QString &caption) { m_caption = caption; }
    QColor BkColor() const { return m_bkColor; }
    void SetBkColor(const QColor &c) { m_bkColor = c; }
    // The shape's own outline over its frame: off (null pen) unless asked for.
    void SetLineColor(const QColor &c);
    QColor LineColor() const { return m_lineColor; }
    void SetLineWidth(int w);
    int LineWidth() const { return m_lineWidth; }
    void SetNullPen(bool on);
    bool NullPen() const { return m_nullPen; }
    // Dashed or dotted outlines tell marks apart where colours cannot.
    void SetLineStyle(Qt::PenStyle style);
    Qt::PenStyle LineStyle() const { return m_lineStyle; }

    const Canvas::CShapeFormat &Format() const { return m_format; }
    void SetFormat(const Canvas::CShapeFormat &format);

    // What a cell looks like once the format overrides are applied.
    QColor EffectiveFill(const CLabelCell &cell) const;
    QColor EffectiveLine(const CLabelCell &cell) const;
    int EffectiveLineWidth(const CLabelCell &cell) const;
    QFont EffectiveFont(const CLabelCell &cell) const;
    // The same for a cell under a format that no shape holds (a picture
    // drawn straight from the model).
    static QColor EffectiveFill(const Canvas::CShapeFormat &format, const CLabelCell &cell);
    static QColor EffectiveLine(const Canvas::CShapeFormat &format, const CLabelCell &cell);
    static int EffectiveLineWidth(const Canvas::CShapeFormat &format, const CLabelCell &cell);
    static QFont EffectiveFont(const Canvas::CShapeFormat &format, const CLabelCell &cell);

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    // What a pointer resting on the shape shows. Shapes that stand for a
    // record say it when asked, so that opening a large canvas writes no
    // text nobody hovers over.
    virtual QString HoverText() const { return toolTip(); }

protected:
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;
    // The colour that stands for the whole shape when it is drawn a few
    // pixels small.
    virtual QColor SummaryColor() const;
    // Drawn over the cells, before the selection marks.
    virtual void PaintDecorations(QPainter *painter, qreal levelOfDetail);

public:
    // What PaintDecorations draws, as SVG elements in scene coordinates
    // less origin; empty when the shape draws nothing besides its cells.
    virtual QByteArray SvgDecorations(const QPointF &origin) const;

protected:
    void UpdateBorder();

private:
    friend class CLinkShape;
    friend class CCanvasScene;
    void attachLink(int port, CLinkShape *link);
    void detachLink(CLinkShape *link);
    void paintCell(QPainter *painter, const CLabelCell &cell) const;

    QList<CLabelCell> m_cells;
    QList<CPort> m_ports;
    Canvas::CShapeFormat m_format;
    QString m_objectName;
    QString m_caption;
    QRect m_rect;
    QRect m_border;
    QColor m_bkColor = Qt::white;
    QColor m_lineColor = Qt::black;
    int m_key;
    // the scene's bookkeeping of a batch: noted once however often it moves
    mutable bool m_batchNoted = false;
    mutable bool m_rehomeNoted = false;
    int m_shapeType = 0;
    int m_lineWidth = 1;
    bool m_nullPen = true;
    Qt::PenStyle m_lineStyle = Qt::SolidLine;
};
