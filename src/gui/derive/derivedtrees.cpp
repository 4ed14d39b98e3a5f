#include "derivedtrees.h"

#include "derivetexts.h"

#include "derive/cbt.h"
#include "derive/evolution.h"
#include "derive/integration.h"
#include "dialogs/dialogrunner.h"
#include "dialogs/kelcbtdlg.h"
#include "dialogs/kelevtdlg.h"
#include "dialogs/kelrbtdlg.h"
#include "edit/editstep.h"
#include "editor/childframe.h"
#include "editor/tessel1doc.h"
#include "editor/tessel1view.h"
#include "editor/treewindows.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/treeops.h"

#include <QPointer>

namespace {

const CKELDBT *dbtOf(CTessel1View &view)
{
    const CKELTree *t = view.Document().Tree();
    return t && t->GetTypeCode() == KEL::DBT ? static_cast<const CKELDBT *>(t) : nullptr;
}

const CKELMethod *rootOf(const CKELTree &tree, const CKELMethod *node)
{
    // parent links are acyclic; the bound only guards a damaged model
    for (qsizetype guard = tree.ChildCount(); node && guard > 0; --guard) {
        const CKELMethod *up = TreeOps::NodeOf(tree, node->ParentId());
        if (!up)
            break;
        node = up;
    }
    return node;
}

} // namespace

CDerivedTrees::CDerivedTrees(CKELDataManager &manager, CTreeWindows &windows, CDialogRunner &dialogs,
                             QWidget *dialogParent, QObject *parent)
    : QObject(parent)
    , m_manager(manager)
    , m_windows(windows)
    , m_dialogs(dialogs)
    , m_dialogParent(dialogParent)
{
    setObjectName(QStringLiteral("derivedTrees"));
    connect(&m_manager, &CKELDataManager::elementAdded, this, &CDerivedTrees::onElementAdded);
    connect(&m_manager, &CKELDataManager::solutionReplaced, this, [this] {
        m_wantedCbts.clear();
        m_wantedEvts.clear();
        m_unarranged.clear();
    });
    connect(&m_windows, &CTreeWindows::frameOpened, this, &CDerivedTrees::onFrameOpened);
}

CTessel1View *CDerivedTrees::viewOf(int treeId)
{
    CChildFrame *f = m_windows.Find(treeId);
    return f ? &f->View() : nullptr;
}

// ---- Windows ----------------------------------------------------------------

void CDerivedTrees::onElementAdded(int id)
{
    const CKELData *e = m_manager.Lookup(id);
    if (!e)
        return;
    if (e->GetTypeCode() == KEL::CBT) {
        m_unarranged.insert(id);
        const CKELTree *source = Cbt::SourceTree(*static_cast<const CKELCBT *>(e));
        const std::pair<int, QString> key(source ? source->GetId() : 0, e->GetName());
        if (m_wantedCbts.removeOne(key))
            m_windows.Open(id);
    } else if (e->GetTypeCode() == KEL::EVT) {
        m_unarranged.insert(id);
        if (m_wantedEvts.removeOne(static_cast<const CKELEVT *>(e)->SourceTrees()))
            m_windows.Open(id);
    }
}

void CDerivedTrees::onFrameOpened(CChildFrame *frame)
{
    const int id = frame->TreeId();
    frame->SetInfoText(InfoText(id));
    CTessel1View &view = frame->View();
    if (m_unarranged.remove(id))
        view.RearrangeAll();
    if (view.ViewKind() != CTessel1Doc::DbtView)
        return;
    QPointer<CTessel1View> guarded(&view);
    connect(&view.Document(), &CTessel1Doc::structureChanged, this, [this, guarded] {
        if (guarded)
            RefreshMarks(*guarded);
    });
    // the marks belong to the document and go with the window
}

