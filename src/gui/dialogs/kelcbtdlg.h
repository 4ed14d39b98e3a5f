#pragma once

#include <QDialog>
#include <QString>

class CKELDataManager;
class QListWidget;
class QPushButton;

// "Select details for CBT": a behavior tree and one of the components its
// nodes name. Choosing a tree refills the components, in the order in which
// the tree meets them from its root.
class CKELCBTDlg : public QDialog
{
    Q_OBJECT
public:
    // treeId: the tree the command came from, chosen at first and listed
    // even when it lies outside the current version; 0 chooses the first.
    CKELCBTDlg(const CKELDataManager &manager, int treeId = 0, QWidget *parent = nullptr);

    int TreeId() const;
    QString Component() const;
    bool SelectTree(int treeId);
    bool SelectComponent(const QString &component);

    QListWidget *Trees() const { return m_trees; }
    QListWidget *Components() const { return m_components; }

    // Stays open until a tree and a component are chosen.
    void accept() override;

private:
    void addTree(int treeId);
    void fillComponents();
    void updateOk();

    const CKELDataManager &m_manager;
    QListWidget *m_trees;
    QListWidget *m_components;
    QPushButton *m_ok = nullptr;
};
