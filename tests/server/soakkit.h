#pragma once

// Shared by the server's fault and soak tests: the real server as a process
// whose memory can be read, and a user editing through the real client.

#include "collab/sharedsolutionclient.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/nodeattributes.h"
#include "scriptedprompt.h"
#include "teststore.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

namespace SoakKit {

// verdantis-server on a free loopback port; the data folder outlives it, so
// a restart finds what the killed one stored.
class CServer
{
public:
    CServer(const QString &dataDir, const QStringList &extra) : m_dataDir(dataDir), m_extra(extra) {}
    ~CServer() { Kill(); }

    bool Start()
    {
        m_process.setProgram(QStringLiteral(VERDANTIS_SERVER));
        m_process.setArguments(QStringList{u"--listen"_qs, u"127.0.0.1"_qs, u"--port"_qs, u"0"_qs}
                               + TestStore::Arguments(m_dataDir) + m_extra);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start();
        if (!m_process.waitForStarted(20000))
            return false;
        QByteArray out;
        while (!out.contains('\n') && m_process.waitForReadyRead(60000))
            out += m_process.readAllStandardOutput();
        // "verdantis-server: listening on 127.0.0.1:PORT, data in DIR"
        const qsizetype at = out.indexOf("127.0.0.1:");
        if (at < 0)
            return false;
        m_port = quint16(out.mid(at + 10, out.indexOf(',', at) - at - 10).toUInt());
        return m_port != 0;
    }
    void Kill()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.kill();
        m_process.waitForFinished(20000);
    }
    bool Stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return true;
        m_process.terminate();
        return m_process.waitForFinished(60000) && m_process.exitStatus() == QProcess::NormalExit
               && m_process.exitCode() == 0;
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
    QByteArray StandardError() { return m_process.readAllStandardError(); }

private:
    QString m_dataDir;
    QStringList m_extra;
    QProcess m_process;
    quint16 m_port = 0;
};

// A user: a model, its collaboration client and a prompt that says yes.
struct CUser
{
    CUser(const QString &id, quint16 port)
    {
        manager.SetPrompt(&prompt);
        manager.NewSolution();
        client.SetLoginSettings(u"127.0.0.1"_qs, port, id, QString());
        QObject::connect(&client, &CSharedSolutionClient::operationApplied, &client,
                         [this](const QString &record, bool) {
                             if (record.contains(u"tag:END-"_qs))
                                 ++markers;
                         });
    }
    void SetPort(quint16 port) { client.SetLoginSettings(u"127.0.0.1"_qs, port, client.UserId(), QString()); }
    bool LogIn()
    {
        return client.ConnectToServer() && QTest::qWaitFor([this] { return client.IsLoggedIn(); }, 60000);
    }
    bool Open(const QString &name)
    {
        QSignalSpy opened(&client, &CSharedSolutionClient::sharedSolutionOpened);
        return client.OpenShared(name) && (opened.size() > 0 || opened.wait(60000));
    }

    CKELDataManager manager;
    CScriptedPrompt prompt;
    CSharedSolutionClient client{manager};
    int markers = 0;
};

// A small edit of the kind users make all day: requirements, nodes under
// what this user sees now.
inline void Edit(CUser &u, QRandomGenerator &rng, int serial)
{
    CKELDataManager &m = u.manager;
    const QString tag = u.client.UserId() + u'-' + QString::number(serial);
    QList<int> trees, nodes;
    for (int id : m.SortedIds()) {
        const CKELData *e = m.Lookup(id);
        if (e && (e->GetTypeCode() == KEL::RBT))
            trees.append(id);
        else if (e && e->GetTypeCode() == KEL::Method)
            nodes.append(id);
    }
    switch (rng.bounded(5)) {
    case 0: m.AddRequirement(tag, u"said by "_qs + u.client.UserId()); break;
    case 1: m.AddRBT(u"T"_qs + tag, {}, 50); break;
    case 2:
    case 3:
        if (!trees.isEmpty()) {
            CNodeAttributes a;
            a.component = u"C"_qs + QString::number(rng.bounded(4));
            a.behavior = u"b"_qs + QString::number(serial);
            a.behaviorType = 1;
            const int parent = nodes.isEmpty() || rng.bounded(4) == 0 ? 0 : nodes[rng.bounded(int(nodes.size()))];
            m.AddNode(trees[rng.bounded(int(trees.size()))], parent, a, rng.bounded(400), rng.bounded(400));
        }
        break;
    case 4:
        if (!nodes.isEmpty())
            m.RemoveNode(nodes[rng.bounded(int(nodes.size()))]);
        break;
    }
}

} // namespace SoakKit
