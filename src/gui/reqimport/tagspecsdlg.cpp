#include "tagspecsdlg.h"
#include "reqimportguitexts.h"

#include "dialogs/dialogwidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

namespace {

void selectCharacter(QComboBox *combo, QChar ch)
{
    for (int i = 0; i < combo->count(); ++i) {
        if (CTagSpecsDlg::EntryCharacter(combo->itemText(i)) == ch) {
            combo->setCurrentIndex(i);
            return;
        }
    }
}

} // namespace

CTagSpecsDlg::CTagSpecsDlg(QWidget *parent)
    : QDialog(parent)
    , m_onlyAdded(new QCheckBox(ReqImportGuiTexts::UseOnlyAddedTags, this))
    , m_precededBy(new QComboBox(this))
    , m_wordsInTag(new QComboBox(this))
    , m_separator(new QComboBox(this))
{
    setWindowTitle(ReqImportGuiTexts::TagSpecsTitle);
    m_onlyAdded->setObjectName(QStringLiteral("onlyAdded"));
    m_precededBy->setObjectName(QStringLiteral("precededBy"));
    m_wordsInTag->setObjectName(QStringLiteral("wordsInTag"));
    m_separator->setObjectName(QStringLiteral("separator"));
    m_precededBy->addItems({ReqImportGuiTexts::NewlineEntry, ReqImportGuiTexts::PeriodEntry});
    m_wordsInTag->addItems({ReqImportGuiTexts::SingleWord});
    m_separator->addItems(
        {ReqImportGuiTexts::PeriodEntry, ReqImportGuiTexts::ColonEntry, ReqImportGuiTexts::NewlineEntry});

    auto *form = new QFormLayout;
    form->addRow(m_onlyAdded);
    form->addRow(ReqImportGuiTexts::PrecededByLabel, m_precededBy);
    form->addRow(ReqImportGuiTexts::WordsInTagLabel, m_wordsInTag);
    form->addRow(ReqImportGuiTexts::SeparatorLabel, m_separator);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch(1);
    layout->addWidget(DialogWidgets::OkCancel(this));
    // tags on lines of their own, "R1: ...", are the common case
    SetRules(CTagSpecs());
}

QChar CTagSpecsDlg::EntryCharacter(const QString &entry)
{
    const qsizetype open = entry.indexOf(u'(');
    const qsizetype close = entry.lastIndexOf(u')');
    if (open < 0 || close <= open + 1)
        return QChar();
    const QStringView inside = QStringView(entry).sliced(open + 1, close - open - 1);
    if (inside == u"\\n")
        return u'\n';
    return inside.front();
}

CTagSpecs CTagSpecsDlg::Rules() const
{
    CTagSpecs rules;
    rules.onlyAddedTags = m_onlyAdded->isChecked();
    rules.precededBy = EntryCharacter(m_precededBy->currentText());
    rules.separator = EntryCharacter(m_separator->currentText());
    return rules;
}

void CTagSpecsDlg::SetRules(const CTagSpecs &rules)
{
    m_onlyAdded->setChecked(rules.onlyAddedTags);
    selectCharacter(m_precededBy, rules.precededBy);
    selectCharacter(m_separator, rules.separator);
}
