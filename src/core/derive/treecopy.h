#pragma once

#include <QHash>

class CKELDataManager;
class CKELMethod;
class CKELTree;

// Copies the nodes of one tree into another, as new registered nodes with
// the same attributes and the same links. Used when a version is copied
// and when an RBT is brought into a DBT.
class CTreeCopy
{
public:
    // Appends a copy of every node of source to target, in element order,
    // and links the copies as their sources are linked: roots stay roots and
    // children keep their order. Returns source node id -> new node id.
    // Copying a tree into itself copies the nodes it had before the call.
    static QHash<int, int> Copy(CKELDataManager &manager, CKELTree &target, const CKELTree &source);

    // The attributes a node record carries (not its id, tree or links).
    static void CopyAttributes(const CKELMethod &from, CKELMethod &to);
};
