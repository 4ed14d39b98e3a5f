#pragma once

#include <QString>

// Texts the simulation shows the user.
namespace SimulationTexts {

inline QString NoZephInput()
{
    return QStringLiteral("No ZEPH input");
}
inline QString NoSimulator()
{
    return QStringLiteral("No ZEPH simulator is set: choose its program with \"...\"");
}
inline QString SimulatorNotFound(const QString &path)
{
    return QStringLiteral("ZEPH simulator not found: ") + path;
}
inline QString SimulatorNotExecutable(const QString &path)
{
    return QStringLiteral("ZEPH simulator is not an executable program: ") + path;
}
inline QString InterpreterFailed(const QString &program, const QString &reason)
{
    return QStringLiteral("Cannot start the command interpreter ") + program + QStringLiteral(": ") + reason;
}

} // namespace SimulationTexts
