#include "builtinsimulatorpanel.h"
#include "simulatetexts.h"

#include "model/keldatamanager.h"
#include "model/keltree.h"
#include "simulate/simulationdisplay.h"
#include "translate/behaviormodelbuilder.h"
#include "translate/translateexception.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtAlgorithms>

#include <limits>

namespace {

constexpr int kEventColumns = 4;
// a run that goes on for hours must not grow the log without end
constexpr int kLogLines = 20000;

QPushButton *makeButton(const QString &text, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QWidget *captioned(const QString &caption, QWidget *box, QWidget *parent)
{
    auto *w = new QWidget(parent);
    auto *l = new QVBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(caption, w);
    label->setBuddy(box);
    l->addWidget(label);
    l->addWidget(box, 1);
    return w;
}

} // namespace

CBuiltinSimulatorPanel::CBuiltinSimulatorPanel(CKELDataManager &manager, CSimulationDisplay &display, QWidget *parent)
    : QWidget(parent)
    , m_manager(manager)
    , m_display(display)
{
    m_seed = new QSpinBox(this);
    m_seed->setObjectName(QStringLiteral("seed"));
    m_seed->setRange(0, std::numeric_limits<int>::max());
    m_seed->setValue(int(QRandomGenerator::global()->bounded(1, 1000000)));
    m_seed->setToolTip(SimulateTexts::SeedToolTip);
    auto *seedLabel = new QLabel(SimulateTexts::Seed, this);
    seedLabel->setBuddy(m_seed);
    auto *run = makeButton(SimulateTexts::Run, QStringLiteral("builtinRun"), this);
    auto *stop = makeButton(SimulateTexts::Stop, QStringLiteral("builtinStop"), this);
    auto *reset = makeButton(SimulateTexts::Reset, QStringLiteral("builtinReset"), this);

    m_eventBox = new QWidget(this);
    m_eventBox->setObjectName(QStringLiteral("events"));
    new QGridLayout(m_eventBox);
    auto *eventScroll = new QScrollArea(this);
    eventScroll->setWidget(m_eventBox);
    eventScroll->setWidgetResizable(true);
    eventScroll->setMaximumHeight(90);
    eventScroll->setFrameShape(QFrame::NoFrame);

    m_states = new QTableWidget(0, 2, this);
    m_states->setObjectName(QStringLiteral("states"));
    m_states->setHorizontalHeaderLabels({SimulateTexts::Component, SimulateTexts::Value});
    m_states->horizontalHeader()->setStretchLastSection(true);
    m_states->verticalHeader()->hide();
    m_states->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_states->setSelectionBehavior(QAbstractItemView::SelectRows);

    m_steps = new QListWidget(this);
    m_steps->setObjectName(QStringLiteral("enabledSteps"));
    m_steps->setToolTip(SimulateTexts::StepsToolTip);

    m_log = new QPlainTextEdit(this);
    m_log->setObjectName(QStringLiteral("builtinLog"));
    m_log->setReadOnly(true);
    m_log->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_log->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_log->setMaximumBlockCount(kLogLines);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("builtinStatus"));
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(seedLabel);
    buttons->addWidget(m_seed);
    buttons->addStretch(1);
    buttons->addWidget(run);
    buttons->addWidget(stop);
    buttons->addWidget(reset);

    auto *upper = new QSplitter(Qt::Horizontal, this);
    upper->addWidget(captioned(SimulateTexts::ComponentStates, m_states, upper));
    upper->addWidget(captioned(SimulateTexts::EnabledSteps, m_steps, upper));
    upper->setChildrenCollapsible(false);
    auto *split = new QSplitter(Qt::Vertical, this);
    split->addWidget(upper);
    split->addWidget(captioned(SimulateTexts::StepsTaken, m_log, split));
    split->setChildrenCollapsible(false);

    auto *top = new QVBoxLayout(this);
    top->setContentsMargins(0, 0, 0, 0);
    top->addLayout(buttons);
    top->addWidget(new QLabel(SimulateTexts::Events, this));
    top->addWidget(eventScroll);
    top->addWidget(split, 1);
    top->addWidget(m_status);

    m_run.setInterval(1000);
    connect(&m_run, &QTimer::timeout, this, &CBuiltinSimulatorPanel::tick);
    connect(run, &QPushButton::clicked, this, &CBuiltinSimulatorPanel::Run);
    connect(stop, &QPushButton::clicked, this, &CBuiltinSimulatorPanel::Stop);
    connect(reset, &QPushButton::clicked, this, &CBuiltinSimulatorPanel::Reset);
    connect(m_steps, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        // later: a step refills the list, and the item must outlive its own click
        const int step = item->data(Qt::UserRole).toInt();
        QMetaObject::invokeMethod(
            this, [this, step] { FireStep(step); }, Qt::QueuedConnection);
    });
    // a model from another solution names nothing of this one
    connect(&m_manager, &CKELDataManager::solutionReplaced, this, [this] { SetTree(0); });
}

CBuiltinSimulatorPanel::~CBuiltinSimulatorPanel()
{
    m_run.stop();
}

void CBuiltinSimulatorPanel::SetTree(int treeId)
{
    if (treeId == m_treeId && m_sim)
        return;
    End();
    m_treeId = treeId;
    Reset();
}

void CBuiltinSimulatorPanel::End()
{
    m_run.stop();
    if (m_treeId)
        m_display.EndSimulationDisplay(m_treeId);
}

