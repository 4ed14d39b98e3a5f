#include "clicommands.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("verdantis-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VERDANTIS_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int code = Cli::Run(QCoreApplication::arguments(), out, err);
    out.flush();
    err.flush();
    return code;
}
