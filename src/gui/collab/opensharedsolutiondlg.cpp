#include "opensharedsolutiondlg.h"

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
    setWindowTitle(QStringLiteral("Open Shared"));
    m_list->setObjectName(QStringLiteral("solutions"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->addItems(names);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &COpenSharedSolutionDlg::accept);

    auto *buttons = new QDialogButtonBox(this);
    buttons->setObjectName(QStringLiteral("buttons"));
    QPushButton *open = buttons->addButton(QStringLiteral("Open"), QDialogButtonBox::AcceptRole);
    open->setDefault(true);
    QPushButton *history = buttons->addButton(QStringLiteral("Earlier Saves..."), QDialogButtonBox::ActionRole);
    history->setObjectName(QStringLiteral("earlierSaves"));
    connect(history, &QPushButton::clicked, this, [this] {
        m_history = true;
        accept();
        if (result() != QDialog::Accepted)
            m_history = false;
    });
    buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
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
        m_prompt.Message(QStringLiteral("You need select one file to open"), QStringLiteral("Message"));
        return;
    }
    m_selected = item->text();
    QDialog::accept();
}
