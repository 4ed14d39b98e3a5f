// Spin and the built-in interpreter must agree on what a tree can do: for
// a corpus of random trees, the same reachable nodes and the same answer to
// "is there a deadlock".
#include "semantics/behaviormodel.h"
#include "testkit.h"
#include "translate/behaviormodelbuilder.h"
#include "translate/promelawriter.h"
#include "translate/randomtree.h"
#include "translate/translatecontext.h"
#include "verify/spinverifier.h"

#include <QStandardPaths>
#include <QTest>

namespace {

CBehaviorModel randomModel(unsigned seed, int nodes)
{
    CTranslateSettings settings;
    CTranslateContext ctx(settings, false, false);
    CRandomTree::Generate(ctx, nodes, seed);
    return CBehaviorModelBuilder::FromContext(ctx);
}

QList<int> unreachedNodes(const std::vector<bool> &reached)
{
    QList<int> out;
    for (int n = 0; n < int(reached.size()); ++n) {
        if (!reached[size_t(n)])
            out.append(n);
    }
    return out;
}

} // namespace

namespace {

// Counters that go up for ever: a state space without end.
CBehaviorModel endlessModel()
{
    CBehaviorModel m;
    m.threads = 1;
    for (int t = 1; t <= 3; ++t) {
        CBehaviorVariable v;
        v.name = u"C%1.count"_qs.arg(t);
        v.kind = CBehaviorVariable::Integer;
        m.variables.push_back(v);
        m.nodes.push_back({t, v.name});
        CBehaviorStep step;
        step.thread = 1;
        step.pc = 1;
        step.nodes = {t - 1};
        step.assignments = {{t - 1, 1, true}};
        step.counters = {{1, 1}};
        m.steps.push_back(step);
    }
    m.BuildIndex();
    return m;
}

} // namespace

namespace {

// A door that opens and closes once; its two variables carry the
// identifiers the translators gave them.
CBehaviorModel doorModel(const QString &doorId, const QString &lampId)
{
    CBehaviorModel m;
    m.threads = 1;
    m.variables.push_back({u"DOOR"_qs, doorId, CBehaviorVariable::State, {QString(), u"open"_qs, u"closed"_qs}, 2, {}});
    m.variables.push_back({u"LAMP"_qs, lampId, CBehaviorVariable::State, {QString(), u"on"_qs}, 0, {}});
    m.nodes = {{1, u"DOOR[open]"_qs}, {2, u"LAMP[on]"_qs}, {3, u"DOOR[closed]"_qs}};
    for (int n = 0; n < 3; ++n) {
        CBehaviorStep step;
        step.thread = 1;
        step.pc = n + 1;
        step.nodes = {n};
        step.assignments = {{n == 1 ? 1 : 0, n == 2 ? 2 : 1, false}};
        step.counters = {{1, n == 2 ? 0 : n + 2}};
        m.steps.push_back(step);
    }
    m.BuildIndex();
    return m;
}

} // namespace

