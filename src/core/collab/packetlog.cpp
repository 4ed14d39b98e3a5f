#include "packetlog.h"

#include "model/prompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>

Q_LOGGING_CATEGORY(lcPacketLog, "verdantis.collab.packet")

namespace {

int flagValue(const QVariant &v)
{
    // values come back as text; any non-zero number counts as set
    bool ok = false;
    const int n = v.toString().trimmed().toInt(&ok);
    return ok && n != 0 ? 1 : 0;
}

} // namespace

CPacketLog::CPacketLog()
{
    ReadSystemSettings();
}

void CPacketLog::ReadSystemSettings()
{
    m_config.logFileName.clear();
    m_config.writeLog = 0;
    m_config.deleteLog = 0;
    QSettings settings(QSettings::NativeFormat, QSettings::SystemScope, QStringLiteral("Tessel1"));
    m_config.logFileName = settings.value(QStringLiteral("LogFileName")).toString().left(kMaxFileName + 1);
    m_config.writeLog = flagValue(settings.value(QStringLiteral("WriteLog")));
    m_config.deleteLog = flagValue(settings.value(QStringLiteral("DeleteLog")));
    applyDeleteFlag();
}

void CPacketLog::ReadConfigFile(const QString &fileName, const QString &directory)
{
    m_config.configFile = fileName;
    m_config.logFileName.clear();
    m_config.writeLog = 0;
    m_config.deleteLog = 0;

    const QString dir = directory.isEmpty() ? QCoreApplication::applicationDirPath() : directory;
    const QString path = QDir(dir).filePath(fileName);
    if (QFile::exists(path)) {
        QSettings settings(path, QSettings::IniFormat);
        settings.beginGroup(QStringLiteral("Tessel1 Log"));
        m_config.logFileName = settings.value(QStringLiteral("LogFileName")).toString().left(kMaxFileName);
        m_config.writeLog = flagValue(settings.value(QStringLiteral("WriteLog")));
        m_config.deleteLog = flagValue(settings.value(QStringLiteral("DeleteLog")));
    }
    applyDeleteFlag();
}

void CPacketLog::SetLogFile(const QString &fileName, bool write)
{
    m_config.logFileName = fileName.left(kMaxFileName);
    m_config.writeLog = write ? 1 : 0;
}

void CPacketLog::applyDeleteFlag() const
{
    if (m_config.deleteLog && !m_config.logFileName.isEmpty())
        QFile::remove(m_config.logFileName);
}

bool CPacketLog::IsActive() const
{
    const bool toFile = m_config.writeLog && !m_config.logFileName.isEmpty();
    switch (m_mode) {
    case Debugger: return lcPacketLog().isDebugEnabled();
    case File: return toFile;
    case MessageBox: return m_prompt != nullptr;
    case DebuggerAndFile: return toFile || lcPacketLog().isDebugEnabled();
    default: return false;
    }
}

QString CPacketLog::FormatLine(const QString &message, const QDateTime &now) const
{
    if (m_prefix.isEmpty())
        return message;
    const QDate d = now.date();
    const QTime t = now.time();
    const QString stamp =
        QString::asprintf("%02d-%02d %02d:%02d:%02d", d.month(), d.day(), t.hour(), t.minute(), t.second());
    return m_prefix + QStringLiteral(" <") + stamp + QStringLiteral("> ") + message;
}

int CPacketLog::Write(const QString &message)
{
    if (m_mode == Off)
        return Appended;
    const QString line = FormatLine(message, m_clock ? m_clock() : QDateTime::currentDateTime());
    switch (m_mode) {
    case Debugger: qCDebug(lcPacketLog).noquote() << line; return Appended;
    case MessageBox:
        if (m_prompt)
            m_prompt->Message(line, QString());
        return Appended;
    case DebuggerAndFile: qCDebug(lcPacketLog).noquote() << line; return append(line);
    case File: return append(line);
    default: return Appended;
    }
}

int CPacketLog::append(const QString &line)
{
    if (!m_config.writeLog)
        return WriteDisabled;
    if (m_config.logFileName.isEmpty())
        return NoFileName;
    const QMutexLocker lock(&m_lock);
    QFile file(m_config.logFileName);
    if (!file.open(QIODevice::ReadWrite))
        return OpenFailed;
    if (!file.seek(file.size()))
        return SeekFailed;
    const QByteArray bytes = line.toUtf8() + "\r\n";
    if (file.write(bytes) != bytes.size())
        return WriteFailed;
    if (!file.flush())
        return CloseFailed;
    file.close();
    return file.error() == QFileDevice::NoError ? Appended : CloseFailed;
}
