#pragma once

#include <QString>

#include <QElapsedTimer>

class CKELDataManager;
class CKELTree;

// Synthetic trees of realistic shape for benchmarks and stress tests.
namespace TreeGen {

enum class Shape {
    Balanced, // every node has `branching` children, level by level
    Bushy,    // a few long spines with many short side branches, like real design trees
    Chain,    // one node under the other
};

// Adds a tree of `nodes` nodes to the current version of manager's solution
// (RBT, DBT) and returns it. Components and behaviors come from small pools so
// that matching and projection find realistic numbers of equal nodes.
CKELTree *AddTree(CKELDataManager &manager, int typeCode, const QString &name, int nodes, Shape shape,
                  unsigned seed = 1, int branching = 4);

struct ShapeName
{
    Shape shape;
    const char *name;
};
inline constexpr ShapeName kShapes[] = {
    {Shape::Balanced, "balanced"},
    {Shape::Bushy, "bushy"},
    {Shape::Chain, "chain"},
};

inline double seconds(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e9;
}

// The component that most nodes of tree name: the one worth deriving.
QString MostFrequentComponent(const CKELTree &tree);

} // namespace TreeGen
