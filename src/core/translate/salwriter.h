#pragma once

#include <QString>

class CTranslateContext;

// Times of a translation with sets, written as comments after the context.
struct CSalSetTimes
{
    bool shown = false;
    qint64 initialisationFileMs = 0;
    qint64 setParsingMs = 0;
};

// Writes a translated tree as one SAL context: enumerated types, the module
// "behavior" with its variables, definitions, initial values and one guarded
// command per step. The text starts with ":CONTEXT"; the context's name goes
// in front of it when the text is saved.
class CSalWriter
{
public:
    static QString Write(const CTranslateContext &ctx, const CSalSetTimes &times = {});
    // Comment lines: the identifiers that differ from the tree's names and
    // the integer range taken from the settings; empty when neither applies.
    static QString Header(const CTranslateContext &ctx, QStringView comment);
    // A reachability theorem per leaf and a deadlock-freedom theorem.
    static QString Properties(const CTranslateContext &ctx);
    // A text on one comment line.
    static QString CommentText(QString text);
};
