#include "tessel1app.h"
#include "apptexts.h"

#include "mainframe.h"
#include "programparts.h"
#include "splashpicture.h"

#include <QCommandLineParser>
#include <QPointer>
#include <QSplashScreen>
#include <QStatusBar>
#include <QTimer>

CTessel1App::CTessel1App(int &argc, char **argv) : QApplication(argc, argv)
{
    SetIdentity();
}

CTessel1App::~CTessel1App() = default;

void CTessel1App::SetIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Verdantis"));
    QCoreApplication::setApplicationName(QStringLiteral("Tessel1"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VERDANTIS_VERSION));
    QGuiApplication::setApplicationDisplayName(AppTexts::ProductName);
    QGuiApplication::setDesktopFileName(QStringLiteral("verdantis"));
}

void CTessel1App::DescribeCommandLine(QCommandLineParser &parser)
{
    parser.setApplicationDescription(AppTexts::Description);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"), AppTexts::FileArgumentHelp);
}

bool CTessel1App::InitInstance()
{
    QCommandLineParser parser;
    DescribeCommandLine(parser);
    parser.process(*this);

    auto *splash = new QSplashScreen(SplashPicture());
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    QTimer::singleShot(2000, splash, &QWidget::close);

    m_frame = std::make_unique<CMainFrame>();
    InstallProgramParts(*m_frame);
    m_frame->show();
    splash->raise(); // over the window, also where no window manager keeps it there

    const QStringList files = parser.positionalArguments();
    // after the window is up, so that questions and errors have a parent
    QPointer<QSplashScreen> shownSplash(splash);
    QTimer::singleShot(0, m_frame.get(), [this, files, shownSplash] {
        // a question must not open under the splash: without a compositor
        // the part it covered is only drawn again on an expose event
        if (shownSplash && m_frame->HasRecovery())
            shownSplash->close();
        if (m_frame->OfferRecovery()) {
            if (!files.isEmpty())
                m_frame->statusBar()->showMessage(AppTexts::NotOpenedAfterRecovery(files.first()), 8000);
            return;
        }
        // one solution at a time: the first file named
        if (!files.isEmpty())
            m_frame->OpenFile(files.first());
    });
    return true;
}
