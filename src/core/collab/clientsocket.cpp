#include "clientsocket.h"
#include "collabtexts.h"

#include "model/prompt.h"

namespace {

constexpr auto kTryConnect = u"TryConnect";
constexpr auto kReceiveData = u"ReceiveData";
constexpr auto kSendPacket = u"SendPacket";
constexpr qint64 kReadChunk = 4096;

} // namespace

CClientSocket::CClientSocket(QObject *parent) : CAsyncSocketEx(parent)
{
    m_log.ReadConfigFile(QStringLiteral("TesselPacket.ini"));
    m_log.SetPrefix(CollabTexts::LogPrefix);
    m_log.SetMode(CPacketLog::DebuggerAndFile);
    log(u"CClientSocket", CollabTexts::LogStarted);
}

CClientSocket::~CClientSocket()
{
    log(u"~CClientSocket", CollabTexts::LogFinished);
    CAsyncSocketEx::Close();
}

void CClientSocket::log(QStringView operation, const QString &message)
{
    if (!logging())
        return;
    QString line = QStringLiteral("CClientSocket::");
    line += operation;
    line += u" - ";
    line += message;
    m_log.Write(line);
}

void CClientSocket::logErrorCode(QStringView operation, int errorCode)
{
    if (!logging())
        return;
    log(operation, CollabTexts::LogErrorCode(errorCode));
    if (errorCode != 0)
        log(operation, GetErrorText(errorCode));
}

QString CClientSocket::GetErrorText(int code)
{
    m_lastErrorField = code;
    return SocketError::Text(code);
}

void CClientSocket::Close()
{
    m_connected = false;
    // a new connection owes no replies to the requests of an old one
    m_awaited.clear();
    m_awaitedEdits.clear();
    CAsyncSocketEx::Close();
}

bool CClientSocket::TryConnect(const QString &host, quint16 port)
{
    Close();
    m_connectFailure = 0;
    // a partial reply of an earlier connection must not run into the
    // first reply of this one
    m_framer.Clear();
    if (!Create()) {
        log(kTryConnect, CollabTexts::LogCreateFailed(GetErrorText(GetLastError())));
        return false;
    }
    const bool started = Connect(host, port);
    const int error = GetLastError();
    log(kTryConnect, CollabTexts::LogConnectReturned(started, GetErrorText(error)));
    m_connectError = error;
    if (started)
        return true;
    if (error == SocketError::WouldBlock) {
        log(kTryConnect, CollabTexts::LogWouldBlock);
        return true;
    }
    return false;
}

void CClientSocket::OnConnect(int errorCode)
{
    logErrorCode(u"OnConnect", errorCode);
    if (m_connectError == SocketError::WouldBlock && errorCode == 0) {
        m_connected = true;
    } else {
        m_connected = false;
        m_connectFailure = errorCode;
        Close();
    }
    if (m_owner)
        m_owner->EstablishedConnection();
}

void CClientSocket::OnClose(int errorCode)
{
    if (m_connected && m_owner)
        m_owner->DisconnectFromServer();
    logErrorCode(u"OnClose", errorCode);
    m_connected = false;
}

void CClientSocket::OnAccept(int errorCode)
{
    logErrorCode(u"OnAccept", errorCode);
}

void CClientSocket::OnSend(int errorCode)
{
    logErrorCode(u"OnSend", errorCode);
}

bool CClientSocket::OnUntrustedCertificate(const QString &hostPort, const QSslCertificate &certificate,
                                           const QList<QSslError> &errors)
{
    log(u"OnUntrustedCertificate", hostPort);
    return m_owner && m_owner->AcceptCertificate(hostPort, certificate, errors);
}

void CClientSocket::OnOutOfBandData(int errorCode)
{
    logErrorCode(u"OnOutOfBandData", errorCode);
}

bool CClientSocket::SendPacket(const QString &packet)
{
    return sendPacket(packet, packet);
}

bool CClientSocket::sendPacket(const QString &packet, const QString &shown)
{
    m_lastSent = shown;
    const QByteArray bytes = CUtf16Decoder::Encode(packet);
    const qint64 result = Send(bytes.constData(), bytes.size(), 0);
    if (logging())
        log(kSendPacket, CollabTexts::LogSent(shown, result));
    if (result == -1) {
        log(kSendPacket, CollabTexts::LogSendFailed);
        return false;
    }
    return true;
}

