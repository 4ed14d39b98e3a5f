#pragma once

#include <QString>

// Pieces of the edit commands' messages that several commands share.
namespace EditTexts {

// A name as the confirmations show it.
inline QString Quoted(const QString &name)
{
    return u'"' + name + u'"';
}

} // namespace EditTexts
