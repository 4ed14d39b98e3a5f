#include "evolution.h"
#include "derivationtexts.h"

#include "treecopy.h"

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/prompt.h"
#include "model/treeops.h"

#include <QStringList>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace Evolution {

namespace {

bool sameBehaviorText(const CKELMethod &a, const CKELMethod &b)
{
    if (a.behaviorType == b.behaviorType)
        return a.behavior == b.behavior;
    // different types may still read the same once bracketed ("?x?" as a
    // selection against "x" as an event)
    return KEL::Decorate(a.behavior, a.behaviorType) == KEL::Decorate(b.behavior, b.behaviorType);
}

// A hash that agrees with NodesIdentical: equal for identical nodes. The
// behavior is hashed as the bracketed text, streamed, so that no string is
// built per node.
struct KeyHasher
{
    std::uint64_t h = 14695981039346656037ull;
    void add(char16_t c)
    {
        h ^= c;
        h *= 1099511628211ull;
    }
    void add(QStringView s)
    {
        for (QChar c : s)
            add(c.unicode());
    }
};

std::uint64_t identityHash(const CKELMethod &n)
{
    KeyHasher k;
    k.add(n.component);
    k.add(u'\xFFFF');
    k.add(KEL::OpeningBracket(n.behaviorType));
    k.add(n.behavior);
    k.add(KEL::ClosingBracket(n.behaviorType));
    k.add(u'\xFFFF');
    k.add(n.qualifier);
    k.add(char16_t(n.jumpType & 0xFFFF));
    k.add(char16_t((unsigned(n.jumpType) >> 16) & 0xFFFF));
    k.add(char16_t((n.atomic ? 1 : 0) | (n.setOperation ? 2 : 0)));
    return k.h;
}

// The remaining children of one group member. Children are taken either from
// the front (when they start a group) or as the first remaining one that is
// identical to a given node; long lists answer the latter through an index
// so that wide nodes are matched in linear time.
class ChildList
{
public:
    explicit ChildList(std::vector<const CKELMethod *> items) : m_items(std::move(items)) {}

    bool empty()
    {
        skipTaken();
        return m_front >= m_items.size();
    }

    const CKELMethod *takeFront()
    {
        skipTaken();
        if (m_front >= m_items.size())
            return nullptr;
        return std::exchange(m_items[m_front++], nullptr);
    }

    const CKELMethod *takeIdentical(const CKELMethod &c)
    {
        skipTaken();
        if (m_items.size() - m_front <= kLinearLimit) {
            for (size_t i = m_front; i < m_items.size(); ++i) {
                if (m_items[i] && NodesIdentical(*m_items[i], c))
                    return std::exchange(m_items[i], nullptr);
            }
            return nullptr;
        }
        if (!m_index)
            buildIndex();
        const auto it = m_index->find(identityHash(c));
        if (it == m_index->end())
            return nullptr;
        Bucket &b = it->second;
        for (size_t k = b.cursor; k < b.positions.size(); ++k) {
            const CKELMethod *&slot = m_items[b.positions[k]];
            if (!slot) {
                if (k == b.cursor)
                    ++b.cursor; // taken from the front meanwhile
                continue;
            }
            // a different node may share the hash; it stays for its own match
            if (NodesIdentical(*slot, c)) {
                if (k == b.cursor)
                    ++b.cursor;
                return std::exchange(slot, nullptr);
            }
        }
        return nullptr;
    }

private:
    static constexpr size_t kLinearLimit = 8;

    struct Bucket
    {
        std::vector<size_t> positions;
        size_t cursor = 0;
    };

    void skipTaken()
    {
        while (m_front < m_items.size() && !m_items[m_front])
            ++m_front;
    }

    void buildIndex()
    {
        m_index = std::make_unique<std::unordered_map<std::uint64_t, Bucket>>();
        for (size_t i = m_front; i < m_items.size(); ++i) {
            if (m_items[i])
                (*m_index)[identityHash(*m_items[i])].positions.push_back(i);
        }
    }

