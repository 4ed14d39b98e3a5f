#pragma once

#include "kelcontainers.h"

class CKELRequirement : public CKELData
{
public:
    using CKELData::CKELData;
    KEL_KIND(KEL::Requirement, "Requirement", 4)

    QString GetLabel() const override { return GetName(); }
    const QString &Description() const { return m_description; }
    // The description doubles as the tool tip.
    void SetDescription(const QString &text);
    void FromRecord(const CKELRecord &record) override;

protected:
    void AppendOwnFields(QString &out) const override;

private:
    QString m_description;
};

class CKELComponent : public CKELData
{
public:
    using CKELData::CKELData;
    KEL_KIND(KEL::Component, "Component", 6)

    QString GetLabel() const override { return GetName(); }
    bool IsSystemComponent() const { return m_systemComponent; }
    void SetSystemComponent(bool on) { m_systemComponent = on; }
    // The state with this decorated name, or null.
    const class CKELState *FindState(const QString &decoratedName) const;
    CKELState *FindState(const QString &decoratedName)
    {
        return const_cast<CKELState *>(std::as_const(*this).FindState(decoratedName));
    }
    void FromRecord(const CKELRecord &record) override;

protected:
    void AppendOwnFields(QString &out) const override;

private:
    bool m_systemComponent = false;
};

class CKELState : public CKELData
{
public:
    using CKELData::CKELData;
    KEL_KIND(KEL::State, "State", 7)
    bool IsBasicKind() const override { return true; }

    const QString &Behavior() const { return m_behavior; }
    int BehaviorType() const { return m_behaviorType; }
    // Sets behavior and type; the name becomes the decorated behavior.
    void SetBehavior(const QString &behavior, int behaviorType);

    // Requirements that list this state, each once, in the order attached.
    QList<int> RequirementIds() const;
    QString GetLabel() const override;
    QString GetLabelFor(const CKELData *context) const override;
    void FromRecord(const CKELRecord &record) override;

protected:
    void AppendOwnFields(QString &out) const override;

private:
    QString m_behavior;
    int m_behaviorType = KEL::StateRealisation;
};
