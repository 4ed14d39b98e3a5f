// SAL and UPPAAL translation of large design trees.
//   bench_translate [--keep DIR] [SIZES...]    e.g. 1000 10000 100000 (the default)
// Trees mix every behavior type except the set ones, branch every few nodes
// (concurrently and alternatively), and carry reversions, go-tos and branch
// kills. Each figure is the best of three runs; the random-tree option is
// timed as well.
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/treeops.h"
#include "testkit.h"
#include "translate/translateexception.h"
#include "translate/translatesalmain.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <functional>
#include <random>

namespace {

constexpr int kRuns = 3;

// Wall time and the process's own processor time: on a shared machine the
// second tells what the translation costs.
struct Seconds
{
    double wall = 1e30;
    double cpu = 1e30;
};

Seconds best(const std::function<void()> &work)
{
    Seconds b;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer t;
        const std::clock_t c = std::clock();
        t.start();
        work();
        b.wall = std::min(b.wall, double(t.nsecsElapsed()) / 1e9);
        b.cpu = std::min(b.cpu, double(std::clock() - c) / CLOCKS_PER_SEC);
    }
    return b;
}

QString figure(Seconds s)
{
    return QStringLiteral("%1 (%2)").arg(s.wall, 0, 'f', 3).arg(s.cpu, 0, 'f', 3);
}

CKELTree *designTree(CKELDataManager &m, int nodes, unsigned seed)
{
    std::unique_ptr<CKELData> e = m.CreateElement(KEL::DBT);
    m.RegisterElement(e.get());
    auto *tree = static_cast<CKELTree *>(e.get());
    tree->SetName(QStringLiteral("Design"));
    TestKit::Mutable(m.CurrentVersion())->DBTFolder()->AddChild(e);

    std::mt19937 rng(seed);
    const auto roll = [&rng](int n) { return int(rng() % unsigned(n)); };
    int made = 0;
    // the branch each node runs in, so that a kill stops a branch racing it
    QHash<const CKELMethod *, CKELMethod *> branchOf;
    const auto node = [&](CKELMethod *parent, int type) {
        CKELMethod *n = TreeOps::NewNode(m, *tree);
        n->component = QStringLiteral("C%1").arg(roll(50));
        n->behavior = QStringLiteral("s%1").arg(made++);
        n->behaviorType = type;
        if (parent) {
            TreeOps::Link(m, parent, n);
            branchOf.insert(n, branchOf.value(parent));
        }
        return n;
    };
    static const int kTypes[] = {1, 1, 1, 1, 2, 2, 3, 3, 4, 5, 6};
    const auto plainType = [&] { return kTypes[roll(int(std::size(kTypes)))]; };

    std::vector<CKELMethod *> open{node(node(nullptr, 1), 3)};
    while (made < nodes && !open.empty()) {
        const size_t pick = roll(10) < 8 ? open.size() - 1 : size_t(roll(int(open.size())));
        CKELMethod *parent = open[pick];
        const int kind = roll(100);
        if (kind < 20 && nodes - made >= 2) {
            // branching every few nodes
            open.erase(open.begin() + std::ptrdiff_t(pick));
            const bool alternative = roll(4) == 0;
            for (int i = 0, count = 2 + roll(2); i < count && made < nodes; ++i) {
                CKELMethod *child = node(parent, plainType());
                child->nonDeterministic = alternative;
                branchOf.insert(child, child);
                open.push_back(child);
            }
        } else if (kind < 25 && open.size() > 1) {
            // back to the nearest node above that starts a step and receives no message
            const CKELMethod *target = parent;
            while (target->atomic || target->behaviorType >= 7)
                target = static_cast<const CKELMethod *>(m.Lookup(target->ParentId()));
            open.erase(open.begin() + std::ptrdiff_t(pick));
            CKELMethod *leaf = node(parent, target->behaviorType);
            leaf->component = target->component;
            leaf->behavior = target->behavior;
            leaf->jumpType = 1;
        } else if (kind < 28 && branchOf.value(parent)) {
            const CKELMethod *own = branchOf.value(parent);
            const QList<int> siblings = static_cast<const CKELMethod *>(m.Lookup(own->ParentId()))->ChildIds();
            const auto *branch = static_cast<const CKELMethod *>(m.Lookup(siblings[roll(int(siblings.size()))]));
            CKELMethod *kill = node(parent, 1);
            kill->component = branch->component;
            kill->behavior = branch->behavior;
            kill->behaviorType = branch->behaviorType;
            kill->qualifier = QStringLiteral("--");
            open[pick] = kill;
        } else if (kind < 31) {
            // an internal message and its receiver
            CKELMethod *out = node(parent, 8);
            CKELMethod *in = node(out, 7);
            in->component = out->component;
            in->behavior = out->behavior;
            open[pick] = in;
        } else if (kind < 34) {
            CKELMethod *atomic = node(parent, 1);
            atomic->atomic = true;
            open[pick] = atomic;
        } else {
            open[pick] = node(parent, plainType());
        }
    }
    return tree;
}

