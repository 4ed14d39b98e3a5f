#include "treeexport.h"

#include "canvas/canvasscene.h"
#include "canvas/svgwriter.h"
#include "treesvgsource.h"

#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

namespace TreeExport {

namespace {

// PDF viewers refuse pages beyond 200 inches.
constexpr double kMaxPdfPoints = 14400.0;

Result failed(const QString &error)
{
    Result r;
    r.error = error;
    return r;
}

bool commit(QSaveFile &file, Result &r)
{
    if (!file.commit()) {
        r.ok = false;
        r.error = file.errorString();
        return false;
    }
    r.ok = true;
    return true;
}

} // namespace

Format FormatOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"png")
        return Format::Png;
    if (suffix == u"svg")
        return Format::Svg;
    if (suffix == u"pdf")
        return Format::Pdf;
    return Format::Unknown;
}

QSize PngSize(const QRectF &drawing, double scale, double *usedScale)
{
    if (!(scale > 0) || !std::isfinite(scale))
        scale = 1.0;
    const double w = std::max(1.0, drawing.width());
    const double h = std::max(1.0, drawing.height());
    // the whole drawing always fits: a scale too large for one picture shrinks
    scale = std::min({scale, kMaxPngSide / w, kMaxPngSide / h, std::sqrt(double(kMaxPngPixels) / (w * h))});
    if (usedScale)
        *usedScale = scale;
    return QSize(std::max(1, int(std::ceil(w * scale))), std::max(1, int(std::ceil(h * scale))));
}

Result Export(CCanvasScene &scene, const QString &path, double scale)
{
    const Format format = FormatOf(path);
    if (format == Format::Unknown)
        return failed(QObject::tr("\"%1\": the picture's name must end in .png, .svg or .pdf").arg(path));
    const QRectF drawing = scene.DrawingArea();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString());
    Result r;
    switch (format) {
    case Format::Png: {
        r.size = PngSize(drawing, scale, &r.usedScale);
        QImage image(r.size, QImage::Format_RGB32);
        if (image.isNull())
            return failed(QObject::tr("not enough memory for a picture of %1 x %2 pixels")
                              .arg(r.size.width())
                              .arg(r.size.height()));
        image.fill(Qt::white);
        {
            QPainter p(&image);
            p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
            scene.RenderPlain(&p, QRectF(QPointF(0, 0), QSizeF(r.size)), drawing);
        }
        QImageWriter writer(&file, "png");
        if (!writer.write(image))
            return failed(writer.errorString());
        break;
    }
    case Format::Svg: {
        r.size = drawing.size().toSize().expandedTo(QSize(1, 1));
        if (CSvgWriter::CanWrite(scene)) {
            if (!CSvgWriter::Write(scene, drawing, file, QFileInfo(path).completeBaseName(),
                                   QObject::tr("A behavior tree drawn by Verdantis")))
                return failed(file.errorString());
            break;
        }
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(r.size);
        svg.setViewBox(QRect(QPoint(0, 0), r.size));
        svg.setTitle(QFileInfo(path).completeBaseName());
        svg.setDescription(QObject::tr("A behavior tree drawn by Verdantis"));
        QPainter p;
        if (!p.begin(&svg))
            return failed(QObject::tr("the SVG file could not be started"));
        scene.RenderPlain(&p, QRectF(QPointF(0, 0), QSizeF(r.size)), drawing);
        p.end();
        break;
    }
    case Format::Pdf: {
        const double fit = std::min({1.0, kMaxPdfPoints / drawing.width(), kMaxPdfPoints / drawing.height()});
        const QSizeF page(drawing.width() * fit, drawing.height() * fit);
        r.size = page.toSize();
        r.usedScale = fit;
        QPdfWriter pdf(&file);
        pdf.setPageSize(QPageSize(page, QPageSize::Point, QString(), QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setTitle(QFileInfo(path).completeBaseName());
        pdf.setCreator(QStringLiteral("Verdantis"));
        QPainter p;
        if (!p.begin(&pdf))
            return failed(QObject::tr("the PDF file could not be started"));
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        scene.RenderPlain(&p, QRectF(0, 0, pdf.width(), pdf.height()), drawing);
        p.end();
        break;
    }
    case Format::Unknown: break;
    }
    commit(file, r);
    return r;
}

Result ExportTreeSvg(const CKELDataManager &manager, int treeId, const QString &path, const CTessel1Doc *view,
                     ColourScheme::Scheme scheme)
{
    if (FormatOf(path) != Format::Svg)
        return failed(QObject::tr("\"%1\": the drawing's name must end in .svg").arg(path));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString());
    const CTreeSvgSource source(manager, treeId, view, scheme);
    CSvgOptions options;
    options.title = QFileInfo(path).completeBaseName();
    options.description = QObject::tr("A behavior tree drawn by Verdantis");
    if (!CSvgWriter::Write(source, file, options))
        return failed(file.errorString());
    Result r;
    r.size = source.Area().size().toSize().expandedTo(QSize(1, 1));
    commit(file, r);
    return r;
}

