#include "testkit.h"
#include "clirunner.h"

#include "layout/treelayout.h"
#include "model/keldatamanager.h"
#include "model/keltree.h"
#include "model/solutionfile.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// derive cbt and evt run as the real command line on small solutions and
// compared with golden files. In evolution/versions.kvf, trees 24, 32 and 39
// are "Door" in versions 1.0, 2.0 and 3.0 (the current one); 46 is "Window".

namespace {
QString data(const QString &name)
{
    return QStringLiteral(VERDANTIS_TEST_DATA "/") + name;
}
} // namespace

class TestCbtEvtCli : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_home.isValid()); }

    void evt_data()
    {
        QTest::addColumn<QStringList>("trees");
        QTest::newRow("other versions by id, current by name") << QStringList{u"#24"_qs, u"#32"_qs, u"Door"_qs};
        QTest::newRow("all by id") << QStringList{u"#24"_qs, u"#32"_qs, u"#39"_qs};
    }

    void evt()
    {
        QFETCH(QStringList, trees);
        const QString out = m_home.filePath(QString::fromUtf8(QTest::currentDataTag()) + u".kvf"_qs);
        const Run r =
            run(QStringList{u"evt"_qs, data(u"evolution/versions.kvf"_qs)} + trees + QStringList{u"-o"_qs, out});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, u"#49 1.0->Door, 2.0->Door, 3.0->Door\n"_qs);
        QCOMPARE(TestKit::ReadFile(out), TestKit::ReadFile(data(u"evolution/versions_evt.kvf"_qs)));
        // the tree is written laid out, as the window shows it: a layout pass
        // would move nothing
        CKELDataManager manager;
        QString error;
        QVERIFY2(CSolutionFile::Read(manager, out, &error), qPrintable(error));
        const auto *evt = manager.LookupAs<CKELTree>(49, KEL::EVT);
        QVERIFY(evt);
        const qsizetype moved = CTreeLayout(*evt).RearrangeAll().moves.size();
        QVERIFY2(moved == 0, qPrintable(QString::number(moved) + u" nodes out of place"_qs));
    }

private:
    struct Run
    {
        int exitCode = -1;
        QString out, err;
    };

    Run run(const QStringList &args)
    {
        const CliRun::Result r = CliRun::Run(args, m_home.path());
        return {r.exitCode, r.out, r.err};
    }

    QTemporaryDir m_home;
};

QTEST_GUILESS_MAIN(TestCbtEvtCli)
#include "tst_cbtevtcli.moc"
