#include "behaviormodel.h"

#include <algorithm>
#include <deque>

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
    // counters are small and dense: one slot per thread and counter value,
    // the steps sorted by slot, so that a look-up is two subscripts
    // a step no counter can stand at is never enabled, and left out
    const auto indexed = [](const CBehaviorStep &s) { return s.thread >= 0 && s.pc >= 0; };
    int highestThread = std::max(threads, 0);
    for (const CBehaviorStep &s : steps)
        highestThread = indexed(s) ? std::max(highestThread, s.thread) : highestThread;
    std::vector<int> highestPc(size_t(highestThread) + 1, -1);
    for (const CBehaviorStep &s : steps) {
        if (indexed(s))
            highestPc[size_t(s.thread)] = std::max(highestPc[size_t(s.thread)], s.pc);
    }
    m_threadBase.assign(size_t(highestThread) + 2, 0);
    for (int t = 0; t <= highestThread; ++t)
        m_threadBase[size_t(t) + 1] = m_threadBase[size_t(t)] + highestPc[size_t(t)] + 1;
    m_slotFirst.assign(size_t(m_threadBase.back()) + 1, 0);
    for (const CBehaviorStep &s : steps) {
        if (indexed(s))
            ++m_slotFirst[size_t(m_threadBase[size_t(s.thread)] + s.pc) + 1];
    }
    for (size_t i = 1; i < m_slotFirst.size(); ++i)
        m_slotFirst[i] += m_slotFirst[i - 1];
    m_ordered.assign(size_t(m_slotFirst.back()), 0);
    std::vector<int> next(m_slotFirst.cbegin(), m_slotFirst.cend() - 1);
    for (int i = 0; i < int(steps.size()); ++i) {
        const CBehaviorStep &s = steps[size_t(i)];
        if (indexed(s))
            m_ordered[size_t(next[size_t(m_threadBase[size_t(s.thread)] + s.pc)]++)] = i;
    }
}

std::span<const int> CBehaviorModel::StepsAt(int thread, int pc) const
{
    if (thread < 0 || size_t(thread) + 1 >= m_threadBase.size() || pc < 0)
        return {};
    const int slot = m_threadBase[size_t(thread)] + pc;
    if (slot >= m_threadBase[size_t(thread) + 1])
        return {};
    return std::span<const int>(m_ordered).subspan(size_t(m_slotFirst[size_t(slot)]),
                                                   size_t(m_slotFirst[size_t(slot) + 1] - m_slotFirst[size_t(slot)]));
}

QList<int> CBehaviorModel::EnabledSteps(const CBehaviorState &s, const std::function<bool(int)> &eventReady) const
{
    QList<int> out;
    if (m_threadBase.empty() && !steps.empty()) {
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
        for (int i : StepsAt(int(t), s.counters[t])) {
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
