// Every part built into one main window, as the program starts: the parts
// must not take each other's entries, each kind of element offers what all
// of them add, and what a user who cannot use the mouse, or cannot tell
// colours apart, relies on: named controls, commands reachable from the
// keyboard, and marks that show in the outline as well as in the fill.
#include "derivetestkit.h"
#include "editortestkit.h"

#include "app/programparts.h"
#include "editor/childframe.h"
#include "editor/kelnodeshape.h"
#include "editor/tessel1view.h"
#include "editor/treewindows.h"
#include "explorer/explorermenu.h"

#include <QAccessible>
#include <QMdiArea>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>

#include <set>

namespace {

QString plain(QString text)
{
    return text.remove(u'&');
}

// The texts of a menu and its submenus, each prefixed by its submenu path.
QStringList entries(const QMenu &menu, const QString &prefix = QString())
{
    QStringList out;
    for (QAction *a : menu.actions()) {
        if (a->isSeparator() || !a->isVisible()) // hidden: the recent-file places not yet used
            continue;
        const QString text = prefix + plain(a->text());
        out.append(text);
        if (a->menu())
            out += entries(*a->menu(), text + u" > "_qs);
    }
    return out;
}

QStringList duplicates(const QStringList &texts)
{
    QStringList seen, twice;
    for (const QString &t : texts) {
        if (seen.contains(t) && !twice.contains(t))
            twice.append(t);
        seen.append(t);
    }
    return twice;
}

bool inMenus(const QMenu &menu, const QAction *action)
{
    for (QAction *a : menu.actions()) {
        if (a == action || (a->menu() && inMenus(*a->menu(), action)))
            return true;
    }
    return false;
}

struct Program : DeriveTestKit::Frame
{
    Program() : DeriveTestKit::Frame(Everything) {}
};

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_home = GuiTestKit::IsolateHome(); }

    void mainMenus_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("file") << u"File"_qs
                              << QStringList{u"Open Shared ..."_qs, u"Connect ( Login)"_qs, u"Disconnect (Logout)"_qs,
                                             u"Server Messages..."_qs};
        QTest::newRow("model") << u"Model"_qs
                               << QStringList{u"View CBT"_qs, u"View CIN"_qs, u"View CID"_qs,
                                              u"Import Requirements"_qs};
        QTest::newRow("tool") << u"Tool"_qs
                              << QStringList{u"Simulation"_qs, u"Model Checking > SAL Option"_qs,
                                             u"Model Checking > Translate to UPPAAL"_qs,
                                             u"Model Checking > Verify..."_qs};
    }
    void mainMenus()
    {
        QFETCH(QString, menu);
        QFETCH(QStringList, expected);
        Program p;
        QVERIFY(p.open());
        const QStringList shown = entries(*p.frame->MenuNamed(menu));
        for (const QString &e : std::as_const(expected))
            QVERIFY2(shown.contains(e), qPrintable(e + u" not in "_qs + shown.join(u", "_qs)));
        QVERIFY2(duplicates(shown).isEmpty(), qPrintable(duplicates(shown).join(u", "_qs)));
        // the parts make their menus once: no second menu of the same title
        int same = 0;
        for (QAction *a : p.frame->menuBar()->actions())
            same += plain(a->text()) == menu;
        QCOMPARE(same, 1);
    }

    void explorerMenus_data()
    {
        QTest::addColumn<int>("typeCode");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("RBT") << int(KEL::RBT)
                             << QStringList{u"Open"_qs,       u"Translate to SAL"_qs, u"Simulate with ZEPH"_qs,
                                            u"Create CBT"_qs, u"Create CID"_qs,       u"Create CIN"_qs};
        QTest::newRow("DBT") << int(KEL::DBT) << QStringList{u"Get RBTs"_qs,
                                                             u"Mark Integration Points"_qs,
                                                             u"Mark Missing Precondition"_qs,
                                                             u"Translate to SAL"_qs,
                                                             u"Simulate with ZEPH"_qs,
                                                             u"Create CBT"_qs,
                                                             u"Create CIN"_qs};
        QTest::newRow("EVT") << int(KEL::EVT)
                             << QStringList{u"Open"_qs,
                                            u"Remove"_qs,
                                            u"Translate to SAL"_qs,
                                            u"Simulate with ZEPH"_qs,
                                            u"Evolutionary CBT"_qs,
                                            u"Evolutionary CIN"_qs,
                                            u"Evolutionary CID"_qs};
        QTest::newRow("CIN") << int(KEL::CIN) << QStringList{u"Open"_qs, u"Remove"_qs};
        QTest::newRow("CIDs folder") << int(KEL::CIDs) << QStringList{u"New CID"_qs};
        QTest::newRow("EVTs folder") << int(KEL::EVTs) << QStringList{u"Add Evolution Tree"_qs};
    }
    void explorerMenus()
    {
        QFETCH(int, typeCode);
        QFETCH(QStringList, expected);
        Program p;
        const QStringList shown = p.frame->Explorer()->Menu().Shown(typeCode);
        for (const QString &e : std::as_const(expected))
            QVERIFY2(shown.contains(e), qPrintable(e + u" not in "_qs + shown.join(u", "_qs)));
        QStringList texts = shown;
        texts.removeAll(QString());
        QVERIFY2(duplicates(texts).isEmpty(), qPrintable(duplicates(texts).join(u", "_qs)));
    }

    // The canvas menu of a design tree gathers the entries of every part.
    void viewMenu()
    {
        Program p;
        QVERIFY(p.open());
        CKELTree *door = p.tree(KEL::DBTs, u"Door"_qs, u"2.0"_qs);
        QVERIFY(door);
        CChildFrame *child = p.windows().Open(door->GetId());
        QVERIFY(child);
        std::unique_ptr<QMenu> menu = child->View().CreateContextMenu(QPointF(5000, 5000));
        const QStringList shown = entries(*menu);
        for (const QString &e : {u"Get RBTs"_qs, u"Mark Integration Points"_qs, u"Translate to SAL > Normal"_qs,
                                 u"Translate to SAL > With Sets"_qs, u"Translate to UPPAAL"_qs,
                                 u"Simulate with ZEPH"_qs, u"Create CBT"_qs, u"Create CIN"_qs})
            QVERIFY2(shown.contains(e), qPrintable(e + u" not in "_qs + shown.join(u", "_qs)));
        QVERIFY2(duplicates(shown).isEmpty(), qPrintable(duplicates(shown).join(u", "_qs)));
    }

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

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
