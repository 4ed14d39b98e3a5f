// verify: checks a tree with Spin for deadlocks, unreachable nodes and a
// property of the user's.
#include "clicommands.h"

#include "model/keldatamanager.h"
#include "model/keltree.h"
#include "translate/behaviormodelbuilder.h"
#include "translate/translateexception.h"
#include "verify/spinverifier.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

enum { kFound = 5, kVerifierMissing = 6 };

QJsonArray ids(const CBehaviorModel &model, const QList<int> &nodes)
{
    QJsonArray out;
    for (int n : nodes)
        out.append(model.nodes[size_t(n)].elementId);
    return out;
}

int runVerify(Cli::Context &c)
{
    if (c.args.size() != 2)
        return Cli::Usage(c, CliTexts::VerifyUsage);
    CVerifyOptions options;
    bool ok = true;
    if (c.values.contains(QStringLiteral("max-states"))) {
        options.maxStates = c.values.value(QStringLiteral("max-states")).toLongLong(&ok);
        if (!ok || options.maxStates < 1)
            return Cli::Usage(c, CliTexts::MaxStatesUsage);
    }
    if (c.values.contains(QStringLiteral("timeout"))) {
        options.timeoutSeconds = c.values.value(QStringLiteral("timeout")).toInt(&ok);
        if (!ok || options.timeoutSeconds < 1)
            return Cli::Usage(c, CliTexts::TimeoutUsage);
    }
    options.property = c.values.value(QStringLiteral("ltl"));
    const bool json = c.flags.contains(QStringLiteral("json"));

    CKELDataManager manager;
    const CKELTree *tree = Cli::LoadTree(c, manager);
    if (!tree)
        return Cli::FileError;
    CBehaviorModel model;
    try {
        model = CBehaviorModelBuilder::FromTree(manager, *tree);
    } catch (const CTranslateException &e) {
        c.err << e.Message() << '\n';
        return Cli::TranslationError;
    }

    const CVerifyReport r = RunSpinVerification(model, options);
    switch (r.outcome) {
    case CVerifyReport::ToolMissing: c.err << CliTexts::VerifyProblem(r.message); return kVerifierMissing;
    case CVerifyReport::PropertyError: c.err << CliTexts::VerifyProblem(r.message); return Cli::UsageError;
    case CVerifyReport::ToolFailed: c.err << CliTexts::VerifyProblem(r.message); return Cli::FileError;
    case CVerifyReport::Cancelled:
    case CVerifyReport::LimitReached: c.err << CliTexts::VerifyProblem(r.message); break;
    case CVerifyReport::Finished: break;
    }
    const bool complete = r.outcome == CVerifyReport::Finished;
    const QList<int> trail = r.deadlock ? TrailNodes(model, r.deadlockSteps) : QList<int>();

    if (json) {
        QJsonObject o;
        o.insert(QStringLiteral("deadlock"), r.deadlock);
        o.insert(QStringLiteral("trail"), ids(model, trail));
        o.insert(QStringLiteral("unreachable"), ids(model, complete ? r.unreachable : QList<int>()));
        o.insert(QStringLiteral("states"), r.states);
        o.insert(QStringLiteral("complete"), complete);
        if (r.propertyChecked) {
            o.insert(QStringLiteral("property"), !r.propertyViolated);
            o.insert(QStringLiteral("property_trail"), ids(model, TrailNodes(model, r.propertySteps)));
        }
        c.out << QJsonDocument(o).toJson(QJsonDocument::Compact) << '\n';
    } else {
        // what a cut search did not see stays unsaid
        if (r.deadlock || complete) {
            c.out << CliTexts::Deadlock(r.deadlock);
            for (int n : trail)
                c.out << CliTexts::TrailStep(model.NodeText(n));
        }
        if (complete) {
            for (int n : r.unreachable)
                c.out << CliTexts::Unreachable(model.NodeText(n));
        }
        if (r.propertyChecked && complete) {
            c.out << CliTexts::Property(r.propertyViolated);
            if (r.propertyViolated) {
                for (int n : TrailNodes(model, r.propertySteps))
                    c.out << CliTexts::TrailStep(model.NodeText(n));
            }
        }
        c.out << CliTexts::States(r.states, complete);
    }
    if (!complete)
        return kVerifierMissing;
    return r.FoundSomething() ? int(kFound) : int(Cli::Ok);
}

const Cli::Registration registerVerify("verify", CliTexts::VerifyHelp, &runVerify);
const Cli::OptionRegistration optMaxStates("max-states", CliTexts::MaxStatesOptionHelp, true);
const Cli::OptionRegistration optTimeout("timeout", CliTexts::TimeoutOptionHelp, true);
const Cli::OptionRegistration optJson("json", CliTexts::JsonOptionHelp, false);
const Cli::OptionRegistration optLtl("ltl", CliTexts::LtlOptionHelp, true);

} // namespace
