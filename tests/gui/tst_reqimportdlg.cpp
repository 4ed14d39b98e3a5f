// The requirements translation assistant in the main window: opened from
// the menu, walked through the sample text, exporting requirements and
// nodes through the model's commands, with scripted answers throughout.
#include "guitestkit.h"
#include "scriptedprompt.h"

#include "app/mainframe.h"
#include "app/programparts.h"
#include "app/solutioncommands.h"
#include "edit/undohistory.h"
#include "editor/childframe.h"
#include "editor/editorinstall.h"
#include "editor/treewindows.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/kelrequirement.h"
#include "model/keltree.h"
#include "reqimport/nodeline.h"
#include "reqimport/reqimport.h"
#include "reqimport/reqimporttexts.h"
#include "reqimport/reqimportinstall.h"
#include "reqimport/reqtadlg.h"
#include "reqimport/selectrbtdlg.h"
#include "reqimport/tagspecsdlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTextEdit>
#include <QtTest>

using GuiTestKit::CDialogScript;
using GuiTestKit::ExampleSolution;
using GuiTestKit::IsolateHome;

namespace {

QString sample(const QString &name)
{
    return QStringLiteral(VERDANTIS_TEST_DATA "/fixtures/") + name;
}

// A main window with the editor and the assistant, answering from scripts.
struct Frame : GuiTestKit::Frame
{
    static CEditor *ReqImportParts(CMainFrame &frame)
    {
        CEditor *editor = InstallEditor(frame);
        InstallReqImport(frame, *editor);
        return editor;
    }
    Frame() : GuiTestKit::Frame(ReqImportParts)
    {
        frame->resize(1000, 700);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
    }
    CKELDataManager &manager() { return model(); }
    QAction *menuAction() const { return action(u"actionImportRequirements"_qs); }
    CReqTADlg *open()
    {
        menuAction()->trigger();
        return frame->findChild<CReqTADlg *>();
    }
    // The current version's requirements as "TAG: description" lines.
    QStringList requirements()
    {
        QStringList lines;
        for (const auto &c : manager().CurrentVersion()->RequirementsFolder()->Children()) {
            if (c->GetTypeCode() == KEL::Requirement)
                lines.append(c->GetName() + u": "_qs + static_cast<const CKELRequirement *>(c.get())->Description());
        }
        return lines;
    }
    int rbtNamed(const QString &name) const
    {
        const CKELTree *t = tree(KEL::RBTs, name);
        return t ? t->GetId() : 0;
    }
};

void click(CReqTADlg *dlg, const QString &name)
{
    auto *b = dlg->findChild<QPushButton *>(name);
    QVERIFY2(b, qPrintable(name));
    b->click();
}

void trigger(CReqTADlg *dlg, const QString &name)
{
    auto *a = dlg->findChild<QAction *>(name);
    QVERIFY2(a, qPrintable(name));
    a->trigger();
}

// Walks forward until the word is selected; false at the end of the text.
bool walkTo(CReqTADlg *dlg, const QString &word)
{
    for (int i = 0; i < 500; ++i) {
        dlg->Walk(1);
        if (dlg->SelectedWord() == word)
            return true;
    }
    return false;
}

void selectEntry(QListWidget *list, const QString &text)
{
    list->clearSelection();
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->text() == text)
            list->setCurrentRow(i);
    }
}

QList<CNodeLine> nodesOf(CKELDataManager &manager, int treeId, const QSet<int> &except = {})
{
    QList<CNodeLine> nodes;
    for (const CKELMethod *n : static_cast<const CKELTree *>(manager.Lookup(treeId))->Nodes()) {
        if (!except.contains(n->GetId()))
            nodes.append({n->requirementTag, n->component, n->behavior, n->behaviorType});
    }
    return nodes;
}

QSet<int> nodeIds(CKELDataManager &manager, int treeId)
{
    QSet<int> ids;
    for (const CKELMethod *n : static_cast<const CKELTree *>(manager.Lookup(treeId))->Nodes())
        ids.insert(n->GetId());
    return ids;
}

} // namespace

