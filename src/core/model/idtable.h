#pragma once

#include <QtGlobal>

#include <iterator>
#include <map>
#include <utility>
#include <vector>

class CKELData;

// The elements of a solution by id. Ids are small integers handed out one
// after another, so most live in a plain array indexed by id; an id far
// beyond the others (a damaged or hand-made file) goes to an ordered map
// instead, so the array never grows far past the number of elements.
// Walks go through the array in id order, then the map in its order (ids
// below 1, which are never handed out, then ids far beyond the others).
class CIdTable
{
public:
    CIdTable() = default;
    CIdTable(const CIdTable &) = default;
    CIdTable &operator=(const CIdTable &) = default;
    CIdTable(CIdTable &&other) noexcept
        : m_dense(std::move(other.m_dense))
        , m_sparse(std::move(other.m_sparse))
        , m_size(std::exchange(other.m_size, 0))
    {
        other.m_dense.clear();
        other.m_sparse.clear();
    }
    CIdTable &operator=(CIdTable &&other) noexcept
    {
        m_dense = std::move(other.m_dense);
        m_sparse = std::move(other.m_sparse);
        m_size = std::exchange(other.m_size, 0);
        other.m_dense.clear();
        other.m_sparse.clear();
        return *this;
    }

    // Walks and lookups hand out const elements: the table is read by views
    // as well, and only the edit layer may change an element.
    const CKELData *value(int id, const CKELData *fallback = nullptr) const
    {
        if (id > 0 && size_t(id) < m_dense.size())
            return m_dense[size_t(id)] ? m_dense[size_t(id)] : fallback;
        const auto it = m_sparse.find(id);
        return it != m_sparse.end() ? it->second : fallback;
    }
    bool contains(int id) const { return value(id) != nullptr; }
    qsizetype size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }

    // Enters element (not null) under id and returns the one it replaced.
    CKELData *replace(int id, CKELData *element);
    void insert(int id, CKELData *element) { replace(id, element); }
    // Removes the entry for id when it holds element.
    void removeIf(int id, const CKELData *element);
    void clear();
    // Room for ids up to maxId, unless that would be far more than count elements need.
    void reserve(int maxId, qsizetype count);
    int maxKey() const;

    class const_iterator
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = const CKELData *;
        using difference_type = std::ptrdiff_t;
        using pointer = const CKELData *const *;
        using reference = const CKELData *;

        int key() const { return m_index < m_table->m_dense.size() ? int(m_index) : m_sparse->first; }
        const CKELData *value() const
        {
            return m_index < m_table->m_dense.size() ? m_table->m_dense[m_index] : m_sparse->second;
        }
        const CKELData *operator*() const { return value(); }
        const_iterator &operator++();
        const_iterator operator++(int)
        {
            const_iterator was = *this;
            ++*this;
            return was;
        }
        bool operator==(const const_iterator &o) const { return m_index == o.m_index && m_sparse == o.m_sparse; }

    private:
        friend class CIdTable;
        const_iterator(const CIdTable *table, size_t index, std::map<int, CKELData *>::const_iterator sparse);
        void skipEmpty();

        const CIdTable *m_table;
        size_t m_index;
        std::map<int, CKELData *>::const_iterator m_sparse;
    };
    const_iterator begin() const { return cbegin(); }
    const_iterator end() const { return cend(); }
    const_iterator cbegin() const;
    const_iterator cend() const;

private:
    void growTo(size_t size);

    std::vector<CKELData *> m_dense; // index 0 stays empty: ids start at 1
    std::map<int, CKELData *> m_sparse;
    qsizetype m_size = 0; // the non-null entries
};
