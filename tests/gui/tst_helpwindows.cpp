// Help > User Guide and Help > Keyboard Shortcuts in the assembled main
// window, and the rendered guide itself.
#include "testkit.h"
#include "derivetestkit.h"

#include "app/helpwindows.h"
#include "app/programparts.h"

#include <QAction>
#include <algorithm>
#include <QDirIterator>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTreeWidget>

namespace {

struct Program : DeriveTestKit::Frame
{
    Program() : DeriveTestKit::Frame(Everything) {}
};

} // namespace

class TestHelpWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_home = GuiTestKit::IsolateHome(); }

    void shortcutsAreListed_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("where");
        QTest::addColumn<QKeySequence>("keys");
        QTest::newRow("save") << u"Save"_qs << u"File"_qs << QKeySequence(QKeySequence::Save);
        QTest::newRow("export, placed by the editor") << u"Export"_qs << u"File"_qs << QKeySequence(u"Ctrl+Shift+E"_qs);
        QTest::newRow("zoom in") << u"Zoom In"_qs << u"View"_qs << QKeySequence(QKeySequence::ZoomIn);
        QTest::newRow("find") << u"Find"_qs << u"Tree"_qs << QKeySequence(QKeySequence::Find);
        QTest::newRow("user guide") << u"User Guide"_qs << u"Help"_qs << QKeySequence(Qt::Key_F1);
        QTest::newRow("tree window key") << u"Change the selected node"_qs << u"Tree window"_qs
                                         << QKeySequence(Qt::Key_F2);
    }
    void shortcutsAreListed()
    {
        QFETCH(QString, command);
        QFETCH(QString, where);
        QFETCH(QKeySequence, keys);
        Program p;
        const QList<CShortcutEntry> entries = CollectShortcuts(*p.frame);
        const bool found = std::any_of(entries.begin(), entries.end(), [&](const CShortcutEntry &e) {
            return e.command == command && e.where == where && e.keys == keys;
        });
        QStringList seen;
        for (const CShortcutEntry &e : entries)
            seen << e.where + u": "_qs + e.command + u" "_qs + e.keys.toString();
        QVERIFY2(found, qPrintable(seen.join(u'\n')));
    }

    void shortcutsDialogShowsTheTable()
    {
        Program p;
        int rows = 0;
        p.script.Accept<CKeyboardShortcutsDlg>([&rows](CKeyboardShortcutsDlg &d) {
            rows = d.findChild<QTreeWidget *>(u"shortcutTable"_qs)->topLevelItemCount();
        });
        p.frame->findChild<QAction *>(u"actionKeyboardShortcuts"_qs)->trigger();
        QCOMPARE(rows, int(CollectShortcuts(*p.frame).size()));
    }

    void userGuideOpensOnF1()
    {
        Program p;
        QAction *guide = p.frame->findChild<QAction *>(u"actionUserGuide"_qs);
        QVERIFY(guide);
        QCOMPARE(guide->shortcut(), QKeySequence(Qt::Key_F1));
        guide->trigger();
        auto *window = p.frame->findChild<CUserGuideWindow *>();
        QVERIFY(window);
        QCOMPARE(window->Browser()->source().fileName(), u"index.html"_qs);
        QVERIFY(window->Browser()->toPlainText().contains(u"Getting started"_qs));
        guide->trigger(); // a second press brings the same window forward
        QCOMPARE(p.frame->findChildren<CUserGuideWindow *>().size(), 1);
    }

    // Every chapter link and every picture of the rendered guide is there.
    void guideLinksResolve_data()
    {
        QTest::addColumn<QString>("page");
        QDirIterator it(QStringLiteral(VERDANTIS_GUIDE_DIR), {u"*.html"_qs}, QDir::Files);
        int pages = 0;
        while (it.hasNext()) {
            it.next();
            QTest::newRow(qPrintable(it.fileName())) << it.filePath();
            ++pages;
        }
        QVERIFY2(pages >= 10, "the guide was not rendered: is pandoc installed?");
    }
    void guideLinksResolve()
    {
        QFETCH(QString, page);
        const QString html = QString::fromUtf8(TestKit::ReadFile(page));
        QVERIFY(!html.isEmpty());
        static const QRegularExpression reference(u"(?:href|src)=\"([^\"#:]+)(?:#[^\"]*)?\""_qs);
        auto matches = reference.globalMatch(html);
        while (matches.hasNext()) {
            const QString target = matches.next().captured(1);
            QVERIFY2(QFileInfo::exists(QFileInfo(page).dir().filePath(target)), qPrintable(target));
        }
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

QTEST_MAIN(TestHelpWindows)
#include "tst_helpwindows.moc"
