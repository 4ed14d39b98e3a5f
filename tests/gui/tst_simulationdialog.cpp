// The simulation in the main window: its entries, the dialog's buttons with
// the stand-in simulator behind them, the marks on the tree window, and the
// simulator path in the solution file.
#include "guitestkit.h"

#include "app/solutioncommands.h"
#include "editor/childframe.h"
#include "editor/tessel1doc.h"
#include "model/kelmethod.h"
#include "simulate/abssimulatordlg.h"
#include "simulate/simulateinstall.h"
#include "simulate/simulationcommands.h"
#include "simulate/simulationdisplay.h"
#include "simulate/simulationmarks.h"
#include "simulate/simulationtexts.h"
#include "simulate/builtinsimulatorpanel.h"
#include "simulate/verifydlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QTableWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>

#include <csignal>
#include <sys/types.h>

using GuiTestKit::IsolateHome;

namespace {

constexpr int kWait = 15000;
constexpr int kOven = 30; // DBT of the example: OVEN idle -> BUTTON push -> OVEN cooking
constexpr int kR1 = 20;   // an RBT of the example
const QString kSimulate = u"Simulate with ZEPH"_qs;

// The example in a main window with the editor and the simulation.
struct Frame : GuiTestKit::Frame
{
    static CEditor *SimulationParts(CMainFrame &frame)
    {
        CEditor *editor = InstallEditor(frame);
        InstallSimulate(frame, *editor);
        return editor;
    }
    explicit Frame(bool withExample = true) : GuiTestKit::Frame(SimulationParts)
    {
        frame->resize(1100, 750);
        if (withExample && !open())
            qFatal("cannot open the example");
    }
    CSimulationCommands &commands() { return *frame->findChild<CSimulationCommands *>(); }
    CAbsSimulatorDlg *dialog() { return commands().Dialog(); }

    // Runs an entry of a tree view's context menu at a scene point.
    bool viewEntry(int treeId, const QPointF &at, const QString &text)
    {
        CChildFrame *child = windows().Open(treeId);
        return child && runViewMenu(child->View(), at, text);
    }
    // Translates the selected tree with labels and runs it in the stand-in
    // (which greets first when verbose).
    void simulate(CAbsSimulatorDlg &d, bool interactive, bool verbose = false)
    {
        d.ShowNodeIdBox()->setChecked(true);
        d.SimNodeIdBox()->setChecked(true);
        d.VerboseOffBox()->setChecked(!verbose);
        d.InteractionModeBox()->setChecked(interactive);
        d.Button(u"Translate"_qs)->click();
        d.SimulatorEdit()->setText(QStringLiteral(ZEPHSIM));
        d.Button(u"Simulate"_qs)->click();
    }
};

QHash<int, int> docMarks(const CTessel1Doc &doc)
{
    QHash<int, int> marks;
    for (auto it = doc.NodeShapes().cbegin(); it != doc.NodeShapes().cend(); ++it) {
        if (const int m = doc.SimulationMark(it.key()))
            marks.insert(it.key(), m);
    }
    return marks;
}

// The result box shows a position label with the node's text beside it.
bool reported(const CAbsSimulatorDlg &d, const QString &label)
{
    const QStringList lines = d.ResultEdit()->toPlainText().split(u'\n');
    return std::any_of(lines.cbegin(), lines.cend(),
                       [&label](const QString &line) { return line == label || line.startsWith(label + u"   "_qs); });
}

// Gone or a zombie: an orphan's zombie waits for a reaper that a
// container may not have.
bool processEnded(qint64 pid)
{
    QFile stat(u"/proc/%1/stat"_qs.arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close < 0 || line.mid(close + 2, 1) == "Z";
}

const QString kChecks = QStringLiteral(VERDANTIS_TEST_DATA "/verify/checks.kvf");
using Marks = QHash<int, int>; // node id -> mark
constexpr int kDoor = 100;     // DOOR[closed], waiting for SENSOR person detected
constexpr int kStuck = 114;    // LIGHT[off] -> SWITCH??pressed?? -> LIGHT?on? (never) -> LIGHT[dim]

// The value the state table shows for a component, or "(none)".
QString tableValue(const QTableWidget &table, const QString &component)
{
    for (int row = 0; row < table.rowCount(); ++row) {
        if (table.item(row, 0) && table.item(row, 0)->text() == component)
            return table.item(row, 1)->text();
    }
    return u"(none)"_qs;
}

QPushButton *eventButton(const CBuiltinSimulatorPanel &panel, const QString &text)
{
    for (QPushButton *b : panel.EventButtons()) {
        if (b->text() == text)
            return b;
    }
    return nullptr;
}

} // namespace

using Entry = std::function<bool(Frame &)>;
Q_DECLARE_METATYPE(Entry)

class TestSimulationDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { m_home = IsolateHome(); }

