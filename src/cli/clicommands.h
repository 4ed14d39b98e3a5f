#pragma once

#include <QStringList>
#include <QTextStream>

namespace Cli {

enum ExitCode { Ok = 0, UsageError = 1, FileError = 2 };

// Runs one command line (program name first) and returns the exit code.
int Run(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace Cli
