#include "explorercommands.h"

#include "dialogs/addversiondlg.h"
#include "dialogs/dialogrunner.h"
#include "dialogs/kelcomponentbehaviordlg.h"
#include "dialogs/kelcomponentdlg.h"
#include "dialogs/kelibtdlg.h"
#include "dialogs/kelrbtdlg.h"
#include "dialogs/kelrequirementdlg.h"
#include "explorertexts.h"
#include "kelnavigatetree.h"
#include "model/keldatamanager.h"
#include "model/kelrequirement.h"
#include "model/keltree.h"
#include "model/prompt.h"

#include <algorithm>
#include <iterator>

namespace {

const int kOpenable[] = {KEL::RBT, KEL::DBT, KEL::EVT, KEL::CBT, KEL::CIN, KEL::CID};

} // namespace

CExplorerCommands::CExplorerCommands(CKELNavigateTree &tree, CDialogRunner &dialogs, QWidget *dialogParent)
    : QObject(&tree)
    , m_tree(tree)
    , m_manager(tree.Manager())
    , m_dialogs(dialogs)
    , m_dialogParent(dialogParent)
{
    registerCommands();
    connect(&m_tree, &CKELNavigateTree::elementActivated, this, &CExplorerCommands::onActivated);
}

void CExplorerCommands::registerCommands()
{
    CExplorerMenu &menu = m_tree.Menu();
    auto remove = [this](const CExplorerTarget &t) { Remove(t.elementId); };
    menu.SetHandler(KEL::Version, ExplorerTexts::NewVersion,
                    [this](const CExplorerTarget &t) { NewVersion(t.elementId); });
    menu.SetHandler(KEL::Version, ExplorerTexts::SetCurrentVersion,
                    [this](const CExplorerTarget &t) { m_manager.SetCurrentVersion(t.elementId); });
    menu.SetHandler(KEL::Requirements, ExplorerTexts::NewRequirement,
                    [this](const CExplorerTarget &t) { NewRequirement(t.elementId); });
    menu.SetHandler(KEL::Requirement, ExplorerTexts::Change,
                    [this](const CExplorerTarget &t) { ChangeRequirement(t.elementId); });
    menu.SetHandler(KEL::Requirement, ExplorerTexts::Remove, remove);
    menu.SetHandler(KEL::Components, ExplorerTexts::NewComponent,
                    [this](const CExplorerTarget &t) { NewComponent(t.elementId); });
    menu.SetHandler(KEL::Component, ExplorerTexts::Rename,
                    [this](const CExplorerTarget &t) { RenameComponent(t.elementId); });
    menu.SetHandler(KEL::Component, ExplorerTexts::ChangeBehaviors,
                    [this](const CExplorerTarget &t) { ChangeBehaviors(t.elementId); });
    menu.SetHandler(KEL::Component, ExplorerTexts::RemoveComponent, remove);
    menu.SetHandler(KEL::State, ExplorerTexts::Remove, [this](const CExplorerTarget &t) { RemoveState(t); });
    menu.SetHandler(KEL::RBTs, ExplorerTexts::NewRbt, [this](const CExplorerTarget &t) { NewRBT(t.elementId); });
    menu.SetHandler(KEL::RBT, ExplorerTexts::ChangeRbt, [this](const CExplorerTarget &t) { ChangeRBT(t.elementId); });
    menu.SetHandler(KEL::RBT, ExplorerTexts::Remove, remove);
    menu.SetHandler(KEL::DBTs, ExplorerTexts::NewIbt, [this](const CExplorerTarget &t) { NewIBT(t.elementId); });
    menu.SetHandler(KEL::DBT, ExplorerTexts::Rename, [this](const CExplorerTarget &t) { RenameDBT(t.elementId); });
    for (int kind : {KEL::DBT, KEL::EVT, KEL::CBT, KEL::CIN, KEL::CID})
        menu.SetHandler(kind, ExplorerTexts::Remove, remove);
}

