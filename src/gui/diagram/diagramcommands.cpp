#include "diagramcommands.h"

#include "diagramwindows.h"

#include "dialogs/dialogrunner.h"
#include "dialogs/kelciddlg.h"
#include "dialogs/kelcindlg.h"
#include "model/keldatamanager.h"
#include "model/keltree.h"

namespace {

// The newest diagram of that kind under tree (a CID of that component).
int existingDiagram(const CKELTree &tree, int typeCode, const QString &component)
{
    const CKELData *holder = &tree;
    if (typeCode == KEL::CID)
        holder = tree.FirstChildOfType<CKELData>(KEL::CIDs);
    if (!holder)
        return 0;
    int found = 0;
    for (const auto &child : holder->Children()) {
        if (child->GetTypeCode() == typeCode && (typeCode != KEL::CID || child->GetName() == component))
            found = child->GetId();
    }
    return found;
}

} // namespace

CDiagramCommands::CDiagramCommands(CKELDataManager &manager, CDiagramWindows &windows, CDialogRunner &dialogs,
                                   QWidget *dialogParent, QObject *parent)
    : QObject(parent)
    , m_manager(manager)
    , m_windows(windows)
    , m_dialogs(dialogs)
    , m_dialogParent(dialogParent)
{}

int CDiagramCommands::currentTree() const
{
    return m_currentTree ? m_currentTree() : 0;
}

bool CDiagramCommands::create(int typeCode, int treeId, const QString &component)
{
    m_windows.ExpectNew(typeCode, treeId);
    const bool sent = typeCode == KEL::CIN ? m_manager.CreateCIN(treeId) : m_manager.CreateCID(treeId, component);
    if (!sent) // refused: no window is owed for it
        m_windows.CancelExpected(typeCode, treeId);
    return sent;
}

bool CDiagramCommands::CreateCIN(int treeId)
{
    if (treeId == 0) {
        CKELCINDlg dlg(m_manager, currentTree(), m_dialogParent);
        if (m_dialogs.Run(dlg) != QDialog::Accepted)
            return false;
        treeId = dlg.TreeId();
    }
    return create(KEL::CIN, treeId, QString());
}

bool CDiagramCommands::CreateCID(int treeId)
{
    CKELCIDDlg dlg(m_manager, treeId ? treeId : currentTree(), m_dialogParent);
    if (m_dialogs.Run(dlg) != QDialog::Accepted)
        return false;
    return create(KEL::CID, dlg.TreeId(), dlg.Component());
}

bool CDiagramCommands::ViewCIN()
{
    CKELCINDlg dlg(m_manager, currentTree(), m_dialogParent);
    if (m_dialogs.Run(dlg) != QDialog::Accepted)
        return false;
    const CKELData *tree = m_manager.Lookup(dlg.TreeId());
    if (!tree || !tree->IsTree())
        return false;
    if (const int id = existingDiagram(*static_cast<const CKELTree *>(tree), KEL::CIN, QString()))
        return m_windows.Open(id) != nullptr;
    return create(KEL::CIN, dlg.TreeId(), QString());
}

bool CDiagramCommands::ViewCID()
{
    CKELCIDDlg dlg(m_manager, currentTree(), m_dialogParent);
    if (m_dialogs.Run(dlg) != QDialog::Accepted)
        return false;
    const CKELData *tree = m_manager.Lookup(dlg.TreeId());
    if (!tree || !tree->IsTree())
        return false;
    if (const int id = existingDiagram(*static_cast<const CKELTree *>(tree), KEL::CID, dlg.Component()))
        return m_windows.Open(id) != nullptr;
    return create(KEL::CID, dlg.TreeId(), dlg.Component());
}
