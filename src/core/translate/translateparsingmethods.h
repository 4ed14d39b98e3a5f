#pragma once

#include "translatenode.h"

#include "semantics/behaviormodel.h"

#include <QString>
#include <QStringList>

class CTranslateContext;

// What the rules share: what each node does, and what a step does to the
// counters.
class CTranslateParsingMethods
{
public:
    // Works out every node's action in pre-order, so that types, values and
    // messages are registered in the order the tree shows them.
    static void AnalyseNodes(CTranslateContext &ctx);

    // The counters a step sets, in the order they are written: thread and value.
    static QList<QPair<int, int>> StepCounters(const CTranslateContext &ctx, const CTranslateStep &step);
    // The nodes whose actions a step carries out, a jump's target step included.
    static QList<int> StepAssignmentNodes(const CTranslateContext &ctx, const CTranslateStep &step);
    // What the step waits for, which orders it among the others in the
    // message modes: an input from outside, an internal message, or neither.
    static CBehaviorStep::Kind StepKind(const CTranslateContext &ctx, const CTranslateStep &step);
};
