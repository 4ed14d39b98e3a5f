// The solution's one history in the main window, on the automatic door
// example: the Edit menu names the step it would undo, the keys reach it
// from any window, integration undoes with its layout, the changed star
// follows the saved state.
#include "derivetestkit.h"

#include "app/programparts.h"
#include "dialogs/kelnodedlg.h"
#include "dialogs/kelrbtdlg.h"
#include "edit/undohistory.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QListWidget>
#include <QMdiArea>
#include <QTemporaryDir>

using namespace DeriveTestKit;
using GuiTestKit::SavedLines;

class TestEditHistory : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { m_home = GuiTestKit::IsolateHome(); }

    // One Undo takes back the graft and the layout that placed it: model and
    // drawing are as before, and no stray step is left for a second Undo.
    void integrationUndoesWithItsLayout_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("node");
        QTest::newRow("next matching RBT") << u"Integrate next Matching RBT"_qs << u"R1:DOOR[open]"_qs;
        QTest::newRow("this RBT") << u"Integrate this RBT"_qs << u"R2:DOOR[open]"_qs;
    }

    void integrationUndoesWithItsLayout()
    {
        QFETCH(QString, command);
        QFETCH(QString, node);
        Frame f;
        CChildFrame *w = f.freshDbt();
        QVERIFY(w);
        CTessel1Doc &doc = w->Document();
        const QStringList lines = SavedLines(f.model());
        const int stepsBefore = f.model().History().CanUndo() ? 1 : 0;
        QCOMPARE(stepsBefore, 1); // "Get RBTs" itself
        const QString getRbts = f.model().History().UndoText();

        f.prompt.answers = {CPrompt::Yes};
        QVERIFY(f.runViewMenu(w->View(), NodeNamed(*doc.Tree(), node)->GetId(), command));
        QCoreApplication::processEvents();
        QVERIFY(SavedLines(f.model()) != lines);
        QAction *undo = f.action(u"actionUndo"_qs);
        QCOMPARE(undo->text(), u"&Undo "_qs + command);

        f.prompt.texts.clear();
        QVERIFY(undo->isEnabled());
        undo->trigger();
        QCOMPARE(f.prompt.texts, QStringList());
        QCOMPARE(SavedLines(f.model()), lines);
        QCOMPARE(CanvasDisagreement(doc), QString());
        QCOMPARE(f.model().History().UndoText(), getRbts);

        f.action(u"actionRedo"_qs)->trigger();
        QVERIFY(SavedLines(f.model()) != lines);
        QCOMPARE(CanvasDisagreement(doc), QString());
    }

    // "Change Behavior" through the node dialog, then the keys of Undo and of
    // both Redo habits, sent to the tree window or to the explorer.
    void keysAndMenuTexts_data()
    {
        QTest::addColumn<QKeySequence>("redoKey");
        QTest::addColumn<bool>("explorerHasFocus");
        QTest::newRow("Ctrl+Y in the tree window") << QKeySequence(Qt::CTRL | Qt::Key_Y) << false;
        QTest::newRow("Ctrl+Shift+Z in the tree window") << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z) << false;
        QTest::newRow("Ctrl+Y in the explorer") << QKeySequence(Qt::CTRL | Qt::Key_Y) << true;
    }

    void keysAndMenuTexts()
    {
        QFETCH(QKeySequence, redoKey);
        QFETCH(bool, explorerHasFocus);
        Frame f;
        QVERIFY(f.open());
        f.frame->show();
        QVERIFY(QTest::qWaitForWindowActive(f.frame.get()));
        CKELTree *r1 = f.tree(KEL::RBTs, u"R1"_qs, u"2.0"_qs);
        QVERIFY(r1);
        CChildFrame *w = f.windows().Open(r1->GetId());
        QVERIFY(w);
        CKELMethod *door = NodeNamed(*r1, u"R1:DOOR[open]"_qs);
        QVERIFY(door);
        const int doorId = door->GetId();
        f.script.Accept<CKELNodeDlg>([](CKELNodeDlg &d) { d.BehaviorCombo()->setCurrentText(u"closing"_qs); });
        QVERIFY(w->View().ChangeBehavior(doorId));
        QCOMPARE(TreeOps::NodeOf(*r1, doorId)->behavior, u"closing"_qs);
        QAction *undo = f.action(u"actionUndo"_qs);
        QCOMPARE(undo->text(), u"&Undo Change Behavior"_qs);

        QWidget *target = explorerHasFocus ? static_cast<QWidget *>(f.frame->Explorer()) : w->View().viewport();
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(TreeOps::NodeOf(*r1, doorId)->behavior, u"open"_qs);
        QCOMPARE(f.action(u"actionRedo"_qs)->text(), u"&Redo Change Behavior"_qs);
        const QKeyCombination combo = redoKey[0];
        QTest::keyClick(target, combo.key(), combo.keyboardModifiers());
        QCOMPARE(TreeOps::NodeOf(*r1, doorId)->behavior, u"closing"_qs);
        QCOMPARE(w->Document().NodeShape(doorId)->StaCell()->text, u"[closing]"_qs);
    }

    // Delete on a node with children asks in the program's own dialog; the
    // whole subtree goes and Undo brings it back.
    void removeSubtreeAsks()
    {
        Frame f;
        QVERIFY(f.open());
        f.frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.frame.get()));
        CKELTree *r1 = f.tree(KEL::RBTs, u"R1"_qs, u"2.0"_qs);
        CChildFrame *w = f.windows().Open(r1->GetId());
        CTessel1View &view = w->View();
        const int sensor = NodeNamed(*r1, u"R1:SENSOR??person detected??"_qs)->GetId();
        const auto count = [r1] { return qsizetype(r1->Children().size()); };
        const qsizetype nodes = count();
        view.SelectNode(sensor, false);
        bool asked = false;
        f.script.Use<QDialog>([&](QDialog &d) {
            asked = true;
            for (QAbstractButton *b : d.findChildren<QAbstractButton *>()) {
                if (b->text() == u"Remove the whole subtree")
                    b->click();
            }
            return int(QDialog::Accepted);
        });
        QTest::keyClick(view.viewport(), Qt::Key_Delete);
        QVERIFY(asked);
        QVERIFY(!f.model().Lookup(sensor));
        QVERIFY(count() < nodes - 1);
        QTest::keyClick(view.viewport(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(f.model().Lookup(sensor));
        QCOMPARE(count(), nodes);
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

QTEST_MAIN(TestEditHistory)
#include "tst_edithistory.moc"
