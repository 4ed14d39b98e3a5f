#pragma once

#include <QObject>
#include <QString>
#include <QStringDecoder>

#include <memory>

class QProcess;

// Runs the command interpreter as a child with its input and output
// redirected, and hands its output on as it arrives.
//
// No reader thread of our own: QProcess reports output through the event
// loop on the thread that owns it, so the chunks arrive where the dialog and
// the tree display live, in order, without locks.
class CSimulatorProcess : public QObject
{
    Q_OBJECT
public:
    explicit CSimulatorProcess(QObject *parent = nullptr);
    ~CSimulatorProcess() override;

    // The interpreter that starts the simulator: /bin/sh here, cmd on Windows.
    static QString InterpreterProgram();
    // What ends an input line. A simulator here reads lines ended by a line
    // feed alone.
    static QString LineEnd();
    // The text shown when the interpreter itself has ended.
    static QString EndedText();

    // Closes the previous child, then starts the interpreter on the command
    // line. The line is the interpreter's command rather than the first
    // line of its input: a shell reads ahead on a pipe and would swallow
    // the program that follows, which belongs to the simulator. The child's
    // input is thus the simulator's from its first byte. False, with the
    // reason in error, when the interpreter cannot start.
    bool Open(const QString &commandLine, QString *error = nullptr);
    // Writes text whole (as UTF-8) to the child's input. False when no
    // child is running.
    bool Write(const QString &text);
    // Stops listening to the child first, then ends it and whatever it runs.
    void Close();
    bool IsRunning() const;
    qint64 ProcessId() const;

signals:
    // A piece of output as it arrived; never empty.
    void output(const QString &chunk);
    // The interpreter (and with it the simulator) ended; EndedText() was
    // passed to output() before.
    void ended();

private:
    void readAvailable();
    void onFinished();

    std::unique_ptr<QProcess> m_process;
    QStringDecoder m_decoder{QStringDecoder::Utf8};
};
