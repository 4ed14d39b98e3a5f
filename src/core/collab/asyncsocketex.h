#pragma once

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

class QHostInfo;
class QSslCertificate;
class QSslError;
class QTcpSocket;

// The error codes the socket notifications carry: those of the socket
// interface the protocol was first written against, so that log lines read
// the same on every system.
namespace SocketError {
enum Code {
    None = 0,
    Interrupted = 10004,         // WSAEINTR
    AccessDenied = 10013,        // WSAEACCES
    Invalid = 10022,             // WSAEINVAL
    WouldBlock = 10035,          // WSAEWOULDBLOCK
    Already = 10037,             // WSAEALREADY
    NotSupported = 10045,        // WSAEOPNOTSUPP
    AddressInUse = 10048,        // WSAEADDRINUSE
    AddressNotAvailable = 10049, // WSAEADDRNOTAVAIL
    NetworkDown = 10050,         // WSAENETDOWN
    ConnectionAborted = 10053,   // WSAECONNABORTED
    ConnectionReset = 10054,     // WSAECONNRESET
    NoBuffers = 10055,           // WSAENOBUFS
    NotConnected = 10057,        // WSAENOTCONN
    TimedOut = 10060,            // WSAETIMEDOUT
    ConnectionRefused = 10061,   // WSAECONNREFUSED
    HostNotFound = 11001,        // WSAHOST_NOT_FOUND
    TryAgain = 11002,            // WSATRY_AGAIN
    // Ours: the socket interface above knows no encryption.
    SecureChannel = 12001, // the TLS handshake failed
    Untrusted = 12002,     // the server's certificate was not trusted
};

// The message for a code, or an empty text for a code without one.
QString Message(int code);
// "message (code)(0xhex)", or empty when there is no message.
QString Text(int code);
} // namespace SocketError

// A non-blocking stream socket whose network events arrive as virtual
// notifications on the thread that owns it, each with an error code, and
// which looks host names up without blocking before it connects.
//
// The event loop delivers every event on the owning thread, so the socket
// table and helper window of a message-based design are not needed: each
// socket listens to its own connection, and a closed socket drops every
// event that was still on its way.
class CAsyncSocketEx : public QObject
{
    Q_OBJECT
public:
    explicit CAsyncSocketEx(QObject *parent = nullptr);
    ~CAsyncSocketEx() override;

    // Makes a new socket that reports every event. Fails with Already on an
    // open socket.
    bool Create();
    bool IsOpen() const { return m_socket != nullptr; }
    // Whether the next Create() makes a TLS socket: the connect notification
    // then comes once the handshake is done.
    void SetTls(bool on) { m_tls = on; }
    bool IsTls() const { return m_tls; }
    // Closes the connection and forgets a pending lookup; late events of the
    // old connection are dropped. Harmless on a closed socket.
    virtual void Close();

    // A dotted IPv4 address connects at once: false with WouldBlock while
    // the connect is under way. Any other host is looked up first: true
    // with WouldBlock; a lookup that fails arrives as OnConnect with its error.
    virtual bool Connect(const QString &host, quint16 port);
    virtual bool Connect(const QHostAddress &address, quint16 port);

    // Plain reads and writes. Receive returns the bytes read, 0 when the
    // peer has closed and nothing is left, -1 with WouldBlock when nothing
    // is waiting yet. Send queues everything or returns -1.
    virtual qint64 Receive(char *buffer, qint64 length, int flags = 0);
    virtual qint64 Send(const char *buffer, qint64 length, int flags = 0);
    qint64 BytesAvailable() const;
    qint64 BytesToWrite() const;

    int GetLastError() const { return m_lastError; }
    void SetLastError(int code) { m_lastError = code; }

    // The error code that stands for a socket failure of the platform.
    static int ErrorCodeFor(int qtSocketError);

protected:
    virtual void OnAccept(int errorCode);
    virtual void OnClose(int errorCode);
    virtual void OnConnect(int errorCode);
    virtual void OnReceive(int errorCode);
    virtual void OnSend(int errorCode);
    // A certificate the system's authorities do not vouch for: true goes on
    // with the connection. hostPort is the name and port that were asked for.
    virtual bool OnUntrustedCertificate(const QString &hostPort, const QSslCertificate &certificate,
                                        const QList<QSslError> &errors);

private:
    void lookedUp(const QHostInfo &info);
    void connected();
    void readyRead();
    void bytesWritten();
    void failed();
    void disconnected();
    void closeNow();
    void sslErrors(const QList<QSslError> &errors);

    QTcpSocket *m_socket = nullptr;
    bool m_tls = false;
    // The name the certificate must be for, as the user gave it.
    QString m_peerName;
    int m_lookupId = -1;
    quint16 m_connectPort = 0;
    bool m_connecting = false;
    int m_closeError = 0;
    int m_lastError = 0;
};
