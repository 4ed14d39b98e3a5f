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

enum { kFound = 5, kTranslationError = 3, kVerifierMissing = 6 };

QJsonArray ids(const CBehaviorModel &model, const QList<int> &nodes)
{
    QJsonArray out;
    for (int n : nodes)
        out.append(model.nodes[size_t(n)].elementId);
    return out;
}

int run(Cli::Context &c)
{
    if (c.args.size() != 2)
        return Cli::Usage(c, QStringLiteral("'verify' takes a solution file and a tree"));
    CVerifyOptions options;
    bool ok = true;
    if (c.values.contains(QStringLiteral("max-states"))) {
        options.maxStates = c.values.value(QStringLiteral("max-states")).toLongLong(&ok);
        if (!ok || options.maxStates < 1)
            return Cli::Usage(c, QStringLiteral("--max-states takes a whole number of 1 or more"));
    }
    if (c.values.contains(QStringLiteral("timeout"))) {
        options.timeoutSeconds = c.values.value(QStringLiteral("timeout")).toInt(&ok);
        if (!ok || options.timeoutSeconds < 1)
            return Cli::Usage(c, QStringLiteral("--timeout takes a whole number of seconds, 1 or more"));
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
        return kTranslationError;
    }

    const CVerifyReport r = RunSpinVerification(model, options);
    switch (r.outcome) {
    case CVerifyReport::ToolMissing: c.err << "verify: " << r.message << '\n'; return kVerifierMissing;
    case CVerifyReport::PropertyError: c.err << "verify: " << r.message << '\n'; return Cli::UsageError;
    case CVerifyReport::ToolFailed: c.err << "verify: " << r.message << '\n'; return Cli::FileError;
    case CVerifyReport::Cancelled:
    case CVerifyReport::LimitReached: c.err << "verify: " << r.message << '\n'; break;
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
            c.out << "deadlock: " << (r.deadlock ? "found" : "none") << '\n';
            for (int n : trail)
                c.out << "  " << model.NodeText(n) << '\n';
        }
        if (complete) {
            for (int n : r.unreachable)
                c.out << "unreachable: " << model.NodeText(n) << '\n';
        }
        if (r.propertyChecked && complete) {
            c.out << "property: " << (r.propertyViolated ? "violated" : "holds") << '\n';
            if (r.propertyViolated) {
                for (int n : TrailNodes(model, r.propertySteps))
                    c.out << "  " << model.NodeText(n) << '\n';
            }
        }
        c.out << "states: " << r.states << ", " << (complete ? "complete" : "incomplete: limit reached") << '\n';
    }
    if (!complete)
        return kVerifierMissing;
    return r.FoundSomething() ? int(kFound) : int(Cli::Ok);
}

const Cli::Registration reg("verify",
                            "verify FILE TREE [--max-states N] [--timeout SECONDS] [--json] [--ltl FORMULA]"
                            "  check TREE with Spin for deadlocks and unreachable nodes",
                            &run);
const Cli::OptionRegistration optMaxStates("max-states", "with verify: stop after so many states (1000000)", true);
const Cli::OptionRegistration optTimeout("timeout", "with verify: stop after so many seconds (600)", true);
const Cli::OptionRegistration optJson("json", "with verify: print the findings as JSON", false);
const Cli::OptionRegistration optLtl("ltl", "with verify: a property over component states to check", true);

} // namespace
