// The translations as the desktop program offers them: the entries in the
// explorer, the tree views and the main menu, the options and where they
// are kept, the results dialog and its saves, and the errors.
#include "treesketch.h"
#include "guitestkit.h"
#include "testkit.h"
#include "scriptedprompt.h"

#include "app/mainframe.h"
#include "app/programparts.h"
#include "editor/childframe.h"
#include "editor/editorinstall.h"
#include "editor/tessel1view.h"
#include "editor/treewindows.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/solutionfile.h"
#include "translate/saloptionsdlg.h"
#include "translate/selectbtdlg.h"
#include "translate/translatecommands.h"
#include "translate/translateinstall.h"
#include "translate/translationresultdlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QtTest>

#include <algorithm>
#include <memory>

using GuiTestKit::CDialogScript;
using GuiTestKit::EntryOf;

namespace {

// The program's main window with the editor and the translations, its
// messages and dialogs answered by the test.
struct App : GuiTestKit::Frame
{
    static CEditor *TranslateParts(CMainFrame &frame)
    {
        CEditor *editor = InstallEditor(frame);
        InstallTranslate(frame, *editor);
        return editor;
    }
    App() : GuiTestKit::Frame(TranslateParts) {}
    int treeId(const QString &name) const
    {
        const CKELTree *t = tree(KEL::RBTs, name);
        t = t ? t : tree(KEL::DBTs, name);
        return t ? t->GetId() : 0;
    }
    QAction *action(const char *objectName) const { return Frame::action(QString::fromLatin1(objectName)); }
};

// The timing comments a translation with sets appends differ from run to run.
QString withoutTimes(QString text)
{
    static const QRegularExpression times(u"% Time for [^\r\n]*\r\n"_qs);
    return text.remove(times);
}

// What a result dialog showed when it was run.
struct Shown
{
    QString title;
    CTranslationResult result;
    QString widgetText;
};

void captureResult(CDialogScript &script, Shown &shown)
{
    script.Use<CTranslationResultDlg>([&shown](CTranslationResultDlg &d) {
        shown.title = d.windowTitle();
        shown.result = d.Result();
        shown.widgetText = d.findChild<QPlainTextEdit *>(u"text"_qs)->toPlainText();
        return int(QDialog::Accepted);
    });
}

// Runs a translation from a tree view's menu on the empty canvas.
void translateInView(App &app, int treeId, int kind)
{
    CChildFrame *child = app.editor->Windows().Open(treeId);
    QVERIFY(child);
    std::unique_ptr<QMenu> menu = child->View().CreateContextMenu(QPointF(1500, 1500));
    QAction *entry =
        EntryOf(*menu, kind == CTranslateCommands::Uppaal ? u"Translate to UPPAAL"_qs : u"Translate to SAL"_qs);
    QVERIFY(entry);
    if (entry->menu())
        entry = EntryOf(*entry->menu(), kind == CTranslateCommands::SalWithSets ? u"With Sets"_qs : u"Normal"_qs);
    QVERIFY(entry);
    entry->trigger();
}

QString writeSolution(const QString &dir, const QString &sketch)
{
    CKELDataManager m;
    m.NewSolution();
    TreeSketch::AddTree(m, sketch, u"T"_qs);
    const QString path = dir + u"/sketch.kvf"_qs;
    QString error;
    if (!CSolutionFile::Write(m, path, &error))
        qWarning("%s", qPrintable(error));
    return path;
}

} // namespace

