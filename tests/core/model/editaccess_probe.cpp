// Compiled, never run: code outside the edit layer that reaches an element
// and tries to change it. Each case but PROBE_READ must be refused by the
// compiler, for the reason its test names.
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"

int probe(CKELDataManager &m)
{
    const CKELMethod *node = m.LookupAs<CKELMethod>(1, KEL::Method);
#if defined(PROBE_READ)
    // reading everywhere stays allowed
    int n = node ? node->x + int(node->behavior.size()) : 0;
    for (const CKELData *e : m.IdMap())
        n += e->GetParent() ? e->GetParent()->ChildCount() : 0;
    return n + int(m.CurrentVersion()->RBTFolder()->Children().size());
#elif defined(PROBE_FIELD)
    m.LookupAs<CKELMethod>(1, KEL::Method)->x = 5;
#elif defined(PROBE_SETTER)
    m.Solution()->SetName(QStringLiteral("renamed"));
#elif defined(PROBE_CHILD)
    for (const auto &c : m.CurrentVersion()->RBTFolder()->Children())
        c->SetName(QStringLiteral("renamed"));
#elif defined(PROBE_WALK)
    for (auto it = m.IdMap().cbegin(); it != m.IdMap().cend(); ++it)
        it.value()->SetName(QStringLiteral("renamed"));
#elif defined(PROBE_PARENT)
    node->Tree()->SetName(QStringLiteral("renamed"));
#elif defined(PROBE_KEY)
    CKELDataManager::Mutable(node, CEditAccess())->x = 5;
#endif
    return node ? node->GetId() : 0;
}
