// The built-in simulator on small trees: what blocks, what runs, in which
// order, and what each step changes.
#include "treesketch.h"

#include "simulate/builtinsimulator.h"
#include "translate/behaviormodelbuilder.h"
#include "translate/translateexception.h"

#include <QRegularExpression>
#include <QTest>

namespace {

CBehaviorModel modelOf(CKELDataManager &m, const QString &sketch, int mode = 1)
{
    const CKELTree *tree = TreeSketch::AddTree(m, sketch);
    return CBehaviorModelBuilder::FromTree(m, *tree, mode);
}

// The run's lines without node ids, which the sketch does not fix.
QStringList trace(const QString &sketch, const QStringList &events, int maxSteps, int mode)
{
    CKELDataManager m;
    CBehaviorModel model;
    try {
        model = modelOf(m, sketch, mode);
    } catch (const CTranslateException &e) {
        return {e.Message()};
    }
    CBuiltinSimulator sim(std::move(model), 1);
    CSimulationRunOptions o;
    o.maxSteps = maxSteps;
    for (const QString &e : events)
        o.events.append(sim.EventIndex(e));
    QStringList lines;
    static const QRegularExpression id(u"#\\d+ "_qs);
    RunSimulation(sim, o, [&lines](const QString &l) { lines.append(QString(l).remove(id)); });
    return lines;
}

} // namespace

class TestBuiltinSimulator : public QObject
{
    Q_OBJECT
private slots:
    void run_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<int>("maxSteps");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("lines");

        const QString door = u"1|Door|closed\n  3|User|push\n    2|Door|%1\n      1|Lamp|on"_qs;
        QTest::newRow("a selection blocks on a state not held")
            << door.arg(u"open"_qs) << QStringList{u"User push"_qs} << 100 << 1
            << QStringList{u"EVENT: User push"_qs, u"STEP 1: User??push??"_qs, u"WAITING: Door?open?"_qs};
        QTest::newRow("a selection passes on the state held")
            << door.arg(u"closed"_qs) << QStringList{u"User push"_qs} << 100 << 1
            << QStringList{u"EVENT: User push"_qs,     u"STEP 1: User??push??"_qs,
                           u"STEP 2: Door?closed?"_qs, u"STEP 3: Lamp[on]"_qs,
                           u"  Lamp = on"_qs,          u"WAITING: nothing, every thread has ended"_qs};
        QTest::newRow("an event waits until it is offered")
            << door.arg(u"closed"_qs) << QStringList() << 100 << 1 << QStringList{u"WAITING: User??push??"_qs};

