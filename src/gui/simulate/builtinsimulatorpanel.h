#pragma once

#include "simulate/builtinsimulator.h"

#include <QTimer>
#include <QWidget>

#include <memory>

class CKELDataManager;
class CSimulationDisplay;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QVBoxLayout;

// The built-in simulator in the simulation dialog: the tree's component
// states and attribute values, the steps that may fire now (a double click
// fires one), a button per event of the tree, and a run that fires a random
// enabled step at a steady pace from a seed the user sees and may set. Each
// step marks its nodes on the tree window, the earlier ones as visited.
class CBuiltinSimulatorPanel : public QWidget
{
    Q_OBJECT
public:
    CBuiltinSimulatorPanel(CKELDataManager &manager, CSimulationDisplay &display, QWidget *parent = nullptr);
    ~CBuiltinSimulatorPanel() override;

    // The tree to simulate; 0 for none. Starts over from its initial state.
    void SetTree(int treeId);
    int TreeId() const { return m_treeId; }
    // Builds the tree's executable form again and starts from its initial
    // state with the seed shown; false when the tree cannot be translated,
    // the reason then stands in the status line.
    bool Reset();
    // Fires a step the list offers; false when it may not fire now.
    bool FireStep(int step);
    // Offers one occurrence of an event of the tree.
    void OfferEvent(int event);
    void Run();
    void Stop();
    bool IsRunning() const { return m_run.isActive(); }
    void SetInterval(int ms) { m_run.setInterval(ms); }
    // Stops and takes the marks off the tree.
    void End();

    const CBuiltinSimulator *Simulator() const { return m_sim.get(); }
    QTableWidget *StateTable() const { return m_states; }
    QListWidget *StepList() const { return m_steps; }
    QSpinBox *SeedEdit() const { return m_seed; }
    QPlainTextEdit *Log() const { return m_log; }
    QLabel *Status() const { return m_status; }
    QList<QPushButton *> EventButtons() const { return m_eventButtons; }

    // Fills a two-column table with every component state and attribute
    // value of the state; rows of the changed variables are set in bold.
    static void ShowState(QTableWidget &table, const CBehaviorModel &model, const CBehaviorState &state,
                          const QList<int> &changed = {});

private:
    void tick();
    void refresh(const QList<int> &changed = {});
    void rebuildEvents();
    void showWaiting();

    CKELDataManager &m_manager;
    CSimulationDisplay &m_display;
    std::unique_ptr<CBuiltinSimulator> m_sim;
    int m_treeId = 0;
    QTimer m_run;

    QTableWidget *m_states = nullptr;
    QListWidget *m_steps = nullptr;
    QSpinBox *m_seed = nullptr;
    QPlainTextEdit *m_log = nullptr;
    QLabel *m_status = nullptr;
    QWidget *m_eventBox = nullptr;
    QList<QPushButton *> m_eventButtons;
};
