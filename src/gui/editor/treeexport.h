#pragma once

#include <QList>
#include <QRectF>
#include <QSize>
#include <QString>

#include "canvas/colourscheme.h"

class CCanvasScene;
class CKELDataManager;
class CTessel1Doc;
class QPagedPaintDevice;
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
    QString error;        // why it failed
    double usedScale = 1; // PNG: the scale drawn at
    QSize size;           // PNG: pixels; SVG: units; PDF: points
};

// Writes the scene's drawing; the scale applies to PNG only.
Result Export(CCanvasScene &scene, const QString &path, double scale = 1.0);

// Writes a tree as SVG straight from its records, without a canvas. view,
// when given, is the tree's window, whose collapsed nodes, marks and
// formats the picture keeps; scheme gives the boxes' fills.
Result ExportTreeSvg(const CKELDataManager &manager, int treeId, const QString &path, const CTessel1Doc *view,
                     ColourScheme::Scheme scheme);

// Draws the whole drawing on the printer's page, fitted to it.
void Print(CCanvasScene &scene, QPrinter &printer);

// ---- Pictures larger than one sheet or one image -------------------------

// One part of a drawing cut into a grid; parts overlap their neighbours so
// that nothing on a cut is lost when the sheets are put together.
struct Tile
{
    QRectF source; // in drawing units
    int row = 0;   // from 0, top to bottom
    int column = 0;
};

// Cuts drawing into columns x rows parts of equal size, each grown by
// overlap into its neighbours (never beyond the drawing).
QList<Tile> TileGrid(const QRectF &drawing, int columns, int rows, qreal overlap);

// The grid of parts of at most part (in drawing units, overlap included)
// that covers drawing.
QList<Tile> TilesOf(const QRectF &drawing, const QSizeF &part, qreal overlap);

// Overlap between neighbouring parts, in drawing units.
inline constexpr qreal kTileOverlap = 20.0;

// Writes the drawing at a scale as numbered PNG pictures of at most
// tilePixels each, row by row: NAME-001.png, NAME-002.png, ... from a path
// NAME.png. usedScale is the scale asked for; size holds columns x rows.
Result ExportPngTiles(CCanvasScene &scene, const QString &path, double scale, const QSize &tilePixels);
// The name of the n-th tile (from 1) of a tiled picture.
QString TileFileName(const QString &path, int n, int count);

// Prints the drawing as a poster of columns x rows sheets, each part fitted
// to its sheet and labelled with its place ("Page 2 of 6: row 1, column 2").
// One by one is the whole drawing on one sheet. False when the device
// could not be painted on.
bool PrintPoster(CCanvasScene &scene, QPagedPaintDevice &device, int columns, int rows);
// A poster on the sheets of a PDF file.
Result ExportPdfPoster(CCanvasScene &scene, const QString &path, int columns, int rows);

} // namespace TreeExport
