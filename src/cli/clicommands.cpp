#include "clicommands.h"

#include "model/explorerlisting.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/solutionfile.h"

#include <QCommandLineParser>

namespace Cli {
namespace {

const char kUsage[] =
    "Usage: verdantis-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  new OUT.kvf                  write a new, empty solution\n"
    "  show FILE.kvf                print the solution as the explorer shows it\n"
    "  resave FILE.kvf -o OUT.kvf   load a solution and save it again\n"
    "\n"
    "Options:\n"
    "  -o, --output FILE            where to write the result\n"
    "  -h, --help                   show this help\n"
    "  -v, --version                show the version\n"
    "\n"
    "Exit codes: 0 success, 1 wrong usage, 2 a file could not be read or written.\n";

struct Context
{
    QTextStream &out;
    QTextStream &err;
    QStringList args; // positional arguments after the command
    QString output;
};

int usage(Context &c, const QString &message)
{
    c.err << "verdantis-cli: " << message << "\n\n" << kUsage;
    return UsageError;
}

bool load(Context &c, CKELDataManager &manager, const QString &path)
{
    QString error;
    if (!CSolutionFile::Read(manager, path, &error)) {
        c.err << "verdantis-cli: " << error << '\n';
        return false;
    }
    const CKELDataManager::LoadReport &r = manager.LastLoadReport();
    if (r.ignoredLines || r.refusedLinks || r.duplicateIds) {
        c.err << "verdantis-cli: warning: " << path << ": " << r.ignoredLines
              << " line(s) ignored, " << r.refusedLinks << " link(s) refused, " << r.duplicateIds
              << " repeated id(s) replaced\n";
    }
    return true;
}

bool save(Context &c, const CKELDataManager &manager, const QString &path)
{
    QString error;
    if (!CSolutionFile::Write(manager, path, &error)) {
        c.err << "verdantis-cli: " << error << '\n';
        return false;
    }
    return true;
}

int cmdNew(Context &c)
{
    if (c.args.size() != 1)
        return usage(c, QStringLiteral("'new' takes one file name"));
    CKELDataManager manager;
    manager.NewSolution();
    return save(c, manager, c.args[0]) ? Ok : FileError;
}

int cmdShow(Context &c)
{
    if (c.args.size() != 1)
        return usage(c, QStringLiteral("'show' takes one solution file"));
    CKELDataManager manager;
    if (!load(c, manager, c.args[0]))
        return FileError;
    c.out << ExplorerText(manager.Solution());
    return Ok;
}

int cmdResave(Context &c)
{
    if (c.args.size() != 1 || c.output.isEmpty())
        return usage(c, QStringLiteral("'resave' takes one solution file and -o OUT.kvf"));
    CKELDataManager manager;
    if (!load(c, manager, c.args[0]))
        return FileError;
    return save(c, manager, c.output) ? Ok : FileError;
}

} // namespace

int Run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption outputOption({QStringLiteral("o"), QStringLiteral("output")},
                                          QStringLiteral("Output file."), QStringLiteral("file"));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show help."));
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Show the version."));
    parser.addOption(outputOption);
    parser.addOption(helpOption);
    parser.addOption(versionOption);

    Context c{out, err, {}, {}};
    if (!parser.parse(arguments))
        return usage(c, parser.errorText());
    if (parser.isSet(helpOption)) {
        out << kUsage;
        return Ok;
    }
    if (parser.isSet(versionOption)) {
        out << "verdantis-cli " << VERDANTIS_VERSION << '\n';
        return Ok;
    }
    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return usage(c, QStringLiteral("no command given"));
    const QString command = positional.takeFirst();
    c.args = positional;
    c.output = parser.value(outputOption);

    if (command == u"new")
        return cmdNew(c);
    if (command == u"show")
        return cmdShow(c);
    if (command == u"resave")
        return cmdResave(c);
    return usage(c, QStringLiteral("unknown command '%1'").arg(command));
}

} // namespace Cli
