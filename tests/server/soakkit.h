#pragma once

// Shared by the server's collaboration, fault and soak tests: the real
// server as a process, and users editing through the real client.

#include "collab/sharedsolutionclient.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/nodeattributes.h"
#include "scriptedprompt.h"
#include "testkit.h"
#include "serverprocess.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

namespace SoakKit {

// The data folder outlives the server, so a restart finds what the killed
// one stored.
using CServer = CServerProcess;

// One user: a model, its collaboration client and a prompt that says yes.
struct CUser
{
    CUser(const QString &id, quint16 port)
    {
        manager.SetPrompt(&prompt);
        manager.NewSolution();
        client.SetLoginSettings(u"127.0.0.1"_qs, port, id, QString());
        QObject::connect(&client, &CSharedSolutionClient::operationApplied, &client,
                         [this](const QString &record, bool changed) {
                             if (record.contains(u"tag:END-"_qs))
                                 ++markers;
                             if (!changed)
                                 ++refused;
                         });
    }
    void SetPort(quint16 port) { client.SetLoginSettings(u"127.0.0.1"_qs, port, client.UserId(), QString()); }
    bool LogIn()
    {
        if (!client.ConnectToServer())
            return false;
        // a refused certificate or password ends the wait early
        const bool ended = QTest::qWaitFor(
            [this] {
                return client.IsLoggedIn() || !client.Socket().IsOpen()
                       || (client.Socket().AwaitedCount() == 0 && client.IsConnected());
            },
            60000);
        return ended && client.IsLoggedIn();
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
    int refused = 0; // relayed records the model turned down
};

using Users = std::vector<std::unique_ptr<CUser>>;

inline Users MakeUsers(int count, quint16 port)
{
    Users users;
    for (int i = 0; i < count; ++i)
        users.push_back(std::make_unique<CUser>(u"user"_qs + QString::number(i), port));
    return users;
}

// Every user logged in and holding name.
inline bool Rejoin(const Users &users, const QString &name)
{
    for (const auto &u : users) {
        if ((!u->client.IsLoggedIn() && !u->LogIn()) || (u->client.SharedName() != name && !u->Open(name)))
            return false;
    }
    return true;
}

// Kills the server, waits until every user has seen it go, and starts it anew.
inline bool Restart(CServer &server, const Users &users)
{
    server.Kill();
    for (const auto &u : users) {
        if (!QTest::qWaitFor([&] { return !u->client.IsConnected(); }, 60000))
            return false;
    }
    if (!server.Start())
        return false;
    for (const auto &u : users)
        u->SetPort(server.Port());
    return true;
}

// The seed of a run: from the environment to repeat one, else new each time.
inline QRandomGenerator SeededRandom(const char *seedVariable)
{
    const auto seed = quint32(TestKit::EnvNumber(seedVariable, int(QRandomGenerator::global()->bounded(1 << 30))));
    qInfo("seed %u", seed);
    return QRandomGenerator(seed);
}

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
