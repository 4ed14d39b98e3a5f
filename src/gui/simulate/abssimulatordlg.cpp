#include "abssimulatordlg.h"
#include "simulatetexts.h"

#include "builtinsimulatorpanel.h"
#include "simulatortrust.h"

#include "dialogs/dialogrunner.h"
#include "dialogs/dialogwidgets.h"

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/prompt.h"
#include "simulate/abstranslator.h"
#include "translate/externalparser.h"
#include "translate/translateexception.h"
#include "translate/xmltranslator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QSplitter>
#include <QTextCursor>
#include <QVBoxLayout>

namespace {

QPushButton *makeButton(const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setAutoDefault(false); // Return in the input line must not press a button
    return b;
}

QPlainTextEdit *makeTextBox(QWidget *parent)
{
    auto *box = new QPlainTextEdit(parent);
    box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    return box;
}

QWidget *labelled(const QString &label, QWidget *box, QWidget *parent)
{
    auto *w = new QWidget(parent);
    auto *l = new QVBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    auto *caption = new QLabel(label, w);
    caption->setBuddy(box);
    l->addWidget(caption);
    l->addWidget(box, 1);
    return w;
}

} // namespace

CAbsSimulatorDlg::CAbsSimulatorDlg(CKELDataManager &manager, CSimulationDisplay &display, CDialogRunner &runner,
                                   int treeId, QWidget *parent)
    : QDialog(parent)
    , m_manager(manager)
    , m_runner(runner)
    , m_session(manager, display)
    , m_wantedTree(treeId)
{
    setWindowTitle(SimulateTexts::SimulationTitle);
    setSizeGripEnabled(true);
    buildControls(display);

    m_fillTimer.setSingleShot(true);
    m_fillTimer.setInterval(0);
    connect(&m_fillTimer, &QTimer::timeout, this, &CAbsSimulatorDlg::fillTrees);
    connect(&m_manager, &CKELDataManager::solutionReplaced, this, &CAbsSimulatorDlg::takeSolution);
    connect(&m_manager, &CKELDataManager::currentVersionChanged, this, &CAbsSimulatorDlg::scheduleFill);
    // the list follows trees that come, go or are renamed; node edits leave it alone
    auto treeOrFolder = [this](int id) {
        const CKELData *e = m_manager.Lookup(id);
        if (e && e->GetTypeCode() != KEL::Method)
            scheduleFill();
    };
    connect(&m_manager, &CKELDataManager::elementAdded, this, treeOrFolder);
    connect(&m_manager, &CKELDataManager::elementChanged, this, treeOrFolder);
    connect(&m_manager, &CKELDataManager::elementAboutToBeRemoved, this, treeOrFolder);
    connect(&m_session, &CSimulationSession::resultAppended, this, &CAbsSimulatorDlg::appendResult);

    m_simulator->setText(m_manager.SimulatorPath().isEmpty() ? ShippedSimulator() : m_manager.SimulatorPath());
    fillTrees();
}

CAbsSimulatorDlg::~CAbsSimulatorDlg()
{
    // the session goes with the dialog; ending it here keeps its signals
    // from reaching controls that are already gone
    disconnect(&m_session, nullptr, this, nullptr);
    m_session.Close();
    m_builtin->End();
}

QString CAbsSimulatorDlg::ShippedSimulator()
{
    return CExternalParser::FindTool(QStringLiteral("zephsim"), QStringLiteral("zephsim"));
}

