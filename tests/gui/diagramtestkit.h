#pragma once

// A main window with the tree editor and the diagram windows installed,
// the example solution open, and the helpers the diagram tests share.

#include "guitestkit.h"

#include "diagram/diagraminstall.h"
#include "diagram/diagramwindow.h"
#include "diagram/diagramwindows.h"
#include "model/kelmethod.h"
#include "model/nodeattributes.h"

#include <QMdiArea>

#include <memory>

namespace DiagramTestKit {

struct Frame : GuiTestKit::Frame
{
    CDiagramWindows *diagrams = nullptr;

    static CEditor *DiagramParts(CMainFrame &frame)
    {
        CEditor *editor = InstallEditor(frame);
        InstallDiagrams(frame, *editor);
        return editor;
    }
    Frame() : GuiTestKit::Frame(DiagramParts)
    {
        diagrams = frame->findChild<CDiagramWindows *>();
        frame->resize(1200, 800);
        if (!open())
            qFatal("cannot open the example");
    }

    // The one diagram window open, or null.
    CDiagramWindow *onlyWindow() const
    {
        const QList<CDiagramWindow *> all = diagrams->Windows();
        return all.size() == 1 ? all.first() : nullptr;
    }
};

// Adds a node under parent (0: a root) and returns its id.
inline int AddNode(CKELDataManager &m, const CKELTree &tree, int parent, const QString &component,
                   const QString &behavior, int behaviorType = KEL::StateRealisation)
{
    CNodeAttributes a;
    a.component = component;
    a.behavior = behavior;
    a.behaviorType = behaviorType;
    a.requirementTag = QStringLiteral("R9");
    if (!m.AddNode(tree.GetId(), parent, a, 80, 80))
        return 0;
    const QList<const CKELMethod *> nodes = tree.Nodes();
    return nodes.isEmpty() ? 0 : nodes.last()->GetId();
}

} // namespace DiagramTestKit
