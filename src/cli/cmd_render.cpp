// render: draws a tree as its window shows it, into a PNG, SVG or PDF file,
// without opening a window; for documentation pipelines.
#include "clicommands.h"

#include "editor/tessel1doc.h"
#include "editor/treeexport.h"
#include "model/keldatamanager.h"
#include "model/keltree.h"

#include <QGuiApplication>

#include <cmath>

namespace {

int runRender(Cli::Context &c)
{
    if (c.args.size() != 2 || c.output.isEmpty())
        return Cli::Usage(c, QStringLiteral("'render' takes a solution file, a tree and -o OUT.png, OUT.svg or OUT.pdf"));
    if (TreeExport::FormatOf(c.output) == TreeExport::Format::Unknown)
        return Cli::Usage(c, QStringLiteral("the output of 'render' must end in .png, .svg or .pdf"));
    double scale = 1.0;
    if (c.values.contains(QStringLiteral("scale"))) {
        bool ok = false;
        scale = c.values.value(QStringLiteral("scale")).toDouble(&ok);
        if (!ok || !(scale > 0) || !std::isfinite(scale))
            return Cli::Usage(c, QStringLiteral("--scale takes a number greater than 0"));
    }
    // drawing needs fonts, which only a graphical application provides
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return Cli::Fail(c, QStringLiteral("'render' cannot draw in this process"));

    CKELDataManager manager;
    if (!Cli::Load(c, manager, c.args[0]))
        return Cli::FileError;
    const CKELTree *tree = Cli::FindTree(c, manager, c.args[1]);
    if (!tree)
        return Cli::FileError;
    const CTessel1Doc doc(manager, tree->GetId());
    const TreeExport::Result r = TreeExport::Export(doc.Scene(), c.output, scale);
    if (!r.ok)
        return Cli::Fail(c, c.output + QStringLiteral(": ") + r.error);
    if (TreeExport::FormatOf(c.output) == TreeExport::Format::Png && r.usedScale < scale * 0.999) {
        c.err << "verdantis-cli: note: the tree is too large for that scale; drawn at " << QString::number(r.usedScale, 'g', 3)
              << " so that all of it fits\n";
    }
    return Cli::Ok;
}

const Cli::Registration regRender(
    "render", "render FILE TREE -o OUT.png|OUT.svg|OUT.pdf [--scale S]  draw a tree as its window shows it", &runRender);
const Cli::OptionRegistration optScale("scale", "with render: the scale of a PNG picture (1 = 100 %)", true);

} // namespace
