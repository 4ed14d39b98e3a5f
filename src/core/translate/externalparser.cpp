#include "externalparser.h"

#include "translateexception.h"
#include "translatesettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

constexpr int kStartMs = 10000;
constexpr int kRunMs = 120000;

struct KindInfo
{
    const char16_t *subfolder;
    const char16_t *input;
    const char16_t *output;
    const char16_t *executable;
    const char16_t *toolFolder;
    const char16_t *label;
};

const KindInfo &info(CExternalParser::Kind kind)
{
    static const KindInfo set{u"sets",      u"BTSetExp.txt", u"SetParserOutput.txt", u"verdantis-setparser",
                              u"setparser", u"set parser"};
    static const KindInfo behavior{u"behaviors",      u"BTSetExp.txt",   u"OutPut", u"verdantis-behaviorparser",
                                   u"behaviorparser", u"behavior parser"};
    return kind == CExternalParser::SetParser ? set : behavior;
}

QString shellQuoted(const QString &path)
{
#ifdef Q_OS_WIN
    return u'"' + path + u'"';
#else
    QString q = path;
    q.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + q + u'\'';
#endif
}

} // namespace

CExternalParser::CExternalParser(Kind kind, const CTranslateSettings &settings) : m_kind(kind)
{
    const QString base = settings.scratchFolder.isEmpty() ? DefaultScratchFolder() : settings.scratchFolder;
    m_folder = QDir(base).absoluteFilePath(QString::fromUtf16(info(kind).subfolder));
    const QString &configured = kind == SetParser ? settings.setParserCommand : settings.behaviorParserCommand;
    m_command = configured.trimmed().isEmpty() ? DefaultCommand(kind) : configured;
}

QString CExternalParser::InputPath() const
{
    return QDir(m_folder).filePath(QString::fromUtf16(info(m_kind).input));
}

QString CExternalParser::OutputPath() const
{
    return QDir(m_folder).filePath(QString::fromUtf16(info(m_kind).output));
}

QString CExternalParser::Label() const
{
    return QString::fromUtf16(info(m_kind).label);
}

QString CExternalParser::Command() const
{
    QString command = m_command;
    command.replace(QStringLiteral("{in}"), shellQuoted(InputPath()));
    command.replace(QStringLiteral("{out}"), shellQuoted(OutputPath()));
    return command;
}

QString CExternalParser::DefaultScratchFolder()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (base.isEmpty())
        base = QDir::tempPath();
    return QDir(base).filePath(QStringLiteral("verdantis/scratch"));
}

QString CExternalParser::FindTool(const QString &executableName, const QString &toolFolder)
{
#ifdef Q_OS_WIN
    const QString exe = executableName + QStringLiteral(".exe");
#else
    const QString &exe = executableName;
#endif
    if (QCoreApplication::instance()) {
        const QDir app(QCoreApplication::applicationDirPath());
        // installed side by side, or the program and the tools in one build tree
        QStringList candidates{app.filePath(exe)};
        QString up;
        for (int level = 0; level < 4; ++level) {
            up += QStringLiteral("../");
            candidates << app.filePath(up + QStringLiteral("tools/") + toolFolder + u'/' + exe);
        }
        candidates << app.filePath(QStringLiteral("../libexec/verdantis/") + exe);
        for (const QString &c : std::as_const(candidates)) {
            const QFileInfo fi(c);
            if (fi.isFile() && fi.isExecutable())
                return fi.canonicalFilePath();
        }
    }
    return QStandardPaths::findExecutable(exe);
}

QString CExternalParser::DefaultCommand(Kind kind)
{
    const KindInfo &k = info(kind);
    QString tool = FindTool(QString::fromUtf16(k.executable), QString::fromUtf16(k.toolFolder));
    tool = tool.isEmpty() ? QString::fromUtf16(k.executable) : shellQuoted(tool);
    return tool + QStringLiteral(" {in} {out}");
}

CExternalParser::Output CExternalParser::Run(const QString &input) const
{
    if (!QDir().mkpath(m_folder))
        throw CTranslateException(QStringLiteral("Cannot create the scratch folder: ") + m_folder);
    QFile::remove(OutputPath());
    {
        QFile in(InputPath());
        if (!in.open(QIODevice::WriteOnly | QIODevice::Truncate) || in.write(input.toUtf8()) < 0 || !in.flush())
            throw CTranslateException(QStringLiteral("Cannot write the %1 input file: %2").arg(Label(), InputPath()));
    }

    QProcess process;
    process.setWorkingDirectory(m_folder);
    process.setStandardInputFile(QProcess::nullDevice());
#ifdef Q_OS_WIN
    process.start(QStringLiteral("cmd.exe"), {QStringLiteral("/c"), Command()});
#else
    process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), Command()});
#endif
    if (!process.waitForStarted(kStartMs))
        throw CTranslateException(QStringLiteral("Cannot run the %1: %2").arg(Label(), Command()));
    if (!process.waitForFinished(kRunMs)) {
        process.kill();
        process.waitForFinished(kStartMs);
        throw CTranslateException(QStringLiteral("The %1 did not finish: %2").arg(Label(), Command()));
    }

    Output out;
    out.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    out.errors = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    QFile result(OutputPath());
    if (result.open(QIODevice::ReadOnly)) {
        out.read = true;
        const QString text = QString::fromUtf8(result.readAll());
        out.lines = text.split(u'\n');
        // the text after the last line end is a line only when it is not empty
        if (!out.lines.isEmpty() && out.lines.last().isEmpty())
            out.lines.removeLast();
        for (QString &line : out.lines) {
            if (line.endsWith(u'\r'))
                line.chop(1);
        }
    }
    return out;
}

QString CExternalParser::FailureText(const Output &output) const
{
    if (output.exitCode != 0) {
        const QString why = output.errors.isEmpty() ? QStringLiteral("exit code %1").arg(output.exitCode)
                                                    : output.errors.section(u'\n', 0, 0);
        return QStringLiteral("The %1 failed: %2").arg(Label(), why);
    }
    return QStringLiteral("Cannot read the %1 output: %2").arg(Label(), OutputPath());
}

QStringList CExternalParser::RunOrThrow(const QString &input) const
{
    const Output out = Run(input);
    if (!out.read || out.exitCode != 0)
        throw CTranslateException(FailureText(out));
    return out.lines;
}
