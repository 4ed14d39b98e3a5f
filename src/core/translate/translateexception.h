#pragma once

#include <QString>

#include <utility>

// The one error of the translators. A translation stops at the first one and
// builds nothing; the caller shows Message().
class CTranslateException
{
public:
    explicit CTranslateException(QString text) : m_text(std::move(text)) {}

    // The rule's own text, without the prefix.
    const QString &Text() const { return m_text; }
    // What the user sees.
    QString Message() const { return QStringLiteral("Parsing error: ") + m_text; }

private:
    QString m_text;
};
