// Copy, cut, paste and duplicate of nodes with everything below them; each
// change of the model is one step of the solution's history.
#include "tessel1view.h"

#include "editortexts.h"
#include "kelnodeshape.h"
#include "nodeclipboard.h"
#include "tessel1doc.h"

#include "canvas/canvasscene.h"
#include "edit/clipboardrecords.h"
#include "edit/editstep.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/treeops.h"

#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QMimeData>
#include <QSet>

#include <algorithm>

namespace {

// Where a pasted subtree goes below the node it is pasted under, and how
// far a duplicate stands off its original.
constexpr int kBelowGap = 50;
constexpr int kDuplicateOffset = 30;

} // namespace

QList<int> CTessel1View::SelectedSubtreeRoots() const
{
    const QList<int> selected = SelectedNodeIds();
    const QSet<int> chosen(selected.begin(), selected.end());
    QList<int> roots;
    for (int id : selected) {
        // a node below another selected one travels with it
        bool inside = false;
        qsizetype guard = chosen.size() + (tree() ? tree()->ChildCount() : 0);
        for (const CKELMethod *up = node(id) ? node(node(id)->ParentId()) : nullptr; up && guard-- > 0;
             up = node(up->ParentId())) {
            if (chosen.contains(up->GetId())) {
                inside = true;
                break;
            }
        }
        if (!inside)
            roots.append(id);
    }
    return roots;
}

bool CTessel1View::CopySelection()
{
    const QList<int> roots = SelectedSubtreeRoots();
    if (roots.isEmpty())
        return false;
    const CKELDataManager &m = m_doc.Manager();
    std::unique_ptr<QMimeData> data = NodeClipboard::Encode(CopyNodesAsRecords(m, roots), CopyNodesAsText(m, roots));
    QGuiApplication::clipboard()->setMimeData(data.release());
    return true;
}

bool CTessel1View::CutSelection()
{
    if (!treeIdForEdits() || !CopySelection())
        return false;
    CKELDataManager &m = m_doc.Manager();
    CEditStep step(m, EditorTexts::Cut);
    return m.RemoveNodes(SelectedSubtreeRoots(), CKELDataManager::RemoveMode::Subtree);
}

bool CTessel1View::CanPaste() const
{
    return treeIdForEdits() && !NodeClipboard::Decode(QGuiApplication::clipboard()->mimeData()).trimmed().isEmpty();
}

QPoint CTessel1View::PastePlace() const
{
    // the mouse when it is over the canvas, else the middle of what is shown
    const QPoint mouse = viewport()->mapFromGlobal(QCursor::pos());
    const QPoint at = viewport()->rect().contains(mouse) ? mouse : viewport()->rect().center();
    const QPointF scenePos = mapToScene(at);
    return QPoint(std::max(0, qRound(scenePos.x())), std::max(0, qRound(scenePos.y())));
}

bool CTessel1View::Paste()
{
    const int parentId = SingleSelectedNode();
    return PasteAt(parentId ? QPoint() : PastePlace(), parentId);
}

bool CTessel1View::PasteAt(const QPoint &at, int parentId)
{
    const int treeId = treeIdForEdits();
    const QString source = NodeClipboard::Decode(QGuiApplication::clipboard()->mimeData());
    if (!treeId || source.trimmed().isEmpty())
        return false;
    QPoint place = at;
    if (parentId) {
        const CKELNodeShape *shape = m_doc.NodeShape(parentId);
        if (!shape)
            return false;
        place = QPoint(shape->GetShapeLeft(), shape->GetShapeTop() + shape->GetShapeHeight() + kBelowGap);
    }
    CKELDataManager &m = m_doc.Manager();
    CEditStep step(m, EditorTexts::Paste);
    return PasteNodes(m, treeId, parentId, place.x(), place.y(), source);
}

bool CTessel1View::DuplicateSelection()
{
    const int treeId = treeIdForEdits();
    const QList<int> roots = SelectedSubtreeRoots();
    if (!treeId || roots.isEmpty())
        return false;
    CKELDataManager &m = m_doc.Manager();
    // the copy stands beside the first subtree, under no parent: the user
    // links it where it belongs; the clipboard keeps what it held
    const CKELMethod *first = node(roots.first());
    const CKELNodeShape *shape = m_doc.NodeShape(roots.first());
    if (!first || !shape)
        return false;
    const QString records = CopyNodesAsRecords(m, roots);
    CEditStep step(m, EditorTexts::Duplicate);
    return PasteNodes(m, treeId, 0, shape->GetShapeLeft() + kDuplicateOffset, shape->GetShapeTop() + kDuplicateOffset,
                      records);
}
