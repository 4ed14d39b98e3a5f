#pragma once

#include "translate/translatesalmain.h"

#include <QDialog>

class CDialogRunner;
class CPrompt;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// "SAL Translation" or "UPPAAL Translation": the text of one translation,
// its times and, for a generated tree, its figures, with the two saves.
class CTranslationResultDlg : public QDialog
{
    Q_OBJECT
public:
    CTranslationResultDlg(CTranslationResult result, CDialogRunner &runner, CPrompt &prompt, QWidget *parent = nullptr);

    const CTranslationResult &Result() const { return m_result; }
    // Ask for a file and write to it; false when cancelled or not written.
    bool SaveTranslation();
    bool SaveTimes();

private:
    // The failure text goes in front of the reason.
    bool write(const QString &path, const QString &text, const QString &failure);

    CTranslationResult m_result;
    CDialogRunner &m_runner;
    CPrompt &m_prompt;
};
