#include "simulationdisplay.h"

#include "abstranslator.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"

namespace {

const CKELTree *treeOf(const CKELDataManager &manager, int treeId)
{
    const CKELData *e = manager.Lookup(treeId);
    return e && e->IsTree() ? static_cast<const CKELTree *>(e) : nullptr;
}

} // namespace

CSimulationDisplay::CSimulationDisplay(CKELDataManager &manager, QObject *parent) : QObject(parent), m_manager(manager)
{
    connect(&manager, &CKELDataManager::elementAboutToBeRemoved, this, &CSimulationDisplay::forgetElement);
    connect(&manager, &CKELDataManager::solutionReplaced, this, [this] { m_trees.clear(); });
    // labels follow the tree's shape: an edit may give nodes other ones
    for (auto signal : {&CKELDataManager::elementAdded, &CKELDataManager::elementChanged}) {
        connect(&manager, signal, this, [this](int id) {
            const auto *n = m_manager.LookupAs<CKELMethod>(id, KEL::Method);
            const CKELTree *t = n ? n->Tree() : nullptr;
            auto it = t ? m_trees.find(t->GetId()) : m_trees.end();
            if (it != m_trees.end())
                it->labelsStale = true;
        });
    }
}

void CSimulationDisplay::setMark(TreeState &s, int nodeId, int mark)
{
    const int old = s.marks.value(nodeId, Unmarked);
    if (old == mark)
        return;
    if (mark == Unmarked)
        s.marks.remove(nodeId);
    else
        s.marks.insert(nodeId, mark);
    s.changed.insert(nodeId);
}

void CSimulationDisplay::indexLabels(int treeId, TreeState &s)
{
    // the labels a translation writes into the program for the tree as it is
    s.nodeByLabel.clear();
    s.labelsStale = false;
    const CKELTree *tree = treeOf(m_manager, treeId);
    if (!tree)
        return;
    const QHash<int, QString> labels = Zeph::NodeLabels(m_manager, *tree);
    for (const CKELMethod *n : tree->Nodes()) {
        const QString label = labels.value(n->GetId());
        if (!label.isEmpty() && !s.nodeByLabel.contains(label))
            s.nodeByLabel.insert(label, n->GetId());
    }
}

int CSimulationDisplay::nodeForLabel(int treeId, TreeState &s, const QString &label)
{
    if (s.labelsStale)
        indexLabels(treeId, s);
    const int id = s.nodeByLabel.value(label, 0);
    return id && m_manager.LookupAs<CKELMethod>(id, KEL::Method) ? id : 0;
}

void CSimulationDisplay::StartSimulationDisplay(int treeId)
{
    EndSimulationDisplay(treeId);
    const CKELTree *tree = treeOf(m_manager, treeId);
    if (!tree)
        return;
    TreeState &s = m_trees[treeId];
    s.running = true;
    s.current.clear();
    s.second.clear();
    s.pending.clear();
    for (const CKELMethod *n : tree->Nodes())
        setMark(s, n->GetId(), Waiting);
    indexLabels(treeId, s);
    emit displayStarted(treeId);
    emit marksChanged(treeId);
}

void CSimulationDisplay::EndSimulationDisplay(int treeId)
{
    auto it = m_trees.find(treeId);
    if (it == m_trees.end())
        return;
    TreeState &s = *it;
    const bool wasRunning = s.running;
    s.running = false;
    s.current.clear();
    s.second.clear();
    s.pending.clear();
    s.nodeByLabel.clear();
    s.currentNodes.clear();
    const QList<int> marked = s.marks.keys();
    for (int id : marked)
        setMark(s, id, Unmarked);
    if (wasRunning)
        emit displayEnded(treeId);
    if (!marked.isEmpty())
        emit marksChanged(treeId);
}

void CSimulationDisplay::reportLine(int treeId, TreeState &s, QStringView line)
{
    line = line.trimmed();
    if (line.isEmpty())
        return;
    const QString label = line.toString();
    const int nodeId = nodeForLabel(treeId, s, label);
    if (!nodeId)
        return; // not a label: the simulator's own remarks
    if (label != s.current) {
        s.second = s.current;
        s.current = label;
    }
    setMark(s, nodeId, Current);
    if (!s.second.isEmpty()) {
        if (const int previous = nodeForLabel(treeId, s, s.second); previous && previous != nodeId)
            setMark(s, previous, Visited);
    }
}

