// apply and set-current: model edits from the command line.
#include "clicommands.h"

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/prompt.h"
#include "edit/undohistory.h"

#include <QFile>

namespace {

int runApply(Cli::Context &c)
{
    const bool fresh = c.flags.contains(QStringLiteral("new"));
    if (c.args.size() != (fresh ? 1 : 2) || c.output.isEmpty())
        return Cli::Usage(c, CliTexts::ApplyUsage);
    CKELDataManager manager;
    Cli::CCliPrompt prompt(c.err, CPrompt::Yes);
    manager.SetPrompt(&prompt);
    if (fresh)
        manager.NewSolution();
    else if (!Cli::Load(c, manager, c.args[0]))
        return Cli::FileError;

    QFile ops(c.args.last());
    if (!ops.open(QIODevice::ReadOnly))
        return Cli::Fail(c, CliTexts::CannotReadQuoted(ops.fileName(), ops.errorString()));
    const bool raw = c.flags.contains(QStringLiteral("raw"));
    int lineNo = 0;
    int refused = 0;
    while (!ops.atEnd()) {
        ++lineNo;
        QString line = QString::fromUtf8(ops.readLine());
        while (line.endsWith(u'\n') || line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        // "undo;" and "redo;" act as the user's Undo and Redo at that point
        const QString word = line.trimmed();
        bool done = false;
        if (word == u"undo;" && !raw)
            done = manager.History().Undo();
        else if (word == u"redo;" && !raw)
            done = manager.History().Redo();
        else
            done = raw ? manager.ApplyOperationRecord(line) : manager.ExecuteRecordAsCommand(line);
        if (!done) {
            ++refused;
            c.err << CliTexts::LineNotApplied(lineNo);
        }
    }
    if (refused)
        c.err << CliTexts::RecordsNotApplied(refused);
    if (!Cli::Save(c, manager, c.output))
        return Cli::FileError;
    // the output is written either way; scripts still learn that lines were refused
    return refused ? Cli::Refused : Cli::Ok;
}

int runSetCurrent(Cli::Context &c)
{
    if (c.args.size() != 2 || c.output.isEmpty())
        return Cli::Usage(c, CliTexts::SetCurrentUsage);
    CKELDataManager manager;
    if (!Cli::Load(c, manager, c.args[0]))
        return Cli::FileError;
    bool ok = false;
    const int id = c.args[1].toInt(&ok);
    if (!ok || !manager.SetCurrentVersion(id))
        return Cli::Fail(c, CliTexts::NoVersionWithId(c.args[1]));
    return Cli::Save(c, manager, c.output) ? Cli::Ok : Cli::FileError;
}

const Cli::OptionRegistration optNew("new", CliTexts::NewOptionHelp, false);
const Cli::OptionRegistration optRaw("raw", CliTexts::RawOptionHelp, false);
const Cli::Registration regApply("apply", CliTexts::ApplyHelp, &runApply);
const Cli::Registration regSetCurrent("set-current", CliTexts::SetCurrentHelp, &runSetCurrent);

} // namespace
