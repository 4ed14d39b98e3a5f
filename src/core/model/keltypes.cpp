#include "keltypes.h"

#include <QHash>

namespace KEL {

int FactoryCodeForTypeName(QStringView typeName)
{
    static const QHash<QString, int> codes = {
        {QStringLiteral("Solution"), 1},    {QStringLiteral("Project"), 2},
        {QStringLiteral("Version"), 3},     {QStringLiteral("Requirements"), 4},
        {QStringLiteral("Requirement"), 5}, {QStringLiteral("Components"), 6},
        {QStringLiteral("Component"), 7},   {QStringLiteral("State"), 8},
        {QStringLiteral("RBTs"), 9},        {QStringLiteral("RBT"), 10},
        {QStringLiteral("IBTs"), 11},       {QStringLiteral("DBTs"), 11},
        {QStringLiteral("IBT"), 12},        {QStringLiteral("DBT"), 12},
        {QStringLiteral("Methods"), 13},    {QStringLiteral("Method"), 14},
        {QStringLiteral("CBT"), 16},        {QStringLiteral("EVTs"), 20},
        {QStringLiteral("EVT"), 21},        {QStringLiteral("Link"), 100},
    };
    return codes.value(typeName.toString(), 0);
}

QString OpeningBracket(int behaviorType)
{
    switch (behaviorType) {
    case StateRealisation: return QStringLiteral("[");
    case Selection: return QStringLiteral("?");
    case Event: return QStringLiteral("??");
    case Guard: return QStringLiteral("???");
    case ExternalInput: return QStringLiteral(">>");
    case ExternalOutput: return QStringLiteral("<<");
    case InternalInput: return QStringLiteral(">");
    case InternalOutput: return QStringLiteral("<");
    case SetAll: return QStringLiteral("||");
    case SetAny: return QStringLiteral("[]");
    default: return QString();
    }
}

QString ClosingBracket(int behaviorType)
{
    switch (behaviorType) {
    case StateRealisation: return QStringLiteral("]");
    case Selection: return QStringLiteral("?");
    case Event: return QStringLiteral("??");
    case Guard: return QStringLiteral("???");
    case ExternalInput: return QStringLiteral("<<");
    case ExternalOutput: return QStringLiteral(">>");
    case InternalInput: return QStringLiteral("<");
    case InternalOutput: return QStringLiteral(">");
    default: return QString();
    }
}

QString Decorate(const QString &behavior, int behaviorType)
{
    return OpeningBracket(behaviorType) + behavior + ClosingBracket(behaviorType);
}

QString BehaviorTypeDisplay(int behaviorType)
{
    return Decorate(QStringLiteral("..."), behaviorType);
}

} // namespace KEL
