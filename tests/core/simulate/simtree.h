#pragma once

// Behavior trees written as text for the simulation tests:
//   C1.S1(C2.E1:3(C1.S2:2,C2.G:4))
// COMPONENT.BEHAVIOR, then :TYPE (1 when absent), then any of ^ (revert),
// = (go to) and ! (atomic); children in parentheses, separated by commas.
// A component or behavior may hold any other character, quotes included.

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/treeops.h"

#include <QList>
#include <QString>

class CSimTree
{
public:
    CSimTree()
    {
        m.NewSolution();
        std::unique_ptr<CKELData> e = m.CreateElement(KEL::RBT);
        m.RegisterElement(e.get());
        tree = static_cast<CKELTree *>(e.get());
        tree->SetName(QStringLiteral("T"));
        m.CurrentVersion()->RBTFolder()->AddChild(e);
    }
    explicit CSimTree(const QString &sketch) : CSimTree() { Add(sketch); }

    // Adds the sketch's nodes; a top-level comma makes another root.
    void Add(const QString &sketch)
    {
        QList<CKELMethod *> parents{nullptr};
        CKELMethod *last = nullptr;
        QString label;
        for (QChar ch : sketch + u',') {
            if (ch != u'(' && ch != u')' && ch != u',') {
                label += ch;
                continue;
            }
            if (!label.isEmpty())
                last = node(parents.last(), label);
            label.clear();
            if (ch == u'(')
                parents.append(last);
            else if (ch == u')')
                parents.removeLast();
        }
    }

    // The node with this component (the first one in element order).
    CKELMethod *Node(const QString &component) const
    {
        for (CKELMethod *n : tree->Nodes()) {
            if (n->component == component)
                return n;
        }
        return nullptr;
    }

    CKELDataManager m;
    CKELTree *tree = nullptr;

private:
    CKELMethod *node(CKELMethod *parent, QString label)
    {
        CKELMethod *n = TreeOps::NewNode(m, *tree);
        while (!label.isEmpty() && QStringView(u"^=!").contains(label.back())) {
            const QChar flag = label.back();
            label.chop(1);
            if (flag == u'^')
                n->jumpType = 1;
            else if (flag == u'=')
                n->jumpType = 2;
            else
                n->atomic = true;
        }
        if (const qsizetype colon = label.lastIndexOf(u':'); colon >= 0) {
            n->behaviorType = label.mid(colon + 1).toInt();
            label.truncate(colon);
        }
        const qsizetype dot = label.indexOf(u'.');
        n->component = label.left(dot);
        n->behavior = dot < 0 ? QString() : label.mid(dot + 1);
        if (parent)
            TreeOps::Link(m, parent, n);
        return n;
    }
};
