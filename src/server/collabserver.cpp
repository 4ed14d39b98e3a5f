#include "collabserver.h"

#include "requestframer.h"
#include "serverconnection.h"
#include "sharedreplica.h"

#include <QTcpSocket>

Q_LOGGING_CATEGORY(lcServer, "verdantis.server", QtInfoMsg)

namespace {

// Error replies are texts without "#". None ends with "." either: the
// terminator would then read as "..." and leave a stray "." behind.
const QString kUnknownRequest = QStringLiteral("Unknown request");
const QString kTooLarge = QStringLiteral("Request too large");
const QString kMalformed = QStringLiteral("Malformed request");
const QString kStalled = QStringLiteral("Request not finished in time");
const QString kLoginFirst = QStringLiteral("Please log in first");
const QString kLoginRefused = QStringLiteral("Login refused");
const QString kBadName = QStringLiteral("This name cannot be used for a shared solution");
const QString kNoSuchSolution = QStringLiteral("No shared solution has this name");
const QString kUnreadable = QStringLiteral("The stored solution cannot be read");
const QString kNotASolution = QStringLiteral("The text is not a solution");
const QString kOpenElsewhere = QStringLiteral("The solution is open by other users; open it to save it");
const QString kNotOpen = QStringLiteral("The solution is not open on this connection");
const QString kUnrelayable = QStringLiteral("The record cannot be relayed");
const QString kStoreFailed = QStringLiteral("The solution could not be stored");

QString peer(const CServerConnection *c)
{
    const QTcpSocket *s = c->Socket();
    return s->peerAddress().toString() + u':' + QString::number(s->peerPort());
}

} // namespace

CCollabServer::CCollabServer(CServerOptions options, QObject *parent)
    : QObject(parent),
      m_options(std::move(options)),
      m_store(m_options.dataDirectory),
      m_maxQueuedBytes(std::max<qint64>(2 * m_options.maxPacketBytes, qint64(64) * 1024 * 1024))
{
    connect(&m_server, &QTcpServer::newConnection, this, &CCollabServer::accept);
    connect(&m_storeTimer, &QTimer::timeout, this, &CCollabServer::StoreAll);
    connect(&m_stallTimer, &QTimer::timeout, this, &CCollabServer::checkStalled);
}

CCollabServer::~CCollabServer()
{
    StoreAll();
    for (CServerConnection *c : std::as_const(m_connections)) {
        c->gone = true;
        QObject::disconnect(c->Socket(), nullptr, nullptr, nullptr);
    }
}

bool CCollabServer::Start(QString *error)
{
    if (!m_store.Open(error))
        return false;
    if (!m_server.listen(m_options.listenAddress, m_options.port)) {
        if (error)
            *error = m_server.errorString();
        return false;
    }
    if (m_options.storeIntervalMs > 0)
        m_storeTimer.start(m_options.storeIntervalMs);
    if (m_options.stallTimeoutMs > 0)
        m_stallTimer.start(std::clamp(m_options.stallTimeoutMs / 4, 50, 5000));
    return true;
}

void CCollabServer::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        auto *c = new CServerConnection(socket, m_options.maxPacketBytes, this);
        // bounded: what a client sends is taken out at every read
        socket->setReadBufferSize(4 * 1024 * 1024);
        // relays are small and must leave at once
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        m_connections.append(c);
        connect(socket, &QTcpSocket::readyRead, c, [this, c] { read(c); });
        connect(socket, &QTcpSocket::disconnected, c, [this, c] { closed(c); });
        qCDebug(lcServer) << "connection from" << peer(c);
    }
}

void CCollabServer::read(CServerConnection *c)
{
    if (c->gone)
        return;
    QTcpSocket *socket = c->Socket();
    if (c->closing) {
        socket->readAll();
        return;
    }
    const QByteArray bytes = socket->readAll();
    if (bytes.isEmpty())
        return;
    c->lastProgress.restart();
    c->Framer().Append(bytes);
    CRequest request;
    for (;;) {
        switch (c->Framer().Next(request)) {
        case CRequestFramer::NeedMore: return;
        case CRequestFramer::Ready: break;
        case CRequestFramer::UnknownKeyword: fail(c, kUnknownRequest); return;
        case CRequestFramer::TooLarge: fail(c, kTooLarge); return;
        case CRequestFramer::Malformed: fail(c, kMalformed); return;
        }
        handle(c, request);
        if (c->closing || c->gone)
            return;
    }
}

