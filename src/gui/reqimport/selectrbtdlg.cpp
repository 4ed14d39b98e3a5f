#include "selectrbtdlg.h"
#include "reqimportguitexts.h"

#include "dialogs/dialogwidgets.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

CSelectRBTDlg::CSelectRBTDlg(const CKELDataManager &manager, QWidget *parent)
    : QDialog(parent)
    , m_list(new QListWidget(this))
{
    setWindowTitle(ReqImportGuiTexts::SelectRbtTitle);
    m_list->setObjectName(QStringLiteral("rbts"));
    const CKELVersion *version = manager.CurrentVersion();
    if (const CKELData *folder = version ? version->RBTFolder() : nullptr) {
        for (const auto &c : folder->Children()) {
            if (c->GetTypeCode() != KEL::RBT)
                continue;
            auto *item = new QListWidgetItem(c->GetName(), m_list);
            item->setData(Qt::UserRole, c->GetId());
        }
    }
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &CSelectRBTDlg::accept);

    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(ReqImportGuiTexts::AddNodesToRbt, this);
    label->setBuddy(m_list);
    layout->addWidget(label);
    layout->addWidget(m_list, 1);
    layout->addWidget(DialogWidgets::OkCancel(this));
    resize(320, 280);
}

bool CSelectRBTDlg::IsEmpty() const
{
    return m_list->count() == 0;
}

int CSelectRBTDlg::SelectedTreeId() const
{
    const QListWidgetItem *item = m_list->currentItem();
    return item && item->isSelected() ? item->data(Qt::UserRole).toInt() : 0;
}

void CSelectRBTDlg::accept()
{
    // OK without a choice would silently drop the nodes
    if (SelectedTreeId() == 0)
        return;
    QDialog::accept();
}
