// Built-in verification and simulation.
//   bench_verify
// Spin on the door example's Door tree and on random trees of 50, 200 and
// 1000 nodes with 2 to 8 threads: states, wall time, states per second and
// the verifier's memory. Then the built-in simulator on a tree of 10^5
// nodes: steps per second and the process's peak memory.
#include "model/keldatamanager.h"
#include "model/keltree.h"
#include "model/solutionfile.h"
#include "simulate/builtinsimulator.h"
#include "translate/behaviormodelbuilder.h"
#include "translate/randomtree.h"
#include "translate/translatecontext.h"
#include "verify/spinverifier.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <memory>

#include <sys/resource.h>

namespace {

QTextStream out(stdout);

// Processor seconds, user and system, of this process or of its ended children.
double cpuSeconds(int who)
{
    rusage u{};
    getrusage(who, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void verifyLine(const QString &name, const CBehaviorModel &model)
{
    CVerifyOptions o;
    o.maxStates = 2000000;
    o.timeoutSeconds = 60;
    // spin, the compiler and the verifier run as children: their processor time is the figure that
    // a loaded machine does not distort
    const double cpuBefore = cpuSeconds(RUSAGE_CHILDREN);
    const CVerifyReport r = RunSpinVerification(model, o);
    const double cpu = cpuSeconds(RUSAGE_CHILDREN) - cpuBefore;
    const double perSecond = cpu > 0 ? double(r.states) / cpu : 0;
    out << qSetFieldWidth(28) << Qt::left << name << qSetFieldWidth(0) << " threads " << model.threads << "  states "
        << r.states << (r.outcome == CVerifyReport::Finished ? "" : " (cut)") << "  wall "
        << QString::number(r.seconds, 'f', 2) << " s  cpu " << QString::number(cpu, 'f', 2) << " s  "
        << QString::number(perSecond, 'f', 0) << " states/cpu-s (all tools)  verifier " << r.verifierMegabytes << " MB";
    if (r.outcome != CVerifyReport::Finished)
        out << "  [" << r.message << ']';
    out << Qt::endl;
}

// Trees that never wait for a state: a measure of speed wants a run that goes on.
CBehaviorModel randomModel(int nodes, unsigned seed, int maxThreads = 0)
{
    CTranslateSettings settings;
    CTranslateContext ctx(settings, false, false);
    CRandomTree::Generate(ctx, nodes, seed, maxThreads, false);
    return CBehaviorModelBuilder::FromContext(ctx);
}

QString peakMemory()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return QString::fromLatin1(line.mid(6).trimmed());
    }
    return QStringLiteral("?");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    {
        CKELDataManager m;
        QString error;
        if (CSolutionFile::Read(m, QStringLiteral(VERDANTIS_EXAMPLES "/door.kvf"), &error)) {
            for (const CKELData *e : m.IdMap()) {
                if (e->IsTree() && e->GetName() == u"Door") {
                    verifyLine(QStringLiteral("door example, Door"),
                               CBehaviorModelBuilder::FromTree(m, *static_cast<const CKELTree *>(e)));
                    break;
                }
            }
        } else {
            out << "door example: " << error << Qt::endl;
        }
    }
    for (int size : {50, 200, 1000}) {
        int shown = 0;
        for (unsigned seed = 1; shown < 2 && seed < 500; ++seed) {
            // larger trees branch often: hold them to the threads a row asks for
            const CBehaviorModel model = randomModel(size, seed, 2 + int(seed % 7));
            if (model.threads < 2 || model.threads > 8)
                continue;
            verifyLine(QStringLiteral("random %1 nodes, seed %2").arg(size).arg(seed), model);
            ++shown;
        }
    }

    // the simulator with every event always there, choosing at random; a
    // random tree soon waits for a state that never comes, so a run that
    // cannot move starts over, and only the stepping is timed
    const CBehaviorModel big = randomModel(100000, 7, 8);
    std::unique_ptr<CBuiltinSimulator> sim;
    const auto restart = [&] {
        sim = std::make_unique<CBuiltinSimulator>(big, 7);
        for (int e = 0; e < int(big.events.size()); ++e)
            for (int k = 0; k < 1000; ++k)
                sim->Offer(e);
    };
    restart();
    QElapsedTimer clock;
    clock.start();
    double cpu = 0;
    qint64 steps = 0;
    int restarts = 0;
    while (steps < 1000000 && clock.elapsed() < 20000) {
        const double from = cpuSeconds(RUSAGE_SELF);
        int step = 0;
        for (int k = 0; k < 1000 && (step = sim->ChooseRandom()) >= 0; ++k) {
            sim->Fire(step);
            ++steps;
        }
        cpu += cpuSeconds(RUSAGE_SELF) - from;
        if (step < 0) {
            restart();
            ++restarts;
        }
    }
    out << "simulator, 100000 nodes (" << big.steps.size() << " steps, " << big.threads << " threads): " << steps
        << " steps in " << QString::number(cpu, 'f', 2) << " s cpu (" << restarts
        << " restarts not counted) = " << QString::number(double(steps) / std::max(cpu, 1e-9), 'f', 0)
        << " steps/cpu-s, peak memory " << peakMemory() << Qt::endl;
    return 0;
}
