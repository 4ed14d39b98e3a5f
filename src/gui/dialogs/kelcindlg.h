#pragma once

#include <QDialog>

class CKELDataManager;
class QComboBox;

// The trees a derived diagram can be made from: the RBTs and IBTs of the
// current version, then the evolution trees, each with its id as item
// data. The preselected tree is chosen, and added when it is elsewhere
// (a tree of another version that the user right-clicked).
void FillTreeChoices(QComboBox *combo, const CKELDataManager &manager, int preselectedId);

// "Select BT for CIN": which tree an interaction network is made from.
class CKELCINDlg : public QDialog
{
    Q_OBJECT
public:
    CKELCINDlg(const CKELDataManager &manager, int preselectedTreeId = 0, QWidget *parent = nullptr);

    int TreeId() const;
    QComboBox *Trees() const { return m_trees; }

    // Stays open while no tree is chosen.
    void accept() override;

private:
    QComboBox *m_trees;
};
