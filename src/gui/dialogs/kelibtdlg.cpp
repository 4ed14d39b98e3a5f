#include "kelibtdlg.h"
#include "dialogtexts.h"
#include "edit/edittexts.h"

#include "dialogwidgets.h"
#include "model/keldatamanager.h"
#include "model/keltree.h"
#include "model/prompt.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

CKELIBTDlg::CKELIBTDlg(CKELDataManager &manager, const CKELVersion *version, int renamedId, QWidget *parent)
    : QDialog(parent)
    , m_manager(manager)
    , m_version(version)
    , m_renamedId(renamedId)
    , m_name(new QLineEdit(this))
{
    setWindowTitle(DialogTexts::NewIbtTitle);
    m_name->setObjectName(QStringLiteral("name"));
    if (const CKELData *renamed = manager.LookupAs<CKELDBT>(renamedId, KEL::DBT)) {
        m_name->setText(renamed->GetName());
        m_name->selectAll();
    }
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->addRow(DialogTexts::NameLabel, m_name);
    layout->addLayout(form);
    layout->addWidget(DialogWidgets::OkCancel(this));
    resize(340, sizeHint().height());
}

QString CKELIBTDlg::Name() const
{
    return m_name->text().trimmed();
}

void CKELIBTDlg::accept()
{
    const QString name = Name();
    if (name.isEmpty()) {
        m_manager.Prompt().Message(EditTexts::IbtNameEmpty);
        m_name->setFocus();
        return;
    }
    const CKELTree *other = m_manager.FindTree(KEL::DBTs, name, m_version);
    if (other && other->GetId() != m_renamedId) {
        m_manager.Prompt().Message(m_renamedId ? EditTexts::DbtAdded(name) : EditTexts::IbtAdded(name));
        m_name->setFocus();
        return;
    }
    QDialog::accept();
}
