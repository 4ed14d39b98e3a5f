// Integration in the main window: RBTs brought into a DBT through "Get
// RBTs" and by dropping, the three mark commands, and the two integration
// commands, run through the explorer's and the views' real entries on the
// automatic door example. The canvas must agree with the model after each.
#include "derivetestkit.h"

using namespace DeriveTestKit;

namespace {

QStringList highlighted(const CTessel1Doc &doc, int code)
{
    QStringList out;
    for (const CKELMethod *n : doc.Tree()->Nodes()) {
        if (doc.IntegrationMarks().CodeOf(n->GetId()) == code)
            out.append(Describe(*n));
    }
    out.sort();
    return out;
}

} // namespace

class TestDeriveIntegration : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_home = GuiTestKit::IsolateHome(); }

    void getRBTsCopiesAndArranges()
    {
        Frame f;
        CChildFrame *w = f.freshDbt({u"R1"_qs, u"R2"_qs, u"R3"_qs});
        QVERIFY(w);
        QCOMPARE(f.script.titles, QStringList{u"Get RBTs"_qs});
        const CKELTree &dbt = *w->Document().Tree();
        // each RBT a tree of its own, in the order chosen
        QStringList roots;
        for (const CKELMethod *r : dbt.Roots())
            roots.append(Describe(*r));
        QCOMPARE(roots, (QStringList{u"R1:DOOR[closed]"_qs, u"R2:DOOR[open]"_qs, u"R3:DOOR[closing]"_qs}));
        // R2 of version 2.0 has the buzzer
        QCOMPARE(dbt.Nodes().size(), 14);
        QCOMPARE(CanvasDisagreement(w->Document()), QString());
        QVERIFY2(!ShapesOverlap(w->Document()), "Rearrange All did not run");
    }

    void getRBTsCancelledChangesNothing()
    {
        Frame f;
        QVERIFY(f.open());
        QVERIFY(f.model().AddDBT(u"Fresh"_qs));
        const CKELTree *dbt = f.tree(KEL::DBTs, u"Fresh"_qs, u"2.0"_qs);
        f.script.Cancel();
        QVERIFY(f.runExplorer(dbt->GetId(), u"Get RBTs"_qs));
        QVERIFY(dbt->Nodes().isEmpty());
    }

    void droppedRBTJoinsDbt()
    {
        Frame f;
        CChildFrame *w = f.freshDbt({u"R1"_qs});
        QVERIFY(w);
        const CKELTree *r4 = f.tree(KEL::RBTs, u"R4"_qs, u"2.0"_qs);
        QVERIFY(w->View().AcceptsDrop(r4->GetId()));
        QVERIFY(w->View().DropElement(r4->GetId(), 0, QPointF(10, 10)));
        QCOMPARE(w->Document().Tree()->Roots().size(), 2);
        QCOMPARE(CanvasDisagreement(w->Document()), QString());
        QVERIFY(!ShapesOverlap(w->Document()));
    }

    // Both mark entries of the view: blue integration points, red missing
    // preconditions, on the canvas as in the model.
    void marks()
    {
        const QStringList blue{u"R2:DOOR[closing]"_qs};
        const QStringList red{u"R2:DOOR[open]"_qs};
        Frame f;
        CChildFrame *w = f.freshDbt({u"R2"_qs, u"R3"_qs});
        QVERIFY(w);
        for (const QString &t : {u"Mark Integration Points"_qs, u"Mark Missing Precondition"_qs})
            QVERIFY(f.runViewMenu(w->View(), 0, t));
        QCOMPARE(highlighted(w->Document(), 1), blue);
        QCOMPARE(highlighted(w->Document(), 2), red);
        QCOMPARE(CanvasDisagreement(w->Document()), QString());
    }

    void marksFromExplorerOpenTheWindow()
    {
        Frame f;
        QVERIFY(f.open());
        const CKELTree *dbt = f.tree(KEL::DBTs, u"Door"_qs, u"2.0"_qs);
        QVERIFY(f.runExplorer(dbt->GetId(), u"Mark Missing Precondition"_qs));
        CChildFrame *w = f.windows().Find(dbt->GetId());
        QVERIFY(w);
        QVERIFY(w->View().MarkMissingPrecondition());
        // integrated, the door's one root has nothing above it
        QCOMPARE(highlighted(w->Document(), 2), QStringList{u"R1:DOOR[closed]"_qs});
    }

    void matchingMarksGoWithIntegration_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("command");
        QTest::newRow("next matching RBT at a marked match")
            << u"R1:DOOR[open]"_qs << u"Integrate next Matching RBT"_qs;
        QTest::newRow("this RBT, the clicked root") << u"R2:DOOR[open]"_qs << u"Integrate this RBT"_qs;
    }
    // The marked matches belong to a node that integration merges away:
    // they must not stay behind where nothing can switch them off.
    void matchingMarksGoWithIntegration()
    {
        QFETCH(QString, node);
        QFETCH(QString, command);
        Frame f;
        CChildFrame *w = f.freshDbt();
        QVERIFY(w);
        const CKELTree &dbt = *w->Document().Tree();
        const int open = NodeNamed(dbt, u"R2:DOOR[open]"_qs)->GetId();
        // the entry switches the marks off and on again
        for (int expected : {2, 0, 2}) {
            QVERIFY(f.runViewMenu(w->View(), open, u"Mark all Matching Nodes"_qs));
            QCOMPARE(highlighted(w->Document(), 3).size(), expected);
            QCOMPARE(CanvasDisagreement(w->Document()), QString());
        }
        QVERIFY(f.runViewMenu(w->View(), 0, u"Mark Integration Points"_qs));
        const int roots = int(dbt.Roots().size());
        QVERIFY(f.runViewMenu(w->View(), NodeNamed(dbt, node)->GetId(), command));
        QCOMPARE(int(dbt.Roots().size()), roots - 1);
        QCOMPARE(highlighted(w->Document(), 3), QStringList{});
        // the integration points are those of the new tree
        const QStringList points = highlighted(w->Document(), 1);
        QVERIFY(f.runViewMenu(w->View(), 0, u"Mark Integration Points"_qs));
        QVERIFY(f.runViewMenu(w->View(), 0, u"Mark Integration Points"_qs));
        QCOMPARE(highlighted(w->Document(), 1), points);
        QCOMPARE(CanvasDisagreement(w->Document()), QString());
    }

    void markModesShowAndLetEdit_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::newRow("integration points") << u"Mark Integration Points"_qs;
        QTest::newRow("missing preconditions") << u"Mark Missing Precondition"_qs;
    }
    // A mark mode shows as a checked entry, and boxes can still be dragged.
    void markModesShowAndLetEdit()
    {
        QFETCH(QString, entry);
        Frame f;
        CChildFrame *w = f.freshDbt();
        QVERIFY(w);
        f.frame->show();
        w->showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        CTessel1View &view = w->View();
        const auto entryChecked = [&view, &entry] {
            std::unique_ptr<QMenu> menu = view.CreateContextMenu(QPointF(-5000, -5000));
            for (const QAction *a : menu->actions()) {
                if (a->text() == entry)
                    return a->isCheckable() ? int(a->isChecked()) : -1;
            }
            return -2;
        };
        // the explorer's entry for the tree says the same
        const auto explorerChecked = [&f, &entry, id = w->TreeId()] {
            CKELNavigateTree *tree = f.frame->Explorer();
            std::unique_ptr<QMenu> menu = tree->ContextMenuFor(tree->ItemOf(id));
            for (const QAction *a : menu->actions()) {
                if (a->text() == entry)
                    return a->isCheckable() ? int(a->isChecked()) : -1;
            }
            return -2;
        };
        QCOMPARE(entryChecked(), 0);
        QCOMPARE(explorerChecked(), 0);
        QVERIFY(f.runViewMenu(view, 0, entry));
        QCOMPARE(entryChecked(), 1);
        QCOMPARE(explorerChecked(), 1);

        // two drags in a row, each moving the box
        for (const QString &name : {u"R1:DOOR[open]"_qs, u"R2:DOOR[open]"_qs}) {
            CKELMethod *node = NodeNamed(*w->Document().Tree(), name);
            const QPoint from(node->x, node->y);
            CKELNodeShape *shape = w->Document().NodeShape(node->GetId());
            view.centerOn(shape);
            QWidget *vp = view.viewport();
            const QPointF grab = shape->sceneBoundingRect().center();
            QTest::mousePress(vp, Qt::LeftButton, {}, view.mapFromScene(grab));
            QTest::mouseMove(vp, view.mapFromScene(grab + QPointF(20, 20)));
            QTest::mouseMove(vp, view.mapFromScene(grab + QPointF(60, 40)));
            QTest::mouseRelease(vp, Qt::LeftButton, {}, view.mapFromScene(grab + QPointF(60, 40)));
            QVERIFY2(QPoint(node->x, node->y) != from, qPrintable(name));
            QCOMPARE(CanvasDisagreement(w->Document()), QString());
        }

        QVERIFY(f.runViewMenu(view, 0, entry));
        QCOMPARE(entryChecked(), 0);
        QCOMPARE(explorerChecked(), 0);
    }

    void closingTheWindowTakesTheMarks()
    {
        Frame f;
        CChildFrame *w = f.freshDbt();
        QVERIFY(w);
        const int id = w->TreeId();
        QVERIFY(f.runViewMenu(w->View(), 0, u"Mark Integration Points"_qs));
        QVERIFY(!highlighted(w->Document(), 1).isEmpty());
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // a window opened again starts unmarked and agrees with the model
        CChildFrame *again = f.windows().Open(id);
        QVERIFY(!again->View().MarkIntegrationPoints());
        QVERIFY(again->Document().IntegrationMarks().IsEmpty());
        QCOMPARE(CanvasDisagreement(again->Document()), QString());
    }

    void integrate_data()
    {
        QTest::addColumn<QStringList>("rbts");
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<int>("roots");
        // the moved children, in order, under the node they now hang from
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QStringList>("children");

        const QStringList all{u"R1"_qs, u"R2"_qs, u"R3"_qs, u"R4"_qs};
        QTest::newRow("next at an integration point")
            << all << u"R1:DOOR[open]"_qs << u"Integrate next Matching RBT"_qs << true << QStringList{} << 3
            << u"R1:DOOR[open]"_qs << QStringList{u"R2:TIMER[running]"_qs};
        // the first match in element order is R2's closing door, not R4's root
        QTest::newRow("this with two matches, OK")
            << all << u"R3:DOOR[closing]"_qs << u"Integrate this RBT"_qs << true
            << QStringList{u"More than one match found.Integrate with first match?"_qs} << 3 << u"R2:DOOR[closing]"_qs
            << QStringList{u"R3:SENSOR??person detected??"_qs};
    }

    void integrate()
    {
        QFETCH(QStringList, rbts);
        QFETCH(QString, node);
        QFETCH(QString, command);
        QFETCH(bool, answer);
        QFETCH(QStringList, texts);
        QFETCH(int, roots);
        QFETCH(QString, parent);
        QFETCH(QStringList, children);
        Frame f;
        CChildFrame *w = f.freshDbt(rbts);
        QVERIFY(w);
        const CKELTree &dbt = *w->Document().Tree();
        f.prompt.answers = {answer ? CPrompt::Yes : CPrompt::No};
        f.prompt.texts.clear();
        QVERIFY(f.runViewMenu(w->View(), NodeNamed(dbt, node)->GetId(), command));
        QCoreApplication::processEvents();
        QCOMPARE(f.prompt.texts, texts);
        QCOMPARE(dbt.Roots().size(), roots);
        const CKELMethod *p = NodeNamed(dbt, parent);
        QVERIFY(p);
        QStringList below;
        for (int c : p->ChildIds()) {
            if (const CKELMethod *n = TreeOps::NodeOf(dbt, c))
                below.append(Describe(*n));
        }
        QCOMPARE(below, children);
        QCOMPARE(CanvasDisagreement(w->Document()), QString());
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

QTEST_MAIN(TestDeriveIntegration)
#include "tst_deriveintegration.moc"
