#include "treeexport.h"

#include "canvas/canvasscene.h"

#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <QSvgGenerator>

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
            return failed(QObject::tr("not enough memory for a picture of %1 x %2 pixels").arg(r.size.width()).arg(r.size.height()));
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

} // namespace TreeExport
