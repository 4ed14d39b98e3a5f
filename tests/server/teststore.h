#pragma once

// Where the servers of a test keep their solutions: SQLite in their data
// folders, or, with VERDANTIS_TEST_STORE=postgresql, a database of each
// data folder's own in a throwaway PostgreSQL cluster that the test program
// starts in a temporary folder on a free port and removes at its end.

#include "pgcluster.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QSqlDatabase>
#include <QtTest>

#include <memory>

namespace TestStore {

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
    if (qEnvironmentVariable("VERDANTIS_TEST_STORE") != u"postgresql" || Cluster())
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
               QCryptographicHash::hash(QDir(dataDir).absolutePath().toUtf8(), QCryptographicHash::Sha1)
                   .toHex()
                   .left(24));
}

// The --database of a data folder's server: empty for SQLite in the folder.
inline QString Database(const QString &dataDir)
{
    if (!Cluster())
        return {};
    QString error;
    if (!Cluster()->CreateDatabase(DatabaseName(dataDir), &error))
        qWarning("cannot create a database: %s", qPrintable(error));
    return Cluster()->Url(DatabaseName(dataDir));
}

// The server's arguments that say where it stores.
inline QStringList Arguments(const QString &dataDir)
{
    const QString database = Database(dataDir);
    if (database.isEmpty())
        return {u"--data"_qs, dataDir};
    return {u"--data"_qs, dataDir, u"--database"_qs, database};
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
