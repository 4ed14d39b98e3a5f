#include "kelcidshape.h"

#include "canvas/canvastypes.h"

#include <QPainter>

namespace {

constexpr int kColumn = 170;
constexpr int kArrowHead = 6;
constexpr int kNameTop = 42;
constexpr int kNameHeight = 20;

QRect shapeRect(const Cid::Rect &r, const QPoint &origin)
{
    return QRect(QPoint(r.left, r.top) - origin, QPoint(r.right, r.bottom) - origin - QPoint(1, 1));
}

} // namespace

void ApplyEvolutionLook(CLabelCell &cell, int status)
{
    if (status == -1) {
        cell.textColor = QColor(0x80, 0x80, 0x80);
        cell.lineColor = QColor(0x80, 0x80, 0x80);
        cell.nullPen = false;
        cell.penStyle = 1;
        cell.lineWidth = 1;
    } else if (status == 1) {
        cell.weight = 900;
        cell.nullPen = false;
        cell.penStyle = 0;
        cell.lineWidth = 3;
    }
}

CKELCIDShape::CKELCIDShape(int key, const QString &component, const Cid::Drawing &drawing)
    : CCompositeShape(key)
    , m_boxCount(int(drawing.boxes.size()))
{
    setFlag(ItemIsMovable, false);
    const QPoint origin(drawing.shape.left, drawing.shape.top);
    const int height = drawing.shape.bottom - drawing.shape.top;
    Create(QRect(0, 0, qMax(1, drawing.shape.right - drawing.shape.left), qMax(1, height)),
           QStringLiteral("KELCIDShape"));
    SetObjectName(QStringLiteral("KELCIDShape"));
    SetType(kShapeType);
    SetBkColor(Canvas::FromColorRef(kBackground));
    for (qsizetype k = 0; k < drawing.boxes.size(); ++k) {
        const Cid::BoxDrawing &b = drawing.boxes[k];
        m_firstCell.append(CellCount());
        const int column = AddText(QStringLiteral("Box"), QString(), QRect(int(k) * kColumn, 0, kColumn, height));
        Cell(column).brushType = 1;
        Cell(column).bkColor = Canvas::FromColorRef(kBackground);

        const int pre =
            AddText(QStringLiteral("PrecondLabel"), b.precondition.text, shapeRect(b.precondition.rect, origin));
        CLabelCell &p = Cell(pre);
        p.faceName = QStringLiteral("Arial");
        p.pointSize = 9;
        p.weight = 700;
        p.brushType = 1;
        p.bkColor = Canvas::FromColorRef(kPreconditionBackground);
        p.nullPen = true;
        ApplyEvolutionLook(p, b.precondition.status);

        // the component's name between the two states, below a wrapped precondition
        const int nameTop = qMax(kNameTop, Cell(pre).rect.bottom() + 3);
        const int comp =
            AddText(QStringLiteral("Comp"), component, QRect(int(k) * kColumn + 10, nameTop, 120, kNameHeight));
        Cell(comp).faceName = QStringLiteral("Arial");
        Cell(comp).pointSize = 9;
        Cell(comp).nullPen = true;

        const int state = AddText(QStringLiteral("NewStateLabel"), b.newState.text, shapeRect(b.newState.rect, origin));
        CLabelCell &s = Cell(state);
        s.faceName = QStringLiteral("Arial");
        s.pointSize = 9;
        s.brushType = 1;
        s.bkColor = Qt::white;
        ApplyEvolutionLook(s, b.newState.status);
    }
    setPos(origin);
}

int CKELCIDShape::BoxCell(int k, const QString &name) const
{
    if (k < 0 || k >= m_firstCell.size())
        return -1;
    const int end = k + 1 < m_firstCell.size() ? m_firstCell[k + 1] : CellCount();
    for (int i = m_firstCell[k]; i < end; ++i) {
        if (Cell(i).name == name)
            return i;
    }
    return -1;
}

void CKELCIDShape::PaintDecorations(QPainter *painter, qreal)
{
    // each column reads from the state before to the state entered
    painter->setPen(QPen(Qt::black, 1));
    for (int k = 0; k < m_boxCount; ++k) {
        const int pre = BoxCell(k, QStringLiteral("PrecondLabel"));
        const int state = BoxCell(k, QStringLiteral("NewStateLabel"));
        if (pre < 0 || state < 0)
            continue;
        const qreal x = Cell(state).rect.left() + Cell(state).rect.width() / 2.0;
        const int comp = BoxCell(k, QStringLiteral("Comp"));
        const qreal from = (comp >= 0 ? Cell(comp).rect.bottom() + 1 : kNameTop + kNameHeight) + 2;
        const qreal to = Cell(state).rect.top() - 1;
        if (to - from < kArrowHead)
            continue;
        painter->drawLine(QLineF(x, from, x, to));
        painter->drawLine(QLineF(x, to, x - kArrowHead / 2.0, to - kArrowHead));
        painter->drawLine(QLineF(x, to, x + kArrowHead / 2.0, to - kArrowHead));
    }
}

CKELCIDTextLabel::CKELCIDTextLabel(int key, const Cid::Label &label) : CCompositeShape(key)
{
    setFlag(ItemIsMovable, false);
    const QRect rect(0, 0, label.rect.right - label.rect.left, label.rect.bottom - label.rect.top);
    Create(rect, QStringLiteral("KELCIDTextLabel"));
    SetObjectName(QStringLiteral("KELCIDTextLabel"));
    const int comp = AddText(QStringLiteral("Comp"), label.text, rect);
    CLabelCell &c = Cell(comp);
    c.faceName = QStringLiteral("Arial");
    c.pointSize = 9;
    c.brushType = 1;
    c.bkColor = Qt::white;
    setPos(label.rect.left, label.rect.top);
}

QString CKELCIDTextLabel::Text() const
{
    const int comp = FindCell(QStringLiteral("Comp"));
    return comp >= 0 ? Cell(comp).text : QString();
}
