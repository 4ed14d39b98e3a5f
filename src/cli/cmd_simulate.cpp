// simulate: runs a tree on the built-in simulator and prints every step.
#include "clicommands.h"

#include "model/keldatamanager.h"
#include "model/keltree.h"
#include "simulate/builtinsimulator.h"
#include "translate/behaviormodelbuilder.h"
#include "translate/translateexception.h"

#include <QFile>

#include <optional>
#include <random>

namespace {

constexpr int kTranslationError = 3;

int run(Cli::Context &c)
{
    if (c.args.size() != 2)
        return Cli::Usage(c, QStringLiteral("'simulate' takes a solution file and a tree"));
    bool ok = true;
    const qint64 maxSteps = c.values.value(QStringLiteral("max-steps"), QStringLiteral("1000")).toLongLong(&ok);
    if (!ok || maxSteps < 0)
        return Cli::Usage(c, QStringLiteral("--max-steps takes a whole number of 0 or more"));
    const QString choose = c.values.value(QStringLiteral("choose"), QStringLiteral("first"));
    if (choose != u"first" && choose != u"random")
        return Cli::Usage(c, QStringLiteral("--choose takes 'random' or 'first'"));
    unsigned seed = std::random_device()();
    if (c.values.contains(QStringLiteral("seed"))) {
        seed = c.values.value(QStringLiteral("seed")).toUInt(&ok);
        if (!ok)
            return Cli::Usage(c, QStringLiteral("--seed takes a whole number from 0 to 4294967295"));
    }

    CKELDataManager manager;
    const CKELTree *tree = Cli::LoadTree(c, manager);
    if (!tree)
        return Cli::FileError;
    std::optional<CBuiltinSimulator> sim;
    try {
        sim.emplace(CBehaviorModelBuilder::FromTree(manager, *tree), seed);
    } catch (const CTranslateException &e) {
        c.err << e.Message() << '\n';
        return kTranslationError;
    }

    CSimulationRunOptions run;
    run.maxSteps = maxSteps;
    run.random = choose == u"random";
    if (c.values.contains(QStringLiteral("events"))) {
        const QString path = c.values.value(QStringLiteral("events"));
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
            return Cli::Fail(c, QStringLiteral("Cannot read %1: %2").arg(path, f.errorString()));
        int number = 0;
        for (const QString &raw : QString::fromUtf8(f.readAll()).split(u'\n')) {
            ++number;
            const QString line = raw.trimmed();
            if (line.isEmpty() || line.startsWith(u'#'))
                continue;
            const int e = sim->EventIndex(line);
            if (e < 0)
                return Cli::Fail(
                    c, QStringLiteral("%1:%2: the tree has no event or input '%3'").arg(path).arg(number).arg(line));
            run.events.append(e);
        }
    }
    if (run.random)
        c.err << "seed: " << sim->Seed() << '\n';
    RunSimulation(*sim, run, [&c](const QString &line) { c.out << line << '\n'; });
    return Cli::Ok;
}

const Cli::Registration reg("simulate",
                            "simulate FILE TREE [--events FILE] [--max-steps N] [--seed S] [--choose random|first]"
                            "  run TREE on the built-in simulator",
                            &run);
const Cli::OptionRegistration optEvents("events", "with simulate: the events, one 'COMPONENT event' a line", true);
const Cli::OptionRegistration optMaxSteps("max-steps", "with simulate: stop after so many steps (1000)", true);
const Cli::OptionRegistration optSeed("seed", "with simulate: the seed of random choices", true);
const Cli::OptionRegistration optChoose("choose", "with simulate: which enabled step fires, random or first", true);

} // namespace
