#include "kelrecord.h"

#include "codepage1252.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

template<class Char> void CKELRecord::split(const Char *text, qsizetype n)
{
    // one pass over the line, no call per field: records are read a million
    // at a time and most of their fields are a few characters long
    bool haveKind = false;
    qsizetype start = 0;
    qsizetype colonAt = -1;
    // a ":" or ";" at i; false once the record has ended
    auto separator = [&](qsizetype i, bool colon) {
        if (colon) {
            if (colonAt < 0)
                colonAt = i;
            return true;
        }
        const qsizetype end = i;
        if (end > start) {
            if (!haveKind) {
                m_kind = {start, end - start};
                haveKind = true;
            } else {
                if (colonAt < 0)
                    return false; // a field without ":" ends the record
                const qsizetype colon = colonAt - start;
                const qsizetype index = qsizetype(m_fieldCount);
                if (m_fieldCount == m_fields.size())
                    m_fields.resize(m_fields.size() * 2 + 32);
                m_fields[m_fieldCount++] = {{start, colon}, {colonAt + 1, end - colonAt - 1}};
                const char16_t *key = reinterpret_cast<const char16_t *>(m_line.constData()) + start;
                const unsigned slot = keySlot(key, colon);
                m_lastInSlot[slot] = index <= 32767 ? qint16(index) : qint16(-2); // -2: walk the fields
            }
        }
        start = end + 1;
        colonAt = -1;
        return true;
    };
    qsizetype i = 0;
#ifdef __SSE2__
    if constexpr (sizeof(Char) == 1) {
        // file lines: the separators of sixteen bytes found at once
        const __m128i colons = _mm_set1_epi8(':');
        const __m128i semicolons = _mm_set1_epi8(';');
        for (; i + 16 <= n; i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + i));
            const unsigned colonBits = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, colons)));
            unsigned bits = colonBits | unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, semicolons)));
            while (bits) {
                const int b = std::countr_zero(bits);
                if (!separator(i + b, (colonBits >> b) & 1u))
                    return;
                bits &= bits - 1;
            }
        }
    }
#endif
    for (; i < n; ++i) {
        const Char c = text[i];
        if ((c == Char(':') || c == Char(';')) && !separator(i, c == Char(':')))
            return;
    }
    separator(n, false);
}

bool CKELRecord::Parse(const QString &line)
{
    m_fieldCount = 0;
    m_lastInSlot.fill(-1);
    m_kind = {};
    m_line.clear();
    if (line.startsWith(u'#'))
        return false;
    m_line = line;
    split(reinterpret_cast<const char16_t *>(m_line.constData()), m_line.size());
    return true;
}

bool CKELRecord::ParseEncoded(QByteArrayView line)
{
    m_fieldCount = 0;
    m_lastInSlot.fill(-1);
    m_kind = {};
    if (line.startsWith('#')) {
        m_line.clear();
        return false;
    }
    // positions in the bytes are positions in the text
    Cp1252::decodeInto(line.data(), line.size(), m_line);
    split(line.data(), line.size());
    return true;
}

QString CKELRecord::GetKind() const
{
    return view(m_kind).toString();
}

const CKELRecord::Field *CKELRecord::find(QStringView key) const
{
    // a later field with the same key replaces the earlier one
    const qsizetype n = key.size();
    const char16_t *k = key.utf16();
    const char16_t *line = reinterpret_cast<const char16_t *>(m_line.constData());
    auto matches = [&](const Field &f) {
        return f.key.len == n
               && (n == 0 || (line[f.key.pos] == k[0] && std::equal(k + 1, k + n, line + f.key.pos + 1)));
    };
    if (m_fieldCount == 0)
        return nullptr;
    const qint16 last = m_lastInSlot[keySlot(k, n)];
    if (last == -1)
        return nullptr; // no key of this slot at all
    // the last field of the slot, when it has this key, is its last occurrence
    if (last >= 0 && size_t(last) < m_fieldCount && matches(m_fields[size_t(last)]))
        return &m_fields[size_t(last)];
    for (size_t i = m_fieldCount; i-- > 0;) {
        if (matches(m_fields[i]))
            return &m_fields[i];
    }
    return nullptr;
}

QStringView CKELRecord::RawView(QStringView key) const
{
    const Field *f = find(key);
    return f ? view(f->value) : QStringView();
}

QString CKELRecord::GetText(QStringView key) const
{
    return TextOf(RawView(key));
}

QString CKELRecord::TextOf(QStringView raw) const
{
    if (m_pool && std::none_of(raw.begin(), raw.end(), [](QChar c) { return c == u'.' || c == u'\\'; }))
        return m_pool->Text(raw);
    return Unescape(raw);
}

