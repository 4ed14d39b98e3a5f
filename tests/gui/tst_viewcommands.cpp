// The commands of a tree view: adding nodes and links, removing, arranging
// on request and while auto-arrange is on, and undo of moves and layouts;
// answered by scripted dialogs and prompts.
#include "viewtestkit.h"

#include "canvas/canvasactions.h"
#include "editor/editortexts.h"

#include "edit/undohistory.h"

#include <QSignalSpy>
#include <QUndoStack>
#include <QtTest>

using EditorTestKit::Attrs;

using ViewTestKit::CRecordingSink;
using ViewTestKit::Editor;

class TestViewCommands : public QObject
{
    Q_OBJECT
private slots:
    // "Add Node" goes below a single selected node, else to 50,50, and steps
    // 30 right and 20 down while the probe point lies on a node.
    void addNodePlace_data()
    {
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QList<QPoint>>("crowd");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<bool>("underA");
        QTest::newRow("nothing selected") << u""_qs << QList<QPoint>() << true << QPoint(50, 50) << false;
        // a box of 200 by 50 at 50,50 still holds the probe after one step
        QTest::newRow("taken twice") << u""_qs << QList<QPoint>{QPoint(50, 50)} << true << QPoint(110, 90) << false;
        QTest::newRow("crowded canvas keeps stepping")
            << u""_qs << QList<QPoint>{QPoint(50, 50), QPoint(80, 70), QPoint(110, 90), QPoint(140, 110)} << true
            << QPoint(200, 150) << false;
        QTest::newRow("a node nearby but off the probe")
            << u""_qs << QList<QPoint>{QPoint(151, 50)} << true << QPoint(50, 50) << false;
        QTest::newRow("below the selected node, stepping past its child")
            << u"A"_qs << QList<QPoint>() << true << QPoint(660, 240) << true;
        QTest::newRow("a selected link cancels") << u"link"_qs << QList<QPoint>() << false << QPoint() << false;
        QTest::newRow("two selected: a free root") << u"AB"_qs << QList<QPoint>() << true << QPoint(50, 50) << false;
    }

    void addNodePlace()
    {
        QFETCH(QString, selection);
        QFETCH(QList<QPoint>, crowd);
        QFETCH(bool, ok);
        QFETCH(QPoint, at);
        QFETCH(bool, underA);
        Editor e;
        const int a = e.f.Add(0, u"A"_qs, 100, 400);
        const int b = e.f.Add(a, u"B"_qs, 100, 500);
        for (const QPoint &p : crowd)
            e.f.Add(0, u"X"_qs, p.x(), p.y());
        // A sits where its child B blocks the place below it
        e.f.m.SetNodeGeometry(a, 600, 100, 0, 0);
        e.f.m.SetNodeGeometry(b, 600, 200, 0, 0);
        e.open();
        if (selection == u"A")
            e.select({a});
        else if (selection == u"AB")
            e.select({a, b});
        else if (selection == u"link")
            e.scene().SelectOnly(e.doc->LinkInto(b));
        QPoint place;
        int parent = -1;
        QCOMPARE(e.view->NewNodePlace(place, parent), ok);
        if (!ok)
            return;
        QCOMPARE(place, at);
        QCOMPARE(parent, underA ? a : 0);
    }

    void addNodeAsksThenAdds()
    {
        Editor e;
        const int a = e.f.Add(0, u"A"_qs, 100, 100);
        e.open();
        e.select({a});
        // cancelled: nothing happens
        QVERIFY(!e.view->OnAddNode());
        QCOMPARE(e.askedNew, QList<bool>{true});
        QCOMPARE(e.f.Tree()->Nodes().size(), 1);
        e.answers = {Attrs(u"Oven"_qs, u"hot"_qs)};
        QVERIFY(e.view->OnAddNode());
        const CKELMethod *made = e.f.Tree()->Nodes().last();
        QCOMPARE(made->component, u"Oven"_qs);
        QCOMPARE(made->ParentId(), a);
        QCOMPARE(QPoint(made->x, made->y), QPoint(100, 200));
        QVERIFY(e.shape(made->GetId()));
        QCOMPARE(e.doc->LinkInto(made->GetId())->StartKey(), a);
        // a behavior the component lacked is now one of its states
        QVERIFY(e.f.m.FindComponent(u"Oven"_qs));
    }

