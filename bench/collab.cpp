// Collaboration on loopback: one verdantis-server, many clients on one
// shared solution.
//   bench_collab [--clients 20] [--ops 20000] [--rate 1000] [--paced-ops 5000] [--nodes 100000] [--tls]
//                [--postgres | --database URL]
// With --tls the server speaks TLS with a certificate openssl makes for the run.
// With --postgres it stores in a throwaway PostgreSQL cluster; with
// --database URL in that database (made for the run: the bench writes to it).
// Prints:
//   relayed operations per second, every client applying every operation;
//   99th-percentile time from send to the sender's own apply at --rate;
//   seconds until a late joiner of a --nodes solution is up to date.
#include "pgcluster.h"
#include "treegen.h"

#include "collab/sharedsolutionclient.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelrecord.h"
#include "model/kelrequirement.h"
#include "model/keltypes.h"
#include "model/prompt.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

struct CUser
{
    CUser(const QString &id, quint16 port)
    {
        manager.SetPrompt(&prompt);
        manager.NewSolution();
        client.SetLoginSettings(QStringLiteral("127.0.0.1"), port, id, QString());
    }
    CSilentPrompt prompt;
    CKELDataManager manager;
    CSharedSolutionClient client{manager};
    int applied = 0;
};

bool waitUntil(const std::function<bool()> &done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

bool logIn(CUser &u)
{
    return u.client.ConnectToServer() && waitUntil([&] { return u.client.IsLoggedIn(); }, 10000);
}

bool open(CUser &u, const QString &name)
{
    bool opened = false;
    QObject::connect(&u.client, &CSharedSolutionClient::sharedSolutionOpened, &u.client, [&opened] { opened = true; });
    return u.client.OpenShared(name) && waitUntil([&] { return opened; }, 60000);
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

class CServer
{
public:
    bool Start(const QString &dir, bool tls, const QString &database)
    {
        QStringList arguments{QStringLiteral("--port"),           QStringLiteral("0"),   QStringLiteral("--data"), dir,
                              QStringLiteral("--store-interval"), QStringLiteral("3600")};
        if (!database.isEmpty())
            arguments << QStringLiteral("--database") << database;
        if (tls) {
            QProcess openssl;
            openssl.start(QStringLiteral("openssl"),
                          {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                           QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                           QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                           QStringLiteral("-days"), QStringLiteral("1"), QStringLiteral("-subj"),
                           QStringLiteral("/CN=bench"), QStringLiteral("-keyout"), dir + QStringLiteral("/bench.key"),
                           QStringLiteral("-out"), dir + QStringLiteral("/bench.pem")});
            if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
                return false;
            arguments << QStringLiteral("--tls-cert") << dir + QStringLiteral("/bench.pem")
                      << QStringLiteral("--tls-key") << dir + QStringLiteral("/bench.key");
        }
        m_process.setProgram(QStringLiteral(VERDANTIS_SERVER));
        m_process.setArguments(arguments);
        m_process.start();
        if (!m_process.waitForStarted(5000))
            return false;
        QByteArray out;
        for (int i = 0; i < 100 && !out.contains('\n'); ++i) {
            m_process.waitForReadyRead(100);
            out += m_process.readAllStandardOutput();
        }
        const qsizetype at = out.indexOf("127.0.0.1:");
        m_port = at < 0 ? 0 : quint16(out.mid(at + 10, out.indexOf(',', at) - at - 10).toUInt());
        return m_port != 0;
    }
    ~CServer()
    {
        m_process.terminate();
        m_process.waitForFinished(10000);
    }
    quint16 Port() const { return m_port; }

private:
    QProcess m_process;
    quint16 m_port = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("verdantis.collab.packet=false"));
    QCommandLineParser parser;
    const QCommandLineOption clientsOpt(QStringLiteral("clients"), QStringLiteral("clients"), QStringLiteral("n"),
                                        QStringLiteral("20"));
    const QCommandLineOption opsOpt(QStringLiteral("ops"), QStringLiteral("burst operations"), QStringLiteral("n"),
                                    QStringLiteral("20000"));
    const QCommandLineOption rateOpt(QStringLiteral("rate"), QStringLiteral("paced operations per second"),
                                     QStringLiteral("n"), QStringLiteral("1000"));
    const QCommandLineOption pacedOpt(QStringLiteral("paced-ops"), QStringLiteral("paced operations"),
                                      QStringLiteral("n"), QStringLiteral("5000"));
    const QCommandLineOption nodesOpt(QStringLiteral("nodes"), QStringLiteral("nodes of the late joiner's solution"),
                                      QStringLiteral("n"), QStringLiteral("100000"));
    const QCommandLineOption tlsOpt(QStringLiteral("tls"), QStringLiteral("encrypt every connection"));
    const QCommandLineOption databaseOpt(QStringLiteral("database"),
                                         QStringLiteral("the server stores in this PostgreSQL database"),
                                         QStringLiteral("postgresql://user@host/db"));
    const QCommandLineOption postgresOpt(QStringLiteral("postgres"),
                                         QStringLiteral("the server stores in a throwaway PostgreSQL cluster"));
    parser.addOptions({clientsOpt, opsOpt, rateOpt, pacedOpt, nodesOpt, tlsOpt, databaseOpt, postgresOpt});
    parser.process(app);
    const int clients = parser.value(clientsOpt).toInt();
    const int ops = parser.value(opsOpt).toInt();
    const int rate = parser.value(rateOpt).toInt();
    const int pacedOps = parser.value(pacedOpt).toInt();
    const int nodes = parser.value(nodesOpt).toInt();

    QString database = parser.value(databaseOpt);
    CPostgresCluster cluster;
    if (parser.isSet(postgresOpt)) {
        QString error;
        // synced as a real cluster is: every commit reaches the disk
        if (!cluster.Start(&error, true) || !cluster.CreateDatabase(QStringLiteral("bench"), &error)) {
            std::fprintf(stderr, "no PostgreSQL cluster: %s\n", qPrintable(error));
            return 1;
        }
        database = cluster.Url(QStringLiteral("bench"));
    }
    std::printf("store: %s\n", database.isEmpty() ? "SQLite" : "PostgreSQL");

    QTemporaryDir dir;
    CServer server;
    const bool tls = parser.isSet(tlsOpt);
    if (!server.Start(dir.path(), tls, database)) {
        std::fprintf(stderr, "the server did not start\n");
        return 1;
    }

    // every user changes a requirement of its own, so no edit is refused
    std::vector<std::unique_ptr<CUser>> users;
    for (int i = 0; i < clients; ++i)
        users.push_back(std::make_unique<CUser>(QStringLiteral("user%1").arg(i), server.Port()));
    // the silent prompt says yes to the run's own self-signed certificate
    for (auto &u : users)
        u->client.SetTls(tls);
    for (int i = 0; i < clients; ++i)
        users[0]->manager.AddRequirement(QStringLiteral("Q%1").arg(i), QString());
    for (auto &u : users) {
        if (!logIn(*u)) {
            std::fprintf(stderr, "login failed\n");
            return 1;
        }
    }
    users[0]->client.SaveAsShared(QStringLiteral("bench"));
    if (!waitUntil([&] { return users[0]->client.IsShared(); }, 10000))
        return 1;
    for (int i = 1; i < clients; ++i) {
        if (!open(*users[i], QStringLiteral("bench"))) {
            std::fprintf(stderr, "open failed\n");
            return 1;
        }
    }
    std::vector<int> requirementOf(size_t(clients), 0);
    for (int i = 0; i < clients; ++i)
        requirementOf[size_t(i)] = users[size_t(i)]->manager.FindRequirement(QStringLiteral("Q%1").arg(i))->GetId();

    // latency bookkeeping: the description carries the operation's serial
    QElapsedTimer clock;
    clock.start();
    std::vector<qint64> sentAt;
    std::vector<double> latencies;
    for (int i = 0; i < clients; ++i) {
        CUser *u = users[size_t(i)].get();
        QObject::connect(&u->client, &CSharedSolutionClient::operationApplied, &u->client,
                         [u, i, clients, &sentAt, &latencies, &clock](const QString &record) {
                             ++u->applied;
                             if (!record.contains(u"desc:L"))
                                 return;
                             const CKELRecord r(record);
                             const QString desc = r.GetText(u"desc");
                             if (!desc.startsWith(u'L'))
                                 return;
                             const int serial = desc.mid(1).toInt();
                             if (serial % clients == i && size_t(serial) < sentAt.size())
                                 latencies.push_back(double(clock.nsecsElapsed() - sentAt[size_t(serial)]) / 1e6);
                         });
    }
    auto resetApplied = [&] {
        for (auto &u : users)
            u->applied = 0;
    };

    // 1. a burst: every user sends its share at once
    resetApplied();
    QElapsedTimer burst;
    burst.start();
    for (int k = 0; k < ops; ++k) {
        const int i = k % clients;
        users[size_t(i)]->manager.ChangeRequirement(requirementOf[size_t(i)], QStringLiteral("Q%1").arg(i),
                                                    QStringLiteral("B%1").arg(k));
        if (k % 256 == 0)
            QCoreApplication::processEvents();
    }
    if (!waitUntil([&] { return std::all_of(users.begin(), users.end(), [&](auto &u) { return u->applied >= ops; }); },
                   600000)) {
        std::fprintf(stderr, "burst did not complete\n");
        return 1;
    }
    const double burstSeconds = double(burst.nsecsElapsed()) / 1e9;
    std::printf("relayed operations per second (%d clients, %d operations): %.0f\n", clients, ops,
                double(ops) / burstSeconds);

    // 2. paced: one operation every 1/rate seconds, round robin
    resetApplied();
    sentAt.assign(size_t(pacedOps), 0);
    latencies.clear();
    int next = 0;
    QTimer pace;
    pace.setTimerType(Qt::PreciseTimer);
    const qint64 interval = 1000000000LL / rate;
    const qint64 start = clock.nsecsElapsed();
    QObject::connect(&pace, &QTimer::timeout, &pace, [&] {
        // catch up to the schedule, so the rate holds even when a tick is late
        while (next < pacedOps && clock.nsecsElapsed() - start >= qint64(next) * interval) {
            const int i = next % clients;
            sentAt[size_t(next)] = clock.nsecsElapsed();
            users[size_t(i)]->manager.ChangeRequirement(requirementOf[size_t(i)], QStringLiteral("Q%1").arg(i),
                                                        QStringLiteral("L%1").arg(next));
            ++next;
        }
        if (next >= pacedOps)
            pace.stop();
    });
    pace.start(1);
    if (!waitUntil([&] { return int(latencies.size()) >= pacedOps; }, 600000)) {
        std::fprintf(stderr, "paced run did not complete\n");
        return 1;
    }
    std::printf("send-to-own-apply at %d operations per second: median %.2f ms, 99th percentile %.2f ms\n", rate,
                percentile(latencies, 0.5), percentile(latencies, 0.99));

    // 3. a late joiner of a large solution, while the others keep editing
    CUser owner(QStringLiteral("owner"), server.Port());
    owner.client.SetTls(tls);
    TreeGen::AddTree(owner.manager, KEL::RBT, QStringLiteral("Big"), nodes, TreeGen::Shape::Bushy);
    if (!logIn(owner))
        return 1;
    owner.client.SaveAsShared(QStringLiteral("large"));
    bool saved = false;
    QObject::connect(&owner.client, &CSharedSolutionClient::saveFinished, &owner.client, [&saved] { saved = true; });
    if (!waitUntil([&] { return saved; }, 120000))
        return 1;
    for (int k = 0; k < 50; ++k)
        owner.manager.AddRequirement(QStringLiteral("J%1").arg(k), QString());
    CUser joiner(QStringLiteral("joiner"), server.Port());
    joiner.client.SetTls(tls);
    if (!logIn(joiner))
        return 1;
    QElapsedTimer join;
    join.start();
    if (!open(joiner, QStringLiteral("large")))
        return 1;
    const double joinSeconds = double(join.nsecsElapsed()) / 1e9;
    waitUntil([&] { return owner.manager.FindRequirement(QStringLiteral("J49")) != nullptr; }, 60000);
    waitUntil([&] { return joiner.manager.BuildSolutionText().size() == owner.manager.BuildSolutionText().size(); },
              10000);
    const bool same = joiner.manager.BuildSolutionText() == owner.manager.BuildSolutionText();
    std::printf("late joiner of a %d-node solution up to date in %.2f s (%s)\n", nodes, joinSeconds,
                same ? "texts equal" : "TEXTS DIFFER");
    return same ? 0 : 1;
}
