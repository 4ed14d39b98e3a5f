#include "kelnodedlg.h"
#include "dialogtexts.h"
#include "edit/edittexts.h"

#include "dialogwidgets.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/kelrequirement.h"
#include "model/keltree.h"
#include "model/prompt.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSet>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QComboBox *editableCombo(QWidget *parent, const QString &name)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMinimumContentsLength(18);
    return combo;
}

QButtonGroup *radioRow(QWidget *parent, QGroupBox *box, const QStringList &texts, const QString &name)
{
    auto *group = new QButtonGroup(parent);
    auto *row = new QHBoxLayout(box);
    for (int i = 0; i < texts.size(); ++i) {
        auto *button = new QRadioButton(texts[i], box);
        button->setObjectName(name + QString::number(i));
        group->addButton(button, i);
        row->addWidget(button);
    }
    group->button(0)->setChecked(true);
    return group;
}

QCheckBox *checkBox(QWidget *parent, const QString &text, const QString &name)
{
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(name);
    return box;
}

} // namespace

CKELNodeDlg::CKELNodeDlg(const CKELDataManager &manager, const CKELVersion *version, CPrompt &prompt, QWidget *parent)
    : QDialog(parent)
    , m_manager(manager)
    , m_version(version)
    , m_prompt(prompt)
    , m_component(editableCombo(this, QStringLiteral("component")))
    , m_qualifier(editableCombo(this, QStringLiteral("qualifier")))
    , m_behavior(editableCombo(this, QStringLiteral("behavior")))
    , m_type(new QComboBox(this))
    , m_tag(editableCombo(this, QStringLiteral("requirementTag")))
    , m_doubleLine(checkBox(this, DialogTexts::DoubleLine, QStringLiteral("doubleLine")))
    , m_nonDeterministic(checkBox(this, DialogTexts::NonDeterministic, QStringLiteral("nonDeterministic")))
    , m_atomic(checkBox(this, DialogTexts::Atomic, QStringLiteral("atomic")))
    , m_setOperation(checkBox(this, DialogTexts::SetOperation, QStringLiteral("setOperation")))
    , m_hasExtendedTag(checkBox(this, DialogTexts::ExtraTag, QStringLiteral("hasExtendedTag")))
    , m_extendedTag(new QLineEdit(this))
    , m_displayExtendedTag(checkBox(this, DialogTexts::DisplayExtraTag, QStringLiteral("displayExtendedTag")))
    , m_displayExtraInfo(checkBox(this, DialogTexts::DisplayExtraInfo, QStringLiteral("displayExtraInfo")))
{
    setWindowTitle(DialogTexts::NodeTitle);
    m_type->setObjectName(QStringLiteral("behaviorType"));
    m_extendedTag->setObjectName(QStringLiteral("extendedTag"));
    DialogWidgets::FillBehaviorTypes(m_type);

    // what the version offers: its components, requirement tags and the
    // qualifiers its nodes already use
    QStringList qualifiers;
    if (version) {
        if (const CKELData *folder = version->ComponentsFolder()) {
            for (const auto &e : folder->Children()) {
                if (e->GetTypeCode() == KEL::Component)
                    m_component->addItem(e->GetName());
            }
        }
        if (const CKELData *folder = version->RequirementsFolder()) {
            for (const auto &e : folder->Children()) {
                if (e->GetTypeCode() == KEL::Requirement)
                    m_tag->addItem(e->GetName());
            }
        }
        QSet<QString> seen;
        for (const CKELData *folder : {static_cast<const CKELData *>(version->RBTFolder()),
                                       static_cast<const CKELData *>(version->DBTFolder())}) {
            if (!folder)
                continue;
            for (const auto &t : folder->Children()) {
                if (!t->IsTree())
                    continue;
                for (const CKELMethod *n : static_cast<const CKELTree *>(t.get())->Nodes()) {
                    if (!n->qualifier.isEmpty() && !seen.contains(n->qualifier)) {
                        seen.insert(n->qualifier);
                        qualifiers.append(n->qualifier);
                    }
                }
            }
        }
        std::sort(qualifiers.begin(), qualifiers.end());
    }
    m_qualifier->addItems(qualifiers);
    m_component->setCurrentIndex(-1);
    m_qualifier->setCurrentIndex(-1);
    m_tag->setCurrentIndex(-1);
    m_doubleLine->setToolTip(DialogTexts::DoubleLineTip);
    m_nonDeterministic->setToolTip(DialogTexts::NonDeterministicTip);
    m_atomic->setToolTip(DialogTexts::AtomicTip);
    m_setOperation->setToolTip(DialogTexts::SetOperationTip);
    m_hasExtendedTag->setToolTip(DialogTexts::ExtraTagTip);
    m_displayExtendedTag->setToolTip(DialogTexts::DisplayExtraTagTip);
    m_displayExtraInfo->setToolTip(DialogTexts::DisplayExtraInfoTip);
    m_extendedTag->setEnabled(false);
    m_displayExtendedTag->setChecked(true);
    m_displayExtraInfo->setChecked(true);

    auto *flowBox = new QGroupBox(DialogTexts::FlowControl, this);
    m_flow = radioRow(this, flowBox, {DialogTexts::FlowNormal, DialogTexts::FlowReversion, DialogTexts::FlowGoTo},
                      QStringLiteral("flow"));
    auto *reqBox = new QGroupBox(DialogTexts::InRequirement, this);
    m_inRequirement =
        radioRow(this, reqBox,
                 {DialogTexts::InRequirementYes, DialogTexts::InRequirementImply, DialogTexts::InRequirementMissing},
                 QStringLiteral("inRequirement"));

    auto *grid = new QGridLayout;
    int row = 0;
    auto addRow = [&](const QString &label, QWidget *field) {
        auto *l = new QLabel(label, this);
        l->setBuddy(field);
        grid->addWidget(l, row, 0);
        grid->addWidget(field, row, 1);
        ++row;
    };
    addRow(DialogTexts::ComponentLabel, m_component);
    addRow(DialogTexts::QualificationLabel, m_qualifier);
    addRow(DialogTexts::BehaviorNameLabel, m_behavior);
    addRow(DialogTexts::BehaviorTypeLabel, m_type);
    addRow(DialogTexts::RequirementTagLabel, m_tag);

    auto *flags = new QGridLayout;
    flags->addWidget(m_doubleLine, 0, 0);
    flags->addWidget(m_nonDeterministic, 0, 1);
    flags->addWidget(m_atomic, 1, 0);
    flags->addWidget(m_setOperation, 1, 1);
    auto *extra = new QHBoxLayout;
    extra->addWidget(m_hasExtendedTag);
    extra->addWidget(m_extendedTag, 1);
    auto *display = new QHBoxLayout;
    display->addWidget(m_displayExtendedTag);
    display->addWidget(m_displayExtraInfo);
    display->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(flags);
    layout->addWidget(flowBox);
    layout->addWidget(reqBox);
    layout->addLayout(extra);
    layout->addLayout(display);
    layout->addWidget(DialogWidgets::OkCancel(this));

    connect(m_component, &QComboBox::currentTextChanged, this, &CKELNodeDlg::fillBehaviors);
    connect(m_hasExtendedTag, &QCheckBox::toggled, m_extendedTag, &QWidget::setEnabled);
}

