#pragma once

#include <QDateTime>
#include <QLoggingCategory>
#include <QMutex>
#include <QString>

#include <functional>

class CPrompt;

// Where the packet log's "debugger output" goes: standard error, under this
// category, so that QT_LOGGING_RULES can silence it.
Q_DECLARE_LOGGING_CATEGORY(lcPacketLog)

// The collaboration client's log: one line per request, reply, notification
// and failure, to standard error, to a file, or to a message box.
class CPacketLog
{
public:
    enum Mode {
        Off = 0,
        Debugger = 1,
        File = 2,
        MessageBox = 3,
        DebuggerAndFile = 4,
    };

    // Results of appending a line to the log file.
    enum AppendResult {
        Appended = 0,
        WriteDisabled = -1,
        NoFileName = -2,
        OpenFailed = -3,
        SeekFailed = -4,
        WriteFailed = -5,
        CloseFailed = -6,
    };

    struct LogConfig
    {
        QString configFile;
        QString logFileName;
        int writeLog = 0;
        int deleteLog = 0;
    };

    static constexpr qsizetype kMaxPrefix = 99;
    static constexpr qsizetype kMaxFileName = 259;

    // Empty prefix, mode Off; the system-wide settings are read at once.
    CPacketLog();

    // Organisation "Tessel1" in the native settings of the whole system:
    // "LogFileName", "WriteLog", "DeleteLog".
    void ReadSystemSettings();
    // Section "Tessel1 Log" of fileName in directory (beside the running
    // program when empty). Replaces whatever was read before.
    void ReadConfigFile(const QString &fileName, const QString &directory = QString());

    void SetPrefix(const QString &prefix) { m_prefix = prefix.left(kMaxPrefix); }
    const QString &Prefix() const { return m_prefix; }
    void SetMode(int mode) { m_mode = mode; }
    int Mode() const { return m_mode; }
    const LogConfig &Config() const { return m_config; }
    // Points the log at a file directly (tests, tools); the delete flag is
    // not acted on here.
    void SetLogFile(const QString &fileName, bool write);

    // Whether Write would do anything: callers skip building long lines
    // (a whole solution text) that would go nowhere.
    bool IsActive() const;

    // Writes one line in the current mode. For the file modes the result of
    // the append is returned; the log itself reports it nowhere.
    int Write(const QString &message);

    // The line as written: prefix, time stamp and message, or the message
    // alone when there is no prefix.
    QString FormatLine(const QString &message, const QDateTime &now) const;

    void SetClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }
    void SetPrompt(CPrompt *prompt) { m_prompt = prompt; }

private:
    int append(const QString &line);
    void applyDeleteFlag() const;

    QString m_prefix;
    int m_mode = Off;
    LogConfig m_config;
    QMutex m_lock;
    std::function<QDateTime()> m_clock;
    CPrompt *m_prompt = nullptr;
};
