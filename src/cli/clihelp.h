#pragma once

#include <QString>
#include <QStringList>

namespace Cli {

// What "verdantis-cli help COMMAND" prints about one command. Every
// command's entry lives in the one table in clihelp.cpp: a new command adds
// its row there.
struct CommandHelp
{
    QString command;     // the command words, "derive cbt"
    QString synopsis;    // arguments and options after the command words
    QString description; // what it does, in sentences
    QString example;     // shell lines run from a folder that holds examples/
};

const QList<CommandHelp> &HelpTable();
const CommandHelp *FindHelp(const QString &command);
QString HelpText(const CommandHelp &help);

} // namespace Cli
