#include "saloptionsdlg.h"
#include "translateguitexts.h"

#include "dialogs/dialogwidgets.h"
#include "translate/externalparser.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

CSALOptionsDlg::CSALOptionsDlg(const CTranslateSettings &settings, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_mode1(new QRadioButton(TranslateGuiTexts::NoMessageBlocking, this))
    , m_mode2(new QRadioButton(TranslateGuiTexts::PrioritiseInternal, this))
    , m_mode4(new QRadioButton(TranslateGuiTexts::NoBuffering, this))
    , m_randomTree(new QCheckBox(TranslateGuiTexts::UseRandomTree, this))
    , m_failureViews(new QCheckBox(TranslateGuiTexts::UseFailureViews, this))
    , m_displayTime(new QCheckBox(TranslateGuiTexts::DisplayTime, this))
    , m_properties(new QCheckBox(TranslateGuiTexts::AddProperties, this))
    , m_intRange(new QLineEdit(this))
    , m_iterations(new QLineEdit(this))
    , m_scratchFolder(new QLineEdit(this))
    , m_setParser(new QLineEdit(this))
    , m_behaviorParser(new QLineEdit(this))
{
    setWindowTitle(TranslateGuiTexts::SalOptionsTitle);
    m_mode1->setObjectName(QStringLiteral("mode1"));
    m_mode2->setObjectName(QStringLiteral("mode2"));
    m_mode4->setObjectName(QStringLiteral("mode4"));
    m_randomTree->setObjectName(QStringLiteral("randomTree"));
    m_failureViews->setObjectName(QStringLiteral("failureViews"));
    m_displayTime->setObjectName(QStringLiteral("displayTime"));
    m_iterations->setObjectName(QStringLiteral("iterations"));
    m_properties->setObjectName(QStringLiteral("properties"));
    m_intRange->setObjectName(QStringLiteral("intRange"));
    m_scratchFolder->setObjectName(QStringLiteral("scratchFolder"));
    m_setParser->setObjectName(QStringLiteral("setParser"));
    m_behaviorParser->setObjectName(QStringLiteral("behaviorParser"));

    auto *modes = new QButtonGroup(this);
    modes->addButton(m_mode1);
    modes->addButton(m_mode2);
    modes->addButton(m_mode4);
    switch (CTranslateSettings::ValidMessageMode(settings.messageMode)) {
    case CTranslateSettings::PrioritiseInternal: m_mode2->setChecked(true); break;
    case CTranslateSettings::NoBuffering: m_mode4->setChecked(true); break;
    default: m_mode1->setChecked(true); break;
    }
    auto *modeBox = new QGroupBox(TranslateGuiTexts::MessageMode, this);
    auto *modeLayout = new QVBoxLayout(modeBox);
    modeLayout->addWidget(m_mode1);
    modeLayout->addWidget(m_mode2);
    modeLayout->addWidget(m_mode4);

    m_randomTree->setChecked(settings.useRandomTree);
    m_failureViews->setChecked(settings.useFailureViews);
    m_displayTime->setChecked(settings.displayTime);
    m_iterations->setText(settings.iterations);
    m_properties->setChecked(settings.properties);
    m_intRange->setText(settings.IntRangeText());
    m_intRange->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral(" *-?[0-9]{0,10} *(\\.(\\. *-?[0-9]{0,10})?)? *")), m_intRange));
    auto *rangeRow = new QHBoxLayout;
    auto *rangeLabel = new QLabel(TranslateGuiTexts::IntegerRange, this);
    rangeLabel->setBuddy(m_intRange);
    rangeRow->addWidget(rangeLabel);
    rangeRow->addWidget(m_intRange);
    rangeRow->addStretch();
    // digits only; the translation itself refuses a size out of range
    m_iterations->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,8}")), m_iterations));
    m_iterations->setEnabled(settings.useRandomTree);
    connect(m_randomTree, &QCheckBox::toggled, m_iterations, &QLineEdit::setEnabled);

    auto *iterationsRow = new QHBoxLayout;
    auto *iterationsLabel = new QLabel(TranslateGuiTexts::Iterations, this);
    iterationsLabel->setBuddy(m_iterations);
    iterationsRow->addSpacing(20);
    iterationsRow->addWidget(iterationsLabel);
    iterationsRow->addWidget(m_iterations);
    iterationsRow->addStretch();

    // Empty fields mean the defaults, which the placeholders show, so that a
    // moved installation still finds the parsers that come with it.
    m_scratchFolder->setText(settings.scratchFolder);
    m_scratchFolder->setPlaceholderText(CExternalParser::DefaultScratchFolder());
    m_setParser->setText(settings.setParserCommand);
    m_setParser->setPlaceholderText(CExternalParser::DefaultCommand(CExternalParser::SetParser));
    m_behaviorParser->setText(settings.behaviorParserCommand);
    m_behaviorParser->setPlaceholderText(CExternalParser::DefaultCommand(CExternalParser::BehaviorParser));
    for (QLineEdit *e : {m_scratchFolder, m_setParser, m_behaviorParser}) {
        e->setMinimumWidth(360);
        e->setClearButtonEnabled(true);
    }
    auto *parserBox = new QGroupBox(TranslateGuiTexts::OutsideParsers, this);
    auto *parserForm = new QFormLayout(parserBox);
    parserForm->addRow(TranslateGuiTexts::ScratchFolder, m_scratchFolder);
    parserForm->addRow(TranslateGuiTexts::SetParser, m_setParser);
    parserForm->addRow(TranslateGuiTexts::BehaviorParser, m_behaviorParser);
    auto *hint = new QLabel(TranslateGuiTexts::ParserHint, parserBox);
    hint->setWordWrap(true);
    parserForm->addRow(hint);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(modeBox);
    layout->addWidget(m_randomTree);
    layout->addLayout(iterationsRow);
    layout->addWidget(m_failureViews);
    layout->addWidget(m_displayTime);
    layout->addWidget(m_properties);
    layout->addLayout(rangeRow);
    layout->addWidget(parserBox);
    layout->addWidget(DialogWidgets::OkCancel(this));
}

CTranslateSettings CSALOptionsDlg::Settings() const
{
    CTranslateSettings s = m_settings;
    s.messageMode = m_mode1->isChecked()   ? CTranslateSettings::NoMessageBlocking
                    : m_mode2->isChecked() ? CTranslateSettings::PrioritiseInternal
                                           : CTranslateSettings::NoBuffering;
    s.useRandomTree = m_randomTree->isChecked();
    s.useFailureViews = m_failureViews->isChecked();
    s.displayTime = m_displayTime->isChecked();
    s.iterations = m_iterations->text();
    s.properties = m_properties->isChecked();
    // a range left half typed keeps the one before
    CTranslateSettings::ParseIntRange(m_intRange->text(), s.intLow, s.intHigh);
    s.scratchFolder = m_scratchFolder->text().trimmed();
    s.setParserCommand = m_setParser->text().trimmed();
    s.behaviorParserCommand = m_behaviorParser->text().trimmed();
    return s;
}
