// The desktop program killed while a user edits: the next start offers the
// work of the killed session, whatever moment the kill came at.
#include "deeptrees.h"
#include "guitestkit.h"
#include "scriptedprompt.h"

#include "app/autosave.h"
#include "app/mainframe.h"
#include "app/programparts.h"
#include "editor/editorinstall.h"
#include "editor/treewindows.h"
#include "model/solutionfile.h"

#include "testkit.h"

#include <QApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include <cstdio>

namespace {

// The program as a user runs it: the solution open with a tree window,
// edit after edit, recovery copies every few milliseconds, until killed.
int runChild(const QString &solution)
{
    CTessel1App::SetIdentity();
    CMainFrame frame;
    CScriptedPrompt prompt;
    frame.SetPrompt(&prompt);
    InstallEditor(frame);
    if (!frame.OpenFile(solution))
        return 3;
    frame.show();
    CKELDataManager &m = frame.Manager();
    if (const CKELTree *deep = m.FindTree(KEL::RBTs, u"Deep"_qs))
        frame.TreeOpener()(deep->GetId());
    frame.AutoSave().SetInterval(5);
    bool told = false;
    for (int i = 1;; ++i) {
        m.AddRequirement(u"K"_qs + QString::number(i), u"typed before the crash"_qs);
        QTest::qWait(2);
        if (!told && QFileInfo::exists(frame.AutoSave().RecoveryFile())) {
            std::fputs("ready\n", stdout);
            std::fflush(stdout);
            told = true;
        }
    }
}

} // namespace

class TestGuiFaults : public QObject
{
    Q_OBJECT

private slots:
    void killedProgramOffersItsWork()
    {
        const int kills = TestKit::EnvNumber("VERDANTIS_FAULT_GUI_KILLS", 6);
        const quint32 seed =
            quint32(TestKit::EnvNumber("VERDANTIS_FAULT_SEED", int(QRandomGenerator::global()->bounded(1 << 30))));
        qInfo("%d kills, seed %u", kills, seed);
        QRandomGenerator rng(seed);

        QTemporaryDir work;
        const QString solution = work.filePath(u"plant.kvf"_qs);
        {
            // large enough that a kill often lands inside a recovery write
            CKELDataManager m;
            DeepTrees::Fill(m, 3000);
            QString error;
            QVERIFY2(CSolutionFile::Write(m, solution, &error), qPrintable(error));
        }
        const QByteArray original = TestKit::ReadFile(solution);

        for (int k = 0; k < kills; ++k) {
            // each round a home of its own: the child and this process share it
            const auto home = GuiTestKit::IsolateHome();
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(QCoreApplication::applicationFilePath(), {u"--edit-child"_qs, solution});
            QVERIFY(child.waitForStarted());
            QVERIFY2(child.waitForReadyRead(120000), "the program did not start editing");
            QCOMPARE(child.readLine().trimmed(), QByteArray("ready"));
            QTest::qWait(int(rng.bounded(300)));
            child.kill();
            QVERIFY(child.waitForFinished(20000));

            CScriptedPrompt prompt;
            prompt.answers.append(CPrompt::Yes);
            CMainFrame frame;
            frame.SetPrompt(&prompt);
            QVERIFY2(frame.OfferRecovery(), qPrintable(prompt.texts.join(u" | "_qs)));
            QCOMPARE(prompt.texts.size(), 1);
            // offered under the solution's own name, not as an untitled one
            QVERIFY2(prompt.texts.first().contains(QDir::toNativeSeparators(solution)),
                     qPrintable(prompt.texts.first()));
            CKELDataManager &m = frame.Manager();
            QCOMPARE(m.Solution()->Path(), solution);
            QVERIFY(m.Solution()->IsModified());
            QVERIFY(m.FindRequirement(u"K1"_qs));
            QVERIFY(m.FindTree(KEL::RBTs, u"Deep"_qs));
            QVERIFY(frame.AutoSave().Orphans().isEmpty());
            frame.Manager().CloseSolution();
        }
        // the user's file is only ever written by a save
        QFile f(solution);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), original);
    }
};

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--edit-child") == 0) {
        QApplication app(argc, argv);
        return runChild(QString::fromLocal8Bit(argv[2]));
    }
    QApplication app(argc, argv);
    TestGuiFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_guifaults.moc"
