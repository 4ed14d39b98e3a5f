#pragma once

#include "canvastypes.h"

#include <QColor>
#include <QList>
#include <QPolygonF>
#include <QRectF>
#include <QString>

#include <functional>

class CCanvasScene;
struct CLabelCell;
class QIODevice;

// One box of a picture as plain values: what a composite shape draws.
struct CSvgBox
{
    int key = 0;
    QPointF pos; // the shape's origin in drawing units
    QRect frame; // the shape's own rectangle, in its coordinates
    const QList<CLabelCell> *cells = nullptr;
    const Canvas::CShapeFormat *format = nullptr; // null: no overrides
    // the shape's own outline over its frame; width 0 for none
    QColor outline;
    int outlineWidth = 0;
    Qt::PenStyle outlineStyle = Qt::SolidLine;
    // further elements, already in the picture's coordinates
    QByteArray decorations;
};

// One link of a picture: the route it takes and how it is drawn.
struct CSvgLink
{
    QPolygonF path;
    QColor colour;
    int width = 1;
    int arrowType = 0; // CLinkShape::ArrowType
    QSizeF head;       // CLinkShape::ArrowHeadSize
};

// What a picture is drawn from: a canvas, or a model drawn without one.
// Each call hands over the same items in the same order, so that the
// writer can gather the shared styles first and stream the items after.
class CSvgSource
{
public:
    virtual ~CSvgSource() = default;
    // The part of the drawing the picture shows, in drawing units.
    virtual QRectF Area() const = 0;
    // origin: the picture's top-left in drawing units, for decorations.
    virtual void Boxes(const QPointF &origin, const std::function<void(const CSvgBox &)> &visit) const = 0;
    virtual void Links(const std::function<void(const CSvgLink &)> &visit) const = 0;
};

struct CSvgOptions
{
    QString title;
    QString description;
    bool declaration = true; // false for a drawing placed inside a page
    // an invisible box with id "n" + key over each box, so that a page's
    // link "#n42" can point at it
    bool hitBoxes = false;
};

// Writes SVG straight from the items' numbers: one element per box, link
// and text, shared styles as classes, streamed to the device in pieces. A
// painter-driven SVG repeats the whole style on every item and keeps the
// drawing in memory, which a tree of 10^5 nodes cannot afford.
class CSvgWriter
{
public:
    // Whether every visible item of the scene is a shape or a link, which
    // is all this writer knows how to draw.
    static bool CanWrite(const CCanvasScene &scene);

    // Writes the part of the scene inside area so that area's top-left is
    // the picture's origin; false when the device refused the bytes.
    static bool Write(const CCanvasScene &scene, const QRectF &area, QIODevice &out, const QString &title,
                      const QString &description);
    static bool Write(const CSvgSource &source, QIODevice &out, const CSvgOptions &options);
};
