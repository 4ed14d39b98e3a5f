#pragma once

#include "derive/cid.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>

class CDiagramWindow;
class CDialogRunner;
class CKELDataManager;
class CKELTree;
class QMdiArea;

// Opens, finds and closes the windows of the derived diagrams (CINs and
// CIDs). A window follows the model: it closes when its diagram, the tree
// it was derived from or the whole solution goes.
class CDiagramWindows : public QObject
{
    Q_OBJECT
public:
    CDiagramWindows(CKELDataManager &manager, QMdiArea &area, CDialogRunner &dialogs, QObject *parent = nullptr);

    // Shows the diagram's window, opening it when needed; null when the
    // element is not a CIN or a CID.
    CDiagramWindow *Open(int diagramId);
    CDiagramWindow *Find(int diagramId) const;
    QList<CDiagramWindow *> Windows() const;
    void CloseAll();
    static bool IsDiagram(const CKELDataManager &manager, int elementId);

    // The next diagram of this kind that the model makes from treeId opens
    // in a window. Asked before the command is sent, so that in a shared
    // solution the window opens when the server's record comes back.
    void ExpectNew(int typeCode, int treeId);
    void CancelExpected(int typeCode, int treeId);

    // The tree a CIN or a CID was derived from.
    static const CKELTree *SourceOf(const CKELDataManager &manager, int diagramId);
    // The boxes a CID had when it was made: it is built once, so later
    // edits of its tree do not show in it.
    QList<Cid::Box> BoxesOf(int cidId);

    // Asks for a file and writes the window's picture there.
    bool Export(CDiagramWindow &window);

private:
    void onElementAdded(int id);
    void onElementChanged(int id);
    void onElementAboutToBeRemoved(int id);
    void onSolutionReplaced();
    void build(CDiagramWindow &window);
    QString titleOf(int diagramId) const;

    CKELDataManager &m_manager;
    QMdiArea &m_area;
    CDialogRunner &m_dialogs;
    QHash<int, QPointer<CDiagramWindow>> m_windows;
    QHash<int, QList<Cid::Box>> m_cidBoxes;
    QList<QPair<int, int>> m_expected; // type code, tree id
};
