#include "serverlogindlg.h"
#include "collabguitexts.h"

#include "dialogs/dialogwidgets.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CServerLoginDlg::CServerLoginDlg(QWidget *parent)
    : QDialog(parent)
    , m_server(new QLineEdit(this))
    , m_port(new QLineEdit(this))
    , m_userId(new QLineEdit(this))
    , m_password(new QLineEdit(this))
    , m_tls(new QCheckBox(CollabGuiTexts::Tls, this))
    , m_forget(new QPushButton(CollabGuiTexts::ForgetCertificate, this))
{
    setWindowTitle(CollabGuiTexts::ConnectTitle);
    m_server->setObjectName(QStringLiteral("server"));
    m_port->setObjectName(QStringLiteral("port"));
    m_userId->setObjectName(QStringLiteral("userId"));
    m_password->setObjectName(QStringLiteral("password"));
    // digits only; the range is checked where the connection starts, with a message
    m_port->setValidator(new QIntValidator(0, 99999, m_port));
    m_password->setEchoMode(QLineEdit::Password);

    auto *form = new QFormLayout;
    form->addRow(CollabGuiTexts::Server, m_server);
    form->addRow(CollabGuiTexts::Port, m_port);
    form->addRow(CollabGuiTexts::UserIdLabel, m_userId);
    form->addRow(CollabGuiTexts::Password, m_password);
    m_tls->setObjectName(QStringLiteral("tls"));
    m_forget->setObjectName(QStringLiteral("forgetCertificate"));
    m_forget->setToolTip(CollabGuiTexts::ForgetTip);
    m_forget->setAutoDefault(false);
    form->addRow(QString(), m_tls);
    form->addRow(QString(), m_forget);
    m_forget->hide();
    connect(m_server, &QLineEdit::textChanged, this, &CServerLoginDlg::updateForget);
    connect(m_port, &QLineEdit::textChanged, this, &CServerLoginDlg::updateForget);
    connect(m_forget, &QPushButton::clicked, this, [this] {
        if (m_forgetTrust)
            m_forgetTrust(HostPort());
        updateForget();
    });
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

bool CServerLoginDlg::Tls() const
{
    return m_tls->isChecked();
}

void CServerLoginDlg::SetTls(bool on)
{
    m_tls->setChecked(on);
}

QString CServerLoginDlg::HostPort() const
{
    return Server() + u':' + QString::number(Port());
}

void CServerLoginDlg::SetTrustAccess(std::function<QString(const QString &)> trusted,
                                     std::function<void(const QString &)> forget)
{
    m_trusted = std::move(trusted);
    m_forgetTrust = std::move(forget);
    updateForget();
}

void CServerLoginDlg::updateForget()
{
    const QString fingerprint = m_trusted ? m_trusted(HostPort()) : QString();
    m_forget->setVisible(!fingerprint.isEmpty());
    m_forget->setToolTip(CollabGuiTexts::ForgetTipFor(HostPort(), fingerprint));
}
