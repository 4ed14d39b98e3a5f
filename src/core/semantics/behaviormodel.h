#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <utility>
#include <span>
#include <vector>

// The executable meaning of a behavior tree: variables, threads with program
// counters, and steps that a thread takes when its counter and guard allow.
// The simulator interprets it, the SAL and Promela writers print it and the
// exhaustive explorer walks it, so all of them agree on what a tree does.

struct CBehaviorVariable
{
    enum Kind { State, Integer, Boolean, Enumerated, Message };
    QString name;       // as the tree writes it: "Door", "Door.count", "Door <open>"
    QString identifier; // the translators' name for it, empty when the form was built by hand
    Kind kind = State;
    QStringList values; // State and Enumerated: value i is values[i]; 0 is "unset"
    int initial = 0;
    // State and Enumerated: the translators' name of value i, beside values;
    // empty when the form was built by hand
    QStringList valueIdentifiers;
    // Message: how many input nodes wait for it. A language that pairs a
    // sender with one receiver at a time sends it that many times.
    int receivers = 0;

    QString ValueText(int value) const;
    // The value a text names, -1 when it names none.
    int ValueOf(const QString &text) const;
};

struct CBehaviorTest
{
    enum Op { Eq, Ne, Lt, Gt, Le, Ge };
    int variable = 0;
    Op op = Eq;
    int value = 0;
    bool negated = false;
};

struct CBehaviorAssignment
{
    int variable = 0;
    int value = 0;
    bool add = false; // value is added to the old value
};

// What an external event or output is: a component and its event, input or
// output name.
struct CBehaviorEvent
{
    QString component;
    QString name;
    QString identifier; // the translators' name for its message, empty when built by hand
    QString Text() const { return component + u' ' + name; }
};

// A test or an update of a set, in the notation of SAL, the one language
// that models sets; trees with sets are translated, not interpreted.
struct CBehaviorSetText
{
    QString text;
    bool negated = false;
};

struct CBehaviorStep
{
    enum Kind { InternalAction, ExternalInput, InternalInput };
    // One entry of the step's lists, in the order the step's nodes state them.
    enum class Part : quint8 { Test, Event, SetTest, Assignment, Output, SetAssignment };
    int thread = 0;
    int pc = 0;
    QList<int> nodes; // node indexes of the form, the step's first node first
    QList<CBehaviorTest> tests;
    QList<CBehaviorAssignment> assignments;
    QList<QPair<int, int>> counters; // thread and its new value, applied in order
    QList<int> events;               // external events it waits for
    QList<int> outputs;              // external outputs it sends, into the model's outputs
    Kind kind = InternalAction;
    // How tests, events, set tests and, apart, the updates interleave: a
    // text keeps the tree's order, where an interpreter needs none. Empty
    // when they come in the order of Part: every test, every event, ...
    QList<Part> order;

    // Calls f with each part in turn, in the step's order.
    template<typename F> void ForEachPart(const F &f) const
    {
        if (!order.isEmpty()) {
            for (const Part p : order)
                f(p);
            return;
        }
        const std::pair<Part, qsizetype> plain[] = {
            {Part::Test, tests.size()},       {Part::Event, events.size()},
            {Part::SetTest, setTests.size()}, {Part::Assignment, assignments.size()},
            {Part::Output, outputs.size()},   {Part::SetAssignment, setAssignments.size()},
        };
        for (const auto &[part, count] : plain) {
            for (qsizetype i = 0; i < count; ++i)
                f(part);
        }
    }
    QList<CBehaviorSetText> setTests;
    QList<CBehaviorSetText> setAssignments;
    int failureView = 0; // a go-to under failure views: the view it enters, from 1
    // A reversion or go-to: its last node stands for the node it jumps to,
    // whose step it runs again, and the counters move threads wherever they
    // stand.
    bool jump = false;
    // The jump's own node tests a condition: the last of tests.
    bool jumpTests = false;
    // A go-to can bring the step back while threads it started before still
    // run: starting them again stops them first.
    bool restartsThreads = false;
};

struct CBehaviorNode
{
    int elementId = 0;
    QString label; // component and decorated behavior
};

// One point of a run: every variable's value and every thread's counter.
struct CBehaviorState
{
    std::vector<std::int32_t> values;
    std::vector<std::int32_t> counters; // index 0 unused
    bool operator==(const CBehaviorState &o) const { return values == o.values && counters == o.counters; }
};

class CBehaviorModel
{
public:
    std::vector<CBehaviorVariable> variables;
    std::vector<CBehaviorStep> steps;
    std::vector<CBehaviorEvent> events;
    std::vector<CBehaviorEvent> outputs;
    std::vector<CBehaviorNode> nodes; // pre-order, index 0 is the root
    QList<int> initNodes;             // the initialisation block
    QList<int> initialThreads{1};     // threads running from the start
    int threads = 0;
    int messageMode = 1;

    // Looks steps up by thread and counter; call once the steps are complete.
    void BuildIndex();
    // The steps of a thread at a counter value, in their order.
    std::span<const int> StepsAt(int thread, int pc) const;

    CBehaviorState InitialState() const;
    // Whether the step may fire; eventReady says whether an external event
    // is there to be taken (always, for a verification).
    bool Enabled(const CBehaviorState &s, int step, const std::function<bool(int)> &eventReady) const;
    QList<int> EnabledSteps(const CBehaviorState &s, const std::function<bool(int)> &eventReady) const;
    void Fire(CBehaviorState &s, int step) const;
    bool AllEnded(const CBehaviorState &s) const;
    int NodeIndexOfElement(int elementId) const;
    QString NodeText(int node) const;

    // Base enabledness: counter, tests and events, without message priorities.
    bool GuardHolds(const CBehaviorState &s, const CBehaviorStep &step,
                    const std::function<bool(int)> &eventReady) const;
    bool MessagePending(const CBehaviorState &s) const;
    // Whether a step of that kind could move, message priorities aside.
    bool AnyGuardHolds(const CBehaviorState &s, CBehaviorStep::Kind kind,
                       const std::function<bool(int)> &eventReady) const;

private:
    std::vector<int> m_threadBase; // thread -> its first slot; a slot is a thread's counter value
    std::vector<int> m_slotFirst;  // slot -> its first entry of m_ordered
    std::vector<int> m_ordered;    // step indexes by slot
};

// What an exhaustive walk of every reachable state found, external events
// always being available.
struct CExplorationResult
{
    qint64 states = 0;
    bool complete = true;
    bool deadlock = false;
    QList<int> deadlockTrail;  // steps from the initial state to the first deadlock found breadth first
    std::vector<bool> reached; // by node index
};

CExplorationResult ExploreAll(const CBehaviorModel &model, qint64 maxStates);
