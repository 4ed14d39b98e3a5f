#include "collab/solutiontextpacking.h"
#include "model/keldatamanager.h"
#include "serverprocess.h"

#include <QtTest>

// The server program as clients meet it: its replies, and how it survives
// clients that misbehave, vanish, or outlive it.
class TestCollabServer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void replies_data();
    void replies();
    void streamFailuresClose_data();
    void streamFailuresClose();
    void stalledRequest();
    void hundredsOfConnections();
    void vanishingMidSave();
    void relayOrderAndSaveOfOpenSolution();
    void saveOverSolutionOthersHold();
    void periodicStoreSurvivesCrash();
    void lastClientLeavingStores();
    void orderlyStopStores();
    void usersFile_data();
    void usersFile();

private:
    bool start(const QStringList &extra = {});
    QString login(CRawClient &c, const QString &user = u"ann"_qs);

    QString m_text;  // a solution's text
    QString m_text2; // the same solution with one more requirement
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CServerProcess> m_server;
};

void TestCollabServer::initTestCase()
{
    CKELDataManager m;
    m.NewSolution();
    QVERIFY(m.AddRequirement(u"R1"_qs, u"first one..."_qs));
    m_text = m.BuildSolutionText();
    QVERIFY(m.AddRequirement(u"R2"_qs, u"second"_qs));
    m_text2 = m.BuildSolutionText();
}

void TestCollabServer::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestCollabServer::cleanup()
{
    m_server.reset();
    m_dir.reset();
}

bool TestCollabServer::start(const QStringList &extra)
{
    m_server = std::make_unique<CServerProcess>(m_dir->path(), extra);
    return m_server->Start();
}

QString TestCollabServer::login(CRawClient &c, const QString &user)
{
    return c.Ask(u"UIDLog#"_qs + user + u'#');
}

// One request after the other on one connection, each with its one reply.
// $TEXT stands for a solution's text, $LEN for its length, $SAFE for it as
// it travels back.
void TestCollabServer::replies_data()
{
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<QStringList>("expected");
    const QString save = u"FileSave#s#$LEN#$TEXT"_qs;
    const QString badName = u"This name cannot be used for a shared solution"_qs;

    QTest::newRow("list before login") << QStringList{u"FileListReq#"_qs} << QStringList{u"Please log in first"_qs};
    QTest::newRow("login") << QStringList{u"UIDLog#ann#"_qs} << QStringList{u"UIDLogAck#ann#"_qs};
    QTest::newRow("login with blanks around the id")
        << QStringList{u"UIDLog# ann#"_qs} << QStringList{u"Login refused"_qs};
    QTest::newRow("empty list") << QStringList{u"UIDLog#ann#"_qs, u"FileListReq#"_qs}
                                << QStringList{u"UIDLogAck#ann#"_qs, u"FileListAck#"_qs};
    QTest::newRow("open of an unknown name")
        << QStringList{u"UIDLog#ann#"_qs, u"FileDownRec#nope#"_qs}
        << QStringList{u"UIDLogAck#ann#"_qs, u"No shared solution has this name"_qs};
    QTest::newRow("operation on a solution not open")
        << QStringList{u"UIDLog#ann#"_qs, u"OpCont#s#addreq;tag:A;#"_qs}
        << QStringList{u"UIDLogAck#ann#"_qs, u"The solution is not open on this connection"_qs};
    QTest::newRow("save of a text that is no solution")
        << QStringList{u"UIDLog#ann#"_qs, u"FileSave#s#5#hello"_qs}
        << QStringList{u"UIDLogAck#ann#"_qs, u"The text is not a solution"_qs};
    QTest::newRow("save, list, open")
        << QStringList{u"UIDLog#ann#"_qs, save, u"FileListReq#"_qs, u"FileDownRec#s#"_qs}
        << QStringList{u"UIDLogAck#ann#"_qs, u"FileSaveAck#s#"_qs, u"FileListAck#s#"_qs,
                       u"FileDownAck#s#$SAFELEN#0#$SAFE"_qs};
    QTest::newRow("operation relayed to its sender")
        << QStringList{u"UIDLog#ann#"_qs, save, u"OpCont#s#addreq;tag:R2;desc:second;#"_qs}
        << QStringList{u"UIDLogAck#ann#"_qs, u"FileSaveAck#s#"_qs, u"OpCont#s#addreq;tag:R2;desc:second;#"_qs};
    QTest::newRow("record that would end the packet")
        << QStringList{u"UIDLog#ann#"_qs, save, u"OpCont#s#addreq;tag:a..b;#"_qs}
        << QStringList{u"UIDLogAck#ann#"_qs, u"FileSaveAck#s#"_qs, u"The record cannot be relayed"_qs};
    QTest::newRow("parent path as a name")
        << QStringList{u"UIDLog#ann#"_qs, u"FileSave#../x#$LEN#$TEXT"_qs, u"FileDownRec#../etc/passwd#"_qs}
        << QStringList{u"UIDLogAck#ann#"_qs, badName, badName};
    QTest::newRow("control character in a name")
        << QStringList{u"UIDLog#ann#"_qs, u"FileSave#a\u0007b#$LEN#$TEXT"_qs}
        << QStringList{u"UIDLogAck#ann#"_qs, badName};
    QTest::newRow("10000-character name")
        << QStringList{u"UIDLog#ann#"_qs, u"FileSave#"_qs + QString(10000, u'n') + u"#$LEN#$TEXT"_qs}
        << QStringList{u"UIDLogAck#ann#"_qs, badName};
    QTest::newRow("slash is only a character")
        << QStringList{u"UIDLog#ann#"_qs, u"FileSave#team/door#$LEN#$TEXT"_qs, u"FileListReq#"_qs}
        << QStringList{u"UIDLogAck#ann#"_qs, u"FileSaveAck#team/door#"_qs, u"FileListAck#team/door#"_qs};
}

