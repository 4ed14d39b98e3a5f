// Requirements documents and the traceability report at size: a generated
// 500-page document converted to DOCX by pandoc, then read and scanned; a
// report of a solution with 10^4 requirements and a 10^5-node design tree,
// drawing included.
//   bench_reqexchange [PAGES] [REQUIREMENTS] [NODES]     defaults 500 10000 100000
#include "treegen.h"

#include "editor/tracedrawing.h"
#include "model/keldatamanager.h"
#include "model/keltypes.h"
#include "model/prompt.h"
#include "reqimport/documentimport.h"
#include "reqimport/requirementscan.h"
#include "reqimport/traceability.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <sys/resource.h>

namespace {

// Processor seconds of this process and of the converters it waited for, so
// that a busy machine does not count against the figures.
double processorSeconds()
{
    rusage self{}, children{};
    getrusage(RUSAGE_SELF, &self);
    getrusage(RUSAGE_CHILDREN, &children);
    auto s = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return s(self.ru_utime) + s(self.ru_stime) + s(children.ru_utime) + s(children.ru_stime);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int pages = args.size() > 1 ? args[1].toInt() : 500;
    const int requirements = args.size() > 2 ? args[2].toInt() : 10000;
    const int nodes = args.size() > 3 ? args[3].toInt() : 100000;
    QTextStream out(stdout);

    QTemporaryDir dir;
    // about 45 lines a page: a heading, prose, tagged paragraphs and a table per page
    QString md;
    int tag = 1;
    for (int p = 0; p < pages; ++p) {
        md += QStringLiteral("# Chapter %1\n\nThis chapter describes the behaviour of subsystem %1 in the "
                             "situations listed below, with its reasons and its limits.\n\n")
                  .arg(p + 1);
        for (int i = 0; i < 8; ++i, ++tag)
            md += QStringLiteral("R%1: When the door is closed and the sensor detects a person, the motor opens "
                                 "the door within two seconds and the lamp is on.\n\n")
                      .arg(tag);
        md += QStringLiteral("| Tag | Requirement | Priority |\n|---|---|---|\n");
        for (int i = 0; i < 4; ++i, ++tag)
            md += QStringLiteral("| T%1 | The timer is reset when the motor stops. | high |\n").arg(tag);
        md += u'\n';
    }
    const QString mdPath = dir.filePath(QStringLiteral("reqs.md"));
    const QString docx = dir.filePath(QStringLiteral("reqs.docx"));
    {
        QFile f(mdPath);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        f.write(md.toUtf8());
    }
    QProcess pandoc;
    pandoc.start(QStringLiteral("pandoc"), {mdPath, QStringLiteral("-o"), docx});
    if (!pandoc.waitForFinished(600000) || pandoc.exitCode() != 0) {
        out << "pandoc could not make the document\n";
        return 1;
    }
    double t = processorSeconds();
    QString text;
    QString error;
    if (!DocumentImport::Read(docx, CTagSpecs{}, text, &error)) {
        out << error << '\n';
        return 1;
    }
    const double convert = processorSeconds() - t;
    const qsizetype found = RequirementScan::Scan(text, CTagSpecs{}).size();
    out << "document: " << pages << " pages, " << QFile(docx).size() / 1024 << " KB docx: conversion "
        << QString::number(convert, 'f', 2) << " s, conversion plus scan "
        << QString::number(processorSeconds() - t, 'f', 2) << " s processor time, " << found << " requirements\n";

    CKELDataManager manager;
    CSilentPrompt prompt;
    manager.SetPrompt(&prompt);
    manager.NewSolution();
    for (int i = 1; i <= requirements; ++i)
        manager.AddRequirement(QStringLiteral("R%1").arg(i), QStringLiteral("Requirement number %1.").arg(i));
    TreeGen::AddTree(manager, KEL::DBT, QStringLiteral("Design"), nodes, TreeGen::Shape::Bushy);
    t = processorSeconds();
    const Traceability::CReport report = Traceability::Build(manager, nullptr);
    const double build = processorSeconds() - t;
    QByteArray html;
    QBuffer buffer(&html);
    buffer.open(QIODevice::WriteOnly);
    Traceability::WriteHtml(report, buffer, [&manager](int treeId) { return TraceDrawing(manager, treeId); });
    out << "report: " << requirements << " requirements, " << nodes << " nodes: rows " << QString::number(build, 'f', 2)
        << " s, HTML with drawing " << QString::number(processorSeconds() - t, 'f', 2) << " s processor time, "
        << html.size() / 1024 << " KB\n";
    return 0;
}
