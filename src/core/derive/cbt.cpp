#include "cbt.h"
#include "derivationtexts.h"

#include "evolution.h"

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/prompt.h"
#include "model/treeops.h"

#include <QSet>

#include <utility>
#include <vector>

namespace Cbt {

namespace {

const CKELCBTs *cbtFolder(const CKELTree &source)
{
    return source.FirstChildOfType<CKELCBTs>(KEL::CBTs);
}

CKELCBTs *cbtFolder(CKELTree &source)
{
    return source.FirstChildOfType<CKELCBTs>(KEL::CBTs);
}

// Derived nodes live only while the solution is open: the file never holds them.
CKELMethod *newCbtNode(CKELDataManager &manager, CKELCBT &cbt)
{
    CKELMethod *n = TreeOps::NewNode(manager, cbt);
    n->SetPersistent(false);
    n->component = cbt.GetName();
    return n;
}

} // namespace

QStringList ComponentList(const CKELTree &tree)
{
    QStringList names;
    const CKELDataManager *manager = tree.Manager();
    const CKELMethod *root = Evolution::FirstRoot(tree);
    if (!manager || !root)
        return names;
    QSet<QString> seen;
    for (const CKELMethod *n : TreeOps::PreOrder(*manager, root)) {
        if (!seen.contains(n->component)) {
            seen.insert(n->component);
            names.append(n->component);
        }
    }
    return names;
}

const CKELCBT *FindCbt(const CKELTree &source, const QString &component)
{
    const CKELCBTs *folder = cbtFolder(source);
    if (!folder)
        return nullptr;
    for (const auto &c : folder->Children()) {
        if (c->GetTypeCode() == KEL::CBT && c->GetName() == component)
            return static_cast<const CKELCBT *>(c.get());
    }
    return nullptr;
}

CKELCBT *CreateCbt(CKELDataManager &manager, CKELTree &source, const QString &component, CPrompt &prompt)
{
    if (FindCbt(source, component)) {
        prompt.Message(DerivationTexts::CbtAlreadyAdded(component));
        return nullptr;
    }
    CKELCBTs *folder = cbtFolder(source);
    if (!folder) {
        std::unique_ptr<CKELData> f = manager.CreateElement(KEL::CBTs);
        manager.RegisterElement(f.get());
        folder = static_cast<CKELCBTs *>(f.get());
        source.AddChild(f);
    }
    std::unique_ptr<CKELData> e = manager.CreateElement(KEL::CBT);
    manager.RegisterElement(e.get());
    auto *cbt = static_cast<CKELCBT *>(e.get());
    cbt->SetName(component);
    folder->AddChild(e);
    BuildFromSource(manager, *cbt, source);
    return cbt;
}

void BuildFromSource(CKELDataManager &manager, CKELCBT &cbt, const CKELTree &source)
{
    CKELMethod *init = newCbtNode(manager, cbt);
    init->behavior = kInitBehavior;
    if (const CKELMethod *root = Evolution::FirstRoot(source))
        ProjectNode(manager, cbt, root, init);
}

void ProjectNode(CKELDataManager &manager, CKELCBT &cbt, const CKELMethod *sourceNode, CKELMethod *parent)
{
    if (!sourceNode)
        return;
    const QString &component = cbt.GetName();
    const CKELData *sourceTree = sourceNode->GetParent();
    // Pre-order with an explicit stack: the nodes are made in the order a
    // recursive walk would make them, without its depth limit. Links are
    // kept acyclic; the visited set only guards a damaged model.
    std::vector<std::pair<const CKELMethod *, CKELMethod *>> stack{{sourceNode, parent}};
    QSet<const CKELMethod *> visited;
    while (!stack.empty()) {
        const auto [s, p] = stack.back();
        stack.pop_back();
        if (visited.contains(s))
            continue;
        visited.insert(s);
        CKELMethod *under = p;
        if (s->component == component) {
            CKELMethod *c = newCbtNode(manager, cbt);
            c->behavior = s->behavior;
            c->behaviorType = s->behaviorType;
            c->jumpType = s->jumpType;
            if (s->IsEvolution()) {
                c->SetEvolution(true);
                c->SetEvStyle(s->GetEvStyle());
                c->EvTags() = s->EvTags();
            }
            if (p)
                TreeOps::Link(manager, p, c);
            under = c;
        }
        const QList<int> &kids = s->ChildIds();
        for (qsizetype i = kids.size() - 1; i >= 0; --i) {
            const CKELData *k = manager.Lookup(kids[i]);
            if (k && k->IsMethod() && k->GetParent() == sourceTree)
                stack.emplace_back(static_cast<const CKELMethod *>(k), under);
        }
    }
}

const CKELMethod *InitNode(const CKELCBT &cbt)
{
    return Evolution::FirstRoot(cbt);
}

bool InitShown(const CKELCBT &cbt)
{
    const CKELMethod *init = InitNode(cbt);
    return init && init->ChildIds().size() != 1;
}

const CKELTree *SourceTree(const CKELCBT &cbt)
{
    const CKELData *folder = cbt.GetParent();
    const CKELData *tree = folder ? folder->GetParent() : nullptr;
    return tree && tree->IsTree() ? static_cast<const CKELTree *>(tree) : nullptr;
}

} // namespace Cbt
