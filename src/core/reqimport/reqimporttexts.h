#pragma once

#include <QString>
#include <QStringList>

// Texts and fixed lists of the requirements translation assistant.
namespace ReqImportTexts {

inline QString ReachedEnd()
{
    return QStringLiteral("Reached End Of File");
}
inline QString ReachedStart()
{
    return QStringLiteral("Reached Start Of File");
}
inline QString EmptyAdd(const QString &kind)
{
    return QStringLiteral("Cannot add Empty String as ") + kind;
}
inline QString ErrorCaption()
{
    return QStringLiteral("Error");
}
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
inline QString NotImplemented()
{
    return QStringLiteral("Not Implemented Yet");
}
inline QString MissingChoice(const QString &list)
{
    return QStringLiteral("Select an entry in the ") + list + QStringLiteral(" list to create a node");
}

// Reading documents through converters.
inline QString ConverterMissing(const QString &file, const QString &program, const QString &package)
{
    return QStringLiteral("Reading %1 needs %2, which is not installed: install the Debian package %3.")
        .arg(file, program, package);
}
inline QString ConverterFailed(const QString &file, const QString &program, const QString &complaint)
{
    return QStringLiteral("%1 could not read %2: %3").arg(program, file, complaint);
}
inline QString DocumentTooLarge(const QString &file, qint64 limit)
{
    return QStringLiteral("%1 is larger than %2 MB; split it into smaller documents.")
        .arg(file)
        .arg(limit / (1024 * 1024));
}
inline QString DocumentEmpty(const QString &file)
{
    return QStringLiteral("%1 holds no text.").arg(file);
}

// The kinds named by the add buttons' messages.
inline QString TagKind()
{
    return QStringLiteral("Tag");
}
inline QString ComponentKind()
{
    return QStringLiteral("Component");
}
inline QString BehaviorKind()
{
    return QStringLiteral("State");
}

// The Behavior Types list; place + 1 is the behavior kind.
inline const QStringList &BehaviorTypes()
{
    static const QStringList types{QStringLiteral("STATE"), QStringLiteral("CONDITION"), QStringLiteral("EVENT"),
                                   QStringLiteral("GUARD"), QStringLiteral("INPUT"),     QStringLiteral("OUTPUT")};
    return types;
}

} // namespace ReqImportTexts
