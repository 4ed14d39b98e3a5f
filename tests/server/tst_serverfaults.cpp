// The server killed at random moments while three users edit and save: what
// it acknowledged as saved survives the restart, and users who reconnect and
// reopen see the same solution to the byte.
#include "soakkit.h"

#include "model/kelcontainers.h"
#include "model/kelrequirement.h"

#include "testkit.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace SoakKit;

namespace {

// Every text saved under name, read beside the server as another program would.
QStringList savedTexts(const QString &dataDir, const QString &name)
{
    QStringList texts;
    const QString connection = u"history-reader"_qs;
    {
        QSqlDatabase db = TestStore::Reader(dataDir, connection);
        if (db.open()) {
            QSqlQuery q(db);
            q.prepare(u"SELECT text FROM history WHERE name = ? ORDER BY id"_qs);
            q.addBindValue(name);
            if (q.exec()) {
                while (q.next())
                    texts.append(q.value(0).toString());
            }
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return texts;
}

QStringList requirementTags(const CKELDataManager &m)
{
    QStringList tags;
    for (int id : m.SortedIds()) {
        if (const CKELData *e = m.Lookup(id); e && e->GetTypeCode() == KEL::Requirement)
            tags.append(e->GetName());
    }
    return tags;
}

} // namespace

class TestServerFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(u"verdantis.collab.packet=false"_qs);
        VERDANTIS_PREPARE_TEST_STORE();
    }

    void killedServerKeepsWhatItAcknowledged()
    {
        const int rounds = TestKit::EnvNumber("VERDANTIS_FAULT_ROUNDS", 4);
        QRandomGenerator rng = SeededRandom("VERDANTIS_FAULT_SEED");
        const QString name = u"plant"_qs;

        // what each acknowledgement covered: the user's model when the
        // acknowledgement arrives holds exactly the relays the server applied
        // before it stored
        QStringList acknowledged;
        QTemporaryDir data;
        // stores of its own accord every second too, so kills also land in those
        CServer server(data.path(), {u"--store-interval"_qs, u"1"_qs});
        QVERIFY(server.Start());
        const Users users = MakeUsers(3, server.Port());
        for (auto &u : users) {
            CUser *user = u.get();
            QObject::connect(&user->client, &CSharedSolutionClient::saveFinished, &user->client,
                             [&acknowledged, user](const QString &, bool ok) {
                                 if (ok)
                                     acknowledged.append(user->manager.BuildSolutionText());
                             });
        }
        QVERIFY(users[0]->LogIn());
        QVERIFY(users[0]->manager.AddRequirement(u"BASE"_qs, u"first"_qs));
        QVERIFY(users[0]->client.SaveAsShared(name));
        QVERIFY(QTest::qWaitFor([&] { return !acknowledged.isEmpty(); }, 60000));

        int serial = 0;
        for (int round = 0; round < rounds; ++round) {
            QVERIFY(Rejoin(users, name));
            // a burst of edits and saves; the kill comes somewhere inside it
            const int killAt = 20 + int(rng.bounded(200));
            for (int step = 0; step < killAt; ++step) {
                CUser &u = *users[rng.bounded(3)];
                Edit(u, rng, ++serial);
                if (rng.bounded(8) == 0)
                    u.client.Save();
                // let some of it travel, not all
                QCoreApplication::processEvents();
                if (rng.bounded(4) == 0)
                    QTest::qWait(1);
            }
            QVERIFY(Restart(server, users));
            const QStringList saved = savedTexts(data.path(), name);
            for (qsizetype i = 0; i < acknowledged.size(); ++i)
                QVERIFY2(saved.contains(acknowledged[i]), qPrintable(u"acknowledged save %1 is missing"_qs.arg(i)));
            QVERIFY(Rejoin(users, name));
            const QString text = users[0]->manager.BuildSolutionText();
            for (auto &u : users)
                QCOMPARE(u->manager.BuildSolutionText(), text);
            // later stores may add to the last acknowledged save, never take from
            // it: no edit removes a requirement
            CKELDataManager last;
            QVERIFY(last.LoadSolutionText(acknowledged.last()));
            const QStringList now = requirementTags(users[0]->manager);
            for (const QString &tag : requirementTags(last))
                QVERIFY2(now.contains(tag), qPrintable(tag));
        }
        QVERIFY(server.Stop());
    }

    // Every record a client has received was stored before it was relayed: kill
    // the server anywhere in a burst from three users, and after a restart the
    // solution holds every requirement any of them saw added.
    void killedServerKeepsEveryRelayedRecord()
    {
        const int rounds = TestKit::EnvNumber("VERDANTIS_DURABLE_ROUNDS", 50);
        QRandomGenerator rng = SeededRandom("VERDANTIS_FAULT_SEED");
        const QString name = u"line"_qs;
        QTemporaryDir data;
        // never stores of its own accord: the records alone must carry the edits
        CServer server(data.path(), {u"--store-interval"_qs, u"0"_qs});
        QVERIFY(server.Start());
        const Users users = MakeUsers(3, server.Port());
        QSet<QString> seen;
        for (auto &u : users) {
            QObject::connect(&u->client, &CSharedSolutionClient::operationApplied, &u->client,
                             [&seen](const QString &record, bool) {
                                 static const QRegularExpression tag(u"tag:([^;]*);"_qs);
                                 if (const auto m = tag.match(record); m.hasMatch())
                                     seen.insert(m.captured(1));
                             });
        }
        QVERIFY(users[0]->LogIn());
        QVERIFY(users[0]->manager.AddRequirement(u"BASE"_qs, u"first"_qs));
        QVERIFY(users[0]->client.SaveAsShared(name));
        QVERIFY(QTest::qWaitFor([&] { return users[0]->client.SharedName() == name; }, 60000));

        int serial = 0;
        for (int round = 0; round < rounds; ++round) {
            QVERIFY(Rejoin(users, name));
            const int killAt = 5 + int(rng.bounded(60));
            for (int step = 0; step < killAt; ++step) {
                users[rng.bounded(3)]->manager.AddRequirement(u"K"_qs + QString::number(++serial), u"burst"_qs);
                QCoreApplication::processEvents();
                // let some of it travel, not all
                if (rng.bounded(3) == 0)
                    QTest::qWait(1);
            }
            QVERIFY(Restart(server, users));
            QVERIFY(Rejoin(users, name));
            const CKELDataManager &m = users[0]->manager;
            for (const QString &tag : std::as_const(seen))
                QVERIFY2(m.FindRequirement(tag),
                         qPrintable(u"round %1: %2 was relayed and lost"_qs.arg(round).arg(tag)));
            const QString text = m.BuildSolutionText();
            for (auto &u : users)
                QCOMPARE(u->manager.BuildSolutionText(), text);
        }
        // the kills landed inside bursts that did reach the users
        QVERIFY(seen.size() >= rounds);
        QVERIFY(server.Stop());
    }
};

QTEST_GUILESS_MAIN(TestServerFaults)
#include "tst_serverfaults.moc"
