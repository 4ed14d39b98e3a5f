#pragma once

#include "model/keltree.h"

#include <algorithm>
#include <vector>

// Which nodes of a tree a walk has met. Only the tree's own nodes are
// walked, so a flag per id up to the largest of theirs is enough, and much
// cheaper than a hash set on trees of a million nodes.
class CVisitedNodes
{
public:
    explicit CVisitedNodes(const CKELTree &tree)
    {
        int top = 0;
        for (const auto &c : tree.Children())
            top = std::max(top, c->GetId());
        m_seen.assign(size_t(top) + 1, false);
    }

    // True the first time an id of the tree is met.
    bool FirstVisit(int id)
    {
        if (id < 0 || size_t(id) >= m_seen.size() || m_seen[size_t(id)])
            return false;
        m_seen[size_t(id)] = true;
        return true;
    }

private:
    std::vector<bool> m_seen;
};