    std::vector<const CKELMethod *> m_items; // null once taken
    size_t m_front = 0;
    std::unique_ptr<std::unordered_map<std::uint64_t, Bucket>> m_index;
};

std::vector<const CKELMethod *> childrenOf(const CKELDataManager &manager, const CKELMethod &node)
{
    std::vector<const CKELMethod *> out;
    out.reserve(size_t(node.ChildIds().size()));
    for (int id : node.ChildIds()) {
        const CKELData *e = manager.Lookup(id);
        if (e && e->IsMethod() && e->GetParent() == node.GetParent())
            out.push_back(static_cast<const CKELMethod *>(e));
    }
    return out;
}

CKELMethod *mergeOne(CKELDataManager &manager, CKELEVT &evt, const QList<const CKELMethod *> &group, CKELMethod *parent,
                     int lastTreeId, int previousTreeId)
{
    CKELMethod *merged = TreeOps::NewNode(manager, evt);
    CTreeCopy::CopyAttributes(*group.first(), *merged);
    if (parent)
        TreeOps::Link(manager, parent, merged);
    QList<int> trees;
    trees.reserve(group.size());
    for (const CKELMethod *n : group) {
        const CKELTree *t = n->Tree();
        trees.append(t ? t->GetId() : 0);
    }
    merged->SetEvolution(true);
    merged->SetEvStyle(EvolutionStatus(trees, lastTreeId, previousTreeId));
    merged->EvTags() = trees;
    return merged;
}

struct Frame
{
    CKELMethod *merged;
    std::vector<ChildList> lists; // one per group member, in group order
    size_t member = 0;            // the member whose children start groups now
};

Frame makeFrame(const CKELDataManager &manager, CKELMethod *merged, const QList<const CKELMethod *> &group)
{
    Frame f{merged, {}, 0};
    f.lists.reserve(size_t(group.size()));
    for (const CKELMethod *n : group)
        f.lists.emplace_back(childrenOf(manager, *n));
    return f;
}

QList<const CKELTree *> resolveTrees(const CKELDataManager &manager, const QList<int> &ids, const CKELEVT *self,
                                     CPrompt &prompt)
{
    QList<const CKELTree *> trees;
    for (int id : ids) {
        const CKELData *e = manager.Lookup(id);
        // an evolution tree cannot take part in itself: it would read the
        // nodes it is writing
        if (!e || !e->IsTree() || e == self) {
            prompt.Message(DerivationTexts::TreeMissing(id));
            return {};
        }
        trees.append(static_cast<const CKELTree *>(e));
    }
    return trees;
}

QString treeEntry(const CKELDataManager &manager, int treeId)
{
    const CKELData *tree = manager.Lookup(treeId);
    if (!tree || !tree->IsTree())
        return QStringLiteral("#%1").arg(treeId);
    const CKELData *folder = tree->GetParent();
    const CKELData *version = folder ? folder->GetParent() : nullptr;
    if (version && version->GetTypeCode() == KEL::Version)
        return version->GetName() + QStringLiteral("->") + tree->GetName();
    return tree->GetName();
}

} // namespace

bool NodesIdentical(const CKELMethod &a, const CKELMethod &b)
{
    return a.component == b.component && a.jumpType == b.jumpType && a.atomic == b.atomic
           && a.setOperation == b.setOperation && a.qualifier == b.qualifier && sameBehaviorText(a, b);
}

int EvolutionStatus(const QList<int> &groupTrees, int lastTreeId, int previousTreeId)
{
    if (groupTrees.isEmpty() || groupTrees.last() != lastTreeId)
        return Dropped;
    if (groupTrees.size() == 1 || groupTrees[groupTrees.size() - 2] != previousTreeId)
        return Added;
    return Kept;
}

int LastTreeId(const CKELEVT &evt)
{
    const QList<int> &ids = evt.SourceTrees();
    return ids.isEmpty() ? 0 : ids.last();
}

int PreviousTreeId(const CKELEVT &evt)
{
    const QList<int> &ids = evt.SourceTrees();
    return ids.size() < 2 ? 0 : ids[ids.size() - 2];
}

const CKELMethod *FirstRoot(const CKELTree &tree)
{
    for (const auto &c : tree.Children()) {
        if (c->IsMethod() && static_cast<const CKELMethod *>(c.get())->ParentId() == 0)
            return static_cast<const CKELMethod *>(c.get());
    }
    return nullptr;
}

bool CheckRoots(const QList<const CKELTree *> &trees, CPrompt &prompt)
{
    if (trees.isEmpty())
        return true;
    const CKELMethod *first = FirstRoot(*trees.first());
    for (qsizetype i = 1; i < trees.size(); ++i) {
        const CKELMethod *root = FirstRoot(*trees[i]);
        const bool same = first && root ? NodesIdentical(*first, *root) : first == root;
        if (!same) {
            prompt.Message(DerivationTexts::RootsDiffer, DerivationTexts::ErrorCaption);
            return false;
        }
    }
    return true;
}

