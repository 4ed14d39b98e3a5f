#pragma once

#include "model/prompt.h"

#include <QList>
#include <QStringList>

// Records every text the model shows and answers questions from a queue
// (Yes when the queue is empty).
class CScriptedPrompt : public CPrompt
{
public:
    QStringList texts;
    QStringList captions;
    QList<Answer> answers;

    void Message(const QString &text, const QString &caption) override { record(text, caption); }
    bool YesNo(const QString &text, const QString &caption) override
    {
        record(text, caption);
        return next() == Yes;
    }
    Answer YesNoCancel(const QString &text, const QString &caption) override
    {
        record(text, caption);
        return next();
    }
    bool OkCancel(const QString &text, const QString &caption) override
    {
        record(text, caption);
        return next() == Yes;
    }

private:
    void record(const QString &text, const QString &caption)
    {
        texts.append(text);
        captions.append(caption);
    }
    Answer next() { return answers.isEmpty() ? Yes : answers.takeFirst(); }
};
