#pragma once

#include <QString>
#include <QStringList>

struct CTranslateSettings;

// An outside parser reached through files: its input is written to a scratch
// folder, its command runs through the shell there, and its output file is
// read back line by line. A command may name the two files with the
// placeholders {in} and {out}; without them it finds them by their fixed
// names in its working directory.
class CExternalParser
{
public:
    enum Kind {
        SetParser,      // set expressions of a translation with sets
        BehaviorParser, // behavior texts of the XML export
    };

    CExternalParser(Kind kind, const CTranslateSettings &settings);

    QString Folder() const { return m_folder; }
    QString InputPath() const;
    QString OutputPath() const;
    // The command as the shell gets it.
    QString Command() const;
    // "set parser" or "behavior parser", for messages.
    QString Label() const;

    struct Output
    {
        QStringList lines; // without their line ends
        bool read = false; // the output file was there after the run
        int exitCode = 0;
        QString errors; // what the parser wrote to standard error
    };
    // Writes the input, runs the parser and reads what it wrote. A stale
    // output file is removed first, so that an old result is never taken for
    // a new one. Throws when the input cannot be written or the parser cannot
    // be started.
    Output Run(const QString &input) const;
    // As Run, but a failed run or a missing output is an error.
    QStringList RunOrThrow(const QString &input) const;
    // The error for a run that did not give a usable output.
    QString FailureText(const Output &output) const;

    static QString DefaultScratchFolder();
    static QString DefaultCommand(Kind kind);
    // The shipped parser's executable beside this program or in its build
    // tree, else on the PATH; empty when there is none.
    static QString FindTool(const QString &executableName, const QString &toolFolder);

private:
    Kind m_kind;
    QString m_folder;
    QString m_command;
};
