#pragma once

#include "editor/treewindows.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTimer>

class CChildFrame;
class CSimulationDisplay;

// Carries the simulation marks of the display to the open tree windows.
// The display only notes which nodes changed; a 200 ms timer hands those
// to the window of their tree, so a simulator that reports hundreds of
// steps a second costs a few redraws, not one per step.
class CSimulationMarks : public QObject
{
    Q_OBJECT
public:
    static constexpr int kRedrawInterval = 200;

    CSimulationMarks(CSimulationDisplay &display, CTreeWindows &windows, QObject *parent = nullptr);

    bool IsTicking() const { return m_timer.isActive(); }
    // Hands on what changed now, without waiting for the timer.
    void Flush();

private:
    void onStarted(int treeId);
    void onEnded(int treeId);
    void onFrameOpened(CChildFrame *frame);
    void flushTree(int treeId);

    CSimulationDisplay &m_display;
    QPointer<CTreeWindows> m_windows; // the editor may go first when the window closes
    QTimer m_timer;
    QSet<int> m_trees; // trees whose display runs or has marks to take back
};
