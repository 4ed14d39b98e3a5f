#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

// Walks a requirements text word by word, forward and backward, passing
// over stop words and, on request, words the user has already filed.
//
// A word is a run of letters, digits and hyphens ("door-2" is one word;
// an apostrophe ends one). Letters of any script count, so that "Türsensor"
// is one word and not "T" and "rsensor".
class CWordWalker
{
public:
    struct Selection
    {
        qsizetype start = 0;
        qsizetype end = 0;
    };
    struct Step
    {
        bool found = false;
        qsizetype start = 0; // the word to select
        qsizetype length = 0;
        QString message; // when not found: why (end or start reached)
    };

    explicit CWordWalker(const QString &text = QString()) { SetText(text); }

    void SetText(const QString &text);
    const QString &Text() const { return m_text; }

    void SetSkipAdded(bool on) { m_skipAdded = on; }
    bool SkipAdded() const { return m_skipAdded; }
    // The words of the Tag, Component and Component Behaviors lists.
    void SetAddedWords(const QStringList &words);

    // "Forward >" (+1) and "Back <" (-1) from the text's selection.
    Step Move(int direction, Selection selection);
    // "Start <<": the first word of the text.
    Step Start();
    // "End >>": the last word of the text.
    Step End();

    int LastDirection() const { return m_lastDirection; }
    void SetLastDirection(int direction) { m_lastDirection = direction; }
    const QString &CurrentWord() const { return m_currentWord; }
    qsizetype Position() const { return m_position; }

    static bool IsWordChar(QStringView text, qsizetype i);
    static bool IsStopWord(QStringView word);
    static const QStringList &StopWords();

private:
    bool insideWord(qsizetype pos) const;
    bool skipped(QStringView word) const;

    QString m_text;
    QString m_currentWord;
    QSet<QString> m_added; // case-folded
    qsizetype m_position = 0;
    int m_lastDirection = 0;
    bool m_skipAdded = false;
};
