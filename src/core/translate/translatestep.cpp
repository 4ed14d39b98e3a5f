// What a step does to the counters, and how it becomes a chain of UPPAAL edges.
#include "translateparsingmethods.h"

#include "identifier.h"
#include "translatecontext.h"
#include "translateexception.h"
#include "translateparsingrule.h"
#include "translatetexts.h"

#include <QMap>

#include <algorithm>

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

namespace {

constexpr int kColumn = 120;
constexpr int kLeft = 64;

QPoint locationPoint(int step, int column)
{
    return {kLeft + kColumn * column, step == 0 ? 20 : 100 + 20 + kColumn * (step - 1)};
}

// Sets an edge's ends; the editor places its labels.
void place(CTranslateUTrans &e, const QString &source, const QString &target)
{
    e.source = source;
    e.target = target;
}

void addGuard(CTranslateUTrans &e, const QString &guard)
{
    if (guard.isEmpty())
        return;
    if (!e.guard.isEmpty())
        throw CTranslateException(TranslateTexts::UppaalGuards() + guard);
    e.guard = guard;
}

void addSync(CTranslateUTrans &e, const QString &sync)
{
    if (sync.isEmpty())
        return;
    if (!e.sync.isEmpty())
        throw CTranslateException(TranslateTexts::UppaalSynchronisations() + sync);
    e.sync = sync;
}

void addAssignment(CTranslateUTrans &e, const QString &assignment)
{
    if (assignment.isEmpty())
        return;
    e.assignment += (e.assignment.isEmpty() ? QString() : QStringLiteral(", ")) + assignment;
}

QString killChannel(CTranslateCollections &c, int thread)
{
    const QString channel = QStringLiteral("killpro") + QString::number(thread);
    c.jumpAndKillChannels.Add(channel);
    c.processes[size_t(thread)].killable = true;
    return channel + u'!';
}

QString jumpChannel(CTranslateCollections &c, int thread, int step)
{
    const QString channel = QStringLiteral("jumpToPro%1state%2").arg(thread).arg(step);
    c.jumpAndKillChannels.Add(channel);
    CUppaalProcess &p = c.processes[size_t(thread)];
    if (!p.jumpChannels.contains(channel)) {
        // the jumping edge stops the thread first, so it is received where a stopped thread waits
        p.jumpChannels.insert(channel);
        CTranslateUTrans e;
        place(e, CTranslateParsingMethods::LocationId(thread, 0), CTranslateParsingMethods::LocationId(thread, step));
        e.sync = channel + u'?';
        p.transitions.append(e);
    }
    return channel + u'!';
}

} // namespace

void CTranslateParsingMethods::StepUPPAAL(const CTranslateStep &step, CTranslateContext &ctx) const
{
    CTranslateCollections &c = ctx.Collections();
    const CTranslateNode &head = ctx.Node(step.firstNode);
    const int thread = head.thread;
    const int jumpNode = isJump(step.rule) ? step.block.last() : 0;

    // The same step the executable form takes: the block's guards and inputs,
    // the assignments and outputs of the nodes it runs (for a jump, the
    // target's block again, at once), and its counter changes.
    CTranslateUTrans first;
    bool messages = false;
    for (int n : step.block) {
        const CNodeAction &a = ctx.Action(n);
        const QString guard = UppaalGuard(ctx, a);
        if (n == jumpNode && !guard.isEmpty() && !first.guard.isEmpty())
            first.guard += QStringLiteral(" && ") + guard; // the target's test, which used to have an edge of its own
        else
            addGuard(first, guard);
        if (a.kind == CNodeAction::ExternalInput || a.kind == CNodeAction::InternalInput) {
            for (const QString &sync : UppaalSyncs(a))
                addSync(first, sync);
        }
        messages = messages || a.kind == CNodeAction::InternalInput;
    }
    for (int n : StepAssignmentNodes(ctx, step)) {
        const CNodeAction &a = ctx.Action(n);
        if (a.kind == CNodeAction::ExternalOutput || a.kind == CNodeAction::InternalOutput) {
            for (const QString &sync : UppaalSyncs(a))
                addSync(first, sync);
        }
        messages = messages || a.kind == CNodeAction::InternalOutput;
        for (const QString &assignment : UppaalAssignments(ctx, a))
            addAssignment(first, assignment);
    }

    // where each thread's counter ends up, the last change winning
    QMap<int, int> others;
    int own = 0;
    for (const auto &[t, value] : StepCounters(ctx, step))
        others[t] = value;
    if (others.contains(thread))
        own = others.take(thread);

    // A stopped thread is killed; a started child waits in its disabled
    // location. A jump moves a thread wherever it stands, so it is killed
    // first and sent on from its disabled location.
    // A start is received only where the thread is stopped: a branching
    // that a go-to brings back may find its threads still running, and
    // restarts them as a jump does.
    const bool mayRun = !jumpNode && ctx.ReachedAgainByGoTo(step.block.last());
    QStringList kills;
    QStringList moves;
    for (auto it = others.cbegin(); it != others.cend(); ++it) {
        const int t = it.key();
        if (it.value() == 0) {
            kills.append(killChannel(c, t));
        } else if (!jumpNode) {
            if (mayRun)
                kills.append(killChannel(c, t));
            moves.append(QStringLiteral("startpro") + QString::number(t) + u'!');
            c.startedThreads.insert(t);
        } else {
            kills.append(killChannel(c, t));
            moves.append(jumpChannel(c, t, it.value()));
        }
    }
    QStringList extra = kills + moves;

    // one synchronisation per edge: the rest follow through committed locations
    CUppaalProcess &process = c.processes[size_t(thread)];
    if (first.sync.isEmpty() && !extra.isEmpty())
        first.sync = extra.takeFirst();
    QString from = LocationId(thread, head.pc);
    CTranslateUTrans current = first;
    for (qsizetype k = 0; k < extra.size(); ++k) {
        CUppaalLocation chain;
        chain.id = chain.name = LocationId(thread, head.pc) + u'_' + QString::number(k + 1);
        const QPoint at = locationPoint(head.pc, int(k) + 1);
        chain.x = at.x();
        chain.y = at.y();
        chain.nameX = at.x() - 70;
        chain.nameY = at.y();
        chain.committed = true;
        // A message pairs two processes, both of which may then stand in a
        // chain, and a kill from one must not wait for the other to finish.
        chain.killable = messages;
        process.extraLocations.append(chain);
        place(current, from, chain.id);
        process.transitions.append(current);
        current = CTranslateUTrans();
        current.sync = extra[k];
        from = chain.id;
    }
    place(current, from, LocationId(thread, own));
    process.transitions.append(current);
}
