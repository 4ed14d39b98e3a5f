// The user's commands: check, ask, then one record through the change path.
#include "model/keldatamanager.h"

#include "derive/cbt.h"
#include "derive/integration.h"
#include "editstep.h"
#include "edittexts.h"
#include "undohistory.h"

#include "model/kelcontainers.h"
#include "model/kelmethod.h"
#include "model/kelrecord.h"
#include "model/kelrequirement.h"
#include "model/keltree.h"
#include "model/nodeattributes.h"
#include "model/operationrecord.h"
#include "model/prompt.h"
#include "model/treeops.h"

#include <QHash>
#include <QSet>

namespace {

// Records that name things by text within a version also carry the
// version's id ("ver"), so that every client adds them to the same version
// whatever version each one has made current. Readers that do not know
// the key skip it.
COperationRecord &inVersion(COperationRecord &r, const CKELVersion *v)
{
    return v ? r.Int(u"ver", v->GetId()) : r;
}

} // namespace

CPrompt &CKELDataManager::Prompt()
{
    static CSilentPrompt silent;
    return m_prompt ? *m_prompt : silent;
}

bool CKELDataManager::submit(const QString &record)
{
    if (IdsUsedUp() && makesElements(QStringView(record).left(record.indexOf(u';')))) {
        Prompt().Message(EditTexts::IdsUsedUp);
        return false;
    }
    // a record sent outside any step is a step of its own
    CEditStep step(*this, EditTexts::StepName(QStringView(record).left(record.indexOf(u';'))));
    if (!m_local && m_sink) {
        History().NoteSent(record);
        const bool sent = m_sink->SendOperation(record);
        if (!sent)
            History().TakeOwn(record); // it will never come back
        return sent;
    }
    m_applyingOwnCommand = true;
    const bool applied = ApplyOperationRecord(record);
    m_applyingOwnCommand = false;
    return applied;
}

bool CKELDataManager::confirmRemoval(const QString &text)
{
    return Prompt().YesNo(text, EditTexts::ConfirmCaption);
}

bool CKELDataManager::confirmAndSubmitRemoval(int id, int typeCode, QStringView kindWord, QStringView recordKind)
{
    const CKELData *e = Lookup(id);
    if (!e || e->GetTypeCode() != typeCode)
        return false;
    if (!confirmRemoval(EditTexts::ConfirmRemove(kindWord, EditTexts::Quoted(e->GetName()))))
        return false;
    return submit(COperationRecord(recordKind).Int(u"tid", id).ToString());
}

bool CKELDataManager::AddRequirement(const QString &tag, const QString &description)
{
    if (!m_currentVersion)
        return false;
    if (tag.isEmpty()) {
        Prompt().Message(EditTexts::RequirementTagEmpty);
        return false;
    }
    if (FindRequirement(tag)) {
        Prompt().Message(EditTexts::RequirementTagAdded(tag));
        return false;
    }
    COperationRecord r(u"addreq");
    r.Text(u"tag", tag).Text(u"desc", description);
    return submit(inVersion(r, m_currentVersion).ToString());
}

bool CKELDataManager::RemoveRequirement(int id)
{
    auto *req = LookupAs<CKELRequirement>(id, KEL::Requirement);
    if (!req)
        return false;
    if (!confirmRemoval(EditTexts::ConfirmRemoveRequirement(EditTexts::Quoted(req->GetName()))))
        return false;
    return submit(COperationRecord(u"delreq").Int(u"id", id).ToString());
}

bool CKELDataManager::AddComponent(const QString &name, bool systemComponent)
{
    if (!m_currentVersion)
        return false;
    if (name.isEmpty()) {
        Prompt().Message(EditTexts::ComponentNameEmpty);
        return false;
    }
    if (FindComponent(name)) {
        Prompt().Message(EditTexts::ComponentTaken(name));
        return false;
    }
    COperationRecord r(u"addcom");
    r.Text(u"name", name).Flag(u"issys", systemComponent);
    return submit(inVersion(r, m_currentVersion).ToString());
}

