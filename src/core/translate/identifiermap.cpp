#include "identifiermap.h"

#include "identifier.h"

#include <QSet>

namespace {

// SAL reads its keywords without regard to case; the LTL operators of its
// prelude are taken as well, since a property uses them.
const QSet<QString> &SalWords()
{
    static const QSet<QString> words = [] {
        QSet<QString> w;
        for (const char *k :
             {"and",      "array",      "axiom",     "begin",  "boolean",    "claim",   "context",     "continuous",
              "datatype", "definition", "div",       "else",   "elsif",      "end",     "endif",       "exists",
              "false",    "forall",     "global",    "if",     "implements", "in",      "initformula", "initialization",
              "input",    "integer",    "invariant", "lambda", "lemma",      "let",     "local",       "mod",
              "module",   "nat",        "natural",   "not",    "obligation", "observe", "of",          "or",
              "output",   "real",       "refines",   "rename", "then",       "theorem", "to",          "transition",
              "true",     "type",       "with",      "where",  "xor",        "g"})
            w.insert(QString::fromLatin1(k));
        return w;
    }();
    return words;
}

// UPPAAL's parser compares with case: its keywords, types, query words and
// built-in functions.
const QSet<QString> &UppaalWords()
{
    static const QSet<QString> words = [] {
        QSet<QString> w;
        for (const char *k : {"IO",
                              "Pmax",
                              "Pr",
                              "X",
                              "abs",
                              "acos",
                              "acosh",
                              "after_update",
                              "and",
                              "asin",
                              "asinh",
                              "assert",
                              "assign",
                              "atan",
                              "atanh",
                              "before_update",
                              "bool",
                              "bounds",
                              "branchpoint",
                              "broadcast",
                              "cbrt",
                              "ceil",
                              "chan",
                              "clock",
                              "commit",
                              "committed",
                              "const",
                              "control",
                              "control_t",
                              "copysign",
                              "cos",
                              "cosh",
                              "deadlock",
                              "default",
                              "do",
                              "double",
                              "dynamic",
                              "else",
                              "erf",
                              "erfc",
                              "exists",
                              "exit",
                              "exp",
                              "fabs",
                              "false",
                              "fdim",
                              "fint",
                              "floor",
                              "fma",
                              "fmax",
                              "fmin",
                              "fmod",
                              "for",
                              "forall",
                              "foreach",
                              "fpclassify",
                              "gantt",
                              "guard",
                              "hybrid",
                              "hypot",
                              "if",
                              "ilogb",
                              "imitate",
                              "imply",
                              "import",
                              "inf",
                              "init",
                              "int",
                              "isfinite",
                              "isinf",
                              "isnan",
                              "isnormal",
                              "isunordered",
                              "ldexp",
                              "lgamma",
                              "ln",
                              "loadStrategy",
                              "location",
                              "log",
                              "logb",
                              "maxE",
                              "maxPr",
                              "meta",
                              "minE",
                              "minPr",
                              "nextafter",
                              "not",
                              "numOf",
                              "or",
                              "pow",
                              "priority",
                              "probability",
                              "process",
                              "progress",
                              "query",
                              "random",
                              "random_arcsine",
                              "random_beta",
                              "random_gamma",
                              "random_normal",
                              "random_poisson",
                              "random_tri",
                              "random_weibull",
                              "return",
                              "round",
                              "sat",
                              "saveStrategy",
                              "scalar",
                              "select",
                              "signbit",
                              "simulate",
                              "simulation",
                              "sin",
                              "sinh",
                              "spawn",
                              "sqrt",
                              "state",
                              "strategy",
                              "string",
                              "struct",
                              "sum",
                              "sup",
                              "sync",
                              "system",
                              "tan",
                              "tanh",
                              "tgamma",
                              "trans",
                              "true",
                              "trunc",
                              "typedef",
                              "under",
                              "urgent",
                              "void",
                              "while",
                              "xor"})
            w.insert(QString::fromLatin1(k));
        return w;
    }();
    return words;
}

bool isAsciiLetter(char32_t c)
{
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}

bool isIdentifierCharacter(char32_t c)
{
    return isAsciiLetter(c) || (c >= U'0' && c <= U'9') || c == U'_';
}

// Latin letters whose decomposition gives no base letter.
QString transliterated(char32_t c)
{
    switch (c) {
    case U'ß': return QStringLiteral("ss");
    case U'æ': return QStringLiteral("ae");
    case U'Æ': return QStringLiteral("AE");
    case U'œ': return QStringLiteral("oe");
    case U'Œ': return QStringLiteral("OE");
    case U'ø': return QStringLiteral("o");
    case U'Ø': return QStringLiteral("O");
    case U'ł': return QStringLiteral("l");
    case U'Ł': return QStringLiteral("L");
    case U'đ':
    case U'ð': return QStringLiteral("d");
    case U'Đ':
    case U'Ð': return QStringLiteral("D");
    case U'þ': return QStringLiteral("th");
    case U'Þ': return QStringLiteral("TH");
    case U'ı': return QStringLiteral("i");
    default: break;
    }
    const QString d = QChar::decomposition(c);
    if (!d.isEmpty() && isAsciiLetter(d[0].unicode()))
        return QString(d[0]);
    return QString();
}

QString withInitial(QString text, bool upper)
{
    if (!text.isEmpty())
        text[0] = upper ? text[0].toUpper() : text[0].toLower();
    return text;
}

// The name as a user wrote it, with the initial case of its kind: what an
// unchanged identifier looks like.
QString asWritten(const QString &name, bool upper)
{
    return withInitial(name.trimmed(), upper);
}

} // namespace

