#include "simulateinstall.h"
#include "simulatetexts.h"

#include "simulationcommands.h"

#include "app/mainframe.h"
#include "editor/editorinstall.h"
#include "editor/tessel1doc.h"
#include "editor/tessel1view.h"
#include "editor/treewindows.h"
#include "explorer/kelnavigatetree.h"

#include "model/keltypes.h"

#include <QMenu>

void InstallSimulate(CMainFrame &frame, CEditor &editor)
{
    auto *commands = new CSimulationCommands(frame.Manager(), frame.Dialogs(), editor.Windows(), &frame);

    QAction *simulation = frame.MenuNamed(QStringLiteral("&Tool"))->addAction(SimulateTexts::Simulation);
    simulation->setObjectName(QStringLiteral("actionSimulation"));
    // the tree the user looks at is the one they most likely mean
    QObject::connect(simulation, &QAction::triggered, commands, [commands, &editor] {
        const CTessel1View *view = editor.Windows().ActiveView();
        commands->OpenDialog(view ? view->Document().ElementId() : 0);
    });

    // Tool > Model Checking holds the translations as well; whichever comes first makes it
    QMenu *tool = frame.MenuNamed(QStringLiteral("&Tool"));
    QMenu *checking = nullptr;
    for (QAction *a : tool->actions()) {
        if (a->menu() && a->text() == SimulateTexts::ModelChecking)
            checking = a->menu();
    }
    if (!checking) {
        checking = tool->addMenu(SimulateTexts::ModelChecking);
        checking->setObjectName(QStringLiteral("menuModelChecking"));
    }
    QAction *verify = checking->addAction(SimulateTexts::VerifyMenu);
    verify->setObjectName(QStringLiteral("actionVerify"));
    verify->setStatusTip(SimulateTexts::VerifyStatusTip);
    QObject::connect(verify, &QAction::triggered, commands, [commands, &editor] {
        const CTessel1View *view = editor.Windows().ActiveView();
        commands->OpenVerifyDialog(view ? view->Document().ElementId() : 0);
    });

    const QString text = SimulateTexts::SimulateWithZeph;
    for (const char *menu : {"RBT_NoWhere", "RBT_Node", "DBT_NoWhere", "DBT_Node"}) {
        CViewMenuCommand c;
        c.menu = QLatin1String(menu);
        c.text = text;
        c.run = [commands](CTessel1View &view, int, const QPointF &) {
            commands->OpenDialog(view.Document().ElementId(), true);
        };
        editor.Windows().MenuCommands().append(c);
    }
    for (int kind : {int(KEL::RBT), int(KEL::DBT), int(KEL::EVT)})
        frame.Explorer()->Menu().SetHandler(
            kind, text, [commands](const CExplorerTarget &target) { commands->OpenDialog(target.elementId, true); });
}