bool CKELDataManager::AddState(const QString &component, const QString &behavior, int behaviorType,
                               const QString &requirementTag)
{
    if (!m_currentVersion)
        return false;
    if (behavior.isEmpty()) {
        Prompt().Message(EditTexts::StateEmpty);
        return false;
    }
    if (component.isEmpty()) {
        Prompt().Message(EditTexts::ComponentNameMissing);
        return false;
    }
    const QString decorated = KEL::Decorate(behavior, behaviorType);
    const CKELComponent *c = FindComponent(component);
    if (c && c->FindState(decorated)) {
        Prompt().Message(EditTexts::StateAdded(decorated));
        return false;
    }
    COperationRecord r(u"addsta");
    r.Text(u"sta", behavior).Text(u"comp", component).Int(u"dec", behaviorType).Text(u"req", requirementTag);
    return submit(inVersion(r, m_currentVersion).ToString());
}

bool CKELDataManager::AttachState(int stateId, const QString &requirementTag)
{
    if (!LookupAs<CKELState>(stateId, KEL::State))
        return false;
    return submit(COperationRecord(u"assrts").Int(u"stid", stateId).Text(u"req", requirementTag).ToString());
}

bool CKELDataManager::DetachState(int stateId, int requirementId)
{
    const auto *req = LookupAs<CKELRequirement>(requirementId, KEL::Requirement);
    if (!LookupAs<CKELState>(stateId, KEL::State) || !req)
        return false;
    if (!confirmRemoval(EditTexts::ConfirmRemoveStateFromRequirement(EditTexts::Quoted(req->GetName()))))
        return false;
    return submit(COperationRecord(u"rmassrts").Int(u"stid", stateId).Int(u"reqid", requirementId).ToString());
}

bool CKELDataManager::AddRBT(const QString &name, const QList<int> &requirementIds, int levelGap)
{
    if (!m_currentVersion)
        return false;
    if (name.isEmpty()) {
        Prompt().Message(EditTexts::RbtTagEmpty);
        return false;
    }
    if (FindTree(KEL::RBTs, name)) {
        Prompt().Message(EditTexts::RbtTagAdded(name));
        return false;
    }
    COperationRecord r(u"addrbt");
    r.Text(u"name", name).IntList(u"req", requirementIds).Int(u"lvg", levelGap);
    return submit(inVersion(r, m_currentVersion).ToString());
}

bool CKELDataManager::ChangeRBT(int treeId, const QString &name, const QList<int> &requirementIds)
{
    auto *tree = LookupAs<CKELRBT>(treeId, KEL::RBT);
    if (!tree)
        return false;
    if (name.isEmpty()) {
        Prompt().Message(EditTexts::RbtTagEmpty);
        return false;
    }
    const CKELTree *other = FindTree(KEL::RBTs, name, VersionOf(tree));
    if (other && other != tree) {
        Prompt().Message(EditTexts::RbtTagAdded(name));
        return false;
    }
    return submit(
        COperationRecord(u"modrbt").Text(u"name", name).IntList(u"req", requirementIds).Int(u"tid", treeId).ToString());
}

bool CKELDataManager::RemoveRBT(int treeId)
{
    return confirmAndSubmitRemoval(treeId, KEL::RBT, EditTexts::RbtWord, u"rmrbt");
}

bool CKELDataManager::AddDBT(const QString &name)
{
    if (!m_currentVersion)
        return false;
    if (name.isEmpty()) {
        Prompt().Message(EditTexts::IbtNameEmpty);
        return false;
    }
    if (FindTree(KEL::DBTs, name)) {
        Prompt().Message(EditTexts::IbtAdded(name));
        return false;
    }
    COperationRecord r(u"adddbt");
    r.Text(u"name", name);
    return submit(inVersion(r, m_currentVersion).ToString());
}

