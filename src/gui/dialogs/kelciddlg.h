#pragma once

#include <QDialog>

class CKELDataManager;
class QComboBox;

// "Select details for CID": the tree and the component whose interface
// diagram is made. Choosing a tree lists its components in the order in
// which a walk from its root meets them.
class CKELCIDDlg : public QDialog
{
    Q_OBJECT
public:
    CKELCIDDlg(const CKELDataManager &manager, int preselectedTreeId = 0, QWidget *parent = nullptr);

    int TreeId() const;
    QString Component() const;
    QComboBox *Trees() const { return m_trees; }
    QComboBox *Components() const { return m_components; }

    // Stays open while tree or component is missing.
    void accept() override;

private:
    void fillComponents();

    const CKELDataManager &m_manager;
    QComboBox *m_trees;
    QComboBox *m_components;
};