void TestCollabServer::replies()
{
    QFETCH(QStringList, requests);
    QFETCH(QStringList, expected);
    QVERIFY(start());
    CRawClient c;
    QVERIFY(c.Connect(m_server->Port()));
    // the replica of a just-saved solution writes its text anew
    CKELDataManager replica;
    QVERIFY(replica.LoadSolutionText(m_text));
    const QString safe = Collab::PacketSafeSolutionText(replica.BuildSolutionText());
    for (qsizetype i = 0; i < requests.size(); ++i) {
        QString request = requests[i];
        request.replace(u"$LEN"_qs, QString::number(m_text.size())).replace(u"$TEXT"_qs, m_text);
        QString want = expected[i];
        want.replace(u"$SAFELEN"_qs, QString::number(safe.size())).replace(u"$SAFE"_qs, safe);
        QCOMPARE(c.Ask(request), want);
    }
    QVERIFY(m_server->IsRunning());
}

// A stream the server cannot follow is answered with an error text and
// closed; everyone else goes on being served.
void TestCollabServer::streamFailuresClose_data()
{
    QTest::addColumn<QString>("stream");
    QTest::addColumn<QString>("error");
    QTest::newRow("unknown keyword") << u"Hello#"_qs << u"Unknown request"_qs;
    QTest::newRow("reply keyword sent back") << u"FileListAck#a#"_qs << u"Unknown request"_qs;
    QTest::newRow("save longer than the limit") << u"FileSave#s#100000#"_qs << u"Request too large"_qs;
    QTest::newRow("operation longer than the limit")
        << u"OpCont#s#"_qs + QString(40000, u'r') << u"Request too large"_qs;
    QTest::newRow("length that is no number") << u"FileSave#s#4x#"_qs << u"Malformed request"_qs;
}

void TestCollabServer::streamFailuresClose()
{
    QFETCH(QString, stream);
    QFETCH(QString, error);
    QVERIFY(start({u"--max-packet"_qs, u"65536"_qs}));
    CRawClient other;
    QVERIFY(other.Connect(m_server->Port()));
    QCOMPARE(login(other), u"UIDLogAck#ann#"_qs);

    CRawClient bad;
    QVERIFY(bad.Connect(m_server->Port()));
    QCOMPARE(login(bad, u"bob"_qs), u"UIDLogAck#bob#"_qs);
    bad.Send(stream);
    QVERIFY(bad.WaitForReplies(2));
    QCOMPARE(bad.replies.at(1), error);
    QVERIFY(bad.WaitForClose());

    QCOMPARE(other.Ask(u"FileListReq#"_qs), u"FileListAck#"_qs);
}

// A client that begins a request and never finishes it does not hold anyone
// up, and is let go after the stall timeout.
void TestCollabServer::stalledRequest()
{
    QVERIFY(start({u"--stall-timeout"_qs, u"1"_qs}));
    CRawClient slow;
    QVERIFY(slow.Connect(m_server->Port()));
    QCOMPARE(login(slow), u"UIDLogAck#ann#"_qs);
    slow.Send(u"FileSave#s#1000#only a part"_qs);

    CRawClient other;
    QVERIFY(other.Connect(m_server->Port()));
    QCOMPARE(login(other, u"bob"_qs), u"UIDLogAck#bob#"_qs);
    QCOMPARE(other.Ask(u"FileListReq#"_qs), u"FileListAck#"_qs);

    QVERIFY(slow.WaitForReplies(2, 15000));
    QCOMPARE(slow.replies.at(1), u"Request not finished in time"_qs);
    QVERIFY(slow.WaitForClose());
    // nothing of the half save was kept
    QCOMPARE(other.Ask(u"FileListReq#"_qs), u"FileListAck#"_qs);
}

