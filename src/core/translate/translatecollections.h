#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// A cheap hash for the many short names of a translation; nothing here
// comes from outside the model, so flooding is no concern.
struct CNameHash
{
    size_t operator()(QStringView s) const
    {
        quint64 h = 1469598103934665603ull;
        for (QChar c : s) {
            h ^= c.unicode();
            h *= 1099511628211ull;
        }
        return size_t(h);
    }
    size_t operator()(const QString &s) const { return (*this)(QStringView(s)); }
};

// An insert-only map from names: the entries lie in one array in the order
// they came, and a table of slots (a part of each hash and the entry's place)
// points into it. A translation of 10^5 names then makes a handful of
// allocations instead of one a name, a lookup compares a hash before it
// reads a name, and throwing the map away is cheap. Iterators point into the
// array and stay valid until the next insertion.
template<class T> class CNameMap
{
public:
    using value_type = std::pair<QString, T>;
    using iterator = value_type *;
    using const_iterator = const value_type *;

    iterator begin() { return m_entries.data(); }
    iterator end() { return m_entries.data() + m_entries.size(); }
    const_iterator begin() const { return m_entries.data(); }
    const_iterator end() const { return m_entries.data() + m_entries.size(); }
    size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }

    void reserve(size_t n)
    {
        m_entries.reserve(n);
        if (n * 2 > m_slots.size())
            rehash(n * 2);
    }
    void clear()
    {
        m_entries.clear();
        std::fill(m_slots.begin(), m_slots.end(), 0);
    }

    iterator find(QStringView name) { return lookup(name, CNameHash()(name)); }
    const_iterator find(QStringView name) const
    {
        return const_cast<CNameMap *>(this)->lookup(name, CNameHash()(name));
    }
    size_t count(QStringView name) const { return find(name) == end() ? 0 : 1; }

    // as std::unordered_map::emplace: the entry of that name, and whether it is new
    std::pair<iterator, bool> emplace(const QString &name, T value)
    {
        const size_t hash = CNameHash()(name);
        if (const iterator it = lookup(name, hash); it != end())
            return {it, false};
        if ((m_entries.size() + 1) * 2 > m_slots.size())
            rehash(std::max<size_t>(16, m_slots.size() * 2));
        m_entries.emplace_back(name, std::move(value));
        place(hash, m_entries.size());
        return {&m_entries.back(), true};
    }

private:
    // a slot holds the hash's upper half and the entry's place plus one; 0 is empty
    static quint64 tag(size_t hash) { return quint64(hash) & 0xffffffff00000000ull; }

    iterator lookup(QStringView name, size_t hash)
    {
        if (m_slots.empty())
            return end();
        const size_t mask = m_slots.size() - 1;
        for (size_t i = size_t(hash) & mask;; i = (i + 1) & mask) {
            const quint64 slot = m_slots[i];
            if (slot == 0)
                return end();
            if ((slot & 0xffffffff00000000ull) == tag(hash)) {
                value_type &e = m_entries[size_t(slot & 0xffffffffu) - 1];
                if (e.first == name)
                    return &e;
            }
        }
    }
    void place(size_t hash, size_t placePlusOne)
    {
        const size_t mask = m_slots.size() - 1;
        size_t i = size_t(hash) & mask;
        while (m_slots[i] != 0)
            i = (i + 1) & mask;
        m_slots[i] = tag(hash) | quint64(placePlusOne);
    }
    void rehash(size_t wanted)
    {
        size_t n = 16;
        while (n < wanted)
            n *= 2;
        m_slots.assign(n, 0);
        for (size_t p = 0; p < m_entries.size(); ++p)
            place(CNameHash()(m_entries[p].first), p + 1);
    }

    std::vector<value_type> m_entries;
    std::vector<quint64> m_slots;
};
using CNameIndex = CNameMap<int>;

// The index a name has in a map, or -1.
inline int IndexOf(const CNameIndex &index, const QString &name)
{
    const auto it = index.find(name);
    return it == index.end() ? -1 : it->second;
}

// Names in the order they were first seen, each once.
class COrderedNames
{
public:
    bool Add(const QString &name) { return Insert(name).second; }
    // The name's place in the list, and whether it was new.
    std::pair<qsizetype, bool> Insert(const QString &name)
    {
        const auto [it, added] = m_seen.emplace(name, m_list.size());
        if (added)
            m_list.append(name);
        return {it->second, added};
    }
    bool Contains(const QString &name) const { return m_seen.count(name) != 0; }
    const QStringList &List() const { return m_list; }
    qsizetype Size() const { return m_list.size(); }
    bool IsEmpty() const { return m_list.isEmpty(); }

private:
    QStringList m_list;
    CNameMap<qsizetype> m_seen;
};

// A component whose states the tree names: one enumerated type, one variable.
struct CStateComponent
{
    QString name;            // as the tree writes it, trimmed
    QString typeName;        // upper-case initial
    QString variable;        // lower-case initial
    COrderedNames rawValues; // states as the tree writes them
    COrderedNames values;    // their identifiers, once named
    QString initial;         // from the initialisation block; empty when none
};

// A component's attribute, assigned, compared or declared.
struct CAttributeVariable
{
    enum Kind { Integer, Boolean, Enumerated };
    QString name; // component "_" attribute
    Kind kind = Integer;
    QString typeName;     // enumerated: the type's name
    COrderedNames values; // enumerated: its values
    QString low, high;    // a declared integer range; empty when unbounded
    QString initial;

    // what the tree does with it, to decide its kind from every use
    QString component, attribute; // as the tree writes them
    COrderedNames rawValues;      // names assigned or compared
    int nameNode = 0;             // first node that uses a name, a number, true or false
    int numberNode = 0;
    int booleanNode = 0;
    qint64 lowest = 0, highest = 0; // numbers the tree uses
    bool declared = false;          // from the declarations file
};

struct CSetType
{
    QString name;
    COrderedNames values;
};

struct CSetVariable
{
    QString name;
    int type = 0;        // into the set types
    QStringList initial; // elements from the declaration
    bool hasInitial = false;
};

// Everything the writers read: filled by the front end and the rules.
struct CTranslateCollections
{
    // types and variables
    std::vector<CStateComponent> components;
    CNameIndex componentIndex; // by raw component name
    std::vector<CAttributeVariable> attributes;
    CNameIndex attributeIndex; // by variable name
    std::vector<CSetType> setTypes;
    CNameIndex setTypeIndex;
    std::vector<CSetVariable> setVariables;
    CNameIndex setVariableIndex;

    // messages
    COrderedNames inputMessages;
    COrderedNames outputMessages;
    COrderedNames internalMessages;
    COrderedNames environment; // UPPAAL: channel with the environment's direction mark

    // initial values: the initialisation file's lines, then the initialisation block's
    QList<QPair<QString, QString>> initFileValues;
    std::unordered_set<QString, CNameHash> initFileVariables;
    QList<QPair<QString, QString>> initialValues;

    // threads: highest program counter value of each, index 1..T
    std::vector<int> highestCounter{0};
    // threads that run from the start: thread 1, or every branch when the
    // initialisation block ends in a branching
    std::set<int> initialThreads;

    // an integer attribute took its range from the settings
    bool usesDefaultRange = false;

    int ThreadCount() const { return int(highestCounter.size()) - 1; }
};
