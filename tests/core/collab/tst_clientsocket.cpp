#include "collab/clientsocket.h"
#include "fakeserver.h"
#include "scriptedprompt.h"

#include <QtTest>

namespace {

// Writes down every call the socket makes on its owner.
class CRecordingOwner : public CClientSocketOwner
{
public:
    QStringList calls;
    CScriptedPrompt prompt;
    CClientSocket *socket = nullptr;
    bool closeOnDisconnect = true;

    void EstablishedConnection() override { calls.append(u"Established"_qs); }
    void DisconnectFromServer() override
    {
        calls.append(u"Disconnect"_qs);
        if (socket && closeOnDisconnect)
            socket->Close();
    }
    void OnServerFileList(const QStringList &names) override { calls.append(u"List:"_qs + names.join(u',')); }
    void OnServerSaveResult(const QString &name, bool success) override
    {
        calls.append(u"Saved:"_qs + name + u':' + QString::number(success));
    }
    void OnServerOperation(const QString &name, const QString &record) override
    {
        calls.append(u"Op:"_qs + name + u':' + record);
    }
    void OnServerFileOpened(bool success, const QString &name, const QString &text) override
    {
        calls.append(u"Opened:"_qs + QString::number(success) + u':' + name + u':' + text);
    }
    void SetLoggedIn(bool loggedIn) override { calls.append(u"LoggedIn:"_qs + QString::number(loggedIn)); }
    void RefreshViewsAndTitle() override { calls.append(u"Refresh"_qs); }
    CPrompt &Prompt() override { return prompt; }
    // kept with the prompt's texts, in the one order the user would read them
    void Notice(const QString &text) override
    {
        prompt.texts.append(text);
        prompt.captions.append(u"Message"_qs);
    }
};

// The bare layer, counting its notifications.
class CCountingSocket : public CAsyncSocketEx
{
public:
    QStringList events;

protected:
    void OnConnect(int e) override { events.append(u"connect:"_qs + QString::number(e)); }
    void OnReceive(int e) override { events.append(u"receive:"_qs + QString::number(e)); }
    void OnClose(int e) override { events.append(u"close:"_qs + QString::number(e)); }
};

} // namespace

