// translate zeph: a tree as a program of the ZEPH simulation language.
#include "clicommands.h"

#include "model/keldatamanager.h"
#include "model/keltree.h"
#include "simulate/abstranslator.h"

namespace {

int runTranslateZeph(Cli::Context &c)
{
    if (c.args.size() != 2)
        return Cli::Usage(c, QStringLiteral("'translate zeph' takes a solution file and a tree"));
    int maxEvents = 10;
    if (c.values.contains(QStringLiteral("max-events"))) {
        bool ok = false;
        maxEvents = c.values.value(QStringLiteral("max-events")).toInt(&ok);
        if (!ok || maxEvents < 0)
            return Cli::Usage(c, QStringLiteral("--max-events takes a number of events (0 or more)"));
    }
    CKELDataManager manager;
    const CKELTree *tree = Cli::LoadTree(c, manager);
    if (!tree)
        return Cli::FileError;
    QString error;
    const QString text =
        Zeph::TranslateTree(manager, *tree, maxEvents, c.flags.contains(QStringLiteral("show-node-ids")), &error);
    if (!error.isEmpty())
        return Cli::Fail(c, error);
    if (text.isEmpty())
        return Cli::Fail(c, QStringLiteral("tree \"%1\" has no nodes").arg(tree->GetName()));
    c.out << text;
    return Cli::Ok;
}

const Cli::Registration reg("translate zeph",
                            "translate zeph FILE TREE [--max-events N] [--show-node-ids]  print TREE as a ZEPH program",
                            &runTranslateZeph);
const Cli::OptionRegistration optMaxEvents("max-events", "with translate zeph: bound on external events (10)", true);
const Cli::OptionRegistration optShowIds("show-node-ids", "with translate zeph: label every node", false);

} // namespace
