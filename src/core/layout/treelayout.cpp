#include "treelayout.h"

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"

#include <QHash>

#include <algorithm>
#include <limits>
#include <vector>

namespace {

int clampInt(qint64 v)
{
    return int(std::clamp<qint64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace

CTreeLayout::CTreeLayout(const CKELTree &tree) : m_nodes(tree.Nodes()), m_places(m_nodes), m_levelGap(LevelGapOf(tree))
{}

QSize CTreeLayout::NodeSize(const CKELMethod &node)
{
    const qint64 w = node.w > 0 ? node.w : kDefaultWidth;
    const qint64 h = node.h > 0 ? node.h : kDefaultHeight;
    const bool extTag = node.hasExtendedTag && node.displayExtendedTag;
    qint64 outer = w;
    if (extTag)
        outer += w / 4;
    // shown extra-information rows hang below the box: children go below them
    qint64 tall = h;
    const qsizetype rows = node.displayExtraInfo ? std::min(node.extraInfoTags.size(), node.extraInfoNames.size()) : 0;
    if (rows > 0) {
        tall += qint64(rows) * kInfoRowHeight;
        outer = std::max<qint64>(outer, extTag ? kInfoRowWidthWithTag : kInfoRowWidth);
    }
    return QSize(clampInt(outer), clampInt(tall));
}

int CTreeLayout::LevelGapOf(const CKELTree &tree)
{
    switch (tree.GetTypeCode()) {
    case KEL::RBT:
    case KEL::DBT:
    case KEL::EVT: return static_cast<const CKELRBT &>(tree).LevelGap();
    default: return CKELRBT::kDefaultLevelGap;
    }
}

CTreeLayout::Placement CTreeLayout::layoutFrom(int rootIndex, std::vector<char> &visited) const
{
    const qint64 rowHeight = qint64(kNominalHeight) + m_levelGap;

    // One record per placed node, in pre-order. A shift moves a node at once
    // and its descendants through `shift`, summed down the tree at the end,
    // so each node is touched a fixed number of times however deep it lies.
    struct Placed
    {
        int node;
        int parent; // place in `placed`, -1 for the subtree root
        qint64 left;
        qint64 top;
        qint64 shift;
    };
    // A node whose children are being placed.
    struct Frame
    {
        int placed;
        int depth;
        qint64 yOffset;
        qint64 w, h;
        qint64 xIn;   // the cursor as the node got it
        qint64 c;     // the cursor its children share
        qint64 sum;   // of the children's centres
        qint64 count; // children placed
        qsizetype next;
    };
    std::vector<Placed> placed;
    std::vector<Frame> stack;
    qint64 cursor = 0;
    qint64 maxY = 0;

    auto enter = [&](int node, int parent, int depth, qint64 yOffset, qint64 xIn) {
        visited[size_t(node)] = 1;
        const QSize size = NodeSize(*m_nodes[node]);
        placed.push_back({node, parent, 0, rowHeight * depth + kTopMargin + yOffset, 0});
        stack.push_back({int(placed.size()) - 1, depth, yOffset, size.width(), size.height(), xIn, xIn, 0, 0, 0});
    };

    enter(rootIndex, -1, 0, 0, cursor);
    while (!stack.empty()) {
        Frame &f = stack.back();
        const QList<int> &kids = m_nodes[placed[size_t(f.placed)].node]->ChildIds();
        int child = -1;
        while (child < 0 && f.next < kids.size()) {
            const int i = indexOf(kids[f.next++]);
            if (i >= 0 && !visited[size_t(i)])
                child = i;
        }
        if (child >= 0) {
            const qint64 childOffset = f.yOffset + std::max<qint64>(0, f.h - kNominalHeight);
            enter(child, f.placed, f.depth + 1, childOffset, f.c); // invalidates f
            continue;
        }

        Placed &p = placed[size_t(f.placed)];
        qint64 xOut;
        if (f.count == 0) {
            p.left = f.xIn;
            maxY = std::max(maxY, rowHeight * f.depth + f.h + f.yOffset);
            xOut = std::max(f.xIn, p.left + f.w);
        } else {
            p.left = f.sum / f.count - f.w / 2;
            // a parent wider than its children's span takes them along to the cursor
            if (p.left - f.xIn < 1) {
                const qint64 shift = f.xIn - p.left;
                p.left += shift;
                p.shift += shift;
            }
            xOut = std::max({f.xIn, f.c, p.left + f.w});
        }
        const qint64 left = p.left;
        const qint64 right = p.left + f.w;
        stack.pop_back();
        if (stack.empty()) {
            cursor = xOut;
        } else {
            Frame &parent = stack.back();
            parent.c = xOut + kColumnGap;
            parent.sum += (left + right) / 2;
            ++parent.count;
        }
    }

    Placement out;
    out.nodes.reserve(placed.size());
    out.at.reserve(placed.size());
    std::vector<qint64> inherited(placed.size(), 0);
    for (size_t i = 0; i < placed.size(); ++i) {
        const Placed &p = placed[i];
        if (p.parent >= 0)
            inherited[i] = inherited[size_t(p.parent)] + placed[size_t(p.parent)].shift;
        out.nodes.push_back(p.node);
        out.at.emplace_back(clampInt(p.left + inherited[i]), clampInt(p.top));
    }
    out.cursor = clampInt(cursor);
    out.maxY = clampInt(maxY);
    return out;
}

CSubtreeLayout CTreeLayout::LayoutSubtree(int rootId) const
{
    CSubtreeLayout out;
    const int root = indexOf(rootId);
    if (root < 0)
        return out;
    std::vector<char> visited(size_t(m_nodes.size()), 0);
    const Placement laid = layoutFrom(root, visited);
    out.nodes.reserve(qsizetype(laid.nodes.size()));
    for (size_t i = 0; i < laid.nodes.size(); ++i)
        out.nodes.append({m_nodes[laid.nodes[i]]->GetId(), laid.at[i]});
    out.cursor = laid.cursor;
    out.maxY = laid.maxY;
    return out;
}

void CTreeLayout::addMoves(const Placement &laid, QPoint offset, QList<CLayoutMove> &moves) const
{
    for (size_t i = 0; i < laid.nodes.size(); ++i) {
        const CKELMethod *node = m_nodes[laid.nodes[i]];
        const QPoint to(clampInt(qint64(laid.at[i].x()) + offset.x()), clampInt(qint64(laid.at[i].y()) + offset.y()));
        if (to != QPoint(node->x, node->y))
            moves.append({node->GetId(), to});
    }
}

CLayoutResult CTreeLayout::RearrangeSubtree(int nodeId, bool autoArrange) const
{
    CLayoutResult result;
    int start = indexOf(nodeId);
    if (start < 0)
        return result;
    if (autoArrange) {
        // the step bound only guards against a damaged parent chain
        for (qsizetype steps = m_nodes.size(); steps > 0; --steps) {
            const int parent = indexOf(m_nodes[start]->ParentId());
            if (parent < 0 || parent == start)
                break;
            start = parent;
        }
    }
    std::vector<char> visited(size_t(m_nodes.size()), 0);
    const Placement laid = layoutFrom(start, visited);
    const CKELMethod *s = m_nodes[start];
    const QPoint laidOut = laid.at.front();
    const qint64 dx = std::max<qint64>(0, qint64(s->x) - laidOut.x());
    const qint64 dy = std::max<qint64>(0, qint64(s->y) - laidOut.y());
    addMoves(laid, QPoint(clampInt(dx), clampInt(dy)), result.moves);
    result.extent = QPoint(clampInt(dx + laid.cursor), clampInt(dy + laid.maxY));
    return result;
}

CLayoutResult CTreeLayout::RearrangeAll() const
{
    CLayoutResult result;
    result.moves.reserve(m_nodes.size());
    std::vector<char> visited(size_t(m_nodes.size()), 0);
    qint64 ox = 0;
    qint64 bottom = 0;
    for (qsizetype i = 0; i < m_nodes.size(); ++i) {
        const int parent = indexOf(m_nodes[i]->ParentId());
        if ((parent >= 0 && parent != i) || visited[size_t(i)])
            continue;
        const Placement laid = layoutFrom(int(i), visited);
        addMoves(laid, QPoint(clampInt(ox), 0), result.moves);
        ox += qint64(laid.cursor) + kTreeGap;
        bottom = std::max<qint64>(bottom, laid.maxY);
    }
    result.extent = QPoint(clampInt(ox), clampInt(bottom));
    return result;
}

int CTreeLayout::ApplyMoves(CKELDataManager &manager, const CLayoutResult &result)
{
    QList<int> treeIds;
    QHash<int, QList<CNodeGeometry>> byTree;
    for (const CLayoutMove &m : result.moves) {
        const auto *node = manager.LookupAs<CKELMethod>(m.nodeId, KEL::Method);
        const CKELTree *tree = node ? node->Tree() : nullptr;
        if (!tree || (node->x == m.to.x() && node->y == m.to.y()))
            continue;
        auto it = byTree.find(tree->GetId());
        if (it == byTree.end()) {
            treeIds.append(tree->GetId());
            it = byTree.insert(tree->GetId(), {});
        }
        it->append(CNodeGeometry{m.nodeId, m.to.x(), m.to.y(), node->w, node->h});
    }
    int changed = 0;
    for (int treeId : treeIds) {
        const QList<CNodeGeometry> &nodes = byTree.value(treeId);
        if (manager.SetNodesGeometry(treeId, nodes))
            changed += int(nodes.size());
    }
    return changed;
}
