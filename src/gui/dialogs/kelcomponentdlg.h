#pragma once

#include <QDialog>

class CKELDataManager;
class CKELVersion;
class QCheckBox;
class QLineEdit;

// "New Component", and the same fields to rename one. Empty names and names
// another component of the version already has keep the dialog open.
class CKELComponentDlg : public QDialog
{
    Q_OBJECT
public:
    // renamedId: the component being renamed, or 0 for a new one.
    CKELComponentDlg(CKELDataManager &manager, const CKELVersion *version, int renamedId = 0,
                     QWidget *parent = nullptr);

    QString Name() const;
    bool IsSystemComponent() const;

    QLineEdit *NameEdit() const { return m_name; }
    QCheckBox *SystemBox() const { return m_system; }

    void accept() override;

private:
    CKELDataManager &m_manager;
    const CKELVersion *m_version;
    int m_renamedId;
    QLineEdit *m_name;
    QCheckBox *m_system;
};
