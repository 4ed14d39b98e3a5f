#include "reqifcommands.h"
#include "reqimportguitexts.h"
#include "app/apptexts.h"

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
    const QString path =
        frame.Dialogs().SaveFileName(&frame, ReqImportGuiTexts::ExportReqif, ReqImportGuiTexts::ReqifExportFilter,
                                     QStringLiteral("reqif"), QString());
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    QString error;
    if (!file.open(QIODevice::WriteOnly) || !ReqIF::Write(manager, file, &error) || !file.commit()) {
        manager.Prompt().Message(ReqImportGuiTexts::CannotWrite(path, error.isEmpty() ? file.errorString() : error));
        return;
    }
    frame.statusBar()->showMessage(ReqImportGuiTexts::Exported(QFileInfo(path).fileName()), 5000);
}

void importReqif(CMainFrame &frame)
{
    CKELDataManager &manager = frame.Manager();
    if (!manager.CurrentVersion())
        return;
    const QString path =
        frame.Dialogs().OpenFileName(&frame, ReqImportGuiTexts::ImportReqif, ReqImportGuiTexts::ReqifImportFilter);
    if (path.isEmpty())
        return;
    QFile in(path);
    ReqIF::CReadReport read;
    QString error;
    if (!in.open(QIODevice::ReadOnly)) {
        manager.Prompt().Message(ReqImportGuiTexts::CannotRead(path, in.errorString()));
        return;
    }
    if (!ReqIF::Read(in, read, &error)) {
        manager.Prompt().Message(ReqImportGuiTexts::NotReqif(QFileInfo(path).fileName(), error));
        return;
    }
    const QList<ReqIF::CEntry> entries = ReqIF::Choose(read, QString(), manager.CurrentVersion()->GetName(), &error);
    const ReqIF::CImportPlan plan = ReqIF::Plan(manager, entries);
    if (plan.added.isEmpty() && plan.changed.isEmpty()) {
        manager.Prompt().Message(ReqImportGuiTexts::NothingNew);
        return;
    }
    bool update = false;
    if (!plan.changed.isEmpty()) {
        // never change a requirement the user has not seen change
        const CPrompt::Answer answer = manager.Prompt().YesNoCancel(
            ReqImportGuiTexts::ChangedDescriptions(plan.changed.size(), ReqIF::DescribeChanges(plan)),
            ReqImportGuiTexts::ImportReqif);
        if (answer == CPrompt::Cancel)
            return;
        update = answer == CPrompt::Yes;
    }
    const ReqIF::CApplied done = ReqIF::Apply(manager, plan, update);
    frame.statusBar()->showMessage(ReqImportGuiTexts::Imported(done.added, done.changed), 5000);
}

void writeReport(CMainFrame &frame)
{
    CKELDataManager &manager = frame.Manager();
    if (!manager.CurrentVersion())
        return;
    const QString path = frame.Dialogs().SaveFileName(
        &frame, ReqImportGuiTexts::ReportCaption, ReqImportGuiTexts::ReportFilter, QStringLiteral("html"), QString());
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
        manager.Prompt().Message(ReqImportGuiTexts::CannotWrite(path, file.errorString()));
        return;
    }
    frame.statusBar()->showMessage(ReqImportGuiTexts::ReportWritten(QFileInfo(path).fileName(),
                                                                    report.Count(Traceability::Coverage::Covered),
                                                                    report.requirements.size(), report.untraced.size()),
                                   10000);
}

} // namespace

void InstallRequirementExchange(CMainFrame &frame)
{
    QMenu *file = frame.MenuNamed(AppTexts::FileMenu);
    auto *quit = frame.findChild<QAction *>(QStringLiteral("actionQuit"));
    QAction *importAction = new QAction(ReqImportGuiTexts::ImportReqifEntry, file);
    importAction->setObjectName(QStringLiteral("actionImportReqif"));
    importAction->setStatusTip(ReqImportGuiTexts::ImportReqifTip);
    QAction *exportAction = new QAction(ReqImportGuiTexts::ExportReqifEntry, file);
    exportAction->setObjectName(QStringLiteral("actionExportReqif"));
    exportAction->setStatusTip(ReqImportGuiTexts::ExportReqifTip);
    file->insertAction(quit, importAction);
    file->insertAction(quit, exportAction);
    file->insertSeparator(quit);
    QObject::connect(importAction, &QAction::triggered, &frame, [&frame] { importReqif(frame); });
    QObject::connect(exportAction, &QAction::triggered, &frame, [&frame] { exportReqif(frame); });

    QMenu *model = frame.MenuNamed(AppTexts::ModelMenu);
    QAction *report = model->addAction(ReqImportGuiTexts::ReportEntry);
    report->setObjectName(QStringLiteral("actionTraceabilityReport"));
    report->setStatusTip(ReqImportGuiTexts::ReportTip);
    QObject::connect(report, &QAction::triggered, &frame, [&frame] { writeReport(frame); });
}
