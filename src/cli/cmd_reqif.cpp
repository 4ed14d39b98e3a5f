// export-reqif, import-reqif: requirements exchanged with requirements
// tools as ReqIF files.
#include "clicommands.h"

#include "model/keldatamanager.h"
#include "model/kelcontainers.h"
#include "model/prompt.h"
#include "reqimport/reqif.h"

#include <QFile>
#include <QSaveFile>

namespace {

int runExport(Cli::Context &c)
{
    if (c.args.size() != 1 || c.output.isEmpty())
        return Cli::Usage(c, CliTexts::ExportReqifUsage);
    CKELDataManager manager;
    if (!Cli::Load(c, manager, c.args[0]))
        return Cli::FileError;
    QSaveFile file(c.output);
    QString error;
    if (!file.open(QIODevice::WriteOnly) || !ReqIF::Write(manager, file, &error) || !file.commit())
        return Cli::Fail(c, CliTexts::CannotWrite(c.output, error.isEmpty() ? file.errorString() : error));
    return Cli::Done(c, Cli::Ok);
}

int runImport(Cli::Context &c)
{
    if (c.args.size() != 2 || c.output.isEmpty())
        return Cli::Usage(c, CliTexts::ImportReqifUsage);
    CKELDataManager manager;
    if (!Cli::Load(c, manager, c.args[0]))
        return Cli::FileError;
    QFile in(c.args[1]);
    if (!in.open(QIODevice::ReadOnly))
        return Cli::Fail(c, CliTexts::CannotRead(c.args[1], in.errorString()));
    ReqIF::CReadReport read;
    QString error;
    if (!ReqIF::Read(in, read, &error))
        return Cli::Fail(c, CliTexts::InFile(c.args[1], error));
    const CKELVersion *current = manager.CurrentVersion();
    const QList<ReqIF::CEntry> entries =
        ReqIF::Choose(read, c.values.value(QStringLiteral("module")), current ? current->GetName() : QString(), &error);
    if (!error.isEmpty())
        return Cli::Fail(c, error);
    const ReqIF::CImportPlan plan = ReqIF::Plan(manager, entries);
    const bool update = c.flags.contains(QStringLiteral("update"));
    // refusals of single requirements go to standard error; nothing is asked
    Cli::CCliPrompt prompt(c.err, CPrompt::No);
    manager.SetPrompt(&prompt);
    const ReqIF::CApplied done = ReqIF::Apply(manager, plan, update);
    c.out << CliTexts::ReqifApplied(done.added, done.changed, plan.unchanged, done.refused, read.withoutTag);
    int code = done.refused ? int(Cli::Refused) : int(Cli::Ok);
    if (!update && !plan.changed.isEmpty()) {
        c.err << CliTexts::DescriptionsDiffer(plan.changed.size(), ReqIF::DescribeChanges(plan));
        code = Cli::Refused;
    }
    if (!Cli::Save(c, manager, c.output))
        return Cli::FileError;
    return Cli::Done(c, code);
}

const Cli::Registration regExport("export-reqif", CliTexts::ExportReqifHelp, &runExport);
const Cli::Registration regImport("import-reqif", CliTexts::ImportReqifHelp, &runImport);
const Cli::OptionRegistration optUpdate("update", CliTexts::UpdateOptionHelp, false);
const Cli::OptionRegistration optModule("module", CliTexts::ModuleOptionHelp, true);

} // namespace