void CCollabServer::handle(CServerConnection *c, const CRequest &request)
{
    if (request.kind == CRequest::Login) {
        login(c, request.fields.value(0));
        return;
    }
    if (!c->loggedIn) {
        refuse(c, kLoginFirst);
        return;
    }
    switch (request.kind) {
    case CRequest::FileList: list(c); break;
    case CRequest::FileDown: open(c, request.fields.value(0)); break;
    case CRequest::FileSave: save(c, request.fields.value(0), request.fields.value(1)); break;
    case CRequest::Operation: operation(c, request.fields.value(0), request.fields.value(1)); break;
    case CRequest::Login: break;
    }
}

void CCollabServer::login(CServerConnection *c, const QString &userId)
{
    const bool allowed = Collab::NameProblem(userId).isEmpty()
                         && (!m_options.users || m_options.users->contains(userId));
    if (!allowed) {
        c->loggedIn = false;
        refuse(c, kLoginRefused);
        return;
    }
    c->loggedIn = true;
    c->userId = userId;
    send(c, Collab::kUIDLogAck.toString() + u'#' + userId + u'#');
}

void CCollabServer::list(CServerConnection *c)
{
    QString packet = Collab::kFileListAck.toString() + u'#';
    for (const QString &name : m_store.Names()) {
        // a name stored by an older server that could not travel is left out
        if (Collab::NameProblem(name).isEmpty())
            packet += name + u'#';
    }
    send(c, packet);
}

void CCollabServer::open(CServerConnection *c, const QString &name)
{
    if (!Collab::NameProblem(name).isEmpty()) {
        refuse(c, kBadName);
        return;
    }
    CSharedReplica *replica = nullptr;
    if (auto it = m_replicas.find(name); it != m_replicas.end()) {
        replica = it->second.get();
    } else {
        const std::optional<QString> text = m_store.Load(name);
        if (!text) {
            refuse(c, kNoSuchSolution);
            return;
        }
        auto made = std::make_unique<CSharedReplica>(name);
        if (!made->Load(*text)) {
            refuse(c, kUnreadable);
            return;
        }
        replica = made.get();
        m_replicas.emplace(name, std::move(made));
    }
    // the text and the relays that follow it leave in one order, so the
    // joiner misses nothing and sees nothing twice
    const QString text = replica->PacketText();
    join(c, replica);
    send(c, Collab::kFileDownAck.toString() + u'#' + name + u'#' + QString::number(text.size()) + u'#'
                + QString::number(replica->Sequence()) + u'#' + text);
}

void CCollabServer::save(CServerConnection *c, const QString &name, const QString &text)
{
    if (!Collab::NameProblem(name).isEmpty()) {
        refuse(c, kBadName);
        return;
    }
    if (auto it = m_replicas.find(name); it != m_replicas.end()) {
        CSharedReplica *replica = it->second.get();
        if (c->replica != replica) {
            // the sender's text would silently replace what the holders
            // see, and the sender would not follow their edits
            refuse(c, kOpenElsewhere);
            return;
        }
        // the replica already holds the sender's edits and any in flight
        if (!m_store.Save(name, replica->Text(), c->userId)) {
            qCWarning(lcServer) << "storing" << name << "failed:" << m_store.LastError();
            refuse(c, kStoreFailed);
            return;
        }
        replica->SetClean();
        send(c, Collab::kFileSaveAck.toString() + u'#' + name + u'#');
        return;
    }
    auto replica = std::make_unique<CSharedReplica>(name);
    if (!replica->Load(text)) {
        refuse(c, kNotASolution);
        return;
    }
    if (!m_store.Save(name, text, c->userId)) {
        qCWarning(lcServer) << "storing" << name << "failed:" << m_store.LastError();
        refuse(c, kStoreFailed);
        return;
    }
    // the sender now shares the solution under this name
    CSharedReplica *r = replica.get();
    m_replicas.emplace(name, std::move(replica));
    join(c, r);
    send(c, Collab::kFileSaveAck.toString() + u'#' + name + u'#');
}

