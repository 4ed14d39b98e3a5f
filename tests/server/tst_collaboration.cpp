#include "collab/sharedsolutionclient.h"
#include "commandmix.h"
#include "edit/undohistory.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/kelrequirement.h"
#include "model/keltree.h"
#include "model/nodeattributes.h"
#include "scriptedprompt.h"
#include "soakkit.h"
#include "testkit.h"

#include <QRandomGenerator>
#include <QSslCertificate>
#include <QtTest>

namespace {

using SoakKit::CUser;

} // namespace

// Several users edit one shared solution at once through the real server;
// at the end every user's solution text and the server's copy are the same
// to the byte.
class TestCollaboration : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(u"verdantis.collab.packet=false"_qs);
        VERDANTIS_PREPARE_TEST_STORE();
        QVERIFY2(MakeCertificate(m_tlsDir.path(), u"server"_qs), "openssl req could not make a certificate");
        const QString cert = m_tlsDir.filePath(u"server.pem"_qs);
        m_fingerprint = CTlsTrust::Fingerprint(QSslCertificate::fromPath(cert).value(0));
        QVERIFY(!m_fingerprint.isEmpty());
        QVERIFY(QDir(m_tlsDir.path()).mkdir(u"data"_qs));
        m_tlsServer = std::make_unique<CServerProcess>(
            m_tlsDir.filePath(u"data"_qs),
            QStringList{u"--tls-cert"_qs, cert, u"--tls-key"_qs, m_tlsDir.filePath(u"server.key"_qs)});
        QVERIFY2(m_tlsServer->Start(), "verdantis-server with TLS did not start");
    }

    void randomEditing_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("users");
        QTest::addColumn<int>("edits");     // per user
        QTest::addColumn<int>("joinAfter"); // edits before the last user joins
        QTest::addColumn<bool>("undo");     // the first user also undoes and redoes
        QTest::newRow("two users") << 1u << 2 << 150 << 0 << false;
        QTest::newRow("three users, one late") << 7u << 3 << 150 << 80 << false;
        QTest::newRow("three users, late joiner in a burst") << 42u << 3 << 250 << 120 << false;
        for (quint32 seed : {3u, 14u, 15u})
            QTest::addRow("undo and redo, seed %u", seed) << seed << 2 << 150 << 0 << true;
    }

    // An undo goes to everyone as records, so it keeps the copies equal too.
    void randomEditing()
    {
        QFETCH(quint32, seed);
        QFETCH(int, users);
        QFETCH(int, edits);
        QFETCH(int, joinAfter);
        QFETCH(bool, undo);
        QTemporaryDir dir;
        CServerProcess server(dir.path(), {u"--store-interval"_qs, u"3600"_qs});
        QVERIFY(server.Start());
        QRandomGenerator rng(seed);

        // each user edits at random what it sees now, which may be behind what
        // the server has already relayed: conflicting edits happen
        std::vector<std::unique_ptr<CUser>> u;
        std::vector<std::unique_ptr<CCommandMix>> mix;
        for (int i = 0; i < users; ++i) {
            u.push_back(std::make_unique<CUser>(u"user"_qs + QString::number(i), server.Port()));
            mix.push_back(std::make_unique<CCommandMix>(u.back()->manager, seed * 31 + quint32(i)));
        }
        CKELDataManager &first = u[0]->manager;
        // the first user builds a little locally, then shares it
        for (int i = 0; i < 30; ++i)
            mix[0]->Run();
        QVERIFY(u[0]->LogIn());
        QVERIFY(u[0]->client.SaveAsShared(u"shared.kvf"_qs));
        QVERIFY(QTest::qWaitFor([&] { return u[0]->prompt.texts.contains(u"Solution shared.kvf saved"_qs); }, 10000));

        const int early = joinAfter > 0 ? users - 1 : users;
        for (int i = 1; i < early; ++i) {
            QVERIFY(u[i]->LogIn());
            QVERIFY(u[i]->Open(u"shared.kvf"_qs));
            QCOMPARE(u[i]->manager.BuildSolutionText(), first.BuildSolutionText());
        }

        int undone = 0, redone = 0;
        for (int step = 0; step < edits; ++step) {
            if (joinAfter > 0 && step == joinAfter) {
                // joins while the others' edits are still on their way
                CUser &late = *u.back();
                QVERIFY(late.LogIn());
                QVERIFY(late.client.OpenShared(u"shared.kvf"_qs));
            }
            for (int i = 0; i < users; ++i) {
                if (!u[i]->client.IsShared())
                    continue;
                const int kind = undo && i == 0 ? int(rng.bounded(6)) : 2;
                // the step's records must be back from the server before it can be undone
                if (kind == 0 && first.History().CanUndo())
                    undone += QTest::qWaitFor([&] { return first.History().Undo(); }, 2000);
                else if (kind == 1 && first.History().CanRedo())
                    redone += QTest::qWaitFor([&] { return first.History().Redo(); }, 2000);
                else if (kind > 1)
                    mix[size_t(i)]->Run();
            }
            // let some relays in between, not all
            if (step % 3 == 0)
                QCoreApplication::processEvents();
        }
        QVERIFY(QTest::qWaitFor([&] { return u.back()->client.IsShared(); }, 20000));
        if (undo)
            QVERIFY2(undone > 0 && redone > 0, qPrintable(u[0]->prompt.texts.join(u'|')));

        // one marker per user; once every user has seen all markers, every
        // edit sent before them has been applied everywhere
        for (int i = 0; i < users; ++i)
            QVERIFY(u[i]->manager.AddRequirement(u"END-"_qs + QString::number(i), QString()));
        QVERIFY(QTest::qWaitFor(
            [&] { return std::all_of(u.begin(), u.end(), [&](const auto &x) { return x->markers == users; }); },
            60000));
        const QString text = first.BuildSolutionText();
        for (int i = 1; i < users; ++i)
            QCOMPARE(u[i]->manager.BuildSolutionText(), text);
        // the edits did happen, and did conflict
        QVERIFY(first.MaxCount() > 100);
        if (!undo)
            QVERIFY(u[0]->refused > 0);

        // the server's copy, as a save by a holder stores it
        u[1]->prompt.texts.clear();
        QVERIFY(u[1]->client.Save());
        QVERIFY(QTest::qWaitFor([&] { return u[1]->prompt.texts.contains(u"Solution shared.kvf saved"_qs); }, 10000));
        QCOMPARE(server.StoredText(u"shared.kvf"_qs), text);

        // and what a newcomer gets
        CUser newcomer(u"newcomer"_qs, server.Port());
        QVERIFY(newcomer.LogIn());
        QVERIFY(newcomer.Open(u"shared.kvf"_qs));
        QCOMPARE(newcomer.manager.BuildSolutionText(), text);
    }

    void certificateTrust_data()
    {
        QTest::addColumn<QString>("trustedBefore"); // "", "same" or a fingerprint
        QTest::addColumn<bool>("userSaysYes");
        QTest::addColumn<bool>("loggedIn");
        QTest::addColumn<int>("questions");
        QTest::addColumn<QString>("warning");
        QTest::newRow("new certificate, the user trusts it") << QString() << true << true << 1 << QString();
        QTest::newRow("new certificate, the user declines") << QString() << false << false << 1 << QString();
        QTest::newRow("certificate trusted before") << u"same"_qs << false << true << 0 << QString();
        QTest::newRow("changed certificate") << u"00:11:22:33"_qs << true << false << 0 << u"HAS CHANGED"_qs;
    }

    // A self-signed certificate is asked about once and then remembered per
    // host and port; a different one later is refused without a question.
    void certificateTrust()
    {
        QFETCH(QString, trustedBefore);
        QFETCH(bool, userSaysYes);
        QFETCH(bool, loggedIn);
        QFETCH(int, questions);
        QFETCH(QString, warning);
        CUser u(u"ann"_qs, m_tlsServer->Port());
        u.client.SetTls(true);
        const QString hostPort = u"127.0.0.1:"_qs + QString::number(m_tlsServer->Port());
        const QString before = trustedBefore == u"same" ? m_fingerprint : trustedBefore;
        if (!before.isEmpty())
            u.client.Trust().Trust(hostPort, before);
        u.prompt.answers = {userSaysYes ? CPrompt::Yes : CPrompt::No};
        QCOMPARE(u.LogIn(), loggedIn);
        QCOMPARE(u.prompt.captions.count(u"Encrypted connection"_qs), questions);
        if (questions > 0)
            QVERIFY(u.prompt.texts.at(u.prompt.captions.indexOf(u"Encrypted connection"_qs)).contains(m_fingerprint));
        const QString after = u.client.Trust().Trusted(hostPort);
        QCOMPARE(after, loggedIn ? m_fingerprint : before);
        if (!warning.isEmpty()) {
            QVERIFY(u.prompt.texts.join(u'|').contains(warning));
            QCOMPARE(u.client.Socket().ConnectFailure(), int(SocketError::Untrusted));
        }
    }

    // Over TLS everything works as before: plain text to the port gets no
    // answer, a TLS client to a plain port is not connected, and two TLS
    // clients share a solution.
    void encryptedEndToEnd()
    {
        CRawClient plain;
        QVERIFY(plain.Connect(m_tlsServer->Port()));
        plain.Send(u"UIDLog#usr#usr#"_qs);
        QVERIFY(plain.WaitForClose());
        QCOMPARE(plain.replies, QStringList{});

        QTemporaryDir dir;
        CServerProcess clear(dir.path());
        QVERIFY(clear.Start());
        CUser lost(u"ann"_qs, clear.Port());
        lost.client.SetTls(true);
        QVERIFY(!lost.LogIn());
        QCOMPARE(lost.client.Socket().ConnectFailure(), int(SocketError::SecureChannel));

        CUser a(u"ann"_qs, m_tlsServer->Port()), b(u"bob"_qs, m_tlsServer->Port());
        for (CUser *u : {&a, &b}) {
            u->client.SetTls(true);
            u->client.Trust().Trust(u"127.0.0.1:"_qs + QString::number(m_tlsServer->Port()), m_fingerprint);
            QVERIFY(u->LogIn());
        }
        QVERIFY(a.manager.AddRequirement(u"R1"_qs, u"over TLS"_qs));
        QVERIFY(a.client.SaveAsShared(u"tls"_qs));
        QVERIFY(QTest::qWaitFor([&] { return a.prompt.texts.contains(u"Solution tls saved"_qs); }, 10000));
        QVERIFY(b.Open(u"tls"_qs));
        QVERIFY(a.manager.AddRequirement(u"R2"_qs, u"relayed"_qs));
        QVERIFY(QTest::qWaitFor([&] { return b.manager.FindRequirement(u"R2"_qs) != nullptr; }, 10000));
        QCOMPARE(b.manager.BuildSolutionText(), a.manager.BuildSolutionText());
    }

    // The owner lets another user in; a member lists the saves and reads an
    // earlier one, which is the text saved then.
    void membersAndEarlierSaves()
    {
        QTemporaryDir dir;
        QFile users(dir.filePath(u"users"_qs));
        QVERIFY(users.open(QIODevice::WriteOnly));
        const QByteArray hash = HashPassword(u"pw"_qs).toUtf8();
        users.write("ann:" + hash + "\nbob:" + hash + "\n");
        users.close();
        QVERIFY(QDir(dir.path()).mkdir(u"data"_qs));
        CServerProcess server(dir.filePath(u"data"_qs), {u"--users"_qs, users.fileName()});
        QVERIFY(server.Start());
        CUser a(u"ann"_qs, server.Port()), b(u"bob"_qs, server.Port());
        a.client.SetLoginSettings(u"127.0.0.1"_qs, server.Port(), u"ann"_qs, u"pw"_qs);
        b.client.SetLoginSettings(u"127.0.0.1"_qs, server.Port(), u"bob"_qs, u"pw"_qs);
        QVERIFY(a.LogIn() && b.LogIn());
        QVERIFY(a.manager.AddRequirement(u"R1"_qs, u"first"_qs));
        QVERIFY(a.client.SaveAsShared(u"pantry"_qs));
        QVERIFY(QTest::qWaitFor([&] { return a.prompt.texts.count(u"Solution pantry saved"_qs) == 1; }, 10000));
        const QString first = a.manager.BuildSolutionText();
        QVERIFY(a.manager.AddRequirement(u"R2"_qs, u"second"_qs));
        QVERIFY(QTest::qWaitFor([&] { return a.manager.FindRequirement(u"R2"_qs) != nullptr; }, 10000));
        QVERIFY(a.client.Save());
        QVERIFY(QTest::qWaitFor([&] { return a.prompt.texts.count(u"Solution pantry saved"_qs) == 2; }, 10000));

        QSignalSpy members(&a.client, &CSharedSolutionClient::membersReceived);
        QSignalSpy bobSaves(&b.client, &CSharedSolutionClient::historyReceived);
        // not yet a member: refused with the server's reason
        QVERIFY(b.client.RequestHistory(u"pantry"_qs));
        QVERIFY(QTest::qWaitFor([&] { return b.prompt.texts.join(u'|').contains(u"not a member"_qs); }, 10000));
        QCOMPARE(bobSaves.size(), 0);

        QVERIFY(a.client.ChangeMember(u"bob"_qs, true));
        QVERIFY(members.wait(10000));
        QCOMPARE(members.last().at(1).toString(), u"ann"_qs);
        QCOMPARE(members.last().at(2).toStringList(), (QStringList{u"ann"_qs, u"bob"_qs}));

        QVERIFY(b.client.RequestHistory(u"pantry"_qs));
        QVERIFY(bobSaves.wait(10000));
        const auto saves = bobSaves.last().at(1).value<QList<CSharedSave>>();
        QCOMPARE(saves.size(), 2);
        QVERIFY(saves[0].id > saves[1].id);
        QCOMPARE(saves[1].user, u"ann"_qs);
        QVERIFY(saves[1].saved.isValid());
        QCOMPARE(saves[1].size, first.size());

        QSignalSpy text(&b.client, &CSharedSolutionClient::historyTextReceived);
        QVERIFY(b.client.OpenHistory(u"pantry"_qs, saves[1].id));
        QVERIFY(text.wait(10000));
        CKELDataManager earlier;
        QVERIFY(earlier.LoadSolutionText(text.last().at(2).toString()));
        QCOMPARE(earlier.BuildSolutionText(), first);
    }

private:
    QTemporaryDir m_tlsDir;
    std::unique_ptr<CServerProcess> m_tlsServer;
    QString m_fingerprint;
};

QTEST_GUILESS_MAIN(TestCollaboration)
#include "tst_collaboration.moc"
