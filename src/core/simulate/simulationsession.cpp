#include "simulationsession.h"

#include "abstranslator.h"
#include "simulationdisplay.h"
#include "simulationtexts.h"

#include "model/keldatamanager.h"
#include "model/keltree.h"
#include "model/prompt.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace {

bool needsQuoting(const QString &path)
{
    if (path.isEmpty())
        return true;
    for (QChar ch : path) {
        const char16_t c = ch.unicode();
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')
                           || QStringView(u"_-./+,:=@%").contains(ch)
#ifdef Q_OS_WIN
                           || c == u'\\'
#endif
            ;
        if (!plain)
            return true;
    }
    return false;
}

QString quotedForInterpreter(const QString &path)
{
    if (!needsQuoting(path))
        return path;
#ifdef Q_OS_WIN
    return u'"' + path + u'"';
#else
    // inside single quotes the shell takes every character as it stands
    QString quoted = path;
    quoted.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + quoted + u'\'';
#endif
}

} // namespace

CSimulationSession::CSimulationSession(CKELDataManager &manager, CSimulationDisplay &display, QObject *parent)
    : QObject(parent)
    , m_manager(manager)
    , m_display(display)
{
    // no thread of our own for automatic input either: a timer on the
    // event loop sends the line, like the Input button
    m_autoTimer.setInterval(1000);
    connect(&m_autoTimer, &QTimer::timeout, this, &CSimulationSession::onAutoTick);
    connect(&m_process, &CSimulatorProcess::output, this, &CSimulationSession::onOutput);
    connect(&m_process, &CSimulatorProcess::ended, &m_autoTimer, &QTimer::stop);
}

CSimulationSession::~CSimulationSession()
{
    Close();
}

QString CSimulationSession::CommandLine(const QString &simulatorPath, const Options &options)
{
    QString line = quotedForInterpreter(simulatorPath);
    if (options.interactionMode)
        line += QStringLiteral(" -i");
    if (options.simNodeId)
        line += QStringLiteral(" -I");
    if (options.verboseOff)
        line += QStringLiteral(" -v-");
    return line;
}

QString CSimulationSession::CheckSimulator(const QString &simulatorPath)
{
    if (simulatorPath.trimmed().isEmpty())
        return SimulationTexts::NoSimulator();
    if (!simulatorPath.contains(u'/') && !simulatorPath.contains(u'\\')) {
        // a bare name is looked up on the PATH, as the interpreter will
        if (QStandardPaths::findExecutable(simulatorPath).isEmpty())
            return SimulationTexts::SimulatorNotFound(simulatorPath);
        return QString();
    }
    const QFileInfo info(simulatorPath);
    if (!info.exists())
        return SimulationTexts::SimulatorNotFound(simulatorPath);
    if (!info.isFile() || !info.isExecutable())
        return SimulationTexts::SimulatorNotExecutable(simulatorPath);
    return QString();
}

void CSimulationSession::SetTreeId(int treeId)
{
    if (treeId == m_treeId)
        return;
    endDisplay();
    m_treeId = treeId;
}

void CSimulationSession::SetAutoSim(bool on)
{
    m_autoSim = on;
    if (!on)
        m_autoTimer.stop();
    else if (m_process.IsRunning() && !m_autoTimer.isActive())
        m_autoTimer.start();
}

QString CSimulationSession::Translate(int maxEvents, bool showNodeIds, QString *error) const
{
    const CKELData *e = m_manager.Lookup(m_treeId);
    if (!e || !e->IsTree())
        return QString();
    return Zeph::TranslateTree(m_manager, *static_cast<const CKELTree *>(e), maxEvents, showNodeIds, error);
}

bool CSimulationSession::Simulate(const QString &zephText, const QString &simulatorPath)
{
    if (zephText.isEmpty()) {
        m_manager.Prompt().Message(SimulationTexts::NoZephInput());
        return false;
    }
    m_manager.SetSimulatorPath(simulatorPath);
    if (const QString problem = CheckSimulator(simulatorPath); !problem.isEmpty()) {
        m_manager.Prompt().Message(problem);
        return false;
    }
    m_autoTimer.stop();
    // a new run starts with fresh marks rather than those of the last one
    endDisplay();
    QString error;
    if (!m_process.Open(CommandLine(simulatorPath, m_options), &error)) {
        setRunning(false);
        m_manager.Prompt().Message(SimulationTexts::InterpreterFailed(CSimulatorProcess::InterpreterProgram(), error));
        return false;
    }
    m_process.Write(zephText);
    setRunning(true);
    if (m_autoSim)
        m_autoTimer.start();
    return true;
}

bool CSimulationSession::Input()
{
    return m_process.Write(m_inputLine + CSimulatorProcess::LineEnd());
}

void CSimulationSession::Stop()
{
    if (m_running)
        endDisplay();
    setRunning(false);
}

void CSimulationSession::Close()
{
    m_autoTimer.stop();
    m_process.Close();
    endDisplay();
    setRunning(false);
}

void CSimulationSession::onOutput(const QString &chunk)
{
    m_result += QStringLiteral("\r\n");
    m_result += chunk;
    emit resultAppended(chunk);
    if (m_running && m_treeId && !chunk.isEmpty())
        m_display.ShowSimulationStep(m_treeId, chunk);
}

void CSimulationSession::onAutoTick()
{
    if (m_autoSim)
        Input();
    else
        m_autoTimer.stop();
}

void CSimulationSession::setRunning(bool on)
{
    if (m_running == on)
        return;
    m_running = on;
    emit runningChanged(on);
}

void CSimulationSession::endDisplay()
{
    if (m_treeId && m_display.IsRunning(m_treeId))
        m_display.EndSimulationDisplay(m_treeId);
}
