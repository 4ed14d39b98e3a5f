// import-reqs, import-nodes: requirements and nodes from text files, added
// through the model's commands as the requirements assistant adds them.
#include "clicommands.h"

#include "model/keldatamanager.h"
#include "model/keltree.h"
#include "model/prompt.h"
#include "reqimport/documentimport.h"
#include "reqimport/reqimport.h"

namespace {

bool characterOption(Cli::Context &c, const QString &option, const QHash<QString, QChar> &choices, QChar &out)
{
    if (!c.values.contains(option))
        return true;
    const QString value = c.values.value(option);
    if (!choices.contains(value))
        return false;
    out = choices.value(value);
    return true;
}

int runImportReqs(Cli::Context &c)
{
    if (c.args.size() != 2 || c.output.isEmpty())
        return Cli::Usage(c, CliTexts::ImportReqsUsage);
    CTagSpecs tagRules;
    if (!characterOption(c, QStringLiteral("preceded"),
                         {{QStringLiteral("newline"), u'\n'}, {QStringLiteral("period"), u'.'}}, tagRules.precededBy))
        return Cli::Usage(c, CliTexts::PrecededUsage);
    if (!characterOption(
            c, QStringLiteral("separator"),
            {{QStringLiteral("period"), u'.'}, {QStringLiteral("colon"), u':'}, {QStringLiteral("newline"), u'\n'}},
            tagRules.separator))
        return Cli::Usage(c, CliTexts::SeparatorUsage);
    if (c.values.contains(QStringLiteral("only-tags"))) {
        tagRules.onlyAddedTags = true;
        for (const QString &t : c.values.value(QStringLiteral("only-tags")).split(u','))
            tagRules.addedTags.append(t.trimmed());
    }

    CKELDataManager manager;
    if (!Cli::Load(c, manager, c.args[0]))
        return Cli::FileError;
    QString text;
    QString error;
    if (!DocumentImport::Read(c.args[1], tagRules, text, &error))
        return Cli::Fail(c, error);
    // a component name that differs from an existing one only in case is
    // kept as written
    Cli::CCliPrompt prompt(c.err, CPrompt::No);
    manager.SetPrompt(&prompt);
    const QList<CScannedRequirement> found = RequirementScan::Scan(text, tagRules);
    const int added = ReqImport::ExportRequirements(manager, found);
    c.out << CliTexts::RequirementsAdded(added, found.size() - added);
    return Cli::Save(c, manager, c.output) ? Cli::Ok : Cli::FileError;
}

int runImportNodes(Cli::Context &c)
{
    if (c.args.size() != 3 || c.output.isEmpty())
        return Cli::Usage(c, CliTexts::ImportNodesUsage);
    CKELDataManager manager;
    const CKELTree *tree = Cli::LoadTree(c, manager);
    if (!tree)
        return Cli::FileError;
    QString text;
    QString error;
    if (!ReqImport::ReadText(c.args[2], text, &error))
        return Cli::Fail(c, error);
    // a component name that differs from an existing one only in case is
    // kept as written
    Cli::CCliPrompt prompt(c.err, CPrompt::No);
    manager.SetPrompt(&prompt);
    // a line without brackets is a state realisation, as "STATE" heads the types
    const ReqImport::NodeExport result = ReqImport::ExportNodes(manager, tree->GetId(), text, KEL::StateRealisation);
    c.out << CliTexts::NodesAdded(result.added, result.refused);
    return Cli::Save(c, manager, c.output) ? Cli::Ok : Cli::FileError;
}

const Cli::Registration regReqs("import-reqs", CliTexts::ImportReqsHelp, &runImportReqs);
const Cli::Registration regNodes("import-nodes", CliTexts::ImportNodesHelp, &runImportNodes);
const Cli::OptionRegistration optPreceded("preceded", CliTexts::PrecededOptionHelp, true);
const Cli::OptionRegistration optSeparator("separator", CliTexts::SeparatorOptionHelp, true);
const Cli::OptionRegistration optOnlyTags("only-tags", CliTexts::OnlyTagsOptionHelp, true);

} // namespace
