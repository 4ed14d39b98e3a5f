// derive cid: the component interface diagram of one component of a tree.
#include "clicommands.h"

#include "derive/cid.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/treeops.h"

#include <algorithm>

namespace {

bool treeHasComponent(const CKELDataManager &manager, const CKELTree &tree, const QString &component)
{
    const QList<const CKELMethod *> roots = tree.Roots();
    if (roots.isEmpty())
        return false;
    const QList<const CKELMethod *> nodes = TreeOps::PreOrder(manager, roots.first());
    return std::any_of(nodes.begin(), nodes.end(), [&](const CKELMethod *n) { return n->component == component; });
}

int runDeriveCid(Cli::Context &c)
{
    if (c.args.size() != 3)
        return Cli::Usage(c, CliTexts::DeriveCidUsage);
    CKELDataManager manager;
    const CKELTree *tree = Cli::LoadTree(c, manager);
    if (!tree)
        return Cli::FileError;
    const QString &component = c.args[2];
    if (!treeHasComponent(manager, *tree, component))
        return Cli::Fail(c, CliTexts::NoNodeOfComponent(component, c.args[1]));
    // the interface alone: the command prints it and keeps no diagram
    const QList<Cid::Box> boxes = Cid::BuildInterface(*tree, component);
    // K is the box's place among all boxes found, so that dropped repeats
    // show as gaps
    for (const Cid::Box &box : std::as_const(boxes)) {
        c.out << "box " << box.index << ": " << box.PreconditionText() << " -> " << box.NewStateText()
              << " | stimulus: " << box.stimulus.join(QStringLiteral("; "))
              << " | responses: " << box.responses.join(QStringLiteral("; ")) << '\n';
    }
    return Cli::Ok;
}

const Cli::Registration regDeriveCid("derive cid", CliTexts::DeriveCidHelp, &runDeriveCid);

} // namespace