void CExplorerCommands::registerOpen()
{
    for (int kind : kOpenable) {
        if (m_opener)
            m_tree.Menu().SetHandler(kind, ExplorerTexts::Open,
                                     [this](const CExplorerTarget &t) { Open(t.elementId); });
        else
            m_tree.Menu().SetHandler(kind, ExplorerTexts::Open, nullptr);
    }
}

void CExplorerCommands::SetTreeOpener(std::function<void(int)> opener)
{
    m_opener = std::move(opener);
    registerOpen();
}

void CExplorerCommands::Open(int elementId)
{
    if (m_opener && m_manager.Lookup(elementId))
        m_opener(elementId);
}

void CExplorerCommands::onActivated(int typeCode, const CExplorerTarget &target)
{
    switch (typeCode) {
    case KEL::Requirement: ChangeRequirement(target.elementId); break;
    case KEL::Component: ChangeBehaviors(target.elementId); break;
    default:
        if (std::find(std::begin(kOpenable), std::end(kOpenable), typeCode) != std::end(kOpenable))
            Open(target.elementId);
        break;
    }
}

const CKELVersion *CExplorerCommands::versionForNew(int folderId) const
{
    const CKELVersion *current = m_manager.CurrentVersion();
    if (!folderId || !current)
        return current;
    const CKELVersion *own = m_manager.VersionOf(m_manager.Lookup(folderId));
    if (own && own != current) {
        // the model adds to the current version; adding elsewhere than
        // where the user clicked would surprise
        m_manager.Prompt().Message(ExplorerTexts::NotCurrentVersion(own->GetName()));
        return nullptr;
    }
    return current;
}

bool CExplorerCommands::NewRequirement(int folderId)
{
    if (!versionForNew(folderId))
        return false;
    CKELRequirementDlg dlg(m_manager.Prompt(), m_dialogParent);
    if (m_dialogs.Run(dlg) != QDialog::Accepted)
        return false;
    return m_manager.AddRequirement(dlg.Tag(), dlg.Description());
}

bool CExplorerCommands::ChangeRequirement(int requirementId)
{
    const auto *req = m_manager.LookupAs<CKELRequirement>(requirementId, KEL::Requirement);
    if (!req)
        return false;
    CKELRequirementDlg dlg(m_manager.Prompt(), m_dialogParent);
    dlg.SetValues(req->GetName(), req->Description());
    if (m_dialogs.Run(dlg) != QDialog::Accepted)
        return false;
    if (dlg.Tag() == req->GetName() && dlg.Description() == req->Description())
        return false; // nothing to change: the solution stays unmodified
    return m_manager.ChangeRequirement(requirementId, dlg.Tag(), dlg.Description());
}

bool CExplorerCommands::NewComponent(int folderId)
{
    const CKELVersion *version = versionForNew(folderId);
    if (!version)
        return false;
    CKELComponentDlg dlg(m_manager, version, 0, m_dialogParent);
    if (m_dialogs.Run(dlg) != QDialog::Accepted)
        return false;
    return m_manager.AddComponent(dlg.Name(), dlg.IsSystemComponent());
}

bool CExplorerCommands::RenameComponent(int componentId)
{
    const auto *c = m_manager.LookupAs<CKELComponent>(componentId, KEL::Component);
    if (!c)
        return false;
    CKELComponentDlg dlg(m_manager, m_manager.VersionOf(c), componentId, m_dialogParent);
    if (m_dialogs.Run(dlg) != QDialog::Accepted)
        return false;
    if (dlg.Name() == c->GetName() && dlg.IsSystemComponent() == c->IsSystemComponent())
        return false;
    return m_manager.RenameComponent(componentId, dlg.Name(), dlg.IsSystemComponent());
}

bool CExplorerCommands::ChangeBehaviors(int componentId)
{
    if (!m_manager.LookupAs<CKELComponent>(componentId, KEL::Component))
        return false;
    CKELComponentBehaviorDlg dlg(m_manager, componentId, m_dialogParent);
    m_dialogs.Run(dlg);
    return true;
}

