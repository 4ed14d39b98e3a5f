#pragma once

// Runs the real verdantis-cli as a user would, in a home (and working folder)
// of its own, so that no setting of the machine's user leaks into a test.

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

namespace CliRun {

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
    env.remove(QStringLiteral("XDG_CACHE_HOME"));
    env.remove(QStringLiteral("XDG_CONFIG_HOME"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(home);
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

inline QByteArray ReadBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QString ReadText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace CliRun
