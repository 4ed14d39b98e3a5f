#include "collabserver.h"

#include "requestframer.h"
#include "serverconnection.h"
#include "servertexts.h"
#include "sharedreplica.h"

#include "collab/solutiontextpacking.h"
#include "model/kelrecord.h"

#include <QDir>
#include <QFile>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpSocket>

#include <sys/resource.h>

Q_LOGGING_CATEGORY(lcServer, "verdantis.server", QtInfoMsg)

namespace {

// Records stored in one transaction at most.
constexpr qsizetype kLargestBatch = 4096;

QString peer(const CServerConnection *c)
{
    const QTcpSocket *s = c->Socket();
    return s->peerAddress().toString() + u':' + QString::number(s->peerPort());
}

} // namespace

CCollabServer::CCollabServer(CServerOptions options, QObject *parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_tls(!m_options.tlsCertificateFile.isEmpty())
    , m_store(m_options.dataDirectory, m_options.database)
    , m_maxQueuedBytes(std::max<qint64>(2 * m_options.maxPacketBytes, qint64(64) * 1024 * 1024))
{
    if (m_tls)
        m_server = std::make_unique<QSslServer>();
    else
        m_server = std::make_unique<QTcpServer>();
    // a TLS connection is pending only once its handshake is done, after the
    // new-connection signal of its socket
    connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, this, &CCollabServer::accept);
    connect(m_server.get(), &QTcpServer::acceptError, this, &CCollabServer::acceptFailed);
    connect(&m_storeTimer, &QTimer::timeout, this, &CCollabServer::StoreAll);
    connect(&m_timeoutTimer, &QTimer::timeout, this, &CCollabServer::checkTimeouts);
    m_resumeTimer.setSingleShot(true);
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(0);
    connect(&m_flushTimer, &QTimer::timeout, this, &CCollabServer::flush);
    connect(&m_resumeTimer, &QTimer::timeout, this, [this] { m_server->resumeAccepting(); });
    m_throttle = CLoginThrottle(m_options.loginDelayMs);
    m_connectionLimit = m_options.maxConnections;
    rlimit limit = {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        // the listening socket, the database, its journal, logs and a
        // connection being turned away need descriptors too
        constexpr rlim_t reserve = 24;
        const rlim_t room = limit.rlim_cur > 2 * reserve ? limit.rlim_cur - reserve : limit.rlim_cur / 2;
        m_connectionLimit = int(std::min<rlim_t>(rlim_t(m_connectionLimit), room));
    }
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
    m_store.SetHistoryKeep(m_options.historyKeep);
    if (!m_store.Open(error))
        return false;
    m_lock = std::make_unique<QLockFile>(QDir(m_options.dataDirectory).filePath(LockFileName()));
    // a lock left by a killed server is taken over
    if (!m_lock->tryLock(0)) {
        if (error)
            *error = ServerTexts::FolderInUse(m_options.dataDirectory);
        return false;
    }
    if (!m_store.LockExclusive(error))
        return false;
    if (m_tls) {
        QSslConfiguration configuration;
        if (!TlsConfiguration(m_options.tlsCertificateFile, m_options.tlsKeyFile, configuration, error))
            return false;
        auto *server = static_cast<QSslServer *>(m_server.get());
        server->setSslConfiguration(configuration);
        // a peer that never finishes its handshake holds a descriptor outside
        // the connection limits: it gets less time than a login
        if (m_options.loginTimeoutMs > 0)
            server->setHandshakeTimeout(std::min(m_options.loginTimeoutMs, 10000));
        connect(server, &QSslServer::errorOccurred, this, [](QSslSocket *socket, QAbstractSocket::SocketError) {
            qCDebug(lcServer).noquote() << ServerTexts::LogNoTls(socket->peerAddress().toString(),
                                                                 socket->errorString());
        });
    }
    if (!m_server->listen(m_options.listenAddress, m_options.port)) {
        if (error)
            *error = m_server->errorString();
        return false;
    }
    if (m_options.storeIntervalMs > 0)
        m_storeTimer.start(m_options.storeIntervalMs);
    qint64 shortest = 5000;
    for (qint64 t : {qint64(m_options.stallTimeoutMs), qint64(m_options.loginTimeoutMs), m_options.idleTimeoutMs}) {
        if (t > 0)
            shortest = std::min(shortest, t / 4);
    }
    m_timeoutTimer.start(int(std::max<qint64>(shortest, 50)));
    return true;
}

