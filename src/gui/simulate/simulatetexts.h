#pragma once

#include "explorer/explorertexts.h"
#include "translate/translateguitexts.h"

#include <QString>

// Texts the simulation and verification windows show, from one place.
namespace SimulateTexts {

// Main menu and tree menus
inline const QString Simulation = QStringLiteral("Simulation");
// the submenu the translations share
inline const QString &ModelChecking = TranslateGuiTexts::ModelChecking;
inline const QString VerifyMenu = QStringLiteral("Verify...");
inline const QString VerifyStatusTip =
    QStringLiteral("Check a tree for deadlocks, unreachable nodes and a property with Spin");
// the explorer offers it too, under the same entry
inline const QString &SimulateWithZeph = ExplorerTexts::SimulateWithZeph;

// Shared captions
inline const QString Stop = QStringLiteral("Stop");
inline const QString Close = QStringLiteral("Close");
inline const QString Component = QStringLiteral("Component");
inline const QString Value = QStringLiteral("Value");
inline const QString ComponentStates = QStringLiteral("Component States");
inline const QString Trees = QStringLiteral("BTS:");
inline const QString Zeph = QStringLiteral("ZEPH");

// The simulation window
inline const QString SimulationTitle = QStringLiteral("Behavior Tree Simulation");
inline const QString ShowNodeId = QStringLiteral("Show NodeID");
inline const QString Xml = QStringLiteral("XML");
inline const QString Translate = QStringLiteral("Translate");
inline const QString Browse = QStringLiteral("...");
inline const QString InteractionMode = QStringLiteral("Interaction Mode");
inline const QString SimNodeId = QStringLiteral("SIM NodeID");
inline const QString VerboseOff = QStringLiteral("Verbose Off");
inline const QString Simulate = QStringLiteral("Simulate");
inline const QString Input = QStringLiteral("Input");
inline const QString AutoSim = QStringLiteral("Auto Sim");
inline const QString BuiltIn = QStringLiteral("Built-in");
inline const QString KindToolTip = QStringLiteral("The built-in simulator, or the ZEPH simulator the path below names");
inline const QString MaxEvents = QStringLiteral("Max Events:");
inline const QString Simulator = QStringLiteral("Simulator:");
inline const QString Interval = QStringLiteral("Intival");
inline const QString SimulationResult = QStringLiteral("Simulation Result");
inline QString AutoSimEvery(int ms)
{
    return QStringLiteral("Auto Sim every %1 ms").arg(ms);
}
inline const QString ChooseSimulator = QStringLiteral("Choose the ZEPH Simulator");
inline const QString SimulatorFilterWindows = QStringLiteral("ZEPH Simulator (*.exe)");
inline const QString SimulatorFilter = QStringLiteral("ZEPH Simulator (*)");

// Running a simulator a solution names
inline QString RefusedSimulator(const QString &path)
{
    return QStringLiteral("This solution names the simulator \"") + path
           + QStringLiteral("\", which you chose not to run. Choose a simulator with \"...\" to run one.");
}
inline QString RunSimulator(const QString &path)
{
    return QStringLiteral("This solution names the simulator \"") + path + QStringLiteral("\". Run it?");
}

// The built-in simulator's panel
inline const QString SeedToolTip = QStringLiteral("The same seed repeats the same run");
inline const QString Seed = QStringLiteral("Seed:");
inline const QString Run = QStringLiteral("Run");
inline const QString Reset = QStringLiteral("Reset");
inline const QString StepsToolTip = QStringLiteral("Double-click a step to take it");
inline const QString EnabledSteps = QStringLiteral("Enabled Steps");
inline const QString StepsTaken = QStringLiteral("Steps Taken");
inline const QString Events = QStringLiteral("Events:");
inline const QString ChooseTreeToSimulate = QStringLiteral("Choose a tree to simulate.");
inline QString OfferEvent(const QString &event)
{
    return QStringLiteral("Offer ") + event + QStringLiteral(" to the tree");
}
inline QString LogEvent(const QString &event)
{
    return QStringLiteral("EVENT: ") + event;
}
inline QString LogStep(int step, const QString &node)
{
    return QStringLiteral("STEP %1: ").arg(step) + node;
}
inline QString LogValue(const QString &name, const QString &value)
{
    return QStringLiteral("  ") + name + QStringLiteral(" = ") + value;
}
inline QString RunningWithSeed(unsigned seed)
{
    return QStringLiteral("Running with seed %1.").arg(seed);
}
inline QString StepsStatus(int taken, int enabled)
{
    return QStringLiteral("Steps taken: %1; steps that may fire now: %2")
        .arg(QString::number(taken), QString::number(enabled));
}
inline const QString EveryThreadEnded = QStringLiteral("Every thread has ended.");
inline QString Waiting(const QStringList &threads)
{
    return QStringLiteral("Waiting: ") + threads.join(QStringLiteral("; "));
}

// The verification window
inline const QString VerifyTitle = QStringLiteral("Verify");
inline const QString VerifyButton = QStringLiteral("Verify");
inline const QString Cancel = QStringLiteral("Cancel");
inline const QString PropertyPlaceholder = QStringLiteral("[] (DOOR == open -> <> DOOR == closed)");
inline const QString PropertyToolTip = QStringLiteral("A property over component states in the tree's own names; "
                                                      "leave empty to look for deadlocks and unreachable nodes only");
inline const QString Seconds = QStringLiteral(" s");
inline const QString Replay = QStringLiteral("Replay");
inline const QString ReplayToolTip = QStringLiteral("Take the next step of the finding's trail on the tree");
inline const QString LtlProperty = QStringLiteral("LTL property:");
inline const QString Timeout = QStringLiteral("Timeout:");
inline const QString MaxStates = QStringLiteral("Max states:");
inline const QString Findings = QStringLiteral("Findings");
inline QString StatesSoFar(qint64 states)
{
    return QStringLiteral("Verifying: %L1 states so far").arg(states);
}
inline const QString ChooseTreeToVerify = QStringLiteral("Choose a tree to verify.");
inline const QString Verifying = QStringLiteral("Verifying...");
inline const QString Cancelled = QStringLiteral("Cancelled.");
inline const QString VerifiedFound = QStringLiteral("Verified: see the findings.");
inline const QString VerifiedNothing = QStringLiteral("Verified: nothing found.");
inline QString Trail(qsizetype steps)
{
    return steps == 1 ? QStringLiteral("a trail of 1 step") : QStringLiteral("a trail of %1 steps").arg(steps);
}
inline QString DeadlockFound(qsizetype steps)
{
    return QStringLiteral("Deadlock: found, ") + Trail(steps);
}
inline const QString DeadlockNone = QStringLiteral("Deadlock: none");
inline QString Unreachable(const QString &node)
{
    return QStringLiteral("Unreachable: ") + node;
}
inline QString PropertyViolated(qsizetype steps)
{
    return QStringLiteral("Property: violated, ") + Trail(steps);
}
inline const QString PropertyHolds = QStringLiteral("Property: holds");
template<typename Count> QString StatesSearched(Count states, bool complete)
{
    return QStringLiteral("States: %L1").arg(states) + QStringLiteral(", ")
           + (complete ? QStringLiteral("complete") : QStringLiteral("incomplete: limit reached"));
}
inline QString ReplayInitial(qsizetype steps)
{
    return QStringLiteral("Replay: the initial state; %1 steps to go").arg(steps);
}
inline QString ReplayStep(qsizetype at, qsizetype steps, const QString &where)
{
    return QStringLiteral("Replay: step %1 of %2, %3").arg(QString::number(at), QString::number(steps), where);
}
inline QString ReplayLast(const QString &where)
{
    return QStringLiteral("Replay: the last step, ") + where + QStringLiteral("; the finding happens here");
}

} // namespace SimulateTexts
