#pragma once

// Runs verdantis-cli in a home of its own, for the network and interface
// diagram command tests.

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

namespace CinCli {

struct Result
{
    int exitCode = -1;
    QString out;
    QString err;
};

inline Result Run(const QStringList &args, const QString &home)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VERDANTIS_CLI), args);
    Result r;
    if (!p.waitForFinished(120000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

inline QString TestData(const QString &relative)
{
    return QStringLiteral(VERDANTIS_TEST_DATA "/") + relative;
}

inline QString ReadText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace CinCli
