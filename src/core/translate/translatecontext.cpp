#include "translatecontext.h"

#include "translateexception.h"
#include "translateparsingrule.h"
#include "translatetexts.h"

#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"

#include <QSet>

CTranslateContext::CTranslateContext(const CTranslateSettings &settings, bool withSets, bool uppaal)
    : m_settings(settings)
    , m_withSets(withSets)
    , m_uppaal(uppaal)
    , m_nodes(1)
{}

void CTranslateContext::BuildNodes(const CKELDataManager &manager, const CKELTree &tree)
{
    const QList<const CKELMethod *> roots = tree.Roots();
    if (roots.isEmpty())
        return;
    // translating the first root alone would drop the others without a word
    if (roots.size() > 1)
        throw CTranslateException(TranslateTexts::SeveralRoots(roots.size()));
    // iterative, so that a chain of any depth is fine; a damaged model with a
    // cycle cannot make a node appear twice
    m_nodes.reserve(size_t(tree.ChildCount()) + 1);
    QSet<int> seen;
    seen.reserve(tree.ChildCount());
    std::vector<std::pair<const CKELMethod *, int>> stack{{roots.first(), 0}};
    while (!stack.empty()) {
        const auto [m, parent] = stack.back();
        stack.pop_back();
        if (seen.contains(m->GetId()))
            continue;
        seen.insert(m->GetId());
        CTranslateNode &n = AddNode(parent);
        n.elementId = m->GetId();
        n.component = m->component;
        n.state = m->behavior;
        n.qualifier = m->qualifier;
        n.behaviorType = m->behaviorType;
        n.jumpType = m->jumpType;
        n.atomic = m->atomic;
        n.atomicKind = m->atomic ? 2 : 1;
        n.nonDet = m->nonDeterministic;
        n.setOp = m->setOperation;
        const int number = n.number;
        const QList<int> &kids = m->ChildIds();
        for (qsizetype i = kids.size() - 1; i >= 0; --i) {
            const CKELData *c = manager.Lookup(kids[i]);
            // a child id may name anything in a damaged file: only this tree's nodes count
            if (c && c->IsMethod() && c->GetParent() == &tree && !seen.contains(c->GetId()))
                stack.emplace_back(static_cast<const CKELMethod *>(c), number);
        }
    }
}

CTranslateNode &CTranslateContext::AddNode(int parent)
{
    const int number = int(m_nodes.size());
    m_nodes.emplace_back();
    CTranslateNode &n = m_nodes.back();
    n.number = number;
    n.parent = parent;
    if (parent)
        m_nodes[size_t(parent)].children.append(number);
    return n;
}

void CTranslateContext::CheckInitialisationBlock()
{
    if (NodeCount() == 0 || Node(1).behaviorType != 1)
        throw CTranslateException(TranslateTexts::RootNotStateRealisation());
    for (int n = 1;;) {
        CTranslateNode &node = Node(n);
        if (node.behaviorType != 1 || node.children.size() > 1)
            throw CTranslateException(TranslateTexts::InitialisationBlock());
        node.initBlock = true;
        m_initBlock.append(n);
        if (node.children.size() != 1 || !Node(node.children.first()).atomic)
            break;
        n = node.children.first();
    }
}

