#include "kelrbtdlg.h"
#include "dialogtexts.h"
#include "edit/edittexts.h"

#include "dialogwidgets.h"
#include "model/keldatamanager.h"
#include "model/kelrequirement.h"
#include "model/keltree.h"
#include "model/prompt.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

CKELRBTDlg::CKELRBTDlg(CKELDataManager &manager, const CKELVersion *version, Mode mode, int treeId, QWidget *parent)
    : QDialog(parent)
    , m_manager(manager)
    , m_version(version)
    , m_mode(mode)
    , m_treeId(treeId)
    , m_name(new QLineEdit(this))
    , m_list(new QListWidget(this))
    , m_levelGap(new QLineEdit(this))
{
    m_name->setObjectName(QStringLiteral("name"));
    m_list->setObjectName(QStringLiteral("list"));
    m_levelGap->setObjectName(QStringLiteral("levelGap"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // digits only, and few enough that the value stays an int
    m_levelGap->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,6}")), m_levelGap));

    auto *nameLabel = new QLabel(this);
    auto *listLabel = new QLabel(this);
    auto *gapLabel = new QLabel(DialogTexts::LevelGapLabel, this);
    nameLabel->setBuddy(m_name);
    listLabel->setBuddy(m_list);
    gapLabel->setBuddy(m_levelGap);

    const CKELData *tree = manager.Lookup(treeId);
    if (mode == GetRBTs) {
        setWindowTitle(DialogTexts::GetRbtsTitle);
        nameLabel->setText(DialogTexts::IbtNameLabel);
        listLabel->setText(DialogTexts::SelectRbtsLabel);
        m_name->setEnabled(false);
        if (tree)
            m_name->setText(tree->GetName());
        gapLabel->hide();
        m_levelGap->hide();
        fillRBTs();
    } else {
        setWindowTitle(DialogTexts::NewRbtTitle);
        nameLabel->setText(DialogTexts::RbtNameLabel);
        listLabel->setText(DialogTexts::AssociatedRequirementsLabel);
        QList<int> chosen;
        if (mode == ChangeRBT && tree && tree->GetTypeCode() == KEL::RBT) {
            const auto *rbt = static_cast<const CKELRBT *>(tree);
            m_name->setText(rbt->GetName());
            chosen = rbt->AssociatedRequirements();
            m_levelGap->setText(QString::number(rbt->LevelGap()));
            // a change carries name and requirements only; the gap is shown, not edited
            m_levelGap->setEnabled(false);
        } else {
            m_levelGap->setText(QString::number(CKELRBT::kDefaultLevelGap));
        }
        fillRequirements(chosen);
    }

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(nameLabel);
    layout->addWidget(m_name);
    layout->addWidget(listLabel);
    layout->addWidget(m_list, 1);
    auto *gapRow = new QHBoxLayout;
    gapRow->addWidget(gapLabel);
    gapRow->addWidget(m_levelGap);
    gapRow->addStretch(1);
    layout->addLayout(gapRow);
    layout->addWidget(DialogWidgets::OkCancel(this));
    resize(460, 360);
}

void CKELRBTDlg::fillRequirements(const QList<int> &chosen)
{
    const CKELData *folder = m_version ? m_version->RequirementsFolder() : nullptr;
    if (!folder)
        return;
    for (const auto &e : folder->Children()) {
        if (e->GetTypeCode() != KEL::Requirement)
            continue;
        const auto *req = static_cast<const CKELRequirement *>(e.get());
        // one line each, even for descriptions that span several
        QString description = req->Description();
        description.replace(u'\n', u' ');
        description.remove(u'\r');
        auto *item = new QListWidgetItem(DialogTexts::TreeEntry(req->GetName(), description), m_list);
        item->setToolTip(req->Description());
        item->setData(Qt::UserRole, req->GetId());
        item->setSelected(chosen.contains(req->GetId()));
    }
}

void CKELRBTDlg::fillRBTs()
{
    const CKELData *folder = m_version ? m_version->RBTFolder() : nullptr;
    if (!folder)
        return;
    for (const auto &e : folder->Children()) {
        if (e->GetTypeCode() != KEL::RBT)
            continue;
        auto *item = new QListWidgetItem(e->GetName(), m_list);
        item->setData(Qt::UserRole, e->GetId());
    }
}

QString CKELRBTDlg::Name() const
{
    return m_name->text().trimmed();
}

QList<int> CKELRBTDlg::SelectedIds() const
{
    QList<int> ids;
    for (int row = 0; row < m_list->count(); ++row) {
        const QListWidgetItem *item = m_list->item(row);
        if (item->isSelected())
            ids.append(item->data(Qt::UserRole).toInt());
    }
    return ids;
}

int CKELRBTDlg::LevelGap() const
{
    return m_levelGap->text().toInt();
}

void CKELRBTDlg::accept()
{
    if (m_mode != GetRBTs) {
        const QString name = Name();
        if (name.isEmpty()) {
            m_manager.Prompt().Message(EditTexts::RbtTagEmpty);
            m_name->setFocus();
            return;
        }
        const CKELTree *other = m_manager.FindTree(KEL::RBTs, name, m_version);
        if (other && (m_mode == NewRBT || other->GetId() != m_treeId)) {
            m_manager.Prompt().Message(EditTexts::RbtTagAdded(name));
            m_name->setFocus();
            return;
        }
    }
    QDialog::accept();
}
