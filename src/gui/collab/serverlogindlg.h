#pragma once

#include <QDialog>

class QLineEdit;

// "Connect to Server": where the server is and who logs in. The password
// is kept for the run but the protocol has no place for it.
class CServerLoginDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CServerLoginDlg(QWidget *parent = nullptr);

    void SetValues(const QString &server, int port, const QString &userId, const QString &password);
    QString Server() const;
    // 0 when the field is empty; the caller refuses what cannot be a port.
    int Port() const;
    QString UserId() const;
    QString Password() const;

    QLineEdit *ServerEdit() const { return m_server; }
    QLineEdit *PortEdit() const { return m_port; }
    QLineEdit *UserIdEdit() const { return m_userId; }
    QLineEdit *PasswordEdit() const { return m_password; }

private:
    QLineEdit *m_server;
    QLineEdit *m_port;
    QLineEdit *m_userId;
    QLineEdit *m_password;
};
