#include "kelcindlg.h"
#include "dialogtexts.h"

#include "dialogwidgets.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/keltree.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

void addTree(QComboBox *combo, const CKELData &tree)
{
    // an RBT and an IBT may share a name; the kind tells them apart
    combo->addItem(tree.GetName() + DialogTexts::Parenthesized(tree.GetType()), tree.GetId());
}

void addTreesOf(QComboBox *combo, const CKELData *folder)
{
    if (!folder)
        return;
    for (const auto &child : folder->Children()) {
        const int code = child->GetTypeCode();
        if (code == KEL::RBT || code == KEL::DBT || code == KEL::EVT)
            addTree(combo, *child);
    }
}

} // namespace

void FillTreeChoices(QComboBox *combo, const CKELDataManager &manager, int preselectedId)
{
    combo->clear();
    if (const CKELVersion *v = manager.CurrentVersion()) {
        addTreesOf(combo, v->RBTFolder());
        addTreesOf(combo, v->DBTFolder());
    }
    if (const CKELSolution *s = manager.Solution())
        addTreesOf(combo, s->FirstChildOfType<CKELData>(KEL::EVTs));
    int at = combo->findData(preselectedId);
    if (at < 0 && preselectedId) {
        const CKELData *tree = manager.Lookup(preselectedId);
        if (tree && tree->IsTree() && tree->GetTypeCode() != KEL::CBT) {
            addTree(combo, *tree);
            at = combo->count() - 1;
        }
    }
    combo->setCurrentIndex(at >= 0 ? at : (combo->count() > 0 ? 0 : -1));
}

CKELCINDlg::CKELCINDlg(const CKELDataManager &manager, int preselectedTreeId, QWidget *parent)
    : QDialog(parent)
    , m_trees(new QComboBox(this))
{
    setWindowTitle(DialogTexts::CinTitle);
    m_trees->setObjectName(QStringLiteral("trees"));
    auto *label = new QLabel(DialogTexts::SelectBt, this);
    label->setBuddy(m_trees);
    FillTreeChoices(m_trees, manager, preselectedTreeId);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_trees);
    layout->addWidget(DialogWidgets::OkCancel(this));
}

int CKELCINDlg::TreeId() const
{
    return m_trees->currentData().toInt();
}

void CKELCINDlg::accept()
{
    if (TreeId() <= 0)
        return;
    QDialog::accept();
}
