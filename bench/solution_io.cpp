// Load and save times and load memory of large solution files.
//   bench_solution_io [SIZES...]        e.g. 10000 100000 1000000 (the default)
//   bench_solution_io --write N FILE    writes a generated solution
//   bench_solution_io --load FILE       loads one, prints seconds, peak KiB, elements, processor seconds
// Loading runs in a child process so its peak memory is the loader's own.
// Times are wall clock; "cpu" columns are the process's processor time,
// which a machine busy with other work disturbs less; MB/s use it.
#include "treegen.h"

#include "model/keldatamanager.h"
#include "model/solutionfile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

// The peak of this program alone: getrusage's figure keeps the peak of the
// process before exec, which is the parent's size when it was forked.
long peakRssKb()
{
    long kb = -1;
    if (FILE *f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (kb < 0 && std::fgets(line, sizeof line, f)) {
            if (std::strncmp(line, "VmHWM:", 6) == 0)
                kb = std::strtol(line + 6, nullptr, 10);
        }
        std::fclose(f);
    }
    if (kb >= 0)
        return kb;
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

long currentRssKb()
{
    FILE *f = std::fopen("/proc/self/statm", "r");
    long pages = 0, resident = 0;
    if (f) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * 4;
}

double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Child: load the file and report seconds and peak memory above the start.
int loadOnly(const QString &path)
{
    const long before = currentRssKb();
    CKELDataManager manager;
    QElapsedTimer t;
    t.start();
    const double cpu = cpuSeconds();
    QString error;
    if (!CSolutionFile::Read(manager, path, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    std::printf("%f %ld %d %f\n", seconds, peakRssKb() - before, int(manager.IdMap().size()), cpuSeconds() - cpu);
    return 0;
}

void addTrees(CKELDataManager &m, int nodes)
{
    // half in RBTs of 20 to 200 nodes, half in one design tree
    int left = nodes / 2;
    int k = 0;
    while (left > 0) {
        const int size = std::min(left, 20 + (k * 37) % 181);
        TreeGen::AddTree(m, KEL::RBT, QStringLiteral("RBT %1").arg(k), size, TreeGen::Shape::Bushy, unsigned(k + 1));
        left -= size;
        ++k;
    }
    TreeGen::AddTree(m, KEL::DBT, QStringLiteral("Design"), nodes - nodes / 2, TreeGen::Shape::Bushy, 7);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.size() == 2 && args[0] == u"--load")
        return loadOnly(args[1]);
    if (args.size() == 3 && args[0] == u"--write") {
        // for profiling the two halves apart
        CKELDataManager m;
        m.NewSolution();
        addTrees(m, args[1].toInt());
        QString error;
        return CSolutionFile::Write(m, args[2], &error) ? 0 : 2;
    }
    if (args.isEmpty())
        args = {QStringLiteral("10000"), QStringLiteral("100000"), QStringLiteral("1000000")};

    QTemporaryDir dir;
    QTextStream out(stdout);
    out << "nodes      file MB   save s  save cpu   save MB/s   load s  load cpu   load MB/s   load peak B/node\n";
    for (const QString &a : std::as_const(args)) {
        const int nodes = a.toInt();
        const QString path = dir.filePath(QStringLiteral("bench-%1.kvf").arg(nodes));
        double saveSeconds = 0;
        double saveCpu = 0;
        {
            CKELDataManager m;
            m.NewSolution();
            addTrees(m, nodes);
            QElapsedTimer t;
            t.start();
            const double cpu = cpuSeconds();
            QString error;
            if (!CSolutionFile::Write(m, path, &error)) {
                out << error << '\n';
                return 2;
            }
            saveSeconds = double(t.nsecsElapsed()) / 1e9;
            saveCpu = cpuSeconds() - cpu;
        }
        const double mb = double(QFileInfo(path).size()) / 1e6;
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--load"), path});
        child.waitForFinished(-1);
        const QStringList r = QString::fromLatin1(child.readAllStandardOutput()).split(u' ');
        if (child.exitCode() != 0 || r.size() < 4) {
            out << "load failed\n";
            return 2;
        }
        const double loadSeconds = r[0].toDouble();
        const double loadCpu = r[3].toDouble();
        const double peakPerNode = r[1].toDouble() * 1024.0 / nodes;
        out << qSetFieldWidth(9) << nodes << qSetFieldWidth(10) << QString::number(mb, 'f', 1)
            << QString::number(saveSeconds, 'f', 3) << QString::number(saveCpu, 'f', 3) << qSetFieldWidth(12)
            << QString::number(mb / saveCpu, 'f', 1) << qSetFieldWidth(9) << QString::number(loadSeconds, 'f', 3)
            << qSetFieldWidth(10) << QString::number(loadCpu, 'f', 3) << qSetFieldWidth(12)
            << QString::number(mb / loadCpu, 'f', 1) << qSetFieldWidth(19) << QString::number(peakPerNode, 'f', 0)
            << qSetFieldWidth(0) << '\n';
        out.flush();
    }
    return 0;
}
