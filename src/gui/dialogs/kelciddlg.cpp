#include "kelciddlg.h"
#include "dialogtexts.h"

#include "dialogwidgets.h"
#include "kelcindlg.h"

#include "derive/cbt.h"
#include "model/keldatamanager.h"
#include "model/keltree.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

CKELCIDDlg::CKELCIDDlg(const CKELDataManager &manager, int preselectedTreeId, QWidget *parent)
    : QDialog(parent)
    , m_manager(manager)
    , m_trees(new QComboBox(this))
    , m_components(new QComboBox(this))
{
    setWindowTitle(DialogTexts::CidTitle);
    m_trees->setObjectName(QStringLiteral("trees"));
    m_components->setObjectName(QStringLiteral("components"));
    auto *treeLabel = new QLabel(DialogTexts::SelectBt, this);
    auto *componentLabel = new QLabel(DialogTexts::SelectComponent, this);
    treeLabel->setBuddy(m_trees);
    componentLabel->setBuddy(m_components);
    FillTreeChoices(m_trees, manager, preselectedTreeId);
    fillComponents();
    connect(m_trees, &QComboBox::currentIndexChanged, this, &CKELCIDDlg::fillComponents);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(treeLabel);
    layout->addWidget(m_trees);
    layout->addWidget(componentLabel);
    layout->addWidget(m_components);
    layout->addWidget(DialogWidgets::OkCancel(this));
}

int CKELCIDDlg::TreeId() const
{
    return m_trees->currentData().toInt();
}

QString CKELCIDDlg::Component() const
{
    return m_components->currentText();
}

void CKELCIDDlg::fillComponents()
{
    m_components->clear();
    const CKELData *tree = m_manager.Lookup(TreeId());
    if (tree && tree->IsTree())
        m_components->addItems(Cbt::ComponentList(*static_cast<const CKELTree *>(tree)));
    m_components->setCurrentIndex(m_components->count() > 0 ? 0 : -1);
}

void CKELCIDDlg::accept()
{
    if (TreeId() <= 0 || Component().isEmpty())
        return;
    QDialog::accept();
}
