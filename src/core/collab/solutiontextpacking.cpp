#include "solutiontextpacking.h"

#include "collabprotocol.h"
#include "model/kelrecord.h"

namespace Collab {

namespace {

// Writes every "key:value" field of one record line with the packet escape.
// False when the line cannot be made to travel.
bool repackLine(QStringView line, QString &out)
{
    const qsizetype start = out.size();
    qsizetype pos = 0;
    bool first = true;
    for (;;) {
        const qsizetype semi = line.indexOf(u';', pos);
        const QStringView segment = semi < 0 ? line.mid(pos) : line.mid(pos, semi - pos);
        const qsizetype colon = first ? -1 : segment.indexOf(u':');
        if (colon < 0) {
            out += segment;
        } else {
            out += segment.left(colon + 1);
            CKELRecord::EscapeForPacketAppend(CKELRecord::Unescape(segment.mid(colon + 1)), out);
        }
        first = false;
        if (semi < 0)
            break;
        out += u';';
        pos = semi + 1;
    }
    if (QStringView(out).mid(start).contains(kTerminator)) {
        out.truncate(start);
        return false;
    }
    return true;
}

} // namespace

QString PacketSafeSolutionText(QStringView text)
{
    QString out;
    out.reserve(text.size() + 64);
    qsizetype pos = 0;
    for (;;) {
        const qsizetype lf = text.indexOf(u'\n', pos);
        if (lf < 0)
            break;
        const QStringView line = text.mid(pos, lf - pos);
        if (!line.contains(kTerminator)) {
            out += line;
            out += u'\n';
        } else if (repackLine(line, out)) {
            out += u'\n';
        }
        pos = lf + 1;
    }
    return out;
}

} // namespace Collab
