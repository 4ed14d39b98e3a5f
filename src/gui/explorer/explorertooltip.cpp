#include "explorertooltip.h"

#include "model/keldata.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/kelrequirement.h"
#include "model/keltree.h"
#include "model/keltypes.h"

namespace {

QString kindOf(int typeCode)
{
    switch (typeCode) {
    case KEL::Solution: return QStringLiteral("Solution");
    case KEL::Project: return QStringLiteral("Project");
    case KEL::Version: return QStringLiteral("Version");
    case KEL::Requirement: return QStringLiteral("Requirement");
    case KEL::Component: return QStringLiteral("Component");
    case KEL::State: return QStringLiteral("State");
    case KEL::RBT: return QStringLiteral("Requirement behavior tree");
    case KEL::DBT: return QStringLiteral("Design behavior tree");
    case KEL::CBT: return QStringLiteral("Component behavior tree");
    case KEL::EVT: return QStringLiteral("Evolution tree");
    case KEL::CIN: return QStringLiteral("Component interaction network");
    case KEL::CID: return QStringLiteral("Component interface diagram");
    case KEL::Method: return QStringLiteral("Node");
    default: return QStringLiteral("Folder");
    }
}

QString count(qsizetype n, const QString &one, const QString &many)
{
    return QStringLiteral("%1 %2").arg(n).arg(n == 1 ? one : many);
}

// the tooltip a requirement carries is its description; others keep a placeholder
QString ownText(const CKELData &e)
{
    if (e.GetTypeCode() != KEL::Requirement || e.GetToolTip() == u"Custom Tool Tip")
        return QString();
    return e.GetToolTip();
}

} // namespace

namespace ExplorerToolTip {

QString For(const CKELDataManager &manager, const CKELData &e)
{
    const int type = e.GetTypeCode();
    if (type == KEL::Method)
        return ForNode(manager, static_cast<const CKELMethod &>(e));
    const bool folder = kindOf(type) == u"Folder";
    // a folder is named by what it holds
    QString text = folder ? e.GetLabel() : kindOf(type) + QStringLiteral(" \"") + e.GetName() + u'"';
    if (e.IsTree()) {
        text +=
            QStringLiteral(", ")
            + count(static_cast<const CKELTree &>(e).Nodes().size(), QStringLiteral("node"), QStringLiteral("nodes"));
    } else if (type == KEL::Component) {
        text += QStringLiteral(", ")
                + count(qsizetype(e.Children().size()), QStringLiteral("state"), QStringLiteral("states"));
    } else if (folder) {
        text += QStringLiteral(", ")
                + count(qsizetype(e.Children().size()), QStringLiteral("entry"), QStringLiteral("entries"));
    }
    if (const QString own = ownText(e); !own.isEmpty())
        text += u'\n' + own;
    return text;
}

QString ForNode(const CKELDataManager &manager, const CKELMethod &node)
{
    QString text = QStringLiteral("Node %1 %2").arg(node.component, node.GetDecoratedBehavior());
    if (node.requirementTag.isEmpty())
        return text;
    text += QStringLiteral("\nRequirement ") + node.requirementTag;
    const CKELData *requirement = manager.FindRequirement(node.requirementTag, manager.VersionOf(&node));
    if (const QString description = requirement ? ownText(*requirement) : QString(); !description.isEmpty())
        text += QStringLiteral(": ") + description;
    return text;
}

} // namespace ExplorerToolTip
