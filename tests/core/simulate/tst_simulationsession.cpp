// The runner end to end: /bin/sh starts the stand-in simulator, which
// reads the program and the input lines and reports its steps.
#include "scriptedprompt.h"
#include "treesketch.h"

#include "simulate/simulationdisplay.h"
#include "simulate/simulationsession.h"
#include "simulate/simulationtexts.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/syscall.h>
#include <sys/types.h>

namespace {

constexpr int kWait = 15000;

struct Rig
{
    explicit Rig(const QString &sketch) : t(sketch), display(t.m), session(t.m, display)
    {
        t.m.SetPrompt(&prompt);
        session.SetTreeId(t.tree->GetId());
    }
    QStringList resultLines() const { return session.ResultText().split(u'\n'); }
    bool hasLine(const QString &line) const
    {
        for (QString l : resultLines()) {
            if (l.remove(u'\r') == line)
                return true;
        }
        return false;
    }

    CScriptedPrompt prompt;
    CSketchSolution t{QString()};
    CSimulationDisplay display;
    CSimulationSession session;
};

bool processGone(qint64 pid)
{
    return ::kill(pid_t(pid), 0) != 0;
}

// True once a process of the simulator's group (the shell or what it started)
// sits in read() on its standard input: everything it wrote before is then in
// the pipe, so "nothing was printed" is decided, not guessed after a sleep.
bool simulatorWaitsForInput(qint64 group)
{
    const QString readOfInput = QString::number(SYS_read) + u" 0x0 "_qs;
    for (const QString &pid : QDir(u"/proc"_qs).entryList(QDir::Dirs)) {
        QFile stat(u"/proc/%1/stat"_qs.arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // the group is the third field after the parenthesised command name
        const QByteArray fields = stat.readAll();
        const QList<QByteArray> after = fields.mid(fields.lastIndexOf(')') + 2).split(' ');
        if (after.size() < 3 || after[2].toLongLong() != group)
            continue;
        QFile call(u"/proc/%1/syscall"_qs.arg(pid));
        if (call.open(QIODevice::ReadOnly) && QString::fromLatin1(call.readAll()).startsWith(readOfInput))
            return true;
    }
    return false;
}

} // namespace

class TestSimulationSession : public QObject
{
    Q_OBJECT
private slots:
    void commandLine_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("interaction");
        QTest::addColumn<bool>("nodeIds");
        QTest::addColumn<bool>("verboseOff");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no options") << u"/opt/zeph/sim"_qs << false << false << false << u"/opt/zeph/sim"_qs;
        QTest::newRow("all three in order")
            << u"/opt/zeph/sim"_qs << true << true << true << u"/opt/zeph/sim -i -I -v-"_qs;
        QTest::newRow("interaction only") << u"sim"_qs << true << false << false << u"sim -i"_qs;
        QTest::newRow("node ids and verbose off") << u"sim"_qs << false << true << true << u"sim -I -v-"_qs;
        QTest::newRow("blank in the path")
            << u"/opt/zeph sim/sim"_qs << false << true << false << u"'/opt/zeph sim/sim' -I"_qs;
        QTest::newRow("shell characters stay literal")
            << u"/tmp/a;rm -rf x"_qs << false << false << false << u"'/tmp/a;rm -rf x'"_qs;
        QTest::newRow("quote in the path") << u"/tmp/it's"_qs << false << false << false << u"'/tmp/it'\\''s'"_qs;
    }

    void commandLine()
    {
        QFETCH(QString, path);
        QFETCH(bool, interaction);
        QFETCH(bool, nodeIds);
        QFETCH(bool, verboseOff);
        QFETCH(QString, expected);
        CSimulationSession::Options o;
        o.interactionMode = interaction;
        o.simNodeId = nodeIds;
        o.verboseOff = verboseOff;
        QCOMPARE(CSimulationSession::CommandLine(path, o), expected);
    }

