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
    int exitCode = -1; // -1 also when it crashed or did not end in time
    QString out;
    QString err;
    bool finished = false;
    bool crashed = false;
};

// Runs a program (killed after timeoutMs) with HOME and the working folder
// at home and no display; its output goes to stdoutFile when one is named.
inline Result RunProgram(const QString &program, const QStringList &args, const QString &home, int timeoutMs = 120000,
                         const QString &stdoutFile = QString())
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const char *name : {"XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
        env.remove(QString::fromLatin1(name));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(home);
    if (!stdoutFile.isEmpty())
        p.setStandardOutputFile(stdoutFile);
    p.start(program, args);
    Result r;
    r.finished = p.waitForFinished(timeoutMs);
    if (!r.finished) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.crashed = p.exitStatus() != QProcess::NormalExit;
    r.exitCode = r.crashed ? -1 : p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

inline Result Run(const QStringList &args, const QString &home)
{
    return RunProgram(QStringLiteral(VERDANTIS_CLI), args, home);
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
