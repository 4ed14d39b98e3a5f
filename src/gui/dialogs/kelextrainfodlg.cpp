#include "kelextrainfodlg.h"
#include "dialogtexts.h"

#include "model/prompt.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

CKELExtraInfoDlg::CKELExtraInfoDlg(CPrompt &prompt, QWidget *parent)
    : QDialog(parent)
    , m_prompt(prompt)
    , m_tag(new QLineEdit(this))
    , m_name(new QLineEdit(this))
    , m_list(new QListWidget(this))
    , m_add(new QPushButton(DialogTexts::Add, this))
    , m_remove(new QPushButton(DialogTexts::Remove, this))
    , m_close(new QPushButton(DialogTexts::Close, this))
{
    setWindowTitle(DialogTexts::ExtraInfoTitle);
    m_tag->setObjectName(QStringLiteral("tag"));
    m_name->setObjectName(QStringLiteral("name"));
    m_list->setObjectName(QStringLiteral("entries"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_add->setDefault(true);
    m_close->setAutoDefault(false);

    auto *form = new QFormLayout;
    form->addRow(DialogTexts::TagLabel, m_tag);
    form->addRow(DialogTexts::NameLabel, m_name);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_add);
    buttons->addWidget(m_remove);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(m_list, 1);
    layout->addLayout(bottom);
    resize(380, 340);

    connect(m_add, &QPushButton::clicked, this, &CKELExtraInfoDlg::add);
    connect(m_remove, &QPushButton::clicked, this, &CKELExtraInfoDlg::remove);
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);
}

void CKELExtraInfoDlg::SetEntries(const QStringList &tags, const QStringList &names)
{
    m_tags.clear();
    m_names.clear();
    m_list->clear();
    // the two lists are kept equally long; a tag without a name gets an empty one
    for (qsizetype i = 0; i < tags.size(); ++i) {
        const QString name = i < names.size() ? names[i] : QString();
        m_tags.append(tags[i]);
        m_names.append(name);
        m_list->addItem(LineOf(tags[i], name));
    }
}

void CKELExtraInfoDlg::add()
{
    const QString tag = m_tag->text().trimmed();
    const QString name = m_name->text().trimmed();
    if (tag.isEmpty() || name.isEmpty())
        return;
    if (tag.contains(u',') || name.contains(u',')) {
        // the pairs are stored as one comma-separated text
        m_prompt.Message(DialogTexts::NoCommaInExtraInfo);
        return;
    }
    const QString line = LineOf(tag, name);
    if (!m_list->findItems(line, Qt::MatchExactly).isEmpty())
        return;
    m_tags.append(tag);
    m_names.append(name);
    m_list->addItem(line);
    m_tag->clear();
    m_name->clear();
    m_tag->setFocus();
}

void CKELExtraInfoDlg::remove()
{
    QList<int> rows;
    for (const QListWidgetItem *item : m_list->selectedItems())
        rows.append(m_list->row(item));
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    for (int row : rows) {
        std::unique_ptr<QListWidgetItem> gone(m_list->takeItem(row));
        m_tags.removeAt(row);
        m_names.removeAt(row);
    }
}