class TestClientSocket : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // lines go to the file only, where the tests read them
        QLoggingCategory::setFilterRules(u"verdantis.collab.packet=false"_qs);
    }

    void init()
    {
        m_server = std::make_unique<CFakeServer>();
        m_owner = std::make_unique<CRecordingOwner>();
        m_socket = std::make_unique<CClientSocket>();
        m_owner->socket = m_socket.get();
        m_socket->SetOwner(m_owner.get());
        const QString logPath = m_dir.filePath(QString::fromUtf8(QTest::currentTestFunction()) + u"-"_qs
                                               + QString::fromUtf8(QTest::currentDataTag()) + u".log"_qs);
        QFile::remove(logPath);
        // no prefix: lines without time stamps, easy to compare
        m_socket->Log().SetPrefix(QString());
        m_socket->Log().SetMode(CPacketLog::File);
        m_socket->Log().SetLogFile(logPath, true);
    }

    void cleanup()
    {
        m_socket.reset();
        m_owner.reset();
        m_server.reset();
    }

    // What each request puts on the wire: UTF-16 text, no terminator.
    void requests_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("wire");
        QTest::newRow("login with its password") << u"login"_qs << u"UIDLog#bob#secret#"_qs;
        QTest::newRow("list") << u"list"_qs << u"FileListReq#"_qs;
        QTest::newRow("save with # in the text") << u"save"_qs << u"FileSave#s.kvf#5#ab#cd"_qs;
        QTest::newRow("open") << u"open"_qs << u"FileDownRec#s.kvf#"_qs;
        QTest::newRow("operation") << u"op"_qs << u"OpCont#s.kvf#addreq;tag:R1;desc:Π;#"_qs;
    }

    void requests()
    {
        QFETCH(QString, request);
        QFETCH(QString, wire);
        connectClient();
        bool sent = false;
        if (request == u"login")
            sent = m_socket->Login(u"bob"_qs, u"secret"_qs);
        else if (request == u"list")
            sent = m_socket->ListFile();
        else if (request == u"save")
            sent = m_socket->SaveFile(u"s.kvf"_qs, 5, u"ab#cd"_qs);
        else if (request == u"open")
            sent = m_socket->OpenFile(u"s.kvf"_qs);
        else
            sent = m_socket->AskAction(u"s.kvf"_qs, u"addreq;tag:R1;desc:Π;"_qs);
        QVERIFY(sent);
        // the password goes to the server and nowhere else
        const QString shown = QString(wire).replace(u"secret"_qs, u"********"_qs);
        QCOMPARE(m_socket->LastSentPacket(), shown);
        QVERIFY(m_server->WaitForReceived(wire));
        QCOMPARE(m_server->received, wire);
        QVERIFY(!logLines().join(u'\n').contains(u"secret"_qs));
        QVERIFY(logLines().contains(u"CClientSocket::SendPacket - Sent message=["_qs + shown
                                    + u"]  Return code of send=["_qs + QString::number(2 * wire.size()) + u"]"_qs));
    }

    // A reply is taken only for a request still waiting for one, and checked
    // against it; error texts (no "#") answer the oldest waiting request, and
    // with none waiting are the server's own words. Nothing else gets through.
    void replies_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("logged");

        const QString success = u"Login successful"_qs;
        const QString failure = u"Login unsuccessful"_qs;
        const QString openFailed = u"Exception handling not ready yet (in ackfileopen)."_qs;
        const QStringList in{u"LoggedIn:1"_qs, u"Refresh"_qs};
        const QStringList out{u"LoggedIn:0"_qs, u"Refresh"_qs};
        const QStringList no;

        QTest::newRow("login echoed")
            << u"login"_qs << u"UIDLogAck#u#.."_qs << in << QStringList{success}
            << QStringList{
                   u"CClientSocket::ProcessUIDLogAck - [UIDLogAck]  "_qs,
                   u"CClientSocket::ProcessUIDLogAck - Packet count=[2]"_qs,
                   u"CClientSocket::ProcessUIDLogAck - A received user id=[u]  This method called successfully."_qs};
        QTest::newRow("login, other id") << u"login"_qs << u"UIDLogAck#v#.."_qs << out << QStringList{failure} << no;
        QTest::newRow("login reply without id")
            << u"login"_qs << u"UIDLogAck#.."_qs << out << QStringList{failure}
            << QStringList{
                   u"CClientSocket::ProcessUIDLogAck - Packet count=[1]  ERROR : The packet count must be the same as the intended packet count, 2 "_qs};
        QTest::newRow("keyword in lower case")
            << u"login"_qs << u"uidlogack#u#.."_qs << in << QStringList{success} << no;
        QTest::newRow("error text after login")
            << u"login"_qs << u"Login failed.."_qs << out << QStringList{failure + u": Login failed"_qs} << no;
        QTest::newRow("error text after list")
            << u"list"_qs << u"No list here.."_qs << QStringList{u"List:"_qs} << QStringList{u"No list here"_qs} << no;
        QTest::newRow("error text after open")
            << u"open"_qs << u"Not found.."_qs << no << QStringList{openFailed + u" Not found"_qs} << no;
        QTest::newRow("error text after save")
            << u"save"_qs << u"Disk full.."_qs << QStringList{u"Saved:s.kvf:0"_qs} << no << no;
        QTest::newRow("error text after an operation")
            << u"op"_qs << u"Not open.."_qs << no << QStringList{u"The server refused an edit: Not open"_qs} << no;
        QTest::newRow("error text before any request")
            << QString() << u"Go away.."_qs << no << QStringList{u"The server says: Go away"_qs}
            << QStringList{u"CClientSocket::ProcessError - ERROR : Go away"_qs};
        QTest::newRow("file list")
            << u"list"_qs << u"FileListAck#a.kvf#b.kvf#.."_qs << QStringList{u"List:a.kvf,b.kvf"_qs} << no
            << QStringList{
                   u"CClientSocket::ProcessFileListAck - A received file count=[2]  Received file names=[a.kvf,b.kvf]  This method called successfully."_qs};
        QTest::newRow("empty file list")
            << u"list"_qs << u"FileListAck#.."_qs << QStringList{u"List:"_qs} << no
            << QStringList{
                   u"CClientSocket::ProcessFileListAck - Packet count=[1]  ERROR : The packet count must be greater than the intended packet count, 1 This packet doesn't contain any file name."_qs};
        QTest::newRow("download with # in the text")
            << u"open"_qs << u"FileDownAck#s.kvf#12#x#text with # and ; inside.."_qs
            << QStringList{u"Opened:1:s.kvf:text with # and ; inside"_qs} << no
            << QStringList{
                   u"CClientSocket::ProcessFileDownAck - Packet count=[5]  An intended download file name=[s.kvf]"_qs,
                   u"CClientSocket::ProcessFileDownAck - A received file name=[s.kvf]  Received file size=[12]  This method called successfully."_qs};
        QTest::newRow("download, name in other case")
            << u"open"_qs << u"FileDownAck#S.KVF#1#x#t.."_qs << QStringList{u"Opened:1:S.KVF:t"_qs} << no << no;
        QTest::newRow("download of another name")
            << u"open"_qs << u"FileDownAck#t.kvf#1#x#t.."_qs << no << QStringList{openFailed}
            << QStringList{
                   u"CClientSocket::ProcessFileDownAck - A received file name=[t.kvf]  ERROR : The file name must be the same as the intended file name, s.kvf"_qs};
        QTest::newRow("download without text")
            << u"open"_qs << u"FileDownAck#s.kvf#1#x#.."_qs << no << QStringList{openFailed}
            << QStringList{
                   u"CClientSocket::ProcessFileDownAck - Packet count=[4]  ERROR : The packet count must be the same as the intended packet count, 5"_qs};
        QTest::newRow("save acknowledged")
            << u"save"_qs << u"FileSaveAck#s.kvf#.."_qs << QStringList{u"Saved:s.kvf:1"_qs} << no << no;
        QTest::newRow("save acknowledged for another name")
            << u"save"_qs << u"FileSaveAck#t.kvf#.."_qs << QStringList{u"Saved:s.kvf:0"_qs} << no
            << QStringList{
                   u"CClientSocket::ProcessFileSaveAck - A received file name=[t.kvf]  ERROR : The file name must be the same as the intended file name, s.kvf"_qs};
        QTest::newRow("save ack of the wrong count")
            << u"save"_qs << u"FileSaveAck#s.kvf#extra#.."_qs << QStringList{u"Saved:s.kvf:0"_qs} << no
            << QStringList{
                   u"CClientSocket::ProcessFileSaveAck - Packet count=[3]  ERROR : The packet count must be the same as the intended packet count, 2"_qs};
        QTest::newRow("relayed operation") << u"op"_qs << u"OpCont#s.kvf#addreq;tag:R1;#.."_qs
                                           << QStringList{u"Op:s.kvf:addreq;tag:R1;"_qs} << no << no;
        QTest::newRow("two triples in one packet")
            << u"op"_qs << u"OpCont#s#r1#OpCont#s#r2#.."_qs << QStringList{u"Op:s:r1"_qs, u"Op:s:r2"_qs} << no
            << QStringList{
                   u"CClientSocket::ProcessAskAction - Packet count=[6]  ERROR : The packet count must be the same as the intended packet count, 3"_qs};
        QTest::newRow("trailing incomplete triple")
            << u"op"_qs << u"OpCont#s#r1#OpCont#s#.."_qs << QStringList{u"Op:s:r1"_qs} << no << no;
        QTest::newRow("unknown keyword ignored") << u"op"_qs << u"Hello#x#.."_qs << no << no << no;
        QTest::newRow("file-up ack ignored") << u"op"_qs << u"FileUpAck#x#.."_qs << no << no << no;
        QTest::newRow("operation id of the wrong count")
            << QString() << u"OpIdAck#s#.."_qs << no << no
            << QStringList{
                   u"CClientSocket::ProcessOpIdAck - Packet count=[2]  ERROR : The packet count must be the same as the intended packet count, 3"_qs};
        QTest::newRow("object created for an unknown name")
            << QString() << u"ObCreAct#s#7#9#.."_qs << no << no
            << QStringList{
                   u"CClientSocket::ProcessObjectGenerateAck - A received file name=[s]  A received object id=[7]  A received operation id=[9]"_qs,
                   u"CClientSocket::ProcessObjectGenerateAck - A received file name=[s]  ERROR : The file name must be the same as the intended file name, "_qs};
        QTest::newRow("user list")
            << QString() << u"UIDListAck#ann#bob#.."_qs << no << no
            << QStringList{
                   u"CClientSocket::ProcessUIDListAck - A received file count=[2]  Received file names=[ann,bob]  This method called successfully."_qs};
        QTest::newRow("empty packet skipped")
            << u"login"_qs << u"..UIDLogAck#u#.."_qs << in << QStringList{success}
            << QStringList{u"CClientSocket::ReceiveData - The received message doesn't contain any predeterminer."_qs};
        const QString ignored =
            u"CClientSocket::Dispatch - ERROR : A reply to no request of this client is ignored: "_qs;
        QTest::newRow("error text answers the list; a second answer is ignored")
            << u"list"_qs << u"Busy..FileListAck#a#.."_qs << QStringList{u"List:"_qs} << QStringList{u"Busy"_qs}
            << QStringList{ignored + u"[FileListAck]"_qs};
        QTest::newRow("reply to no request in the same read")
            << u"login"_qs << u"UIDLogAck#u#..FileListAck#a#b#.."_qs << in << QStringList{success}
            << QStringList{ignored + u"[FileListAck]"_qs};
        QTest::newRow("unsolicited download leaves the solution alone")
            << u"list"_qs << u"FileDownAck#s.kvf#1#x#t.."_qs << no << no << QStringList{ignored + u"[FileDownAck]"_qs};
        QTest::newRow("second download answer to one open")
            << u"open"_qs << u"FileDownAck#s.kvf#1#x#t..FileDownAck#s.kvf#1#x#u.."_qs
            << QStringList{u"Opened:1:s.kvf:t"_qs} << no << QStringList{ignored + u"[FileDownAck]"_qs};
        QTest::newRow("stale save acknowledgement")
            << QString() << u"FileSaveAck#s.kvf#.."_qs << no << no << QStringList{ignored + u"[FileSaveAck]"_qs};
        QTest::newRow("300 login replies to one login")
            << u"login"_qs << u"UIDLogAck#u#.."_qs.repeated(300) << in << QStringList{success}
            << QStringList{ignored + u"[UIDLogAck]"_qs};
        QTest::newRow("own relay answers the edit; a later text is the server's own")
            << u"op"_qs << u"OpCont#s.kvf#addreq;tag:R1;#..Closing down.."_qs
            << QStringList{u"Op:s.kvf:addreq;tag:R1;"_qs} << QStringList{u"The server says: Closing down"_qs} << no;
    }

    void replies()
    {
        QFETCH(QString, request);
        QFETCH(QString, reply);
        QFETCH(QStringList, calls);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, logged);
        connectClient();
        if (request == u"login")
            QVERIFY(m_socket->Login(u"u"_qs, QString()));
        else if (request == u"list")
            QVERIFY(m_socket->ListFile());
        else if (request == u"open")
            QVERIFY(m_socket->OpenFile(u"s.kvf"_qs));
        else if (request == u"save")
            QVERIFY(m_socket->SaveFile(u"s.kvf"_qs, 4, u"text"_qs));
        else if (request == u"op")
            QVERIFY(m_socket->AskAction(u"s.kvf"_qs, u"addreq;tag:R1;"_qs));

        m_server->Send(reply);
        // everything sent has been taken once nothing is pending any more
        QVERIFY(settle());
        QCOMPARE(m_owner->calls, calls);
        QCOMPARE(m_owner->prompt.texts, messages);
        for (const QString &caption : std::as_const(m_owner->prompt.captions))
            QCOMPARE(caption, u"Message"_qs);
        const QStringList lines = logLines();
        for (const QString &line : logged)
            QVERIFY2(lines.contains(line), qPrintable(u"missing: "_qs + line + u"\nlog:\n"_qs + lines.join(u'\n')));
        QVERIFY(m_socket->IsConnected());
    }

    // A server that never ends its packet does not take all memory: the client
    // lets go of the connection as if the server had closed it.
    void oversizedReply()
    {
        connectClient();
        m_socket->SetMaxPacketBytes(4096);
        m_server->Send(QString(3000, u'x'));
        QVERIFY(waitForCalls(1));
        QCOMPARE(m_owner->calls, QStringList{u"Disconnect"_qs});
        QVERIFY(!m_socket->IsConnected());
        QCOMPARE(m_socket->PendingSize(), 0);
        QVERIFY(!logLines().filter(u"larger than 4096 bytes"_qs).isEmpty());
    }

    // The server closing the connection goes through the owner once.
    void serverDrops()
    {
        connectClient();
        m_server->DropClient();
        QVERIFY(waitForCalls(1));
        QVERIFY(!m_socket->IsConnected());
        QVERIFY(!m_socket->Login(u"u"_qs, QString()));
        QVERIFY(logLines().contains(u"CClientSocket::Login - SendPacket failed."_qs));
        // a second notice of the drop would reach the owner before the next
        // connection is established
        QVERIFY(m_socket->TryConnect(u"127.0.0.1"_qs, m_server->Port()));
        QVERIFY(waitForCalls(2));
        QCOMPARE(m_owner->calls, (QStringList{u"Disconnect"_qs, u"Established"_qs}));
    }

    // Garbage from the server is logged or ignored, and the replies after it
    // still work.
    void garbageKeepsConnection()
    {
        connectClient();
        QByteArray junk;
        for (int i = 0; i < 4096; ++i)
            junk.append(char((i * 7919) % 251));
        junk.replace(QByteArray("..", 2), QByteArray("xx", 2));
        m_server->SendBytes(junk);
        m_server->Send(u"..#..##..UIDLogAck#u#.."_qs);
        // taken while no request waits: the acknowledgement among it too
        QVERIFY(QTest::qWaitFor(
            [&] {
                return logLines().contains(
                    u"CClientSocket::Dispatch - ERROR : A reply to no request of this client is ignored: "
                    u"[UIDLogAck]"_qs);
            },
            5000));
        QVERIFY(!m_owner->calls.contains(u"LoggedIn:1"_qs));
        QVERIFY(m_socket->Login(u"u"_qs, QString()));
        m_server->Send(u"UIDLogAck#u#.."_qs);
        QVERIFY(QTest::qWaitFor([&] { return m_owner->calls.contains(u"LoggedIn:1"_qs); }, 5000));
        QVERIFY(m_socket->IsConnected());
    }

    // A failed connect still reaches the owner, on a closed socket, so the
    // login that follows fails to send.
    void connectRefused()
    {
        const quint16 port = m_server->Port();
        m_server.reset(); // nothing listens there any more
        QVERIFY(m_socket->TryConnect(u"127.0.0.1"_qs, port));
        QVERIFY(logLines().contains(u"CClientSocket::TryConnect - Return code of GetLastError=[WSAEWOULDBLOCK]"_qs));
        QVERIFY(waitForCalls(1));
        QCOMPARE(m_owner->calls, QStringList{u"Established"_qs});
        QVERIFY(!m_socket->IsConnected());
        QVERIFY(!m_socket->Login(u"u"_qs, QString()));
        const QStringList lines = logLines();
        QVERIFY(lines.contains(u"CClientSocket::OnConnect - Error code=[10061]"_qs));
        QVERIFY(lines.contains(u"CClientSocket::Login - SendPacket failed."_qs));
    }

    // A host name is looked up first; the connect then goes ahead by itself.
    void hostNameLookup()
    {
        QVERIFY(m_socket->TryConnect(u"localhost"_qs, m_server->Port()));
        QCOMPARE(m_socket->ConnectError(), int(SocketError::WouldBlock));
        QVERIFY(QTest::qWaitFor([&] { return !m_owner->calls.isEmpty(); }, 10000));
        QCOMPARE(m_owner->calls, QStringList{u"Established"_qs});
        QVERIFY(m_socket->IsConnected());
        QVERIFY(logLines().contains(u"CClientSocket::TryConnect - Return code of Connect=[1] "_qs
                                    + SocketError::Text(SocketError::WouldBlock)));
    }

    // A packet cut off by a dropped connection must not run into the first reply
    // of the next connection.
    void reconnectDropsStalePartial()
    {
        m_owner->closeOnDisconnect = true;
        connectClient();
        m_server->Send(u"FileListAck#half"_qs);
        QVERIFY(QTest::qWaitFor([&] { return m_socket->PendingSize() > 0; }, 5000));
        m_server->DropClient();
        QVERIFY(waitForCalls(1));
        m_owner->calls.clear();

        QVERIFY(m_socket->TryConnect(u"127.0.0.1"_qs, m_server->Port()));
        QVERIFY(QTest::qWaitFor([&] { return m_server->Client() != nullptr; }, 5000));
        QVERIFY(waitForCalls(1));
        m_owner->calls.clear();
        QVERIFY(m_socket->Login(u"u"_qs, QString()));
        m_server->Send(u"UIDLogAck#u#.."_qs);
        QVERIFY(waitForCalls(2));
        QCOMPARE(m_owner->calls, (QStringList{u"LoggedIn:1"_qs, u"Refresh"_qs}));
    }

    // The layer's own rules: one socket at a time, reads that would block say
    // so, and a closed socket hears nothing more of its old connection.
    void socketLayer_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("create twice") << u"create twice"_qs << QStringList{};
        QTest::newRow("read with nothing waiting") << u"read idle"_qs << QStringList{u"connect:0"_qs};
        QTest::newRow("close before the connect lands") << u"close early"_qs << QStringList{};
        QTest::newRow("close while data is on its way") << u"close with data"_qs << QStringList{u"connect:0"_qs};
        QTest::newRow("peer closes") << u"peer closes"_qs << QStringList{u"connect:0"_qs, u"close:0"_qs};
    }

    void socketLayer()
    {
        QFETCH(QString, scenario);
        QFETCH(QStringList, events);
        CCountingSocket s;
        char buffer[16];
        QCOMPARE(s.Receive(buffer, sizeof buffer), qint64(-1));
        QCOMPARE(s.GetLastError(), int(SocketError::NotConnected));
        QVERIFY(s.Create());
        if (scenario == u"create twice") {
            QVERIFY(!s.Create());
            QCOMPARE(s.GetLastError(), int(SocketError::Already));
            s.Close();
            s.Close(); // harmless
            QVERIFY(s.Create());
        } else {
            QVERIFY(!s.Connect(u"127.0.0.1"_qs, m_server->Port()));
            QCOMPARE(s.GetLastError(), int(SocketError::WouldBlock));
            if (scenario == u"close early") {
                s.Close();
            } else {
                QVERIFY(m_server->WaitForClient());
                QVERIFY(QTest::qWaitFor([&] { return !s.events.isEmpty(); }, 5000));
                if (scenario == u"read idle") {
                    QCOMPARE(s.Receive(buffer, sizeof buffer), qint64(-1));
                    QCOMPARE(s.GetLastError(), int(SocketError::WouldBlock));
                } else if (scenario == u"close with data") {
                    m_server->Send(u"UIDLogAck#u#.."_qs);
                    s.Close();
                } else {
                    m_server->DropClient();
                    QVERIFY(QTest::qWaitFor([&] { return s.events.size() >= 2; }, 5000));
                }
            }
        }
        // a late notification of s comes in before a connection made after it lands
        CCountingSocket marker;
        QVERIFY(marker.Create());
        marker.Connect(u"127.0.0.1"_qs, m_server->Port());
        QVERIFY(QTest::qWaitFor([&] { return !marker.events.isEmpty(); }, 5000));
        QCOMPARE(s.events, events);
    }

