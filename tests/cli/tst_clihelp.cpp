// verdantis-cli explains itself: every command has a help page whose
// example really runs, and the words the shell completion offers come from
// the program.
#include "clirunner.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kExamples = QStringLiteral(VERDANTIS_TEST_DATA "/../../examples");

QStringList commandNames(const QString &home)
{
    const CliRun::Result r = CliRun::Run({u"help"_qs, u"--commands"_qs}, home);
    return r.out.split(u'\n', Qt::SkipEmptyParts);
}

// The shell lines under "Example:", without their indentation.
QStringList exampleLines(const QString &helpText)
{
    const qsizetype at = helpText.indexOf(u"\nExample:\n"_qs);
    if (at < 0)
        return {};
    QStringList lines;
    for (const QString &line : helpText.mid(at + 10).split(u'\n', Qt::SkipEmptyParts))
        lines.append(line.trimmed());
    return lines;
}

} // namespace

class TestCliHelp : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_home.isValid()); }

    // A command without a help page, or whose example fails, is found here
    // the day it is added.
    void everyCommandHasARunningExample_data()
    {
        QTest::addColumn<QString>("command");
        const QStringList names = commandNames(m_home.path());
        QVERIFY(names.size() > 10);
        for (const QString &name : names)
            QTest::newRow(qPrintable(name)) << name;
    }
    void everyCommandHasARunningExample()
    {
        QFETCH(QString, command);
        const CliRun::Result help = CliRun::Run(QStringList{u"help"_qs} + command.split(u' '), m_home.path());
        QCOMPARE(help.exitCode, 0);
        QVERIFY2(help.out.startsWith(u"Usage: verdantis-cli "_qs + command + u' '), qPrintable(help.out));
        const QStringList lines = exampleLines(help.out);
        QVERIFY2(!lines.isEmpty(), qPrintable(u"no example for "_qs + command));
        for (const QString &line : lines)
            QVERIFY2(line.startsWith(u"verdantis-cli "_qs) || line.startsWith(u"printf "_qs), qPrintable(line));

        // from a folder that holds a copy of the examples, as a reader would
        QTemporaryDir work;
        QVERIFY(QDir().mkpath(work.filePath(u"examples"_qs)));
        QDirIterator it(kExamples, QDir::Files);
        while (it.hasNext()) {
            it.next();
            QVERIFY(QFile::copy(it.filePath(), work.filePath(u"examples/"_qs + it.fileName())));
        }
        QProcess sh;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"HOME"_qs, m_home.path());
        env.insert(u"PATH"_qs, QFileInfo(QStringLiteral(VERDANTIS_CLI)).absolutePath() + u':' + env.value(u"PATH"_qs));
        sh.setProcessEnvironment(env);
        sh.setWorkingDirectory(work.path());
        sh.start(u"/bin/sh"_qs, {u"-ec"_qs, lines.join(u'\n')});
        QVERIFY(sh.waitForFinished(120000));
        QVERIFY2(sh.exitStatus() == QProcess::NormalExit && sh.exitCode() == 0,
                 qPrintable(lines.join(u'\n') + u"\n"_qs + QString::fromUtf8(sh.readAllStandardError())));
    }

    void helpAnswers_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("shown"); // patterns each found in standard output or error
        QTest::newRow("overview") << QStringList{u"help"_qs} << 0
                                  << QStringList{u"Usage: verdantis-cli COMMAND"_qs, u"help COMMAND"_qs};
        QTest::newRow("two-word command") << QStringList{u"help"_qs, u"translate"_qs, u"zeph"_qs} << 0
                                          << QStringList{u"Usage: verdantis-cli translate zeph FILE TREE"_qs};
        QTest::newRow("family of commands")
            << QStringList{u"help"_qs, u"derive"_qs} << 0
            << QStringList{u"  derive cbt\n"_qs, u"  derive cid\n"_qs, u"  derive cin\n"_qs};
        QTest::newRow("unknown command") << QStringList{u"help"_qs, u"paint"_qs} << 1
                                         << QStringList{u"no command 'paint'"_qs, u"Usage: verdantis-cli"_qs};
        QTest::newRow("completion commands") << QStringList{u"help"_qs, u"--commands"_qs} << 0
                                             << QStringList{u"derive cbt\n"_qs, u"simulate\n"_qs, u"show\n"_qs};
        QTest::newRow("completion options") << QStringList{u"help"_qs, u"--options"_qs} << 0
                                            << QStringList{u"--output\n"_qs, u"--max-steps\n"_qs, u"--version\n"_qs};
        QTest::newRow("version line") << QStringList{u"--version"_qs} << 0
                                      << QStringList{u"^verdantis-cli \\d+\\.\\d+\\.\\d+\\n$"_qs};
    }
    void helpAnswers()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QStringList, shown);
        const CliRun::Result r = CliRun::Run(args, m_home.path());
        QCOMPARE(r.exitCode, code);
        for (const QString &text : shown) {
            const QRegularExpression pattern(text);
            QVERIFY2(pattern.match(r.out).hasMatch() || pattern.match(r.err).hasMatch(),
                     qPrintable(text + u"\n---\n"_qs + r.out + r.err));
        }
    }

private:
    QTemporaryDir m_home;
};

QTEST_GUILESS_MAIN(TestCliHelp)
#include "tst_clihelp.moc"
