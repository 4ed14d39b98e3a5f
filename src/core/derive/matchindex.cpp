#include "matchindex.h"

#include "model/kelmethod.h"
#include "model/keltree.h"

CMatchIndex::CMatchIndex(const CKELTree &tree) : m_nodes(tree.Nodes()), m_places(m_nodes)
{
    const size_t n = size_t(m_nodes.size());

    // Roots by walking up with memory, so every node is walked once. A
    // chain of parents that returns to itself (only a damaged model has
    // one) becomes a group of its own without a root.
    m_root.assign(n, kNone);
    std::vector<char> onPath(n, 0);
    std::vector<int> path;
    for (size_t i = 0; i < n; ++i) {
        if (m_root[i] != kNone)
            continue;
        path.clear();
        int cur = int(i);
        int root = kNone;
        while (true) {
            if (m_root[size_t(cur)] != kNone) {
                root = m_root[size_t(cur)];
                break;
            }
            if (onPath[size_t(cur)]) {
                root = -1 - int(i);
                break;
            }
            onPath[size_t(cur)] = 1;
            path.push_back(cur);
            const int parent = PlaceOf(m_nodes[cur]->ParentId());
            if (parent < 0 || parent == cur) {
                root = cur;
                break;
            }
            cur = parent;
        }
        for (int p : path) {
            m_root[size_t(p)] = root;
            onPath[size_t(p)] = 0;
        }
    }

    m_key.assign(n, -1);
    for (size_t i = 0; i < n; ++i) {
        const CKELMethod *node = m_nodes[qsizetype(i)];
        if (node->jumpType != 0)
            continue;
        const auto key = std::make_pair(node->component, node->GetDecoratedBehavior());
        auto it = m_keys.find(key);
        if (it == m_keys.end()) {
            it = m_keys.insert(key, int(m_members.size()));
            m_members.emplace_back();
            m_roots.emplace_back();
            m_memberRoots.emplace_back(kNone, kNone);
        }
        const int k = it.value();
        m_key[i] = k;
        m_members[size_t(k)].push_back(int(i));
        if (m_root[i] == int(i))
            m_roots[size_t(k)].push_back(int(i));
        auto &[first, second] = m_memberRoots[size_t(k)];
        if (first == kNone)
            first = m_root[i];
        else if (second == kNone && m_root[i] != first)
            second = m_root[i];
    }
}

int CMatchIndex::keyOf(const CKELMethod &x) const
{
    const int place = PlaceOf(x.GetId());
    if (place >= 0 && m_nodes[place] == &x)
        return m_key[size_t(place)];
    if (x.jumpType != 0)
        return -1;
    return m_keys.value(std::make_pair(x.component, x.GetDecoratedBehavior()), -1);
}

int CMatchIndex::rootOf(const CKELMethod &x) const
{
    const int place = PlaceOf(x.GetId());
    return place >= 0 && m_nodes[place] == &x ? m_root[size_t(place)] : kNone;
}

QList<int> CMatchIndex::FindMatches(const CKELMethod &x) const
{
    QList<int> ids;
    const int k = keyOf(x);
    if (k < 0)
        return ids;
    const int root = rootOf(x);
    for (int p : m_members[size_t(k)]) {
        if (m_nodes[p] != &x && m_root[size_t(p)] != root)
            ids.append(m_nodes[p]->GetId());
    }
    return ids;
}

QList<int> CMatchIndex::FindMatchingRoots(const CKELMethod &x) const
{
    QList<int> ids;
    const int k = keyOf(x);
    if (k < 0)
        return ids;
    const int root = rootOf(x);
    for (int r : m_roots[size_t(k)]) {
        if (m_nodes[r] != &x && r != root)
            ids.append(m_nodes[r]->GetId());
    }
    return ids;
}

bool CMatchIndex::HasMatch(int place) const
{
    const int k = m_key[size_t(place)];
    if (k < 0)
        return false;
    const auto &[first, second] = m_memberRoots[size_t(k)];
    // two different roots in the group: one of them is not this node's
    return second != kNone || (first != kNone && first != m_root[size_t(place)]);
}

bool CMatchIndex::HasMatchingRoot(int place) const
{
    const int k = m_key[size_t(place)];
    if (k < 0)
        return false;
    const std::vector<int> &roots = m_roots[size_t(k)];
    // at most one root of the group is this node's own
    for (size_t i = 0; i < roots.size() && i < 2; ++i) {
        if (roots[i] != m_root[size_t(place)])
            return true;
    }
    return false;
}
