#include "model/codepage1252.h"
#include "model/kelrecord.h"

#include <QtTest>

class TestKelRecord : public QObject
{
    Q_OBJECT
private slots:
    // The escape is what files and packets carry: it must match byte for byte.
    void escape_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("escaped");
        QTest::newRow("plain") << u"Door"_qs << u"Door"_qs;
        QTest::newRow("colon") << u"a:b"_qs << u"a.cm.b"_qs;
        QTest::newRow("semicolon") << u"a;b"_qs << u"a.hcm.b"_qs;
        QTest::newRow("backslash doubled") << u"a\\b"_qs << u"a\\\\b"_qs;
        QTest::newRow("line feed") << u"a\nb"_qs << u"a\\nb"_qs;
        QTest::newRow("carriage return") << u"a\r\nb"_qs << u"a\\r\\nb"_qs;
        QTest::newRow("backslash then n") << u"a\\nb"_qs << u"a\\\\nb"_qs;
        QTest::newRow("literal .cm. protected") << u"x.cm.y"_qs << u"x\\u002Ecm.y"_qs;
        QTest::newRow("literal .hcm. protected") << u"x.hcm.y"_qs << u"x\\u002Ehcm.y"_qs;
        QTest::newRow("dot before cm colon") << u".cm:"_qs << u"\\u002Ecm.cm."_qs;
        QTest::newRow("ordinary dots") << u"v1.0. cm."_qs << u"v1.0. cm."_qs;
        QTest::newRow("empty") << QString() << QString();
    }

    void escape()
    {
        QFETCH(QString, text);
        QFETCH(QString, escaped);
        QCOMPARE(CKELRecord::Escape(text), escaped);
        QCOMPARE(CKELRecord::Unescape(escaped), text);
    }

    // Whatever a user types must read back unchanged.
    void roundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("markers mixed") << u".cm..hcm.;:.cm:.hcm;"_qs;
        QTest::newRow("nested markers") << u".hcm.cm.hcm."_qs;
        QTest::newRow("escape lookalikes") << u"\\u0041 \\n \\\\ \\r"_qs;
        QTest::newRow("greek and cjk") << u"Πόρτα 門 дверь"_qs;
        QTest::newRow("emoji") << u"Door 🚪 open"_qs;
        QTest::newRow("trailing backslash") << u"path\\"_qs;
        QTest::newRow("dots only") << u"...."_qs;
    }

    void roundTrip()
    {
        QFETCH(QString, text);
        QCOMPARE(CKELRecord::Unescape(CKELRecord::Escape(text)), text);
        // and through a record line
        CKELRecord r(u"obj;name:"_qs + CKELRecord::Escape(text) + u";x:1;"_qs);
        QCOMPARE(r.GetText(u"name"), text);
        QCOMPARE(r.GetInt(u"x"), 1);
    }

    void parse_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("raw");
        QTest::newRow("simple") << u"obj;id:3;type:Version;"_qs << u"obj"_qs << u"type"_qs << true << u"Version"_qs;
        QTest::newRow("empty fields skipped") << u";;obj;;id:3;;"_qs << u"obj"_qs << u"id"_qs << true << u"3"_qs;
        QTest::newRow("later key wins") << u"obj;a:1;a:2;"_qs << u"obj"_qs << u"a"_qs << true << u"2"_qs;
        QTest::newRow("value keeps further text") << u"obj;a:b:c;"_qs << u"obj"_qs << u"a"_qs << true << u"b:c"_qs;
        QTest::newRow("field without colon ends parse")
            << u"obj;a:1;junk;b:2;"_qs << u"obj"_qs << u"b"_qs << false << QString();
        QTest::newRow("keys before the stop stay")
            << u"obj;a:1;junk;b:2;"_qs << u"obj"_qs << u"a"_qs << true << u"1"_qs;
        QTest::newRow("trailing line feed ignored")
            << u"END;actversion:3;solution:1;\n"_qs << u"END"_qs << u"solution"_qs << true << u"1"_qs;
        QTest::newRow("header without final separator")
            << u"VLM;count:8;maxcount:8"_qs << u"VLM"_qs << u"maxcount"_qs << true << u"8"_qs;
        QTest::newRow("keys are case sensitive") << u"obj;Name:x;"_qs << u"obj"_qs << u"name"_qs << false << QString();
        QTest::newRow("key with blank") << u"obj;Associated Req:1,2;"_qs << u"obj"_qs << u"Associated Req"_qs << true
                                        << u"1,2"_qs;
        QTest::newRow("empty value") << u"obj;children:;"_qs << u"obj"_qs << u"children"_qs << true << QString();
        // keys of one length with the same first and last letter share a lookup slot
        QTest::newRow("slot shared, earlier key")
            << u"obj;axb:1;ayb:2;"_qs << u"obj"_qs << u"axb"_qs << true << u"1"_qs;
        QTest::newRow("slot shared, later repeat wins")
            << u"obj;ayb:1;axb:2;ayb:3;axb:4;ayb:5;"_qs << u"obj"_qs << u"axb"_qs << true << u"4"_qs;
        QTest::newRow("slot shared, key absent") << u"obj;axb:1;"_qs << u"obj"_qs << u"ayb"_qs << false << QString();
    }

    void parse()
    {
        QFETCH(QString, line);
        QFETCH(QString, kind);
        QFETCH(QString, key);
        QFETCH(bool, present);
        QFETCH(QString, raw);
        CKELRecord r;
        QVERIFY(r.Parse(line));
        QCOMPARE(r.GetKind(), kind);
        QCOMPARE(r.Has(key), present);
        QCOMPARE(r.GetRaw(key), raw);
    }

    void comment()
    {
        CKELRecord r;
        QVERIFY(!r.Parse(u"#obj;id:1;"_qs));
        QCOMPARE(r.GetKind(), QString());
        QVERIFY(!r.Has(u"id"));
    }

    void toInt_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("ok");
        QTest::newRow("plain") << u"42"_qs << 42 << true;
        QTest::newRow("negative") << u"-7"_qs << -7 << true;
        QTest::newRow("trailing line feed") << u"12\n"_qs << 12 << true;
        QTest::newRow("leading digits only") << u"12ab"_qs << 12 << true;
        QTest::newRow("empty") << QString() << 0 << false;
        QTest::newRow("letters") << u"x1"_qs << 0 << false;
        QTest::newRow("int max") << u"2147483647"_qs << 2147483647 << true;
        QTest::newRow("int min") << u"-2147483648"_qs << int(-2147483647 - 1) << true;
        QTest::newRow("beyond 32 bits") << u"4294967297"_qs << 0 << false;
        QTest::newRow("huge") << u"99999999999999999999999999"_qs << 0 << false;
    }

    void toInt()
    {
        QFETCH(QString, raw);
        QFETCH(int, value);
        QFETCH(bool, ok);
        bool good = !ok;
        QCOMPARE(CKELRecord::ToInt(raw, &good), value);
        QCOMPARE(good, ok);
    }

    void intList_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QList<int>>("values");
        QTest::newRow("empty") << QString() << QList<int>();
        QTest::newRow("one") << u"5"_qs << QList<int>{5};
        QTest::newRow("empty item between commas") << u"3,,4"_qs << QList<int>{3, 4};
        QTest::newRow("trailing comma") << u"1,2,"_qs << QList<int>{1, 2};
    }

    void intList()
    {
        QFETCH(QString, raw);
        QFETCH(QList<int>, values);
        QList<int> out{99};
        CKELRecord::ParseIntList(raw, out);
        QCOMPARE(out, QList<int>{99} + values); // appends, never clears
        if (!values.isEmpty() && !raw.contains(u",,"))
            QCOMPARE(CKELRecord::JoinInts(values), QString(raw).remove(QRegularExpression(u",$"_qs)));
    }

    void codePage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii") << u"abc"_qs << QByteArray("abc");
        QTest::newRow("latin-1 range") << u"Grüße é"_qs
                                       << QByteArray("Gr\xFC\xDF"
                                                     "e \xE9");
        QTest::newRow("euro sign is 0x80") << u"€"_qs << QByteArray("\x80");
        QTest::newRow("smart quotes") << u"“x”"_qs << QByteArray("\x93x\x94");
        QTest::newRow("whole upper half") << u"‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’•–—˜™š›œžŸ"_qs
                                          << QByteArray("\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E\x91\x92\x95"
                                                        "\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F");
        QTest::newRow("outside the page") << u"Ω"_qs << QByteArray("\\u03A9");
        QTest::newRow("surrogate pair") << u"🚪"_qs << QByteArray("\\uD83D\\uDEAA");
        QTest::newRow("C1 control not in page") << QString(QChar(0x80)) << QByteArray("\\u0080");
    }

    void codePage()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(Cp1252::encode(text), bytes);
        // decoding gives the page's characters; the escapes come back through a
        // record's text value
        QCOMPARE(CKELRecord::Unescape(Cp1252::decode(Cp1252::encode(CKELRecord::Escape(text)))), text);
    }

    void codePageUndefinedBytesSurvive()
    {
        // bytes the page does not define stand for themselves and are written back
        const QByteArray undefined("\x81\x8D\x8F\x90\x9D", 5);
        QCOMPARE(Cp1252::encode(Cp1252::decode(undefined)), undefined);
        QByteArray all;
        for (int b = 1; b < 256; ++b)
            all.append(char(b));
        QCOMPARE(Cp1252::encode(Cp1252::decode(all)), all);
    }
};

QTEST_APPLESS_MAIN(TestKelRecord)
#include "tst_kelrecord.moc"
