// Applies operation records: the one routine behind every model edit,
// local or relayed by the server.
#include "model/keldatamanager.h"

#include "derive/cbt.h"
#include "derive/cid.h"
#include "derive/cin.h"
#include "derive/evolution.h"
#include "derive/integration.h"
#include "derive/treecopy.h"
#include "elementrestorer.h"
#include "recordjournal.h"
#include "undohistory.h"
#include "model/kelcontainers.h"
#include "model/kelmethod.h"
#include "model/kelrecord.h"
#include "model/kelrequirement.h"
#include "model/keltree.h"
#include "model/nodeattributes.h"
#include "model/prompt.h"
#include "model/treeops.h"

#include <QSet>

class COperationApplier
{
public:
    COperationApplier(CKELDataManager &m, const CKELRecord &r) : m(m), r(r) {}

    bool Apply(const QString &kind);

private:
    CKELVersion *targetVersion() const;
    template<class T> T *add(CKELData *owner, int code)
    {
        std::unique_ptr<CKELData> e = m.CreateElement(code);
        m.RegisterElement(e.get());
        T *t = static_cast<T *>(e.get());
        owner->AddChild(e);
        emit m.elementAdded(t->GetId());
        return t;
    }
    void changed(const CKELData *e) { emit m.elementChanged(e->GetId()); }
    void setAssociatedRequirements(CKELRBT *tree, const QList<int> &ids);

    bool addRequirement();
    bool changeRequirement();
    bool deleteRequirement();
    bool addRBT();
    bool changeRBT();
    bool addNode();
    bool changeNode();
    bool linkNode();
    bool addComponent();
    bool changeComponent();
    bool removeComponent();
    bool addState();
    bool removeState();
    bool attachState();
    bool detachState();
    bool removeNode();
    bool cloneTree();
    bool integrate();
    bool addDBT();
    bool renameDBT();
    bool removeTree(std::initializer_list<int> kinds);
    bool addVersion();
    bool addCBT();
    bool addEVT();
    bool addCIN();
    bool addCID();
    bool setGeometry();
    bool addNodes();
    bool removeNodes();
    bool setPages();
    bool restore();
    // Messages of the user's own command are shown; a relayed record that
    // turns out refused says nothing.
    CPrompt &prompt() { return m.m_applyingOwnCommand ? m.Prompt() : m_silent; }
    CSilentPrompt m_silent;

    CKELDataManager &m;
    const CKELRecord &r;
};

bool CKELDataManager::ApplyOperationRecord(const QString &record)
{
    CKELRecord parsed;
    if (!m_solution || !parsed.Parse(record))
        return false;
    COperationApplier applier(*this, parsed);
    const QString kind = parsed.GetKind();
    // every replica refuses alike: they share the counter
    if (IdsUsedUp() && makesElements(kind))
        return false;
    // the user's own records are journaled for undo: at once in a local
    // solution, when the server relays them back in a shared one
    qint64 serial = 0;
    if (m_applyingOwnCommand)
        serial = History().Recording() ? History().OpenSerial() : 0;
    else if (m_history && !m_history->Replaying())
        serial = m_history->TakeOwn(record);
    CRecordJournal journal(*this, record, parsed, kind, serial);
    const bool changedModel = applier.Apply(kind);
    journal.Commit(changedModel);
    // derived diagrams are never written, so they do not make the file stale
    const bool derived = kind == u"addcbt" || kind == u"addcin" || kind == u"addcid" || kind == u"rmtcid";
    if (changedModel && !derived)
        MarkModified();
    return changedModel;
}

bool CKELDataManager::makesElements(QStringView kind)
{
    static const QSet<QString> kinds{
        QStringLiteral("addreq"), QStringLiteral("addrbt"), QStringLiteral("addmsd"), QStringLiteral("addcom"),
        QStringLiteral("addsta"), QStringLiteral("clotre"), QStringLiteral("inttre"), QStringLiteral("adddbt"),
        QStringLiteral("addcbt"), QStringLiteral("addevt"), QStringLiteral("addcin"), QStringLiteral("addcid"),
        QStringLiteral("addver"), QStringLiteral("addsub"),
    };
    return kinds.contains(kind.toString());
}

void CKELDataManager::removeElement(CKELData *element)
{
    CKELData *owner = element->GetParent();
    if (!owner)
        return;
    const int id = element->GetId();
    emit elementAboutToBeRemoved(id);
    CKELData::Destroy(owner->TakeChild(element));
    emit elementRemoved(id);
}

