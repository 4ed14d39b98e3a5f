// The reply handlers of the client socket: each checks the field count and
// the name against what the last request of its kind remembered, logs what
// it found, and hands the result to the owner.
#include "clientsocket.h"
#include "collabtexts.h"

#include "model/kelrecord.h"
#include "model/prompt.h"

namespace {

QStringList namesOf(const QStringList &fields)
{
    QStringList names;
    for (qsizetype i = 1; i < fields.size(); ++i) {
        const QString name = fields[i].trimmed();
        if (!name.isEmpty())
            names.append(name);
    }
    return names;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

void CClientSocket::countError(QStringView operation, qsizetype count, int required, bool trailingBlank)
{
    log(operation, CollabTexts::LogCountMismatch(count, required, trailingBlank));
}

void CClientSocket::nameError(QStringView operation, const QString &received, const QString &intended)
{
    log(operation, CollabTexts::LogNameMismatch(received, intended));
}

void CClientSocket::loginResult(bool success)
{
    if (m_owner) {
        m_owner->SetLoggedIn(success);
        m_owner->RefreshViewsAndTitle();
    }
    // the server's reason, when it gave one, says what to do about it
    if (success)
        message(CollabTexts::LoginSuccessful);
    else
        message(m_lastRefusal.isEmpty() ? CollabTexts::LoginUnsuccessful
                                        : CollabTexts::LoginUnsuccessfulBecause(m_lastRefusal));
}

void CClientSocket::processError(const QString &text)
{
    constexpr auto op = u"ProcessError";
    using namespace Collab;
    // an error text answers the oldest request still waiting; with none
    // waiting it is the server speaking of its own accord (closing the
    // connection, say), and the user reads it
    if (m_awaited.isEmpty() && m_awaitedEdits.isEmpty()) {
        log(op, CollabTexts::LogError(text));
        message(CollabTexts::ServerSays(text));
        return;
    }
    const bool edit =
        m_awaited.isEmpty() || (!m_awaitedEdits.isEmpty() && m_awaitedEdits.first().serial < m_awaited.first().serial);
    const Awaited request = edit ? m_awaitedEdits.takeFirst() : m_awaited.takeFirst();
    m_lastRefusal = text;
    if (request.keyword == kUIDLog) {
        loginResult(false);
    } else if (request.keyword == kFileListReq) {
        if (m_owner)
            m_owner->OnServerFileList({});
        message(text);
    } else if (request.keyword == kFileDownRec) {
        message(CollabTexts::OpenFailed() + u' ' + text);
    } else if (request.keyword == kFileSave) {
        if (m_owner)
            m_owner->OnServerSaveResult(request.name, false);
    } else if (request.keyword == kMemberListReq || request.keyword == kHistListReq
               || request.keyword == kHistDownReq) {
        message(text);
    } else if (request.keyword == kOpCont) {
        // the edit was not made for anyone; say why
        message(CollabTexts::EditRefused(text));
    } else {
        log(op, CollabTexts::LogError(text));
    }
    m_lastRefusal.clear();
}

void CClientSocket::processUIDLogAck(const QStringList &fields)
{
    constexpr auto op = u"ProcessUIDLogAck";
    const qsizetype n = fields.size();
    log(op, CollabTexts::LogReply(u"UIDLogAck"));
    log(op, CollabTexts::LogPacketCount(n));
    if (n < 2) {
        countError(op, n, 2, true);
        loginResult(false);
        return;
    }
    log(op, CollabTexts::LogReceivedUserId(fields[1]) + CollabTexts::LogSpacedSuccess);
    loginResult(fields[1] == m_userId);
}

void CClientSocket::processFileListAck(const QStringList &fields)
{
    constexpr auto op = u"ProcessFileListAck";
    const qsizetype n = fields.size();
    log(op, CollabTexts::LogReply(u"FileListAck"));
    log(op, CollabTexts::LogPacketCount(n));
    if (n <= 1) {
        log(op, CollabTexts::LogNoFileName(n));
        if (m_owner)
            m_owner->OnServerFileList({});
        return;
    }
    const QStringList names = namesOf(fields);
    log(op, CollabTexts::LogReceivedNames(names) + CollabTexts::LogSpacedSuccess);
    if (m_owner)
        m_owner->OnServerFileList(names);
}

void CClientSocket::processFileDownAck(const QStringList &fields)
{
    constexpr auto op = u"ProcessFileDownAck";
    const qsizetype n = fields.size();
    log(op, CollabTexts::LogReply(u"FileDownAck"));
    log(op, CollabTexts::LogIntendedDownload(n, m_openName));
    if (n != 5) {
        countError(op, n, 5);
        message(CollabTexts::OpenFailed());
        return;
    }
    const QString &name = fields[1];
    const int size = CKELRecord::ToInt(QStringView(fields[2]));
    const QString found = CollabTexts::LogReceivedSize(name, size);
    log(op, found);
    if (!sameName(name, m_openName)) {
        nameError(op, name, m_openName);
        message(CollabTexts::OpenFailed());
        return;
    }
    log(op, found + CollabTexts::LogSpacedSuccess);
    if (m_owner)
        m_owner->OnServerFileOpened(true, name, fields[4]);
}

void CClientSocket::processFileSaveAck(const QStringList &fields)
{
    constexpr auto op = u"ProcessFileSaveAck";
    const qsizetype n = fields.size();
    log(op, CollabTexts::LogReply(u"FileSaveAck"));
    log(op, CollabTexts::LogIntendedUpload(n, m_saveName));
    // a refused save goes through the owner, which says "Failed to save
    // solution" and takes back what a Save As had already switched over
    if (n != 2) {
        countError(op, n, 2);
        if (m_owner)
            m_owner->OnServerSaveResult(m_saveName, false);
        return;
    }
    log(op, CollabTexts::LogReceivedFileName(fields[1]));
    if (!sameName(fields[1], m_saveName)) {
        nameError(op, fields[1], m_saveName);
        if (m_owner)
            m_owner->OnServerSaveResult(m_saveName, false);
        return;
    }
    log(op, CollabTexts::LogReceivedFileName(fields[1]) + CollabTexts::LogSpacedSuccess);
    if (m_owner)
        m_owner->OnServerSaveResult(m_saveName, true);
}

void CClientSocket::processFileSynReq(const QStringList &fields)
{
    constexpr auto op = u"ProcessFileSynReq";
    const qsizetype n = fields.size();
    log(op, CollabTexts::LogReply(u"FileSynReq"));
    log(op, CollabTexts::LogIntendedSync(n, m_synFileName));
    if (n != 2) {
        countError(op, n, 2);
        return;
    }
    log(op, CollabTexts::LogReceivedFileName(fields[1]));
    if (!sameName(fields[1], m_synFileName))
        nameError(op, fields[1], m_synFileName);
    else
        log(op, CollabTexts::LogReceivedFileName(fields[1]) + CollabTexts::LogSpacedSuccess);
}

void CClientSocket::processOpIdAck(const QStringList &fields)
{
    constexpr auto op = u"ProcessOpIdAck";
    const qsizetype n = fields.size();
    log(op, CollabTexts::LogReply(u"OpIdAck"));
    log(op, CollabTexts::LogIntendedOperationId(n, m_opIdFileName));
    if (n != 3) {
        countError(op, n, 3);
        return;
    }
    const QString found = CollabTexts::LogReceivedOperationId(fields[1], CKELRecord::ToInt(QStringView(fields[2])));
    log(op, found);
    if (!sameName(fields[1], m_opIdFileName))
        nameError(op, fields[1], m_opIdFileName);
    else
        log(op, found + CollabTexts::LogSuccess);
}

void CClientSocket::processAskAction(const QStringList &fields)
{
    constexpr auto op = u"ProcessAskAction";
    const qsizetype n = fields.size();
    if (logging()) {
        log(op, CollabTexts::LogReply(u"OpCont"));
        log(op, CollabTexts::LogIntendedOperation(n, m_opFileName, m_opRecord));
    }
    if (n == 3) {
        if (logging()) {
            const QString found = CollabTexts::LogReceivedContent(fields[1], fields[2]);
            log(op, found);
            log(op, found + CollabTexts::LogSpacedSuccess);
        }
        if (m_owner)
            m_owner->OnServerOperation(fields[1], fields[2]);
        return;
    }
    countError(op, n, 3);
    // several relayed operations in one packet: every complete triple, in
    // order, as long as each begins with the keyword
    for (qsizetype i = 0; i + 2 < n; i += 3) {
        if (!Collab::IsKeyword(fields[i], Collab::kOpCont))
            break;
        if (m_owner)
            m_owner->OnServerOperation(fields[i + 1], fields[i + 2]);
    }
}

void CClientSocket::processObjectGenerateAck(const QStringList &fields)
{
    constexpr auto op = u"ProcessObjectGenerateAck";
    const qsizetype n = fields.size();
    log(op, CollabTexts::LogReply(u"ObCreAct"));
    log(op, CollabTexts::LogIntendedObjectGenerate(n, m_obCreFileName));
    if (n != 4) {
        countError(op, n, 4);
        return;
    }
    const QString found = CollabTexts::LogReceivedObject(fields[1], fields[2], fields[3]);
    log(op, found);
    if (!sameName(fields[1], m_obCreFileName))
        nameError(op, fields[1], m_obCreFileName);
    else
        log(op, found + CollabTexts::LogSuccess);
}

void CClientSocket::processUIDListAck(const QStringList &fields)
{
    constexpr auto op = u"ProcessUIDListAck";
    const qsizetype n = fields.size();
    log(op, CollabTexts::LogReply(u"UIDListAck"));
    log(op, CollabTexts::LogPacketCount(n));
    if (n <= 1) {
        log(op, CollabTexts::LogNoUserId(n));
        return;
    }
    const QStringList ids = namesOf(fields);
    log(op, CollabTexts::LogReceivedNames(ids) + CollabTexts::LogSpacedSuccess);
}

void CClientSocket::processMemberListAck(const QStringList &fields)
{
    constexpr auto op = u"ProcessMemberListAck";
    log(op, CollabTexts::LogPacketCount(fields.size()));
    // blank fields are dropped, so the list of a solution nobody owns (one
    // stored before owners were kept) begins with a plain member
    if (fields.size() < 2) {
        countError(op, fields.size(), 2);
        return;
    }
    const QStringList users = fields.mid(2);
    if (m_owner)
        m_owner->OnServerMembers(fields[1], users.value(0), users);
}

void CClientSocket::processHistListAck(const QStringList &fields)
{
    constexpr auto op = u"ProcessHistListAck";
    log(op, CollabTexts::LogPacketCount(fields.size()));
    if (fields.size() < 2 || (fields.size() - 2) % 4 != 0) {
        countError(op, fields.size(), 2);
        return;
    }
    QList<CSharedSave> saves;
    for (qsizetype i = 2; i + 3 < fields.size(); i += 4) {
        CSharedSave s;
        s.id = fields[i].toLongLong();
        s.saved = QDateTime::fromString(fields[i + 1], Qt::ISODate);
        s.user = fields[i + 2];
        s.size = fields[i + 3].toLongLong();
        saves.append(s);
    }
    if (m_owner)
        m_owner->OnServerHistory(fields[1], saves);
}

void CClientSocket::processHistDownAck(const QStringList &fields)
{
    constexpr auto op = u"ProcessHistDownAck";
    log(op, CollabTexts::LogPacketCount(fields.size()));
    if (fields.size() != 5) {
        countError(op, fields.size(), 5);
        message(CollabTexts::EarlierSaveUnreadable);
        return;
    }
    if (m_owner)
        m_owner->OnServerHistoryText(fields[1], fields[2].toLongLong(), fields[4]);
}
