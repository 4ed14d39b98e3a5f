// Writes a solution with an RBT "T" and a DBT "D" of an extreme shape.
// Usage: deepgen chain|star NODES OUT.kvf; prints the ids of the DBT's
// first and last node.
#include "deeptrees.h"

#include "model/solutionfile.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4 || (args[1] != QLatin1String("chain") && args[1] != QLatin1String("star")))
        return 2;
    CKELDataManager m;
    DeepTrees::FillShape(m, args[1] == QLatin1String("chain") ? DeepTrees::Shape::Chain : DeepTrees::Shape::Star,
                         args[2].toInt());
    QString error;
    if (!CSolutionFile::Write(m, args[3], &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const CKELTree *dbt = m.FindTree(KEL::DBTs, u"D"_qs);
    const auto &nodes = dbt->Nodes();
    std::printf("%d %d\n", nodes.isEmpty() ? 0 : nodes.first()->GetId(), nodes.isEmpty() ? 0 : nodes.last()->GetId());
    return 0;
}
