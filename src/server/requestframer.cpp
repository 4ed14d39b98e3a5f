#include "requestframer.h"

namespace {

struct KeywordInfo
{
    QStringView word;
    CRequest::Kind kind;
    int fields; // "#"-ended fields after the keyword; -1 for the length-framed save
};

constexpr KeywordInfo kKeywords[] = {
    {Collab::kUIDLog, CRequest::Login, 2},
    {Collab::kFileListReq, CRequest::FileList, 0},
    {Collab::kFileDownRec, CRequest::FileDown, 1},
    {Collab::kOpCont, CRequest::Operation, 2},
    {Collab::kFileSave, CRequest::FileSave, -1},
    {Collab::kMemberListReq, CRequest::MemberList, 1},
    {Collab::kMemberAddReq, CRequest::MemberAdd, 2},
    {Collab::kMemberDelReq, CRequest::MemberDel, 2},
    {Collab::kHistListReq, CRequest::HistoryList, 1},
    {Collab::kHistDownReq, CRequest::HistoryDown, 2},
};

constexpr qsizetype kLongestKeyword = 13;
// Enough digits for any length within the size limit.
constexpr qsizetype kLongestLength = 10;

bool digitsOnly(QStringView text)
{
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

} // namespace

CRequestFramer::CRequestFramer(qint64 maxPacketBytes) : m_maxPacketBytes(maxPacketBytes) {}

bool CRequestFramer::findSeparators(int count)
{
    if (m_scanned < m_start)
        m_scanned = m_start;
    while (m_separators.size() < count) {
        const qsizetype hash = m_text.indexOf(Collab::kSeparator, m_scanned);
        if (hash < 0) {
            m_scanned = m_text.size();
            return false;
        }
        m_separators.append(hash);
        m_scanned = hash + 1;
    }
    return true;
}

void CRequestFramer::consume(qsizetype end)
{
    m_oddAfterRequest = end == m_text.size() && m_decoder.HasOddByte();
    m_start = end;
    m_separators.clear();
    m_scanned = m_start;
    if (m_start == m_text.size()) {
        m_text.clear();
        m_start = m_scanned = 0;
    } else if (m_start > 65536 && m_start > m_text.size() / 2) {
        m_text.remove(0, m_start);
        m_start = m_scanned = 0;
    }
}

CRequestFramer::Status CRequestFramer::Next(CRequest &out)
{
    const qsizetype available = m_text.size() - m_start;
    if (available <= 0)
        return NeedMore;

    if (m_separators.isEmpty()) {
        // the keyword must show within its own length, whatever follows
        const QStringView head = QStringView(m_text).mid(m_start, std::min(available, kLongestKeyword + 1));
        const qsizetype hash = head.indexOf(Collab::kSeparator);
        if (hash < 0) {
            if (head.size() <= kLongestKeyword) {
                for (const KeywordInfo &k : kKeywords) {
                    if (k.word.startsWith(head, Qt::CaseInsensitive))
                        return NeedMore;
                }
            }
            return outOfStep() ? OddByteCount : UnknownKeyword;
        }
        m_separators.append(m_start + hash);
        m_scanned = m_start + hash + 1;
    }

    const QStringView keyword = QStringView(m_text).mid(m_start, m_separators[0] - m_start);
    const KeywordInfo *info = nullptr;
    for (const KeywordInfo &k : kKeywords) {
        if (Collab::IsKeyword(keyword, k.word))
            info = &k;
    }
    if (!info)
        return outOfStep() ? OddByteCount : UnknownKeyword;

    auto field = [this](int i) { return m_text.mid(m_separators[i] + 1, m_separators[i + 1] - m_separators[i] - 1); };

    if (info->fields < 0) {
        if (!findSeparators(3)) {
            if (m_separators.size() == 2) {
                const QStringView length = QStringView(m_text).mid(m_separators[1] + 1);
                if (length.size() > kLongestLength || !digitsOnly(length))
                    return Malformed;
            }
            return tooLarge(m_text.size()) ? TooLarge : NeedMore;
        }
        const QStringView lengthField =
            QStringView(m_text).mid(m_separators[1] + 1, m_separators[2] - m_separators[1] - 1);
        if (lengthField.isEmpty() || lengthField.size() > kLongestLength || !digitsOnly(lengthField))
            return Malformed;
        const qint64 length = lengthField.toLongLong();
        if (2 * (length + (m_separators[2] + 1 - m_start)) > m_maxPacketBytes)
            return TooLarge;
        const qsizetype end = m_separators[2] + 1 + qsizetype(length);
        if (m_text.size() < end)
            return NeedMore;
        out.kind = info->kind;
        out.fields = {field(0), m_text.mid(m_separators[2] + 1, qsizetype(length))};
        consume(end);
        return validated(out);
    }

    if (!findSeparators(1 + info->fields))
        return tooLarge(m_text.size()) ? TooLarge : NeedMore;
    out.kind = info->kind;
    out.fields.clear();
    for (int i = 0; i < info->fields; ++i)
        out.fields.append(field(i));
    consume(m_separators[info->fields] + 1);
    return validated(out);
}

CRequestFramer::Status CRequestFramer::validated(const CRequest &request)
{
    // a lone surrogate would be stored, merged with whatever follows it
    // when read back, and change what every other user loads; a NUL cannot
    // be stored in PostgreSQL, and would fail the other users' records
    // stored in the same transaction
    for (const QString &f : request.fields) {
        if (!QStringView(f).isValidUtf16() || f.contains(QChar(0)))
            return InvalidText;
    }
    return Ready;
}
