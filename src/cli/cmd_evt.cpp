// evt: build an evolution tree over trees of one or several versions.
#include "clicommands.h"

#include "layout/treelayout.h"
#include "model/keldatamanager.h"
#include "model/keltree.h"
#include "model/prompt.h"

namespace {

// Notes whether the build was refused: every message of the evolution
// builder is a refusal, and a tree it could not fill is not saved.
class CRefusalPrompt : public Cli::CCliPrompt
{
public:
    using Cli::CCliPrompt::CCliPrompt;
    void Message(const QString &text, const QString &caption) override
    {
        refused = true;
        Cli::CCliPrompt::Message(text, caption);
    }
    bool refused = false;
};

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
    CRefusalPrompt prompt(c.err, CPrompt::Cancel);
    manager.SetPrompt(&prompt);
    // made through the same command as the window's, so the model changes
    // only through its records
    int evtId = 0;
    QObject::connect(&manager, &CKELDataManager::elementAdded, &manager, [&](int id) {
        if (!evtId && manager.LookupAs<CKELEVT>(id, KEL::EVT))
            evtId = id;
    });
    const bool added = manager.AddEVT(ids);
    const CKELEVT *evt = manager.LookupAs<CKELEVT>(evtId, KEL::EVT);
    // an evolution tree that could not be built is not saved
    if (!added || !evt || prompt.refused)
        return Cli::FileError;
    // laid out as the window lays out a new evolution tree: its copies
    // still stand where the source trees had them
    CTreeLayout::ApplyMoves(manager, CTreeLayout(*evt).RearrangeAll());
    if (!Cli::Save(c, manager, c.output))
        return Cli::FileError;
    c.out << '#' << evt->GetId() << ' ' << evt->GetName() << '\n';
    return Cli::Ok;
}

const Cli::Registration registerEvt("evt", CliTexts::EvtHelp, &runEvt);

} // namespace