// Hundreds of connections opened, some with half a request, and dropped.
void TestCollabServer::hundredsOfConnections()
{
    QVERIFY(start());
    std::vector<std::unique_ptr<CRawClient>> clients;
    for (int i = 0; i < 300; ++i) {
        auto c = std::make_unique<CRawClient>();
        QVERIFY(c->Connect(m_server->Port()));
        if (i % 3 == 1)
            c->Send(u"UIDLog#user"_qs + QString::number(i));
        else if (i % 3 == 2)
            c->SendBytes(QByteArray(7, 'x')); // not even whole characters
        clients.push_back(std::move(c));
    }
    for (auto &c : clients)
        c->Abort();
    clients.clear();

    CRawClient late;
    QVERIFY(late.Connect(m_server->Port()));
    QCOMPARE(login(late), u"UIDLogAck#ann#"_qs);
    QCOMPARE(late.Ask(u"FileListReq#"_qs), u"FileListAck#"_qs);
    QVERIFY(m_server->IsRunning());
}

// Half a save is not a save.
void TestCollabServer::vanishingMidSave()
{
    QVERIFY(start());
    CRawClient saver;
    QVERIFY(saver.Connect(m_server->Port()));
    QCOMPARE(login(saver), u"UIDLogAck#ann#"_qs);
    saver.Send(u"FileSave#s#"_qs + QString::number(m_text.size()) + u'#' + m_text.left(m_text.size() / 2));
    QTest::qWait(50);
    saver.Abort();

    CRawClient other;
    QVERIFY(other.Connect(m_server->Port()));
    QCOMPARE(login(other), u"UIDLogAck#ann#"_qs);
    QCOMPARE(other.Ask(u"FileListReq#"_qs), u"FileListAck#"_qs);
    QCOMPARE(other.Ask(u"FileDownRec#s#"_qs), u"No shared solution has this name"_qs);
}

// Every holder receives every relayed record, in one order; a save by a
// holder stores what the server's copy holds, and the history keeps both saves.
void TestCollabServer::relayOrderAndSaveOfOpenSolution()
{
    QVERIFY(start());
    CRawClient a, b;
    QVERIFY(a.Connect(m_server->Port()));
    QVERIFY(b.Connect(m_server->Port()));
    QCOMPARE(login(a), u"UIDLogAck#ann#"_qs);
    QCOMPARE(login(b, u"bob"_qs), u"UIDLogAck#bob#"_qs);
    QCOMPARE(a.Ask(u"FileSave#s#"_qs + QString::number(m_text.size()) + u'#' + m_text), u"FileSaveAck#s#"_qs);
    QVERIFY(b.Ask(u"FileDownRec#s#"_qs).startsWith(u"FileDownAck#s#"_qs));

    const int n = 200;
    a.replies.clear();
    b.replies.clear();
    for (int i = 0; i < n; ++i) {
        (i % 2 ? a : b).Send(u"OpCont#s#addreq;tag:T"_qs + QString::number(i) + u";desc:;#"_qs);
    }
    QVERIFY(a.WaitForReplies(n));
    QVERIFY(b.WaitForReplies(n));
    QCOMPARE(a.replies, b.replies);
    QCOMPARE(QSet<QString>(a.replies.begin(), a.replies.end()).size(), n);

    // the server's text holds all of them, though the saver's text is older
    QCOMPARE(b.Ask(u"FileSave#s#"_qs + QString::number(m_text.size()) + u'#' + m_text), u"FileSaveAck#s#"_qs);
    const QString stored = m_server->StoredText(u"s"_qs);
    CKELDataManager check;
    QVERIFY(check.LoadSolutionText(stored));
    for (int i = 0; i < n; ++i)
        QVERIFY(check.FindRequirement(u"T"_qs + QString::number(i)));
    QCOMPARE(m_server->HistoryCount(u"s"_qs), 2);
}

// Saving over a solution that others hold, without holding it, would throw
// away their edits: refused.
void TestCollabServer::saveOverSolutionOthersHold()
{
    QVERIFY(start());
    CRawClient a, b;
    QVERIFY(a.Connect(m_server->Port()));
    QVERIFY(b.Connect(m_server->Port()));
    QCOMPARE(login(a), u"UIDLogAck#ann#"_qs);
    QCOMPARE(login(b, u"bob"_qs), u"UIDLogAck#bob#"_qs);
    QCOMPARE(a.Ask(u"FileSave#s#"_qs + QString::number(m_text.size()) + u'#' + m_text), u"FileSaveAck#s#"_qs);
    QCOMPARE(b.Ask(u"FileSave#s#"_qs + QString::number(m_text2.size()) + u'#' + m_text2),
             u"The solution is open by other users; open it to save it"_qs);
    QCOMPARE(m_server->StoredText(u"s"_qs), m_text);
}

