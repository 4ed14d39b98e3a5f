#pragma once

#include <QRectF>
#include <QSize>
#include <QString>

class CCanvasScene;
class QPrinter;

// Pictures of a tree for documents: PNG at a scale, SVG and PDF, always
// the whole drawing and always in the notation's own colours.
namespace TreeExport {

enum class Format { Png, Svg, Pdf, Unknown };

// By the file's extension.
Format FormatOf(const QString &path);

// The largest picture a PNG may have; a larger scale is reduced to fit so
// that nothing is cut off.
inline constexpr qint64 kMaxPngPixels = qint64(1) << 26;
inline constexpr int kMaxPngSide = 32000;

// The pixel size a PNG of the drawing gets at a scale, and the scale it
// really uses (smaller when the picture would be too large).
QSize PngSize(const QRectF &drawing, double scale, double *usedScale = nullptr);

struct Result
{
    bool ok = false;
    QString error;         // why it failed
    double usedScale = 1;  // PNG: the scale drawn at
    QSize size;            // PNG: pixels; SVG: units; PDF: points
};

// Writes the scene's drawing; the scale applies to PNG only.
Result Export(CCanvasScene &scene, const QString &path, double scale = 1.0);

// Draws the whole drawing on the printer's page, fitted to it.
void Print(CCanvasScene &scene, QPrinter &printer);

} // namespace TreeExport
