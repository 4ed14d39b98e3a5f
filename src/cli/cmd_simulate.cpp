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

int runSimulate(Cli::Context &c)
{
    if (c.args.size() != 2)
        return Cli::Usage(c, CliTexts::SimulateUsage);
    bool ok = true;
    const qint64 maxSteps = c.values.value(QStringLiteral("max-steps"), QStringLiteral("1000")).toLongLong(&ok);
    if (!ok || maxSteps < 0)
        return Cli::Usage(c, CliTexts::MaxStepsUsage);
    const QString choose = c.values.value(QStringLiteral("choose"), QStringLiteral("first"));
    if (choose != u"first" && choose != u"random")
        return Cli::Usage(c, CliTexts::ChooseUsage);
    unsigned seed = std::random_device()();
    if (c.values.contains(QStringLiteral("seed"))) {
        seed = c.values.value(QStringLiteral("seed")).toUInt(&ok);
        if (!ok)
            return Cli::Usage(c, CliTexts::SeedUsage);
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
        return Cli::TranslationError;
    }

    CSimulationRunOptions run;
    run.maxSteps = maxSteps;
    run.random = choose == u"random";
    if (c.values.contains(QStringLiteral("events"))) {
        const QString path = c.values.value(QStringLiteral("events"));
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
            return Cli::Fail(c, CliTexts::CannotRead(path, f.errorString()));
        int number = 0;
        for (const QString &raw : QString::fromUtf8(f.readAll()).split(u'\n')) {
            ++number;
            const QString line = raw.trimmed();
            if (line.isEmpty() || line.startsWith(u'#'))
                continue;
            const int e = sim->EventIndex(line);
            if (e < 0)
                return Cli::Fail(c, CliTexts::NoSuchEvent(path, number, line));
            run.events.append(e);
        }
    }
    if (run.random)
        c.err << CliTexts::Seed(sim->Seed());
    RunSimulation(*sim, run, [&c](const QString &line) { c.out << line << '\n'; });
    return Cli::Ok;
}

const Cli::Registration registerSimulate("simulate", CliTexts::SimulateHelp, &runSimulate);
const Cli::OptionRegistration optEvents("events", CliTexts::EventsOptionHelp, true);
const Cli::OptionRegistration optMaxSteps("max-steps", CliTexts::MaxStepsOptionHelp, true);
const Cli::OptionRegistration optSeed("seed", CliTexts::SeedOptionHelp, true);
const Cli::OptionRegistration optChoose("choose", CliTexts::ChooseOptionHelp, true);

} // namespace
