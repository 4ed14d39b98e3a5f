// Commands of the explorer that touch more than their own element:
// requirement tags and component names that nodes carry, removing
// components and states; and the saved mark.
#include "model/keldatamanager.h"

#include "model/kelcontainers.h"
#include "model/kelmethod.h"
#include "model/kelrequirement.h"
#include "model/keltree.h"
#include "model/nodeattributes.h"
#include "model/operationrecord.h"
#include "model/prompt.h"
#include "editstep.h"
#include "edittexts.h"
#include "undohistory.h"

namespace {

// Nodes of every tree of a version that pass test. Gathered before the
// command's first record: in a shared solution nothing changes until the
// records come back, and locally a rename must not hide them.
template<class Test> QList<int> nodesOfVersion(const CKELVersion *version, Test test)
{
    QList<int> nodes;
    if (!version)
        return nodes;
    for (const CKELData *folder :
         {static_cast<const CKELData *>(version->RBTFolder()), static_cast<const CKELData *>(version->DBTFolder())}) {
        if (!folder)
            continue;
        for (const auto &t : folder->Children()) {
            const int kind = t->GetTypeCode();
            if (kind != KEL::RBT && kind != KEL::DBT && kind != KEL::EVT)
                continue;
            for (const CKELMethod *n : static_cast<const CKELTree *>(t.get())->Nodes()) {
                if (test(*n))
                    nodes.append(n->GetId());
            }
        }
    }
    return nodes;
}

} // namespace

bool CKELDataManager::resubmitNodes(const QList<int> &nodes, const std::function<void(CNodeAttributes &)> &edit)
{
    bool all = true;
    for (int nodeId : nodes) {
        const auto *n = LookupAs<CKELMethod>(nodeId, KEL::Method);
        if (!n)
            continue;
        CNodeAttributes a = CNodeAttributes::Of(*n);
        edit(a);
        // straight to a record: a node read with an empty field must follow
        // its component or requirement all the same, not stop the command
        COperationRecord r(u"modmsd");
        r.Fields(QStringLiteral("fun:para;") + a.RecordFields()).Int(u"nodeid", nodeId);
        all = submit(r.ToString()) && all;
    }
    return all;
}

bool CKELDataManager::ChangeRequirement(int id, const QString &tag, const QString &description)
{
    auto *req = LookupAs<CKELRequirement>(id, KEL::Requirement);
    if (!req)
        return false;
    if (tag.isEmpty()) {
        Prompt().Message(EditTexts::RequirementTagEmpty);
        return false;
    }
    const CKELVersion *version = VersionOf(req);
    const CKELRequirement *other = FindRequirement(tag, version);
    if (other && other != req) {
        Prompt().Message(EditTexts::RequirementTagTaken(tag));
        return false;
    }
    const QString oldTag = req->GetName();
    // nodes find their requirement by its tag: they carry the new one, so
    // states added from them later attach to this requirement still
    const QList<int> nodes =
        oldTag == tag ? QList<int>{}
                      : nodesOfVersion(version, [&oldTag](const CKELMethod &n) { return n.requirementTag == oldTag; });
    CEditStep step(*this, EditTexts::StepChangeRequirement);
    if (!submit(COperationRecord(u"modreq").Text(u"tag", tag).Text(u"desc", description).Int(u"id", id).ToString()))
        return false;
    resubmitNodes(nodes, [&tag](CNodeAttributes &a) { a.requirementTag = tag; });
    return true;
}

bool CKELDataManager::RenameComponent(int id, const QString &name, bool systemComponent)
{
    auto *c = LookupAs<CKELComponent>(id, KEL::Component);
    if (!c)
        return false;
    if (name.isEmpty()) {
        Prompt().Message(EditTexts::ComponentNameEmpty);
        return false;
    }
    const CKELVersion *version = VersionOf(c);
    const CKELComponent *other = FindComponent(name, version);
    if (other && other != c) {
        Prompt().Message(EditTexts::ComponentTaken(name));
        return false;
    }
    const QString oldName = c->GetName();
    if (oldName == name && c->IsSystemComponent() == systemComponent)
        return true;
    const QList<int> nodes =
        oldName == name ? QList<int>{}
                        : nodesOfVersion(version, [&oldName](const CKELMethod &n) { return n.component == oldName; });
    CEditStep step(*this, EditTexts::StepRenameComponent);
    const QString record =
        COperationRecord(u"modcom").Int(u"id", id).Text(u"name", name).Flag(u"issys", systemComponent).ToString();
    if (!submit(record))
        return false;
    // nodes name their component by text; without this they would point at nothing
    resubmitNodes(nodes, [&name](CNodeAttributes &a) { a.component = name; });
    return true;
}

bool CKELDataManager::RemoveComponent(int id)
{
    const CKELData *c = LookupAs<CKELComponent>(id, KEL::Component);
    if (!c)
        return false;
    if (!m_local) {
        // peers of older builds would skip the record and keep the component
        Prompt().Message(EditTexts::UnderDevelopment);
        return false;
    }
    if (!confirmRemoval(EditTexts::ConfirmRemoveComponent(EditTexts::Quoted(c->GetName()))))
        return false;
    return submit(COperationRecord(u"rmcom").Int(u"id", id).ToString());
}

bool CKELDataManager::RemoveState(int id)
{
    const auto *s = LookupAs<CKELState>(id, KEL::State);
    if (!s)
        return false;
    if (!m_local) {
        Prompt().Message(EditTexts::UnderDevelopment);
        return false;
    }
    if (!confirmRemoval(EditTexts::ConfirmRemoveState(EditTexts::Quoted(s->GetLabelFor(nullptr)))))
        return false;
    return submit(COperationRecord(u"rmsta").Int(u"id", id).ToString());
}

void CKELDataManager::MarkSaved()
{
    if (!m_solution)
        return;
    m_solution->SetModified(false);
    if (m_history)
        m_history->SetClean();
    emit modifiedChanged(false);
}
