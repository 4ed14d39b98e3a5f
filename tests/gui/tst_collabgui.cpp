// Collaboration from the desktop program: the connect, disconnect and
// open-shared entries with their dialogs, Save and Save As of shared
// solutions, and two main windows in one process editing one solution
// through the real server.
#include "guitestkit.h"
#include "serverprocess.h"

#include "app/solutioncommands.h"
#include "collab/collabcommands.h"
#include "collab/collabguitexts.h"
#include "collab/collabinstall.h"
#include "collab/opensharedsolutiondlg.h"
#include "collab/saveremotesolutiondlg.h"
#include "collab/membersdlg.h"
#include "collab/serverlogindlg.h"
#include "collab/sharedhistorydlg.h"
#include "collab/sharedsolutionclient.h"
#include "dialogs/kelrequirementdlg.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QListWidget>
#include <QLoggingCategory>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSettings>
#include <QStatusBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <algorithm>

using namespace GuiTestKit;

namespace {

// A port nothing listens on: one the system just handed out and took back.
quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// One user's program: a main window with the editor and collaboration,
// answering its questions and dialogs from scripts.
struct Window : Frame
{
    CCollabCommands *collab = nullptr;

    static CEditor *CollabParts(CMainFrame &frame)
    {
        CEditor *editor = InstallEditor(frame);
        InstallCollab(frame, *editor);
        return editor;
    }
    Window() : Frame(CollabParts) { collab = frame->findChild<CCollabCommands *>(); }
    CSharedSolutionClient &client() const { return collab->Client(); }

    // "Connect ( Login)" with the dialog filled in as given.
    void connectWith(const QString &server, int port, const QString &user, const QString &password = QString())
    {
        script.Accept<CServerLoginDlg>([=](CServerLoginDlg &d) {
            d.ServerEdit()->setText(server);
            d.PortEdit()->setText(QString::number(port));
            d.UserIdEdit()->setText(user);
            if (!password.isEmpty())
                d.PasswordEdit()->setText(password);
        });
        collab->ConnectAction()->trigger();
    }
    bool logIn(quint16 port, const QString &user, const QString &password = QString())
    {
        connectWith(u"127.0.0.1"_qs, port, user, password);
        return QTest::qWaitFor([this] { return client().IsLoggedIn(); }, 10000);
    }
    // Shown in a box, or as a notice of the server's replies.
    bool told(const QString &text) const
    {
        return prompt.texts.contains(text)
               || std::any_of(collab->Notices().cbegin(), collab->Notices().cend(),
                              [&](const QString &n) { return n.endsWith(u"  "_qs + text); });
    }
    bool waitForText(const QString &text, int ms = 10000) const
    {
        return QTest::qWaitFor([&] { return told(text); }, ms);
    }
    // "Open Shared ..." and picking name in its dialog.
    void pickShared(const QString &name)
    {
        script.Use<COpenSharedSolutionDlg>([name](COpenSharedSolutionDlg &d) {
            const QList<QListWidgetItem *> found = d.List()->findItems(name, Qt::MatchExactly);
            if (found.isEmpty())
                return int(QDialog::Rejected);
            d.List()->setCurrentItem(found.first());
            d.accept();
            return d.result();
        });
        collab->OpenSharedAction()->trigger();
    }
    bool openShared(const QString &name)
    {
        QSignalSpy opened(&client(), &CSharedSolutionClient::sharedSolutionOpened);
        pickShared(name);
        return opened.wait(10000);
    }
    // Save As, answering the question with No and naming the solution.
    void saveAsShared(const QString &name)
    {
        prompt.answers.append(CPrompt::No);
        script.Accept<CSaveRemoteSolutionDlg>([name](CSaveRemoteSolutionDlg &d) { d.NameEdit()->setText(name); });
        action(u"actionSaveAs"_qs)->trigger();
    }
};

QString connectedTitle(const QString &user)
{
    return u"[Connected to 127.0.0.1("_qs + user + u")]"_qs;
}

} // namespace