bool COperationApplier::Apply(const QString &kind)
{
    // the order in which kinds are tested is part of the protocol
    if (kind == u"addreq")
        return addRequirement();
    if (kind == u"modreq")
        return changeRequirement();
    if (kind == u"delreq")
        return deleteRequirement();
    if (kind == u"addrbt")
        return addRBT();
    if (kind == u"modrbt")
        return changeRBT();
    if (kind == u"addmsd")
        return addNode();
    if (kind == u"modmsd")
        return changeNode();
    if (kind == u"linknode")
        return linkNode();
    if (kind == u"addcom")
        return addComponent();
    if (kind == u"modcom")
        return changeComponent();
    if (kind == u"addsta")
        return addState();
    if (kind == u"assrts")
        return attachState();
    if (kind == u"rmassrts")
        return detachState();
    if (kind == u"rmnode")
        return removeNode();
    if (kind == u"clotre")
        return cloneTree();
    if (kind == u"inttre")
        return integrate();
    if (kind == u"adddbt")
        return addDBT();
    if (kind == u"moddbt")
        return renameDBT();
    if (kind == u"rmdbt")
        return removeTree({KEL::DBT, KEL::EVT});
    if (kind == u"rmrbt")
        return removeTree({KEL::RBT});
    if (kind == u"rmtcid")
        return removeTree({KEL::CID});
    if (kind == u"addcbt")
        return addCBT();
    if (kind == u"addevt")
        return addEVT();
    if (kind == u"addcin")
        return addCIN();
    if (kind == u"addcid")
        return addCID();
    if (kind == u"addver")
        return addVersion();
    // kinds added later; older readers skip them as unknown
    if (kind == u"geo")
        return setGeometry();
    if (kind == u"addsub")
        return addNodes();
    if (kind == u"rmnodes")
        return removeNodes();
    if (kind == u"pages")
        return setPages();
    if (kind == u"rst")
        return restore();
    if (kind == u"rmcom")
        return removeComponent();
    if (kind == u"rmsta")
        return removeState();
    return false;
}

CKELVersion *COperationApplier::targetVersion() const
{
    const int ver = r.GetInt(u"ver");
    if (ver) {
        CKELVersion *v = m.lookupForEdit<CKELVersion>(ver, KEL::Version);
        return v && m.Solution()->IsAncestorOf(v) ? v : nullptr;
    }
    return m.forEdit(m.CurrentVersion());
}

bool COperationApplier::addRequirement()
{
    CKELVersion *v = targetVersion();
    const QString tag = r.GetText(u"tag");
    if (!v || !v->RequirementsFolder() || tag.isEmpty() || m.FindRequirement(tag, v))
        return false;
    auto *req = add<CKELRequirement>(v->RequirementsFolder(), KEL::Requirement);
    req->SetName(tag);
    req->SetDescription(r.GetText(u"desc"));
    changed(req);
    return true;
}

bool COperationApplier::changeRequirement()
{
    auto *req = m.lookupForEdit<CKELRequirement>(r.GetInt(u"id"), KEL::Requirement);
    const QString tag = r.GetText(u"tag");
    if (!req || tag.isEmpty())
        return false;
    const CKELRequirement *other = m.FindRequirement(tag, m.VersionOf(req));
    if (other && other != req)
        return false;
    req->SetName(tag);
    req->SetDescription(r.GetText(u"desc"));
    changed(req);
    // labels that show the tag follow
    for (int id : req->VChildIds()) {
        if (CKELData *e = m.lookupForEdit(id))
            changed(e);
    }
    for (int id : req->VParentIds()) {
        if (CKELData *e = m.lookupForEdit(id))
            changed(e);
    }
    return true;
}

