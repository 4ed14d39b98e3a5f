#pragma once

#include "semantics/behaviormodel.h"
#include "verify/spinverifier.h"

#include <QDialog>
#include <QTimer>

#include <atomic>
#include <memory>

class CKELDataManager;
class CSimulationDisplay;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QThread;

// "Verify": checks a tree with Spin off the window's thread, lists what it
// found, shows a finding's nodes on the tree window, and replays a
// finding's trail one step at a time with the component states beside it.
class CVerifyDlg : public QDialog
{
    Q_OBJECT
public:
    // The manager and the display must outlive the dialog.
    CVerifyDlg(CKELDataManager &manager, CSimulationDisplay &display, int treeId = 0, QWidget *parent = nullptr);
    ~CVerifyDlg() override;

    void SelectTree(int treeId);
    int SelectedTreeId() const;
    // Starts a check of the chosen tree; false when none could start (no
    // tree, a tree the translation refuses, one already running).
    bool Start();
    // Stops the check; the verifier's processes end before this returns.
    void Cancel();
    bool IsRunning() const { return m_worker != nullptr; }
    // The next step of the selected finding's trail, from the initial state
    // again after its last; false when the finding has no trail.
    bool ReplayStep();

    // Options handed to the verifier; a test may point them at other tools.
    CVerifyOptions &Options() { return m_options; }

    QComboBox *TreeList() const { return m_trees; }
    QLineEdit *PropertyEdit() const { return m_property; }
    QSpinBox *MaxStatesEdit() const { return m_maxStates; }
    QSpinBox *TimeoutEdit() const { return m_timeout; }
    QListWidget *Findings() const { return m_findings; }
    QTableWidget *StateTable() const { return m_states; }
    QLabel *Status() const { return m_status; }
    QProgressBar *Progress() const { return m_progress; }
    QPushButton *VerifyButton() const { return m_verify; }
    QPushButton *CancelButton() const { return m_cancel; }
    QPushButton *ReplayButton() const { return m_replay; }

signals:
    // A check ended: finished, failed or cancelled.
    void verificationEnded();

protected:
    void done(int result) override;

private:
    // What a row of the findings list shows on the tree.
    struct Finding
    {
        QList<int> nodes; // node indexes of the form
        QList<int> steps; // the trail, when the finding has one
    };

    void fillTrees();
    void workerDone();
    void showReport();
    void findingChosen();
    void addFinding(const QString &text, const QList<int> &nodes, const QList<int> &steps);
    void setBusy(bool busy);
    void clearMarks();

    CKELDataManager &m_manager;
    CSimulationDisplay &m_display;
    int m_wantedTree = 0;
    int m_checkedTree = 0; // the tree the report is about
    CVerifyOptions m_options;
    CBehaviorModel m_model;
    CVerifyReport m_report;
    QThread *m_worker = nullptr;
    std::atomic_bool m_cancelled{false};
    std::atomic<qint64> m_statesSeen{0};
    QTimer m_poll; // carries the verifier's progress to the window
    QList<Finding> m_found;
    int m_replayAt = -1; // steps of the trail replayed so far
    std::unique_ptr<CBehaviorState> m_replayState;

    QComboBox *m_trees = nullptr;
    QLineEdit *m_property = nullptr;
    QSpinBox *m_maxStates = nullptr;
    QSpinBox *m_timeout = nullptr;
    QPushButton *m_verify = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_replay = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_status = nullptr;
    QListWidget *m_findings = nullptr;
    QTableWidget *m_states = nullptr;
};
