#include "serverlogindlg.h"

#include "dialogs/dialogwidgets.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QVBoxLayout>

CServerLoginDlg::CServerLoginDlg(QWidget *parent)
    : QDialog(parent)
    , m_server(new QLineEdit(this))
    , m_port(new QLineEdit(this))
    , m_userId(new QLineEdit(this))
    , m_password(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Connect to Server"));
    m_server->setObjectName(QStringLiteral("server"));
    m_port->setObjectName(QStringLiteral("port"));
    m_userId->setObjectName(QStringLiteral("userId"));
    m_password->setObjectName(QStringLiteral("password"));
    // digits only; the range is checked where the connection starts, with a message
    m_port->setValidator(new QIntValidator(0, 99999, m_port));
    m_password->setEchoMode(QLineEdit::Password);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Server:"), m_server);
    form->addRow(QStringLiteral("Port:"), m_port);
    form->addRow(QStringLiteral("UserID:"), m_userId);
    form->addRow(QStringLiteral("Password:"), m_password);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(DialogWidgets::OkCancel(this));
    resize(320, sizeHint().height());
}

void CServerLoginDlg::SetValues(const QString &server, int port, const QString &userId, const QString &password)
{
    m_server->setText(server);
    m_port->setText(QString::number(port));
    m_userId->setText(userId);
    m_password->setText(password);
}

QString CServerLoginDlg::Server() const
{
    // blanks around a pasted address are never part of it
    return m_server->text().trimmed();
}

int CServerLoginDlg::Port() const
{
    return m_port->text().toInt();
}

QString CServerLoginDlg::UserId() const
{
    return m_userId->text();
}

QString CServerLoginDlg::Password() const
{
    return m_password->text();
}
