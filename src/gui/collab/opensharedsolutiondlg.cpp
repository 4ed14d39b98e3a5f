#include "opensharedsolutiondlg.h"
#include "collabguitexts.h"

#include "model/prompt.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

COpenSharedSolutionDlg::COpenSharedSolutionDlg(const QStringList &names, CPrompt &prompt, QWidget *parent)
    : QDialog(parent)
    , m_prompt(prompt)
    , m_list(new QListWidget(this))
{
    setWindowTitle(CollabGuiTexts::OpenSharedTitle);
    m_list->setObjectName(QStringLiteral("solutions"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->addItems(names);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &COpenSharedSolutionDlg::accept);

    auto *buttons = new QDialogButtonBox(this);
    buttons->setObjectName(QStringLiteral("buttons"));
    QPushButton *open = buttons->addButton(CollabGuiTexts::Open, QDialogButtonBox::AcceptRole);
    open->setDefault(true);
    QPushButton *history = buttons->addButton(CollabGuiTexts::EarlierSaves, QDialogButtonBox::ActionRole);
    history->setObjectName(QStringLiteral("earlierSaves"));
    connect(history, &QPushButton::clicked, this, [this] {
        m_history = true;
        accept();
        if (result() != QDialog::Accepted)
            m_history = false;
    });
    buttons->addButton(CollabGuiTexts::Close, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &COpenSharedSolutionDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(320, 300);
}

void COpenSharedSolutionDlg::accept()
{
    const QListWidgetItem *item = m_list->currentItem();
    if (!item || !item->isSelected()) {
        m_prompt.Message(CollabGuiTexts::SelectOneFile, CollabGuiTexts::MessageCaption);
        return;
    }
    m_selected = item->text();
    QDialog::accept();
}
