#pragma once

#include <QDialog>

#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;

// "Connect to Server": where the server is, who logs in, and whether the
// connection is encrypted. The password is kept for the run only.
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
    bool Tls() const;
    void SetTls(bool on);
    // The fingerprint trusted for "host:port", and how to forget it: the
    // button to do so shows while the fields name a trusted server.
    void SetTrustAccess(std::function<QString(const QString &)> trusted, std::function<void(const QString &)> forget);
    QString HostPort() const;

    QLineEdit *ServerEdit() const { return m_server; }
    QLineEdit *PortEdit() const { return m_port; }
    QLineEdit *UserIdEdit() const { return m_userId; }
    QLineEdit *PasswordEdit() const { return m_password; }
    QCheckBox *TlsBox() const { return m_tls; }
    QPushButton *ForgetButton() const { return m_forget; }

private:
    QLineEdit *m_server;
    QLineEdit *m_port;
    QLineEdit *m_userId;
    QLineEdit *m_password;
    QCheckBox *m_tls;
    QPushButton *m_forget;
    std::function<QString(const QString &)> m_trusted;
    std::function<void(const QString &)> m_forgetTrust;
    void updateForget();
};
