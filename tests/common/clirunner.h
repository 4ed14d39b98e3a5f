#pragma once

// Runs the real verdantis-cli as a user would, in a home (and working folder)
// of its own, so that no setting of the machine's user leaks into a test.

#include "testkit.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QtTest>

namespace CliRun {

struct Result
{
    int exitCode = -1; // -1 also when it crashed or did not end in time
    QString out;
    QString err;
    bool finished = false;
    bool crashed = false;
};

// Runs a program (killed after timeoutMs) with HOME and the working folder
// at home and no display; its output goes to stdoutFile when one is named.
inline Result RunProgram(const QString &program, const QStringList &args, const QString &home, int timeoutMs = 120000,
                         const QString &stdoutFile = QString())
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const char *name : {"XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
        env.remove(QString::fromLatin1(name));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(home);
    if (!stdoutFile.isEmpty())
        p.setStandardOutputFile(stdoutFile);
    p.start(program, args);
    Result r;
    r.finished = p.waitForFinished(timeoutMs);
    if (!r.finished) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.crashed = p.exitStatus() != QProcess::NormalExit;
    r.exitCode = r.crashed ? -1 : p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

inline Result Run(const QStringList &args, const QString &home)
{
    return RunProgram(QStringLiteral(VERDANTIS_CLI), args, home);
}

inline QString TestData(const QString &relative)
{
    return QStringLiteral(VERDANTIS_TEST_DATA "/") + relative;
}

inline QString ReadText(const QString &path)
{
    return QString::fromUtf8(TestKit::ReadFile(path));
}

// A table of command lines and what each must give. Arguments ending in
// ".kvf" name files under the test data folder, "@out" a fresh output file.
// golden: standard output, or the data file that holds it (none: no
// output); error: a
// text standard error contains, or equals when it ends a line (none: no
// errors); outGolden: the data file @out equals (none: no file is written).
inline void AddGoldenColumns()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("golden");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("outGolden");
}

inline void CheckGoldenRow(const QString &home)
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, golden);
    QFETCH(QString, error);
    QFETCH(QString, outGolden);
    const QString out = home + u'/' + QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_') + u".kvf"_qs;
    for (QString &a : args)
        a = a == u"@out" ? out : a.endsWith(u".kvf") ? TestData(a) : a;
    const Result r = Run(args, home);
    QCOMPARE(r.exitCode, exitCode);
    if (error.isEmpty() || error.endsWith(u'\n'))
        QCOMPARE(r.err, error);
    else
        QVERIFY2(r.err.contains(error), qPrintable(r.err));
    QCOMPARE(r.out, QFile::exists(TestData(golden)) && !golden.isEmpty() ? ReadText(TestData(golden)) : golden);
    if (outGolden.isEmpty())
        QVERIFY(!QFile::exists(out));
    else
        QCOMPARE(TestKit::ReadFile(out), TestKit::ReadFile(TestData(outGolden)));
}

} // namespace CliRun
