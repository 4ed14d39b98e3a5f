#include "collab/collabprotocol.h"
#include "collab/packetframer.h"
#include "collab/solutiontextpacking.h"
#include "model/keldatamanager.h"
#include "model/kelrequirement.h"

#include <QtTest>

Q_DECLARE_METATYPE(QList<QByteArray>)

namespace {

QByteArray utf16(const QString &text)
{
    return CUtf16Decoder::Encode(text);
}

// Cuts bytes into pieces at the given offsets.
QList<QByteArray> pieces(const QByteArray &bytes, const QList<int> &cuts)
{
    QList<QByteArray> out;
    int from = 0;
    for (int cut : cuts) {
        out.append(bytes.mid(from, cut - from));
        from = cut;
    }
    out.append(bytes.mid(from));
    return out;
}

} // namespace

class TestPacketFramer : public QObject
{
    Q_OBJECT
private slots:
    // Fields are cut at "#", trimmed, and blank ones dropped; a "FileDownAck"
    // keeps everything after its fourth field as the fifth.
    void splitFields_data()
    {
        QTest::addColumn<QString>("packet");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("login reply") << u"UIDLogAck#u#"_qs << QStringList{u"UIDLogAck"_qs, u"u"_qs};
        QTest::newRow("final token without #") << u"UIDLogAck#u"_qs << QStringList{u"UIDLogAck"_qs, u"u"_qs};
        QTest::newRow("no # at all") << u"Login failed"_qs << QStringList{};
        QTest::newRow("empty") << QString() << QStringList{};
        QTest::newRow("empty file list") << u"FileListAck#"_qs << QStringList{u"FileListAck"_qs};
        QTest::newRow("blanks-only field disappears")
            << u"OpIdAck#  #s#7#"_qs << QStringList{u"OpIdAck"_qs, u"s"_qs, u"7"_qs};
        QTest::newRow("fields trimmed") << u" FileSaveAck # s.kvf #"_qs << QStringList{u"FileSaveAck"_qs, u"s.kvf"_qs};
        QTest::newRow("down ack with # inside the text")
            << u"FileDownAck#s.kvf#12#x#text with # and ; inside"_qs
            << QStringList{u"FileDownAck"_qs, u"s.kvf"_qs, u"12"_qs, u"x"_qs, u"text with # and ; inside"_qs};
        QTest::newRow("down ack text kept untrimmed")
            << u"FileDownAck#s#3#x#  a\n"_qs << QStringList{u"FileDownAck"_qs, u"s"_qs, u"3"_qs, u"x"_qs, u"  a\n"_qs};
        QTest::newRow("down ack keyword in any case")
            << u"filedownack#s#1#x#a#b"_qs << QStringList{u"filedownack"_qs, u"s"_qs, u"1"_qs, u"x"_qs, u"a#b"_qs};
        QTest::newRow("down ack with empty remainder")
            << u"FileDownAck#s#0#x#"_qs << QStringList{u"FileDownAck"_qs, u"s"_qs, u"0"_qs, u"x"_qs};
        QTest::newRow("down ack counts fields after blanks")
            << u"FileDownAck# #s#1#x#t#u"_qs << QStringList{u"FileDownAck"_qs, u"s"_qs, u"1"_qs, u"x"_qs, u"t#u"_qs};
        QTest::newRow("other keyword splits every #")
            << u"OpCont#s#r1#OpCont#s#r2#"_qs
            << QStringList{u"OpCont"_qs, u"s"_qs, u"r1"_qs, u"OpCont"_qs, u"s"_qs, u"r2"_qs};
    }

    void splitFields()
    {
        QFETCH(QString, packet);
        QFETCH(QStringList, fields);
        QCOMPARE(CPacketFramer::SplitFields(packet), fields);
    }

    // Packets end at "..", whatever pieces the bytes arrive in.
    void framing_data()
    {
        QTest::addColumn<QList<QByteArray>>("reads");
        QTest::addColumn<QStringList>("afterEachRead");
        QTest::addColumn<QString>("left");

        const QByteArray two = utf16(u"UIDLogAck#u#..FileListAck#a#b#.."_qs);
        QTest::newRow("two replies in one read")
            << QList<QByteArray>{two} << QStringList{u"UIDLogAck#u#|FileListAck#a#b#"_qs} << QString();
        const QByteArray split = utf16(u"FileSaveAck#s#.."_qs);
        QTest::newRow("reply split over two reads")
            << pieces(split, {10}) << QStringList{QString(), u"FileSaveAck#s#"_qs} << QString();
        QTest::newRow("split between the two stops")
            << pieces(split, {int(split.size()) - 2}) << QStringList{QString(), u"FileSaveAck#s#"_qs} << QString();
        QTest::newRow("split inside a character")
            << pieces(split, {3, 7}) << QStringList{QString(), QString(), u"FileSaveAck#s#"_qs} << QString();
        QTest::newRow("partial second packet waits")
            << QList<QByteArray>{utf16(u"A#1#..B#2"_qs)} << QStringList{u"A#1#"_qs} << u"B#2"_qs;
        QTest::newRow("empty packet") << QList<QByteArray>{utf16(u"..X#.."_qs)} << QStringList{u"|X#"_qs} << QString();
        QTest::newRow("three stops leave one") << QList<QByteArray>{utf16(u"Bad text...UIDLogAck#u#.."_qs)}
                                               << QStringList{u"Bad text|.UIDLogAck#u#"_qs} << QString();
    }

