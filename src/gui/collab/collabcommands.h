#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

class CEditor;
class CMembersDlg;
struct CSharedSave;
class CMainFrame;
class CSharedSolutionClient;
class QAction;
class QDialog;
class QListWidget;

// The desktop side of collaboration: the menu entries and dialogs around
// the shared-solution client, and the window following what it reports
// (title, explorer, open tree windows, connection state).
class CCollabCommands : public QObject
{
    Q_OBJECT
public:
    CCollabCommands(CMainFrame &frame, CEditor &editor);
    ~CCollabCommands() override;

    CSharedSolutionClient &Client() const { return *m_client; }
    QAction *ConnectAction() const { return m_connect; }
    QAction *DisconnectAction() const { return m_disconnect; }
    QAction *OpenSharedAction() const { return m_openShared; }
    QAction *ServerMessagesAction() const { return m_serverMessages; }
    QAction *MembersAction() const { return m_members; }
    // What the server's replies had to say, oldest first, each with its time.
    const QStringList &Notices() const { return m_notices; }

    // The menu commands.
    bool Connect();
    void Disconnect();
    bool OpenShared();
    // "Members..." of the open shared solution.
    void ShowMembers();
    // Lists the saves of name; the one chosen opens read-only.
    bool ShowHistory(const QString &name);
    // A window of its own for an earlier save: edits are refused there,
    // and Save writes a local file.
    CMainFrame *OpenEarlierSave(const QString &name, const CSharedSave &save, const QString &text);

    // "[Connected to server(user)]" while logged in, else empty.
    QString ConnectionTitle() const;

private:
    void installActions();
    void installFileHooks();
    void loadSettings();
    void saveSettings() const;
    void updateActions();
    void followConnection();
    void refreshViews();
    void chooseShared(const QStringList &names);
    void chooseSave(const QString &name, const QList<CSharedSave> &saves);
    bool saveAsShared();
    void status(const QString &text, int timeout = 8000) const;
    void notice(const QString &text);
    void showNotices();

    CMainFrame &m_frame;
    CEditor &m_editor;
    CSharedSolutionClient *m_client; // child of the frame
    QAction *m_connect = nullptr;
    QAction *m_disconnect = nullptr;
    QAction *m_openShared = nullptr;
    QAction *m_serverMessages = nullptr;
    QAction *m_members = nullptr;
    QPointer<CMembersDlg> m_membersDialog;
    // the history asked for, and the save chosen from it, until the server answers
    QString m_historyRequested;
    QList<CSharedSave> m_historySaves;
    qint64 m_saveRequested = 0;
    QStringList m_notices;
    QPointer<QDialog> m_noticesDialog;
    QListWidget *m_noticesList = nullptr;
    bool m_listRequested = false;
    bool m_wasConnected = false;
    bool m_wasShared = false;
    bool m_leaving = false; // the user asked to disconnect
};
