#include "idtable.h"

#include <algorithm>

namespace {

// How far the array may reach beyond the number of elements: ids of a sound
// solution stay close to 1..count, and a lone huge id must not cost gigabytes.
qint64 denseLimit(qsizetype count)
{
    return 2 * qint64(count) + 4096;
}

} // namespace

CKELData *CIdTable::replace(int id, CKELData *element)
{
    Q_ASSERT(element);
    if (id > 0 && size_t(id) >= m_dense.size() && qint64(id) < denseLimit(m_size + 1)) {
        // doubling keeps the cost of a run of new ids linear
        growTo(std::clamp(std::max<size_t>(m_dense.size() * 2, 64), size_t(id) + 1, size_t(denseLimit(m_size + 1))));
    }
    CKELData *old = nullptr;
    if (id > 0 && size_t(id) < m_dense.size()) {
        old = std::exchange(m_dense[size_t(id)], element);
    } else {
        CKELData *&entry = m_sparse[id];
        old = std::exchange(entry, element);
    }
    if (!old)
        ++m_size;
    return old;
}

void CIdTable::removeIf(int id, const CKELData *element)
{
    if (id > 0 && size_t(id) < m_dense.size()) {
        if (m_dense[size_t(id)] == element && element) {
            m_dense[size_t(id)] = nullptr;
            --m_size;
        }
        return;
    }
    const auto it = m_sparse.find(id);
    if (it != m_sparse.end() && it->second == element) {
        m_sparse.erase(it);
        --m_size;
    }
}

void CIdTable::clear()
{
    m_dense = {};
    m_sparse.clear();
    m_size = 0;
}

void CIdTable::reserve(int maxId, qsizetype count)
{
    if (maxId > 0 && size_t(maxId) >= m_dense.size() && qint64(maxId) < denseLimit(count))
        growTo(size_t(maxId) + 1);
}

int CIdTable::maxKey() const
{
    if (!m_sparse.empty() && m_sparse.rbegin()->first > 0)
        return m_sparse.rbegin()->first;
    for (size_t i = m_dense.size(); i-- > 1;) {
        if (m_dense[i])
            return int(i);
    }
    return m_sparse.empty() ? 0 : std::max(0, m_sparse.rbegin()->first);
}

void CIdTable::growTo(size_t size)
{
    m_dense.resize(size, nullptr);
    // ids now within the array leave the map, so each id has one place
    auto it = m_sparse.lower_bound(1);
    while (it != m_sparse.end() && size_t(it->first) < size) {
        m_dense[size_t(it->first)] = it->second;
        it = m_sparse.erase(it);
    }
}

CIdTable::const_iterator::const_iterator(const CIdTable *table, size_t index,
                                         std::map<int, CKELData *>::const_iterator sparse)
    : m_table(table)
    , m_index(index)
    , m_sparse(sparse)
{
    skipEmpty();
}

void CIdTable::const_iterator::skipEmpty()
{
    const std::vector<CKELData *> &dense = m_table->m_dense;
    while (m_index < dense.size() && !dense[m_index])
        ++m_index;
}

CIdTable::const_iterator &CIdTable::const_iterator::operator++()
{
    if (m_index < m_table->m_dense.size()) {
        ++m_index;
        skipEmpty();
    } else {
        ++m_sparse;
    }
    return *this;
}

CIdTable::const_iterator CIdTable::cbegin() const
{
    return const_iterator(this, 0, m_sparse.cbegin());
}

CIdTable::const_iterator CIdTable::cend() const
{
    return const_iterator(this, m_dense.size(), m_sparse.cend());
}
