// One history for every edit made in a tree window: removing, moving,
// arranging and the clipboard are each one step, and undo and redo bring
// the model and the drawing back together.
#include "viewtestkit.h"

#include "canvas/canvasedits.h"
#include "edit/clipboardrecords.h"
#include "edit/undohistory.h"
#include "editor/editortexts.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QSignalSpy>
#include <QUndoStack>
#include <QtTest>

using ViewTestKit::CanvasPicture;
using ViewTestKit::Editor;
using ViewTestKit::SavedLines;

namespace {

// Tree T: A over B and E, B over C and D; a lone root R. A second window
// shows tree U with the one node U1.
struct Door : Editor
{
    QHash<QString, int> ids;
    int otherTree = 0;
    std::unique_ptr<CTessel1Doc> otherDoc;
    std::unique_ptr<CTessel1View> otherView;

    Door()
    {
        ids[u"A"_qs] = f.Add(0, u"A"_qs, 20, 20);
        ids[u"B"_qs] = f.Add(ids[u"A"_qs], u"B"_qs, 20, 120);
        ids[u"C"_qs] = f.Add(ids[u"B"_qs], u"C"_qs, 20, 220);
        ids[u"D"_qs] = f.Add(ids[u"B"_qs], u"D"_qs, 260, 220);
        ids[u"E"_qs] = f.Add(ids[u"A"_qs], u"E"_qs, 260, 120);
        ids[u"R"_qs] = f.Add(0, u"R"_qs, 600, 20);
        f.m.AddRBT(u"U"_qs, {}, 50);
        otherTree = f.m.FindTree(KEL::RBTs, u"U"_qs)->GetId();
        f.m.AddNode(otherTree, 0, EditorTestKit::Attrs(u"U1"_qs, u"b"_qs), 40, 40);
        ids[u"U1"_qs] = static_cast<const CKELTree *>(f.m.Lookup(otherTree))->Nodes().last()->GetId();
        open();
        otherDoc = std::make_unique<CTessel1Doc>(f.m, otherTree);
        otherView = std::make_unique<CTessel1View>(*otherDoc);
        otherView->SetDialogs(&dialogs);
        // what the fixture built is where every test starts
        f.m.History().Clear();
    }
    CUndoHistory &history() { return f.m.History(); }
    const CKELTree &treeU() const { return *static_cast<const CKELTree *>(f.m.Lookup(otherTree)); }
    // Selects nodes by name and links by "link X" (the link into X).
    void pick(const QStringList &names)
    {
        scene().clearSelection();
        for (const QString &name : names) {
            if (name.startsWith(u"link "_qs))
                doc->LinkInto(ids[name.mid(5)])->setSelected(true);
            else
                shape(ids[name])->setSelected(true);
        }
    }
    QPoint viewPoint(int nodeId, QPointF offset = QPointF(100, 25)) const
    {
        return view->mapFromScene(shape(nodeId)->pos() + offset);
    }
    // Whether both windows draw what their trees hold.
    QString disagreement() const
    {
        const QString first = GuiTestKit::CanvasDisagreement(*doc);
        return first.isEmpty() ? GuiTestKit::CanvasDisagreement(*otherDoc) : first;
    }
};

// A tree's shape by components: "B(C,D)" for B over C and D, roots sorted.
QString Outline(const CKELDataManager &m, const CKELMethod &n)
{
    QStringList below;
    for (int c : n.ChildIds()) {
        if (const auto *child = m.LookupAs<CKELMethod>(c, KEL::Method))
            below.append(Outline(m, *child));
    }
    return below.isEmpty() ? n.component : n.component + u'(' + below.join(u',') + u')';
}

QString Outline(const CKELDataManager &m, const CKELTree &tree)
{
    QStringList roots;
    for (const CKELMethod *r : tree.Roots())
        roots.append(Outline(m, *r));
    roots.sort();
    return roots.join(u' ');
}

// Where each node of a subtree stands from its root, by component.
QStringList Offsets(const CKELDataManager &m, const CKELMethod &root)
{
    QStringList out;
    QList<const CKELMethod *> todo{&root};
    while (!todo.isEmpty()) {
        const CKELMethod *n = todo.takeFirst();
        out.append(u"%1 %2,%3"_qs.arg(n->component).arg(n->x - root.x).arg(n->y - root.y));
        for (int c : n->ChildIds()) {
            if (const auto *child = m.LookupAs<CKELMethod>(c, KEL::Method))
                todo.append(child);
        }
    }
    out.sort();
    return out;
}

const CKELMethod *RootNamed(const CKELTree &tree, const QString &component, int notId)
{
    for (const CKELMethod *r : tree.Roots()) {
        if (r->component == component && r->GetId() != notId)
            return r;
    }
    return nullptr;
}

} // namespace

