#include "kelcbtdlg.h"
#include "dialogtexts.h"

#include "derive/cbt.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/keltree.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CKELCBTDlg::CKELCBTDlg(const CKELDataManager &manager, int treeId, QWidget *parent)
    : QDialog(parent)
    , m_manager(manager)
    , m_trees(new QListWidget(this))
    , m_components(new QListWidget(this))
{
    setWindowTitle(DialogTexts::CbtTitle);
    m_trees->setObjectName(QStringLiteral("trees"));
    m_components->setObjectName(QStringLiteral("components"));

    // the trees of the current version, then the evolution trees
    if (const CKELVersion *v = manager.CurrentVersion()) {
        for (const CKELData *folder :
             {static_cast<const CKELData *>(v->RBTFolder()), static_cast<const CKELData *>(v->DBTFolder())}) {
            if (!folder)
                continue;
            for (const auto &e : folder->Children()) {
                if (e->GetTypeCode() == KEL::RBT || e->GetTypeCode() == KEL::DBT)
                    addTree(e->GetId());
            }
        }
    }
    if (const CKELSolution *s = manager.Solution(); s && s->EvtFolder()) {
        for (const auto &e : s->EvtFolder()->Children()) {
            if (e->GetTypeCode() == KEL::EVT)
                addTree(e->GetId());
        }
    }
    if (treeId)
        addTree(treeId);

    auto *treeLabel = new QLabel(DialogTexts::SelectBt, this);
    auto *componentLabel = new QLabel(DialogTexts::SelectComponent, this);
    treeLabel->setBuddy(m_trees);
    componentLabel->setBuddy(m_components);
    auto *lists = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    left->addWidget(treeLabel);
    left->addWidget(m_trees, 1);
    auto *right = new QVBoxLayout;
    right->addWidget(componentLabel);
    right->addWidget(m_components, 1);
    lists->addLayout(left);
    lists->addLayout(right);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addWidget(buttons);
    resize(480, 320);

    connect(m_trees, &QListWidget::currentRowChanged, this, &CKELCBTDlg::fillComponents);
    connect(m_components, &QListWidget::currentRowChanged, this, &CKELCBTDlg::updateOk);
    if (!(treeId && SelectTree(treeId)) && m_trees->count() > 0)
        m_trees->setCurrentRow(0);
    updateOk();
}

void CKELCBTDlg::addTree(int treeId)
{
    for (int row = 0; row < m_trees->count(); ++row) {
        if (m_trees->item(row)->data(Qt::UserRole).toInt() == treeId)
            return;
    }
    const CKELData *e = m_manager.Lookup(treeId);
    // a CBT projects a tree, never another CBT
    if (!e || !e->IsTree() || e->GetTypeCode() == KEL::CBT)
        return;
    QString text = DialogTexts::TreeEntry(e->GetType(), e->GetName());
    if (const CKELVersion *v = m_manager.VersionOf(e); v && v != m_manager.CurrentVersion())
        text += DialogTexts::Parenthesized(v->GetName());
    auto *item = new QListWidgetItem(text, m_trees);
    item->setData(Qt::UserRole, treeId);
}

void CKELCBTDlg::fillComponents()
{
    m_components->clear();
    const CKELData *e = m_manager.Lookup(TreeId());
    if (e && e->IsTree())
        m_components->addItems(Cbt::ComponentList(*static_cast<const CKELTree *>(e)));
    if (m_components->count() > 0)
        m_components->setCurrentRow(0);
    updateOk();
}

void CKELCBTDlg::updateOk()
{
    if (m_ok)
        m_ok->setEnabled(TreeId() != 0 && !Component().isEmpty());
}

void CKELCBTDlg::accept()
{
    if (TreeId() && !Component().isEmpty())
        QDialog::accept();
}

int CKELCBTDlg::TreeId() const
{
    const QListWidgetItem *item = m_trees->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : 0;
}

QString CKELCBTDlg::Component() const
{
    const QListWidgetItem *item = m_components->currentItem();
    return item ? item->text() : QString();
}

bool CKELCBTDlg::SelectTree(int treeId)
{
    for (int row = 0; row < m_trees->count(); ++row) {
        if (m_trees->item(row)->data(Qt::UserRole).toInt() == treeId) {
            m_trees->setCurrentRow(row);
            return true;
        }
    }
    return false;
}

bool CKELCBTDlg::SelectComponent(const QString &component)
{
    for (int row = 0; row < m_components->count(); ++row) {
        if (m_components->item(row)->text() == component) {
            m_components->setCurrentRow(row);
            return true;
        }
    }
    return false;
}
