#pragma once

#include <QString>

// Texts the solution explorer shows, from one place: menu entries are also
// the keys other parts register their handlers under, so they must match.
namespace ExplorerTexts {

inline const QString WindowTitle = QStringLiteral("Solution Explorer Window");

// Context menu entries; the trailing spaces tell apart entries that read
// alike on different element kinds
inline const QString Open = QStringLiteral("Open");
inline const QString Remove = QStringLiteral("Remove");
inline const QString RemoveComponent = QStringLiteral("Remove ");
inline const QString Change = QStringLiteral("Change");
inline const QString ChangeRbt = QStringLiteral("Change ");
inline const QString Rename = QStringLiteral("Rename");
inline const QString ChangeBehaviors = QStringLiteral("Change Behaviors");
inline const QString NewVersion = QStringLiteral("New Version");
inline const QString SetCurrentVersion = QStringLiteral("Set as Current Version");
inline const QString NewRequirement = QStringLiteral("New Requirement");
inline const QString NewComponent = QStringLiteral("New Component");
inline const QString NewRbt = QStringLiteral("New RBT");
inline const QString NewIbt = QStringLiteral("New IBT");
inline const QString NewCbt = QStringLiteral("New CBT");
inline const QString NewCid = QStringLiteral("New CID");
inline const QString AddEvolutionTree = QStringLiteral("Add Evolution Tree");
inline const QString TranslateToSal = QStringLiteral("Translate to SAL");
inline const QString SimulateWithZeph = QStringLiteral("Simulate with ZEPH");
inline const QString CreateCbt = QStringLiteral("Create CBT");
inline const QString CreateCid = QStringLiteral("Create CID");
inline const QString CreateCin = QStringLiteral("Create CIN");
inline const QString GetRbts = QStringLiteral("Get RBTs");
inline const QString MarkIntegrationPoints = QStringLiteral("Mark Integration Points");
inline const QString MarkMissingPrecondition = QStringLiteral("Mark Missing Precondition");
inline const QString EvolutionaryCbt = QStringLiteral("Evolutionary CBT");
inline const QString EvolutionaryCin = QStringLiteral("Evolutionary CIN");
inline const QString EvolutionaryCid = QStringLiteral("Evolutionary CID");

// New elements only go into the current version
inline QString NotCurrentVersion(const QString &version)
{
    return QStringLiteral("New elements go into the current version. Make version ") + version
           + QStringLiteral(" the current version first.");
}

// Tool tips: what kind of element, and how much it holds
inline const QString KindSolution = QStringLiteral("Solution");
inline const QString KindProject = QStringLiteral("Project");
inline const QString KindVersion = QStringLiteral("Version");
inline const QString KindRequirement = QStringLiteral("Requirement");
inline const QString KindComponent = QStringLiteral("Component");
inline const QString KindState = QStringLiteral("State");
inline const QString KindRbt = QStringLiteral("Requirement behavior tree");
inline const QString KindDbt = QStringLiteral("Design behavior tree");
inline const QString KindCbt = QStringLiteral("Component behavior tree");
inline const QString KindEvt = QStringLiteral("Evolution tree");
inline const QString KindCin = QStringLiteral("Component interaction network");
inline const QString KindCid = QStringLiteral("Component interface diagram");
inline const QString KindNode = QStringLiteral("Node");
inline const QString KindFolder = QStringLiteral("Folder");

inline QString Named(const QString &kind, const QString &name)
{
    return kind + QStringLiteral(" \"") + name + u'"';
}
inline QString Count(qsizetype n, const QString &one, const QString &many)
{
    return QStringLiteral(", %1 %2").arg(QString::number(n), n == 1 ? one : many);
}
inline const QString Node = QStringLiteral("node");
inline const QString Nodes = QStringLiteral("nodes");
inline const QString StateOne = QStringLiteral("state");
inline const QString States = QStringLiteral("states");
inline const QString Entry = QStringLiteral("entry");
inline const QString Entries = QStringLiteral("entries");

inline QString NodeTip(const QString &component, const QString &behavior)
{
    return QStringLiteral("Node ") + component + u' ' + behavior;
}
inline QString NodeRequirement(const QString &tag)
{
    return QStringLiteral("\nRequirement ") + tag;
}
inline QString NodeRequirementText(const QString &description)
{
    return QStringLiteral(": ") + description;
}

} // namespace ExplorerTexts
