#include "programparts.h"
#include "apptexts.h"

#include "mainframe.h"

#include "collab/collabinstall.h"
#include "derive/derivedtreesinstall.h"
#include "diagram/diagraminstall.h"
#include "editor/editorinstall.h"
#include "reqimport/reqimportinstall.h"
#include "simulate/simulateinstall.h"
#include "translate/translateinstall.h"

#include <QToolBar>

CEditor *InstallEditor(CMainFrame &frame)
{
    CEditorHost host;
    host.window = &frame;
    host.manager = &frame.Manager();
    host.mdiArea = frame.MdiArea();
    host.panDock = frame.PanDock();
    host.formatBar = frame.FormatBar();
    host.alignBar = frame.AlignBar();
    host.statusBar = frame.statusBar();
    host.dialogs = &frame.Dialogs();
    host.menuNamed = [&frame](const QString &title) { return frame.MenuNamed(title); };
    host.setTreeOpener = [&frame](std::function<void(int)> opener) { frame.SetTreeOpener(std::move(opener)); };
    for (QToolBar *bar : frame.findChildren<QToolBar *>()) {
        if (bar->windowTitle() == AppTexts::ProductToolbar)
            host.treeBar = bar;
    }
    return InstallEditor(host);
}

CEditor *InstallProgramParts(CMainFrame &frame, bool collaboration)
{
    CEditor *editor = InstallEditor(frame);
    if (!editor)
        return nullptr;
    InstallDerivedTrees(frame, *editor);
    // wraps the tree opener the editor set, so it comes after the editor
    InstallDiagrams(frame, *editor);
    InstallTranslate(frame, *editor);
    InstallSimulate(frame, *editor);
    InstallReqImport(frame, *editor);
    if (collaboration)
        InstallCollab(frame, *editor);
    return editor;
}
