#include "sharedhistorydlg.h"
#include "collabguitexts.h"

#include "model/prompt.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

CSharedHistoryDlg::CSharedHistoryDlg(const QString &name, const QList<CSharedSave> &saves, CPrompt &prompt,
                                     QWidget *parent)
    : QDialog(parent)
    , m_prompt(prompt)
    , m_saves(saves)
    , m_list(new QTreeWidget(this))
{
    setWindowTitle(CollabGuiTexts::EarlierSavesOf(name));
    m_list->setObjectName(QStringLiteral("saves"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({CollabGuiTexts::Saved, CollabGuiTexts::User, CollabGuiTexts::Size});
    const QLocale locale;
    for (const CSharedSave &s : saves) {
        auto *item = new QTreeWidgetItem(m_list);
        item->setText(0, locale.toString(s.saved.toLocalTime(), QLocale::ShortFormat));
        item->setText(1, s.user);
        item->setText(2, locale.formattedDataSize(2 * s.size));
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &CSharedHistoryDlg::accept);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *open = buttons->addButton(CollabGuiTexts::OpenReadOnly, QDialogButtonBox::AcceptRole);
    open->setDefault(true);
    buttons->addButton(CollabGuiTexts::Close, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSharedHistoryDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(440, 320);
}

void CSharedHistoryDlg::accept()
{
    const QTreeWidgetItem *item = m_list->currentItem();
    const int row = item ? m_list->indexOfTopLevelItem(const_cast<QTreeWidgetItem *>(item)) : -1;
    if (row < 0 || row >= m_saves.size() || !item->isSelected()) {
        m_prompt.Message(CollabGuiTexts::SelectSave, CollabGuiTexts::MessageCaption);
        return;
    }
    m_selected = m_saves[row];
    QDialog::accept();
}
