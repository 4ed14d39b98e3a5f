#include "kelcomponentdlg.h"
#include "dialogtexts.h"
#include "edit/edittexts.h"

#include "dialogwidgets.h"
#include "model/keldatamanager.h"
#include "model/kelrequirement.h"
#include "model/prompt.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

CKELComponentDlg::CKELComponentDlg(CKELDataManager &manager, const CKELVersion *version, int renamedId, QWidget *parent)
    : QDialog(parent)
    , m_manager(manager)
    , m_version(version)
    , m_renamedId(renamedId)
    , m_name(new QLineEdit(this))
    , m_system(new QCheckBox(DialogTexts::SystemComponent, this))
{
    m_name->setObjectName(QStringLiteral("name"));
    m_system->setObjectName(QStringLiteral("systemComponent"));
    const auto *renamed = manager.LookupAs<CKELComponent>(renamedId, KEL::Component);
    if (renamed) {
        setWindowTitle(DialogTexts::RenameComponentTitle);
        m_name->setText(renamed->GetName());
        m_name->selectAll();
        m_system->setChecked(renamed->IsSystemComponent());
    } else {
        setWindowTitle(DialogTexts::NewComponentTitle);
    }
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->addRow(DialogTexts::NameLabel, m_name);
    form->addRow(QString(), m_system);
    layout->addLayout(form);
    layout->addWidget(DialogWidgets::OkCancel(this));
    resize(340, sizeHint().height());
}

QString CKELComponentDlg::Name() const
{
    return m_name->text().trimmed();
}

bool CKELComponentDlg::IsSystemComponent() const
{
    return m_system->isChecked();
}

void CKELComponentDlg::accept()
{
    const QString name = Name();
    if (name.isEmpty()) {
        m_manager.Prompt().Message(EditTexts::ComponentNameEmpty);
        m_name->setFocus();
        return;
    }
    const CKELComponent *other = m_manager.FindComponent(name, m_version);
    if (other && other->GetId() != m_renamedId) {
        m_manager.Prompt().Message(EditTexts::ComponentTaken(name));
        m_name->setFocus();
        return;
    }
    QDialog::accept();
}
