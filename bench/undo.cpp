// Undo and redo on large solutions: removing a big subtree, a layout of
// every node as one geometry record, and the memory a long history holds.
//   bench_undo [NODES] [SUBTREE] [STEPS]     defaults 100000 10000 1000
// Times are processor milliseconds.
#include "treegen.h"

#include "edit/undohistory.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/nodeattributes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTextStream>

#include <ctime>

namespace {

qint64 residentBytes()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toLongLong() * 4096 : 0;
}

// The node whose subtree size is closest to want.
int subtreeNear(const CKELDataManager &m, const CKELTree &tree, int want)
{
    QHash<int, int> size;
    QList<const CKELMethod *> order;
    for (const CKELMethod *root : tree.Roots()) {
        QList<const CKELMethod *> stack{root};
        while (!stack.isEmpty()) {
            const CKELMethod *n = stack.takeLast();
            order.append(n);
            for (int c : n->ChildIds())
                stack.append(m.LookupAs<CKELMethod>(c, KEL::Method));
        }
    }
    int best = 0, bestDiff = INT_MAX;
    for (auto it = order.crbegin(); it != order.crend(); ++it) {
        int s = 1;
        for (int c : (*it)->ChildIds())
            s += size.value(c);
        size.insert((*it)->GetId(), s);
        if (std::abs(s - want) < bestDiff) {
            bestDiff = std::abs(s - want);
            best = (*it)->GetId();
        }
    }
    return best;
}

// Processor time of this process: the figures stay meaningful on a machine
// busy with other work.
struct CpuTimer
{
    std::clock_t start = std::clock();
    void restart() { start = std::clock(); }
};

double ms(CpuTimer &t)
{
    const double v = double(std::clock() - t.start) * 1000.0 / CLOCKS_PER_SEC;
    t.restart();
    return v;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int nodes = args.size() > 1 ? args[1].toInt() : 100000;
    const int subtree = args.size() > 2 ? args[2].toInt() : 10000;
    const int steps = args.size() > 3 ? args[3].toInt() : 1000;
    QTextStream out(stdout);

    CKELDataManager m;
    m.NewSolution();
    CKELTree *tree = TreeGen::AddTree(m, KEL::RBT, QStringLiteral("T"), nodes, TreeGen::Shape::Bushy);
    const int treeId = tree->GetId();
    m.History().Clear();
    CpuTimer t;

    // removing a subtree and bringing it back
    const int top = subtreeNear(m, *tree, subtree);
    QList<int> doomed;
    for (const CKELMethod *n : QList<const CKELMethod *>{m.LookupAs<CKELMethod>(top, KEL::Method)}) {
        QList<const CKELMethod *> stack{n};
        while (!stack.isEmpty()) {
            const CKELMethod *x = stack.takeLast();
            doomed.append(x->GetId());
            for (int c : x->ChildIds())
                stack.append(m.LookupAs<CKELMethod>(c, KEL::Method));
        }
    }
    const QString before = m.BuildSolutionText();
    t.restart();
    m.RemoveNodes({top}, CKELDataManager::RemoveMode::Subtree);
    const double removeMs = ms(t);
    m.History().Undo();
    const double undoMs = ms(t);
    const bool same = m.BuildSolutionText() == before;
    t.restart();
    m.History().Redo();
    const double redoMs = ms(t);
    m.History().Undo();
    out << "remove subtree of " << doomed.size() << " nodes in a tree of " << nodes << ": remove " << removeMs
        << " ms, undo " << undoMs << " ms, redo " << redoMs << " ms, undo restores the text: " << (same ? "yes" : "NO")
        << "\n";

    // a layout of every node: the fields written directly, as before, and as one record
    QList<CNodeGeometry> layout;
    const QList<CKELMethod *> all = tree->Nodes();
    for (int i = 0; i < all.size(); ++i)
        layout.append({all[i]->GetId(), (i % 300) * 120, (i / 300) * 70, 100, 40});
    t.restart();
    for (int i = 0; i < all.size(); ++i) {
        all[i]->x = layout[i].x + 1;
        all[i]->y = layout[i].y + 1;
    }
    const double directMs = ms(t);
    m.SetNodesGeometry(treeId, layout);
    const double recordMs = ms(t);
    m.History().Undo();
    const double geoUndoMs = ms(t);
    m.History().Redo();
    const double geoRedoMs = ms(t);
    out << "layout of " << all.size() << " nodes: fields written directly " << directMs << " ms, as one record "
        << recordMs << " ms, undo " << geoUndoMs << " ms, redo " << geoRedoMs << " ms\n";

    // a long history of ordinary edits
    m.History().Clear();
    const qint64 rssBefore = residentBytes();
    QRandomGenerator rng(7);
    t.restart();
    for (int i = 0; i < steps; ++i) {
        CKELMethod *n = all[rng.bounded(int(all.size()))];
        if (!m.Lookup(n->GetId()))
            continue;
        switch (i % 4) {
        case 0: {
            CNodeAttributes a = CNodeAttributes::Of(*n);
            a.behavior += QStringLiteral("x");
            m.ChangeNode(n->GetId(), a);
            break;
        }
        case 1: m.SetNodeGeometry(n->GetId(), n->x + 10, n->y + 5, n->w, n->h); break;
        case 2: {
            CNodeAttributes a = CNodeAttributes::Of(*n);
            m.AddNode(treeId, n->GetId(), a, n->x, n->y + 80);
            break;
        }
        default: m.LinkNode(0, n->GetId()); break;
        }
    }
    const double stepsMs = ms(t);
    out << m.History().Count() << " steps on a " << m.Count() << "-element solution in " << stepsMs
        << " ms: history records " << double(m.History().MemoryUse()) / 1e6 << " MB, resident growth "
        << double(residentBytes() - rssBefore) / 1e6 << " MB\n";
    int undone = 0;
    while (m.History().Undo())
        ++undone;
    out << "undo of all " << undone << " steps: " << ms(t) << " ms\n";
    return 0;
}
