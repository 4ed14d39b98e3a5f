#include "collabcommands.h"

#include "collabinstall.h"
#include "membersdlg.h"
#include "sharedhistorydlg.h"
#include "opensharedsolutiondlg.h"
#include "saveremotesolutiondlg.h"
#include "serverlogindlg.h"
#include "collabguitexts.h"

#include "app/mainframe.h"
#include "app/programparts.h"
#include "app/solutioncommands.h"
#include "collab/sharedsolutionclient.h"
#include "dialogs/dialogrunner.h"
#include "editor/childframe.h"
#include "editor/editorinstall.h"
#include "editor/tessel1doc.h"
#include "editor/treewindows.h"
#include "explorer/kelnavigatetree.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/prompt.h"

#include <QAction>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QVBoxLayout>
#include <QPointer>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>

#include <utility>

namespace {

const QString kSettingsGroup = QStringLiteral("Collaboration");

// The action that follows `after` in the menu, or null at its end.
QAction *actionAfter(const QMenu *menu, const QAction *after)
{
    const QList<QAction *> actions = menu->actions();
    const qsizetype at = actions.indexOf(const_cast<QAction *>(after));
    return at >= 0 && at + 1 < actions.size() ? actions[at + 1] : nullptr;
}

// The model of an earlier save takes no edits: it is shown as a shared
// solution whose every record is turned down here, until Save As makes it
// a local file of the user's.
class CReadOnlySink : public QObject, public COperationSink
{
public:
    CReadOnlySink(CKELDataManager &manager, QObject *parent) : QObject(parent), m_manager(manager) {}
    bool SendOperation(const QString &) override
    {
        m_manager.Prompt().Message(CollabGuiTexts::EarlierSaveReadOnly);
        return false;
    }

private:
    CKELDataManager &m_manager;
};

} // namespace

CCollabCommands::CCollabCommands(CMainFrame &frame, CEditor &editor)
    : QObject(&frame)
    , m_frame(frame)
    , m_editor(editor)
    , m_client(new CSharedSolutionClient(frame.Manager(), &frame))
{
    loadSettings();
    installActions();
    installFileHooks();

    CSharedSolutionClient *c = m_client;
    connect(c, &CSharedSolutionClient::titleChanged, this, [this] {
        // a disconnect closes the socket before it makes the solution local,
        // so this still knows what was open when the connection went
        if (m_client->IsConnected())
            m_wasShared = m_client->IsShared();
        m_frame.SetConnectionTitle(ConnectionTitle());
        updateActions();
    });
    connect(c, &CSharedSolutionClient::connectionChanged, this, &CCollabCommands::followConnection);
    connect(c, &CSharedSolutionClient::notice, this, &CCollabCommands::notice);
    connect(c, &CSharedSolutionClient::viewsRefreshRequested, this, &CCollabCommands::refreshViews);
    connect(c, &CSharedSolutionClient::sharedListReceived, this, [this](const QStringList &names) {
        // error replies also arrive as an (empty) list; only an asked-for one opens the dialog
        if (!std::exchange(m_listRequested, false))
            return;
        // not inside the socket's notification: the dialog runs an event loop
        QTimer::singleShot(0, this, [this, names] { chooseShared(names); });
    });
    connect(c, &CSharedSolutionClient::historyReceived, this,
            [this](const QString &name, const QList<CSharedSave> &saves) {
                if (name != std::exchange(m_historyRequested, QString()))
                    return;
                QTimer::singleShot(0, this, [this, name, saves] { chooseSave(name, saves); });
            });
    connect(c, &CSharedSolutionClient::historyTextReceived, this,
            [this](const QString &name, qint64 id, const QString &text) {
                if (id != std::exchange(m_saveRequested, 0))
                    return;
                for (const CSharedSave &save : std::as_const(m_historySaves)) {
                    if (save.id == id) {
                        // not inside the socket's notification: a new window asks and loads
                        QTimer::singleShot(0, this, [this, name, save, text] { OpenEarlierSave(name, save, text); });
                        return;
                    }
                }
            });
    connect(c, &CSharedSolutionClient::sharedSolutionOpened, this,
            [this](const QString &name) { status(CollabGuiTexts::OpenedShared(name)); });
    connect(c, &CSharedSolutionClient::saveFinished, this, [this](const QString &name, bool saved) {
        status(saved ? CollabGuiTexts::SavedShared(name) : CollabGuiTexts::NotSavedShared(name));
    });
    updateActions();
}

CCollabCommands::~CCollabCommands() = default;

