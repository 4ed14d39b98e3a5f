#pragma once

#include "collab/packetframer.h"
#include "teststore.h"

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTcpSocket>
#include <QtTest>

#include <csignal>

// The real verdantis-server, on a free loopback port, with its own data folder.
class CServerProcess
{
public:
    CServerProcess(const QString &dataDir, const QStringList &extra = {}) : m_dataDir(dataDir), m_extra(extra) {}
    ~CServerProcess() { Kill(); }
    // The server runs with at most this many open descriptors.
    void SetDescriptorLimit(int limit) { m_descriptorLimit = limit; }

    bool Start()
    {
        const QStringList arguments = QStringList{u"--listen"_qs, u"127.0.0.1"_qs, u"--port"_qs, u"0"_qs}
                                      + TestStore::Arguments(m_dataDir) + m_extra;
        if (m_descriptorLimit > 0) {
            // the shell lowers the limit for itself and the server it becomes
            m_process.setProgram(u"/bin/sh"_qs);
            m_process.setArguments(QStringList{u"-c"_qs,
                                               u"ulimit -n %1 && exec \"$0\" \"$@\""_qs.arg(m_descriptorLimit),
                                               QStringLiteral(VERDANTIS_SERVER)}
                                   + arguments);
        } else {
            m_process.setProgram(QStringLiteral(VERDANTIS_SERVER));
            m_process.setArguments(arguments);
        }
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start();
        if (!m_process.waitForStarted(20000))
            return false;
        QByteArray out;
        // "verdantis-server: listening on 127.0.0.1:PORT, data in DIR"
        while (!out.contains('\n') && m_process.waitForReadyRead(60000))
            out += m_process.readAllStandardOutput();
        const qsizetype colon = out.indexOf("127.0.0.1:");
        if (colon < 0)
            return false;
        const qsizetype comma = out.indexOf(',', colon);
        m_port = quint16(out.mid(colon + 10, comma - colon - 10).toUInt());
        return m_port != 0;
    }
    // The orderly way: SIGTERM, and the server stores what it holds.
    bool Stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return true;
        m_process.terminate();
        return m_process.waitForFinished(60000) && m_process.exitStatus() == QProcess::NormalExit
               && m_process.exitCode() == 0;
    }
    // As a crash would.
    void Kill()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.kill();
        m_process.waitForFinished(20000);
    }
    bool IsRunning() const { return m_process.state() == QProcess::Running; }
    quint16 Port() const { return m_port; }
    // Resident memory in KiB, from /proc; -1 when it cannot be read.
    qint64 RssKiB() const
    {
        QFile status(u"/proc/%1/status"_qs.arg(m_process.processId()));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
        return -1;
    }
    // What the database holds for name right now, read beside the server.
    QString StoredText(const QString &name) const
    {
        return queryOne(u"SELECT text FROM solutions WHERE name = ?"_qs, name).toString();
    }
    int RecordCount(const QString &name) const
    {
        return queryOne(u"SELECT COUNT(*) FROM records WHERE name = ?"_qs, name).toInt();
    }
    int HistoryCount(const QString &name) const
    {
        return queryOne(u"SELECT COUNT(*) FROM history WHERE name = ?"_qs, name).toInt();
    }

private:
    QVariant queryOne(const QString &sql, const QString &name) const
    {
        QVariant result;
        const QString connection = u"reader"_qs;
        {
            QSqlDatabase db = TestStore::Reader(m_dataDir, connection);
            if (db.open()) {
                QSqlQuery q(db);
                q.prepare(sql);
                q.addBindValue(name);
                if (q.exec() && q.next())
                    result = q.value(0);
            }
        }
        QSqlDatabase::removeDatabase(connection);
        return result;
    }

    QString m_dataDir;
    QStringList m_extra;
    QProcess m_process;
    quint16 m_port = 0;
    int m_descriptorLimit = 0;
};

// The request that saves text as the shared solution name.
inline QString SaveRequest(const QString &name, const QString &text)
{
    return u"FileSave#"_qs + name + u'#' + QString::number(text.size()) + u'#' + text;
}

// A users-file hash of password, made by the server program itself.
inline QString HashPassword(const QString &password)
{
    QProcess p;
    p.start(QStringLiteral(VERDANTIS_SERVER), {u"--hash-password"_qs});
    p.write(password.toUtf8() + '\n');
    p.closeWriteChannel();
    if (!p.waitForFinished(20000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// A self-signed certificate for 127.0.0.1 made by openssl for this run:
// DIR/BASE.pem and DIR/BASE.key. False when openssl fails or is missing.
inline bool MakeCertificate(const QString &dir, const QString &base)
{
    QProcess p;
    p.start(u"openssl"_qs, {u"req"_qs, u"-x509"_qs, u"-newkey"_qs, u"ec"_qs, u"-pkeyopt"_qs,
                            u"ec_paramgen_curve:prime256v1"_qs, u"-nodes"_qs, u"-days"_qs, u"2"_qs, u"-subj"_qs,
                            u"/CN=verdantis test"_qs, u"-addext"_qs, u"subjectAltName=IP:127.0.0.1"_qs, u"-keyout"_qs,
                            dir + u'/' + base + u".key"_qs, u"-out"_qs, dir + u'/' + base + u".pem"_qs});
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// A bare protocol client: sends request text, collects reply packets.
class CRawClient
{
public:
    // From another loopback address (127.0.0.0/8 is all this machine), so
    // that limits per address can be told apart.
    bool ConnectFrom(const QString &address, quint16 port)
    {
        return m_socket.bind(QHostAddress(address)) && Connect(port);
    }
    bool Connect(quint16 port)
    {
        QObject::connect(&m_socket, &QTcpSocket::readyRead, &m_socket, [this] {
            m_framer.AppendBytes(m_socket.readAll());
            QString p;
            while (m_framer.TakePacket(p))
                replies.append(p);
        });
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        return m_socket.waitForConnected(5000);
    }
    // Connects and logs in; false unless the server acknowledges the user.
    bool LogIn(quint16 port, const QString &user = QStringLiteral("ann"))
    {
        return Connect(port) && Ask(u"UIDLog#"_qs + user + u"##"_qs) == u"UIDLogAck#"_qs + user + u'#';
    }
    void Send(const QString &text)
    {
        m_socket.write(CUtf16Decoder::Encode(text));
        m_socket.flush();
    }
    void SendBytes(const QByteArray &bytes)
    {
        m_socket.write(bytes);
        m_socket.flush();
    }
    bool WaitForReplies(qsizetype n, int ms = 10000)
    {
        return QTest::qWaitFor([&] { return replies.size() >= n; }, ms);
    }
    bool WaitForClose(int ms = 10000)
    {
        return QTest::qWaitFor([&] { return m_socket.state() == QAbstractSocket::UnconnectedState; }, ms);
    }
    // Sends one request and waits for its one reply.
    QString Ask(const QString &request)
    {
        const qsizetype before = replies.size();
        Send(request);
        if (!WaitForReplies(before + 1))
            return u"<no reply>"_qs;
        return replies.at(before);
    }
    void Abort() { m_socket.abort(); }
    QTcpSocket &Socket() { return m_socket; }

    QStringList replies;

private:
    QTcpSocket m_socket;
    CPacketFramer m_framer;
};
