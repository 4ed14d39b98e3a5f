// verdantis-server: the collaboration server.
#include "collabserver.h"
#include "serveroptions.h"

#include <QCoreApplication>
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
        err << "verdantis-server: " << error << Qt::endl;
        return 2;
    }
    if (commandLine.verbose)
        QLoggingCategory::setFilterRules(QStringLiteral("verdantis.server.debug=true"));

    CCollabServer server(commandLine.options);
    if (!server.Start(&error)) {
        err << "verdantis-server: " << error << Qt::endl;
        return 1;
    }
#ifdef Q_OS_UNIX
    stopOnSignals(server);
#endif
    if (!server.Address().isLoopback()) {
        err << "verdantis-server: warning: listening beyond this machine. The protocol carries no password and no "
               "encryption; use a trusted network or an SSH tunnel."
            << Qt::endl;
    }
    QTextStream out(stdout);
    out << "verdantis-server: listening on " << server.Address().toString() << ':' << server.Port() << ", data in "
        << commandLine.options.dataDirectory << Qt::endl;
    return app.exec();
}
