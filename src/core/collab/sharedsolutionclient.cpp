#include "sharedsolutionclient.h"

#include "collabtexts.h"

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/modeltexts.h"
#include "model/prompt.h"

#include <QMetaMethod>

CSharedSolutionClient::CSharedSolutionClient(CKELDataManager &manager, QObject *parent)
    : QObject(parent)
    , m_manager(manager)
    , m_server(Collab::kDefaultServer.toString())
    , m_port(Collab::kDefaultPort)
    , m_userId(Collab::kDefaultUser.toString())
    , m_password(Collab::kDefaultUser.toString())
{
    m_socket.SetOwner(this);
    m_manager.SetOperationSink(this);
    connect(&m_manager, &CKELDataManager::modifiedChanged, this, [this] { emit titleChanged(Title()); });
    connect(&m_manager, &CKELDataManager::solutionReplaced, this, [this] { emit titleChanged(Title()); });
}

CSharedSolutionClient::~CSharedSolutionClient()
{
    m_manager.SetOperationSink(nullptr);
    m_socket.SetOwner(nullptr);
}

void CSharedSolutionClient::SetLoginSettings(const QString &server, int port, const QString &userId,
                                             const QString &password)
{
    m_server = server;
    m_port = port;
    m_userId = userId;
    m_password = password;
}

CPrompt &CSharedSolutionClient::Prompt()
{
    return m_manager.Prompt();
}

bool CSharedSolutionClient::IsShared() const
{
    return !m_manager.IsLocal();
}

QString CSharedSolutionClient::SharedName() const
{
    const CKELSolution *solution = m_manager.Solution();
    return IsShared() && solution ? solution->Path() : QString();
}

void CSharedSolutionClient::setSharedName(const QString &name)
{
    m_manager.SetSolutionPath(name);
}

void CSharedSolutionClient::setModified(bool modified)
{
    const CKELSolution *solution = m_manager.Solution();
    if (!solution || solution->IsModified() == modified)
        return;
    if (modified) {
        m_manager.MarkModified();
        return;
    }
    m_manager.MarkSaved(); // the history's saved step follows too
}

bool CSharedSolutionClient::ConnectToServer()
{
    if (IsConnected())
        return false;
    // the user id comes back in the login reply, which must be able to
    // carry it unchanged
    const QString problem = Collab::NameProblem(m_userId);
    if (!problem.isEmpty()) {
        Prompt().Message(CollabTexts::UserIdUnusable(problem));
        return false;
    }
    if (m_port < 1 || m_port > 65535) {
        Prompt().Message(CollabTexts::PortOutOfRange);
        return false;
    }
    m_socket.SetTls(m_tls);
    const bool started = m_socket.TryConnect(m_server, quint16(m_port));
    emit connectionChanged();
    return started;
}

void CSharedSolutionClient::EstablishedConnection()
{
    // the password is the one the user typed; the server checks it against its accounts
    if (!m_socket.Login(m_userId, m_password))
        Prompt().Message(CollabTexts::LoginFailed, CollabTexts::LoginFailedCaption);
    emit connectionChanged();
}

void CSharedSolutionClient::DisconnectFromServer()
{
    m_socket.Close();
    if (IsShared()) {
        m_manager.SetLocal(true);
        setSharedName(QString());
    }
    m_pendingSaveAs = {};
    m_loggedIn = false;
    RefreshViewsAndTitle();
    // before the window follows: what it says of the lost connection is the later, fuller word
    Notice(CollabTexts::Disconnected);
    emit connectionChanged();
}

void CSharedSolutionClient::Notice(const QString &text)
{
    // the desktop program lists notices beside its work; without a listener
    // (a test, a tool) they go to the prompt as before
    if (isSignalConnected(QMetaMethod::fromSignal(&CSharedSolutionClient::notice)))
        emit notice(text);
    else
        Prompt().Message(text);
}

