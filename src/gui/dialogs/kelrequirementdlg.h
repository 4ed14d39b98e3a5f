#pragma once

#include <QDialog>

class CPrompt;
class QLineEdit;
class QPlainTextEdit;

// "New or Change  Requirement": a tag and a description. An empty tag keeps
// the dialog open; the model checks for duplicates when the command runs.
class CKELRequirementDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CKELRequirementDlg(CPrompt &prompt, QWidget *parent = nullptr);

    void SetValues(const QString &tag, const QString &description);
    // Surrounding blanks are not part of a tag.
    QString Tag() const;
    QString Description() const;

    QLineEdit *TagEdit() const { return m_tag; }
    QPlainTextEdit *DescriptionEdit() const { return m_description; }

    void accept() override;

private:
    CPrompt &m_prompt;
    QLineEdit *m_tag;
    QPlainTextEdit *m_description;
};
