#include "requestframer.h"

#include <QtTest>

class TestRequestFramer : public QObject
{
    Q_OBJECT
private slots:
    // Requests carry no terminator: the keyword says how many "#"-ended fields
    // follow, and a save says how long its text is.
    void framing_data()
    {
        QTest::addColumn<QString>("stream");
        QTest::addColumn<QStringList>("requests"); // kind:field|field
        QTest::addColumn<int>("leftChars");

        QTest::newRow("login") << u"UIDLog#ann#pw#"_qs << QStringList{u"0:ann|pw"_qs} << 0;
        QTest::newRow("login with an empty password") << u"UIDLog#ann##"_qs << QStringList{u"0:ann|"_qs} << 0;
        QTest::newRow("login waits for its password") << u"UIDLog#ann#"_qs << QStringList{} << 11;
        QTest::newRow("list") << u"FileListReq#"_qs << QStringList{u"1:"_qs} << 0;
        QTest::newRow("open") << u"FileDownRec#a.kvf#"_qs << QStringList{u"2:a.kvf"_qs} << 0;
        QTest::newRow("operation") << u"OpCont#a#addreq;tag:R1;#"_qs << QStringList{u"3:a|addreq;tag:R1;"_qs} << 0;
        QTest::newRow("save with # in the text, then a list")
            << u"FileSave#a#5#x#y#zFileListReq#"_qs << QStringList{u"4:a|x#y#z"_qs, u"1:"_qs} << 0;
        QTest::newRow("save of an empty text")
            << u"FileSave#a#0#UIDLog#b#c#"_qs << QStringList{u"4:a|"_qs, u"0:b|c"_qs} << 0;
        QTest::newRow("keywords in any case")
            << u"uidlog#a#p#OPCONT#s#r#"_qs << QStringList{u"0:a|p"_qs, u"3:s|r"_qs} << 0;
        QTest::newRow("operation still open") << u"OpCont#a#rec"_qs << QStringList{} << 12;
        QTest::newRow("save still open") << u"FileSave#a#10#abc"_qs << QStringList{} << 17;
        QTest::newRow("keyword still open") << u"UIDLogAck"_qs.left(4) << QStringList{} << 4;
        QTest::newRow("unicode text") << u"FileSave#Πόρτα#3#門🚪"_qs.left(19) << QStringList{} << 19;
    }

    void framing()
    {
        QFETCH(QString, stream);
        QFETCH(QStringList, requests);
        QFETCH(int, leftChars);
        CRequestFramer framer;
        framer.Append(CUtf16Decoder::Encode(stream));
        QStringList got;
        CRequest r;
        CRequestFramer::Status status;
        while ((status = framer.Next(r)) == CRequestFramer::Ready)
            got.append(QString::number(int(r.kind)) + u':' + r.fields.join(u'|'));
        QCOMPARE(status, CRequestFramer::NeedMore);
        QCOMPARE(got, requests);
        QCOMPARE(framer.PendingBytes(), 2 * leftChars);
    }

    // However the bytes are cut, the same requests come out.
    void byteByByte()
    {
        const QString text = u"a#b\nΠ門🚪"_qs;
        const QString stream = u"UIDLog#ann#pw#FileSave#s#"_qs + QString::number(text.size()) + u'#' + text
                               + u"OpCont#s#modreq;id:3;#FileListReq#"_qs;
        const QByteArray bytes = CUtf16Decoder::Encode(stream);
        CRequestFramer framer;
        QStringList got;
        CRequest r;
        for (char b : bytes) {
            framer.Append(QByteArrayView(&b, 1));
            CRequestFramer::Status status;
            while ((status = framer.Next(r)) == CRequestFramer::Ready)
                got.append(r.fields.join(u'|'));
            QCOMPARE(status, CRequestFramer::NeedMore);
        }
        QCOMPARE(got, (QStringList{u"ann|pw"_qs, u"s|"_qs + text, u"s|modreq;id:3;"_qs, QString()}));
        QCOMPARE(framer.PendingBytes(), 0);
    }