bool CSharedSolutionClient::AcceptCertificate(const QString &hostPort, const QSslCertificate &certificate,
                                              const QList<QSslError> &errors)
{
    // asked by the user's own connect, once: not a notice
    return m_trust->Accept(hostPort, certificate, errors, Prompt());
}

void CSharedSolutionClient::SetLoggedIn(bool loggedIn)
{
    m_loggedIn = loggedIn;
    emit connectionChanged();
}

void CSharedSolutionClient::RefreshViewsAndTitle()
{
    emit viewsRefreshRequested();
    // the solution's explorer label shows " -M-" and "*" too
    if (const CKELSolution *solution = m_manager.Solution())
        emit m_manager.elementChanged(solution->GetId());
    emit titleChanged(Title());
}

bool CSharedSolutionClient::RequestSharedList()
{
    if (!m_loggedIn) {
        Prompt().Message(CollabTexts::LoginFirst);
        return false;
    }
    if (!m_socket.ListFile())
        return false;
    emit viewsRefreshRequested();
    return true;
}

void CSharedSolutionClient::OnServerFileList(const QStringList &names)
{
    emit sharedListReceived(names);
}

bool CSharedSolutionClient::OpenShared(const QString &name)
{
    if (!m_loggedIn) {
        Prompt().Message(CollabTexts::LoginFirst);
        return false;
    }
    if (name.isEmpty())
        return false;
    return m_socket.OpenFile(name);
}

void CSharedSolutionClient::OnServerFileOpened(bool success, const QString &name, const QString &text)
{
    // a text that yields no solution leaves the open one as it was
    if (!success || !m_manager.LoadSolutionText(text)) {
        Notice(CollabTexts::OpenFailed());
        return;
    }
    m_pendingSaveAs = {};
    setModified(false);
    setSharedName(name);
    m_manager.SetLocal(false);
    emit viewsRefreshRequested();
    RefreshViewsAndTitle();
    emit sharedSolutionOpened(name);
}

bool CSharedSolutionClient::RequestMembers()
{
    if (!m_loggedIn || !IsShared()) {
        Prompt().Message(CollabTexts::MembersNeedShared);
        return false;
    }
    return m_socket.ListMembers(SharedName());
}

bool CSharedSolutionClient::ChangeMember(const QString &user, bool add)
{
    if (!m_loggedIn || !IsShared())
        return false;
    if (const QString problem = Collab::NameProblem(user); !problem.isEmpty()) {
        Prompt().Message(CollabTexts::UserIdUnusable(problem));
        return false;
    }
    return m_socket.ChangeMember(SharedName(), user, add);
}

bool CSharedSolutionClient::RequestHistory(const QString &name)
{
    if (!m_loggedIn) {
        Prompt().Message(CollabTexts::LoginFirst);
        return false;
    }
    return !name.isEmpty() && m_socket.ListHistory(name);
}

bool CSharedSolutionClient::OpenHistory(const QString &name, qint64 id)
{
    if (!m_loggedIn) {
        Prompt().Message(CollabTexts::LoginFirst);
        return false;
    }
    return !name.isEmpty() && m_socket.OpenHistory(name, id);
}

void CSharedSolutionClient::OnServerMembers(const QString &name, const QString &owner, const QStringList &members)
{
    emit membersReceived(name, owner, members);
}

void CSharedSolutionClient::OnServerHistory(const QString &name, const QList<CSharedSave> &saves)
{
    emit historyReceived(name, saves);
}

void CSharedSolutionClient::OnServerHistoryText(const QString &name, qint64 id, const QString &text)
{
    emit historyTextReceived(name, id, text);
}

CSharedSolutionClient::SaveTarget CSharedSolutionClient::AskSaveAsTarget()
{
    if (Prompt().YesNo(CollabTexts::SaveLocallyQuestion, CollabTexts::SaveLocallyCaption))
        return SaveLocally;
    if (!m_loggedIn) {
        Prompt().Message(CollabTexts::LoginFirst);
        return SaveCancelled;
    }
    return SaveShared;
}

