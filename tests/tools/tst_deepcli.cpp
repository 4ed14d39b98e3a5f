// The commands of verdantis-cli on a very deep and a very wide tree (20000
// nodes here, 100000 in scripts/faults.sh): it ends (no hang), by itself (no crash), and when it refuses it
// says why. Derivations and layouts of whole trees are proved on deeper trees
// by their own tests; here are the file, the drawing and the translations.
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
    void initTestCase()
    {
        m_nodes = TestKit::EnvNumber("VERDANTIS_DEEP_NODES", 20000);
        m_slowNodes = TestKit::EnvNumber("VERDANTIS_DEEP_SLOW_NODES", 2000);
        qInfo("%d nodes a tree; %d for the slow commands", m_nodes, m_slowNodes);
        QVERIFY(m_dir.isValid());
    }

    void command_data()
    {
        // FILE, FIRST, LAST and OUT stand for the input, the DBT's first and
        // last node and an output path
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("slow");     // run on the smaller tree in ctest
        QTest::addColumn<bool>("mustWork"); // a refusal would be a fault

        const struct
        {
            const char *name;
            const char *args; // split at blanks
            bool slow;
            bool mustWork;
        } commands[] = {
            {"show", "show FILE", false, true},
            {"resave", "resave FILE -o OUT.kvf", false, true},
            {"layout subtree", "layout FILE D -o OUT.kvf --subtree FIRST", false, true},
            {"render png", "render FILE T -o OUT.png", true, false},
            {"render svg", "render FILE T -o OUT.svg", true, false},
            {"render pdf", "render FILE T -o OUT.pdf", true, false},
            {"translate sal", "translate sal FILE T -o OUT.sal", false, false},
            {"translate uppaal", "translate uppaal FILE T -o OUT.xml", false, false},
            {"translate xml", "translate xml FILE T -o OUT.xml", false, false},
            {"translate zeph", "translate zeph FILE T", true, true},
            {"mark matches", "mark matches FILE D LAST", false, true},
            {"integrate this", "integrate this FILE D FIRST -o OUT.kvf", false, false},
        };
        for (const char *shape : {"chain", "star"}) {
            for (const auto &c : commands)
                QTest::addRow("%s, %s", c.name, shape)
                    << (QString::fromLatin1(shape) + u' ' + QString::fromLatin1(c.args)).split(u' ') << c.slow
                    << c.mustWork;
        }
    }

    void command()
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
        CliRun::Result r = CliRun::RunProgram(QStringLiteral(VERDANTIS_CLI), args, home.path(),
                                              TestKit::EnvNumber("VERDANTIS_DEEP_TIMEOUT_S", 120) * 1000,
                                              home.filePath(u"stdout.txt"_qs));
        QVERIFY2(r.finished, "did not finish in time");
        QVERIFY2(!r.crashed, "crashed");
        if (r.exitCode != 0) {
            QVERIFY2(!mustWork, qPrintable(r.err));
            // a refusal says what is refused, in words
            const QString said =
                r.err.remove(u"QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to '/tmp/runtime-root'"_qs)
                    .trimmed();
            QVERIFY2(said.size() > 15, qPrintable(r.err));
        }
    }

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

    Input input(const QString &shape, int nodes)
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
};

QTEST_GUILESS_MAIN(TestDeepCli)
#include "tst_deepcli.moc"
