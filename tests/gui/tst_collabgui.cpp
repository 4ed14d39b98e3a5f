// Collaboration from the desktop program: the connect, disconnect and
// open-shared entries with their dialogs, Save and Save As of shared
// solutions, and two main windows in one process editing one solution
// through the real server.
#include "guitestkit.h"
#include "scriptedprompt.h"
#include "serverprocess.h"

#include "app/mainframe.h"
#include "app/programparts.h"
#include "app/solutioncommands.h"
#include "collab/collabcommands.h"
#include "collab/collabinstall.h"
#include "collab/opensharedsolutiondlg.h"
#include "collab/saveremotesolutiondlg.h"
#include "collab/membersdlg.h"
#include "collab/serverlogindlg.h"
#include "collab/sharedhistorydlg.h"
#include "collab/sharedsolutionclient.h"
#include "dialogs/kelrequirementdlg.h"
#include "editor/childframe.h"
#include "editor/editorinstall.h"
#include "editor/tessel1doc.h"
#include "editor/treewindows.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/nodeattributes.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QListWidget>
#include <QLoggingCategory>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSettings>
#include <QStatusBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <algorithm>

using namespace GuiTestKit;
using namespace Qt::StringLiterals;

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
struct Window
{
    CScriptedPrompt prompt;
    CDialogScript script;
    std::unique_ptr<CMainFrame> frame;
    CEditor *editor = nullptr;
    CCollabCommands *collab = nullptr;

    Window()
    {
        frame = std::make_unique<CMainFrame>();
        frame->SetPrompt(&prompt);
        script.Install(frame->Dialogs());
        editor = InstallEditor(*frame);
        collab = InstallCollab(*frame, *editor);
    }
    ~Window()
    {
        // nothing may ask on the way out
        frame->Manager().CloseSolution();
    }
    void forgetAsked()
    {
        prompt.texts.clear();
        prompt.captions.clear();
        script.titles.clear();
    }
    CKELDataManager &model() const { return frame->Manager(); }
    CSharedSolutionClient &client() const { return collab->Client(); }
    QString explorer() const { return ItemsText(*frame->Explorer()); }
    QAction *action(const QString &name) const { return frame->findChild<QAction *>(name); }

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
        connectWith(u"127.0.0.1"_s, port, user, password);
        return QTest::qWaitFor([this] { return client().IsLoggedIn(); }, 10000);
    }
    // Shown in a box, or as a notice of the server's replies.
    bool told(const QString &text) const
    {
        return prompt.texts.contains(text)
               || std::any_of(collab->Notices().cbegin(), collab->Notices().cend(),
                              [&](const QString &n) { return n.endsWith(u"  "_s + text); });
    }
    bool waitForText(const QString &text, int ms = 10000) const
    {
        return QTest::qWaitFor([&] { return told(text); }, ms);
    }
    // "Open Shared ..." and picking name in its dialog.
    bool openShared(const QString &name, int ms = 10000)
    {
        script.Use<COpenSharedSolutionDlg>([name](COpenSharedSolutionDlg &d) {
            const QList<QListWidgetItem *> found = d.List()->findItems(name, Qt::MatchExactly);
            if (found.isEmpty())
                return int(QDialog::Rejected);
            d.List()->setCurrentItem(found.first());
            d.accept();
            return d.result();
        });
        QSignalSpy opened(&client(), &CSharedSolutionClient::sharedSolutionOpened);
        collab->OpenSharedAction()->trigger();
        return opened.wait(ms);
    }
    // Save As, answering the question with No and naming the solution.
    void saveAsShared(const QString &name)
    {
        prompt.answers.append(CPrompt::No);
        script.Accept<CSaveRemoteSolutionDlg>([name](CSaveRemoteSolutionDlg &d) { d.NameEdit()->setText(name); });
        action(u"actionSaveAs"_s)->trigger();
    }
    int firstOfType(int typeCode) const
    {
        for (int id : model().SortedIds()) {
            if (model().Lookup(id)->GetTypeCode() == typeCode)
                return id;
        }
        return 0;
    }
};

QString connectedTitle(const QString &user)
{
    return u"[Connected to 127.0.0.1("_s + user + u")]"_s;
}

QAction *fileEntry(CMainFrame &frame, const QString &text)
{
    const QList<QAction *> actions = frame.MenuNamed(u"&File"_s)->actions();
    for (QAction *a : actions) {
        if (a->text() == text)
            return a;
    }
    return nullptr;
}

} // namespace