    void addLink_data()
    {
        QTest::addColumn<QString>("selection"); // node letters in the order selected, or "link"
        QTest::addColumn<bool>("linked");
        QTest::addColumn<QString>("parentOf"); // "C:A" means C's parent is A afterwards
        QTest::addColumn<QString>("message");
        QTest::newRow("first selected is the parent") << u"AC"_qs << true << u"C:A"_qs << QString();
        QTest::newRow("order decides") << u"CA"_qs << true << u"A:C"_qs << QString();
        QTest::newRow("a child moves to its new parent") << u"CB"_qs << true << u"B:C"_qs << QString();
        QTest::newRow("one selected") << u"A"_qs << false << u"C:0"_qs << QString();
        QTest::newRow("three selected") << u"ACD"_qs << false << u"C:0"_qs << QString();
        QTest::newRow("a link among them") << u"link"_qs << false << u"C:0"_qs << QString();
        QTest::newRow("own ancestor refused with a message")
            << u"BA"_qs << false << u"B:A"_qs << EditorTexts::LinkMakesCycle;
        QTest::newRow("already its parent") << u"AB"_qs << false << u"B:A"_qs << QString();
    }

    void addLink()
    {
        QFETCH(QString, selection);
        QFETCH(bool, linked);
        QFETCH(QString, parentOf);
        QFETCH(QString, message);
        Editor e;
        QHash<QChar, int> ids;
        ids[u'A'] = e.f.Add(0, u"A"_qs, 0, 0);
        ids[u'B'] = e.f.Add(ids[u'A'], u"B"_qs, 0, 100);
        ids[u'C'] = e.f.Add(0, u"C"_qs, 300, 0);
        ids[u'D'] = e.f.Add(0, u"D"_qs, 600, 0);
        ids[u'0'] = 0;
        e.open();
        e.f.ClearPrompt();
        if (selection == u"link") {
            e.scene().SelectOnly(e.doc->LinkInto(ids[u'B']));
            e.shape(ids[u'C'])->setSelected(true);
        } else {
            e.scene().clearSelection();
            for (QChar c : selection)
                e.shape(ids[c])->setSelected(true);
        }
        QCOMPARE(e.view->OnAddLink(), linked);
        QCOMPARE(e.f.N(ids[parentOf[0]])->ParentId(), ids[parentOf[2]]);
        QCOMPARE(e.f.prompt.texts, message.isEmpty() ? QStringList() : QStringList{message});
        if (linked)
            QCOMPARE(e.doc->LinkInto(ids[parentOf[0]])->StartKey(), ids[parentOf[2]]);
        // structural edits are the model's: the canvas undo stack has none
        QCOMPARE(e.scene().UndoStack()->count(), 0);
    }

    // Removing a node whose children stay behind asks what becomes of them;
    // children removed along with it, or no children at all, need no question.
    void deleteAsksAboutChildren_data()
    {
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QList<CRemoveChoice>>("answers");
        QTest::addColumn<QList<int>>("asked");
        QTest::addColumn<QStringList>("left");  // components of the nodes left
        QTest::addColumn<QStringList>("roots"); // components of the roots left

        using C = CRemoveChoice;
        const QStringList all{u"A"_qs, u"B"_qs, u"C"_qs, u"D"_qs, u"E"_qs};
        QTest::newRow("leaf: no question") << QStringList{u"C"_qs} << QList<C>{} << QList<int>{}
                                           << QStringList{u"A"_qs, u"B"_qs, u"D"_qs, u"E"_qs} << QStringList{u"A"_qs};
        QTest::newRow("whole subtree") << QStringList{u"B"_qs} << QList<C>{C::WholeSubtree} << QList<int>{2}
                                       << QStringList{u"A"_qs, u"E"_qs} << QStringList{u"A"_qs};
        QTest::newRow("keep the children as roots")
            << QStringList{u"B"_qs} << QList<C>{C::KeepChildren} << QList<int>{2}
            << QStringList{u"A"_qs, u"C"_qs, u"D"_qs, u"E"_qs} << QStringList{u"A"_qs, u"C"_qs, u"D"_qs};
        QTest::newRow("cancel keeps everything")
            << QStringList{u"B"_qs} << QList<C>{C::Cancel} << QList<int>{2} << all << QStringList{u"A"_qs};
        QTest::newRow("a child selected too is not asked about")
            << QStringList{u"B"_qs, u"C"_qs} << QList<C>{C::KeepChildren} << QList<int>{1}
            << QStringList{u"A"_qs, u"D"_qs, u"E"_qs} << QStringList{u"A"_qs, u"D"_qs};
        QTest::newRow("root with its whole tree selected")
            << all << QList<C>{} << QList<int>{} << QStringList{} << QStringList{};
        QTest::newRow("two subtrees in one answer") << QStringList{u"B"_qs, u"A"_qs} << QList<C>{C::WholeSubtree}
                                                    << QList<int>{3} << QStringList{} << QStringList{};
    }

