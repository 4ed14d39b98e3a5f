#include "clicommands.h"

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/keltree.h"
#include "model/solutionfile.h"

#include <QCommandLineParser>

#include <cstdio>
#include <cstdlib>
#include <map>

namespace Cli {
namespace {

struct Entry
{
    QString usage;
    Handler handler;
};

std::map<QString, Entry> &commands()
{
    static std::map<QString, Entry> table;
    return table;
}

struct OptionEntry
{
    QString name;
    QString description;
    bool takesValue;
};

std::vector<OptionEntry> &options()
{
    static std::vector<OptionEntry> list;
    return list;
}

QString usageText()
{
    QString text = CliTexts::UsageHead;
    for (const auto &[name, entry] : commands())
        text += QStringLiteral("  ") + entry.usage + u'\n';
    text += CliTexts::UsageOptionsHead;
    for (const OptionEntry &o : options())
        text += CliTexts::UsageOption(o.name, o.takesValue, o.description);
    return text + CliTexts::UsageTail;
}

} // namespace

QStringList CommandNames()
{
    QStringList names;
    for (const auto &[name, entry] : commands())
        names.append(name);
    return names;
}

QStringList OptionNames()
{
    QStringList names{QStringLiteral("--help"), QStringLiteral("--output"), QStringLiteral("--version")};
    for (const OptionEntry &o : options())
        names.append(QStringLiteral("--") + o.name);
    names.sort();
    return names;
}

QString UsageText()
{
    return usageText();
}

Registration::Registration(const char *name, const QString &usageLine, Handler handler)
{
    commands()[QString::fromUtf8(name)] = {usageLine, std::move(handler)};
}

OptionRegistration::OptionRegistration(const char *longName, const QString &description, bool takesValue)
{
    options().push_back({QString::fromUtf8(longName), description, takesValue});
}

namespace {
bool exitWhenDone = false;
} // namespace

void SetExitWhenDone(bool on)
{
    exitWhenDone = on;
}

int Done(Context &c, int code)
{
    if (!exitWhenDone)
        return code;
    c.out.flush();
    c.err.flush();
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}

int Usage(Context &c, const QString &message)
{
    c.err << CliTexts::Error(message) << '\n' << usageText();
    return UsageError;
}

int Fail(Context &c, const QString &message)
{
    c.err << CliTexts::Error(message);
    return FileError;
}

bool Load(Context &c, CKELDataManager &manager, const QString &path)
{
    QString error;
    if (!CSolutionFile::Read(manager, path, &error)) {
        Fail(c, error);
        return false;
    }
    const CKELDataManager::LoadReport &r = manager.LastLoadReport();
    if (r.ignoredLines || r.refusedLinks || r.duplicateIds)
        c.err << CliTexts::Warning(path, CliTexts::LoadRepairs(r.ignoredLines, r.refusedLinks, r.duplicateIds));
    if (r.damagedCounter)
        c.err << CliTexts::Warning(path, CliTexts::DamagedCounter);
    return true;
}

bool Save(Context &c, const CKELDataManager &manager, const QString &path)
{
    QString error;
    bool inPlace = false;
    if (!CSolutionFile::Write(manager, path, &error, &inPlace)) {
        Fail(c, error);
        return false;
    }
    if (inPlace)
        c.err << CliTexts::Warning(path, CliTexts::WrittenInPlace);
    return true;
}

const CKELTree *LoadTree(Context &c, CKELDataManager &manager)
{
    if (c.args.size() < 2 || !Load(c, manager, c.args[0]))
        return nullptr;
    return FindTree(c, manager, c.args[1]);
}

void CCliPrompt::show(const QString &text, const QString &caption, const QString &answer)
{
    // a question of several lines stays one line of the log
    m_err << CliTexts::PromptLine(caption, QString(text).replace(u'\n', u' '), answer);
}

void CCliPrompt::Message(const QString &text, const QString &caption)
{
    show(text, caption, QString());
}

bool CCliPrompt::YesNo(const QString &text, const QString &caption)
{
    show(text, caption, m_answer == Yes ? CliTexts::AnswerYes : CliTexts::AnswerNo);
    return m_answer == Yes;
}

CPrompt::Answer CCliPrompt::YesNoCancel(const QString &text, const QString &caption)
{
    show(text, caption,
         m_answer == Yes  ? CliTexts::AnswerYes
         : m_answer == No ? CliTexts::AnswerNo
                          : CliTexts::AnswerCancel);
    return m_answer;
}

bool CCliPrompt::OkCancel(const QString &text, const QString &caption)
{
    show(text, caption, m_answer == Yes ? CliTexts::AnswerOk : CliTexts::AnswerCancel);
    return m_answer == Yes;
}

const CKELTree *FindTree(Context &c, const CKELDataManager &manager, const QString &treeName)
{
    if (treeName.startsWith(u'#')) {
        bool ok = false;
        const int id = treeName.mid(1).toInt(&ok);
        const CKELData *e = ok ? manager.Lookup(id) : nullptr;
        if (!e || !e->IsTree()) {
            Fail(c, CliTexts::NoTreeWithId(treeName));
            return nullptr;
        }
        return static_cast<const CKELTree *>(e);
    }
    const CKELVersion *version = manager.CurrentVersion();
    QList<const CKELData *> folders;
    if (version) {
        folders << version->RBTFolder() << version->DBTFolder();
    }
    if (manager.Solution())
        folders << manager.Solution()->EvtFolder();
    for (const CKELData *folder : std::as_const(folders)) {
        if (!folder)
            continue;
        QList<const CKELTree *> found;
        for (const auto &child : folder->Children()) {
            if (child->IsTree() && child->GetName() == treeName)
                found.append(static_cast<const CKELTree *>(child.get()));
        }
        if (found.size() == 1)
            return found.first();
        if (found.size() > 1) {
            Fail(c, CliTexts::AmbiguousTree(treeName, found.size()));
            return nullptr;
        }
    }
    Fail(c, CliTexts::NoTreeNamed(treeName));
    return nullptr;
}

int Run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption outputOption({QStringLiteral("o"), QStringLiteral("output")}, CliTexts::OutputOption,
                                          QStringLiteral("file"));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")}, CliTexts::HelpOption);
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")}, CliTexts::VersionOption);
    parser.addOption(outputOption);
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    for (const OptionEntry &o : options()) {
        if (o.takesValue)
            parser.addOption(QCommandLineOption(o.name, o.description, QStringLiteral("value")));
        else
            parser.addOption(QCommandLineOption(o.name, o.description));
    }

