#pragma once

#include "clientsocket.h"
#include "model/operationrecord.h"
#include "tlstrust.h"

#include <QObject>
#include <QString>

class CKELDataManager;

// The collaboration side of the model manager: connects and logs in, lists,
// opens and saves shared solutions, sends a shared solution's edits to the
// server and applies what the server relays, and says what the main
// window's title shows. The dialogs stay with the application: it asks,
// then calls these with plain values, and follows the signals.
class CSharedSolutionClient : public QObject, public COperationSink, public CClientSocketOwner
{
    Q_OBJECT
public:
    explicit CSharedSolutionClient(CKELDataManager &manager, QObject *parent = nullptr);
    ~CSharedSolutionClient() override;

    CKELDataManager &Manager() const { return m_manager; }
    CClientSocket &Socket() { return m_socket; }

    // What "Connect to Server" shows and stores.
    const QString &ServerAddress() const { return m_server; }
    int Port() const { return m_port; }
    const QString &UserId() const { return m_userId; }
    const QString &Password() const { return m_password; }
    void SetLoginSettings(const QString &server, int port, const QString &userId, const QString &password);
    // "Encrypted connection (TLS)", for the next connect.
    bool UsesTls() const { return m_tls; }
    void SetTls(bool on) { m_tls = on; }
    // The certificates the user trusts; in memory until the application
    // gives it settings.
    CTlsTrust &Trust() { return *m_trust; }
    void SetTrust(std::unique_ptr<CTlsTrust> trust) { m_trust = std::move(trust); }

    bool IsConnected() const { return m_socket.IsConnected(); }
    bool IsLoggedIn() const { return m_loggedIn; }
    bool IsShared() const;
    // The name the server knows the open shared solution by; empty while local.
    QString SharedName() const;

    // "Connect ( Login)": starts connecting with the stored settings; the
    // login follows by itself. Does nothing while connected.
    bool ConnectToServer();
    // "Disconnect (Logout)"; also runs when the server closes the
    // connection. A shared solution stays open as an unsaved local one.
    void DisconnectFromServer() override;
    // "Open Shared ...": asks the server for its list, which arrives as
    // sharedListReceived. Refused with a message while not logged in.
    bool RequestSharedList();
    // The name picked from that list (after the application's close check).
    bool OpenShared(const QString &name);

    // The members of the open shared solution: asked for, added and removed
    // by user id; the list comes back as membersReceived.
    bool RequestMembers();
    bool ChangeMember(const QString &user, bool add);
    // The saves of a shared solution, as historyReceived, and the text of
    // one, as historyTextReceived: an earlier save is only ever looked at.
    bool RequestHistory(const QString &name);
    bool OpenHistory(const QString &name, qint64 id);

    // Save As: the local-or-shared question. Shared needs a login.
    enum SaveTarget { SaveLocally, SaveShared, SaveCancelled };
    SaveTarget AskSaveAsTarget();
    // Save As on the server under name; an empty name cancels.
    bool SaveAsShared(const QString &name);
    // Save of a shared solution: the whole text goes to the server.
    bool Save();
    bool SaveToServer();

    // Main window title: " TESSEL: " + display name + " ", and while logged
    // in "[Connected to server(user)]".
    QString Title() const;
    static QString FrameTitle(const QString &displayName, bool loggedIn, const QString &server, const QString &userId);
    // The solution's display name with " -M-" while shared, "*" while modified.
    QString DisplayName() const;

    // COperationSink
    bool SendOperation(const QString &record) override;

    // CClientSocketOwner
    void EstablishedConnection() override;
    void OnServerFileList(const QStringList &names) override;
    void OnServerSaveResult(const QString &name, bool success) override;
    void OnServerOperation(const QString &name, const QString &record) override;
    void OnServerFileOpened(bool success, const QString &name, const QString &text) override;
    void SetLoggedIn(bool loggedIn) override;
    void RefreshViewsAndTitle() override;
    CPrompt &Prompt() override;
    void Notice(const QString &text) override;
    bool AcceptCertificate(const QString &hostPort, const QSslCertificate &certificate,
                           const QList<QSslError> &errors) override;
    void OnServerMembers(const QString &name, const QString &owner, const QStringList &members) override;
    void OnServerHistory(const QString &name, const QList<CSharedSave> &saves) override;
    void OnServerHistoryText(const QString &name, qint64 id, const QString &text) override;

signals:
    void titleChanged(const QString &title);
    // Explorer and open diagrams rebuild from the model.
    void viewsRefreshRequested();
    void connectionChanged();
    void sharedListReceived(const QStringList &names);
    void sharedSolutionOpened(const QString &name);
    void saveFinished(const QString &name, bool success);
    // A relayed record of the open shared solution, after it was applied.
    void operationApplied(const QString &record, bool changedModel);
    void membersReceived(const QString &name, const QString &owner, const QStringList &members);
    void historyReceived(const QString &name, const QList<CSharedSave> &saves);
    void historyTextReceived(const QString &name, qint64 id, const QString &text);
    // A text caused by the server's replies, for a non-modal notice.
    void notice(const QString &text);

private:
    void setSharedName(const QString &name);
    void setModified(bool modified);

    CKELDataManager &m_manager;
    CClientSocket m_socket;
    QString m_server;
    int m_port;
    QString m_userId;
    QString m_password;
    bool m_tls = false;
    std::unique_ptr<CTlsTrust> m_trust = std::make_unique<CTlsTrust>();
    bool m_loggedIn = false;

    // What a Save As to the server replaced, until the server answers: a
    // refused save puts it back, so that edits do not go to a solution this
    // connection does not hold.
    struct PendingSaveAs
    {
        bool active = false;
        bool local = true;
        QString path;
    } m_pendingSaveAs;
};
