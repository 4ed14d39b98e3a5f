#include "asyncsocketex.h"
#include "collabtexts.h"

#include <QHostInfo>
#include <QPointer>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>

namespace SocketError {

QString Message(int code)
{
    switch (code) {
    case None: return CollabTexts::SocketNone;
    case Interrupted: return CollabTexts::SocketInterrupted;
    case AccessDenied: return CollabTexts::SocketAccessDenied;
    case Invalid: return CollabTexts::SocketInvalid;
    case WouldBlock: return CollabTexts::SocketWouldBlock;
    case Already: return CollabTexts::SocketAlready;
    case NotSupported: return CollabTexts::SocketNotSupported;
    case AddressInUse: return CollabTexts::SocketAddressInUse;
    case AddressNotAvailable: return CollabTexts::SocketAddressNotAvailable;
    case NetworkDown: return CollabTexts::SocketNetworkDown;
    case ConnectionAborted: return CollabTexts::SocketConnectionAborted;
    case ConnectionReset: return CollabTexts::SocketConnectionReset;
    case NoBuffers: return CollabTexts::SocketNoBuffers;
    case NotConnected: return CollabTexts::SocketNotConnected;
    case TimedOut: return CollabTexts::SocketTimedOut;
    case ConnectionRefused: return CollabTexts::SocketConnectionRefused;
    case HostNotFound: return CollabTexts::SocketHostNotFound;
    case TryAgain: return CollabTexts::SocketTryAgain;
    case SecureChannel: return CollabTexts::SocketSecureChannel;
    case Untrusted: return CollabTexts::SocketUntrusted;
    default: return {};
    }
}

QString Text(int code)
{
    const QString message = Message(code);
    if (message.isEmpty())
        return {};
    const QString text = CollabTexts::SocketErrorText(message, code);
    return text.size() > 500 ? QString() : text;
}

} // namespace SocketError

CAsyncSocketEx::CAsyncSocketEx(QObject *parent) : QObject(parent) {}

CAsyncSocketEx::~CAsyncSocketEx()
{
    closeNow();
}

int CAsyncSocketEx::ErrorCodeFor(int qtSocketError)
{
    using namespace SocketError;
    switch (QAbstractSocket::SocketError(qtSocketError)) {
    case QAbstractSocket::ConnectionRefusedError: return ConnectionRefused;
    case QAbstractSocket::RemoteHostClosedError: return ConnectionReset;
    case QAbstractSocket::HostNotFoundError: return HostNotFound;
    case QAbstractSocket::SocketAccessError: return AccessDenied;
    case QAbstractSocket::SocketResourceError: return NoBuffers;
    case QAbstractSocket::SocketTimeoutError: return TimedOut;
    case QAbstractSocket::NetworkError: return NetworkDown;
    case QAbstractSocket::AddressInUseError: return AddressInUse;
    case QAbstractSocket::SocketAddressNotAvailableError: return AddressNotAvailable;
    case QAbstractSocket::UnsupportedSocketOperationError: return NotSupported;
    case QAbstractSocket::OperationError: return Already;
    case QAbstractSocket::TemporaryError: return WouldBlock;
    case QAbstractSocket::SslHandshakeFailedError:
    case QAbstractSocket::SslInternalError:
    case QAbstractSocket::SslInvalidUserDataError: return SecureChannel;
    default: return Invalid;
    }
}

