#include "tessel1app.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstring>

namespace {

// --help and --version are answered before any window system is touched,
// so that they work on a machine without a display (and in a package test).
bool answersWithoutDisplay(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        for (const char *option : {"-h", "--help", "-v", "--version"}) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (answersWithoutDisplay(argc, argv)) {
        QCoreApplication core(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("verdantis"));
        QCoreApplication::setApplicationVersion(QStringLiteral(VERDANTIS_VERSION));
        QCommandLineParser parser;
        CTessel1App::DescribeCommandLine(parser);
        parser.process(core); // prints and exits
        return 0;
    }
    CTessel1App app(argc, argv);
    if (!app.InitInstance())
        return 1;
    return app.exec();
}
