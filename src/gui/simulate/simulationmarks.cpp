#include "simulationmarks.h"

#include "editor/childframe.h"
#include "editor/tessel1doc.h"
#include "editor/tessel1view.h"
#include "editor/treewindows.h"
#include "simulate/simulationdisplay.h"

CSimulationMarks::CSimulationMarks(CSimulationDisplay &display, CTreeWindows &windows, QObject *parent)
    : QObject(parent)
    , m_display(display)
    , m_windows(&windows)
{
    m_timer.setInterval(kRedrawInterval);
    connect(&m_timer, &QTimer::timeout, this, &CSimulationMarks::Flush);
    connect(&m_display, &CSimulationDisplay::displayStarted, this, &CSimulationMarks::onStarted);
    connect(&m_display, &CSimulationDisplay::displayEnded, this, &CSimulationMarks::onEnded);
    connect(&windows, &CTreeWindows::frameOpened, this, &CSimulationMarks::onFrameOpened);
}

void CSimulationMarks::onStarted(int treeId)
{
    m_trees.insert(treeId);
    if (!m_timer.isActive())
        m_timer.start();
}

void CSimulationMarks::onEnded(int treeId)
{
    // Stop shows at once: the user pressed a button and waits for it
    flushTree(treeId);
    if (CChildFrame *frame = m_windows ? m_windows->Find(treeId) : nullptr)
        frame->Document().ClearSimulationMarks();
    m_trees.remove(treeId);
    if (m_trees.isEmpty())
        m_timer.stop();
}

void CSimulationMarks::onFrameOpened(CChildFrame *frame)
{
    // a window opened during a run starts with the marks so far
    const int treeId = frame->Document().ElementId();
    const QHash<int, int> marks = m_display.Marks(treeId);
    for (auto it = marks.cbegin(); it != marks.cend(); ++it)
        frame->Document().SetSimulationMark(it.key(), it.value());
}

void CSimulationMarks::Flush()
{
    const QSet<int> trees = m_trees;
    for (int treeId : trees) {
        flushTree(treeId);
        if (!m_display.IsRunning(treeId))
            m_trees.remove(treeId);
    }
    if (m_trees.isEmpty())
        m_timer.stop();
}

void CSimulationMarks::flushTree(int treeId)
{
    const QList<int> changed = m_display.TakeChangedNodes(treeId);
    CChildFrame *frame = m_windows ? m_windows->Find(treeId) : nullptr;
    if (!frame || changed.isEmpty())
        return;
    CTessel1Doc &doc = frame->Document();
    for (int nodeId : changed)
        doc.SetSimulationMark(nodeId, m_display.MarkOf(treeId, nodeId));
    frame->View().viewport()->update();
}
