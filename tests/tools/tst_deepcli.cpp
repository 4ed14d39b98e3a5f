// Every command of verdantis-cli on a very deep and a very wide tree (20000
// nodes here, 100000 in scripts/faults.sh): it ends (no hang), by itself (no crash), and when it refuses it
// says why.
#include "clirunner.h"
#include "testkit.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestDeepCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void command_data();
    void command();

private:
    QTemporaryDir m_dir;
    int m_nodes = 0;
    int m_slowNodes = 0;
    // per shape and size: the file and the first and last node of its DBT
    struct Input
    {
        QString file;
        QString first, last;
    };
    QHash<QString, Input> m_inputs;
    Input input(const QString &shape, int nodes);
};

void TestDeepCli::initTestCase()
{
    m_nodes = TestKit::EnvNumber("VERDANTIS_DEEP_NODES", 20000);
    m_slowNodes = TestKit::EnvNumber("VERDANTIS_DEEP_SLOW_NODES", 2000);
    qInfo("%d nodes a tree; %d for the slow commands", m_nodes, m_slowNodes);
    QVERIFY(m_dir.isValid());
}

TestDeepCli::Input TestDeepCli::input(const QString &shape, int nodes)
{
    const QString key = shape + QString::number(nodes);
    if (auto it = m_inputs.constFind(key); it != m_inputs.constEnd())
        return *it;
    Input in;
    in.file = m_dir.filePath(key + u".kvf"_qs);
    QProcess gen;
    gen.start(QStringLiteral(DEEPGEN), {shape, QString::number(nodes), in.file});
    if (gen.waitForFinished(600000) && gen.exitCode() == 0) {
        const QList<QByteArray> ids = gen.readAllStandardOutput().trimmed().split(' ');
        in.first = QString::fromLatin1(ids.value(0));
        in.last = QString::fromLatin1(ids.value(1));
    }
    m_inputs.insert(key, in);
    return in;
}

void TestDeepCli::command_data()
{
    // FILE, FIRST, LAST and OUT stand for the input, the DBT's first and
    // last node and an output path
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("slow");     // run on the smaller tree in ctest
    QTest::addColumn<bool>("mustWork"); // a refusal would be a fault

    const struct
    {
        const char *name;
        QStringList args;
        bool slow;
        bool mustWork;
    } commands[] = {
        {"show", {u"show"_qs, u"FILE"_qs}, false, true},
        {"resave", {u"resave"_qs, u"FILE"_qs, u"-o"_qs, u"OUT.kvf"_qs}, false, true},
        {"layout", {u"layout"_qs, u"FILE"_qs, u"T"_qs, u"-o"_qs, u"OUT.kvf"_qs}, false, true},
        {"layout subtree",
         {u"layout"_qs, u"FILE"_qs, u"D"_qs, u"-o"_qs, u"OUT.kvf"_qs, u"--subtree"_qs, u"FIRST"_qs},
         false,
         true},
        {"render png", {u"render"_qs, u"FILE"_qs, u"T"_qs, u"-o"_qs, u"OUT.png"_qs}, true, false},
        {"render svg", {u"render"_qs, u"FILE"_qs, u"T"_qs, u"-o"_qs, u"OUT.svg"_qs}, true, false},
        {"render pdf", {u"render"_qs, u"FILE"_qs, u"T"_qs, u"-o"_qs, u"OUT.pdf"_qs}, true, false},
        {"translate sal", {u"translate"_qs, u"sal"_qs, u"FILE"_qs, u"T"_qs, u"-o"_qs, u"OUT.sal"_qs}, false, false},
        {"translate uppaal",
         {u"translate"_qs, u"uppaal"_qs, u"FILE"_qs, u"T"_qs, u"-o"_qs, u"OUT.xml"_qs},
         false,
         false},
        {"translate xml", {u"translate"_qs, u"xml"_qs, u"FILE"_qs, u"T"_qs, u"-o"_qs, u"OUT.xml"_qs}, false, false},
        {"translate zeph", {u"translate"_qs, u"zeph"_qs, u"FILE"_qs, u"T"_qs}, true, true},
        {"derive cbt", {u"derive"_qs, u"cbt"_qs, u"FILE"_qs, u"T"_qs, u"C1"_qs}, false, true},
        {"derive cin", {u"derive"_qs, u"cin"_qs, u"FILE"_qs, u"T"_qs}, false, true},
        {"derive cid", {u"derive"_qs, u"cid"_qs, u"FILE"_qs, u"T"_qs, u"C1"_qs}, false, true},
        {"evt", {u"evt"_qs, u"FILE"_qs, u"T"_qs, u"D"_qs, u"-o"_qs, u"OUT.kvf"_qs}, false, false},
        {"mark integration", {u"mark"_qs, u"integration"_qs, u"FILE"_qs, u"D"_qs}, false, true},
        {"mark missing", {u"mark"_qs, u"missing"_qs, u"FILE"_qs, u"D"_qs}, false, true},
        {"mark matches", {u"mark"_qs, u"matches"_qs, u"FILE"_qs, u"D"_qs, u"LAST"_qs}, false, true},
        {"integrate next",
         {u"integrate"_qs, u"next"_qs, u"FILE"_qs, u"D"_qs, u"LAST"_qs, u"-o"_qs, u"OUT.kvf"_qs},
         false,
         false},
        {"integrate this",
         {u"integrate"_qs, u"this"_qs, u"FILE"_qs, u"D"_qs, u"FIRST"_qs, u"-o"_qs, u"OUT.kvf"_qs},
         false,
         false},
        {"copy-rbt", {u"copy-rbt"_qs, u"FILE"_qs, u"D"_qs, u"T"_qs, u"-o"_qs, u"OUT.kvf"_qs}, false, true},
    };
    for (const char *shape : {"chain", "star"}) {
        for (const auto &c : commands)
            QTest::addRow("%s, %s", c.name, shape)
                << (QStringList{QString::fromLatin1(shape)} + c.args) << c.slow << c.mustWork;
    }
}

void TestDeepCli::command()
{
    QFETCH(QStringList, args);
    QFETCH(bool, slow);
    QFETCH(bool, mustWork);
    const QString shape = args.takeFirst();
    const int nodes = slow ? std::min(m_slowNodes, m_nodes) : m_nodes;
    const Input in = input(shape, nodes);
    QVERIFY2(!in.first.isEmpty(), "the input could not be made");

    QTemporaryDir home;
    for (QString &a : args) {
        if (a == u"FILE"_qs)
            a = in.file;
        else if (a == u"FIRST"_qs)
            a = in.first;
        else if (a == u"LAST"_qs)
            a = in.last;
        else if (a.startsWith(u"OUT."_qs))
            a = home.filePath(a);
    }
    CliRun::Result r =
        CliRun::RunProgram(QStringLiteral(VERDANTIS_CLI), args, home.path(),
                           TestKit::EnvNumber("VERDANTIS_DEEP_TIMEOUT_S", 120) * 1000, home.filePath(u"stdout.txt"_qs));
    QVERIFY2(r.finished, "did not finish in time");
    QVERIFY2(!r.crashed, "crashed");
    if (r.exitCode != 0) {
        QVERIFY2(!mustWork, qPrintable(r.err));
        // a refusal says what is refused, in words
        const QString said =
            r.err.remove(u"QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to '/tmp/runtime-root'"_qs).trimmed();
        QVERIFY2(said.size() > 15, qPrintable(r.err));
    }
}

QTEST_GUILESS_MAIN(TestDeepCli)
#include "tst_deepcli.moc"
