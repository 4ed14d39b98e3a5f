#pragma once

// A tree window without a frame for the view tests: the document, its view,
// dialogs that answer from lists, and a stand-in for the collaboration client.

#include "editortestkit.h"
#include "guitestkit.h"

#include "canvas/canvasscene.h"
#include "editor/kellinkshape.h"
#include "editor/kelnodeshape.h"
#include "editor/tessel1doc.h"
#include "editor/tessel1view.h"
#include "edit/undohistory.h"
#include "layout/treelayout.h"
#include "model/operationrecord.h"

#include "testkit.h"

#include <QMenu>
#include <QTest>

#include <memory>

namespace ViewTestKit {

using EditorTestKit::Fixture;

// A tree window without a frame: the document, its view, and dialogs that
// answer from a list.
struct Editor
{
    Fixture f;
    std::unique_ptr<CTessel1Doc> doc;
    std::unique_ptr<CTessel1View> view;
    CEditorDialogs dialogs;
    QList<CNodeAttributes> answers; // an empty list cancels
    QList<bool> askedNew;
    QList<QStringList> extraAnswer;     // tags, names
    QList<CRemoveChoice> removeAnswers; // when empty, the children stay as roots
    QList<int> removeAsked;             // the child counts each question named

    explicit Editor(int typeCode = KEL::RBT) : f(typeCode) {}

    void open()
    {
        // what the fixture built is where every test starts
        f.m.History().Clear();
        doc = std::make_unique<CTessel1Doc>(f.m, f.tree);
        view = std::make_unique<CTessel1View>(*doc);
        dialogs.nodeAttributes = [this](QWidget *, const CKELTree &, CNodeAttributes &a, bool isNew) {
            askedNew.append(isNew);
            if (answers.isEmpty())
                return false;
            a = answers.takeFirst();
            return true;
        };
        dialogs.extraInfo = [this](QWidget *, QStringList &tags, QStringList &names) {
            if (extraAnswer.size() < 2)
                return false;
            tags = extraAnswer[0];
            names = extraAnswer[1];
            return true;
        };
        dialogs.removeChildren = [this](QWidget *, int childCount) {
            removeAsked.append(childCount);
            return removeAnswers.isEmpty() ? CRemoveChoice::KeepChildren : removeAnswers.takeFirst();
        };
        view->SetDialogs(&dialogs);
        view->resize(900, 700);
    }
    void show()
    {
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        view->centerOn(QPointF(view->viewport()->width() / 2.0, view->viewport()->height() / 2.0));
    }
    CCanvasScene &scene() const { return doc->Scene(); }
    CKELNodeShape *shape(int id) const { return doc->NodeShape(id); }
    void select(const QList<int> &nodeIds)
    {
        scene().clearSelection();
        for (int id : nodeIds)
            shape(id)->setSelected(true);
    }
    QPoint place(int id) const { return QPoint(f.N(id)->x, f.N(id)->y); }
    // Whether the node's tree is as the layout would arrange it, anchored at its root.
    bool arranged(int nodeId) const { return CTreeLayout(*f.Tree()).RearrangeSubtree(nodeId, true).moves.isEmpty(); }
    void key(int k, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(view.get(), Qt::Key(k), mods); }
};

// Every box the canvas draws (node id, place, size) and every link
// (parent > child), sorted: equal pictures show the same drawing.
inline QStringList CanvasPicture(const CTessel1Doc &doc)
{
    QStringList out;
    for (auto it = doc.NodeShapes().cbegin(); it != doc.NodeShapes().cend(); ++it) {
        const QPoint at = it.value()->pos().toPoint();
        const QSize size = it.value()->OwnRect().size();
        out.append(QStringLiteral("box %1 at %2,%3 size %4x%5")
                       .arg(it.key())
                       .arg(at.x())
                       .arg(at.y())
                       .arg(size.width())
                       .arg(size.height()));
        if (const CKELLinkShape *link = doc.LinkInto(it.key()))
            out.append(QStringLiteral("link %1>%2").arg(link->StartKey()).arg(link->EndKey()));
    }
    out.sort();
    return out;
}

using GuiTestKit::SavedLines;

using TestKit::CRecordingSink;

} // namespace ViewTestKit