class TestSpinVerifier : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(u"spin"_qs).isEmpty())
            QSKIP("spin is not installed (scripts/setup-deps.sh installs it)");
    }

    // Four batches of 50 trees each, so that a failure names its seeds. The
    // sanitizer run takes fewer (VERDANTIS_SPIN_TREES): there the time goes
    // to Spin and the compiler, which are not ours to check.
    void crossCheck_data()
    {
        QTest::addColumn<unsigned>("firstSeed");
        for (unsigned batch = 0; batch < 4; ++batch)
            QTest::newRow(qPrintable(u"seeds from %1"_qs.arg(1 + batch * 1000))) << 1 + batch * 1000;
    }

    void crossCheck()
    {
        QFETCH(unsigned, firstSeed);
        const int trees = TestKit::EnvNumber("VERDANTIS_SPIN_TREES", 50);
        int compared = 0;
        int deadlocks = 0;
        int withUnreached = 0;
        for (unsigned seed = firstSeed; compared < trees && seed < firstSeed + 4 * trees; ++seed) {
            const CBehaviorModel model = randomModel(seed, 4 + int(seed % 9));
            const CExplorationResult own = ExploreAll(model, 20000);
            if (!own.complete)
                continue; // too big to settle either way
            CVerifyOptions o;
            o.maxStates = 100000;
            const CVerifyReport spin = RunSpinVerification(model, o);
            QVERIFY2(spin.outcome == CVerifyReport::Finished, qPrintable(spin.message));
            const QByteArray where = "seed " + QByteArray::number(seed);
            QVERIFY2(spin.deadlock == own.deadlock, where.constData());
            QVERIFY2(spin.unreachable == unreachedNodes(own.reached), where.constData());
            if (spin.deadlock) {
                // Spin's trail is as short as the breadth-first one and ends stuck
                QVERIFY2(spin.deadlockSteps.size() == own.deadlockTrail.size(), where.constData());
                CBehaviorState s = model.InitialState();
                for (int step : spin.deadlockSteps) {
                    QVERIFY2(model.Enabled(s, step, [](int) { return true; }), where.constData());
                    model.Fire(s, step);
                }
                QVERIFY2(model.EnabledSteps(s, [](int) { return true; }).isEmpty(), where.constData());
            }
            deadlocks += own.deadlock ? 1 : 0;
            withUnreached += spin.unreachable.isEmpty() ? 0 : 1;
            ++compared;
        }
        QCOMPARE(compared, trees);
        // a batch without either finding would prove little
        QVERIFY(deadlocks > 0);
        QVERIFY(withUnreached > 0);
    }

    void missingTool_data()
    {
        QTest::addColumn<QString>("spin");
        QTest::addColumn<QString>("compiler");
        QTest::addColumn<QString>("package");
        QTest::newRow("no spin") << u"verdantis-no-such-spin"_qs << u"gcc"_qs << u"'spin'"_qs;
        QTest::newRow("no compiler") << u"spin"_qs << u"verdantis-no-such-cc"_qs << u"'gcc'"_qs;
    }

    void missingTool()
    {
        QFETCH(QString, spin);
        QFETCH(QString, compiler);
        QFETCH(QString, package);
        CVerifyOptions o;
        o.spin = spin;
        o.compiler = compiler;
        const CVerifyReport r = RunSpinVerification(randomModel(3, 6), o);
        QCOMPARE(r.outcome, CVerifyReport::ToolMissing);
        QVERIFY2(r.message.contains(u"install the Debian package "_qs + package), qPrintable(r.message));
    }

    // A search cut by a limit or by the user stops with the figure reached and
    // never calls itself complete.
    void stops_data()
    {
        QTest::addColumn<qint64>("maxStates");
        QTest::addColumn<int>("timeout");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("message");
        QTest::newRow("state limit") << qint64(200) << 600 << false << int(CVerifyReport::LimitReached)
                                     << u"--max-states"_qs;
        QTest::newRow("time limit") << qint64(1000000000) << 1 << false << int(CVerifyReport::LimitReached)
                                    << u"--timeout"_qs;
        QTest::newRow("cancelled") << qint64(1000000000) << 600 << true << int(CVerifyReport::Cancelled)
                                   << u"cancelled"_qs;
    }

    void stops()
    {
        QFETCH(qint64, maxStates);
        QFETCH(int, timeout);
        QFETCH(bool, cancel);
        QFETCH(int, outcome);
        QFETCH(QString, message);
        std::atomic_bool stop = false;
        CVerifyOptions o;
        o.maxStates = maxStates;
        o.timeoutSeconds = timeout;
        o.cancel = &stop;
        qint64 lastProgress = 0;
        o.progress = [&](qint64 states) {
            lastProgress = states;
            if (cancel)
                stop = true;
        };
        const CVerifyReport r = RunSpinVerification(endlessModel(), o);
        QCOMPARE(int(r.outcome), outcome);
        QVERIFY(!r.complete);
        QVERIFY2(r.message.contains(message), qPrintable(r.message));
        if (outcome == CVerifyReport::LimitReached && timeout > 1) {
            QVERIFY(r.states >= maxStates);
            QCOMPARE(lastProgress, r.states);
        }
    }

    // The model names its variables as the translators do; a name that is a
    // word of Promela, of C or a macro of the generated verifier must still
    // give a model that compiles, and a property must reach the same variable.
    void namesMeetingTheTools_data()
    {
        QTest::addColumn<QString>("doorId");
        QTest::addColumn<QString>("lampId");
        QTest::addColumn<bool>("kept"); // the door keeps the translators' identifier
        QTest::addColumn<QString>("property");
        QTest::addColumn<bool>("holds");
        const QString opensAndCloses = u"[] (DOOR == open -> <> DOOR == closed)"_qs;
        QTest::newRow("ordinary identifiers") << u"dOOR"_qs << u"lAMP"_qs << true << u"[] (LAMP != on)"_qs << false;
        QTest::newRow("a Promela keyword") << u"do"_qs << u"lAMP"_qs << false << opensAndCloses << true;
        QTest::newRow("a C keyword") << u"switch"_qs << u"lAMP"_qs << false << opensAndCloses << true;
        QTest::newRow("a macro of the verifier") << u"uchar"_qs << u"lAMP"_qs << false << opensAndCloses << true;
        QTest::newRow("a macro of the compiler") << u"unix"_qs << u"lAMP"_qs << false << opensAndCloses << true;
        QTest::newRow("a keyword beside its own escape")
            << u"od"_qs << u"od_"_qs << false << u"<> LAMP == on"_qs << true;
        QTest::newRow("a form built by hand") << QString() << QString() << false << opensAndCloses << true;
    }

    void namesMeetingTheTools()
    {
        QFETCH(QString, doorId);
        QFETCH(QString, lampId);
        QFETCH(bool, kept);
        QFETCH(QString, property);
        QFETCH(bool, holds);
        const CBehaviorModel model = doorModel(doorId, lampId);
        const QStringList names = CPromelaWriter::VariableNames(model);
        QCOMPARE(names.size(), 2);
        QVERIFY2(names[0] != names[1], qPrintable(names.join(u' ')));
        QCOMPARE(names[0] == doorId, kept);
        CVerifyOptions o;
        o.property = property;
        const CVerifyReport r = RunSpinVerification(model, o);
        QVERIFY2(r.outcome == CVerifyReport::Finished, qPrintable(r.message));
        QVERIFY(r.propertyChecked);
        QCOMPARE(r.propertyViolated, !holds);
        QVERIFY(!r.deadlock);
    }
};

QTEST_GUILESS_MAIN(TestSpinVerifier)
#include "tst_spinverifier.moc"
