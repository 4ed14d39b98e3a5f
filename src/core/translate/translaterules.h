#pragma once

#include "translateparsingrule.h"

// The rules for plain behavior: sequences, internal messages, branching,
// jumps and branch kills. The set rules are in translatesets.h.

class CTranslateRuleSequential : public CTranslateParsingRule
{
public:
    CTranslateRuleSequential() : CTranslateParsingRule(TranslateRule::Sequential) {}
    bool Recognises(const CTranslateContext &ctx, int node) const override;
};

class CTranslateRuleInternal : public CTranslateParsingRule
{
public:
    CTranslateRuleInternal() : CTranslateParsingRule(TranslateRule::Internal) {}
    bool Recognises(const CTranslateContext &ctx, int node) const override;

protected:
    void Prepare(CTranslateStep &step, CTranslateContext &ctx, const CTranslateRuleList &rules) const override;
};

class CTranslateRuleConBranching : public CTranslateParsingRule
{
public:
    CTranslateRuleConBranching() : CTranslateParsingRule(TranslateRule::ConBranching) {}
    bool Recognises(const CTranslateContext &ctx, int node) const override;

protected:
    void Prepare(CTranslateStep &step, CTranslateContext &ctx, const CTranslateRuleList &rules) const override;
};

class CTranslateRuleAltBranching : public CTranslateParsingRule
{
public:
    CTranslateRuleAltBranching() : CTranslateParsingRule(TranslateRule::AltBranching) {}
    bool Recognises(const CTranslateContext &ctx, int node) const override;

protected:
    void Prepare(CTranslateStep &step, CTranslateContext &ctx, const CTranslateRuleList &rules) const override;
};

class CTranslateRuleMacro : public CTranslateParsingRule
{
public:
    CTranslateRuleMacro() : CTranslateParsingRule(TranslateRule::Macro) {}
    bool Recognises(const CTranslateContext &ctx, int node) const override;

protected:
    void Prepare(CTranslateStep &step, CTranslateContext &ctx, const CTranslateRuleList &rules) const override;
};

class CTranslateRuleThreadKill : public CTranslateParsingRule
{
public:
    CTranslateRuleThreadKill() : CTranslateParsingRule(TranslateRule::ThreadKill) {}
    bool Recognises(const CTranslateContext &ctx, int node) const override;

protected:
    void Prepare(CTranslateStep &step, CTranslateContext &ctx, const CTranslateRuleList &rules) const override;
};

class CTranslateRuleReversion : public CTranslateParsingRule
{
public:
    CTranslateRuleReversion() : CTranslateParsingRule(TranslateRule::Reversion) {}
    bool Recognises(const CTranslateContext &ctx, int node) const override;

protected:
    void Prepare(CTranslateStep &step, CTranslateContext &ctx, const CTranslateRuleList &rules) const override;
};
