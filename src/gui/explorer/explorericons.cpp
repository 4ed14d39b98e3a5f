#include "explorericons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// Index numbers of the element kinds (their GetImageIndex values).
enum Image {
    Solution = 0,
    Project = 1,
    Version = 2,
    RequirementsFolder = 3,
    Requirement = 4,
    ComponentsFolder = 5,
    Component = 6,
    State = 7,
    RBTsFolder = 8,
    RBT = 9,
    IBTsFolder = 10,
    DBT = 11,
    Method = 12,
    CBTsFolder = 16,
    CBT = 17,
    CIDsFolder = 18,
    CID = 19,
    CIN = 20,
    EVTsFolder = 21,
    EVT = 22,
};

void folder(QPainter &p, const QColor &mark)
{
    QPainterPath path;
    path.moveTo(1.5, 5);
    path.lineTo(7, 5);
    path.lineTo(8.5, 3.5);
    path.lineTo(12, 3.5);
    path.lineTo(12, 5);
    path.lineTo(18.5, 5);
    path.lineTo(18.5, 16.5);
    path.lineTo(1.5, 16.5);
    path.closeSubpath();
    p.setPen(QPen(QColor(0x9a, 0x7b, 0x1c), 1));
    p.setBrush(QColor(0xf4, 0xd0, 0x6a));
    p.drawPath(path);
    // a coloured badge tells the folders apart
    p.setPen(Qt::NoPen);
    p.setBrush(mark);
    p.drawRoundedRect(QRectF(9.5, 9, 8, 6.5), 1.5, 1.5);
}

void treeGlyph(QPainter &p, const QColor &fill, qreal lineWidth)
{
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), lineWidth));
    p.drawLine(QPointF(10, 6), QPointF(5, 12));
    p.drawLine(QPointF(10, 6), QPointF(15, 12));
    p.setPen(QPen(fill.darker(160), 1));
    p.setBrush(fill);
    p.drawRect(QRectF(6.5, 2.5, 7, 5));
    p.drawRect(QRectF(1.5, 12.5, 7, 5));
    p.drawRect(QRectF(11.5, 12.5, 7, 5));
}

