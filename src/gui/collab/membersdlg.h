#pragma once

#include <QDialog>

class CSharedSolutionClient;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// "Members...": who may use the open shared solution. Everyone who holds
// it sees the list; its owner adds and removes members. It does not block
// the window: the list follows the server's answers as they come.
class CMembersDlg : public QDialog
{
    Q_OBJECT
public:
    CMembersDlg(CSharedSolutionClient &client, QWidget *parent = nullptr);

    QListWidget *List() const { return m_list; }
    QLineEdit *UserEdit() const { return m_user; }
    QPushButton *AddButton() const { return m_add; }
    QPushButton *RemoveButton() const { return m_remove; }

    void Refresh();

private:
    void fill(const QString &name, const QString &owner, const QStringList &members);
    void updateButtons();

    CSharedSolutionClient &m_client;
    QString m_name;
    QString m_owner;
    QLabel *m_ownerLabel;
    QListWidget *m_list;
    QLineEdit *m_user;
    QPushButton *m_add;
    QPushButton *m_remove;
};
