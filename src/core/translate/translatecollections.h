#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <set>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// A cheap hash for the many short names of a translation; nothing here
// comes from outside the model, so flooding is no concern. Not noexcept on
// purpose: the standard library then keeps each key's hash in its node, so
// growing a table and walking a bucket do not hash every name again.
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

template<class T> using CNameMap = std::unordered_map<QString, T, CNameHash>;
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
    std::unordered_map<QString, qsizetype, CNameHash> m_seen;
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
