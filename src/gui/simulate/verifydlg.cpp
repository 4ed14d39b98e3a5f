#include "verifydlg.h"
#include "simulatetexts.h"

#include "builtinsimulatorpanel.h"

#include "dialogs/dialogwidgets.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/keltree.h"
#include "simulate/simulationdisplay.h"
#include "translate/behaviormodelbuilder.h"
#include "translate/translateexception.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QSpinBox>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>

#include <limits>

namespace {

QPushButton *makeButton(const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    return b;
}

QList<int> elementIds(const CBehaviorModel &model, const QList<int> &nodes)
{
    QList<int> ids;
    for (int n : nodes)
        ids.append(model.nodes[size_t(n)].elementId);
    return ids;
}

} // namespace

CVerifyDlg::CVerifyDlg(CKELDataManager &manager, CSimulationDisplay &display, int treeId, QWidget *parent)
    : QDialog(parent)
    , m_manager(manager)
    , m_display(display)
    , m_wantedTree(treeId)
{
    setWindowTitle(SimulateTexts::VerifyTitle);
    setSizeGripEnabled(true);

    m_trees = new QComboBox(this);
    m_trees->setObjectName(QStringLiteral("trees"));
    m_trees->setMinimumContentsLength(16);
    m_property = new QLineEdit(this);
    m_property->setObjectName(QStringLiteral("property"));
    m_property->setPlaceholderText(SimulateTexts::PropertyPlaceholder);
    m_property->setToolTip(SimulateTexts::PropertyToolTip);
    m_maxStates = new QSpinBox(this);
    m_maxStates->setObjectName(QStringLiteral("maxStates"));
    m_maxStates->setRange(1, std::numeric_limits<int>::max());
    m_maxStates->setValue(int(m_options.maxStates));
    m_maxStates->setGroupSeparatorShown(true);
    m_timeout = new QSpinBox(this);
    m_timeout->setObjectName(QStringLiteral("timeout"));
    m_timeout->setRange(1, 24 * 3600);
    m_timeout->setValue(m_options.timeoutSeconds);
    m_timeout->setSuffix(SimulateTexts::Seconds);

    m_verify = makeButton(SimulateTexts::VerifyButton, this);
    m_cancel = makeButton(SimulateTexts::Cancel, this);
    m_cancel->setEnabled(false);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_findings = new QListWidget(this);
    m_findings->setObjectName(QStringLiteral("findings"));
    m_states = new QTableWidget(0, 2, this);
    m_states->setObjectName(QStringLiteral("states"));
    m_states->setHorizontalHeaderLabels({SimulateTexts::Component, SimulateTexts::Value});
    m_states->horizontalHeader()->setStretchLastSection(true);
    m_states->verticalHeader()->hide();
    m_states->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_replay = makeButton(SimulateTexts::Replay, this);
    m_replay->setEnabled(false);
    m_replay->setToolTip(SimulateTexts::ReplayToolTip);
    auto *close = makeButton(SimulateTexts::Close, this);

    auto *form = new QFormLayout;
    form->addRow(SimulateTexts::Trees, m_trees);
    form->addRow(SimulateTexts::LtlProperty, m_property);
    auto *limits = new QHBoxLayout;
    limits->addWidget(m_maxStates);
    auto *timeoutLabel = new QLabel(SimulateTexts::Timeout, this);
    timeoutLabel->setBuddy(m_timeout);
    limits->addWidget(timeoutLabel);
    limits->addWidget(m_timeout);
    limits->addStretch(1);
    form->addRow(SimulateTexts::MaxStates, limits);

    auto *run = new QHBoxLayout;
    run->addWidget(m_progress, 1);
    run->addWidget(m_verify);
    run->addWidget(m_cancel);

    auto *findingsBox = new QWidget(this);
    auto *fl = new QVBoxLayout(findingsBox);
    fl->setContentsMargins(0, 0, 0, 0);
    auto *findingsLabel = new QLabel(SimulateTexts::Findings, findingsBox);
    findingsLabel->setBuddy(m_findings);
    fl->addWidget(findingsLabel);
    fl->addWidget(m_findings, 1);
    auto *statesBox = new QWidget(this);
    auto *sl = new QVBoxLayout(statesBox);
    sl->setContentsMargins(0, 0, 0, 0);
    auto *replayRow = new QHBoxLayout;
    auto *statesLabel = new QLabel(SimulateTexts::ComponentStates, statesBox);
    statesLabel->setBuddy(m_states);
    replayRow->addWidget(statesLabel, 1);
    replayRow->addWidget(m_replay);
    sl->addLayout(replayRow);
    sl->addWidget(m_states, 1);
    auto *split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(findingsBox);
    split->addWidget(statesBox);
    split->setChildrenCollapsible(false);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(close);

    auto *top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addLayout(run);
    top->addWidget(m_status);
    top->addWidget(split, 1);
    top->addLayout(bottom);
    resize(760, 520);
    DialogWidgets::FitToScreen(this);

    m_poll.setInterval(200);
    connect(&m_poll, &QTimer::timeout, this,
            [this] { m_status->setText(SimulateTexts::StatesSoFar(m_statesSeen.load())); });
    connect(m_verify, &QPushButton::clicked, this, &CVerifyDlg::Start);
    connect(m_cancel, &QPushButton::clicked, this, &CVerifyDlg::Cancel);
    connect(m_replay, &QPushButton::clicked, this, &CVerifyDlg::ReplayStep);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_findings, &QListWidget::currentRowChanged, this, &CVerifyDlg::findingChosen);
    connect(m_trees, &QComboBox::currentIndexChanged, this, [this] { m_wantedTree = SelectedTreeId(); });
    connect(&m_manager, &CKELDataManager::solutionReplaced, this, [this] {
        Cancel();
        clearMarks();
        m_findings->clear();
        m_found.clear();
        m_wantedTree = 0;
        m_checkedTree = 0;
        fillTrees();
    });
    fillTrees();
}