class TestEditUndo : public QObject
{
    Q_OBJECT
private slots:
    // Removing with the Delete key is one step; undo shows the very boxes and
    // links drawn before, redo those drawn after.
    void deleteThenUndo_data()
    {
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<CRemoveChoice>("answer");
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("outline");

        using C = CRemoveChoice;
        QTest::newRow("two nodes at once")
            << QStringList{u"C"_qs, u"E"_qs} << C::KeepChildren << u"Remove Nodes"_qs << u"A(B(D)) R"_qs;
        QTest::newRow("a link and a node")
            << QStringList{u"link E"_qs, u"C"_qs} << C::KeepChildren << u"Remove Node"_qs << u"A(B(D)) E R"_qs;
        QTest::newRow("a link alone") << QStringList{u"link B"_qs} << C::KeepChildren << u"Remove Link"_qs
                                      << u"A(E) B(C,D) R"_qs;
    }

    void deleteThenUndo()
    {
        QFETCH(QStringList, selected);
        QFETCH(CRemoveChoice, answer);
        QFETCH(QString, step);
        QFETCH(QString, outline);
        Door e;
        e.show();
        const QStringList before = CanvasPicture(*e.doc);
        const QStringList lines = SavedLines(e.f.m);
        e.pick(selected);
        e.removeAnswers = {answer};
        e.key(Qt::Key_Delete);
        QCOMPARE(Outline(e.f.m, *e.f.Tree()), outline);
        const QStringList after = CanvasPicture(*e.doc);
        QVERIFY(after != before);
        QCOMPARE(e.history().UndoText(), step);

        QVERIFY(e.history().Undo());
        QCOMPARE(CanvasPicture(*e.doc), before);
        QCOMPARE(SavedLines(e.f.m), lines);
        QVERIFY(!e.history().CanUndo()); // it was one step
        QCOMPARE(e.disagreement(), QString());

        QVERIFY(e.history().Redo());
        QCOMPARE(CanvasPicture(*e.doc), after);
        QCOMPARE(Outline(e.f.m, *e.f.Tree()), outline);
        QCOMPARE(e.disagreement(), QString());
    }

    // A drag of one box or of many, an alignment and a layout are each one
    // step named after the command; undo puts model and drawing back.
    void gesturesAreOneStep_data()
    {
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<QString>("step");
        QTest::newRow("drag one box") << u"drag"_qs << u"Move"_qs;
        QTest::newRow("drag two boxes picked with Ctrl+click") << u"ctrl-click drag"_qs << u"Move"_qs;
        QTest::newRow("drag a rubber-band selection") << u"rubber band drag"_qs << u"Move"_qs;
        QTest::newRow("align left") << u"align"_qs << u"Align"_qs;
        QTest::newRow("rearrange all") << u"rearrange"_qs << EditorTexts::RearrangeAll;
    }

