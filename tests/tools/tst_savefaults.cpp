// A save killed at any moment leaves either the old or the new file, byte for
// byte, and nothing beside it that could pass for a solution.
#include "testkit.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

class TestSaveFaults : public QObject
{
    Q_OBJECT

private slots:
    void killedSaveLeavesOldOrNew()
    {
        const int kills = TestKit::EnvNumber("VERDANTIS_FAULT_KILLS", 50);
        const int nodes = TestKit::EnvNumber("VERDANTIS_FAULT_NODES", 5000);
        const quint32 seed =
            quint32(TestKit::EnvNumber("VERDANTIS_FAULT_SEED", int(QRandomGenerator::global()->bounded(1 << 30))));
        qInfo("%d kills, %d nodes a tree, seed %u", kills, nodes, seed);
        QRandomGenerator rng(seed);

        QTemporaryDir refs;
        QTemporaryDir work;
        const QString target = work.filePath(u"plant.kvf"_qs);
        QByteArray a, b;
        int sawA = 0, sawB = 0, leftovers = 0;
        qint64 saveMs = -1;
        for (int k = 0; k < kills; ++k) {
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(QStringLiteral(SAVEKILLER), {target, refs.path(), QString::number(nodes)});
            QVERIFY(child.waitForStarted());
            QVERIFY2(child.waitForReadyRead(120000), "the saving process did not get ready");
            QCOMPARE(child.readLine().trimmed(), QByteArray("ready"));
            if (a.isEmpty()) {
                a = TestKit::ReadFile(refs.filePath(u"a.kvf"_qs));
                b = TestKit::ReadFile(refs.filePath(u"b.kvf"_qs));
                QVERIFY(!a.isEmpty());
                QVERIFY(a != b);
                // how long one save takes here (sanitizers slow it down a lot):
                // the kills are spread over a few saves
                QElapsedTimer t;
                t.start();
                const QDateTime before = QFileInfo(target).lastModified();
                QVERIFY(QTest::qWaitFor([&] { return QFileInfo(target).lastModified() != before; }, 120000));
                saveMs = std::max<qint64>(t.elapsed(), 5);
            }
            QThread::msleep(rng.bounded(quint32(2 * saveMs)));
            child.kill();
            QVERIFY(child.waitForFinished(20000));
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);

            const QByteArray now = TestKit::ReadFile(target);
            if (now == a)
                ++sawA;
            else if (now == b)
                ++sawB;
            else
                QFAIL(qPrintable(
                    u"kill %1: the file is neither the old nor the new text (%2 bytes)"_qs.arg(k).arg(now.size())));

            // whatever the save left behind is no solution to the program
            const QStringList others = QDir(work.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
            for (const QString &name : others) {
                if (name == u"plant.kvf"_qs)
                    continue;
                QVERIFY2(!name.endsWith(u".kvf"_qs, Qt::CaseInsensitive), qPrintable(name));
                ++leftovers;
                QFile::remove(work.filePath(name));
            }
        }
        qInfo("old text %d times, new text %d times, %d files left beside it", sawA, sawB, leftovers);
        if (kills >= 20) {
            // otherwise the kills never landed inside the loop of saves
            QVERIFY(sawA > 0);
            QVERIFY(sawB > 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestSaveFaults)
#include "tst_savefaults.moc"
