#include "kelcomponentbehaviordlg.h"
#include "dialogtexts.h"

#include "dialogwidgets.h"
#include "model/keldatamanager.h"
#include "model/kelrequirement.h"
#include "model/prompt.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CKELComponentBehaviorDlg::CKELComponentBehaviorDlg(CKELDataManager &manager, int componentId, QWidget *parent)
    : QDialog(parent)
    , m_manager(manager)
    , m_component(new QComboBox(this))
    , m_behavior(new QLineEdit(this))
    , m_type(new QComboBox(this))
    , m_list(new QListWidget(this))
    , m_add(new QPushButton(DialogTexts::Add, this))
    , m_remove(new QPushButton(DialogTexts::Remove, this))
{
    setWindowTitle(DialogTexts::ComponentBehaviorsTitle);
    m_component->setObjectName(QStringLiteral("component"));
    m_behavior->setObjectName(QStringLiteral("behavior"));
    m_type->setObjectName(QStringLiteral("behaviorType"));
    m_list->setObjectName(QStringLiteral("behaviors"));
    m_add->setObjectName(QStringLiteral("add"));
    m_remove->setObjectName(QStringLiteral("remove"));
    DialogWidgets::FillBehaviorTypes(m_type);

    auto *close = new QPushButton(DialogTexts::Close, this);
    close->setObjectName(QStringLiteral("close"));
    // Add is the natural answer to Enter in the behavior field
    m_add->setDefault(true);
    close->setAutoDefault(false);

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(DialogTexts::ComponentNameLabel, this), 0, 0);
    grid->addWidget(m_component, 0, 1);
    grid->addWidget(new QLabel(DialogTexts::ComponentBehaviorLabel, this), 1, 0);
    grid->addWidget(m_behavior, 1, 1);
    grid->addWidget(new QLabel(DialogTexts::BehaviorTypesLabel, this), 2, 0);
    grid->addWidget(m_type, 2, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_add);
    buttons->addWidget(m_remove);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->addWidget(m_list, 1);
    layout->addLayout(bottom);
    resize(420, 400);

    fillComponents(componentId);
    fillBehaviors();

    connect(m_component, &QComboBox::currentIndexChanged, this, &CKELComponentBehaviorDlg::fillBehaviors);
    connect(m_list, &QListWidget::currentRowChanged, this, &CKELComponentBehaviorDlg::behaviorChosen);
    connect(m_add, &QPushButton::clicked, this, &CKELComponentBehaviorDlg::add);
    connect(m_remove, &QPushButton::clicked, this, &CKELComponentBehaviorDlg::remove);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    // behaviors arrive and leave through the model, also those of other users
    auto refresh = [this](int id) {
        const CKELData *e = m_manager.Lookup(id);
        if (!e || e->GetTypeCode() == KEL::State || e->GetTypeCode() == KEL::Component)
            fillBehaviors();
    };
    connect(&m_manager, &CKELDataManager::elementAdded, this, refresh);
    connect(&m_manager, &CKELDataManager::elementChanged, this, refresh);
    connect(&m_manager, &CKELDataManager::elementRemoved, this, [this](int) { fillBehaviors(); });
    connect(&m_manager, &CKELDataManager::solutionReplaced, this, &QDialog::reject);
}

void CKELComponentBehaviorDlg::fillComponents(int selectId)
{
    const CKELVersion *version = m_manager.CurrentVersion();
    if (const auto *chosen = m_manager.LookupAs<CKELComponent>(selectId, KEL::Component)) {
        if (const CKELVersion *own = m_manager.VersionOf(chosen))
            version = own;
    }
    const CKELData *folder = version ? version->ComponentsFolder() : nullptr;
    if (!folder)
        return;
    for (const auto &e : folder->Children()) {
        if (e->GetTypeCode() != KEL::Component)
            continue;
        m_component->addItem(e->GetName(), e->GetId());
        if (e->GetId() == selectId)
            m_component->setCurrentIndex(m_component->count() - 1);
    }
}

const CKELComponent *CKELComponentBehaviorDlg::chosenComponent() const
{
    return m_manager.LookupAs<CKELComponent>(m_component->currentData().toInt(), KEL::Component);
}

void CKELComponentBehaviorDlg::fillBehaviors()
{
    const int keepId = m_list->currentItem() ? m_list->currentItem()->data(Qt::UserRole).toInt() : 0;
    const QSignalBlocker block(m_list);
    m_list->clear();
    const CKELComponent *c = chosenComponent();
    if (!c)
        return;
    for (const auto &e : c->Children()) {
        if (e->GetTypeCode() != KEL::State)
            continue;
        auto *item = new QListWidgetItem(e->GetName(), m_list);
        item->setData(Qt::UserRole, e->GetId());
        if (e->GetId() == keepId)
            m_list->setCurrentItem(item);
    }
}

void CKELComponentBehaviorDlg::behaviorChosen()
{
    const QListWidgetItem *item = m_list->currentItem();
    const auto *s = item ? m_manager.LookupAs<CKELState>(item->data(Qt::UserRole).toInt(), KEL::State) : nullptr;
    if (!s)
        return;
    m_behavior->setText(s->Behavior());
    DialogWidgets::SelectBehaviorType(m_type, s->BehaviorType());
}

void CKELComponentBehaviorDlg::add()
{
    const CKELComponent *c = chosenComponent();
    // the model adds behaviors by component name within the current version
    const CKELVersion *version = c ? m_manager.VersionOf(c) : nullptr;
    if (version && version != m_manager.CurrentVersion()) {
        m_manager.Prompt().Message(DialogTexts::BehaviorsInCurrentVersionOnly(version->GetName()));
        return;
    }
    const QString behavior = m_behavior->text().trimmed();
    if (m_manager.AddState(c ? c->GetName() : QString(), behavior, DialogWidgets::SelectedBehaviorType(m_type),
                           QString())) {
        m_behavior->clear();
        m_behavior->setFocus();
    }
}

void CKELComponentBehaviorDlg::remove()
{
    const QListWidgetItem *item = m_list->currentItem();
    if (item)
        m_manager.RemoveState(item->data(Qt::UserRole).toInt());
}
