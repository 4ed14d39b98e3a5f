// Every part built into one main window, as the program starts: the parts
// must not take each other's entries, and each kind of element offers what
// all of them add.
#include "derivetestkit.h"

#include "app/programparts.h"
#include "explorer/explorermenu.h"

#include <QMenuBar>

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

struct Program : DeriveTestKit::Frame
{
    Program() : DeriveTestKit::Frame(false) { editor = InstallProgramParts(*frame); }
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

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