bool CSharedSolutionClient::SaveAsShared(const QString &name)
{
    if (name.isEmpty() || !m_manager.Solution())
        return false;
    if (!m_loggedIn) {
        Prompt().Message(CollabTexts::LoginFirst);
        return false;
    }
    const QString problem = Collab::NameProblem(name);
    if (!problem.isEmpty()) {
        Prompt().Message(CollabTexts::NameUnusable(name, problem));
        return false;
    }
    const PendingSaveAs previous{true, m_manager.IsLocal(), m_manager.Solution()->Path()};
    m_manager.SetLocal(false);
    setSharedName(name);
    if (!SaveToServer()) {
        m_manager.SetLocal(previous.local);
        setSharedName(previous.path);
        Prompt().Message(CollabTexts::SaveFailed(name));
        RefreshViewsAndTitle();
        return false;
    }
    m_pendingSaveAs = previous;
    setModified(false);
    emit viewsRefreshRequested();
    RefreshViewsAndTitle();
    return true;
}

bool CSharedSolutionClient::Save()
{
    if (!IsShared())
        return false;
    if (!SaveToServer()) {
        // nothing went out: the solution is not saved, and says so
        Prompt().Message(CollabTexts::SaveFailed(SharedName()));
        return false;
    }
    setModified(false);
    return true;
}

bool CSharedSolutionClient::SaveToServer()
{
    if (!m_manager.Solution())
        return false;
    const QString text = m_manager.BuildSolutionText();
    return m_socket.SaveFile(SharedName(), int(text.size()), text);
}

void CSharedSolutionClient::OnServerSaveResult(const QString &name, bool success)
{
    const PendingSaveAs previous = std::exchange(m_pendingSaveAs, {});
    if (success) {
        Notice(CollabTexts::Saved(name));
        emit saveFinished(name, true);
        return;
    }
    if (previous.active && SharedName() == name) {
        m_manager.SetLocal(previous.local);
        setSharedName(previous.path);
    }
    // the text is not on the server: the solution still has unsaved changes
    if (IsShared() || previous.active)
        setModified(true);
    RefreshViewsAndTitle();
    // the server's reason tells the user what to do: open it first, ask its owner...
    const QString reason = m_socket.LastRefusal();
    Notice(reason.isEmpty() ? CollabTexts::SaveFailed(name) : CollabTexts::SaveFailedBecause(name, reason));
    emit saveFinished(name, false);
}

bool CSharedSolutionClient::SendOperation(const QString &record)
{
    if (!m_loggedIn || !IsShared())
        return false;
    // "#" would end the record's field and ".." the relayed packet
    if (record.contains(Collab::kSeparator) || record.contains(Collab::kTerminator)) {
        m_socket.Log().Write(CollabTexts::LogUnsendableRecord(record));
        return false;
    }
    return m_socket.AskAction(SharedName(), record);
}

void CSharedSolutionClient::OnServerOperation(const QString &name, const QString &record)
{
    if (!m_loggedIn || !IsShared() || name != SharedName())
        return;
    const bool changed = m_manager.ApplyOperationRecord(record);
    emit operationApplied(record, changed);
}

QString CSharedSolutionClient::DisplayName() const
{
    const CKELSolution *solution = m_manager.Solution();
    QString name = solution ? solution->DisplayName() : ModelTexts::Untitled;
    if (IsShared())
        name += ModelTexts::SharedMark;
    if (solution && solution->IsModified())
        name += u'*';
    return name;
}

QString CSharedSolutionClient::FrameTitle(const QString &displayName, bool loggedIn, const QString &server,
                                          const QString &userId)
{
    QString title = CollabTexts::TitlePrefix + displayName + u' ';
    if (loggedIn)
        title += CollabTexts::ConnectedTo(server, userId);
    return title;
}

QString CSharedSolutionClient::Title() const
{
    return FrameTitle(DisplayName(), m_loggedIn, m_server, m_userId);
}