void Print(CCanvasScene &scene, QPrinter &printer)
{
    QPainter p;
    if (!p.begin(&printer))
        return;
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    scene.RenderPlain(&p, QRectF(QPointF(0, 0), page.size()), scene.DrawingArea());
    p.end();
}

// ---- Pictures larger than one sheet or one image ---------------------------

QList<Tile> TileGrid(const QRectF &drawing, int columns, int rows, qreal overlap)
{
    columns = std::max(1, columns);
    rows = std::max(1, rows);
    const qreal w = drawing.width() / columns;
    const qreal h = drawing.height() / rows;
    QList<Tile> tiles;
    tiles.reserve(qsizetype(columns) * rows);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const QRectF part(drawing.left() + c * w, drawing.top() + r * h, w, h);
            tiles.append({part.adjusted(-overlap, -overlap, overlap, overlap).intersected(drawing), r, c});
        }
    }
    return tiles;
}

QList<Tile> TilesOf(const QRectF &drawing, const QSizeF &part, qreal overlap)
{
    const qreal stepX = std::max<qreal>(1, part.width() - overlap);
    const qreal stepY = std::max<qreal>(1, part.height() - overlap);
    const int columns = std::max(1, int(std::ceil((drawing.width() - overlap) / stepX)));
    const int rows = std::max(1, int(std::ceil((drawing.height() - overlap) / stepY)));
    QList<Tile> tiles;
    tiles.reserve(qsizetype(columns) * rows);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const QRectF source(drawing.left() + c * stepX, drawing.top() + r * stepY, part.width(), part.height());
            tiles.append({source.intersected(drawing), r, c});
        }
    }
    return tiles;
}

QString TileFileName(const QString &path, int n, int count)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    const QString base = suffix.isEmpty() ? path : path.left(path.size() - suffix.size() - 1);
    const int digits = std::max(3, int(QString::number(count).size()));
    return QStringLiteral("%1-%2.%3")
        .arg(base)
        .arg(n, digits, 10, QLatin1Char('0'))
        .arg(suffix.isEmpty() ? QStringLiteral("png") : suffix);
}

Result ExportPngTiles(CCanvasScene &scene, const QString &path, double scale, const QSize &tilePixels)
{
    if (!(scale > 0) || !std::isfinite(scale))
        scale = 1.0;
    if (tilePixels.width() < 16 || tilePixels.height() < 16 || tilePixels.width() > kMaxPngSide
        || tilePixels.height() > kMaxPngSide || qint64(tilePixels.width()) * tilePixels.height() > kMaxPngPixels)
        return failed(QObject::tr("a tile must be from 16 x 16 to %1 x %1 pixels and at most %2 pixels in all")
                          .arg(kMaxPngSide)
                          .arg(kMaxPngPixels));
    const QRectF drawing = scene.DrawingArea();
    const QList<Tile> tiles = TilesOf(drawing, QSizeF(tilePixels) / scale, 0);
    constexpr int kMaxTiles = 100000;
    if (tiles.size() > kMaxTiles)
        return failed(
            QObject::tr("%1 tiles would be needed; choose larger tiles or a smaller scale").arg(tiles.size()));
    Result r;
    r.usedScale = scale;
    r.size = QSize(tiles.last().column + 1, tiles.last().row + 1);
    int n = 0;
    for (const Tile &t : tiles) {
        ++n;
        const QSize pixels(std::max(1, int(std::ceil(t.source.width() * scale - 0.001))),
                           std::max(1, int(std::ceil(t.source.height() * scale - 0.001))));
        QImage image(pixels, QImage::Format_RGB32);
        if (image.isNull())
            return failed(
                QObject::tr("not enough memory for a tile of %1 x %2 pixels").arg(pixels.width()).arg(pixels.height()));
        image.fill(Qt::white);
        {
            QPainter p(&image);
            p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
            scene.RenderPlain(&p, QRectF(QPointF(0, 0), QSizeF(t.source.size() * scale)), t.source);
        }
        QSaveFile file(TileFileName(path, n, int(tiles.size())));
        if (!file.open(QIODevice::WriteOnly))
            return failed(file.fileName() + QStringLiteral(": ") + file.errorString());
        QImageWriter writer(&file, "png");
        if (!writer.write(image))
            return failed(file.fileName() + QStringLiteral(": ") + writer.errorString());
        if (!file.commit())
            return failed(file.fileName() + QStringLiteral(": ") + file.errorString());
    }
    r.ok = true;
    return r;
}

