#pragma once

#include "translateparsingmethods.h"

#include <QList>

#include <memory>
#include <vector>

class CTranslateContext;
struct CTranslateStep;
class CTranslateParsingRule;

using CTranslateRuleList = std::vector<std::unique_ptr<CTranslateParsingRule>>;

// A translation rule: it recognises a pattern of nodes and makes a step of
// it; the writers take the steps from the executable form. The base
// recognises nothing.
class CTranslateParsingRule
{
public:
    explicit CTranslateParsingRule(int number) : m_number(number) {}
    virtual ~CTranslateParsingRule() = default;
    CTranslateParsingRule(const CTranslateParsingRule &) = delete;
    CTranslateParsingRule &operator=(const CTranslateParsingRule &) = delete;

    int Number() const { return m_number; }

    // Whether this rule makes a step that starts at this remaining node.
    virtual bool Recognises(const CTranslateContext &ctx, int node) const;
    // One pass over the remaining nodes: a step for each one recognised,
    // which then leaves the list. True when it made at least one.
    virtual bool Parse(CTranslateContext &ctx, QList<int> &remaining, const CTranslateRuleList &rules);

    // Whether some rule of the list recognises the node, or it is in a step already.
    static bool AnyRecognises(const CTranslateContext &ctx, int node, const CTranslateRuleList &rules);

protected:
    // Called once a step is made: finds what the step refers to, and throws
    // when that is not there.
    virtual void Prepare(CTranslateStep &step, CTranslateContext &ctx, const CTranslateRuleList &rules) const;

private:
    int m_number;
};

// Rule numbers, fixed: 6, 9 and 10 are none.
namespace TranslateRule {
enum : int {
    Sequential = 1,
    Internal = 2,
    ConBranching = 3,
    AltBranching = 4,
    Macro = 5,
    ThreadKill = 7,
    Reversion = 8,
    SetAdd = 11,
    SetUnion = 12,
    SetSubtract = 13,
    SetDifference = 14,
    SetCardinality = 15,
    SetEmpty = 16,
    SetIntersection = 17,
    SetMember = 18,
    SetSubset = 19,
};
}

// A new rule object for a rule number; null for 6, 9, 10 and any unknown number.
std::unique_ptr<CTranslateParsingRule> CreateRule(int number);
// Reversion, then Macro: applied once before the others.
CTranslateRuleList PrePassRules();
// The rules applied in passes, in their order.
CTranslateRuleList MainRules();