bool CExplorerCommands::RemoveState(const CExplorerTarget &target)
{
    const CKELData *under = m_manager.Lookup(target.shownUnderId);
    // under a requirement "Remove" detaches it from that requirement only
    if (under && under->GetTypeCode() == KEL::Requirement)
        return m_manager.DetachState(target.elementId, target.shownUnderId);
    return m_manager.RemoveState(target.elementId);
}

bool CExplorerCommands::NewRBT(int folderId)
{
    const CKELVersion *version = versionForNew(folderId);
    if (!version)
        return false;
    CKELRBTDlg dlg(m_manager, version, CKELRBTDlg::NewRBT, 0, m_dialogParent);
    if (m_dialogs.Run(dlg) != QDialog::Accepted)
        return false;
    if (!m_manager.AddRBT(dlg.Name(), dlg.SelectedIds(), dlg.LevelGap()))
        return false;
    // in a shared solution the tree comes later, with the server's echo
    if (const CKELTree *tree = m_manager.FindTree(KEL::RBTs, dlg.Name(), version))
        Open(tree->GetId());
    return true;
}

bool CExplorerCommands::ChangeRBT(int treeId)
{
    const auto *tree = m_manager.LookupAs<CKELRBT>(treeId, KEL::RBT);
    if (!tree)
        return false;
    CKELRBTDlg dlg(m_manager, m_manager.VersionOf(tree), CKELRBTDlg::ChangeRBT, treeId, m_dialogParent);
    if (m_dialogs.Run(dlg) != QDialog::Accepted)
        return false;
    if (dlg.Name() == tree->GetName() && dlg.SelectedIds() == tree->AssociatedRequirements())
        return false;
    return m_manager.ChangeRBT(treeId, dlg.Name(), dlg.SelectedIds());
}

bool CExplorerCommands::NewIBT(int folderId)
{
    const CKELVersion *version = versionForNew(folderId);
    if (!version)
        return false;
    CKELIBTDlg dlg(m_manager, version, 0, m_dialogParent);
    if (m_dialogs.Run(dlg) != QDialog::Accepted)
        return false;
    if (!m_manager.AddDBT(dlg.Name()))
        return false;
    if (const CKELTree *tree = m_manager.FindTree(KEL::DBTs, dlg.Name(), version))
        Open(tree->GetId());
    return true;
}

bool CExplorerCommands::RenameDBT(int treeId)
{
    const auto *tree = m_manager.LookupAs<CKELDBT>(treeId, KEL::DBT);
    if (!tree)
        return false;
    CKELIBTDlg dlg(m_manager, m_manager.VersionOf(tree), treeId, m_dialogParent);
    if (m_dialogs.Run(dlg) != QDialog::Accepted || dlg.Name() == tree->GetName())
        return false;
    return m_manager.RenameDBT(treeId, dlg.Name());
}

bool CExplorerCommands::NewVersion(int fromVersionId)
{
    if (!m_manager.LookupAs<CKELVersion>(fromVersionId, KEL::Version))
        return false;
    CAddVersionDlg dlg(m_dialogParent);
    if (m_dialogs.Run(dlg) != QDialog::Accepted)
        return false;
    return m_manager.NewVersion(dlg.VersionName(), fromVersionId);
}

bool CExplorerCommands::Remove(int elementId)
{
    const CKELData *e = m_manager.Lookup(elementId);
    if (!e)
        return false;
    switch (e->GetTypeCode()) {
    case KEL::Requirement: return m_manager.RemoveRequirement(elementId);
    case KEL::Component: return m_manager.RemoveComponent(elementId);
    case KEL::State: return m_manager.RemoveState(elementId);
    case KEL::RBT: return m_manager.RemoveRBT(elementId);
    case KEL::DBT: return m_manager.RemoveDBT(elementId);
    case KEL::EVT: return m_manager.RemoveEVT(elementId);
    case KEL::CBT: return m_manager.RemoveCBT(elementId);
    case KEL::CIN: return m_manager.RemoveCIN(elementId);
    case KEL::CID: return m_manager.RemoveCID(elementId);
    default: return false;
    }
}
