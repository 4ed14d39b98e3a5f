#include "behaviormodel.h"

#include <algorithm>
#include <deque>
#include <unordered_map>

QString CBehaviorVariable::ValueText(int value) const
{
    switch (kind) {
    case State:
    case Enumerated: return value > 0 && value < values.size() ? values[value] : QStringLiteral("?");
    case Boolean:
    case Message: return value ? QStringLiteral("true") : QStringLiteral("false");
    case Integer: break;
    }
    return QString::number(value);
}

int CBehaviorVariable::ValueOf(const QString &text) const
{
    switch (kind) {
    case State:
    case Enumerated: {
        const qsizetype at = values.indexOf(text);
        return at > 0 ? int(at) : -1;
    }
    case Boolean:
    case Message: return text == u"true" ? 1 : text == u"false" ? 0 : -1;
    case Integer: break;
    }
    bool ok = false;
    const int v = text.toInt(&ok);
    return ok ? v : -1;
}

CBehaviorState CBehaviorModel::InitialState() const
{
    CBehaviorState s;
    s.values.reserve(variables.size());
    for (const CBehaviorVariable &v : variables)
        s.values.push_back(v.initial);
    s.counters.assign(size_t(threads) + 1, 0);
    for (int t : initialThreads) {
        if (t >= 1 && t <= threads)
            s.counters[size_t(t)] = 1;
    }
    return s;
}

namespace {

bool compare(std::int32_t a, CBehaviorTest::Op op, std::int32_t b)
{
    switch (op) {
    case CBehaviorTest::Eq: return a == b;
    case CBehaviorTest::Ne: return a != b;
    case CBehaviorTest::Lt: return a < b;
    case CBehaviorTest::Gt: return a > b;
    case CBehaviorTest::Le: return a <= b;
    case CBehaviorTest::Ge: return a >= b;
    }
    return false;
}

} // namespace

bool CBehaviorModel::GuardHolds(const CBehaviorState &s, const CBehaviorStep &step,
                                const std::function<bool(int)> &eventReady) const
{
    if (s.counters[size_t(step.thread)] != step.pc)
        return false;
    for (const CBehaviorTest &t : step.tests) {
        if (compare(s.values[size_t(t.variable)], t.op, t.value) == t.negated)
            return false;
    }
    for (int e : step.events) {
        if (!eventReady(e))
            return false;
    }
    return true;
}

bool CBehaviorModel::MessagePending(const CBehaviorState &s) const
{
    for (size_t v = 0; v < variables.size(); ++v) {
        if (variables[v].kind == CBehaviorVariable::Message && s.values[v])
            return true;
    }
    return false;
}

bool CBehaviorModel::Enabled(const CBehaviorState &s, int index, const std::function<bool(int)> &eventReady) const
{
    const CBehaviorStep &step = steps[size_t(index)];
    if (!GuardHolds(s, step, eventReady))
        return false;
    if (messageMode == 2 && step.kind == CBehaviorStep::ExternalInput)
        return !MessagePending(s);
    if (messageMode == 4) {
        // taking an internal message first, internal actions second, the outside last
        if (step.kind == CBehaviorStep::InternalAction)
            return !AnyGuardHolds(s, CBehaviorStep::InternalInput, eventReady);
        if (step.kind == CBehaviorStep::ExternalInput)
            return !AnyGuardHolds(s, CBehaviorStep::InternalAction, eventReady);
    }
    return true;
}

bool CBehaviorModel::AnyGuardHolds(const CBehaviorState &s, CBehaviorStep::Kind kind,
                                   const std::function<bool(int)> &eventReady) const
{
    for (const CBehaviorStep &other : steps) {
        if (other.kind == kind && GuardHolds(s, other, eventReady))
            return true;
    }
    return false;
}

void CBehaviorModel::BuildIndex()
{
    m_stepsAt.clear();
    for (int i = 0; i < int(steps.size()); ++i)
        m_stepsAt[(quint64(steps[size_t(i)].thread) << 32) | quint32(steps[size_t(i)].pc)].push_back(i);
}

const std::vector<int> *CBehaviorModel::StepsAt(int thread, int pc) const
{
    const auto it = m_stepsAt.find((quint64(thread) << 32) | quint32(pc));
    return it == m_stepsAt.end() ? nullptr : &it->second;
}