bool CKELDataManager::RenameDBT(int treeId, const QString &name)
{
    const auto *tree = LookupAs<CKELDBT>(treeId, KEL::DBT);
    if (!tree)
        return false;
    if (name.isEmpty()) {
        Prompt().Message(EditTexts::IbtNameEmpty);
        return false;
    }
    const CKELTree *other = FindTree(KEL::DBTs, name, VersionOf(tree));
    if (other && other != tree) {
        Prompt().Message(EditTexts::DbtAdded(name));
        return false;
    }
    return submit(COperationRecord(u"moddbt").Text(u"name", name).Int(u"id", treeId).ToString());
}

bool CKELDataManager::RemoveDBT(int treeId)
{
    return confirmAndSubmitRemoval(treeId, KEL::DBT, EditTexts::DbtWord, u"rmdbt");
}

bool CKELDataManager::RemoveEVT(int treeId)
{
    return confirmAndSubmitRemoval(treeId, KEL::EVT, EditTexts::EvtWord, u"rmdbt");
}

bool CKELDataManager::AddNode(int treeId, int parentId, const CNodeAttributes &a, int x, int y)
{
    const CKELData *tree = Lookup(treeId);
    if (!tree
        || !(tree->GetTypeCode() == KEL::RBT || tree->GetTypeCode() == KEL::DBT || tree->GetTypeCode() == KEL::EVT))
        return false;
    if (a.component.isEmpty()) {
        Prompt().Message(EditTexts::ComponentEmpty);
        return false;
    }
    if (a.behavior.isEmpty()) {
        Prompt().Message(EditTexts::StateNameEmpty);
        return false;
    }
    CEditStep step(*this, EditTexts::StepAddNode);
    COperationRecord r(u"addmsd");
    r.Fields(QStringLiteral("fun:para;") + a.RecordFields())
        .Int(u"x", x)
        .Int(u"y", y)
        .Int(u"eparent", parentId)
        .Int(u"treeid", treeId);
    if (!submit(r.ToString()))
        return false;
    EnsureState(static_cast<const CKELTree *>(tree), a);
    return true;
}

void CKELDataManager::EnsureState(const CKELTree *tree, const CNodeAttributes &a)
{
    // a behavior the component does not have yet becomes one of its states
    const CKELVersion *version = tree ? VersionOf(tree) : nullptr;
    if (!version)
        version = m_currentVersion;
    const CKELComponent *c = FindComponent(a.component, version);
    if (!c || !c->FindState(KEL::Decorate(a.behavior, a.behaviorType))) {
        COperationRecord s(u"addsta");
        s.Text(u"sta", a.behavior)
            .Text(u"comp", a.component)
            .Int(u"dec", a.behaviorType)
            .Text(u"req", a.requirementTag);
        submit(inVersion(s, version).ToString());
    }
}

bool CKELDataManager::AddNodes(int treeId, int parentId, const QString &nodeLines)
{
    const CKELData *tree = Lookup(treeId);
    if (!tree
        || !(tree->GetTypeCode() == KEL::RBT || tree->GetTypeCode() == KEL::DBT || tree->GetTypeCode() == KEL::EVT)
        || nodeLines.trimmed().isEmpty())
        return false;
    return submit(
        COperationRecord(u"addsub").Int(u"treeid", treeId).Int(u"eparent", parentId).Text(u"n", nodeLines).ToString());
}

bool CKELDataManager::ChangeNode(int nodeId, const CNodeAttributes &a)
{
    if (!LookupAs<CKELMethod>(nodeId, KEL::Method))
        return false;
    if (a.component.isEmpty()) {
        Prompt().Message(EditTexts::ComponentEmpty);
        return false;
    }
    if (a.behavior.isEmpty()) {
        Prompt().Message(EditTexts::StateNameEmpty);
        return false;
    }
    COperationRecord r(u"modmsd");
    r.Fields(QStringLiteral("fun:para;") + a.RecordFields()).Int(u"nodeid", nodeId);
    return submit(r.ToString());
}

