#include "selectbtdlg.h"
#include "translateguitexts.h"

#include "dialogs/dialogwidgets.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/keltree.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QFormLayout>
#include <QVBoxLayout>

namespace {

void appendTrees(const CKELData *folder, QList<int> &ids)
{
    if (!folder)
        return;
    for (const auto &child : folder->Children()) {
        if (child->IsTree())
            ids.append(child->GetId());
    }
}

QString kindName(int typeCode)
{
    switch (typeCode) {
    case KEL::RBT: return TranslateGuiTexts::KindRbt;
    case KEL::DBT: return TranslateGuiTexts::KindIbt;
    case KEL::EVT: return TranslateGuiTexts::KindEvt;
    default: return {};
    }
}

} // namespace

CSelectBTDlg::CSelectBTDlg(const CKELDataManager &manager, const QString &title, int preselectedTreeId, QWidget *parent)
    : QDialog(parent)
    , m_trees(new QComboBox(this))
{
    setWindowTitle(title);
    m_trees->setObjectName(QStringLiteral("trees"));
    m_trees->setMinimumContentsLength(24);
    for (const int id : Candidates(manager)) {
        const CKELData *tree = manager.Lookup(id);
        m_trees->addItem(TranslateGuiTexts::TreeEntry(tree->GetName(), kindName(tree->GetTypeCode())), id);
    }
    if (const int at = m_trees->findData(preselectedTreeId); at >= 0)
        m_trees->setCurrentIndex(at);

    auto *form = new QFormLayout;
    form->setObjectName(QStringLiteral("form"));
    form->addRow(TranslateGuiTexts::SelectBt, m_trees);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    QDialogButtonBox *buttons = DialogWidgets::OkCancel(this);
    buttons->button(QDialogButtonBox::Ok)->setEnabled(m_trees->count() > 0);
    layout->addWidget(buttons);
}

QList<int> CSelectBTDlg::Candidates(const CKELDataManager &manager)
{
    QList<int> ids;
    if (const CKELVersion *version = manager.CurrentVersion()) {
        appendTrees(version->RBTFolder(), ids);
        appendTrees(version->DBTFolder(), ids);
    }
    if (const CKELSolution *solution = manager.Solution())
        appendTrees(solution->EvtFolder(), ids);
    return ids;
}

bool CSelectBTDlg::IsEmpty() const
{
    return m_trees->count() == 0;
}

int CSelectBTDlg::SelectedTreeId() const
{
    return m_trees->currentData().toInt();
}

void CSelectBTDlg::OfferProperties(bool checked)
{
    if (!m_properties) {
        m_properties = new QCheckBox(TranslateGuiTexts::AddProperties, this);
        m_properties->setObjectName(QStringLiteral("properties"));
        // above the buttons, which are the layout's last item
        auto *box = static_cast<QVBoxLayout *>(layout());
        box->insertWidget(box->count() - 1, m_properties);
    }
    m_properties->setChecked(checked);
}

bool CSelectBTDlg::PropertiesChecked() const
{
    return m_properties && m_properties->isChecked();
}
