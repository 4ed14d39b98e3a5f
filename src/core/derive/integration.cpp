#include "integration.h"
#include "derivationtexts.h"

#include "matchindex.h"
#include "treecopy.h"

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/prompt.h"
#include "model/treeops.h"

#include <algorithm>

namespace {

// The node with this id in the same tree as node, else null.
const CKELMethod *sameTreeNode(const CKELMethod &node, int id)
{
    const CKELTree *tree = node.Tree();
    return tree && id ? TreeOps::NodeOf(*tree, id) : nullptr;
}

const CKELMethod *rootOf(const CKELMethod &node)
{
    const CKELMethod *cur = &node;
    // parent links are kept acyclic; the bound only guards a damaged model
    qsizetype steps = node.Manager() ? node.Manager()->IdMap().size() : 0;
    while (steps-- > 0) {
        const CKELMethod *parent = sameTreeNode(*cur, cur->ParentId());
        if (!parent)
            break;
        cur = parent;
    }
    return cur;
}

// Through the manager, which also tells the windows: a flag set quietly here
// would make the apply routine's own marking a no-op, and no window would
// show the change.
void markModified(CKELDataManager &manager)
{
    manager.MarkModified();
}

// Clears the highlights that one marking set and that no later marking replaced.
void clearMarks(CIntegrationMarks &marks, QList<int> &ids, int code)
{
    for (int id : std::as_const(ids)) {
        if (marks.CodeOf(id) == code)
            marks.codes.remove(id);
    }
    ids.clear();
}

} // namespace

bool CIntegration::NodesMatch(const CKELMethod &a, const CKELMethod &b)
{
    if (&a == &b || a.jumpType != 0 || b.jumpType != 0 || a.component != b.component)
        return false;
    if (a.GetDecoratedBehavior() != b.GetDecoratedBehavior())
        return false;
    return rootOf(a) != rootOf(b);
}

QList<int> CIntegration::FindMatches(const CKELTree &tree, const CKELMethod &x)
{
    return CMatchIndex(tree).FindMatches(x);
}

QList<int> CIntegration::FindMatchingRoots(const CKELTree &tree, const CKELMethod &x)
{
    return CMatchIndex(tree).FindMatchingRoots(x);
}

QList<int> CIntegration::MarkIntegrationPoints(const CKELDBT &dbt, CIntegrationMarks &marks, bool on)
{
    QList<int> &marked = marks.integrationPointIds;
    // Marking again first takes back the old marks: a node that stopped
    // being an integration point would otherwise stay blue for good.
    clearMarks(marks, marked, IntegrationPoint);
    if (!on)
        return {};
    const CMatchIndex index(dbt);
    for (qsizetype i = 0; i < index.Nodes().size(); ++i) {
        if (index.HasMatchingRoot(int(i))) {
            const int id = index.Nodes()[i]->GetId();
            marks.codes.insert(id, IntegrationPoint);
            marked.append(id);
        }
    }
    return marked;
}

QList<int> CIntegration::MarkMissingPreconditions(const CKELDBT &dbt, CIntegrationMarks &marks, bool on)
{
    QList<int> &marked = marks.missingPreconditionIds;
    clearMarks(marks, marked, MissingPrecondition);
    if (!on)
        return {};
    const CMatchIndex index(dbt);
    for (qsizetype i = 0; i < index.Nodes().size(); ++i) {
        if (index.IsRoot(int(i)) && !index.HasMatch(int(i))) {
            const int id = index.Nodes()[i]->GetId();
            marks.codes.insert(id, MissingPrecondition);
            marked.append(id);
        }
    }
    return marked;
}

void CIntegration::ClearMatchingMarks(CIntegrationMarks &marks)
{
    for (int id : std::as_const(marks.matchesShownIds)) {
        if (marks.CodeOf(id) == MatchingNode)
            marks.codes.remove(id);
    }
    marks.matchesShownIds.clear();
}

