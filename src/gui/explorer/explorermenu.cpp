#include "explorermenu.h"

#include "explorertexts.h"

#include "model/keltypes.h"

QStringList CExplorerMenu::Layout(int typeCode)
{
    const QString sep;
    const QString open = ExplorerTexts::Open;
    const QString remove = ExplorerTexts::Remove;
    const QStringList translate{ExplorerTexts::TranslateToSal, ExplorerTexts::SimulateWithZeph};
    const QStringList derive{ExplorerTexts::CreateCbt, ExplorerTexts::CreateCid, ExplorerTexts::CreateCin};
    switch (typeCode) {
    case KEL::Version: return {ExplorerTexts::NewVersion, ExplorerTexts::SetCurrentVersion};
    case KEL::Requirements: return {ExplorerTexts::NewRequirement};
    case KEL::Requirement: return {ExplorerTexts::Change, remove};
    case KEL::Components: return {ExplorerTexts::NewComponent};
    case KEL::Component: return {ExplorerTexts::Rename, ExplorerTexts::ChangeBehaviors, ExplorerTexts::RemoveComponent};
    case KEL::State: return {remove};
    case KEL::RBTs: return {ExplorerTexts::NewRbt};
    case KEL::RBT:
        return QStringList{open, ExplorerTexts::ChangeRbt, remove, sep} + translate + QStringList{sep} + derive;
    case KEL::DBTs: return {ExplorerTexts::NewIbt};
    case KEL::DBT:
        return QStringList{open,
                           ExplorerTexts::Rename,
                           remove,
                           sep,
                           ExplorerTexts::GetRbts,
                           ExplorerTexts::MarkIntegrationPoints,
                           ExplorerTexts::MarkMissingPrecondition,
                           sep}
               + translate + QStringList{sep} + derive;
    case KEL::CBTs: return {ExplorerTexts::NewCbt};
    case KEL::CBT:
    case KEL::CIN:
    case KEL::CID: return {open, remove};
    case KEL::CIDs: return {ExplorerTexts::NewCid};
    case KEL::EVTs: return {ExplorerTexts::AddEvolutionTree};
    case KEL::EVT:
        return QStringList{open, remove, sep} + translate
               + QStringList{sep, ExplorerTexts::EvolutionaryCbt, ExplorerTexts::EvolutionaryCin,
                             ExplorerTexts::EvolutionaryCid};
    default: return {};
    }
}

void CExplorerMenu::SetHandler(int typeCode, const QString &command, Handler handler)
{
    if (command.isEmpty())
        return;
    const bool inLayout = Layout(typeCode).contains(command);
    if (!handler) {
        m_handlers[typeCode].remove(command);
        m_extra[typeCode].removeAll(command);
        return;
    }
    m_handlers[typeCode].insert(command, std::move(handler));
    if (!inLayout && !m_extra[typeCode].contains(command))
        m_extra[typeCode].append(command);
}

bool CExplorerMenu::HasHandler(int typeCode, const QString &command) const
{
    const auto it = m_handlers.constFind(typeCode);
    return it != m_handlers.constEnd() && it->contains(command);
}

QStringList CExplorerMenu::Shown(int typeCode) const
{
    QStringList layout = Layout(typeCode);
    const QStringList extra = m_extra.value(typeCode);
    if (!extra.isEmpty()) {
        layout.append(QString());
        layout += extra;
    }
    QStringList shown;
    bool pendingSeparator = false;
    for (const QString &entry : std::as_const(layout)) {
        if (entry.isEmpty()) {
            pendingSeparator = !shown.isEmpty();
            continue;
        }
        if (!HasHandler(typeCode, entry))
            continue;
        if (pendingSeparator)
            shown.append(QString());
        pendingSeparator = false;
        shown.append(entry);
    }
    return shown;
}

bool CExplorerMenu::Run(int typeCode, const QString &command, const CExplorerTarget &target) const
{
    const auto it = m_handlers.constFind(typeCode);
    if (it == m_handlers.constEnd())
        return false;
    const auto h = it->constFind(command);
    if (h == it->constEnd())
        return false;
    // a copy: the handler may change the menus while it runs
    const Handler handler = *h;
    handler(target);
    return true;
}

void CExplorerMenu::SetCheckState(int typeCode, const QString &command, CheckState state)
{
    if (state)
        m_checkStates[typeCode].insert(command, std::move(state));
    else
        m_checkStates[typeCode].remove(command);
}

CExplorerMenu::CheckState CExplorerMenu::CheckStateOf(int typeCode, const QString &command) const
{
    return m_checkStates.value(typeCode).value(command);
}
