#include "reqifcommands.h"

#include "app/mainframe.h"
#include "dialogs/dialogrunner.h"
#include "editor/tracedrawing.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/prompt.h"
#include "reqimport/reqif.h"
#include "reqimport/traceability.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QSaveFile>
#include <QStatusBar>

namespace {

void exportReqif(CMainFrame &frame)
{
    CKELDataManager &manager = frame.Manager();
    const QString path = frame.Dialogs().SaveFileName(&frame, QStringLiteral("Export ReqIF"),
                                                      QStringLiteral("ReqIF Files (*.reqif);;All Files (*)"),
                                                      QStringLiteral("reqif"), QString());
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    QString error;
    if (!file.open(QIODevice::WriteOnly) || !ReqIF::Write(manager, file, &error) || !file.commit()) {
        manager.Prompt().Message(
            QStringLiteral("Cannot write %1: %2").arg(path, error.isEmpty() ? file.errorString() : error));
        return;
    }
    frame.statusBar()->showMessage(QStringLiteral("Requirements exported to %1").arg(QFileInfo(path).fileName()), 5000);
}

void importReqif(CMainFrame &frame)
{
    CKELDataManager &manager = frame.Manager();
    if (!manager.CurrentVersion())
        return;
    const QString path = frame.Dialogs().OpenFileName(&frame, QStringLiteral("Import ReqIF"),
                                                      QStringLiteral("ReqIF Files (*.reqif *.xml);;All Files (*)"));
    if (path.isEmpty())
        return;
    QFile in(path);
    ReqIF::CReadReport read;
    QString error;
    if (!in.open(QIODevice::ReadOnly)) {
        manager.Prompt().Message(QStringLiteral("Cannot read %1: %2").arg(path, in.errorString()));
        return;
    }
    if (!ReqIF::Read(in, read, &error)) {
        manager.Prompt().Message(
            QStringLiteral("%1 is not a ReqIF file this program can read: %2").arg(QFileInfo(path).fileName(), error));
        return;
    }
    const QList<ReqIF::CEntry> entries = ReqIF::Choose(read, QString(), manager.CurrentVersion()->GetName(), &error);
    const ReqIF::CImportPlan plan = ReqIF::Plan(manager, entries);
    if (plan.added.isEmpty() && plan.changed.isEmpty()) {
        manager.Prompt().Message(QStringLiteral("The file holds no requirement that is new or different."));
        return;
    }
    bool update = false;
    if (!plan.changed.isEmpty()) {
        // never change a requirement the user has not seen change
        const CPrompt::Answer answer = manager.Prompt().YesNoCancel(
            QStringLiteral("%1 requirement(s) in the file have other descriptions:\n\n%2\n\n"
                           "Yes changes them, No keeps them as they are, Cancel imports nothing.")
                .arg(plan.changed.size())
                .arg(ReqIF::DescribeChanges(plan)),
            QStringLiteral("Import ReqIF"));
        if (answer == CPrompt::Cancel)
            return;
        update = answer == CPrompt::Yes;
    }
    const ReqIF::CApplied done = ReqIF::Apply(manager, plan, update);
    frame.statusBar()->showMessage(
        QStringLiteral("%1 requirement(s) added, %2 changed").arg(done.added).arg(done.changed), 5000);
}

void writeReport(CMainFrame &frame)
{
    CKELDataManager &manager = frame.Manager();
    if (!manager.CurrentVersion())
        return;
    const QString path = frame.Dialogs().SaveFileName(
        &frame, QStringLiteral("Traceability Report"),
        QStringLiteral("Web Page (*.html);;Spreadsheet (*.csv);;JSON (*.json)"), QStringLiteral("html"), QString());
    if (path.isEmpty())
        return;
    Traceability::Format format = Traceability::FormatOfPath(path);
    if (format == Traceability::Format::Unknown)
        format = Traceability::Format::Html;
    const Traceability::CReport report = Traceability::Build(manager, manager.CurrentVersion());
    QSaveFile file(path);
    const bool written =
        file.open(QIODevice::WriteOnly)
        && Traceability::Write(report, format, file, [&manager](int treeId) { return TraceDrawing(manager, treeId); });
    if (!written || !file.commit()) {
        manager.Prompt().Message(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
        return;
    }
    frame.statusBar()->showMessage(
        QStringLiteral("Traceability report written to %1: %2 of %3 requirement(s) covered, %4 node(s) without a "
                       "requirement")
            .arg(QFileInfo(path).fileName())
            .arg(report.Count(Traceability::Coverage::Covered))
            .arg(report.requirements.size())
            .arg(report.untraced.size()),
        10000);
}

} // namespace

void InstallRequirementExchange(CMainFrame &frame)
{
    QMenu *file = frame.MenuNamed(QStringLiteral("&File"));
    auto *quit = frame.findChild<QAction *>(QStringLiteral("actionQuit"));
    QAction *importAction = new QAction(QStringLiteral("Import ReqIF..."), file);
    importAction->setObjectName(QStringLiteral("actionImportReqif"));
    importAction->setStatusTip(QStringLiteral("Add the requirements of a ReqIF file from a requirements tool"));
    QAction *exportAction = new QAction(QStringLiteral("Export ReqIF..."), file);
    exportAction->setObjectName(QStringLiteral("actionExportReqif"));
    exportAction->setStatusTip(QStringLiteral("Write every version's requirements as a ReqIF file"));
    file->insertAction(quit, importAction);
    file->insertAction(quit, exportAction);
    file->insertSeparator(quit);
    QObject::connect(importAction, &QAction::triggered, &frame, [&frame] { importReqif(frame); });
    QObject::connect(exportAction, &QAction::triggered, &frame, [&frame] { exportReqif(frame); });

    QMenu *model = frame.MenuNamed(QStringLiteral("&Model"));
    QAction *report = model->addAction(QStringLiteral("Traceability Report..."));
    report->setObjectName(QStringLiteral("actionTraceabilityReport"));
    report->setStatusTip(
        QStringLiteral("Which requirements the design covers, and which behavior answers to no requirement"));
    QObject::connect(report, &QAction::triggered, &frame, [&frame] { writeReport(frame); });
}
