#include "reqimportinstall.h"
#include "reqimportguitexts.h"
#include "app/apptexts.h"

#include "reqifcommands.h"
#include "reqtadlg.h"

#include "app/mainframe.h"
#include "editor/editorinstall.h"
#include "editor/treewindows.h"

#include <QAction>
#include <QMenu>
#include <QPointer>

#include <memory>

void InstallReqImport(CMainFrame &frame, CEditor &editor)
{
    QMenu *menu = frame.MenuNamed(AppTexts::ModelMenu);
    menu->addSeparator();
    QAction *action = menu->addAction(ReqImportGuiTexts::ImportRequirementsEntry);
    action->setObjectName(QStringLiteral("actionImportRequirements"));
    // the dialog deletes itself when closed; the pointer then reads null
    auto open = std::make_shared<QPointer<CReqTADlg>>();
    QPointer<CTreeWindows> windows(&editor.Windows());
    QObject::connect(action, &QAction::triggered, &frame, [&frame, open, windows] {
        if (!*open) {
            *open = new CReqTADlg(frame.Manager(), frame.Dialogs(), windows.data(), &frame);
            (*open)->show();
        }
        (*open)->raise();
        (*open)->activateWindow();
    });
    InstallRequirementExchange(frame);
}
