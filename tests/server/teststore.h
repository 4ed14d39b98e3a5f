#pragma once

// Where the servers of a test keep their solutions: SQLite in their data
// folders, or, with VERDANTIS_TEST_STORE=postgresql, a database of each
// data folder's own in a throwaway PostgreSQL cluster that the test program
// starts in a temporary folder on a free port and removes at its end.

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <map>
#include <memory>

#include <pwd.h>
#include <unistd.h>

namespace TestStore {

inline bool UsePostgres()
{
    return qEnvironmentVariable("VERDANTIS_TEST_STORE") == u"postgresql";
}

class CPostgresCluster
{
public:
    // The binaries of the newest PostgreSQL installed; empty when there are none.
    static QString BinDir()
    {
        const QStringList versions =
            QDir(u"/usr/lib/postgresql"_qs).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (auto it = versions.crbegin(); it != versions.crend(); ++it) {
            const QString bin = u"/usr/lib/postgresql/%1/bin"_qs.arg(*it);
            if (QFile::exists(bin + u"/initdb"_qs) && QFile::exists(bin + u"/pg_ctl"_qs))
                return bin;
        }
        return {};
    }

    bool Start(QString *error)
    {
        m_bin = BinDir();
        if (!m_dir.isValid()) {
            *error = u"no temporary folder"_qs;
            return false;
        }
        // initdb refuses to run as root: the cluster is the postgres user's
        if (::geteuid() == 0) {
            const passwd *pw = ::getpwnam("postgres");
            if (!pw || ::chown(QFile::encodeName(m_dir.path()).constData(), pw->pw_uid, pw->pw_gid) != 0) {
                *error = u"running as root needs the postgres user to own the cluster"_qs;
                return false;
            }
            m_asPostgres = true;
        }
        const QString data = m_dir.filePath(u"data"_qs);
        if (!run(u"initdb"_qs, {u"-D"_qs, data, u"-U"_qs, u"postgres"_qs, u"--auth=trust"_qs, u"-E"_qs, u"UTF8"_qs,
                                 u"--no-sync"_qs},
                 error)) {
            return false;
        }
        // a port found free may be taken before the cluster binds it
        for (int attempt = 0; attempt < 5; ++attempt) {
            QTcpServer probe;
            if (!probe.listen(QHostAddress::LocalHost, 0))
                continue;
            m_port = probe.serverPort();
            probe.close();
            // the tests kill servers, never the cluster: it need not sync
            const QString options =
                u"-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off -c max_connections=200"_qs.arg(m_port).arg(
                    m_dir.path());
            if (run(u"pg_ctl"_qs,
                    {u"-D"_qs, data, u"-o"_qs, options, u"-l"_qs, m_dir.filePath(u"log"_qs), u"-w"_qs, u"start"_qs},
                    error)) {
                m_running = true;
                return true;
            }
        }
        return false;
    }
    ~CPostgresCluster() { Stop(); }
    void Stop()
    {
        if (!m_running)
            return;
        QString ignored;
        run(u"pg_ctl"_qs, {u"-D"_qs, m_dir.filePath(u"data"_qs), u"-m"_qs, u"immediate"_qs, u"-w"_qs, u"stop"_qs},
            &ignored);
        m_running = false;
    }
    QString Url(const QString &database) const
    {
        return u"postgresql://postgres@127.0.0.1:%1/%2"_qs.arg(m_port).arg(database);
    }
    // A database of that name, empty when it is new.
    bool CreateDatabase(const QString &name, QString *error)
    {
        bool ok = false;
        const QString connection = u"cluster-admin"_qs;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_qs, connection);
            db.setHostName(u"127.0.0.1"_qs);
            db.setPort(m_port);
            db.setUserName(u"postgres"_qs);
            db.setDatabaseName(u"postgres"_qs);
            if (db.open()) {
                QSqlQuery q(db);
                q.prepare(u"SELECT 1 FROM pg_database WHERE datname = ?"_qs);
                q.addBindValue(name);
                ok = q.exec() && (q.next() || q.exec(u"CREATE DATABASE \"%1\""_qs.arg(name)));
                if (!ok)
                    *error = q.lastError().text();
            } else {
                *error = db.lastError().text();
            }
        }
        QSqlDatabase::removeDatabase(connection);
        return ok;
    }
    quint16 Port() const { return m_port; }