void CAbsSimulatorDlg::buildControls(CSimulationDisplay &display)
{
    m_trees = new QComboBox(this);
    m_trees->setObjectName(QStringLiteral("trees"));
    m_trees->setMinimumContentsLength(16);
    m_trees->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_maxEvents = new QSpinBox(this);
    m_maxEvents->setObjectName(QStringLiteral("maxEvents"));
    m_maxEvents->setRange(0, 999999);
    m_maxEvents->setValue(10);
    m_showNodeId = new QCheckBox(SimulateTexts::ShowNodeId, this);
    m_xml = new QCheckBox(SimulateTexts::Xml, this);
    auto *translate = makeButton(SimulateTexts::Translate, this);

    m_simulator = new QLineEdit(this);
    m_simulator->setObjectName(QStringLiteral("simulator"));
    auto *browse = makeButton(SimulateTexts::Browse, this);
    browse->setMaximumWidth(browse->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 24);

    m_interaction = new QCheckBox(SimulateTexts::InteractionMode, this);
    m_simNodeId = new QCheckBox(SimulateTexts::SimNodeId, this);
    m_verboseOff = new QCheckBox(SimulateTexts::VerboseOff, this);
    auto *simulate = makeButton(SimulateTexts::Simulate, this);
    auto *stop = makeButton(SimulateTexts::Stop, this);

    m_interval = new QSlider(Qt::Horizontal, this);
    m_interval->setObjectName(QStringLiteral("interval"));
    m_interval->setRange(200, 5000);
    m_interval->setSingleStep(100);
    m_interval->setPageStep(500);
    m_interval->setValue(1000);
    m_interval->setMaximumWidth(120);
    m_input = new QLineEdit(this);
    m_input->setObjectName(QStringLiteral("input"));
    auto *input = makeButton(SimulateTexts::Input, this);
    m_autoSim = new QCheckBox(SimulateTexts::AutoSim, this);

    m_zeph = makeTextBox(this);
    m_zeph->setObjectName(QStringLiteral("zeph"));
    m_result = makeTextBox(this);
    m_result->setObjectName(QStringLiteral("result"));
    m_result->setReadOnly(true);
    m_result->setMaximumBlockCount(kResultLines);

    auto *close = makeButton(SimulateTexts::Close, this);

    m_kind = new QComboBox(this);
    m_kind->setObjectName(QStringLiteral("simulatorKind"));
    m_kind->addItem(SimulateTexts::BuiltIn);
    m_kind->addItem(SimulateTexts::Zeph);
    m_kind->setToolTip(SimulateTexts::KindToolTip);
    m_builtin = new CBuiltinSimulatorPanel(m_manager, display, this);
    m_builtin->SetInterval(m_interval->value());

    // a row of controls as one widget, so that a simulator's own can hide together
    const auto rowWidget = [this](QHBoxLayout *layout) {
        auto *w = new QWidget(this);
        layout->setContentsMargins(0, 0, 0, 0);
        w->setLayout(layout);
        m_zephOnly.append(w);
        return w;
    };

    auto *grid = new QGridLayout;
    auto *treesLabel = new QLabel(SimulateTexts::Trees, this);
    treesLabel->setBuddy(m_trees);
    auto *maxLabel = new QLabel(SimulateTexts::MaxEvents, this);
    maxLabel->setBuddy(m_maxEvents);
    auto *simLabel = new QLabel(SimulateTexts::Simulator, this);
    simLabel->setBuddy(m_simulator);
    auto *intervalLabel = new QLabel(SimulateTexts::Interval, this);
    intervalLabel->setBuddy(m_input);
    m_zephOnly.append(simLabel);

    auto *zephRow1 = new QHBoxLayout;
    zephRow1->addWidget(maxLabel);
    zephRow1->addWidget(m_maxEvents);
    zephRow1->addWidget(m_showNodeId);
    zephRow1->addWidget(m_xml);
    zephRow1->addWidget(translate);
    auto *row1 = new QHBoxLayout;
    row1->addWidget(m_trees, 1);
    row1->addWidget(m_kind);
    row1->addWidget(rowWidget(zephRow1));
    grid->addWidget(treesLabel, 0, 0);
    grid->addLayout(row1, 0, 1);

    auto *row2 = new QHBoxLayout;
    row2->addWidget(m_simulator, 1);
    row2->addWidget(browse);
    grid->addWidget(simLabel, 1, 0);
    grid->addWidget(rowWidget(row2), 1, 1);

    auto *row3 = new QHBoxLayout;
    row3->addWidget(m_interaction);
    row3->addWidget(m_simNodeId);
    row3->addWidget(m_verboseOff);
    row3->addStretch(1);
    row3->addWidget(simulate);
    row3->addWidget(stop);
    grid->addWidget(rowWidget(row3), 2, 1);

    auto *zephRow4 = new QHBoxLayout;
    zephRow4->addWidget(m_input, 1);
    zephRow4->addWidget(input);
    zephRow4->addWidget(m_autoSim);
    auto *row4 = new QHBoxLayout;
    row4->addWidget(m_interval);
    row4->addWidget(rowWidget(zephRow4), 1);
    row4->addStretch(0);
    grid->addWidget(intervalLabel, 3, 0);
    grid->addLayout(row4, 3, 1);

    auto *split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(labelled(SimulateTexts::Zeph, m_zeph, split));
    split->addWidget(labelled(SimulateTexts::SimulationResult, m_result, split));
    split->setChildrenCollapsible(false);
    m_zephOnly.append(split);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(close);

    auto *top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addWidget(m_builtin, 1);
    top->addWidget(split, 1);
    top->addLayout(bottom);
    resize(920, 640);
    DialogWidgets::FitToScreen(this);
    kindChosen();

    connect(m_kind, &QComboBox::currentIndexChanged, this, &CAbsSimulatorDlg::kindChosen);
    connect(translate, &QPushButton::clicked, this, &CAbsSimulatorDlg::OnTranslate);
    connect(browse, &QPushButton::clicked, this, &CAbsSimulatorDlg::OnBrowse);
    connect(simulate, &QPushButton::clicked, this, &CAbsSimulatorDlg::OnSimulate);
    connect(input, &QPushButton::clicked, this, &CAbsSimulatorDlg::OnInput);
    connect(m_input, &QLineEdit::returnPressed, this, &CAbsSimulatorDlg::OnInput);
    connect(stop, &QPushButton::clicked, this, &CAbsSimulatorDlg::OnStop);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_trees, &QComboBox::currentIndexChanged, this, &CAbsSimulatorDlg::treeChosen);
    // automatic input sends whatever the line holds at each tick
    connect(m_input, &QLineEdit::textChanged, &m_session, &CSimulationSession::SetInputLine);
    connect(m_autoSim, &QCheckBox::toggled, &m_session, &CSimulationSession::SetAutoSim);
    // the slider sets how often automatic input goes out; one second unless moved
    connect(m_interval, &QSlider::valueChanged, this, [this](int ms) {
        m_session.SetAutoSimInterval(ms);
        m_builtin->SetInterval(ms);
        m_interval->setToolTip(SimulateTexts::AutoSimEvery(ms));
    });
    m_interval->setToolTip(SimulateTexts::AutoSimEvery(m_interval->value()));
}

