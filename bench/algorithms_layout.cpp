// Tree layout and integration marking on large trees.
//   bench_algorithms_layout [SIZES...]    e.g. 10000 100000 1000000 (the default)
// "Rearrange All" is timed on balanced, bushy and chain trees; marking
// integration points on a design tree of one bushy main tree plus RBT
// copies of 20 to 200 nodes. Each figure is the best of three runs.
#include "treegen.h"

#include "derive/integration.h"
#include "layout/treelayout.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/keltree.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <functional>

namespace {

constexpr int kRuns = 3;

double bestSeconds(const std::function<void()> &work)
{
    double best = 1e30;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        best = std::min(best, double(t.nsecsElapsed()) / 1e9);
    }
    return best;
}

QString shapeName(TreeGen::Shape shape)
{
    switch (shape) {
    case TreeGen::Shape::Balanced: return QStringLiteral("balanced");
    case TreeGen::Shape::Bushy: return QStringLiteral("bushy");
    case TreeGen::Shape::Chain: return QStringLiteral("chain");
    }
    return {};
}

void benchLayout(QTextStream &out, int nodes, TreeGen::Shape shape)
{
    CKELDataManager m;
    m.NewSolution();
    const CKELTree *tree = TreeGen::AddTree(m, KEL::RBT, QStringLiteral("T"), nodes, shape);
    CLayoutResult result;
    const double all = bestSeconds([&] { result = CTreeLayout(*tree).RearrangeAll(); });
    QElapsedTimer t;
    t.start();
    CTreeLayout::ApplyMoves(m, result);
    const double apply = double(t.nsecsElapsed()) / 1e9;
    out << QStringLiteral("%1 %2 %3 %4 %5\n")
               .arg(nodes, 9)
               .arg(shapeName(shape), 9)
               .arg(all, 16, 'f', 3)
               .arg(apply, 9, 'f', 3)
               .arg(QStringLiteral("%1 x %2").arg(result.extent.x()).arg(result.extent.y()), 22);
    out.flush();
}

void benchMarking(QTextStream &out, int nodes)
{
    CKELDataManager m;
    m.NewSolution();
    auto *dbt = static_cast<CKELDBT *>(
        TreeGen::AddTree(m, KEL::DBT, QStringLiteral("Design"), nodes / 2, TreeGen::Shape::Bushy, 7));
    QList<const CKELRBT *> rbts;
    for (int left = nodes - nodes / 2, k = 0; left > 0; ++k) {
        const int size = std::min(left, 20 + (k * 37) % 181);
        rbts.append(static_cast<const CKELRBT *>(TreeGen::AddTree(m, KEL::RBT, QStringLiteral("R%1").arg(k), size,
                                                                  TreeGen::Shape::Bushy, unsigned(k + 11))));
        left -= size;
    }
    QElapsedTimer t;
    t.start();
    for (const CKELRBT *r : std::as_const(rbts))
        CIntegration::CopyRBT(m, *dbt, *r);
    const double copy = double(t.nsecsElapsed()) / 1e9;
    QList<int> points;
    QList<int> missing;
    CIntegrationMarks marks;
    const double mark = bestSeconds([&] { points = CIntegration::MarkIntegrationPoints(*dbt, marks, true); });
    const double markMissing =
        bestSeconds([&] { missing = CIntegration::MarkMissingPreconditions(*dbt, marks, true); });
    out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7\n")
               .arg(nodes, 9)
               .arg(rbts.size(), 6)
               .arg(copy, 10, 'f', 3)
               .arg(mark, 13, 'f', 3)
               .arg(points.size(), 8)
               .arg(markMissing, 14, 'f', 3)
               .arg(missing.size(), 8);
    out.flush();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QList<int> sizes;
    for (const QString &a : app.arguments().mid(1))
        sizes.append(a.toInt());
    if (sizes.isEmpty())
        sizes = {10000, 100000, 1000000};

    QTextStream out(stdout);
    out << "Rearrange All\n"
        << "    nodes     shape  rearrange all s   apply s                 extent\n";
    for (int n : std::as_const(sizes)) {
        for (TreeGen::Shape shape : {TreeGen::Shape::Balanced, TreeGen::Shape::Bushy, TreeGen::Shape::Chain})
            benchLayout(out, n, shape);
    }
    out << "\nMarking a design tree (half main tree, half RBT copies)\n"
        << "    nodes   RBTs copy all s mark points s   points mark missing s  missing\n";
    for (int n : std::as_const(sizes))
        benchMarking(out, n);
    return 0;
}
