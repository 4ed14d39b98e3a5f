#include "membersdlg.h"
#include "collabguitexts.h"

#include "collab/sharedsolutionclient.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CMembersDlg::CMembersDlg(CSharedSolutionClient &client, QWidget *parent)
    : QDialog(parent)
    , m_client(client)
    , m_name(client.SharedName())
    , m_ownerLabel(new QLabel(this))
    , m_list(new QListWidget(this))
    , m_user(new QLineEdit(this))
    , m_add(new QPushButton(CollabGuiTexts::Add, this))
    , m_remove(new QPushButton(CollabGuiTexts::Remove, this))
{
    setWindowTitle(CollabGuiTexts::MembersOf(m_name));
    setModal(false);
    m_list->setObjectName(QStringLiteral("members"));
    m_user->setObjectName(QStringLiteral("user"));
    m_user->setPlaceholderText(CollabGuiTexts::UserId);
    m_add->setObjectName(QStringLiteral("add"));
    m_remove->setObjectName(QStringLiteral("remove"));
    m_add->setAutoDefault(false);
    m_remove->setAutoDefault(false);

    auto *row = new QHBoxLayout;
    row->addWidget(m_user, 1);
    row->addWidget(m_add);
    row->addWidget(m_remove);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_ownerLabel);
    layout->addWidget(m_list);
    layout->addLayout(row);
    layout->addWidget(buttons);
    resize(360, 320);

    connect(&client, &CSharedSolutionClient::membersReceived, this, &CMembersDlg::fill);
    connect(m_add, &QPushButton::clicked, this, [this] {
        if (m_client.ChangeMember(m_user->text().trimmed(), true))
            m_user->clear();
    });
    connect(m_remove, &QPushButton::clicked, this, [this] {
        const QListWidgetItem *item = m_list->currentItem();
        if (item && item->isSelected())
            m_client.ChangeMember(item->data(Qt::UserRole).toString(), false);
    });
    connect(m_list, &QListWidget::itemSelectionChanged, this, &CMembersDlg::updateButtons);
    connect(m_user, &QLineEdit::textChanged, this, &CMembersDlg::updateButtons);
    connect(&client, &CSharedSolutionClient::connectionChanged, this, [this] {
        // the list is of a solution this window no longer holds
        if (!m_client.IsLoggedIn() || m_client.SharedName() != m_name)
            close();
    });
    updateButtons();
}

void CMembersDlg::Refresh()
{
    m_ownerLabel->setText(CollabGuiTexts::AskingServer);
    m_client.RequestMembers();
}

void CMembersDlg::fill(const QString &name, const QString &owner, const QStringList &members)
{
    if (name != m_name)
        return;
    m_owner = owner;
    m_ownerLabel->setText(owner.isEmpty() ? CollabGuiTexts::NoOwner : CollabGuiTexts::Owner(owner));
    m_list->clear();
    for (const QString &user : members) {
        auto *item = new QListWidgetItem(user == owner ? CollabGuiTexts::OwnerEntry(user) : user, m_list);
        item->setData(Qt::UserRole, user);
    }
    updateButtons();
}

void CMembersDlg::updateButtons()
{
    // the server refuses anyone else; the buttons say so before it has to
    const bool owner = !m_owner.isEmpty() && m_owner == m_client.UserId();
    const QListWidgetItem *item = m_list->currentItem();
    m_add->setEnabled(owner && !m_user->text().trimmed().isEmpty());
    m_user->setEnabled(owner);
    m_remove->setEnabled(owner && item && item->isSelected() && item->data(Qt::UserRole).toString() != m_owner);
}
