#include "spinverifier.h"

#include "translate/promelawriter.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/types.h>
#include <unistd.h>
#endif

QList<int> TrailNodes(const CBehaviorModel &model, const QList<int> &steps)
{
    QList<int> nodes = model.initNodes;
    for (int s : steps)
        nodes += model.steps[size_t(s)].nodes;
    return nodes;
}

namespace {

struct ToolRun
{
    bool started = false;
    bool stopped = false; // killed for a limit or a cancel
    int exitCode = -1;
    QString output;
};

class Session
{
public:
    Session(const CVerifyOptions &options, const QString &dir)
        : m_options(options)
        , m_dir(dir)
        , m_deadline(qint64(std::max(1, options.timeoutSeconds)) * 1000)
    {}

    bool TimedOut() const { return m_deadline.hasExpired(); }
    bool Cancelled() const { return m_options.cancel && m_options.cancel->load(); }
    bool StateLimit() const { return m_stateLimit; }
    qint64 StatesSeen() const { return m_statesSeen; }

    // Runs a program to its end or until a limit; its output merged.
    ToolRun Run(const QString &program, const QStringList &args, bool watchStates = false)
    {
        ToolRun r;
        QProcess p;
        p.setWorkingDirectory(m_dir);
#ifdef Q_OS_UNIX
        // the compiler runs programs of its own: a group of their own lets a
        // cancel end them all, not only the one we started
        p.setChildProcessModifier([] { ::setpgid(0, 0); });
#endif
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(program, args);
        if (!p.waitForStarted(30000))
            return r;
        r.started = true;
        static const QRegularExpression states(QStringLiteral("States=\\s*([0-9.e+]+)"));
        QByteArray pending;
        while (p.state() != QProcess::NotRunning) {
            p.waitForReadyRead(100);
            const QByteArray chunk = p.readAll();
            r.output += QString::fromLocal8Bit(chunk);
            if (watchStates) {
                pending += chunk;
                qsizetype eol;
                while ((eol = pending.indexOf('\n')) >= 0) {
                    const QString line = QString::fromLocal8Bit(pending.left(eol));
                    pending.remove(0, eol + 1);
                    const QRegularExpressionMatch m = states.match(line);
                    if (!m.hasMatch())
                        continue;
                    m_statesSeen = qint64(m.captured(1).toDouble());
                    if (m_options.progress)
                        m_options.progress(m_statesSeen);
                    if (m_statesSeen >= m_options.maxStates)
                        m_stateLimit = true;
                }
            }
            if (m_stateLimit || TimedOut() || Cancelled()) {
                r.stopped = true;
#ifdef Q_OS_UNIX
                if (p.processId() > 0)
                    ::kill(-pid_t(p.processId()), SIGKILL);
#endif
                p.kill();
                p.waitForFinished(5000);
                return r;
            }
        }
        r.output += QString::fromLocal8Bit(p.readAll());
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        return r;
    }

private:
    const CVerifyOptions &m_options;
    QString m_dir;
    QDeadlineTimer m_deadline;
    bool m_stateLimit = false;
    qint64 m_statesSeen = 0;
};

// "N states, stored" and, when atomic steps were stored too, the nominal count.
qint64 storedStates(const QString &output)
{
    static const QRegularExpression nominal(QStringLiteral("([0-9.e+]+) nominal states"));
    static const QRegularExpression stored(QStringLiteral("([0-9.e+]+) states, stored"));
    QRegularExpressionMatch m = nominal.match(output);
    if (!m.hasMatch())
        m = stored.match(output);
    return m.hasMatch() ? qint64(m.captured(1).toDouble()) : 0;
}

// The steps a trail takes, read from the replay's "file:LINE" positions.
QList<int> trailSteps(const QString &replay, const CPromelaModel &pml)
{
    // a step's guard is the statement in parentheses; its assignments follow on the same line
    static const QRegularExpression move(
        QStringLiteral("^\\s*\\d+:\\s+proc\\s+\\d+ \\(main:\\d+\\) \\S+:(\\d+) \\(state \\d+\\)\\s+\\[\\("));
    QList<int> steps;
    for (const QString &line : replay.split(u'\n')) {
        const QRegularExpressionMatch m = move.match(line);
        if (!m.hasMatch())
            continue;
        const int step = pml.stepOfLine.value(m.captured(1).toInt(), -1);
        if (step >= 0)
            steps.append(step);
    }
    return steps;
}

QString limitMessage(const Session &session, const CVerifyOptions &options)
{
    if (session.StateLimit())
        return QStringLiteral("the search stopped at the limit of %1 states (--max-states) after %2 states")
            .arg(options.maxStates)
            .arg(session.StatesSeen());
    return QStringLiteral("the search stopped at the time limit of %1 seconds (--timeout)").arg(options.timeoutSeconds);
}

} // namespace

