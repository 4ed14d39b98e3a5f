#include "addversiondlg.h"
#include "dialogtexts.h"

#include "dialogwidgets.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

CAddVersionDlg::CAddVersionDlg(QWidget *parent) : QDialog(parent), m_name(new QLineEdit(this))
{
    setWindowTitle(DialogTexts::AddVersionTitle);
    m_name->setObjectName(QStringLiteral("version"));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(DialogTexts::InputNewVersion, this);
    label->setBuddy(m_name);
    layout->addWidget(label);
    layout->addWidget(m_name);
    layout->addWidget(DialogWidgets::OkCancel(this));
    resize(300, sizeHint().height());
}

QString CAddVersionDlg::VersionName() const
{
    return m_name->text();
}
