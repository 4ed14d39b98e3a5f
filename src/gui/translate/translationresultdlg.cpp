#include "translationresultdlg.h"
#include "translateguitexts.h"

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
    times->addRow(TranslateGuiTexts::ParsingTime, figure(this, QStringLiteral("parsingTime"), ms(m_result.parsingMs)));
    times->addRow(TranslateGuiTexts::TranslationTime,
                  figure(this, QStringLiteral("translationTime"), ms(m_result.translationMs)));

    auto *figures = new QGroupBox(TranslateGuiTexts::RandomTree, this);
    auto *figureForm = new QFormLayout(figures);
    const struct
    {
        const QString &label;
        const char *objectName;
        int value;
    } rows[] = {
        {TranslateGuiTexts::Nodes, "nodes", m_result.nodes},
        {TranslateGuiTexts::Branches, "branches", m_result.branches},
        {TranslateGuiTexts::Reversions, "reversions", m_result.reversions},
        {TranslateGuiTexts::Macros, "macros", m_result.macros},
        {TranslateGuiTexts::ThreadKills, "threadKills", m_result.threadKills},
    };
    for (const auto &row : rows) {
        const QString value = m_result.hasRandomFigures ? QString::number(row.value) : QString();
        figureForm->addRow(row.label, figure(this, QString::fromLatin1(row.objectName), value));
    }
    figures->setEnabled(m_result.hasRandomFigures);

    auto *saveTranslation = new QPushButton(TranslateGuiTexts::SaveTranslation, this);
    auto *saveTimes = new QPushButton(TranslateGuiTexts::SaveTimes, this);
    auto *close = new QPushButton(TranslateGuiTexts::Close, this);
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
    const QString path = m_runner.SaveFileName(this, TranslateGuiTexts::SaveTranslation, m_result.FileFilter(),
                                               m_result.DefaultExtension(), QString());
    if (path.isEmpty())
        return false;
    if (!write(path, m_result.TextForFile(path), TranslateGuiTexts::TranslationNotSaved))
        return false;
    if (!m_result.usesSets)
        return true;
    // the model calls the context "set", which the SAL tools look for beside it
    const QString context = SalSetContextPath(path);
    if (QFileInfo(context) == QFileInfo(path)) {
        m_prompt.Message(TranslateGuiTexts::SetContextIsModel);
        return false;
    }
    return write(context, SalSetContext(), TranslateGuiTexts::SetContextNotSaved);
}

bool CTranslationResultDlg::SaveTimes()
{
    const QString path = m_runner.SaveFileName(this, TranslateGuiTexts::SaveTimes, TranslateGuiTexts::TextFileFilter,
                                               QStringLiteral("txt"), QString());
    if (path.isEmpty())
        return false;
    return write(path, m_result.TimesText(), TranslateGuiTexts::TimesNotSaved);
}

bool CTranslationResultDlg::write(const QString &path, const QString &text, const QString &failure)
{
    QString error;
    if (WriteTranslationFile(path, text, &error))
        return true;
    m_prompt.Message(failure + error);
    return false;
}
