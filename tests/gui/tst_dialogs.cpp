// The entry dialogs: what keeps them open, what they hand back, and the
// commands the live ones run.
#include "guitestkit.h"
#include "scriptedprompt.h"

#include "dialogs/addversiondlg.h"
#include "dialogs/dialogrunner.h"
#include "dialogs/kelciddlg.h"
#include "dialogs/kelcomponentbehaviordlg.h"
#include "dialogs/kelcomponentdlg.h"
#include "dialogs/kelextrainfodlg.h"
#include "dialogs/kelibtdlg.h"
#include "dialogs/kelnodedlg.h"
#include "dialogs/kelrbtdlg.h"
#include "dialogs/kelrequirementdlg.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelrequirement.h"
#include "model/keltree.h"
#include "model/operationrecord.h"
#include "model/solutionfile.h"
#include "reqimport/tagspecsdlg.h"
#include "translate/selectbtdlg.h"

#include "testkit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QtTest>

using namespace GuiTestKit;

Q_DECLARE_METATYPE(CNodeAttributes)

namespace {

constexpr int Version1 = 3;
constexpr int R1 = 9;
constexpr int R3 = 11;
constexpr int Oven = 12;
constexpr int Idle = 13;
constexpr int Door = 16;
constexpr int RBT1 = 20;
constexpr int DBTOven = 30;

using TestKit::CRecordingSink;

struct Model
{
    CKELDataManager manager;
    CScriptedPrompt prompt;
    Model()
    {
        manager.SetPrompt(&prompt);
        QString error;
        if (!CSolutionFile::Read(manager, ExampleSolution(), &error))
            qFatal("example not readable: %s", qPrintable(error));
    }
    const CKELVersion *version() const { return manager.CurrentVersion(); }
};

// A dialog that takes a name, and the edit the name goes into.
struct Named
{
    std::unique_ptr<QDialog> dialog;
    QLineEdit *edit = nullptr;
};
using MakeNamed = std::function<Named(Model &)>;

QStringList labelsOf(const QWidget &dialog)
{
    QStringList texts;
    for (const QLabel *label : dialog.findChildren<QLabel *>()) {
        if (label->isVisibleTo(&dialog))
            texts.append(label->text());
    }
    return texts;
}

} // namespace

