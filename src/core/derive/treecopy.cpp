#include "treecopy.h"

#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/treeops.h"

#include <QSet>

#include <vector>

void CTreeCopy::CopyAttributes(const CKELMethod &from, CKELMethod &to)
{
    to.SetName(from.GetName());
    to.component = from.component;
    to.behavior = from.behavior;
    to.behaviorType = from.behaviorType;
    to.requirementTag = from.requirementTag;
    to.qualifier = from.qualifier;
    to.extendedTag = from.extendedTag;
    to.x = from.x;
    to.y = from.y;
    to.w = from.w;
    to.h = from.h;
    to.jumpType = from.jumpType;
    to.missType = from.missType;
    to.doubleLine = from.doubleLine;
    to.nonDeterministic = from.nonDeterministic;
    to.atomic = from.atomic;
    to.setOperation = from.setOperation;
    to.hasExtendedTag = from.hasExtendedTag;
    to.displayExtendedTag = from.displayExtendedTag;
    to.displayExtraInfo = from.displayExtraInfo;
    to.extraInfoTags = from.extraInfoTags;
    to.extraInfoNames = from.extraInfoNames;
    to.SetEvolution(from.IsEvolution());
    to.SetEvStyle(from.GetEvStyle());
    to.EvTags() = from.EvTags();
}

QHash<int, int> CTreeCopy::Copy(CKELDataManager &manager, CKELTree &target, const CKELTree &source)
{
    const QList<const CKELMethod *> nodes = source.Nodes();
    QHash<int, int> map;
    map.reserve(nodes.size());
    QHash<int, CKELMethod *> copies;
    copies.reserve(nodes.size());
    for (const CKELMethod *n : nodes) {
        CKELMethod *copy = TreeOps::NewNode(manager, target);
        CopyAttributes(*n, *copy);
        map.insert(n->GetId(), copy->GetId());
        copies.insert(n->GetId(), copy);
    }

    // Linking top-down keeps every new child childless when it is linked,
    // so no link has to walk up the tree to rule out a cycle.
    auto sourceParentOf = [&](const CKELMethod *n) { return copies.contains(n->ParentId()) ? n->ParentId() : 0; };
    std::vector<const CKELMethod *> stack;
    for (qsizetype r = nodes.size() - 1; r >= 0; --r) {
        if (sourceParentOf(nodes[r]) == 0)
            stack.push_back(nodes[r]);
    }
    QSet<int> linked;
    while (!stack.empty()) {
        const CKELMethod *n = stack.back();
        stack.pop_back();
        const QList<int> &kids = n->ChildIds();
        CKELMethod *parentCopy = copies.value(n->GetId());
        for (qsizetype i = kids.size() - 1; i >= 0; --i) {
            const CKELData *c = manager.Lookup(kids[i]);
            if (!c || !c->IsMethod() || !copies.contains(kids[i]) || linked.contains(kids[i]))
                continue;
            const auto *child = static_cast<const CKELMethod *>(c);
            if (child->ParentId() != n->GetId())
                continue;
            linked.insert(kids[i]);
            stack.push_back(child);
        }
        // children were pushed last to first; link them first to last
        for (qsizetype i = 0; i < kids.size(); ++i) {
            if (!linked.contains(kids[i]))
                continue;
            CKELMethod *childCopy = copies.value(kids[i]);
            if (childCopy->ParentId() == 0)
                TreeOps::Link(manager, parentCopy, childCopy);
        }
    }
    // Nodes the walk missed name a parent that does not list them; they
    // still follow their parent id, after its listed children.
    for (const CKELMethod *n : nodes) {
        const int parent = sourceParentOf(n);
        if (parent && !linked.contains(n->GetId()))
            TreeOps::Link(manager, copies.value(parent), copies.value(n->GetId()));
    }
    return map;
}
