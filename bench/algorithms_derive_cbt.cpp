// Component behavior trees and evolution trees on large trees.
//   bench_algorithms_derive_cbt [SIZES...]     e.g. 10000 100000 1000000
// (default 10000 100000). For each shape: the CBT of the most frequent
// component of one tree, and the evolution tree of three versions of a tree
// that differ in about one node in a hundred.
#include "treegen.h"

#include "derive/cbt.h"
#include "derive/evolution.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/prompt.h"
#include "testkit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QTextStream>

namespace {

using TreeGen::kShapes;
using TreeGen::seconds;
using TreeGen::ShapeName;

// Seconds to derive the CBT, and its node count.
std::pair<double, qsizetype> benchCbt(int nodes, TreeGen::Shape shape)
{
    CKELDataManager m;
    m.NewSolution();
    CKELTree *tree = TreeGen::AddTree(m, KEL::DBT, QStringLiteral("Design"), nodes, shape, 7);
    const QString component = TreeGen::MostFrequentComponent(*tree);
    CSilentPrompt prompt;
    QElapsedTimer t;
    t.start();
    const QStringList components = Cbt::ComponentList(*tree);
    CKELCBT *cbt = Cbt::CreateCbt(m, *tree, component, prompt);
    const double s = seconds(t);
    return {s, cbt && components.contains(component) ? cbt->Nodes().size() : -1};
}

// Seconds to build the evolution tree of three versions, and its node count.
std::pair<double, qsizetype> benchEvt(int nodes, TreeGen::Shape shape)
{
    CKELDataManager m;
    m.NewSolution();
    QList<int> ids;
    for (int v = 0; v < 3; ++v) {
        if (v > 0) {
            std::unique_ptr<CKELVersion> version = m.CreateVersion(QStringLiteral("%1.0").arg(v + 1));
            CKELVersion *raw = version.get();
            std::unique_ptr<CKELData> owned(version.release());
            TestKit::Mutable(m.Solution())->Project()->AddChild(owned);
            m.SetCurrentVersion(raw);
        }
        // the same tree each time, then a few nodes changed per version
        CKELTree *tree = TreeGen::AddTree(m, KEL::RBT, QStringLiteral("Door"), nodes, shape, 11);
        const QList<CKELMethod *> all = tree->Nodes();
        for (qsizetype i = 1 + 37 * v; i < all.size(); i += 100)
            all[i]->behavior = QStringLiteral("changed in %1").arg(v + 1);
        ids.append(tree->GetId());
    }
    CSilentPrompt prompt;
    QElapsedTimer t;
    t.start();
    bool built = false;
    CKELEVT *evt = Evolution::CreateEvolutionTree(m, ids, prompt, TestKit::EditKey(), &built);
    const double s = seconds(t);
    return {s, built ? evt->Nodes().size() : -1};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        args = {QStringLiteral("10000"), QStringLiteral("100000")};
    QTextStream out(stdout);
    out << "nodes     shape        CBT s   CBT nodes   EVT(3 versions) s   EVT nodes\n";
    for (const QString &a : std::as_const(args)) {
        const int nodes = a.toInt();
        for (const ShapeName &s : kShapes) {
            const auto [cbtSeconds, cbtNodes] = benchCbt(nodes, s.shape);
            const auto [evtSeconds, evtNodes] = benchEvt(nodes, s.shape);
            out << qSetFieldWidth(9) << Qt::left << nodes << qSetFieldWidth(10) << s.name << Qt::right
                << qSetFieldWidth(8) << QString::number(cbtSeconds, 'f', 3) << qSetFieldWidth(12) << cbtNodes
                << qSetFieldWidth(20) << QString::number(evtSeconds, 'f', 3) << qSetFieldWidth(12) << evtNodes
                << qSetFieldWidth(0) << '\n';
            out.flush();
        }
    }
    return 0;
}
