#pragma once

// Behavior trees written as text for the translation tests, one node a line,
// two blanks of indent per level:
//
//   1|Door|closed
//     3|User|push
//       1|Door|open|*
//
// TYPE|COMPONENT|BEHAVIOR, then optional flags: * atomic, ~ NonDet, $ SetOp,
// ^ reversion, = go to, ! branch kill (qualifier "--"), @TAG requirement tag.

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/treeops.h"

#include <QStringList>

namespace BtSketch {

inline CKELTree *AddTree(CKELDataManager &m, const QString &sketch, const QString &name = QStringLiteral("T"))
{
    if (!m.Solution())
        m.NewSolution();
    std::unique_ptr<CKELData> e = m.CreateElement(KEL::RBT);
    m.RegisterElement(e.get());
    auto *tree = static_cast<CKELTree *>(e.get());
    tree->SetName(name);
    m.CurrentVersion()->RBTFolder()->AddChild(e);
    QList<CKELMethod *> path; // the last node made at each depth
    for (const QString &line : sketch.split(u'\n')) {
        if (line.trimmed().isEmpty())
            continue;
        int blanks = 0;
        while (blanks < line.size() && line[blanks] == u' ')
            ++blanks;
        const int depth = blanks / 2;
        const QStringList f = line.trimmed().split(u'|');
        Q_ASSERT_X(f.size() >= 3, "BtSketch", qPrintable(line));
        CKELMethod *n = TreeOps::NewNode(m, *tree);
        n->behaviorType = f[0].toInt();
        n->component = f[1];
        n->behavior = f[2];
        const QString flags = f.value(3);
        n->atomic = flags.contains(u'*');
        n->nonDeterministic = flags.contains(u'~');
        n->setOperation = flags.contains(u'$');
        n->jumpType = flags.contains(u'^') ? 1 : flags.contains(u'=') ? 2 : 0;
        if (flags.contains(u'!'))
            n->qualifier = QStringLiteral("--");
        if (const qsizetype at = flags.indexOf(u'@'); at >= 0)
            n->requirementTag = flags.mid(at + 1);
        path.resize(depth);
        if (depth > 0)
            TreeOps::Link(m, path[depth - 1], n);
        path.append(n);
    }
    return tree;
}

} // namespace BtSketch
