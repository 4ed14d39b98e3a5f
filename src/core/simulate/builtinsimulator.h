#pragma once

#include "semantics/behaviormodel.h"

#include <QList>
#include <QString>

#include <functional>
#include <random>
#include <set>

// Runs a tree's executable form one step at a time: the component states
// and attribute values it holds, the events the user has offered and not
// yet been taken, and which steps may fire now.
class CBuiltinSimulator
{
public:
    CBuiltinSimulator(CBehaviorModel model, unsigned seed);

    const CBehaviorModel &Model() const { return m_model; }
    const CBehaviorState &State() const { return m_state; }
    unsigned Seed() const { return m_seed; }
    int StepsTaken() const { return m_taken; }

    QList<int> EnabledSteps() const;
    // Fires an enabled step and takes the events it waited for; false, and
    // nothing changes, when the step may not fire now.
    bool Fire(int step);
    // One of the enabled steps, the same ones for the same seed; -1 when none.
    int ChooseRandom();

    // "COMPONENT event" as the tree names an event or external input; -1 when unknown.
    int EventIndex(const QString &text) const;
    void Offer(int event);
    bool Pending(int event) const { return m_pending[size_t(event)] > 0; }

    // The variables whose values differ from before.
    QList<int> Changed(const CBehaviorState &before) const;
    // What each running thread waits for, as node texts.
    QStringList Waiting() const;

private:
    CBehaviorModel m_model;
    CBehaviorState m_state;
    std::vector<int> m_pending;
    std::set<int> m_running; // threads whose counter is not 0
    unsigned m_seed;
    std::mt19937 m_rng;
    int m_taken = 0;
};

struct CSimulationRunOptions
{
    QList<int> events; // offered one at a time, whenever nothing else can move
    qint64 maxSteps = 1000;
    bool random = false; // else the first enabled step fires
};

// Runs until nothing can move or the step limit, reporting each step as
// "STEP n: #ID LABEL" with the changed values under it, each offered event
// as "EVENT: ...", and the end as "WAITING: ..." or "STOPPED: ...".
void RunSimulation(CBuiltinSimulator &sim, const CSimulationRunOptions &options,
                   const std::function<void(const QString &)> &line);
