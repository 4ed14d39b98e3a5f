#include "kelmethod.h"

#include "keldatamanager.h"
#include "kelrecord.h"
#include "keltree.h"
#include "nodeattributes.h"

QString CKELMethod::GetLabel() const
{
    return requirementTag + QStringLiteral(":-") + component + GetDecoratedBehavior();
}

const CKELTree *CKELMethod::Tree() const
{
    const CKELData *p = GetParent();
    return p && p->IsTree() ? static_cast<const CKELTree *>(p) : nullptr;
}

void CKELMethod::ParseExtraInfo(const QString &text, QStringList &tags, QStringList &names)
{
    const QStringList items = text.split(u',', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < items.size(); i += 2) {
        tags.append(items[i]);
        names.append(i + 1 < items.size() ? items[i + 1] : QString());
    }
}

void CKELMethod::AppendOwnFields(QString &out) const
{
    NodeFields::AppendHead(out, *this, NodeFields::Escaping::File);
    AppendInt(out, u"Parent", m_parentId);
    AppendInt(out, u"x", x);
    AppendInt(out, u"y", y);
    AppendInt(out, u"h", h);
    AppendInt(out, u"w", w);
    NodeFields::AppendTail(out, *this, NodeFields::Escaping::File);
    // Readers that follow the record grammar skip this unknown key; we use it
    // to give children back the order they had among their siblings.
    if (m_parentId > 0) {
        const int order = SiblingOrder();
        if (order >= 0)
            AppendInt(out, u"SibOrd", order);
    }
}

void CKELMethod::FromRecord(const CKELRecord &record)
{
    NodeFields::Read(record, *this);
    m_parentId = record.GetInt(u"Parent");
    x = record.GetInt(u"x");
    y = record.GetInt(u"y");
    h = record.GetInt(u"h");
    w = record.GetInt(u"w");
    bool ok = false;
    const int order = CKELRecord::ToInt(record.RawView(u"SibOrd"), &ok);
    m_loadedSiblingOrder = ok && order >= 0 ? order : -1;
    ReadBase(record);
}

int CKELMethod::SiblingOrder() const
{
    if (m_parentId <= 0 || !Manager())
        return -1;
    if (const CSiblingOrder *cache = Manager()->SiblingOrderCache())
        return cache->Get(GetId());
    const CKELData *p = Manager()->Lookup(m_parentId);
    if (!p || !p->IsMethod())
        return -1;
    return int(static_cast<const CKELMethod *>(p)->m_childIds.indexOf(GetId()));
}
