// Runs the fuzz targets' entries on every committed regression input. A
// crash, a sanitizer report or a failed model check ends the program with
// the input's name printed first.
#include "fuzztarget.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class TestFuzzReplay : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Fuzz::Setup(); }

    void replay_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("path");
        const QDir root(QStringLiteral(VERDANTIS_FUZZ_REGRESSIONS));
        const QStringList targets = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        QVERIFY2(!targets.isEmpty(), "no regression folders");
        for (const QString &target : targets) {
            const QDir dir(root.filePath(target));
            const QStringList inputs = dir.entryList(QDir::Files, QDir::Name);
            QVERIFY2(!inputs.isEmpty(), qPrintable(target + u" has no inputs"_qs));
            for (const QString &input : inputs)
                QTest::newRow(qPrintable(target + u'/' + input)) << target << dir.filePath(input);
        }
    }

    void replay()
    {
        QFETCH(QString, target);
        QFETCH(QString, path);
        const FuzzEntry entry = FuzzEntryNamed(target);
        QVERIFY2(entry, qPrintable(u"no fuzz target named "_qs + target));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        // the name first: a crash below gives no test output of its own
        std::fprintf(stderr, "replaying %s\n", qPrintable(path));
        QCOMPARE(entry(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())), 0);
    }
};

QTEST_GUILESS_MAIN(TestFuzzReplay)
#include "tst_fuzzreplay.moc"
