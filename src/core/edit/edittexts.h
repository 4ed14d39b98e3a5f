#pragma once

#include <QHash>
#include <QString>

// Texts of the edit commands: their messages, confirmations and the names
// their undo steps carry in the Edit menu.
namespace EditTexts {

// A name as the confirmations show it.
inline QString Quoted(const QString &name)
{
    return u'"' + name + u'"';
}

// The user's name for the command a record kind comes from: an undo step
// made of one record is called so in the Edit menu.
inline QString StepName(QStringView kind)
{
    static const QHash<QString, QString> names{
        {QStringLiteral("addreq"), QStringLiteral("Add Requirement")},
        {QStringLiteral("modreq"), QStringLiteral("Change Requirement")},
        {QStringLiteral("delreq"), QStringLiteral("Remove Requirement")},
        {QStringLiteral("addrbt"), QStringLiteral("Add RBT")},
        {QStringLiteral("modrbt"), QStringLiteral("Change RBT")},
        {QStringLiteral("addmsd"), QStringLiteral("Add Node")},
        {QStringLiteral("addsub"), QStringLiteral("Paste")},
        {QStringLiteral("modmsd"), QStringLiteral("Change Node")},
        {QStringLiteral("linknode"), QStringLiteral("Add Link")},
        {QStringLiteral("addcom"), QStringLiteral("Add Component")},
        {QStringLiteral("modcom"), QStringLiteral("Rename Component")},
        {QStringLiteral("rmcom"), QStringLiteral("Remove Component")},
        {QStringLiteral("rmsta"), QStringLiteral("Remove State")},
        {QStringLiteral("addsta"), QStringLiteral("Add State")},
        {QStringLiteral("assrts"), QStringLiteral("Attach State")},
        {QStringLiteral("rmassrts"), QStringLiteral("Detach State")},
        {QStringLiteral("rmnode"), QStringLiteral("Remove Node")},
        {QStringLiteral("rmnodes"), QStringLiteral("Remove Node")},
        {QStringLiteral("clotre"), QStringLiteral("Copy Tree")},
        {QStringLiteral("inttre"), QStringLiteral("Integrate this RBT")},
        {QStringLiteral("adddbt"), QStringLiteral("Add DBT")},
        {QStringLiteral("moddbt"), QStringLiteral("Rename DBT")},
        {QStringLiteral("rmdbt"), QStringLiteral("Remove DBT")},
        {QStringLiteral("rmrbt"), QStringLiteral("Remove RBT")},
        {QStringLiteral("addevt"), QStringLiteral("Add EVT")},
        {QStringLiteral("addver"), QStringLiteral("New Version")},
        {QStringLiteral("geo"), QStringLiteral("Move")},
        {QStringLiteral("pages"), QStringLiteral("Page Setup")},
    };
    return names.value(kind.toString(), QStringLiteral("Edit"));
}
// Steps of several records name themselves
inline const QString StepPaste = QStringLiteral("Paste");
inline const QString StepAddNode = QStringLiteral("Add Node");
inline const QString StepChangeRequirement = QStringLiteral("Change Requirement");
inline const QString StepRenameComponent = QStringLiteral("Rename Component");
inline const QString StepIntegrateNextMatch = QStringLiteral("Integrate next Matching RBT");

inline const QString ConfirmCaption = QStringLiteral("Confirm Message");
inline const QString UnderDevelopment = QStringLiteral("Under development");
inline const QString IdsUsedUp =
    QStringLiteral("Nothing can be added to this solution: it has used up its element ids.");

// Questions before a removal; what is the element's name or label as Quoted gives it
inline const QString RbtWord = QStringLiteral("RBT");
inline const QString DbtWord = QStringLiteral("DBT");
inline const QString EvtWord = QStringLiteral("EVT");
inline const QString CidWord = QStringLiteral("CID");
inline QString ConfirmRemove(QStringView kindWord, const QString &what)
{
    return QStringLiteral("Are you sure that you want to remove the ") + kindWord.toString() + u' ' + what
           + QStringLiteral(" ?");
}
inline QString ConfirmRemoveRequirement(const QString &what)
{
    return QStringLiteral("Are you sure that you want to remove the requirement of ") + what + QStringLiteral(" ?");
}
inline QString ConfirmRemoveStateFromRequirement(const QString &what)
{
    return QStringLiteral("Are you sure that you want to remove the state from the requirement of ") + what
           + QStringLiteral(" ?");
}
inline QString ConfirmRemoveComponent(const QString &what)
{
    return QStringLiteral("Are you sure that you want to remove the component ") + what + QStringLiteral(" ?");
}
inline QString ConfirmRemoveState(const QString &what)
{
    return QStringLiteral("Are you sure that you want to remove the state ") + what + QStringLiteral(" ?");
}
inline QString ConfirmRemoveCbt(const QString &what)
{
    return QStringLiteral("Are you sure that you want to remove the CBT ") + what + QStringLiteral(" ?");
}
inline const QString ConfirmRemoveCin = QStringLiteral("Are you sure that you want to remove the CIN? ");

// Refused input
inline const QString RequirementTagEmpty = QStringLiteral("Requirement tag can't be empty");
inline QString RequirementTagAdded(const QString &tag)
{
    return QStringLiteral("Requirement with tag ") + tag + QStringLiteral(" is already added in the project");
}
inline QString RequirementTagTaken(const QString &tag)
{
    return QStringLiteral("Requirement with tag ") + tag + QStringLiteral(" is already in the project");
}
inline const QString ComponentNameEmpty = QStringLiteral("Component name can't be empty");
inline const QString ComponentNameMissing = QStringLiteral("Component name cannot be empty");
inline const QString ComponentEmpty = QStringLiteral("Component can't be empty");
inline QString ComponentTaken(const QString &name)
{
    return QStringLiteral("Component with name ") + name + QStringLiteral(" is already in the project");
}
inline const QString StateEmpty = QStringLiteral("State cannot be empty");
inline const QString StateNameEmpty = QStringLiteral("State name can't be empty");
inline QString StateAdded(const QString &decorated)
{
    return QStringLiteral("State ") + decorated + QStringLiteral(" is already added in the component");
}
inline const QString RbtTagEmpty = QStringLiteral("RBT Tag Name can't be empty");
inline QString RbtTagAdded(const QString &name)
{
    return QStringLiteral("RBT with tag name ") + name + QStringLiteral(" is already added in the project");
}
inline const QString IbtNameEmpty = QStringLiteral("IBT name can't be empty");
inline QString IbtAdded(const QString &name)
{
    return QStringLiteral("IBT with name ") + name + QStringLiteral(" is already added in the project");
}
inline QString DbtAdded(const QString &name)
{
    return QStringLiteral("DBT with name ") + name + QStringLiteral(" is already added in the project");
}
inline const QString TreeIntoItself = QStringLiteral("A tree cannot be copied into itself.");
inline QString CbtAdded(const QString &component)
{
    return QStringLiteral("CBT with name ") + component + QStringLiteral(" is already added in the DBT");
}
inline const QString NeedTwoTrees = QStringLiteral("Need to select at least two trees");

// Undo and redo refused
inline QString ChangedElement(const QString &type, const QString &label)
{
    return QStringLiteral("the %1 \"%2\"").arg(type, label);
}
inline const QString AnElement = QStringLiteral("an element");
inline const QString UndoStillTravelling =
    QStringLiteral("Cannot undo yet: the edit is still on its way to the server.");
inline QString UndoChangedSince(const QString &what)
{
    return QStringLiteral("Cannot undo: another user has changed %1 since.").arg(what);
}
inline const QString UndoUnreachable = QStringLiteral("Cannot undo: the server could not be reached.");
inline QString RedoChangedSince(const QString &what)
{
    return QStringLiteral("Cannot redo: another user has changed %1 since.").arg(what);
}
inline const QString RedoUnreachable = QStringLiteral("Cannot redo: the server could not be reached.");

} // namespace EditTexts