class TestReqImportDlg : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { m_home = IsolateHome(); }

    void menuOpensOneDialog()
    {
        Frame f;
        QVERIFY(f.menuAction());
        QPointer<CReqTADlg> first = f.open();
        QVERIFY(first);
        QVERIFY(!first->isModal());
        QVERIFY(first->isVisible());
        // again while open: the same dialog, not a second one
        QCOMPARE(f.open(), first.data());
        QCOMPARE(f.frame->findChildren<CReqTADlg *>().size(), 1);
        // "Exit" closes and destroys it; the menu then makes a fresh one
        trigger(first, u"actionExit"_qs);
        QTRY_VERIFY(first.isNull());
        QPointer<CReqTADlg> second = f.open();
        QVERIFY(second);
        QVERIFY(second->isVisible());
    }

    // From a file to requirements and nodes in the model: what the model holds
    // is what the core computes for the same text and lines.
    void walksTheSample()
    {
        Frame f;
        QVERIFY(f.frame->OpenFile(ExampleSolution()));
        const QStringList before = f.requirements();
        CReqTADlg *dlg = f.open();
        f.script.files << sample(u"microwave-requirements.txt"_qs);
        trigger(dlg, u"actionOpen"_qs);
        QString expectedText;
        QVERIFY(ReqImport::ReadText(sample(u"microwave-requirements.txt"_qs), expectedText));
        QCOMPARE(dlg->Text(), expectedText);

        // file the tags R4 and R5, then walk with "Skip Already Added Words"
        click(dlg, u"start"_qs);
        QVERIFY(walkTo(dlg, u"R4"_qs));
        click(dlg, u"addTag"_qs);
        QVERIFY(walkTo(dlg, u"R5"_qs));
        click(dlg, u"addTag"_qs);
        QVERIFY(walkTo(dlg, u"light"_qs));
        click(dlg, u"addComponent"_qs);
        QVERIFY(walkTo(dlg, u"beeper"_qs));
        click(dlg, u"addComponent"_qs);
        QVERIFY(walkTo(dlg, u"sounds"_qs));
        click(dlg, u"addBehavior"_qs);
        dlg->SkipAddedBox()->setChecked(true);
        click(dlg, u"start"_qs);
        QStringList walked;
        while (f.prompt.texts.isEmpty() && walked.size() < 500) {
            walked.append(dlg->SelectedWord());
            click(dlg, u"forward"_qs);
        }
        QCOMPARE(f.prompt.texts, QStringList{ReqImportTexts::ReachedEnd()});
        for (const QString &filed : {u"R4"_qs, u"R5"_qs, u"light"_qs, u"beeper"_qs, u"sounds"_qs})
            QVERIFY2(!walked.contains(filed, Qt::CaseInsensitive), qPrintable(filed));
        QVERIFY(walked.contains(u"R3"_qs));
        f.prompt.texts.clear();

        // export only the filed tags; the model already has R1 to R3
        f.script.Accept<CTagSpecsDlg>([](CTagSpecsDlg &d) {
            d.OnlyAddedBox()->setChecked(true);
            d.PrecededByCombo()->setCurrentIndex(0);
            d.SeparatorCombo()->setCurrentIndex(1);
            d.resize(d.sizeHint());
        });
        trigger(dlg, u"actionExportModel"_qs);
        QVERIFY(f.script.Done());
        QVERIFY(dlg->RequirementsSynced());
        CTagSpecs rules{u'\n', u':', true, {u"R4"_qs, u"R5"_qs}};
        QStringList expected = before;
        const QList<CScannedRequirement> scanned = RequirementScan::Scan(expectedText, rules);
        QCOMPARE(scanned.size(), 2);
        for (const CScannedRequirement &r : scanned)
            expected.append(r.tag + u": "_qs + r.description);
        QCOMPARE(f.requirements(), expected);
        QVERIFY(f.prompt.texts.isEmpty());

        // one node per behavior type, into the RBT of the active window
        const int rbt = f.rbtNamed(u"R1"_qs);
        QVERIFY(f.editor->Windows().Open(rbt));
        const QSet<int> old = nodeIds(f.manager(), rbt);
        QList<CNodeLine> lines;
        const QStringList types = ReqImportTexts::BehaviorTypes();
        for (int t = 0; t < types.size(); ++t) {
            selectEntry(dlg->TagList(), t % 2 ? u"R5"_qs : u"R4"_qs);
            selectEntry(dlg->ComponentList(), t % 2 ? u"beeper"_qs : u"light"_qs);
            selectEntry(dlg->BehaviorList(), u"sounds"_qs);
            selectEntry(dlg->TypeList(), types[t]);
            click(dlg, u"createNode"_qs);
            const QString line =
                CNodeLine::Build(t % 2 ? u"R5"_qs : u"R4"_qs, t % 2 ? u"beeper"_qs : u"light"_qs, u"sounds"_qs, t + 1);
            lines.append(CNodeLine::Parse(line, KEL::StateRealisation));
        }
        QCOMPARE(dlg->NodesEdit()->toPlainText().count(u'\n'), types.size());
        dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(dlg));
        click(dlg, u"exportNodes"_qs);
        QVERIFY(f.prompt.texts.isEmpty());
        QCOMPARE(nodesOf(f.manager(), rbt, old), lines);
        QCOMPARE(dlg->StatusLabel()->text(), u"6 node(s) added to R1"_qs);
    }

    // Walking back from End stops at the first word and says so (the walk
    // forward to the end is in walksTheSample).
    void walkStopsAtTheStart()
    {
        Frame f;
        CReqTADlg *dlg = f.open();
        dlg->SetText(u"The door shall open."_qs);
        click(dlg, u"end"_qs);
        QStringList seen{dlg->SelectedWord()};
        while (f.prompt.texts.isEmpty() && seen.size() < 20) {
            click(dlg, u"back"_qs);
            if (f.prompt.texts.isEmpty())
                seen.append(dlg->SelectedWord());
        }
        QCOMPARE(seen, (QStringList{u"open"_qs, u"shall"_qs, u"door"_qs}));
        QCOMPARE(f.prompt.texts, QStringList{ReqImportTexts::ReachedStart()});
        QCOMPARE(f.prompt.captions, QStringList{u"Message"_qs});
    }

    void addingWords_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("kind");
        QTest::newRow("tag") << u"addTag"_qs << u"tags"_qs << u"Tag"_qs;
        QTest::newRow("component") << u"addComponent"_qs << u"components"_qs << u"Component"_qs;
        QTest::newRow("behavior") << u"addBehavior"_qs << u"behaviors"_qs << u"State"_qs;
    }

    // An empty selection is refused with the list's kind; a word already filed
    // in another case is not filed twice; Remove takes the chosen entry out.
    void addingWords()
    {
        QFETCH(QString, button);
        QFETCH(QString, list);
        QFETCH(QString, kind);
        Frame f;
        CReqTADlg *dlg = f.open();
        auto *words = dlg->findChild<QListWidget *>(list);
        dlg->SetText(u"Door door\nDOOR  open"_qs);
        click(dlg, button);
        QCOMPARE(f.prompt.texts, QStringList{u"Cannot add Empty String as "_qs + kind});
        QCOMPARE(f.prompt.captions, QStringList{u"Error"_qs});
        QCOMPARE(words->count(), 0);
        f.prompt.texts.clear();
        click(dlg, u"start"_qs);
        click(dlg, button);
        click(dlg, u"forward"_qs);
        QCOMPARE(dlg->SelectedWord(), u"door"_qs);
        click(dlg, button);
        // a selection over a line break is filed as one line
        QTextCursor c = dlg->TextEdit()->textCursor();
        c.setPosition(5);
        c.setPosition(20, QTextCursor::KeepAnchor);
        dlg->TextEdit()->setTextCursor(c);
        click(dlg, button);
        QVERIFY(f.prompt.texts.isEmpty());
        QCOMPARE(words->count(), 2);
        QCOMPARE(words->item(0)->text(), u"Door"_qs);
        QCOMPARE(words->item(1)->text(), u"door DOOR open"_qs);
        words->setCurrentRow(0);
        const QString remove = u"remove"_qs + list.first(1).toUpper() + list.sliced(1).chopped(1);
        click(dlg, remove);
        QCOMPARE(words->count(), 1);
        QCOMPARE(words->item(0)->text(), u"door DOOR open"_qs);
    }

    void createNodeNamesTheMissingChoice_data()
    {
        QTest::addColumn<QStringList>("chosen"); // tag, component, behavior, type; "" for none
        QTest::addColumn<QString>("missing");
        QTest::newRow("no behavior type")
            << QStringList{u"R1"_qs, u"DOOR"_qs, u"open"_qs, u""_qs} << u"Behavior Types"_qs;
        QTest::newRow("all chosen") << QStringList{u"R1"_qs, u"DOOR"_qs, u"open"_qs, u"GUARD"_qs} << QString();
    }

    void createNodeNamesTheMissingChoice()
    {
        QFETCH(QStringList, chosen);
        QFETCH(QString, missing);
        Frame f;
        CReqTADlg *dlg = f.open();
        dlg->TagList()->addItems({u"R1"_qs, u"R2"_qs});
        dlg->ComponentList()->addItems({u"DOOR"_qs});
        dlg->BehaviorList()->addItems({u"open"_qs});
        // a line typed without its line feed stays a line of its own
        dlg->NodesEdit()->setPlainText(u"R2:DOOR[shut]"_qs);
        selectEntry(dlg->TagList(), chosen[0]);
        selectEntry(dlg->ComponentList(), chosen[1]);
        selectEntry(dlg->BehaviorList(), chosen[2]);
        selectEntry(dlg->TypeList(), chosen[3]);
        click(dlg, u"createNode"_qs);
        if (missing.isEmpty()) {
            QVERIFY(f.prompt.texts.isEmpty());
            QCOMPARE(dlg->NodesEdit()->toPlainText(), u"R2:DOOR[shut]\nR1:DOOR???open???\n"_qs);
        } else {
            QCOMPARE(f.prompt.texts, QStringList{ReqImportTexts::MissingChoice(missing)});
            QCOMPARE(dlg->NodesEdit()->toPlainText(), u"R2:DOOR[shut]"_qs);
        }
    }

    void exportNodesAsksWithoutRequirements_data()
    {
        QTest::addColumn<bool>("importFirst");
        QTest::addColumn<bool>("answerYes");
        QTest::addColumn<int>("added");
        QTest::newRow("not synced, answer no") << false << false << 0;
        QTest::newRow("not synced, answer yes") << false << true << 2;
        QTest::newRow("imported from the model") << true << false << 2;
    }

    void exportNodesAsksWithoutRequirements()
    {
        QFETCH(bool, importFirst);
        QFETCH(bool, answerYes);
        QFETCH(int, added);
        Frame f;
        QVERIFY(f.frame->OpenFile(ExampleSolution()));
        CReqTADlg *dlg = f.open();
        const int rbt = f.rbtNamed(u"R1"_qs);
        QVERIFY(f.editor->Windows().Open(rbt));
        if (importFirst) {
            trigger(dlg, u"actionImportModel"_qs);
            QCOMPARE(dlg->Text(), ReqImport::RequirementsText(f.manager()));
            QVERIFY(dlg->Text().startsWith(u"R1: If the oven"_qs));
        }
        const int before = nodeIds(f.manager(), rbt).size();
        dlg->NodesEdit()->setPlainText(u"R1:OVEN[idle]\n\n   \nR1:DOOR ??open??\n"_qs);
        f.prompt.answers = {answerYes ? CPrompt::Yes : CPrompt::No};
        click(dlg, u"exportNodes"_qs);
        QCOMPARE(f.prompt.texts, importFirst ? QStringList() : QStringList{ReqImportTexts::NotImported()});
        QCOMPARE(nodeIds(f.manager(), rbt).size(), before + added);
    }

    // Ids of the old solution mean nothing in the new one: the dialog keeps
    // working and asks for a tree of the new solution.
    void survivesAReplacedSolution()
    {
        Frame f;
        QVERIFY(f.frame->OpenFile(ExampleSolution()));
        CReqTADlg *dlg = f.open();
        trigger(dlg, u"actionImportModel"_qs);
        QVERIFY(dlg->RequirementsSynced());
        QVERIFY(f.editor->Windows().Open(f.rbtNamed(u"R1"_qs)));
        f.prompt.answers = {CPrompt::No}; // do not save the old one
        QVERIFY(f.frame->Files().New());
        QVERIFY(!dlg->RequirementsSynced());
        f.prompt.texts.clear();
        dlg->NodesEdit()->setPlainText(u"R9:PUMP[on]\n"_qs);
        f.prompt.answers = {CPrompt::Yes};
        click(dlg, u"exportNodes"_qs);
        QCOMPARE(f.prompt.texts.size(), 2);
        QVERIFY(f.prompt.texts[1].startsWith(u"There is no RBT"_qs));

        // requirements go into the new solution, then nodes into its new RBT
        dlg->SetText(u"R9: The pump shall start.\n"_qs);
        f.script.Accept<CTagSpecsDlg>([](CTagSpecsDlg &) {});
        trigger(dlg, u"actionExportModel"_qs);
        QCOMPARE(f.requirements(), QStringList{u"R9: The pump shall start."_qs});
        const int r9 = f.manager().FindRequirement(u"R9"_qs)->GetId();
        QVERIFY(f.manager().AddRBT(u"R9"_qs, {r9}, 0));
        const int rbt = f.rbtNamed(u"R9"_qs);
        f.editor->Windows().CloseAll();
        QTRY_VERIFY(!f.editor->Windows().Find(rbt));
        f.script.Accept<CSelectRBTDlg>([](CSelectRBTDlg &) {});
        f.prompt.texts.clear();
        click(dlg, u"exportNodes"_qs);
        QVERIFY(f.script.Done());
        QVERIFY(f.prompt.texts.isEmpty());
        QCOMPARE(nodesOf(f.manager(), rbt), (QList<CNodeLine>{{u"R9"_qs, u"PUMP"_qs, u"on"_qs, 1}}));
    }

    // What the user reads is the file's text whatever its encoding; saving
    // writes it back as UTF-8.
    void textFiles()
    {
        const QByteArray bytes("R1: T\xFCr \x93zu\x94 \x80.\n");
        const QString text = u"R1: Tür “zu” €.\n"_qs;
        QTemporaryDir dir;
        const QString in = dir.filePath(u"in.txt"_qs);
        const QString out = dir.filePath(u"out.txt"_qs);
        {
            QFile file(in);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        Frame f;
        CReqTADlg *dlg = f.open();
        f.script.files << in << out;
        trigger(dlg, u"actionImportFile"_qs);
        QCOMPARE(dlg->Text(), text);
        trigger(dlg, u"actionSave"_qs);
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), text.toUtf8());
        QVERIFY(f.prompt.texts.isEmpty());
        // "New" clears the saved text without asking
        trigger(dlg, u"actionNew"_qs);
        QVERIFY(f.prompt.texts.isEmpty());
        QCOMPARE(dlg->Text(), QString());
    }

    void tagSpecCharacters_data()
    {
        QTest::addColumn<int>("preceded");
        QTest::addColumn<int>("separator");
        QTest::addColumn<QChar>("p");
        QTest::addColumn<QChar>("s");
        QTest::newRow("newline, period") << 0 << 0 << QChar(u'\n') << QChar(u'.');
        QTest::newRow("newline, colon") << 0 << 1 << QChar(u'\n') << QChar(u':');
        QTest::newRow("period, newline") << 1 << 2 << QChar(u'.') << QChar(u'\n');
    }

    void tagSpecCharacters()
    {
        QFETCH(int, preceded);
        QFETCH(int, separator);
        QFETCH(QChar, p);
        QFETCH(QChar, s);
        CTagSpecsDlg dlg;
        dlg.PrecededByCombo()->setCurrentIndex(preceded);
        dlg.SeparatorCombo()->setCurrentIndex(separator);
        const CTagSpecs rules = dlg.Rules();
        QCOMPARE(rules.precededBy, p);
        QCOMPARE(rules.separator, s);
        // and back: the dialog shows what it was given
        CTagSpecsDlg again;
        again.SetRules(rules);
        QCOMPARE(again.PrecededByCombo()->currentIndex(), preceded);
        QCOMPARE(again.SeparatorCombo()->currentIndex(), separator);
    }

    // The menus reach export, import (asking before a description changes) and
    // the report; the import is one undo step.
    void reqifAndReportFromTheMenus()
    {
        QTemporaryDir dir;
        Frame f;
        QVERIFY(f.manager().AddRequirement(u"R1"_qs, u"The door opens."_qs));
        QVERIFY(f.manager().AddDBT(u"Door"_qs));
        const QString reqif = dir.filePath(u"out.reqif"_qs);
        f.script.files << reqif;
        f.frame->findChild<QAction *>(u"actionExportReqif"_qs)->trigger();
        QVERIFY(QFile::exists(reqif));

        const int id = f.manager().FindRequirement(u"R1"_qs)->GetId();
        QVERIFY(f.manager().ChangeRequirement(id, u"R1"_qs, u"Edited here."_qs));
        f.prompt.texts.clear();
        f.prompt.answers = {CPrompt::Yes};
        f.script.files << reqif;
        f.frame->findChild<QAction *>(u"actionImportReqif"_qs)->trigger();
        QVERIFY(f.prompt.texts.value(0).contains(u"R1: \"Edited here.\" -> \"The door opens.\""_qs));
        QCOMPARE(f.requirements(), QStringList{u"R1: The door opens."_qs});

        const QString html = dir.filePath(u"trace %1 %2.html"_qs);
        f.script.files << html;
        f.frame->findChild<QAction *>(u"actionTraceabilityReport"_qs)->trigger();
        // the file's name as it is, markers and all
        QCOMPARE(f.frame->statusBar()->currentMessage(),
                 u"Traceability report written to trace %1 %2.html: 0 of 1 requirement(s) covered, 0 node(s) without a "
                 "requirement"_qs);
        QFile page(html);
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QByteArray bytes = page.readAll();
        QVERIFY(bytes.contains("<td class=\"not\">not covered</td>"));
        QVERIFY(bytes.contains("<svg"));
    }

    // The assistant opens documents through their converter.
    void opensDocuments()
    {
        if (QStandardPaths::findExecutable(u"pandoc"_qs).isEmpty())
            QSKIP("pandoc is installed by scripts/setup-deps.sh");
        QTemporaryDir dir;
        const QString md = dir.filePath(u"reqs.md"_qs);
        {
            QFile file(md);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("# Heading\n\nR1: The door *opens*.\n");
        }
        Frame f;
        CReqTADlg *dlg = f.open();
        f.script.files << md;
        trigger(dlg, u"actionImportFile"_qs);
        QCOMPARE(dlg->Text(), u"Heading\n\nR1: The door opens."_qs);
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

QTEST_MAIN(TestReqImportDlg)
#include "tst_reqimportdlg.moc"
