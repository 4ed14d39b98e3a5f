// The server under a stream of connections that open, send garbage or half
// requests and drop, while three users edit: the users end with the same
// solution to the byte, and the server's memory does not grow with the
// number of connections it has seen.
#include "soakkit.h"

#include "collab/packetframer.h"

#include "testkit.h"

#include <QTcpSocket>
#include <QTemporaryDir>

#include <memory>
#include <vector>

using namespace SoakKit;

namespace {

QByteArray utf16(const QString &text)
{
    return CUtf16Decoder::Encode(text);
}

// What a bad or broken client sends before it goes.
QByteArray badBytes(QRandomGenerator &rng, const QString &solution)
{
    static const QString requests[] = {
        u"UIDLog#mallory#"_qs,
        u"FileListReq#"_qs,
        u"FileDownRec#"_qs + solution + u'#',
        u"OpCont#"_qs + solution + u"#Req(tag:X;desc:y)#"_qs,
        u"FileSave#junk#40#Solution(name:x)"_qs,
    };
    QByteArray bytes;
    switch (rng.bounded(7)) {
    case 0: // noise, odd length too
        bytes.resize(1 + rng.bounded(3000));
        for (char &c : bytes)
            c = char(rng.bounded(256));
        break;
    case 1: { // a request cut anywhere, even inside a UTF-16 unit
        const QByteArray whole = utf16(requests[rng.bounded(5)]);
        bytes = whole.left(rng.bounded(int(whole.size())));
        break;
    }
    case 2: // logged in, then a save that announces more than ever comes
        bytes = utf16(u"UIDLog#mallory#FileSave#big#400000#"_qs) + utf16(QString(1000, u'a'));
        break;
    case 3: // a save larger than the server takes
        bytes = utf16(u"UIDLog#mallory#FileSave#huge#99999999#"_qs);
        break;
    case 4: // edits to a solution this connection does not hold
        bytes = utf16(u"UIDLog#mallory#"_qs + requests[3] + requests[3]);
        break;
    case 5: // asks for something large and never reads it
        bytes = utf16(u"UIDLog#mallory#"_qs);
        for (int i = 0; i < 50; ++i)
            bytes += utf16(requests[2]);
        break;
    case 6: // connects and says nothing
        break;
    }
    return bytes;
}

} // namespace

class TestServerSoak : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(u"verdantis.collab.packet=false"_qs);
        VERDANTIS_PREPARE_TEST_STORE();
    }

    void garbageConnectionsWhileUsersEdit()
    {
        const int total = TestKit::EnvNumber("VERDANTIS_SOAK_CONNECTIONS", 1000);
        const int parallel = TestKit::EnvNumber("VERDANTIS_SOAK_PARALLEL", 25);
        QRandomGenerator rng = SeededRandom("VERDANTIS_SOAK_SEED");
        qInfo("%d connections, %d at a time", total, parallel);
        const QString name = u"soak"_qs;

        QTemporaryDir data;
        // a small quarantine, so that a sanitizer build measures the server and
        // not the sanitizer's pool of freed memory
        QByteArray asan = qgetenv("ASAN_OPTIONS");
        qputenv("ASAN_OPTIONS", asan + (asan.isEmpty() ? "" : ":") + "quarantine_size_mb=8");
        CServer server(data.path(), {u"--stall-timeout"_qs, u"1"_qs, u"--max-packet"_qs, u"1048576"_qs});
        QVERIFY(server.Start());
        qputenv("ASAN_OPTIONS", asan);

        const Users users = MakeUsers(3, server.Port());
        for (auto &u : users)
            QVERIFY(u->LogIn());
        QVERIFY(users[0]->manager.AddRequirement(u"BASE"_qs, QString(20000, u'd')));
        QVERIFY(users[0]->client.SaveAsShared(name));
        QVERIFY(QTest::qWaitFor([&] { return users[0]->prompt.texts.contains(u"Solution soak saved"_qs); }, 60000));
        for (int i = 1; i < 3; ++i)
            QVERIFY(users[i]->Open(name));

        std::vector<std::unique_ptr<QTcpSocket>> open;
        int started = 0;
        int serial = 0;
        qint64 warmRss = -1;
        qint64 peakRss = 0;
        while (started < total || !open.empty()) {
            while (started < total && int(open.size()) < parallel) {
                auto s = std::make_unique<QTcpSocket>();
                s->connectToHost(QHostAddress::LocalHost, server.Port());
                s->setProperty("bytes", badBytes(rng, name));
                // gone after a few rounds of this loop, or when the server closes it
                s->setProperty("life", 1 + int(rng.bounded(20)));
                QObject::connect(s.get(), &QTcpSocket::connected, s.get(),
                                 [p = s.get()] { p->write(p->property("bytes").toByteArray()); });
                open.push_back(std::move(s));
                ++started;
            }
            Edit(*users[rng.bounded(3)], rng, ++serial);
            QTest::qWait(2);
            for (auto it = open.begin(); it != open.end();) {
                QTcpSocket *s = it->get();
                const int life = s->property("life").toInt() - 1;
                s->setProperty("life", life);
                s->readAll(); // whatever the server answers
                if (life <= 0 || s->state() == QAbstractSocket::UnconnectedState) {
                    s->abort();
                    it = open.erase(it);
                } else {
                    ++it;
                }
            }
            if (started >= std::min(total, 100) && warmRss < 0)
                warmRss = server.RssKiB();
            peakRss = std::max(peakRss, server.RssKiB());
        }
        QVERIFY(server.IsRunning());

        // every user's last word reaches everyone: then all have applied the same relays
        for (int i = 0; i < 3; ++i)
            QVERIFY(users[i]->manager.AddRequirement(u"END-"_qs + QString::number(i), QString()));
        QVERIFY(QTest::qWaitFor(
            [&] { return users[0]->markers == 3 && users[1]->markers == 3 && users[2]->markers == 3; }, 120000));
        const QString text = users[0]->manager.BuildSolutionText();
        for (auto &u : users)
            QCOMPARE(u->manager.BuildSolutionText(), text);
        QVERIFY(text.contains(u"END-2"_qs));

        const qint64 endRss = server.RssKiB();
        qInfo("server memory: %lld KiB after 100 connections, peak %lld KiB, %lld KiB after %d; %d edits", warmRss,
              peakRss, endRss, total, serial);
        QVERIFY(warmRss > 0);
        // what a connection costs must not stay behind once it is gone; under
        // AddressSanitizer the freed memory is held back on purpose, and
        // LeakSanitizer checks the server's leaks when it stops instead
#if !defined(__SANITIZE_ADDRESS__)
        QVERIFY2(endRss < warmRss + 64 * 1024, qPrintable(u"grew from %1 to %2 KiB"_qs.arg(warmRss).arg(endRss)));
#endif
        QVERIFY(server.Stop());
    }
};

QTEST_GUILESS_MAIN(TestServerSoak)
#include "tst_serversoak.moc"
