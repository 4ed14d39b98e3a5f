#pragma once

#include "layout/nodeplaces.h"

#include <QHash>
#include <QList>
#include <QString>

#include <utility>
#include <vector>

class CKELMethod;
class CKELTree;

// Which nodes of one tree match which, built once in time linear in the
// tree. Two nodes match when they lie in different trees (their roots
// differ), have the same component and the same behavior text with its
// brackets, and neither is a reversion or a go-to. Nodes are grouped by
// (component, behavior text) and each knows its root, so a query looks at
// its own group only.
//
// A node's parent is the node of this tree its parent id names; a node
// whose parent id names nothing here is a root.
class CMatchIndex
{
public:
    explicit CMatchIndex(const CKELTree &tree);

    const QList<const CKELMethod *> &Nodes() const { return m_nodes; }
    // Place of a node in element order, -1 when it is not a node of the tree.
    int PlaceOf(int nodeId) const { return m_places.PlaceOf(nodeId); }
    bool IsRoot(int place) const { return m_root[size_t(place)] == place; }

    // Ids of the nodes of the tree that match x, in element order; x may be
    // a node of another tree.
    QList<int> FindMatches(const CKELMethod &x) const;
    // Ids of the roots of the tree that match x, in element order.
    QList<int> FindMatchingRoots(const CKELMethod &x) const;

    // The same questions answered in constant time for a node of the tree.
    bool HasMatch(int place) const;
    bool HasMatchingRoot(int place) const;

private:
    int keyOf(const CKELMethod &x) const;
    int rootOf(const CKELMethod &x) const;

    static constexpr int kNone = -2147483647 - 1;

    QList<const CKELMethod *> m_nodes;
    CNodePlaces m_places;
    std::vector<int> m_root; // place of the node's root; a negative group for a parent cycle
    std::vector<int> m_key;  // group of the node, -1 for reversions and go-tos
    QHash<std::pair<QString, QString>, int> m_keys;
    std::vector<std::vector<int>> m_members; // per group, places in element order
    std::vector<std::vector<int>> m_roots;   // per group, roots in element order
    // per group, the first two different roots among its members (kNone when fewer)
    std::vector<std::pair<int, int>> m_memberRoots;
};
