#pragma once

#include <QString>

// Texts the model shows a user: element labels and why a solution file
// could not be read or written.
namespace ModelTexts {

inline const QString Untitled = QStringLiteral("Untitled");
inline const QString DefaultToolTip = QStringLiteral("Custom Tool Tip");
inline QString SolutionLabel(const QString &name)
{
    return QStringLiteral("Solution: ") + name;
}
inline QString VersionLabel(const QString &name)
{
    return QStringLiteral("Version: ") + name;
}
// Marks a solution shared on the server, in labels and window titles.
inline const QString SharedMark = QStringLiteral(" -M-");

// Reading and writing solution files
inline QString CannotRead(const QString &path, const QString &why)
{
    return QStringLiteral("Cannot read \"%1\": %2").arg(path, why);
}
inline QString CannotWrite(const QString &path, const QString &why)
{
    return QStringLiteral("Cannot write \"%1\": %2").arg(path, why);
}
inline const QString FileLeftAsItWas = QStringLiteral(". The file was left as it was.");
inline const QString FileMayBeDamaged = QStringLiteral(". The file could not be put back and may be damaged.");
inline QString IdOutOfRange(int id)
{
    return QStringLiteral("This solution file is damaged: element id %1 is out of range.").arg(id);
}
inline const QString NoSolutionInFile = QStringLiteral("This is not a solution file: it holds no solution.");

} // namespace ModelTexts