QString SpellIdentifier(const QString &name, bool upperInitial)
{
    const QString trimmed = name.trimmed();
    QString id;
    id.reserve(trimmed.size() + 1);
    bool ascii = true;
    for (QChar c : trimmed)
        ascii = ascii && c.unicode() < 128;
    if (ascii) {
        id = trimmed;
        for (QChar &c : id) {
            if (!isIdentifierCharacter(c.unicode()))
                c = u'_';
        }
    } else {
        for (const char32_t c : trimmed.toUcs4()) {
            if (isIdentifierCharacter(c)) {
                id += QChar(char16_t(c));
                continue;
            }
            if (c < 128 || !QChar::isLetterOrNumber(c)) {
                id += u'_';
                continue;
            }
            const QString latin = transliterated(c);
            if (!latin.isEmpty()) {
                id += latin;
            } else {
                // letters of other scripts are written as their code points, so
                // that two different names keep different spellings
                id += u'u' + QString::number(uint(c), 16).rightJustified(4, u'0');
            }
        }
    }
    if (id.isEmpty())
        return id;
    if (!isAsciiLetter(id[0].unicode()))
        id.prepend(u'x');
    return withInitial(id, upperInitial);
}

QString CIdentifierMap::key(Kind kind, const QString &owner, const QString &name)
{
    // built for every node of a large tree: one allocation
    QString k;
    k.reserve(owner.size() + name.size() + 3);
    k += QChar(u'0' + int(kind));
    k += u'\x1f';
    k += owner;
    k += u'\x1f';
    k += name;
    return k;
}

bool CIdentifierMap::IsReservedWord(const QString &identifier)
{
    // no word of either language is longer; most names of a large tree are
    constexpr qsizetype kLongestWord = 16;
    if (identifier.size() > kLongestWord)
        return false;
    return UppaalWords().contains(identifier) || SalWords().contains(identifier.toLower());
}

namespace {

// Whether text[from..] is one or more digits and nothing more; where the digits end in end.
bool digitsFrom(QStringView text, qsizetype from, qsizetype *end = nullptr)
{
    qsizetype i = from;
    while (i < text.size() && text[i].unicode() >= u'0' && text[i].unicode() <= u'9')
        ++i;
    if (end)
        *end = i;
    return i > from && (end || i == text.size());
}

// "pro" or "jumpToPro", digits, "state", digits, and maybe "_" and digits.
bool isLocationName(QStringView text, QStringView prefix)
{
    if (!text.startsWith(prefix))
        return false;
    qsizetype at = 0;
    if (!digitsFrom(text, prefix.size(), &at) || !text.mid(at).startsWith(u"state"))
        return false;
    if (!digitsFrom(text, at + 5, &at))
        return false;
    return at == text.size() || (text[at] == u'_' && digitsFrom(text, at + 1));
}

} // namespace

