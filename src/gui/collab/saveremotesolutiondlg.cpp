#include "saveremotesolutiondlg.h"
#include "collabguitexts.h"

#include "dialogs/dialogwidgets.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

CSaveRemoteSolutionDlg::CSaveRemoteSolutionDlg(QWidget *parent) : QDialog(parent), m_name(new QLineEdit(this))
{
    setWindowTitle(CollabGuiTexts::SaveSharedTitle);
    m_name->setObjectName(QStringLiteral("name"));
    auto *form = new QFormLayout;
    form->addRow(CollabGuiTexts::SolutionName, m_name);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(DialogWidgets::OkCancel(this));
    resize(340, sizeHint().height());
}

void CSaveRemoteSolutionDlg::SetName(const QString &name)
{
    m_name->setText(name);
    m_name->selectAll();
}

QString CSaveRemoteSolutionDlg::Name() const
{
    return m_name->text();
}
