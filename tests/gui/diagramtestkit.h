#pragma once

// A main window with the tree editor and the diagram windows installed,
// the example solution open, and the helpers the diagram tests share.

#include "guitestkit.h"
#include "scriptedprompt.h"

#include "app/mainframe.h"
#include "app/programparts.h"
#include "diagram/diagraminstall.h"
#include "diagram/diagramwindow.h"
#include "diagram/diagramwindows.h"
#include "editor/editorinstall.h"
#include "explorer/explorermenu.h"
#include "explorer/kelnavigatetree.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/nodeattributes.h"

#include <QCoreApplication>
#include <QDir>
#include <QMdiArea>

#include <memory>

namespace DiagramTestKit {

struct Frame
{
    CScriptedPrompt prompt;
    GuiTestKit::CDialogScript script;
    std::unique_ptr<CMainFrame> frame;
    CEditor *editor = nullptr;
    CDiagramWindows *windows = nullptr;

    Frame()
    {
        frame = std::make_unique<CMainFrame>();
        frame->SetPrompt(&prompt);
        script.Install(frame->Dialogs());
        editor = InstallEditor(*frame);
        InstallDiagrams(*frame, *editor);
        windows = frame->findChild<CDiagramWindows *>();
        frame->resize(1200, 800);
        if (!frame->OpenFile(GuiTestKit::ExampleSolution()))
            qFatal("cannot open the example");
    }
    ~Frame()
    {
        // nothing may ask on the way out
        frame->Manager().CloseSolution();
    }
    CKELDataManager &model() { return frame->Manager(); }

    // Runs an explorer entry as a right click would, once it is offered.
    bool runExplorer(int elementId, const QString &command)
    {
        const CKELData *e = model().Lookup(elementId);
        if (!e || !frame->Explorer()->Menu().Shown(e->GetTypeCode()).contains(command))
            return false;
        return frame->Explorer()->Menu().Run(e->GetTypeCode(), command, {elementId, 0});
    }

    CKELTree *tree(int folderType, const QString &name, const CKELVersion *version = nullptr)
    {
        return model().FindTree(folderType, name, version);
    }

    // The one diagram window open, or null.
    CDiagramWindow *onlyWindow() const
    {
        const QList<CDiagramWindow *> all = windows->Windows();
        return all.size() == 1 ? all.first() : nullptr;
    }
};

// Adds a node under parent (0: a root) and returns its id.
inline int AddNode(CKELDataManager &m, CKELTree &tree, int parent, const QString &component, const QString &behavior,
                   int behaviorType = KEL::StateRealisation)
{
    CNodeAttributes a;
    a.component = component;
    a.behavior = behavior;
    a.behaviorType = behaviorType;
    a.requirementTag = QStringLiteral("R9");
    if (!m.AddNode(tree.GetId(), parent, a, 80, 80))
        return 0;
    const QList<CKELMethod *> nodes = tree.Nodes();
    return nodes.isEmpty() ? 0 : nodes.last()->GetId();
}

inline QString ScreenshotPath(const QString &name)
{
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(dir);
    return dir + u'/' + name;
}

} // namespace DiagramTestKit
