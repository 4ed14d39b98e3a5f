#include "explorermenu.h"

#include "model/keltypes.h"

QStringList CExplorerMenu::Layout(int typeCode)
{
    const QString sep;
    const QString open = QStringLiteral("Open");
    const QString remove = QStringLiteral("Remove");
    const QStringList translate{QStringLiteral("Translate to SAL"), QStringLiteral("Simulate with ZEPH")};
    const QStringList derive{QStringLiteral("Create CBT"), QStringLiteral("Create CID"), QStringLiteral("Create CIN")};
    switch (typeCode) {
    case KEL::Version: return {QStringLiteral("New Version"), QStringLiteral("Set as Current Version")};
    case KEL::Requirements: return {QStringLiteral("New Requirement")};
    case KEL::Requirement: return {QStringLiteral("Change"), remove};
    case KEL::Components: return {QStringLiteral("New Component")};
    case KEL::Component:
        return {QStringLiteral("Rename"), QStringLiteral("Change Behaviors"), QStringLiteral("Remove ")};
    case KEL::State: return {remove};
    case KEL::RBTs: return {QStringLiteral("New RBT")};
    case KEL::RBT:
        return QStringList{open, QStringLiteral("Change "), remove, sep} + translate + QStringList{sep} + derive;
    case KEL::DBTs: return {QStringLiteral("New IBT")};
    case KEL::DBT:
        return QStringList{open,
                           QStringLiteral("Rename"),
                           remove,
                           sep,
                           QStringLiteral("Get RBTs"),
                           QStringLiteral("Mark Integration Points"),
                           QStringLiteral("Mark Missing Precondition"),
                           sep}
               + translate + QStringList{sep} + derive;
    case KEL::CBTs: return {QStringLiteral("New CBT")};
    case KEL::CBT:
    case KEL::CIN:
    case KEL::CID: return {open, remove};
    case KEL::CIDs: return {QStringLiteral("New CID")};
    case KEL::EVTs: return {QStringLiteral("Add Evolution Tree")};
    case KEL::EVT:
        return QStringList{open, remove, sep} + translate
               + QStringList{sep, QStringLiteral("Evolutionary CBT"), QStringLiteral("Evolutionary CIN"),
                             QStringLiteral("Evolutionary CID")};
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
