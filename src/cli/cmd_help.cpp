// help: what each command does, with an example; the words the shell
// completion offers.
#include "clicommands.h"
#include "clihelp.h"

namespace {

int runHelp(Cli::Context &c)
{
    if (c.flags.contains(QStringLiteral("commands"))) {
        c.out << Cli::CommandNames().join(u'\n') << '\n';
        return Cli::Ok;
    }
    if (c.flags.contains(QStringLiteral("options"))) {
        c.out << Cli::OptionNames().join(u'\n') << '\n';
        return Cli::Ok;
    }
    if (c.args.isEmpty()) {
        c.out << Cli::UsageText();
        return Cli::Ok;
    }
    const QString wanted = c.args.join(u' ');
    if (const Cli::CommandHelp *help = Cli::FindHelp(wanted)) {
        c.out << Cli::HelpText(*help);
        return Cli::Ok;
    }
    // "help derive" names a family: say which commands it has
    QStringList family;
    for (const QString &name : Cli::CommandNames()) {
        if (name.startsWith(wanted + u' '))
            family.append(name);
    }
    if (!family.isEmpty()) {
        c.out << CliTexts::HelpFamily(wanted, family);
        return Cli::Ok;
    }
    if (Cli::CommandNames().contains(wanted)) {
        c.out << CliTexts::NoFurtherHelp(wanted);
        return Cli::Ok;
    }
    return Cli::Usage(c, CliTexts::NoSuchCommand(wanted));
}

const Cli::Registration regHelp("help", CliTexts::HelpHelp, &runHelp);
const Cli::OptionRegistration optCommands("commands", CliTexts::CommandsOptionHelp, false);
const Cli::OptionRegistration optOptions("options", CliTexts::OptionsOptionHelp, false);

} // namespace
