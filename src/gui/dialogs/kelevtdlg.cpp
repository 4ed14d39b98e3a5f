#include "kelevtdlg.h"
#include "dialogtexts.h"

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/keltree.h"
#include "model/prompt.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CKELEVTDlg::CKELEVTDlg(const CKELDataManager &manager, CPrompt &prompt, QWidget *parent)
    : QDialog(parent)
    , m_manager(manager)
    , m_prompt(prompt)
    , m_versions(new QComboBox(this))
    , m_trees(new QComboBox(this))
    , m_chosen(new QListWidget(this))
    , m_add(new QPushButton(DialogTexts::AddTree, this))
    , m_create(new QPushButton(DialogTexts::CreateEvt, this))
{
    setWindowTitle(DialogTexts::EvtTitle);
    m_versions->setObjectName(QStringLiteral("version"));
    m_trees->setObjectName(QStringLiteral("trees"));
    m_chosen->setObjectName(QStringLiteral("chosen"));
    m_add->setAutoDefault(false);
    m_create->setDefault(true);

    if (const CKELSolution *s = manager.Solution(); s && s->Project()) {
        for (const auto &e : s->Project()->Children()) {
            if (e->GetTypeCode() == KEL::Version)
                m_versions->addItem(e->GetName(), e->GetId());
        }
    }

    auto *form = new QFormLayout;
    form->addRow(DialogTexts::VersionLabel, m_versions);
    form->addRow(DialogTexts::BehaviorTreesLabel, m_trees);
    auto *addRow = new QHBoxLayout;
    addRow->addStretch(1);
    addRow->addWidget(m_add);
    auto *cancel = new QPushButton(DialogTexts::Cancel, this);
    cancel->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_create);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(addRow);
    layout->addWidget(m_chosen, 1);
    layout->addLayout(buttons);
    resize(460, 340);

    connect(m_versions, &QComboBox::currentIndexChanged, this, &CKELEVTDlg::fillTrees);
    connect(m_add, &QPushButton::clicked, this, &CKELEVTDlg::AddTree);
    connect(m_create, &QPushButton::clicked, this, &CKELEVTDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    fillTrees();
}

void CKELEVTDlg::fillTrees()
{
    m_trees->clear();
    const auto *v = m_manager.LookupAs<CKELVersion>(m_versions->currentData().toInt(), KEL::Version);
    if (!v)
        return;
    for (const CKELData *folder :
         {static_cast<const CKELData *>(v->RBTFolder()), static_cast<const CKELData *>(v->DBTFolder())}) {
        if (!folder)
            continue;
        for (const auto &e : folder->Children()) {
            // the id travels with the name: an RBT and a DBT may share one
            if (e->GetTypeCode() == KEL::RBT || e->GetTypeCode() == KEL::DBT)
                m_trees->addItem(e->GetName(), e->GetId());
        }
    }
}

bool CKELEVTDlg::SelectVersion(const QString &name)
{
    const int at = m_versions->findText(name, Qt::MatchExactly);
    if (at >= 0)
        m_versions->setCurrentIndex(at);
    return at >= 0;
}

bool CKELEVTDlg::SelectTree(const QString &name)
{
    const int at = m_trees->findText(name, Qt::MatchExactly);
    if (at >= 0)
        m_trees->setCurrentIndex(at);
    return at >= 0;
}

bool CKELEVTDlg::AddTree()
{
    const QString version = m_versions->currentText();
    const QString tree = m_trees->currentText();
    if (version.isEmpty()) {
        m_prompt.Message(DialogTexts::VersionEmpty);
        return false;
    }
    if (tree.isEmpty()) {
        m_prompt.Message(DialogTexts::TreeEmpty);
        return false;
    }
    const int id = m_trees->currentData().toInt();
    if (!m_manager.Lookup(id))
        return false;
    m_treeIds.append(id);
    m_chosen->addItem(DialogTexts::ChosenTree(m_treeIds.size(), version, tree));
    return true;
}

void CKELEVTDlg::accept()
{
    if (m_treeIds.size() < 2) {
        m_prompt.Message(DialogTexts::NeedTwoTrees);
        return;
    }
    QDialog::accept();
}