QPushButton *CAbsSimulatorDlg::Button(const QString &text) const
{
    for (QPushButton *b : findChildren<QPushButton *>()) {
        // the built-in simulator's buttons go by their object names: its Stop is not ZEPH's
        if (b->text() == text && !m_builtin->isAncestorOf(b))
            return b;
    }
    return nullptr;
}

// ---- The tree list ---------------------------------------------------------

void CAbsSimulatorDlg::scheduleFill()
{
    m_fillTimer.start();
}

void CAbsSimulatorDlg::fillTrees()
{
    m_fillTimer.stop();
    QList<const CKELData *> folders;
    if (const CKELVersion *version = m_manager.CurrentVersion())
        folders << version->RBTFolder() << version->DBTFolder();
    if (const CKELSolution *solution = m_manager.Solution())
        folders << solution->EvtFolder();

    const QSignalBlocker block(m_trees);
    m_trees->clear();
    int selected = -1;
    for (const CKELData *folder : std::as_const(folders)) {
        if (!folder)
            continue;
        for (const auto &child : folder->Children()) {
            if (!child->IsTree())
                continue;
            if (child->GetId() == m_wantedTree)
                selected = m_trees->count();
            m_trees->addItem(child->GetLabel(), child->GetId());
        }
    }
    m_trees->setCurrentIndex(selected);
    m_session.SetTreeId(SelectedTreeId());
    if (Kind() == BuiltIn)
        m_builtin->SetTree(SelectedTreeId());
}

void CAbsSimulatorDlg::SelectTree(int treeId)
{
    const int index = treeId ? m_trees->findData(treeId) : -1;
    {
        const QSignalBlocker block(m_trees);
        m_trees->setCurrentIndex(index);
    }
    treeChosen();
}

int CAbsSimulatorDlg::SelectedTreeId() const
{
    return m_trees->currentIndex() < 0 ? 0 : m_trees->currentData().toInt();
}

void CAbsSimulatorDlg::treeChosen()
{
    m_wantedTree = SelectedTreeId();
    // The running program is the previous tree's: its labels must not mark
    // the newly chosen tree, whose nodes may carry equal ones.
    if (m_wantedTree != m_session.TreeId() && m_session.IsRunning())
        m_session.Stop();
    m_session.SetTreeId(m_wantedTree);
    if (Kind() == BuiltIn)
        m_builtin->SetTree(m_wantedTree);
}

CAbsSimulatorDlg::SimulatorKind CAbsSimulatorDlg::Kind() const
{
    return m_kind->currentIndex() == Zeph ? Zeph : BuiltIn;
}

void CAbsSimulatorDlg::SetSimulatorKind(SimulatorKind kind)
{
    m_kind->setCurrentIndex(kind);
}

void CAbsSimulatorDlg::kindChosen()
{
    const bool zeph = Kind() == Zeph;
    for (QWidget *w : std::as_const(m_zephOnly))
        w->setVisible(zeph);
    m_builtin->setVisible(!zeph);
    // both simulators mark the same tree window: only the one shown may
    if (zeph) {
        m_builtin->SetTree(0);
    } else {
        if (m_session.IsRunning())
            m_session.Stop();
        m_builtin->SetTree(SelectedTreeId());
    }
}

void CAbsSimulatorDlg::takeSolution()
{
    // ids of another solution say nothing about this one's trees
    m_wantedTree = 0;
    m_simulator->setText(m_manager.SimulatorPath().isEmpty() ? ShippedSimulator() : m_manager.SimulatorPath());
    fillTrees();
}

