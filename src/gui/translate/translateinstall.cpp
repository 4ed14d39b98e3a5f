#include "translateinstall.h"

#include "translatecommands.h"
#include "translateguitexts.h"

#include "app/mainframe.h"
#include "editor/editorinstall.h"
#include "editor/tessel1doc.h"
#include "editor/treewindows.h"
#include "explorer/kelnavigatetree.h"
#include "model/keltypes.h"

#include <QAction>
#include <QMenu>

namespace {

QMenu *submenuNamed(QMenu &menu, const QString &title, const QString &objectName)
{
    for (QAction *a : menu.actions()) {
        if (a->menu() && a->text() == title)
            return a->menu();
    }
    QMenu *sub = menu.addMenu(title);
    sub->setObjectName(objectName);
    return sub;
}

QAction *addAction(QMenu &menu, const QString &text, const QString &objectName, const QString &tip)
{
    QAction *a = menu.addAction(text);
    a->setObjectName(objectName);
    a->setStatusTip(tip);
    return a;
}

} // namespace

void InstallTranslate(CMainFrame &frame, CEditor &editor)
{
    auto *commands = new CTranslateCommands(frame);
    commands->setObjectName(QStringLiteral("translateCommands"));
    CTreeWindows &windows = editor.Windows();
    const auto activeTree = [&windows] {
        const CTessel1View *view = windows.ActiveView();
        return view ? view->Document().GetTreeId() : 0;
    };

    // Main menu: with no tree implied the user picks one, the active window's first.
    QMenu *checking = submenuNamed(*frame.MenuNamed(QStringLiteral("&Tool")), TranslateGuiTexts::ModelChecking,
                                   QStringLiteral("menuModelChecking"));
    QObject::connect(addAction(*checking, TranslateGuiTexts::SalOption, QStringLiteral("actionSalOption"),
                               TranslateGuiTexts::SalOptionTip),
                     &QAction::triggered, commands, [commands] { commands->ShowOptions(); });
    checking->addSeparator();
    QMenu *sal = submenuNamed(*checking, TranslateGuiTexts::TranslateToSal, QStringLiteral("menuTranslateToSal"));
    const struct
    {
        QMenu *menu;
        QString text;
        QString objectName;
        CTranslateCommands::Kind kind;
        QString tip;
    } entries[] = {
        {sal, TranslateGuiTexts::Normal, QStringLiteral("actionTranslateSal"), CTranslateCommands::Sal,
         TranslateGuiTexts::SelectBtSal},
        {sal, TranslateGuiTexts::WithSets, QStringLiteral("actionTranslateSalSets"), CTranslateCommands::SalWithSets,
         TranslateGuiTexts::SelectBtSalSets},
        {checking, TranslateGuiTexts::TranslateToUppaal, QStringLiteral("actionTranslateUppaal"),
         CTranslateCommands::Uppaal, TranslateGuiTexts::SelectBtUppaal},
    };
    for (const auto &e : entries) {
        const CTranslateCommands::Kind kind = e.kind;
        QObject::connect(addAction(*e.menu, e.text, e.objectName, e.tip), &QAction::triggered, commands,
                         [commands, kind, activeTree] { commands->TranslateChosen(kind, activeTree()); });
    }

    // The tree views: the view's own tree.
    const auto inView = [commands](CTranslateCommands::Kind kind) {
        return [commands, kind](CTessel1View &view, int, const QPointF &) {
            commands->Translate(view.Document().GetTreeId(), kind);
        };
    };
    for (const QString &menu : {QStringLiteral("RBT_NoWhere"), QStringLiteral("RBT_Node"),
                                QStringLiteral("DBT_NoWhere"), QStringLiteral("DBT_Node")}) {
        windows.MenuCommands().append(
            {menu, TranslateGuiTexts::Normal, inView(CTranslateCommands::Sal), TranslateGuiTexts::TranslateToSal});
        windows.MenuCommands().append({menu, TranslateGuiTexts::WithSets, inView(CTranslateCommands::SalWithSets),
                                       TranslateGuiTexts::TranslateToSal});
        windows.MenuCommands().append({menu, TranslateGuiTexts::TranslateToUppaal, inView(CTranslateCommands::Uppaal)});
    }

    // The explorer's tree menus have the one entry, the plain translation.
    for (const int kind : {int(KEL::RBT), int(KEL::DBT), int(KEL::EVT)}) {
        frame.Explorer()->Menu().SetHandler(kind, TranslateGuiTexts::TranslateToSal,
                                            [commands](const CExplorerTarget &target) {
                                                commands->Translate(target.elementId, CTranslateCommands::Sal);
                                            });
    }
}