CVerifyDlg::~CVerifyDlg()
{
    Cancel();
}

void CVerifyDlg::fillTrees()
{
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
}

void CVerifyDlg::SelectTree(int treeId)
{
    m_wantedTree = treeId;
    fillTrees();
}

int CVerifyDlg::SelectedTreeId() const
{
    return m_trees->currentIndex() < 0 ? 0 : m_trees->currentData().toInt();
}

void CVerifyDlg::setBusy(bool busy)
{
    m_verify->setEnabled(!busy);
    m_cancel->setEnabled(busy);
    m_trees->setEnabled(!busy);
    // a range of nothing makes the bar say "working" without a measure
    m_progress->setRange(0, busy ? 0 : 1);
    m_progress->setValue(0);
    if (busy)
        m_poll.start();
    else
        m_poll.stop();
}

void CVerifyDlg::clearMarks()
{
    if (m_checkedTree)
        m_display.EndSimulationDisplay(m_checkedTree);
}

bool CVerifyDlg::Start()
{
    if (m_worker)
        return false;
    const CKELData *e = m_manager.Lookup(SelectedTreeId());
    if (!e || !e->IsTree()) {
        m_status->setText(SimulateTexts::ChooseTreeToVerify);
        return false;
    }
    clearMarks();
    m_findings->clear();
    m_found.clear();
    m_states->setRowCount(0);
    m_replayState.reset();
    m_checkedTree = e->GetId();
    try {
        m_model = CBehaviorModelBuilder::FromTree(m_manager, *static_cast<const CKELTree *>(e));
    } catch (const CTranslateException &error) {
        m_status->setText(error.Message());
        return false;
    }
    m_options.maxStates = m_maxStates->value();
    m_options.timeoutSeconds = m_timeout->value();
    m_options.property = m_property->text().trimmed();
    m_options.cancel = &m_cancelled;
    m_options.progress = [this](qint64 states) { m_statesSeen = states; };
    m_cancelled = false;
    m_statesSeen = 0;
    m_status->setText(SimulateTexts::Verifying);
    setBusy(true);
    // the model and options stay untouched while the worker reads them:
    // Start refuses to run twice and Cancel waits for the worker
    m_worker = QThread::create([this] { m_report = RunSpinVerification(m_model, m_options); });
    connect(m_worker, &QThread::finished, this, &CVerifyDlg::workerDone);
    m_worker->start();
    return true;
}

void CVerifyDlg::Cancel()
{
    if (!m_worker)
        return;
    m_cancelled = true;
    // the verifier kills what it started and returns; waiting here means
    // nothing of the run is left once Cancel returns
    m_worker->wait();
    disconnect(m_worker, nullptr, this, nullptr);
    delete m_worker;
    m_worker = nullptr;
    setBusy(false);
    m_status->setText(SimulateTexts::Cancelled);
    emit verificationEnded();
}

void CVerifyDlg::workerDone()
{
    if (!m_worker || sender() != m_worker)
        return; // a run that Cancel already took down
    m_worker->wait();
    delete m_worker;
    m_worker = nullptr;
    setBusy(false);
    showReport();
    emit verificationEnded();
}