CVerifyReport RunSpinVerification(const CBehaviorModel &model, const CVerifyOptions &options)
{
    CVerifyReport report;
    QElapsedTimer clock;
    clock.start();
    const auto finish = [&](CVerifyReport::Outcome outcome, const QString &message) {
        report.outcome = outcome;
        report.message = message;
        report.seconds = double(clock.elapsed()) / 1000.0;
        return report;
    };

    const QString spin =
        QStandardPaths::findExecutable(options.spin).isEmpty() && !QFile::exists(options.spin)
            ? QString()
            : (QFile::exists(options.spin) ? options.spin : QStandardPaths::findExecutable(options.spin));
    if (spin.isEmpty())
        return finish(CVerifyReport::ToolMissing,
                      QStringLiteral("the model checker '%1' is not installed; install the Debian package 'spin'")
                          .arg(options.spin));
    const QString cc =
        QFile::exists(options.compiler) ? options.compiler : QStandardPaths::findExecutable(options.compiler);
    if (cc.isEmpty())
        return finish(CVerifyReport::ToolMissing,
                      QStringLiteral("the C compiler '%1' is not installed; install the Debian package 'gcc'")
                          .arg(options.compiler));

    QString property;
    if (!options.property.trimmed().isEmpty()) {
        QString error;
        property = CPromelaWriter::MapProperty(model, options.property, &error);
        if (property.isEmpty())
            return finish(CVerifyReport::PropertyError, QStringLiteral("the property cannot be read: ") + error);
    }

    QTemporaryDir scratch;
    if (!scratch.isValid())
        return finish(CVerifyReport::ToolFailed,
                      QStringLiteral("no scratch folder can be made: ") + scratch.errorString());
    Session session(options, scratch.path());
    const auto stopped = [&]() {
        if (session.Cancelled())
            return finish(CVerifyReport::Cancelled, QStringLiteral("the verification was cancelled"));
        report.states = std::max(report.states, session.StatesSeen());
        return finish(CVerifyReport::LimitReached, limitMessage(session, options));
    };

    // the state vector holds every variable and counter
    int highest = 1;
    for (const CBehaviorStep &s : model.steps) {
        highest = std::max(highest, s.pc);
        for (const auto &c : s.counters)
            highest = std::max(highest, c.second);
    }
    const qint64 vector = qint64(model.variables.size()) * 4 + qint64(model.threads) * 4 + 256;
    const int hashBits =
        std::clamp(int(std::ceil(std::log2(double(std::max<qint64>(options.maxStates, 2))))) + 1, 12, 26);
    const qint64 frequency = std::clamp<qint64>(options.maxStates / 10, 1, 1000000);

    // one pan per model: the plain one for deadlocks and reachability, one
    // with the property's never claim
    const auto build = [&](const QString &name, const CPromelaModel &pml, bool safety, QString *why) {
        QFile f(scratch.filePath(name + QStringLiteral(".pml")));
        if (!f.open(QIODevice::WriteOnly) || f.write(pml.text.toUtf8()) < 0) {
            *why = QStringLiteral("cannot write the model: ") + f.errorString();
            return false;
        }
        f.close();
        // -o3 keeps each step's statements apart, so the unreached list names them
        ToolRun r = session.Run(spin, {QStringLiteral("-o3"), QStringLiteral("-a"), name + QStringLiteral(".pml")});
        if (r.stopped)
            return false;
        if (!r.started || r.exitCode != 0) {
            *why = QStringLiteral("spin refused the generated model (this is a fault of Verdantis): ")
                   + r.output.trimmed().left(400);
            return false;
        }
        QStringList args{QStringLiteral("-O0"),
                         QStringLiteral("-w"),
                         QStringLiteral("-o"),
                         name,
                         QStringLiteral("-DVECTORSZ=%1").arg(vector),
                         QStringLiteral("-DFREQ=%1").arg(frequency),
                         QStringLiteral("-DNOFAIR")};
        if (safety)
            args << QStringLiteral("-DSAFETY") << QStringLiteral("-DBFS");
        args << QStringLiteral("pan.c");
        r = session.Run(cc, args);
        if (r.stopped)
            return false;
        if (!r.started || r.exitCode != 0) {
            *why = QStringLiteral("the verifier Spin generated does not compile: ") + r.output.trimmed().left(400);
            return false;
        }
        return true;
    };

    const CPromelaModel plain = CPromelaWriter::Write(model);
    QString why;
    if (!build(QStringLiteral("model"), plain, true, &why))
        return why.isEmpty() ? stopped() : finish(CVerifyReport::ToolFailed, why);
    const QString hash = QStringLiteral("-w%1").arg(hashBits);

    // first the shortest deadlock, breadth first; then, if there was one, the
    // whole space without end-state checks for the nodes never reached
    ToolRun run = session.Run(QStringLiteral("./model"), {hash, QStringLiteral("-c1")}, true);
    if (run.stopped)
        return stopped();
    if (!run.started)
        return finish(CVerifyReport::ToolFailed, QStringLiteral("the generated verifier did not start"));
    static const QRegularExpression endState(QStringLiteral("pan:\\d+: invalid end state"));
    if (endState.match(run.output).hasMatch()) {
        report.deadlock = true;
        const ToolRun replay = session.Run(
            spin, {QStringLiteral("-o3"), QStringLiteral("-t"), QStringLiteral("-p"), QStringLiteral("model.pml")});
        if (replay.stopped)
            return stopped();
        report.deadlockSteps = trailSteps(replay.output, plain);
        run = session.Run(QStringLiteral("./model"), {hash, QStringLiteral("-E")}, true);
        if (run.stopped)
            return stopped();
    }
    if (!run.output.contains(QStringLiteral("states, stored")))
        return finish(CVerifyReport::ToolFailed, QStringLiteral("the generated verifier stopped without its figures: ")
                                                     + run.output.trimmed().left(400));
    report.states = storedStates(run.output);
    static const QRegularExpression memory(QStringLiteral("([0-9.]+)\\s+total actual memory usage"));
    if (const QRegularExpressionMatch m = memory.match(run.output); m.hasMatch())
        report.verifierMegabytes = m.captured(1).toDouble();

    // "model.pml:LINE, state N, ..." under "unreached in proctype main"
    static const QRegularExpression unreached(QStringLiteral("^\\s*\\S+\\.pml:(\\d+), state"));
    QSet<int> neverFired;
    const qsizetype listAt = run.output.indexOf(QStringLiteral("unreached in proctype main"));
    if (listAt >= 0) {
        for (const QString &line : run.output.mid(listAt).split(u'\n')) {
            const QRegularExpressionMatch m = unreached.match(line);
            if (m.hasMatch() && plain.stepOfLine.contains(m.captured(1).toInt()))
                neverFired.insert(plain.stepOfLine.value(m.captured(1).toInt()));
        }
    }
    for (int s = 0; s < int(model.steps.size()); ++s) {
        if (neverFired.contains(s))
            report.unreachable += model.steps[size_t(s)].nodes;
    }
    std::sort(report.unreachable.begin(), report.unreachable.end());

    if (!property.isEmpty()) {
        report.propertyChecked = true;
        const CPromelaModel withClaim = CPromelaWriter::Write(model, property);
        if (!build(QStringLiteral("claim"), withClaim, false, &why))
            return why.isEmpty() ? stopped() : finish(CVerifyReport::PropertyError, why);
        // a run can be no deeper than the states it passes
        const QString depth = QStringLiteral("-m%1").arg(std::clamp<qint64>(options.maxStates + 10, 10000, 10000000));
        const ToolRun check =
            session.Run(QStringLiteral("./claim"), {hash, depth, QStringLiteral("-a"), QStringLiteral("-E")}, true);
        if (check.stopped)
            return stopped();
        if (check.output.contains(QStringLiteral("errors: ")) && !check.output.contains(QStringLiteral("errors: 0"))) {
            report.propertyViolated = true;
            const ToolRun replay = session.Run(
                spin, {QStringLiteral("-o3"), QStringLiteral("-t"), QStringLiteral("-p"), QStringLiteral("claim.pml")});
            if (replay.stopped)
                return stopped();
            report.propertySteps = trailSteps(replay.output, withClaim);
        }
    }
    report.complete = true;
    return finish(CVerifyReport::Finished, QString());
}