    void deleteAsksAboutChildren()
    {
        QFETCH(QStringList, selected);
        QFETCH(QList<CRemoveChoice>, answers);
        QFETCH(QList<int>, asked);
        QFETCH(QStringList, left);
        QFETCH(QStringList, roots);
        Editor e;
        // A over B and E; B over C and D
        QHash<QString, int> ids;
        ids[u"A"_qs] = e.f.Add(0, u"A"_qs, 0, 0);
        ids[u"B"_qs] = e.f.Add(ids[u"A"_qs], u"B"_qs, 0, 100);
        ids[u"C"_qs] = e.f.Add(ids[u"B"_qs], u"C"_qs, 0, 200);
        ids[u"D"_qs] = e.f.Add(ids[u"B"_qs], u"D"_qs, 300, 200);
        ids[u"E"_qs] = e.f.Add(ids[u"A"_qs], u"E"_qs, 300, 100);
        e.open();
        e.show();
        QList<int> chosen;
        for (const QString &name : std::as_const(selected))
            chosen.append(ids[name]);
        e.select(chosen);
        e.removeAnswers = answers;
        e.key(Qt::Key_Delete);
        QCOMPARE(e.removeAsked, asked);
        QStringList leftNow;
        for (const CKELMethod *n : e.f.Tree()->Nodes())
            leftNow.append(n->component);
        leftNow.sort();
        QCOMPARE(leftNow, left);
        QStringList rootsNow;
        for (const CKELMethod *n : e.f.Tree()->Roots())
            rootsNow.append(n->component);
        rootsNow.sort();
        QCOMPARE(rootsNow, roots);
        QCOMPARE(e.doc->NodeShapes().size(), left.size());
    }

    // In a shared solution nothing changes until the server relays it; the
    // records show the order: the child of the selected link first.
    void deleteAndRemoveInASharedSolution()
    {
        Editor e;
        const int a = e.f.Add(0, u"A"_qs, 0, 0);
        const int b = e.f.Add(a, u"B"_qs, 0, 100);
        const int c = e.f.Add(b, u"C"_qs, 0, 200);
        e.open();
        CRecordingSink sink;
        e.f.m.SetOperationSink(&sink);
        e.f.m.SetLocal(false);
        e.scene().SelectOnly(e.shape(b));
        e.doc->LinkInto(c)->setSelected(true);
        e.key(Qt::Key_Delete);
        QCOMPARE(sink.sent, (QStringList{QStringLiteral("linknode;par:0;chd:%1;").arg(c),
                                         QStringLiteral("rmnode;id:%1;").arg(b)}));
        // the canvas still shows the model, which has not changed yet
        QVERIFY(e.shape(b));
        QCOMPARE(e.doc->LinkInto(c)->StartKey(), b);
        for (const QString &r : sink.sent)
            e.f.m.ApplyOperationRecord(r);
        QVERIFY(!e.shape(b));
        QVERIFY(!e.doc->LinkInto(c));
    }

    void arrangeTree_data()
    {
        QTest::addColumn<int>("selected"); // 0, 1 (a node), 2
        QTest::addColumn<bool>("autoArrange");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("moved");
        QTest::newRow("none selected, OK")
            << 0 << false << int(CPrompt::Yes) << EditorTexts::ZeroSelected << u"Tessel1:Rearrange Tree"_qs << true;
        QTest::newRow("none selected, Cancel")
            << 0 << false << int(CPrompt::No) << EditorTexts::ZeroSelected << u"Tessel1:Rearrange Tree"_qs << false;
        QTest::newRow("two selected") << 2 << false << int(CPrompt::Yes) << EditorTexts::ManySelected << u"Error"_qs
                                      << false;
        QTest::newRow("two selected with auto-arrange")
            << 2 << true << int(CPrompt::Yes) << QString() << QString() << false;
        QTest::newRow("one node: its subtree") << 1 << false << int(CPrompt::Yes) << QString() << QString() << true;
    }

