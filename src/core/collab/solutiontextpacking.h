#pragma once

#include <QString>
#include <QStringView>

namespace Collab {

// A solution text that can travel as the last field of a "FileDownAck":
// the packet ends at the first "..", so every record line that holds one
// has its text values written again with the packet escape, which the
// loader reads back to the same values. What the loader would not read
// anyway (text after the last line feed, lines that still hold ".." outside
// their values) is left out.
QString PacketSafeSolutionText(QStringView text);

} // namespace Collab
