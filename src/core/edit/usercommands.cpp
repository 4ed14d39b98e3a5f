// Commands of the explorer and the file menu beyond the record-carrying
// ones: renaming and removing components and states, and the saved mark.
#include "model/keldatamanager.h"

#include "model/kelcontainers.h"
#include "model/kelmethod.h"
#include "model/kelrequirement.h"
#include "model/keltree.h"
#include "model/nodeattributes.h"
#include "model/operationrecord.h"
#include "model/prompt.h"
#include "editstep.h"
#include "undohistory.h"

namespace {

const QString kUnderDevelopment = QStringLiteral("Under development");

} // namespace

bool CKELDataManager::RenameComponent(int id, const QString &name, bool systemComponent)
{
    auto *c = LookupAs<CKELComponent>(id, KEL::Component);
    if (!c)
        return false;
    if (name.isEmpty()) {
        Prompt().Message(QStringLiteral("Component name can't be empty"));
        return false;
    }
    CKELVersion *version = VersionOf(c);
    const CKELComponent *other = FindComponent(name, version);
    if (other && other != c) {
        Prompt().Message(QStringLiteral("Component with name ") + name + QStringLiteral(" is already in the project"));
        return false;
    }
    const QString oldName = c->GetName();
    if (oldName == name && c->IsSystemComponent() == systemComponent)
        return true;
    // Gather the nodes first: in a shared solution nothing changes until the
    // records come back, and locally the rename must not hide them.
    QList<int> nodes;
    if (version && oldName != name) {
        for (const CKELData *folder : {static_cast<const CKELData *>(version->RBTFolder()),
                                       static_cast<const CKELData *>(version->DBTFolder())}) {
            if (!folder)
                continue;
            for (const auto &t : folder->Children()) {
                if (t->GetTypeCode() != KEL::RBT && t->GetTypeCode() != KEL::DBT)
                    continue;
                for (const CKELMethod *n : static_cast<const CKELTree *>(t.get())->Nodes()) {
                    if (n->component == oldName)
                        nodes.append(n->GetId());
                }
            }
        }
    }
    CEditStep step(*this, QStringLiteral("Rename Component"));
    const QString record =
        COperationRecord(u"modcom").Int(u"id", id).Text(u"name", name).Flag(u"issys", systemComponent).ToString();
    if (!submit(record))
        return false;
    // nodes name their component by text; without this they would point at nothing
    for (int nodeId : std::as_const(nodes)) {
        const auto *n = LookupAs<CKELMethod>(nodeId, KEL::Method);
        if (!n)
            continue;
        CNodeAttributes a = CNodeAttributes::Of(*n);
        a.component = name;
        ChangeNode(nodeId, a);
    }
    return true;
}

bool CKELDataManager::RemoveComponent(int id)
{
    CKELData *c = LookupAs<CKELComponent>(id, KEL::Component);
    if (!c)
        return false;
    if (!m_local) {
        Prompt().Message(kUnderDevelopment);
        return false;
    }
    if (!confirmRemoval(QStringLiteral("Are you sure that you want to remove the component \"") + c->GetName()
                        + QStringLiteral("\" ?")))
        return false;
    removeElement(c);
    MarkModified();
    return true;
}

bool CKELDataManager::RemoveState(int id)
{
    auto *s = LookupAs<CKELState>(id, KEL::State);
    if (!s)
        return false;
    if (!m_local) {
        Prompt().Message(kUnderDevelopment);
        return false;
    }
    if (!confirmRemoval(QStringLiteral("Are you sure that you want to remove the state \"") + s->GetLabelFor(nullptr)
                        + QStringLiteral("\" ?")))
        return false;
    // the requirements that showed it lose a line of their label's source
    const QList<int> requirements = s->RequirementIds();
    removeElement(s);
    for (int reqId : requirements) {
        if (Lookup(reqId))
            emit elementChanged(reqId);
    }
    MarkModified();
    return true;
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
