#include "translaterules.h"

#include "translatecontext.h"
#include "translateexception.h"
#include "translatetexts.h"

namespace {

const CTranslateNode &lastOf(const CTranslateContext &ctx, int head)
{
    return ctx.Node(ctx.BlockLast(head));
}

bool branches(const CTranslateContext &ctx, int head)
{
    return lastOf(ctx, head).children.size() >= 2;
}

// Branching with every child NonDet (wanted true) or none (wanted false).
bool branchesWith(const CTranslateContext &ctx, int head, bool nonDet)
{
    const CTranslateNode &last = lastOf(ctx, head);
    if (last.children.size() < 2)
        return false;
    for (int c : last.children) {
        if (ctx.Node(c).nonDet != nonDet)
            return false;
    }
    const CTranslateNode &h = ctx.Node(head);
    return !h.setOp && !h.IsKill() && h.behaviorType >= 1 && h.behaviorType <= 8;
}

void checkBranchHeads(const CTranslateContext &ctx, const CTranslateStep &step, const CTranslateRuleList &rules)
{
    for (int c : ctx.Node(step.block.last()).children) {
        if (!CTranslateParsingRule::AnyRecognises(ctx, c, rules))
            throw CTranslateException(TranslateTexts::NoMatchingRules() + ctx.Describe(c));
    }
}

void checkJumpTarget(const CTranslateContext &ctx, int jumpNode, int target)
{
    if (!ctx.IsJumpTarget(target))
        throw CTranslateException(TranslateTexts::AtomicJump() + ctx.Describe(jumpNode));
}

} // namespace

bool CTranslateRuleSequential::Recognises(const CTranslateContext &ctx, int node) const
{
    const CTranslateNode &n = ctx.Node(node);
    return !n.visited && !n.setOp && !n.IsKill() && n.behaviorType >= 1 && n.behaviorType <= 7 && !branches(ctx, node);
}

bool CTranslateRuleInternal::Recognises(const CTranslateContext &ctx, int node) const
{
    const CTranslateNode &n = ctx.Node(node);
    return !n.setOp && !n.IsKill() && n.behaviorType == 8 && !branches(ctx, node);
}

void CTranslateRuleInternal::Prepare(CTranslateStep &step, CTranslateContext &ctx, const CTranslateRuleList &) const
{
    ctx.InternalReceivers(step.firstNode);
}

bool CTranslateRuleConBranching::Recognises(const CTranslateContext &ctx, int node) const
{
    return branchesWith(ctx, node, false);
}

void CTranslateRuleConBranching::Prepare(CTranslateStep &step, CTranslateContext &ctx,
                                         const CTranslateRuleList &rules) const
{
    checkBranchHeads(ctx, step, rules);
}

bool CTranslateRuleAltBranching::Recognises(const CTranslateContext &ctx, int node) const
{
    return branchesWith(ctx, node, true);
}

void CTranslateRuleAltBranching::Prepare(CTranslateStep &step, CTranslateContext &ctx,
                                         const CTranslateRuleList &rules) const
{
    checkBranchHeads(ctx, step, rules);
    // the first alternative that moves stops the others
    const QList<int> children = ctx.Node(step.block.last()).children;
    for (int c : children) {
        QList<int> others;
        for (int o : children) {
            if (o != c)
                others.append(ctx.Node(o).thread);
        }
        ctx.Node(c).disableThreads = others;
    }
}

bool CTranslateRuleMacro::Recognises(const CTranslateContext &ctx, int node) const
{
    return lastOf(ctx, node).jumpType == 2;
}

void CTranslateRuleMacro::Prepare(CTranslateStep &step, CTranslateContext &ctx, const CTranslateRuleList &) const
{
    const int jump = step.block.last();
    const QList<int> found = ctx.MacroCandidates(jump);
    if (found.isEmpty())
        throw CTranslateException(TranslateTexts::MacroNotFound() + ctx.Describe(jump));
    if (found.size() > 1)
        throw CTranslateException(TranslateTexts::TooManyMacros() + ctx.Describe(jump));
    checkJumpTarget(ctx, jump, found.first());
    step.target = found.first();
}

bool CTranslateRuleThreadKill::Recognises(const CTranslateContext &ctx, int node) const
{
    return ctx.Node(node).IsKill();
}

void CTranslateRuleThreadKill::Prepare(CTranslateStep &step, CTranslateContext &ctx, const CTranslateRuleList &) const
{
    const int branch = ctx.BranchToKill(step.firstNode);
    if (!branch)
        throw CTranslateException(TranslateTexts::InvalidBranchKill() + ctx.Describe(step.firstNode));
    step.killThreads = QList<int>{ctx.Node(branch).thread} + ctx.ThreadsBelow(branch);
}

bool CTranslateRuleReversion::Recognises(const CTranslateContext &ctx, int node) const
{
    const CTranslateNode &last = lastOf(ctx, node);
    return last.jumpType == 1 && last.IsLeaf();
}

void CTranslateRuleReversion::Prepare(CTranslateStep &step, CTranslateContext &ctx, const CTranslateRuleList &) const
{
    const int jump = step.block.last();
    const int target = ctx.ReversionTarget(jump);
    if (!target)
        throw CTranslateException(TranslateTexts::NoReversionPoint() + ctx.Describe(jump));
    checkJumpTarget(ctx, jump, target);
    step.target = target;
}
