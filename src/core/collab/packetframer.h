#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

// UTF-16LE text in both directions. A read may end inside a character, so
// the odd byte waits for the next read.
class CUtf16Decoder
{
public:
    // Appends the characters of bytes (after any byte left over) to out.
    void Decode(QByteArrayView bytes, QString &out);
    bool HasOddByte() const { return m_hasOdd; }
    void Reset() { m_hasOdd = false; }

    static QByteArray Encode(QStringView text);
    static void EncodeAppend(QStringView text, QByteArray &out);

private:
    bool m_hasOdd = false;
    quint8 m_odd = 0;
};

// What the server sends: packets, each ended by "..", in a stream of text
// that arrives in arbitrary pieces.
class CPacketFramer
{
public:
    void AppendBytes(QByteArrayView bytes) { m_decoder.Decode(bytes, m_text); }
    void AppendText(QStringView text) { m_text += text; }

    // The next complete packet, without its "..". False while the pending
    // text holds no "..", which then waits for more.
    bool TakePacket(QString &packet);

    // Characters received but not yet taken as a packet.
    qsizetype PendingSize() const { return m_text.size() - m_start; }
    QStringView Pending() const { return QStringView(m_text).mid(m_start); }
    bool HasOddByte() const { return m_decoder.HasOddByte(); }
    void Clear();

    // Splits a packet into fields: at every "#", each piece trimmed, blank
    // pieces dropped; text without "#" has no fields. The fifth field of a
    // "FileDownAck" or "HistDownAck" is the rest of the packet, "#" and all.
    static QStringList SplitFields(QStringView packet);

private:
    CUtf16Decoder m_decoder;
    QString m_text;
    qsizetype m_start = 0;   // first character not yet taken
    qsizetype m_scanned = 0; // no ".." begins before this
};
