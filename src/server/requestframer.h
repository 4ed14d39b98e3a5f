#pragma once

#include "collab/collabprotocol.h"
#include "collab/packetframer.h"

#include <QString>
#include <QStringList>

// One request of a client, cut out of its byte stream.
struct CRequest
{
    enum Kind {
        Login,
        FileList,
        FileDown,
        Operation,
        FileSave,
        MemberList,
        MemberAdd,
        MemberDel,
        HistoryList,
        HistoryDown
    };
    Kind kind = Login;
    // After the keyword: Login [user id, password]; FileList []; FileDown [name];
    // Operation [name, record]; FileSave [name, text]; MemberList [name];
    // MemberAdd and MemberDel [name, user id]; HistoryList [name];
    // HistoryDown [name, save id].
    QStringList fields;
};

// Client requests carry no terminator: each is framed by its keyword, which
// says how many "#"-ended fields follow ("UIDLog" 2, "FileListReq" none,
// "FileDownRec" 1, "OpCont" 2), or, for "FileSave", by its length field.
class CRequestFramer
{
public:
    enum Status {
        NeedMore,       // nothing complete yet
        Ready,          // a request was taken
        UnknownKeyword, // the stream does not begin with a request keyword
        TooLarge,       // the request would pass the size limit
        Malformed,      // a "FileSave" length that is not a number
        InvalidText,    // a request was taken whose fields are not valid UTF-16 or hold a NUL
        OddByteCount,   // a byte too many after a request: the rest is out of step
    };

    explicit CRequestFramer(qint64 maxPacketBytes = Collab::kDefaultMaxPacketBytes);

    void Append(QByteArrayView bytes) { m_decoder.Decode(bytes, m_text); }
    void AppendText(QStringView text) { m_text += text; }
    Status Next(CRequest &out);
    // Until a client has logged in it gets a much smaller limit, so that
    // unknown peers cannot make the server hold large buffers.
    void SetMaxPacketBytes(qint64 bytes) { m_maxPacketBytes = bytes; }

    // Bytes of a request begun but not finished.
    qint64 PendingBytes() const { return 2 * (m_text.size() - m_start) + (m_decoder.HasOddByte() ? 1 : 0); }

private:
    bool findSeparators(int count);
    // An unknown keyword read after half a character: the sender's byte
    // count, not its words, went wrong.
    bool outOfStep() const { return m_oddAfterRequest || m_decoder.HasOddByte(); }
    static Status validated(const CRequest &request);
    void consume(qsizetype end);
    bool tooLarge(qsizetype end) const { return 2 * qint64(end - m_start) > m_maxPacketBytes; }

    CUtf16Decoder m_decoder;
    QString m_text;
    qsizetype m_start = 0;
    // Separators found so far in the request that begins at m_start, so that
    // a request arriving in many pieces is scanned once.
    QList<qsizetype> m_separators;
    qsizetype m_scanned = 0;
    qint64 m_maxPacketBytes;
    // The last request ended half a character before the bytes received so
    // far: fine when the next bytes complete a request keyword, otherwise
    // the sender counted its bytes wrong.
    bool m_oddAfterRequest = false;
};
