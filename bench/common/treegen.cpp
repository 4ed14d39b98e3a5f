#include "treegen.h"

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/treeops.h"
#include "testkit.h"

#include <QHash>

#include <random>
#include <vector>

namespace TreeGen {

CKELTree *AddTree(CKELDataManager &manager, int typeCode, const QString &name, int nodes, Shape shape, unsigned seed,
                  int branching)
{
    CKELVersion *version = TestKit::Mutable(manager.CurrentVersion());
    CKELData *folder = typeCode == KEL::DBT ? static_cast<CKELData *>(version->DBTFolder())
                                            : static_cast<CKELData *>(version->RBTFolder());
    std::unique_ptr<CKELData> e = manager.CreateElement(typeCode);
    manager.RegisterElement(e.get());
    auto *tree = static_cast<CKELTree *>(e.get());
    tree->SetName(name);
    folder->AddChild(e);

    std::mt19937 rng(seed);
    const int componentPool = 40;
    const int behaviorPool = 12;
    int spineLeft = 0;
    std::vector<CKELMethod *> made;
    made.reserve(size_t(nodes));
    for (int i = 0; i < nodes; ++i) {
        CKELMethod *n = TreeOps::NewNode(manager, *tree);
        n->component = QStringLiteral("C%1").arg(rng() % componentPool);
        n->behavior = QStringLiteral("b%1").arg(rng() % behaviorPool);
        n->behaviorType = int(rng() % 4) + 1;
        n->requirementTag = QStringLiteral("R%1").arg(i / 50 + 1);
        n->w = 200;
        n->h = 50;
        CKELMethod *parent = nullptr;
        if (i > 0) {
            switch (shape) {
            case Shape::Balanced: parent = made[size_t((i - 1) / branching)]; break;
            case Shape::Chain: parent = made[size_t(i - 1)]; break;
            case Shape::Bushy:
                // sequences of 5 to 40 steps that branch off a random earlier node
                if (spineLeft-- > 0) {
                    parent = made[size_t(i - 1)];
                } else {
                    parent = made[size_t(rng() % unsigned(i))];
                    spineLeft = int(rng() % 36) + 5;
                }
                break;
            }
        }
        if (parent)
            TreeOps::Link(manager, parent, n);
        made.push_back(n);
    }
    return tree;
}

QString MostFrequentComponent(const CKELTree &tree)
{
    QHash<QString, int> counts;
    QString best;
    for (const CKELMethod *n : tree.Nodes()) {
        const int c = ++counts[n->component];
        if (c > counts.value(best))
            best = n->component;
    }
    return best;
}

} // namespace TreeGen
