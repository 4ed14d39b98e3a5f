#pragma once

#include <QDialog>

class CKELDataManager;
class QListWidget;

// "Select RBT": the tree that receives exported nodes when no RBT window
// is active. Lists the RBTs of the current version; the first is chosen.
class CSelectRBTDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CSelectRBTDlg(const CKELDataManager &manager, QWidget *parent = nullptr);

    bool IsEmpty() const;
    // 0 when nothing is chosen.
    int SelectedTreeId() const;
    QListWidget *List() const { return m_list; }

    void accept() override;

private:
    QListWidget *m_list;
};