Q_DECLARE_METATYPE(MakeNamed)

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_home = IsolateHome(); }

    void titlesFit_data()
    {
        QTest::addColumn<QString>("which");
        QTest::newRow("CID details") << u"cid"_qs;
        QTest::newRow("node") << u"node"_qs;
        QTest::newRow("requirement tag rules") << u"tags"_qs;
        QTest::newRow("tree for SAL") << u"sal"_qs;
    }
    // Run through the application's runner, a dialog is wide enough for
    // its whole title (in a bold title-bar face, beside icon and buttons)
    // and stays on the screen.
    void titlesFit()
    {
        QFETCH(QString, which);
        Model m;
        std::unique_ptr<QDialog> dialog;
        if (which == u"cid")
            dialog = std::make_unique<CKELCIDDlg>(m.manager);
        else if (which == u"node")
            dialog = std::make_unique<CKELNodeDlg>(m.manager, m.version(), m.prompt);
        else if (which == u"tags")
            dialog = std::make_unique<CTagSpecsDlg>();
        else
            dialog = std::make_unique<CSelectBTDlg>(m.manager, u"Select BT to translate to SAL"_qs, 0);
        CDialogRunner runner;
        int width = 0;
        runner.dialogHook = [&width](QDialog &d) {
            d.show();
            width = d.width();
            return int(QDialog::Rejected);
        };
        runner.Run(*dialog);
        QFont bold = dialog->font();
        bold.setBold(true);
        const int title = QFontMetrics(bold).horizontalAdvance(dialog->windowTitle());
        QVERIFY2(width >= title + 100, qPrintable(dialog->windowTitle() + u' ' + QString::number(width)));
        QVERIFY(width <= dialog->screen()->availableGeometry().width());
    }

    void requirementDialog_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("result");
        QTest::newRow("tag") << u"R7"_qs << true << QString() << u"R7"_qs;
        QTest::newRow("blanks around the tag go") << u"  R7 "_qs << true << QString() << u"R7"_qs;
        QTest::newRow("empty tag stays open")
            << QString() << false << u"Requirement tag can't be empty"_qs << QString();
        QTest::newRow("blank tag stays open")
            << u"   "_qs << false << u"Requirement tag can't be empty"_qs << QString();
    }
    void requirementDialog()
    {
        QFETCH(QString, tag);
        QFETCH(bool, accepted);
        QFETCH(QString, message);
        QFETCH(QString, result);
        CScriptedPrompt prompt;
        CKELRequirementDlg dlg(prompt);
        dlg.TagEdit()->setText(tag);
        dlg.DescriptionEdit()->setPlainText(u"line one\nline: two; three"_qs);
        dlg.accept();
        QCOMPARE(dlg.result() == QDialog::Accepted, accepted);
        QCOMPARE(prompt.texts.value(0), message);
        if (accepted) {
            QCOMPARE(dlg.Tag(), result);
            QCOMPARE(dlg.Description(), u"line one\nline: two; three"_qs);
        }
    }

    // A dialog that takes a name stays open with a message while the name
    // is empty or taken; a rename starts from the present name.
    void nameChecks_data()
    {
        QTest::addColumn<MakeNamed>("make");
        QTest::addColumn<QString>("shown"); // the name the dialog starts with
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        const auto component = [](int renamed) {
            return MakeNamed([renamed](Model &m) {
                auto d = std::make_unique<CKELComponentDlg>(m.manager, m.version(), renamed);
                QLineEdit *edit = d->NameEdit();
                return Named{std::move(d), edit};
            });
        };
        const auto ibt = [](int renamed) {
            return MakeNamed([renamed](Model &m) {
                int id = renamed;
                if (id < 0 && m.manager.AddDBT(u"Other"_qs)) // another tree, renamed
                    id = m.manager.FindTree(KEL::DBTs, u"Other"_qs)->GetId();
                auto d = std::make_unique<CKELIBTDlg>(m.manager, m.version(), id);
                QLineEdit *edit = d->NameEdit();
                return Named{std::move(d), edit};
            });
        };
        const auto rbt = [](CKELRBTDlg::Mode mode) {
            return MakeNamed([mode](Model &m) {
                auto d = std::make_unique<CKELRBTDlg>(m.manager, m.version(), mode,
                                                      mode == CKELRBTDlg::ChangeRBT ? RBT1 : DBTOven);
                QLineEdit *edit = d->NameEdit();
                return Named{std::move(d), edit};
            });
        };
        const auto componentTaken = [](const char *name) {
            return u"Component with name %1 is already in the project"_qs.arg(QLatin1String(name));
        };
        const QString rbtTaken = u"RBT with tag name R3 is already added in the project"_qs;
        const QString noComponent = u"Component name can't be empty"_qs;
        QTest::newRow("component: new name") << component(0) << QString() << u"LAMP"_qs << QString();
        QTest::newRow("component: names differ in case") << component(0) << QString() << u"door"_qs << QString();
        QTest::newRow("component: empty") << component(0) << QString() << QString() << noComponent;
        QTest::newRow("component: taken") << component(0) << QString() << u"DOOR"_qs << componentTaken("DOOR");
        QTest::newRow("component: rename keeping its name") << component(Door) << u"DOOR"_qs << u"DOOR"_qs << QString();
        QTest::newRow("component: rename to a taken name")
            << component(Door) << u"DOOR"_qs << u"OVEN"_qs << componentTaken("OVEN");
        QTest::newRow("component: rename to blank") << component(Door) << u"DOOR"_qs << u" "_qs << noComponent;
        QTest::newRow("IBT: new") << ibt(0) << QString() << u"Oven 2"_qs << QString();
        QTest::newRow("IBT: new, taken") << ibt(0) << QString() << u"Oven"_qs
                                         << u"IBT with name Oven is already added in the project"_qs;
        QTest::newRow("IBT: rename, taken")
            << ibt(-1) << u"Other"_qs << u"Oven"_qs << u"DBT with name Oven is already added in the project"_qs;
        QTest::newRow("IBT: rename to itself") << ibt(DBTOven) << u"Oven"_qs << u"Oven"_qs << QString();
        QTest::newRow("IBT: empty") << ibt(0) << QString() << QString() << u"IBT name can't be empty"_qs;
        QTest::newRow("RBT: new, free name") << rbt(CKELRBTDlg::NewRBT) << QString() << u"R2"_qs << QString();
        QTest::newRow("RBT: new, empty") << rbt(CKELRBTDlg::NewRBT) << QString() << QString()
                                         << u"RBT Tag Name can't be empty"_qs;
        QTest::newRow("RBT: new, taken") << rbt(CKELRBTDlg::NewRBT) << QString() << u"R3"_qs << rbtTaken;
        QTest::newRow("RBT: change, own name") << rbt(CKELRBTDlg::ChangeRBT) << u"R1"_qs << u"R1"_qs << QString();
        QTest::newRow("RBT: change, taken") << rbt(CKELRBTDlg::ChangeRBT) << u"R1"_qs << u"R3"_qs << rbtTaken;
        QTest::newRow("RBT: get RBTs needs no name")
            << rbt(CKELRBTDlg::GetRBTs) << u"Oven"_qs << QString() << QString();
    }
    void nameChecks()
    {
        QFETCH(MakeNamed, make);
        QFETCH(QString, shown);
        QFETCH(QString, name);
        QFETCH(QString, message);
        Model m;
        const Named d = make(m);
        QCOMPARE(d.edit->text(), shown);
        d.edit->setText(name);
        d.dialog->accept();
        QCOMPARE(d.dialog->result() == QDialog::Accepted, message.isEmpty());
        QCOMPARE(m.prompt.texts.value(0), message);
        if (!message.isEmpty())
            QCOMPARE(m.prompt.captions.value(0), u"Message"_qs);
    }

    void rbtDialogModes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("gapEditable");
        const QStringList reqs{
            u"R1: If the oven is idle with the door closed and the button is pushed, the oven will start cooking for one minute."_qs,
            u"R2: If the button is pushed while the oven is cooking, it will cook for an extra minute."_qs,
            u"R3: Opening the door stops the cooking."_qs};
        QTest::newRow("new") << int(CKELRBTDlg::NewRBT) << u"New  RBT"_qs
                             << QStringList{u"RBT Name:"_qs, u"Associated Requirements:"_qs, u"Level Gap:"_qs} << reqs
                             << QString() << true;
        QTest::newRow("change") << int(CKELRBTDlg::ChangeRBT) << u"New  RBT"_qs
                                << QStringList{u"RBT Name:"_qs, u"Associated Requirements:"_qs, u"Level Gap:"_qs}
                                << reqs << u"R1"_qs << false;
        QTest::newRow("get RBTs") << int(CKELRBTDlg::GetRBTs) << u"Get RBTs"_qs
                                  << QStringList{u"IBT Name:"_qs, u"Select RBTs:"_qs} << QStringList{u"R1"_qs, u"R3"_qs}
                                  << u"Oven"_qs << false;
    }
    void rbtDialogModes()
    {
        QFETCH(int, mode);
        QFETCH(QString, title);
        QFETCH(QStringList, labels);
        QFETCH(QStringList, lines);
        QFETCH(QString, name);
        QFETCH(bool, gapEditable);
        Model m;
        const int tree = mode == CKELRBTDlg::ChangeRBT ? RBT1 : mode == CKELRBTDlg::GetRBTs ? DBTOven : 0;
        CKELRBTDlg dlg(m.manager, m.version(), CKELRBTDlg::Mode(mode), tree);
        QCOMPARE(dlg.windowTitle(), title);
        QCOMPARE(labelsOf(dlg), labels);
        QStringList shown;
        for (int i = 0; i < dlg.List()->count(); ++i)
            shown.append(dlg.List()->item(i)->text());
        QCOMPARE(shown, lines);
        QCOMPARE(dlg.NameEdit()->text(), name);
        QCOMPARE(dlg.LevelGapEdit()->isVisibleTo(&dlg) && dlg.LevelGapEdit()->isEnabled(), gapEditable);
        if (mode == CKELRBTDlg::ChangeRBT)
            QCOMPARE(dlg.SelectedIds(), QList<int>{R1});
    }

    // Digits only, and never more than an int holds.
    void levelGapTakesDigitsOnly_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("gap");
        QTest::newRow("number") << u"80"_qs << 80;
        QTest::newRow("letters refused") << u"8a0"_qs << 80;
        QTest::newRow("minus refused") << u"-5"_qs << 5;
        QTest::newRow("empty is the default") << QString() << 0;
        QTest::newRow("too long is cut") << u"12345678901"_qs << 123456;
    }
    void levelGapTakesDigitsOnly()
    {
        QFETCH(QString, typed);
        QFETCH(int, gap);
        Model m;
        CKELRBTDlg dlg(m.manager, m.version(), CKELRBTDlg::NewRBT);
        dlg.LevelGapEdit()->clear();
        QTest::keyClicks(dlg.LevelGapEdit(), typed);
        QCOMPARE(dlg.LevelGap(), gap);
    }

    void versionDialogTakesTheTextAsTyped()
    {
        CAddVersionDlg dlg;
        dlg.NameEdit()->setText(u" 2.0 beta "_qs);
        dlg.accept();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.VersionName(), u" 2.0 beta "_qs);
    }

    // Every field reaches the node; the extra information passes through.
    void nodeDialogRoundTrip_data()
    {
        QTest::addColumn<CNodeAttributes>("attributes");
        CNodeAttributes plain;
        plain.component = u"OVEN"_qs;
        plain.behavior = u"idle"_qs;
        plain.requirementTag = u"R1"_qs;
        QTest::newRow("plain") << plain;
        CNodeAttributes every = plain;
        every.behaviorType = KEL::SetAny;
        every.qualifier = u"all"_qs;
        every.jumpType = 2;
        every.missType = 1;
        every.doubleLine = every.nonDeterministic = every.atomic = every.setOperation = true;
        every.hasExtendedTag = true;
        every.extendedTag = u"E1"_qs;
        every.displayExtendedTag = false;
        every.displayExtraInfo = false;
        every.extraInfoTags = QStringList{u"A"_qs, u"B"_qs};
        every.extraInfoNames = QStringList{u"first"_qs, u"second"_qs};
        QTest::newRow("every field") << every;
        CNodeAttributes unknown = plain;
        unknown.component = u"LIGHT"_qs;
        unknown.behavior = u"on"_qs;
        unknown.behaviorType = KEL::ExternalOutput;
        unknown.jumpType = 1;
        unknown.missType = 2;
        unknown.requirementTag = u"R9"_qs;
        QTest::newRow("names the lists do not hold") << unknown;
        CNodeAttributes undeclared = plain;
        undeclared.behaviorType = 0; // a node read without its state declaration
        QTest::newRow("type zero is kept") << undeclared;
        undeclared.behaviorType = 11;
        QTest::newRow("type beyond the list is kept") << undeclared;
    }
    void nodeDialogRoundTrip()
    {
        QFETCH(CNodeAttributes, attributes);
        Model m;
        CKELNodeDlg dlg(m.manager, m.version(), m.prompt);
        dlg.SetAttributes(attributes);
        QCOMPARE(dlg.Attributes(), attributes);
        dlg.accept();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }

    void nodeDialogChecksAndLists()
    {
        Model m;
        CKELNodeDlg dlg(m.manager, m.version(), m.prompt);
        QStringList components;
        for (int i = 0; i < dlg.ComponentCombo()->count(); ++i)
            components.append(dlg.ComponentCombo()->itemText(i));
        QCOMPARE(components, (QStringList{u"OVEN"_qs, u"BUTTON"_qs, u"DOOR"_qs}));
        QCOMPARE(dlg.TypeCombo()->count(), 10);
        // each type is named beside its symbol
        QCOMPARE(dlg.TypeCombo()->itemText(0), u"[...]   State Realisation"_qs);
        QCOMPARE(dlg.TypeCombo()->itemText(2), u"??...??   Event"_qs);
        QCOMPARE(dlg.TypeCombo()->itemText(8), u"||...   Set All"_qs);
        QCOMPARE(dlg.TypeCombo()->itemText(9), u"[]...   Set Any"_qs);
        for (const QCheckBox *box : dlg.findChildren<QCheckBox *>())
            QVERIFY2(!box->toolTip().isEmpty(), qPrintable(box->text()));

        dlg.accept();
        QCOMPARE(m.prompt.texts.value(0), u"Component can't be empty"_qs);
        dlg.ComponentCombo()->setEditText(u"OVEN"_qs);
        QStringList behaviors;
        for (int i = 0; i < dlg.BehaviorCombo()->count(); ++i)
            behaviors.append(dlg.BehaviorCombo()->itemText(i));
        QCOMPARE(behaviors, (QStringList{u"idle"_qs, u"cooking"_qs, u"extra minute"_qs}));
        dlg.accept();
        QCOMPARE(m.prompt.texts.value(1), u"State name can't be empty"_qs);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));

        // the extra tag's text counts only while its box is ticked
        QVERIFY(!dlg.ExtraTagEdit()->isEnabled());
        dlg.ExtraTagBox()->setChecked(true);
        QVERIFY(dlg.ExtraTagEdit()->isEnabled());
        dlg.ExtraTagEdit()->setText(u"X"_qs);
        dlg.ExtraTagBox()->setChecked(false);
        QCOMPARE(dlg.Attributes().extendedTag, QString());
    }

    void extraInformation_data()
    {
        QTest::addColumn<QStringList>("pairs"); // tag, name, tag, name...
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("message");
        QTest::newRow("two entries") << QStringList{u"A"_qs, u"first"_qs, u"B"_qs, u"second"_qs}
                                     << QStringList{u"A : first"_qs, u"B : second"_qs} << QString();
        QTest::newRow("blanks trimmed") << QStringList{u" A "_qs, u" first "_qs} << QStringList{u"A : first"_qs}
                                        << QString();
        QTest::newRow("same twice kept once")
            << QStringList{u"A"_qs, u"x"_qs, u"A"_qs, u"x"_qs} << QStringList{u"A : x"_qs} << QString();
        QTest::newRow("same tag, other name")
            << QStringList{u"A"_qs, u"x"_qs, u"A"_qs, u"y"_qs} << QStringList{u"A : x"_qs, u"A : y"_qs} << QString();
        QTest::newRow("empty name ignored") << QStringList{u"A"_qs, QString()} << QStringList() << QString();
        QTest::newRow("comma in a tag refused") << QStringList{u"A,B"_qs, u"x"_qs} << QStringList() << u"comma"_qs;
        QTest::newRow("comma in a name refused") << QStringList{u"A"_qs, u"x,y"_qs} << QStringList() << u"comma"_qs;
    }
    void extraInformation()
    {
        QFETCH(QStringList, pairs);
        QFETCH(QStringList, lines);
        QFETCH(QString, message);
        CScriptedPrompt prompt;
        CKELExtraInfoDlg dlg(prompt);
        for (qsizetype i = 0; i + 1 < pairs.size(); i += 2) {
            dlg.TagEdit()->setText(pairs[i]);
            dlg.NameEdit()->setText(pairs[i + 1]);
            dlg.AddButton()->click();
        }
        QStringList shown;
        for (int i = 0; i < dlg.List()->count(); ++i)
            shown.append(dlg.List()->item(i)->text());
        QCOMPARE(shown, lines);
        QCOMPARE(dlg.Tags().size(), lines.size());
        QCOMPARE(dlg.Names().size(), lines.size());
        if (message.isEmpty()) {
            QVERIFY(prompt.texts.isEmpty());
        } else {
            QCOMPARE(prompt.texts.size(), 1);
            QVERIFY(prompt.texts.first().contains(u"\",\""_qs));
            // what was typed stays, to be corrected
            QVERIFY(!dlg.TagEdit()->text().isEmpty());
        }
        dlg.CloseButton()->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }

    void extraInformationRemovesTheChosenLines()
    {
        CScriptedPrompt prompt;
        CKELExtraInfoDlg dlg(prompt);
        // a tag read without its name keeps the lists equally long
        dlg.SetEntries({u"A"_qs, u"B"_qs, u"C"_qs}, {u"a"_qs, u"b"_qs});
        QCOMPARE(dlg.Names(), (QStringList{u"a"_qs, u"b"_qs, QString()}));
        dlg.List()->item(0)->setSelected(true);
        dlg.List()->item(2)->setSelected(true);
        dlg.RemoveButton()->click();
        QCOMPARE(dlg.Tags(), QStringList{u"B"_qs});
        QCOMPARE(dlg.Names(), QStringList{u"b"_qs});
        QCOMPARE(dlg.List()->count(), 1);
    }

    void behaviorsDialogAddsThroughTheModel()
    {
        Model m;
        CKELComponentBehaviorDlg dlg(m.manager, Door);
        QCOMPARE(dlg.ComponentCombo()->currentText(), u"DOOR"_qs);
        QCOMPARE(dlg.BehaviorList()->count(), 1);
        QCOMPARE(dlg.BehaviorList()->item(0)->text(), u"??open??"_qs);

        // choosing a behavior fills the fields
        dlg.BehaviorList()->setCurrentRow(0);
        QCOMPARE(dlg.BehaviorEdit()->text(), u"open"_qs);
        QCOMPARE(dlg.TypeCombo()->currentData().toInt(), int(KEL::Event));

        // the same text as another type is a new behavior
        dlg.TypeCombo()->setCurrentIndex(0);
        dlg.AddButton()->click();
        QCOMPARE(dlg.BehaviorList()->count(), 2);
        QCOMPARE(dlg.BehaviorList()->item(1)->text(), u"[open]"_qs);
        QVERIFY(m.manager.Solution()->IsModified());

        dlg.BehaviorEdit()->setText(u"open"_qs);
        dlg.AddButton()->click();
        QCOMPARE(m.prompt.texts.last(), u"State [open] is already added in the component"_qs);
        QCOMPARE(dlg.BehaviorList()->count(), 2);

        // another component shows its own behaviors
        dlg.ComponentCombo()->setCurrentIndex(dlg.ComponentCombo()->findText(u"OVEN"_qs));
        QCOMPARE(dlg.BehaviorList()->count(), 3);
    }

    void behaviorsDialogRemoves_data()
    {
        QTest::addColumn<bool>("shared");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("left");
        QTest::newRow("local") << false << u"Are you sure that you want to remove the state \"OVEN [idle]\" ?"_qs << 2;
        QTest::newRow("shared has no record for it") << true << u"Under development"_qs << 3;
    }
    void behaviorsDialogRemoves()
    {
        QFETCH(bool, shared);
        QFETCH(QString, message);
        QFETCH(int, left);
        Model m;
        CRecordingSink sink;
        if (shared) {
            m.manager.SetOperationSink(&sink);
            m.manager.SetLocal(false);
        }
        CKELComponentBehaviorDlg dlg(m.manager, Oven);
        dlg.BehaviorList()->setCurrentRow(0);
        dlg.RemoveButton()->click();
        QCOMPARE(m.prompt.texts.value(0), message);
        QCOMPARE(dlg.BehaviorList()->count(), left);
        QVERIFY(sink.sent.isEmpty());
        // the state also left the requirement it realised
        if (!shared)
            QVERIFY(!m.manager.Lookup(R1)->VChildIds().contains(Idle));
    }

    // A rename travels as one "modcom" record, and the nodes that name the
    // component follow it.
    void renameComponent_data()
    {
        QTest::addColumn<bool>("shared");
        QTest::newRow("local") << false;
        QTest::newRow("shared") << true;
    }
    void renameComponent()
    {
        QFETCH(bool, shared);
        Model m;
        CRecordingSink sink;
        if (shared) {
            m.manager.SetOperationSink(&sink);
            m.manager.SetLocal(false);
        }
        QVERIFY(m.manager.RenameComponent(Door, u"HATCH"_qs, true));
        if (shared) {
            QCOMPARE(sink.sent.size(), 2);
            QVERIFY(sink.sent[0].startsWith(u"modcom;id:16;name:HATCH;issys:1;"_qs));
            QVERIFY(sink.sent[1].startsWith(u"modmsd;fun:para;Comp:HATCH;"_qs));
            QVERIFY(sink.sent[1].endsWith(u"nodeid:27;"_qs));
            QCOMPARE(m.manager.Lookup(Door)->GetName(), u"DOOR"_qs);
            // applied when the server relays them back
            for (const QString &r : std::as_const(sink.sent))
                QVERIFY(m.manager.ApplyOperationRecord(r));
        }
        QCOMPARE(m.manager.Lookup(Door)->GetName(), u"HATCH"_qs);
        QCOMPARE(m.manager.Lookup(27)->GetLabel(), u"R3:-HATCH??open??"_qs);
        QVERIFY(m.manager.Solution()->IsModified());
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
