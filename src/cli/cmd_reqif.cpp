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
        return Cli::Usage(c, QStringLiteral("'export-reqif' takes a solution file and -o OUT.reqif"));
    CKELDataManager manager;
    if (!Cli::Load(c, manager, c.args[0]))
        return Cli::FileError;
    QSaveFile file(c.output);
    QString error;
    if (!file.open(QIODevice::WriteOnly) || !ReqIF::Write(manager, file, &error) || !file.commit())
        return Cli::Fail(
            c, QStringLiteral("Cannot write %1: %2").arg(c.output, error.isEmpty() ? file.errorString() : error));
    return Cli::Done(c, Cli::Ok);
}

int runImport(Cli::Context &c)
{
    if (c.args.size() != 2 || c.output.isEmpty())
        return Cli::Usage(c, QStringLiteral("'import-reqif' takes a solution file, a ReqIF file and -o OUT.kvf"));
    CKELDataManager manager;
    if (!Cli::Load(c, manager, c.args[0]))
        return Cli::FileError;
    QFile in(c.args[1]);
    if (!in.open(QIODevice::ReadOnly))
        return Cli::Fail(c, QStringLiteral("Cannot read %1: %2").arg(c.args[1], in.errorString()));
    ReqIF::CReadReport read;
    QString error;
    if (!ReqIF::Read(in, read, &error))
        return Cli::Fail(c, c.args[1] + QStringLiteral(": ") + error);
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
    c.out << done.added << " requirement(s) added, " << done.changed << " changed, " << plan.unchanged << " unchanged";
    if (done.refused)
        c.out << ", " << done.refused << " refused";
    if (read.withoutTag)
        c.out << ", " << read.withoutTag << " without a tag skipped";
    c.out << '\n';
    int code = done.refused ? int(Cli::Refused) : int(Cli::Ok);
    if (!update && !plan.changed.isEmpty()) {
        c.err << "verdantis-cli: " << plan.changed.size()
              << " requirement(s) have other descriptions in the file; left as they are (--update changes them):\n"
              << ReqIF::DescribeChanges(plan) << '\n';
        code = Cli::Refused;
    }
    if (!Cli::Save(c, manager, c.output))
        return Cli::FileError;
    return Cli::Done(c, code);
}

const Cli::Registration regExport("export-reqif",
                                  "export-reqif FILE.kvf -o OUT.reqif   write every version's requirements as ReqIF",
                                  &runExport);
const Cli::Registration regImport(
    "import-reqif",
    "import-reqif FILE.kvf IN.reqif -o OUT.kvf [--update] [--module NAME]\n"
    "              add the requirements of a ReqIF file; --update also changes differing descriptions",
    &runImport);
const Cli::OptionRegistration optUpdate("update", "with import-reqif: change descriptions that differ", false);
const Cli::OptionRegistration optModule("module", "with import-reqif: import only this module", true);

} // namespace
