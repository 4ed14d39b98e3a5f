#pragma once

#include "asyncsocketex.h"
#include "collabprotocol.h"
#include "packetframer.h"
#include "packetlog.h"

#include <QDateTime>
#include <QStringList>

class CPrompt;

// One save of a shared solution, as the server lists them.
struct CSharedSave
{
    qint64 id = 0;
    QDateTime saved;
    QString user;
    qint64 size = 0; // characters
};
Q_DECLARE_METATYPE(CSharedSave)

// What the client socket asks of the one who holds it: the shared-solution
// client, which turns replies into model changes and messages.
class CClientSocketOwner
{
public:
    virtual ~CClientSocketOwner() = default;

    // After every connect notification, whether or not it succeeded.
    virtual void EstablishedConnection() = 0;
    // When the server closes a connection that was up.
    virtual void DisconnectFromServer() = 0;
    virtual void OnServerFileList(const QStringList &names) = 0;
    virtual void OnServerSaveResult(const QString &name, bool success) = 0;
    virtual void OnServerOperation(const QString &name, const QString &record) = 0;
    virtual void OnServerFileOpened(bool success, const QString &name, const QString &text) = 0;
    // The login replies set the flag themselves and have the views and the
    // title follow.
    virtual void SetLoggedIn(bool loggedIn) = 0;
    virtual void RefreshViewsAndTitle() = 0;
    virtual CPrompt &Prompt() = 0;
    // A text caused by what the server sent: shown without stopping the user
    // (a stream of replies must not become a stream of modal boxes).
    virtual void Notice(const QString &text) = 0;
    // The members of a shared solution, owner first (empty when nobody owns
    // it), after a member request.
    virtual void OnServerMembers(const QString &name, const QString &owner, const QStringList &members)
    {
        Q_UNUSED(name);
        Q_UNUSED(owner);
        Q_UNUSED(members);
    }
    // The saves of a shared solution, newest first, and the text of one.
    virtual void OnServerHistory(const QString &name, const QList<CSharedSave> &saves)
    {
        Q_UNUSED(name);
        Q_UNUSED(saves);
    }
    virtual void OnServerHistoryText(const QString &name, qint64 id, const QString &text)
    {
        Q_UNUSED(name);
        Q_UNUSED(id);
        Q_UNUSED(text);
    }
    // A server certificate the system does not vouch for: true goes on.
    virtual bool AcceptCertificate(const QString &hostPort, const QSslCertificate &certificate,
                                   const QList<QSslError> &errors)
    {
        Q_UNUSED(hostPort);
        Q_UNUSED(certificate);
        Q_UNUSED(errors);
        return false;
    }
};

// The one connection to the collaboration server: requests out, replies in,
// each reply checked and logged, then handed to the owner.
class CClientSocket : public CAsyncSocketEx
{
    Q_OBJECT
public:
    explicit CClientSocket(QObject *parent = nullptr);
    ~CClientSocket() override;

    void SetOwner(CClientSocketOwner *owner) { m_owner = owner; }
    CPacketLog &Log() { return m_log; }

    bool IsConnected() const { return m_connected; }
    int LastError() const { return m_lastErrorField; }
    int ConnectError() const { return m_connectError; }
    // The error the last connect attempt ended with; 0 while none has failed.
    int ConnectFailure() const { return m_connectFailure; }
    const QString &LastSentPacket() const { return m_lastSent; }
    qsizetype PendingSize() const { return m_framer.PendingSize(); }

    // Larger replies are refused and the connection is dropped.
    void SetMaxPacketBytes(qint64 bytes) { m_maxPacketBytes = bytes; }
    qint64 MaxPacketBytes() const { return m_maxPacketBytes; }

    // Also ends the connected state: a closed socket is not connected.
    void Close() override;

