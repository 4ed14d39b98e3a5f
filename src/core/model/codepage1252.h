#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// Solution files are single-byte text in code page 1252, the page older files
// were written in. Qt has no codec for it, hence this small table.
namespace Cp1252 {

// Decodes bytes one to one. The five bytes the page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the code points of the same value,
// so that they come back unchanged on the next save.
QString decode(const char *data, qsizetype size);
// The same into out, which keeps its room from line to line.
void decodeInto(const char *data, qsizetype size, QString &out);
inline QString decode(const QByteArray &bytes)
{
    return decode(bytes.constData(), bytes.size());
}

// Encodes every character the page holds as its byte. Any other UTF-16 unit is
// written as "\u" followed by four hex digits; the record text never holds a
// lone backslash (the user's are doubled), so the reader's unescape restores it.
void encodeAppend(QStringView text, QByteArray &out);
QByteArray encode(QStringView text);

// The byte for a character, or -1 when the page cannot hold it.
int byteFor(char16_t ch);

} // namespace Cp1252
