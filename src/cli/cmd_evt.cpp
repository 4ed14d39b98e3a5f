// evt: build an evolution tree over trees of one or several versions.
#include "clicommands.h"

#include "derive/evolution.h"
#include "layout/treelayout.h"
#include "model/keldatamanager.h"
#include "model/keltree.h"
#include "model/prompt.h"

namespace {

int runEvt(Cli::Context &c)
{
    if (c.args.size() < 3 || c.output.isEmpty())
        return Cli::Usage(c, CliTexts::EvtUsage);
    CKELDataManager manager;
    if (!Cli::Load(c, manager, c.args[0]))
        return Cli::FileError;
    QList<int> ids;
    for (qsizetype i = 1; i < c.args.size(); ++i) {
        const CKELTree *tree = Cli::FindTree(c, manager, c.args[i]);
        if (!tree)
            return Cli::FileError;
        ids.append(tree->GetId());
    }
    Cli::CCliPrompt prompt(c.err, CPrompt::Cancel);
    bool built = false;
    const CKELEVT *evt = Evolution::CreateEvolutionTree(manager, ids, prompt, &built);
    // an evolution tree that could not be built is not saved
    if (!evt || !built)
        return Cli::FileError;
    // laid out as the window lays out a new evolution tree: its copies
    // still stand where the source trees had them
    CTreeLayout::ApplyMoves(manager, CTreeLayout(*evt).RearrangeAll());
    if (!Cli::Save(c, manager, c.output))
        return Cli::FileError;
    c.out << '#' << evt->GetId() << ' ' << evt->GetName() << '\n';
    return Cli::Ok;
}

const Cli::Registration reg("evt", CliTexts::EvtHelp, &runEvt);

} // namespace
