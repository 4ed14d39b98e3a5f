#pragma once

// A checker for the part of the SAL language the translator writes: a
// context of enumerated types and one module with its variables,
// definitions, initial values and labelled guarded commands. It follows the
// public SAL grammars: qualified names of a parametric context carry the
// ";" inside their braces, comments run from "%" to a line end, and a
// command's last assignment may end with ";". Empty when the text parses,
// else what was expected where.

#include <QString>
#include <QStringList>

namespace SalGrammar {

class Checker
{
public:
    explicit Checker(const QString &text) { tokenize(text); }

    QString Check()
    {
        if (!m_error.isEmpty())
            return m_error;
        try {
            context();
        } catch (const QString &e) {
            return e;
        }
        return QString();
    }

private:
    void tokenize(const QString &text)
    {
        qsizetype i = 0;
        int line = 1;
        // the public lexer knows ASCII letters only
        const auto isLetter = [](QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); };
        const auto isIdChar = [&](QChar c) {
            return isLetter(c) || (c >= u'0' && c <= u'9') || c == u'_' || c == u'?';
        };
        while (i < text.size()) {
            const QChar c = text[i];
            if (c == u'\n') {
                ++line;
                ++i;
            } else if (c.isSpace()) {
                ++i;
            } else if (c == u'%') {
                while (i < text.size() && text[i] != u'\n' && text[i] != u'\r')
                    ++i;
                if (i >= text.size()) {
                    m_error = QStringLiteral("line %1: a comment without a line end").arg(line);
                    return;
                }
            } else if (isLetter(c)) {
                const qsizetype start = i;
                while (i < text.size() && isIdChar(text[i]))
                    ++i;
                push(text.mid(start, i - start), line);
            } else if (c.isDigit()) {
                const qsizetype start = i;
                while (i < text.size() && text[i].isDigit())
                    ++i;
                // the public lexer reads a numeral and ".." as a decimal number
                if (QStringView(text).mid(i).startsWith(u"..")) {
                    m_error = QStringLiteral("line %1: a numeral right before '..'").arg(line);
                    return;
                }
                push(text.mid(start, i - start), line);
            } else {
                static const QStringList symbols{u"-->"_qs, u"->"_qs, u"=>"_qs, u"[]"_qs, u".."_qs,
                                                 u"/="_qs,  u"<="_qs, u">="_qs, u"|-"_qs};
                QString symbol(c);
                for (const QString &s : symbols) {
                    if (QStringView(text).mid(i).startsWith(s)) {
                        symbol = s;
                        break;
                    }
                }
                if (!QStringLiteral("-->[]../=<=>={}();:,'!+*|-").contains(symbol)) {
                    m_error = QStringLiteral("line %1: unexpected character '%2'").arg(line).arg(symbol);
                    return;
                }
                // and an operator ending in "=" or "<" followed by "-" as one token
                if ((symbol.endsWith(u'=') || symbol == u"<")
                    && QStringView(text).mid(i + symbol.size()).startsWith(u'-')) {
                    m_error = QStringLiteral("line %1: '%2' right before '-'").arg(line).arg(symbol);
                    return;
                }
                push(symbol, line);
                i += symbol.size();
            }
        }
        push(QString(), line);
    }
    void push(const QString &t, int line)
    {
        m_tokens.append(t);
        m_lines.append(line);
    }

    const QString &peek(int ahead = 0) const
    {
        return m_tokens[std::min<qsizetype>(m_at + ahead, m_tokens.size() - 1)];
    }
    QString next()
    {
        const QString t = peek();
        if (m_at < m_tokens.size() - 1)
            ++m_at;
        return t;
    }
    bool is(const char16_t *t, int ahead = 0) const { return peek(ahead) == QStringView(t); }
    bool isIdentifier(int ahead = 0) const
    {
        const QString &t = peek(ahead);
        static const QStringList keywords{
            u"BEGIN"_qs,  u"END"_qs,   u"CONTEXT"_qs,    u"MODULE"_qs,         u"TYPE"_qs,       u"INPUT"_qs,
            u"OUTPUT"_qs, u"LOCAL"_qs, u"DEFINITION"_qs, u"INITIALIZATION"_qs, u"TRANSITION"_qs, u"ELSE"_qs,
            u"AND"_qs,    u"OR"_qs,    u"NOT"_qs,        u"LAMBDA"_qs,         u"FORALL"_qs,     u"EXISTS"_qs};
        // words the public grammar keeps for itself in any case
        static const QStringList reserved{u"THEOREM"_qs,    u"OBSERVE"_qs, u"INVARIANT"_qs, u"INITFORMULA"_qs,
                                          u"REFINES"_qs,    u"CLAIM"_qs,   u"LEMMA"_qs,     u"OBLIGATION"_qs,
                                          u"IMPLEMENTS"_qs, u"BEGIN"_qs,   u"END"_qs,       u"MODULE"_qs};
        return !t.isEmpty() && t[0].isLetter() && !keywords.contains(t) && !reserved.contains(t.toUpper());
    }
    [[noreturn]] void fail(const QString &expected) const
    {
        throw QStringLiteral("line %1: expected %2 at '%3'")
            .arg(m_lines[std::min(m_at, m_lines.size() - 1)])
            .arg(expected, peek());
    }
    void expect(const char16_t *t)
    {
        if (!is(t))
            fail(u"'"_qs + QString::fromUtf16(t) + u"'"_qs);
        next();
    }
    QString identifier()
    {
        if (!isIdentifier())
            fail(u"an identifier"_qs);
        return next();
    }

