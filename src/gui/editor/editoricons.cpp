#include "editoricons.h"

#include "editortexts.h"

#include <QPainter>
#include <QPixmap>

namespace {

const QColor kBox(0, 200, 0);
const QColor kAccent(30, 90, 200);

void node(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(kBox);
    p.drawRect(r);
}

void arrow(QPainter &p, QPointF from, QPointF to)
{
    p.setPen(QPen(Qt::black, 1.2));
    p.drawLine(from, to);
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygonF({to, to + QPointF(-2.5, -3.5), to + QPointF(2.5, -3.5)}));
}

void smallTree(QPainter &p)
{
    node(p, QRectF(8.5, 2.5, 8, 5));
    node(p, QRectF(1.5, 15.5, 8, 5));
    node(p, QRectF(15.5, 15.5, 8, 5));
    arrow(p, QPointF(12.5, 7.5), QPointF(5.5, 15.5));
    arrow(p, QPointF(12.5, 7.5), QPointF(19.5, 15.5));
}

} // namespace

QIcon EditorIcon(const QString &command)
{
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    if (command == EditorTexts::AddNode) {
        node(p, QRectF(2.5, 6.5, 15, 10));
        p.setPen(QPen(kAccent, 2.5));
        p.drawLine(QPointF(19, 13), QPointF(19, 23));
        p.drawLine(QPointF(14, 18), QPointF(24, 18));
    } else if (command == EditorTexts::AddLink) {
        node(p, QRectF(4.5, 1.5, 15, 6));
        node(p, QRectF(4.5, 16.5, 15, 6));
        p.setPen(QPen(kAccent, 1));
        arrow(p, QPointF(12, 7.5), QPointF(12, 16.5));
    } else if (command == EditorTexts::ArrangeTree) {
        smallTree(p);
    } else if (command == EditorTexts::AutoArrangeTree) {
        smallTree(p);
        p.setPen(QPen(kAccent, 2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(0.5, 0.5, 9, 9), 30 * 16, 270 * 16);
    } else {
        return QIcon();
    }
    p.end();
    return QIcon(pm);
}
