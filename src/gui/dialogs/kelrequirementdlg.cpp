#include "kelrequirementdlg.h"
#include "dialogtexts.h"
#include "edit/edittexts.h"

#include "dialogwidgets.h"
#include "model/prompt.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

CKELRequirementDlg::CKELRequirementDlg(CPrompt &prompt, QWidget *parent)
    : QDialog(parent)
    , m_prompt(prompt)
    , m_tag(new QLineEdit(this))
    , m_description(new QPlainTextEdit(this))
{
    setWindowTitle(DialogTexts::RequirementTitle);
    m_tag->setObjectName(QStringLiteral("tag"));
    m_description->setObjectName(QStringLiteral("description"));
    m_description->setTabChangesFocus(true);

    auto *layout = new QVBoxLayout(this);
    auto *tagLabel = new QLabel(DialogTexts::RequirementTagLabel, this);
    tagLabel->setBuddy(m_tag);
    layout->addWidget(tagLabel);
    layout->addWidget(m_tag);
    auto *descLabel = new QLabel(DialogTexts::RequirementDescriptionLabel, this);
    descLabel->setBuddy(m_description);
    layout->addWidget(descLabel);
    layout->addWidget(m_description, 1);
    layout->addWidget(DialogWidgets::OkCancel(this));
    resize(460, 300);
}

void CKELRequirementDlg::SetValues(const QString &tag, const QString &description)
{
    m_tag->setText(tag);
    m_description->setPlainText(description);
}

QString CKELRequirementDlg::Tag() const
{
    return m_tag->text().trimmed();
}

QString CKELRequirementDlg::Description() const
{
    return m_description->toPlainText();
}

void CKELRequirementDlg::accept()
{
    if (Tag().isEmpty()) {
        m_prompt.Message(EditTexts::RequirementTagEmpty);
        m_tag->setFocus();
        return;
    }
    QDialog::accept();
}
