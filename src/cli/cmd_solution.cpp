// new, show, resave: whole solution files.
#include "clicommands.h"

#include "model/explorerlisting.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"

namespace {

int runNew(Cli::Context &c)
{
    if (c.args.size() != 1)
        return Cli::Usage(c, QStringLiteral("'new' takes one file name"));
    CKELDataManager manager;
    manager.NewSolution();
    return Cli::Save(c, manager, c.args[0]) ? Cli::Ok : Cli::FileError;
}

int runShow(Cli::Context &c)
{
    if (c.args.size() != 1)
        return Cli::Usage(c, QStringLiteral("'show' takes one solution file"));
    CKELDataManager manager;
    if (!Cli::Load(c, manager, c.args[0]))
        return Cli::FileError;
    c.out << ExplorerText(manager.Solution());
    return Cli::Done(c, Cli::Ok);
}

int runResave(Cli::Context &c)
{
    if (c.args.size() != 1 || c.output.isEmpty())
        return Cli::Usage(c, QStringLiteral("'resave' takes one solution file and -o OUT.kvf"));
    CKELDataManager manager;
    if (!Cli::Load(c, manager, c.args[0]))
        return Cli::FileError;
    return Cli::Done(c, Cli::Save(c, manager, c.output) ? Cli::Ok : Cli::FileError);
}

const Cli::Registration regNew("new", "new OUT.kvf                     write a new, empty solution", &runNew);
const Cli::Registration regShow("show", "show FILE.kvf                   print the solution as the explorer shows it",
                                &runShow);
const Cli::Registration regResave("resave", "resave FILE.kvf -o OUT.kvf      load a solution and save it again",
                                  &runResave);

} // namespace
