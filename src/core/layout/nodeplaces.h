#pragma once

#include "model/kelmethod.h"

#include <QHash>
#include <QList>

#include <algorithm>
#include <vector>

// Node id -> place in a list of nodes. Ids within a tree are mostly close
// together, so a plain table over their range is used when it is not much
// larger than the tree; scattered ids fall back to a hash.
class CNodePlaces
{
public:
    explicit CNodePlaces(const QList<const CKELMethod *> &nodes)
    {
        if (nodes.isEmpty())
            return;
        int lo = nodes.first()->GetId();
        int hi = lo;
        for (const CKELMethod *n : nodes) {
            lo = std::min(lo, n->GetId());
            hi = std::max(hi, n->GetId());
        }
        const qint64 span = qint64(hi) - lo + 1;
        if (span <= 8 * qint64(nodes.size()) + 4096) {
            m_base = lo;
            m_table.assign(size_t(span), -1);
            for (qsizetype i = 0; i < nodes.size(); ++i)
                m_table[size_t(nodes[i]->GetId() - lo)] = int(i);
        } else {
            m_hash.reserve(nodes.size());
            for (qsizetype i = 0; i < nodes.size(); ++i)
                m_hash.insert(nodes[i]->GetId(), int(i));
        }
    }

    // -1 when the id names no node of the list.
    int PlaceOf(int id) const
    {
        if (!m_table.empty()) {
            const qint64 at = qint64(id) - m_base;
            return at >= 0 && at < qint64(m_table.size()) ? m_table[size_t(at)] : -1;
        }
        return m_hash.value(id, -1);
    }

private:
    std::vector<int> m_table;
    QHash<int, int> m_hash;
    int m_base = 0;
};
