#pragma once

#include <QDialog>
#include <QList>

class CKELDataManager;
class CPrompt;
class QComboBox;
class QListWidget;
class QPushButton;

// "Create New Evolution Tree": the user picks trees one by one, each from
// a version of the project, in the order of their versions' history.
class CKELEVTDlg : public QDialog
{
    Q_OBJECT
public:
    CKELEVTDlg(const CKELDataManager &manager, CPrompt &prompt, QWidget *parent = nullptr);

    // The trees added, in the order they were added.
    const QList<int> &TreeIds() const { return m_treeIds; }

    // "Add Tree": the tree chosen now joins the list; false (after saying
    // why) when a field is empty.
    bool AddTree();
    bool SelectVersion(const QString &name);
    bool SelectTree(const QString &name);

    QComboBox *Versions() const { return m_versions; }
    QComboBox *Trees() const { return m_trees; }
    QListWidget *Chosen() const { return m_chosen; }
    QPushButton *AddButton() const { return m_add; }
    QPushButton *CreateButton() const { return m_create; }

    // "Create EVT": closes only with at least two trees.
    void accept() override;

private:
    void fillTrees();

    const CKELDataManager &m_manager;
    CPrompt &m_prompt;
    QComboBox *m_versions;
    QComboBox *m_trees;
    QListWidget *m_chosen;
    QPushButton *m_add;
    QPushButton *m_create;
    QList<int> m_treeIds;
};
