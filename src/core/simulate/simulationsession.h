#pragma once

#include "simulatorprocess.h"

#include <QObject>
#include <QString>
#include <QTimer>

class CKELDataManager;
class CSimulationDisplay;

// Everything the simulation dialog does that needs no window: translating
// the chosen tree, starting the simulator through the command interpreter,
// the input line, automatic input, Stop, and the result text. The dialog
// only mirrors its controls into it.
class CSimulationSession : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        bool interactionMode = false; // " -i"
        bool simNodeId = false;       // " -I"
        bool verboseOff = false;      // " -v-"
    };

    // The manager and the display must outlive the session: closing it
    // takes its marks off the tree.
    CSimulationSession(CKELDataManager &manager, CSimulationDisplay &display, QObject *parent = nullptr);
    ~CSimulationSession() override;

    // The line the interpreter runs: the simulator path, quoted for the
    // interpreter only when it holds characters the interpreter would
    // split or expand, then the options in their fixed order.
    static QString CommandLine(const QString &simulatorPath, const Options &options);
    // Why the simulator at path cannot be run, or an empty text.
    static QString CheckSimulator(const QString &simulatorPath);

    // The tree whose nodes are marked; 0 for none. Choosing another tree
    // takes the marks off the previous one.
    void SetTreeId(int treeId);
    int TreeId() const { return m_treeId; }
    void SetOptions(const Options &options) { m_options = options; }
    const Options &GetOptions() const { return m_options; }
    void SetInputLine(const QString &line) { m_inputLine = line; }
    const QString &InputLine() const { return m_inputLine; }
    // While ticked, the input line goes to the simulator every interval.
    void SetAutoSim(bool on);
    bool AutoSim() const { return m_autoSim; }
    void SetAutoSimInterval(int milliseconds) { m_autoTimer.setInterval(milliseconds); }
    bool AutoSimActive() const { return m_autoTimer.isActive(); }

    // The ZEPH text of the chosen tree (empty without one).
    QString Translate(int maxEvents, bool showNodeIds, QString *error = nullptr) const;

    // Runs zephText in the simulator at simulatorPath, replacing a run
    // that is still going. Says why through the prompt and returns false
    // when it cannot.
    bool Simulate(const QString &zephText, const QString &simulatorPath);
    // Sends the input line.
    bool Input();
    // Ends the tree display; the simulator goes on running.
    void Stop();
    // Ends the run and the display, as closing the dialog does.
    void Close();

    bool IsRunning() const { return m_running; }
    const QString &ResultText() const { return m_result; }
    void ClearResult() { m_result.clear(); }
    const CSimulatorProcess &Process() const { return m_process; }

signals:
    // The result text grew by a line end and chunk.
    void resultAppended(const QString &chunk);
    void runningChanged(bool running);

private:
    void onOutput(const QString &chunk);
    void onAutoTick();
    void setRunning(bool on);
    void endDisplay();

    CKELDataManager &m_manager;
    CSimulationDisplay &m_display;
    CSimulatorProcess m_process;
    QTimer m_autoTimer;
    Options m_options;
    QString m_inputLine;
    QString m_result;
    int m_treeId = 0;
    bool m_autoSim = false;
    bool m_running = false;
};
