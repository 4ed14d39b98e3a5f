#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class CKELDataManager;
class QCheckBox;
class QComboBox;

// Asks which behavior tree a command works on: the RBTs and IBTs of the
// current version and the evolution trees, the given one preselected.
class CSelectBTDlg : public QDialog
{
    Q_OBJECT
public:
    CSelectBTDlg(const CKELDataManager &manager, const QString &title, int preselectedTreeId,
                 QWidget *parent = nullptr);

    // The trees offered, in list order.
    static QList<int> Candidates(const CKELDataManager &manager);
    bool IsEmpty() const;
    // 0 when nothing is offered.
    int SelectedTreeId() const;

    // Offers "Add properties to check" under the list, checked as given.
    void OfferProperties(bool checked);
    bool PropertiesChecked() const;

private:
    QComboBox *m_trees;
    QCheckBox *m_properties = nullptr;
};
