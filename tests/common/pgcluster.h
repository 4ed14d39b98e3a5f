#pragma once

// A throwaway PostgreSQL cluster in a temporary folder, on a free loopback
// port, for the server's tests and benchmark: started with the installed
// initdb and pg_ctl (as the postgres user when run as root, since initdb
// refuses root), stopped and removed with this object. Anyone on this
// machine may connect as postgres without a password while it runs.

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QSet>
#include <QTcpServer>
#include <QTemporaryDir>

#include <pwd.h>
#include <unistd.h>

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

    // synced: a cluster that survives a crash of its machine, as a real one
    // would (the benchmark's); the tests kill servers, never the cluster.
    bool Start(QString *error, bool synced = false)
    {
        m_bin = BinDir();
        if (m_bin.isEmpty()) {
            *error = u"PostgreSQL is not installed (Debian package postgresql)"_qs;
            return false;
        }
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
        if (!run(u"initdb"_qs,
                 {u"-D"_qs, data, u"-U"_qs, u"postgres"_qs, u"--auth=trust"_qs, u"-E"_qs, u"UTF8"_qs, u"--no-sync"_qs},
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
            const QString options =
                u"-p %1 -k %2 -c listen_addresses=127.0.0.1 -c max_connections=200%3"_qs.arg(m_port).arg(
                    m_dir.path(), synced ? QString() : u" -c fsync=off"_qs);
            if (run(u"pg_ctl"_qs,
                    {u"-D"_qs, data, u"-o"_qs, options, u"-l"_qs, m_dir.filePath(u"log"_qs), u"-w"_qs, u"start"_qs},
                    error)) {
                return true;
            }
        }
        m_port = 0;
        return false;
    }
    ~CPostgresCluster()
    {
        QString ignored;
        if (m_port != 0)
            run(u"pg_ctl"_qs, {u"-D"_qs, m_dir.filePath(u"data"_qs), u"-m"_qs, u"immediate"_qs, u"stop"_qs}, &ignored);
    }
    QString Url(const QString &database) const
    {
        return u"postgresql://postgres@127.0.0.1:%1/%2"_qs.arg(m_port).arg(database);
    }
    // A database of that name, empty when this cluster makes it.
    bool CreateDatabase(const QString &name, QString *error)
    {
        if (m_databases.contains(name))
            return true;
        if (!run(u"createdb"_qs,
                 {u"-h"_qs, u"127.0.0.1"_qs, u"-p"_qs, QString::number(m_port), u"-U"_qs, u"postgres"_qs, name},
                 error)) {
            return false;
        }
        m_databases.insert(name);
        return true;
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
    QSet<QString> m_databases;
    bool m_asPostgres = false;
};
