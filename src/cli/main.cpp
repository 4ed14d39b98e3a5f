#include "clicommands.h"

#ifdef VERDANTIS_WITH_GUI
#include <QApplication>
#endif
#include <QCoreApplication>

#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char *argv[])
{
    // "render" and "report" draw trees, which needs a graphical application; it never
    // shows a window, so it runs offscreen on any machine
#ifdef VERDANTIS_WITH_GUI
    const bool drawing = argc > 1 && (std::strcmp(argv[1], "render") == 0 || std::strcmp(argv[1], "report") == 0);
    if (drawing)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> application =
        drawing ? std::make_unique<QApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
#else
    const auto application = std::make_unique<QCoreApplication>(argc, argv);
#endif
    QCoreApplication::setApplicationName(QStringLiteral("verdantis-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VERDANTIS_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    Cli::SetExitWhenDone(true);
    const int code = Cli::Run(QCoreApplication::arguments(), out, err);
    out.flush();
    err.flush();
    return code;
}
