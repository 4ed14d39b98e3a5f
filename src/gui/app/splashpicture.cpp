#include "splashpicture.h"
#include "apptexts.h"

#include <QCoreApplication>
#include <QLinearGradient>
#include <QPainter>

namespace {

void node(QPainter &p, const QRectF &r, const QString &tag, const QString &text)
{
    p.setPen(QPen(QColor(0x1e, 0x3a, 0x26), 1.5));
    p.setBrush(QColor(0xfb, 0xfa, 0xf0));
    p.drawRect(r);
    const QRectF tagCell(r.left(), r.top(), 26, r.height());
    p.drawLine(tagCell.topRight(), tagCell.bottomRight());
    QFont f = p.font();
    f.setPointSizeF(7.5);
    p.setFont(f);
    p.drawText(tagCell, Qt::AlignCenter, tag);
    p.drawText(r.adjusted(28, 0, -2, 0), Qt::AlignCenter, text);
}

} // namespace

QPixmap SplashPicture()
{
    QPixmap pixmap(520, 320);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 320);
    sky.setColorAt(0, QColor(0x23, 0x5e, 0x3a));
    sky.setColorAt(1, QColor(0x0d, 0x2b, 0x1b));
    p.fillRect(pixmap.rect(), sky);

    // the tree: a root, two children, three grandchildren
    const QRectF root(300, 40, 150, 30);
    const QRectF left(225, 110, 130, 30);
    const QRectF right(385, 110, 120, 30);
    const QRectF l1(190, 180, 110, 30);
    const QRectF l2(310, 180, 110, 30);
    const QRectF r1(420, 180, 90, 30);
    p.setPen(QPen(QColor(0xc9, 0xe8, 0xb0), 2));
    auto link = [&p](const QRectF &a, const QRectF &b) {
        p.drawLine(QPointF(a.center().x(), a.bottom()), QPointF(b.center().x(), b.top()));
    };
    link(root, left);
    link(root, right);
    link(left, l1);
    link(left, l2);
    link(right, r1);
    node(p, root, QStringLiteral("R1"), QStringLiteral("OVEN [idle]"));
    node(p, left, QStringLiteral("R1"), QStringLiteral("BUTTON ??push??"));
    node(p, right, QStringLiteral("R3"), QStringLiteral("DOOR ??open??"));
    node(p, l1, QStringLiteral("R1"), QStringLiteral("OVEN [cooking]"));
    node(p, l2, QStringLiteral("R2"), QStringLiteral("LIGHT [on]"));
    node(p, r1, QStringLiteral("R3"), QStringLiteral("OVEN [idle]"));

    p.setPen(Qt::white);
    QFont title = p.font();
    title.setPointSize(30);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRectF(24, 230, 480, 50), Qt::AlignLeft | Qt::AlignVCenter, AppTexts::ProductName);
    QFont small = p.font();
    small.setPointSize(10);
    small.setBold(false);
    p.setFont(small);
    p.setPen(QColor(0xc9, 0xe8, 0xb0));
    p.drawText(QRectF(26, 276, 480, 24), Qt::AlignLeft | Qt::AlignVCenter,
               AppTexts::SplashVersion + QCoreApplication::applicationVersion());
    return pixmap;
}