bool COperationApplier::deleteRequirement()
{
    auto *req = m.lookupForEdit<CKELRequirement>(r.GetInt(u"id"), KEL::Requirement);
    if (!req)
        return false;
    const int id = req->GetId();
    // trees built from it forget it; states and virtual links are dropped
    // by the element itself when it goes
    if (CKELVersion *v = m.forEdit(m.VersionOf(req))) {
        for (CKELData *folder : {static_cast<CKELData *>(v->RBTFolder()), static_cast<CKELData *>(v->DBTFolder())}) {
            if (!folder)
                continue;
            for (const auto &t : folder->Children()) {
                if (t->GetTypeCode() != KEL::RBT && t->GetTypeCode() != KEL::DBT)
                    continue;
                auto *tree = m.forEdit(static_cast<const CKELRBT *>(t.get()));
                if (tree->AssociatedRequirements().contains(id)) {
                    QList<int> ids = tree->AssociatedRequirements();
                    ids.removeAll(id);
                    tree->SetAssociatedRequirements(ids);
                    changed(tree);
                }
            }
        }
    }
    const QList<int> shownUnder = req->VChildIds();
    m.removeElement(req);
    for (int stateId : shownUnder) {
        if (CKELData *e = m.lookupForEdit(stateId))
            changed(e);
    }
    return true;
}

void COperationApplier::setAssociatedRequirements(CKELRBT *tree, const QList<int> &ids)
{
    // the tree shows its requirements as virtual children; keep both in step
    for (int old : tree->AssociatedRequirements()) {
        if (CKELData *req = m.lookupForEdit(old)) {
            tree->RemoveVChild(old);
            req->RemoveVParent(tree->GetId());
        }
    }
    QList<int> kept;
    const CKELVersion *v = m.VersionOf(tree);
    for (int id : ids) {
        CKELRequirement *req = m.lookupForEdit<CKELRequirement>(id, KEL::Requirement);
        if (!req || kept.contains(id) || (v && m.VersionOf(req) != v))
            continue;
        kept.append(id);
        tree->AddVirtualChild(req);
    }
    tree->SetAssociatedRequirements(kept);
}

bool COperationApplier::addRBT()
{
    CKELVersion *v = targetVersion();
    const QString name = r.GetText(u"name");
    if (!v || !v->RBTFolder() || name.isEmpty() || m.FindTree(KEL::RBTs, name, v))
        return false;
    auto *tree = add<CKELRBT>(v->RBTFolder(), KEL::RBT);
    tree->SetName(name);
    tree->SetLevelGap(r.GetInt(u"lvg"));
    QList<int> ids;
    r.GetIntList(u"req", ids);
    setAssociatedRequirements(tree, ids);
    changed(tree);
    return true;
}

bool COperationApplier::changeRBT()
{
    auto *tree = m.lookupForEdit<CKELRBT>(r.GetInt(u"tid"), KEL::RBT);
    const QString name = r.GetText(u"name");
    if (!tree || name.isEmpty())
        return false;
    const CKELTree *other = m.FindTree(KEL::RBTs, name, m.VersionOf(tree));
    if (other && other != tree)
        return false;
    tree->SetName(name);
    QList<int> ids;
    r.GetIntList(u"req", ids);
    setAssociatedRequirements(tree, ids);
    changed(tree);
    return true;
}

bool COperationApplier::addNode()
{
    CKELData *t = m.lookupForEdit(r.GetInt(u"treeid"));
    if (!t || !(t->GetTypeCode() == KEL::RBT || t->GetTypeCode() == KEL::DBT || t->GetTypeCode() == KEL::EVT))
        return false;
    auto *tree = static_cast<CKELTree *>(t);
    CKELMethod *node = TreeOps::NewNode(m, *tree);
    CNodeAttributes::FromRecord(r).ApplyTo(*node);
    node->x = r.GetInt(u"x");
    node->y = r.GetInt(u"y");
    emit m.elementAdded(node->GetId());
    if (CKELMethod *parent = TreeOps::NodeOf(*tree, r.GetInt(u"eparent"))) {
        if (TreeOps::Link(m, parent, node))
            changed(parent);
    }
    return true;
}

bool COperationApplier::changeNode()
{
    auto *node = m.lookupForEdit<CKELMethod>(r.GetInt(u"nodeid"), KEL::Method);
    if (!node)
        return false;
    CNodeAttributes::FromRecord(r).ApplyTo(*node);
    changed(node);
    return true;
}

bool COperationApplier::linkNode()
{
    auto *child = m.lookupForEdit<CKELMethod>(r.GetInt(u"chd"), KEL::Method);
    if (!child || !child->Tree())
        return false;
    const int parentId = r.GetInt(u"par");
    const int formerParent = child->ParentId();
    if (parentId == 0) {
        if (formerParent == 0)
            return false;
        TreeOps::Unlink(m, child);
    } else {
        CKELMethod *parent = TreeOps::NodeOf(*child->Tree(), parentId);
        // a link that would make a node its own ancestor is refused everywhere
        if (!parent || !TreeOps::Link(m, parent, child))
            return false;
        changed(parent);
    }
    if (CKELData *former = m.lookupForEdit(formerParent))
        changed(former);
    changed(child);
    return true;
}