QString CTextPool::Text(QStringView raw)
{
    // Names recur; long texts and the many unique ones of a big file would
    // only fill the pool, so it stops growing at a size that holds the
    // names of any real model.
    constexpr qsizetype kLongest = 64;
    constexpr qsizetype kMostTexts = 1 << 16;
    if (raw.isEmpty())
        return QString();
    if (raw.size() > kLongest)
        return raw.toString();
    const qsizetype n = raw.size();
    const char16_t *u = raw.utf16();
    // every character of a short name counts, so that names that differ in
    // one digit do not keep pushing each other out
    size_t h = size_t(n) * 31 + u[n - 1];
    for (qsizetype i = 0, m = std::min<qsizetype>(n, 16); i < m; ++i)
        h = h * 33 + u[i];
    QString &recent = m_recent[(h ^ (h >> 8)) & (m_recent.size() - 1)];
    if (recent.size() == n && std::equal(u, u + n, reinterpret_cast<const char16_t *>(recent.constData())))
        return recent;
    const auto it = m_texts.constFind(raw);
    if (it != m_texts.constEnd()) {
        recent = *it;
        return *it;
    }
    QString text = raw.toString();
    recent = text;
    if (m_texts.size() < kMostTexts)
        m_texts.insert(QStringView(text), text);
    return text;
}

void CKELRecord::GetIntList(QStringView key, QList<int> &out) const
{
    ParseIntList(Unescape(RawView(key)), out);
}

namespace {

bool followsDotMarker(QStringView text, qsizetype i)
{
    // would the escaped text from position i on start with "cm." or "hcm."?
    // ":" and ";" escape to text starting with ".", so they count as a dot.
    auto isDotLike = [](QChar c) { return c == u'.' || c == u':' || c == u';'; };
    const QStringView rest = text.mid(i);
    if (rest.size() >= 3 && rest[0] == u'c' && rest[1] == u'm' && isDotLike(rest[2]))
        return true;
    if (rest.size() >= 4 && rest[0] == u'h' && rest[1] == u'c' && rest[2] == u'm' && isDotLike(rest[3]))
        return true;
    return false;
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

} // namespace

void CKELRecord::EscapeAppend(QStringView text, QString &out)
{
    const auto special = [](QChar c) {
        const char16_t u = c.unicode();
        return u == u'\\' || u == u'\n' || u == u'\r' || u == u':' || u == u';' || u == u'.';
    };
    if (std::none_of(text.begin(), text.end(), special)) {
        out += text; // the usual case: nothing to escape
        return;
    }
    out.reserve(out.size() + text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case u'\\': out += u"\\\\"; break;
        case u'\n': out += u"\\n"; break;
        case u'\r': out += u"\\r"; break;
        case u':': out += u".cm."; break;
        case u';': out += u".hcm."; break;
        case u'.':
            if (followsDotMarker(text, i + 1))
                out += u"\\u002E";
            else
                out += c;
            break;
        default: out += c; break;
        }
    }
}

void CKELRecord::EscapeForPacketAppend(QStringView text, QString &out)
{
    out.reserve(out.size() + text.size() + 8);
    // decisions look at what was last written, so that no ".." can form
    // between a marker and its neighbours
    auto lastIsDot = [&out, start = out.size()]() { return out.size() > start && out.back() == u'.'; };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case u'\\': out += u"\\\\"; break;
        case u'\n': out += u"\\n"; break;
        case u'\r': out += u"\\r"; break;
        case u'#': out += u"\\u0023"; break;
        case u':': out += lastIsDot() ? u"\\u003A" : u".cm."; break;
        case u';': out += lastIsDot() ? u"\\u003B" : u".hcm."; break;
        case u'.':
            if (lastIsDot() || followsDotMarker(text, i + 1))
                out += u"\\u002E";
            else
                out += c;
            break;
        default: out += c; break;
        }
    }
}

QString CKELRecord::EscapeForPacket(QStringView text)
{
    QString out;
    EscapeForPacketAppend(text, out);
    return out;
}

QString CKELRecord::Escape(QStringView text)
{
    QString out;
    EscapeAppend(text, out);
    return out;
}

QString CKELRecord::Unescape(QStringView raw)
{
    // most values hold neither a marker nor a backslash
    if (std::none_of(raw.begin(), raw.end(), [](QChar c) { return c == u'.' || c == u'\\'; }))
        return raw.toString();
    QString out;
    out.reserve(raw.size());
    const qsizetype n = raw.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = raw[i];
        if (c == u'.') {
            if (raw.mid(i, 5) == u".hcm.") {
                out += u';';
                i += 5;
                continue;
            }
            if (raw.mid(i, 4) == u".cm.") {
                out += u':';
                i += 4;
                continue;
            }
        } else if (c == u'\\' && i + 1 < n) {
            const QChar d = raw[i + 1];
            if (d == u'\\') {
                out += u'\\';
                i += 2;
                continue;
            }
            if (d == u'n') {
                out += u'\n';
                i += 2;
                continue;
            }
            if (d == u'r') {
                out += u'\r';
                i += 2;
                continue;
            }
            if (d == u'u' && i + 5 < n) {
                int v = 0;
                bool good = true;
                for (int k = 2; k < 6 && good; ++k) {
                    const int h = hexValue(raw[i + k]);
                    good = h >= 0;
                    v = v * 16 + h;
                }
                if (good) {
                    out += QChar(char16_t(v));
                    i += 6;
                    continue;
                }
            }
        }
        out += c;
        ++i;
    }
    return out;
}

