#pragma once

#include <QDialog>

class QLineEdit;

// "Add New Version": the name of the version to make, taken as typed.
class CAddVersionDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CAddVersionDlg(QWidget *parent = nullptr);

    QString VersionName() const;
    QLineEdit *NameEdit() const { return m_name; }

private:
    QLineEdit *m_name;
};