    void checkSimulator_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("problem");
        static QTemporaryDir dir;
        QFile plain(dir.filePath(u"notes.txt"_qs));
        plain.open(QIODevice::WriteOnly);
        plain.write("x");
        plain.close();
        QTest::newRow("the stand-in") << QStringLiteral(ZEPHSIM) << QString();
        QTest::newRow("a program on the PATH") << u"sh"_qs << QString();
        QTest::newRow("empty") << u"  "_qs << SimulationTexts::NoSimulator();
        QTest::newRow("missing file") << dir.filePath(u"nosuch"_qs)
                                      << SimulationTexts::SimulatorNotFound(dir.filePath(u"nosuch"_qs));
        QTest::newRow("missing name") << u"no-such-simulator-here"_qs
                                      << SimulationTexts::SimulatorNotFound(u"no-such-simulator-here"_qs);
        QTest::newRow("a folder") << dir.path() << SimulationTexts::SimulatorNotExecutable(dir.path());
        QTest::newRow("not executable") << plain.fileName()
                                        << SimulationTexts::SimulatorNotExecutable(plain.fileName());
    }

    void checkSimulator()
    {
        QFETCH(QString, path);
        QFETCH(QString, problem);
        QCOMPARE(CSimulationSession::CheckSimulator(path), problem);
    }

    // A run that cannot start says why and starts nothing.
    void refusals_data()
    {
        QTest::addColumn<QString>("zeph");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("message");
        QTest::newRow("no program") << QString() << QStringLiteral(ZEPHSIM) << u"No ZEPH input"_qs;
        QTest::newRow("no simulator") << u"[].[].[]."_qs << u"/nonexistent/zephsim"_qs
                                      << SimulationTexts::SimulatorNotFound(u"/nonexistent/zephsim"_qs);
    }

    void refusals()
    {
        QFETCH(QString, zeph);
        QFETCH(QString, path);
        QFETCH(QString, message);
        Rig r(u"A.a"_qs);
        QVERIFY(!r.session.Simulate(zeph, path));
        QCOMPARE(r.prompt.texts, QStringList{message});
        QCOMPARE(r.prompt.captions, QStringList{u"Message"_qs});
        QVERIFY(!r.session.IsRunning());
        QVERIFY(!r.session.Process().IsRunning());
    }

    void runMarksTheTree()
    {
        Rig r(u"A.a(B.b:3(C.c))"_qs);
        r.session.SetOptions({false, true, true});
        QSignalSpy chunks(&r.session, &CSimulationSession::resultAppended);
        QVERIFY(r.session.Simulate(r.session.Translate(10, true), QStringLiteral(ZEPHSIM)));
        QCOMPARE(r.t.m.SimulatorPath(), QStringLiteral(ZEPHSIM));
        QTRY_VERIFY_WITH_TIMEOUT(r.hasLine(u"000"_qs), kWait);
        QVERIFY(r.prompt.texts.isEmpty());
        // every chunk starts a new line of the result
        QString rebuilt;
        for (const QList<QVariant> &args : std::as_const(chunks))
            rebuilt += u"\r\n"_qs + args.at(0).toString();
        QCOMPARE(r.session.ResultText(), rebuilt);
        const int id = r.t.tree->GetId();
        QCOMPARE(r.display.MarkOf(id, r.t.Node(u"A"_qs)->GetId()), int(CSimulationDisplay::Visited));
        QCOMPARE(r.display.MarkOf(id, r.t.Node(u"B"_qs)->GetId()), int(CSimulationDisplay::Visited));
        QCOMPARE(r.display.MarkOf(id, r.t.Node(u"C"_qs)->GetId()), int(CSimulationDisplay::Current));
    }

    void inputReachesTheSimulator()
    {
        Rig r(u"A.a(B.b(C.c))"_qs);
        r.session.SetOptions({true, true, false}); // verbose: a first line once the program is read
        QVERIFY(r.session.Simulate(r.session.Translate(10, true), QStringLiteral(ZEPHSIM)));
        QTRY_VERIFY_WITH_TIMEOUT(r.session.ResultText().contains(u"zephsim: "_qs), kWait);
        QTRY_VERIFY_WITH_TIMEOUT(simulatorWaitsForInput(r.session.Process().ProcessId()), kWait);
        QCoreApplication::processEvents();
        QVERIFY(!r.hasLine(u"0"_qs)); // the simulator waits for its input
        r.session.SetInputLine(u"go"_qs);
        QVERIFY(r.session.Input());
        QTRY_VERIFY_WITH_TIMEOUT(r.hasLine(u"0"_qs), kWait);
        QVERIFY(!r.hasLine(u"00"_qs));
        QVERIFY(r.session.Process().IsRunning()); // output arrives while it runs
        QVERIFY(r.session.Input());
        QTRY_VERIFY_WITH_TIMEOUT(r.hasLine(u"00"_qs), kWait);
    }

    void stopLeavesTheSimulatorRunning()
    {
        Rig r(u"A.a(B.b(C.c))"_qs);
        r.session.SetOptions({true, true, true});
        QVERIFY(r.session.Simulate(r.session.Translate(10, true), QStringLiteral(ZEPHSIM)));
        QVERIFY(r.session.Input());
        QTRY_VERIFY_WITH_TIMEOUT(r.hasLine(u"0"_qs), kWait);
        const int id = r.t.tree->GetId();
        QVERIFY(r.display.IsRunning(id));
        r.session.Stop();
        QVERIFY(!r.session.IsRunning());
        QVERIFY(!r.display.IsRunning(id));
        QVERIFY(r.display.Marks(id).isEmpty());
        QVERIFY(r.session.Process().IsRunning());
        QVERIFY(r.session.Input());
        QTRY_VERIFY_WITH_TIMEOUT(r.hasLine(u"00"_qs), kWait);
        QVERIFY(r.display.Marks(id).isEmpty()); // output after Stop marks nothing
    }

    void secondSimulateReplacesTheFirst()
    {
        Rig r(u"A.a(B.b)"_qs);
        r.session.SetOptions({true, true, true});
        const QString zeph = r.session.Translate(10, true);
        QVERIFY(r.session.Simulate(zeph, QStringLiteral(ZEPHSIM)));
        QVERIFY(r.session.Input());
        QTRY_VERIFY_WITH_TIMEOUT(r.hasLine(u"0"_qs), kWait);
        const qint64 first = r.session.Process().ProcessId();
        QVERIFY(r.session.Simulate(zeph, QStringLiteral(ZEPHSIM)));
        QVERIFY(r.session.Process().ProcessId() != first);
        QVERIFY(processGone(first));
        // the new run starts from the first step with fresh marks
        const int id = r.t.tree->GetId();
        QVERIFY(r.display.Marks(id).isEmpty());
        r.session.ClearResult();
        QVERIFY(r.session.Input());
        QTRY_VERIFY_WITH_TIMEOUT(r.hasLine(u"0"_qs), kWait);
        QCOMPARE(r.display.MarkOf(id, r.t.Node(u"A"_qs)->GetId()), int(CSimulationDisplay::Current));
        QCOMPARE(r.display.MarkOf(id, r.t.Node(u"B"_qs)->GetId()), int(CSimulationDisplay::Waiting));
    }

    void interpreterEndIsShown()
    {
        Rig r(u"A.a"_qs);
        r.session.SetOptions({true, false, true});
        QVERIFY(r.session.Simulate(r.session.Translate(10, false), QStringLiteral(ZEPHSIM)));
        r.session.SetInputLine(u"q"_qs); // ends the simulator, and the interpreter with it
        QVERIFY(r.session.Input());
        QTRY_VERIFY_WITH_TIMEOUT(r.session.ResultText().endsWith(u"\r\n<TEST INFO>: Child process ended\r\n"_qs),
                                 kWait);
        QVERIFY(!r.session.Process().IsRunning());
        QVERIFY(!r.session.Input()); // nothing left to write to
    }

    // The program is far longer than a pipe holds at once.
    void longProgramWrittenWhole()
    {
        QString sketch = u"R.r("_qs;
        for (int i = 0; i < 3000; ++i)
            sketch += (i ? u","_qs : QString()) + u"Component%1.behavior%1"_qs.arg(i);
        sketch += u')';
        Rig r(sketch);
        r.session.SetOptions({false, true, false});
        const QString zeph = r.session.Translate(10, true);
        QVERIFY(zeph.size() > 200000);
        QVERIFY(r.session.Simulate(zeph, QStringLiteral(ZEPHSIM)));
        QTRY_VERIFY_WITH_TIMEOUT(r.session.ResultText().contains(u"after 3001 step(s)"_qs), kWait);
        QVERIFY(r.session.ResultText().contains(u"3001 node(s)"_qs));
        QVERIFY(r.hasLine(u"0(2999)"_qs));
    }

    void textKeepsEveryCharacter()
    {
        Rig r(u"Tür.öffnen(Ωmega.∞)"_qs);
        r.session.SetOptions({false, false, true});
        QVERIFY(r.session.Simulate(r.session.Translate(10, false), QStringLiteral(ZEPHSIM)));
        QTRY_VERIFY_WITH_TIMEOUT(r.hasLine(u"Ωmega[∞]"_qs), kWait);
        QVERIFY(r.hasLine(u"Tür[öffnen]"_qs));
    }

    void autoSimSendsInput()
    {
        Rig r(u"A.a(B.b:3(A.a^))"_qs); // reverts to the root: runs until the event bound
        r.session.SetOptions({true, true, true});
        r.session.SetAutoSimInterval(50);
        r.session.SetAutoSim(true);
        QVERIFY(!r.session.AutoSimActive()); // nothing to send to yet
        QVERIFY(r.session.Simulate(r.session.Translate(1000, true), QStringLiteral(ZEPHSIM)));
        QVERIFY(r.session.AutoSimActive());
        QTRY_VERIFY_WITH_TIMEOUT(r.hasLine(u"000"_qs), kWait);
        r.session.SetAutoSim(false);
        QVERIFY(!r.session.AutoSimActive());
        r.session.SetAutoSim(true); // ticked again while the run goes on
        QVERIFY(r.session.AutoSimActive());
        r.session.SetInputLine(u"q"_qs);
        QTRY_VERIFY_WITH_TIMEOUT(!r.session.Process().IsRunning(), kWait);
        QVERIFY(!r.session.AutoSimActive()); // stops with the simulator
    }

    void closeEndsRunAndDisplay()
    {
        Rig r(u"A.a(B.b)"_qs);
        r.session.SetOptions({true, true, true});
        QVERIFY(r.session.Simulate(r.session.Translate(10, true), QStringLiteral(ZEPHSIM)));
        QVERIFY(r.session.Input());
        QTRY_VERIFY_WITH_TIMEOUT(r.hasLine(u"0"_qs), kWait);
        const qint64 pid = r.session.Process().ProcessId();
        r.session.Close();
        QVERIFY(processGone(pid));
        QVERIFY(!r.session.IsRunning());
        QVERIFY(!r.display.IsRunning(r.t.tree->GetId()));
    }
};

QTEST_GUILESS_MAIN(TestSimulationSession)
#include "tst_simulationsession.moc"
