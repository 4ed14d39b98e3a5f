#include "simulationcommands.h"

#include "abssimulatordlg.h"
#include "simulationmarks.h"

#include "simulate/simulationdisplay.h"

CSimulationCommands::CSimulationCommands(CKELDataManager &manager, CDialogRunner &runner, CTreeWindows &windows,
                                         QWidget *window)
    : QObject(window)
    , m_manager(manager)
    , m_runner(runner)
    , m_window(window)
    , m_display(new CSimulationDisplay(manager, this))
    , m_marks(new CSimulationMarks(*m_display, windows, this))
{}

CSimulationCommands::~CSimulationCommands()
{
    // the dialog's session refers to the display, which goes with us; the
    // dialog is the window's child and would otherwise outlive it briefly
    if (m_dialog)
        delete m_dialog.data();
    if (m_verify)
        delete m_verify.data();
}

CVerifyDlg *CSimulationCommands::OpenVerifyDialog(int treeId)
{
    if (!m_verify) {
        m_verify = new CVerifyDlg(m_manager, *m_display, treeId, m_window);
        m_verify->setAttribute(Qt::WA_DeleteOnClose);
        m_verify->setModal(false);
    } else if (treeId && !m_verify->IsRunning()) {
        m_verify->SelectTree(treeId);
    }
    m_verify->show();
    m_verify->raise();
    m_verify->activateWindow();
    return m_verify;
}

CAbsSimulatorDlg *CSimulationCommands::OpenDialog(int treeId, bool zeph)
{
    if (!m_dialog) {
        m_dialog = new CAbsSimulatorDlg(m_manager, *m_display, m_runner, treeId, m_window);
        m_dialog->setAttribute(Qt::WA_DeleteOnClose);
        m_dialog->setModal(false);
    } else if (treeId) {
        m_dialog->SelectTree(treeId);
    }
    if (zeph)
        m_dialog->SetSimulatorKind(CAbsSimulatorDlg::Zeph);
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
    return m_dialog;
}