private:
    void connectClient()
    {
        QVERIFY(m_socket->TryConnect(u"127.0.0.1"_qs, m_server->Port()));
        QVERIFY(m_server->WaitForClient());
        QVERIFY(waitForCalls(1));
        QCOMPARE(m_owner->calls, QStringList{u"Established"_qs});
        QVERIFY(m_socket->IsConnected());
        m_owner->calls.clear();
    }

    QStringList logLines() const
    {
        QFile f(m_socket->Log().Config().logFileName);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = QString::fromUtf8(f.readAll()).split(u"\r\n"_qs);
        lines.removeAll(QString());
        return lines;
    }

    bool waitForCalls(qsizetype n)
    {
        return QTest::qWaitFor([&] { return m_owner->calls.size() >= n; }, 5000);
    }
    // Whatever the packets before it caused has happened once a relayed
    // record sent after them arrives: the marker's call is taken off again.
    bool settle()
    {
        m_server->Send(u"OpCont#marker#x#.."_qs);
        if (!QTest::qWaitFor([&] { return m_owner->calls.endsWith(u"Op:marker:x"_qs); }, 5000))
            return false;
        m_owner->calls.removeLast();
        return true;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<CFakeServer> m_server;
    std::unique_ptr<CRecordingOwner> m_owner;
    std::unique_ptr<CClientSocket> m_socket;
};

QTEST_GUILESS_MAIN(TestClientSocket)
#include "tst_clientsocket.moc"
