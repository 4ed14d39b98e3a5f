#pragma once

#include "simulate/simulationsession.h"

#include <QDialog>
#include <QHash>
#include <QTimer>

class CBuiltinSimulatorPanel;
class CDialogRunner;
class CKELDataManager;
class CSimulationDisplay;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QSpinBox;

// "Behavior Tree Simulation": run a tree on the built-in simulator, or
// translate it, run the result in the ZEPH simulator and watch its output,
// while the tree window shows the steps.
//
// The dialog is modeless: a user watches the tree window while the
// simulator runs, and types input lines in between. The run itself lives in
// CSimulationSession; the dialog mirrors its controls into it and shows the
// output. Closing the dialog ends the run and takes the marks off the tree.
class CAbsSimulatorDlg : public QDialog
{
    Q_OBJECT
public:
    // treeId: the tree to preselect, 0 for none. The manager, the display
    // and the runner must outlive the dialog.
    CAbsSimulatorDlg(CKELDataManager &manager, CSimulationDisplay &display, CDialogRunner &runner, int treeId = 0,
                     QWidget *parent = nullptr);
    ~CAbsSimulatorDlg() override;

    // Selects the tree in "BTS:"; one that is not listed selects none.
    void SelectTree(int treeId);
    int SelectedTreeId() const;

    // The simulator the dialog offers when the solution names none: the
    // stand-in that comes with the program, found beside it, in its build
    // tree or on the PATH.
    static QString ShippedSimulator();

    enum SimulatorKind { BuiltIn = 0, Zeph = 1 };
    // Which simulator the dialog shows; the built-in one unless chosen.
    void SetSimulatorKind(SimulatorKind kind);
    SimulatorKind Kind() const;
    QComboBox *SimulatorKindBox() const { return m_kind; }
    CBuiltinSimulatorPanel *BuiltinPanel() const { return m_builtin; }

    CSimulationSession &Session() { return m_session; }
    QComboBox *TreeList() const { return m_trees; }
    QSpinBox *MaxEventsEdit() const { return m_maxEvents; }
    QLineEdit *SimulatorEdit() const { return m_simulator; }
    QCheckBox *ShowNodeIdBox() const { return m_showNodeId; }
    QCheckBox *InteractionModeBox() const { return m_interaction; }
    QCheckBox *SimNodeIdBox() const { return m_simNodeId; }
    QCheckBox *VerboseOffBox() const { return m_verboseOff; }
    QCheckBox *AutoSimBox() const { return m_autoSim; }
    QCheckBox *XmlBox() const { return m_xml; }
    QSlider *IntervalSlider() const { return m_interval; }
    QLineEdit *InputEdit() const { return m_input; }
    QPlainTextEdit *ZephEdit() const { return m_zeph; }
    QPlainTextEdit *ResultEdit() const { return m_result; }
    // A button of the dialog's own (the ZEPH controls, Close) by its text.
    QPushButton *Button(const QString &text) const;

    // Lines the result box keeps; older ones scroll away so that a long
    // automatic run cannot slow the window down.
    static constexpr int kResultLines = 20000;

    void OnTranslate();
    void OnBrowse();
    bool OnSimulate();
    void OnInput();
    void OnStop();

protected:
    void done(int result) override;

private:
    void buildControls(CSimulationDisplay &display);
    void fillTrees();
    void scheduleFill();
    void takeSolution();
    void storeSimulatorPath(const QString &path);
    void appendResult(const QString &chunk);
    // position label -> node text, for the run's tree
    void collectLabels();
    void treeChosen();
    void kindChosen();

    CKELDataManager &m_manager;
    CDialogRunner &m_runner;
    CSimulationSession m_session;
    QTimer m_fillTimer; // gathers a burst of model changes into one refill
    int m_wantedTree = 0;
    QHash<QString, QString> m_labelTexts;

    QComboBox *m_trees = nullptr;
    QComboBox *m_kind = nullptr;
    CBuiltinSimulatorPanel *m_builtin = nullptr;
    QList<QWidget *> m_zephOnly; // shown only while ZEPH is the simulator
    QSpinBox *m_maxEvents = nullptr;
    QLineEdit *m_simulator = nullptr;
    QCheckBox *m_showNodeId = nullptr;
    QCheckBox *m_interaction = nullptr;
    QCheckBox *m_simNodeId = nullptr;
    QCheckBox *m_verboseOff = nullptr;
    QCheckBox *m_autoSim = nullptr;
    QCheckBox *m_xml = nullptr;
    QSlider *m_interval = nullptr;
    QLineEdit *m_input = nullptr;
    QPlainTextEdit *m_zeph = nullptr;
    QPlainTextEdit *m_result = nullptr;
};
