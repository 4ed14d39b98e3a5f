#include "collabprotocol.h"

namespace Collab {

QString NameProblem(QStringView name)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("it is empty");
    if (name.size() > kMaxNameLength)
        return QStringLiteral("it is longer than %1 characters").arg(kMaxNameLength);
    if (name.trimmed().size() != name.size())
        return QStringLiteral("it begins or ends with white space");
    if (name.contains(kSeparator))
        return QStringLiteral("it contains \"#\"");
    if (name.contains(kTerminator))
        return QStringLiteral("it contains two adjacent full stops");
    for (QChar c : name) {
        if (c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line
            || c.category() == QChar::Separator_Paragraph)
            return QStringLiteral("it contains a control character");
    }
    return {};
}

} // namespace Collab