bool CKELDataManager::LinkNode(int parentId, int childId)
{
    auto *child = LookupAs<CKELMethod>(childId, KEL::Method);
    // linking a child to the parent it has moves it to the end of the child list
    if (!child || !child->Tree() || (parentId == 0 && child->ParentId() == 0))
        return false;
    if (parentId) {
        // the receiver refuses these too; checking first spares the round trip
        const CKELMethod *parent = TreeOps::NodeOf(*child->Tree(), parentId);
        if (!parent || TreeOps::IsAncestorOrSelf(*this, child, parent))
            return false;
    }
    return submit(COperationRecord(u"linknode").Int(u"par", parentId).Int(u"chd", childId).ToString());
}

bool CKELDataManager::RemoveNode(int nodeId)
{
    if (!LookupAs<CKELMethod>(nodeId, KEL::Method))
        return false;
    return submit(COperationRecord(u"rmnode").Int(u"id", nodeId).ToString());
}

bool CKELDataManager::SetNodeGeometry(int nodeId, int x, int y, int w, int h)
{
    const auto *n = LookupAs<CKELMethod>(nodeId, KEL::Method);
    if (!n || !n->Tree())
        return false;
    return SetNodesGeometry(n->Tree()->GetId(), {CNodeGeometry{nodeId, x, y, w, h}});
}

bool CKELDataManager::SetNodesGeometry(int treeId, const QList<CNodeGeometry> &nodes)
{
    const CKELData *tree = Lookup(treeId);
    if (!tree || !tree->IsTree())
        return false;
    QList<int> values;
    values.reserve(nodes.size() * 5);
    for (const CNodeGeometry &g : nodes) {
        const auto *n = LookupAs<CKELMethod>(g.id, KEL::Method);
        if (!n || n->GetParent() != tree || (n->x == g.x && n->y == g.y && n->w == g.w && n->h == g.h))
            continue;
        values << g.id << g.x << g.y << g.w << g.h;
    }
    if (values.isEmpty())
        return true; // nothing moved: no record, no step
    return submit(COperationRecord(u"geo").Int(u"tid", treeId).IntList(u"n", values).ToString());
}

bool CKELDataManager::SetTreePages(int treeId, int pagesWide, int pagesHigh)
{
    const CKELData *e = Lookup(treeId);
    if (!e || !(e->GetTypeCode() == KEL::RBT || e->GetTypeCode() == KEL::DBT || e->GetTypeCode() == KEL::EVT))
        return false;
    const auto *tree = static_cast<const CKELRBT *>(e);
    if (tree->PagesWide() == pagesWide && tree->PagesHigh() == pagesHigh)
        return true;
    return submit(
        COperationRecord(u"pages").Int(u"tid", treeId).Int(u"pgw", pagesWide).Int(u"pgh", pagesHigh).ToString());
}

bool CKELDataManager::RemoveNodes(const QList<int> &nodeIds, RemoveMode mode)
{
    // every node that goes, children before parents so that no node is
    // left a root for a moment in a shared solution
    QList<int> order;
    QSet<int> seen;
    for (int id : nodeIds) {
        auto *n = LookupAs<CKELMethod>(id, KEL::Method);
        if (!n || seen.contains(id))
            continue;
        if (mode == RemoveMode::KeepChildren) {
            seen.insert(id);
            order.append(id);
            continue;
        }
        const QList<const CKELMethod *> subtree = TreeOps::PreOrder(*this, n);
        for (auto it = subtree.crbegin(); it != subtree.crend(); ++it) {
            const int sub = (*it)->GetId();
            if (!seen.contains(sub)) {
                seen.insert(sub);
                order.append(sub);
            }
        }
    }
    if (order.isEmpty())
        return false;
    if (order.size() == 1)
        return RemoveNode(order.first());
    // one record for the selection: one packet, one journal entry
    return submit(COperationRecord(u"rmnodes").IntList(u"ids", order).ToString());
}