bool CIdentifierMap::IsGeneratedName(const QString &identifier)
{
    static const QSet<QString> fixed{
        QStringLiteral("env"),
        QStringLiteral("init_env"),
        QStringLiteral("globalClock"),
        QStringLiteral("behavior"),
        QStringLiteral("internalMessages"),
        QStringLiteral("internalActions"),
        QStringLiteral("messageReady"),
        QStringLiteral("view"),
        QStringLiteral("disabled"),
        QStringLiteral("Set"),
        QStringLiteral("empty_set"),
        QStringLiteral("deadlockFree"),
    };
    if (fixed.contains(identifier))
        return true;
    // asked for every new name of a tree: matched by hand, not by a pattern
    const QStringView id(identifier);
    for (QStringView prefix : {QStringView(u"pc"), QStringView(u"process"), QStringView(u"startpro"),
                               QStringView(u"killpro"), QStringView(u"env"), QStringView(u"reach")}) {
        if (id.startsWith(prefix) && digitsFrom(id, prefix.size()))
            return true;
    }
    return isLocationName(id, u"pro") || isLocationName(id, u"jumpToPro");
}

QString CIdentifierMap::HashSuffix(const QString &text, int digits)
{
    quint64 h = 1469598103934665603ull;
    for (QChar c : text) {
        h ^= c.unicode();
        h *= 1099511628211ull;
    }
    return QString::number(h, 36).right(digits).rightJustified(digits, u'0');
}

bool CIdentifierMap::taken(const QString &identifier) const
{
    return m_byIdentifier.count(identifier) != 0 || IsReservedWord(identifier) || IsGeneratedName(identifier);
}

QString CIdentifierMap::Identifier(Kind kind, const QString &rawName, const QString &owner, const QString &qualifier)
{
    const QString name = rawName.trimmed();
    const QString k = key(kind, owner, name);
    if (const auto it = m_byKey.find(k); it != m_byKey.end())
        return m_entries[it->second].identifier;
    return make(kind, name, owner, qualifier, k);
}

QString CIdentifierMap::make(Kind kind, const QString &name, const QString &owner, const QString &qualifier,
                             const QString &k)
{
    const bool type = kind == ComponentType || kind == AttributeType;
    QString base;
    QString written;
    switch (kind) {
    case ComponentType:
    case ComponentVariable:
    case State:
    case AttributeValue:
        base = SpellIdentifier(name, type);
        written = asWritten(name, type);
        break;
    case AttributeVariable:
    case AttributeType:
        base = SpellIdentifier(owner, type) + u'_' + SpellIdentifier(name, false);
        written = asWritten(owner, type) + u'_' + asWritten(name, false);
        break;
    case Message: {
        const QStringList parts = owner.split(u'\x1f');
        base = parts.value(0) + SpellIdentifier(parts.value(1), false) + u'_' + SpellIdentifier(name, false);
        written = parts.value(0) + asWritten(parts.value(1), false) + u'_' + asWritten(name, false);
        break;
    }
    case Other:
        base = SpellIdentifier(name, name.isEmpty() || name[0].isUpper());
        written = name;
        break;
    }
    if (base.isEmpty())
        base = QStringLiteral("x");

    // a type also takes its UPPAAL form, "i" and the type's name
    const auto free = [&](const QString &id) { return !taken(id) && (!type || !taken(u'i' + id)); };
    QString id = base;
    if (!free(id)) {
        const bool clash = IsReservedWord(base) || IsGeneratedName(base) || (type && !free(base));
        QStringList candidates;
        if (clash && m_byIdentifier.count(base) == 0)
            candidates.append(base + u'_');
        if (!qualifier.isEmpty())
            candidates.append(qualifier + u'_' + base);
        const QString stem = qualifier.isEmpty() ? base : qualifier + u'_' + base;
        candidates.append(stem + u'_' + HashSuffix(k, 4));
        candidates.append(stem + u'_' + HashSuffix(k, 8));
        id.clear();
        for (const QString &c : std::as_const(candidates)) {
            if (free(c)) {
                id = c;
                break;
            }
        }
        // a hash that meets another is next to impossible; count on from it
        for (int n = 2; id.isEmpty(); ++n) {
            const QString c = candidates.last() + u'_' + QString::number(n);
            if (free(c))
                id = c;
        }
    }

    Entry e;
    e.kind = kind;
    e.owner = owner;
    e.name = name;
    e.identifier = id;
    e.changed = id != written;
    const int index = int(m_entries.size());
    m_entries.append(e);
    m_byKey.emplace(k, index);
    m_byIdentifier.emplace(id, index);
    if (type)
        m_byIdentifier.emplace(u'i' + id, index);
    return id;
}

