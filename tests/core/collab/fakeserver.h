#pragma once

#include "collab/packetframer.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

// A server that says exactly what a test tells it to, byte for byte, and
// keeps what the client sent. Loopback only.
class CFakeServer : public QObject
{
public:
    CFakeServer()
    {
        QVERIFY(m_server.listen(QHostAddress::LocalHost, 0));
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = m_server.nextPendingConnection()) {
                m_client = s;
                ++connections;
                connect(s, &QTcpSocket::readyRead, this, [this, s] { m_decoder.Decode(s->readAll(), received); });
            }
        });
    }

    quint16 Port() const { return m_server.serverPort(); }
    QTcpSocket *Client() const { return m_client; }
    bool WaitForClient()
    {
        return QTest::qWaitFor([this] { return m_client != nullptr; }, 5000);
    }

    void SendBytes(const QByteArray &bytes)
    {
        QVERIFY(m_client);
        m_client->write(bytes);
        m_client->flush();
    }
    void Send(const QString &text) { SendBytes(CUtf16Decoder::Encode(text)); }
    void DropClient()
    {
        if (m_client) {
            m_client->disconnectFromHost();
            m_client = nullptr;
        }
    }
    bool WaitForReceived(const QString &text)
    {
        return QTest::qWaitFor([this, text] { return received.contains(text); }, 5000);
    }
    void StopListening() { m_server.close(); }

    QString received;
    int connections = 0; // accepted so far

private:
    QTcpServer m_server;
    QTcpSocket *m_client = nullptr;
    CUtf16Decoder m_decoder;
};
