#include "keltypes.h"

namespace KEL {

namespace {

struct TypeName
{
    const char *name;
    int code;
};

constexpr TypeName kTypeNames[] = {
    {"Method", 14}, {"State", 8},        {"Requirement", 5}, {"Component", 7}, {"RBT", 10},
    {"DBT", 12},    {"IBT", 12},         {"EVT", 21},        {"Solution", 1},  {"Project", 2},
    {"Version", 3}, {"Requirements", 4}, {"Components", 6},  {"RBTs", 9},      {"IBTs", 11},
    {"DBTs", 11},   {"Methods", 13},     {"CBT", 16},        {"EVTs", 20},     {"Link", 100},
};

} // namespace

int FactoryCodeForTypeName(QByteArrayView typeName)
{
    for (const TypeName &t : kTypeNames) {
        if (typeName == t.name)
            return t.code;
    }
    return 0;
}

int FactoryCodeForTypeName(QStringView typeName)
{
    for (const TypeName &t : kTypeNames) {
        if (typeName == QLatin1StringView(t.name))
            return t.code;
    }
    return 0;
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