class TestCollabGui : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // every packet in full would bury the test's own output
        QLoggingCategory::setFilterRules(u"verdantis.collab.packet.debug=false"_s);
        m_home = IsolateHome();
        m_data = std::make_unique<QTemporaryDir>();
        m_server = std::make_unique<CServerProcess>(m_data->path());
        QVERIFY2(m_server->Start(), "verdantis-server did not start");
        QFile users(m_data->filePath(u"users.txt"_s));
        QVERIFY(users.open(QIODevice::WriteOnly));
        const QByteArray hash = HashPassword(u"pw"_s).toUtf8();
        users.write("alice:" + hash + "\nbob:" + hash + "\n");
        users.close();
        m_restrictedData = std::make_unique<QTemporaryDir>();
        m_restricted = std::make_unique<CServerProcess>(m_restrictedData->path(),
                                                        QStringList{u"--users"_s, users.fileName()});
        QVERIFY2(m_restricted->Start(), "verdantis-server --users did not start");
    }
    void cleanupTestCase()
    {
        for (CServerProcess *server : {m_server.get(), m_restricted.get()}) {
            if (server)
                QVERIFY(server->Stop());
        }
    }

    // The three entries sit in the File menu, beside what they stand in for.
    void entriesInTheFileMenu()
    {
        Window w;
        QStringList texts;
        for (QAction *a : w.frame->MenuNamed(u"&File"_s)->actions())
            texts.append(a->text());
        const qsizetype open = texts.indexOf(u"&Open..."_s);
        const qsizetype close = texts.indexOf(u"&Close"_s);
        QVERIFY(open >= 0 && close >= 0);
        QCOMPARE(texts.indexOf(u"Open Shared ..."_s), open + 1);
        QCOMPARE(texts.indexOf(u"Connect ( Login)"_s), close + 2);
        QCOMPARE(texts.indexOf(u"Disconnect (Logout)"_s), close + 3);
        QCOMPARE(texts.indexOf(u"Server Messages..."_s), close + 4);
        QCOMPARE(texts.indexOf(u"Members..."_s), close + 5);
        // members belong to an open shared solution
        QVERIFY(!fileEntry(*w.frame, u"Members..."_s)->isEnabled());
        QVERIFY(fileEntry(*w.frame, u"Connect ( Login)"_s)->isEnabled());
        QVERIFY(!fileEntry(*w.frame, u"Disconnect (Logout)"_s)->isEnabled());
    }

    // What the dialog shows first: built-in values, then what was last typed
    // (the password is never written down).
    void connectDialogRemembers()
    {
        {
            Window w;
            w.script.Use<CServerLoginDlg>([](CServerLoginDlg &d) {
                const bool defaults = d.ServerEdit()->text() == u"127.0.0.1"
                                      && d.PortEdit()->text() == u"8002" && d.UserIdEdit()->text() == u"usr"
                                      && d.PasswordEdit()->text() == u"usr"
                                      && d.PasswordEdit()->echoMode() == QLineEdit::Password;
                if (!defaults)
                    return int(QDialog::Rejected);
                d.ServerEdit()->setText(u" localhost "_s);
                d.PortEdit()->setText(QString::number(closedPort()));
                d.UserIdEdit()->setText(u"carol"_s);
                d.PasswordEdit()->setText(u"secret"_s);
                d.TlsBox()->setChecked(true);
                d.accept();
                return d.result();
            });
            QVERIFY(w.collab->Connect());
            QCOMPARE(w.client().ServerAddress(), u"localhost"_s);
            QCOMPARE(w.client().UserId(), u"carol"_s);
            QCOMPARE(w.client().Password(), u"secret"_s);
            QVERIFY(w.client().UsesTls());
            // nothing listens: the attempt ends with a message, not a hang
            QVERIFY(w.waitForText(u"Login failed."_s));
            QTRY_VERIFY(w.collab->ConnectAction()->isEnabled());
            QVERIFY(!w.collab->DisconnectAction()->isEnabled());
            const quint16 port = quint16(w.client().Port());
            QSettings settings;
            QCOMPARE(settings.value(u"Collaboration/port"_s).toInt(), int(port));
            QVERIFY(!settings.allKeys().join(u' ').contains(u"assword"_s));
        }
        Window again;
        QCOMPARE(again.client().ServerAddress(), u"localhost"_s);
        QCOMPARE(again.client().UserId(), u"carol"_s);
        QCOMPARE(again.client().Password(), u"usr"_s);
        QVERIFY(again.client().UsesTls());
        QSettings().remove(u"Collaboration"_s);
    }

    // A connection that cannot start, or is refused, says why and leaves
    // the window ready to try again.
    void connectFailures_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("stillConnected");
        QTest::newRow("nothing listens") << u"127.0.0.1"_s << int(closedPort()) << u"dave"_s << u"Login failed."_s
                                         << u"CKELDataManager::EstablishedConnection"_s << false;
        QTest::newRow("unknown host") << u"no-such-host.invalid"_s << 8002 << u"dave"_s << u"Login failed."_s
                                      << u"CKELDataManager::EstablishedConnection"_s << false;
        QTest::newRow("port zero") << u"127.0.0.1"_s << 0 << u"dave"_s
                                   << u"The port must be a number from 1 to 65535"_s << u"Message"_s << false;
        QTest::newRow("port too large") << u"127.0.0.1"_s << 70000 << u"dave"_s
                                        << u"The port must be a number from 1 to 65535"_s << u"Message"_s << false;
        QTest::newRow("user id with a separator") << u"127.0.0.1"_s << int(m_server->Port()) << u"da#ve"_s
                                                  << u"The user id cannot be used"_s << u"Message"_s << false;
        QTest::newRow("empty user id") << u"127.0.0.1"_s << int(m_server->Port()) << u""_s
                                       << u"The user id cannot be used"_s << u"Message"_s << false;
        // the server keeps a refused connection: Disconnect is how to leave it
        QTest::newRow("login refused") << u"127.0.0.1"_s << int(m_restricted->Port()) << u"mallory"_s
                                       << u"Login unsuccessful: Login refused: wrong user id or password"_s
                                       << u"notice"_s << true;
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
        QVERIFY(QTest::qWaitFor([&] {
            return std::any_of(w.prompt.texts.cbegin(), w.prompt.texts.cend(),
                               [&](const QString &t) { return t.startsWith(message); });
        }, 10000));
        const qsizetype at = std::find_if(w.prompt.texts.cbegin(), w.prompt.texts.cend(),
                                          [&](const QString &t) { return t.startsWith(message); })
                             - w.prompt.texts.cbegin();
        QCOMPARE(w.prompt.captions.at(at), caption);
        }
        QTRY_COMPARE(w.collab->ConnectAction()->isEnabled(), !stillConnected);
        QCOMPARE(w.collab->DisconnectAction()->isEnabled(), stillConnected);
        QVERIFY(!w.client().IsLoggedIn());
        QVERIFY(!w.frame->windowTitle().contains(u"Connected"_s));
    }

    // Offline, Open Shared sends nothing and Save As does not ask where.
    void offline()
    {
        Window w;
        w.collab->OpenSharedAction()->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(w.prompt.texts, QStringList{u"Please connect and login to the server"_s});
        QVERIFY(w.script.titles.isEmpty());

        w.forgetAsked();
        w.frame->OpenFile(ExampleSolution());
        const QString target = m_data->filePath(u"offline.kvf"_s);
        w.script.files.append(target);
        w.action(u"actionSaveAs"_s)->trigger();
        QVERIFY(w.prompt.texts.isEmpty());
        QCOMPARE(w.script.titles, QStringList{u"Save As"_s});
        QVERIFY(QFileInfo::exists(target));
    }

    // "Open Shared" keeps itself open until a name is chosen.
    void openSharedDialog_data()
    {
        QTest::addColumn<int>("row"); // -1: none
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("nothing chosen") << -1 << false << QString();
        QTest::newRow("second name") << 1 << true << u"beta"_s;
    }
    void openSharedDialog()
    {
        QFETCH(int, row);
        QFETCH(bool, accepted);
        QFETCH(QString, chosen);
        CScriptedPrompt prompt;
        COpenSharedSolutionDlg dialog({u"alpha"_s, u"beta"_s}, prompt);
        QCOMPARE(dialog.windowTitle(), u"Open Shared"_s);
        if (row >= 0)
            dialog.List()->setCurrentRow(row);
        dialog.show();
        dialog.accept();
        QCOMPARE(dialog.isVisible(), !accepted);
        QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
        QCOMPARE(dialog.SelectedName(), chosen);
        QCOMPARE(prompt.texts, accepted ? QStringList() : QStringList{u"You need select one file to open"_s});
    }

    // Save As while connected asks where; each answer lands where it says.
    void saveAsWhenConnected_data()
    {
        QTest::addColumn<bool>("locally");
        QTest::addColumn<QString>("name"); // null: "Save Shared" cancelled
        QTest::addColumn<bool>("shared");
        QTest::newRow("locally") << true << QString() << false;
        QTest::newRow("shared, cancelled") << false << QString() << false;
        QTest::newRow("shared, empty name") << false << u""_s << false;
        QTest::newRow("shared") << false << u"saveas-shared"_s << true;
    }
    void saveAsWhenConnected()
    {
        QFETCH(bool, locally);
        QFETCH(QString, name);
        QFETCH(bool, shared);
        Window w;
        QVERIFY(w.frame->OpenFile(ExampleSolution()));
        const QString path = w.model().Solution()->Path();
        QVERIFY(w.logIn(m_server->Port(), u"erin"_s));
        w.forgetAsked();
        w.prompt.answers.append(locally ? CPrompt::Yes : CPrompt::No);
        const QString file = m_data->filePath(u"local-copy.kvf"_s);
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
        w.action(u"actionSaveAs"_s)->trigger();
        QCOMPARE(w.prompt.texts.value(0), u"Are you going to save the solution locally?"_s);
        QCOMPARE(w.prompt.captions.value(0), u"Save a solution"_s);
        QCOMPARE(w.script.titles.value(0), locally ? u"Save As"_s : u"Save Shared"_s);
        QCOMPARE(w.client().IsShared(), shared);
        if (shared) {
            QVERIFY(w.waitForText(u"Solution "_s + name + u" saved"_s));
            QCOMPARE(w.frame->windowTitle(), u" TESSEL: "_s + name + u" -M- "_s + connectedTitle(u"erin"_s));
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
        QVERIFY(w.logIn(m_server->Port(), u"ivan"_s));
        QVERIFY(w.model().AddRequirement(u"R1"_s, u"New."_s));
        w.forgetAsked();
        const QString file = m_data->filePath(u"new.kvf"_s);
        w.script.files.append(file);
        w.action(u"actionSave"_s)->trigger();
        QCOMPARE(w.prompt.texts, QStringList());
        QCOMPARE(w.script.titles, QStringList{u"Save As"_s});
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
        QVERIFY(a.logIn(m_server->Port(), u"alice"_s));
        QVERIFY(b.logIn(m_server->Port(), u"bob"_s));
        QVERIFY(a.told(u"Login successful"_s));
        QCOMPARE(b.frame->windowTitle(), u" TESSEL: Untitled "_s + connectedTitle(u"bob"_s));
        QVERIFY(!a.collab->ConnectAction()->isEnabled());
        QVERIFY(a.collab->DisconnectAction()->isEnabled());

        // A shares the example
        QVERIFY(a.frame->OpenFile(ExampleSolution()));
        a.saveAsShared(u"kitchen"_s);
        QVERIFY(a.waitForText(u"Solution kitchen saved"_s));
        QCOMPARE(a.frame->windowTitle(), u" TESSEL: kitchen -M- "_s + connectedTitle(u"alice"_s));

        // B opens it from the list
        QVERIFY(b.openShared(u"kitchen"_s));
        QCOMPARE(b.script.titles.last(), u"Open Shared"_s);
        QCOMPARE(b.model().BuildSolutionText(), a.model().BuildSolutionText());
        QCOMPARE(b.explorer(), a.explorer());
        QCOMPARE(b.frame->windowTitle(), u" TESSEL: kitchen -M- "_s + connectedTitle(u"bob"_s));
        const int rbt = b.firstOfType(KEL::RBT);
        QVERIFY(rbt);
        CChildFrame *bTree = b.editor->Windows().Open(rbt);
        QVERIFY(bTree);
        const qsizetype shapesBefore = bTree->Document().NodeShapes().size();

        // A adds a requirement through its menu and dialog
        a.script.Accept<CKELRequirementDlg>([](CKELRequirementDlg &d) {
            d.TagEdit()->setText(u"R9"_s);
            d.DescriptionEdit()->setPlainText(u"The light goes off when the door opens."_s);
        });
        a.action(u"actionNewRequirement"_s)->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(b.explorer().contains(u"R9"_s), 10000);
        QTRY_VERIFY(a.explorer().contains(u"R9"_s));
        QCOMPARE(b.explorer(), a.explorer());
        // both are changed since the last save, and say so
        QTRY_COMPARE(b.frame->windowTitle(), u" TESSEL: kitchen -M-* "_s + connectedTitle(u"bob"_s));
        QCOMPARE(a.frame->windowTitle(), a.client().Title());

        // A adds a node to the tree B has open
        const QList<CKELMethod *> roots = static_cast<CKELTree *>(a.model().Lookup(rbt))->Roots();
        QVERIFY(!roots.isEmpty());
        CNodeAttributes node;
        node.component = u"LIGHT"_s;
        node.behavior = u"off"_s;
        node.requirementTag = u"R9"_s;
        QVERIFY(a.model().AddNode(rbt, roots.first()->GetId(), node, 40, 400));
        QTRY_COMPARE_WITH_TIMEOUT(bTree->Document().NodeShapes().size(), shapesBefore + 1, 10000);
        QTRY_COMPARE(b.model().BuildSolutionText(), a.model().BuildSolutionText());

        QCoreApplication::processEvents();

        // Save of a shared solution goes to the server
        b.action(u"actionSave"_s)->trigger();
        QVERIFY(b.waitForText(u"Solution kitchen saved"_s));
        QCOMPARE(b.frame->windowTitle(), u" TESSEL: kitchen -M- "_s + connectedTitle(u"bob"_s));
        QTRY_COMPARE(m_server->StoredText(u"kitchen"_s), b.model().BuildSolutionText());

        // B leaves: its copy stays, local and unnamed
        const QString kept = b.model().BuildSolutionText();
        b.forgetAsked();
        b.collab->DisconnectAction()->trigger();
        QCOMPARE(b.prompt.texts, QStringList{});
        QVERIFY(b.collab->Notices().last().endsWith(u"  Disconnected"_s));
        QVERIFY(b.model().IsLocal());
        QVERIFY(b.model().Solution()->Path().isEmpty());
        QCOMPARE(b.model().BuildSolutionText(), kept);
        QCOMPARE(b.frame->windowTitle(), u" TESSEL: Untitled "_s);
        QVERIFY(b.collab->ConnectAction()->isEnabled());
        QVERIFY(!b.collab->DisconnectAction()->isEnabled());
        QVERIFY(b.explorer().contains(u"R9"_s));
        QCOMPARE(b.explorer().section(u'\n', 0, 0), u"Solution: Untitled"_s);

        // what A does now stays with A
        QVERIFY(a.model().AddRequirement(u"R10"_s, u"Later."_s));
        QTRY_VERIFY(a.explorer().contains(u"R10"_s));
        // B is local now: nothing reaches it any more
        QVERIFY(!b.explorer().contains(u"R10"_s));
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
        QVERIFY(owner.frame->OpenFile(ExampleSolution()));
        QVERIFY(owner.logIn(m_server->Port(), u"gina"_s));
        owner.saveAsShared(u"base"_s);
        QVERIFY(owner.waitForText(u"Solution base saved"_s));

        const QString file = m_data->filePath(u"changed.kvf"_s);
        QFile::remove(file);
        QVERIFY(QFile::copy(ExampleSolution(), file));
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
        Window w;
        QVERIFY(w.frame->OpenFile(file));
        QVERIFY(w.logIn(m_server->Port(), u"hank"_s));
        QVERIFY(w.model().AddRequirement(u"R42"_s, u"Local only."_s));
        const QString local = w.model().BuildSolutionText();
        w.forgetAsked();
        w.prompt.answers.append(CPrompt::Answer(answer));
        // a refusal shows at once; nothing will come
        QCOMPARE(w.openShared(u"base"_s, opened ? 10000 : 300), opened);
        QTRY_COMPARE(w.prompt.texts.value(0), u"Solution changed*has been changed. Save it?"_s);
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
        QVERIFY(w.frame->OpenFile(ExampleSolution()));
        QVERIFY(w.logIn(server.Port(), u"frank"_s));
        w.saveAsShared(u"lost"_s);
        QVERIFY(w.waitForText(u"Solution lost saved"_s));
        QVERIFY(w.model().AddRequirement(u"R20"_s, u"Not saved yet."_s));
        QTRY_VERIFY_WITH_TIMEOUT(w.explorer().contains(u"R20"_s), 10000);
        const QString before = w.model().BuildSolutionText();
        w.forgetAsked();

        server.Kill();
        QVERIFY(w.waitForText(u"Disconnected"_s));
        QCOMPARE(w.model().BuildSolutionText(), before);
        QVERIFY(w.model().IsLocal());
        QVERIFY(w.model().Solution()->IsModified());
        QVERIFY(w.explorer().contains(u"R20"_s));
        QVERIFY(w.frame->statusBar()->currentMessage().contains(u"connection to the server was lost"_s));
        QVERIFY(w.frame->statusBar()->currentMessage().contains(u"local copy"_s));
        QCOMPARE(w.frame->windowTitle(), u" TESSEL: Untitled* "_s);
        QVERIFY(w.collab->ConnectAction()->isEnabled());

        // and the work can be kept: Save goes straight to a file
        const QString file = data.filePath(u"kept.kvf"_s);
        w.script.files.append(file);
        w.forgetAsked();
        w.action(u"actionSave"_s)->trigger();
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
        QVERIFY(w.frame->OpenFile(ExampleSolution()));
        const QString before = w.model().BuildSolutionText();
        w.connectWith(u"127.0.0.1"_s, fake.serverPort(), u"ann"_s);
        QVERIFY(fake.waitForNewConnection(10000));
        QTcpSocket *peer = fake.nextPendingConnection();
        QVERIFY(QTest::qWaitFor([&] { return peer->bytesAvailable() > 0; }, 10000));
        QString flood = u"UIDLogAck#ann#.."_s.repeated(300);
        flood += u"FileDownAck#evil#5#0#hello..FileSaveAck#evil#..Please do as I say.."_s;
        peer->write(CUtf16Decoder::Encode(flood));
        peer->flush();
        QVERIFY(w.waitForText(u"The server says: Please do as I say"_s));
        QVERIFY(w.prompt.texts.isEmpty());
        QCOMPARE(std::count_if(w.collab->Notices().cbegin(), w.collab->Notices().cend(),
                               [](const QString &n) { return n.endsWith(u"Login successful"_s); }),
                 1);
        QCOMPARE(w.model().BuildSolutionText(), before);
        QVERIFY(w.model().IsLocal());
        QVERIFY(w.collab->DisconnectAction()->isEnabled());
        w.collab->ServerMessagesAction()->trigger();
        auto *messages = w.frame->findChild<QDialog *>(u"serverMessagesDialog"_s);
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
        QVERIFY(a.logIn(m_restricted->Port(), u"alice"_s, u"pw"_s));
        QVERIFY(a.frame->OpenFile(ExampleSolution()));
        a.saveAsShared(u"pantry"_s);
        QVERIFY(a.waitForText(u"Solution pantry saved"_s));
        const QString first = a.model().BuildSolutionText();
        QVERIFY(a.model().AddRequirement(u"R77"_s, u"later"_s));
        QTRY_VERIFY(a.explorer().contains(u"R77"_s));
        a.action(u"actionSave"_s)->trigger();
        QTRY_COMPARE(m_restricted->HistoryCount(u"pantry"_s), 2);

        QVERIFY(a.collab->MembersAction()->isEnabled());
        a.collab->MembersAction()->trigger();
        auto *members = a.frame->findChild<CMembersDlg *>();
        QVERIFY(members);
        QTRY_COMPARE(members->List()->count(), 1);
        QCOMPARE(members->List()->item(0)->text(), u"alice (owner)"_s);
        members->UserEdit()->setText(u"bob"_s);
        QVERIFY(members->AddButton()->isEnabled());
        members->AddButton()->click();
        QTRY_COMPARE(members->List()->count(), 2);
        QCOMPARE(members->List()->item(1)->text(), u"bob"_s);

        QVERIFY(b.logIn(m_restricted->Port(), u"bob"_s, u"pw"_s));
        b.script.Use<COpenSharedSolutionDlg>([](COpenSharedSolutionDlg &d) {
            const QList<QListWidgetItem *> found = d.List()->findItems(u"pantry"_s, Qt::MatchExactly);
            if (found.isEmpty())
                return int(QDialog::Rejected);
            d.List()->setCurrentItem(found.first());
            d.findChild<QPushButton *>(u"earlierSaves"_s)->click();
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
        QVERIFY(earlier->windowTitle().contains(u"[Read-only: save of pantry by alice"_s));
        // the window it came from is as it was
        QCOMPARE(b.model().BuildSolutionText(), before);
        CScriptedPrompt earlierPrompt;
        earlier->SetPrompt(&earlierPrompt);
        QVERIFY(!earlier->Manager().AddRequirement(u"R78"_s, QString()));
        QVERIFY(!earlier->Manager().FindRequirement(u"R78"_s));
        QVERIFY(earlierPrompt.texts.join(u'|').contains(u"cannot be changed"_s));
        QCOMPARE(m_restricted->HistoryCount(u"pantry"_s), 2);
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
