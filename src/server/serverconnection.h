#pragma once

#include "requestframer.h"

#include <QElapsedTimer>
#include <QObject>

class CSharedReplica;
class QTcpSocket;

// One client of the server: its socket, what it has sent so far, who it
// logged in as and which shared solution it holds open (at most one, as a
// client has one solution open at a time).
class CServerConnection : public QObject
{
    Q_OBJECT
public:
    CServerConnection(QTcpSocket *socket, qint64 maxPacketBytes, QObject *parent);

    QTcpSocket *Socket() const { return m_socket; }
    CRequestFramer &Framer() { return m_framer; }

    QString userId;
    bool loggedIn = false;
    CSharedReplica *replica = nullptr;
    // Set once the connection is being closed: nothing more is read from it.
    bool closing = false;
    bool gone = false;
    // Since the connection was made, since its last complete request, and
    // since the first byte of the request not yet complete (invalid when
    // none is pending).
    QElapsedTimer connected;
    QElapsedTimer lastRequest;
    QElapsedTimer requestBegun;
    QString address;

private:
    QTcpSocket *m_socket;
    CRequestFramer m_framer;
};
