#include "collab/packetlog.h"

#include <QtTest>

namespace {

QStringList g_debugLines;

void captureDebug(QtMsgType, const QMessageLogContext &context, const QString &message)
{
    if (context.category && QByteArray(context.category) == "verdantis.collab.packet")
        g_debugLines.append(message);
}

QStringList fileLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split(u"\r\n"_qs);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class TestPacketLog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(m_system.isValid());
        // the system-wide settings of this test live in a folder of its own
        QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, m_system.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, m_system.path());
        qInstallMessageHandler(captureDebug);
    }

    void init()
    {
        g_debugLines.clear();
        writeSystemSettings(QString(), QString(), QString());
    }

    // Month, day, hour, minute, second, each two digits, between the prefix
    // and the message; no prefix means no stamp either.
    void stamp_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("line");
        QTest::newRow("morning in February") << u"[TesselPacket] - "_qs << QDateTime(QDate(2024, 2, 3), QTime(9, 5, 7))
                                             << u"[TesselPacket] -  <02-03 09:05:07> hello"_qs;
        QTest::newRow("last second of the year")
            << u"P"_qs << QDateTime(QDate(2023, 12, 31), QTime(23, 59, 59)) << u"P <12-31 23:59:59> hello"_qs;
        QTest::newRow("no prefix, no stamp")
            << QString() << QDateTime(QDate(2024, 2, 3), QTime(9, 5, 7)) << u"hello"_qs;
    }

    void stamp()
    {
        QFETCH(QString, prefix);
        QFETCH(QDateTime, when);
        QFETCH(QString, line);
        CPacketLog log;
        log.SetPrefix(prefix);
        log.SetClock([when] { return when; });
        log.SetMode(CPacketLog::DebuggerAndFile);
        log.SetLogFile(path(u"stamp.log"_qs), true);
        QFile::remove(path(u"stamp.log"_qs));
        QCOMPARE(log.Write(u"hello"_qs), int(CPacketLog::Appended));
        QCOMPARE(fileLines(path(u"stamp.log"_qs)), QStringList{line});
        QCOMPARE(g_debugLines, QStringList{line});
    }

    // The system settings are read first and then replaced, every value, by
    // the file beside the program.
    void settingsOrder_data()
    {
        QTest::addColumn<QString>("systemFile");
        QTest::addColumn<QString>("systemWrite");
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("write");

        QTest::newRow("no ini file clears the system values")
            << u"sys.log"_qs << u"1"_qs << QByteArray() << QString() << 0;
        QTest::newRow("ini without the section clears them")
            << u"sys.log"_qs << u"1"_qs << QByteArray("[Other]\r\nLogFileName=x.log\r\nWriteLog=1\r\n") << QString()
            << 0;
        QTest::newRow("ini section wins")
            << u"sys.log"_qs << u"0"_qs << QByteArray("[Tessel1 Log]\r\nLogFileName=ini.log\r\nWriteLog=1\r\n")
            << u"ini.log"_qs << 1;
        QTest::newRow("any non-zero write value is 1")
            << QString() << QString() << QByteArray("[Tessel1 Log]\r\nLogFileName=ini.log\r\nWriteLog=7\r\n")
            << u"ini.log"_qs << 1;
        QTest::newRow("missing write value is 0")
            << QString() << QString() << QByteArray("[Tessel1 Log]\r\nLogFileName=ini.log\r\n") << u"ini.log"_qs << 0;
        QTest::newRow("long name cut to 259")
            << QString() << QString() << QByteArray("[Tessel1 Log]\r\nLogFileName=" + QByteArray(300, 'n') + "\r\n")
            << QString(259, u'n') << 0;
    }

    void settingsOrder()
    {
        QFETCH(QString, systemFile);
        QFETCH(QString, systemWrite);
        QFETCH(QByteArray, ini);
        QFETCH(QString, file);
        QFETCH(int, write);
        writeSystemSettings(systemFile, systemWrite, QString());
        if (!ini.isNull())
            writeIni(ini);

        CPacketLog log;
        QCOMPARE(log.Config().logFileName, systemFile);
        QCOMPARE(log.Config().writeLog, systemWrite == u"1"_qs ? 1 : 0);
        log.ReadConfigFile(iniName(), m_dir.path());
        QCOMPARE(log.Config().configFile, iniName());
        QCOMPARE(log.Config().logFileName, file);
        QCOMPARE(log.Config().writeLog, write);
    }

    // A set delete flag empties the log before anything is written.
    void deleteFlag_data()
    {
        QTest::addColumn<bool>("inSystem");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("ini flag 1") << false << u"1"_qs << true;
        QTest::newRow("ini flag 0") << false << u"0"_qs << false;
        QTest::newRow("system flag 1") << true << u"1"_qs << true;
        QTest::newRow("system flag 0") << true << u"0"_qs << false;
    }

    void deleteFlag()
    {
        QFETCH(bool, inSystem);
        QFETCH(QString, value);
        QFETCH(bool, deleted);
        const QString logPath = path(u"old.log"_qs);
        {
            QFile f(logPath);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("earlier line\r\n");
        }
        if (inSystem) {
            writeSystemSettings(logPath, u"1"_qs, value);
            CPacketLog log;
            QCOMPARE(QFile::exists(logPath), !deleted);
        } else {
            writeIni("[Tessel1 Log]\r\nLogFileName=" + logPath.toUtf8()
                     + "\r\nWriteLog=1\r\nDeleteLog=" + value.toUtf8() + "\r\n");
            CPacketLog log;
            log.ReadConfigFile(iniName(), m_dir.path());
            QCOMPARE(QFile::exists(logPath), !deleted);
            log.SetMode(CPacketLog::File);
            QCOMPARE(log.Write(u"new"_qs), int(CPacketLog::Appended));
            const QStringList expected = deleted ? QStringList{u"new"_qs} : QStringList{u"earlier line"_qs, u"new"_qs};
            QCOMPARE(fileLines(logPath), expected);
        }
    }

    // Without the write flag or a file name nothing reaches the file, while
    // standard error still gets the line in the combined mode.
    void fileOutput_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("write");
        QTest::addColumn<bool>("named");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("fileLines");
        QTest::addColumn<int>("debugLines");
        QTest::newRow("off") << int(CPacketLog::Off) << true << true << 0 << 0 << 0;
        QTest::newRow("debugger only") << int(CPacketLog::Debugger) << true << true << 0 << 0 << 1;
        QTest::newRow("file only") << int(CPacketLog::File) << true << true << 0 << 1 << 0;
        QTest::newRow("both") << int(CPacketLog::DebuggerAndFile) << true << true << 0 << 1 << 1;
        QTest::newRow("both, write flag 0") << int(CPacketLog::DebuggerAndFile) << false << true << -1 << 0 << 1;
        QTest::newRow("both, no file name") << int(CPacketLog::DebuggerAndFile) << true << false << -2 << 0 << 1;
        QTest::newRow("file, write flag 0") << int(CPacketLog::File) << false << true << -1 << 0 << 0;
    }

    void fileOutput()
    {
        QFETCH(int, mode);
        QFETCH(bool, write);
        QFETCH(bool, named);
        QFETCH(int, result);
        QFETCH(int, fileLines);
        QFETCH(int, debugLines);
        const QString logPath = path(u"out.log"_qs);
        QFile::remove(logPath);
        CPacketLog log;
        log.SetMode(mode);
        log.SetLogFile(named ? logPath : QString(), write);
        QCOMPARE(log.IsActive(), fileLines + debugLines > 0);
        QCOMPARE(log.Write(u"line"_qs), result);
        QCOMPARE(::fileLines(logPath).size(), fileLines);
        QCOMPARE(g_debugLines.size(), debugLines);
    }

    // Each line is appended with CR LF after what the file already holds, and a
    // file that cannot be opened is reported, not fatal.
    void appendKeepsLines()
    {
        const QString logPath = path(u"keep.log"_qs);
        QFile::remove(logPath);
        CPacketLog log;
        log.SetMode(CPacketLog::File);
        log.SetLogFile(logPath, true);
        QCOMPARE(log.Write(u"one"_qs), 0);
        QCOMPARE(log.Write(u"zwei Größe"_qs), 0);
        QFile f(logPath);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("one\r\nzwei Gr\xc3\xb6\xc3\x9f"
                                         "e\r\n"));

        log.SetLogFile(m_dir.filePath(u"no/such/folder/x.log"_qs), true);
        QCOMPARE(log.Write(u"lost"_qs), int(CPacketLog::OpenFailed));
    }

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    // One file name per row: the settings cache could take a file rewritten
    // within the same second at the same size for the one it read before.
    static QString iniName() { return u"TesselPacket-"_qs + QString::fromUtf8(QTest::currentDataTag()) + u".ini"_qs; }

    void writeSystemSettings(const QString &logFile, const QString &write, const QString &del)
    {
        QSettings s(QSettings::NativeFormat, QSettings::SystemScope, u"Tessel1"_qs);
        s.clear();
        if (!logFile.isEmpty())
            s.setValue(u"LogFileName"_qs, logFile);
        if (!write.isEmpty())
            s.setValue(u"WriteLog"_qs, write);
        if (!del.isEmpty())
            s.setValue(u"DeleteLog"_qs, del);
        s.sync();
    }

    void writeIni(const QByteArray &content)
    {
        QFile f(path(iniName()));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

    QTemporaryDir m_dir;
    QTemporaryDir m_system;
};

QTEST_GUILESS_MAIN(TestPacketLog)
#include "tst_packetlog.moc"