QList<int> CBehaviorModel::EnabledSteps(const CBehaviorState &s, const std::function<bool(int)> &eventReady) const
{
    QList<int> out;
    if (m_stepsAt.empty() && !steps.empty()) {
        for (int i = 0; i < int(steps.size()); ++i) {
            if (Enabled(s, i, eventReady))
                out.append(i);
        }
        return out;
    }
    // only the steps at a running thread's counter can be enabled
    for (size_t t = 1; t < s.counters.size(); ++t) {
        if (!s.counters[t])
            continue;
        const auto it = m_stepsAt.find((quint64(t) << 32) | quint32(s.counters[t]));
        if (it == m_stepsAt.end())
            continue;
        for (int i : it->second) {
            if (Enabled(s, i, eventReady))
                out.append(i);
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

void CBehaviorModel::Fire(CBehaviorState &s, int index) const
{
    const CBehaviorStep &step = steps[size_t(index)];
    for (const CBehaviorAssignment &a : step.assignments) {
        std::int32_t &v = s.values[size_t(a.variable)];
        // wraps as the model checker's 32-bit integers do
        v = a.add ? std::int32_t(std::uint32_t(v) + std::uint32_t(a.value)) : a.value;
    }
    for (const auto &[thread, value] : step.counters)
        s.counters[size_t(thread)] = value;
}

bool CBehaviorModel::AllEnded(const CBehaviorState &s) const
{
    for (size_t t = 1; t < s.counters.size(); ++t) {
        if (s.counters[t])
            return false;
    }
    return true;
}

int CBehaviorModel::NodeIndexOfElement(int elementId) const
{
    for (int i = 0; i < int(nodes.size()); ++i) {
        if (nodes[size_t(i)].elementId == elementId)
            return i;
    }
    return -1;
}

QString CBehaviorModel::NodeText(int node) const
{
    const CBehaviorNode &n = nodes[size_t(node)];
    return u'#' + QString::number(n.elementId) + u' ' + n.label;
}

namespace {

struct StateHash
{
    size_t operator()(const std::vector<std::int32_t> &v) const noexcept
    {
        size_t h = 1469598103934665603ull;
        for (std::int32_t x : v)
            h = (h ^ size_t(std::uint32_t(x))) * 1099511628211ull;
        return h;
    }
};

std::vector<std::int32_t> key(const CBehaviorState &s)
{
    std::vector<std::int32_t> k = s.values;
    k.insert(k.end(), s.counters.begin(), s.counters.end());
    return k;
}

} // namespace

CExplorationResult ExploreAll(const CBehaviorModel &model, qint64 maxStates)
{
    CExplorationResult r;
    r.reached.assign(model.nodes.size(), false);
    for (int n : model.initNodes)
        r.reached[size_t(n)] = true;
    const auto always = [](int) { return true; };

    // breadth first, so that the first deadlock met has a shortest trail
    struct Seen
    {
        int parent;
        int step;
    };
    std::vector<Seen> seen;
    std::vector<CBehaviorState> states;
    std::unordered_map<std::vector<std::int32_t>, int, StateHash> index;
    const CBehaviorState start = model.InitialState();
    index.emplace(key(start), 0);
    seen.push_back({-1, -1});
    states.push_back(start);
    std::vector<bool> stepFired(model.steps.size(), false);
    for (size_t at = 0; at < states.size(); ++at) {
        const CBehaviorState s = states[at];
        const QList<int> enabled = model.EnabledSteps(s, always);
        if (enabled.isEmpty() && !model.AllEnded(s) && !r.deadlock) {
            r.deadlock = true;
            for (int i = int(at); seen[size_t(i)].parent >= 0; i = seen[size_t(i)].parent)
                r.deadlockTrail.prepend(seen[size_t(i)].step);
        }
        for (int step : enabled) {
            stepFired[size_t(step)] = true;
            CBehaviorState next = s;
            model.Fire(next, step);
            auto [it, added] = index.emplace(key(next), int(states.size()));
            if (!added)
                continue;
            if (qint64(states.size()) >= maxStates) {
                index.erase(it);
                r.complete = false;
                continue;
            }
            seen.push_back({int(at), step});
            states.push_back(std::move(next));
        }
    }
    r.states = qint64(states.size());
    for (size_t st = 0; st < model.steps.size(); ++st) {
        if (stepFired[st]) {
            for (int n : model.steps[st].nodes)
                r.reached[size_t(n)] = true;
        }
    }
    return r;
}
