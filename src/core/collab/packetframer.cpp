#include "packetframer.h"

#include "collabprotocol.h"

void CUtf16Decoder::Decode(QByteArrayView bytes, QString &out)
{
    qsizetype i = 0;
    const qsizetype n = bytes.size();
    if (n == 0)
        return;
    const auto *b = reinterpret_cast<const quint8 *>(bytes.data());
    const qsizetype first = out.size();
    out.resize(first + (n + (m_hasOdd ? 1 : 0)) / 2);
    QChar *dst = out.data() + first;
    if (m_hasOdd) {
        *dst++ = QChar(char16_t(m_odd | (b[0] << 8)));
        m_hasOdd = false;
        i = 1;
    }
    for (; i + 1 < n; i += 2)
        *dst++ = QChar(char16_t(b[i] | (b[i + 1] << 8)));
    if (i < n) {
        m_odd = b[i];
        m_hasOdd = true;
    }
}

void CUtf16Decoder::EncodeAppend(QStringView text, QByteArray &out)
{
    const qsizetype first = out.size();
    out.resize(first + 2 * text.size());
    char *dst = out.data() + first;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        *dst++ = char(u & 0xFF);
        *dst++ = char(u >> 8);
    }
}

QByteArray CUtf16Decoder::Encode(QStringView text)
{
    QByteArray out;
    EncodeAppend(text, out);
    return out;
}

bool CPacketFramer::TakePacket(QString &packet)
{
    const qsizetype from = std::max(m_start, m_scanned);
    const qsizetype end = m_text.indexOf(Collab::kTerminator, from);
    if (end < 0) {
        // a "." at the very end may be the first half of the terminator
        m_scanned = std::max(m_start, m_text.size() - 1);
        return false;
    }
    packet = m_text.mid(m_start, end - m_start);
    m_start = end + 2;
    m_scanned = m_start;
    if (m_start == m_text.size()) {
        m_text.clear();
        m_start = m_scanned = 0;
    } else if (m_start > 4096 && m_start > m_text.size() / 2) {
        // drop what was taken once it is the larger part, so that a burst of
        // many packets costs linear time
        m_text.remove(0, m_start);
        m_scanned -= m_start;
        m_start = 0;
    }
    return true;
}

void CPacketFramer::Clear()
{
    m_text.clear();
    m_start = m_scanned = 0;
    m_decoder.Reset();
}

QStringList CPacketFramer::SplitFields(QStringView packet)
{
    QStringList fields;
    if (!packet.contains(Collab::kSeparator))
        return fields;
    bool downAck = false;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype hash = packet.indexOf(Collab::kSeparator, pos);
        const QStringView token = hash < 0 ? packet.mid(pos) : packet.mid(pos, hash - pos);
        const QStringView trimmed = token.trimmed();
        if (!trimmed.isEmpty()) {
            fields.append(trimmed.toString());
            if (fields.size() == 1)
                downAck = Collab::IsKeyword(trimmed, Collab::kFileDownAck)
                          || Collab::IsKeyword(trimmed, Collab::kHistDownAck);
        }
        if (hash < 0)
            break;
        pos = hash + 1;
        if (downAck && fields.size() == 4) {
            // the solution text may hold "#": it is the whole remainder
            if (pos < packet.size())
                fields.append(packet.mid(pos).toString());
            break;
        }
    }
    return fields;
}
