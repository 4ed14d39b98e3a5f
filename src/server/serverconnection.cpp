#include "serverconnection.h"

#include <QTcpSocket>

CServerConnection::CServerConnection(QTcpSocket *socket, qint64 maxPacketBytes, QObject *parent)
    : QObject(parent)
    , m_socket(socket)
    , m_framer(maxPacketBytes)
{
    m_socket->setParent(this);
    connected.start();
    lastRequest.start();
    address = m_socket->peerAddress().toString();
}
