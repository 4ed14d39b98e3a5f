#pragma once

#include <QList>

class CKELDataManager;
class CKELMethod;
class CKELTree;

// Structural edits of a behavior tree that keep node links consistent: a
// node's parentId and its parent's childIds always agree, and no node
// becomes its own ancestor.
namespace TreeOps {

// A new registered node with default attributes, appended to tree's nodes.
CKELMethod *NewNode(CKELDataManager &manager, CKELTree &tree);

// The node with this id if it is a node of tree, else null.
const CKELMethod *NodeOf(const CKELTree &tree, int nodeId);
// The same, writable, since the tree that owns it is.
CKELMethod *NodeOf(CKELTree &tree, int nodeId);

// Makes child the last child of parent (parent null: a root). Refused when
// the two are in different trees or child is parent or one of its ancestors.
bool Link(CKELDataManager &manager, CKELMethod *parent, CKELMethod *child);
// Detaches child from its parent; it becomes a root.
void Unlink(CKELDataManager &manager, CKELMethod *child);
// Whether ancestor is node or one of node's ancestors (iterative; stops on a cycle).
bool IsAncestorOrSelf(const CKELDataManager &manager, const CKELMethod *ancestor, const CKELMethod *node);

// Deletes a node; its children become roots.
void DeleteNode(CKELDataManager &manager, CKELMethod *node);

// Nodes of the subtree under root in pre-order (children in child order).
QList<const CKELMethod *> PreOrder(const CKELDataManager &manager, const CKELMethod *root);
QList<CKELMethod *> PreOrder(const CKELDataManager &manager, CKELMethod *root);

} // namespace TreeOps