void CTranslateContext::AssignThreads()
{
    const int count = NodeCount();
    std::vector<int> counterAfter(size_t(count) + 1, 0);
    int threads = 0;
    std::vector<int> &highest = m_collections.highestCounter;
    for (int n = 1; n <= count; ++n) {
        CTranslateNode &node = Node(n);
        node.siblings = node.parent ? int(Node(node.parent).children.size()) - 1 : 0;
        if (!node.initBlock) {
            const CTranslateNode &p = Node(node.parent);
            const int parentThread = p.initBlock ? 1 : p.thread;
            const int parentPc = p.initBlock ? 0 : p.pc;
            if (node.siblings > 0) {
                node.thread = ++threads;
                node.pc = 1;
                node.threadStart = true;
            } else if (node.atomic) {
                node.thread = parentThread;
                node.pc = parentPc;
            } else {
                node.thread = parentThread;
                node.pc = parentPc + 1;
                threads = std::max(threads, 1);
            }
            if (highest.size() <= size_t(node.thread))
                highest.resize(size_t(node.thread) + 1, 0);
            highest[size_t(node.thread)] = std::max(highest[size_t(node.thread)], node.pc);
        }
        counterAfter[size_t(n)] = threads;
    }
    highest.resize(size_t(threads) + 1, 0);
    if (threads > 0) {
        // the branches under the initialisation block start together: none of
        // them waits for a branching step that no thread would ever take
        const CTranslateNode &last = Node(m_initBlock.isEmpty() ? 1 : m_initBlock.last());
        if (last.children.size() >= 2) {
            for (int child : last.children)
                m_collections.initialThreads.insert(Node(child).thread);
        } else {
            m_collections.initialThreads.insert(1);
        }
    }

    // threads are numbered in pre-order, so those started in a subtree are
    // the consecutive ones counted while the subtree was visited
    std::vector<int> lastInSubtree(size_t(count) + 1);
    for (int n = count; n >= 1; --n) {
        const CTranslateNode &node = Node(n);
        lastInSubtree[size_t(n)] = node.children.isEmpty() ? n : lastInSubtree[size_t(node.children.last())];
    }
    for (int n = 1; n <= count; ++n) {
        CTranslateNode &node = Node(n);
        node.firstThreadBelow = counterAfter[size_t(n)] + 1;
        node.lastThreadBelow = counterAfter[size_t(lastInSubtree[size_t(n)])];
    }
    for (int n = count; n >= 1; --n) {
        CTranslateNode &node = Node(n);
        const bool joined = node.children.size() == 1 && Node(node.children.first()).atomic;
        node.blockLast = joined ? Node(node.children.first()).blockLast : n;
    }
    m_stepOfHead.assign(size_t(count) + 1, -1);
    m_actions.assign(size_t(count) + 1, CNodeAction());
}

QList<int> CTranslateContext::Block(int head) const
{
    QList<int> block{head};
    for (int n = head;;) {
        const CTranslateNode &node = Node(n);
        if (node.children.size() != 1 || !Node(node.children.first()).atomic)
            break;
        n = node.children.first();
        block.append(n);
    }
    return block;
}

int CTranslateContext::NextCounter(const QList<int> &block) const
{
    const CTranslateNode &last = Node(block.last());
    return last.children.size() == 1 ? Node(last.children.first()).pc : 0;
}

QList<int> CTranslateContext::ThreadsBelow(int node) const
{
    QList<int> threads;
    const CTranslateNode &n = Node(node);
    for (int t = n.firstThreadBelow; t <= n.lastThreadBelow; ++t)
        threads.append(t);
    return threads;
}

void CTranslateContext::buildIndexes() const
{
    if (m_indexed)
        return;
    m_indexed = true;
    const int count = NodeCount();
    m_reversionTarget.assign(size_t(count) + 1, 0);

    // each component and behavior text becomes a number once
    CNameMap<quint32> components;
    CNameMap<quint32> states;
    components.reserve(256);
    states.reserve(size_t(count));
    m_keys.assign(size_t(count) + 1, 0);
    QSet<quint64> wanted[3]; // behaviors that go-tos, kills and internal outputs look for
    QSet<quint64> reverted;  // behaviors with their type that reversions look for
    const auto typed = [](quint64 key, int type) { return key * 16 + quint64(type & 15); };
    const auto intern = [](CNameMap<quint32> &ids, const QString &text) {
        return quint64(ids.emplace(text, quint32(ids.size())).first->second);
    };
    for (int n = 1; n <= count; ++n) {
        const CTranslateNode &node = Node(n);
        m_keys[size_t(n)] = (intern(components, node.component) << 32) | intern(states, node.state);
        if (node.jumpType == 2)
            wanted[0].insert(m_keys[size_t(n)]);
        if (node.IsKill())
            wanted[1].insert(m_keys[size_t(n)]);
        if (node.behaviorType == 8)
            wanted[2].insert(m_keys[size_t(n)]);
        if (node.jumpType == 1 && node.IsLeaf())
            reverted.insert(typed(m_keys[size_t(n)], node.behaviorType));
    }

    // walk the tree in pre-order keeping, per behavior, the ancestors that
    // carry it: the nearest one is on top, and no walk up is ever needed
    std::vector<int> lastInSubtree(size_t(count) + 1);
    for (int n = count; n >= 1; --n) {
        const CTranslateNode &node = Node(n);
        lastInSubtree[size_t(n)] = node.children.isEmpty() ? n : lastInSubtree[size_t(node.children.last())];
    }
    std::vector<int> path;
    QHash<quint64, std::vector<int>> ancestors;
    for (int n = 1; n <= count; ++n) {
        while (!path.empty() && n > lastInSubtree[size_t(path.back())]) {
            ancestors[typed(m_keys[size_t(path.back())], Node(path.back()).behaviorType)].pop_back();
            path.pop_back();
        }
        const CTranslateNode &node = Node(n);
        const quint64 key = m_keys[size_t(n)];
        const quint64 withType = typed(key, node.behaviorType);
        if (reverted.contains(withType)) {
            if (node.jumpType == 1 && node.IsLeaf()) {
                const auto it = ancestors.constFind(withType);
                if (it != ancestors.cend() && !it->empty())
                    m_reversionTarget[size_t(n)] = it->back();
            }
            ancestors[withType].push_back(n);
            path.push_back(n);
        }
        if (node.jumpType == 0 && !node.IsKill() && wanted[0].contains(key))
            m_byBehavior[key].append(n);
        if (node.threadStart && wanted[1].contains(key))
            m_branchStarts[key].append(n);
        // a kill that starts its step names the branch it stops and takes no message
        if (node.behaviorType == 7 && wanted[2].contains(key) && !(node.IsKill() && node.IsStepHead()))
            m_internalInputs[key].append(n);
    }
}

