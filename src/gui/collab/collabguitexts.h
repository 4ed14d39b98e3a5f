#pragma once

#include <QString>

// Texts of the collaboration menus and dialogs, from one place. (The
// client's own messages live in the core's CollabTexts.)
namespace CollabGuiTexts {

// Shared captions
inline const QString Open = QStringLiteral("Open");
inline const QString Close = QStringLiteral("Close");
inline const QString MessageCaption = QStringLiteral("Message");

// File menu entries
inline const QString OpenShared = QStringLiteral("Open Shared ...");
inline const QString OpenSharedTip = QStringLiteral("Open a solution shared on the server");
inline const QString Connect = QStringLiteral("Connect ( Login)");
inline const QString ConnectTip = QStringLiteral("Connect to the collaboration server and log in");
inline const QString Disconnect = QStringLiteral("Disconnect (Logout)");
inline const QString DisconnectTip = QStringLiteral("Log out and close the connection to the server");
inline const QString ServerMessagesEntry = QStringLiteral("Server Messages...");
inline const QString ServerMessagesTip = QStringLiteral("Show what the collaboration server has said");
inline const QString MembersEntry = QStringLiteral("Members...");
inline const QString MembersTip =
    QStringLiteral("Who may use the open shared solution; its owner adds and removes them");
inline const QString ServerMessages = QStringLiteral("Server Messages");

// Status line and notices
inline const QString EarlierSaveReadOnly = QStringLiteral(
    "This window shows an earlier save and cannot be changed. Save it as a local file (File, Save As) to work on it.");
inline QString OpenedShared(const QString &name)
{
    return QStringLiteral("Opened the shared solution ") + name;
}
inline QString SavedShared(const QString &name)
{
    return QStringLiteral("Saved the shared solution ") + name;
}
inline QString NotSavedShared(const QString &name)
{
    return QStringLiteral("The shared solution ") + name + QStringLiteral(" was not saved");
}
inline QString NoticeLine(const QString &time, const QString &text)
{
    return time + QStringLiteral("  ") + text;
}
inline QString ConnectedTitle(const QString &server, const QString &user)
{
    return QStringLiteral("[Connected to ") + server + u'(' + user + QStringLiteral(")]");
}
inline QString Connecting(const QString &where)
{
    return QStringLiteral("Connecting to ") + where + QStringLiteral(" ...");
}
inline QString CannotConnect(const QString &where, const QString &why)
{
    return QStringLiteral("Cannot connect to %1. %2").arg(where, why);
}
inline const QString NotConnected = QStringLiteral("Not connected");
inline QString NotConnectedBecause(const QString &reason)
{
    return QStringLiteral("Not connected: ") + reason;
}
inline const QString LostKeepCopy = QStringLiteral("The connection to the server was lost. The shared solution stays "
                                                   "open here as an unnamed local copy: save it to keep it.");
inline const QString Lost = QStringLiteral("The connection to the server was lost.");
// the port goes in with the address at once: a server name is the user's text
inline QString ConnectedTo(const QString &server, int port)
{
    return QStringLiteral("Connected to %1:%2").arg(server, QString::number(port));
}
inline const QString Disconnected = QStringLiteral("Disconnected");
inline const QString AskingForSolutions = QStringLiteral("Asking the server for its shared solutions ...");
inline QString Opening(const QString &name)
{
    return QStringLiteral("Opening the shared solution ") + name + QStringLiteral(" ...");
}
inline const QString MembersNeedShared =
    QStringLiteral("Members belong to a shared solution: open one from the server first");
inline QString AskingForSaves(const QString &name)
{
    return QStringLiteral("Asking the server for the saves of ") + name + QStringLiteral(" ...");
}
inline QString EarlierSaveUnreadable(const QString &name, const QString &error)
{
    return QStringLiteral("The earlier save of %1 could not be read: %2").arg(name, error);
}
inline QString ReadOnlyTitle(const QString &name, const QString &user, const QString &when)
{
    return QStringLiteral("[Read-only: save of %1 by %2, %3]").arg(name, user, when);
}

// Members
inline const QString Add = QStringLiteral("Add");
inline const QString Remove = QStringLiteral("Remove");
inline QString MembersOf(const QString &name)
{
    return QStringLiteral("Members of ") + name;
}
inline const QString UserId = QStringLiteral("User id");
inline const QString AskingServer = QStringLiteral("Asking the server ...");
inline const QString NoOwner = QStringLiteral("Nobody owns this solution yet");
inline QString Owner(const QString &owner)
{
    return QStringLiteral("Owner: ") + owner;
}
inline QString OwnerEntry(const QString &user)
{
    return user + QStringLiteral(" (owner)");
}

// Open, save and earlier saves
inline const QString OpenSharedTitle = QStringLiteral("Open Shared");
inline const QString EarlierSaves = QStringLiteral("Earlier Saves...");
inline const QString SelectOneFile = QStringLiteral("You need select one file to open");
inline const QString SaveSharedTitle = QStringLiteral("Save Shared");
inline const QString SolutionName = QStringLiteral("Solution Name:");
inline QString EarlierSavesOf(const QString &name)
{
    return QStringLiteral("Earlier Saves of ") + name;
}
inline const QString Saved = QStringLiteral("Saved");
inline const QString User = QStringLiteral("User");
inline const QString Size = QStringLiteral("Size");
inline const QString OpenReadOnly = QStringLiteral("Open Read-Only");
inline const QString SelectSave = QStringLiteral("Select the save to open");

// Logging in
inline const QString Tls = QStringLiteral("Encrypted connection (TLS)");
inline const QString ForgetCertificate = QStringLiteral("Forget Trusted Certificate");
inline const QString ConnectTitle = QStringLiteral("Connect to Server");
inline const QString Server = QStringLiteral("Server:");
inline const QString Port = QStringLiteral("Port:");
inline const QString UserIdLabel = QStringLiteral("UserID:");
inline const QString Password = QStringLiteral("Password:");
inline const QString ForgetTip =
    QStringLiteral("Remove the trust given to this server's certificate: the next encrypted connection asks again");
inline QString ForgetTipFor(const QString &hostPort, const QString &fingerprint)
{
    return QStringLiteral("Remove the trust given to the certificate of %1 (SHA-256 %2): the next "
                          "encrypted connection asks again")
        .arg(hostPort, fingerprint);
}

} // namespace CollabGuiTexts
