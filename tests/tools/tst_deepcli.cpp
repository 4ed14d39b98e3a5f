// Every command of verdantis-cli on a very deep and a very wide tree (20000
// nodes here, 100000 in scripts/faults.sh): it ends (no hang), by itself (no crash), and when it refuses it
// says why.
#include "testkit.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

struct Run
{
    bool finished = false;
    QProcess::ExitStatus status = QProcess::CrashExit;
    int code = -1;
    QByteArray err;
};

Run run(const QString &program, const QStringList &args, const QString &home, int timeoutMs)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"HOME"_s, home);
    env.remove(u"XDG_CONFIG_HOME"_s);
    env.remove(u"XDG_CACHE_HOME"_s);
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(home);
    p.setStandardOutputFile(home + u"/stdout.txt"_s);
    p.start(program, args);
    Run r;
    r.finished = p.waitForFinished(timeoutMs);
    if (!r.finished) {
        p.kill();
        p.waitForFinished();
    }
    r.status = p.exitStatus();
    r.code = p.exitCode();
    r.err = p.readAllStandardError();
    return r;
}

} // namespace

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
    in.file = m_dir.filePath(key + u".kvf"_s);
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
        {"show", {u"show"_s, u"FILE"_s}, false, true},
        {"resave", {u"resave"_s, u"FILE"_s, u"-o"_s, u"OUT.kvf"_s}, false, true},
        {"layout", {u"layout"_s, u"FILE"_s, u"T"_s, u"-o"_s, u"OUT.kvf"_s}, false, true},
        {"layout subtree", {u"layout"_s, u"FILE"_s, u"D"_s, u"-o"_s, u"OUT.kvf"_s, u"--subtree"_s, u"FIRST"_s}, false, true},
        {"render png", {u"render"_s, u"FILE"_s, u"T"_s, u"-o"_s, u"OUT.png"_s}, true, false},
        {"render svg", {u"render"_s, u"FILE"_s, u"T"_s, u"-o"_s, u"OUT.svg"_s}, true, false},
        {"render pdf", {u"render"_s, u"FILE"_s, u"T"_s, u"-o"_s, u"OUT.pdf"_s}, true, false},
        {"translate sal", {u"translate"_s, u"sal"_s, u"FILE"_s, u"T"_s, u"-o"_s, u"OUT.sal"_s}, false, false},
        {"translate uppaal", {u"translate"_s, u"uppaal"_s, u"FILE"_s, u"T"_s, u"-o"_s, u"OUT.xml"_s}, false, false},
        {"translate xml", {u"translate"_s, u"xml"_s, u"FILE"_s, u"T"_s, u"-o"_s, u"OUT.xml"_s}, false, false},
        {"translate zeph", {u"translate"_s, u"zeph"_s, u"FILE"_s, u"T"_s}, true, true},
        {"derive cbt", {u"derive"_s, u"cbt"_s, u"FILE"_s, u"T"_s, u"C1"_s}, false, true},
        {"derive cin", {u"derive"_s, u"cin"_s, u"FILE"_s, u"T"_s}, false, true},
        {"derive cid", {u"derive"_s, u"cid"_s, u"FILE"_s, u"T"_s, u"C1"_s}, false, true},
        {"evt", {u"evt"_s, u"FILE"_s, u"T"_s, u"D"_s, u"-o"_s, u"OUT.kvf"_s}, false, false},
        {"mark integration", {u"mark"_s, u"integration"_s, u"FILE"_s, u"D"_s}, false, true},
        {"mark missing", {u"mark"_s, u"missing"_s, u"FILE"_s, u"D"_s}, false, true},
        {"mark matches", {u"mark"_s, u"matches"_s, u"FILE"_s, u"D"_s, u"LAST"_s}, false, true},
        {"integrate next", {u"integrate"_s, u"next"_s, u"FILE"_s, u"D"_s, u"LAST"_s, u"-o"_s, u"OUT.kvf"_s}, false, false},
        {"integrate this", {u"integrate"_s, u"this"_s, u"FILE"_s, u"D"_s, u"FIRST"_s, u"-o"_s, u"OUT.kvf"_s}, false, false},
        {"copy-rbt", {u"copy-rbt"_s, u"FILE"_s, u"D"_s, u"T"_s, u"-o"_s, u"OUT.kvf"_s}, false, true},
    };
    for (const char *shape : {"chain", "star"}) {
        for (const auto &c : commands)
            QTest::addRow("%s, %s", c.name, shape) << (QStringList{QString::fromLatin1(shape)} + c.args) << c.slow
                                                   << c.mustWork;
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
        if (a == u"FILE"_s)
            a = in.file;
        else if (a == u"FIRST"_s)
            a = in.first;
        else if (a == u"LAST"_s)
            a = in.last;
        else if (a.startsWith(u"OUT."_s))
            a = home.filePath(a);
    }
    Run r = run(QStringLiteral(VERDANTIS_CLI), args, home.path(), TestKit::EnvNumber("VERDANTIS_DEEP_TIMEOUT_S", 120) * 1000);
    QVERIFY2(r.finished, "did not finish in time");
    QVERIFY2(r.status == QProcess::NormalExit, "crashed");
    if (r.code != 0) {
        QVERIFY2(!mustWork, r.err.constData());
        // a refusal says what is refused, in words
        const QByteArray said = r.err.replace("QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to '/tmp/runtime-root'", "")
                                    .trimmed();
        QVERIFY2(said.size() > 15, r.err.constData());
    }
}

QTEST_GUILESS_MAIN(TestDeepCli)
#include "tst_deepcli.moc"
