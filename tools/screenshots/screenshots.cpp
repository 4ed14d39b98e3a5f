// verdantis-screenshots EXAMPLES_DIR OUT_DIR
//
// Opens the automatic door example in the real main window with every part
// of the program installed, runs the commands a user would, and saves each
// window the user guide shows as a PNG in OUT_DIR. Dialogs are answered
// through the program's dialog runner, the same seam the tests use.
#include "app/helpwindows.h"
#include "app/mainframe.h"
#include "app/programparts.h"
#include "app/tessel1app.h"
#include "canvas/colourscheme.h"
#include "derive/derivedtrees.h"
#include "diagram/diagramcommands.h"
#include "dialogs/dialogrunner.h"
#include "dialogs/kelcbtdlg.h"
#include "editor/childframe.h"
#include "editor/editorinstall.h"
#include "editor/tessel1view.h"
#include "editor/treewindows.h"
#include "model/kelcontainers.h"
#include "model/keltypes.h"
#include "model/keldatamanager.h"
#include "model/keltree.h"
#include "model/prompt.h"
#include "reqimport/reqtadlg.h"
#include "simulate/abssimulatordlg.h"
#include "simulate/simulationcommands.h"
#include "translate/translatecommands.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPalette>
#include <QStatusBar>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <cstdio>

namespace {

class CQuietPrompt : public CPrompt
{
public:
    void Message(const QString &text, const QString &caption) override
    {
        QTextStream(stderr) << "verdantis-screenshots: " << caption << ": " << text << '\n';
    }
    bool YesNo(const QString &, const QString &) override { return true; }
    Answer YesNoCancel(const QString &, const QString &) override { return No; }
    bool OkCancel(const QString &, const QString &) override { return true; }
};

QDir out;
int failures = 0;

void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

void save(QWidget *widget, const QString &name)
{
    settle();
    if (!widget || !widget->grab().save(out.filePath(name))) {
        QTextStream(stderr) << "verdantis-screenshots: could not make " << name << '\n';
        ++failures;
        return;
    }
    QTextStream(stdout) << out.filePath(name) << '\n';
}

int treeNamed(const CKELDataManager &manager, const QString &name, int typeCode)
{
    const CKELVersion *version = manager.CurrentVersion();
    if (!version)
        return 0;
    for (const CKELData *folder :
         {static_cast<const CKELData *>(version->RBTFolder()), static_cast<const CKELData *>(version->DBTFolder())}) {
        if (!folder)
            continue;
        for (const auto &child : folder->Children()) {
            if (child->IsTree() && child->GetName() == name && child->GetTypeCode() == typeCode)
                return child->GetId();
        }
    }
    return 0;
}

// Shows the newest tree or diagram window alone, filling the area, with
// the whole tree in sight (or at its own size, when it is small).
QMdiSubWindow *showActive(CMainFrame &frame, bool fit = true)
{
    QMdiSubWindow *active = frame.MdiArea()->activeSubWindow();
    if (active) {
        active->showMaximized();
        settle();
        if (auto *child = qobject_cast<CChildFrame *>(active)) {
            if (fit)
                child->View().FitToWindow();
            else
                child->View().ZoomTo100();
        }
    }
    return active;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fputs("Usage: verdantis-screenshots EXAMPLES_DIR OUT_DIR\n", stderr);
        return 1;
    }
    QApplication app(argc, argv);
    CTessel1App::SetIdentity();
    const QDir examples(QString::fromLocal8Bit(argv[1]));
    out = QDir(QString::fromLocal8Bit(argv[2]));
    out.mkpath(QStringLiteral("."));

    CMainFrame frame;
    CQuietPrompt prompt;
    frame.SetPrompt(&prompt);
    CEditor *editor = InstallProgramParts(frame);
    frame.resize(1280, 800);
    frame.show();

    // Dialogs: each picture-worthy one is saved, then answered.
    std::function<void(QDialog &)> onDialog;
    frame.Dialogs().dialogHook = [&onDialog](QDialog &dialog) {
        dialog.show();
        settle();
        if (onDialog)
            onDialog(dialog);
        dialog.accept();
        return dialog.result();
    };

    if (!editor || !frame.OpenFile(examples.filePath(QStringLiteral("door.kvf")))) {
        std::fputs("verdantis-screenshots: cannot open the door example\n", stderr);
        return 2;
    }
    CKELDataManager &manager = frame.Manager();
    const int door = treeNamed(manager, QStringLiteral("Door"), KEL::DBT);
    if (!door) {
        std::fputs("verdantis-screenshots: the example has no IBT Door\n", stderr);
        return 2;
    }

    editor->Windows().Open(door);
    QMdiSubWindow *doorWindow = showActive(frame);
    // the message names where the example was opened from, a path of this machine
    frame.statusBar()->clearMessage();
    save(&frame, QStringLiteral("main-window.png"));
    save(doorWindow, QStringLiteral("tree-window.png"));