bool COperationApplier::addComponent()
{
    CKELVersion *v = targetVersion();
    const QString name = r.GetText(u"name");
    if (!v || !v->ComponentsFolder() || name.isEmpty() || m.FindComponent(name, v))
        return false;
    auto *c = add<CKELComponent>(v->ComponentsFolder(), KEL::Component);
    c->SetName(name);
    c->SetSystemComponent(r.GetBool(u"issys"));
    changed(c);
    return true;
}

bool COperationApplier::changeComponent()
{
    auto *c = m.lookupForEdit<CKELComponent>(r.GetInt(u"id"), KEL::Component);
    const QString name = r.GetText(u"name");
    if (!c || name.isEmpty())
        return false;
    const CKELComponent *other = m.FindComponent(name, m.VersionOf(c));
    if (other && other != c)
        return false;
    c->SetName(name);
    c->SetSystemComponent(r.GetBool(u"issys"));
    changed(c);
    return true;
}

bool COperationApplier::removeComponent()
{
    auto *c = m.lookupForEdit<CKELComponent>(r.GetInt(u"id"), KEL::Component);
    if (!c)
        return false;
    // requirements that showed its states lose lines of their labels
    QList<int> requirements;
    for (const auto &s : c->Children())
        requirements.append(s->VParentIds());
    m.removeElement(c);
    for (int id : std::as_const(requirements)) {
        if (CKELData *e = m.lookupForEdit(id))
            changed(e);
    }
    return true;
}

bool COperationApplier::removeState()
{
    auto *s = m.lookupForEdit<CKELState>(r.GetInt(u"id"), KEL::State);
    if (!s)
        return false;
    const QList<int> requirements = s->VParentIds();
    m.removeElement(s);
    for (int id : requirements) {
        if (CKELData *e = m.lookupForEdit(id))
            changed(e);
    }
    return true;
}

bool COperationApplier::addState()
{
    CKELVersion *v = targetVersion();
    const QString behavior = r.GetText(u"sta");
    const QString componentName = r.GetText(u"comp");
    const int type = r.GetInt(u"dec");
    if (!v || !v->ComponentsFolder() || behavior.isEmpty() || componentName.isEmpty())
        return false;
    CKELComponent *c = m.forEdit(m.FindComponent(componentName, v));
    if (c && c->FindState(KEL::Decorate(behavior, type)))
        return false;
    if (!c) {
        // a node may name a component nobody has added yet: it appears now
        c = add<CKELComponent>(v->ComponentsFolder(), KEL::Component);
        c->SetName(componentName);
        changed(c);
    }
    auto *s = add<CKELState>(c, KEL::State);
    s->SetBehavior(behavior, type);
    const QString tag = r.GetText(u"req");
    if (!tag.isEmpty()) {
        if (CKELRequirement *req = m.forEdit(m.FindRequirement(tag, v))) {
            req->AddVirtualChild(s);
            changed(req);
        }
    }
    changed(s);
    return true;
}

bool COperationApplier::attachState()
{
    auto *s = m.lookupForEdit<CKELState>(r.GetInt(u"stid"), KEL::State);
    if (!s)
        return false;
    CKELRequirement *req = m.forEdit(m.FindRequirement(r.GetText(u"req"), m.VersionOf(s)));
    if (!req || req->VChildIds().contains(s->GetId()))
        return false;
    req->AddVirtualChild(s);
    changed(req);
    changed(s);
    return true;
}

bool COperationApplier::detachState()
{
    auto *s = m.lookupForEdit<CKELState>(r.GetInt(u"stid"), KEL::State);
    auto *req = m.lookupForEdit<CKELRequirement>(r.GetInt(u"reqid"), KEL::Requirement);
    if (!s || !req || !req->RemoveVChild(s->GetId()))
        return false;
    s->RemoveVParent(req->GetId());
    changed(req);
    changed(s);
    return true;
}

