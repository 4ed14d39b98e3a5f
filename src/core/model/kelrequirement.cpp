#include "kelrequirement.h"

#include "keldatamanager.h"
#include "kelrecord.h"

void CKELRequirement::SetDescription(const QString &text)
{
    m_description = text;
    SetToolTip(text);
}

void CKELRequirement::AppendOwnFields(QString &out) const
{
    AppendText(out, u"desc", m_description);
}

void CKELRequirement::FromRecord(const CKELRecord &record)
{
    SetDescription(record.GetText(u"desc"));
    ReadBase(record);
}

const CKELState *CKELComponent::FindState(const QString &decoratedName) const
{
    for (const auto &c : Children()) {
        if (c->GetTypeCode() == KEL::State && c->GetName() == decoratedName)
            return static_cast<const CKELState *>(c.get());
    }
    return nullptr;
}

void CKELComponent::AppendOwnFields(QString &out) const
{
    if (m_systemComponent)
        out += u"SysComp:1;";
}

void CKELComponent::FromRecord(const CKELRecord &record)
{
    m_systemComponent = record.GetBool(u"SysComp");
    ReadBase(record);
}

void CKELState::SetBehavior(const QString &behavior, int behaviorType)
{
    m_behavior = behavior;
    m_behaviorType = behaviorType;
    SetName(KEL::Decorate(behavior, behaviorType));
}

QList<int> CKELState::RequirementIds() const
{
    QList<int> ids;
    for (int id : VParentIds()) {
        const CKELData *e = Manager() ? Manager()->Lookup(id) : nullptr;
        if (e && e->GetTypeCode() == KEL::Requirement && !ids.contains(id))
            ids.append(id);
    }
    return ids;
}

QString CKELState::GetLabel() const
{
    QString label = GetName();
    const QList<int> reqs = RequirementIds();
    if (!reqs.isEmpty()) {
        QStringList tags;
        for (int id : reqs) {
            if (tags.size() == 5)
                break;
            tags.append(Manager()->Lookup(id)->GetName());
        }
        label += QStringLiteral(" {") + tags.join(u',') + u'}';
    }
    return label;
}

QString CKELState::GetLabelFor(const CKELData *) const
{
    const CKELData *component = GetParent();
    return (component ? component->GetName() : QString()) + u' ' + GetName();
}

void CKELState::AppendOwnFields(QString &out) const
{
    AppendText(out, u"stat", m_behavior);
    AppendInt(out, u"statdec", m_behaviorType);
}

void CKELState::FromRecord(const CKELRecord &record)
{
    m_behavior = record.GetText(u"stat");
    m_behaviorType = record.GetInt(u"statdec");
    ReadBase(record);
}
