#include "builtinsimulator.h"

#include <algorithm>

CBuiltinSimulator::CBuiltinSimulator(CBehaviorModel model, unsigned seed)
    : m_model(std::move(model))
    , m_seed(seed)
    , m_rng(seed)
{
    m_state = m_model.InitialState();
    m_pending.assign(m_model.events.size(), 0);
    for (int t = 1; t <= m_model.threads; ++t) {
        if (m_state.counters[size_t(t)])
            m_running.insert(t);
    }
}

QList<int> CBuiltinSimulator::EnabledSteps() const
{
    // only running threads can move: a big tree has many more that wait or ended
    const auto ready = [this](int e) { return m_pending[size_t(e)] > 0; };
    QList<int> out;
    for (int t : m_running) {
        for (int i : m_model.StepsAt(t, m_state.counters[size_t(t)])) {
            if (m_model.Enabled(m_state, i, ready))
                out.append(i);
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

bool CBuiltinSimulator::Fire(int step)
{
    if (step < 0 || step >= int(m_model.steps.size())
        || !m_model.Enabled(m_state, step, [this](int e) { return m_pending[size_t(e)] > 0; }))
        return false;
    for (int e : m_model.steps[size_t(step)].events)
        --m_pending[size_t(e)];
    m_model.Fire(m_state, step);
    for (const auto &[thread, value] : m_model.steps[size_t(step)].counters) {
        if (value)
            m_running.insert(thread);
        else
            m_running.erase(thread);
    }
    ++m_taken;
    return true;
}

int CBuiltinSimulator::ChooseRandom()
{
    const QList<int> enabled = EnabledSteps();
    if (enabled.isEmpty())
        return -1;
    return enabled[qsizetype(std::uniform_int_distribution<int>(0, int(enabled.size()) - 1)(m_rng))];
}

int CBuiltinSimulator::EventIndex(const QString &text) const
{
    const QString wanted = text.simplified();
    for (int e = 0; e < int(m_model.events.size()); ++e) {
        if (m_model.events[size_t(e)].Text().simplified() == wanted)
            return e;
    }
    return -1;
}

void CBuiltinSimulator::Offer(int event)
{
    if (event >= 0 && event < int(m_pending.size()))
        ++m_pending[size_t(event)];
}

QList<int> CBuiltinSimulator::Changed(const CBehaviorState &before) const
{
    QList<int> out;
    for (int v = 0; v < int(m_state.values.size()); ++v) {
        if (m_state.values[size_t(v)] != before.values[size_t(v)])
            out.append(v);
    }
    return out;
}

QStringList CBuiltinSimulator::Waiting() const
{
    QStringList out;
    for (const CBehaviorStep &step : m_model.steps) {
        if (m_state.counters[size_t(step.thread)] == step.pc)
            out.append(m_model.NodeText(step.nodes.first()));
    }
    return out;
}

void RunSimulation(CBuiltinSimulator &sim, const CSimulationRunOptions &options,
                   const std::function<void(const QString &)> &line)
{
    const CBehaviorModel &model = sim.Model();
    qsizetype nextEvent = 0;
    while (sim.StepsTaken() < options.maxSteps) {
        QList<int> enabled = sim.EnabledSteps();
        // the outside speaks when the tree has nothing left to do by itself
        while (enabled.isEmpty() && nextEvent < options.events.size()) {
            const int e = options.events[nextEvent++];
            sim.Offer(e);
            line(QStringLiteral("EVENT: ") + model.events[size_t(e)].Text());
            enabled = sim.EnabledSteps();
        }
        if (enabled.isEmpty()) {
            const QStringList waiting = sim.Waiting();
            line(QStringLiteral("WAITING: ")
                 + (waiting.isEmpty() ? QStringLiteral("nothing, every thread has ended")
                                      : waiting.join(QStringLiteral("; "))));
            return;
        }
        const int step = options.random ? sim.ChooseRandom() : enabled.first();
        const CBehaviorState before = sim.State();
        sim.Fire(step);
        line(QStringLiteral("STEP %1: ").arg(sim.StepsTaken())
             + model.NodeText(model.steps[size_t(step)].nodes.first()));
        for (int v : sim.Changed(before)) {
            const CBehaviorVariable &var = model.variables[size_t(v)];
            if (var.kind != CBehaviorVariable::Message)
                line(QStringLiteral("  ") + var.name + QStringLiteral(" = ")
                     + var.ValueText(sim.State().values[size_t(v)]));
        }
    }
    line(QStringLiteral("STOPPED: %1 steps (--max-steps)").arg(options.maxSteps));
}