void CCollabServer::operation(CServerConnection *c, const QString &name, const QString &record)
{
    CSharedReplica *replica = c->replica;
    if (!replica || replica->Name() != name) {
        refuse(c, kNotOpen);
        return;
    }
    if (record.contains(Collab::kTerminator)) {
        refuse(c, kUnrelayable);
        return;
    }
    replica->Apply(record);
    QByteArray bytes;
    CUtf16Decoder::EncodeAppend(Collab::kOpCont, bytes);
    CUtf16Decoder::EncodeAppend(u"#", bytes);
    CUtf16Decoder::EncodeAppend(name, bytes);
    CUtf16Decoder::EncodeAppend(u"#", bytes);
    CUtf16Decoder::EncodeAppend(record, bytes);
    CUtf16Decoder::EncodeAppend(u"#..", bytes);
    // a copy: a holder that cannot keep up is dropped while we go
    const QList<CServerConnection *> holders = replica->Holders();
    for (CServerConnection *h : holders)
        sendBytes(h, bytes);
}

void CCollabServer::refuse(CServerConnection *c, const QString &text)
{
    qCDebug(lcServer) << peer(c) << "refused:" << text;
    send(c, text);
}

void CCollabServer::fail(CServerConnection *c, const QString &text)
{
    qCInfo(lcServer) << peer(c) << "closed:" << text;
    send(c, text);
    c->closing = true;
    leave(c);
    c->Socket()->disconnectFromHost();
}

void CCollabServer::send(CServerConnection *c, const QString &packet)
{
    QByteArray bytes;
    bytes.reserve(2 * (packet.size() + 2));
    CUtf16Decoder::EncodeAppend(packet, bytes);
    CUtf16Decoder::EncodeAppend(Collab::kTerminator, bytes);
    sendBytes(c, bytes);
}

void CCollabServer::sendBytes(CServerConnection *c, const QByteArray &bytes)
{
    if (c->gone)
        return;
    QTcpSocket *socket = c->Socket();
    if (socket->state() != QAbstractSocket::ConnectedState)
        return;
    socket->write(bytes);
    if (socket->bytesToWrite() > m_maxQueuedBytes) {
        // a client that does not read would make the server hold everything
        qCInfo(lcServer) << peer(c) << "dropped: it does not read what it is sent";
        c->closing = true;
        leave(c);
        socket->abort();
        closed(c);
    }
}

void CCollabServer::join(CServerConnection *c, CSharedReplica *replica)
{
    if (c->replica == replica)
        return;
    leave(c);
    c->replica = replica;
    replica->Holders().append(c);
}

void CCollabServer::leave(CServerConnection *c)
{
    CSharedReplica *replica = std::exchange(c->replica, nullptr);
    if (!replica)
        return;
    replica->Holders().removeAll(c);
    if (!replica->Holders().isEmpty())
        return;
    // the last one out: keep what they did, then let the copy go
    store(replica);
    const QString name = replica->Name();
    m_replicas.erase(name);
}

void CCollabServer::closed(CServerConnection *c)
{
    if (c->gone)
        return;
    c->gone = true;
    leave(c);
    m_connections.removeAll(c);
    qCDebug(lcServer) << "connection closed";
    c->deleteLater();
}

bool CCollabServer::store(CSharedReplica *replica)
{
    if (!replica->IsDirty())
        return true;
    if (!m_store.Store(replica->Name(), replica->Text())) {
        qCWarning(lcServer) << "storing" << replica->Name() << "failed:" << m_store.LastError();
        return false;
    }
    replica->SetClean();
    return true;
}

void CCollabServer::StoreAll()
{
    for (auto &[name, replica] : m_replicas)
        store(replica.get());
}

void CCollabServer::checkStalled()
{
    const QList<CServerConnection *> connections = m_connections;
    for (CServerConnection *c : connections) {
        if (!c->gone && !c->closing && c->Framer().PendingBytes() > 0
            && c->lastProgress.elapsed() > m_options.stallTimeoutMs)
            fail(c, kStalled);
    }
}
