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

namespace NodeFields {
namespace {

void appendText(QString &out, QStringView key, QStringView value, Escaping escaping)
{
    if (escaping == Escaping::File) {
        CKELRecord::AppendTextField(out, key, value);
        return;
    }
    out += key;
    out += u':';
    CKELRecord::EscapeForPacketAppend(value, out);
    out += u';';
}

void appendNumber(QString &out, QStringView key, int value)
{
    CKELRecord::AppendIntField(out, key, value);
}

} // namespace

template<class Node> void AppendHead(QString &out, const Node &n, Escaping escaping)
{
    appendText(out, u"Comp", n.component, escaping);
    appendText(out, u"State", n.behavior, escaping);
    appendNumber(out, u"StatDec", n.behaviorType);
    if (!n.requirementTag.isEmpty())
        appendText(out, u"ReqTag", n.requirementTag, escaping);
}

template<class Node> void AppendTail(QString &out, const Node &n, Escaping escaping)
{
    if (n.jumpType != 0)
        appendNumber(out, u"JumpType", n.jumpType);
    if (!n.qualifier.isEmpty())
        appendText(out, u"Quali", n.qualifier, escaping);
    if (n.missType != 0)
        appendNumber(out, u"MissType", n.missType);
    if (n.doubleLine)
        out += u"DblLine:1;";
    if (n.nonDeterministic)
        out += u"NonDet:1;";
    if (n.atomic)
        out += u"Atomic:1;";
    if (n.setOperation)
        out += u"SetOp:1;";
    // a reader takes an empty tag for none, so an empty one is not written
    if (n.hasExtendedTag && !n.extendedTag.isEmpty())
        appendText(out, u"ExtTag", n.extendedTag, escaping);
    if (n.displayExtendedTag)
        out += u"DispExtTag:1;";
    if (!n.extraInfoTags.isEmpty()) {
        QString info;
        for (qsizetype i = 0; i < n.extraInfoTags.size(); ++i) {
            if (i)
                info += u',';
            info += n.extraInfoTags[i];
            info += u',';
            info += n.extraInfoNames.value(i);
        }
        appendText(out, u"ExtraInfo", info, escaping);
    }
    if (n.displayExtraInfo)
        out += u"DispExtInfo:1;";
}

template<class Node> void Read(const CKELRecord &r, Node &n)
{
    n.component = r.GetText(u"Comp");
    n.behavior = r.GetText(u"State");
    n.behaviorType = r.GetInt(u"StatDec");
    n.requirementTag = r.GetText(u"ReqTag");
    n.jumpType = r.GetInt(u"JumpType");
    n.qualifier = r.GetText(u"Quali");
    n.missType = r.GetInt(u"MissType");
    n.doubleLine = r.GetBool(u"DblLine");
    n.nonDeterministic = r.GetBool(u"NonDet");
    n.atomic = r.GetBool(u"Atomic");
    n.setOperation = r.GetBool(u"SetOp");
    n.extendedTag = r.GetText(u"ExtTag");
    n.hasExtendedTag = !n.extendedTag.isEmpty();
    n.displayExtendedTag = r.GetBool(u"DispExtTag");
    n.displayExtraInfo = r.GetBool(u"DispExtInfo");
    n.extraInfoTags.clear();
    n.extraInfoNames.clear();
    CKELMethod::ParseExtraInfo(r.GetText(u"ExtraInfo"), n.extraInfoTags, n.extraInfoNames);
}

template void AppendHead<CKELMethod>(QString &, const CKELMethod &, Escaping);
template void AppendTail<CKELMethod>(QString &, const CKELMethod &, Escaping);
template void AppendHead<CNodeAttributes>(QString &, const CNodeAttributes &, Escaping);
template void AppendTail<CNodeAttributes>(QString &, const CNodeAttributes &, Escaping);
template void Read<CKELMethod>(const CKELRecord &, CKELMethod &);
template void Read<CNodeAttributes>(const CKELRecord &, CNodeAttributes &);

} // namespace NodeFields

QString CNodeAttributes::RecordFields() const
{
    QString out;
    NodeFields::AppendHead(out, *this, NodeFields::Escaping::Packet);
    NodeFields::AppendTail(out, *this, NodeFields::Escaping::Packet);
    return out;
}

CNodeAttributes CNodeAttributes::FromRecord(const CKELRecord &r)
{
    CNodeAttributes a;
    NodeFields::Read(r, a);
    return a;
}
