#pragma once

// Small behavior trees written as text, for the derivation tests:
//   Door.Closed(User.Push:3(Door.Open^),Light.On/R2)
// COMPONENT.BEHAVIOR, then :TYPE (1 when absent), ^ or = (reversion, go to)
// and /TAG (requirement tag); children in parentheses; top-level commas make
// further roots. Outline prints a tree back the same way, evolution nodes
// with <STATUS|VERSIONS>, versions as 1-based places in a list of tree ids.

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/treeops.h"

#include <QRegularExpression>
#include <QStringList>

namespace TreeSketch {

inline CKELMethod *AddNode(CKELDataManager &m, CKELTree &tree, CKELMethod *parent, const QString &label)
{
    static const QRegularExpression re(QStringLiteral(R"(^([^.]*)\.([^:^=/]*)(?::(\d+))?([\^=])?(?:/(.*))?$)"));
    const QRegularExpressionMatch match = re.match(label.trimmed());
    Q_ASSERT_X(match.hasMatch(), "TreeSketch", qPrintable(label));
    CKELMethod *n = TreeOps::NewNode(m, tree);
    n->component = match.captured(1);
    n->behavior = match.captured(2);
    n->behaviorType = match.captured(3).isEmpty() ? 1 : match.captured(3).toInt();
    n->jumpType = match.captured(4) == u"^" ? 1 : match.captured(4) == u"=" ? 2 : 0;
    n->requirementTag = match.captured(5);
    if (parent)
        TreeOps::Link(m, parent, n);
    return n;
}

inline CKELTree *AddTree(CKELDataManager &m, CKELVersion *version, const QString &name, const QString &sketch,
                         int typeCode = KEL::RBT)
{
    std::unique_ptr<CKELData> e = m.CreateElement(typeCode);
    m.RegisterElement(e.get());
    auto *tree = static_cast<CKELTree *>(e.get());
    tree->SetName(name);
    (typeCode == KEL::DBT ? static_cast<CKELData *>(version->DBTFolder()) : version->RBTFolder())->AddChild(e);
    QList<CKELMethod *> parents{nullptr};
    CKELMethod *last = nullptr;
    QString label;
    for (QChar ch : sketch + u',') {
        if (ch != u'(' && ch != u')' && ch != u',') {
            label += ch;
            continue;
        }
        if (!label.trimmed().isEmpty())
            last = AddNode(m, *tree, parents.last(), label);
        label.clear();
        if (ch == u'(')
            parents.append(last);
        else if (ch == u')')
            parents.removeLast();
    }
    return tree;
}

inline CKELVersion *AddVersion(CKELDataManager &m, const QString &name)
{
    std::unique_ptr<CKELVersion> v = m.CreateVersion(name);
    CKELVersion *raw = v.get();
    std::unique_ptr<CKELData> owned(v.release());
    m.Solution()->Project()->AddChild(owned);
    return raw;
}

inline QString OutlineNode(const CKELDataManager &m, const CKELMethod &n, const QList<int> &versions)
{
    QString s = n.component + u'.' + n.behavior;
    if (n.behaviorType != 1)
        s += u':' + QString::number(n.behaviorType);
    s += n.jumpType == 1 ? u"^"_qs : n.jumpType == 2 ? u"="_qs : QString();
    if (n.IsEvolution()) {
        QStringList places;
        for (int id : n.EvTags())
            places.append(QString::number(versions.indexOf(id) + 1));
        s += u'<' + QString::number(n.GetEvStyle()) + u'|' + places.join(u',') + u'>';
    }
    QStringList kids;
    for (int id : n.ChildIds())
        kids.append(OutlineNode(m, *m.LookupAs<CKELMethod>(id, KEL::Method), versions));
    return kids.isEmpty() ? s : s + u'(' + kids.join(u',') + u')';
}

inline QString Outline(const CKELDataManager &m, const CKELTree &tree, const QList<int> &versions = {})
{
    QStringList roots;
    for (const CKELMethod *r : tree.Roots())
        roots.append(OutlineNode(m, *r, versions));
    return roots.join(u',');
}

} // namespace TreeSketch
