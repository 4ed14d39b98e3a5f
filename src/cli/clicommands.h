#pragma once

#include <QHash>
#include <QStringList>
#include <QTextStream>

#include <functional>

#include "clitexts.h"
#include "model/prompt.h"

class CKELDataManager;
class CKELTree;

namespace Cli {

// 3: the translation refused the tree
enum ExitCode { Ok = 0, UsageError = 1, FileError = 2, TranslationError = 3, Refused = 4 };

struct Context
{
    QTextStream &out;
    QTextStream &err;
    QStringList args;               // positional arguments after the command word(s)
    QString output;                 // -o / --output
    QStringList flags;              // long options given without value (--subtree is not one)
    QHash<QString, QString> values; // long options with a value, by name
};

using Handler = std::function<int(Context &)>;

// Commands register themselves from their own source file:
//   static const Cli::Registration reg("layout", CliTexts::LayoutHelp, &run);
// A command word may contain a blank ("derive cbt"): the longest match wins.
struct Registration
{
    Registration(const char *name, const QString &usageLine, Handler handler);
};

// Options a command may use besides -o; registered the same way.
struct OptionRegistration
{
    OptionRegistration(const char *longName, const QString &description, bool takesValue);
};

// The registered command words ("derive cbt") and long options ("--output"),
// sorted, for help and shell completion; the text of --help.
QStringList CommandNames();
QStringList OptionNames();
QString UsageText();

// Runs one command line (program name first) and returns the exit code.
int Run(const QStringList &arguments, QTextStream &out, QTextStream &err);

// The program, not a caller in the same process, runs the commands: a
// command that is done may then end the process at once with its code.
void SetExitWhenDone(bool on);
// Returns code, or, once SetExitWhenDone is on, flushes the output and ends
// the process with it: a million elements are not freed one by one when the
// system takes the memory back anyway.
int Done(Context &c, int code);

// Helpers for commands
int Usage(Context &c, const QString &message);
int Fail(Context &c, const QString &message); // prints, returns FileError
bool Load(Context &c, CKELDataManager &manager, const QString &path);
bool Save(Context &c, const CKELDataManager &manager, const QString &path);
// A tree named "#ID" (any version) or by name among the current version's
// RBTs, then its IBTs/DBTs, then the EVTs. Prints why and returns null when
// the name is unknown or ambiguous.
const CKELTree *FindTree(Context &c, const CKELDataManager &manager, const QString &treeName);
// The preamble of the commands on one tree: loads the solution named by the
// first argument and finds the tree named by the second; null, having said
// why, when either fails.
const CKELTree *LoadTree(Context &c, CKELDataManager &manager);

// What the desktop program shows in a box goes to standard error as
// "CAPTION: TEXT"; a question is answered as the command chose and the
// answer is shown after it, so that a script's log tells what was decided.
class CCliPrompt : public CPrompt
{
public:
    CCliPrompt(QTextStream &err, Answer answer) : m_err(err), m_answer(answer) {}
    void Message(const QString &text, const QString &caption) override;
    bool YesNo(const QString &text, const QString &caption) override;
    Answer YesNoCancel(const QString &text, const QString &caption) override;
    bool OkCancel(const QString &text, const QString &caption) override;

private:
    void show(const QString &text, const QString &caption, const QString &answer);
    QTextStream &m_err;
    Answer m_answer;
};

} // namespace Cli
