#include "keltree.h"

#include "keldatamanager.h"
#include "kelmethod.h"
#include "kelrecord.h"

namespace {

template<class Node, class Tree> QList<Node *> methodsOf(Tree &tree, bool rootsOnly)
{
    QList<Node *> nodes;
    for (int i = 0, n = tree.ChildCount(); i < n; ++i) {
        auto *c = tree.ChildAt(i);
        if (c->IsMethod() && (!rootsOnly || static_cast<Node *>(c)->ParentId() == 0))
            nodes.append(static_cast<Node *>(c));
    }
    return nodes;
}

} // namespace

QList<const CKELMethod *> CKELTree::Nodes() const
{
    return methodsOf<const CKELMethod>(*this, false);
}

QList<CKELMethod *> CKELTree::Nodes()
{
    return methodsOf<CKELMethod>(*this, false);
}

QList<const CKELMethod *> CKELTree::Roots() const
{
    return methodsOf<const CKELMethod>(*this, true);
}

QList<CKELMethod *> CKELTree::Roots()
{
    return methodsOf<CKELMethod>(*this, true);
}

QString CKELRBT::GetLabel() const
{
    QString label = GetName();
    if (!m_associatedRequirements.isEmpty()) {
        QStringList names;
        for (int id : m_associatedRequirements) {
            const CKELData *r = Manager() ? Manager()->Lookup(id) : nullptr;
            names.append(r ? r->GetName() : QString());
        }
        label += QStringLiteral(" {") + names.join(u',') + u'}';
    }
    return label;
}

void CKELRBT::SetPages(int wide, int high)
{
    m_pagesWide = wide > 0 ? wide : 1;
    m_pagesHigh = high > 0 ? high : 1;
}

void CKELRBT::AppendOwnFields(QString &out) const
{
    if (!m_associatedRequirements.isEmpty())
        AppendField(out, u"Associated Req", CKELRecord::JoinInts(m_associatedRequirements));
    AppendInt(out, u"pgw", m_pagesWide);
    AppendInt(out, u"pgh", m_pagesHigh);
    AppendInt(out, u"lvg", m_levelGap);
}

void CKELRBT::ReadTreeFields(const CKELRecord &record)
{
    record.GetIntList(u"Associated Req", m_associatedRequirements);
    SetPages(record.GetInt(u"pgw"), record.GetInt(u"pgh"));
    SetLevelGap(record.GetInt(u"lvg"));
}

void CKELRBT::FromRecord(const CKELRecord &record)
{
    ReadTreeFields(record);
    ReadBase(record);
}

void CKELEVT::AppendOwnFields(QString &out) const
{
    CKELRBT::AppendOwnFields(out);
    AppendField(out, u"EvTrees", CKELRecord::JoinInts(m_sourceTrees));
}

void CKELEVT::FromRecord(const CKELRecord &record)
{
    const QStringView trees = record.RawView(u"EvTrees");
    if (!trees.isEmpty())
        CKELRecord::ParseIntList(trees, m_sourceTrees);
    ReadTreeFields(record);
    ReadBase(record);
}
