#include "codepage1252.h"

#include <array>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// 0x80..0x9F; a 0 marks a byte the page leaves undefined.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                            0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr char16_t toUnicode(unsigned char b)
{
    if (b < 0x80 || b >= 0xA0)
        return b;
    const char16_t u = kHigh[b - 0x80];
    return u ? u : char16_t(b);
}

} // namespace

namespace Cp1252 {

QString decode(const char *data, qsizetype size)
{
    // most lines hold no byte of 0x80..0x9F, where the page and Latin-1 differ
    bool latin1 = true;
    for (qsizetype i = 0; i < size && latin1; ++i) {
        const unsigned char b = static_cast<unsigned char>(data[i]);
        latin1 = b < 0x80 || b >= 0xA0;
    }
    if (latin1)
        return QString::fromLatin1(data, size);
    QString out(size, Qt::Uninitialized);
    char16_t *dst = reinterpret_cast<char16_t *>(out.data());
    for (qsizetype i = 0; i < size; ++i)
        dst[i] = toUnicode(static_cast<unsigned char>(data[i]));
    return out;
}

void decodeInto(const char *data, qsizetype size, QString &out)
{
    out.resize(size);
    char16_t *dst = reinterpret_cast<char16_t *>(out.data());
    qsizetype i = 0;
    bool high = false;
#ifdef __SSE2__
    // lines of a big file come a million at a time: widened 16 bytes at once
    const __m128i zero = _mm_setzero_si128();
    __m128i seen = zero;
    for (; i + 16 <= size; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + i));
        seen = _mm_or_si128(seen, v);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + i), _mm_unpacklo_epi8(v, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + i + 8), _mm_unpackhi_epi8(v, zero));
    }
    high = _mm_movemask_epi8(seen) != 0;
#endif
    for (; i < size; ++i) {
        const unsigned char b = static_cast<unsigned char>(data[i]);
        dst[i] = b;
        high = high || b >= 0x80;
    }
    if (!high)
        return; // ASCII: nothing where the page and Latin-1 differ
    for (i = 0; i < size; ++i) {
        const unsigned char b = static_cast<unsigned char>(data[i]);
        if (b >= 0x80 && b < 0xA0)
            dst[i] = toUnicode(b);
    }
}

int byteFor(char16_t ch)
{
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return ch;
    if (ch <= 0x9F) {
        // only the undefined bytes stand for themselves
        return kHigh[ch - 0x80] == 0 ? int(ch) : -1;
    }
    for (int i = 0; i < 32; ++i) {
        if (kHigh[size_t(i)] == ch)
            return 0x80 + i;
    }
    return -1;
}

void encodeAppend(QStringView text, QByteArray &out)
{
    static const char hex[] = "0123456789ABCDEF";
    // one byte per character is the rule; escapes grow the buffer as needed
    qsizetype pos = out.size();
    out.resize(pos + text.size());
    char *dst = out.data();
    const char16_t *src = text.utf16();
    const qsizetype n = text.size();
    constexpr qsizetype kRun = 16;
    qsizetype i = 0;
    while (i < n) {
        if (i + kRun <= n) {
            // nearly every character is ASCII: narrowed a run at a time
#ifdef __SSE2__
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + i + 8));
            const __m128i ascii =
                _mm_cmpeq_epi16(_mm_and_si128(_mm_or_si128(a, b), _mm_set1_epi16(-0x80)), _mm_setzero_si128());
            if (_mm_movemask_epi8(ascii) == 0xFFFF) {
                _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + pos), _mm_packus_epi16(a, b));
                i += kRun;
                pos += kRun;
                continue;
            }
#else
            char16_t any = 0;
            for (qsizetype k = 0; k < kRun; ++k)
                any |= src[i + k];
            if (any < 0x80) {
                for (qsizetype k = 0; k < kRun; ++k)
                    dst[pos + k] = char(src[i + k]);
                i += kRun;
                pos += kRun;
                continue;
            }
#endif
        }
        const char16_t ch = src[i++];
        const int b = ch < 0x80 ? int(ch) : byteFor(ch);
        if (b >= 0) {
            dst[pos++] = char(b);
            continue;
        }
        out.resize(pos + 6 + (n - i));
        dst = out.data();
        const char esc[6] = {'\\',         'u', hex[(ch >> 12) & 0xF], hex[(ch >> 8) & 0xF], hex[(ch >> 4) & 0xF],
                             hex[ch & 0xF]};
        std::memcpy(dst + pos, esc, 6);
        pos += 6;
    }
    out.resize(pos);
}

QByteArray encode(QStringView text)
{
    QByteArray out;
    encodeAppend(text, out);
    return out;
}

} // namespace Cp1252
