#pragma once

#include "translateparsingrule.h"

// The rules for plain behavior: sequences, internal messages, branching,
// jumps and branch kills. The set rules are in translatesets.h.

class CTranslateRuleSequential : public CTranslateStepRule
{
public:
    CTranslateRuleSequential() : CTranslateStepRule(TranslateRule::Sequential) {}
    bool Recognises(const CTranslateContext &ctx, int node) const override;
};

class CTranslateRuleInternal : public CTranslateStepRule
{
public:
    CTranslateRuleInternal() : CTranslateStepRule(TranslateRule::Internal) {}
    bool Recognises(const CTranslateContext &ctx, int node) const override;

protected:
    void Prepare(CTranslateStep &step, CTranslateContext &ctx, const CTranslateRuleList &rules) const override;
};

class CTranslateRuleConBranching : public CTranslateStepRule
{
public:
    CTranslateRuleConBranching() : CTranslateStepRule(TranslateRule::ConBranching) {}
    bool Recognises(const CTranslateContext &ctx, int node) const override;

protected:
    void Prepare(CTranslateStep &step, CTranslateContext &ctx, const CTranslateRuleList &rules) const override;
};

class CTranslateRuleAltBranching : public CTranslateStepRule
{
public:
    CTranslateRuleAltBranching() : CTranslateStepRule(TranslateRule::AltBranching) {}
    bool Recognises(const CTranslateContext &ctx, int node) const override;

protected:
    void Prepare(CTranslateStep &step, CTranslateContext &ctx, const CTranslateRuleList &rules) const override;
};

class CTranslateRuleMacro : public CTranslateStepRule
{
public:
    CTranslateRuleMacro() : CTranslateStepRule(TranslateRule::Macro) {}
    bool Recognises(const CTranslateContext &ctx, int node) const override;

protected:
    void Prepare(CTranslateStep &step, CTranslateContext &ctx, const CTranslateRuleList &rules) const override;
};

class CTranslateRuleThreadKill : public CTranslateStepRule
{
public:
    CTranslateRuleThreadKill() : CTranslateStepRule(TranslateRule::ThreadKill) {}
    bool Recognises(const CTranslateContext &ctx, int node) const override;

protected:
    void Prepare(CTranslateStep &step, CTranslateContext &ctx, const CTranslateRuleList &rules) const override;
};

class CTranslateRuleReversion : public CTranslateStepRule
{
public:
    CTranslateRuleReversion() : CTranslateStepRule(TranslateRule::Reversion) {}
    bool Recognises(const CTranslateContext &ctx, int node) const override;

protected:
    void Prepare(CTranslateStep &step, CTranslateContext &ctx, const CTranslateRuleList &rules) const override;
};