class TestCollabGui : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // every packet in full would bury the test's own output
        QLoggingCategory::setFilterRules(u"verdantis.collab.packet.debug=false"_qs);
        m_home = IsolateHome();
        m_data = std::make_unique<QTemporaryDir>();
        m_server = std::make_unique<CServerProcess>(m_data->path());
        QVERIFY2(m_server->Start(), "verdantis-server did not start");
        QFile users(m_data->filePath(u"users.txt"_qs));
        QVERIFY(users.open(QIODevice::WriteOnly));
        const QByteArray hash = HashPassword(u"pw"_qs).toUtf8();
        users.write("alice:" + hash + "\nbob:" + hash + "\n");
        users.close();
        m_restrictedData = std::make_unique<QTemporaryDir>();
        m_restricted =
            std::make_unique<CServerProcess>(m_restrictedData->path(), QStringList{u"--users"_qs, users.fileName()});
        QVERIFY2(m_restricted->Start(), "verdantis-server --users did not start");
    }
    void cleanupTestCase()
    {
        for (CServerProcess *server : {m_server.get(), m_restricted.get()}) {
            if (server)
                QVERIFY(server->Stop());
        }
    }

    // What the dialog shows first: built-in values, then what was last typed
    // (the password is never written down).
    void connectDialogRemembers()
    {
        {
            Window w;
            w.script.Use<CServerLoginDlg>([](CServerLoginDlg &d) {
                const bool defaults = d.ServerEdit()->text() == u"127.0.0.1" && d.PortEdit()->text() == u"8002"
                                      && d.UserIdEdit()->text() == u"usr" && d.PasswordEdit()->text() == u"usr"
                                      && d.PasswordEdit()->echoMode() == QLineEdit::Password;
                if (!defaults)
                    return int(QDialog::Rejected);
                d.ServerEdit()->setText(u" localhost "_qs);
                d.PortEdit()->setText(QString::number(closedPort()));
                d.UserIdEdit()->setText(u"carol"_qs);
                d.PasswordEdit()->setText(u"secret"_qs);
                d.TlsBox()->setChecked(true);
                d.accept();
                return d.result();
            });
            QVERIFY(w.collab->Connect());
            QCOMPARE(w.client().ServerAddress(), u"localhost"_qs);
            QCOMPARE(w.client().UserId(), u"carol"_qs);
            QCOMPARE(w.client().Password(), u"secret"_qs);
            QVERIFY(w.client().UsesTls());
            // nothing listens: the attempt ends with a message, not a hang
            QVERIFY(w.waitForText(u"Login failed."_qs));
            QTRY_VERIFY(w.collab->ConnectAction()->isEnabled());
            QVERIFY(!w.collab->DisconnectAction()->isEnabled());
            const quint16 port = quint16(w.client().Port());
            QSettings settings;
            QCOMPARE(settings.value(u"Collaboration/port"_qs).toInt(), int(port));
            QVERIFY(!settings.allKeys().join(u' ').contains(u"assword"_qs));
        }
        Window again;
        QCOMPARE(again.client().ServerAddress(), u"localhost"_qs);
        QCOMPARE(again.client().UserId(), u"carol"_qs);
        QCOMPARE(again.client().Password(), u"usr"_qs);
        QVERIFY(again.client().UsesTls());
        QSettings().remove(u"Collaboration"_qs);
    }

    // A connection that cannot start, or is refused, says why and leaves
    // the window ready to try again.
    // The address is the user's text: a place marker in it (an IPv6 zone)
    // must not be filled with the port.
    void connectedStatusKeepsTheAddress()
    {
        QCOMPARE(CollabGuiTexts::ConnectedTo(u"fe80::1%2"_qs, 8002), u"Connected to fe80::1%2:8002"_qs);
    }

    void connectFailures_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("stillConnected");
        QTest::newRow("nothing listens") << u"127.0.0.1"_qs << int(closedPort()) << u"dave"_qs << u"Login failed."_qs
                                         << u"CKELDataManager::EstablishedConnection"_qs << false;
        QTest::newRow("port zero") << u"127.0.0.1"_qs << 0 << u"dave"_qs
                                   << u"The port must be a number from 1 to 65535"_qs << u"Message"_qs << false;
        QTest::newRow("port too large") << u"127.0.0.1"_qs << 70000 << u"dave"_qs
                                        << u"The port must be a number from 1 to 65535"_qs << u"Message"_qs << false;
        // the server keeps a refused connection: Disconnect is how to leave it
        QTest::newRow("login refused") << u"127.0.0.1"_qs << int(m_restricted->Port()) << u"mallory"_qs
                                       << u"Login unsuccessful: Login refused: wrong user id or password"_qs
                                       << u"notice"_qs << true;
    }
    void connectFailures()
    {
        QFETCH(QString, server);
        QFETCH(int, port);
        QFETCH(QString, user);
        QFETCH(QString, message);
        QFETCH(QString, caption);
        QFETCH(bool, stillConnected);
        Window w;
        w.connectWith(server, port, user);
        if (caption == u"notice") {
            // the server's refusal is a notice, not a box
            QVERIFY(w.waitForText(message));
            QVERIFY(w.prompt.texts.isEmpty());
            QVERIFY(w.frame->statusBar()->currentMessage().contains(message));
        } else {
            QVERIFY(QTest::qWaitFor(
                [&] {
                    return std::any_of(w.prompt.texts.cbegin(), w.prompt.texts.cend(),
                                       [&](const QString &t) { return t.startsWith(message); });
                },
                10000));
            const qsizetype at = std::find_if(w.prompt.texts.cbegin(), w.prompt.texts.cend(),
                                              [&](const QString &t) { return t.startsWith(message); })
                                 - w.prompt.texts.cbegin();
            QCOMPARE(w.prompt.captions.at(at), caption);
        }
        QTRY_COMPARE(w.collab->ConnectAction()->isEnabled(), !stillConnected);
        QCOMPARE(w.collab->DisconnectAction()->isEnabled(), stillConnected);
        QVERIFY(!w.client().IsLoggedIn());
        QVERIFY(!w.frame->windowTitle().contains(u"Connected"_qs));
    }

    // Offline, Open Shared sends nothing and Save As does not ask where.
    void offline()
    {
        Window w;
        w.collab->OpenSharedAction()->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(w.prompt.texts, QStringList{u"Please connect and login to the server"_qs});
        QVERIFY(w.script.titles.isEmpty());
        QVERIFY(!w.collab->MembersAction()->isEnabled());

        w.forgetAsked();
        w.open();
        const QString target = m_data->filePath(u"offline.kvf"_qs);
        w.script.files.append(target);
        w.action(u"actionSaveAs"_qs)->trigger();
        QVERIFY(w.prompt.texts.isEmpty());
        QCOMPARE(w.script.titles, QStringList{u"Save As"_qs});
        QVERIFY(QFileInfo::exists(target));
    }

    // "Open Shared" keeps itself open until a name is chosen.
    void openSharedDialog_data()
    {
        QTest::addColumn<int>("row"); // -1: none
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("nothing chosen") << -1 << false << QString();
        QTest::newRow("second name") << 1 << true << u"beta"_qs;
    }
    void openSharedDialog()
    {
        QFETCH(int, row);
        QFETCH(bool, accepted);
        QFETCH(QString, chosen);
        CScriptedPrompt prompt;
        COpenSharedSolutionDlg dialog({u"alpha"_qs, u"beta"_qs}, prompt);
        if (row >= 0)
            dialog.List()->setCurrentRow(row);
        dialog.show();
        dialog.accept();
        QCOMPARE(dialog.isVisible(), !accepted);
        QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
        QCOMPARE(dialog.SelectedName(), chosen);
        QCOMPARE(prompt.texts, accepted ? QStringList() : QStringList{u"You need select one file to open"_qs});
    }

    // Save As while connected asks where; each answer lands where it says.
    void saveAsWhenConnected_data()
    {
        QTest::addColumn<bool>("locally");
        QTest::addColumn<QString>("name"); // null: "Save Shared" cancelled
        QTest::addColumn<bool>("shared");
        QTest::newRow("locally") << true << QString() << false;
        QTest::newRow("shared, cancelled") << false << QString() << false;
        QTest::newRow("shared, empty name") << false << u""_qs << false;
        QTest::newRow("shared") << false << u"saveas-shared"_qs << true;
    }
    void saveAsWhenConnected()
    {
        QFETCH(bool, locally);
        QFETCH(QString, name);
        QFETCH(bool, shared);
        Window w;
        QVERIFY(w.open());
        const QString path = w.model().Solution()->Path();
        QVERIFY(w.logIn(m_server->Port(), u"erin"_qs));
        w.forgetAsked();
        w.prompt.answers.append(locally ? CPrompt::Yes : CPrompt::No);
        const QString file = m_data->filePath(u"local-copy.kvf"_qs);
        if (locally)
            w.script.files.append(file);
        else if (name.isNull())
            w.script.Cancel();
        else
            w.script.Accept<CSaveRemoteSolutionDlg>([name](CSaveRemoteSolutionDlg &d) {
                // it suggests the name the solution has now
                if (d.NameEdit()->text() == u"microwave")
                    d.NameEdit()->setText(name);
            });
        w.action(u"actionSaveAs"_qs)->trigger();
        QCOMPARE(w.prompt.texts.value(0), u"Are you going to save the solution locally?"_qs);
        QCOMPARE(w.prompt.captions.value(0), u"Save a solution"_qs);
        QCOMPARE(w.script.titles.value(0), locally ? u"Save As"_qs : u"Save Shared"_qs);
        QCOMPARE(w.client().IsShared(), shared);
        if (shared) {
            QVERIFY(w.waitForText(u"Solution "_qs + name + u" saved"_qs));
            QCOMPARE(w.frame->windowTitle(), u" TESSEL: "_qs + name + u" -M- "_qs + connectedTitle(u"erin"_qs));
        } else if (locally) {
            QVERIFY(QFileInfo::exists(file));
            QCOMPARE(QFileInfo(w.model().Solution()->Path()), QFileInfo(file));
        } else {
            QCOMPARE(w.model().Solution()->Path(), path);
        }
        QCOMPARE(w.frame->windowTitle(), w.client().Title());
    }

    // Save of a solution that never had a file asks for one, not where.
    void saveOfANewSolutionWhenConnected()
    {
        Window w;
        QVERIFY(w.logIn(m_server->Port(), u"ivan"_qs));
        QVERIFY(w.model().AddRequirement(u"R1"_qs, u"New."_qs));
        w.forgetAsked();
        const QString file = m_data->filePath(u"new.kvf"_qs);
        w.script.files.append(file);
        w.action(u"actionSave"_qs)->trigger();
        QCOMPARE(w.prompt.texts, QStringList());
        QCOMPARE(w.script.titles, QStringList{u"Save As"_qs});
        QVERIFY(QFileInfo::exists(file));
        QVERIFY(!w.model().Solution()->IsModified());
    }

    // Two programs on one solution: what one does, the other shows.
    void twoWindowsShareASolution()
    {
        Window a, b;
        for (Window *w : {&a, &b}) {
            w->frame->resize(1000, 680);
            w->frame->show();
            QVERIFY(QTest::qWaitForWindowExposed(w->frame.get()));
        }
        QVERIFY(a.logIn(m_server->Port(), u"alice"_qs));
        QVERIFY(b.logIn(m_server->Port(), u"bob"_qs));
        QVERIFY(a.told(u"Login successful"_qs));
        QCOMPARE(b.frame->windowTitle(), u" TESSEL: Untitled "_qs + connectedTitle(u"bob"_qs));
        QVERIFY(!a.collab->ConnectAction()->isEnabled());
        QVERIFY(a.collab->DisconnectAction()->isEnabled());

        // A shares the example
        QVERIFY(a.open());
        a.saveAsShared(u"kitchen"_qs);
        QVERIFY(a.waitForText(u"Solution kitchen saved"_qs));
        QCOMPARE(a.frame->windowTitle(), u" TESSEL: kitchen -M- "_qs + connectedTitle(u"alice"_qs));

        // B opens it from the list
        QVERIFY(b.openShared(u"kitchen"_qs));
        QCOMPARE(b.script.titles.last(), u"Open Shared"_qs);
        QCOMPARE(b.model().BuildSolutionText(), a.model().BuildSolutionText());
        QCOMPARE(b.explorer(), a.explorer());
        QCOMPARE(b.frame->windowTitle(), u" TESSEL: kitchen -M- "_qs + connectedTitle(u"bob"_qs));

        // A adds a requirement through its menu and dialog
        a.script.Accept<CKELRequirementDlg>([](CKELRequirementDlg &d) {
            d.TagEdit()->setText(u"R9"_qs);
            d.DescriptionEdit()->setPlainText(u"The light goes off when the door opens."_qs);
        });
        a.action(u"actionNewRequirement"_qs)->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(b.explorer().contains(u"R9"_qs), 10000);
        QTRY_VERIFY(a.explorer().contains(u"R9"_qs));
        QCOMPARE(b.explorer(), a.explorer());
        // both are changed since the last save, and say so
        QTRY_COMPARE(b.frame->windowTitle(), u" TESSEL: kitchen -M-* "_qs + connectedTitle(u"bob"_qs));
        QCOMPARE(a.frame->windowTitle(), a.client().Title());

        QTRY_COMPARE(b.model().BuildSolutionText(), a.model().BuildSolutionText());

        // Save of a shared solution goes to the server
        b.action(u"actionSave"_qs)->trigger();
        QVERIFY(b.waitForText(u"Solution kitchen saved"_qs));
        QCOMPARE(b.frame->windowTitle(), u" TESSEL: kitchen -M- "_qs + connectedTitle(u"bob"_qs));
        QTRY_COMPARE(m_server->StoredText(u"kitchen"_qs), b.model().BuildSolutionText());

        // B leaves through the menu: its copy stays, local and unnamed
        b.collab->DisconnectAction()->trigger();
        QVERIFY(b.model().IsLocal());
        QCOMPARE(b.frame->windowTitle(), u" TESSEL: Untitled "_qs);
        QVERIFY(b.collab->ConnectAction()->isEnabled());
        QCOMPARE(b.explorer().section(u'\n', 0, 0), u"Solution: Untitled"_qs);
    }

    // Opening a shared solution over a changed local one offers to save it
    // first; Cancel keeps what is open.
    void openSharedOverAChangedSolution_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<bool>("savedFirst");
        QTest::newRow("cancel keeps it") << int(CPrompt::Cancel) << false << false;
        QTest::newRow("discard opens") << int(CPrompt::No) << true << false;
        QTest::newRow("save, then open") << int(CPrompt::Yes) << true << true;
    }
    void openSharedOverAChangedSolution()
    {
        QFETCH(int, answer);
        QFETCH(bool, opened);
        QFETCH(bool, savedFirst);
        Window owner;
        QVERIFY(owner.open());
        QVERIFY(owner.logIn(m_server->Port(), u"gina"_qs));
        owner.saveAsShared(u"base"_qs);
        QVERIFY(owner.waitForText(u"Solution base saved"_qs));

        const QString file = m_data->filePath(u"changed.kvf"_qs);
        QFile::remove(file);
        QVERIFY(QFile::copy(ExampleSolution(), file));
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
        Window w;
        QVERIFY(w.open(file));
        QVERIFY(w.logIn(m_server->Port(), u"hank"_qs));
        QVERIFY(w.model().AddRequirement(u"R42"_qs, u"Local only."_qs));
        const QString local = w.model().BuildSolutionText();
        w.forgetAsked();
        w.prompt.answers.append(CPrompt::Answer(answer));
        QSignalSpy openedSpy(&w.client(), &CSharedSolutionClient::sharedSolutionOpened);
        w.pickShared(u"base"_qs);
        QTRY_COMPARE_WITH_TIMEOUT(w.prompt.texts.value(0), u"Solution changed*has been changed. Save it?"_qs, 10000);
        // the server answers in order: any opening comes before this list
        QSignalSpy listed(&w.client(), &CSharedSolutionClient::sharedListReceived);
        QVERIFY(w.client().RequestSharedList());
        QVERIFY(listed.wait(10000));
        QCOMPARE(openedSpy.size(), opened ? 1 : 0);
        QCOMPARE(w.client().IsShared(), opened);
        if (opened)
            QCOMPARE(w.model().BuildSolutionText(), owner.model().BuildSolutionText());
        else
            QCOMPARE(w.model().BuildSolutionText(), local);
        QFile saved(file);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll().contains("R42"), savedFirst);
    }

    // The server going away leaves each window's model as it was, local,
    // and tells the user.
    void lostConnectionKeepsTheModel()
    {
        QTemporaryDir data;
        CServerProcess server(data.path());
        QVERIFY(server.Start());
        Window w;
        QVERIFY(w.open());
        QVERIFY(w.logIn(server.Port(), u"frank"_qs));
        w.saveAsShared(u"lost"_qs);
        QVERIFY(w.waitForText(u"Solution lost saved"_qs));
        QVERIFY(w.model().AddRequirement(u"R20"_qs, u"Not saved yet."_qs));
        QTRY_VERIFY_WITH_TIMEOUT(w.explorer().contains(u"R20"_qs), 10000);
        const QString before = w.model().BuildSolutionText();
        w.forgetAsked();

        server.Kill();
        QVERIFY(w.waitForText(u"Disconnected"_qs));
        QVERIFY(w.explorer().contains(u"R20"_qs));
        QVERIFY(w.frame->statusBar()->currentMessage().contains(u"connection to the server was lost"_qs));
        QVERIFY(w.frame->statusBar()->currentMessage().contains(u"local copy"_qs));
        QCOMPARE(w.frame->windowTitle(), u" TESSEL: Untitled* "_qs);
        QVERIFY(w.collab->ConnectAction()->isEnabled());

        // and the work can be kept: Save goes straight to a file
        const QString file = data.filePath(u"kept.kvf"_qs);
        w.script.files.append(file);
        w.forgetAsked();
        w.action(u"actionSave"_qs)->trigger();
        QVERIFY(w.prompt.texts.isEmpty());
        QVERIFY(QFileInfo::exists(file));
    }

    // A server that floods the window with replies nobody asked for: one
    // login, one answer taken, no box at all, the open solution untouched,
    // and Disconnect works; every word is in Server Messages.
    void replyFloodStaysOutOfTheWay()
    {
        QTcpServer fake;
        QVERIFY(fake.listen(QHostAddress::LocalHost, 0));
        Window w;
        QVERIFY(w.open());
        const QString before = w.model().BuildSolutionText();
        w.connectWith(u"127.0.0.1"_qs, fake.serverPort(), u"ann"_qs);
        QVERIFY(fake.waitForNewConnection(10000));
        QTcpSocket *peer = fake.nextPendingConnection();
        QVERIFY(QTest::qWaitFor([&] { return peer->bytesAvailable() > 0; }, 10000));
        QString flood = u"UIDLogAck#ann#.."_qs.repeated(300);
        flood += u"FileDownAck#evil#5#0#hello..FileSaveAck#evil#..Please do as I say.."_qs;
        peer->write(CUtf16Decoder::Encode(flood));
        peer->flush();
        QVERIFY(w.waitForText(u"The server says: Please do as I say"_qs));
        QVERIFY(w.prompt.texts.isEmpty());
        QCOMPARE(std::count_if(w.collab->Notices().cbegin(), w.collab->Notices().cend(),
                               [](const QString &n) { return n.endsWith(u"Login successful"_qs); }),
                 1);
        QCOMPARE(w.model().BuildSolutionText(), before);
        QVERIFY(w.model().IsLocal());
        QVERIFY(w.collab->DisconnectAction()->isEnabled());
        w.collab->ServerMessagesAction()->trigger();
        auto *messages = w.frame->findChild<QDialog *>(u"serverMessagesDialog"_qs);
        QVERIFY(messages && messages->isVisible() && !messages->isModal());
        QCOMPARE(messages->findChild<QListWidget *>()->count(), w.collab->Notices().size());
        w.collab->DisconnectAction()->trigger();
        QTRY_VERIFY(w.collab->ConnectAction()->isEnabled());
        messages->close();
    }

    // The owner adds a member in "Members..."; the member opens an earlier
    // save from "Open Shared" in a window of its own that takes no edits.
    void membersAndEarlierSave()
    {
        Window a, b;
        QVERIFY(a.logIn(m_restricted->Port(), u"alice"_qs, u"pw"_qs));
        QVERIFY(a.open());
        a.saveAsShared(u"pantry"_qs);
        QVERIFY(a.waitForText(u"Solution pantry saved"_qs));
        const QString first = a.model().BuildSolutionText();
        QVERIFY(a.model().AddRequirement(u"R77"_qs, u"later"_qs));
        QTRY_VERIFY(a.explorer().contains(u"R77"_qs));
        a.action(u"actionSave"_qs)->trigger();
        QTRY_COMPARE(m_restricted->HistoryCount(u"pantry"_qs), 2);

        QVERIFY(a.collab->MembersAction()->isEnabled());
        a.collab->MembersAction()->trigger();
        auto *members = a.frame->findChild<CMembersDlg *>();
        QVERIFY(members);
        QTRY_COMPARE(members->List()->count(), 1);
        QCOMPARE(members->List()->item(0)->text(), u"alice (owner)"_qs);
        members->UserEdit()->setText(u"bob"_qs);
        QVERIFY(members->AddButton()->isEnabled());
        members->AddButton()->click();
        QTRY_COMPARE(members->List()->count(), 2);
        QCOMPARE(members->List()->item(1)->text(), u"bob"_qs);

        QVERIFY(b.logIn(m_restricted->Port(), u"bob"_qs, u"pw"_qs));
        b.script.Use<COpenSharedSolutionDlg>([](COpenSharedSolutionDlg &d) {
            const QList<QListWidgetItem *> found = d.List()->findItems(u"pantry"_qs, Qt::MatchExactly);
            if (found.isEmpty())
                return int(QDialog::Rejected);
            d.List()->setCurrentItem(found.first());
            d.findChild<QPushButton *>(u"earlierSaves"_qs)->click();
            return d.result();
        });
        int listed = 0;
        b.script.Use<CSharedHistoryDlg>([&listed](CSharedHistoryDlg &d) {
            listed = d.List()->topLevelItemCount();
            d.show();
            // the oldest is the last
            d.List()->setCurrentItem(d.List()->topLevelItem(listed - 1));
            d.accept();
            return d.result();
        });
        const QString before = b.model().BuildSolutionText();
        b.collab->OpenSharedAction()->trigger();
        auto earlierWindow = [] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (w->objectName() == u"earlierSaveWindow" && w->isVisible())
                    return static_cast<CMainFrame *>(w);
            }
            return static_cast<CMainFrame *>(nullptr);
        };
        QTRY_VERIFY_WITH_TIMEOUT(earlierWindow() != nullptr, 10000);
        CMainFrame *earlier = earlierWindow();
        QCOMPARE(listed, 2);
        QCOMPARE(earlier->Manager().BuildSolutionText(), first);
        QVERIFY(earlier->windowTitle().contains(u"[Read-only: save of pantry by alice"_qs));
        // the window it came from is as it was
        QCOMPARE(b.model().BuildSolutionText(), before);
        CScriptedPrompt earlierPrompt;
        earlier->SetPrompt(&earlierPrompt);
        QVERIFY(!earlier->Manager().AddRequirement(u"R78"_qs, QString()));
        QVERIFY(!earlier->Manager().FindRequirement(u"R78"_qs));
        QVERIFY(earlierPrompt.texts.join(u'|').contains(u"cannot be changed"_qs));
        QCOMPARE(m_restricted->HistoryCount(u"pantry"_qs), 2);
        earlier->SetPrompt(nullptr);
        earlier->Manager().CloseSolution();
        delete earlier;
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<QTemporaryDir> m_data;
    std::unique_ptr<CServerProcess> m_server;
    std::unique_ptr<QTemporaryDir> m_restrictedData;
    std::unique_ptr<CServerProcess> m_restricted;
};

QTEST_MAIN(TestCollabGui)
#include "tst_collabgui.moc"
