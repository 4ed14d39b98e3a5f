#pragma once

#include "nodeplaces.h"

#include <QList>
#include <QPoint>
#include <QSize>

#include <vector>

class CKELDataManager;
class CKELMethod;
class CKELTree;

// Where one node is to go (its shape's top-left corner).
struct CLayoutMove
{
    int nodeId = 0;
    QPoint to;

    friend bool operator==(const CLayoutMove &, const CLayoutMove &) = default;
};

// A layout pass as data: the canvas turns the moves into one undo step and
// grows its pages until it holds the extent.
struct CLayoutResult
{
    QList<CLayoutMove> moves; // only nodes that change place; tree by tree, pre-order
    QPoint extent;            // right edge and bottom the canvas must reach
};

// The placement of one subtree laid out from the origin, before anchoring.
struct CSubtreeLayout
{
    QList<CLayoutMove> nodes; // every node of the subtree, pre-order
    int cursor = 0;           // x cursor after the subtree, trailing gaps included
    int maxY = 0;             // lowest leaf bottom
};

// Top-down layout of a behavior tree on node sizes and child order: each
// level on its own row, each parent centred over its children's centres,
// subtrees side by side.
//
// The tree is read from the model: a node's children are its child ids in
// order, its parent is its parent id; ids that name no node of this tree
// are ignored, so a node whose parent is missing is a root. Every walk uses an
// explicit stack, so a chain or a fan of any size is fine. The arithmetic
// truncates like 32-bit integers but runs in 64 bits, so that sums over
// very wide trees cannot wrap; results are clamped to the int range.
class CTreeLayout
{
public:
    static constexpr int kTopMargin = 0;
    static constexpr int kNominalHeight = 15;
    static constexpr int kColumnGap = 10;
    static constexpr int kTreeGap = 100;
    static constexpr int kDefaultWidth = 200;
    static constexpr int kDefaultHeight = 50;
    // the extra-information rows below a box: their height, and how wide
    // they are without and with the extended tag column
    static constexpr int kInfoRowHeight = 25;
    static constexpr int kInfoRowWidth = 200;
    static constexpr int kInfoRowWidthWithTag = 250;

    explicit CTreeLayout(const CKELTree &tree);

    // The size the node's shape has: 0 (or a negative value) stands for the
    // default, a shown extended tag adds a quarter of the width, and shown
    // extra-information rows add their height (and width, where wider).
    static QSize NodeSize(const CKELMethod &node);
    // The tree's level gap; trees without one use the default gap.
    static int LevelGapOf(const CKELTree &tree);

    int LevelGap() const { return m_levelGap; }

    // Lays out the subtree under root from the origin (depth 0, cursor 0).
    CSubtreeLayout LayoutSubtree(int rootId) const;

    // Lays out the subtree of the selected node and keeps it where it is,
    // unless it would reach left of or above the origin. With autoArrange the
    // whole tree of the node is laid out, anchored at its root.
    CLayoutResult RearrangeSubtree(int nodeId, bool autoArrange) const;

    // Lays out every tree (root in element order) side by side from the origin.
    CLayoutResult RearrangeAll() const;

    // Sends the moves as one geometry record per tree, the way every other
    // edit goes, so they can be undone and reach the peers of a shared
    // solution; returns how many nodes changed.
    static int ApplyMoves(CKELDataManager &manager, const CLayoutResult &result);

private:
    // A subtree placed from the origin: places in m_nodes, in pre-order.
    struct Placement
    {
        std::vector<int> nodes;
        std::vector<QPoint> at;
        int cursor = 0;
        int maxY = 0;
    };

    int indexOf(int id) const { return m_places.PlaceOf(id); }
    Placement layoutFrom(int rootIndex, std::vector<char> &visited) const;
    void addMoves(const Placement &laid, QPoint offset, QList<CLayoutMove> &moves) const;

    QList<const CKELMethod *> m_nodes; // element order
    CNodePlaces m_places;
    int m_levelGap;
};