bool CClientSocket::Login(const QString &userId, const QString &password)
{
    // a "#" would end the field early and the rest would be read as a request
    if (password.contains(Collab::kSeparator) || !QStringView(password).isValidUtf16()) {
        log(u"Login", CollabTexts::LogPasswordUnsendable);
        return false;
    }
    m_userId = userId;
    // the log and the last-sent text never hold the password
    const QString head = Collab::kUIDLog.toString() + u'#' + userId + u'#';
    if (!sendPacket(head + password + u'#', head + QStringLiteral("********#"))) {
        log(u"Login", CollabTexts::LogSendPacketFailed);
        return false;
    }
    await(Collab::kUIDLog);
    return true;
}

bool CClientSocket::ListFile()
{
    if (!SendPacket(Collab::kFileListReq.toString() + u'#')) {
        log(u"ListFile", CollabTexts::LogSendPacketFailed);
        return false;
    }
    await(Collab::kFileListReq);
    return true;
}

bool CClientSocket::SaveFile(const QString &name, int length, const QString &text)
{
    m_saveName = name;
    m_saveText = text;
    m_saveLength = length;
    if (!SendPacket(Collab::kFileSave.toString() + u'#' + name + u'#' + QString::number(length) + u'#' + text)) {
        log(u"SaveFile", CollabTexts::LogSendPacketFailed);
        return false;
    }
    await(Collab::kFileSave, name);
    return true;
}

bool CClientSocket::OpenFile(const QString &name)
{
    m_openName = name;
    if (!SendPacket(Collab::kFileDownRec.toString() + u'#' + name + u'#')) {
        log(u"OpenFile", CollabTexts::LogSendPacketFailed);
        return false;
    }
    await(Collab::kFileDownRec, name);
    return true;
}

bool CClientSocket::AskAction(const QString &name, const QString &record)
{
    m_opFileName = name;
    m_opRecord = record;
    if (!SendPacket(Collab::kOpCont.toString() + u'#' + name + u'#' + record + u'#')) {
        log(u"AskAction", CollabTexts::LogSendPacketFailed);
        return false;
    }
    // answered by its own relay, or by a refusal
    await(Collab::kOpCont, name, record);
    return true;
}

bool CClientSocket::ListMembers(const QString &name)
{
    if (!SendPacket(Collab::kMemberListReq.toString() + u'#' + name + u'#'))
        return false;
    // every member request is answered by the list as it is now
    await(Collab::kMemberListReq, name);
    return true;
}

bool CClientSocket::ChangeMember(const QString &name, const QString &user, bool add)
{
    // a user id that cannot travel would cut the request short
    if (!Collab::NameProblem(user).isEmpty())
        return false;
    const QStringView keyword = add ? Collab::kMemberAddReq : Collab::kMemberDelReq;
    if (!SendPacket(keyword.toString() + u'#' + name + u'#' + user + u'#'))
        return false;
    await(Collab::kMemberListReq, name);
    return true;
}

bool CClientSocket::ListHistory(const QString &name)
{
    if (!SendPacket(Collab::kHistListReq.toString() + u'#' + name + u'#'))
        return false;
    await(Collab::kHistListReq, name);
    return true;
}

bool CClientSocket::OpenHistory(const QString &name, qint64 id)
{
    if (!SendPacket(Collab::kHistDownReq.toString() + u'#' + name + u'#' + QString::number(id) + u'#'))
        return false;
    await(Collab::kHistDownReq, name, QString::number(id));
    return true;
}

bool CClientSocket::receiveData(int errorCode, QString &packet, QStringList &fields)
{
    logErrorCode(kReceiveData, errorCode);
    if (errorCode != 0)
        log(kReceiveData, CollabTexts::LogNetworkFailed(errorCode));

    char scratch[kReadChunk + 1];
    qint64 total = 0;
    qint64 result = 0;
    while ((result = Receive(scratch, kReadChunk, 0)) > 0) {
        m_framer.AppendBytes(QByteArrayView(scratch, result));
        total += result;
        if (2 * m_framer.PendingSize() > m_maxPacketBytes) {
            dropOversizedReply();
            return false;
        }
    }
    if (total == 0 && !(result == -1 && GetLastError() == SocketError::WouldBlock))
        log(kReceiveData, CollabTexts::LogConnectionClosed);

    if (m_framer.PendingSize() == 0) {
        log(kReceiveData, CollabTexts::LogNothingReceived);
        return false;
    }
    if (!m_framer.TakePacket(packet))
        return false;
    fields = CPacketFramer::SplitFields(packet);
    if (fields.isEmpty())
        log(kReceiveData, CollabTexts::LogNoKeyword);
    return true;
}