private:
    bool run(const QString &tool, const QStringList &arguments, QString *error)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        const QString program = m_bin + u'/' + tool;
        if (m_asPostgres)
            p.start(u"runuser"_qs, QStringList{u"-u"_qs, u"postgres"_qs, u"--"_qs, program} + arguments);
        else
            p.start(program, arguments);
        if (p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
            return true;
        *error = tool + u": "_qs + QString::fromLocal8Bit(p.readAll()).trimmed();
        return false;
    }

    QTemporaryDir m_dir;
    QString m_bin;
    quint16 m_port = 0;
    bool m_running = false;
    bool m_asPostgres = false;
};

inline std::unique_ptr<CPostgresCluster> &Cluster()
{
    static std::unique_ptr<CPostgresCluster> cluster;
    return cluster;
}

// Why the servers of this run have no store: a PostgreSQL run without a
// cluster. Empty when they have one; skip is set when PostgreSQL is not
// installed, which skips the run rather than failing it.
inline QString Prepare(bool *skip)
{
    *skip = false;
    if (!UsePostgres() || Cluster())
        return {};
    if (CPostgresCluster::BinDir().isEmpty()) {
        *skip = true;
        return u"PostgreSQL is not installed (/usr/lib/postgresql/*/bin/initdb): the run against it is skipped"_qs;
    }
    auto cluster = std::make_unique<CPostgresCluster>();
    QString error;
    if (!cluster->Start(&error))
        return u"no PostgreSQL cluster: "_qs + error;
    Cluster() = std::move(cluster);
    // stopped while the application still runs; the folder goes with it
    qAddPostRoutine([] { Cluster().reset(); });
    return {};
}

// In initTestCase of a program whose servers store.
#define VERDANTIS_PREPARE_TEST_STORE()                                                                                 \
    do {                                                                                                               \
        bool skip_ = false;                                                                                            \
        const QString why_ = TestStore::Prepare(&skip_);                                                               \
        if (skip_)                                                                                                     \
            QSKIP(qPrintable(why_));                                                                                   \
        QVERIFY2(why_.isEmpty(), qPrintable(why_));                                                                    \
    } while (false)

// The database of a data folder: the same folder, the same database, so a
// restarted server finds what the last one stored.
inline QString DatabaseName(const QString &dataDir)
{
    return u"v"_qs
           + QString::fromLatin1(
               QCryptographicHash::hash(QDir(dataDir).absolutePath().toUtf8(), QCryptographicHash::Sha1).toHex().left(24));
}

// The server's arguments that say where it stores.
inline QStringList Arguments(const QString &dataDir)
{
    QStringList arguments{u"--data"_qs, dataDir};
    if (!Cluster())
        return arguments;
    QString error;
    if (!Cluster()->CreateDatabase(DatabaseName(dataDir), &error))
        qWarning("cannot create a database: %s", qPrintable(error));
    return arguments + QStringList{u"--database"_qs, Cluster()->Url(DatabaseName(dataDir))};
}

// A connection beside the server to what it stored, as another program
// would read it; the caller removes it by name.
inline QSqlDatabase Reader(const QString &dataDir, const QString &connection)
{
    if (!Cluster()) {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_qs, connection);
        db.setDatabaseName(dataDir + u"/verdantis-server.sqlite"_qs);
        db.setConnectOptions(u"QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"_qs);
        return db;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_qs, connection);
    db.setHostName(u"127.0.0.1"_qs);
    db.setPort(Cluster()->Port());
    db.setUserName(u"postgres"_qs);
    db.setDatabaseName(DatabaseName(dataDir));
    return db;
}

} // namespace TestStore
