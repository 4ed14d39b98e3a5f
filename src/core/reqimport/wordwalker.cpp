#include "wordwalker.h"

#include "reqimporttexts.h"

namespace {

bool isWordCodePoint(char32_t c)
{
    if (c < 0x80) {
        return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9') || c == U'-';
    }
    return QChar::isLetterOrNumber(c) || QChar::isMark(c);
}

} // namespace

const QStringList &CWordWalker::StopWords()
{
    static const QStringList words{
        QStringLiteral("the"),  QStringLiteral("this"),   QStringLiteral("it"),   QStringLiteral("while"),
        QStringLiteral("an"),   QStringLiteral("be"),     QStringLiteral("of"),   QStringLiteral("there"),
        QStringLiteral("a"),    QStringLiteral("to"),     QStringLiteral("an"),   QStringLiteral("from"),
        QStringLiteral("they"), QStringLiteral("I"),      QStringLiteral("that"), QStringLiteral("me"),
        QStringLiteral("for"),  QStringLiteral("we"),     QStringLiteral("if"),   QStringLiteral("our"),
        QStringLiteral("with"), QStringLiteral("should"), QStringLiteral("will"), QStringLiteral("must"),
        QStringLiteral("is"),   QStringLiteral("would"),  QStringLiteral("are"),  QStringLiteral("has"),
        QStringLiteral("and"),  QStringLiteral("no")};
    return words;
}

bool CWordWalker::IsStopWord(QStringView word)
{
    static const QSet<QString> folded = [] {
        QSet<QString> set;
        for (const QString &w : StopWords())
            set.insert(w.toCaseFolded());
        return set;
    }();
    return folded.contains(word.toString().toCaseFolded());
}

bool CWordWalker::IsWordChar(QStringView text, qsizetype i)
{
    if (i < 0 || i >= text.size())
        return false;
    const QChar ch = text[i];
    if (ch.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return isWordCodePoint(QChar::surrogateToUcs4(ch, text[i + 1]));
    if (ch.isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate())
        return isWordCodePoint(QChar::surrogateToUcs4(text[i - 1], ch));
    return isWordCodePoint(ch.unicode());
}

void CWordWalker::SetText(const QString &text)
{
    m_text = text;
    m_currentWord.clear();
    m_position = 0;
    m_lastDirection = 0;
}

void CWordWalker::SetAddedWords(const QStringList &words)
{
    m_added.clear();
    for (const QString &w : words)
        m_added.insert(w.toCaseFolded());
}

bool CWordWalker::insideWord(qsizetype pos) const
{
    return pos > 0 && IsWordChar(m_text, pos - 1) && IsWordChar(m_text, pos);
}

bool CWordWalker::skipped(QStringView word) const
{
    return IsStopWord(word) || (m_skipAdded && m_added.contains(word.toString().toCaseFolded()));
}

CWordWalker::Step CWordWalker::Move(int direction, Selection selection)
{
    const qsizetype n = m_text.size();
    selection.start = std::clamp<qsizetype>(selection.start, 0, n);
    selection.end = std::clamp<qsizetype>(selection.end, selection.start, n);
    m_position = m_lastDirection == 1 ? selection.end : selection.start;
    m_currentWord = m_text.mid(selection.start, selection.end - selection.start);
    // the word the caret stands in is passed over, not offered again
    int counter = insideWord(m_position) ? -1 : 0;
    direction = direction >= 0 ? 1 : -1;

    for (;;) {
        qsizetype start = 0;
        qsizetype end = 0;
        if (direction == 1) {
            if (m_lastDirection == -1)
                m_position = std::min(n, m_position + m_currentWord.size());
            qsizetype i = m_position;
            while (i < n && !IsWordChar(m_text, i))
                ++i;
            if (i >= n) {
                m_lastDirection = -1;
                m_currentWord.clear();
                return {false, 0, 0, ReqImportTexts::ReachedEnd()};
            }
            start = i;
            end = i;
            while (end < n && IsWordChar(m_text, end))
                ++end;
            m_position = end;
        } else {
            if (m_lastDirection == 1)
                m_position = std::max<qsizetype>(0, m_position - m_currentWord.size());
            qsizetype i = m_position - 1;
            while (i >= 0 && !IsWordChar(m_text, i))
                --i;
            if (i < 0) {
                m_lastDirection = 1;
                m_currentWord.clear();
                return {false, 0, 0, ReqImportTexts::ReachedStart()};
            }
            end = i + 1;
            start = i;
            while (start > 0 && IsWordChar(m_text, start - 1))
                --start;
            m_position = start;
        }
        ++counter;
        m_lastDirection = direction;
        const QStringView word = QStringView(m_text).sliced(start, end - start);
        if (counter == 0 || skipped(word))
            continue;
        m_currentWord = word.toString();
        return {true, start, end - start, QString()};
    }
}

CWordWalker::Step CWordWalker::Start()
{
    m_currentWord.clear();
    m_lastDirection = 1;
    return Move(1, {0, 0});
}

CWordWalker::Step CWordWalker::End()
{
    m_currentWord.clear();
    m_lastDirection = -1;
    // from behind the last character, so that a text ending in a word
    // offers that word whole
    return Move(-1, {m_text.size(), m_text.size()});
}
