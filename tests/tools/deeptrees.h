#pragma once

// Trees of extreme shape for fault and stress tests: a chain as deep as it is
// long, and a star with every node under one root. Built straight into the
// model (not through commands), as a loaded file would be.

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/kelrequirement.h"
#include "model/keltree.h"
#include "model/treeops.h"
#include "../common/testkit.h"

#include <QString>

#include <vector>

namespace DeepTrees {

// Balanced: four children under every node, level by level, for trees
// that are large without being extreme.
enum class Shape { Chain, Star, Balanced };

// Adds nodes of that shape to an existing tree.
inline void Grow(CKELDataManager &manager, CKELTree &tree, int nodes, Shape shape)
{
    CKELMethod *root = nullptr;
    CKELMethod *last = nullptr;
    std::vector<CKELMethod *> all;
    for (int i = 0; i < nodes; ++i) {
        CKELMethod *n = TreeOps::NewNode(manager, tree);
        // few components and behaviours, so that derivations find much to merge
        n->component = QStringLiteral("C%1").arg(i % 7);
        n->behavior = QStringLiteral("b%1").arg(i % 5);
        n->behaviorType = i % 4 + 1;
        n->requirementTag = QStringLiteral("R%1").arg(i % 3 + 1);
        n->w = 120;
        n->h = 40;
        CKELMethod *parent = shape == Shape::Chain ? last : root;
        if (shape == Shape::Balanced && i > 0)
            parent = all[size_t(i - 1) / 4];
        if (parent)
            TreeOps::Link(manager, parent, n);
        if (!root)
            root = n;
        last = n;
        all.push_back(n);
    }
}

inline CKELTree *Add(CKELDataManager &manager, int typeCode, const QString &name, int nodes, Shape shape)
{
    CKELVersion *version = TestKit::Mutable(manager.CurrentVersion());
    CKELData *folder = typeCode == KEL::DBT ? static_cast<CKELData *>(version->DBTFolder())
                                            : static_cast<CKELData *>(version->RBTFolder());
    std::unique_ptr<CKELData> e = manager.CreateElement(typeCode);
    manager.RegisterElement(e.get());
    auto *tree = static_cast<CKELTree *>(e.get());
    tree->SetName(name);
    folder->AddChild(e);
    Grow(manager, *tree, nodes, shape);
    return tree;
}

// A new solution with requirements R1..R3 and the two shapes as RBTs
// "Deep" and "Wide" of `nodes` nodes each.
inline void Fill(CKELDataManager &manager, int nodes)
{
    manager.NewSolution();
    for (int r = 1; r <= 3; ++r)
        manager.AddRequirement(QStringLiteral("R%1").arg(r), QStringLiteral("requirement %1").arg(r));
    Add(manager, KEL::RBT, QStringLiteral("Deep"), nodes, Shape::Chain);
    Add(manager, KEL::RBT, QStringLiteral("Wide"), nodes, Shape::Star);
}

// A new solution with requirements R1..R3, an RBT "T" and a DBT "D" of the
// same shape and size.
inline void FillShape(CKELDataManager &manager, Shape shape, int nodes)
{
    manager.NewSolution();
    for (int r = 1; r <= 3; ++r)
        manager.AddRequirement(QStringLiteral("R%1").arg(r), QStringLiteral("requirement %1").arg(r));
    Add(manager, KEL::RBT, QStringLiteral("T"), nodes, shape);
    Add(manager, KEL::DBT, QStringLiteral("D"), nodes, shape);
}

} // namespace DeepTrees
