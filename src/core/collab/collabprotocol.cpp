#include "collabprotocol.h"
#include "collabtexts.h"

namespace Collab {

QString NameProblem(QStringView name)
{
    if (name.trimmed().isEmpty())
        return CollabTexts::NameEmpty;
    if (name.size() > kMaxNameLength)
        return CollabTexts::NameTooLong(kMaxNameLength);
    if (name.trimmed().size() != name.size())
        return CollabTexts::NameBlankEnds;
    if (name.contains(kSeparator))
        return CollabTexts::NameHasSeparator;
    if (name.contains(kTerminator))
        return CollabTexts::NameHasTerminator;
    for (QChar c : name) {
        if (c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line
            || c.category() == QChar::Separator_Paragraph)
            return CollabTexts::NameHasControl;
    }
    return {};
}

} // namespace Collab
