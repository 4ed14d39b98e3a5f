#include "explorertooltip.h"

#include "explorertexts.h"

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
    case KEL::Solution: return ExplorerTexts::KindSolution;
    case KEL::Project: return ExplorerTexts::KindProject;
    case KEL::Version: return ExplorerTexts::KindVersion;
    case KEL::Requirement: return ExplorerTexts::KindRequirement;
    case KEL::Component: return ExplorerTexts::KindComponent;
    case KEL::State: return ExplorerTexts::KindState;
    case KEL::RBT: return ExplorerTexts::KindRbt;
    case KEL::DBT: return ExplorerTexts::KindDbt;
    case KEL::CBT: return ExplorerTexts::KindCbt;
    case KEL::EVT: return ExplorerTexts::KindEvt;
    case KEL::CIN: return ExplorerTexts::KindCin;
    case KEL::CID: return ExplorerTexts::KindCid;
    case KEL::Method: return ExplorerTexts::KindNode;
    default: return ExplorerTexts::KindFolder;
    }
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
    const bool folder = kindOf(type) == ExplorerTexts::KindFolder;
    // a folder is named by what it holds
    QString text = folder ? e.GetLabel() : ExplorerTexts::Named(kindOf(type), e.GetName());
    if (e.IsTree()) {
        text += ExplorerTexts::Count(static_cast<const CKELTree &>(e).Nodes().size(), ExplorerTexts::Node,
                                     ExplorerTexts::Nodes);
    } else if (type == KEL::Component) {
        text += ExplorerTexts::Count(qsizetype(e.Children().size()), ExplorerTexts::StateOne, ExplorerTexts::States);
    } else if (folder) {
        text += ExplorerTexts::Count(qsizetype(e.Children().size()), ExplorerTexts::Entry, ExplorerTexts::Entries);
    }
    if (const QString own = ownText(e); !own.isEmpty())
        text += u'\n' + own;
    return text;
}

QString ForNode(const CKELDataManager &manager, const CKELMethod &node)
{
    QString text = ExplorerTexts::NodeTip(node.component, node.GetDecoratedBehavior());
    if (node.requirementTag.isEmpty())
        return text;
    text += ExplorerTexts::NodeRequirement(node.requirementTag);
    const CKELData *requirement = manager.FindRequirement(node.requirementTag, manager.VersionOf(&node));
    if (const QString description = requirement ? ownText(*requirement) : QString(); !description.isEmpty())
        text += ExplorerTexts::NodeRequirementText(description);
    return text;
}

} // namespace ExplorerToolTip