    // Every entry opens the one dialog; a tree entry selects its tree, the
    // main menu leaves the choice as it is.
    void entries_data()
    {
        QTest::addColumn<Entry>("entry");
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("kind"); // the simulator it shows: the built-in one unless it names ZEPH
        const int zeph = CAbsSimulatorDlg::Zeph;
        QTest::newRow("main menu") << Entry([](Frame &f) {
            f.frame->findChild<QAction *>(u"actionSimulation"_qs)->trigger();
            return true;
        }) << 0 << int(CAbsSimulatorDlg::BuiltIn);
        QTest::newRow("explorer DBT row")
            << Entry([](Frame &f) { return f.explorerEntry(kOven, kSimulate); }) << kOven << zeph;
        QTest::newRow("DBT view, on a node")
            << Entry([](Frame &f) { return f.viewEntry(kOven, QPointF(180, 45), kSimulate); }) << kOven << zeph;
        QTest::newRow("DBT view, empty canvas")
            << Entry([](Frame &f) { return f.viewEntry(kOven, QPointF(700, 500), kSimulate); }) << kOven << zeph;
        QTest::newRow("RBT view, empty canvas")
            << Entry([](Frame &f) { return f.viewEntry(kR1, QPointF(700, 500), kSimulate); }) << kR1 << zeph;
    }

    void entries()
    {
        QFETCH(Entry, entry);
        QFETCH(int, selected);
        QFETCH(int, kind);
        Frame f;
        QVERIFY(!f.dialog());
        QVERIFY(entry(f));
        CAbsSimulatorDlg *d = f.dialog();
        QVERIFY(d);
        QVERIFY(d->isVisible());
        QCOMPARE(d->SelectedTreeId(), selected);
        QCOMPARE(d->Session().TreeId(), selected);
        QCOMPARE(int(d->Kind()), kind);
        QCOMPARE(d->BuiltinPanel()->isVisible(), kind == CAbsSimulatorDlg::BuiltIn);
        QCOMPARE(d->ZephEdit()->isVisible(), kind == CAbsSimulatorDlg::Zeph);
        // the example names no simulator: the stand-in built beside us is offered
        QVERIFY(!d->SimulatorEdit()->text().isEmpty());
        QCOMPARE(d->SimulatorEdit()->text(), CAbsSimulatorDlg::ShippedSimulator());

        // a second entry reuses the dialog and moves the choice to its tree
        QVERIFY(f.explorerEntry(kR1, kSimulate));
        QCOMPARE(f.dialog(), d);
        QCOMPARE(d->SelectedTreeId(), kR1);
        QCOMPARE(f.frame->findChildren<CAbsSimulatorDlg *>().size(), 1);
    }

