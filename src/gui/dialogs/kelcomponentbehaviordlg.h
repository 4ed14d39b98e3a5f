#pragma once

#include <QDialog>

class CKELComponent;
class CKELDataManager;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

// "Change Component Behaviors": picks a component of the current version,
// lists its behaviors, and adds (or, in a local solution, removes) them
// through the model at once. It follows the model, so a behavior added by a
// colleague of a shared solution appears while the dialog is open.
class CKELComponentBehaviorDlg : public QDialog
{
    Q_OBJECT
public:
    CKELComponentBehaviorDlg(CKELDataManager &manager, int componentId, QWidget *parent = nullptr);

    QComboBox *ComponentCombo() const { return m_component; }
    QLineEdit *BehaviorEdit() const { return m_behavior; }
    QComboBox *TypeCombo() const { return m_type; }
    QListWidget *BehaviorList() const { return m_list; }
    QPushButton *AddButton() const { return m_add; }
    QPushButton *RemoveButton() const { return m_remove; }

private:
    void fillComponents(int selectId);
    void fillBehaviors();
    void behaviorChosen();
    void add();
    void remove();
    const CKELComponent *chosenComponent() const;

    CKELDataManager &m_manager;
    QComboBox *m_component;
    QLineEdit *m_behavior;
    QComboBox *m_type;
    QListWidget *m_list;
    QPushButton *m_add;
    QPushButton *m_remove;
};
