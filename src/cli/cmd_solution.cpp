// new, show, resave: whole solution files.
#include "clicommands.h"

#include "model/explorerlisting.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"

namespace {

int runNew(Cli::Context &c)
{
    if (c.args.size() != 1)
        return Cli::Usage(c, CliTexts::NewUsage);
    CKELDataManager manager;
    manager.NewSolution();
    return Cli::Save(c, manager, c.args[0]) ? Cli::Ok : Cli::FileError;
}

int runShow(Cli::Context &c)
{
    if (c.args.size() != 1)
        return Cli::Usage(c, CliTexts::ShowUsage);
    CKELDataManager manager;
    if (!Cli::Load(c, manager, c.args[0]))
        return Cli::FileError;
    c.out << ExplorerText(manager.Solution());
    return Cli::Done(c, Cli::Ok);
}

int runResave(Cli::Context &c)
{
    if (c.args.size() != 1 || c.output.isEmpty())
        return Cli::Usage(c, CliTexts::ResaveUsage);
    CKELDataManager manager;
    if (!Cli::Load(c, manager, c.args[0]))
        return Cli::FileError;
    return Cli::Done(c, Cli::Save(c, manager, c.output) ? Cli::Ok : Cli::FileError);
}

const Cli::Registration regNew("new", CliTexts::NewHelp, &runNew);
const Cli::Registration regShow("show", CliTexts::ShowHelp, &runShow);
const Cli::Registration regResave("resave", CliTexts::ResaveHelp, &runResave);

} // namespace
