#pragma once

#include "collab/clientsocket.h"

#include <QDialog>

class CPrompt;
class QTreeWidget;

// The saves of a shared solution, newest first: time, user and size. The
// one chosen opens read-only.
class CSharedHistoryDlg : public QDialog
{
    Q_OBJECT
public:
    CSharedHistoryDlg(const QString &name, const QList<CSharedSave> &saves, CPrompt &prompt, QWidget *parent = nullptr);

    QTreeWidget *List() const { return m_list; }
    // The save chosen when the dialog was accepted.
    const CSharedSave &Selected() const { return m_selected; }

    void accept() override;

private:
    CPrompt &m_prompt;
    QList<CSharedSave> m_saves;
    QTreeWidget *m_list;
    CSharedSave m_selected;
};
