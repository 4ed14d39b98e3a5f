// Component interaction networks and interface diagrams on large trees.
//   bench_algorithms_derive_cin [SIZES...]     e.g. 10000 100000 1000000
// (default 10000 100000). For each shape of design tree (components from a
// pool of 40): the CIN, with its records and routed connections, and the CID
// of the most frequent component. Then two networks with one component per
// node, the worst case for placing and routing: a chain and a node with all
// others as children.
#include "treegen.h"

#include "derive/cid.h"
#include "derive/cin.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/treeops.h"
#include "testkit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QTextStream>

namespace {

using TreeGen::kShapes;
using TreeGen::seconds;
using TreeGen::ShapeName;

struct CinFigures
{
    double seconds = 0;
    qsizetype boxes = 0;
    qsizetype connections = 0;
};

CinFigures benchCin(CKELDataManager &m, CKELTree &tree)
{
    QElapsedTimer t;
    t.start();
    Cin::Network net;
    Cin::CreateCIN(m, tree, &net);
    return {seconds(t), net.boxes.size(), net.connections.size()};
}

// A tree whose every node has a component of its own.
CKELTree *addDistinctTree(CKELDataManager &m, int nodes, bool chain)
{
    std::unique_ptr<CKELData> e = m.CreateElement(KEL::DBT);
    m.RegisterElement(e.get());
    auto *tree = static_cast<CKELTree *>(e.get());
    TestKit::Mutable(m.CurrentVersion())->DBTFolder()->AddChild(e);
    CKELMethod *root = nullptr;
    CKELMethod *previous = nullptr;
    for (int i = 0; i < nodes; ++i) {
        CKELMethod *n = TreeOps::NewNode(m, *tree);
        n->component = QStringLiteral("C%1").arg(i);
        n->behavior = QStringLiteral("b");
        if (root)
            TreeOps::Link(m, chain ? previous : root, n);
        else
            root = n;
        previous = n;
    }
    return tree;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        args = {QStringLiteral("10000"), QStringLiteral("100000")};
    QTextStream out(stdout);
    out << "nodes     shape           CIN s   boxes   links   CID s   CID boxes\n";
    for (const QString &a : std::as_const(args)) {
        const int nodes = a.toInt();
        for (const ShapeName &s : kShapes) {
            CKELDataManager m;
            m.NewSolution();
            CKELTree *tree = TreeGen::AddTree(m, KEL::DBT, QStringLiteral("Design"), nodes, s.shape, 7);
            const CinFigures cin = benchCin(m, *tree);
            const QString component = TreeGen::MostFrequentComponent(*tree);
            QElapsedTimer t;
            t.start();
            QList<Cid::Box> boxes;
            Cid::CreateCID(m, *tree, component, &boxes);
            const Cid::Drawing drawing = Cid::DrawInterface(boxes);
            const double cidSeconds = seconds(t);
            out << qSetFieldWidth(10) << Qt::left << nodes << qSetFieldWidth(12) << s.name << Qt::right
                << qSetFieldWidth(8) << QString::number(cin.seconds, 'f', 3) << cin.boxes << cin.connections
                << QString::number(cidSeconds, 'f', 3) << qSetFieldWidth(12) << drawing.boxes.size()
                << qSetFieldWidth(0) << '\n';
            out.flush();
        }
        for (const bool chain : {true, false}) {
            CKELDataManager m;
            m.NewSolution();
            CKELTree *tree = addDistinctTree(m, nodes, chain);
            const CinFigures cin = benchCin(m, *tree);
            out << qSetFieldWidth(10) << Qt::left << nodes << qSetFieldWidth(12) << (chain ? "chain/own" : "wide/own")
                << Qt::right << qSetFieldWidth(8) << QString::number(cin.seconds, 'f', 3) << cin.boxes
                << cin.connections << qSetFieldWidth(0) << '\n';
            out.flush();
        }
    }
    return 0;
}