        const QString branches = u"1|Pump|idle\n  3|Power|on\n    1|Pump|running%1\n    1|Alarm|ringing%1"_qs;
        QTest::newRow("an alternative takes one branch only")
            << branches.arg(u"|~"_qs) << QStringList{u"Power on"_qs} << 100 << 1
            << QStringList{u"EVENT: Power on"_qs, u"STEP 1: Power??on??"_qs, u"STEP 2: Pump[running]"_qs,
                           u"  Pump = running"_qs, u"WAITING: nothing, every thread has ended"_qs};
        QTest::newRow("concurrent branches both run")
            << branches.arg(QString()) << QStringList{u"Power on"_qs} << 100 << 1
            << QStringList{u"EVENT: Power on"_qs,
                           u"STEP 1: Power??on??"_qs,
                           u"STEP 2: Pump[running]"_qs,
                           u"  Pump = running"_qs,
                           u"STEP 3: Alarm[ringing]"_qs,
                           u"  Alarm = ringing"_qs,
                           u"WAITING: nothing, every thread has ended"_qs};
        QTest::newRow("a reversion runs its target again")
            << u"1|Door|closed\n  3|User|push\n    1|Door|open\n      3|User|leave\n        1|Door|closed|^"_qs
            << QStringList{u"User push"_qs, u"User leave"_qs, u"User push"_qs} << 100 << 1
            << QStringList{u"EVENT: User push"_qs,       u"STEP 1: User??push??"_qs, u"STEP 2: Door[open]"_qs,
                           u"  Door = open"_qs,          u"EVENT: User leave"_qs,    u"STEP 3: User??leave??"_qs,
                           u"STEP 4: Door[closed] ^"_qs, u"  Door = closed"_qs,      u"EVENT: User push"_qs,
                           u"STEP 5: User??push??"_qs,   u"STEP 6: Door[open]"_qs,   u"  Door = open"_qs,
                           u"WAITING: User??leave??"_qs};
        QTest::newRow("a branching root is refused")
            << u"1|Sys|on\n  3|A|go\n  3|B|go"_qs << QStringList() << 100 << 1
            << QStringList{u"Parsing error: Initialisation block must all be state-realisations with no branching."_qs};
        QTest::newRow("a go-to goes on after its target")
            << u"1|Door|closed\n  1|Door|open\n    1|Door|closed\n      1|Door|open|="_qs << QStringList() << 4 << 1
            << QStringList{
                   u"STEP 1: Door[open]"_qs,   u"  Door = open"_qs,         u"STEP 2: Door[closed]"_qs,
                   u"  Door = closed"_qs,      u"STEP 3: Door[open] =>"_qs, u"  Door = open"_qs,
                   u"STEP 4: Door[closed]"_qs, u"  Door = closed"_qs,       u"STOPPED: 4 steps (--max-steps)"_qs};
        QTest::newRow("a kill stops the racing branch")
            << u"1|Sys|on\n  3|User|go\n    1|A|a\n      3|User|stop\n        1|B|b|!\n    1|B|b\n      3|Clock|tick\n        1|C|c"_qs
            << QStringList{u"User go"_qs, u"User stop"_qs, u"Clock tick"_qs} << 100 << 1
            << QStringList{u"EVENT: User go"_qs,
                           u"STEP 1: User??go??"_qs,
                           u"STEP 2: A[a]"_qs,
                           u"  A = a"_qs,
                           u"STEP 3: B[b]"_qs,
                           u"  B = b"_qs,
                           u"EVENT: User stop"_qs,
                           u"STEP 4: User??stop??"_qs,
                           u"STEP 5: B[b] --"_qs,
                           u"EVENT: Clock tick"_qs,
                           u"WAITING: nothing, every thread has ended"_qs};
        QTest::newRow("an internal message waits for its sender")
            << u"1|Sys|on\n  3|User|go\n    7|Ctrl|ready\n      1|Lamp|on\n    8|Ctrl|ready"_qs
            << QStringList{u"User go"_qs} << 100 << 1
            << QStringList{u"EVENT: User go"_qs,
                           u"STEP 1: User??go??"_qs,
                           u"STEP 2: Ctrl<ready>"_qs,
                           u"STEP 3: Ctrl>ready<"_qs,
                           u"STEP 4: Lamp[on]"_qs,
                           u"  Lamp = on"_qs,
                           u"WAITING: nothing, every thread has ended"_qs};
        QTest::newRow("an attribute counts up")
            << u"1|Box|count:=0\n  1|Box|count++\n    1|Box|count++\n      4|Box|count=2\n        1|Lamp|on"_qs
            << QStringList() << 100 << 1
            << QStringList{u"STEP 1: Box[count++]"_qs,
                           u"  Box.count = 1"_qs,
                           u"STEP 2: Box[count++]"_qs,
                           u"  Box.count = 2"_qs,
                           u"STEP 3: Box???count=2???"_qs,
                           u"STEP 4: Lamp[on]"_qs,
                           u"  Lamp = on"_qs,
                           u"WAITING: nothing, every thread has ended"_qs};
    }

    void run()
    {
        QFETCH(QString, sketch);
        QFETCH(QStringList, events);
        QFETCH(int, maxSteps);
        QFETCH(int, mode);
        QFETCH(QStringList, lines);
        QCOMPARE(trace(sketch, events, maxSteps, mode), lines);
    }

    // Which steps may fire with an event waiting, by message mode: internal
    // messages first, then internal actions, then the outside.
    void priorities_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("fired");
        QTest::addColumn<QStringList>("enabled");
        QTest::newRow("no blocking, action pending")
            << 1 << QStringList() << QStringList{u"User??push??"_qs, u"Ctrl<go>"_qs};
        QTest::newRow("no blocking, message pending")
            << 1 << QStringList{u"Ctrl<go>"_qs} << QStringList{u"User??push??"_qs, u"Ctrl>go<"_qs};
        QTest::newRow("internal first, action pending")
            << 2 << QStringList() << QStringList{u"User??push??"_qs, u"Ctrl<go>"_qs};
        QTest::newRow("internal first, message pending")
            << 2 << QStringList{u"Ctrl<go>"_qs} << QStringList{u"Ctrl>go<"_qs};
        QTest::newRow("no buffering, action pending") << 4 << QStringList() << QStringList{u"Ctrl<go>"_qs};
        // the outside waits for internal actions only, as the SAL guard has it
        QTest::newRow("no buffering, message pending")
            << 4 << QStringList{u"Ctrl<go>"_qs} << QStringList{u"Ctrl>go<"_qs, u"User??push??"_qs};
        QTest::newRow("no buffering, all quiet")
            << 4 << QStringList{u"Ctrl<go>"_qs, u"Ctrl>go<"_qs, u"Lamp[on]"_qs} << QStringList{u"User??push??"_qs};
    }

    void priorities()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, fired);
        QFETCH(QStringList, enabled);
        CKELDataManager m;
        CBuiltinSimulator sim(
            modelOf(
                m,
                u"1|Sys|on\n  1|Sys|ready\n    8|Ctrl|go\n    3|User|push\n      1|Lamp|off\n    7|Ctrl|go\n      1|Lamp|on"_qs,
                mode),
            1);
        const CBehaviorModel &model = sim.Model();
        const auto labels = [&]() {
            QStringList out;
            for (int s : sim.EnabledSteps())
                out.append(model.nodes[size_t(model.steps[size_t(s)].nodes.first())].label);
            out.sort();
            return out;
        };
        sim.Offer(sim.EventIndex(u"User push"_qs));
        QCOMPARE(labels(), QStringList{u"Sys[ready]"_qs});
        QVERIFY(sim.Fire(sim.EnabledSteps().first()));
        for (const QString &label : fired) {
            bool done = false;
            for (int s : sim.EnabledSteps()) {
                if (model.nodes[size_t(model.steps[size_t(s)].nodes.first())].label == label)
                    done = sim.Fire(s);
            }
            QVERIFY2(done, qPrintable(label));
        }
        enabled.sort();
        QCOMPARE(labels(), enabled);
    }

    // Every reachable state, the outside offering any event at any time.
    void explore_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<bool>("deadlock");
        QTest::addColumn<QStringList>("unreached");

        QTest::newRow("a selection that never holds deadlocks")
            << u"1|Light|off\n  3|Switch|pressed\n    2|Light|on\n      1|Light|dim"_qs << true
            << QStringList{u"Light?on?"_qs, u"Light[dim]"_qs};
        QTest::newRow("a dead alternative is unreachable but no deadlock")
            << u"1|Pump|idle\n  3|Power|on\n    2|Pump|idle|~\n      1|Pump|running\n    2|Pump|broken|~\n      1|Alarm|ringing"_qs
            << false << QStringList{u"Pump?broken?"_qs, u"Alarm[ringing]"_qs};
        QTest::newRow("a loop through a reversion reaches everything")
            << u"1|Door|closed\n  3|User|push\n    1|Door|open\n      3|User|leave\n        1|Door|closed|^"_qs << false
            << QStringList();
        QTest::newRow("a racing kill can leave a message unsent")
            << u"1|Sys|on\n  3|User|go\n    7|Ctrl|ready\n      1|Lamp|on\n    1|Sys|busy\n      8|Ctrl|ready\n    3|User|quit\n      1|Sys|busy|!"_qs
            << true << QStringList();
        QTest::newRow("a negated selection holds on any other state")
            << u"1|Door|closed\n  2|Door|NOT(open)\n    1|Lamp|on"_qs << false << QStringList();
    }

    void explore()
    {
        QFETCH(QString, sketch);
        QFETCH(bool, deadlock);
        QFETCH(QStringList, unreached);
        CKELDataManager m;
        const CBehaviorModel model = modelOf(m, sketch);
        const CExplorationResult r = ExploreAll(model, 100000);
        QVERIFY(r.complete);
        QCOMPARE(r.deadlock, deadlock);
        QStringList got;
        for (int n = 0; n < int(model.nodes.size()); ++n) {
            if (!r.reached[size_t(n)])
                got.append(model.nodes[size_t(n)].label);
        }
        QCOMPARE(got, unreached);
        if (deadlock) {
            // the trail leads to a state where nothing can move
            CBehaviorState s = model.InitialState();
            for (int step : r.deadlockTrail) {
                QVERIFY(model.Enabled(s, step, [](int) { return true; }));
                model.Fire(s, step);
            }
            QVERIFY(model.EnabledSteps(s, [](int) { return true; }).isEmpty());
            QVERIFY(!model.AllEnded(s));
        }
    }

    // A step asked for by the user that may not fire changes nothing.
    void refusedEventIsNotFired()
    {
        CKELDataManager m;
        CBuiltinSimulator sim(modelOf(m, u"1|Door|closed\n  3|User|push\n    1|Door|open"_qs), 7);
        const CBehaviorState before = sim.State();
        QVERIFY(!sim.Fire(0));
        QVERIFY(sim.State() == before);
        QCOMPARE(sim.EventIndex(u"User  push"_qs), 0);
        QCOMPARE(sim.EventIndex(u"User pull"_qs), -1);
        sim.Offer(0);
        QVERIFY(sim.Fire(0));
        QVERIFY(!sim.Pending(0));
        QCOMPARE(sim.StepsTaken(), 1);
    }
};

QTEST_GUILESS_MAIN(TestBuiltinSimulator)
#include "tst_builtinsimulator.moc"
