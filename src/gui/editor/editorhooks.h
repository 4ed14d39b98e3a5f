#pragma once

#include "model/nodeattributes.h"

#include <QList>
#include <QPointF>
#include <QString>

#include <functional>

class CDialogRunner;
class CKELDataManager;
class CKELTree;
class CTessel1View;
class QWidget;

// What becomes of the children of removed nodes.
enum class CRemoveChoice { WholeSubtree, KeepChildren, Cancel };

// How the tree windows ask the user for a node's attributes and its extra
// information, and what to do with the children of a node being removed.
// The application points these at its dialogs; tests answer in code. The
// first two return false when the user cancelled.
struct CEditorDialogs
{
    std::function<bool(QWidget *parent, const CKELTree &tree, CNodeAttributes &attributes, bool isNew)> nodeAttributes;
    std::function<bool(QWidget *parent, QStringList &tags, QStringList &names)> extraInfo;
    // Unset, removal keeps the children as roots: nothing is lost unasked.
    std::function<CRemoveChoice(QWidget *parent, int childCount)> removeChildren;
};

// "New Node or Change Node" and "Add Extra Information", run through the
// application's dialog runner.
CEditorDialogs StandardEditorDialogs(CKELDataManager &manager, CDialogRunner &runner);

// A command that another part of the program (integration, simulation, ...)
// adds to a tree view's context menu.
struct CViewMenuCommand
{
    QString menu; // "RBT_NoWhere", "RBT_Node", "DBT_NoWhere", "DBT_Node" or "RBT_LINK"
    QString text;
    // clickedNodeId is 0 on empty canvas and on a link
    std::function<void(CTessel1View &view, int clickedNodeId, const QPointF &scenePos)> run;
    // When set, the entry goes into a submenu of this title, one per menu.
    QString submenu = {};
    // When set, the entry is a check box showing this state of the view.
    std::function<bool(const CTessel1View &view)> checked = {};
};
using CViewMenuCommands = QList<CViewMenuCommand>;
