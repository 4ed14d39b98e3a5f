// The layout, mark, integrate and copy-rbt commands end to end: the real
// program on small solutions, compared with golden files.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestCliIntegration : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void command_data();
    void command();

private:
    QTemporaryDir m_home;
};

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing " + path.toUtf8() + '>');
}

QString data(const QString &name)
{
    return QStringLiteral(VERDANTIS_TEST_DATA "/") + name;
}

} // namespace

void TestCliIntegration::initTestCase()
{
    QVERIFY(m_home.isValid());
}

// Arguments name inputs under the test data folder; "@out" is the output
// file. Expected output and output file are golden files (empty: nothing).
void TestCliIntegration::command_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stdoutFile");
    QTest::addColumn<QString>("stderrText");
    QTest::addColumn<QString>("outFile");
    const QString lamp = u"integration/lamp.kvf"_qs;
    const QString shapes = u"layout/shapes.kvf"_qs;

    QTest::newRow("mark integration") << QStringList{u"mark"_qs, u"integration"_qs, lamp, u"Lamp"_qs} << 0
                                      << u"integration/mark-integration.txt"_qs << QString() << QString();
    QTest::newRow("mark missing") << QStringList{u"mark"_qs, u"missing"_qs, lamp, u"Lamp"_qs} << 0
                                  << u"integration/mark-missing.txt"_qs << QString() << QString();
    QTest::newRow("mark matches of a node") << QStringList{u"mark"_qs, u"matches"_qs, lamp, u"Lamp"_qs, u"23"_qs} << 0
                                            << u"integration/mark-matches-23.txt"_qs << QString() << QString();
    QTest::newRow("mark matches without any") << QStringList{u"mark"_qs, u"matches"_qs, lamp, u"Lamp"_qs, u"28"_qs} << 0
                                              << QString() << QString() << QString();
    QTest::newRow("mark on an RBT") << QStringList{u"mark"_qs, u"integration"_qs, lamp, u"R3"_qs} << 2 << QString()
                                    << u"verdantis-cli: \"R3\" is not a DBT\n"_qs << QString();
    QTest::newRow("mark matches of a node elsewhere")
        << QStringList{u"mark"_qs, u"matches"_qs, lamp, u"Lamp"_qs, u"11"_qs} << 2 << QString()
        << u"verdantis-cli: no node 11 in tree \"Lamp\"\n"_qs << QString();

    QTest::newRow("integrate next") << QStringList{u"integrate"_qs, u"next"_qs, lamp,      u"Lamp"_qs,
                                                   u"23"_qs,        u"-o"_qs,   u"@out"_qs}
                                    << 0 << QString() << QString() << u"integration/integrate-next-23.kvf"_qs;
    QTest::newRow("integrate next without a matching root")
        << QStringList{u"integrate"_qs, u"next"_qs, lamp, u"Lamp"_qs, u"22"_qs, u"-o"_qs, u"@out"_qs} << 2 << QString()
        << u"verdantis-cli: no root of another tree matches node 22\n"_qs << QString();
    QTest::newRow("integrate this, first of two matches")
        << QStringList{u"integrate"_qs, u"this"_qs, lamp, u"Lamp"_qs, u"27"_qs, u"-o"_qs, u"@out"_qs} << 0 << QString()
        << u"Message: More than one match found.Integrate with first match? (answered OK)\n"_qs
        << u"integration/integrate-this-27.kvf"_qs;
    QTest::newRow("integrate this, not a root")
        << QStringList{u"integrate"_qs, u"this"_qs, lamp, u"Lamp"_qs, u"25"_qs, u"-o"_qs, u"@out"_qs} << 2 << QString()
        << u"Message: Not A Root Node\n"_qs << QString();
    QTest::newRow("integrate this, no match")
        << QStringList{u"integrate"_qs, u"this"_qs, lamp, u"Lamp"_qs, u"30"_qs, u"-o"_qs, u"@out"_qs} << 2 << QString()
        << u"Message: No matching node found\n"_qs << QString();

    QTest::newRow("copy-rbt") << QStringList{u"copy-rbt"_qs, lamp, u"Lamp"_qs, u"R3"_qs, u"-o"_qs, u"@out"_qs} << 0
                              << QString() << QString() << u"integration/copy-rbt-R3.kvf"_qs;
    QTest::newRow("copy-rbt of a DBT") << QStringList{u"copy-rbt"_qs, lamp,     u"Lamp"_qs,
                                                      u"Lamp"_qs,     u"-o"_qs, u"@out"_qs}
                                       << 2 << QString() << u"verdantis-cli: \"Lamp\" is not an RBT\n"_qs << QString();

    QTest::newRow("layout all trees") << QStringList{u"layout"_qs, shapes, u"Sizes"_qs, u"-o"_qs, u"@out"_qs} << 0
                                      << QString() << QString() << u"layout/layout-all.kvf"_qs;
    QTest::newRow("layout a subtree") << QStringList{u"layout"_qs, shapes,   u"Sizes"_qs, u"--subtree"_qs,
                                                     u"12"_qs,     u"-o"_qs, u"@out"_qs}
                                      << 0 << QString() << QString() << u"layout/layout-subtree-12.kvf"_qs;
    QTest::newRow("layout a node of another tree")
        << QStringList{u"layout"_qs, lamp, u"Lamp"_qs, u"--subtree"_qs, u"12"_qs, u"-o"_qs, u"@out"_qs} << 2
        << QString() << u"verdantis-cli: no node 12 in tree \"Lamp\"\n"_qs << QString();
    QTest::newRow("layout an unknown tree")
        << QStringList{u"layout"_qs, shapes, u"Nope"_qs, u"-o"_qs, u"@out"_qs} << 2 << QString()
        << u"verdantis-cli: no tree named \"Nope\" in the current version\n"_qs << QString();
}

void TestCliIntegration::command()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, stdoutFile);
    QFETCH(QString, stderrText);
    QFETCH(QString, outFile);
    const QString out = m_home.filePath(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_') + u".kvf"_qs);
    for (QString &a : args) {
        if (a == u"@out")
            a = out;
        else if (a.endsWith(u".kvf"))
            a = data(a);
    }
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"HOME"_qs, m_home.path());
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VERDANTIS_CLI), args);
    QVERIFY(p.waitForFinished(30000));
    const QByteArray err = p.readAllStandardError();
    QCOMPARE(p.exitCode(), exitCode);
    if (exitCode != 1)
        QCOMPARE(QString::fromUtf8(err), stderrText);
    QCOMPARE(p.readAllStandardOutput(), stdoutFile.isEmpty() ? QByteArray() : readFile(data(stdoutFile)));
    if (outFile.isEmpty())
        QVERIFY(!QFile::exists(out));
    else
        QCOMPARE(readFile(out), readFile(data(outFile)));
}

QTEST_GUILESS_MAIN(TestCliIntegration)
#include "tst_cli_integration.moc"