QString CDerivedTrees::InfoText(int treeId) const
{
    const CKELData *e = m_manager.Lookup(treeId);
    if (!e)
        return {};
    const CKELEVT *evt = nullptr;
    QString text;
    if (e->GetTypeCode() == KEL::EVT) {
        evt = static_cast<const CKELEVT *>(e);
        text = DeriveTexts::EvolutionOf(Evolution::VersionListText(m_manager, evt->SourceTrees()));
    } else if (e->GetTypeCode() == KEL::CBT) {
        const CKELTree *source = Cbt::SourceTree(*static_cast<const CKELCBT *>(e));
        text =
            DeriveTexts::BehaviorOf(e->GetName(), source ? DeriveTexts::TreeNamed(source->GetType(), source->GetName())
                                                         : DeriveTexts::RemovedTree);
        if (source && source->GetTypeCode() == KEL::EVT)
            evt = static_cast<const CKELEVT *>(source);
    } else {
        return {};
    }
    if (!evt)
        return text;
    // how many nodes the last version kept, added and dropped
    int counts[3] = {0, 0, 0};
    for (const CKELMethod *n : static_cast<const CKELTree *>(e)->Nodes()) {
        if (n->IsEvolution() && n->GetEvStyle() >= -1 && n->GetEvStyle() <= 1)
            ++counts[n->GetEvStyle() + 1];
    }
    return text + DeriveTexts::EvolutionCounts(counts[2], counts[0], counts[1]);
}

// ---- Integration ------------------------------------------------------------

bool CDerivedTrees::GetRBTs(int dbtId)
{
    const auto *dbt = m_manager.LookupAs<CKELDBT>(dbtId, KEL::DBT);
    if (!dbt)
        return false;
    // the RBTs of the DBT's own version: a DBT of an older version would
    // otherwise mix in trees of another
    const CKELVersion *version = m_manager.VersionOf(dbt);
    CKELRBTDlg dlg(m_manager, version ? version : m_manager.CurrentVersion(), CKELRBTDlg::GetRBTs, dbtId,
                   m_dialogParent);
    if (m_dialogs.Run(dlg) != QDialog::Accepted)
        return false;
    const QList<int> chosen = dlg.SelectedIds();
    CChildFrame *frame = m_windows.Open(dbtId);
    // the copies and the layout that places them are one step
    CEditStep step(m_manager, DeriveTexts::GetRbts);
    bool copied = false;
    for (int rbtId : chosen) {
        if (m_manager.LookupAs<CKELDBT>(dbtId, KEL::DBT))
            copied |= m_manager.CopyTree(dbtId, rbtId);
    }
    if (frame && m_manager.Lookup(dbtId)) {
        RefreshMarks(frame->View());
        frame->View().RearrangeAll();
    }
    return copied;
}

void CDerivedTrees::RefreshMarks(CTessel1View &view)
{
    const CKELDBT *dbt = dbtOf(view);
    if (!dbt || (!view.MarkIntegrationPoints() && !view.MarkMissingPrecondition()))
        return;
    // both in the order the user would have turned them on: the missing
    // preconditions drawn last win on a node that is both
    CIntegrationMarks &marks = view.Document().IntegrationMarks();
    if (view.MarkIntegrationPoints())
        CIntegration::MarkIntegrationPoints(*dbt, marks, true);
    if (view.MarkMissingPrecondition())
        CIntegration::MarkMissingPreconditions(*dbt, marks, true);
    view.Document().Reconcile();
}

QList<int> CDerivedTrees::ToggleIntegrationPoints(CTessel1View &view)
{
    const CKELDBT *dbt = dbtOf(view);
    if (!dbt)
        return {};
    view.SetMarkIntegrationPoints(!view.MarkIntegrationPoints());
    const QList<int> marked =
        CIntegration::MarkIntegrationPoints(*dbt, view.Document().IntegrationMarks(), view.MarkIntegrationPoints());
    view.Document().Reconcile();
    return marked;
}

QList<int> CDerivedTrees::ToggleMissingPreconditions(CTessel1View &view)
{
    const CKELDBT *dbt = dbtOf(view);
    if (!dbt)
        return {};
    view.SetMarkMissingPrecondition(!view.MarkMissingPrecondition());
    const QList<int> marked = CIntegration::MarkMissingPreconditions(*dbt, view.Document().IntegrationMarks(),
                                                                     view.MarkMissingPrecondition());
    view.Document().Reconcile();
    return marked;
}

QList<int> CDerivedTrees::MarkAllMatchingNodes(CTessel1View &view, int nodeId)
{
    const CKELDBT *dbt = dbtOf(view);
    if (!dbt || !nodeId)
        return {};
    const QList<int> marked = CIntegration::MarkAllMatchingNodes(*dbt, view.Document().IntegrationMarks(), nodeId);
    view.Document().Reconcile();
    return marked;
}

