#pragma once

#include <QObject>
#include <QStringList>

class CEditor;
class CMainFrame;
class CSharedSolutionClient;
class QAction;

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

    // The menu commands.
    bool Connect();
    void Disconnect();
    bool OpenShared();

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
    bool saveAsShared();
    void status(const QString &text, int timeout = 8000) const;

    CMainFrame &m_frame;
    CEditor &m_editor;
    CSharedSolutionClient *m_client; // child of the frame
    QAction *m_connect = nullptr;
    QAction *m_disconnect = nullptr;
    QAction *m_openShared = nullptr;
    bool m_listRequested = false;
    bool m_wasConnected = false;
    bool m_wasShared = false;
    bool m_leaving = false; // the user asked to disconnect
};