bool COperationApplier::removeNode()
{
    auto *node = m.lookupForEdit<CKELMethod>(r.GetInt(u"id"), KEL::Method);
    if (!node || !node->GetParent())
        return false;
    const int id = node->GetId();
    const int parentId = node->ParentId();
    const QList<int> children = node->ChildIds();
    emit m.elementAboutToBeRemoved(id);
    TreeOps::DeleteNode(m, node);
    emit m.elementRemoved(id);
    if (CKELData *p = m.lookupForEdit(parentId))
        changed(p);
    for (int c : children) {
        if (CKELData *e = m.lookupForEdit(c))
            changed(e);
    }
    return true;
}

bool COperationApplier::cloneTree()
{
    CKELData *t = m.lookupForEdit(r.GetInt(u"tid"));
    CKELData *s = m.lookupForEdit(r.GetInt(u"sid"));
    // a relayed copy of a tree into itself is refused as the command is
    if (!t || !s || t == s || !t->IsTree() || !s->IsTree() || t->GetTypeCode() == KEL::CBT)
        return false;
    const QHash<int, int> made = CTreeCopy::Copy(m, *static_cast<CKELTree *>(t), *static_cast<CKELTree *>(s));
    for (int id : made)
        emit m.elementAdded(id);
    changed(t);
    return !made.isEmpty();
}

bool COperationApplier::integrate()
{
    const int matchId = r.GetInt(u"mid");
    const int rootId = r.GetInt(u"rid");
    const auto *root = m.lookupForEdit<CKELMethod>(rootId, KEL::Method);
    if (!root || !m.lookupForEdit<CKELMethod>(matchId, KEL::Method))
        return false;
    const QList<int> moved = root->ChildIds();
    emit m.elementAboutToBeRemoved(rootId);
    if (!CIntegration::GraftOnto(m, matchId, rootId, CEditAccess()))
        return false;
    emit m.elementRemoved(rootId);
    changed(m.lookupForEdit(matchId));
    for (int id : moved) {
        if (CKELData *e = m.lookupForEdit(id))
            changed(e);
    }
    return true;
}

bool COperationApplier::addDBT()
{
    CKELVersion *v = targetVersion();
    const QString name = r.GetText(u"name");
    if (!v || !v->DBTFolder() || name.isEmpty() || m.FindTree(KEL::DBTs, name, v))
        return false;
    auto *tree = add<CKELDBT>(v->DBTFolder(), KEL::DBT);
    tree->SetName(name);
    changed(tree);
    return true;
}

bool COperationApplier::renameDBT()
{
    auto *tree = m.lookupForEdit<CKELDBT>(r.GetInt(u"id"), KEL::DBT);
    const QString name = r.GetText(u"name");
    if (!tree || name.isEmpty())
        return false;
    const CKELTree *other = m.FindTree(KEL::DBTs, name, m.VersionOf(tree));
    if (other && other != tree)
        return false;
    tree->SetName(name);
    changed(tree);
    return true;
}

bool COperationApplier::removeTree(std::initializer_list<int> kinds)
{
    // only the kind the record names: an id must never reach the solution
    // itself or anything else it was not meant for
    CKELData *e = m.lookupForEdit(r.GetInt(u"tid"));
    if (!e || std::find(kinds.begin(), kinds.end(), e->GetTypeCode()) == kinds.end())
        return false;
    m.removeElement(e);
    return true;
}