void CClientSocket::dropOversizedReply()
{
    // a server that never ends its packet would otherwise take all memory
    log(kReceiveData, CollabTexts::LogReplyTooLarge(m_maxPacketBytes));
    m_framer.Clear();
    const bool wasConnected = m_connected;
    Close();
    if (wasConnected && m_owner)
        m_owner->DisconnectFromServer();
    m_connected = false;
}

void CClientSocket::OnReceive(int errorCode)
{
    QString packet;
    QStringList fields;
    while (receiveData(errorCode, packet, fields)) {
        // an empty packet (".." alone) carries nothing and is skipped; an
        // error text does not hold up the replies that came with it
        if (fields.isEmpty()) {
            if (!packet.isEmpty())
                processError(packet);
            continue;
        }
        dispatch(fields);
    }
}

void CClientSocket::ProcessPacket(const QString &packet)
{
    const QStringList fields = CPacketFramer::SplitFields(packet);
    if (fields.isEmpty()) {
        if (!packet.isEmpty())
            processError(packet);
        return;
    }
    dispatch(fields);
}

void CClientSocket::await(QStringView keyword, const QString &name, const QString &record)
{
    QList<Awaited> &list = keyword == Collab::kOpCont ? m_awaitedEdits : m_awaited;
    // a server that never answers cannot make the list grow without end
    constexpr qsizetype kMostAwaited = 100000;
    if (list.size() >= kMostAwaited)
        list.removeFirst();
    list.append({keyword, name, record, m_nextSerial++});
}

bool CClientSocket::takeAwaited(QStringView keyword, const QString &name, const QString &record)
{
    if (keyword == Collab::kOpCont) {
        if (m_awaitedEdits.isEmpty() || m_awaitedEdits.first().name != name || m_awaitedEdits.first().record != record)
            return false;
        m_awaitedEdits.removeFirst();
        return true;
    }
    for (qsizetype i = 0; i < m_awaited.size(); ++i) {
        if (m_awaited[i].keyword == keyword) {
            m_awaited.removeAt(i);
            return true;
        }
    }
    return false;
}

void CClientSocket::dispatch(const QStringList &fields)
{
    using namespace Collab;
    const QString &k = fields.constFirst();
    auto unasked = [this, &k] { log(u"Dispatch", CollabTexts::LogUnaskedReply(k)); };
    if (IsKeyword(k, kUIDLogAck)) {
        if (takeAwaited(kUIDLog))
            processUIDLogAck(fields);
        else
            unasked();
    } else if (IsKeyword(k, kFileListAck)) {
        if (takeAwaited(kFileListReq))
            processFileListAck(fields);
        else
            unasked();
    } else if (IsKeyword(k, kFileDownAck)) {
        // a text nobody asked for would replace the open solution
        if (takeAwaited(kFileDownRec))
            processFileDownAck(fields);
        else
            unasked();
    } else if (IsKeyword(k, kFileSaveAck)) {
        if (takeAwaited(kFileSave))
            processFileSaveAck(fields);
        else
            unasked();
    } else if (IsKeyword(k, kMemberListAck)) {
        if (takeAwaited(kMemberListReq))
            processMemberListAck(fields);
        else
            unasked();
    } else if (IsKeyword(k, kHistListAck)) {
        if (takeAwaited(kHistListReq))
            processHistListAck(fields);
        else
            unasked();
    } else if (IsKeyword(k, kHistDownAck)) {
        // a text nobody asked for would open a window
        if (takeAwaited(kHistDownReq))
            processHistDownAck(fields);
        else
            unasked();
    } else if (IsKeyword(k, kOpCont)) {
        // relays of everyone's records arrive unasked; our own answer our request
        if (fields.size() >= 3)
            takeAwaited(kOpCont, fields[1], fields[2]);
        processAskAction(fields);
    } else if (IsKeyword(k, kFileSynReq))
        processFileSynReq(fields);
    else if (IsKeyword(k, kOpIdAck))
        processOpIdAck(fields);
    else if (IsKeyword(k, kObCreAct))
        processObjectGenerateAck(fields);
    else if (IsKeyword(k, kUIDListAck))
        processUIDListAck(fields);
    // "FileUpAck" and unknown keywords: nothing, not even a log line
}

void CClientSocket::message(const QString &text)
{
    if (m_owner)
        m_owner->Notice(text);
}
