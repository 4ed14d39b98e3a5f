// translate zeph: a tree as a program of the ZEPH simulation language.
#include "clicommands.h"

#include "model/keldatamanager.h"
#include "model/keltree.h"
#include "simulate/abstranslator.h"

namespace {

int runTranslateZeph(Cli::Context &c)
{
    if (c.args.size() != 2)
        return Cli::Usage(c, CliTexts::TranslateZephUsage);
    int maxEvents = 10;
    if (c.values.contains(QStringLiteral("max-events"))) {
        bool ok = false;
        maxEvents = c.values.value(QStringLiteral("max-events")).toInt(&ok);
        if (!ok || maxEvents < 0)
            return Cli::Usage(c, CliTexts::MaxEventsUsage);
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
        return Cli::Fail(c, CliTexts::TreeHasNoNodes(tree->GetName()));
    c.out << text;
    return Cli::Ok;
}

const Cli::Registration registerTranslateZeph("translate zeph", CliTexts::TranslateZephHelp, &runTranslateZeph);
const Cli::OptionRegistration optMaxEvents("max-events", CliTexts::MaxEventsOptionHelp, true);
const Cli::OptionRegistration optShowIds("show-node-ids", CliTexts::ShowNodeIdsOptionHelp, false);

} // namespace
