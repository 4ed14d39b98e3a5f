#include "simulatorprocess.h"

#include <QProcess>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace {

// The interpreter leads a process group of its own, so that closing it also
// ends the simulator it started instead of leaving it behind.
void signalGroup(QProcess &p, bool hard)
{
#ifdef Q_OS_UNIX
    const qint64 pid = p.processId();
    if (pid > 0)
        ::kill(-pid_t(pid), hard ? SIGKILL : SIGTERM);
#endif
    if (hard)
        p.kill();
    else
        p.terminate();
}

} // namespace

CSimulatorProcess::CSimulatorProcess(QObject *parent) : QObject(parent) {}

CSimulatorProcess::~CSimulatorProcess()
{
    Close();
}

QString CSimulatorProcess::InterpreterProgram()
{
#ifdef Q_OS_WIN
    return QStringLiteral("cmd");
#else
    return QStringLiteral("/bin/sh");
#endif
}

QString CSimulatorProcess::LineEnd()
{
#ifdef Q_OS_WIN
    return QStringLiteral("\r\n");
#else
    return QStringLiteral("\n");
#endif
}

QString CSimulatorProcess::EndedText()
{
    return QStringLiteral("\r\n<TEST INFO>: Child process ended\r\n");
}

bool CSimulatorProcess::Open(const QString &commandLine, QString *error)
{
    Close();
    auto p = std::make_unique<QProcess>();
    // error output goes the same way as the output, as on a console
    p->setProcessChannelMode(QProcess::MergedChannels);
#ifdef Q_OS_UNIX
    p->setChildProcessModifier([] { ::setpgid(0, 0); });
#endif
    connect(p.get(), &QProcess::readyReadStandardOutput, this, &CSimulatorProcess::readAvailable);
    connect(p.get(), &QProcess::finished, this, &CSimulatorProcess::onFinished);
#ifdef Q_OS_WIN
    p->setProgram(InterpreterProgram());
    p->setNativeArguments(QStringLiteral("/c ") + commandLine);
    p->start();
#else
    p->start(InterpreterProgram(), {QStringLiteral("-c"), commandLine});
#endif
    if (!p->waitForStarted(10000)) {
        if (error)
            *error = p->errorString();
        p->disconnect(this);
        return false;
    }
    m_decoder.resetState();
    m_process = std::move(p);
    return true;
}

bool CSimulatorProcess::Write(const QString &text)
{
    if (!IsRunning())
        return false;
    const QByteArray bytes = text.toUtf8();
    // QProcess keeps what the pipe does not take at once and writes the
    // rest as the child reads, so a long program is never cut
    return m_process->write(bytes) == bytes.size();
}

void CSimulatorProcess::Close()
{
    if (!m_process)
        return;
    std::unique_ptr<QProcess> p = std::move(m_process);
    p->disconnect(this);
    if (p->state() == QProcess::NotRunning)
        return;
    p->closeWriteChannel();
    signalGroup(*p, false);
    if (!p->waitForFinished(2000)) {
        signalGroup(*p, true);
        p->waitForFinished(2000);
    }
}

bool CSimulatorProcess::IsRunning() const
{
    return m_process && m_process->state() == QProcess::Running;
}

qint64 CSimulatorProcess::ProcessId() const
{
    return m_process ? m_process->processId() : 0;
}

void CSimulatorProcess::readAvailable()
{
    if (!m_process)
        return;
    const QByteArray bytes = m_process->readAllStandardOutput();
    if (bytes.isEmpty())
        return;
    const QString chunk = m_decoder.decode(bytes);
    if (!chunk.isEmpty())
        emit output(chunk);
}

void CSimulatorProcess::onFinished()
{
    readAvailable();
    emit output(EndedText());
    emit ended();
}