    // Oven is a chain 0 -> 00 -> 000; the stand-in reports all three labels.
    void runMarksTheTreeWindow()
    {
        Frame f;
        f.frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.frame.get()));
        CChildFrame *window = f.windows().Open(kOven);
        QVERIFY(window);
        window->showMaximized();
        QVERIFY(f.explorerEntry(kOven, kSimulate));
        CAbsSimulatorDlg *d = f.dialog();
        f.simulate(*d, false);
        // running the offered stand-in does not write its place into the solution
        QCOMPARE(f.model().SimulatorPath(), QString());
        QVERIFY(!f.model().Solution()->IsModified());

        // the chain's third node, labelled 000
        const CKELMethod *first = f.model().LookupAs<CKELMethod>(33, KEL::Method);
        const QString firstShown = u"000   "_qs + first->component + u' ' + first->GetDecoratedBehavior();
        QTRY_VERIFY2_WITH_TIMEOUT(d->ResultEdit()->toPlainText().split(u'\n').contains(firstShown),
                                  qPrintable(d->ResultEdit()->toPlainText()), kWait);

        const CTessel1Doc &doc = window->Document();
        const QHash<int, int> wanted{
            {31, CSimulationDisplay::Visited}, {32, CSimulationDisplay::Visited}, {33, CSimulationDisplay::Current}};
        QTRY_COMPARE_WITH_TIMEOUT(docMarks(doc), wanted, kWait);
        QVERIFY(f.prompt.texts.isEmpty());
    }

    // A window opened in the middle of a run starts with the marks so far.
    void windowOpenedDuringRunShowsMarks()
    {
        Frame f;
        QVERIFY(f.explorerEntry(kOven, kSimulate));
        CAbsSimulatorDlg *d = f.dialog();
        f.simulate(*d, false);
        QTRY_COMPARE_WITH_TIMEOUT(f.commands().Display().MarkOf(kOven, 33), int(CSimulationDisplay::Current), kWait);
        f.commands().Marks().Flush(); // changes taken while no window shows them
        CChildFrame *window = f.windows().Open(kOven);
        QVERIFY(window);
        QCOMPARE(docMarks(window->Document()), f.commands().Display().Marks(kOven));
    }

    // In interaction mode the stand-in waits for a line before each step: the
    // Input button sends one, Auto Sim keeps sending at the slider's pace. Stop
    // ends the display only.
    void inputAndAutoSim()
    {
        Frame f;
        CChildFrame *window = f.windows().Open(kOven);
        QVERIFY(f.viewEntry(kOven, QPointF(180, 45), kSimulate));
        CAbsSimulatorDlg *d = f.dialog();
        auto reported = [d](const QString &label) { return ::reported(*d, label); };
        f.simulate(*d, true, true);
        // unticking "verbose off" reaches the stand-in, which greets first
        QTRY_VERIFY_WITH_TIMEOUT(d->ResultEdit()->toPlainText().contains(u"zephsim: "_qs), kWait);
        QTest::keyClicks(d->InputEdit(), u"go"_qs);
        d->Button(u"Input"_qs)->click();
        QTRY_VERIFY_WITH_TIMEOUT(reported(u"0"_qs), kWait);
        QTRY_COMPARE_WITH_TIMEOUT(window->Document().SimulationMark(31), int(CSimulationDisplay::Current), kWait);

        // Stop takes the marks off and leaves the simulator running: the next
        // line still reaches it (Return in the line sends it too)
        const qint64 pid = d->Session().Process().ProcessId();
        d->Button(u"Stop"_qs)->click();
        QCOMPARE(docMarks(window->Document()), (QHash<int, int>()));
        QVERIFY(!processEnded(pid));
        QTest::keyClick(d->InputEdit(), Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(reported(u"00"_qs), kWait);

        d->IntervalSlider()->setValue(d->IntervalSlider()->minimum());
        d->AutoSimBox()->setChecked(true);
        QVERIFY(d->Session().AutoSimActive());
        QTRY_VERIFY_WITH_TIMEOUT(reported(u"000"_qs), kWait);
        d->AutoSimBox()->setChecked(false);
        QVERIFY(!d->Session().AutoSimActive());
    }

    // Choosing another tree during a run stops the display: the program that
    // runs is the first tree's, and its labels would match the other's nodes.
    void anotherTreeIsNotMarkedByTheRun()
    {
        Frame f;
        QVERIFY(f.explorerEntry(kR1, kSimulate));
        CAbsSimulatorDlg *d = f.dialog();
        d->ShowNodeIdBox()->setChecked(true);
        d->Button(u"Translate"_qs)->click(); // R1's nodes now carry 0, 00, ...
        QVERIFY(f.explorerEntry(kOven, kSimulate));
        f.simulate(*d, true);
        d->Button(u"Input"_qs)->click();
        QTRY_COMPARE_WITH_TIMEOUT(f.commands().Display().MarkOf(kOven, 31), int(CSimulationDisplay::Current), kWait);

        d->TreeList()->setCurrentIndex(d->TreeList()->findData(kR1));
        QVERIFY(!d->Session().IsRunning());
        QCOMPARE(f.commands().Display().Marks(kOven), (QHash<int, int>()));
        d->Button(u"Input"_qs)->click();
        QTRY_VERIFY_WITH_TIMEOUT(reported(*d, u"00"_qs), kWait);
        QCOMPARE(f.commands().Display().Marks(kR1), (QHash<int, int>()));
    }

    // What cannot run says why, once, and nothing starts.
    void refusal()
    {
        const QString path = u"/nonexistent/zeph/zephsim"_qs;
        Frame f;
        QVERIFY(f.explorerEntry(kOven, kSimulate));
        CAbsSimulatorDlg *d = f.dialog();
        d->Button(u"Translate"_qs)->click();
        d->SimulatorEdit()->setText(path);
        d->Button(u"Simulate"_qs)->click();
        QCOMPARE(f.prompt.texts, QStringList{SimulationTexts::SimulatorNotFound(path)});
        QCOMPARE(f.prompt.captions, QStringList{u"Message"_qs});
        QCOMPARE(f.model().SimulatorPath(), path); // typed, it is the user's choice all the same
        QVERIFY(!d->Session().IsRunning());
        QVERIFY(!d->Session().Process().IsRunning());
        QVERIFY(d->ResultEdit()->toPlainText().isEmpty());
    }

    // The simulator the user chooses with "..." goes into the solution: it is
    // saved, read back and shown by the next dialog.
    void simulatorPathKeptInSolution()
    {
        const QString path = u"/opt/Zeph Simulator/sïm ü"_qs;
        QTemporaryDir dir;
        const QString file = dir.filePath(u"sim.kvf"_qs);
        {
            Frame f;
            QVERIFY(f.explorerEntry(kOven, kSimulate));
            CAbsSimulatorDlg *d = f.dialog();
            QVERIFY(!f.model().Solution()->IsModified());
            f.script.files << path;
            d->Button(u"..."_qs)->click();
            QCOMPARE(d->SimulatorEdit()->text(), path);
            QCOMPARE(f.model().SimulatorPath(), path);
            QVERIFY(f.model().Solution()->IsModified()); // so that closing asks to save it
            f.script.files << file;
            QVERIFY(f.frame->Files().SaveAs());
            // another solution brings its own (empty) path
            QVERIFY(f.frame->Files().New());
            QCOMPARE(d->SimulatorEdit()->text(), CAbsSimulatorDlg::ShippedSimulator());
            QCOMPARE(d->TreeList()->count(), 0);
        }
        Frame g(false);
        QVERIFY(g.open(file));
        QCOMPARE(g.model().SimulatorPath(), path);
        g.frame->findChild<QAction *>(u"actionSimulation"_qs)->trigger();
        QCOMPARE(g.dialog()->SimulatorEdit()->text(), path);
    }

    void simulatorFromFileAsked_data()
    {
        QTest::addColumn<bool>("browse");
        QTest::addColumn<bool>("yes"); // the answer to the question
        QTest::addColumn<bool>("runs");
        QTest::addColumn<int>("questions"); // over two presses of Simulate
        QTest::newRow("yes runs, asked once") << false << true << true << 1;
        QTest::newRow("no keeps it from running, asked once") << false << false << false << 1;
        QTest::newRow("chosen with ... runs unasked") << true << false << true << 0;
    }

    // A simulator the solution file names (someone else's program) runs only
    // once this user agreed to that path; the answer is kept per path.
    void simulatorFromFileAsked()
    {
        QFETCH(bool, browse);
        QFETCH(bool, yes);
        QFETCH(bool, runs);
        QFETCH(int, questions);
        QSettings().remove(u"Simulation"_qs);
        QTemporaryDir dir;
        const QString theirs = dir.filePath(u"their-simulator"_qs);
        QVERIFY(QFile::copy(QStringLiteral(ZEPHSIM), theirs));
        Frame f;
        f.model().SetSimulatorPath(theirs); // as read from their file
        QVERIFY(f.explorerEntry(kOven, kSimulate));
        CAbsSimulatorDlg *d = f.dialog();
        QCOMPARE(d->SimulatorEdit()->text(), theirs);
        if (browse) {
            f.script.files << theirs;
            d->Button(u"..."_qs)->click();
        }
        f.prompt.answers = {yes ? CPrompt::Yes : CPrompt::No};
        d->Button(u"Translate"_qs)->click();
        for (int press = 0; press < 2; ++press) {
            d->Button(u"Stop"_qs)->click();
            d->Button(u"Simulate"_qs)->click();
            QCOMPARE(d->Session().IsRunning(), runs);
        }
        const QString question = u"This solution names the simulator \"%1\". Run it?"_qs.arg(theirs);
        QCOMPARE(f.prompt.texts.count(question), questions);
        QCOMPARE(f.prompt.texts.size(), runs ? questions : questions + 1); // a refusal says how to run one
    }

    // The dialog fits the screen it opens on.
    void dialogFitsTheScreen()
    {
        Frame f;
        QVERIFY(f.explorerEntry(kOven, kSimulate));
        CAbsSimulatorDlg *d = f.dialog();
        QVERIFY(QTest::qWaitForWindowExposed(d));
        const QRect area = d->screen()->availableGeometry();
        QVERIFY2(d->frameGeometry().width() <= area.width() && d->frameGeometry().height() <= area.height(),
                 qPrintable(QString::number(d->frameGeometry().width())));
    }

    // Tool > Simulation offers the tree of the active tree window.
    void toolMenuPreselectsActiveTree()
    {
        Frame f;
        f.frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.frame.get()));
        QAction *entry = f.frame->findChild<QAction *>(u"actionSimulation"_qs);
        for (int tree : {kR1, kOven}) {
            CChildFrame *window = f.windows().Open(tree);
            f.frame->findChild<QMdiArea *>()->setActiveSubWindow(window);
            entry->trigger();
            QCOMPARE(f.dialog()->SelectedTreeId(), tree);
        }
    }

    // "BTS:" lists the trees of the current version and follows the model.
    void treeListFollowsTheModel()
    {
        Frame f;
        QVERIFY(f.explorerEntry(kOven, kSimulate));
        CAbsSimulatorDlg *d = f.dialog();
        auto ids = [d] {
            QList<int> list;
            for (int i = 0; i < d->TreeList()->count(); ++i)
                list.append(d->TreeList()->itemData(i).toInt());
            return list;
        };
        QList<int> expected;
        const CKELVersion *version = f.model().CurrentVersion();
        for (const CKELData *folder : {static_cast<const CKELData *>(version->RBTFolder()),
                                       static_cast<const CKELData *>(version->DBTFolder())}) {
            for (const auto &c : folder->Children())
                expected.append(c->GetId());
        }
        QCOMPARE(ids(), expected);
        QVERIFY(expected.contains(kOven) && expected.contains(kR1));

        QVERIFY(f.model().AddRBT(u"Late"_qs, {}, 50));
        const int late = f.model().FindTree(KEL::RBTs, u"Late"_qs)->GetId();
        QTRY_VERIFY(ids().contains(late));
        QCOMPARE(d->SelectedTreeId(), kOven);

        // removing the chosen tree leaves no choice rather than another tree
        f.prompt.answers = {CPrompt::Yes};
        QVERIFY(f.model().RemoveDBT(kOven));
        QTRY_VERIFY(!ids().contains(kOven));
        QCOMPARE(d->SelectedTreeId(), 0);
        QCOMPARE(d->Session().TreeId(), 0);

        // choosing in the list is what the session simulates
        d->TreeList()->setCurrentIndex(d->TreeList()->findData(late));
        QCOMPARE(d->Session().TreeId(), late);
    }

    // With "XML" ticked, Translate gives the tree as XML instead of ZEPH.
    void xmlTranslation()
    {
        Frame f;
        QVERIFY(f.explorerEntry(kOven, kSimulate));
        CAbsSimulatorDlg *d = f.dialog();
        d->Button(u"Translate"_qs)->click();
        const QString zeph = d->ZephEdit()->toPlainText();
        QVERIFY(!zeph.isEmpty());
        QVERIFY(!zeph.startsWith(u'<'));
        d->XmlBox()->setChecked(true);
        d->Button(u"Translate"_qs)->click();
        const QString xml = d->ZephEdit()->toPlainText();
        QVERIFY2(f.prompt.texts.isEmpty(), qPrintable(f.prompt.texts.join(u'\n')));
        QVERIFY2(xml.trimmed().startsWith(u'<'), qPrintable(xml));
        QVERIFY(xml.contains(u"30"_qs));
    }

    // Closing the dialog ends the simulator and takes the marks off; so does
    // closing the main window in the middle of a run.
    void closingEndsTheRun()
    {
        QPointer<CAbsSimulatorDlg> d;
        qint64 pid = 0;
        {
            Frame f;
            CChildFrame *window = f.windows().Open(kOven);
            QVERIFY(f.explorerEntry(kOven, kSimulate));
            d = f.dialog();
            f.simulate(*d, true);
            pid = d->Session().Process().ProcessId();
            d->InputEdit()->setText(u"x"_qs);
            d->Button(u"Input"_qs)->click();
            QTRY_COMPARE_WITH_TIMEOUT(window->Document().SimulationMark(31), int(CSimulationDisplay::Current), kWait);
            d->Button(u"Close"_qs)->click();
            QTRY_VERIFY(d.isNull());
            QCOMPARE(docMarks(window->Document()), (QHash<int, int>()));
            QTRY_VERIFY_WITH_TIMEOUT(processEnded(pid), kWait);

            // a new dialog, still running when the main window goes
            QVERIFY(f.explorerEntry(kOven, kSimulate));
            d = f.dialog();
            f.simulate(*d, true);
            pid = d->Session().Process().ProcessId();
            QVERIFY(!processEnded(pid));
        }
        QVERIFY(d.isNull());
        QTRY_VERIFY_WITH_TIMEOUT(processEnded(pid), kWait);
    }

    // The built-in simulator: the sensor's button lets the door go, double
    // clicks take steps, the state table and the tree window's marks follow,
    // and Reset starts over.
    void builtinStepsMoveStateAndMarks()
    {
        Frame f(false);
        QVERIFY(f.open(kChecks));
        CChildFrame *window = f.windows().Open(kDoor);
        QVERIFY(window);
        f.frame->findChild<QAction *>(u"actionSimulation"_qs)->trigger();
        CAbsSimulatorDlg *d = f.dialog();
        QCOMPARE(d->Kind(), CAbsSimulatorDlg::BuiltIn);
        d->SelectTree(kDoor);
        QVERIFY(QTest::qWaitForWindowExposed(d));
        CBuiltinSimulatorPanel *panel = d->BuiltinPanel();
        QPushButton *sensor = eventButton(*panel, u"SENSOR person detected"_qs);
        QVERIFY(sensor);
        sensor->click();
        for (int i = 0; i < 3; ++i) {
            QListWidget *list = panel->StepList();
            QVERIFY2(list->count() > 0, qPrintable(panel->Status()->text()));
            emit list->itemDoubleClicked(list->item(0));
            QTRY_COMPARE(panel->Simulator()->StepsTaken(), i + 1);
        }
        QCOMPARE(tableValue(*panel->StateTable(), u"DOOR"_qs), u"open"_qs);
        QVERIFY2(panel->Status()->text().startsWith(u"Steps taken: 3;"_qs), qPrintable(panel->Status()->text()));
        f.commands().Marks().Flush();
        const Marks marks{
            {102, CSimulationDisplay::Visited}, {103, CSimulationDisplay::Visited}, {104, CSimulationDisplay::Current}};
        Marks shown;
        for (const auto [id, m] : docMarks(window->Document()).asKeyValueRange()) {
            if (m == CSimulationDisplay::Current || m == CSimulationDisplay::Visited)
                shown.insert(id, m);
        }
        QCOMPARE(shown, marks);
        d->findChild<QPushButton *>(u"builtinReset"_qs)->click();
        QCOMPARE(panel->Simulator()->StepsTaken(), 0);
        QCOMPARE(tableValue(*panel->StateTable(), u"DOOR"_qs), u"closed"_qs);
        f.commands().Marks().Flush();
        QCOMPARE(docMarks(window->Document()), Marks());
    }

    // A run chooses at random from the seed it shows: the same seed, the same run.
    void builtinRunRepeatsItsSeed()
    {
        Frame f(false);
        QVERIFY(f.open(kChecks));
        f.frame->findChild<QAction *>(u"actionSimulation"_qs)->trigger();
        CAbsSimulatorDlg *d = f.dialog();
        d->SelectTree(kDoor);
        d->IntervalSlider()->setValue(d->IntervalSlider()->minimum());
        CBuiltinSimulatorPanel *panel = d->BuiltinPanel();
        QStringList runs;
        for (int run = 0; run < 2; ++run) {
            panel->SeedEdit()->setValue(4242);
            d->findChild<QPushButton *>(u"builtinReset"_qs)->click();
            // the door opens and closes while events keep coming
            for (int k = 0; k < 3; ++k) {
                for (QPushButton *b : panel->EventButtons())
                    b->click();
            }
            d->findChild<QPushButton *>(u"builtinRun"_qs)->click();
            QVERIFY(panel->IsRunning());
            QTRY_VERIFY_WITH_TIMEOUT(!panel->IsRunning(), kWait);
            QVERIFY(panel->Simulator()->StepsTaken() > 3);
            runs.append(panel->Log()->toPlainText());
        }
        QCOMPARE(runs[1], runs[0]);
    }

    // Verification from Tool > Model Checking: a known deadlock and an
    // unreachable node, each shown on the tree window when chosen, and the
    // deadlock's trail replayed step by step.
    void verifyFindingsMarkTheTree_data()
    {
        QTest::addColumn<QString>("finding");
        QTest::addColumn<Marks>("marks");
        QTest::addColumn<int>("replaySteps"); // presses of Replay; -1 when it is off
        QTest::addColumn<QString>("light");   // LIGHT in the state table after them
        const int waiting = CSimulationDisplay::Waiting;
        const int current = CSimulationDisplay::Current;
        const int visited = CSimulationDisplay::Visited;
        QTest::newRow("the deadlock's trail")
            << u"Deadlock: found"_qs << Marks{{115, visited}, {116, current}, {117, waiting}, {118, waiting}} << 2
            << u"off"_qs;
        QTest::newRow("an unreachable node")
            << u"Unreachable: #117 LIGHT?on?"_qs
            << Marks{{115, waiting}, {116, waiting}, {117, current}, {118, waiting}} << -1 << u"(none)"_qs;
    }

    void verifyFindingsMarkTheTree()
    {
        if (QStandardPaths::findExecutable(u"spin"_qs).isEmpty())
            QSKIP("spin is not installed (scripts/setup-deps.sh installs it)");
        QFETCH(QString, finding);
        QFETCH(Marks, marks);
        QFETCH(int, replaySteps);
        QFETCH(QString, light);
        Frame f(false);
        QVERIFY(f.open(kChecks));
        CChildFrame *window = f.windows().Open(kStuck);
        QVERIFY(window);
        f.frame->findChild<QAction *>(u"actionVerify"_qs)->trigger();
        CVerifyDlg *d = f.commands().VerifyDialog();
        QVERIFY(d);
        d->SelectTree(kStuck);
        QSignalSpy ended(d, &CVerifyDlg::verificationEnded);
        d->VerifyButton()->click();
        QVERIFY(d->IsRunning());
        QVERIFY(d->CancelButton()->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 120000);
        QVERIFY(!d->IsRunning());
        QStringList rows;
        for (int i = 0; i < d->Findings()->count(); ++i)
            rows << d->Findings()->item(i)->text();
        const auto row =
            std::find_if(rows.cbegin(), rows.cend(), [&](const QString &r) { return r.startsWith(finding); });
        QVERIFY2(row != rows.cend(), qPrintable(rows.join(u'\n')));
        QVERIFY2(rows.last().startsWith(u"States: "_qs) && rows.last().endsWith(u", complete"_qs),
                 qPrintable(rows.last()));

        d->Findings()->setCurrentRow(int(row - rows.cbegin()));
        f.commands().Marks().Flush();
        QCOMPARE(docMarks(window->Document()), marks);
        QCOMPARE(d->ReplayButton()->isEnabled(), replaySteps >= 0);
        for (int i = 0; i < replaySteps; ++i)
            d->ReplayButton()->click();
        QCOMPARE(tableValue(*d->StateTable(), u"LIGHT"_qs), light);
        if (replaySteps > 0) {
            // the replay ends where the finding happens
            f.commands().Marks().Flush();
            QCOMPARE(docMarks(window->Document()), marks);
        }
        d->close();
        f.commands().Marks().Flush();
        QCOMPARE(docMarks(window->Document()), (QHash<int, int>()));
    }

    // Cancel ends what the verifier started, the compiler's own programs too.
    void verifyCancelLeavesNothingRunning()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        // a compiler that runs a program of its own and never ends, writing
        // both ids where the test can read them
        const QString pids = dir.filePath(u"pids"_qs);
        const QString cc = dir.filePath(u"cc"_qs);
        {
            QFile script(cc);
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write("#!/bin/sh\nsleep 100000 &\necho $$ $! > '" + QFile::encodeName(pids) + "'\nwait\n");
        }
        QFile::setPermissions(cc, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (QStandardPaths::findExecutable(u"spin"_qs).isEmpty())
            QSKIP("spin is not installed (scripts/setup-deps.sh installs it)");

        Frame f(false);
        QVERIFY(f.open(kChecks));
        CVerifyDlg *d = f.commands().OpenVerifyDialog(kDoor);
        d->Options().compiler = cc;
        QVERIFY(d->Start());
        QList<qint64> started;
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(pids) && QFileInfo(pids).size() > 0, kWait);
        {
            QFile file(pids);
            QVERIFY(file.open(QIODevice::ReadOnly));
            for (const QByteArray &id : file.readAll().simplified().split(' '))
                started.append(id.toLongLong());
        }
        QCOMPARE(started.size(), 2);
        QVERIFY(!processEnded(started[1]));
        d->CancelButton()->click();
        QVERIFY(!d->IsRunning());
        QVERIFY(d->VerifyButton()->isEnabled());
        QCOMPARE(d->Status()->text(), u"Cancelled."_qs);
        // a killed process takes a moment to go on a busy machine
        for (qint64 pid : started)
            QTRY_VERIFY2_WITH_TIMEOUT(processEnded(pid), qPrintable(QString::number(pid)), kWait);
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

QTEST_MAIN(TestSimulationDialog)
#include "tst_simulationdialog.moc"