bool CKELDataManager::CopyTree(int targetTreeId, int sourceTreeId)
{
    const CKELData *t = Lookup(targetTreeId);
    const CKELData *s = Lookup(sourceTreeId);
    if (!t || !s || !t->IsTree() || !s->IsTree())
        return false;
    if (t == s) {
        // each copy doubles the tree: a few such records exhaust any machine
        Prompt().Message(EditTexts::TreeIntoItself);
        return false;
    }
    return submit(COperationRecord(u"clotre").Int(u"tid", targetTreeId).Int(u"sid", sourceTreeId).ToString());
}

bool CKELDataManager::CreateCBT(int treeId, const QString &component)
{
    const CKELData *tree = Lookup(treeId);
    if (!tree || !tree->IsTree() || tree->GetTypeCode() == KEL::CBT || component.isEmpty())
        return false;
    if (Cbt::FindCbt(*static_cast<const CKELTree *>(tree), component)) {
        Prompt().Message(EditTexts::CbtAdded(component));
        return false;
    }
    return submit(COperationRecord(u"addcbt").Int(u"tid", treeId).Text(u"com", component).ToString());
}

bool CKELDataManager::RemoveCBT(int cbtId)
{
    CKELData *cbt = lookupForEdit<CKELCBT>(cbtId, KEL::CBT);
    if (!cbt)
        return false;
    if (!confirmRemoval(EditTexts::ConfirmRemoveCbt(EditTexts::Quoted(cbt->GetName()))))
        return false;
    removeElement(cbt);
    return true;
}

bool CKELDataManager::CreateCIN(int treeId)
{
    const CKELData *tree = Lookup(treeId);
    if (!tree || !tree->IsTree() || tree->GetTypeCode() == KEL::CBT)
        return false;
    return submit(COperationRecord(u"addcin").Int(u"tid", treeId).ToString());
}

bool CKELDataManager::RemoveCIN(int cinId)
{
    CKELData *cin = lookupForEdit<CKELCIN>(cinId, KEL::CIN);
    if (!cin || !confirmRemoval(EditTexts::ConfirmRemoveCin))
        return false;
    removeElement(cin);
    return true;
}

bool CKELDataManager::CreateCID(int treeId, const QString &component)
{
    const CKELData *tree = Lookup(treeId);
    if (!tree || !tree->IsTree() || tree->GetTypeCode() == KEL::CBT || component.isEmpty())
        return false;
    return submit(COperationRecord(u"addcid").Text(u"cmname", component).Int(u"tid", treeId).ToString());
}

bool CKELDataManager::RemoveCID(int cidId)
{
    return confirmAndSubmitRemoval(cidId, KEL::CID, EditTexts::CidWord, u"rmtcid");
}

bool CKELDataManager::AddEVT(const QList<int> &treeIds)
{
    if (!m_solution || !m_solution->EvtFolder())
        return false;
    if (treeIds.size() < 2) {
        Prompt().Message(EditTexts::NeedTwoTrees);
        return false;
    }
    return submit(COperationRecord(u"addevt").IntList(u"tids", treeIds).ToString());
}

bool CKELDataManager::IntegrateNextMatchingRBT(int nodeId)
{
    const auto *x = LookupAs<CKELMethod>(nodeId, KEL::Method);
    if (!x || !x->Tree())
        return false;
    const QList<int> roots = CIntegration::FindMatchingRoots(*x->Tree(), *x);
    if (roots.isEmpty())
        return false;
    CEditStep step(*this, EditTexts::StepIntegrateNextMatch);
    return submit(COperationRecord(u"inttre").Int(u"mid", nodeId).Int(u"rid", roots.first()).ToString());
}