// Where the bytes of an UPPAAL file go, by the kind of line: UTF-8 bytes
// and lines of each kind, the largest first.
QString uppaalBreakdown(const QString &text)
{
    enum Kind { Env, Location, Chain, Kill, Start, Jump, ChainEdge, StepEdge, Declaration, Template, Count };
    static const char *const names[] = {
        "environment template",   "process locations",     "chain locations", "kill edges (received)",
        "start edges (received)", "jump edges (received)", "chain edges",     "step edges",
        "declarations",           "template frames"};
    qint64 bytes[Count] = {};
    qint64 lines[Count] = {};
    bool inEnv = false;
    bool inDeclaration = false;
    const auto chainRef = [](QStringView line) {
        // a source ref "p12_34_5": two underscores before the closing quote
        const qsizetype at = line.indexOf(u"<source ref=\"");
        if (at < 0)
            return false;
        const qsizetype end = line.indexOf(u'"', at + 13);
        return line.mid(at + 13, end - at - 13).count(u'_') == 2;
    };
    for (QStringView line : QStringView(text).split(u"\r\n")) {
        Kind k = Template;
        if (line.startsWith(u"<declaration>"))
            inDeclaration = true;
        if (line.startsWith(u"<name x=\"32\" y=\"16\">env<"))
            inEnv = true;
        if (inEnv)
            k = Env;
        else if (inDeclaration)
            k = Declaration;
        else if (line.startsWith(u"<location"))
            k = line.contains(u"<committed/>") ? Chain : Location;
        else if (line.startsWith(u"<transition>") && line.endsWith(u"?</label></transition>")
                 && line.contains(u">killpro"))
            k = Kill;
        else if (line.startsWith(u"<transition>") && line.contains(u">startpro") && line.contains(u"?<"))
            k = Start;
        else if (line.startsWith(u"<transition>") && line.contains(u">jumpToPro") && line.contains(u"?<"))
            k = Jump;
        else if (line.startsWith(u"<transition>"))
            k = chainRef(line) ? ChainEdge : StepEdge;
        if (line.startsWith(u"</template>"))
            inEnv = false;
        if (line.startsWith(u"</declaration>"))
            inDeclaration = false;
        bytes[k] += line.toUtf8().size() + 2;
        ++lines[k];
    }
    QList<int> order;
    for (int k = 0; k < Count; ++k)
        order.append(k);
    std::sort(order.begin(), order.end(), [&bytes](int a, int b) { return bytes[a] > bytes[b]; });
    qint64 total = 0;
    for (qint64 b : bytes)
        total += b;
    QString out;
    for (int k : std::as_const(order)) {
        out += QStringLiteral("  %1 %2 MB %3 % %4 lines\n")
                   .arg(QString::fromLatin1(names[k]), -24)
                   .arg(double(bytes[k]) / 1e6, 7, 'f', 1)
                   .arg(100.0 * double(bytes[k]) / double(std::max<qint64>(total, 1)), 5, 'f', 1)
                   .arg(lines[k], 8);
    }
    return out;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QList<int> sizes;
    QString keep; // --keep DIR: the translations are written there, to look at
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == u"--keep" && i + 1 < argc)
            keep = QString::fromLocal8Bit(argv[++i]);
        else
            sizes.append(arg.toInt());
    }
    if (sizes.isEmpty())
        sizes = {1000, 10000, 100000};

    out << QStringLiteral("seconds, best of %1: wall (processor)\n").arg(kRuns);
    // what a user gets: the UTF-8 file "verdantis-cli translate" writes; the
    // text in memory takes two bytes a character
    out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7\n")
               .arg(QStringLiteral("nodes"), 9)
               .arg(QStringLiteral("SAL"), 16)
               .arg(QStringLiteral("UPPAAL"), 16)
               .arg(QStringLiteral("random SAL"), 16)
               .arg(QStringLiteral("file MB SAL/UPPAAL"), 19)
               .arg(QStringLiteral("UPPAAL B/node"), 14)
               .arg(QStringLiteral("memory MB SAL/UPPAAL"), 21);
    for (int nodes : std::as_const(sizes)) {
        CKELDataManager m;
        m.NewSolution();
        const int treeId = designTree(m, nodes, 5)->GetId();
        CTranslateSALMain sal;
        CTranslateUPPAAL uppaal;
        CTranslateSALMain random;
        random.Settings().useRandomTree = true;
        random.Settings().iterations = QString::number(nodes);
        random.Settings().randomSeed = 11;
        qsizetype salSize = 0;
        qsizetype uppaalSize = 0;
        try {
            // only the sizes outlive a run, so that each run starts from the same heap
            const Seconds s = best([&] { salSize = sal.Translate(m, treeId)->text.size(); });
            const Seconds u = best([&] { uppaalSize = uppaal.Translate(m, treeId)->text.size(); });
            const Seconds r = best([&] { random.Translate(m, treeId); });
            const CTranslationResult salText = *sal.Translate(m, treeId);
            const CTranslationResult uppaalText = *uppaal.Translate(m, treeId);
            const qsizetype salFile = salText.TextForFile(QStringLiteral("design.sal")).toUtf8().size();
            const qsizetype uppaalFile = uppaalText.TextForFile(QStringLiteral("design.xml")).toUtf8().size();
            const auto mb = [](qsizetype bytes) { return QString::number(double(bytes) / 1e6, 'f', 1); };
            out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7\n")
                       .arg(nodes, 9)
                       .arg(figure(s), 16)
                       .arg(figure(u), 16)
                       .arg(figure(r), 16)
                       .arg(mb(salFile) + QStringLiteral(" / ") + mb(uppaalFile), 19)
                       .arg(double(uppaalFile) / nodes, 14, 'f', 0)
                       .arg(mb(salSize * 2) + QStringLiteral(" / ") + mb(uppaalSize * 2), 21);
            if (!keep.isEmpty()) {
                WriteTranslationFile(keep + QStringLiteral("/design-%1.sal").arg(nodes),
                                     salText.TextForFile(QStringLiteral("design.sal")));
                WriteTranslationFile(keep + QStringLiteral("/design-%1.xml").arg(nodes), uppaalText.text);
            }
            if (nodes == sizes.last())
                out << QStringLiteral("UPPAAL file of %1 nodes, by kind of line:\n").arg(nodes)
                    << uppaalBreakdown(uppaalText.text);
        } catch (const CTranslateException &e) {
            out << nodes << ": " << e.Message() << '\n';
            return 1;
        }
        out.flush();
    }
    return 0;
}