void CVerifyDlg::addFinding(const QString &text, const QList<int> &nodes, const QList<int> &steps)
{
    m_findings->addItem(text);
    m_found.append({nodes, steps});
}

void CVerifyDlg::showReport()
{
    const CVerifyReport &r = m_report;
    const bool complete = r.outcome == CVerifyReport::Finished;
    switch (r.outcome) {
    case CVerifyReport::Finished:
        m_status->setText(r.FoundSomething() ? SimulateTexts::VerifiedFound : SimulateTexts::VerifiedNothing);
        break;
    case CVerifyReport::Cancelled: m_status->setText(SimulateTexts::Cancelled); return;
    default: m_status->setText(r.message); break;
    }
    if (r.outcome == CVerifyReport::ToolMissing || r.outcome == CVerifyReport::ToolFailed
        || r.outcome == CVerifyReport::PropertyError)
        return;
    // what a cut search did not see stays unsaid
    if (r.deadlock) {
        addFinding(SimulateTexts::DeadlockFound(r.deadlockSteps.size()), TrailNodes(m_model, r.deadlockSteps),
                   r.deadlockSteps);
    } else if (complete) {
        addFinding(SimulateTexts::DeadlockNone, {}, {});
    }
    if (complete) {
        for (int n : r.unreachable)
            addFinding(SimulateTexts::Unreachable(m_model.NodeText(n)), {n}, {});
        if (r.propertyChecked) {
            if (r.propertyViolated)
                addFinding(SimulateTexts::PropertyViolated(r.propertySteps.size()),
                           TrailNodes(m_model, r.propertySteps), r.propertySteps);
            else
                addFinding(SimulateTexts::PropertyHolds, {}, {});
        }
    }
    addFinding(SimulateTexts::StatesSearched(r.states, complete), {}, {});
}

void CVerifyDlg::findingChosen()
{
    const int row = m_findings->currentRow();
    m_replayState.reset();
    m_replayAt = -1;
    if (row < 0 || row >= m_found.size()) {
        m_replay->setEnabled(false);
        return;
    }
    const Finding &f = m_found[row];
    m_replay->setEnabled(!f.steps.isEmpty());
    if (f.nodes.isEmpty()) {
        clearMarks();
        return;
    }
    // a trail ends where the finding happens: its last step stands out
    QList<int> current = f.nodes;
    QList<int> visited;
    if (!f.steps.isEmpty()) {
        current = m_model.steps[size_t(f.steps.last())].nodes;
        visited = f.nodes.mid(0, f.nodes.size() - current.size());
    }
    m_display.HighlightNodes(m_checkedTree, elementIds(m_model, current), elementIds(m_model, visited));
}

bool CVerifyDlg::ReplayStep()
{
    const int row = m_findings->currentRow();
    if (row < 0 || row >= m_found.size() || m_found[row].steps.isEmpty())
        return false;
    const QList<int> &steps = m_found[row].steps;
    if (!m_replayState || m_replayAt >= steps.size()) {
        // from the start: the initial state, and the tree unmarked but for the initialisation
        m_replayState = std::make_unique<CBehaviorState>(m_model.InitialState());
        m_replayAt = 0;
        m_display.EndSimulationDisplay(m_checkedTree);
        m_display.ShowStepNodes(m_checkedTree, elementIds(m_model, m_model.initNodes));
        CBuiltinSimulatorPanel::ShowState(*m_states, m_model, *m_replayState);
        m_status->setText(SimulateTexts::ReplayInitial(steps.size()));
        return true;
    }
    const CBehaviorState before = *m_replayState;
    const int step = steps[m_replayAt++];
    // a verification takes every event as offered: the trail fires as it was found
    m_model.Fire(*m_replayState, step);
    QList<int> changed;
    for (int v = 0; v < int(before.values.size()); ++v) {
        if (before.values[size_t(v)] != m_replayState->values[size_t(v)])
            changed.append(v);
    }
    m_display.ShowStepNodes(m_checkedTree, elementIds(m_model, m_model.steps[size_t(step)].nodes));
    CBuiltinSimulatorPanel::ShowState(*m_states, m_model, *m_replayState, changed);
    const QString where = m_model.NodeText(m_model.steps[size_t(step)].nodes.first());
    m_status->setText(m_replayAt < steps.size() ? SimulateTexts::ReplayStep(m_replayAt, steps.size(), where)
                                                : SimulateTexts::ReplayLast(where));
    return true;
}

void CVerifyDlg::done(int result)
{
    Cancel();
    clearMarks();
    QDialog::done(result);
}