bool CAsyncSocketEx::Create()
{
    if (m_socket || m_lookupId >= 0) {
        SetLastError(SocketError::Already);
        return false;
    }
    m_connecting = false;
    m_closeError = 0;
    m_peerName.clear();
    if (m_tls) {
        auto *ssl = new QSslSocket(this);
        m_socket = ssl;
        // the connection is there for us once it is encrypted
        connect(ssl, &QSslSocket::encrypted, this, &CAsyncSocketEx::connected);
        // paused, so that the user may be asked outside of the socket's own signal
        ssl->setPauseMode(QAbstractSocket::PauseOnSslErrors);
        connect(ssl, qOverload<const QList<QSslError> &>(&QSslSocket::sslErrors), this, &CAsyncSocketEx::sslErrors);
    } else {
        m_socket = new QTcpSocket(this);
        connect(m_socket, &QTcpSocket::connected, this, &CAsyncSocketEx::connected);
    }
    connect(m_socket, &QTcpSocket::readyRead, this, &CAsyncSocketEx::readyRead);
    connect(m_socket, &QTcpSocket::bytesWritten, this, &CAsyncSocketEx::bytesWritten);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &CAsyncSocketEx::failed);
    connect(m_socket, &QTcpSocket::disconnected, this, &CAsyncSocketEx::disconnected);
    return true;
}

void CAsyncSocketEx::Close()
{
    closeNow();
}

void CAsyncSocketEx::closeNow()
{
    if (m_lookupId >= 0) {
        QHostInfo::abortHostLookup(m_lookupId);
        m_lookupId = -1;
    }
    m_connecting = false;
    if (!m_socket)
        return;
    QTcpSocket *socket = std::exchange(m_socket, nullptr);
    // nothing of the old connection reaches us any more; what was queued
    // for sending still goes out before the socket is let go
    disconnect(socket, nullptr, this, nullptr);
    socket->setParent(nullptr);
    if (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() > 0) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::errorOccurred, socket, &QObject::deleteLater);
        socket->disconnectFromHost();
        if (socket->state() == QAbstractSocket::UnconnectedState)
            socket->deleteLater();
    } else {
        socket->abort();
        socket->deleteLater();
    }
}

bool CAsyncSocketEx::Connect(const QString &host, quint16 port)
{
    if (!m_socket) {
        SetLastError(SocketError::NotConnected);
        return false;
    }
    QHostAddress address;
    if (address.setAddress(host) && address.protocol() == QAbstractSocket::IPv4Protocol)
        return Connect(address, port);
    if (m_lookupId >= 0 || m_socket->state() != QAbstractSocket::UnconnectedState) {
        SetLastError(SocketError::Already);
        return false;
    }
    m_connectPort = port;
    m_peerName = host;
    m_lookupId = QHostInfo::lookupHost(host, this, &CAsyncSocketEx::lookedUp);
    SetLastError(SocketError::WouldBlock);
    return true;
}

bool CAsyncSocketEx::Connect(const QHostAddress &address, quint16 port)
{
    if (!m_socket) {
        SetLastError(SocketError::NotConnected);
        return false;
    }
    if (m_socket->state() != QAbstractSocket::UnconnectedState) {
        SetLastError(SocketError::Already);
        return false;
    }
    m_connecting = true;
    if (m_tls) {
        // after a lookup the certificate is checked against the name looked up
        if (m_peerName.isEmpty())
            m_peerName = address.toString();
        m_connectPort = port;
        static_cast<QSslSocket *>(m_socket)->connectToHostEncrypted(address.toString(), port, m_peerName);
    } else {
        m_socket->connectToHost(address, port);
    }
    // the outcome arrives as a connect notification, as for any
    // non-blocking connect
    SetLastError(SocketError::WouldBlock);
    return false;
}

void CAsyncSocketEx::lookedUp(const QHostInfo &info)
{
    if (info.lookupId() != m_lookupId)
        return;
    m_lookupId = -1;
    if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
        const int code = info.error() == QHostInfo::HostNotFound || info.error() == QHostInfo::NoError
                             ? int(SocketError::HostNotFound)
                             : int(SocketError::TryAgain);
        SetLastError(code);
        OnConnect(code);
        return;
    }
    // the protocol's sockets are IPv4; take the first such address when
    // the name has one
    QHostAddress chosen = info.addresses().constFirst();
    for (const QHostAddress &a : info.addresses()) {
        if (a.protocol() == QAbstractSocket::IPv4Protocol) {
            chosen = a;
            break;
        }
    }
    if (!Connect(chosen, m_connectPort) && GetLastError() != SocketError::WouldBlock)
        OnConnect(GetLastError());
}

