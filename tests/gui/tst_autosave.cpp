// Recovery copies: written while a local solution is changed, gone once it
// is saved or left, and offered again after the program was killed.
#include "guitestkit.h"
#include "scriptedprompt.h"

#include "app/autosave.h"
#include "app/mainframe.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelrequirement.h"
#include "model/operationrecord.h"
#include "model/solutionfile.h"

#include <QApplication>
#include <QProcess>
#include <QtTest>

#include <cstdio>

using namespace GuiTestKit;

using Change = std::function<void(CKELDataManager &)>;
Q_DECLARE_METATYPE(Change)

namespace {

class CDroppingSink : public COperationSink
{
public:
    bool SendOperation(const QString &) override { return true; }
};

// The program as a user left it: a changed solution, a copy written, and
// then the process is killed.
int runChild(const QString &solution)
{
    CTessel1App::SetIdentity();
    CKELDataManager manager;
    QString error;
    if (!CSolutionFile::Read(manager, solution, &error))
        return 3;
    manager.SetSolutionPath(solution);
    CAutoSave autoSave(manager);
    autoSave.SetInterval(20);
    manager.AddRequirement(u"R77"_qs, u"typed before the crash"_qs);
    while (!QFileInfo::exists(autoSave.RecoveryFile()))
        QTest::qWait(10);
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    for (;;)
        QTest::qWait(1000);
}

} // namespace

class TestAutoSave : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_home = IsolateHome(); }

    void writesOnlyAChangedLocalSolution_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<bool>("written");
        QTest::newRow("unchanged") << Change([](CKELDataManager &) {}) << false;
        QTest::newRow("changed") << Change([](CKELDataManager &m) { m.AddRequirement(u"R1"_qs, {}); }) << true;
        QTest::newRow("shared") << Change([](CKELDataManager &m) {
            m.MarkModified();
            m.SetLocal(false);
        }) << false;
    }
    void writesOnlyAChangedLocalSolution()
    {
        QFETCH(Change, change);
        QFETCH(bool, written);
        QTemporaryDir dir;
        CKELDataManager m;
        CDroppingSink sink;
        m.SetOperationSink(&sink);
        m.NewSolution();
        CAutoSave autoSave(m, dir.path());
        QCOMPARE(autoSave.Interval(), 2 * 60 * 1000);
        change(m);
        autoSave.WriteNow();
        QCOMPARE(QFileInfo::exists(autoSave.RecoveryFile()), written);
    }

    void savingOrLeavingDeletesTheCopy_data()
    {
        QTest::addColumn<Change>("leave");
        QTest::newRow("saved") << Change([](CKELDataManager &m) { m.MarkSaved(); });
        QTest::newRow("new solution") << Change([](CKELDataManager &m) { m.NewSolution(); });
        QTest::newRow("closed") << Change([](CKELDataManager &m) { m.CloseSolution(); });
    }
    void savingOrLeavingDeletesTheCopy()
    {
        QFETCH(Change, leave);
        QTemporaryDir dir;
        CKELDataManager m;
        m.NewSolution();
        CAutoSave autoSave(m, dir.path());
        m.AddRequirement(u"R1"_qs, {});
        QVERIFY(autoSave.WriteNow());
        QVERIFY(QFileInfo::exists(autoSave.RecoveryFile()));
        leave(m);
        QVERIFY(!QFileInfo::exists(autoSave.RecoveryFile()));
    }

    void theTimerWritesTheCopy()
    {
        QTemporaryDir dir;
        CKELDataManager m;
        m.NewSolution();
        CAutoSave autoSave(m, dir.path());
        autoSave.SetInterval(10);
        m.AddRequirement(u"R1"_qs, u"kept"_qs);
        QTRY_VERIFY(QFileInfo::exists(autoSave.RecoveryFile()));
        CKELDataManager back;
        QString error;
        QVERIFY(CSolutionFile::Read(back, autoSave.RecoveryFile(), &error));
        QCOMPARE(back.FindRequirement(u"R1"_qs)->Description(), u"kept"_qs);
    }

    // A session that is still running is nobody's orphan.
    void aLiveSessionIsNotOffered()
    {
        QTemporaryDir dir;
        CKELDataManager first;
        first.NewSolution();
        CAutoSave firstSave(first, dir.path());
        first.AddRequirement(u"R1"_qs, {});
        QVERIFY(firstSave.WriteNow());
        CKELDataManager second;
        second.NewSolution();
        CAutoSave secondSave(second, dir.path());
        QVERIFY(secondSave.Orphans().isEmpty());
        QVERIFY(firstSave.Orphans().isEmpty());
    }

    void aKilledSessionIsOfferedAtStart_data()
    {
        QTest::addColumn<bool>("restore");
        QTest::newRow("restored") << true;
        QTest::newRow("declined") << false;
    }
    void aKilledSessionIsOfferedAtStart()
    {
        QFETCH(bool, restore);
        QTemporaryDir work;
        const QString solution = work.filePath(u"oven.kvf"_qs);
        QVERIFY(QFile::copy(ExampleSolution(), solution));

        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {u"--crash-child"_qs, solution});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(20000));
        QCOMPARE(child.readLine().trimmed(), QByteArray("ready"));
        child.kill();
        QVERIFY(child.waitForFinished());

        CScriptedPrompt prompt;
        prompt.answers.append(restore ? CPrompt::Yes : CPrompt::No);
        CMainFrame frame;
        frame.SetPrompt(&prompt);
        QCOMPARE(frame.AutoSave().Orphans().size(), 1);
        QCOMPARE(frame.AutoSave().Orphans().first().originalPath, solution);
        QCOMPARE(frame.OfferRecovery(), restore);
        QCOMPARE(prompt.texts.size(), 1);
        QVERIFY(prompt.texts.first().contains(QDir::toNativeSeparators(solution)));
        // either way the copy is not offered twice
        QVERIFY(frame.AutoSave().Orphans().isEmpty());
        CKELDataManager &m = frame.Manager();
        QCOMPARE(m.FindRequirement(u"R77"_qs) != nullptr, restore);
        if (restore) {
            QVERIFY(m.Solution()->IsModified());
            QCOMPARE(m.Solution()->Path(), solution);
            QCOMPARE(frame.windowTitle(), u" TESSEL: oven* "_qs);
            // and it is protected again at once
            QVERIFY(QFileInfo::exists(frame.AutoSave().RecoveryFile()));
        }
        // the file itself was never touched
        CKELDataManager original;
        QString error;
        QVERIFY(CSolutionFile::Read(original, solution, &error));
        QVERIFY(!original.FindRequirement(u"R77"_qs));
        frame.Manager().CloseSolution();
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--crash-child") == 0) {
        QCoreApplication app(argc, argv);
        return runChild(QString::fromLocal8Bit(argv[2]));
    }
    QApplication app(argc, argv);
    TestAutoSave test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_autosave.moc"
