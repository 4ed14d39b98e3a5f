#include "randomtree.h"

#include "translatecontext.h"

#include <cmath>
#include <random>
#include <vector>

namespace {

struct Made
{
    int parent = -1;
    int component = 0;
    int state = 0;
    int type = 1;
    int jump = 0;
    bool kill = false;
    bool nonDet = false;
    int branch = -1; // the first node of the branch the node runs in
    std::vector<int> children;
};

} // namespace

CRandomTree::Figures CRandomTree::Generate(CTranslateContext &ctx, int iterations, unsigned seed, int maxThreads,
                                           bool blocking)
{
    std::mt19937 rng(seed ? seed : std::random_device()());
    const auto roll = [&rng](int n) { return int(rng() % unsigned(n)); };
    const int components = std::max(3, int(std::sqrt(double(std::max(iterations, 1)))));
    // mostly state realisations; selections, guards and messages between them
    static const int kTypes[] = {1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 5, 5, 6, 6, 6};
    const auto type = [&] {
        const int t = kTypes[roll(20)];
        return !blocking && (t == 2 || t == 4) ? 1 : t;
    };

    Figures figures;
    std::vector<Made> made;
    made.reserve(size_t(std::max(iterations, 1)) + 4);
    std::vector<int> open; // nodes that may still get children
    int threads = 1;       // the root's, and one per concurrent branch
    const auto add = [&](int parent, int type) {
        Made m;
        m.parent = parent;
        m.component = roll(components);
        m.state = int(made.size());
        m.type = type;
        m.branch = parent >= 0 ? made[size_t(parent)].branch : -1;
        made.push_back(m);
        const int index = int(made.size()) - 1;
        if (parent >= 0)
            made[size_t(parent)].children.push_back(index);
        return index;
    };
    const auto copyBehavior = [&](int to, int from) {
        made[size_t(to)].component = made[size_t(from)].component;
        made[size_t(to)].state = made[size_t(from)].state;
        made[size_t(to)].type = made[size_t(from)].type;
    };

    add(-1, 1);
    if (iterations > 1)
        open.push_back(add(0, type())); // the initialisation block is the root alone
    while (int(made.size()) < iterations && !open.empty()) {
        // usually go on where the last node was made, sometimes elsewhere
        const size_t pick = roll(10) < 7 ? open.size() - 1 : size_t(roll(int(open.size())));
        const int parent = open[pick];
        const int kind = roll(100);
        const int left = iterations - int(made.size());
        // a branching starts a thread per branch, alternatives as well
        const bool branchingAllowed = maxThreads <= 0 || threads + 3 <= maxThreads;
        if (kind < 12 && left >= 2 && branchingAllowed) {
            open.erase(open.begin() + std::ptrdiff_t(pick));
            const bool alternative = roll(10) < 3;
            const int count = std::min(left, 2 + roll(2));
            threads += count;
            for (int i = 0; i < count; ++i) {
                const int child = add(parent, type());
                made[size_t(child)].nonDet = alternative;
                made[size_t(child)].branch = child;
                open.push_back(child);
            }
            ++figures.branches;
        } else if (kind < 18 && open.size() > 1) {
            // back to an ancestor at most a few levels up
            int target = made[size_t(parent)].parent;
            for (int up = roll(4); up > 0 && target > 0; --up)
                target = made[size_t(target)].parent;
            if (target < 0)
                target = parent;
            open.erase(open.begin() + std::ptrdiff_t(pick));
            const int leaf = add(parent, 1);
            copyBehavior(leaf, target);
            made[size_t(leaf)].jump = 1;
            ++figures.reversions;
        } else if (kind < 22 && open.size() > 1) {
            // any plain node will do: its behavior is its own
            int target = roll(int(made.size()));
            while (made[size_t(target)].jump || made[size_t(target)].kill)
                target = roll(int(made.size()));
            open.erase(open.begin() + std::ptrdiff_t(pick));
            const int leaf = add(parent, 1);
            copyBehavior(leaf, target);
            made[size_t(leaf)].jump = 2;
            ++figures.macros;
        } else if (kind < 26 && made[size_t(parent)].branch >= 0) {
            // stop a branch that races this one
            const std::vector<int> &racing = made[size_t(made[size_t(made[size_t(parent)].branch)].parent)].children;
            const int branch = racing[size_t(roll(int(racing.size())))];
            const int kill = add(parent, 1);
            copyBehavior(kill, branch);
            made[size_t(kill)].kill = true;
            open[pick] = kill;
            ++figures.threadKills;
        } else {
            open[pick] = add(parent, type());
        }
    }

    // the context numbers nodes in pre-order
    std::vector<std::pair<int, int>> stack{{0, 0}};
    while (!stack.empty()) {
        const auto [index, parent] = stack.back();
        stack.pop_back();
        const Made &m = made[size_t(index)];
        CTranslateNode &n = ctx.AddNode(parent);
        n.component = QStringLiteral("c%1").arg(m.component);
        n.state = QStringLiteral("s%1").arg(m.state);
        n.behaviorType = m.type;
        n.jumpType = m.jump;
        n.nonDet = m.nonDet;
        if (m.kill)
            n.qualifier = QStringLiteral("--");
        const int number = n.number;
        for (auto it = m.children.rbegin(); it != m.children.rend(); ++it)
            stack.emplace_back(*it, number);
    }
    figures.nodes = int(made.size());
    return figures;
}