qint64 CAsyncSocketEx::Receive(char *buffer, qint64 length, int flags)
{
    Q_UNUSED(flags);
    if (!m_socket) {
        SetLastError(SocketError::NotConnected);
        return -1;
    }
    if (m_socket->bytesAvailable() > 0) {
        const qint64 n = m_socket->read(buffer, length);
        if (n < 0)
            SetLastError(ErrorCodeFor(m_socket->error()));
        return n;
    }
    if (m_socket->state() == QAbstractSocket::ConnectedState) {
        SetLastError(SocketError::WouldBlock);
        return -1;
    }
    // the peer has closed and everything it sent has been read
    return 0;
}

qint64 CAsyncSocketEx::Send(const char *buffer, qint64 length, int flags)
{
    Q_UNUSED(flags);
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState) {
        SetLastError(SocketError::NotConnected);
        return -1;
    }
    const qint64 n = m_socket->write(buffer, length);
    if (n < 0)
        SetLastError(ErrorCodeFor(m_socket->error()));
    return n;
}

qint64 CAsyncSocketEx::BytesAvailable() const
{
    return m_socket ? m_socket->bytesAvailable() : 0;
}

qint64 CAsyncSocketEx::BytesToWrite() const
{
    return m_socket ? m_socket->bytesToWrite() : 0;
}

void CAsyncSocketEx::connected()
{
    m_connecting = false;
    // requests and relays are small and answered at once: no coalescing delay
    if (m_socket)
        m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    OnConnect(0);
}

void CAsyncSocketEx::sslErrors(const QList<QSslError> &errors)
{
    auto *ssl = qobject_cast<QSslSocket *>(m_socket);
    if (!ssl)
        return;
    // the answer may take a question to the user, which must not run inside
    // the socket's signal; the socket waits, paused
    const QSslCertificate certificate = ssl->peerCertificate();
    const QString hostPort = m_peerName + u':' + QString::number(m_connectPort);
    // a closed socket is deleted later: the guard tells it from a new one
    QTimer::singleShot(0, this, [this, ssl = QPointer<QSslSocket>(ssl), certificate, errors, hostPort] {
        if (!ssl || m_socket != ssl || ssl->state() != QAbstractSocket::ConnectedState)
            return;
        if (OnUntrustedCertificate(hostPort, certificate, errors)) {
            if (!ssl || m_socket != ssl)
                return;
            ssl->ignoreSslErrors(errors);
            ssl->resume();
            return;
        }
        if (!ssl || m_socket != ssl)
            return;
        closeNow();
        SetLastError(SocketError::Untrusted);
        OnConnect(SocketError::Untrusted);
    });
}

void CAsyncSocketEx::readyRead()
{
    // spurious read events cost nothing
    if (m_socket && m_socket->bytesAvailable() > 0)
        OnReceive(0);
}

void CAsyncSocketEx::bytesWritten()
{
    OnSend(0);
}

void CAsyncSocketEx::failed()
{
    if (!m_socket)
        return;
    const int code = ErrorCodeFor(m_socket->error());
    SetLastError(code);
    if (m_connecting) {
        m_connecting = false;
        OnConnect(code);
        return;
    }
    // an orderly close by the peer is no error; anything else travels with
    // the close notification that follows
    if (m_socket->error() != QAbstractSocket::RemoteHostClosedError)
        m_closeError = code;
}

void CAsyncSocketEx::disconnected()
{
    const int code = std::exchange(m_closeError, 0);
    OnClose(code);
}

void CAsyncSocketEx::OnAccept(int) {}
void CAsyncSocketEx::OnClose(int) {}
void CAsyncSocketEx::OnConnect(int) {}
void CAsyncSocketEx::OnReceive(int) {}
void CAsyncSocketEx::OnSend(int) {}

bool CAsyncSocketEx::OnUntrustedCertificate(const QString &, const QSslCertificate &, const QList<QSslError> &)
{
    return false;
}
