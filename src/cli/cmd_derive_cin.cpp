// derive cin: the component interaction network of a tree, as numbers.
#include "clicommands.h"

#include "derive/cin.h"
#include "model/keldatamanager.h"
#include "model/keltree.h"

namespace {

QString pointText(const QPoint &p)
{
    return QStringLiteral("(%1,%2)").arg(p.x()).arg(p.y());
}

int runDeriveCin(Cli::Context &c)
{
    if (c.args.size() != 2)
        return Cli::Usage(c, CliTexts::DeriveCinUsage);
    CKELDataManager manager;
    const CKELTree *tree = Cli::LoadTree(c, manager);
    if (!tree)
        return Cli::FileError;
    // the network alone: the command prints it and keeps no diagram
    Cin::Network network = Cin::BuildNetwork(*tree);
    Cin::RouteConnections(network);
    for (const Cin::Box &box : std::as_const(network.boxes))
        c.out << "box " << box.component << ' ' << box.x << ' ' << box.y << '\n';
    for (const Cin::Connection &link : std::as_const(network.connections)) {
        c.out << "link " << network.boxes[link.from].component << " -> " << network.boxes[link.to].component << ':';
        for (const QPoint &p : link.points)
            c.out << ' ' << pointText(p);
        c.out << '\n';
    }
    return Cli::Ok;
}

const Cli::Registration regDeriveCin("derive cin", CliTexts::DeriveCinHelp, &runDeriveCin);

} // namespace
