#pragma once

#include <QString>

class CBehaviorModel;
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
// command per step of the tree's executable form, so that SAL checks what
// the simulator and the other writers run. The text starts with ":CONTEXT";
// the context's name goes in front of it when the text is saved.
class CSalWriter
{
public:
    // form is the executable form built from ctx's steps.
    static QString Write(const CTranslateContext &ctx, const CBehaviorModel &form, const CSalSetTimes &times = {});
    // Comment lines: the identifiers that differ from the tree's names and
    // the integer range taken from the settings; empty when neither applies.
    static QString Header(const CTranslateContext &ctx, QStringView comment);
    // A text on one comment line.
    static QString CommentText(QString text);
};