void CCollabCommands::installActions()
{
    m_openShared = new QAction(CollabGuiTexts::OpenShared, this);
    m_openShared->setObjectName(QStringLiteral("actionOpenShared"));
    m_openShared->setStatusTip(CollabGuiTexts::OpenSharedTip);
    connect(m_openShared, &QAction::triggered, this, [this] { OpenShared(); });

    m_connect = new QAction(CollabGuiTexts::Connect, this);
    m_connect->setObjectName(QStringLiteral("actionConnect"));
    m_connect->setStatusTip(CollabGuiTexts::ConnectTip);
    connect(m_connect, &QAction::triggered, this, [this] { Connect(); });

    m_disconnect = new QAction(CollabGuiTexts::Disconnect, this);
    m_disconnect->setObjectName(QStringLiteral("actionDisconnect"));
    m_disconnect->setStatusTip(CollabGuiTexts::DisconnectTip);
    connect(m_disconnect, &QAction::triggered, this, &CCollabCommands::Disconnect);

    m_serverMessages = new QAction(CollabGuiTexts::ServerMessagesEntry, this);
    m_serverMessages->setObjectName(QStringLiteral("actionServerMessages"));
    m_serverMessages->setStatusTip(CollabGuiTexts::ServerMessagesTip);
    connect(m_serverMessages, &QAction::triggered, this, &CCollabCommands::showNotices);

    m_members = new QAction(CollabGuiTexts::MembersEntry, this);
    m_members->setObjectName(QStringLiteral("actionMembers"));
    m_members->setStatusTip(CollabGuiTexts::MembersTip);
    connect(m_members, &QAction::triggered, this, &CCollabCommands::ShowMembers);

    // beside the file commands they stand in for: Open Shared after Open,
    // the connection after Close
    QMenu *file = m_frame.MenuNamed(QStringLiteral("&File"));
    const auto *open = m_frame.findChild<QAction *>(QStringLiteral("actionOpen"));
    file->insertAction(open ? actionAfter(file, open) : nullptr, m_openShared);
    const auto *close = m_frame.findChild<QAction *>(QStringLiteral("actionClose"));
    QAction *before = close ? actionAfter(file, close) : nullptr;
    file->insertSeparator(before);
    file->insertAction(before, m_connect);
    file->insertAction(before, m_disconnect);
    file->insertAction(before, m_serverMessages);
    file->insertAction(before, m_members);
}