    void framing()
    {
        QFETCH(QList<QByteArray>, reads);
        QFETCH(QStringList, afterEachRead);
        QFETCH(QString, left);
        CPacketFramer framer;
        for (qsizetype i = 0; i < reads.size(); ++i) {
            framer.AppendBytes(reads[i]);
            QStringList got;
            QString packet;
            while (framer.TakePacket(packet))
                got.append(packet);
            QCOMPARE(got.join(u'|'), afterEachRead[i]);
        }
        QCOMPARE(framer.Pending().toString(), left);
    }

    // Real UTF-16LE: any text arrives intact, even cut inside a character or a
    // surrogate pair; 7-bit text reads as the low bytes always did.
    void decoding_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("chunk");
        QTest::newRow("ascii in odd chunks") << u"UIDLogAck#user#"_qs << 3;
        QTest::newRow("latin and greek") << u"FileListAck#Größe#Πόρτα#"_qs << 1;
        QTest::newRow("surrogate pair cut") << u"OpCont#s#addreq;tag:🚪;#"_qs << 5;
        QTest::newRow("cjk whole") << u"FileListAck#門#"_qs << 1000;
    }

    void decoding()
    {
        QFETCH(QString, text);
        QFETCH(int, chunk);
        const QByteArray bytes = utf16(text + u".."_qs);
        CPacketFramer framer;
        for (qsizetype i = 0; i < bytes.size(); i += chunk)
            framer.AppendBytes(bytes.mid(i, chunk));
        QString packet;
        QVERIFY(framer.TakePacket(packet));
        QCOMPARE(packet, text);
        QVERIFY(!framer.HasOddByte());
        // the 7-bit subset equals the low-byte reading
        if (text.toLatin1() == text.toUtf8()) {
            QByteArray low;
            for (qsizetype i = 0; i < bytes.size(); i += 2)
                low.append(bytes[i]);
            QCOMPARE(QString::fromLatin1(low), text + u".."_qs);
        }
    }

    // A burst of many relayed records is taken packet by packet, none lost,
    // none merged.
    void manyPacketsInOneBurst()
    {
        QString stream;
        const int n = 20000;
        for (int i = 0; i < n; ++i)
            stream += u"OpCont#s#modreq;tag:R;desc:"_qs + QString::number(i) + u";id:9;#.."_qs;
        const QByteArray bytes = utf16(stream);
        CPacketFramer framer;
        int got = 0;
        QString packet;
        // arbitrary read sizes, as the network gives them
        for (qsizetype i = 0; i < bytes.size(); i += 4097) {
            framer.AppendBytes(bytes.mid(i, 4097));
            while (framer.TakePacket(packet)) {
                const QStringList f = CPacketFramer::SplitFields(packet);
                QCOMPARE(f.size(), 3);
                QCOMPARE(f[2], u"modreq;tag:R;desc:"_qs + QString::number(got) + u";id:9;"_qs);
                ++got;
            }
        }
        QCOMPARE(got, n);
        QCOMPARE(framer.PendingSize(), 0);
    }

    // Names come back in reply fields: what would not survive the trip is refused.
    void nameRules_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("usable");
        QTest::newRow("plain") << u"door.kvf"_qs << true;
        QTest::newRow("slash is only a character") << u"team/door"_qs << true;
        QTest::newRow("parent path lookalike") << u"../etc/passwd"_qs << false;
        QTest::newRow("two stops") << u"a..b"_qs << false;
        QTest::newRow("hash") << u"a#b"_qs << false;
        QTest::newRow("control character") << u"a\tb"_qs << false;
        QTest::newRow("line feed") << u"a\nb"_qs << false;
        QTest::newRow("leading blank") << u" door"_qs << false;
        QTest::newRow("blanks only") << u"   "_qs << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("255 characters") << QString(255, u'x') << true;
        QTest::newRow("10000 characters") << QString(10000, u'x') << false;
        QTest::newRow("unicode") << u"Πόρτα 門"_qs << true;
    }

    void nameRules()
    {
        QFETCH(QString, name);
        QFETCH(bool, usable);
        QCOMPARE(Collab::NameProblem(name).isEmpty(), usable);
    }

    // A solution text travels as the last field of a packet that ".." ends: it
    // must hold no "..", and must load to the same solution.
    void packetSafeText_data()
    {
        QTest::addColumn<QString>("description");
        QTest::newRow("plain") << u"opens the door"_qs;
        QTest::newRow("ellipsis") << u"wait..."_qs;
        QTest::newRow("dots around markers") << u"a.;.:..;:."_qs;
        QTest::newRow("ends with a stop") << u"end."_qs;
        QTest::newRow("hash and stops") << u"#..#"_qs;
        QTest::newRow("escape lookalike") << u"\\u002E."_qs;
    }

    void packetSafeText()
    {
        QFETCH(QString, description);
        CKELDataManager m;
        m.NewSolution();
        QVERIFY(m.AddRequirement(u"R.."_qs, description));
        const QString text = m.BuildSolutionText();
        const QString safe = Collab::PacketSafeSolutionText(text);
        QVERIFY2(!safe.contains(u".."_qs), qPrintable(safe));

        // it travels: the fifth field of a FileDownAck comes out whole
        const QString packet = u"FileDownAck#s#"_qs + QString::number(safe.size()) + u"#0#"_qs + safe;
        CPacketFramer framer;
        framer.AppendBytes(CUtf16Decoder::Encode(packet + u".."_qs));
        QString got;
        QVERIFY(framer.TakePacket(got));
        const QStringList fields = CPacketFramer::SplitFields(got);
        QCOMPARE(fields.size(), 5);

        CKELDataManager other;
        QVERIFY(other.LoadSolutionText(fields[4]));
        QCOMPARE(other.BuildSolutionText(), text);
        QCOMPARE(other.FindRequirement(u"R.."_qs)->Description(), description);
    }
};

QTEST_GUILESS_MAIN(TestPacketFramer)
#include "tst_packetframer.moc"
