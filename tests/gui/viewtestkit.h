#pragma once

// A tree window without a frame for the view tests: the document, its view,
// dialogs that answer from lists, and a stand-in for the collaboration client.

#include "editortestkit.h"

#include "canvas/canvasscene.h"
#include "editor/kellinkshape.h"
#include "editor/kelnodeshape.h"
#include "editor/tessel1doc.h"
#include "editor/tessel1view.h"
#include "layout/treelayout.h"
#include "model/operationrecord.h"

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
    QList<QStringList> extraAnswer; // tags, names

    explicit Editor(int typeCode = KEL::RBT) : f(typeCode) {}

    void open()
    {
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
    bool arranged(int nodeId) const
    {
        return CTreeLayout(*f.Tree()).RearrangeSubtree(nodeId, true).moves.isEmpty();
    }
    QStringList menuTexts(const QMenu &menu) const
    {
        QStringList texts;
        for (QAction *a : menu.actions())
            texts.append(a->isSeparator() ? u"-"_qs : a->text());
        return texts;
    }
    QAction *menuAction(QMenu &menu, const QString &text) const
    {
        for (QAction *a : menu.actions()) {
            if (a->text() == text)
                return a;
        }
        return nullptr;
    }
    void key(int k, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(view.get(), Qt::Key(k), mods); }
};

// Stands in for the collaboration client: keeps what would be sent.
class CRecordingSink : public COperationSink
{
public:
    QStringList sent;
    bool SendOperation(const QString &record) override
    {
        sent.append(record);
        return true;
    }
};

} // namespace ViewTestKit