void CCollabCommands::notice(const QString &text)
{
    // never a modal box: a server can send any number of replies, and
    // Disconnect must stay within reach
    constexpr qsizetype kMostNotices = 500;
    const QString line =
        CollabGuiTexts::NoticeLine(QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss")), text);
    if (m_notices.size() >= kMostNotices)
        m_notices.removeFirst();
    m_notices.append(line);
    if (m_noticesList) {
        if (m_noticesList->count() >= kMostNotices)
            delete m_noticesList->takeItem(0);
        m_noticesList->addItem(line);
        m_noticesList->scrollToBottom();
    }
    status(text, 15000);
}

void CCollabCommands::showNotices()
{
    if (!m_noticesDialog) {
        auto *dialog = new QDialog(&m_frame);
        dialog->setObjectName(QStringLiteral("serverMessagesDialog"));
        dialog->setWindowTitle(CollabGuiTexts::ServerMessages);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->setModal(false);
        auto *layout = new QVBoxLayout(dialog);
        m_noticesList = new QListWidget(dialog);
        m_noticesList->addItems(m_notices);
        layout->addWidget(m_noticesList);
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
        connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
        layout->addWidget(buttons);
        dialog->resize(520, 300);
        connect(dialog, &QObject::destroyed, this, [this] { m_noticesList = nullptr; });
        m_noticesDialog = dialog;
    }
    m_noticesList->scrollToBottom();
    m_noticesDialog->show();
    m_noticesDialog->raise();
}

void CCollabCommands::installFileHooks()
{
    // the file commands and this object both belong to the frame, which
    // may let go of either first
    CSolutionCommands &files = m_frame.Files();
    const QPointer<CCollabCommands> self(this);
    files.sharedSave = [self] { return self && self->m_client->Save(); };
    files.saveAsShared = [self] { return self && self->saveAsShared(); };
    files.saveAsTarget = [self] {
        using Target = CSolutionCommands::SaveAsTarget;
        // offline there is only one place to save to
        if (!self || !self->m_client->IsConnected())
            return Target::Local;
        switch (self->m_client->AskSaveAsTarget()) {
        case CSharedSolutionClient::SaveLocally: return Target::Local;
        case CSharedSolutionClient::SaveShared: return Target::Shared;
        case CSharedSolutionClient::SaveCancelled: break;
        }
        return Target::Cancelled;
    };
}

void CCollabCommands::loadSettings()
{
    QSettings settings;
    settings.beginGroup(kSettingsGroup);
    const QString server = settings.value(QStringLiteral("server"), m_client->ServerAddress()).toString();
    const int port = settings.value(QStringLiteral("port"), m_client->Port()).toInt();
    const QString userId = settings.value(QStringLiteral("userId"), m_client->UserId()).toString();
    // the password is only ever held for the run: it goes nowhere, so it is not written down either
    m_client->SetLoginSettings(server, port, userId, m_client->Password());
    m_client->SetTls(settings.value(QStringLiteral("tls"), false).toBool());
    m_client->SetTrust(std::make_unique<CTlsTrust>(std::make_unique<QSettings>()));
}

void CCollabCommands::saveSettings() const
{
    QSettings settings;
    settings.beginGroup(kSettingsGroup);
    settings.setValue(QStringLiteral("server"), m_client->ServerAddress());
    settings.setValue(QStringLiteral("port"), m_client->Port());
    settings.setValue(QStringLiteral("userId"), m_client->UserId());
    settings.setValue(QStringLiteral("tls"), m_client->UsesTls());
}

QString CCollabCommands::ConnectionTitle() const
{
    if (!m_client->IsLoggedIn())
        return {};
    return CollabGuiTexts::ConnectedTitle(m_client->ServerAddress(), m_client->UserId());
}

void CCollabCommands::updateActions()
{
    // while a connect is under way, Disconnect is how to give it up
    const bool open = m_client->Socket().IsOpen();
    m_connect->setEnabled(!open);
    m_disconnect->setEnabled(open);
    m_members->setEnabled(m_client->IsLoggedIn() && m_client->IsShared());
}

void CCollabCommands::status(const QString &text, int timeout) const
{
    m_frame.statusBar()->showMessage(text, timeout);
}

bool CCollabCommands::Connect()
{
    if (m_client->Socket().IsOpen())
        return false;
    CServerLoginDlg dialog(&m_frame);
    dialog.SetValues(m_client->ServerAddress(), m_client->Port(), m_client->UserId(), m_client->Password());
    dialog.SetTls(m_client->UsesTls());
    CTlsTrust &trust = m_client->Trust();
    dialog.SetTrustAccess([&trust](const QString &hostPort) { return trust.Trusted(hostPort); },
                          [&trust](const QString &hostPort) { trust.Forget(hostPort); });
    if (m_frame.Dialogs().Run(dialog) != QDialog::Accepted)
        return false;
    m_client->SetLoginSettings(dialog.Server(), dialog.Port(), dialog.UserId(), dialog.Password());
    m_client->SetTls(dialog.Tls());
    saveSettings();
    const QString where = m_client->ServerAddress() + u':' + QString::number(m_client->Port());
    status(CollabGuiTexts::Connecting(where), 0);
    const bool started = m_client->ConnectToServer();
    if (!started) {
        // a user id or port the client turned down has been explained already
        const bool explained =
            !Collab::NameProblem(m_client->UserId()).isEmpty() || m_client->Port() < 1 || m_client->Port() > 65535;
        if (!explained)
            m_client->Prompt().Message(
                CollabGuiTexts::CannotConnect(where, SocketError::Message(m_client->Socket().GetLastError())));
        status(CollabGuiTexts::NotConnected);
    }
    updateActions();
    return started;
}

void CCollabCommands::Disconnect()
{
    if (!m_client->Socket().IsOpen())
        return;
    m_leaving = true;
    m_client->DisconnectFromServer();
    m_leaving = false;
}

void CCollabCommands::followConnection()
{
    const CClientSocket &socket = m_client->Socket();
    const bool connected = socket.IsConnected();
    if (m_wasConnected && !connected && !m_leaving) {
        // the model is as it was; only its link to the server is gone
        status(m_wasShared ? CollabGuiTexts::LostKeepCopy : CollabGuiTexts::Lost, 0);
    } else if (!m_wasConnected && connected) {
        status(CollabGuiTexts::ConnectedTo(m_client->ServerAddress(), m_client->Port()));
    } else if (!m_wasConnected && !socket.IsOpen() && !m_leaving) {
        // a connect that failed ends here too
        const QString reason =
            SocketError::Message(socket.ConnectFailure() ? socket.ConnectFailure() : socket.GetLastError());
        status(reason.isEmpty() ? CollabGuiTexts::NotConnected : CollabGuiTexts::NotConnectedBecause(reason), 0);
    }
    if (m_leaving)
        status(CollabGuiTexts::Disconnected);
    m_wasConnected = connected;
    if (!connected)
        m_wasShared = false;
    m_frame.SetConnectionTitle(ConnectionTitle());
    updateActions();
}

void CCollabCommands::refreshViews()
{
    m_frame.Explorer()->Rebuild();
    for (CChildFrame *window : m_editor.Windows().Frames())
        window->Document().Reconcile();
}

bool CCollabCommands::OpenShared()
{
    m_listRequested = m_client->RequestSharedList();
    if (m_listRequested)
        status(CollabGuiTexts::AskingForSolutions);
    return m_listRequested;
}

void CCollabCommands::chooseShared(const QStringList &names)
{
    COpenSharedSolutionDlg dialog(names, m_client->Prompt(), &m_frame);
    if (m_frame.Dialogs().Run(dialog) != QDialog::Accepted)
        return;
    if (dialog.WantsHistory()) {
        ShowHistory(dialog.SelectedName());
        return;
    }
    // the open solution is replaced: a changed one is offered for saving first
    if (!m_frame.Files().ConfirmDiscard())
        return;
    if (m_client->OpenShared(dialog.SelectedName()))
        status(CollabGuiTexts::Opening(dialog.SelectedName()));
}

void CCollabCommands::ShowMembers()
{
    if (!m_client->IsLoggedIn() || !m_client->IsShared()) {
        status(CollabGuiTexts::MembersNeedShared);
        return;
    }
    if (m_membersDialog && m_membersDialog->windowTitle().endsWith(m_client->SharedName()))
        m_membersDialog->raise();
    else {
        delete m_membersDialog;
        m_membersDialog = new CMembersDlg(*m_client, &m_frame);
        m_membersDialog->setObjectName(QStringLiteral("membersDialog"));
        m_membersDialog->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_membersDialog->Refresh();
    m_membersDialog->show();
}

bool CCollabCommands::ShowHistory(const QString &name)
{
    if (!m_client->RequestHistory(name))
        return false;
    m_historyRequested = name;
    status(CollabGuiTexts::AskingForSaves(name));
    return true;
}

void CCollabCommands::chooseSave(const QString &name, const QList<CSharedSave> &saves)
{
    CSharedHistoryDlg dialog(name, saves, m_client->Prompt(), &m_frame);
    if (m_frame.Dialogs().Run(dialog) != QDialog::Accepted)
        return;
    m_historySaves = saves;
    m_saveRequested = dialog.Selected().id;
    if (!m_client->OpenHistory(name, m_saveRequested))
        m_saveRequested = 0;
}

CMainFrame *CCollabCommands::OpenEarlierSave(const QString &name, const CSharedSave &save, const QString &text)
{
    auto *window = new CMainFrame;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setObjectName(QStringLiteral("earlierSaveWindow"));
    // no collaboration here: nothing in this window may reach the server
    InstallProgramParts(*window, false);
    CKELDataManager &manager = window->Manager();
    QString error;
    if (!manager.LoadSolutionText(text, &error)) {
        delete window;
        notice(CollabGuiTexts::EarlierSaveUnreadable(name, error));
        return nullptr;
    }
    manager.SetOperationSink(new CReadOnlySink(manager, window));
    manager.SetLocal(false);
    manager.SetSolutionPath(name);
    manager.MarkSaved();
    window->SetConnectionTitle(CollabGuiTexts::ReadOnlyTitle(
        name, save.user, QLocale().toString(save.saved.toLocalTime(), QLocale::ShortFormat)));
    window->Explorer()->Rebuild();
    window->show();
    return window;
}

bool CCollabCommands::saveAsShared()
{
    CSaveRemoteSolutionDlg dialog(&m_frame);
    if (m_client->IsShared())
        dialog.SetName(m_client->SharedName());
    else if (const CKELSolution *s = m_frame.Manager().Solution(); s && !s->Path().isEmpty())
        dialog.SetName(s->DisplayName());
    if (m_frame.Dialogs().Run(dialog) != QDialog::Accepted)
        return false;
    const QString name = dialog.Name();
    if (name.isEmpty())
        return false;
    return m_client->SaveAsShared(name);
}

CCollabCommands *InstallCollab(CMainFrame &frame, CEditor &editor)
{
    return new CCollabCommands(frame, editor);
}