    void arrangeTree()
    {
        QFETCH(int, selected);
        QFETCH(bool, autoArrange);
        QFETCH(int, answer);
        QFETCH(QString, text);
        QFETCH(QString, caption);
        QFETCH(bool, moved);
        QVERIFY(EditorTexts::ManySelected.startsWith(u"More than one shape selected.\nSelect either one node(to"_qs));
        Editor e;
        const int a = e.f.Add(0, u"A"_qs, 500, 500);
        const int b = e.f.Add(a, u"B"_qs, 900, 900);
        e.f.Add(0, u"C"_qs, 1200, 300);
        e.open();
        e.view->SetAutoRearrange(autoArrange);
        e.f.ClearPrompt();
        e.f.prompt.answers = {CPrompt::Answer(answer)};
        if (selected >= 1)
            e.select(selected == 1 ? QList<int>{a} : QList<int>{a, b});
        e.view->OnArrangeTree();
        QCOMPARE(e.f.prompt.texts, text.isEmpty() ? QStringList() : QStringList{text});
        QCOMPARE(e.f.prompt.captions, caption.isEmpty() ? QStringList() : QStringList{caption});
        QCOMPARE(e.place(b) != QPoint(900, 900), moved);
        QCOMPARE(e.f.m.History().CanUndo(), moved);
        if (selected == 1) // anchored at the node
            QCOMPARE(e.place(a), QPoint(500, 500));
        if (selected == 0 && moved)
            QCOMPARE(e.place(a), QPoint(0, 0));
    }

    // While auto-arrange is on, each edit leaves the touched tree arranged.
    void autoArrangeReacts_data()
    {
        QTest::addColumn<int>("edit");
        QTest::addColumn<bool>("autoArrange");
        const char *names[] = {"a child added",
                               "Add Link",
                               "a node dragged",
                               "a node removed",
                               "a node grew wider",
                               "a link cut on the canvas",
                               "a child added elsewhere (the model)"};
        for (int i = 0; i < int(std::size(names)); ++i)
            QTest::newRow(names[i]) << i << true;
        QTest::newRow("off: a child added") << 0 << false;
        QTest::newRow("off: a node dragged") << 2 << false;
    }

    void autoArrangeReacts()
    {
        QFETCH(int, edit);
        QFETCH(bool, autoArrange);
        Editor e;
        const int a = e.f.Add(0, u"A"_qs, 300, 40);
        const int b = e.f.Add(a, u"B"_qs, 20, 300);
        const int c = e.f.Add(a, u"C"_qs, 700, 200);
        const int d = e.f.Add(0, u"D"_qs, 900, 40);
        e.f.Add(d, u"E"_qs, 1500, 700);
        e.open();
        e.view->SetAutoRearrange(autoArrange);
        QVERIFY(!e.arranged(a));
        switch (edit) {
        case 0:
            e.answers = {Attrs(u"E"_qs, u"e"_qs)};
            QVERIFY(e.view->CreateChildNode(b));
            break;
        case 1:
            e.select({c, d});
            QVERIFY(e.view->OnAddLink());
            break;
        case 2:
            e.scene().Execute(std::make_unique<CGeometryAction>(
                e.scene(), CCanvasAction::Move, u"Move"_qs,
                QList<CGeometryAction::Entry>{{b, QPoint(20, 300), QPoint(60, 333), QSize(200, 50), QSize(200, 50)}}));
            break;
        case 3:
            e.scene().SelectOnly(e.shape(c));
            e.view->OnDelete();
            break;
        case 4: {
            CNodeAttributes at = CNodeAttributes::Of(*e.f.N(b));
            at.hasExtendedTag = true;
            at.extendedTag = u"X"_qs;
            QVERIFY(e.f.m.ChangeNode(b, at));
            break;
        }
        case 5: e.scene().Delegate().LinkCut(a, c); break;
        case 6: QVERIFY(e.f.Add(c, u"F"_qs, 5, 5)); break;
        }
        QTRY_COMPARE(e.arranged(a), autoArrange);
        QVERIFY(!e.arranged(d) || edit == 1); // an untouched tree stays as it was
        if (autoArrange) {
            // one undo step undoes the arrangement, not the edit
            QCOMPARE(e.f.m.History().UndoText(), EditorTexts::AutoArrangeTree);
            // and arranging again finds nothing to do
            QSignalSpy steps(&e.f.m.History(), &CUndoHistory::changed);
            QCoreApplication::processEvents();
            QCOMPARE(steps.count(), 0);
        }
    }
};

QTEST_MAIN(TestViewCommands)
#include "tst_viewcommands.moc"
