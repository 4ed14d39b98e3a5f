#pragma once

// A small explicit-state explorer for the SAL modules the translator writes:
// finite variables, definitions, initial values and labelled guarded
// commands whose guards and assignments use =, /=, <, >, <=, >=, +, -, AND,
// OR and NOT. Every input is offered at every step (the environment is
// always willing). It tells which states a model reaches, so that a test can
// see a leaf reached or a thread stuck, as a model checker would.

#include <QHash>
#include <QList>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>

namespace SalExplorer {

using State = QMap<QString, QString>;

struct Command
{
    QString guard;
    QList<QPair<QString, QString>> assignments; // variable, expression
};

class Model
{
public:
    explicit Model(const QString &text)
    {
        const QString t = QString(text).remove(QRegularExpression(QStringLiteral("%[^\\n]*"))).remove(u'\r');
        const qsizetype init = t.indexOf(QStringLiteral("INITIALIZATION"));
        const qsizetype trans = t.indexOf(QStringLiteral("TRANSITION"));
        static const QRegularExpression definition(
            QStringLiteral("DEFINITION\\n(\\w+) = ([^\\n]*(?:\\n\\s*(?:OR|\\()[^\\n]*)*)"));
        for (auto it = definition.globalMatch(t); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            m_definitions.insert(m.captured(1), m.captured(2).simplified());
        }
        static const QRegularExpression input(QStringLiteral("INPUT ([^:]*):BOOLEAN"));
        if (const QRegularExpressionMatch m = input.match(t); m.hasMatch()) {
            for (const QString &name : m.captured(1).split(u','))
                m_inputs.append(name.trimmed());
        }
        for (const QString &line : t.mid(init, trans - init).split(u'\n')) {
            const qsizetype eq = line.indexOf(u'=');
            if (eq > 0 && line.endsWith(u';'))
                m_initial.insert(line.left(eq).trimmed(), line.mid(eq + 1).chopped(1).trimmed());
        }
        for (const QString &input : std::as_const(m_inputs))
            m_initial.insert(input, QStringLiteral("true"));
        static const QRegularExpression command(QStringLiteral("A\\d+:(.*)-->\\n((?:\\t[^\\n]*\\n)*)"));
        for (auto it = command.globalMatch(t.mid(trans)); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            Command c;
            c.guard = m.captured(1).trimmed();
            for (const QString &a : m.captured(2).split(u'\n', Qt::SkipEmptyParts)) {
                const QString s = a.trimmed().chopped(1); // without ";"
                const qsizetype eq = s.indexOf(QStringLiteral("'="));
                c.assignments.append({s.left(eq).trimmed(), s.mid(eq + 2).trimmed()});
            }
            m_commands.append(c);
        }
    }

    const State &Initial() const { return m_initial; }
    const QList<Command> &Commands() const { return m_commands; }

    // The states one command leads to from s: none when its guard is false.
    QList<State> Next(const State &s) const
    {
        QList<State> out;
        for (const Command &c : m_commands) {
            if (value(c.guard, s) != u"true")
                continue;
            State n = s;
            for (const auto &[variable, expression] : c.assignments)
                n[variable] = value(expression, s);
            for (const QString &input : m_inputs)
                n[input] = QStringLiteral("true");
            out.append(n);
        }
        return out;
    }

    // Every reachable state, breadth first, at most limit of them.
    QList<State> Reachable(int limit = 100000) const
    {
        QList<State> all{m_initial};
        QSet<QString> seen{key(m_initial)};
        for (qsizetype i = 0; i < all.size() && all.size() < limit; ++i) {
            for (const State &n : Next(all[i])) {
                if (!seen.contains(key(n))) {
                    seen.insert(key(n));
                    all.append(n);
                }
            }
        }
        return all;
    }

    QString value(const QString &expression, const State &s) const
    {
        m_tokens = tokens(expression);
        m_at = 0;
        const QString v = disjunction(s);
        return v;
    }

private:
    static QString key(const State &s)
    {
        QString k;
        for (auto it = s.cbegin(); it != s.cend(); ++it)
            k += it.key() + u'=' + it.value() + u';';
        return k;
    }
    static QStringList tokens(const QString &text)
    {
        static const QRegularExpression token(QStringLiteral("\\s*(/=|<=|>=|[()=<>+-]|[A-Za-z_][A-Za-z0-9_?]*|\\d+)"));
        QStringList out;
        for (auto it = token.globalMatch(text); it.hasNext();)
            out.append(it.next().captured(1));
        return out;
    }
    QString peek() const { return m_tokens.value(m_at); }
    QString next() const { return m_tokens.value(m_at++); }
    static QString boolean(bool b) { return b ? QStringLiteral("true") : QStringLiteral("false"); }

    QString disjunction(const State &s) const
    {
        QString v = conjunction(s);
        while (peek() == u"OR") {
            next();
            const QString r = conjunction(s);
            v = boolean(v == u"true" || r == u"true");
        }
        return v;
    }
    QString conjunction(const State &s) const
    {
        QString v = comparison(s);
        while (peek() == u"AND") {
            next();
            const QString r = comparison(s);
            v = boolean(v == u"true" && r == u"true");
        }
        return v;
    }
    QString comparison(const State &s) const
    {
        const QString left = sum(s);
        const QString op = peek();
        if (op != u"=" && op != u"/=" && op != u"<" && op != u">" && op != u"<=" && op != u">=")
            return left;
        next();
        const QString right = sum(s);
        if (op == u"=")
            return boolean(left == right);
        if (op == u"/=")
            return boolean(left != right);
        const int l = left.toInt(), r = right.toInt();
        return boolean(op == u"<" ? l < r : op == u">" ? l > r : op == u"<=" ? l <= r : l >= r);
    }
    QString sum(const State &s) const
    {
        QString v = atom(s);
        while (peek() == u"+" || peek() == u"-") {
            const bool plus = next() == u"+";
            const int r = atom(s).toInt();
            v = QString::number(v.toInt() + (plus ? r : -r));
        }
        return v;
    }
    QString atom(const State &s) const
    {
        const QString t = next();
        if (t == u"(") {
            const QString v = disjunction(s);
            next(); // ")"
            return v;
        }
        if (t == u"NOT") {
            return boolean(atom(s) != u"true");
        }
        if (t == u"-")
            return QString::number(-atom(s).toInt());
        if (t == u"TRUE" || t == u"FALSE")
            return t.toLower();
        if (m_definitions.contains(t)) {
            // a definition is evaluated on its own, then the parse goes on here
            const QStringList saved = m_tokens;
            const qsizetype at = m_at;
            const QString v = value(m_definitions.value(t), s);
            m_tokens = saved;
            m_at = at;
            return v;
        }
        return s.contains(t) ? s.value(t) : t; // a variable, else a constant or a number
    }

    QMap<QString, QString> m_definitions;
    QStringList m_inputs;
    State m_initial;
    QList<Command> m_commands;
    mutable QStringList m_tokens;
    mutable qsizetype m_at = 0;
};

} // namespace SalExplorer
