#include "identifier.h"

#include "identifiermap.h"
#include "semantics/behaviormodel.h"

#include <algorithm>
#include <charconv>

QString MakeIdentifier(const QString &name, bool upperInitial)
{
    QString id = SpellIdentifier(name, upperInitial);
    if (!id.isEmpty() && (CIdentifierMap::IsReservedWord(id) || CIdentifierMap::IsReservedWord(id.toLower())))
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

void AppendFormValue(QString &out, const CBehaviorVariable &v, int value, bool blankBeforeMinus)
{
    switch (v.kind) {
    case CBehaviorVariable::State:
    case CBehaviorVariable::Enumerated:
        if (value >= 0 && value < v.valueIdentifiers.size())
            out += v.valueIdentifiers.at(value);
        return;
    case CBehaviorVariable::Boolean:
    case CBehaviorVariable::Message: out += QLatin1StringView(value ? "true" : "false"); return;
    case CBehaviorVariable::Integer: break;
    }
    if (value < 0 && blankBeforeMinus)
        out += u' ';
    AppendNumber(out, value);
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