    // Streams the server cannot follow are recognised as early as possible,
    // without waiting for more data that may never come.
    void failures_data()
    {
        QTest::addColumn<QString>("stream");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<int>("status");
        const qint64 big = qint64(1) << 20;
        QTest::newRow("unknown keyword") << u"Hello#"_qs << big << int(CRequestFramer::UnknownKeyword);
        QTest::newRow("reply keyword sent as request")
            << u"UIDLogAck#a#"_qs << big << int(CRequestFramer::UnknownKeyword);
        QTest::newRow("no keyword prefix") << u"xyz"_qs << big << int(CRequestFramer::UnknownKeyword);
        QTest::newRow("long text without #") << QString(40, u'U') << big << int(CRequestFramer::UnknownKeyword);
        QTest::newRow("length not a number") << u"FileSave#a#12x#"_qs << big << int(CRequestFramer::Malformed);
        QTest::newRow("negative length") << u"FileSave#a#-1#"_qs << big << int(CRequestFramer::Malformed);
        QTest::newRow("empty length") << u"FileSave#a##text"_qs << big << int(CRequestFramer::Malformed);
        QTest::newRow("length too long to be a number")
            << u"FileSave#a#123456789012"_qs << big << int(CRequestFramer::Malformed);
        QTest::newRow("declared length over the limit")
            << u"FileSave#a#600000#"_qs << big << int(CRequestFramer::TooLarge);
        QTest::newRow("operation that never ends")
            << u"OpCont#a#"_qs + QString(600000, u'r') << big << int(CRequestFramer::TooLarge);
        QTest::newRow("name that never ends")
            << u"FileSave#"_qs + QString(600000, u'n') << big << int(CRequestFramer::TooLarge);
        QTest::newRow("within the limit waits")
            << u"OpCont#a#"_qs + QString(1000, u'r') << big << int(CRequestFramer::NeedMore);
    }

    void failures()
    {
        QFETCH(QString, stream);
        QFETCH(qint64, limit);
        QFETCH(int, status);
        CRequestFramer framer(limit);
        framer.Append(CUtf16Decoder::Encode(stream));
        CRequest r;
        QCOMPARE(int(framer.Next(r)), status);
    }

    // A request with text that is not UTF-16 is taken whole and refused; the
    // stream stays in step, so the request after it is read as sent.
    void invalidText_data()
    {
        QTest::addColumn<QString>("request");
        const QChar high(char16_t(0xD800));
        const QChar low(char16_t(0xDC00));
        QTest::newRow("lone high surrogate in a record") << u"OpCont#s#moddbt;name:Oven"_qs + high + u";id:30;#"_qs;
        QTest::newRow("lone low surrogate in a name") << u"FileDownRec#a"_qs + low + u"#"_qs;
        QTest::newRow("high surrogate ending a field") << u"UIDLog#ann"_qs + high + u"#pw#"_qs;
        QTest::newRow("swapped pair in a saved text") << u"FileSave#s#3#a"_qs + low + high;
        QTest::newRow("NUL in a record") << u"OpCont#s#moddbt;name:Ov"_qs + QChar(0) + u"en;id:30;#"_qs;
    }

    void invalidText()
    {
        QFETCH(QString, request);
        CRequestFramer framer;
        framer.Append(CUtf16Decoder::Encode(request + u"FileListReq#"_qs));
        CRequest r;
        QCOMPARE(int(framer.Next(r)), int(CRequestFramer::InvalidText));
        QCOMPARE(int(framer.Next(r)), int(CRequestFramer::Ready));
        QCOMPARE(int(r.kind), int(CRequest::FileList));
    }

    // An odd number of bytes puts every later character out of step; it is
    // told from a request that merely arrives split inside a character.
    void oddByteCount_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<int>("status");
        const QByteArray login = CUtf16Decoder::Encode(u"UIDLog#ann#pw#");
        const QByteArray list = CUtf16Decoder::Encode(u"FileListReq#");
        QTest::newRow("a byte too many after a login") << login + 'x' << list << int(CRequestFramer::OddByteCount);
        QTest::newRow("a byte too many in one piece")
            << login + 'x' + list << QByteArray() << int(CRequestFramer::OddByteCount);
        QTest::newRow("next request split inside its first character")
            << login + list.left(1) << list.mid(1) << int(CRequestFramer::Ready);
        QTest::newRow("request split inside a character")
            << login + list.left(7) << list.mid(7) << int(CRequestFramer::Ready);
    }

    void oddByteCount()
    {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QFETCH(int, status);
        CRequestFramer framer;
        framer.Append(first);
        CRequest r;
        QCOMPARE(int(framer.Next(r)), int(CRequestFramer::Ready));
        framer.Append(second);
        QCOMPARE(int(framer.Next(r)), status);
    }
};

QTEST_GUILESS_MAIN(TestRequestFramer)
#include "tst_requestframer.moc"
