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

CKELMethod *NodeOf(const CKELTree &tree, int nodeId)
{
    CKELDataManager *m = tree.Manager();
    CKELData *e = m ? m->Lookup(nodeId) : nullptr;
    if (!e || !e->IsMethod() || e->GetParent() != &tree)
        return nullptr;
    return static_cast<CKELMethod *>(e);
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

void Unlink(CKELDataManager &manager, CKELMethod *child)
{
    if (child->ParentId()) {
        CKELData *p = manager.Lookup(child->ParentId());
        if (p && p->IsMethod())
            static_cast<CKELMethod *>(p)->ChildIds().removeOne(child->GetId());
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
    for (int id : QList<int>(node->ChildIds())) {
        CKELData *c = manager.Lookup(id);
        if (c && c->IsMethod())
            static_cast<CKELMethod *>(c)->SetParentId(0);
    }
    node->ChildIds().clear();
    if (CKELData *owner = node->GetParent())
        CKELData::Destroy(owner->TakeChild(node));
}

QList<CKELMethod *> PreOrder(const CKELDataManager &manager, CKELMethod *root)
{
    QList<CKELMethod *> out;
    if (!root)
        return out;
    QSet<int> seen;
    std::vector<CKELMethod *> stack{root};
    while (!stack.empty()) {
        CKELMethod *n = stack.back();
        stack.pop_back();
        if (seen.contains(n->GetId()))
            continue; // links are kept acyclic; this only guards a damaged model
        seen.insert(n->GetId());
        out.append(n);
        const QList<int> &kids = n->ChildIds();
        for (qsizetype i = kids.size() - 1; i >= 0; --i) {
            CKELData *c = manager.Lookup(kids[i]);
            if (c && c->IsMethod())
                stack.push_back(static_cast<CKELMethod *>(c));
        }
    }
    return out;
}

} // namespace TreeOps
