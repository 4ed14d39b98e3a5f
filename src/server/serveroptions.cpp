#include "serveroptions.h"

#include <QCommandLineParser>
#include <QFile>
#include <QStandardPaths>
#include <QTextStream>

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

bool ReadUsersFile(const QString &path, QSet<QString> &users, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (error)
            *error = QStringLiteral("cannot read the users file %1: %2").arg(path, file.errorString());
        return false;
    }
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        users.insert(line);
    }
    return true;
}

bool ParseServerCommandLine(const QStringList &arguments, CServerCommandLine &out, QString *error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Collaboration server of Verdantis: keeps shared solutions and relays every edit to the users who have "
        "the solution open.\nThe protocol carries no password and no encryption: run the server on a trusted "
        "network or reach it through an SSH tunnel."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption listen(QStringLiteral("listen"),
                                    QStringLiteral("Address to listen on (default 127.0.0.1; 0.0.0.0 for all)."),
                                    QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Port to listen on (default 8002; 0 picks a free one)."),
                                  QStringLiteral("port"), QString::number(Collab::kDefaultPort));
    const QCommandLineOption data(QStringLiteral("data"),
                                  QStringLiteral("Folder of the solution database (default: the user's data folder)."),
                                  QStringLiteral("dir"));
    const QCommandLineOption users(QStringLiteral("users"),
                                   QStringLiteral("File of the user ids that may log in, one a line (default: any id)."),
                                   QStringLiteral("file"));
    const QCommandLineOption storeInterval(QStringLiteral("store-interval"),
                                           QStringLiteral("Seconds between stores of open solutions (default 30)."),
                                           QStringLiteral("seconds"), QStringLiteral("30"));
    const QCommandLineOption maxPacket(QStringLiteral("max-packet"),
                                       QStringLiteral("Largest request in bytes (default 268435456)."),
                                       QStringLiteral("bytes"), QString::number(Collab::kDefaultMaxPacketBytes));
    const QCommandLineOption stallTimeout(QStringLiteral("stall-timeout"),
                                          QStringLiteral("Seconds a begun request may wait for its rest (default 300)."),
                                          QStringLiteral("seconds"), QStringLiteral("300"));
    const QCommandLineOption verbose(QStringLiteral("verbose"), QStringLiteral("Log every connection and refusal."));
    parser.addOptions({listen, port, data, users, storeInterval, maxPacket, stallTimeout, verbose});
    parser.process(arguments);

    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };

    CServerOptions &o = out.options;
    const QString address = parser.value(listen);
    if (!o.listenAddress.setAddress(address))
        return fail(QStringLiteral("not an IP address: %1").arg(address));
    qint64 n = 0;
    if (!positiveNumber(parser.value(port), 65535, n))
        return fail(QStringLiteral("not a port number: %1").arg(parser.value(port)));
    o.port = quint16(n);
    o.dataDirectory = parser.isSet(data) ? parser.value(data)
                                          : QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (o.dataDirectory.isEmpty())
        return fail(QStringLiteral("no data folder: give one with --data"));
    if (!positiveNumber(parser.value(storeInterval), 24 * 3600, n))
        return fail(QStringLiteral("not a number of seconds: %1").arg(parser.value(storeInterval)));
    o.storeIntervalMs = int(n * 1000);
    if (!positiveNumber(parser.value(stallTimeout), 24 * 3600, n))
        return fail(QStringLiteral("not a number of seconds: %1").arg(parser.value(stallTimeout)));
    o.stallTimeoutMs = int(n * 1000);
    if (!positiveNumber(parser.value(maxPacket), qint64(1) << 40, n) || n < 1024)
        return fail(QStringLiteral("not a packet size of at least 1024 bytes: %1").arg(parser.value(maxPacket)));
    o.maxPacketBytes = n;
    if (parser.isSet(users)) {
        out.usersFile = parser.value(users);
        QSet<QString> ids;
        if (!ReadUsersFile(out.usersFile, ids, error))
            return false;
        o.users = ids;
    }
    out.verbose = parser.isSet(verbose);
    return true;
}
