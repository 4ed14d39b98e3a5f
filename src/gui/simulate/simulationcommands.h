#pragma once

#include "abssimulatordlg.h"
#include "verifydlg.h"

#include <QObject>
#include <QPointer>

class CDialogRunner;
class CKELDataManager;
class CSimulationDisplay;
class CSimulationMarks;
class CTreeWindows;
class QWidget;

// The simulation in a main window: the one simulation dialog, the display
// that turns simulator output into node marks, and the timer that takes the
// marks to the tree windows.
class CSimulationCommands : public QObject
{
    Q_OBJECT
public:
    CSimulationCommands(CKELDataManager &manager, CDialogRunner &runner, CTreeWindows &windows, QWidget *window);
    ~CSimulationCommands() override;

    // Shows the dialog, making it when there is none. A tree id selects
    // that tree; 0 leaves the choice as it is (none in a new dialog). An
    // entry that names ZEPH shows that simulator; others leave the choice.
    CAbsSimulatorDlg *OpenDialog(int treeId = 0, bool zeph = false);
    // The open dialog, or null.
    CAbsSimulatorDlg *Dialog() const { return m_dialog; }
    // The same for the verification dialog.
    CVerifyDlg *OpenVerifyDialog(int treeId = 0);
    CVerifyDlg *VerifyDialog() const { return m_verify; }
    CSimulationDisplay &Display() const { return *m_display; }
    CSimulationMarks &Marks() const { return *m_marks; }

private:
    CKELDataManager &m_manager;
    CDialogRunner &m_runner;
    QWidget *m_window;
    CSimulationDisplay *m_display; // child object
    CSimulationMarks *m_marks;     // child object
    QPointer<CAbsSimulatorDlg> m_dialog;
    QPointer<CVerifyDlg> m_verify;
};