    // both colour schemes on a light and on a dark desktop
    {
        const QPalette light = QApplication::palette();
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(0x2D, 0x2D, 0x30));
        dark.setColor(QPalette::WindowText, QColor(0xE8, 0xE8, 0xE8));
        dark.setColor(QPalette::Base, QColor(0x1E, 0x1E, 0x1E));
        dark.setColor(QPalette::AlternateBase, QColor(0x2D, 0x2D, 0x30));
        dark.setColor(QPalette::Text, QColor(0xE8, 0xE8, 0xE8));
        dark.setColor(QPalette::Button, QColor(0x3A, 0x3A, 0x3D));
        dark.setColor(QPalette::ButtonText, QColor(0xE8, 0xE8, 0xE8));
        dark.setColor(QPalette::Highlight, QColor(0x3D, 0x7E, 0xD8));
        dark.setColor(QPalette::HighlightedText, Qt::white);
        for (const bool isDark : {false, true}) {
            QApplication::setPalette(isDark ? dark : light);
            for (const ColourScheme::Scheme scheme : {ColourScheme::Scheme::Classic, ColourScheme::Scheme::Modern}) {
                ColourScheme::SetCurrent(scheme);
                showActive(frame);
                // the pan window draws its picture again a moment after a change
                QElapsedTimer wait;
                wait.start();
                while (wait.elapsed() < 400)
                    QApplication::processEvents(QEventLoop::AllEvents, 50);
                save(&frame, QStringLiteral("looks-%1-%2.png")
                                 .arg(ColourScheme::Name(scheme).toLower(),
                                      isDark ? QStringLiteral("dark") : QStringLiteral("light")));
            }
        }
        QApplication::setPalette(light);
        ColourScheme::SetCurrent(ColourScheme::Scheme::Classic);
    }

    if (auto *derived = frame.findChild<CDerivedTrees *>()) {
        onDialog = [](QDialog &d) {
            if (auto *cbt = qobject_cast<CKELCBTDlg *>(&d))
                cbt->SelectComponent(QStringLiteral("TIMER"));
        };
        derived->CreateCBT(door);
        save(showActive(frame, false), QStringLiteral("cbt.png"));
        onDialog = nullptr;
    }
    if (auto *diagrams = frame.findChild<CDiagramCommands *>()) {
        diagrams->CreateCIN(door);
        save(showActive(frame), QStringLiteral("cin.png"));
    }

    // the two versions of Door in one evolution tree
    QList<int> versions;
    for (const auto &p : manager.Solution()->Children()) {
        for (const auto &v : p->Children()) {
            if (v->GetTypeCode() != KEL::Version)
                continue;
            for (const auto &folder : v->Children()) {
                for (const auto &t : folder->Children()) {
                    if (t->IsTree() && t->GetName() == QStringLiteral("Door"))
                        versions.append(t->GetId());
                }
            }
        }
    }
    // through the explorer's command, as a user makes it
    const CKELData *evtFolder = manager.Solution()->EvtFolder();
    if (const CKELData *evt = manager.AddEVT(versions) && evtFolder && evtFolder->ChildCount() > 0
                                  ? evtFolder->ChildAt(evtFolder->ChildCount() - 1)
                                  : nullptr) {
        editor->Windows().Open(evt->GetId());
        save(showActive(frame), QStringLiteral("evt.png"));
    }

    if (auto *translate = frame.findChild<CTranslateCommands *>()) {
        onDialog = [](QDialog &d) {
            d.resize(900, 600);
            save(&d, QStringLiteral("translation.png"));
        };
        translate->Translate(door, CTranslateCommands::Sal);
        onDialog = nullptr;
    }

    if (auto *simulation = frame.findChild<CSimulationCommands *>()) {
        if (CAbsSimulatorDlg *dialog = simulation->OpenDialog(door)) {
            for (QAbstractButton *b : dialog->findChildren<QAbstractButton *>()) {
                if (b->text().remove(u'&') == QStringLiteral("Show NodeID") && !b->isChecked())
                    b->click();
            }
            for (QAbstractButton *b : dialog->findChildren<QAbstractButton *>()) {
                if (b->text().remove(u'&') == QStringLiteral("Translate")) {
                    b->click();
                    break;
                }
            }
            save(dialog, QStringLiteral("simulation.png"));
            dialog->close();
        }
    }

    {
        CReqTADlg assistant(manager, frame.Dialogs(), &editor->Windows(), &frame);
        QFile text(examples.filePath(QStringLiteral("microwave-requirements.txt")));
        if (text.open(QIODevice::ReadOnly))
            assistant.SetText(QString::fromUtf8(text.readAll()));
        assistant.resize(1000, 680);
        assistant.show();
        assistant.WalkStart();
        save(&assistant, QStringLiteral("reqimport.png"));
    }

    {
        CKeyboardShortcutsDlg shortcuts(CollectShortcuts(frame), &frame);
        shortcuts.show();
        save(&shortcuts, QStringLiteral("shortcuts.png"));
    }
    return failures == 0 ? 0 : 3;
}
