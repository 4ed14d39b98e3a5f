#include "identifier.h"

#include <QSet>

#include <algorithm>
#include <charconv>

namespace {

// Words of the SAL and UPPAAL languages that no declared name may be (SAL
// compares them without regard to case, so we do too).
const QSet<QString> &ReservedWords()
{
    static const QSet<QString> words = [] {
        QSet<QString> w;
        for (const char *k :
             {// SAL
              "and", "array", "axiom", "begin", "boolean", "claim", "context", "datatype", "definition", "else", "elsif",
              "end", "endif", "exists", "false", "forall", "global", "if", "implements", "in", "initialization",
              "input", "integer", "lambda", "lemma", "let", "local", "module", "nat", "natural", "not", "obligation",
              "of", "or", "output", "real", "rename", "then", "theorem", "to", "transition", "true", "type", "with",
              "where", "xor",
              // UPPAAL
              "assign", "bool", "broadcast", "chan", "clock", "commit", "committed", "const", "default", "do",
              "double", "for", "guard", "imply", "init", "int", "meta", "priority", "process", "return", "scalar",
              "select", "state", "string", "struct", "sum", "sync", "system", "trans", "typedef", "urgent", "void",
              "while"})
            w.insert(QString::fromLatin1(k));
        return w;
    }();
    return words;
}

bool IsIdentifierCharacter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_';
}

} // namespace

QString MakeIdentifier(const QString &name, bool upperInitial)
{
    QString id = name.trimmed();
    if (id.isEmpty())
        return id;
    // both languages take letters, digits and "_" only, starting with a letter
    for (QChar &c : id) {
        if (!IsIdentifierCharacter(c))
            c = u'_';
    }
    if (!id[0].isLetter())
        id.prepend(u'x');
    id[0] = upperInitial ? id[0].toUpper() : id[0].toLower();
    if (ReservedWords().contains(id.toLower()))
        id += u'_';
    return id;
}

bool IsIntegerLiteral(QStringView text)
{
    if (text.startsWith(u'-'))
        text = text.mid(1);
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

bool IsBooleanLiteral(QStringView text)
{
    return text.compare(u"true", Qt::CaseInsensitive) == 0 || text.compare(u"false", Qt::CaseInsensitive) == 0;
}

QString MakeValue(const QString &value)
{
    const QString v = value.trimmed();
    if (IsIntegerLiteral(v))
        return v;
    if (IsBooleanLiteral(v))
        return v.toLower();
    return MakeIdentifier(v, false);
}

QString XmlEscaped(QStringView text)
{
    QString out;
    AppendXmlEscaped(out, text);
    return out;
}

void AppendNumber(QString &out, qint64 value)
{
    char digits[24];
    const std::to_chars_result r = std::to_chars(digits, digits + sizeof digits, value);
    out += QLatin1StringView(digits, r.ptr - digits);
}

void AppendXmlEscaped(QString &out, QStringView text)
{
    const auto special = [](QChar c) { return c == u'&' || c == u'<' || c == u'>' || c == u'"'; };
    if (std::none_of(text.begin(), text.end(), special)) {
        out += text;
        return;
    }
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'&': out += u"&amp;"; break;
        case u'<': out += u"&lt;"; break;
        case u'>': out += u"&gt;"; break;
        case u'"': out += u"&quot;"; break;
        default: out += c;
        }
    }
}
