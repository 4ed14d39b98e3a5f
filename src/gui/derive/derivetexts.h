#pragma once

#include "explorer/explorertexts.h"

#include <QString>

// Texts of the derived trees' commands, from one place: step names are
// what undo and redo show, menu entries what the tree menus match.
namespace DeriveTexts {

// Commands of the tree views' menus and the steps they make
// (the ones the explorer offers too are its entries, so that both menus match)
inline const QString &GetRbts = ExplorerTexts::GetRbts;
inline const QString &MarkIntegrationPoints = ExplorerTexts::MarkIntegrationPoints;
inline const QString &MarkMissingPrecondition = ExplorerTexts::MarkMissingPrecondition;
inline const QString MarkAllMatchingNodes = QStringLiteral("Mark all Matching Nodes");
inline const QString IntegrateThisRbt = QStringLiteral("Integrate this RBT");
inline const QString IntegrateNextMatchingRbt = QStringLiteral("Integrate next Matching RBT");
inline const QString &CreateCbt = ExplorerTexts::CreateCbt;
inline const QString NewEvolutionTree = QStringLiteral("New Evolution Tree");
inline const QString ViewCbt = QStringLiteral("View CBT");

// The line above a derived tree
inline QString EvolutionOf(const QString &versions)
{
    return QStringLiteral("Evolution of ") + versions + u'.';
}
inline QString BehaviorOf(const QString &component, const QString &source)
{
    return QStringLiteral("Behavior of ") + component + QStringLiteral(" in ") + source
           + QStringLiteral(", derived: read-only.");
}
inline QString TreeNamed(const QString &type, const QString &name)
{
    return type + u' ' + name;
}
inline const QString RemovedTree = QStringLiteral("a removed tree");
inline QString EvolutionCounts(int added, int dropped, int kept)
{
    return QStringLiteral(" Bold: added by the last version (%1); grey: dropped by it (%2); plain: kept (%3). "
                          "A node's tool tip names its versions.")
        .arg(QString::number(added), QString::number(dropped), QString::number(kept));
}

} // namespace DeriveTexts