    void gesturesAreOneStep()
    {
        QFETCH(QString, gesture);
        QFETCH(QString, step);
        Door e;
        e.show();
        const QStringList before = CanvasPicture(*e.doc);
        const QStringList lines = SavedLines(e.f.m);
        QWidget *vp = e.view->viewport();
        const int c = e.ids[u"C"_qs];
        const int d = e.ids[u"D"_qs];
        auto dragFrom = [&](const QPoint &from) {
            QTest::mousePress(vp, Qt::LeftButton, {}, from);
            QTest::mouseMove(vp, from + QPoint(5, 5));
            QTest::mouseMove(vp, from + QPoint(40, 90));
            QTest::mouseRelease(vp, Qt::LeftButton, {}, from + QPoint(40, 90));
        };
        if (gesture == u"drag") {
            dragFrom(e.viewPoint(c));
        } else if (gesture == u"ctrl-click drag") {
            QTest::mouseClick(vp, Qt::LeftButton, {}, e.viewPoint(c));
            QTest::mouseClick(vp, Qt::LeftButton, Qt::ControlModifier, e.viewPoint(d));
            QCOMPARE(e.view->SelectedNodeIds().size(), 2);
            dragFrom(e.viewPoint(d));
        } else if (gesture == u"rubber band drag") {
            // from empty canvas left of C to below D's right end
            const QPoint from = e.view->mapFromScene(QPointF(5, 205));
            const QPoint to = e.view->mapFromScene(QPointF(480, 290));
            QTest::mousePress(vp, Qt::LeftButton, {}, from);
            QTest::mouseMove(vp, from + QPoint(10, 10));
            QTest::mouseMove(vp, to);
            QTest::mouseRelease(vp, Qt::LeftButton, {}, to);
            QCOMPARE(e.view->SelectedNodeIds().size(), 2);
            dragFrom(e.viewPoint(c));
        } else if (gesture == u"align") {
            e.pick({u"R"_qs, u"E"_qs});
            QVERIFY(CanvasEdits::Align(e.scene(), CanvasEdits::Alignment::Left));
        } else {
            QVERIFY(e.view->RearrangeAll());
        }
        const QStringList after = CanvasPicture(*e.doc);
        QVERIFY(after != before);
        QCOMPARE(e.disagreement(), QString());
        QCOMPARE(e.history().UndoText(), step);
        // the canvas keeps no history of its own for a tree
        QCOMPARE(e.scene().UndoStack()->count(), 0);
        if (gesture == u"rearrange") { // nothing left to arrange: no empty step
            QSignalSpy steps(&e.history(), &CUndoHistory::changed);
            QVERIFY(!e.view->RearrangeAll());
            QCOMPARE(steps.count(), 0);
        }
        if (gesture.endsWith(u"drag"_qs) && gesture != u"drag") {
            // both boxes went the same way
            QCOMPARE(QPoint(e.f.N(d)->x - e.f.N(c)->x, e.f.N(d)->y - e.f.N(c)->y), QPoint(240, 0));
        }

        QVERIFY(e.history().Undo());
        QCOMPARE(CanvasPicture(*e.doc), before);
        QCOMPARE(SavedLines(e.f.m), lines);
        QVERIFY(!e.history().CanUndo());
        QVERIFY(e.history().Redo());
        QCOMPARE(CanvasPicture(*e.doc), after);
        QCOMPARE(e.disagreement(), QString());
    }

    // Copy, cut, paste and duplicate of B with C and D below it, within the
    // tree and into the other window's tree; every change is one step.
    void clipboard_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("target");   // "T" or "U"
        QTest::addColumn<QString>("under");    // the node pasted under; "" for a new root
        QTest::addColumn<QString>("outlineT"); // tree T afterwards
        QTest::addColumn<QString>("outlineU"); // tree U afterwards

