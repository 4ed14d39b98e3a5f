#pragma once

// Declared-before-use checks of our own for the two model languages, as the
// checkers' type checkers would make them: every name a model declares is
// declared once, and every name it uses is declared. Empty when the text
// passes, else the first fault found.

#include "translate/identifiermap.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

namespace DeclarationCheck {

namespace Detail {

// SAL names may end in "?"; in UPPAAL "?" receives on a channel.
inline QStringList identifiers(const QString &text, bool sal = false)
{
    static const QRegularExpression salId(QStringLiteral("[A-Za-z_][A-Za-z0-9_?]*"));
    static const QRegularExpression uppaalId(QStringLiteral("[A-Za-z_][A-Za-z0-9_]*"));
    QStringList out;
    for (auto it = (sal ? salId : uppaalId).globalMatch(text); it.hasNext();)
        out.append(it.next().captured());
    return out;
}

// Counts a declaration; the fault when the name was declared before.
inline QString declare(QHash<QString, int> &declared, const QString &name, const QString &where)
{
    if (name.isEmpty())
        return QStringLiteral("an empty name is declared in ") + where;
    if (declared.contains(name))
        return QStringLiteral("'%1' is declared twice (%2)").arg(name, where);
    declared.insert(name, 1);
    return QString();
}

} // namespace Detail

// With a set context, each name the model takes from it must be declared
// there once.
inline QString Sal(const QString &withComments, const QString &setContext = QString())
{
    using namespace Detail;
    // comments out, and the set context's qualified names, which it declares itself
    QString text = withComments;
    text.remove(QRegularExpression(QStringLiteral("%[^\\n]*")));
    if (!setContext.isEmpty()) {
        QHash<QString, int> provided;
        static const QRegularExpression head(QStringLiteral("^\\s*([A-Za-z]\\w*[?]?)\\s*[(:]"),
                                             QRegularExpression::MultilineOption);
        const QString body = setContext.mid(setContext.indexOf(QStringLiteral("BEGIN")));
        for (auto it = head.globalMatch(body); it.hasNext();) {
            const QString fault = declare(provided, it.next().captured(1), QStringLiteral("the set context"));
            if (!fault.isEmpty())
                return fault;
        }
        static const QRegularExpression taken(QStringLiteral("set\\{[^}]*\\}!(\\w+[?]?)"));
        for (auto it = taken.globalMatch(text); it.hasNext();) {
            const QString name = it.next().captured(1);
            if (!provided.contains(name))
                return QStringLiteral("'%1' is used but the set context does not define it").arg(name);
        }
    }
    text.remove(QRegularExpression(QStringLiteral("set\\{[^}]*\\}!\\w+\\??")));

    QHash<QString, int> declared;
    QString fault;
    static const QRegularExpression typeLine(QStringLiteral("(\\w+): TYPE=\\{([^}]*)\\};"));
    for (auto it = typeLine.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (!(fault = declare(declared, m.captured(1), QStringLiteral("type"))).isEmpty())
            return fault;
        for (const QString &value : m.captured(2).split(u','))
            if (!(fault = declare(declared, value.trimmed(), QStringLiteral("value of ") + m.captured(1))).isEmpty())
                return fault;
    }
    const qsizetype moduleAt = text.indexOf(QStringLiteral(":MODULE="));
    if (moduleAt < 0)
        return QStringLiteral("no module");
    const qsizetype initAt = text.indexOf(QStringLiteral("INITIALIZATION"), moduleAt);
    const qsizetype defAt = text.indexOf(QStringLiteral("DEFINITION"), moduleAt);
    const qsizetype varsEnd = defAt >= 0 && defAt < initAt ? defAt : initAt;
    // INPUT a,b:BOOLEAN / OUTPUT ... / LOCAL x: T, y: [0 .. 3], ...
    QString vars = text.mid(moduleAt, varsEnd - moduleAt);
    vars.replace(QRegularExpression(QStringLiteral("\\b(?:INPUT|OUTPUT|LOCAL|BEGIN)\\b")), QStringLiteral(","));
    vars.remove(QRegularExpression(QStringLiteral("\\[[^\\]]*\\]")));
    QSet<QString> types{QStringLiteral("BOOLEAN"), QStringLiteral("INTEGER")};
    for (QString piece : vars.mid(vars.indexOf(u'=') + 1).split(u',', Qt::SkipEmptyParts)) {
        piece = piece.trimmed();
        if (piece.isEmpty())
            continue;
        const qsizetype colon = piece.indexOf(u':');
        const QString name = (colon < 0 ? piece : piece.left(colon)).trimmed();
        const QString type = colon < 0 ? QString() : piece.mid(colon + 1).trimmed();
        if (!(fault = declare(declared, name, QStringLiteral("variable"))).isEmpty())
            return fault;
        if (!type.isEmpty() && !types.contains(type) && !declared.contains(type)
            && !type.startsWith(QStringLiteral("Set")))
            return QStringLiteral("variable '%1' has the undeclared type '%2'").arg(name, type);
    }
    // a definition gives a declared variable its value
    static const QRegularExpression definition(QStringLiteral("DEFINITION\\s+(\\w+)\\s*="));
    for (auto it = definition.globalMatch(text); it.hasNext();) {
        const QString name = it.next().captured(1);
        if (!declared.contains(name))
            return QStringLiteral("the definition of '%1' names no variable").arg(name);
    }
    static const QRegularExpression theorem(QStringLiteral("(\\w+): THEOREM"));
    for (auto it = theorem.globalMatch(text); it.hasNext();)
        if (!(fault = declare(declared, it.next().captured(1), QStringLiteral("theorem"))).isEmpty())
            return fault;

    static const QSet<QString> words{
        u"AND"_qs,     u"OR"_qs,   u"NOT"_qs,      u"TRUE"_qs,           u"FALSE"_qs,      u"true"_qs,
        u"false"_qs,   u"ELSE"_qs, u"END"_qs,      u"INITIALIZATION"_qs, u"TRANSITION"_qs, u"DEFINITION"_qs,
        u"THEOREM"_qs, u"G"_qs,    u"behavior"_qs, u"MODULE"_qs,         u"of"_qs};
    static const QRegularExpression label(QStringLiteral("^A\\d+$"));
    QString uses = text.mid(defAt >= 0 && defAt < initAt ? defAt : initAt);
    for (const QString &id : identifiers(uses, true)) {
        if (!words.contains(id) && !declared.contains(id) && !label.match(id).hasMatch())
            return QStringLiteral("'%1' is used but not declared").arg(id);
    }
    return QString();
}

inline QString Uppaal(const QString &xml)
{
    using namespace Detail;
    QXmlStreamReader r(xml);
    QString declaration, system;
    QStringList templates, labels, queries;
    QList<QStringList> locationNames; // per template
    while (!r.atEnd()) {
        r.readNext();
        if (!r.isStartElement())
            continue;
        const auto name = r.name();
        if (name == u"declaration" && templates.isEmpty()) {
            declaration = r.readElementText();
        } else if (name == u"template") {
            templates.append(QString());
            locationNames.append(QStringList());
        } else if (name == u"name" && !templates.isEmpty() && templates.last().isEmpty()) {
            templates.last() = r.readElementText();
        } else if (name == u"name") {
            locationNames.last().append(r.readElementText());
        } else if (name == u"label") {
            labels.append(r.readElementText());
        } else if (name == u"system") {
            system = r.readElementText();
        } else if (name == u"formula") {
            queries.append(r.readElementText());
        }
    }
    if (r.hasError())
        return QStringLiteral("not well-formed XML: ") + r.errorString();

    QHash<QString, int> declared;
    QString fault;
    declaration.remove(QRegularExpression(QStringLiteral("//[^\\n]*")));
    for (QString statement : declaration.split(u';')) {
        statement = statement.trimmed();
        if (statement.isEmpty())
            continue;
        static const QRegularExpression head(
            QStringLiteral("^(chan|typedef int\\[[^\\]]*\\]|const int|int\\[[^\\]]*\\]|int|bool|i\\w+)\\s+(.*)$"),
            QRegularExpression::DotMatchesEverythingOption);
        const QRegularExpressionMatch m = head.match(statement);
        if (!m.hasMatch())
            return QStringLiteral("declaration not understood: ") + statement;
        const QString type = m.captured(1);
        if (type.startsWith(u'i') && type != u"int" && !type.startsWith(QStringLiteral("int["))
            && !declared.contains(type))
            return QStringLiteral("the type '%1' is used but not declared").arg(type);
        for (const QString &item : m.captured(2).split(u',')) {
            const QString name = item.section(u'=', 0, 0).trimmed();
            if (!(fault = declare(declared, name, type)).isEmpty())
                return fault;
            for (const QString &id : identifiers(item.section(u'=', 1)))
                if (!declared.contains(id))
                    return QStringLiteral("'%1' is used but not declared").arg(id);
        }
    }
    for (const QString &t : std::as_const(templates))
        if (!(fault = declare(declared, t, QStringLiteral("template"))).isEmpty())
            return fault;
    // a location's name shadows a global of the same name in its template
    for (const QStringList &names : std::as_const(locationNames)) {
        QSet<QString> local;
        for (const QString &n : names) {
            if (local.contains(n))
                return QStringLiteral("location '%1' is named twice in one template").arg(n);
            local.insert(n);
            if (declared.contains(n))
                return QStringLiteral("location '%1' has the name of a declaration").arg(n);
        }
    }
    static const QSet<QString> words{u"not"_qs, u"and"_qs, u"or"_qs, u"true"_qs, u"false"_qs, u"system"_qs};
    for (const QString &l : std::as_const(labels) + QStringList{system})
        for (const QString &id : identifiers(l))
            if (!words.contains(id) && !declared.contains(id))
                return QStringLiteral("'%1' is used but not declared").arg(id);
    for (const QString &q : std::as_const(queries)) {
        static const QRegularExpression location(QStringLiteral("(\\w+)\\.(\\w+)"));
        for (auto it = location.globalMatch(q); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const qsizetype t = templates.indexOf(m.captured(1));
            if (t < 0 || !locationNames[t].contains(m.captured(2)))
                return QStringLiteral("the query names no location: ") + q;
        }
    }
    return QString();
}

// Each identifier stands for one name, is made of ASCII letters, digits and
// "_" with a letter first, and is no word of either language and no name the
// writers declare; empty when so.
inline QString Injectivity(const QList<CIdentifierMap::Entry> &entries)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z][A-Za-z0-9_]*$"));
    QHash<QString, QString> owner;
    for (const CIdentifierMap::Entry &e : entries) {
        const QString key = QString::number(int(e.kind)) + u'|' + e.owner + u'|' + e.name;
        if (owner.contains(e.identifier) && owner.value(e.identifier) != key)
            return QStringLiteral("'%1' stands for two names").arg(e.identifier);
        owner.insert(e.identifier, key);
        if (!plain.match(e.identifier).hasMatch() || CIdentifierMap::IsReservedWord(e.identifier)
            || CIdentifierMap::IsGeneratedName(e.identifier))
            return QStringLiteral("'%1' is not a free identifier").arg(e.identifier);
    }
    return QString();
}

} // namespace DeclarationCheck
