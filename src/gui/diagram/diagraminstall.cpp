#include "diagraminstall.h"

#include "diagramcommands.h"
#include "diagramwindows.h"

#include "app/mainframe.h"
#include "editor/childframe.h"
#include "editor/editorinstall.h"
#include "editor/tessel1doc.h"
#include "editor/tessel1view.h"
#include "editor/treewindows.h"
#include "explorer/explorermenu.h"
#include "explorer/kelnavigatetree.h"
#include "model/keldatamanager.h"

#include <QMenu>

void InstallDiagrams(CMainFrame &frame, CEditor &editor)
{
    CKELDataManager &manager = frame.Manager();
    auto *windows = new CDiagramWindows(manager, *frame.MdiArea(), frame.Dialogs(), &frame);
    windows->setObjectName(QStringLiteral("diagramWindows"));
    auto *commands = new CDiagramCommands(manager, *windows, frame.Dialogs(), &frame, &frame);
    commands->setObjectName(QStringLiteral("diagramCommands"));
    CTreeWindows *trees = &editor.Windows();
    commands->SetCurrentTree([trees] {
        const CTessel1View *view = trees->ActiveView();
        return view ? view->Document().GetTreeId() : 0;
    });

    // diagrams open here, everything else where it opened before
    frame.SetTreeOpener([prev = frame.TreeOpener(), windows, &manager](int id) {
        if (CDiagramWindows::IsDiagram(manager, id))
            windows->Open(id);
        else if (prev)
            prev(id);
    });

    CExplorerMenu &menu = frame.Explorer()->Menu();
    for (int kind : {KEL::RBT, KEL::DBT}) {
        menu.SetHandler(kind, QStringLiteral("Create CIN"),
                        [commands](const CExplorerTarget &t) { commands->CreateCIN(t.elementId); });
        menu.SetHandler(kind, QStringLiteral("Create CID"),
                        [commands](const CExplorerTarget &t) { commands->CreateCID(t.elementId); });
    }
    menu.SetHandler(KEL::EVT, QStringLiteral("Evolutionary CIN"),
                    [commands](const CExplorerTarget &t) { commands->CreateCIN(t.elementId); });
    menu.SetHandler(KEL::EVT, QStringLiteral("Evolutionary CID"),
                    [commands](const CExplorerTarget &t) { commands->CreateCID(t.elementId); });
    // the folder stands right under the tree its diagrams come from
    menu.SetHandler(KEL::CIDs, QStringLiteral("New CID"), [commands, &manager](const CExplorerTarget &t) {
        const CKELData *folder = manager.Lookup(t.elementId);
        const CKELData *tree = folder ? folder->GetParent() : nullptr;
        commands->CreateCID(tree && tree->IsTree() ? tree->GetId() : 0);
    });

    // beside "View CBT", with the other model commands
    QMenu *model = frame.MenuNamed(QStringLiteral("&Model"));
    model->addSeparator();
    QAction *viewCin = model->addAction(QStringLiteral("View CIN"), commands, [commands] { commands->ViewCIN(); });
    viewCin->setObjectName(QStringLiteral("actionViewCIN"));
    QAction *viewCid = model->addAction(QStringLiteral("View CID"), commands, [commands] { commands->ViewCID(); });
    viewCid->setObjectName(QStringLiteral("actionViewCID"));

    // tree-wide commands: offered on the empty canvas of RBT and IBT views
    for (const QString &popup : {QStringLiteral("RBT_NoWhere"), QStringLiteral("DBT_NoWhere")}) {
        trees->MenuCommands().append(
            {popup, QStringLiteral("Create CIN"), [commands](CTessel1View &v, int, const QPointF &) {
                 if (const int tree = v.Document().GetTreeId())
                     commands->CreateCIN(tree);
             }});
        trees->MenuCommands().append(
            {popup, QStringLiteral("Create CID"), [commands](CTessel1View &v, int, const QPointF &) {
                 if (const int tree = v.Document().GetTreeId())
                     commands->CreateCID(tree);
             }});
    }
}
