#include "translateparsingrule.h"

#include "translatecontext.h"
#include "translaterules.h"
#include "translatesets.h"

bool CTranslateParsingRule::Recognises(const CTranslateContext &, int) const
{
    return false;
}

void CTranslateParsingRule::Prepare(CTranslateStep &, CTranslateContext &, const CTranslateRuleList &) const {}

bool CTranslateParsingRule::Parse(CTranslateContext &ctx, QList<int> &remaining, const CTranslateRuleList &rules)
{
    bool made = false;
    for (int n : std::as_const(remaining)) {
        if (ctx.Node(n).visited || !Recognises(ctx, n))
            continue;
        CTranslateStep &step = ctx.AddStep(n, m_number);
        Prepare(step, ctx, rules);
        made = true;
    }
    if (made)
        remaining.removeIf([&ctx](int n) { return ctx.Node(n).visited; });
    return made;
}

bool CTranslateParsingRule::AnyRecognises(const CTranslateContext &ctx, int node, const CTranslateRuleList &rules)
{
    if (ctx.Node(node).visited)
        return true;
    for (const auto &rule : rules) {
        if (rule->Recognises(ctx, node))
            return true;
    }
    return false;
}

std::unique_ptr<CTranslateParsingRule> CreateRule(int number)
{
    switch (number) {
    case TranslateRule::Sequential: return std::make_unique<CTranslateRuleSequential>();
    case TranslateRule::Internal: return std::make_unique<CTranslateRuleInternal>();
    case TranslateRule::ConBranching: return std::make_unique<CTranslateRuleConBranching>();
    case TranslateRule::AltBranching: return std::make_unique<CTranslateRuleAltBranching>();
    case TranslateRule::Macro: return std::make_unique<CTranslateRuleMacro>();
    case TranslateRule::ThreadKill: return std::make_unique<CTranslateRuleThreadKill>();
    case TranslateRule::Reversion: return std::make_unique<CTranslateRuleReversion>();
    case TranslateRule::SetAdd: return std::make_unique<CTranslateSetAdd>();
    case TranslateRule::SetUnion: return std::make_unique<CTranslateSetUnion>();
    case TranslateRule::SetSubtract: return std::make_unique<CTranslateSetSubtract>();
    case TranslateRule::SetDifference: return std::make_unique<CTranslateSetDifference>();
    case TranslateRule::SetCardinality: return std::make_unique<CTranslateSetCardinality>();
    case TranslateRule::SetEmpty: return std::make_unique<CTranslateSetEmpty>();
    case TranslateRule::SetIntersection: return std::make_unique<CTranslateSetIntersection>();
    case TranslateRule::SetMember: return std::make_unique<CTranslateSetMember>();
    case TranslateRule::SetSubset: return std::make_unique<CTranslateSetSubset>();
    default: return nullptr;
    }
}

namespace {

CTranslateRuleList listOf(std::initializer_list<int> numbers)
{
    CTranslateRuleList rules;
    for (int n : numbers)
        rules.push_back(CreateRule(n));
    return rules;
}

} // namespace

CTranslateRuleList PrePassRules()
{
    return listOf({TranslateRule::Reversion, TranslateRule::Macro});
}

CTranslateRuleList MainRules()
{
    using namespace TranslateRule;
    return listOf({Sequential, Internal, ConBranching, AltBranching, ThreadKill, SetAdd, SetCardinality, SetDifference,
                   SetEmpty, SetIntersection, SetMember, SetSubtract, SetUnion, SetSubset});
}