void CSimulationDisplay::ShowStepNodes(int treeId, const QList<int> &nodeIds)
{
    if (!treeOf(m_manager, treeId))
        return;
    if (!IsRunning(treeId))
        StartSimulationDisplay(treeId);
    TreeState &s = m_trees[treeId];
    for (int id : std::as_const(s.currentNodes))
        setMark(s, id, Visited);
    s.currentNodes.clear();
    for (int id : nodeIds) {
        // a node deleted since the run began has no shape left to mark
        if (m_manager.LookupAs<CKELMethod>(id, KEL::Method)) {
            setMark(s, id, Current);
            s.currentNodes.append(id);
        }
    }
    emit marksChanged(treeId);
}

void CSimulationDisplay::HighlightNodes(int treeId, const QList<int> &current, const QList<int> &visited)
{
    if (!treeOf(m_manager, treeId))
        return;
    if (!IsRunning(treeId))
        StartSimulationDisplay(treeId);
    TreeState &s = m_trees[treeId];
    const QList<int> marked = s.marks.keys();
    for (int id : marked)
        setMark(s, id, Waiting);
    s.currentNodes.clear();
    for (int id : visited) {
        if (s.marks.contains(id))
            setMark(s, id, Visited);
    }
    for (int id : current) {
        if (s.marks.contains(id)) {
            setMark(s, id, Current);
            s.currentNodes.append(id);
        }
    }
    emit marksChanged(treeId);
}

void CSimulationDisplay::ShowSimulationStep(int treeId, const QString &chunk)
{
    if (!treeOf(m_manager, treeId))
        return;
    if (!IsRunning(treeId))
        StartSimulationDisplay(treeId);
    TreeState &s = m_trees[treeId];
    const qsizetype changedBefore = s.changed.size();

    QStringView rest(chunk);
    QString joined;
    if (!s.pending.isEmpty()) {
        joined = s.pending + chunk;
        rest = joined;
    }
    qsizetype lineEnd;
    while ((lineEnd = rest.indexOf(u'\n')) >= 0) {
        reportLine(treeId, s, rest.first(lineEnd));
        rest = rest.sliced(lineEnd + 1);
    }
    s.pending = rest.size() <= kMaxPendingLine ? rest.toString() : QString();

    if (s.changed.size() != changedBefore)
        emit marksChanged(treeId);
}

bool CSimulationDisplay::IsRunning(int treeId) const
{
    const auto it = m_trees.constFind(treeId);
    return it != m_trees.constEnd() && it->running;
}

int CSimulationDisplay::MarkOf(int treeId, int nodeId) const
{
    const auto it = m_trees.constFind(treeId);
    return it == m_trees.constEnd() ? int(Unmarked) : it->marks.value(nodeId, Unmarked);
}

QHash<int, int> CSimulationDisplay::Marks(int treeId) const
{
    return m_trees.value(treeId).marks;
}

QString CSimulationDisplay::CurrentLabel(int treeId) const
{
    return m_trees.value(treeId).current;
}

QString CSimulationDisplay::SecondLabel(int treeId) const
{
    return m_trees.value(treeId).second;
}

QList<int> CSimulationDisplay::TakeChangedNodes(int treeId)
{
    auto it = m_trees.find(treeId);
    if (it == m_trees.end())
        return {};
    QList<int> ids = it->changed.values();
    std::sort(ids.begin(), ids.end());
    it->changed.clear();
    if (!it->running && it->marks.isEmpty())
        m_trees.erase(it); // nothing left to draw or to refresh
    return ids;
}

void CSimulationDisplay::forgetElement(int id)
{
    if (m_trees.remove(id))
        return; // the tree itself goes, with its nodes
    const auto *n = m_manager.LookupAs<CKELMethod>(id, KEL::Method);
    const CKELTree *t = n ? n->Tree() : nullptr;
    auto it = t ? m_trees.find(t->GetId()) : m_trees.end();
    if (it == m_trees.end())
        return;
    it->marks.remove(id);
    it->changed.remove(id);
    it->labelsStale = true;
}
