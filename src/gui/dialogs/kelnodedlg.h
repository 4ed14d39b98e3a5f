#pragma once

#include "model/nodeattributes.h"

#include <QDialog>

class CKELDataManager;
class CPrompt;
class CKELVersion;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;

// "New Node or Change Node": every attribute of a node but its place. The
// lists offer the components, behaviors and tags of the given version; all
// but the behavior type also take text the lists do not hold yet.
class CKELNodeDlg : public QDialog
{
    Q_OBJECT
public:
    CKELNodeDlg(const CKELDataManager &manager, const CKELVersion *version, CPrompt &prompt, QWidget *parent = nullptr);

    // Shows a node's values; extra information passes through unchanged.
    void SetAttributes(const CNodeAttributes &attributes);
    CNodeAttributes Attributes() const;

    QComboBox *ComponentCombo() const { return m_component; }
    QComboBox *QualifierCombo() const { return m_qualifier; }
    QComboBox *BehaviorCombo() const { return m_behavior; }
    QComboBox *TypeCombo() const { return m_type; }
    QComboBox *TagCombo() const { return m_tag; }
    QCheckBox *ExtraTagBox() const { return m_hasExtendedTag; }
    QLineEdit *ExtraTagEdit() const { return m_extendedTag; }

    void accept() override;

private:
    void fillBehaviors();

    const CKELDataManager &m_manager;
    const CKELVersion *m_version;
    CPrompt &m_prompt;
    CNodeAttributes m_original;
    QComboBox *m_component;
    QComboBox *m_qualifier;
    QComboBox *m_behavior;
    QComboBox *m_type;
    QComboBox *m_tag;
    QCheckBox *m_doubleLine;
    QCheckBox *m_nonDeterministic;
    QCheckBox *m_atomic;
    QCheckBox *m_setOperation;
    QCheckBox *m_hasExtendedTag;
    QLineEdit *m_extendedTag;
    QCheckBox *m_displayExtendedTag;
    QCheckBox *m_displayExtraInfo;
    QButtonGroup *m_flow;
    QButtonGroup *m_inRequirement;
};