bool CKELDataManager::IntegrateThisRBT(int rootId)
{
    const int match = CIntegration::FindIntegrationTarget(*this, rootId, Prompt());
    if (!match)
        return false;
    return submit(COperationRecord(u"inttre").Int(u"mid", match).Int(u"rid", rootId).ToString());
}

bool CKELDataManager::NewVersion(const QString &name, int fromVersionId)
{
    if (!LookupAs<CKELVersion>(fromVersionId, KEL::Version))
        return false;
    return submit(COperationRecord(u"addver").Text(u"vname", name).Int(u"ovid", fromVersionId).ToString());
}

bool CKELDataManager::SetCurrentVersion(int versionId)
{
    auto *v = lookupForEdit<CKELVersion>(versionId, KEL::Version);
    if (!v || !m_solution || !m_solution->IsAncestorOf(v))
        return false;
    if (v == m_currentVersion)
        return true;
    const int previous = m_currentVersion ? m_currentVersion->GetId() : 0;
    m_currentVersion = v;
    // the file keeps the current version: switching is a change to save
    MarkModified();
    if (m_history)
        m_history->ForgetClean();
    emit currentVersionChanged(previous, versionId);
    return true;
}

void CKELDataManager::MarkModified()
{
    if (!m_solution || m_solution->IsModified())
        return;
    m_solution->SetModified(true);
    emit modifiedChanged(true);
}

const CKELVersion *CKELDataManager::VersionOf(const CKELData *element) const
{
    for (const CKELData *e = element; e; e = e->GetParent()) {
        if (e->GetTypeCode() == KEL::Version)
            return static_cast<const CKELVersion *>(e);
    }
    return nullptr;
}

const CKELRequirement *CKELDataManager::FindRequirement(const QString &tag, const CKELVersion *version) const
{
    if (!version)
        version = m_currentVersion;
    const CKELData *e = version ? FindChildByName(version->RequirementsFolder(), tag) : nullptr;
    return e && e->GetTypeCode() == KEL::Requirement ? static_cast<const CKELRequirement *>(e) : nullptr;
}

const CKELComponent *CKELDataManager::FindComponent(const QString &name, const CKELVersion *version) const
{
    if (!version)
        version = m_currentVersion;
    const CKELData *e = version ? FindChildByName(version->ComponentsFolder(), name) : nullptr;
    return e && e->GetTypeCode() == KEL::Component ? static_cast<const CKELComponent *>(e) : nullptr;
}

const CKELTree *CKELDataManager::FindTree(int folderType, const QString &name, const CKELVersion *version) const
{
    if (!version)
        version = m_currentVersion;
    const CKELData *folder = nullptr;
    if (version)
        folder = folderType == KEL::DBTs ? static_cast<const CKELData *>(version->DBTFolder())
                                         : static_cast<const CKELData *>(version->RBTFolder());
    const CKELData *e = FindChildByName(folder, name);
    return e && e->IsTree() ? static_cast<const CKELTree *>(e) : nullptr;
}

