// A process that does nothing but save a large solution, again and again,
// alternating between two texts, so that a test can kill it at any moment of
// a save. Usage: savekiller TARGET REFDIR NODES
//   writes REFDIR/a.kvf and REFDIR/b.kvf once, TARGET as a, prints "ready",
//   then saves b, a, b, ... into TARGET through the program's save path.
#include "deeptrees.h"

#include "model/solutionfile.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    const QString target = args[1];
    const QString refDir = args[2];
    const int nodes = args[3].toInt();

    CKELDataManager a;
    DeepTrees::Fill(a, nodes);
    // b is longer and differs near the start, so a torn file cannot pass
    CKELDataManager b;
    DeepTrees::Fill(b, nodes);
    b.AddRequirement(u"R0"_qs, QString(4096, u'x'));
    CKELDataManager *variants[] = {&a, &b};

    QString error;
    if (!CSolutionFile::Write(a, refDir + u"/a.kvf"_qs, &error)
        || !CSolutionFile::Write(b, refDir + u"/b.kvf"_qs, &error) || !CSolutionFile::Write(a, target, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    for (unsigned i = 1;; ++i) {
        if (!CSolutionFile::Write(*variants[i % 2], target, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
    }
}
