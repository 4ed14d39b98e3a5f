#pragma once

#include <QDialog>

class CKELDataManager;
class CKELVersion;
class QLineEdit;

// "New IBT ": the name of a new integrated tree, or the new name of a DBT.
class CKELIBTDlg : public QDialog
{
    Q_OBJECT
public:
    // renamedId: the DBT being renamed, or 0 for a new one.
    CKELIBTDlg(CKELDataManager &manager, const CKELVersion *version, int renamedId = 0, QWidget *parent = nullptr);

    QString Name() const;
    QLineEdit *NameEdit() const { return m_name; }

    void accept() override;

private:
    CKELDataManager &m_manager;
    const CKELVersion *m_version;
    int m_renamedId;
    QLineEdit *m_name;
};
