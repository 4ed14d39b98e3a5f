#include "derivedtreesinstall.h"

#include "derivedtrees.h"
#include "derivetexts.h"

#include "app/mainframe.h"
#include "editor/childframe.h"
#include "editor/editorinstall.h"
#include "editor/editortexts.h"
#include "editor/tessel1doc.h"
#include "editor/tessel1view.h"
#include "editor/treewindows.h"
#include "explorer/explorertexts.h"
#include "explorer/kelnavigatetree.h"
#include "model/keldatamanager.h"

#include <QAction>
#include <QMenu>

void InstallDerivedTrees(CMainFrame &frame, CEditor &editor)
{
    CTreeWindows &windows = editor.Windows();
    auto *d = new CDerivedTrees(frame.Manager(), windows, frame.Dialogs(), &frame, &frame);

    // the explorer's rows and folders
    CExplorerMenu &menu = frame.Explorer()->Menu();
    auto inWindow = [&windows](int dbtId, auto act) {
        if (CChildFrame *f = windows.Open(dbtId))
            act(f->View());
    };
    menu.SetHandler(KEL::DBT, DeriveTexts::GetRbts, [d](const CExplorerTarget &t) { d->GetRBTs(t.elementId); });
    menu.SetHandler(KEL::DBT, DeriveTexts::MarkIntegrationPoints, [d, inWindow](const CExplorerTarget &t) {
        inWindow(t.elementId, [d](CTessel1View &v) { d->ToggleIntegrationPoints(v); });
    });
    menu.SetHandler(KEL::DBT, DeriveTexts::MarkMissingPrecondition, [d, inWindow](const CExplorerTarget &t) {
        inWindow(t.elementId, [d](CTessel1View &v) { d->ToggleMissingPreconditions(v); });
    });
    // checked like the tree window's entries while the mark is on there
    auto markOn = [&windows](bool (CTessel1View::*on)() const) {
        return [&windows, on](const CExplorerTarget &t) {
            const CChildFrame *f = windows.Find(t.elementId);
            return f && (f->View().*on)();
        };
    };
    menu.SetCheckState(KEL::DBT, DeriveTexts::MarkIntegrationPoints, markOn(&CTessel1View::MarkIntegrationPoints));
    menu.SetCheckState(KEL::DBT, DeriveTexts::MarkMissingPrecondition, markOn(&CTessel1View::MarkMissingPrecondition));
    for (int kind : {KEL::RBT, KEL::DBT})
        menu.SetHandler(kind, DeriveTexts::CreateCbt, [d](const CExplorerTarget &t) { d->CreateCBT(t.elementId); });
    menu.SetHandler(KEL::EVT, ExplorerTexts::EvolutionaryCbt,
                    [d](const CExplorerTarget &t) { d->CreateCBT(t.elementId); });
    CKELDataManager &manager = frame.Manager();
    menu.SetHandler(KEL::CBTs, ExplorerTexts::NewCbt, [d, &manager](const CExplorerTarget &t) {
        const CKELData *folder = manager.Lookup(t.elementId);
        d->CreateCBT(folder && folder->GetParent() ? folder->GetParent()->GetId() : 0);
    });
    menu.SetHandler(KEL::EVTs, ExplorerTexts::AddEvolutionTree,
                    [d](const CExplorerTarget &) { d->AddEvolutionTree(); });

    // the tree views' context menus
    CViewMenuCommands &commands = windows.MenuCommands();
    auto treeOf = [](CTessel1View &v) { return v.Document().ElementId(); };
    commands.append({.menu = EditorTexts::MenuDbtNoWhere,
                     .text = DeriveTexts::GetRbts,
                     .run = [d, treeOf](CTessel1View &v, int, const QPointF &) { d->GetRBTs(treeOf(v)); }});
    // checked while on, so that the user sees a mark mode is on
    commands.append({.menu = EditorTexts::MenuDbtNoWhere,
                     .text = DeriveTexts::MarkIntegrationPoints,
                     .run = [d](CTessel1View &v, int, const QPointF &) { d->ToggleIntegrationPoints(v); },
                     .checked = [](const CTessel1View &v) { return v.MarkIntegrationPoints(); }});
    commands.append({.menu = EditorTexts::MenuDbtNoWhere,
                     .text = DeriveTexts::MarkMissingPrecondition,
                     .run = [d](CTessel1View &v, int, const QPointF &) { d->ToggleMissingPreconditions(v); },
                     .checked = [](const CTessel1View &v) { return v.MarkMissingPrecondition(); }});
    commands.append({.menu = EditorTexts::MenuDbtNode,
                     .text = DeriveTexts::MarkAllMatchingNodes,
                     .run = [d](CTessel1View &v, int node, const QPointF &) { d->MarkAllMatchingNodes(v, node); }});
    commands.append({.menu = EditorTexts::MenuDbtNode,
                     .text = DeriveTexts::IntegrateThisRbt,
                     .run = [d](CTessel1View &v, int node, const QPointF &) { d->IntegrateThisRBT(v, node); }});
    commands.append({.menu = EditorTexts::MenuDbtNode,
                     .text = DeriveTexts::IntegrateNextMatchingRbt,
                     .run = [d](CTessel1View &v, int node, const QPointF &) { d->IntegrateNextMatchingRBT(v, node); }});
    for (const QString &where : {EditorTexts::MenuRbtNoWhere, EditorTexts::MenuDbtNoWhere})
        commands.append({.menu = where,
                         .text = DeriveTexts::CreateCbt,
                         .run = [d, treeOf](CTessel1View &v, int, const QPointF &) { d->CreateCBT(treeOf(v)); }});

    // the main menu
    if (QMenu *model = frame.MenuNamed(QStringLiteral("&Model"))) {
        model->addSeparator();
        QAction *view = model->addAction(DeriveTexts::ViewCbt, d, [d] { d->ViewCBT(); });
        view->setObjectName(QStringLiteral("actionViewCBT"));
    }
}