        QTest::newRow("copy, paste into the other tree as a root")
            << u"copy"_qs << u"U"_qs << QString() << u"A(B(C,D),E) R"_qs << u"B(C,D) U1"_qs;
        QTest::newRow("cut, paste into the other tree")
            << u"cut"_qs << u"U"_qs << QString() << u"A(E) R"_qs << u"B(C,D) U1"_qs;
        QTest::newRow("copy, paste in the same tree under R")
            << u"copy"_qs << u"T"_qs << u"R"_qs << u"A(B(C,D),E) R(B(C,D))"_qs << u"U1"_qs;
        QTest::newRow("duplicate") << u"duplicate"_qs << u"T"_qs << QString() << u"A(B(C,D),E) B(C,D) R"_qs << u"U1"_qs;
    }

    void clipboard()
    {
        QFETCH(QString, command);
        QFETCH(QString, target);
        QFETCH(QString, under);
        QFETCH(QString, outlineT);
        QFETCH(QString, outlineU);
        Door e;
        e.show();
        const int b = e.ids[u"B"_qs];
        const QStringList shapeOfB = Offsets(e.f.m, *e.f.N(b));
        const QString startT = Outline(e.f.m, *e.f.Tree());
        const QString startU = Outline(e.f.m, e.treeU());
        QGuiApplication::clipboard()->clear();
        e.pick({u"B"_qs});
        int steps = 1;
        if (command == u"copy") {
            QVERIFY(e.view->CopySelection());
            const QMimeData *data = QGuiApplication::clipboard()->mimeData();
            QVERIFY(data->hasFormat(Clipboard::MimeType()));
            QVERIFY(data->hasText());
        } else if (command == u"cut") {
            QVERIFY(e.view->CutSelection());
            QCOMPARE(e.history().UndoText(), EditorTexts::Cut);
            steps = 2;
        }
        CTessel1View &into = target == u"T" ? *e.view : *e.otherView;
        if (command == u"duplicate") {
            QVERIFY(e.view->DuplicateSelection());
            QCOMPARE(e.history().UndoText(), EditorTexts::Duplicate);
        } else {
            QVERIFY(into.PasteAt(QPoint(400, 300), under.isEmpty() ? 0 : e.ids[under]));
            QCOMPARE(e.history().UndoText(), EditorTexts::Paste);
        }
        QCOMPARE(Outline(e.f.m, *e.f.Tree()), outlineT);
        QCOMPARE(Outline(e.f.m, e.treeU()), outlineU);
        QCOMPARE(e.disagreement(), QString());
        // the copy has ids of its own
        const CKELTree &pastedInto = target == u"T" ? *e.f.Tree() : e.treeU();
        const CKELMethod *copy = nullptr;
        for (const CKELMethod *n : pastedInto.Nodes()) {
            if (n->component == u"B" && n->GetId() != b)
                copy = n;
        }
        QVERIFY(copy);
        if (under.isEmpty())
            QVERIFY(RootNamed(pastedInto, u"B"_qs, b));
        else
            QCOMPARE(copy->ParentId(), e.ids[under]);
        QCOMPARE(Offsets(e.f.m, *copy), shapeOfB);

        for (int i = 0; i < steps; ++i)
            QVERIFY(e.history().Undo());
        QCOMPARE(Outline(e.f.m, *e.f.Tree()), startT);
        QCOMPARE(Outline(e.f.m, e.treeU()), startU);
        QVERIFY(!e.history().CanUndo());
        QCOMPARE(e.disagreement(), QString());
    }

    // Text that is no node lines is refused and leaves the trees as they were.
    void pasteOfForeignTextChangesNothing()
    {
        Door e;
        const QStringList lines = SavedLines(e.f.m);
        QGuiApplication::clipboard()->clear();
        QVERIFY(!e.view->CanPaste());
        QVERIFY(!e.view->PasteAt(QPoint(10, 10), 0));
        QGuiApplication::clipboard()->setText(u"Dear team,\n  \"quoted\" words; no node here"_qs);
        e.view->PasteAt(QPoint(10, 10), 0);
        QCOMPARE(SavedLines(e.f.m), lines);
        QVERIFY(!e.history().CanUndo());
    }

    // Zoom, collapse and selection are the view's: no step, no changed flag.
    void viewStateStaysOutOfTheHistory()
    {
        Door e;
        e.f.m.MarkSaved();
        e.view->ZoomIn();
        e.doc->SetCollapsed(e.ids[u"B"_qs], true);
        e.pick({u"C"_qs, u"D"_qs});
        e.doc->SetSimulationMark(e.ids[u"A"_qs], 2);
        QVERIFY(!e.history().CanUndo());
        QVERIFY(e.history().IsClean());
        QVERIFY(!e.f.m.Solution()->IsModified());
    }
};

QTEST_MAIN(TestEditUndo)
#include "tst_editundo.moc"
