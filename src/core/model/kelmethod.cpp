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
    // the place in one append: five numbers on each of a million lines
    char16_t place[5 * 20];
    char16_t *p = place;
    auto put = [&p](const char16_t *key, int keyLength, int value) {
        for (int i = 0; i < keyLength; ++i)
            *p++ = key[i];
        *p++ = u':';
        char16_t digits[12];
        char16_t *const end = digits + 12;
        for (const char16_t *d = CKELRecord::PutNumberBefore(end, value); d != end; ++d)
            *p++ = *d;
        *p++ = u';';
    };
    put(u"Parent", 6, m_parentId);
    put(u"x", 1, x);
    put(u"y", 1, y);
    put(u"h", 1, h);
    put(u"w", 1, w);
    out.append(reinterpret_cast<const QChar *>(place), p - place);
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
    // one walk over the line: a big file is a million node lines
    NodeFields::Raw raw;
    QStringView parent, left, top, height, width, siblingOrder;
    record.ForEachField([&](QStringView key, QStringView value) {
        if (NodeFields::Take(raw, key, value))
            return;
        if (key.size() == 1) {
            switch (key.front().unicode()) {
            case u'x': left = value; break;
            case u'y': top = value; break;
            case u'h': height = value; break;
            case u'w': width = value; break;
            default: break;
            }
        } else if (CKELRecord::Is(key, u"Parent")) {
            parent = value;
        } else if (CKELRecord::Is(key, u"SibOrd")) {
            siblingOrder = value;
        }
    });
    NodeFields::Apply(record, raw, *this);
    m_parentId = CKELRecord::ToInt(parent);
    x = CKELRecord::ToInt(left);
    y = CKELRecord::ToInt(top);
    h = CKELRecord::ToInt(height);
    w = CKELRecord::ToInt(width);
    bool ok = false;
    const int order = CKELRecord::ToInt(siblingOrder, &ok);
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
