#pragma once

// Trees for the interaction network and interface diagram tests, written on
// one line:
//
//   Oven:idle(Button:push#3(Oven:cooking),Door:open{-1|10,11})
//
// A node is COMPONENT, then optionally :BEHAVIOR, #TYPE (behavior type, 1
// when absent) and {STATUS|VERSIONS} for an evolution node. Children follow
// in parentheses, separated by commas; commas at the top level start further
// roots.

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/treeops.h"

#include <QStringList>

#include <vector>

namespace CinSketch {

inline CKELMethod *AddNode(CKELDataManager &m, CKELTree &tree, CKELMethod *parent, QString label)
{
    CKELMethod *n = TreeOps::NewNode(m, tree);
    const qsizetype brace = label.indexOf(u'{');
    if (brace >= 0) {
        const QString evo = label.mid(brace + 1).chopped(1);
        label.truncate(brace);
        const QStringList parts = evo.split(u'|');
        n->SetEvolution(true);
        n->SetEvStyle(parts.value(0).toInt());
        for (const QString &v : parts.value(1).split(u',', Qt::SkipEmptyParts))
            n->EvTags().append(v.toInt());
    }
    const qsizetype hash = label.indexOf(u'#');
    n->behaviorType = hash >= 0 ? label.mid(hash + 1).toInt() : 1;
    if (hash >= 0)
        label.truncate(hash);
    const qsizetype colon = label.indexOf(u':');
    n->component = colon >= 0 ? label.left(colon) : label;
    n->behavior = colon >= 0 ? label.mid(colon + 1) : QString();
    if (parent)
        TreeOps::Link(m, parent, n);
    return n;
}

inline void Build(CKELDataManager &m, CKELTree &tree, const QString &sketch)
{
    std::vector<CKELMethod *> parents{nullptr};
    CKELMethod *last = nullptr;
    QString label;
    int braces = 0;
    const auto flush = [&] {
        if (!label.isEmpty())
            last = AddNode(m, tree, parents.back(), label);
        label.clear();
    };
    for (const QChar ch : sketch) {
        if (ch == u'{')
            ++braces;
        else if (ch == u'}')
            --braces;
        if (braces > 0 || ch == u'}') {
            label += ch;
            continue;
        }
        if (ch == u'(') {
            flush();
            parents.push_back(last);
        } else if (ch == u')') {
            flush();
            parents.pop_back();
        } else if (ch == u',') {
            flush();
        } else if (!ch.isSpace()) {
            label += ch;
        }
    }
    flush();
}

// An RBT of the current version built from the sketch.
inline CKELTree *AddRbt(CKELDataManager &m, const QString &sketch, const QString &name = QStringLiteral("T"))
{
    std::unique_ptr<CKELData> e = m.CreateElement(KEL::RBT);
    m.RegisterElement(e.get());
    auto *tree = static_cast<CKELTree *>(e.get());
    tree->SetName(name);
    m.CurrentVersion()->RBTFolder()->AddChild(e);
    Build(m, *tree, sketch);
    return tree;
}

// An evolution tree over the given tree ids, built from the sketch.
inline CKELEVT *AddEvt(CKELDataManager &m, const QString &sketch, const QList<int> &sourceTrees)
{
    std::unique_ptr<CKELData> e = m.CreateElement(KEL::EVT);
    m.RegisterElement(e.get());
    auto *tree = static_cast<CKELEVT *>(e.get());
    tree->SetName(QStringLiteral("E"));
    tree->SourceTrees() = sourceTrees;
    m.Solution()->EvtFolder()->AddChild(e);
    Build(m, *tree, sketch);
    return tree;
}

} // namespace CinSketch
