// What a step does to the counters, and which nodes it carries out.
#include "translateparsingmethods.h"

#include "translatecontext.h"
#include "translateparsingrule.h"

#include <QMap>

namespace {

bool isJump(int rule)
{
    return rule == TranslateRule::Reversion || rule == TranslateRule::Macro;
}

// How the counters change when a step runs: the step's own thread goes on
// or ends, a branching starts its children, an alternative stops the
// others, a kill stops a branch.
struct CounterEffect
{
    QMap<int, int> others; // thread -> value
    int thread = 0;
    int value = 0;
};

CounterEffect counterEffect(const CTranslateContext &ctx, int head)
{
    CounterEffect e;
    if (head == 1) {
        // the root's "step" is the initialisation block: thread 1 starts again
        if (ctx.Collections().ThreadCount() >= 1) {
            e.thread = 1;
            e.value = 1;
        }
        return e;
    }
    const CTranslateNode &h = ctx.Node(head);
    // a step made at the head has its block already
    const CTranslateStep *s = ctx.StepOf(head);
    const QList<int> block = s ? s->block : ctx.Block(head);
    const CTranslateNode &last = ctx.Node(block.last());
    if (last.children.size() >= 2) {
        for (int c : last.children)
            e.others[ctx.Node(c).thread] = 1;
    }
    for (int t : h.disableThreads)
        e.others[t] = 0;
    if (s) {
        for (int t : s->killThreads)
            e.others[t] = 0;
    }
    e.thread = h.thread;
    e.value = ctx.NextCounter(block);
    if (e.others.contains(e.thread))
        e.value = e.others.take(e.thread);
    return e;
}

} // namespace

QList<QPair<int, int>> CTranslateParsingMethods::StepCounters(const CTranslateContext &ctx, const CTranslateStep &step)
{
    QList<QPair<int, int>> out;
    const auto append = [&out](const QMap<int, int> &others, int thread, int value) {
        for (auto it = others.cbegin(); it != others.cend(); ++it)
            out.append({it.key(), it.value()});
        if (thread > 0)
            out.append({thread, value});
    };
    const int thread = ctx.Node(step.firstNode).thread;
    if (step.rule == TranslateRule::Reversion) {
        // the target runs again and its thread resumes after it; every thread
        // started below the target stops, the reverting one included
        const CounterEffect e = counterEffect(ctx, step.target);
        QMap<int, int> counters;
        for (int th : ctx.ThreadsBelow(step.target))
            counters[th] = 0;
        counters[thread] = 0;
        for (auto it = e.others.cbegin(); it != e.others.cend(); ++it)
            counters[it.key()] = it.value();
        if (e.thread > 0)
            counters[e.thread] = e.value;
        const int own = counters.take(thread);
        append(counters, thread, own);
    } else if (step.rule == TranslateRule::Macro) {
        // as if the target step had just run; a go-to in another thread ends its own
        const CounterEffect e = counterEffect(ctx, step.target);
        const bool ownSet = e.thread == thread || e.others.contains(thread);
        append(e.others, e.thread, e.value);
        if (!ownSet)
            append({}, thread, 0);
    } else {
        const CounterEffect e = counterEffect(ctx, step.firstNode);
        append(e.others, e.thread, e.value);
    }
    return out;
}

CBehaviorStep::Kind CTranslateParsingMethods::StepKind(const CTranslateContext &ctx, const CTranslateStep &step)
{
    bool internal = false;
    for (int n : step.block) {
        const CNodeAction &a = ctx.Action(n);
        if (a.ConsumesExternal())
            return CBehaviorStep::ExternalInput; // the outside comes last, a message with it or not
        internal = internal || a.ConsumesInternal();
    }
    return internal ? CBehaviorStep::InternalInput : CBehaviorStep::InternalAction;
}

QList<int> CTranslateParsingMethods::StepAssignmentNodes(const CTranslateContext &ctx, const CTranslateStep &step)
{
    QList<int> nodes = step.block;
    if (isJump(step.rule)) {
        // the jump node's behavior is the target's, which runs again in its place
        nodes.removeLast();
        nodes += step.target == 1 ? ctx.InitBlock() : ctx.Block(step.target);
    }
    return nodes;
}