CKELMethod *MergeGroup(CKELDataManager &manager, CKELEVT &evt, const QList<const CKELMethod *> &group,
                       CKELMethod *parent)
{
    if (group.isEmpty())
        return nullptr;
    const int last = LastTreeId(evt);
    const int previous = PreviousTreeId(evt);
    CKELMethod *top = mergeOne(manager, evt, group, parent, last, previous);

    // Depth first with an explicit stack, so that each new group is merged at
    // once (as a recursive merge would) however deep the trees are. Every
    // source node joins at most one group per place in the group, which
    // bounds the merged nodes; links are kept acyclic, so the bound only
    // guards a damaged model.
    size_t budget = 0;
    for (const CKELMethod *n : group)
        budget += n->GetParent() ? size_t(n->GetParent()->ChildCount()) : 1;
    std::vector<Frame> stack;
    stack.push_back(makeFrame(manager, top, group));
    QList<const CKELMethod *> next;
    while (!stack.empty()) {
        Frame &f = stack.back();
        while (f.member < f.lists.size() && f.lists[f.member].empty())
            ++f.member;
        if (f.member == f.lists.size()) {
            stack.pop_back();
            continue;
        }
        if (--budget == 0)
            break;
        next.clear();
        const CKELMethod *c = f.lists[f.member].takeFront();
        next.append(c);
        for (size_t j = f.member + 1; j < f.lists.size(); ++j) {
            if (const CKELMethod *match = f.lists[j].takeIdentical(*c))
                next.append(match);
        }
        CKELMethod *merged = mergeOne(manager, evt, next, f.merged, last, previous);
        Frame child = makeFrame(manager, merged, next);
        // a frame with nothing left goes now, so a long chain keeps one frame
        bool exhausted = true;
        for (size_t j = f.member; j < f.lists.size() && exhausted; ++j)
            exhausted = f.lists[j].empty();
        if (exhausted)
            stack.pop_back();
        stack.push_back(std::move(child)); // f is not used past this point
    }
    return top;
}

bool BuildEvolution(CKELDataManager &manager, CKELEVT &evt, CPrompt &prompt)
{
    if (evt.SourceTrees().size() < 2) {
        prompt.Message(DerivationTexts::NeedTwoTrees);
        return false;
    }
    // built once: merging again would add a second copy of every node
    for (const auto &c : evt.Children()) {
        if (c->IsMethod())
            return false;
    }
    const QList<const CKELTree *> trees = resolveTrees(manager, evt.SourceTrees(), &evt, prompt);
    if (trees.isEmpty())
        return false;
    if (!CheckRoots(trees, prompt))
        return false;
    QList<const CKELMethod *> roots;
    for (const CKELTree *t : trees) {
        if (const CKELMethod *r = FirstRoot(*t))
            roots.append(r);
    }
    if (!roots.isEmpty())
        MergeGroup(manager, evt, roots, nullptr);
    return true;
}

CKELEVT *CreateEvolutionTree(CKELDataManager &manager, const QList<int> &treeIds, CPrompt &prompt, CEditAccess key,
                             bool *built)
{
    if (built)
        *built = false;
    if (treeIds.size() < 2) {
        prompt.Message(DerivationTexts::NeedTwoTrees);
        return nullptr;
    }
    if (resolveTrees(manager, treeIds, nullptr, prompt).isEmpty())
        return nullptr;
    const CKELSolution *solution = manager.Solution();
    CKELEVTs *folder = solution ? manager.Mutable(solution->EvtFolder(), key) : nullptr;
    if (!folder) {
        prompt.Message(DerivationTexts::NoEvolutionFolder);
        return nullptr;
    }
    std::unique_ptr<CKELData> e = manager.CreateElement(KEL::EVT);
    manager.RegisterElement(e.get());
    auto *evt = static_cast<CKELEVT *>(e.get());
    evt->SetName(VersionListText(manager, treeIds));
    evt->SourceTrees() = treeIds;
    folder->AddChild(e);
    const bool ok = BuildEvolution(manager, *evt, prompt);
    if (built)
        *built = ok;
    manager.MarkModified(); // not the flag alone: the windows follow the signal
    return evt;
}

QString VersionListText(const CKELDataManager &manager, const QList<int> &treeIds)
{
    QStringList entries;
    entries.reserve(treeIds.size());
    for (int id : treeIds)
        entries.append(treeEntry(manager, id));
    return entries.join(QStringLiteral(", "));
}

} // namespace Evolution