// ---- Commands --------------------------------------------------------------

void CAbsSimulatorDlg::OnTranslate()
{
    if (!m_xml->isChecked()) {
        QString error;
        m_zeph->setPlainText(m_session.Translate(m_maxEvents->value(), m_showNodeId->isChecked(), &error));
        if (!error.isEmpty())
            m_manager.Prompt().Message(error);
        return;
    }
    const CKELData *e = m_manager.Lookup(SelectedTreeId());
    if (!e || !e->IsTree()) {
        m_zeph->clear();
        return;
    }
    CTranslateSettings settings;
    QSettings stored;
    settings.ReadFrom(stored);
    XMLTranslator xml(settings);
    try {
        xml.Export(m_manager, *static_cast<const CKELTree *>(e));
    } catch (const CTranslateException &error) {
        m_manager.Prompt().Message(error.Message());
        return;
    }
    m_zeph->setPlainText(xml.Result());
}

void CAbsSimulatorDlg::storeSimulatorPath(const QString &path)
{
    if (path == m_manager.SimulatorPath())
        return;
    m_manager.SetSimulatorPath(path);
    // the path is part of the solution file: a change is worth saving
    if (m_manager.IsLocal())
        m_manager.MarkModified();
}

void CAbsSimulatorDlg::OnBrowse()
{
#ifdef Q_OS_WIN
    const QString filter = SimulateTexts::SimulatorFilterWindows;
#else
    const QString filter = SimulateTexts::SimulatorFilter;
#endif
    const QString path = m_runner.OpenFileName(this, SimulateTexts::ChooseSimulator, filter);
    if (path.isEmpty())
        return;
    m_simulator->setText(path);
    SimulatorTrust::Confirm(path);
    storeSimulatorPath(path);
}

bool CAbsSimulatorDlg::OnSimulate()
{
    CSimulationSession::Options options;
    options.interactionMode = m_interaction->isChecked();
    options.simNodeId = m_simNodeId->isChecked();
    options.verboseOff = m_verboseOff->isChecked();
    m_session.SetOptions(options);
    m_session.SetInputLine(m_input->text());
    m_session.SetAutoSim(m_autoSim->isChecked());

    const QString path = m_simulator->text().trimmed();
    const QString before = m_manager.SimulatorPath();
    // a path that only came with the file runs once this user agreed to it
    if (path != before || path == ShippedSimulator())
        SimulatorTrust::Confirm(path);
    else if (!path.isEmpty() && !SimulatorTrust::MayRun(path, m_manager.Prompt()))
        return false;
    const bool ok = m_session.Simulate(m_zeph->toPlainText(), path);
    collectLabels();
    if (m_manager.SimulatorPath() == before)
        return ok;
    // The offered stand-in stays an offer: its place differs from machine
    // to machine, so a solution that named no simulator keeps naming none.
    if (before.isEmpty() && path == ShippedSimulator())
        m_manager.SetSimulatorPath(before);
    else if (m_manager.IsLocal())
        m_manager.MarkModified(); // the solution file keeps the path
    return ok;
}

void CAbsSimulatorDlg::collectLabels()
{
    m_labelTexts.clear();
    const CKELData *e = m_manager.Lookup(m_session.TreeId());
    if (!e || !e->IsTree())
        return;
    const auto *tree = static_cast<const CKELTree *>(e);
    const QHash<int, QString> labels = Zeph::NodeLabels(m_manager, *tree);
    for (const CKELMethod *n : tree->Nodes()) {
        const QString label = labels.value(n->GetId());
        if (!label.isEmpty())
            m_labelTexts.insert(label, n->component + u' ' + n->GetDecoratedBehavior());
    }
}

void CAbsSimulatorDlg::OnInput()
{
    m_session.SetInputLine(m_input->text());
    m_session.Input();
}

void CAbsSimulatorDlg::OnStop()
{
    m_session.Stop();
}

void CAbsSimulatorDlg::done(int result)
{
    m_session.Close();
    m_builtin->End();
    QDialog::done(result);
}

void CAbsSimulatorDlg::appendResult(const QString &chunk)
{
    QString text = QStringLiteral("\r\n") + chunk;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.remove(u'\r');
    if (!m_labelTexts.isEmpty()) {
        // a bare position label says little: the node's text goes beside it
        QStringList lines = text.split(u'\n');
        for (QString &line : lines) {
            const auto found = m_labelTexts.constFind(line);
            if (found != m_labelTexts.cend())
                line += QStringLiteral("   ") + *found;
        }
        text = lines.join(u'\n');
    }
    QScrollBar *bar = m_result->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    QTextCursor cursor(m_result->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    if (atEnd)
        bar->setValue(bar->maximum());
}