namespace {

template<class Char> int toIntImpl(const Char *raw, qsizetype n, bool *ok)
{
    qsizetype i = 0;
    while (i < n && (raw[i] == ' ' || raw[i] == '\t' || raw[i] == '\n' || raw[i] == '\r'))
        ++i;
    bool negative = false;
    if (i < n && (raw[i] == '-' || raw[i] == '+')) {
        negative = raw[i] == '-';
        ++i;
    }
    qint64 value = 0;
    bool digits = false;
    bool fits = true;
    while (i < n && raw[i] >= '0' && raw[i] <= '9') {
        digits = true;
        if (fits) {
            value = value * 10 + (raw[i] - '0');
            if (value > qint64(std::numeric_limits<int>::max()) + 1)
                fits = false;
        }
        ++i;
    }
    if (negative)
        value = -value;
    if (fits && (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min()))
        fits = false;
    const bool good = digits && fits;
    if (ok)
        *ok = good;
    return good ? int(value) : 0;
}

} // namespace

int CKELRecord::ToInt(QStringView raw, bool *ok)
{
    return toIntImpl(raw.utf16(), raw.size(), ok);
}

int CKELRecord::ToInt(QByteArrayView raw, bool *ok)
{
    return toIntImpl(raw.data(), raw.size(), ok);
}

void CKELRecord::ParseIntList(QStringView raw, QList<int> &out)
{
    // a tree's line lists every node it owns: no call per item
    const char16_t *text = raw.utf16();
    const qsizetype n = raw.size();
    qsizetype start = 0;
    while (start <= n) {
        qsizetype end = start;
        while (end < n && text[end] != u',')
            ++end;
        if (end > start)
            out.append(toIntImpl(text + start, end - start, nullptr));
        start = end + 1;
    }
}

void CKELRecord::AppendNumber(QString &out, int value)
{
    char16_t buf[12];
    char16_t *const end = buf + 12;
    const char16_t *p = PutNumberBefore(end, value);
    out.append(reinterpret_cast<const QChar *>(p), end - p);
}

namespace {

// Room for a field that is written in one piece; longer ones take several appends.
constexpr qsizetype kFieldBufferSize = 128;

// Copies a few characters: keys, digits and short names, for which a call
// to the library's copy costs more than the copy.
char16_t *putShortText(char16_t *p, const char16_t *from, qsizetype n)
{
    for (; n >= 4; n -= 4, p += 4, from += 4)
        std::memcpy(p, from, 4 * sizeof(char16_t));
    switch (n) {
    case 3: p[2] = from[2]; [[fallthrough]];
    case 2: p[1] = from[1]; [[fallthrough]];
    case 1: p[0] = from[0]; break;
    default: break;
    }
    return p + n;
}

char16_t *putKeyOfField(char16_t *p, QStringView key)
{
    p = putShortText(p, key.utf16(), key.size());
    *p++ = u':';
    return p;
}

bool needsEscapeInFile(QChar c)
{
    const char16_t u = c.unicode();
    return u == u'\\' || u == u'\n' || u == u'\r' || u == u':' || u == u';' || u == u'.';
}

} // namespace

void CKELRecord::AppendIntField(QString &out, QStringView key, int value)
{
    // a key, ":", at most eleven characters of digits and sign, ";"
    if (key.size() > kFieldBufferSize - 14) {
        AppendRawField(out, key, QString::number(value));
        return;
    }
    char16_t buf[kFieldBufferSize];
    char16_t *p = putKeyOfField(buf, key);
    char16_t digits[12];
    char16_t *const end = digits + 12;
    const char16_t *d = PutNumberBefore(end, value);
    p = putShortText(p, d, end - d);
    *p++ = u';';
    out.append(reinterpret_cast<const QChar *>(buf), p - buf);
}

void CKELRecord::AppendRawField(QString &out, QStringView key, QStringView raw)
{
    if (key.size() + raw.size() + 2 > kFieldBufferSize) {
        out += key;
        out += u':';
        out += raw;
        out += u';';
        return;
    }
    char16_t buf[kFieldBufferSize];
    char16_t *p = putKeyOfField(buf, key);
    p = putShortText(p, raw.utf16(), raw.size());
    *p++ = u';';
    out.append(reinterpret_cast<const QChar *>(buf), p - buf);
}

void CKELRecord::AppendTextField(QString &out, QStringView key, QStringView text)
{
    if (std::none_of(text.begin(), text.end(), needsEscapeInFile)) {
        AppendRawField(out, key, text); // the usual case: nothing to escape
        return;
    }
    out += key;
    out += u':';
    EscapeAppend(text, out);
    out += u';';
}

QString CKELRecord::JoinInts(const QList<int> &values)
{
    QString out;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i)
            out += u',';
        out += QString::number(values[i]);
    }
    return out;
}
