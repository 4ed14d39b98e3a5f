#pragma once

#include "collab/collabprotocol.h"
#include "solutionstore.h"

#include <QHostAddress>
#include <QLoggingCategory>
#include <QObject>
#include <QSet>
#include <QTcpServer>
#include <QTimer>

#include <map>
#include <memory>
#include <optional>

struct CRequest;
class CServerConnection;
class CSharedReplica;

Q_DECLARE_LOGGING_CATEGORY(lcServer)

struct CServerOptions
{
    QHostAddress listenAddress = QHostAddress(QHostAddress::LocalHost);
    quint16 port = Collab::kDefaultPort;
    QString dataDirectory;
    // When set, only these user ids may log in.
    std::optional<QSet<QString>> users;
    qint64 maxPacketBytes = Collab::kDefaultMaxPacketBytes;
    // How often open solutions with relayed edits are stored.
    int storeIntervalMs = 30000;
    // A request begun and not continued for this long closes its connection.
    int stallTimeoutMs = 300000;
};

// The collaboration server: answers the clients' requests, keeps a replica
// of every open shared solution, relays each operation to every client that
// holds the solution (the sender too) in the order it applied them, and
// keeps the solutions in the store.
class CCollabServer : public QObject
{
    Q_OBJECT
public:
    explicit CCollabServer(CServerOptions options, QObject *parent = nullptr);
    ~CCollabServer() override;

    bool Start(QString *error = nullptr);
    quint16 Port() const { return m_server.serverPort(); }
    QHostAddress Address() const { return m_server.serverAddress(); }
    const CServerOptions &Options() const { return m_options; }

    // Writes every open solution with unstored edits to the store.
    void StoreAll();

    qsizetype ConnectionCount() const { return m_connections.size(); }
    qsizetype OpenSolutionCount() const { return qsizetype(m_replicas.size()); }

private:
    void accept();
    void read(CServerConnection *c);
    void handle(CServerConnection *c, const CRequest &request);
    void login(CServerConnection *c, const QString &userId);
    void list(CServerConnection *c);
    void open(CServerConnection *c, const QString &name);
    void save(CServerConnection *c, const QString &name, const QString &text);
    void operation(CServerConnection *c, const QString &name, const QString &record);

    // An error text: the request is refused, the connection stays.
    void refuse(CServerConnection *c, const QString &text);
    // An error text, then the connection is closed: its stream cannot be
    // followed any further.
    void fail(CServerConnection *c, const QString &text);
    void send(CServerConnection *c, const QString &packet);
    void sendBytes(CServerConnection *c, const QByteArray &bytes);
    void join(CServerConnection *c, CSharedReplica *replica);
    void leave(CServerConnection *c);
    void closed(CServerConnection *c);
    bool store(CSharedReplica *replica);
    void checkStalled();

    CServerOptions m_options;
    QTcpServer m_server;
    CSolutionStore m_store;
    std::map<QString, std::unique_ptr<CSharedReplica>> m_replicas;
    QList<CServerConnection *> m_connections;
    QTimer m_storeTimer;
    QTimer m_stallTimer;
    qint64 m_maxQueuedBytes;
};