void paint(QPainter &p, int index)
{
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case Solution: {
        p.setPen(QPen(QColor(0x1d, 0x3c, 0x6e), 1));
        p.setBrush(QColor(0x3b, 0x6e, 0xb5));
        p.drawRoundedRect(QRectF(2.5, 5.5, 15, 11), 2, 2);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(7.5, 3, 5, 2.5));
        p.setPen(QPen(Qt::white, 1.2));
        p.drawLine(QPointF(2.5, 10), QPointF(17.5, 10));
        break;
    }
    case Project:
        p.setPen(QPen(QColor(0x1f, 0x5f, 0x5b), 1));
        p.setBrush(QColor(0x2e, 0x9e, 0x96));
        p.drawEllipse(QRectF(3, 3, 14, 14));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(7.5, 7.5, 5, 5));
        break;
    case Version: {
        QPainterPath tag;
        tag.moveTo(2.5, 6);
        tag.lineTo(12, 6);
        tag.lineTo(17.5, 10);
        tag.lineTo(12, 14);
        tag.lineTo(2.5, 14);
        tag.closeSubpath();
        p.setPen(QPen(QColor(0x6b, 0x3f, 0x0c), 1));
        p.setBrush(QColor(0xe0, 0x8a, 0x2c));
        p.drawPath(tag);
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(11, 8.5, 3, 3));
        break;
    }
    case RequirementsFolder: folder(p, QColor(0x3b, 0x6e, 0xb5)); break;
    case ComponentsFolder: folder(p, QColor(0xd9, 0x6c, 0x1f)); break;
    case RBTsFolder: folder(p, QColor(0x3c, 0x9a, 0x3c)); break;
    case IBTsFolder: folder(p, QColor(0x25, 0x4f, 0xa8)); break;
    case CBTsFolder: folder(p, QColor(0x8e, 0x44, 0xad)); break;
    case CIDsFolder: folder(p, QColor(0xc0, 0x39, 0x2b)); break;
    case EVTsFolder: folder(p, QColor(0x6d, 0x6d, 0x6d)); break;
    case Requirement:
        p.setPen(QPen(QColor(0x50, 0x50, 0x50), 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 2.5, 11, 15));
        p.setPen(QPen(QColor(0x3b, 0x6e, 0xb5), 1));
        for (qreal y = 6; y <= 14; y += 2.7)
            p.drawLine(QPointF(6.5, y), QPointF(13.5, y));
        break;
    case Component: {
        p.setPen(QPen(QColor(0x7a, 0x3a, 0x08), 1));
        p.setBrush(QColor(0xf0, 0x93, 0x3a));
        p.drawRect(QRectF(3.5, 7.5, 10, 10));
        QPolygonF top{QPointF(3.5, 7.5), QPointF(7.5, 3.5), QPointF(17.5, 3.5), QPointF(13.5, 7.5)};
        p.setBrush(QColor(0xf8, 0xb8, 0x72));
        p.drawPolygon(top);
        QPolygonF side{QPointF(13.5, 7.5), QPointF(17.5, 3.5), QPointF(17.5, 13.5), QPointF(13.5, 17.5)};
        p.setBrush(QColor(0xc4, 0x6e, 0x1c));
        p.drawPolygon(side);
        break;
    }
    case State:
        p.setPen(QPen(QColor(0x1e, 0x6b, 0x2e), 1));
        p.setBrush(QColor(0x5c, 0xc0, 0x6a));
        p.drawRoundedRect(QRectF(2.5, 6.5, 15, 8), 4, 4);
        p.setPen(QPen(Qt::white, 1.3));
        p.drawLine(QPointF(6, 10.5), QPointF(14, 10.5));
        break;
    case RBT: treeGlyph(p, QColor(0x8f, 0xd4, 0x8f), 1); break;
    case DBT: treeGlyph(p, QColor(0x86, 0xa8, 0xe8), 1); break;
    case CBT: treeGlyph(p, QColor(0xc9, 0x9b, 0xe0), 1); break;
    case EVT: treeGlyph(p, QColor(0xc8, 0xc8, 0xc8), 2); break;
    case Method:
        p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1));
        p.setBrush(QColor(0xff, 0xf5, 0xc4));
        p.drawRect(QRectF(2.5, 4.5, 15, 11));
        p.drawLine(QPointF(2.5, 8.5), QPointF(17.5, 8.5));
        p.drawLine(QPointF(2.5, 12), QPointF(17.5, 12));
        break;
    case CID:
        p.setPen(QPen(QColor(0x7b, 0x1f, 0x16), 1));
        p.setBrush(QColor(0xf1, 0x94, 0x8a));
        p.drawRect(QRectF(6.5, 5.5, 7, 9));
        p.drawLine(QPointF(1, 10), QPointF(6.5, 10));
        p.drawLine(QPointF(13.5, 10), QPointF(19, 10));
        p.drawLine(QPointF(16.5, 8), QPointF(19, 10));
        p.drawLine(QPointF(16.5, 12), QPointF(19, 10));
        break;
    case CIN:
        p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1));
        p.drawLine(QPointF(5, 5), QPointF(15, 6));
        p.drawLine(QPointF(5, 5), QPointF(9, 15));
        p.drawLine(QPointF(15, 6), QPointF(9, 15));
        p.setBrush(QColor(0xe3, 0xe0, 0xbb));
        p.drawEllipse(QPointF(5, 5), 3, 3);
        p.drawEllipse(QPointF(15, 6), 3, 3);
        p.drawEllipse(QPointF(9, 15), 3, 3);
        break;
    default:
        p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1));
        p.setBrush(QColor(0xd0, 0xd0, 0xd0));
        p.drawEllipse(QRectF(5, 5, 10, 10));
        break;
    }
}

QPixmap render(int index, int side, bool plus)
{
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.scale(side / 20.0, side / 20.0);
    paint(p, index);
    if (plus) {
        p.setPen(QPen(QColor(0x10, 0x70, 0x10), 1));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(11, 11, 8.5, 8.5));
        p.setPen(QPen(QColor(0x10, 0x70, 0x10), 1.6));
        p.drawLine(QPointF(15.25, 12.8), QPointF(15.25, 17.7));
        p.drawLine(QPointF(12.8, 15.25), QPointF(17.7, 15.25));
    }
    return pixmap;
}

QIcon make(int index, bool plus)
{
    QIcon icon;
    for (int side : {20, 40})
        icon.addPixmap(render(index, side, plus));
    return icon;
}

} // namespace

namespace ExplorerIcons {

QIcon Icon(int imageIndex)
{
    static QHash<int, QIcon> cache;
    auto it = cache.find(imageIndex);
    if (it == cache.end())
        it = cache.insert(imageIndex, make(imageIndex, false));
    return *it;
}

QIcon NewIcon(int imageIndex)
{
    static QHash<int, QIcon> cache;
    auto it = cache.find(imageIndex);
    if (it == cache.end())
        it = cache.insert(imageIndex, make(imageIndex, true));
    return *it;
}

} // namespace ExplorerIcons
