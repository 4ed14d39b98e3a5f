#pragma once

#include <QString>

class CKELData;
class CKELDataManager;
class CKELMethod;

// What an element is, for the tooltips of the explorer and the canvas:
// its kind and name, what it holds (nodes of a tree, states of a
// component, entries of a folder) and, for a node, its requirement.
namespace ExplorerToolTip {

QString For(const CKELDataManager &manager, const CKELData &element);
QString ForNode(const CKELDataManager &manager, const CKELMethod &node);

} // namespace ExplorerToolTip
