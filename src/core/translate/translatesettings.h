#pragma once

#include <QString>

class QSettings;

// What the translators are told. The options dialog edits the first block;
// the outside parsers are set in the program settings or on the command line.
struct CTranslateSettings
{
    enum MessageMode : int {
        NoMessageBlocking = 1,
        PrioritiseInternal = 2, // internal messages before external ones
        NoBuffering = 4,        // internal messages, then internal actions, then external input
    };

    int messageMode = NoMessageBlocking;
    bool useRandomTree = false;
    bool useFailureViews = false;
    bool displayTime = true;
    QString iterations = QStringLiteral("100"); // size of a random tree, as typed
    unsigned randomSeed = 0;                    // 0: a new tree on every run
    // the range of an integer attribute that no declaration bounds
    qint64 intLow = 0;
    qint64 intHigh = 255;
    // standard properties (reachability of every leaf, no deadlock) in the output
    bool properties = false;

    // Empty values mean the defaults: a per-user scratch folder and the
    // parsers that come with Verdantis.
    QString scratchFolder;
    QString setParserCommand;
    QString behaviorParserCommand;

    // "LOW..HIGH" as typed: two whole numbers of 32 bits, LOW not above HIGH.
    static bool ParseIntRange(const QString &text, qint64 &low, qint64 &high);
    QString IntRangeText() const;

    // A mode outside 1, 2 and 4 reads as 1.
    static int ValidMessageMode(int mode);

    // Stored under the group "Translate".
    void ReadFrom(QSettings &settings);
    void WriteTo(QSettings &settings) const;
};

// Files a translation with sets reads; an empty path means none.
struct CTranslateSetFiles
{
    QString declarations;
    QString initialisation;
};