    Context c{out, err, {}, {}, {}, {}};
    // "report --version V" names a version of the solution, not this program's
    QStringList args = arguments;
    if (args.size() > 1 && args[1] == u"report") {
        for (QString &a : args) {
            if (a == u"--version")
                a = QStringLiteral("--solution-version");
            else if (a.startsWith(u"--version="))
                a.replace(0, 9, QStringLiteral("--solution-version"));
        }
    }
    if (!parser.parse(args))
        return Usage(c, parser.errorText());
    if (parser.isSet(helpOption)) {
        out << usageText();
        return Ok;
    }
    if (parser.isSet(versionOption)) {
        out << CliTexts::Version(QStringLiteral(VERDANTIS_VERSION));
        return Ok;
    }
    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return Usage(c, CliTexts::NoCommand);

    // longest command word sequence first ("derive cbt" before "derive")
    const Entry *entry = nullptr;
    int words = 0;
    for (int n = std::min<int>(3, int(positional.size())); n >= 1 && !entry; --n) {
        const auto it = commands().find(positional.mid(0, n).join(u' '));
        if (it != commands().end()) {
            entry = &it->second;
            words = n;
        }
    }
    if (!entry)
        return Usage(c, CliTexts::UnknownCommand(positional.first()));
    c.args = positional.mid(words);
    c.output = parser.value(outputOption);
    for (const OptionEntry &o : options()) {
        if (!parser.isSet(o.name))
            continue;
        if (o.takesValue)
            c.values.insert(o.name, parser.value(o.name));
        else
            c.flags.append(o.name);
    }
    return entry->handler(c);
}

} // namespace Cli
