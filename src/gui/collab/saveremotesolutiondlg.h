#pragma once

#include <QDialog>

class QLineEdit;

// "Save Shared": the name the solution gets on the server.
class CSaveRemoteSolutionDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CSaveRemoteSolutionDlg(QWidget *parent = nullptr);

    void SetName(const QString &name);
    QString Name() const;
    QLineEdit *NameEdit() const { return m_name; }

private:
    QLineEdit *m_name;
};
