// Runs the real verdantis-cli with its own HOME and checks what a user sees.
#include "testkit.h"
#include "clirunner.h"

#include <QTemporaryDir>
#include <QtTest>

using CliRun::Result;

class TestCli : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_home.isValid()); }

    // The plain commands' wiring: what each prints and writes.
    void plainCommands_data()
    {
        CliRun::AddGoldenColumns();
        const QString microwave = u"fixtures/microwave.kvf"_qs;
        const QString none;
        QTest::newRow("new writes the new solution")
            << QStringList{u"new"_qs, u"@out"_qs} << 0 << none << none << u"model/new-solution.kvf"_qs;
        QTest::newRow("show prints the explorer")
            << QStringList{u"show"_qs, microwave} << 0 << u"cli/microwave-show.txt"_qs << none << none;
        QTest::newRow("resave keeps the bytes")
            << QStringList{u"resave"_qs, microwave, u"-o"_qs, u"@out"_qs} << 0 << none << none << microwave;
    }

    void plainCommands() { CliRun::CheckGoldenRow(m_home.path()); }

    void exitCodes_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message"); // part of standard error
        QTest::newRow("no command") << QStringList() << 1 << u"no command given"_qs;
        QTest::newRow("unknown command") << QStringList{u"paint"_qs} << 1 << u"unknown command 'paint'"_qs;
        QTest::newRow("unknown option") << QStringList{u"show"_qs, u"--colour"_qs} << 1 << u"Unknown option"_qs;
        QTest::newRow("resave without output") << QStringList{u"resave"_qs, u"a.kvf"_qs} << 1 << u"-o OUT.kvf"_qs;
        QTest::newRow("show two files") << QStringList{u"show"_qs, u"a"_qs, u"b"_qs} << 1 << u"one solution file"_qs;
        QTest::newRow("missing file") << QStringList{u"show"_qs, u"nowhere.kvf"_qs} << 2 << u"Cannot read"_qs;
        QTest::newRow("not a solution") << QStringList{u"show"_qs, CliRun::TestData(u"cli/microwave-show.txt"_qs)} << 2
                                        << u"not a solution file"_qs;
        QTest::newRow("unwritable output")
            << QStringList{u"new"_qs, u"no/such/folder/x.kvf"_qs} << 2 << u"Cannot write"_qs;
        QTest::newRow("help") << QStringList{u"--help"_qs} << 0 << QString();
    }

    void exitCodes()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, message);
        const Result r = run(args);
        QCOMPARE(r.exitCode, code);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        if (code == 1)
            QVERIFY(r.err.contains(u"Usage: verdantis-cli"_qs));
    }

    void warnsAboutDamagedFiles_data()
    {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QString>("warning");
        QTest::newRow("unknown element type")
            << QByteArray("ENV;") << QByteArray("obj;id:40;type:Gadget;name:;children:;\r\nENV;")
            << u"1 line(s) ignored"_qs;
        QTest::newRow("id counter past the largest id")
            << QByteArray(";maxcount:") << QByteArray(";maxcount:2147483647;x:")
            << u"element counter is out of range"_qs;
    }

    void warnsAboutDamagedFiles()
    {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(QString, warning);
        const QString path = m_home.filePath(u"damaged.kvf"_qs);
        QVERIFY(TestKit::WriteFile(
            path, TestKit::ReadFile(CliRun::TestData(u"model/new-solution.kvf"_qs)).replace(from, to)));
        const Result r = run({u"show"_qs, path});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.contains(warning), qPrintable(r.err));
        QVERIFY(r.out.startsWith(u"Solution: damaged\n"_qs));
    }

    void applyRunsRecordsAsCommands_data()
    {
        QTest::addColumn<bool>("raw");
        QTest::addColumn<QString>("messages");
        // as commands, a refusal shows its message; raw, it is refused silently
        QTest::newRow("as commands")
            << false
            << u"Message: Requirement with tag R1 is already added in the project\n"
               "verdantis-cli: line 3: not applied\n"
               "Confirm Message: Are you sure that you want to remove the requirement of \"R2\" ? (answered Yes)\n"
               "verdantis-cli: 1 record(s) not applied\n"_qs;
        QTest::newRow("raw") << true
                             << u"verdantis-cli: line 3: not applied\nverdantis-cli: 1 record(s) not applied\n"_qs;
    }

    void applyRunsRecordsAsCommands()
    {
        QFETCH(bool, raw);
        QFETCH(QString, messages);
        const QString opsPath = m_home.filePath(u"ops.txt"_qs);
        QVERIFY(TestKit::WriteFile(opsPath, "addreq;tag:R1;desc:a.cm.b;\n"
                                            "# a comment, then a blank line\n"
                                            "addreq;tag:R1;desc:again;\n"
                                            "\n"
                                            "addreq;tag:R2;desc:\xce\xa9;\n"
                                            "addrbt;name:Doors;req:9;lvg:60;\n"
                                            "delreq;id:10;\n"));
        QStringList args{u"apply"_qs, u"--new"_qs, opsPath, u"-o"_qs, u"applied.kvf"_qs};
        if (raw)
            args << u"--raw"_qs;
        const Result r = run(args);
        QCOMPARE(r.exitCode, 4); // line 3 was refused; the rest is still written
        QCOMPARE(r.err, messages);
        const Result shown = run({u"show"_qs, m_home.filePath(u"applied.kvf"_qs)});
        QVERIFY2(shown.out.contains(u"      Requirements\n        R1\n      Components\n"_qs), qPrintable(shown.out));
        QVERIFY(shown.out.contains(u"        Doors {R1}\n          ~ R1\n"_qs));
    }

    void applyUndoesAndRedoes_data()
    {
        QTest::addColumn<QByteArray>("ops");
        QTest::addColumn<QString>("requirements");
        QTest::addColumn<int>("refused");
        QTest::newRow("undo the last") << QByteArray("addreq;tag:R1;desc:a;\naddreq;tag:R2;desc:b;\nundo;\n")
                                       << u"R1"_qs << 0;
        QTest::newRow("undo then redo") << QByteArray("addreq;tag:R1;desc:a;\naddreq;tag:R2;desc:b;\nundo;\nredo;\n")
                                        << u"R1 R2"_qs << 0;
        QTest::newRow("nothing to undo") << QByteArray("undo;\naddreq;tag:R1;desc:a;\n") << u"R1"_qs << 1;
    }

    void applyUndoesAndRedoes()
    {
        QFETCH(QByteArray, ops);
        QFETCH(QString, requirements);
        QFETCH(int, refused);
        const QString path = m_home.filePath(u"undo.txt"_qs);
        QVERIFY(TestKit::WriteFile(path, ops));
        const Result r = run({u"apply"_qs, u"--new"_qs, path, u"-o"_qs, u"undone.kvf"_qs});
        QCOMPARE(r.exitCode, refused ? 4 : 0);
        QCOMPARE(r.err.count(u"not applied\n"_qs), refused ? refused + 1 : 0);
        const Result shown = run({u"show"_qs, m_home.filePath(u"undone.kvf"_qs)});
        QString listed;
        for (const QString &tag : {u"R1"_qs, u"R2"_qs, u"R3"_qs}) {
            if (shown.out.contains(u"        "_qs + tag + u'\n'))
                listed += (listed.isEmpty() ? QString() : u" "_qs) + tag;
        }
        QCOMPARE(listed, requirements);
    }

    void setCurrent()
    {
        const QString opsPath = m_home.filePath(u"ver.txt"_qs);
        QVERIFY(TestKit::WriteFile(opsPath, "addver;vname:2.0;ovid:3;\n"));
        QCOMPARE(run({u"apply"_qs, u"--new"_qs, opsPath, u"-o"_qs, u"two.kvf"_qs}).exitCode, 0);
        QCOMPARE(run({u"set-current"_qs, u"two.kvf"_qs, u"9"_qs, u"-o"_qs, u"cur.kvf"_qs}).exitCode, 0);
        const Result shown = run({u"show"_qs, m_home.filePath(u"cur.kvf"_qs)});
        QVERIFY(shown.out.contains(u"Version: 1.0\n"_qs));
        QVERIFY(shown.out.contains(u"Version: 2.0*\n"_qs));
        const Result bad = run({u"set-current"_qs, u"two.kvf"_qs, u"4"_qs, u"-o"_qs, u"x.kvf"_qs});
        QCOMPARE(bad.exitCode, 2);
        QVERIFY(bad.err.contains(u"no version with id 4"_qs));
    }

private:
    Result run(const QStringList &args) { return CliRun::Run(args, m_home.path()); }

    QTemporaryDir m_home;
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