bool CBuiltinSimulatorPanel::Reset()
{
    End();
    m_sim.reset();
    m_log->clear();
    const CKELData *e = m_treeId ? m_manager.Lookup(m_treeId) : nullptr;
    if (e && e->IsTree()) {
        try {
            m_sim = std::make_unique<CBuiltinSimulator>(
                CBehaviorModelBuilder::FromTree(m_manager, *static_cast<const CKELTree *>(e)),
                unsigned(m_seed->value()));
        } catch (const CTranslateException &error) {
            m_status->setText(error.Message());
        }
    } else {
        m_status->setText(SimulateTexts::ChooseTreeToSimulate);
    }
    rebuildEvents();
    refresh();
    return m_sim != nullptr;
}

void CBuiltinSimulatorPanel::rebuildEvents()
{
    qDeleteAll(m_eventButtons);
    m_eventButtons.clear();
    if (!m_sim)
        return;
    auto *grid = static_cast<QGridLayout *>(m_eventBox->layout());
    const std::vector<CBehaviorEvent> &events = m_sim->Model().events;
    for (int i = 0; i < int(events.size()); ++i) {
        auto *b = makeButton(events[size_t(i)].Text(), QStringLiteral("event%1").arg(i), m_eventBox);
        b->setToolTip(SimulateTexts::OfferEvent(events[size_t(i)].Text()));
        connect(b, &QPushButton::clicked, this, [this, i] { OfferEvent(i); });
        grid->addWidget(b, i / kEventColumns, i % kEventColumns);
        m_eventButtons.append(b);
    }
}

void CBuiltinSimulatorPanel::OfferEvent(int event)
{
    if (!m_sim || event < 0 || event >= int(m_sim->Model().events.size()))
        return;
    m_sim->Offer(event);
    m_log->appendPlainText(SimulateTexts::LogEvent(m_sim->Model().events[size_t(event)].Text()));
    refresh();
}

bool CBuiltinSimulatorPanel::FireStep(int step)
{
    if (!m_sim)
        return false;
    const CBehaviorState before = m_sim->State();
    if (!m_sim->Fire(step))
        return false;
    const CBehaviorModel &model = m_sim->Model();
    const CBehaviorStep &s = model.steps[size_t(step)];
    m_log->appendPlainText(SimulateTexts::LogStep(m_sim->StepsTaken(), model.NodeText(s.nodes.first())));
    const QList<int> changed = m_sim->Changed(before);
    for (int v : changed) {
        const CBehaviorVariable &var = model.variables[size_t(v)];
        if (var.kind != CBehaviorVariable::Message)
            m_log->appendPlainText(SimulateTexts::LogValue(var.name, var.ValueText(m_sim->State().values[size_t(v)])));
    }
    QList<int> ids;
    for (int n : s.nodes)
        ids.append(model.nodes[size_t(n)].elementId);
    m_display.ShowStepNodes(m_treeId, ids);
    refresh(changed);
    return true;
}

void CBuiltinSimulatorPanel::Run()
{
    if (!m_sim && !Reset())
        return;
    m_status->setText(SimulateTexts::RunningWithSeed(m_sim->Seed()));
    m_run.start();
}

void CBuiltinSimulatorPanel::Stop()
{
    if (!m_run.isActive())
        return;
    m_run.stop();
    showWaiting();
}

void CBuiltinSimulatorPanel::tick()
{
    const int step = m_sim ? m_sim->ChooseRandom() : -1;
    if (step < 0 || !FireStep(step)) {
        // nothing can move: the run waits for the user
        m_run.stop();
        showWaiting();
    }
}

void CBuiltinSimulatorPanel::refresh(const QList<int> &changed)
{
    m_steps->clear();
    if (!m_sim) {
        m_states->setRowCount(0);
        return;
    }
    const CBehaviorModel &model = m_sim->Model();
    ShowState(*m_states, model, m_sim->State(), changed);
    for (int step : m_sim->EnabledSteps()) {
        auto *item = new QListWidgetItem(model.NodeText(model.steps[size_t(step)].nodes.first()), m_steps);
        item->setData(Qt::UserRole, step);
    }
    for (int i = 0; i < int(m_eventButtons.size()); ++i) {
        // an offered event not taken yet shows in bold
        QFont f = m_eventButtons[i]->font();
        f.setBold(m_sim->Pending(i));
        m_eventButtons[i]->setFont(f);
    }
    if (!m_run.isActive())
        showWaiting();
}

void CBuiltinSimulatorPanel::showWaiting()
{
    if (!m_sim)
        return;
    if (m_steps->count()) {
        m_status->setText(SimulateTexts::StepsStatus(m_sim->StepsTaken(), m_steps->count()));
        return;
    }
    const QStringList waiting = m_sim->Waiting();
    m_status->setText(waiting.isEmpty() ? SimulateTexts::EveryThreadEnded : SimulateTexts::Waiting(waiting));
}

void CBuiltinSimulatorPanel::ShowState(QTableWidget &table, const CBehaviorModel &model, const CBehaviorState &state,
                                       const QList<int> &changed)
{
    int row = 0;
    for (int v = 0; v < int(model.variables.size()); ++v) {
        const CBehaviorVariable &var = model.variables[size_t(v)];
        if (var.kind == CBehaviorVariable::Message)
            continue;
        if (row >= table.rowCount())
            table.setRowCount(row + 1);
        const QString value = var.ValueText(state.values[size_t(v)]);
        QFont font = table.font();
        font.setBold(changed.contains(v));
        for (int column = 0; column < 2; ++column) {
            QTableWidgetItem *item = table.item(row, column);
            if (!item) {
                item = new QTableWidgetItem;
                table.setItem(row, column, item);
            }
            item->setText(column == 0 ? var.name : value);
            item->setFont(font);
        }
        ++row;
    }
    table.setRowCount(row);
}
