#pragma once

// Behavior trees written as text, the one way tests describe trees.
//
// A node is  COMPONENT[.BEHAVIOR][:TYPE][FLAGS][{STATUS|VERSIONS}]
//   TYPE     behavior type, 1 when absent
//   FLAGS    any of  ^ reversion, = go to, * atomic, ~ alternative (NonDet),
//            $ set operation, ! branch kill (qualifier "--"), then @TAG
//            (requirement tag); a flag counts only at the end of the node
//   {..}     an evolution node: its status and the versions it is in
//
// Two layouts of the same nodes:
//   one line:  Door.closed(User.push:3(Door.open*),Light.on@R2)
//              children in parentheses; top-level commas make further roots
//   indented:  1|Door|closed            one node a line, TYPE|COMPONENT|
//                3|User|push            BEHAVIOR|FLAGS, two blanks a level;
//                  1|Door|open|*        names may hold any character but |
// Nodes are created in reading order, so element order is reading order.
// Outline prints a tree back in the one-line layout.

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/treeops.h"
#include "testkit.h"

#include <QList>
#include <QRegularExpression>
#include <QStringList>

namespace TreeSketch {

inline const QString &FlagChars()
{
    static const QString flags = QStringLiteral("^=*~$!");
    return flags;
}

// Sets what FLAGS (the text after the node's name and type) say.
inline void ApplyFlags(CKELMethod &n, const QString &flags)
{
    const qsizetype at = flags.indexOf(u'@');
    const QString marks = at < 0 ? flags : flags.left(at);
    n.atomic = marks.contains(u'*');
    n.nonDeterministic = marks.contains(u'~');
    n.setOperation = marks.contains(u'$');
    n.jumpType = marks.contains(u'^') ? 1 : marks.contains(u'=') ? 2 : 0;
    if (marks.contains(u'!'))
        n.qualifier = QStringLiteral("--");
    if (at >= 0)
        n.requirementTag = flags.mid(at + 1);
}

inline CKELMethod *NewNode(CKELDataManager &m, CKELTree &tree, CKELMethod *parent, int type, const QString &component,
                           const QString &behavior, const QString &flags)
{
    CKELMethod *n = TreeOps::NewNode(m, tree);
    n->behaviorType = type;
    n->component = component;
    n->behavior = behavior;
    ApplyFlags(*n, flags);
    if (parent)
        TreeOps::Link(m, parent, n);
    return n;
}

// One node of the one-line layout.
inline CKELMethod *AddNode(CKELDataManager &m, CKELTree &tree, CKELMethod *parent, QString label)
{
    label = label.trimmed();
    QString evolution;
    if (const qsizetype brace = label.indexOf(u'{'); brace >= 0) {
        evolution = label.mid(brace + 1).chopped(1);
        label.truncate(brace);
    }
    QString flags;
    if (const qsizetype at = label.indexOf(u'@'); at >= 0) {
        flags = label.mid(at);
        label.truncate(at);
    }
    while (!label.isEmpty() && FlagChars().contains(label.back())) {
        flags.prepend(label.back());
        label.chop(1);
    }
    static const QRegularExpression typed(QStringLiteral(":(\\d+)$"));
    int type = 1;
    if (const QRegularExpressionMatch t = typed.match(label); t.hasMatch()) {
        type = t.captured(1).toInt();
        label.truncate(t.capturedStart());
    }
    const qsizetype dot = label.indexOf(u'.');
    CKELMethod *n = NewNode(m, tree, parent, type, label.left(dot), dot < 0 ? QString() : label.mid(dot + 1), flags);
    if (!evolution.isEmpty()) {
        const QStringList parts = evolution.split(u'|');
        n->SetEvolution(true);
        n->SetEvStyle(parts.value(0).toInt());
        for (const QString &v : parts.value(1).split(u',', Qt::SkipEmptyParts))
            n->EvTags().append(v.toInt());
    }
    return n;
}

// Adds the sketch's nodes to the tree; made, when given, collects them.
inline void Build(CKELDataManager &m, CKELTree &tree, const QString &sketch, QList<CKELMethod *> *made = nullptr)
{
    static const QRegularExpression indented(QStringLiteral("^\\s*\\d+\\|"));
    if (indented.match(sketch).hasMatch()) {
        QList<CKELMethod *> path; // the last node made at each depth
        for (const QString &line : sketch.split(u'\n')) {
            if (line.trimmed().isEmpty())
                continue;
            int blanks = 0;
            while (blanks < line.size() && line[blanks] == u' ')
                ++blanks;
            const int depth = blanks / 2;
            const QStringList f = line.trimmed().split(u'|');
            Q_ASSERT_X(f.size() >= 3, "TreeSketch", qPrintable(line));
            path.resize(depth);
            path.append(NewNode(m, tree, depth > 0 ? path[depth - 1] : nullptr, f[0].toInt(), f[1], f[2], f.value(3)));
            if (made)
                made->append(path.last());
        }
        return;
    }
    QList<CKELMethod *> parents{nullptr};
    CKELMethod *last = nullptr;
    QString label;
    int braces = 0;
    for (const QChar ch : sketch + u',') {
        braces += ch == u'{' ? 1 : ch == u'}' ? -1 : 0;
        if (braces > 0 || (ch != u'(' && ch != u')' && ch != u',')) {
            label += ch;
            continue;
        }
        if (!label.trimmed().isEmpty()) {
            last = AddNode(m, tree, parents.last(), label);
            if (made)
                made->append(last);
        }
        label.clear();
        if (ch == u'(')
            parents.append(last);
        else if (ch == u')')
            parents.removeLast();
    }
}

// A new tree of the given kind in version (the current one when null),
// holding the sketch; makes a solution first when the manager has none.
inline CKELTree *AddTree(CKELDataManager &m, const QString &sketch, const QString &name = QStringLiteral("T"),
                         int typeCode = KEL::RBT, CKELVersion *version = nullptr)
{
    if (!m.Solution())
        m.NewSolution();
    if (!version)
        version = TestKit::Mutable(m.CurrentVersion());
    std::unique_ptr<CKELData> e = m.CreateElement(typeCode);
    m.RegisterElement(e.get());
    auto *tree = static_cast<CKELTree *>(e.get());
    tree->SetName(name);
    (typeCode == KEL::DBT ? static_cast<CKELData *>(version->DBTFolder()) : version->RBTFolder())->AddChild(e);
    Build(m, *tree, sketch);
    return tree;
}

// An evolution tree over the given tree ids; a solution first when none.
inline CKELEVT *AddEvt(CKELDataManager &m, const QString &sketch, const QList<int> &sourceTrees)
{
    if (!m.Solution())
        m.NewSolution();
    std::unique_ptr<CKELData> e = m.CreateElement(KEL::EVT);
    m.RegisterElement(e.get());
    auto *tree = static_cast<CKELEVT *>(e.get());
    tree->SetName(QStringLiteral("E"));
    tree->SourceTrees() = sourceTrees;
    TestKit::Mutable(m.Solution())->EvtFolder()->AddChild(e);
    Build(m, *tree, sketch);
    return tree;
}

// A tree too deep or too wide for a recursive walk, of count nodes
// "C<i % components>.b<i>": each under the one before (a chain) or all under
// the first; sameBehavior gives every node after the first behavior "b".
inline CKELTree *AddLargeTree(CKELDataManager &m, bool chain, int count, int components, bool sameBehavior = false)
{
    CKELTree *tree = AddTree(m, QString());
    CKELMethod *root = nullptr;
    CKELMethod *previous = nullptr;
    for (int i = 0; i < count; ++i) {
        CKELMethod *n = TreeOps::NewNode(m, *tree);
        n->component = QStringLiteral("C%1").arg(i % components);
        n->behavior = sameBehavior && i > 0 ? QStringLiteral("b") : QStringLiteral("b%1").arg(i);
        if (root)
            TreeOps::Link(m, chain ? previous : root, n);
        else
            root = n;
        previous = n;
    }
    return tree;
}

inline CKELVersion *AddVersion(CKELDataManager &m, const QString &name)
{
    std::unique_ptr<CKELVersion> v = m.CreateVersion(name);
    CKELVersion *raw = v.get();
    std::unique_ptr<CKELData> owned(v.release());
    TestKit::Mutable(m.Solution())->Project()->AddChild(owned);
    return raw;
}

// A node back as text; an evolution node's versions as 1-based places in
// versions when that is given, else as tree ids.
inline QString OutlineNode(const CKELDataManager &m, const CKELMethod &n, const QList<int> &versions)
{
    QString s = n.component;
    if (!n.behavior.isEmpty())
        s += u'.' + n.behavior;
    if (n.behaviorType != 1)
        s += u':' + QString::number(n.behaviorType);
    s += n.jumpType == 1 ? u"^"_qs : n.jumpType == 2 ? u"="_qs : QString();
    const std::pair<bool, QChar> flags[] = {
        {n.atomic, u'*'}, {n.nonDeterministic, u'~'}, {n.setOperation, u'$'}, {n.qualifier == u"--", u'!'}};
    for (const auto &[set, flag] : flags) {
        if (set)
            s += flag;
    }
    if (n.IsEvolution()) {
        QStringList places;
        for (int id : n.EvTags())
            places.append(QString::number(versions.isEmpty() ? id : versions.indexOf(id) + 1));
        s += u'{' + QString::number(n.GetEvStyle()) + u'|' + places.join(u',') + u'}';
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

// A solution of sketched trees that remembers every node it made.
class CSketchSolution
{
public:
    CKELDataManager m;
    CKELTree *tree = nullptr;  // the last tree added
    QList<CKELMethod *> nodes; // every sketched node, in element order

    CSketchSolution() { m.NewSolution(); }
    // a solution with one tree holding the sketch
    explicit CSketchSolution(const QString &sketch, const QString &name = QStringLiteral("T"), int typeCode = KEL::RBT)
        : CSketchSolution()
    {
        AddTree(sketch, name, typeCode);
    }

    CKELTree *AddTree(const QString &sketch, const QString &name = QStringLiteral("T"), int typeCode = KEL::RBT)
    {
        tree = TreeSketch::AddTree(m, QString(), name, typeCode);
        Add(sketch);
        return tree;
    }

    // More nodes (further roots) in the last tree.
    void Add(const QString &sketch) { TreeSketch::Build(m, *tree, sketch, &nodes); }

    // The first node of the last tree with this component.
    CKELMethod *Node(const QString &component) const
    {
        for (CKELMethod *n : tree->Nodes()) {
            if (n->component == component)
                return n;
        }
        return nullptr;
    }

    // The places in nodes of these node ids (-1 for one not sketched).
    QList<int> Places(const QList<int> &ids) const
    {
        QList<int> out;
        for (int id : ids) {
            qsizetype i = 0;
            while (i < nodes.size() && nodes[i]->GetId() != id)
                ++i;
            out.append(i < nodes.size() ? int(i) : -1);
        }
        return out;
    }

    QString Print(const CKELTree &t) const { return TreeSketch::Outline(m, t); }
};
