#pragma once

#include <QString>

// Messages of the derivations (integration, CBTs, evolution trees), from one place.
namespace DerivationTexts {

inline const QString ErrorCaption = QStringLiteral("Error");

// Integration
inline const QString NotARootNode = QStringLiteral("Not A Root Node");
inline const QString NoMatchingNode = QStringLiteral("No matching node found");
inline const QString SeveralMatches = QStringLiteral("More than one match found.Integrate with first match?");

// Component behavior trees
inline QString CbtAlreadyAdded(const QString &component)
{
    return QStringLiteral("CBT with name ") + component + QStringLiteral(" is already added in the DBT");
}

// Evolution trees
inline const QString NeedTwoTrees =
    QStringLiteral("Need to select at least two behavior trees, to create a evolution tree.");
inline const QString RootsDiffer =
    QStringLiteral("Not all the root nodes are identical, so can't generate the evolution tree!");
inline QString TreeMissing(int id)
{
    return QStringLiteral("There is no behavior tree with id %1, so can't generate the evolution tree!").arg(id);
}
inline const QString NoEvolutionFolder =
    QStringLiteral("The solution has no evolution tree folder, so can't generate the evolution tree!");

} // namespace DerivationTexts
