// Applying operation records, and "New Version" of a large version.
//   bench_operations [RECORDS] [VERSION_NODES]     defaults 100000 100000
#include "treegen.h"

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/keltree.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTextStream>

namespace {

// A realistic editing session: mostly nodes added and changed, some links,
// requirements, states, removals.
QStringList sessionRecords(int count, int treeId, int firstNodeId)
{
    QRandomGenerator rng(42);
    QStringList out;
    out.reserve(count);
    int nextNode = firstNodeId;
    for (int i = 0; i < count; ++i) {
        const int known = nextNode > firstNodeId ? int(rng.bounded(firstNodeId, nextNode)) : firstNodeId;
        switch (rng.bounded(10)) {
        case 0:
        case 1:
        case 2:
        case 3:
            out << QStringLiteral("addmsd;fun:para;Comp:C%1;State:s%2;StatDec:1;ReqTag:R1;DispExtTag:1;DispExtInfo:1;"
                                  "x:0;y:0;eparent:%3;treeid:%4;")
                       .arg(rng.bounded(40))
                       .arg(rng.bounded(12))
                       .arg(known)
                       .arg(treeId);
            ++nextNode;
            break;
        case 4:
        case 5:
            out << QStringLiteral("modmsd;fun:para;Comp:C%1;State:s%2;StatDec:2;DispExtTag:1;DispExtInfo:1;nodeid:%3;")
                       .arg(rng.bounded(40))
                       .arg(rng.bounded(12))
                       .arg(known);
            break;
        case 6: out << QStringLiteral("linknode;par:%1;chd:%2;").arg(known).arg(nextNode - 1); break;
        case 7: out << QStringLiteral("addreq;tag:R%1;desc:text %1;").arg(i); break;
        case 8: out << QStringLiteral("addsta;sta:s%1;comp:C%2;dec:3;req:R1;").arg(i).arg(rng.bounded(40)); break;
        default: out << QStringLiteral("rmnode;id:%1;").arg(known); break;
        }
    }
    return out;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int records = args.size() > 1 ? args[1].toInt() : 100000;
    const int nodes = args.size() > 2 ? args[2].toInt() : 100000;
    QTextStream out(stdout);

    {
        CKELDataManager m;
        m.NewSolution();
        CKELTree *tree = TreeGen::AddTree(m, KEL::DBT, QStringLiteral("D"), 1, TreeGen::Shape::Chain);
        const QStringList ops = sessionRecords(records, tree->GetId(), m.MaxCount());
        QElapsedTimer t;
        t.start();
        int applied = 0;
        for (const QString &r : ops)
            applied += m.ApplyOperationRecord(r) ? 1 : 0;
        const double s = double(t.nsecsElapsed()) / 1e9;
        out << "apply: " << records << " records (" << applied << " applied) in " << QString::number(s, 'f', 3)
            << " s = " << QString::number(records / s, 'f', 0) << " records/s\n";
    }
    {
        CKELDataManager m;
        m.NewSolution();
        for (int i = 0; i < 5; ++i)
            TreeGen::AddTree(m, KEL::RBT, QStringLiteral("R%1").arg(i), nodes / 10, TreeGen::Shape::Bushy,
                             unsigned(i + 1));
        TreeGen::AddTree(m, KEL::DBT, QStringLiteral("D"), nodes - 5 * (nodes / 10), TreeGen::Shape::Bushy, 9);
        QElapsedTimer t;
        t.start();
        m.NewVersion(QStringLiteral("2.0"), m.CurrentVersion()->GetId());
        const double s = double(t.nsecsElapsed()) / 1e9;
        out << "new version: " << nodes << " nodes copied in " << QString::number(s, 'f', 3) << " s\n";
    }
    return 0;
}
