#pragma once

#include <QColor>
#include <QFont>
#include <QGraphicsItem>
#include <QString>

#include <optional>

// Small shared vocabulary of the diagram library.
namespace Canvas {

// Colours are kept in the Windows layout 0x00BBGGRR wherever the model or a
// stored value speaks of them; these two convert at the edge.
inline QColor FromColorRef(quint32 ref)
{
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

inline quint32 ToColorRef(const QColor &c)
{
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}

// One page of the canvas, in canvas units (a pixel at 100 %). The page area
// always holds whole pages and only ever grows.
inline constexpr int kPageWidth = 1100;
inline constexpr int kPageHeight = 850;

enum ItemType : int {
    CompositeItem = QGraphicsItem::UserType + 1,
    LinkItem = QGraphicsItem::UserType + 2,
    // a holder of shapes or links that draws nothing itself
    LayerItem = QGraphicsItem::UserType + 3,
};

// Stacking: links run under the boxes they join.
inline constexpr qreal kLinkZ = -1.0;
inline constexpr qreal kShapeZ = 0.0;

// Point sizes are turned into pixel sizes so that a drawing looks the same
// on screen, in a PNG, an SVG, a PDF and on paper, whatever the device's
// resolution.
inline QFont FontFor(const QString &face, int pointSize, int weight = 400)
{
    QFont f(face.isEmpty() ? QStringLiteral("Arial") : face);
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(qMax(1, (pointSize * 4 + 1) / 3));
    f.setWeight(QFont::Weight(qBound(1, weight, 1000)));
    return f;
}

// What the format bar may change on a shape. Unset fields leave the
// shape's own look alone, so that clearing an override restores it.
struct CShapeFormat
{
    std::optional<QString> faceName;
    std::optional<int> pointSize;
    std::optional<QColor> fill;
    std::optional<QColor> lineColor;
    std::optional<int> lineWidth;

    bool operator==(const CShapeFormat &) const = default;
};

} // namespace Canvas
