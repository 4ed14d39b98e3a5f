#pragma once

#include <QString>

// Titles, labels and messages of the model's dialogs, from one place. The
// messages a dialog shares with the edit commands come from EditTexts.
namespace DialogTexts {

// Shared labels and buttons
inline const QString SelectBt = QStringLiteral("Select BT:");
inline const QString SelectComponent = QStringLiteral("Select Component:");
inline const QString NameLabel = QStringLiteral("Name:");
inline const QString Add = QStringLiteral("Add");
inline const QString Remove = QStringLiteral("Remove");
inline const QString Close = QStringLiteral("Close");
inline const QString Cancel = QStringLiteral("Cancel");
inline QString TreeEntry(const QString &type, const QString &name)
{
    return type + QStringLiteral(": ") + name;
}
// A version or a kind after a name, in parentheses
inline QString Parenthesized(const QString &text)
{
    return QStringLiteral(" (") + text + u')';
}

// Behavior types
inline const QString StateRealisation = QStringLiteral("State Realisation");
inline const QString Selection = QStringLiteral("Selection");
inline const QString Event = QStringLiteral("Event");
inline const QString Guard = QStringLiteral("Guard");
inline const QString ExternalInput = QStringLiteral("External Input");
inline const QString ExternalOutput = QStringLiteral("External Output");
inline const QString InternalInput = QStringLiteral("Internal Input");
inline const QString InternalOutput = QStringLiteral("Internal Output");
inline const QString SetAll = QStringLiteral("Set All");
inline const QString SetAny = QStringLiteral("Set Any");
inline QString BehaviorTypeEntry(const QString &symbol, const QString &name)
{
    return symbol + QStringLiteral("   ") + name;
}
inline QString OtherBehaviorType(const QString &symbol, int code)
{
    return QStringLiteral("%1   Other (type %2)").arg(symbol, QString::number(code));
}

// Versions
inline const QString AddVersionTitle = QStringLiteral("Add New Version");
inline const QString InputNewVersion = QStringLiteral("Input the new version");

// CBT, CID and CIN
inline const QString CbtTitle = QStringLiteral("Select details for CBT");
inline const QString CidTitle = QStringLiteral("Select details for CID");
inline const QString CinTitle = QStringLiteral("Select BT for CIN");

// Components and their behaviors
inline const QString ComponentBehaviorsTitle = QStringLiteral("Change Component Behaviors");
inline const QString ComponentNameLabel = QStringLiteral("Component Name:");
inline const QString ComponentBehaviorLabel = QStringLiteral("Component Behavior:");
inline const QString BehaviorTypesLabel = QStringLiteral("Behavior Types:");
inline QString BehaviorsInCurrentVersionOnly(const QString &version)
{
    return QStringLiteral("Behaviors are added in the current version only. Make version ") + version
           + QStringLiteral(" the current version first.");
}
inline const QString SystemComponent = QStringLiteral("System Component");
inline const QString RenameComponentTitle = QStringLiteral("Rename Component");
inline const QString NewComponentTitle = QStringLiteral("New Component");

// Evolution trees
inline const QString AddTree = QStringLiteral("Add Tree");
inline const QString CreateEvt = QStringLiteral("Create EVT");
inline const QString EvtTitle = QStringLiteral("Create New Evolution Tree");
inline const QString VersionLabel = QStringLiteral("Version");
inline const QString BehaviorTreesLabel = QStringLiteral("Behavior Trees");
inline const QString VersionEmpty = QStringLiteral("Version can't be empty.");
inline const QString TreeEmpty = QStringLiteral("Behavior Tree can't be empty.");
inline QString ChosenTree(qsizetype number, const QString &version, const QString &tree)
{
    return QStringLiteral("(%1) Version ").arg(number) + version + QStringLiteral("->") + tree;
}
inline const QString NeedTwoTrees =
    QStringLiteral("Need to select at least two behavior trees, to create a evolution tree.");

// Extra information
inline const QString ExtraInfoTitle = QStringLiteral("Add Extra Information");
inline const QString TagLabel = QStringLiteral("Tag:");
inline const QString NoCommaInExtraInfo = QStringLiteral("A tag or a name of extra information cannot contain \",\": "
                                                         "the solution file separates the entries with it.");

// IBTs and RBTs
inline const QString NewIbtTitle = QStringLiteral("New IBT ");
inline const QString LevelGapLabel = QStringLiteral("Level Gap:");
inline const QString GetRbtsTitle = QStringLiteral("Get RBTs");
inline const QString IbtNameLabel = QStringLiteral("IBT Name:");
inline const QString SelectRbtsLabel = QStringLiteral("Select RBTs:");
inline const QString NewRbtTitle = QStringLiteral("New  RBT");
inline const QString RbtNameLabel = QStringLiteral("RBT Name:");
inline const QString AssociatedRequirementsLabel = QStringLiteral("Associated Requirements:");

// Nodes
inline const QString NodeTitle = QStringLiteral("New Node or Change Node");
inline const QString DoubleLine = QStringLiteral("Double Line");
inline const QString NonDeterministic = QStringLiteral("NonDeterministic");
inline const QString Atomic = QStringLiteral("Atomic");
inline const QString SetOperation = QStringLiteral("SetOp");
inline const QString ExtraTag = QStringLiteral("Extra tag");
inline const QString DisplayExtraTag = QStringLiteral("Display Extra Tag");
inline const QString DisplayExtraInfo = QStringLiteral("Display Extra Info");
inline const QString DoubleLineTip = QStringLiteral("Draw the box with a double border");
inline const QString NonDeterministicTip =
    QStringLiteral("The node is chosen non-deterministically among its siblings (shown as [])");
inline const QString AtomicTip = QStringLiteral("The node and its only child run as one step");
inline const QString SetOperationTip = QStringLiteral("The behavior applies to a set of components");
inline const QString ExtraTagTip = QStringLiteral("Give the node a second tag");
inline const QString DisplayExtraTagTip = QStringLiteral("Show the second tag in a column beside the box");
inline const QString DisplayExtraInfoTip = QStringLiteral("Show the extra-information rows below the box");
inline const QString FlowControl = QStringLiteral("Flow Control:");
inline const QString FlowNormal = QStringLiteral("Normal");
inline const QString FlowReversion = QStringLiteral("Reversion");
inline const QString FlowGoTo = QStringLiteral("Go to");
inline const QString InRequirement = QStringLiteral("In Requirement:");
inline const QString InRequirementYes = QStringLiteral("Yes");
inline const QString InRequirementImply = QStringLiteral("Imply");
inline const QString InRequirementMissing = QStringLiteral("Missing");
inline const QString ComponentLabel = QStringLiteral("Component:");
inline const QString QualificationLabel = QStringLiteral("Qualification:");
inline const QString BehaviorNameLabel = QStringLiteral("Behavior Name:");
inline const QString BehaviorTypeLabel = QStringLiteral("Behavior Type:");
inline const QString RequirementTagLabel = QStringLiteral("Requirement Tag:");

// Requirements
inline const QString RequirementTitle = QStringLiteral("New or Change  Requirement");
inline const QString RequirementDescriptionLabel = QStringLiteral("Requirement Description:");

} // namespace DialogTexts
