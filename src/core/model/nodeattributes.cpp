#include "nodeattributes.h"

#include "kelmethod.h"
#include "kelrecord.h"

CNodeAttributes CNodeAttributes::Of(const CKELMethod &n)
{
    CNodeAttributes a;
    a.component = n.component;
    a.behavior = n.behavior;
    a.behaviorType = n.behaviorType;
    a.requirementTag = n.requirementTag;
    a.jumpType = n.jumpType;
    a.qualifier = n.qualifier;
    a.missType = n.missType;
    a.doubleLine = n.doubleLine;
    a.nonDeterministic = n.nonDeterministic;
    a.atomic = n.atomic;
    a.setOperation = n.setOperation;
    a.hasExtendedTag = n.hasExtendedTag;
    a.extendedTag = n.extendedTag;
    a.displayExtendedTag = n.displayExtendedTag;
    a.displayExtraInfo = n.displayExtraInfo;
    a.extraInfoTags = n.extraInfoTags;
    a.extraInfoNames = n.extraInfoNames;
    return a;
}

void CNodeAttributes::ApplyTo(CKELMethod &n) const
{
    n.component = component;
    n.behavior = behavior;
    n.behaviorType = behaviorType;
    n.requirementTag = requirementTag;
    n.jumpType = jumpType;
    n.qualifier = qualifier;
    n.missType = missType;
    n.doubleLine = doubleLine;
    n.nonDeterministic = nonDeterministic;
    n.atomic = atomic;
    n.setOperation = setOperation;
    n.hasExtendedTag = hasExtendedTag && !extendedTag.isEmpty();
    n.extendedTag = n.hasExtendedTag ? extendedTag : QString();
    n.displayExtendedTag = displayExtendedTag;
    n.displayExtraInfo = displayExtraInfo;
    n.extraInfoTags = extraInfoTags;
    n.extraInfoNames = extraInfoNames;
    while (n.extraInfoNames.size() < n.extraInfoTags.size())
        n.extraInfoNames.append(QString());
}

QString CNodeAttributes::RecordFields() const
{
    QString out;
    auto text = [&out](QStringView key, const QString &value) {
        out += key;
        out += u':';
        CKELRecord::EscapeForPacketAppend(value, out);
        out += u';';
    };
    auto number = [&out](QStringView key, int value) {
        out += key;
        out += u':';
        out += QString::number(value);
        out += u';';
    };
    text(u"Comp", component);
    text(u"State", behavior);
    number(u"StatDec", behaviorType);
    if (!requirementTag.isEmpty())
        text(u"ReqTag", requirementTag);
    if (jumpType != 0)
        number(u"JumpType", jumpType);
    if (!qualifier.isEmpty())
        text(u"Quali", qualifier);
    if (missType != 0)
        number(u"MissType", missType);
    if (doubleLine)
        out += u"DblLine:1;";
    if (nonDeterministic)
        out += u"NonDet:1;";
    if (atomic)
        out += u"Atomic:1;";
    if (setOperation)
        out += u"SetOp:1;";
    if (hasExtendedTag && !extendedTag.isEmpty())
        text(u"ExtTag", extendedTag);
    if (displayExtendedTag)
        out += u"DispExtTag:1;";
    if (!extraInfoTags.isEmpty()) {
        QString info;
        for (qsizetype i = 0; i < extraInfoTags.size(); ++i) {
            if (i)
                info += u',';
            info += extraInfoTags[i] + u',' + extraInfoNames.value(i);
        }
        text(u"ExtraInfo", info);
    }
    if (displayExtraInfo)
        out += u"DispExtInfo:1;";
    return out;
}

CNodeAttributes CNodeAttributes::FromRecord(const CKELRecord &r)
{
    CNodeAttributes a;
    a.component = r.GetText(u"Comp");
    a.behavior = r.GetText(u"State");
    a.behaviorType = r.GetInt(u"StatDec");
    a.requirementTag = r.GetText(u"ReqTag");
    a.jumpType = r.GetInt(u"JumpType");
    a.qualifier = r.GetText(u"Quali");
    a.missType = r.GetInt(u"MissType");
    a.doubleLine = r.GetBool(u"DblLine");
    a.nonDeterministic = r.GetBool(u"NonDet");
    a.atomic = r.GetBool(u"Atomic");
    a.setOperation = r.GetBool(u"SetOp");
    a.extendedTag = r.GetText(u"ExtTag");
    a.hasExtendedTag = !a.extendedTag.isEmpty();
    a.displayExtendedTag = r.GetBool(u"DispExtTag");
    a.displayExtraInfo = r.GetBool(u"DispExtInfo");
    CKELMethod::ParseExtraInfo(r.GetText(u"ExtraInfo"), a.extraInfoTags, a.extraInfoNames);
    return a;
}
