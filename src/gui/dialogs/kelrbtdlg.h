#pragma once

#include <QDialog>
#include <QList>

class CKELDataManager;
class CKELVersion;
class QLabel;
class QLineEdit;
class QListWidget;

// "New  RBT": a name, the requirements the tree realises and its level gap.
// Changing an RBT shows the same dialog filled with the tree's values. In
// its second mode, "Get RBTs", it names an IBT and lets the user pick RBTs.
class CKELRBTDlg : public QDialog
{
    Q_OBJECT
public:
    enum Mode { NewRBT, ChangeRBT, GetRBTs };

    // treeId: the RBT being changed (ChangeRBT) or the IBT that receives
    // the picked RBTs (GetRBTs); 0 for a new RBT.
    CKELRBTDlg(CKELDataManager &manager, const CKELVersion *version, Mode mode, int treeId = 0,
               QWidget *parent = nullptr);

    Mode GetMode() const { return m_mode; }
    QString Name() const;
    // Ids of the chosen lines, in list order: requirements, or RBTs in "Get RBTs".
    QList<int> SelectedIds() const;
    // 0 when the field is empty, which gives a tree the default gap.
    int LevelGap() const;

    QLineEdit *NameEdit() const { return m_name; }
    QListWidget *List() const { return m_list; }
    QLineEdit *LevelGapEdit() const { return m_levelGap; }

    void accept() override;

private:
    void fillRequirements(const QList<int> &chosen);
    void fillRBTs();

    CKELDataManager &m_manager;
    const CKELVersion *m_version;
    Mode m_mode;
    int m_treeId;
    QLineEdit *m_name;
    QListWidget *m_list;
    QLineEdit *m_levelGap;
};