    void context()
    {
        identifier();
        // a parametric context: type parameters, ";", value parameters
        if (is(u"{")) {
            next();
            while (isIdentifier()) {
                identifier();
                expect(u":");
                expect(u"TYPE");
                if (is(u","))
                    next();
            }
            expect(u";");
            if (isIdentifier())
                bindings();
            expect(u"}");
        }
        expect(u":");
        expect(u"CONTEXT");
        expect(u"=");
        expect(u"BEGIN");
        do {
            identifier();
            // a function: name(parameters) : type = expression
            if (is(u"(")) {
                next();
                bindings();
                expect(u")");
            }
            expect(u":");
            if (is(u"TYPE")) {
                next();
                expect(u"=");
                if (is(u"{")) {
                    next();
                    identifier();
                    while (is(u",")) {
                        next();
                        identifier();
                    }
                    expect(u"}");
                } else {
                    type();
                }
            } else if (is(u"THEOREM")) {
                next();
                identifier();
                expect(u"|-");
                expression();
            } else if (is(u"MODULE")) {
                next();
                expect(u"=");
                module();
            } else {
                type();
                expect(u"=");
                expression();
            }
            expect(u";");
        } while (!is(u"END"));
        next();
        if (!peek().isEmpty())
            fail(u"the end of the text"_qs);
    }

    void module()
    {
        expect(u"BEGIN");
        while (!is(u"END")) {
            const QString section = next();
            if (section == u"INPUT" || section == u"OUTPUT" || section == u"LOCAL") {
                do {
                    if (is(u","))
                        next();
                    identifier();
                    while (is(u",")) {
                        next();
                        identifier();
                    }
                    expect(u":");
                    type();
                } while (is(u","));
            } else if (section == u"DEFINITION" || section == u"INITIALIZATION") {
                definitions(section == u"INITIALIZATION");
            } else if (section == u"TRANSITION") {
                expect(u"[");
                command();
                while (is(u"[]")) {
                    next();
                    command();
                }
                expect(u"]");
            } else {
                --m_at;
                fail(u"a section"_qs);
            }
        }
        next();
    }

    // a range [low .. high] or a function type [domain -> range]
    void type()
    {
        if (is(u"[")) {
            next();
            if (is(u"[")) {
                type();
            } else {
                expression();
                if (is(u"..")) {
                    next();
                    expression();
                    expect(u"]");
                    return;
                }
            }
            expect(u"->");
            type();
            expect(u"]");
        } else {
            name();
        }
    }

    // x : T, y, z : U
    void bindings()
    {
        do {
            if (is(u","))
                next();
            identifier();
            while (is(u",")) {
                next();
                identifier();
            }
            expect(u":");
            type();
        } while (is(u","));
    }

    void definitions(bool trailingSemicolon)
    {
        const auto one = [&] {
            identifier();
            expect(u"=");
            expression();
        };
        if (!isIdentifier())
            return;
        one();
        while (is(u";")) {
            next();
            if (trailingSemicolon && !isIdentifier())
                return;
            one();
        }
    }

    void command()
    {
        if (isIdentifier() && is(u":", 1)) {
            next();
            next();
        }
        if (is(u"ELSE"))
            next();
        else
            expression();
        expect(u"-->");
        while (isIdentifier()) {
            identifier();
            expect(u"'");
            expect(u"=");
            expression();
            if (!is(u";"))
                break;
            next();
        }
    }

    // a name, qualified by a parametric context as ctx{types;values}!name
    void name()
    {
        identifier();
        if (is(u"{")) {
            next();
            while (!is(u";")) {
                if (peek().isEmpty() || is(u"}"))
                    fail(u"';' inside the context's braces"_qs);
                type();
                if (is(u","))
                    next();
            }
            next();
            while (!is(u"}")) {
                expression();
                if (is(u","))
                    next();
            }
            next();
            expect(u"!");
            identifier();
        }
    }

    void expression()
    {
        if (is(u"LAMBDA") || is(u"FORALL") || is(u"EXISTS")) {
            next();
            expect(u"(");
            bindings();
            expect(u")");
            expect(u":");
            expression();
            return;
        }
        disjunction();
        while (is(u"=>")) {
            next();
            disjunction();
        }
    }
    void disjunction()
    {
        conjunction();
        while (is(u"OR")) {
            next();
            conjunction();
        }
    }
    void conjunction()
    {
        negation();
        while (is(u"AND")) {
            next();
            negation();
        }
    }
    void negation()
    {
        if (is(u"NOT")) {
            next();
            negation();
            return;
        }
        sum();
        static const QStringList comparisons{u"="_qs, u"/="_qs, u"<"_qs, u">"_qs, u"<="_qs, u">="_qs};
        if (comparisons.contains(peek())) {
            next();
            sum();
        }
    }
    void sum()
    {
        primary();
        while (is(u"+") || is(u"-") || is(u"*")) {
            next();
            primary();
        }
    }
    void primary()
    {
        if (is(u"(")) {
            next();
            expression();
            expect(u")");
        } else if (is(u"{")) {
            next();
            expression();
            while (is(u",")) {
                next();
                expression();
            }
            expect(u"}");
        } else if (!peek().isEmpty() && peek()[0].isDigit()) {
            next();
        } else if (is(u"-")) {
            next();
            primary();
        } else {
            name();
            if (is(u"(")) {
                next();
                expression();
                while (is(u",")) {
                    next();
                    expression();
                }
                expect(u")");
            }
        }
    }

    QStringList m_tokens;
    QList<int> m_lines;
    qsizetype m_at = 0;
    QString m_error;
};

// Checks a translation as it is saved: named after its file.
inline QString Check(const QString &text)
{
    return Checker(QStringLiteral("model") + text).Check();
}

} // namespace SalGrammar