// What the server stored by itself is there after a crash.
void TestCollabServer::periodicStoreSurvivesCrash()
{
    QVERIFY(start({u"--store-interval"_qs, u"1"_qs}));
    CRawClient a;
    QVERIFY(a.Connect(m_server->Port()));
    QCOMPARE(login(a), u"UIDLogAck#ann#"_qs);
    QCOMPARE(a.Ask(u"FileSave#s#"_qs + QString::number(m_text.size()) + u'#' + m_text), u"FileSaveAck#s#"_qs);
    QCOMPARE(a.Ask(u"OpCont#s#addreq;tag:R2;desc:second;#"_qs), u"OpCont#s#addreq;tag:R2;desc:second;#"_qs);
    QVERIFY(QTest::qWaitFor([&] { return m_server->StoredText(u"s"_qs) == m_text2; }, 15000));
    m_server->Kill();

    QVERIFY(start());
    CRawClient b;
    QVERIFY(b.Connect(m_server->Port()));
    QCOMPARE(login(b), u"UIDLogAck#ann#"_qs);
    const QString reply = b.Ask(u"FileDownRec#s#"_qs);
    QVERIFY(reply.endsWith(Collab::PacketSafeSolutionText(m_text2)));
}

// The last one out leaves the server's copy stored.
void TestCollabServer::lastClientLeavingStores()
{
    QVERIFY(start({u"--store-interval"_qs, u"3600"_qs}));
    CRawClient a;
    QVERIFY(a.Connect(m_server->Port()));
    QCOMPARE(login(a), u"UIDLogAck#ann#"_qs);
    QCOMPARE(a.Ask(u"FileSave#s#"_qs + QString::number(m_text.size()) + u'#' + m_text), u"FileSaveAck#s#"_qs);
    QCOMPARE(a.Ask(u"OpCont#s#addreq;tag:R2;desc:second;#"_qs), u"OpCont#s#addreq;tag:R2;desc:second;#"_qs);
    QCOMPARE(m_server->StoredText(u"s"_qs), m_text);
    a.Abort();
    QVERIFY(QTest::qWaitFor([&] { return m_server->StoredText(u"s"_qs) == m_text2; }, 10000));
    QCOMPARE(m_server->HistoryCount(u"s"_qs), 1);
}

// Stopped in order, the server stores what it holds first.
void TestCollabServer::orderlyStopStores()
{
    QVERIFY(start({u"--store-interval"_qs, u"3600"_qs}));
    CRawClient a;
    QVERIFY(a.Connect(m_server->Port()));
    QCOMPARE(login(a), u"UIDLogAck#ann#"_qs);
    QCOMPARE(a.Ask(u"FileSave#s#"_qs + QString::number(m_text.size()) + u'#' + m_text), u"FileSaveAck#s#"_qs);
    QCOMPARE(a.Ask(u"OpCont#s#addreq;tag:R2;desc:second;#"_qs), u"OpCont#s#addreq;tag:R2;desc:second;#"_qs);
    QVERIFY(m_server->Stop());
    QCOMPARE(m_server->StoredText(u"s"_qs), m_text2);
}

// With a users file only the ids in it may log in.
void TestCollabServer::usersFile_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("reply");
    QTest::newRow("listed") << u"ann"_qs << u"UIDLogAck#ann#"_qs;
    QTest::newRow("listed after a comment") << u"bob"_qs << u"UIDLogAck#bob#"_qs;
    QTest::newRow("not listed") << u"eve"_qs << u"Login refused"_qs;
    QTest::newRow("comment is no user") << u"carl"_qs << u"Login refused"_qs;
}

void TestCollabServer::usersFile()
{
    QFETCH(QString, user);
    QFETCH(QString, reply);
    const QString path = m_dir->filePath(u"users.txt"_qs);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("ann\n# carl\n\n  bob  \n");
    f.close();
    QVERIFY(start({u"--users"_qs, path}));
    CRawClient c;
    QVERIFY(c.Connect(m_server->Port()));
    QCOMPARE(login(c, user), reply);
    const bool in = reply.startsWith(u"UIDLogAck"_qs);
    QCOMPARE(c.Ask(u"FileListReq#"_qs), in ? u"FileListAck#"_qs : u"Please log in first"_qs);
}

QTEST_GUILESS_MAIN(TestCollabServer)
#include "tst_collabserver.moc"