bool CCollabServer::TlsConfiguration(const QString &certificateFile, const QString &keyFile, QSslConfiguration &out,
                                     QString *error)
{
    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (!QSslSocket::supportsSsl())
        return fail(ServerTexts::NoTlsSupport);
    QFile certFile(certificateFile);
    if (!certFile.open(QIODevice::ReadOnly))
        return fail(ServerTexts::CannotReadCertificate(certificateFile, certFile.errorString()));
    // a chain file: the server's certificate first, then its issuers
    const QList<QSslCertificate> chain = QSslCertificate::fromDevice(&certFile, QSsl::Pem);
    if (chain.isEmpty() || chain.first().isNull())
        return fail(ServerTexts::NoCertificate(certificateFile));
    QFile key(keyFile);
    if (!key.open(QIODevice::ReadOnly))
        return fail(ServerTexts::CannotReadKey(keyFile, key.errorString()));
    const QByteArray keyBytes = key.readAll();
    QSslKey privateKey(keyBytes, QSsl::Rsa, QSsl::Pem);
    if (privateKey.isNull())
        privateKey = QSslKey(keyBytes, QSsl::Ec, QSsl::Pem);
    if (privateKey.isNull())
        return fail(ServerTexts::NoKey(keyFile));
    out = QSslConfiguration::defaultConfiguration();
    out.setLocalCertificateChain(chain);
    out.setPrivateKey(privateKey);
    out.setProtocol(QSsl::TlsV1_2OrLater);
    // clients prove who they are with their password, not with a certificate
    out.setPeerVerifyMode(QSslSocket::VerifyNone);
    return true;
}

void CCollabServer::accept()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        const QString address = socket->peerAddress().toString();
        const qsizetype fromAddress = std::count_if(m_connections.cbegin(), m_connections.cend(),
                                                    [&](const CServerConnection *c) { return c->address == address; });
        if (m_connections.size() >= m_connectionLimit || fromAddress >= m_options.maxConnectionsPerAddress) {
            // a word and the door: the descriptor is free again at once
            qCInfo(lcServer).noquote() << ServerTexts::LogTurnedAway(address, m_connections.size(), fromAddress);
            QByteArray bytes = CUtf16Decoder::Encode(ServerTexts::Busy);
            CUtf16Decoder::EncodeAppend(Collab::kTerminator, bytes);
            socket->write(bytes);
            socket->flush();
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto *c = new CServerConnection(socket, m_options.loginPacketBytes, this);
        // bounded: what a client sends is taken out at every read
        socket->setReadBufferSize(4 * 1024 * 1024);
        // relays are small and must leave at once
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        m_connections.append(c);
        connect(socket, &QTcpSocket::readyRead, c, [this, c] { read(c); });
        connect(socket, &QTcpSocket::disconnected, c, [this, c] { closed(c); });
        qCDebug(lcServer).noquote() << ServerTexts::LogConnection(peer(c));
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
    if (!c->requestBegun.isValid())
        c->requestBegun.start();
    c->Framer().Append(bytes);
    CRequest request;
    bool more = true;
    while (more) {
        switch (c->Framer().Next(request)) {
        case CRequestFramer::NeedMore: more = false; break;
        case CRequestFramer::Ready:
            c->lastRequest.restart();
            handle(c, request);
            more = !c->closing && !c->gone;
            break;
        case CRequestFramer::InvalidText:
            c->lastRequest.restart();
            refuse(c, ServerTexts::InvalidText);
            break;
        case CRequestFramer::UnknownKeyword:
            fail(c, ServerTexts::UnknownRequest);
            more = false;
            break;
        // the same word as for a lone surrogate: both are text that is not UTF-16
        case CRequestFramer::OddByteCount:
            fail(c, ServerTexts::InvalidText);
            more = false;
            break;
        case CRequestFramer::TooLarge:
            fail(c, ServerTexts::TooLarge);
            more = false;
            break;
        case CRequestFramer::Malformed:
            fail(c, ServerTexts::Malformed);
            more = false;
            break;
        }
    }
    // the stall clock runs from the first byte of what is still unfinished
    if (c->gone || c->Framer().PendingBytes() == 0)
        c->requestBegun.invalidate();
    else if (c->lastRequest.isValid() && c->lastRequest.elapsed() < c->requestBegun.elapsed())
        c->requestBegun = c->lastRequest;
    // the records of every connection read in this pass of the event loop
    // share one transaction; a large batch goes at once
    if (m_pending.size() >= kLargestBatch)
        flush();
    else if (!m_pending.isEmpty() && !m_flushTimer.isActive())
        m_flushTimer.start();
}

