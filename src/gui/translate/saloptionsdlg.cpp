#include "saloptionsdlg.h"

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
    , m_mode1(new QRadioButton(QStringLiteral("No message blocking"), this))
    , m_mode2(new QRadioButton(QStringLiteral("Prioritise internal over external messages"), this))
    , m_mode4(new QRadioButton(
          QStringLiteral("No buffering; 1st priority: internal msg, 2nd: internal actions, 3rd: external"), this))
    , m_randomTree(new QCheckBox(QStringLiteral("Use randomly generated BT"), this))
    , m_failureViews(new QCheckBox(QStringLiteral("Use Failure Views"), this))
    , m_displayTime(new QCheckBox(QStringLiteral("Display time taken for translation"), this))
    , m_properties(new QCheckBox(QStringLiteral("Add properties to check (every leaf reachable, no deadlock)"), this))
    , m_intRange(new QLineEdit(this))
    , m_iterations(new QLineEdit(this))
    , m_scratchFolder(new QLineEdit(this))
    , m_setParser(new QLineEdit(this))
    , m_behaviorParser(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Select SAL Options"));
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
    auto *modeBox = new QGroupBox(QStringLiteral("Message mode"), this);
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
    auto *rangeLabel = new QLabel(QStringLiteral("Range of integer attributes (LOW..HIGH):"), this);
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
    auto *iterationsLabel = new QLabel(QStringLiteral("No. of Iterations:"), this);
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
    auto *parserBox = new QGroupBox(QStringLiteral("Outside parsers"), this);
    auto *parserForm = new QFormLayout(parserBox);
    parserForm->addRow(QStringLiteral("Scratch folder:"), m_scratchFolder);
    parserForm->addRow(QStringLiteral("Set parser command:"), m_setParser);
    parserForm->addRow(QStringLiteral("Behavior parser command:"), m_behaviorParser);
    auto *hint = new QLabel(QStringLiteral("{in} and {out} stand for the parser's input and output files. "
                                           "Leave a field empty for the parsers that come with Verdantis."),
                            parserBox);
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