quint64 CTranslateContext::behaviorKey(int node) const
{
    buildIndexes();
    return m_keys[size_t(node)];
}

int CTranslateContext::ReversionTarget(int node) const
{
    buildIndexes();
    return m_reversionTarget[size_t(node)];
}

QList<int> CTranslateContext::MacroCandidates(int node) const
{
    QList<int> found = m_byBehavior.value(behaviorKey(node));
    found.removeOne(node);
    return found;
}

int CTranslateContext::BranchToKill(int node) const
{
    for (int n : m_branchStarts.value(behaviorKey(node))) {
        if (n != node)
            return n;
    }
    return 0;
}

QList<int> CTranslateContext::InternalReceivers(int outputNode) const
{
    const QList<int> found = m_internalInputs.value(behaviorKey(outputNode));
    if (found.isEmpty()) {
        const CTranslateNode &n = Node(outputNode);
        throw CTranslateException(TranslateTexts::NoInternalInput() + n.component + QStringLiteral(" <") + n.state
                                  + u'>');
    }
    return found;
}

bool CTranslateContext::IsJumpTarget(int node) const
{
    const CTranslateNode &n = Node(node);
    return node == 1 || n.IsStepHead();
}

CTranslateStep &CTranslateContext::AddStep(int head, int rule)
{
    m_stepOfHead[size_t(head)] = int(m_steps.size());
    m_steps.emplace_back();
    CTranslateStep &step = m_steps.back();
    step.firstNode = head;
    step.rule = rule;
    step.block = Block(head);
    for (int n : std::as_const(step.block))
        Node(n).visited = true;
    return step;
}

const CTranslateStep *CTranslateContext::StepOf(int head) const
{
    if (head <= 0 || size_t(head) >= m_stepOfHead.size() || m_stepOfHead[size_t(head)] < 0)
        return nullptr;
    return &m_steps[size_t(m_stepOfHead[size_t(head)])];
}

bool CTranslateContext::ReachedAgainByGoTo(int node) const
{
    if (m_belowGoTo.empty()) {
        // pre-order: a subtree is the numbers from its root to its last
        // descendant, so every target marks one range
        std::vector<int> opened(size_t(NodeCount()) + 2, 0);
        std::vector<int> lastBelow;
        for (const CTranslateStep &s : m_steps) {
            if (s.rule != TranslateRule::Macro || s.target <= 0)
                continue;
            if (lastBelow.empty()) {
                lastBelow.resize(size_t(NodeCount()) + 1);
                for (int n = NodeCount(); n >= 1; --n) {
                    const QList<int> &kids = Node(n).children;
                    lastBelow[size_t(n)] = kids.isEmpty() ? n : lastBelow[size_t(kids.last())];
                }
            }
            const int last = lastBelow[size_t(s.target)];
            if (last > s.target) {
                ++opened[size_t(s.target) + 1];
                --opened[size_t(last) + 1];
            }
        }
        m_belowGoTo.assign(size_t(NodeCount()) + 1, 0);
        int depth = 0;
        for (int n = 1; n <= NodeCount(); ++n) {
            depth += opened[size_t(n)];
            m_belowGoTo[size_t(n)] = depth > 0;
        }
    }
    return node > 0 && size_t(node) < m_belowGoTo.size() && m_belowGoTo[size_t(node)];
}

QString CTranslateContext::Describe(int node) const
{
    const CTranslateNode &n = Node(node);
    return n.component + u' ' + n.state;
}
