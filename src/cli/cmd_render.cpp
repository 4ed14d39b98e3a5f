// render: draws a tree as its window shows it, into a PNG, SVG or PDF file,
// without opening a window; for documentation pipelines.
#include "clicommands.h"

#include "canvas/canvasscene.h"
#include "editor/tessel1doc.h"
#include "editor/treeexport.h"
#include "model/keldatamanager.h"
#include "model/keltree.h"

#include <QGuiApplication>

#include <QRegularExpression>

#include <cmath>

namespace {

// "WIDTHxHEIGHT" as two positive whole numbers; an invalid size otherwise.
QSize parseGrid(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^\\s*(\\d{1,6})\\s*[xX]\\s*(\\d{1,6})\\s*$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return QSize();
    const QSize size(m.captured(1).toInt(), m.captured(2).toInt());
    return size.width() > 0 && size.height() > 0 ? size : QSize();
}

int runRender(Cli::Context &c)
{
    if (c.args.size() != 2 || c.output.isEmpty())
        return Cli::Usage(c, CliTexts::RenderUsage);
    if (TreeExport::FormatOf(c.output) == TreeExport::Format::Unknown)
        return Cli::Usage(c, CliTexts::RenderFormatUsage);
    double scale = 1.0;
    if (c.values.contains(QStringLiteral("scale"))) {
        bool ok = false;
        scale = c.values.value(QStringLiteral("scale")).toDouble(&ok);
        if (!ok || !(scale > 0) || !std::isfinite(scale))
            return Cli::Usage(c, CliTexts::ScaleUsage);
    }
    const TreeExport::Format format = TreeExport::FormatOf(c.output);
    QSize tile;
    if (c.values.contains(QStringLiteral("tile"))) {
        tile = parseGrid(c.values.value(QStringLiteral("tile")));
        if (format != TreeExport::Format::Png || !tile.isValid())
            return Cli::Usage(c, CliTexts::TileUsage);
    }
    QSize poster;
    if (c.values.contains(QStringLiteral("poster"))) {
        poster = parseGrid(c.values.value(QStringLiteral("poster")));
        if (format != TreeExport::Format::Pdf || !poster.isValid())
            return Cli::Usage(c, CliTexts::PosterUsage);
    }
    // drawing needs fonts, which only a graphical application provides
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return Cli::Fail(c, CliTexts::CannotDraw);

    CKELDataManager manager;
    const CKELTree *tree = Cli::LoadTree(c, manager);
    if (!tree)
        return Cli::FileError;
    TreeExport::Result r;
    if (format == TreeExport::Format::Svg) {
        // straight from the records: no canvas to build for a drawing; in the
        // colours the other pictures get (the user's scheme, Classic unless chosen)
        r = TreeExport::ExportTreeSvg(manager, tree->GetId(), c.output, nullptr, ColourScheme::Current());
        if (!r.ok)
            return Cli::Done(c, Cli::Fail(c, CliTexts::InFile(c.output, r.error)));
        return Cli::Done(c, Cli::Ok);
    }
    const CTessel1Doc doc(manager, tree->GetId());
    if (tile.isValid()) {
        r = TreeExport::ExportPngTiles(doc.Scene(), c.output, scale, tile);
        if (r.ok)
            c.out << CliTexts::TilesWritten(r.size.width(), r.size.height(),
                                            TreeExport::TileFileName(c.output, 1, r.size.width() * r.size.height()));
    } else if (poster.isValid()) {
        r = TreeExport::ExportPdfPoster(doc.Scene(), c.output, poster.width(), poster.height());
    } else {
        if (format == TreeExport::Format::Png) {
            // a picture shrunk until it fits is unreadable for a large tree:
            // say what it needs instead of drawing a thumbnail
            double fits = 1;
            const QRectF drawing = doc.Scene().DrawingArea();
            TreeExport::PngSize(drawing, scale, &fits);
            if (fits < scale * 0.999) {
                return Cli::Fail(
                    c, CliTexts::PictureTooLarge(c.output, scale, qint64(std::ceil(drawing.width() * scale)),
                                                 qint64(std::ceil(drawing.height() * scale)), TreeExport::kMaxPngSide,
                                                 TreeExport::kMaxPngPixels, std::floor(fits * 1e4) / 1e4));
            }
        }
        r = TreeExport::Export(doc.Scene(), c.output, scale);
    }
    if (!r.ok)
        return Cli::Done(c, Cli::Fail(c, CliTexts::InFile(c.output, r.error)));
    return Cli::Done(c, Cli::Ok);
}

const Cli::Registration regRender("render", CliTexts::RenderHelp, &runRender);
const Cli::OptionRegistration optScale("scale", CliTexts::ScaleOptionHelp, true);
const Cli::OptionRegistration optTile("tile", CliTexts::TileOptionHelp, true);
const Cli::OptionRegistration optPoster("poster", CliTexts::PosterOptionHelp, true);

} // namespace