class TestTranslate : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_home = GuiTestKit::IsolateHome();
        QVERIFY(m_files.isValid());
    }

    // Each entry shows what the core translation gives for the same tree and settings.
    void entries_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("tree");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("title");
        QTest::newRow("explorer RBT") << u"explorer"_qs << u"R1"_qs << int(CTranslateCommands::Sal)
                                      << u"SAL Translation"_qs;
        QTest::newRow("RBT view, normal")
            << u"view"_qs << u"R3"_qs << int(CTranslateCommands::Sal) << u"SAL Translation"_qs;
        QTest::newRow("RBT view, with sets")
            << u"view"_qs << u"R1"_qs << int(CTranslateCommands::SalWithSets) << u"SAL Translation"_qs;
        QTest::newRow("IBT view, UPPAAL")
            << u"view"_qs << u"Oven"_qs << int(CTranslateCommands::Uppaal) << u"UPPAAL Translation"_qs;
        QTest::newRow("main menu, normal")
            << u"menu"_qs << u"R3"_qs << int(CTranslateCommands::Sal) << u"SAL Translation"_qs;
        QTest::newRow("main menu, with sets")
            << u"menu"_qs << u"Oven"_qs << int(CTranslateCommands::SalWithSets) << u"SAL Translation"_qs;
        QTest::newRow("main menu, UPPAAL")
            << u"menu"_qs << u"R1"_qs << int(CTranslateCommands::Uppaal) << u"UPPAAL Translation"_qs;
    }

    void entries()
    {
        QFETCH(QString, entry);
        QFETCH(QString, tree);
        QFETCH(int, kind);
        QFETCH(QString, title);
        App app;
        QVERIFY(app.frame->OpenFile(GuiTestKit::ExampleSolution()));
        const int id = app.treeId(tree);
        QVERIFY(id);
        const QString declarations = QStringLiteral(VERDANTIS_TEST_DATA "/translate/sets-declarations.txt");
        const QString init = QStringLiteral(VERDANTIS_TEST_DATA "/translate/sets-init.txt");
        if (kind == CTranslateCommands::SalWithSets)
            app.script.files = QStringList{declarations, init};

        Shown shown;
        if (entry == u"explorer") {
            captureResult(app.script, shown);
            const int type = app.frame->Manager().Lookup(id)->GetTypeCode();
            QVERIFY(app.frame->Explorer()->Menu().Shown(type).contains(u"Translate to SAL"_qs));
            QVERIFY(app.frame->Explorer()->Menu().Run(type, u"Translate to SAL"_qs, {id, 0}));
        } else if (entry == u"view") {
            captureResult(app.script, shown);
            CChildFrame *child = app.editor->Windows().Open(id);
            QVERIFY(child);
            std::unique_ptr<QMenu> menu = child->View().CreateContextMenu(QPointF(100, 25)); // on the root
            QVERIFY(menu);
            const QList<QAction *> top = menu->actions();
            QCOMPARE(std::count_if(top.begin(), top.end(), [](QAction *t) { return t->text() == u"Translate to SAL"; }),
                     1);
            QAction *a = nullptr;
            if (kind == CTranslateCommands::Uppaal) {
                a = EntryOf(*menu, u"Translate to UPPAAL"_qs);
            } else {
                QAction *sub = EntryOf(*menu, u"Translate to SAL"_qs);
                QVERIFY(sub && sub->menu());
                a = EntryOf(*sub->menu(), kind == CTranslateCommands::Sal ? u"Normal"_qs : u"With Sets"_qs);
            }
            QVERIFY(a);
            a->trigger();
        } else {
            // the tree to translate is chosen in the dialog, not the active window's
            app.editor->Windows().Open(app.treeId(tree == u"R1" ? u"Oven"_qs : u"R1"_qs));
            QString selectTitle;
            app.script.Use<CSelectBTDlg>([id, &selectTitle, tree](CSelectBTDlg &d) {
                selectTitle = d.windowTitle();
                auto *combo = d.findChild<QComboBox *>(u"trees"_qs);
                combo->setCurrentIndex(combo->findData(id));
                d.accept();
                return d.result();
            });
            captureResult(app.script, shown);
            const char *name = kind == CTranslateCommands::Sal           ? "actionTranslateSal"
                               : kind == CTranslateCommands::SalWithSets ? "actionTranslateSalSets"
                                                                         : "actionTranslateUppaal";
            QAction *a = app.action(name);
            QVERIFY(a);
            a->trigger();
            QCOMPARE(selectTitle, kind == CTranslateCommands::Uppaal ? u"Select BT to translate to UPPAAL"_qs
                                                                     : u"Select BT to translate to SAL"_qs);
        }
        QVERIFY2(app.prompt.texts.isEmpty(), qPrintable(app.prompt.texts.join(u'\n')));
        QCOMPARE(shown.title, title);

        // the same translation straight from the core, with the defaults the window started with
        CTranslateUPPAAL uppaal;
        CTranslateSALMain sal;
        CTranslateSALMain &core = kind == CTranslateCommands::Uppaal ? uppaal : sal;
        const std::optional<CTranslationResult> expected =
            core.Translate(app.frame->Manager(), id, kind == CTranslateCommands::SalWithSets, {declarations, init});
        QVERIFY(expected);
        QVERIFY(!expected->text.isEmpty());
        QCOMPARE(withoutTimes(shown.result.text), withoutTimes(expected->text));
        QCOMPARE(shown.widgetText, QString(shown.result.text).remove(u'\r'));
        if (kind == CTranslateCommands::SalWithSets) // the declared set types are in
            QVERIFY(shown.result.text.contains(u"Fruit"_qs));
    }

    // "Save translation" names the SAL context after the file; "Save times" writes the times.
    void saves_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("writable");
        QTest::newRow("SAL") << int(CTranslateCommands::Sal) << u"oven_model.sal"_qs << true;
        QTest::newRow("SAL, dotted name") << int(CTranslateCommands::Sal) << u"oven.v2.sal"_qs << true;
        QTest::newRow("UPPAAL") << int(CTranslateCommands::Uppaal) << u"oven.xml"_qs << true;
        QTest::newRow("folder missing") << int(CTranslateCommands::Sal) << u"no/such/folder/x.sal"_qs << false;
        QTest::newRow("SAL with sets, set context beside")
            << int(CTranslateCommands::SalWithSets) << u"sets/oven.sal"_qs << true;
    }

    void saves()
    {
        QFETCH(int, kind);
        QFETCH(QString, fileName);
        QFETCH(bool, writable);
        App app;
        QVERIFY(app.frame->OpenFile(GuiTestKit::ExampleSolution()));
        const QString path = m_files.filePath(fileName);
        const QString timesPath = m_files.filePath(QFileInfo(fileName).fileName() + u".times.txt"_qs);
        QFile::remove(path);
        const QString setContext = SalSetContextPath(path);
        QFile::remove(setContext);
        app.script.files = QStringList{path, writable ? timesPath : path};
        if (kind == CTranslateCommands::SalWithSets) {
            QVERIFY(QDir().mkpath(QFileInfo(path).path()));
            app.script.files = QStringList{QStringLiteral(VERDANTIS_TEST_DATA "/translate/sets-declarations.txt"),
                                           QStringLiteral(VERDANTIS_TEST_DATA "/translate/sets-init.txt")}
                               + app.script.files;
        }
        CTranslationResult shown;
        app.script.Use<CTranslationResultDlg>([&shown](CTranslationResultDlg &d) {
            shown = d.Result();
            d.findChild<QPushButton *>(u"saveTranslation"_qs)->click();
            d.findChild<QPushButton *>(u"saveTimes"_qs)->click();
            return int(QDialog::Accepted);
        });
        translateInView(app, app.treeId(u"Oven"_qs), kind);
        QVERIFY(!shown.text.isEmpty());
        QVERIFY(app.script.titles.contains(u"Save translation"_qs));
        QVERIFY(app.script.titles.contains(u"Save times"_qs));

        if (!writable) {
            QVERIFY(!QFile::exists(path));
            QCOMPARE(app.prompt.texts.size(), 2); // both saves fail and say why
            QVERIFY(app.prompt.texts.first().startsWith(u"The translation was not saved."_qs));
            QVERIFY(app.prompt.texts.first().contains(path));
            QVERIFY(app.prompt.texts.last().startsWith(u"The times were not saved."_qs));
            return;
        }
        QVERIFY2(app.prompt.texts.isEmpty(), qPrintable(app.prompt.texts.join(u'\n')));
        const QString saved = QString::fromUtf8(TestKit::ReadFile(path));
        // only a model with sets gets the set context it calls
        QCOMPARE(QFile::exists(setContext), kind == CTranslateCommands::SalWithSets);
        if (kind == CTranslateCommands::SalWithSets)
            QCOMPARE(QString::fromUtf8(TestKit::ReadFile(setContext)), SalSetContext());
        if (kind == CTranslateCommands::Uppaal) {
            QCOMPARE(saved, shown.text);
        } else {
            // the file's name made an identifier: "oven.v2" names the context "oven_v2"
            const QString context = SalContextName(QFileInfo(fileName).completeBaseName());
            QVERIFY(saved.startsWith(context + u":CONTEXT="_qs));
            QCOMPARE(saved.mid(context.size()), shown.text.mid(shown.text.indexOf(u":CONTEXT"_qs)));
        }
        // a tree of the model: two time lines and no figures
        const QStringList times = QString::fromUtf8(TestKit::ReadFile(timesPath)).split(u"\r\n"_qs);
        QCOMPARE(times.size(), 2);
        QCOMPARE(times[0], u"Parsing time (ms): "_qs + QString::number(shown.parsingMs));
        QCOMPARE(times[1], u"Translation time (ms): "_qs + QString::number(shown.translationMs));
    }

    // A tree the translation cannot take shows the translator's reason and no results.
    void error()
    {
        App app;
        QVERIFY(app.frame->OpenFile(writeSolution(m_files.path(), u"2|Door|open\n  1|Door|closed"_qs)));
        Shown shown;
        captureResult(app.script, shown);
        translateInView(app, app.treeId(u"T"_qs), CTranslateCommands::Sal);
        QCOMPARE(app.prompt.texts, QStringList{u"Parsing error: Root node must be a state-realisation."_qs});
        QCOMPARE(app.prompt.captions.first(), u"Message"_qs);
        QVERIFY(shown.title.isEmpty()); // no results dialog
    }

    // The random tree is chosen in the options; its figures reach the dialog and the times file.
    void randomTree_data()
    {
        QTest::addColumn<QString>("iterations");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("message"); // "" for a translation that shows its results
        QTest::newRow("60 iterations") << u"60"_qs << u"Translate to SAL"_qs << QString();
        QTest::newRow("UPPAAL keeps to the chosen tree") << u"0"_qs << u"Translate to UPPAAL"_qs << QString();
        QTest::newRow("no iterations") << u"0"_qs << u"Translate to SAL"_qs
                                       << u"Parsing error: The number of iterations must be a whole number"_qs;
    }

    void randomTree()
    {
        QFETCH(QString, iterations);
        QFETCH(QString, entry);
        QFETCH(QString, message);
        App app;
        QVERIFY(app.frame->OpenFile(GuiTestKit::ExampleSolution()));
        app.script.Accept<CSALOptionsDlg>([iterations](CSALOptionsDlg &d) {
            d.findChild<QCheckBox *>(u"randomTree"_qs)->setChecked(true);
            d.findChild<QLineEdit *>(u"iterations"_qs)->setText(iterations);
        });
        app.action("actionSalOption")->trigger();
        const QString timesPath = m_files.filePath(u"random-times.txt"_qs);
        QFile::remove(timesPath);
        app.script.files = QStringList{timesPath};
        CTranslationResult shown;
        QString nodesShown;
        app.script.Use<CTranslationResultDlg>([&](CTranslationResultDlg &d) {
            shown = d.Result();
            nodesShown = d.findChild<QLineEdit *>(u"nodes"_qs)->text();
            d.findChild<QPushButton *>(u"saveTimes"_qs)->click();
            return int(QDialog::Accepted);
        });
        translateInView(app, app.treeId(u"R1"_qs),
                        entry == u"Translate to UPPAAL" ? CTranslateCommands::Uppaal : CTranslateCommands::Sal);
        if (!message.isEmpty()) {
            QCOMPARE(app.prompt.texts.size(), 1);
            QVERIFY2(app.prompt.texts.first().startsWith(message), qPrintable(app.prompt.texts.first()));
            QVERIFY(shown.text.isEmpty());
            return;
        }
        QVERIFY2(app.prompt.texts.isEmpty(), qPrintable(app.prompt.texts.join(u'\n')));
        const QStringList lines = QString::fromUtf8(TestKit::ReadFile(timesPath)).split(u"\r\n"_qs);
        if (entry == u"Translate to UPPAAL") {
            QVERIFY(!shown.hasRandomFigures);
            QVERIFY(nodesShown.isEmpty());
            QVERIFY(shown.text.contains(u"oVEN"_qs)); // the tree's own component
            QCOMPARE(lines.size(), 2);
            return;
        }
        QVERIFY(shown.hasRandomFigures);
        QVERIFY(shown.nodes >= 60);
        QCOMPARE(nodesShown, QString::number(shown.nodes));
        QCOMPARE(lines.size(), 7);
        QCOMPARE(lines[2], u"Number of Nodes: "_qs + QString::number(shown.nodes));
        QCOMPARE(lines[6], u"Number of Thread Kills: "_qs + QString::number(shown.threadKills));
    }

    // What OK stores is there in a new window and for the command line; Cancel stores nothing.
    void optionsPersist_data()
    {
        QTest::addColumn<QString>("modeButton");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("random");
        QTest::addColumn<QString>("setParser");
        QTest::addColumn<bool>("properties");
        QTest::addColumn<QString>("range"); // as typed
        QTest::addColumn<QString>("kept");  // what a new window shows; empty: what the dialog opened with
        QTest::newRow("mode 1, shipped parser")
            << u"mode1"_qs << 1 << false << QString() << true << u"2..9"_qs << u"2..9"_qs;
        QTest::newRow("mode 2, random tree")
            << u"mode2"_qs << 2 << true << QString() << false << u" -5 .. 5"_qs << u"-5..5"_qs;
        QTest::newRow("mode 4, own parser, a range the wrong way round keeps the old one")
            << u"mode4"_qs << 4 << false << u"/opt/parsers/sets {in} {out}"_qs << true << u"7..3"_qs << QString();
    }

    void optionsPersist()
    {
        QFETCH(QString, modeButton);
        QFETCH(int, mode);
        QFETCH(bool, random);
        QFETCH(QString, setParser);
        QFETCH(bool, properties);
        QFETCH(QString, range);
        QFETCH(QString, kept);
        {
            App app;
            app.script.Accept<CSALOptionsDlg>([&](CSALOptionsDlg &d) {
                auto *randomBox = d.findChild<QCheckBox *>(u"randomTree"_qs);
                auto *iterations = d.findChild<QLineEdit *>(u"iterations"_qs);
                randomBox->setChecked(true); // the edit follows the box at once
                QVERIFY(iterations->isEnabled());
                randomBox->setChecked(false);
                QVERIFY(!iterations->isEnabled());
                d.findChild<QRadioButton *>(modeButton)->setChecked(true);
                randomBox->setChecked(random);
                iterations->setText(u"250"_qs);
                d.findChild<QCheckBox *>(u"failureViews"_qs)->setChecked(true);
                d.findChild<QCheckBox *>(u"displayTime"_qs)->setChecked(false);
                d.findChild<QLineEdit *>(u"setParser"_qs)->setText(setParser);
                d.findChild<QCheckBox *>(u"properties"_qs)->setChecked(properties);
                if (kept.isEmpty())
                    kept = d.findChild<QLineEdit *>(u"intRange"_qs)->text();
                d.findChild<QLineEdit *>(u"intRange"_qs)->setText(range);
            });
            QAction *option = app.action("actionSalOption");
            QVERIFY(option);
            option->trigger();
            QVERIFY(app.script.Done());
            QCOMPARE(app.script.titles, QStringList{u"Select SAL Options"_qs});
        }
        App again;
        CTranslateSettings seen;
        bool iterationsEnabled = false;
        QStringList checked;
        again.script.Use<CSALOptionsDlg>([&](CSALOptionsDlg &d) {
            seen = d.Settings();
            for (const QString &b : {u"mode1"_qs, u"mode2"_qs, u"mode4"_qs}) {
                if (d.findChild<QRadioButton *>(b)->isChecked())
                    checked << b;
            }
            iterationsEnabled = d.findChild<QLineEdit *>(u"iterations"_qs)->isEnabled();
            // Cancel keeps what was stored even though the controls changed
            d.findChild<QRadioButton *>(u"mode1"_qs)->setChecked(mode != 1);
            d.findChild<QRadioButton *>(u"mode2"_qs)->setChecked(mode == 1);
            return int(QDialog::Rejected);
        });
        again.action("actionSalOption")->trigger();
        QCOMPARE(checked, QStringList{modeButton});
        QCOMPARE(seen.messageMode, mode);
        QCOMPARE(seen.useRandomTree, random);
        QCOMPARE(iterationsEnabled, random);
        QCOMPARE(seen.iterations, u"250"_qs);
        QVERIFY(seen.useFailureViews);
        QVERIFY(!seen.displayTime);
        QCOMPARE(seen.setParserCommand, setParser);
        QCOMPARE(seen.properties, properties);
        QCOMPARE(seen.IntRangeText(), kept);

        // the command line reads the same store
        const std::unique_ptr<QSettings> stored(CTranslateCommands::OpenSettings());
        CTranslateSettings cli;
        cli.ReadFrom(*stored);
        QCOMPARE(cli.messageMode, mode);
        QCOMPARE(cli.setParserCommand, setParser);
    }

    void uppaalProperties_data()
    {
        QTest::addColumn<bool>("checked");
        QTest::newRow("properties asked for") << true;
        QTest::newRow("no properties") << false;
    }

    // The UPPAAL tree dialog offers the properties; what it says goes into the network.
    void uppaalProperties()
    {
        QFETCH(bool, checked);
        App app;
        QVERIFY(app.frame->OpenFile(GuiTestKit::ExampleSolution()));
        const int id = app.treeId(u"R1"_qs);
        QVERIFY(id);
        bool offered = false;
        app.script.Use<CSelectBTDlg>([&](CSelectBTDlg &d) {
            auto *combo = d.findChild<QComboBox *>(u"trees"_qs);
            combo->setCurrentIndex(combo->findData(id));
            auto *box = d.findChild<QCheckBox *>(u"properties"_qs);
            offered = box != nullptr;
            if (box)
                box->setChecked(checked);
            d.accept();
            return d.result();
        });
        Shown shown;
        captureResult(app.script, shown);
        app.action("actionTranslateUppaal")->trigger();
        QVERIFY(offered);
        QVERIFY2(app.prompt.texts.isEmpty(), qPrintable(app.prompt.texts.join(u'\n')));
        QCOMPARE(shown.result.text.contains(u"<queries>"_qs), checked);
        QCOMPARE(shown.result.text.contains(u"<formula>A[] not deadlock</formula>"_qs), checked);
    }

    // The main menu with no tree in the solution says so instead of an empty choice.
    void noTreeToChoose()
    {
        App app;
        app.frame->Manager().NewSolution();
        app.action("actionTranslateUppaal")->trigger();
        QCOMPARE(app.prompt.texts, QStringList{u"There is no behavior tree to translate."_qs});
        QVERIFY(app.script.titles.isEmpty());
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
    QTemporaryDir m_files;
};

QTEST_MAIN(TestTranslate)
#include "tst_translate.moc"
