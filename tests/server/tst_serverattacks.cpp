// A hostile colleague on loopback: every attack ends in a refusal, the
// stored solution and what other users load stay as they were, and the
// server goes on serving everyone else.
#include "collab/solutiontextpacking.h"
#include "model/keldatamanager.h"
#include "model/keltree.h"
#include "model/nodeattributes.h"
#include "serverprocess.h"
#include "testkit.h"

#include <QtTest>

namespace {

const QString kName = u"Oven"_qs;

// Ids in the fixture solution's records are written as $T1 and $T2 (its
// two trees) and $N (a node of T1).
struct Fixture
{
    QString text;
    int tree1 = 0;
    int tree2 = 0;
    int node = 0;
    qsizetype elements = 0;
    qsizetype tree1Elements = 0;

    QString Fill(QString record) const
    {
        return record.replace(u"$T1"_qs, QString::number(tree1))
            .replace(u"$T2"_qs, QString::number(tree2))
            .replace(u"$N"_qs, QString::number(node));
    }
};

int idNamed(const CKELDataManager &m, const QString &name)
{
    for (int id : m.SortedIds()) {
        if (m.Lookup(id)->GetName() == name)
            return id;
    }
    return 0;
}

} // namespace

class TestServerAttacks : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        VERDANTIS_PREPARE_TEST_STORE();
        CKELDataManager m;
        m.NewSolution();
        QVERIFY(m.AddRequirement(u"R1"_qs, u"the door locks"_qs));
        QVERIFY(m.AddRBT(u"T1"_qs, {}, 50));
        QVERIFY(m.AddRBT(u"T2"_qs, {}, 50));
        m_f.tree1 = idNamed(m, u"T1"_qs);
        m_f.tree2 = idNamed(m, u"T2"_qs);
        QVERIFY(m_f.tree1 && m_f.tree2);
        CNodeAttributes a;
        a.component = u"Door"_qs;
        a.behavior = u"open"_qs;
        a.behaviorType = 1;
        QVERIFY(m.AddNode(m_f.tree1, 0, a, 10, 10));
        const int before = int(m.IdMap().size());
        m_f.node = m.SortedIds().last();
        a.behavior = u"closed"_qs;
        QVERIFY(m.AddNode(m_f.tree1, m_f.node, a, 10, 60));
        QVERIFY(int(m.IdMap().size()) > before);
        m_f.text = m.BuildSolutionText();
        // counted as the server counts them: the solution as it loads
        CKELDataManager loaded;
        QVERIFY(loaded.LoadSolutionText(m_f.text));
        m_f.elements = loaded.IdMap().size();
        QList<const CKELData *> todo{loaded.Lookup(m_f.tree1)};
        while (!todo.isEmpty()) {
            const CKELData *d = todo.takeLast();
            ++m_f.tree1Elements;
            for (const auto &child : d->Children())
                todo.append(child.get());
        }
        QVERIFY(m_f.tree1Elements > 1);
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void cleanup()
    {
        m_server.reset();
        m_dir.reset();
    }

    // Records sent by a holder, one after the other; a record that comes back
    // as "OpCont" was relayed, anything else is the refusal. After them the
    // text others load is the fixture with exactly the relayed records applied,
    // and the sender is still served.
    void refusedRecords_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("records");
        QTest::addColumn<QStringList>("replies"); // "relayed" or the refusal
        const QString invalid = u"The request holds text that is not valid UTF-16"_qs;
        const QString selfCopy = u"A tree cannot be copied into itself"_qs;
        const QString tooBig = u"The record would make the solution larger than this server allows"_qs;
        const QString relayed = u"relayed"_qs;
        const QString max = QString::number(m_f.elements + 1);

        QTest::newRow("lone surrogate in a tree name")
            << QStringList{} << QStringList{u"moddbt;name:Oven\xD800;id:$T2;"_qs.replace(u'\xD800', QChar(0xD800))}
            << QStringList{invalid};
        QTest::newRow("lone surrogate, then a sound record")
            << QStringList{}
            << QStringList{u"addreq;tag:X;desc:a\xDC00;"_qs.replace(u'\xDC00', QChar(0xDC00)),
                           u"addreq;tag:R2;desc:ok;"_qs}
            << QStringList{invalid, relayed};
        QTest::newRow("tree copied into itself")
            << QStringList{} << QStringList{u"clotre;tid:$T1;sid:$T1;"_qs} << QStringList{selfCopy};
        QTest::newRow("tree copied into itself, many times")
            << QStringList{} << QStringList(16, u"clotre;tid:$T1;sid:$T1;"_qs) << QStringList(16, selfCopy);
        QTest::newRow("copy past the element limit")
            << QStringList{u"--max-nodes"_qs, max} << QStringList{u"clotre;tid:$T2;sid:$T1;"_qs} << QStringList{tooBig};
        QTest::newRow("copy within the limit")
            << QStringList{} << QStringList{u"clotre;tid:$T2;sid:$T1;"_qs} << QStringList{relayed};
        QTest::newRow("one more element than the limit, after one that fits")
            << QStringList{u"--max-nodes"_qs, max}
            << QStringList{u"addreq;tag:R2;desc:fits;"_qs, u"addreq;tag:R3;desc:one too many;"_qs, u"rmnode;id:$N;"_qs}
            << QStringList{relayed, tooBig, relayed};
    }

    void refusedRecords()
    {
        QFETCH(QStringList, options);
        QFETCH(QStringList, records);
        QFETCH(QStringList, replies);
        QVERIFY(start(options));
        CRawClient attacker, other;
        QVERIFY(holder(attacker, u"mallory"_qs));
        QVERIFY(other.LogIn(m_server->Port()));
        QVERIFY(other.Ask(u"FileDownRec#"_qs + kName + u'#').startsWith(u"FileDownAck"_qs));

        CKELDataManager expected;
        QVERIFY(expected.LoadSolutionText(m_f.text));
        expected.SetLocal(true);
        int relays = 0;
        for (qsizetype i = 0; i < records.size(); ++i) {
            const QString record = m_f.Fill(records[i]);
            const QString reply = attacker.Ask(u"OpCont#"_qs + kName + u'#' + record + u'#');
            if (replies[i] == u"relayed"_qs) {
                QCOMPARE(reply, u"OpCont#"_qs + kName + u'#' + record + u'#');
                expected.ApplyOperationRecord(record);
                ++relays;
            } else {
                QCOMPARE(reply, replies[i]);
            }
        }
        // the other holder got the relays and nothing else
        QVERIFY(other.WaitForReplies(2 + relays));
        // the server answers in order, so a stray relay would come before this reply
        QCOMPARE(other.Ask(u"FileListReq#"_qs), u"FileListAck#"_qs + kName + u'#');
        QCOMPARE(other.replies.size(), 3 + relays);
        QCOMPARE(attacker.Ask(u"FileListReq#"_qs), u"FileListAck#"_qs + kName + u'#');

        const QString want = Collab::PacketSafeSolutionText(expected.BuildSolutionText());
        QCOMPARE(openedText(), want);
        // and after a crash the store rebuilds the same
        m_server->Kill();
        QVERIFY(start(options));
        QCOMPARE(openedText(), want);
    }

    // Connections that hold the server without using it are closed with a
    // reason; a fresh user logs in afterwards.
    void connectionsLetGo_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("attack");
        QTest::addColumn<QString>("reason");
        QTest::newRow("large request before login") << QStringList{} << u"big"_qs << u"Request too large"_qs;
        QTest::newRow("no login in time")
            << QStringList{u"--login-timeout"_qs, u"1"_qs} << u"silent"_qs << u"Not logged in in time"_qs;
        QTest::newRow("one byte now and then")
            << QStringList{u"--stall-timeout"_qs, u"1"_qs, u"--login-timeout"_qs, u"3600"_qs} << u"trickle"_qs
            << u"Request not finished in time"_qs;
        QTest::newRow("logged in and idle") << QStringList{u"--idle-timeout"_qs, u"1"_qs} << u"idle"_qs
                                            << u"Closed after a long time without requests"_qs;
    }

    void connectionsLetGo()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, attack);
        QFETCH(QString, reason);
        QVERIFY(start(options));
        CRawClient c;
        QVERIFY(c.Connect(m_server->Port()));
        if (attack == u"big") {
            // far below the limit for users who have logged in
            c.Send(u"OpCont#s#"_qs + QString(40000, u'r'));
        } else if (attack == u"trickle") {
            const QByteArray bytes = CUtf16Decoder::Encode(u"UIDLog#ann#pw#"_qs);
            // a byte every 100 ms keeps it busy far past the stall timeout
            for (qsizetype i = 0; i < bytes.size() && c.Socket().state() == QAbstractSocket::ConnectedState; ++i) {
                c.SendBytes(bytes.mid(i, 1));
                QTest::qWait(100);
            }
        } else if (attack == u"idle") {
            QCOMPARE(c.Ask(u"UIDLog#ann##"_qs), u"UIDLogAck#ann#"_qs);
        }
        QVERIFY(c.WaitForClose(20000));
        QCOMPARE(c.replies.value(c.replies.size() - 1), reason);

        CRawClient late;
        QVERIFY(late.LogIn(m_server->Port(), u"bob"_qs));
    }

    // With few descriptors, floods from one address and from many are turned
    // away: a user already in is served throughout, and one from another
    // address gets in while a single address floods.
    void connectionLimits()
    {
        QVERIFY(start({u"--max-per-address"_qs, u"8"_qs}, 64));
        CRawClient keeper;
        QVERIFY(holder(keeper, u"ann"_qs));

        const QString busy = u"The server has too many connections; try again later"_qs;
        std::vector<std::unique_ptr<CRawClient>> flood;
        auto floodFrom = [&](const QString &address, int n) {
            for (int i = 0; i < n; ++i) {
                auto c = std::make_unique<CRawClient>();
                // a refused connect still counts: the server's answer is what matters
                c->ConnectFrom(address, m_server->Port());
                flood.push_back(std::move(c));
            }
        };
        auto turnedAway = [&] {
            return std::count_if(flood.begin(), flood.end(), [&](const auto &c) {
                return c->Socket().state() == QAbstractSocket::UnconnectedState && c->replies.contains(busy);
            });
        };
        floodFrom(u"127.0.0.2"_qs, 40);
        QVERIFY(QTest::qWaitFor([&] { return turnedAway() == 32; }, 20000));
        CRawClient guest;
        QVERIFY(guest.ConnectFrom(u"127.0.0.3"_qs, m_server->Port()));
        QCOMPARE(guest.Ask(u"UIDLog#bob##"_qs), u"UIDLogAck#bob#"_qs);

        // many addresses: the total runs out below the descriptor limit
        for (int a = 4; a < 14; ++a)
            floodFrom(u"127.0.0.%1"_qs.arg(a), 8);
        QVERIFY(QTest::qWaitFor([&] { return turnedAway() > 32; }, 20000));
        QCOMPARE(keeper.Ask(u"FileListReq#"_qs), u"FileListAck#"_qs + kName + u'#');
        QCOMPARE(guest.Ask(u"FileDownRec#"_qs + kName + u'#').left(12), u"FileDownAck#"_qs);

        for (auto &c : flood)
            c->Abort();
        flood.clear();
        CRawClient after;
        QString reply;
        for (int i = 0; i < 50 && reply != u"UIDLogAck#eve#"_qs; ++i) {
            CRawClient attempt;
            if (attempt.ConnectFrom(u"127.0.0.20"_qs, m_server->Port()))
                reply = attempt.Ask(u"UIDLog#eve##"_qs);
            if (reply != u"UIDLogAck#eve#"_qs)
                QTest::qWait(100);
        }
        QCOMPARE(reply, u"UIDLogAck#eve#"_qs);
        QVERIFY(m_server->IsRunning());
    }

    // With accounts, a solution belongs to its owner and the members the owner
    // adds. Steps are "user>request" on one connection per user (all logged in
    // first), each with its one reply; $SAVE is a save of the fixture as Oven,
    // $OTHER a save of another solution's text over it.
    void otherUsersSolutions_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("replies");
        const QString notMember = u"You are not a member of this shared solution; ask its owner to add you"_qs;
        const QString notOwner = u"Only the owner of the solution can change its members"_qs;
        QTest::newRow("a stranger neither sees, opens nor saves over it")
            << QStringList{u"ann>$SAVE"_qs, u"eve>FileListReq#"_qs, u"eve>FileDownRec#Oven#"_qs, u"eve>$OTHER"_qs,
                           u"eve>MemberListReq#Oven#"_qs}
            << QStringList{u"FileSaveAck#Oven#"_qs, u"FileListAck#"_qs, notMember, notMember, notMember};
        QTest::newRow("a stranger cannot make herself a member")
            << QStringList{u"ann>$SAVE"_qs, u"eve>MemberAddReq#Oven#eve#"_qs, u"eve>FileDownRec#Oven#"_qs}
            << QStringList{u"FileSaveAck#Oven#"_qs, notOwner, notMember};
        QTest::newRow("the owner adds a member, who may then work on it")
            << QStringList{u"ann>$SAVE"_qs, u"ann>MemberAddReq#Oven#bob#"_qs, u"bob>FileListReq#"_qs,
                           u"bob>FileDownRec#Oven#"_qs, u"bob>OpCont#Oven#addreq;tag:B;desc:;#"_qs}
            << QStringList{u"FileSaveAck#Oven#"_qs, u"MemberListAck#Oven#ann#bob#"_qs, u"FileListAck#Oven#"_qs,
                           u"FileDownAck"_qs, u"OpCont#Oven#addreq;tag:B;desc:;#"_qs};
        QTest::newRow("a member cannot add others or remove the owner")
            << QStringList{u"ann>$SAVE"_qs, u"ann>MemberAddReq#Oven#bob#"_qs, u"bob>MemberAddReq#Oven#eve#"_qs,
                           u"bob>MemberDelReq#Oven#ann#"_qs, u"eve>FileDownRec#Oven#"_qs}
            << QStringList{u"FileSaveAck#Oven#"_qs, u"MemberListAck#Oven#ann#bob#"_qs, notOwner, notOwner, notMember};
        QTest::newRow("only users with an account become members")
            << QStringList{u"ann>$SAVE"_qs, u"ann>MemberAddReq#Oven#nobody#"_qs}
            << QStringList{u"FileSaveAck#Oven#"_qs, u"No user has this id"_qs};
        QTest::newRow("the owner stays") << QStringList{u"ann>$SAVE"_qs, u"ann>MemberDelReq#Oven#ann#"_qs}
                                         << QStringList{u"FileSaveAck#Oven#"_qs,
                                                        u"The owner of a solution stays its member"_qs};
    }

    void otherUsersSolutions()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, replies);
        const QString path = m_dir->filePath(u"users"_qs);
        const QByteArray hash = HashPassword(u"pw"_qs).toUtf8();
        QVERIFY(TestKit::WriteFile(path, "ann:" + hash + "\nbob:" + hash + "\neve:" + hash + '\n'));
        QVERIFY(start({u"--users"_qs, path}));

        std::map<QString, std::unique_ptr<CRawClient>> users;
        for (const QString &user : {u"ann"_qs, u"bob"_qs, u"eve"_qs}) {
            auto c = std::make_unique<CRawClient>();
            QVERIFY(c->Connect(m_server->Port()));
            QCOMPARE(c->Ask(u"UIDLog#"_qs + user + u"#pw#"_qs), u"UIDLogAck#"_qs + user + u'#');
            users[user] = std::move(c);
        }
        CKELDataManager other;
        other.NewSolution();
        QVERIFY(other.AddRequirement(u"EVE"_qs, u"not the team's"_qs));
        const QString otherText = other.BuildSolutionText();
        QString stored;
        for (qsizetype i = 0; i < steps.size(); ++i) {
            const qsizetype gt = steps[i].indexOf(u'>');
            QString request = steps[i].mid(gt + 1);
            request.replace(u"$SAVE"_qs, SaveRequest(u"Oven"_qs, m_f.text))
                .replace(u"$OTHER"_qs, SaveRequest(u"Oven"_qs, otherText));
            const QString reply = users[steps[i].left(gt)]->Ask(request);
            QVERIFY2(reply.startsWith(replies[i]), qPrintable(reply));
            if (i == 0)
                stored = m_server->StoredText(kName);
        }
        // nothing a refused user sent reached the store
        QCOMPARE(m_server->StoredText(kName), stored);
    }

private:
    bool start(const QStringList &extra = {}, int descriptorLimit = 0)
    {
        m_server = std::make_unique<CServerProcess>(m_dir->path(), extra);
        m_server->SetDescriptorLimit(descriptorLimit);
        return m_server->Start();
    }

    // A logged-in user who has saved the fixture as kName and holds it open.
    bool holder(CRawClient &c, const QString &user)
    {
        return c.LogIn(m_server->Port(), user)
               && c.Ask(SaveRequest(kName, m_f.text)) == u"FileSaveAck#"_qs + kName + u'#';
    }

    // What a user opening kName now is sent.
    QString openedText()
    {
        CRawClient c;
        if (!c.Connect(m_server->Port()) || !c.Ask(u"UIDLog#reader##"_qs).startsWith(u"UIDLogAck"_qs))
            return u"<cannot log in>"_qs;
        const QStringList fields = CPacketFramer::SplitFields(c.Ask(u"FileDownRec#"_qs + kName + u'#'));
        return fields.value(4);
    }

    Fixture m_f;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CServerProcess> m_server;
};

QTEST_GUILESS_MAIN(TestServerAttacks)
#include "tst_serverattacks.moc"
