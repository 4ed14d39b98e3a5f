#include "serveroptions.h"
#include "servertexts.h"

#include <QCommandLineParser>
#include <QStandardPaths>

namespace {

bool positiveNumber(const QString &text, qint64 max, qint64 &out)
{
    bool ok = false;
    const qint64 n = text.toLongLong(&ok);
    if (!ok || n < 0 || n > max)
        return false;
    out = n;
    return true;
}

} // namespace

bool ParseServerCommandLine(const QStringList &arguments, CServerCommandLine &out, QString *error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(ServerTexts::Description);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption listen(QStringLiteral("listen"), ServerTexts::ListenHelp, QStringLiteral("address"),
                                    QStringLiteral("127.0.0.1"));
    const QCommandLineOption port(QStringLiteral("port"), ServerTexts::PortHelp, QStringLiteral("port"),
                                  QString::number(Collab::kDefaultPort));
    const QCommandLineOption data(QStringLiteral("data"), ServerTexts::DataHelp, QStringLiteral("dir"));
    const QCommandLineOption database(QStringLiteral("database"), ServerTexts::DatabaseHelp, QStringLiteral("url"));
    const QCommandLineOption users(QStringLiteral("users"), ServerTexts::UsersHelp, QStringLiteral("file"));
    const QCommandLineOption storeInterval(QStringLiteral("store-interval"), ServerTexts::StoreIntervalHelp,
                                           QStringLiteral("seconds"), QStringLiteral("30"));
    const QCommandLineOption maxPacket(QStringLiteral("max-packet"), ServerTexts::MaxPacketHelp,
                                       QStringLiteral("bytes"), QString::number(Collab::kDefaultMaxPacketBytes));
    const QCommandLineOption stallTimeout(QStringLiteral("stall-timeout"), ServerTexts::StallTimeoutHelp,
                                          QStringLiteral("seconds"), QStringLiteral("300"));
    const QCommandLineOption hashPassword(QStringLiteral("hash-password"), ServerTexts::HashPasswordHelp);
    const QCommandLineOption loginTimeout(QStringLiteral("login-timeout"), ServerTexts::LoginTimeoutHelp,
                                          QStringLiteral("seconds"), QStringLiteral("30"));
    const QCommandLineOption idleTimeout(QStringLiteral("idle-timeout"), ServerTexts::IdleTimeoutHelp,
                                         QStringLiteral("seconds"), QStringLiteral("28800"));
    const QCommandLineOption maxConnections(QStringLiteral("max-connections"), ServerTexts::MaxConnectionsHelp,
                                            QStringLiteral("count"), QStringLiteral("512"));
    const QCommandLineOption maxPerAddress(QStringLiteral("max-per-address"), ServerTexts::MaxPerAddressHelp,
                                           QStringLiteral("count"), QStringLiteral("32"));
    const QCommandLineOption maxNodes(QStringLiteral("max-nodes"), ServerTexts::MaxNodesHelp, QStringLiteral("count"),
                                      QStringLiteral("2000000"));
    const QCommandLineOption loginDelay(QStringLiteral("login-delay"), ServerTexts::LoginDelayHelp,
                                        QStringLiteral("ms"), QStringLiteral("1000"));
    const QCommandLineOption grant(QStringLiteral("grant"), ServerTexts::GrantHelp, QStringLiteral("user"));
    const QCommandLineOption revoke(QStringLiteral("revoke"), ServerTexts::RevokeHelp, QStringLiteral("user"));
    const QCommandLineOption history(QStringLiteral("history"), ServerTexts::HistoryHelp, QStringLiteral("solution"));
    const QCommandLineOption restore(QStringLiteral("restore"), ServerTexts::RestoreHelp, QStringLiteral("solution"));
    const QCommandLineOption historyKeep(QStringLiteral("history-keep"), ServerTexts::HistoryKeepHelp,
                                         QStringLiteral("count"), QStringLiteral("0"));
    parser.addPositionalArgument(QStringLiteral("argument"), ServerTexts::ArgumentHelp,
                                 QStringLiteral("[SOLUTION|ID]"));
    const QCommandLineOption tlsCert(QStringLiteral("tls-cert"), ServerTexts::TlsCertHelp, QStringLiteral("file"));
    const QCommandLineOption tlsKey(QStringLiteral("tls-key"), ServerTexts::TlsKeyHelp, QStringLiteral("file"));
    const QCommandLineOption insecureListen(QStringLiteral("insecure-listen"), ServerTexts::InsecureListenHelp);
    parser.addOptions({tlsCert, tlsKey, insecureListen, database});
    const QCommandLineOption verbose(QStringLiteral("verbose"), ServerTexts::VerboseHelp);
    parser.addOptions({grant,       revoke,         history,       restore,   historyKeep,  listen,       port,
                       data,        users,          storeInterval, maxPacket, stallTimeout, hashPassword, loginTimeout,
                       idleTimeout, maxConnections, maxPerAddress, maxNodes,  loginDelay,   verbose});
    parser.process(arguments);

    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };

    CServerOptions &o = out.options;
    const QString address = parser.value(listen);
    if (!o.listenAddress.setAddress(address))
        return fail(ServerTexts::NotAnAddress(address));
    if (parser.isSet(tlsCert) != parser.isSet(tlsKey))
        return fail(ServerTexts::TlsFilesTogether);
    o.tlsCertificateFile = parser.value(tlsCert);
    o.tlsKeyFile = parser.value(tlsKey);
    out.insecureListen = parser.isSet(insecureListen);
    if (!o.listenAddress.isLoopback() && o.tlsCertificateFile.isEmpty() && !out.insecureListen)
        return fail(ServerTexts::ClearTextListen(address));
    qint64 n = 0;
    if (!positiveNumber(parser.value(port), 65535, n))
        return fail(ServerTexts::NotAPort(parser.value(port)));
    o.port = quint16(n);
    o.dataDirectory =
        parser.isSet(data) ? parser.value(data) : QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (o.dataDirectory.isEmpty())
        return fail(ServerTexts::NoDataFolder);
    if (parser.isSet(database)) {
        o.database = parser.value(database);
        QString why;
        if (!CDatabaseUrl::Parse(o.database, &why))
            return fail(ServerTexts::BadDatabaseOption(why));
    }
    if (!positiveNumber(parser.value(storeInterval), 24 * 3600, n))
        return fail(ServerTexts::NotSeconds(parser.value(storeInterval)));
    o.storeIntervalMs = int(n * 1000);
    if (!positiveNumber(parser.value(stallTimeout), 24 * 3600, n))
        return fail(ServerTexts::NotSeconds(parser.value(stallTimeout)));
    o.stallTimeoutMs = int(n * 1000);
    if (!positiveNumber(parser.value(maxPacket), qint64(1) << 40, n) || n < 1024)
        return fail(ServerTexts::NotAPacketSize(parser.value(maxPacket)));
    o.maxPacketBytes = n;
    o.loginPacketBytes = std::min<qint64>(o.loginPacketBytes, o.maxPacketBytes);
    if (!positiveNumber(parser.value(loginTimeout), 24 * 3600, n))
        return fail(ServerTexts::NotSeconds(parser.value(loginTimeout)));
    o.loginTimeoutMs = int(n * 1000);
    if (!positiveNumber(parser.value(idleTimeout), 365 * 24 * 3600, n))
        return fail(ServerTexts::NotSeconds(parser.value(idleTimeout)));
    o.idleTimeoutMs = n * 1000;
    if (!positiveNumber(parser.value(maxConnections), 1000000, n) || n < 1)
        return fail(ServerTexts::NotConnections(parser.value(maxConnections)));
    o.maxConnections = int(n);
    if (!positiveNumber(parser.value(maxPerAddress), 1000000, n) || n < 1)
        return fail(ServerTexts::NotConnections(parser.value(maxPerAddress)));
    o.maxConnectionsPerAddress = int(n);
    if (!positiveNumber(parser.value(maxNodes), qint64(1) << 40, n) || n < 1)
        return fail(ServerTexts::NotElements(parser.value(maxNodes)));
    o.maxElements = qsizetype(n);
    if (!positiveNumber(parser.value(loginDelay), 3600 * 1000, n))
        return fail(ServerTexts::NotMilliseconds(parser.value(loginDelay)));
    o.loginDelayMs = int(n);
    if (parser.isSet(users)) {
        out.usersFile = parser.value(users);
        CAccounts accounts;
        if (!accounts.Read(out.usersFile, error))
            return false;
        o.accounts = accounts;
    }
    out.hashPassword = parser.isSet(hashPassword);
    out.grantUser = parser.value(grant);
    out.revokeUser = parser.value(revoke);
    const QStringList positional = parser.positionalArguments();
    const bool membership = parser.isSet(grant) || parser.isSet(revoke);
    if (membership && (positional.size() != 1 || (parser.isSet(grant) && parser.isSet(revoke))))
        return fail(ServerTexts::MembershipUsage);
    out.historyOf = parser.value(history);
    out.restoreOf = parser.value(restore);
    if (parser.isSet(restore)) {
        bool ok = false;
        out.restoreId = positional.value(0).toLongLong(&ok);
        if (positional.size() != 1 || !ok || out.restoreId <= 0)
            return fail(ServerTexts::RestoreUsage);
    } else if (!membership && !positional.isEmpty()) {
        return fail(ServerTexts::UnexpectedArgument(positional.first()));
    }
    if (membership)
        out.solution = positional.value(0);
    if (!positiveNumber(parser.value(historyKeep), 1000000, n))
        return fail(ServerTexts::NotSaves(parser.value(historyKeep)));
    o.historyKeep = int(n);
    out.verbose = parser.isSet(verbose);
    return true;
}
