#include "abstree.h"

#include "model/keldatamanager.h"
#include "model/kelmethod.h"

#include <QSet>

CAbsTree::~CAbsTree()
{
    std::vector<std::unique_ptr<CAbsTree>> pending;
    if (m_next)
        pending.push_back(std::move(m_next));
    for (auto &c : m_children)
        pending.push_back(std::move(c));
    while (!pending.empty()) {
        std::unique_ptr<CAbsTree> t = std::move(pending.back());
        pending.pop_back();
        if (t->m_next)
            pending.push_back(std::move(t->m_next));
        for (auto &c : t->m_children)
            pending.push_back(std::move(c));
        t->m_children.clear();
    } // each entry dies with nothing left below it
}

namespace {

const CKELMethod *methodOf(const CKELDataManager &manager, int id)
{
    return manager.LookupAs<CKELMethod>(id, KEL::Method);
}

} // namespace

std::unique_ptr<CAbsTree> CAbsTree::Build(const CKELDataManager &manager, int rootNodeId)
{
    struct Task
    {
        int nodeId;
        std::unique_ptr<CAbsTree> *slot;
    };
    std::unique_ptr<CAbsTree> root;
    std::vector<Task> stack{{rootNodeId, &root}};
    QSet<int> seen;
    while (!stack.empty()) {
        const Task task = stack.back();
        stack.pop_back();
        const CKELMethod *node = methodOf(manager, task.nodeId);
        QList<int> kids;
        // links are kept acyclic; a node met twice only happens in a damaged
        // model and is then taken as a leaf, so that building ends
        if (node && !seen.contains(task.nodeId))
            kids = node->ChildIds();
        seen.insert(task.nodeId);

        int kind = Leaf;
        if (kids.size() == 1) {
            const CKELMethod *only = methodOf(manager, kids.first());
            kind = only && only->atomic ? AtomicSequence : Sequence;
        } else if (kids.size() > 1) {
            kind = Branching;
        }
        auto entry = std::make_unique<CAbsTree>(kind, task.nodeId);
        if (kind == AtomicSequence || kind == Sequence) {
            stack.push_back({kids.first(), &entry->m_next});
        } else if (kind == Branching) {
            entry->m_children.resize(size_t(kids.size()));
            for (qsizetype i = kids.size() - 1; i >= 0; --i)
                stack.push_back({kids[i], &entry->m_children[size_t(i)]});
        }
        *task.slot = std::move(entry); // the entry keeps its address: slots stay valid
    }
    return root;
}
