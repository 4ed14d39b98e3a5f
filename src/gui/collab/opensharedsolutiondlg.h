#pragma once

#include <QDialog>
#include <QStringList>

class CPrompt;
class QListWidget;

// "Open Shared": the server's solutions to pick one from. Open without a
// choice says so and stays open.
class COpenSharedSolutionDlg : public QDialog
{
    Q_OBJECT
public:
    COpenSharedSolutionDlg(const QStringList &names, CPrompt &prompt, QWidget *parent = nullptr);

    QListWidget *List() const { return m_list; }
    // The name chosen when the dialog was accepted.
    QString SelectedName() const { return m_selected; }
    // Accepted through "Earlier Saves...": list the saves rather than open.
    bool WantsHistory() const { return m_history; }

    void accept() override;

private:
    CPrompt &m_prompt;
    QListWidget *m_list;
    QString m_selected;
    bool m_history = false;
};
