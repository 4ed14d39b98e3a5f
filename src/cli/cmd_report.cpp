// report: which requirements the design covers, and which behavior answers
// to no requirement, as HTML (with the design trees drawn), CSV or JSON.
#include "clicommands.h"

#include "model/keldatamanager.h"
#include "reqimport/traceability.h"

#ifdef VERDANTIS_WITH_GUI
#include "editor/tracedrawing.h"

#include <QGuiApplication>
#endif

#include <QSaveFile>

namespace {

int runReport(Cli::Context &c)
{
    if (c.args.size() != 1 || c.output.isEmpty())
        return Cli::Usage(c, CliTexts::ReportUsage);
    Traceability::Format format = Traceability::FormatOfPath(c.output);
    if (c.values.contains(QStringLiteral("format")))
        format = Traceability::FormatNamed(c.values.value(QStringLiteral("format")));
    if (format == Traceability::Format::Unknown)
        return Cli::Usage(c, CliTexts::ReportFormatUsage);

    CKELDataManager manager;
    if (!Cli::Load(c, manager, c.args[0]))
        return Cli::FileError;
    const CKELVersion *version = manager.CurrentVersion();
    if (c.values.contains(QStringLiteral("solution-version"))) {
        const QString name = c.values.value(QStringLiteral("solution-version"));
        version = Traceability::VersionNamed(manager, name);
        if (!version)
            return Cli::Fail(c, CliTexts::NoVersionNamed(name));
    }
    const Traceability::CReport report = Traceability::Build(manager, version);

    QSaveFile file(c.output);
    if (!file.open(QIODevice::WriteOnly))
        return Cli::Fail(c, CliTexts::CannotWrite(c.output, file.errorString()));
    Traceability::TreeDrawing drawing;
#ifdef VERDANTIS_WITH_GUI
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        drawing = [&manager](int treeId) { return TraceDrawing(manager, treeId); };
#endif
    const bool written = Traceability::Write(report, format, file, drawing);
    if (!written || !file.commit())
        return Cli::Fail(c, CliTexts::CannotWrite(c.output, file.errorString()));
    c.out << CliTexts::ReportSummary(report.requirements.size(), report.Count(Traceability::Coverage::Covered),
                                     report.Count(Traceability::Coverage::OnlyInRBTs),
                                     report.Count(Traceability::Coverage::NotCovered), report.untraced.size());
    return Cli::Done(c, Cli::Ok);
}

const Cli::Registration registerReport("report", CliTexts::ReportHelp, &runReport);
const Cli::OptionRegistration optFormat("format", CliTexts::FormatOptionHelp, true);
// "--version V" after "report" arrives under this name (see Run)
const Cli::OptionRegistration optVersion("solution-version", CliTexts::SolutionVersionOptionHelp, true);

} // namespace
