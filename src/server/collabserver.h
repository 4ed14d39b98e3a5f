#pragma once

#include "accounts.h"
#include "collab/collabprotocol.h"
#include "solutionstore.h"

#include <QHostAddress>
#include <QLockFile>
#include <QLoggingCategory>
#include <QObject>
#include <QSet>
#include <QSslConfiguration>
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
    // Empty: the SQLite file in dataDirectory; otherwise a postgresql:// URL.
    QString database;
    // When set, only these users may log in, each with its password.
    std::optional<CAccounts> accounts;
    qint64 maxPacketBytes = Collab::kDefaultMaxPacketBytes;
    // Until a connection has logged in its requests are held to this size,
    // and it must log in within loginTimeoutMs.
    qint64 loginPacketBytes = 64 * 1024;
    int loginTimeoutMs = 30000;
    // How often open solutions are written whole, so that the stored records
    // after their texts stay few; every record is stored as it is relayed.
    int storeIntervalMs = 30000;
    // A request not finished this long after its first byte closes its connection.
    int stallTimeoutMs = 300000;
    // A logged-in connection that sends nothing for this long is closed (0: never).
    qint64 idleTimeoutMs = qint64(8) * 3600 * 1000;
    int maxConnections = 512;
    int maxConnectionsPerAddress = 32;
    // The most elements a shared solution may hold; a record that would pass
    // it is refused for everyone.
    qsizetype maxElements = 2000000;
    // The first wait after three wrong passwords from one address.
    int loginDelayMs = 1000;
    // Saves kept per solution (0: a week of all, then one a day for 90 days).
    int historyKeep = 0;
    // With a certificate and key the port speaks TLS only.
    QString tlsCertificateFile;
    QString tlsKeyFile;
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
    // The TLS settings of the certificate and key files, or false with a message.
    static bool TlsConfiguration(const QString &certificateFile, const QString &keyFile, QSslConfiguration &out,
                                 QString *error);
    static QString LockFileName() { return QStringLiteral("verdantis-server.lock"); }
    quint16 Port() const { return m_server->serverPort(); }
    QHostAddress Address() const { return m_server->serverAddress(); }
    bool IsEncrypted() const { return m_tls; }
    // Where the solutions are kept, for the user: never a password.
    QString StoreLocation() const { return m_store.Location(); }
    const CServerOptions &Options() const { return m_options; }

    // Writes every open solution with unstored edits to the store.
    void StoreAll();

    qsizetype ConnectionCount() const { return m_connections.size(); }
    // The connections this process can hold: the option, kept below what
    // the descriptor limit leaves after the store's files and a reserve.
    int ConnectionLimit() const { return m_connectionLimit; }
    qsizetype OpenSolutionCount() const { return qsizetype(m_replicas.size()); }

private:
    void accept();
    void read(CServerConnection *c);
    void handle(CServerConnection *c, const CRequest &request);
    void login(CServerConnection *c, const QString &userId, const QString &password);
    void list(CServerConnection *c);
    void open(CServerConnection *c, const QString &name);
    void save(CServerConnection *c, const QString &name, const QString &text);
    void operation(CServerConnection *c, const QString &name, const QString &record);
    void members(CServerConnection *c, const QString &name);
    void changeMember(CServerConnection *c, const QString &name, const QString &user, bool add);
    void history(CServerConnection *c, const QString &name);
    void historyText(CServerConnection *c, const QString &name, const QString &id);
    // With accounts only members may use a solution; without them user ids
    // prove nothing, and everyone may.
    bool mayUse(const CServerConnection *c, const QString &name) const;

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
    void checkTimeouts();
    void acceptFailed();
    // Why the record may not be applied, or an empty text.
    QString recordProblem(CSharedReplica *replica, const QString &record) const;
    // Writes the records applied in this read, then relays them: a record
    // reaches no client before it is stored.
    void flush();
    // The replica as stored, plus what is applied but not yet written.
    bool rebuild(CSharedReplica *replica);
    std::unique_ptr<CSharedReplica> loadReplica(const QString &name, QString *problem);

    struct PendingRecord
    {
        CServerConnection *sender;
        QString name;
        QString record;
    };
    CServerOptions m_options;
    // One server per data folder: two would each relay and store their own copies.
    std::unique_ptr<QLockFile> m_lock;
    // A QSslServer when the options name a certificate.
    std::unique_ptr<QTcpServer> m_server;
    bool m_tls = false;
    CSolutionStore m_store;
    std::map<QString, std::unique_ptr<CSharedReplica>> m_replicas;
    QList<CServerConnection *> m_connections;
    QTimer m_storeTimer;
    QTimer m_timeoutTimer;
    QTimer m_resumeTimer;
    QTimer m_flushTimer;
    qint64 m_maxQueuedBytes;
    int m_connectionLimit = 0;
    QList<PendingRecord> m_pending;
    CLoginThrottle m_throttle;
};
