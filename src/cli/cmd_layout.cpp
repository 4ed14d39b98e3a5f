// layout: arranges a tree as "Rearrange All" does, or one subtree.
#include "clicommands.h"

#include "layout/treelayout.h"
#include "model/keldatamanager.h"
#include "model/keltree.h"
#include "model/treeops.h"

namespace {

int runLayout(Cli::Context &c)
{
    if (c.args.size() != 2 || c.output.isEmpty())
        return Cli::Usage(c, CliTexts::LayoutUsage);
    int subtree = 0;
    const bool hasSubtree = c.values.contains(QStringLiteral("subtree"));
    if (hasSubtree) {
        bool ok = false;
        subtree = c.values.value(QStringLiteral("subtree")).toInt(&ok);
        if (!ok || subtree <= 0)
            return Cli::Usage(c, CliTexts::SubtreeUsage);
    }
    CKELDataManager manager;
    const CKELTree *tree = Cli::LoadTree(c, manager);
    if (!tree)
        return Cli::FileError;
    const CTreeLayout layout(*tree);
    CLayoutResult result;
    if (hasSubtree) {
        if (!TreeOps::NodeOf(*tree, subtree))
            return Cli::Fail(c, CliTexts::NoNodeInTree(QString::number(subtree), tree->GetName()));
        // as "Arrange Tree" with that node selected and auto-arrange off
        result = layout.RearrangeSubtree(subtree, false);
    } else {
        result = layout.RearrangeAll();
    }
    CTreeLayout::ApplyMoves(manager, result);
    return Cli::Save(c, manager, c.output) ? Cli::Ok : Cli::FileError;
}

const Cli::Registration regLayout("layout", CliTexts::LayoutHelp, &runLayout);
const Cli::OptionRegistration optSubtree("subtree", CliTexts::SubtreeOptionHelp, true);

} // namespace