QString CIdentifierMap::known(Kind kind, const QString &owner, const QString &name) const
{
    const auto it = m_byKey.find(key(kind, owner, name.trimmed()));
    return it == m_byKey.end() ? QString() : m_entries[it->second].identifier;
}

QString CIdentifierMap::StateName(const QString &component, const QString &state)
{
    // asked for every node of a tree: the key is built once
    const QString owner = component.trimmed();
    const QString name = state.trimmed();
    const QString k = key(State, owner, name);
    if (const auto it = m_byKey.find(k); it != m_byKey.end())
        return m_entries[it->second].identifier;
    // the component's variable is named before its first state, so that a
    // state named like it is the one that gives way; a component's states
    // come one after another, so its variable is remembered
    if (m_qualifierOwner.isNull() || m_qualifierOwner != owner) {
        m_qualifier = ComponentVariableName(owner);
        m_qualifierOwner = owner;
    }
    return make(State, name, owner, m_qualifier, k);
}

void CIdentifierMap::Reserve(qsizetype names)
{
    m_entries.reserve(names);
    m_byKey.reserve(size_t(names));
    m_byIdentifier.reserve(size_t(names));
}

QString CIdentifierMap::AttributeVariableName(const QString &component, const QString &attribute)
{
    return Identifier(AttributeVariable, attribute, component.trimmed());
}

QString CIdentifierMap::AttributeTypeName(const QString &component, const QString &attribute)
{
    return Identifier(AttributeType, attribute, component.trimmed());
}

QString CIdentifierMap::AttributeValueName(const QString &component, const QString &attribute, const QString &value)
{
    if (QString id = known(AttributeValue, component.trimmed() + u'\x1f' + attribute.trimmed(), value); !id.isEmpty())
        return id;
    return Identifier(AttributeValue, value, component.trimmed() + u'\x1f' + attribute.trimmed(),
                      AttributeVariableName(component, attribute));
}

QString CIdentifierMap::MessageName(const QString &prefix, const QString &component, const QString &message)
{
    return Identifier(Message, message, prefix + u'\x1f' + component.trimmed());
}

const CIdentifierMap::Entry *CIdentifierMap::Find(const QString &identifier) const
{
    const auto it = m_byIdentifier.find(identifier);
    return it == m_byIdentifier.end() ? nullptr : &m_entries[it->second];
}

QString CIdentifierMap::ChangedTable(QStringView prefix, QStringView eol) const
{
    const auto oneLine = [](QString text) {
        for (QChar &c : text) {
            if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
                c = u' ';
        }
        return text;
    };
    QString out;
    for (const Entry &e : m_entries) {
        if (!e.changed)
            continue;
        out += prefix;
        out += e.identifier;
        out += QLatin1StringView(" = ");
        out += oneLine(e.name);
        const QString owner = QString(e.owner).replace(u'\x1f', u' ');
        if (e.kind != ComponentType && e.kind != ComponentVariable && e.kind != Other) {
            // a message's owner starts with the prefix, which says nothing to a reader
            const QString shown = e.kind == Message ? e.owner.section(u'\x1f', 1) : owner;
            out += QLatin1StringView(" (") + oneLine(shown) + u')';
        }
        out += eol;
    }
    return out;
}