void CCollabServer::handle(CServerConnection *c, const CRequest &request)
{
    // relays of records before this request leave before its reply
    if (request.kind != CRequest::Operation)
        flush();
    if (request.kind == CRequest::Login) {
        login(c, request.fields.value(0), request.fields.value(1));
        return;
    }
    if (!c->loggedIn) {
        refuse(c, ServerTexts::LoginFirst);
        return;
    }
    switch (request.kind) {
    case CRequest::FileList: list(c); break;
    case CRequest::FileDown: open(c, request.fields.value(0)); break;
    case CRequest::FileSave: save(c, request.fields.value(0), request.fields.value(1)); break;
    case CRequest::Operation: operation(c, request.fields.value(0), request.fields.value(1)); break;
    case CRequest::MemberList: members(c, request.fields.value(0)); break;
    case CRequest::MemberAdd: changeMember(c, request.fields.value(0), request.fields.value(1), true); break;
    case CRequest::MemberDel: changeMember(c, request.fields.value(0), request.fields.value(1), false); break;
    case CRequest::HistoryList: history(c, request.fields.value(0)); break;
    case CRequest::HistoryDown: historyText(c, request.fields.value(0), request.fields.value(1)); break;
    case CRequest::Login: break;
    }
}

void CCollabServer::login(CServerConnection *c, const QString &userId, const QString &password)
{
    if (!Collab::NameProblem(userId).isEmpty()) {
        leave(c);
        c->loggedIn = false;
        refuse(c, ServerTexts::LoginRefused);
        return;
    }
    if (m_options.accounts) {
        if (m_throttle.WaitFor(c->address) > 0) {
            refuse(c, ServerTexts::Throttled);
            return;
        }
        if (!m_options.accounts->Check(userId, password)) {
            m_throttle.Failed(c->address);
            qCInfo(lcServer).noquote() << ServerTexts::LogWrongPassword(peer(c), userId);
            // a failed login ends any earlier one on this connection
            leave(c);
            c->loggedIn = false;
            c->Framer().SetMaxPacketBytes(m_options.loginPacketBytes);
            refuse(c, ServerTexts::WrongPassword);
            return;
        }
        m_throttle.Succeeded(c->address);
    }
    if (c->loggedIn && c->userId != userId)
        leave(c);
    c->loggedIn = true;
    c->userId = userId;
    c->Framer().SetMaxPacketBytes(m_options.maxPacketBytes);
    send(c, Collab::kUIDLogAck.toString() + u'#' + userId + u'#');
}

void CCollabServer::list(CServerConnection *c)
{
    QString packet = Collab::kFileListAck.toString() + u'#';
    const QStringList names = m_options.accounts ? m_store.NamesFor(c->userId) : m_store.Names();
    for (const QString &name : names) {
        // a name stored by an older server that could not travel is left out
        if (Collab::NameProblem(name).isEmpty())
            packet += name + u'#';
    }
    send(c, packet);
}

