// mark, integrate, copy-rbt: integration of RBTs into a DBT.
#include "clicommands.h"

#include "derive/integration.h"
#include "layout/treelayout.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/operationrecord.h"
#include "model/prompt.h"
#include "model/treeops.h"

namespace {

// The preamble of every command here: the solution named by the first
// argument and the design tree named by the second; null, having said why.
const CKELDBT *loadDbt(Cli::Context &c, CKELDataManager &manager)
{
    const CKELTree *tree = Cli::LoadTree(c, manager);
    if (!tree)
        return nullptr;
    if (tree->GetTypeCode() != KEL::DBT) {
        Cli::Fail(c, CliTexts::NotADbt(c.args[1]));
        return nullptr;
    }
    return static_cast<const CKELDBT *>(tree);
}

const CKELMethod *findNode(Cli::Context &c, const CKELTree &tree, const QString &text)
{
    bool ok = false;
    const int id = text.toInt(&ok);
    const CKELMethod *node = ok ? TreeOps::NodeOf(tree, id) : nullptr;
    if (!node)
        Cli::Fail(c, CliTexts::NoNodeInTree(text, tree.GetName()));
    return node;
}

void printNodes(Cli::Context &c, const CKELDataManager &manager, const QList<int> &ids)
{
    for (int id : ids) {
        const CKELData *n = manager.Lookup(id);
        c.out << id << ' ' << (n ? n->GetLabel() : QString()) << '\n';
    }
}

void layOut(CKELDataManager &manager, const CKELTree &tree, int subtreeOf = 0)
{
    const CTreeLayout layout(tree);
    CTreeLayout::ApplyMoves(manager, subtreeOf ? layout.RearrangeSubtree(subtreeOf, true) : layout.RearrangeAll());
}

enum class Mark { Integration, Missing, Matches };

int runMark(Cli::Context &c, Mark kind)
{
    const qsizetype want = kind == Mark::Matches ? 3 : 2;
    if (c.args.size() != want) {
        return Cli::Usage(c, kind == Mark::Matches ? CliTexts::MarkMatchesUsage : CliTexts::MarkUsage);
    }
    CKELDataManager manager;
    const CKELDBT *dbt = loadDbt(c, manager);
    if (!dbt)
        return Cli::FileError;
    QList<int> marked;
    CIntegrationMarks marks;
    switch (kind) {
    case Mark::Integration: marked = CIntegration::MarkIntegrationPoints(*dbt, marks, true); break;
    case Mark::Missing: marked = CIntegration::MarkMissingPreconditions(*dbt, marks, true); break;
    case Mark::Matches: {
        const CKELMethod *x = findNode(c, *dbt, c.args[2]);
        if (!x)
            return Cli::FileError;
        marked = CIntegration::MarkAllMatchingNodes(*dbt, marks, x->GetId());
        break;
    }
    }
    printNodes(c, manager, marked);
    return Cli::Ok;
}

enum class Integrate { Next, This };

int runIntegrate(Cli::Context &c, Integrate kind)
{
    if (c.args.size() != 3 || c.output.isEmpty())
        return Cli::Usage(c, CliTexts::IntegrateUsage);
    CKELDataManager manager;
    const CKELDBT *dbt = loadDbt(c, manager);
    if (!dbt)
        return Cli::FileError;
    const CKELMethod *x = findNode(c, *dbt, c.args[2]);
    if (!x)
        return Cli::FileError;
    const int nodeId = x->GetId();
    if (kind == Integrate::Next) {
        if (!manager.IntegrateNextMatchingRBT(nodeId))
            return Cli::Fail(c, CliTexts::NoMatchingRoot(nodeId));
        layOut(manager, *dbt);
    } else {
        Cli::CCliPrompt prompt(c.err, CPrompt::Yes);
        // the match is found here, with the command's questions, since its
        // tree is arranged afterwards; the graft itself is the same record
        // the window's command sends
        const int match = CIntegration::FindIntegrationTarget(manager, nodeId, prompt);
        if (!match
            || !manager.ApplyOperationRecord(
                COperationRecord(u"inttre").Int(u"mid", match).Int(u"rid", nodeId).ToString()))
            return Cli::FileError;
        // the match's tree is arranged from its root, as after the command in a window
        layOut(manager, *dbt, match);
    }
    return Cli::Save(c, manager, c.output) ? Cli::Ok : Cli::FileError;
}

int runCopyRbt(Cli::Context &c)
{
    if (c.args.size() != 3 || c.output.isEmpty())
        return Cli::Usage(c, CliTexts::CopyRbtUsage);
    CKELDataManager manager;
    const CKELDBT *dbt = loadDbt(c, manager);
    if (!dbt)
        return Cli::FileError;
    const CKELTree *rbt = Cli::FindTree(c, manager, c.args[2]);
    if (!rbt)
        return Cli::FileError;
    if (rbt->GetTypeCode() != KEL::RBT)
        return Cli::Fail(c, CliTexts::NotAnRbt(c.args[2]));
    // an RBT without nodes copies nothing, which is no failure here
    manager.CopyTree(dbt->GetId(), rbt->GetId());
    layOut(manager, *dbt);
    return Cli::Save(c, manager, c.output) ? Cli::Ok : Cli::FileError;
}

const Cli::Registration regMarkIntegration("mark integration", CliTexts::MarkIntegrationHelp,
                                           [](Cli::Context &c) { return runMark(c, Mark::Integration); });
const Cli::Registration regMarkMissing("mark missing", CliTexts::MarkMissingHelp,
                                       [](Cli::Context &c) { return runMark(c, Mark::Missing); });
const Cli::Registration regMarkMatches("mark matches", CliTexts::MarkMatchesHelp,
                                       [](Cli::Context &c) { return runMark(c, Mark::Matches); });
const Cli::Registration regIntegrateNext("integrate next", CliTexts::IntegrateNextHelp,
                                         [](Cli::Context &c) { return runIntegrate(c, Integrate::Next); });
const Cli::Registration regIntegrateThis("integrate this", CliTexts::IntegrateThisHelp,
                                         [](Cli::Context &c) { return runIntegrate(c, Integrate::This); });
const Cli::Registration regCopyRbt("copy-rbt", CliTexts::CopyRbtHelp, &runCopyRbt);

} // namespace
