#pragma once

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/treeops.h"

#include <QStringList>

// A solution whose trees are written as short texts, so that a test row
// states a tree and the shape it expects in one readable line:
//   forest := tree (';' tree)*
//   tree   := node ['(' tree (',' tree)* ')']
//   node   := COMPONENT '/' BEHAVIOR '/' TYPE ['/' JUMP]
// Nodes are created in reading order, so element order is reading order.
class CTestForest
{
public:
    CKELDataManager manager;
    QList<CKELMethod *> nodes; // every node added, in element order

    CTestForest() { manager.NewSolution(); }

    CKELTree *AddTree(int typeCode, const QString &name, const QString &text)
    {
        CKELVersion *v = manager.CurrentVersion();
        CKELData *folder =
            typeCode == KEL::DBT ? static_cast<CKELData *>(v->DBTFolder()) : static_cast<CKELData *>(v->RBTFolder());
        std::unique_ptr<CKELData> e = manager.CreateElement(typeCode);
        manager.RegisterElement(e.get());
        auto *tree = static_cast<CKELTree *>(e.get());
        tree->SetName(name);
        folder->AddChild(e);
        AddNodes(*tree, text);
        return tree;
    }

    void AddNodes(CKELTree &tree, const QString &text)
    {
        qsizetype pos = 0;
        while (pos < text.size()) {
            parseTree(tree, text, pos, nullptr);
            if (pos < text.size() && text[pos] == u';')
                ++pos;
        }
    }

    static QString Token(const CKELMethod &n)
    {
        QString t = n.component + u'/' + n.behavior + u'/' + QString::number(n.behaviorType);
        if (n.jumpType)
            t += u'/' + QString::number(n.jumpType);
        return t;
    }

    // The tree back as text: roots in element order, children in child order.
    QString Print(const CKELTree &tree) const
    {
        QStringList trees;
        for (const CKELMethod *r : tree.Roots())
            trees.append(print(*r));
        return trees.join(u';');
    }

    int Place(int nodeId) const
    {
        for (qsizetype i = 0; i < nodes.size(); ++i) {
            if (nodes[i]->GetId() == nodeId)
                return int(i);
        }
        return -1;
    }

    QList<int> Places(const QList<int> &ids) const
    {
        QList<int> out;
        for (int id : ids)
            out.append(Place(id));
        return out;
    }

private:
    void parseTree(CKELTree &tree, const QString &text, qsizetype &pos, CKELMethod *parent)
    {
        qsizetype end = pos;
        while (end < text.size() && !QStringView(u"(),;").contains(text[end]))
            ++end;
        const QStringList parts = text.mid(pos, end - pos).split(u'/');
        pos = end;
        CKELMethod *n = TreeOps::NewNode(manager, tree);
        n->component = parts.value(0);
        n->behavior = parts.value(1);
        n->behaviorType = parts.value(2, QStringLiteral("1")).toInt();
        n->jumpType = parts.value(3, QStringLiteral("0")).toInt();
        n->requirementTag = QStringLiteral("n%1").arg(nodes.size());
        nodes.append(n);
        if (parent)
            TreeOps::Link(manager, parent, n);
        if (pos < text.size() && text[pos] == u'(') {
            do {
                ++pos;
                parseTree(tree, text, pos, n);
            } while (pos < text.size() && text[pos] == u',');
            ++pos; // ')'
        }
    }

    QString print(const CKELMethod &n) const
    {
        QString out = Token(n);
        QStringList kids;
        for (int id : n.ChildIds())
            kids.append(print(*manager.LookupAs<CKELMethod>(id, KEL::Method)));
        if (!kids.isEmpty())
            out += u'(' + kids.join(u',') + u')';
        return out;
    }
};
