#pragma once

#include <QString>

// Texts the tree windows show, from one place: menu names and command
// texts are matched by later commands, message texts by users' habits.
namespace EditorTexts {

// Context menus
inline const QString MenuRbtNoWhere = QStringLiteral("RBT_NoWhere");
inline const QString MenuRbtNode = QStringLiteral("RBT_Node");
inline const QString MenuDbtNoWhere = QStringLiteral("DBT_NoWhere");
inline const QString MenuDbtNode = QStringLiteral("DBT_Node");
inline const QString MenuLink = QStringLiteral("RBT_LINK");

// Commands
inline const QString AddNode = QStringLiteral("Add Node");
inline const QString AddLink = QStringLiteral("Add Link");
inline const QString ArrangeTree = QStringLiteral("Arrange Tree");
inline const QString AutoArrangeTree = QStringLiteral("Auto Arrange Tree");
inline const QString RearrangeAll = QStringLiteral("Rearrange All");
inline const QString RearrangeSubtree = QStringLiteral("Rearrange Subtree");
inline const QString CollapseSubtree = QStringLiteral("Collapse Subtree");
inline const QString ExpandSubtree = QStringLiteral("Expand Subtree");
inline const QString CreateChildNode = QStringLiteral("Create Child Node");
inline const QString ChangeBehavior = QStringLiteral("Change Behavior");
inline const QString ExtraInfo = QStringLiteral("Extra Info");
inline const QString Remove = QStringLiteral("Remove");
inline const QString Cut = QStringLiteral("Cut");
inline const QString Copy = QStringLiteral("Copy");
inline const QString Paste = QStringLiteral("Paste");
inline const QString Duplicate = QStringLiteral("Duplicate");
inline const QString RemoveNode = QStringLiteral("Remove Node");
inline const QString RemoveNodes = QStringLiteral("Remove Nodes");
inline const QString RemoveLink = QStringLiteral("Remove Link");

// Arrange Tree
inline const QString ManySelected = QStringLiteral(
    "More than one shape selected.\nSelect either one node(to rearrange its subtree) when the auto rearrange is off, "
    "or zero nodes (to rearrange all trees and put them side by side ) and press rearrange");
inline const QString ManySelectedCaption = QStringLiteral("Error");
inline const QString ZeroSelected =
    QStringLiteral("Zero nodes were selected. This will rearrange all the trees and place them side by side.");
inline const QString ZeroSelectedCaption = QStringLiteral("Tessel1:Rearrange Tree");

// A link the model would refuse because it closes a loop
inline const QString LinkMakesCycle =
    QStringLiteral("This link would make a node its own ancestor, so it was not added.");

// Removing nodes that have children
inline const QString RemoveChildrenCaption = QStringLiteral("Remove Node");
inline const QString RemoveChildrenQuestion =
    QStringLiteral("The nodes to be removed have %1 child node(s). What should happen to them?");
inline const QString RemoveWholeSubtree = QStringLiteral("Remove the whole subtree");
inline const QString KeepChildrenAsRoots = QStringLiteral("Keep the children as roots");
inline const QString CancelRemoval = QStringLiteral("Cancel");

// Shapes
inline const QString NodeToolTip = QStringLiteral("A Tree Node");
inline const QString EvolutionToolTip = QStringLiteral("Evolution Tree Node: \n\r Version: ");
inline const QString LinkToolTip = QStringLiteral("A connection");
inline const QString AtomicLinkToolTip = QStringLiteral("An atomic connection");

} // namespace EditorTexts
