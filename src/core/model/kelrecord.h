#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <algorithm>
#include <array>
#include <vector>

// Texts that recur over many records, such as component and behavior names,
// kept once: a record reading with a pool hands out shared copies instead of
// a new string for each field.
class CTextPool
{
public:
    // The text of an unescaped value; shared when it was seen before.
    QString Text(QStringView raw);

private:
    // The keys view the texts the pool holds, which never change.
    QHash<QStringView, QString> m_texts;
    // The texts met last, by a cheap hash: most lookups end here, before
    // the full hash of the text is computed.
    std::array<QString, 256> m_recent;
};

// One record line parsed into its kind and key/value fields. Values are kept
// raw (still escaped); GetText and GetIntList unescape them.
class CKELRecord
{
public:
    CKELRecord() = default;
    explicit CKELRecord(const QString &line) { Parse(line); }

    // Returns false for a "#" comment line, which stores nothing.
    bool Parse(const QString &line);
    // The same for a line in the file's encoding (code page 1252), which
    // decodes one byte to one character into room the record keeps.
    bool ParseEncoded(QByteArrayView line);
    // Texts read from now on come from pool (null: none); it must outlive
    // the reading.
    void SetTextPool(CTextPool *pool) { m_pool = pool; }

    QString GetKind() const;
    QStringView KindView() const { return view(m_kind); }
    bool Has(QStringView key) const { return find(key) != nullptr; }
    QStringView RawView(QStringView key) const;
    QString GetRaw(QStringView key) const { return RawView(key).toString(); }
    int GetInt(QStringView key) const { return ToInt(RawView(key)); }
    bool GetBool(QStringView key) const { return Is(RawView(key), u"1"); }
    QString GetText(QStringView key) const;
    // The text of a raw value of this record, as GetText gives it.
    QString TextOf(QStringView raw) const;
    // Calls f(key, raw value) for each field in line order, so that a reader
    // of many keys walks the line once; a later field of the same key comes
    // later, as lookups let it win.
    template<class F> void ForEachField(F &&f) const
    {
        for (size_t i = 0; i < m_fieldCount; ++i)
            f(view(m_fields[i].key), view(m_fields[i].value));
    }
    void GetIntList(QStringView key, QList<int> &out) const;

    // The same for a key written in the code: its length is known when
    // compiling, where a view of it would count it on every call.
    template<size_t N> QStringView RawView(const char16_t (&key)[N]) const { return RawView(QStringView(key, N - 1)); }
    template<size_t N> QString GetText(const char16_t (&key)[N]) const { return GetText(QStringView(key, N - 1)); }
    template<size_t N> int GetInt(const char16_t (&key)[N]) const { return GetInt(QStringView(key, N - 1)); }
    template<size_t N> bool GetBool(const char16_t (&key)[N]) const { return GetBool(QStringView(key, N - 1)); }
    // Whether text is the literal, compared in line rather than by a call.
    template<size_t N> static bool Is(QStringView text, const char16_t (&literal)[N])
    {
        return text.size() == qsizetype(N - 1) && std::equal(literal, literal + N - 1, text.utf16());
    }

    int FieldCount() const { return int(m_fieldCount); }

    // Text value escaping. Besides the backslash, line breaks, ":" and ";",
    // the escape also protects a "." that would otherwise read back as the
    // start of ".cm." or ".hcm.", so every text survives a round trip.
    static QString Escape(QStringView text);
    static void EscapeAppend(QStringView text, QString &out);
    // The escape for operation records, which travel in packets whose framing
    // cannot carry "#" or two adjacent full stops: those become "\\u" escapes
    // too. Unescape reads both forms.
    static QString EscapeForPacket(QStringView text);
    static void EscapeForPacketAppend(QStringView text, QString &out);
    static QString Unescape(QStringView raw);

    // The leading sign and digits, as the C library reads them; leading
    // blanks and trailing garbage are tolerated. 0 when there are no digits
    // or the value does not fit in 32 bits.
    static int ToInt(QStringView raw, bool *ok = nullptr);
    static int ToInt(QByteArrayView raw, bool *ok = nullptr);
    // Splits at ",", skips empty items, appends each as ToInt.
    static void ParseIntList(QStringView raw, QList<int> &out);
    static QString JoinInts(const QList<int> &values);
    // The decimal digits of value, without a temporary string: records are
    // written a million at a time.
    static void AppendNumber(QString &out, int value);
    // Writes the digits (and sign) of value to end backwards, up to eleven
    // characters, and returns where they begin.
    static char16_t *PutNumberBefore(char16_t *end, int value)
    {
        unsigned int v = value < 0 ? 0u - unsigned(value) : unsigned(value);
        do {
            *--end = char16_t(u'0' + v % 10);
            v /= 10;
        } while (v);
        if (value < 0)
            *--end = u'-';
        return end;
    }
    // "key:value;" in one append, the value as a number, escaped text or as
    // it is: a node line is some twenty fields, and each append is a call.
    static void AppendIntField(QString &out, QStringView key, int value);
    static void AppendTextField(QString &out, QStringView key, QStringView text);
    static void AppendRawField(QString &out, QStringView key, QStringView raw);

private:
    struct Span
    {
        qsizetype pos = 0;
        qsizetype len = 0;
    };
    struct Field
    {
        Span key;
        Span value;
    };
    template<class Char> void split(const Char *text, qsizetype n);
    const Field *find(QStringView key) const;
    QStringView view(Span s) const { return QStringView(m_line).mid(s.pos, s.len); }
    static unsigned keySlot(const char16_t *key, qsizetype n)
    {
        // no two keys of a node line share a slot, nor does a key a node line may leave out
        return n ? unsigned(n + 3 * (key[0] + key[n - 1])) & (kSlots - 1) : 0;
    }

    static constexpr unsigned kSlots = 128;
    QString m_line;
    CTextPool *m_pool = nullptr;
    Span m_kind;
    // The first m_fieldCount are this line's; the rest is room kept from
    // longer lines, so that a field costs a store rather than a push.
    std::vector<Field> m_fields;
    size_t m_fieldCount = 0;
    // Per slot of a key's hash, the last field whose key falls there (-1:
    // none). Nodes are read by some twenty lookups each, so a miss must not
    // cost a walk over every field.
    std::array<qint16, kSlots> m_lastInSlot{};
};
