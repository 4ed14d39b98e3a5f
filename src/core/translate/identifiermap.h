#pragma once

#include "translatecollections.h"

#include <QList>
#include <QString>
#include <QStringList>

// The names of one translation's model: every component, state, attribute,
// value and message name of the tree gets one identifier that the model
// checkers' languages accept, and no two different names get the same one.
//
// An identifier is the name spelled for the languages (see MakeIdentifier)
// as long as nothing else took it. A reserved word or a name the translators
// generate themselves (pc1, process2, env, ...) gets "_" after it; a name
// that would meet another one gets a short suffix made from a hash of the
// name, so it stays the same from run to run; an enumeration value that
// meets a name is first qualified with its owner's variable. The same tree,
// named in the same order, always gives the same identifiers.
//
// The map knows nothing of the writers: any writer that declares names of
// its own asks the map for them, or checks IsGeneratedName.
class CIdentifierMap
{
public:
    enum Kind {
        ComponentType,     // the enumerated type of a component's states: upper-case initial
        ComponentVariable, // the variable that holds a component's state
        State,             // a state value of a component (owner: the component)
        AttributeVariable, // owner: the component
        AttributeType,     // an attribute's enumerated type; owner: the component
        AttributeValue,    // owner: the component and attribute, as AttributeOwner gives
        Message,           // owner: the message kind's prefix and the component
        Other,             // any further name a writer declares, spelled as given
    };

    struct Entry
    {
        Kind kind = Other;
        QString owner; // as given: component, or component and attribute
        QString name;  // the original name, trimmed
        QString identifier;
        bool changed = false; // differs from the name beyond the case of its initial
    };

    // The identifier of a name of that kind; the first call decides it,
    // later calls return the same. qualifier is what a clashing value puts
    // in front of itself (its owner's variable); empty for other kinds.
    QString Identifier(Kind kind, const QString &name, const QString &owner = QString(),
                       const QString &qualifier = QString());

    QString ComponentTypeName(const QString &component) { return Identifier(ComponentType, component); }
    QString ComponentVariableName(const QString &component) { return Identifier(ComponentVariable, component); }
    QString StateName(const QString &component, const QString &state);
    QString AttributeVariableName(const QString &component, const QString &attribute);
    QString AttributeTypeName(const QString &component, const QString &attribute);
    QString AttributeValueName(const QString &component, const QString &attribute, const QString &value);
    // prefix is the message kind: "extInMsg_", "extOutMsg_" or "intInMsg_"
    QString MessageName(const QString &prefix, const QString &component, const QString &message);

    // A name a writer declares of its own (a context, a theorem); it must not
    // meet anything the map gave out.
    QString OtherName(const QString &name) { return Identifier(Other, name); }

    // Room for that many names, so that a large tree's tables are not grown
    // step by step.
    void Reserve(qsizetype names);

    // The entry an identifier was given for, or null.
    const Entry *Find(const QString &identifier) const;
    // Every entry, in the order the names were first asked for.
    const QList<Entry> &Entries() const { return m_entries; }
    // Lines "identifier = original name" for every name that changed, each
    // after prefix and followed by eol. Control characters of a name become
    // blanks so that a comment stays one line.
    QString ChangedTable(QStringView prefix, QStringView eol) const;

    // Words of SAL or UPPAAL that no declared name may be.
    static bool IsReservedWord(const QString &identifier);
    // Names the translators declare themselves: counters, processes,
    // channels, locations, the clock, the environment.
    static bool IsGeneratedName(const QString &identifier);
    // A short stable hash of a text, as the suffix of a name that meets another.
    static QString HashSuffix(const QString &text, int digits);

private:
    static QString key(Kind kind, const QString &owner, const QString &name);
    // Gives a name that has no identifier yet (its key k) one.
    QString make(Kind kind, const QString &name, const QString &owner, const QString &qualifier, const QString &k);
    // The identifier already given, or empty.
    QString known(Kind kind, const QString &owner, const QString &name) const;
    bool taken(const QString &identifier) const;

    QList<Entry> m_entries;
    CNameMap<int> m_byKey;        // kind, owner and name -> entry
    CNameMap<int> m_byIdentifier; // identifier -> entry
    QString m_qualifierOwner;     // the component whose variable m_qualifier is
    QString m_qualifier;
};
