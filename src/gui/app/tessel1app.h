#pragma once

#include <QApplication>

#include <memory>

class CMainFrame;
class QCommandLineParser;

// The application object: the start-up sequence and the one main frame.
class CTessel1App : public QApplication
{
    Q_OBJECT
public:
    CTessel1App(int &argc, char **argv);
    ~CTessel1App() override;

    // Settings, splash, the main frame, a recovery offer and the files
    // named on the command line. False when the program cannot start.
    bool InitInstance();
    CMainFrame *MainFrame() const { return m_frame.get(); }

    // The options and arguments the program takes, for --help.
    static void DescribeCommandLine(QCommandLineParser &parser);

    // The names under which settings and recovery copies are kept.
    static void SetIdentity();

private:
    std::unique_ptr<CMainFrame> m_frame;
};