bool COperationApplier::addVersion()
{
    auto *from = m.lookupForEdit<CKELVersion>(r.GetInt(u"ovid"), KEL::Version);
    CKELProject *project = m.forEdit(m.Solution()->Project());
    if (!from || !project || !m.Solution()->IsAncestorOf(from))
        return false;
    std::unique_ptr<CKELVersion> made = m.CreateVersion(r.GetText(u"vname"));
    CKELVersion *v = made.get();
    std::unique_ptr<CKELData> owned(made.release());
    project->AddChild(owned);

    // requirements first: states and trees find their copies through them
    if (const CKELData *reqs = from->RequirementsFolder()) {
        for (const auto &e : reqs->Children()) {
            if (e->GetTypeCode() != KEL::Requirement)
                continue;
            const auto *src = static_cast<const CKELRequirement *>(e.get());
            std::unique_ptr<CKELData> copy = m.forEdit(e.get())->CreateSuccessor();
            auto *req = static_cast<CKELRequirement *>(copy.get());
            req->SetName(src->GetName());
            req->SetDescription(src->Description());
            v->RequirementsFolder()->AddChild(copy);
        }
    }
    auto copyOf = [this](int id) -> CKELData * {
        const CKELData *src = m.lookupForEdit(id);
        return src && src->SuccessorId() ? m.lookupForEdit(src->SuccessorId()) : nullptr;
    };
    if (const CKELData *comps = from->ComponentsFolder()) {
        for (const auto &e : comps->Children()) {
            if (e->GetTypeCode() != KEL::Component)
                continue;
            const auto *src = static_cast<const CKELComponent *>(e.get());
            std::unique_ptr<CKELData> copy = m.forEdit(e.get())->CreateSuccessor();
            auto *comp = static_cast<CKELComponent *>(copy.get());
            comp->SetName(src->GetName());
            comp->SetSystemComponent(src->IsSystemComponent());
            v->ComponentsFolder()->AddChild(copy);
            for (const auto &se : src->Children()) {
                if (se->GetTypeCode() != KEL::State)
                    continue;
                const auto *srcState = static_cast<const CKELState *>(se.get());
                std::unique_ptr<CKELData> stateCopy = m.forEdit(se.get())->CreateSuccessor();
                auto *state = static_cast<CKELState *>(stateCopy.get());
                state->SetBehavior(srcState->Behavior(), srcState->BehaviorType());
                state->SetName(srcState->GetName());
                comp->AddChild(stateCopy);
                for (int reqId : srcState->RequirementIds()) {
                    CKELData *reqCopy = copyOf(reqId);
                    if (reqCopy && reqCopy->GetTypeCode() == KEL::Requirement)
                        reqCopy->AddVirtualChild(state);
                }
            }
        }
    }
    for (auto [srcFolder, dstFolder] : {std::pair<const CKELData *, CKELData *>{from->RBTFolder(), v->RBTFolder()},
                                        std::pair<const CKELData *, CKELData *>{from->DBTFolder(), v->DBTFolder()}}) {
        if (!srcFolder || !dstFolder)
            continue;
        for (const auto &e : srcFolder->Children()) {
            if (e->GetTypeCode() != KEL::RBT && e->GetTypeCode() != KEL::DBT)
                continue;
            const auto *src = static_cast<const CKELRBT *>(e.get());
            std::unique_ptr<CKELData> copy = m.forEdit(e.get())->CreateSuccessor();
            auto *tree = static_cast<CKELRBT *>(copy.get());
            tree->SetName(src->GetName());
            tree->SetPages(src->PagesWide(), src->PagesHigh());
            tree->SetLevelGap(src->LevelGap());
            dstFolder->AddChild(copy);
            QList<int> reqs;
            for (int id : src->AssociatedRequirements()) {
                if (CKELData *reqCopy = copyOf(id))
                    reqs.append(reqCopy->GetId());
            }
            setAssociatedRequirements(tree, reqs);
            CTreeCopy::Copy(m, *tree, *src);
        }
    }
    emit m.elementAdded(v->GetId());
    return true;
}

bool COperationApplier::addCBT()
{
    CKELData *tree = m.lookupForEdit(r.GetInt(u"tid"));
    if (!tree || !tree->IsTree() || tree->GetTypeCode() == KEL::CBT)
        return false;
    CKELCBT *cbt = Cbt::CreateCbt(m, *static_cast<CKELTree *>(tree), r.GetText(u"com"), prompt());
    if (!cbt)
        return false;
    emit m.elementAdded(cbt->GetId());
    return true;
}

bool COperationApplier::addEVT()
{
    QList<int> ids;
    r.GetIntList(u"tids", ids);
    CKELEVT *evt = Evolution::CreateEvolutionTree(m, ids, prompt(), CEditAccess());
    if (!evt)
        return false;
    emit m.elementAdded(evt->GetId());
    return true;
}

bool COperationApplier::addCIN()
{
    CKELData *tree = m.lookupForEdit(r.GetInt(u"tid"));
    if (!tree || !tree->IsTree() || tree->GetTypeCode() == KEL::CBT)
        return false;
    CKELCIN *cin = Cin::CreateCIN(m, *static_cast<CKELTree *>(tree));
    if (!cin)
        return false;
    emit m.elementAdded(cin->GetId());
    return true;
}

