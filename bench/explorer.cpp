// Filling the solution explorer from a large solution, and what a rename
// costs afterwards.
//   bench_explorer [ELEMENTS]     default 100000
#include "treegen.h"

#include "app/mainframe.h"
#include "app/tessel1app.h"
#include "explorer/kelnavigatetree.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelrequirement.h"
#include "model/solutionfile.h"
#include "model/prompt.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTreeWidgetItemIterator>

namespace {

// Requirements, components with behaviors that realise them, and trees
// for the rest, up to about `elements` elements.
void buildSolution(CKELDataManager &m, int elements)
{
    m.NewSolution();
    const int requirements = std::max(10, elements / 50);
    for (int r = 1; r <= requirements; ++r)
        m.AddRequirement(QStringLiteral("R%1").arg(r), QStringLiteral("Requirement number %1.").arg(r));
    for (int c = 0; c < 40; ++c) {
        m.AddComponent(QStringLiteral("C%1").arg(c), c == 0);
        for (int b = 0; b < 12; ++b)
            m.AddState(QStringLiteral("C%1").arg(c), QStringLiteral("b%1").arg(b), b % 4 + 1,
                       QStringLiteral("R%1").arg((c * 12 + b) % requirements + 1));
    }
    int left = elements - int(m.IdMap().size());
    int k = 0;
    while (left > 0) {
        const int size = std::min(left - 1, 20 + (k * 37) % 181);
        if (size <= 0)
            break;
        TreeGen::AddTree(m, KEL::RBT, QStringLiteral("RBT %1").arg(k), size, TreeGen::Shape::Bushy, unsigned(k + 1));
        left -= size + 1;
        ++k;
    }
}

double seconds(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CTessel1App::SetIdentity();
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    const int elements = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    QTextStream out(stdout);

    const QString path = home.filePath(QStringLiteral("large.kvf"));
    {
        CKELDataManager m;
        buildSolution(m, elements);
        QString error;
        if (!CSolutionFile::Write(m, path, &error)) {
            out << error << '\n';
            return 2;
        }
    }

    CSilentPrompt prompt;
    CMainFrame frame;
    frame.SetPrompt(&prompt);
    frame.resize(1200, 800);
    frame.show();
    QCoreApplication::processEvents();
    CKELNavigateTree &tree = *frame.Explorer();

    // open: read the file, fill the explorer, lay out and paint it once
    QElapsedTimer t;
    t.start();
    if (!frame.OpenFile(path))
        return 2;
    QCoreApplication::processEvents();
    tree.viewport()->repaint();
    const double open = seconds(t);

    // the fill alone, as after any solution is replaced
    t.restart();
    tree.Rebuild();
    QCoreApplication::processEvents();
    tree.viewport()->repaint();
    const double fill = seconds(t);

    int items = 0;
    for (QTreeWidgetItemIterator it(&tree); *it; ++it)
        ++items;

    // renames: the items whose text is set, and how long one takes (mean of ten)
    CKELDataManager &m = frame.Manager();
    const int reqId = m.FindRequirement(QStringLiteral("R7"))->GetId();
    const QString description = m.FindRequirement(QStringLiteral("R7"))->Description();
    qint64 before = tree.LabelWrites();
    t.restart();
    for (int i = 1; i <= 10; ++i) {
        m.ChangeRequirement(reqId, QStringLiteral("R7 renamed %1").arg(i), description);
        QCoreApplication::processEvents();
    }
    const double renameReq = seconds(t) / 10;
    const qint64 reqWrites = (tree.LabelWrites() - before) / 10;

    const int componentId = m.FindComponent(QStringLiteral("C3"))->GetId();
    before = tree.LabelWrites();
    t.restart();
    for (int i = 1; i <= 10; ++i) {
        m.RenameComponent(componentId, QStringLiteral("C3 renamed %1").arg(i), false);
        QCoreApplication::processEvents();
    }
    const double renameComp = seconds(t) / 10;
    const qint64 compWrites = (tree.LabelWrites() - before) / 10;

    out << "elements " << m.IdMap().size() << ", explorer items " << items << '\n';
    out << "open (read + fill + paint)   " << QString::number(open, 'f', 3) << " s\n";
    out << "fill (rebuild + paint)       " << QString::number(fill, 'f', 3) << " s\n";
    out << "rename requirement           " << QString::number(renameReq * 1000, 'f', 2) << " ms, " << reqWrites
        << " item texts set\n";
    out << "rename component (+ nodes)   " << QString::number(renameComp * 1000, 'f', 2) << " ms, " << compWrites
        << " item texts set\n";
    m.CloseSolution();
    return 0;
}
