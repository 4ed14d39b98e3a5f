#include "translationresultdlg.h"

#include "dialogs/dialogrunner.h"
#include "model/prompt.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace {

QLineEdit *figure(QWidget *parent, const QString &objectName, const QString &text)
{
    auto *edit = new QLineEdit(text, parent);
    edit->setObjectName(objectName);
    edit->setReadOnly(true);
    edit->setMaximumWidth(120);
    return edit;
}

} // namespace

CTranslationResultDlg::CTranslationResultDlg(CTranslationResult result, CDialogRunner &runner, CPrompt &prompt,
                                             QWidget *parent)
    : QDialog(parent)
    , m_result(std::move(result))
    , m_runner(runner)
    , m_prompt(prompt)
{
    setWindowTitle(m_result.Title());
    setSizeGripEnabled(true);

    auto *text = new QPlainTextEdit(this);
    text->setObjectName(QStringLiteral("text"));
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // the translators end lines with CR LF; the edit would show the CRs
    text->setPlainText(QString(m_result.text).remove(u'\r'));
    text->setMinimumSize(560, 360);

    const auto ms = [this](qint64 value) { return m_result.timesShown ? QString::number(value) : QString(); };
    auto *times = new QFormLayout;
    times->addRow(QStringLiteral("Parsing time (ms):"),
                  figure(this, QStringLiteral("parsingTime"), ms(m_result.parsingMs)));
    times->addRow(QStringLiteral("Translation time (ms):"),
                  figure(this, QStringLiteral("translationTime"), ms(m_result.translationMs)));

    auto *figures = new QGroupBox(QStringLiteral("Randomly generated BT"), this);
    auto *figureForm = new QFormLayout(figures);
    const struct
    {
        const char *label;
        const char *objectName;
        int value;
    } rows[] = {
        {"Number of nodes :", "nodes", m_result.nodes},
        {"Number of branches :", "branches", m_result.branches},
        {"Number of reversions :", "reversions", m_result.reversions},
        {"Number of macros :", "macros", m_result.macros},
        {"Number of thread kills :", "threadKills", m_result.threadKills},
    };
    for (const auto &row : rows) {
        const QString value = m_result.hasRandomFigures ? QString::number(row.value) : QString();
        figureForm->addRow(QString::fromLatin1(row.label), figure(this, QString::fromLatin1(row.objectName), value));
    }
    figures->setEnabled(m_result.hasRandomFigures);

    auto *saveTranslation = new QPushButton(QStringLiteral("Save translation"), this);
    auto *saveTimes = new QPushButton(QStringLiteral("Save times"), this);
    auto *close = new QPushButton(QStringLiteral("CLOSE"), this);
    saveTranslation->setObjectName(QStringLiteral("saveTranslation"));
    saveTimes->setObjectName(QStringLiteral("saveTimes"));
    close->setObjectName(QStringLiteral("close"));
    saveTranslation->setAutoDefault(false);
    saveTimes->setAutoDefault(false);
    close->setDefault(true);
    connect(saveTranslation, &QPushButton::clicked, this, [this] { SaveTranslation(); });
    connect(saveTimes, &QPushButton::clicked, this, [this] { SaveTimes(); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *side = new QVBoxLayout;
    side->addLayout(times);
    side->addWidget(figures);
    side->addStretch();
    side->addWidget(saveTranslation);
    side->addWidget(saveTimes);
    side->addWidget(close);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(text, 1);
    layout->addLayout(side);
}

bool CTranslationResultDlg::SaveTranslation()
{
    const QString path = m_runner.SaveFileName(this, QStringLiteral("Save translation"), m_result.FileFilter(),
                                               m_result.DefaultExtension(), QString());
    if (path.isEmpty())
        return false;
    if (!write(path, m_result.TextForFile(path), QStringLiteral("The translation was not saved. ")))
        return false;
    if (!m_result.usesSets)
        return true;
    // the model calls the context "set", which the SAL tools look for beside it
    const QString context = SalSetContextPath(path);
    if (QFileInfo(context) == QFileInfo(path)) {
        m_prompt.Message(QStringLiteral("The set context was not saved: the model itself is named set.sal."));
        return false;
    }
    return write(context, SalSetContext(), QStringLiteral("The set context was not saved. "));
}

bool CTranslationResultDlg::SaveTimes()
{
    const QString path =
        m_runner.SaveFileName(this, QStringLiteral("Save times"), QStringLiteral("Text File (*.txt);;All Files (*)"),
                              QStringLiteral("txt"), QString());
    if (path.isEmpty())
        return false;
    return write(path, m_result.TimesText(), QStringLiteral("The times were not saved. "));
}

bool CTranslationResultDlg::write(const QString &path, const QString &text, const QString &failure)
{
    QString error;
    if (WriteTranslationFile(path, text, &error))
        return true;
    m_prompt.Message(failure + error);
    return false;
}