bool PrintPoster(CCanvasScene &scene, QPagedPaintDevice &device, int columns, int rows)
{
    const QRectF drawing = scene.DrawingArea();
    const QList<Tile> tiles = TileGrid(drawing, columns, rows, columns * rows > 1 ? kTileOverlap : 0);
    QPainter p;
    if (!p.begin(&device))
        return false;
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    QFont labelFont(QStringLiteral("Arial"));
    labelFont.setStyleHint(QFont::SansSerif);
    labelFont.setPointSizeF(8);
    p.setFont(labelFont);
    const qreal label = tiles.size() > 1 ? p.fontMetrics().height() * 1.5 : 0;
    const QRectF page(0, 0, device.width(), device.height());
    const QRectF room = page.adjusted(0, 0, 0, -label);
    // every part at the same scale, so that the sheets fit together
    qreal scale = 1e30;
    for (const Tile &t : tiles)
        scale = std::min({scale, room.width() / t.source.width(), room.height() / t.source.height()});
    int n = 0;
    for (const Tile &t : tiles) {
        if (n++ > 0 && !device.newPage())
            return false;
        // the scene draws whole items that only touch the part: cut them at
        // its edge, or they run over the label and the neighbouring part
        const QRectF target(room.topLeft(), t.source.size() * scale);
        p.save();
        p.setClipRect(target);
        scene.RenderPlain(&p, target, t.source);
        p.restore();
        if (label > 0) {
            p.setPen(Qt::black);
            p.drawText(QRectF(page.left(), room.bottom(), page.width(), label), Qt::AlignLeft | Qt::AlignVCenter,
                       QObject::tr("Page %1 of %2: row %3, column %4 (of %5 x %6)")
                           .arg(n)
                           .arg(tiles.size())
                           .arg(t.row + 1)
                           .arg(t.column + 1)
                           .arg(columns)
                           .arg(rows));
        }
    }
    return p.end();
}

Result ExportPdfPoster(CCanvasScene &scene, const QString &path, int columns, int rows)
{
    if (columns < 1 || rows < 1 || columns > 100 || rows > 100)
        return failed(QObject::tr("a poster has from 1 to 100 pages across and down"));
    if (FormatOf(path) != Format::Pdf)
        return failed(QObject::tr("\"%1\": a poster is written as a PDF document").arg(path));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString());
    const QRectF drawing = scene.DrawingArea();
    QPdfWriter pdf(&file);
    pdf.setTitle(QFileInfo(path).completeBaseName());
    pdf.setCreator(QStringLiteral("Verdantis"));
    pdf.setPageSize(QPageSize(QPageSize::A4));
    const bool wide = drawing.width() / columns > drawing.height() / rows;
    pdf.setPageOrientation(wide ? QPageLayout::Landscape : QPageLayout::Portrait);
    pdf.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    if (!PrintPoster(scene, pdf, columns, rows))
        return failed(QObject::tr("the PDF file could not be started"));
    Result r;
    r.size = QSize(columns, rows);
    commit(file, r);
    return r;
}

} // namespace TreeExport