bool CKELDataManager::ExecuteRecordAsCommand(const QString &record)
{
    CKELRecord r;
    if (!r.Parse(record))
        return false;
    const QString kind = r.GetKind();
    auto ids = [&r](QStringView key) {
        QList<int> out;
        r.GetIntList(key, out);
        return out;
    };
    if (kind == u"rmnodes")
        return RemoveNodes(ids(u"ids"), RemoveMode::KeepChildren);
    if (kind == u"geo") {
        const QList<int> v = ids(u"n");
        QList<CNodeGeometry> nodes;
        for (qsizetype i = 0; i + 4 < v.size(); i += 5)
            nodes.append({v[i], v[i + 1], v[i + 2], v[i + 3], v[i + 4]});
        return SetNodesGeometry(r.GetInt(u"tid"), nodes);
    }
    if (kind == u"pages")
        return SetTreePages(r.GetInt(u"tid"), r.GetInt(u"pgw"), r.GetInt(u"pgh"));
    if (kind == u"addsub")
        return AddNodes(r.GetInt(u"treeid"), r.GetInt(u"eparent"), r.GetText(u"n"));
    if (kind == u"addreq")
        return AddRequirement(r.GetText(u"tag"), r.GetText(u"desc"));
    if (kind == u"modreq")
        return ChangeRequirement(r.GetInt(u"id"), r.GetText(u"tag"), r.GetText(u"desc"));
    if (kind == u"delreq")
        return RemoveRequirement(r.GetInt(u"id"));
    if (kind == u"addrbt")
        return AddRBT(r.GetText(u"name"), ids(u"req"), r.GetInt(u"lvg"));
    if (kind == u"modrbt")
        return ChangeRBT(r.GetInt(u"tid"), r.GetText(u"name"), ids(u"req"));
    if (kind == u"addmsd")
        return AddNode(r.GetInt(u"treeid"), r.GetInt(u"eparent"), CNodeAttributes::FromRecord(r), r.GetInt(u"x"),
                       r.GetInt(u"y"));
    if (kind == u"modmsd")
        return ChangeNode(r.GetInt(u"nodeid"), CNodeAttributes::FromRecord(r));
    if (kind == u"linknode")
        return LinkNode(r.GetInt(u"par"), r.GetInt(u"chd"));
    if (kind == u"addcom")
        return AddComponent(r.GetText(u"name"), r.GetBool(u"issys"));
    if (kind == u"addsta")
        return AddState(r.GetText(u"comp"), r.GetText(u"sta"), r.GetInt(u"dec"), r.GetText(u"req"));
    if (kind == u"assrts")
        return AttachState(r.GetInt(u"stid"), r.GetText(u"req"));
    if (kind == u"rmassrts")
        return DetachState(r.GetInt(u"stid"), r.GetInt(u"reqid"));
    if (kind == u"rmnode")
        return RemoveNode(r.GetInt(u"id"));
    if (kind == u"clotre")
        return CopyTree(r.GetInt(u"tid"), r.GetInt(u"sid"));
    if (kind == u"inttre") {
        // the user names the RBT root; its match is found as the command does
        return IntegrateThisRBT(r.GetInt(u"rid"));
    }
    if (kind == u"adddbt")
        return AddDBT(r.GetText(u"name"));
    if (kind == u"moddbt")
        return RenameDBT(r.GetInt(u"id"), r.GetText(u"name"));
    if (kind == u"rmdbt") {
        const CKELData *e = Lookup(r.GetInt(u"tid"));
        return e && e->GetTypeCode() == KEL::EVT ? RemoveEVT(r.GetInt(u"tid")) : RemoveDBT(r.GetInt(u"tid"));
    }
    if (kind == u"rmrbt")
        return RemoveRBT(r.GetInt(u"tid"));
    if (kind == u"addver")
        return NewVersion(r.GetText(u"vname"), r.GetInt(u"ovid"));
    if (kind == u"addcbt")
        return CreateCBT(r.GetInt(u"tid"), r.GetText(u"com"));
    if (kind == u"addevt")
        return AddEVT(ids(u"tids"));
    if (kind == u"addcin")
        return CreateCIN(r.GetInt(u"tid"));
    if (kind == u"addcid")
        return CreateCID(r.GetInt(u"tid"), r.GetText(u"cmname"));
    if (kind == u"rmtcid")
        return RemoveCID(r.GetInt(u"tid"));
    if (kind == u"modcom") // the rename, as the explorer's: its nodes follow
        return RenameComponent(r.GetInt(u"id"), r.GetText(u"name"), r.GetBool(u"issys"));
    if (kind == u"rmcom")
        return RemoveComponent(r.GetInt(u"id"));
    if (kind == u"rmsta")
        return RemoveState(r.GetInt(u"id"));
    return submit(record);
}
