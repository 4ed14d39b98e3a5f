#pragma once

#include <QRectF>
#include <QString>

class CCanvasScene;
class QIODevice;

// Writes a canvas as SVG straight from the shapes' numbers: one element per
// box, link and text, shared styles as classes, streamed to the device in
// pieces. A painter-driven SVG repeats the whole style on every item and
// keeps the drawing in memory, which a tree of 10^5 nodes cannot afford.
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
};