void CCollabServer::open(CServerConnection *c, const QString &name)
{
    if (!Collab::NameProblem(name).isEmpty()) {
        refuse(c, ServerTexts::BadName);
        return;
    }
    if (!mayUse(c, name)) {
        refuse(c, ServerTexts::NotMember);
        return;
    }
    CSharedReplica *replica = nullptr;
    if (auto it = m_replicas.find(name); it != m_replicas.end()) {
        replica = it->second.get();
    } else {
        QString problem;
        std::unique_ptr<CSharedReplica> made = loadReplica(name, &problem);
        if (!made) {
            refuse(c, problem);
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
        refuse(c, ServerTexts::BadName);
        return;
    }
    if (!mayUse(c, name)) {
        refuse(c, ServerTexts::NotMember);
        return;
    }
    // whatever is open, a text that does not load is no solution to keep
    if (CSharedReplica probe(name); !probe.Load(text)) {
        refuse(c, ServerTexts::NotASolution);
        return;
    }
    if (auto it = m_replicas.find(name); it != m_replicas.end()) {
        CSharedReplica *replica = it->second.get();
        if (c->replica != replica) {
            // the sender's text would silently replace what the holders
            // see, and the sender would not follow their edits
            refuse(c, ServerTexts::OpenElsewhere);
            return;
        }
        // the replica already holds the sender's edits and any in flight
        if (!m_store.Save(name, replica->Text(), c->userId)) {
            qCWarning(lcServer).noquote() << ServerTexts::LogStoreFailed(name, m_store.LastError());
            refuse(c, ServerTexts::StoreFailed);
            return;
        }
        replica->SetClean();
        send(c, Collab::kFileSaveAck.toString() + u'#' + name + u'#');
        return;
    }
    auto replica = std::make_unique<CSharedReplica>(name);
    replica->Load(text);
    if (!m_store.Save(name, text, c->userId)) {
        qCWarning(lcServer).noquote() << ServerTexts::LogStoreFailed(name, m_store.LastError());
        refuse(c, ServerTexts::StoreFailed);
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
        refuse(c, ServerTexts::NotOpen);
        return;
    }
    if (record.contains(Collab::kTerminator)) {
        refuse(c, ServerTexts::Unrelayable);
        return;
    }
    if (const QString problem = recordProblem(replica, record); !problem.isEmpty()) {
        refuse(c, problem);
        return;
    }
    replica->Apply(record);
    if (replica->ElementCount() > m_options.maxElements) {
        // a growth no check foresaw: back to what is stored and pending
        qCInfo(lcServer).noquote() << ServerTexts::LogTooLargeRecord(peer(c), name);
        if (!rebuild(replica))
            qCWarning(lcServer).noquote() << ServerTexts::LogRebuildFailed(name, m_store.LastError());
        refuse(c, ServerTexts::TooBig);
        return;
    }
    m_pending.append({c, name, record});
}

bool CCollabServer::mayUse(const CServerConnection *c, const QString &name) const
{
    return !m_options.accounts || m_store.IsMember(name, c->userId);
}

void CCollabServer::members(CServerConnection *c, const QString &name)
{
    if (!Collab::NameProblem(name).isEmpty()) {
        refuse(c, ServerTexts::BadName);
        return;
    }
    if (!m_store.Load(name)) {
        refuse(c, ServerTexts::NoSuchSolution);
        return;
    }
    if (!mayUse(c, name)) {
        refuse(c, ServerTexts::NotMember);
        return;
    }
    const QStringList users = m_store.Members(name);
    // the owner's place is empty while nobody owns the solution
    QString packet = Collab::kMemberListAck.toString() + u'#' + name + u'#' + m_store.Owner(name) + u'#';
    for (const QString &u : users.mid(m_store.Owner(name).isEmpty() ? 0 : 1))
        packet += u + u'#';
    send(c, packet);
}

void CCollabServer::changeMember(CServerConnection *c, const QString &name, const QString &user, bool add)
{
    if (!Collab::NameProblem(name).isEmpty()) {
        refuse(c, ServerTexts::BadName);
        return;
    }
    if (!m_store.Load(name)) {
        refuse(c, ServerTexts::NoSuchSolution);
        return;
    }
    if (m_store.Owner(name) != c->userId) {
        refuse(c, ServerTexts::NotOwner);
        return;
    }
    if (!Collab::NameProblem(user).isEmpty() || (m_options.accounts && !m_options.accounts->hashes.contains(user))) {
        refuse(c, ServerTexts::NoSuchUser);
        return;
    }
    if (add ? !m_store.Grant(name, user) : !m_store.Revoke(name, user)) {
        // a refusal text never ends with "." (see servertexts.h)
        QString reason = m_store.LastError();
        while (reason.endsWith(u'.'))
            reason.chop(1);
        refuse(c, reason.left(1).toUpper() + reason.mid(1));
        return;
    }
    if (!add && m_options.accounts) {
        // whoever holds it open as that user loses it now, not at the next open
        const QList<CServerConnection *> connections = m_connections;
        for (CServerConnection *h : connections) {
            if (!h->gone && !h->closing && h->userId == user && h->replica && h->replica->Name() == name)
                fail(h, ServerTexts::Revoked);
        }
    }
    members(c, name);
}

void CCollabServer::history(CServerConnection *c, const QString &name)
{
    if (!Collab::NameProblem(name).isEmpty()) {
        refuse(c, ServerTexts::BadName);
        return;
    }
    if (!m_store.Load(name)) {
        refuse(c, ServerTexts::NoSuchSolution);
        return;
    }
    if (!mayUse(c, name)) {
        refuse(c, ServerTexts::NotMember);
        return;
    }
    QString packet = Collab::kHistListAck.toString() + u'#' + name + u'#';
    for (const CHistoryEntry &e : m_store.History(name)) {
        // a user of an older store that could not travel is left blank
        const QString user = Collab::NameProblem(e.user).isEmpty() ? e.user : ServerTexts::UnknownUser;
        packet += QString::number(e.id) + u'#' + e.saved.toUTC().toString(Qt::ISODate) + u'#' + user + u'#'
                  + QString::number(e.size) + u'#';
    }
    send(c, packet);
}

void CCollabServer::historyText(CServerConnection *c, const QString &name, const QString &id)
{
    if (!Collab::NameProblem(name).isEmpty()) {
        refuse(c, ServerTexts::BadName);
        return;
    }
    if (!mayUse(c, name)) {
        refuse(c, ServerTexts::NotMember);
        return;
    }
    bool ok = false;
    const qint64 saveId = id.toLongLong(&ok);
    const std::optional<QString> text = ok ? m_store.HistoryText(name, saveId) : std::nullopt;
    if (!text) {
        refuse(c, ServerTexts::NoSuchSave);
        return;
    }
    const QString packed = Collab::PacketSafeSolutionText(*text);
    send(c, Collab::kHistDownAck.toString() + u'#' + name + u'#' + QString::number(saveId) + u'#'
                + QString::number(packed.size()) + u'#' + packed);
}

QString CCollabServer::recordProblem(CSharedReplica *replica, const QString &record) const
{
    CKELRecord parsed;
    // what does not parse changes nothing anywhere; it is relayed as before
    if (!parsed.Parse(record))
        return {};
    const QString kind = parsed.GetKind();
    if (kind == u"clotre") {
        const int target = parsed.GetInt(u"tid");
        const int source = parsed.GetInt(u"sid");
        if (target == source)
            return ServerTexts::SelfCopy;
        // checked before the copy is made: the copy itself could exhaust memory
        if (replica->ElementCount() + replica->ElementsUnder(source) > m_options.maxElements)
            return ServerTexts::TooBig;
    } else if (kind == u"addver") {
        // a new version copies at most the whole solution
        if (2 * replica->ElementCount() > m_options.maxElements)
            return ServerTexts::TooBig;
    }
    // any other growth is caught after the record is applied
    return {};
}

void CCollabServer::flush()
{
    m_flushTimer.stop();
    if (m_pending.isEmpty())
        return;
    const QList<PendingRecord> batch = std::exchange(m_pending, {});
    QList<std::pair<QString, QString>> rows;
    rows.reserve(batch.size());
    for (const PendingRecord &p : batch)
        rows.append({p.name, p.record});
    if (!m_store.AppendRecords(rows)) {
        // nobody has seen these records: take them back out of the replicas
        qCWarning(lcServer).noquote() << ServerTexts::LogRecordsNotStored(m_store.LastError());
        QSet<QString> names;
        for (const PendingRecord &p : batch) {
            names.insert(p.name);
            if (!p.sender->gone && !p.sender->closing)
                refuse(p.sender, ServerTexts::RecordNotStored);
        }
        for (const QString &name : names) {
            if (auto it = m_replicas.find(name); it != m_replicas.end())
                rebuild(it->second.get());
        }
        return;
    }
    for (const PendingRecord &p : batch) {
        auto it = m_replicas.find(p.name);
        if (it == m_replicas.end())
            continue;
        QByteArray bytes;
        CUtf16Decoder::EncodeAppend(Collab::kOpCont, bytes);
        CUtf16Decoder::EncodeAppend(u"#", bytes);
        CUtf16Decoder::EncodeAppend(p.name, bytes);
        CUtf16Decoder::EncodeAppend(u"#", bytes);
        CUtf16Decoder::EncodeAppend(p.record, bytes);
        CUtf16Decoder::EncodeAppend(u"#..", bytes);
        // a copy: a holder that cannot keep up is dropped while we go
        const QList<CServerConnection *> holders = it->second->Holders();
        for (CServerConnection *h : holders)
            sendBytes(h, bytes);
    }
}

std::unique_ptr<CSharedReplica> CCollabServer::loadReplica(const QString &name, QString *problem)
{
    const std::optional<QString> text = m_store.Load(name);
    if (!text) {
        *problem = ServerTexts::NoSuchSolution;
        return nullptr;
    }
    auto made = std::make_unique<CSharedReplica>(name);
    if (!made->Load(*text, m_store.Records(name))) {
        *problem = ServerTexts::Unreadable;
        return nullptr;
    }
    return made;
}

bool CCollabServer::rebuild(CSharedReplica *replica)
{
    const std::optional<QString> text = m_store.Load(replica->Name());
    if (!text)
        return false;
    QStringList records = m_store.Records(replica->Name());
    for (const PendingRecord &p : std::as_const(m_pending)) {
        if (p.name == replica->Name())
            records.append(p.record);
    }
    return replica->Load(*text, records);
}

void CCollabServer::refuse(CServerConnection *c, const QString &text)
{
    // the relays of this client's earlier records come first: replies keep
    // the order of the requests
    flush();
    qCDebug(lcServer).noquote() << ServerTexts::LogRefused(peer(c), text);
    send(c, text);
}

void CCollabServer::fail(CServerConnection *c, const QString &text)
{
    qCInfo(lcServer).noquote() << ServerTexts::LogClosed(peer(c), text);
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
        qCInfo(lcServer).noquote() << ServerTexts::LogNotReading(peer(c));
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
    if (!c->replica)
        return;
    // its records go out and into the store before the replica may go
    flush();
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
    qCDebug(lcServer).noquote() << ServerTexts::LogConnectionClosed;
    // a descriptor is free again
    if (m_resumeTimer.isActive()) {
        m_resumeTimer.stop();
        m_server->resumeAccepting();
    }
    c->deleteLater();
}

bool CCollabServer::store(CSharedReplica *replica)
{
    if (!replica->IsDirty())
        return true;
    if (!m_store.Store(replica->Name(), replica->Text())) {
        qCWarning(lcServer).noquote() << ServerTexts::LogStoreFailed(replica->Name(), m_store.LastError());
        return false;
    }
    replica->SetClean();
    return true;
}

void CCollabServer::StoreAll()
{
    // a text stored now holds the pending records: they must be in the store first
    flush();
    for (auto &[name, replica] : m_replicas)
        store(replica.get());
}

void CCollabServer::checkTimeouts()
{
    const QList<CServerConnection *> connections = m_connections;
    for (CServerConnection *c : connections) {
        if (c->gone || c->closing)
            continue;
        if (m_options.stallTimeoutMs > 0 && c->requestBegun.isValid()
            && c->requestBegun.elapsed() > m_options.stallTimeoutMs)
            // half a character left after the last request is a byte count gone wrong
            fail(c, c->Framer().PendingBytes() == 1 ? ServerTexts::InvalidText : ServerTexts::Stalled);
        else if (!c->loggedIn && m_options.loginTimeoutMs > 0 && c->connected.elapsed() > m_options.loginTimeoutMs)
            fail(c, ServerTexts::LoginTimeout);
        else if (c->loggedIn && m_options.idleTimeoutMs > 0 && !c->requestBegun.isValid()
                 && c->lastRequest.elapsed() > m_options.idleTimeoutMs)
            fail(c, ServerTexts::Idle);
    }
}

void CCollabServer::acceptFailed()
{
    // out of descriptors: Qt has paused accepting; the connections we have
    // are served, and accepting resumes when one closes or in a while
    qCWarning(lcServer).noquote() << ServerTexts::LogCannotAccept(m_server->errorString());
    m_server->pauseAccepting();
    m_resumeTimer.start(1000);
}