bool COperationApplier::addCID()
{
    CKELData *tree = m.lookupForEdit(r.GetInt(u"tid"));
    const QString component = r.GetText(u"cmname");
    if (!tree || !tree->IsTree() || tree->GetTypeCode() == KEL::CBT || component.isEmpty())
        return false;
    CKELCID *cid = Cid::CreateCID(m, *static_cast<CKELTree *>(tree), component);
    if (!cid)
        return false;
    emit m.elementAdded(cid->GetId());
    return true;
}

bool COperationApplier::setGeometry()
{
    const auto *tree = m.lookupForEdit(r.GetInt(u"tid"));
    if (!tree || !tree->IsTree() || tree->GetTypeCode() == KEL::CBT)
        return false;
    QList<int> values;
    r.GetIntList(u"n", values);
    bool any = false;
    for (qsizetype i = 0; i + 4 < values.size(); i += 5) {
        auto *n = m.lookupForEdit<CKELMethod>(values[i], KEL::Method);
        // only nodes of the named tree: a stale id never moves another tree's box
        if (!n || n->GetParent() != tree)
            continue;
        if (n->x == values[i + 1] && n->y == values[i + 2] && n->w == values[i + 3] && n->h == values[i + 4])
            continue;
        n->x = values[i + 1];
        n->y = values[i + 2];
        n->w = values[i + 3];
        n->h = values[i + 4];
        changed(n);
        any = true;
    }
    return any;
}

bool COperationApplier::setPages()
{
    CKELData *e = m.lookupForEdit(r.GetInt(u"tid"));
    if (!e || !(e->GetTypeCode() == KEL::RBT || e->GetTypeCode() == KEL::DBT || e->GetTypeCode() == KEL::EVT))
        return false;
    auto *tree = static_cast<CKELRBT *>(e);
    const int wide = r.GetInt(u"pgw");
    const int high = r.GetInt(u"pgh");
    if (tree->PagesWide() == wide && tree->PagesHigh() == high)
        return false;
    tree->SetPages(wide, high);
    changed(tree);
    return true;
}

bool COperationApplier::restore()
{
    QList<CElementState> states;
    if (!CElementRestorer::Decode(r.RawView(u"e"), states))
        return false;
    CElementRestorer(m).Apply(states, r.GetInt(u"max"));
    return true;
}

bool COperationApplier::addNodes()
{
    CKELData *t = m.lookupForEdit(r.GetInt(u"treeid"));
    if (!t || !(t->GetTypeCode() == KEL::RBT || t->GetTypeCode() == KEL::DBT || t->GetTypeCode() == KEL::EVT))
        return false;
    auto *tree = static_cast<CKELTree *>(t);
    CKELMethod *under = TreeOps::NodeOf(*tree, r.GetInt(u"eparent"));
    const QString lines = r.GetText(u"n");
    QList<CKELMethod *> made;
    for (QStringView line : QStringView(lines).split(u'\n', Qt::SkipEmptyParts)) {
        CKELRecord n;
        if (!n.Parse(line.toString()) || n.GetKind() != u"node")
            continue;
        CKELMethod *node = TreeOps::NewNode(m, *tree);
        CNodeAttributes::FromRecord(n).ApplyTo(*node);
        node->x = n.GetInt(u"x");
        node->y = n.GetInt(u"y");
        node->w = n.GetInt(u"w");
        node->h = n.GetInt(u"h");
        const int p = n.GetInt(u"p");
        // a parent is an earlier node of the list
        CKELMethod *parent = p >= 0 && p < made.size() ? made[p] : under;
        made.append(node);
        emit m.elementAdded(node->GetId());
        if (parent && TreeOps::Link(m, parent, node))
            changed(parent);
    }
    return !made.isEmpty();
}

bool COperationApplier::removeNodes()
{
    QList<int> ids;
    r.GetIntList(u"ids", ids);
    bool any = false;
    for (int id : std::as_const(ids)) {
        auto *node = m.lookupForEdit<CKELMethod>(id, KEL::Method);
        if (!node || !node->GetParent())
            continue;
        const int parentId = node->ParentId();
        const QList<int> children = node->ChildIds();
        emit m.elementAboutToBeRemoved(id);
        TreeOps::DeleteNode(m, node);
        emit m.elementRemoved(id);
        if (CKELData *p = m.lookupForEdit(parentId))
            changed(p);
        for (int c : children) {
            if (CKELData *e = m.lookupForEdit(c))
                changed(e);
        }
        any = true;
    }
    return any;
}
