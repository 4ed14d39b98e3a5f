#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// Runs the tool under test on an input file in a folder of its own.
struct ToolRun
{
    int code = -1;
    QStringList lines; // of the output file; empty when there is none
    bool written = false;
    QString errors;
};

inline ToolRun RunTool(const QTemporaryDir &dir, const QByteArray &input, const QStringList &args = {},
                       const QString &inputName = QStringLiteral("BTSetExp.txt"), const QString &outputName = QString())
{
    QFile in(dir.filePath(inputName));
    if (in.open(QIODevice::WriteOnly | QIODevice::Truncate))
        in.write(input);
    in.close();
    if (!outputName.isEmpty())
        QFile::remove(dir.filePath(outputName));
    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(QStringLiteral(VERDANTIS_TOOL), args);
    ToolRun r;
    if (!p.waitForFinished(30000))
        return r;
    r.code = p.exitCode();
    r.errors = QString::fromUtf8(p.readAllStandardError());
    QFile out(dir.filePath(outputName));
    if (!outputName.isEmpty() && out.open(QIODevice::ReadOnly)) {
        r.written = true;
        r.lines = QString::fromUtf8(out.readAll()).split(u'\n');
        if (!r.lines.isEmpty() && r.lines.last().isEmpty())
            r.lines.removeLast();
    }
    return r;
}