void CKELNodeDlg::fillBehaviors()
{
    const QString typed = m_behavior->currentText();
    m_behavior->clear();
    const CKELComponent *c = m_manager.FindComponent(m_component->currentText().trimmed(), m_version);
    if (c) {
        // a behavior may exist under several types; it is offered once
        QStringList behaviors;
        for (const auto &e : c->Children()) {
            if (e->GetTypeCode() != KEL::State)
                continue;
            const QString &b = static_cast<const CKELState *>(e.get())->Behavior();
            if (!behaviors.contains(b))
                behaviors.append(b);
        }
        m_behavior->addItems(behaviors);
    }
    m_behavior->setCurrentIndex(-1);
    m_behavior->setEditText(typed);
}

void CKELNodeDlg::SetAttributes(const CNodeAttributes &a)
{
    m_original = a;
    m_component->setEditText(a.component);
    fillBehaviors();
    m_behavior->setEditText(a.behavior);
    DialogWidgets::SelectBehaviorType(m_type, a.behaviorType);
    m_qualifier->setEditText(a.qualifier);
    m_tag->setEditText(a.requirementTag);
    m_doubleLine->setChecked(a.doubleLine);
    m_nonDeterministic->setChecked(a.nonDeterministic);
    m_atomic->setChecked(a.atomic);
    m_setOperation->setChecked(a.setOperation);
    if (QAbstractButton *b = m_flow->button(a.jumpType))
        b->setChecked(true);
    if (QAbstractButton *b = m_inRequirement->button(a.missType))
        b->setChecked(true);
    m_hasExtendedTag->setChecked(a.hasExtendedTag);
    m_extendedTag->setText(a.extendedTag);
    m_extendedTag->setEnabled(a.hasExtendedTag);
    m_displayExtendedTag->setChecked(a.displayExtendedTag);
    m_displayExtraInfo->setChecked(a.displayExtraInfo);
}

CNodeAttributes CKELNodeDlg::Attributes() const
{
    CNodeAttributes a = m_original;
    a.component = m_component->currentText().trimmed();
    a.qualifier = m_qualifier->currentText().trimmed();
    a.behavior = m_behavior->currentText().trimmed();
    a.behaviorType = DialogWidgets::SelectedBehaviorType(m_type);
    a.requirementTag = m_tag->currentText().trimmed();
    a.doubleLine = m_doubleLine->isChecked();
    a.nonDeterministic = m_nonDeterministic->isChecked();
    a.atomic = m_atomic->isChecked();
    a.setOperation = m_setOperation->isChecked();
    a.jumpType = std::max(0, m_flow->checkedId());
    a.missType = std::max(0, m_inRequirement->checkedId());
    a.hasExtendedTag = m_hasExtendedTag->isChecked();
    a.extendedTag = a.hasExtendedTag ? m_extendedTag->text() : QString();
    a.displayExtendedTag = m_displayExtendedTag->isChecked();
    a.displayExtraInfo = m_displayExtraInfo->isChecked();
    return a;
}

void CKELNodeDlg::accept()
{
    if (m_component->currentText().trimmed().isEmpty()) {
        m_prompt.Message(EditTexts::ComponentEmpty);
        m_component->setFocus();
        return;
    }
    if (m_behavior->currentText().trimmed().isEmpty()) {
        m_prompt.Message(EditTexts::StateNameEmpty);
        m_behavior->setFocus();
        return;
    }
    QDialog::accept();
}
