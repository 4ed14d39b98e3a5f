// What a user who cannot use the mouse, or cannot tell colours apart, relies
// on: named controls, commands reachable from the keyboard, and marks that
// show in the outline as well as in the fill.
#include "derivetestkit.h"
#include "editortestkit.h"

#include "app/programparts.h"
#include "editor/childframe.h"
#include "editor/kelnodeshape.h"
#include "editor/tessel1view.h"
#include "editor/treewindows.h"

#include <QAccessible>
#include <QMdiArea>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>

#include <set>

namespace {

struct Program : DeriveTestKit::Frame
{
    Program() : DeriveTestKit::Frame(false) { editor = InstallProgramParts(*frame); }
};

bool inMenus(const QMenu &menu, const QAction *action)
{
    for (QAction *a : menu.actions()) {
        if (a == action || (a->menu() && inMenus(*a->menu(), action)))
            return true;
    }
    return false;
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_home = GuiTestKit::IsolateHome(); }

    // A screen reader reads a tool button's accessible name; an icon
    // without text would be read as nothing.
    void toolbarButtonsAreNamed()
    {
        Program p;
        p.frame->show();
        int buttons = 0;
        for (const QToolBar *bar : p.frame->findChildren<QToolBar *>()) {
            for (QToolButton *button : bar->findChildren<QToolButton *>()) {
                if (!button->defaultAction() || button->defaultAction()->isSeparator())
                    continue;
                QAccessibleInterface *a = QAccessible::queryAccessibleInterface(button);
                QVERIFY(a);
                QVERIFY2(!a->text(QAccessible::Name).trimmed().isEmpty(),
                         qPrintable(bar->windowTitle() + u": "_qs + button->defaultAction()->objectName()));
                ++buttons;
            }
        }
        QVERIFY(buttons > 5);
    }

    // Tool buttons take no keyboard focus, so every one of their commands
    // must also be in a menu, where the keyboard reaches it.
    void toolbarCommandsAreInMenus()
    {
        Program p;
        for (const QToolBar *bar : p.frame->findChildren<QToolBar *>()) {
            for (QAction *action : bar->actions()) {
                if (action->isSeparator() || action->text().isEmpty() || qobject_cast<QWidgetAction *>(action))
                    continue;
                bool found = false;
                for (QAction *top : p.frame->menuBar()->actions())
                    found = found || (top->menu() && inMenus(*top->menu(), action));
                QVERIFY2(found, qPrintable(bar->windowTitle() + u": "_qs + action->text()));
            }
        }
    }

    void selectionIsAnnounced()
    {
        EditorTestKit::Fixture f;
        const int root = f.Add(0, u"DOOR"_qs, 0, 0, u"open"_qs);
        f.Add(root, u"MOTOR"_qs, 0, 100, u"stopped"_qs);
        QMdiArea area;
        CTreeWindows windows(f.m, area);
        CChildFrame *frame = windows.Open(f.tree);
        QVERIFY(frame);
        CTessel1View &view = frame->View();
        QCOMPARE(view.accessibleDescription(), u"No node selected"_qs);
        view.SelectNode(root, false);
        QVERIFY2(view.accessibleDescription().contains(u"DOOR"_qs), qPrintable(view.accessibleDescription()));
        QVERIFY(view.accessibleDescription().contains(u"open"_qs));
    }

    // Within each kind of mark, no two states share an outline.
    void marksDifferInOutline_data()
    {
        QTest::addColumn<QList<int>>("styles");
        auto style = [](int missType, int simulationMark) {
            CKELMethod n(nullptr);
            n.missType = missType;
            return CKELNodeShape::StatusPenStyle(n, simulationMark);
        };
        QTest::newRow("simulation: waiting, this step, earlier steps")
            << QList<int>{style(0, 1), style(0, 2), style(0, 3)};
        QTest::newRow("requirement, implied, missing") << QList<int>{style(0, 0), style(1, 0), style(2, 0)};
        QList<int> highlights;
        for (int code = 0; code <= 3; ++code)
            highlights << int(CKELNodeShape::MarkLineStyle(code));
        QTest::newRow("none, integration point, missing precondition, matching") << highlights;
    }
    void marksDifferInOutline()
    {
        QFETCH(QList<int>, styles);
        const std::set<int> distinct(styles.begin(), styles.end());
        QCOMPARE(int(distinct.size()), int(styles.size()));
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
