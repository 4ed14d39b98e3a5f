#include "treeops.h"

#include "keldatamanager.h"
#include "kelmethod.h"
#include "keltree.h"

#include <QSet>

#include <vector>

namespace TreeOps {

CKELMethod *NewNode(CKELDataManager &manager, CKELTree &tree)
{
    std::unique_ptr<CKELData> e = manager.CreateElement(KEL::FactoryMethod);
    manager.RegisterElement(e.get());
    auto *node = static_cast<CKELMethod *>(e.get());
    tree.AddChild(e);
    return node;
}

const CKELMethod *NodeOf(const CKELTree &tree, int nodeId)
{
    const CKELDataManager *m = tree.Manager();
    const CKELData *e = m ? m->Lookup(nodeId) : nullptr;
    if (!e || !e->IsMethod() || e->GetParent() != &tree)
        return nullptr;
    return static_cast<const CKELMethod *>(e);
}

CKELMethod *NodeOf(CKELTree &tree, int nodeId)
{
    return const_cast<CKELMethod *>(NodeOf(std::as_const(tree), nodeId));
}

bool IsAncestorOrSelf(const CKELDataManager &manager, const CKELMethod *ancestor, const CKELMethod *node)
{
    // links are kept acyclic; the step bound only guards a damaged model
    qsizetype steps = manager.IdMap().size() + 1;
    for (const CKELMethod *cur = node; cur && steps-- > 0;) {
        if (cur == ancestor)
            return true;
        const CKELData *p = cur->ParentId() ? manager.Lookup(cur->ParentId()) : nullptr;
        cur = p && p->IsMethod() ? static_cast<const CKELMethod *>(p) : nullptr;
    }
    return false;
}

void Unlink(CKELDataManager &, CKELMethod *child)
{
    CKELTree *tree = child->Tree();
    if (child->ParentId() && tree) {
        if (CKELMethod *p = NodeOf(*tree, child->ParentId()))
            p->ChildIds().removeOne(child->GetId());
    }
    child->SetParentId(0);
}

bool Link(CKELDataManager &manager, CKELMethod *parent, CKELMethod *child)
{
    if (!child)
        return false;
    if (parent) {
        if (parent == child || parent->GetParent() != child->GetParent())
            return false;
        // a node without children cannot be above its new parent
        if (!child->ChildIds().isEmpty() && IsAncestorOrSelf(manager, child, parent))
            return false;
    }
    Unlink(manager, child);
    if (parent) {
        parent->ChildIds().append(child->GetId());
        child->SetParentId(parent->GetId());
    }
    return true;
}

void DeleteNode(CKELDataManager &manager, CKELMethod *node)
{
    Unlink(manager, node);
    CKELTree *tree = node->Tree();
    for (int id : QList<int>(node->ChildIds())) {
        if (CKELMethod *c = tree ? NodeOf(*tree, id) : nullptr)
            c->SetParentId(0);
    }
    node->ChildIds().clear();
    if (CKELData *owner = node->GetParent())
        CKELData::Destroy(owner->TakeChild(node));
}

QList<const CKELMethod *> PreOrder(const CKELDataManager &manager, const CKELMethod *root)
{
    QList<const CKELMethod *> out;
    if (!root)
        return out;
    QSet<int> seen;
    std::vector<const CKELMethod *> stack{root};
    while (!stack.empty()) {
        const CKELMethod *n = stack.back();
        stack.pop_back();
        if (seen.contains(n->GetId()))
            continue; // links are kept acyclic; this only guards a damaged model
        seen.insert(n->GetId());
        out.append(n);
        const QList<int> &kids = n->ChildIds();
        for (qsizetype i = kids.size() - 1; i >= 0; --i) {
            const CKELData *c = manager.Lookup(kids[i]);
            if (c && c->IsMethod())
                stack.push_back(static_cast<const CKELMethod *>(c));
        }
    }
    return out;
}

QList<CKELMethod *> PreOrder(const CKELDataManager &manager, CKELMethod *root)
{
    // writable because root's tree is: the walk only reaches nodes of root's tree
    QList<CKELMethod *> out;
    CKELTree *tree = root ? root->Tree() : nullptr;
    for (const CKELMethod *n : PreOrder(manager, static_cast<const CKELMethod *>(root))) {
        if (CKELMethod *own = tree ? NodeOf(*tree, n->GetId()) : nullptr)
            out.append(own);
    }
    return out;
}

} // namespace TreeOps
