#pragma once

#include <QString>
#include <QStringList>

// Texts and fixed lists of the requirements translation assistant.
namespace ReqImportTexts {

inline QString ReachedEnd() { return QStringLiteral("Reached End Of File"); }
inline QString ReachedStart() { return QStringLiteral("Reached Start Of File"); }
inline QString EmptyAdd(const QString &kind) { return QStringLiteral("Cannot add Empty String as ") + kind; }
inline QString ErrorCaption() { return QStringLiteral("Error"); }
inline QString CaseTwinQuestion(const QString &written, const QString &existing)
{
    return QStringLiteral("The component \"%1\" differs from the existing component \"%2\" only in case.\n\n"
                          "Yes uses \"%2\", No makes a new component \"%1\", Cancel leaves these nodes out.")
        .arg(written, existing);
}
inline QString NotImported()
{
    return QStringLiteral("you have not imported/exported  Requirements from/to Tessel. The Req Tags may not be "
                          "present.Do you want to continue");
}
inline QString NotImplemented() { return QStringLiteral("Not Implemented Yet"); }
inline QString MissingChoice(const QString &list)
{
    return QStringLiteral("Select an entry in the ") + list + QStringLiteral(" list to create a node");
}

// The kinds named by the add buttons' messages.
inline QString TagKind() { return QStringLiteral("Tag"); }
inline QString ComponentKind() { return QStringLiteral("Component"); }
inline QString BehaviorKind() { return QStringLiteral("State"); }

// The Behavior Types list; place + 1 is the behavior kind.
inline const QStringList &BehaviorTypes()
{
    static const QStringList types{QStringLiteral("STATE"), QStringLiteral("CONDITION"), QStringLiteral("EVENT"),
                                   QStringLiteral("GUARD"), QStringLiteral("INPUT"), QStringLiteral("OUTPUT")};
    return types;
}

} // namespace ReqImportTexts
