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

template<size_t N> void appendText(QString &out, const char16_t (&literal)[N], QStringView value, Escaping escaping)
{
    const QStringView key(literal, N - 1);
    if (escaping == Escaping::File) {
        CKELRecord::AppendTextField(out, key, value);
        return;
    }
    out += key;
    out += u':';
    CKELRecord::EscapeForPacketAppend(value, out);
    out += u';';
}

template<size_t N> void appendNumber(QString &out, const char16_t (&key)[N], int value)
{
    CKELRecord::AppendIntField(out, QStringView(key, N - 1), value);
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

bool Take(Raw &raw, QStringView key, QStringView value)
{
    // by length, then by the key itself: one or two comparisons a field
    QStringView *slot = nullptr;
    switch (key.size()) {
    case 4:
        if (CKELRecord::Is(key, u"Comp"))
            slot = &raw.component;
        break;
    case 5:
        if (CKELRecord::Is(key, u"State"))
            slot = &raw.behavior;
        else if (CKELRecord::Is(key, u"Quali"))
            slot = &raw.qualifier;
        else if (CKELRecord::Is(key, u"SetOp"))
            slot = &raw.setOperation;
        break;
    case 6:
        if (CKELRecord::Is(key, u"ReqTag"))
            slot = &raw.requirementTag;
        else if (CKELRecord::Is(key, u"NonDet"))
            slot = &raw.nonDeterministic;
        else if (CKELRecord::Is(key, u"Atomic"))
            slot = &raw.atomic;
        else if (CKELRecord::Is(key, u"ExtTag"))
            slot = &raw.extendedTag;
        break;
    case 7:
        if (CKELRecord::Is(key, u"StatDec"))
            slot = &raw.behaviorType;
        else if (CKELRecord::Is(key, u"DblLine"))
            slot = &raw.doubleLine;
        break;
    case 8:
        if (CKELRecord::Is(key, u"JumpType"))
            slot = &raw.jumpType;
        else if (CKELRecord::Is(key, u"MissType"))
            slot = &raw.missType;
        break;
    case 9:
        if (CKELRecord::Is(key, u"ExtraInfo"))
            slot = &raw.extraInfo;
        break;
    case 10:
        if (CKELRecord::Is(key, u"DispExtTag"))
            slot = &raw.displayExtendedTag;
        break;
    case 11:
        if (CKELRecord::Is(key, u"DispExtInfo"))
            slot = &raw.displayExtraInfo;
        break;
    default: break;
    }
    if (!slot)
        return false;
    *slot = value;
    return true;
}

template<class Node> void Apply(const CKELRecord &r, const Raw &raw, Node &n)
{
    n.component = r.TextOf(raw.component);
    n.behavior = r.TextOf(raw.behavior);
    n.behaviorType = CKELRecord::ToInt(raw.behaviorType);
    n.requirementTag = r.TextOf(raw.requirementTag);
    n.jumpType = CKELRecord::ToInt(raw.jumpType);
    n.qualifier = r.TextOf(raw.qualifier);
    n.missType = CKELRecord::ToInt(raw.missType);
    n.doubleLine = CKELRecord::Is(raw.doubleLine, u"1");
    n.nonDeterministic = CKELRecord::Is(raw.nonDeterministic, u"1");
    n.atomic = CKELRecord::Is(raw.atomic, u"1");
    n.setOperation = CKELRecord::Is(raw.setOperation, u"1");
    n.extendedTag = r.TextOf(raw.extendedTag);
    n.hasExtendedTag = !n.extendedTag.isEmpty();
    n.displayExtendedTag = CKELRecord::Is(raw.displayExtendedTag, u"1");
    n.displayExtraInfo = CKELRecord::Is(raw.displayExtraInfo, u"1");
    n.extraInfoTags.clear();
    n.extraInfoNames.clear();
    if (!raw.extraInfo.isEmpty())
        CKELMethod::ParseExtraInfo(r.TextOf(raw.extraInfo), n.extraInfoTags, n.extraInfoNames);
}

template<class Node> void Read(const CKELRecord &r, Node &n)
{
    Raw raw;
    r.ForEachField([&raw](QStringView key, QStringView value) { Take(raw, key, value); });
    Apply(r, raw, n);
}

template void AppendHead<CKELMethod>(QString &, const CKELMethod &, Escaping);
template void AppendTail<CKELMethod>(QString &, const CKELMethod &, Escaping);
template void AppendHead<CNodeAttributes>(QString &, const CNodeAttributes &, Escaping);
template void AppendTail<CNodeAttributes>(QString &, const CNodeAttributes &, Escaping);
template void Read<CKELMethod>(const CKELRecord &, CKELMethod &);
template void Read<CNodeAttributes>(const CKELRecord &, CNodeAttributes &);
template void Apply<CKELMethod>(const CKELRecord &, const Raw &, CKELMethod &);

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