QList<int> CIntegration::MarkAllMatchingNodes(const CKELDBT &dbt, CIntegrationMarks &marks, int nodeId)
{
    const CKELMethod *x = TreeOps::NodeOf(dbt, nodeId);
    if (!x)
        return {};
    QSet<int> &shown = marks.matchesShownIds;
    const CMatchIndex index(dbt);
    const QList<int> matches = index.FindMatches(*x);
    if (shown.contains(nodeId)) {
        shown.remove(nodeId);
        for (int id : matches) {
            if (marks.CodeOf(id) == MatchingNode) {
                marks.codes.remove(id);
                shown.remove(id);
            }
        }
        if (marks.CodeOf(nodeId) == MatchingNode)
            marks.codes.remove(nodeId);
        return {};
    }
    shown.insert(nodeId);
    if (matches.isEmpty())
        return {};
    for (int id : matches) {
        marks.codes.insert(id, MatchingNode);
        shown.insert(id);
    }
    marks.codes.insert(nodeId, MatchingNode);
    QList<int> marked = matches;
    const int place = index.PlaceOf(nodeId);
    const auto at = std::find_if(marked.begin(), marked.end(), [&](int id) { return index.PlaceOf(id) > place; });
    marked.insert(at, nodeId);
    return marked;
}

QHash<int, int> CIntegration::CopyRBT(CKELDataManager &manager, CKELDBT &dbt, const CKELRBT &rbt)
{
    QHash<int, int> map = CTreeCopy::Copy(manager, dbt, rbt);
    if (!map.isEmpty())
        markModified(manager);
    return map;
}

bool CIntegration::GraftOnto(CKELDataManager &manager, int matchId, int rootId, CEditAccess key)
{
    auto *match = manager.Mutable(manager.LookupAs<CKELMethod>(matchId, KEL::Method), key);
    auto *root = manager.Mutable(manager.LookupAs<CKELMethod>(rootId, KEL::Method), key);
    if (!match || !root || match == root || !root->Tree() || match->Tree() != root->Tree())
        return false;
    // the root must head its own tree, and the match must lie outside it:
    // otherwise a node would end up under itself
    if (sameTreeNode(*root, root->ParentId()) || rootOf(*match) == root)
        return false;

    const QList<int> children = root->ChildIds();
    for (int id : children) {
        if (CKELMethod *child = manager.Mutable(sameTreeNode(*root, id), key))
            TreeOps::Link(manager, match, child);
    }
    TreeOps::DeleteNode(manager, root);
    markModified(manager);
    return true;
}

int CIntegration::IntegrateNextMatchingRBT(CKELDataManager &manager, int nodeId, CEditAccess key)
{
    const auto *x = manager.LookupAs<CKELMethod>(nodeId, KEL::Method);
    if (!x || !x->Tree())
        return 0;
    const QList<int> roots = FindMatchingRoots(*x->Tree(), *x);
    if (roots.isEmpty())
        return 0;
    return GraftOnto(manager, nodeId, roots.first(), key) ? roots.first() : 0;
}

int CIntegration::FindIntegrationTarget(CKELDataManager &manager, int nodeId, CPrompt &prompt)
{
    const auto *x = manager.LookupAs<CKELMethod>(nodeId, KEL::Method);
    if (!x || !x->Tree())
        return 0;
    if (sameTreeNode(*x, x->ParentId())) {
        prompt.Message(DerivationTexts::NotARootNode);
        return 0;
    }
    const QList<int> matches = FindMatches(*x->Tree(), *x);
    if (matches.isEmpty()) {
        prompt.Message(DerivationTexts::NoMatchingNode);
        return 0;
    }
    if (matches.size() > 1 && !prompt.OkCancel(DerivationTexts::SeveralMatches))
        return 0;
    return matches.first();
}

int CIntegration::IntegrateThisRBT(CKELDataManager &manager, int nodeId, CPrompt &prompt, int *matchId, CEditAccess key)
{
    if (matchId)
        *matchId = 0;
    const int match = FindIntegrationTarget(manager, nodeId, prompt);
    if (!match || !GraftOnto(manager, match, nodeId, key))
        return 0;
    if (matchId)
        *matchId = match;
    return 1;
}