void CDerivedTrees::rearrangeGraftedTree(CTessel1View &view, int matchId)
{
    const CKELTree *tree = view.Document().Tree();
    const CKELMethod *match = tree ? TreeOps::NodeOf(*tree, matchId) : nullptr;
    if (const CKELMethod *root = match ? rootOf(*tree, match) : nullptr) {
        view.SelectNode(root->GetId(), false);
        view.RearrangeSubtree(root->GetId(), false);
    }
}

bool CDerivedTrees::IntegrateThisRBT(CTessel1View &view, int rootId)
{
    const CKELDBT *dbt = dbtOf(view);
    const CKELMethod *root = dbt ? TreeOps::NodeOf(*dbt, rootId) : nullptr;
    if (!root)
        return false;
    // the node it will hang under is the first match, as the command takes it
    const QList<int> matches = CIntegration::FindMatches(*dbt, *root);
    const int matchId = matches.isEmpty() ? 0 : matches.first();
    CEditStep step(m_manager, DeriveTexts::IntegrateThisRbt);
    if (!m_manager.IntegrateThisRBT(rootId))
        return false;
    afterIntegration(view);
    rearrangeGraftedTree(view, matchId);
    return true;
}

bool CDerivedTrees::IntegrateNextMatchingRBT(CTessel1View &view, int nodeId)
{
    CEditStep step(m_manager, DeriveTexts::IntegrateNextMatchingRbt);
    if (!dbtOf(view) || !m_manager.IntegrateNextMatchingRBT(nodeId))
        return false;
    afterIntegration(view);
    view.RearrangeAll();
    return true;
}

void CDerivedTrees::afterIntegration(CTessel1View &view)
{
    // The matches were those of a node that is now merged away, and its
    // mark could no longer be switched off: they go; the other two marks
    // follow the new tree.
    CIntegration::ClearMatchingMarks(view.Document().IntegrationMarks());
    RefreshMarks(view);
    view.Document().Reconcile();
}

// ---- Component behavior trees -----------------------------------------------

bool CDerivedTrees::CreateCBT(int treeId)
{
    if (!m_manager.Solution())
        return false;
    CKELCBTDlg dlg(m_manager, treeId, m_dialogParent);
    if (m_dialogs.Run(dlg) != QDialog::Accepted)
        return false;
    const std::pair<int, QString> key(dlg.TreeId(), dlg.Component());
    m_wantedCbts.append(key);
    const bool made = m_manager.CreateCBT(key.first, key.second);
    // a refused command leaves nothing to wait for; a shared one comes back later
    if (!made || m_manager.IsLocal())
        m_wantedCbts.removeOne(key);
    return made;
}

bool CDerivedTrees::ViewCBT()
{
    if (!m_manager.Solution())
        return false;
    CKELCBTDlg dlg(m_manager, 0, m_dialogParent);
    if (m_dialogs.Run(dlg) != QDialog::Accepted)
        return false;
    const CKELData *tree = m_manager.Lookup(dlg.TreeId());
    if (!tree || !tree->IsTree())
        return false;
    if (const CKELCBT *cbt = Cbt::FindCbt(*static_cast<const CKELTree *>(tree), dlg.Component()))
        return m_windows.Open(cbt->GetId()) != nullptr;
    const std::pair<int, QString> key(dlg.TreeId(), dlg.Component());
    m_wantedCbts.append(key);
    const bool made = m_manager.CreateCBT(key.first, key.second);
    if (!made || m_manager.IsLocal())
        m_wantedCbts.removeOne(key);
    return made;
}

// ---- Evolution trees ----------------------------------------------------------

bool CDerivedTrees::AddEvolutionTree()
{
    if (!m_manager.Solution())
        return false;
    CKELEVTDlg dlg(m_manager, m_manager.Prompt(), m_dialogParent);
    if (m_dialogs.Run(dlg) != QDialog::Accepted)
        return false;
    const QList<int> ids = dlg.TreeIds();
    m_wantedEvts.append(ids);
    // the new tree and the layout its window gives it are one step
    CEditStep step(m_manager, DeriveTexts::NewEvolutionTree);
    const bool made = m_manager.AddEVT(ids);
    if (!made || m_manager.IsLocal())
        m_wantedEvts.removeOne(ids);
    return made;
}
