// Record lines and text escapes: any line parses without harm, and every
// text survives both escapes and a trip through a record field.
#include "fuzztarget.h"

#include "model/kelrecord.h"

#include <QList>

VERDANTIS_FUZZ_TARGET(records)
{
    const QByteArrayView bytes(data, qsizetype(size));
    const QString line = QString::fromUtf8(bytes);

    CKELRecord record;
    if (record.Parse(line)) {
        (void)record.GetKind();
        for (const auto key : {u"id", u"name", u"vChild", u"type", u"x"}) {
            (void)record.GetText(key);
            (void)record.GetInt(key);
            QList<int> ints;
            record.GetIntList(key, ints);
        }
    }
    (void)CKELRecord::ToInt(bytes);
    QList<int> ints;
    CKELRecord::ParseIntList(line, ints);
    (void)CKELRecord::JoinInts(ints);

    // the input as a text value
    const QString text = QString::fromUtf8(bytes);
    Fuzz::Check(CKELRecord::Unescape(CKELRecord::Escape(text)) == text, "Escape does not read back");
    const QString packed = CKELRecord::EscapeForPacket(text);
    Fuzz::Check(CKELRecord::Unescape(packed) == text, "EscapeForPacket does not read back");
    Fuzz::Check(!packed.contains(u'#') && !packed.contains(u".."), "EscapeForPacket leaves packet framing", packed);

    CKELRecord field;
    field.Parse(QStringLiteral("Kind;name:") + CKELRecord::Escape(text) + QStringLiteral(";x:1;"));
    Fuzz::Check(field.GetText(u"name") == text && field.GetInt(u"x") == 1, "escaped text breaks its record", text);

    (void)CKELRecord::Unescape(line);
    return 0;
}
