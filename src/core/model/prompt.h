#pragma once

#include <QString>

// How the model asks the user. The application answers with message boxes,
// tests with a scripted fake, the command line from its flags.
class CPrompt
{
public:
    enum Answer { Yes, No, Cancel };

    virtual ~CPrompt() = default;
    // An error or a refusal; the caption is "Message" unless told otherwise.
    virtual void Message(const QString &text, const QString &caption = QStringLiteral("Message")) = 0;
    virtual bool YesNo(const QString &text, const QString &caption = QStringLiteral("Confirm Message")) = 0;
    virtual Answer YesNoCancel(const QString &text, const QString &caption = QStringLiteral("Message")) = 0;
    virtual bool OkCancel(const QString &text, const QString &caption = QStringLiteral("Message")) = 0;
};

// Says nothing and answers every question with the given answer.
class CSilentPrompt : public CPrompt
{
public:
    explicit CSilentPrompt(bool answerYes = true) : m_yes(answerYes) {}
    void Message(const QString &, const QString &) override {}
    bool YesNo(const QString &, const QString &) override { return m_yes; }
    Answer YesNoCancel(const QString &, const QString &) override { return m_yes ? Yes : No; }
    bool OkCancel(const QString &, const QString &) override { return m_yes; }

private:
    bool m_yes;
};