    bool TryConnect(const QString &host, quint16 port);
    // The password travels as the third field; a password with "#" cannot.
    bool Login(const QString &userId, const QString &password);
    bool ListFile();
    bool SaveFile(const QString &name, int length, const QString &text);
    bool OpenFile(const QString &name);
    bool AskAction(const QString &name, const QString &record);
    // Members of a shared solution: listed for its members, changed by its owner.
    bool ListMembers(const QString &name);
    bool ChangeMember(const QString &name, const QString &user, bool add);
    bool ListHistory(const QString &name);
    bool OpenHistory(const QString &name, qint64 id);
    bool SendPacket(const QString &packet);

    // The error text of a code, remembered as the last error.
    QString GetErrorText(int code);

    // Runs one packet through the handlers as if it had just been read.
    void ProcessPacket(const QString &packet);

    // The server's reason for the last refusal, empty when it gave none.
    const QString &LastRefusal() const { return m_lastRefusal; }
    // Requests sent and not yet answered, oldest first.
    qsizetype AwaitedCount() const { return m_awaited.size() + m_awaitedEdits.size(); }

protected:
    void OnAccept(int errorCode) override;
    void OnClose(int errorCode) override;
    void OnConnect(int errorCode) override;
    void OnReceive(int errorCode) override;
    void OnSend(int errorCode) override;
    bool OnUntrustedCertificate(const QString &hostPort, const QSslCertificate &certificate,
                                const QList<QSslError> &errors) override;
    virtual void OnOutOfBandData(int errorCode);

private:
    // Sends packet; the log and LastSentPacket() show shown instead.
    bool sendPacket(const QString &packet, const QString &shown);
    bool receiveData(int errorCode, QString &packet, QStringList &fields);
    void dispatch(const QStringList &fields);
    void processError(const QString &message);
    void processUIDLogAck(const QStringList &fields);
    void processFileListAck(const QStringList &fields);
    void processFileDownAck(const QStringList &fields);
    void processFileSaveAck(const QStringList &fields);
    void processFileSynReq(const QStringList &fields);
    void processOpIdAck(const QStringList &fields);
    void processAskAction(const QStringList &fields);
    void processObjectGenerateAck(const QStringList &fields);
    void processUIDListAck(const QStringList &fields);
    void processMemberListAck(const QStringList &fields);
    void processHistListAck(const QStringList &fields);
    void processHistDownAck(const QStringList &fields);
    void dropOversizedReply();
    // Replies are taken only for requests this client made and still waits
    // for: the server answers in order, so the oldest awaited request of
    // that kind is the one answered. False, logged, for anything else.
    bool takeAwaited(QStringView keyword, const QString &name = QString(), const QString &record = QString());
    void await(QStringView keyword, const QString &name = QString(), const QString &record = QString());

    bool logging() const { return m_log.IsActive(); }
    void log(QStringView operation, const QString &message);
    void logErrorCode(QStringView operation, int errorCode);
    void countError(QStringView operation, qsizetype count, int required, bool trailingBlank = false);
    void nameError(QStringView operation, const QString &received, const QString &intended);
    void loginResult(bool success);
    void message(const QString &text);

    bool m_connected = false;
    int m_lastErrorField = 0;
    int m_connectError = 0;
    int m_connectFailure = 0;
    QString m_lastSent;
    CPacketLog m_log;
    CClientSocketOwner *m_owner = nullptr;

    QString m_userId;
    QString m_saveName;
    QString m_saveText;
    int m_saveLength = 0;
    QString m_openName;
    QString m_opFileName;
    QString m_opRecord;
    // Names the sync, operation-id and object-create replies are checked
    // against; no request of this client sets them.
    QString m_synFileName;
    QString m_opIdFileName;
    QString m_obCreFileName;

    struct Awaited
    {
        QStringView keyword;
        QString name;
        QString record;
        quint64 serial = 0; // order of sending, across both lists
    };
    // Edits apart: their answers are relays, which come back in the order
    // the edits were sent, so only the oldest is ever compared.
    QList<Awaited> m_awaited;
    QList<Awaited> m_awaitedEdits;
    quint64 m_nextSerial = 0;
    QString m_lastRefusal;

    CPacketFramer m_framer;
    qint64 m_maxPacketBytes = Collab::kDefaultMaxPacketBytes;
};
