#pragma once

#include <QDialog>
#include <QStringList>

class CPrompt;
class QLineEdit;
class QListWidget;
class QPushButton;

// "Add Extra Information": the tag and name pairs shown below a node.
// "Close" hands back the edited pairs (accept); Escape leaves the node as it was.
class CKELExtraInfoDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CKELExtraInfoDlg(CPrompt &prompt, QWidget *parent = nullptr);

    void SetEntries(const QStringList &tags, const QStringList &names);
    const QStringList &Tags() const { return m_tags; }
    const QStringList &Names() const { return m_names; }

    QLineEdit *TagEdit() const { return m_tag; }
    QLineEdit *NameEdit() const { return m_name; }
    QListWidget *List() const { return m_list; }
    QPushButton *AddButton() const { return m_add; }
    QPushButton *RemoveButton() const { return m_remove; }
    QPushButton *CloseButton() const { return m_close; }

    static QString LineOf(const QString &tag, const QString &name) { return tag + QStringLiteral(" : ") + name; }

private:
    void add();
    void remove();

    CPrompt &m_prompt;
    QStringList m_tags;
    QStringList m_names;
    QLineEdit *m_tag;
    QLineEdit *m_name;
    QListWidget *m_list;
    QPushButton *m_add;
    QPushButton *m_remove;
    QPushButton *m_close;
};
