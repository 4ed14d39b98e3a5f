// verdantis-server: the collaboration server.
#include "collabserver.h"
#include "serveroptions.h"
#include "servertexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QLockFile>
#include <QLoggingCategory>
#include <QTextStream>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    // nothing but a write is safe here; the event loop does the rest
    [[maybe_unused]] const auto written = ::write(signalPipe[0], &byte, 1);
}

// SIGINT and SIGTERM end the server in order: open solutions are stored first.
void stopOnSignals(CCollabServer &server)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &server);
    QObject::connect(notifier, &QSocketNotifier::activated, &server, [&server] {
        char byte = 0;
        [[maybe_unused]] const auto got = ::read(signalPipe[1], &byte, 1);
        server.StoreAll();
        QCoreApplication::quit();
    });
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

} // namespace
#endif

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("verdantis-server"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VERDANTIS_VERSION));

    QTextStream err(stderr);
    CServerCommandLine commandLine;
    QString error;
    if (!ParseServerCommandLine(QCoreApplication::arguments(), commandLine, &error)) {
        err << ServerTexts::Error(error) << Qt::endl;
        return 2;
    }
    if (commandLine.hashPassword) {
        QTextStream in(stdin);
        const QString password = in.readLine();
        if (password.isEmpty()) {
            err << ServerTexts::NoPassword << Qt::endl;
            return 2;
        }
        QTextStream(stdout) << PasswordHash::Make(password) << Qt::endl;
        return 0;
    }
    if (!commandLine.historyOf.isEmpty() || !commandLine.restoreOf.isEmpty()) {
        const QString &name = commandLine.historyOf.isEmpty() ? commandLine.restoreOf : commandLine.historyOf;
        CSolutionStore store(commandLine.options.dataDirectory, commandLine.options.database);
        store.SetHistoryKeep(commandLine.options.historyKeep);
        QLockFile lock(QDir(commandLine.options.dataDirectory).filePath(CCollabServer::LockFileName()));
        if (!commandLine.restoreOf.isEmpty() && !lock.tryLock(0)) {
            // a running server would write its own copy over the restored text
            err << ServerTexts::ServerRunning(commandLine.options.dataDirectory) << Qt::endl;
            return 1;
        }
        if (!store.Open(&error)) {
            err << ServerTexts::Error(error) << Qt::endl;
            return 1;
        }
        if (!commandLine.restoreOf.isEmpty() && !store.LockExclusive(&error)) {
            err << ServerTexts::StopBeforeRestore(error) << Qt::endl;
            return 1;
        }
        if (!store.Load(name)) {
            err << ServerTexts::NoSolutionNamed(name) << Qt::endl;
            return 1;
        }
        QTextStream out(stdout);
        if (!commandLine.historyOf.isEmpty()) {
            for (const CHistoryEntry &e : store.History(name)) {
                out << e.id << '\t' << e.saved.toUTC().toString(Qt::ISODate) << '\t' << e.user << '\t' << e.size
                    << Qt::endl;
            }
            return 0;
        }
        const std::optional<QString> text = store.HistoryText(name, commandLine.restoreId);
        if (!text) {
            err << ServerTexts::NoSuchSaveOf(name, commandLine.restoreId) << Qt::endl;
            return 1;
        }
        if (!store.Save(name, *text, ServerTexts::RestoredSaveUser(commandLine.restoreId))) {
            err << ServerTexts::Error(store.LastError()) << Qt::endl;
            return 1;
        }
        out << ServerTexts::SaveRestored(name, commandLine.restoreId) << Qt::endl;
        return 0;
    }
    if (!commandLine.grantUser.isEmpty() || !commandLine.revokeUser.isEmpty()) {
        CSolutionStore store(commandLine.options.dataDirectory, commandLine.options.database);
        if (!store.Open(&error)) {
            err << ServerTexts::Error(error) << Qt::endl;
            return 1;
        }
        const bool grant = !commandLine.grantUser.isEmpty();
        const QString user = grant ? commandLine.grantUser : commandLine.revokeUser;
        if (grant ? !store.Grant(commandLine.solution, user) : !store.Revoke(commandLine.solution, user)) {
            err << ServerTexts::Error(ServerTexts::OfSolution(commandLine.solution, store.LastError())) << Qt::endl;
            return 1;
        }
        QTextStream(stdout) << ServerTexts::OfSolution(commandLine.solution,
                                                       store.Members(commandLine.solution).join(u", "))
                            << Qt::endl;
        return 0;
    }
    if (commandLine.verbose)
        QLoggingCategory::setFilterRules(QStringLiteral("verdantis.server.debug=true"));

    CCollabServer server(commandLine.options);
    if (!server.Start(&error)) {
        err << ServerTexts::Error(error) << Qt::endl;
        return 1;
    }
#ifdef Q_OS_UNIX
    stopOnSignals(server);
#endif
    if (!server.Address().isLoopback() && !server.IsEncrypted()) {
        err << ServerTexts::InsecureListenWarning(commandLine.options.accounts.has_value()) << Qt::endl;
    } else if (!server.Address().isLoopback() && !commandLine.options.accounts) {
        err << ServerTexts::AnyUserWarning << Qt::endl;
    }
    QTextStream out(stdout);
    out << ServerTexts::Listening(server.Address().toString(), server.Port(), server.StoreLocation(),
                                  server.IsEncrypted())
        << Qt::endl;
    return app.exec();
}
