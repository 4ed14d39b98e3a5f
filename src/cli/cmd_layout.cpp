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
        return Cli::Usage(c, QStringLiteral("'layout' takes a solution file, a tree and -o OUT.kvf"));
    int subtree = 0;
    const bool hasSubtree = c.values.contains(QStringLiteral("subtree"));
    if (hasSubtree) {
        bool ok = false;
        subtree = c.values.value(QStringLiteral("subtree")).toInt(&ok);
        if (!ok || subtree <= 0)
            return Cli::Usage(c, QStringLiteral("--subtree takes a node id"));
    }
    CKELDataManager manager;
    const CKELTree *tree = Cli::LoadTree(c, manager);
    if (!tree)
        return Cli::FileError;
    const CTreeLayout layout(*tree);
    CLayoutResult result;
    if (hasSubtree) {
        if (!TreeOps::NodeOf(*tree, subtree))
            return Cli::Fail(c, QStringLiteral("no node %1 in tree \"%2\"").arg(subtree).arg(tree->GetName()));
        // as "Arrange Tree" with that node selected and auto-arrange off
        result = layout.RearrangeSubtree(subtree, false);
    } else {
        result = layout.RearrangeAll();
    }
    CTreeLayout::ApplyMoves(manager, result);
    return Cli::Save(c, manager, c.output) ? Cli::Ok : Cli::FileError;
}

const Cli::Registration regLayout(
    "layout", "layout FILE TREE -o OUT [--subtree NODEID]  arrange all trees of TREE side by side, or one subtree",
    &runLayout);
const Cli::OptionRegistration optSubtree("subtree", "with layout: the node whose subtree is arranged", true);

} // namespace
