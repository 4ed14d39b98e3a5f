#include "reqimport/reqimporttexts.h"
#include "reqimport/wordwalker.h"

#include <QtTest>

class TestWordWalker : public QObject
{
    Q_OBJECT
private slots:
    // Actions: S "Start <<", E "End >>", F "Forward >", B "Back <", @N a caret
    // put at N by the user. Each move yields the word offered, or <end> /
    // <start> when the text is used up; the selection follows the offered
    // word as the text box's does.
    void walk_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("actions");
        QTest::addColumn<bool>("skipAdded");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QStringList>("offered");

        const QString door = u"The door shall open."_qs;
        QTest::newRow("forward over the door") << door << u"S F F F"_qs << false << QStringList()
                                               << QStringList{u"door"_qs, u"shall"_qs, u"open"_qs, u"<end>"_qs};
        QTest::newRow("backward from the end") << door << u"E B B B"_qs << false << QStringList()
                                               << QStringList{u"open"_qs, u"shall"_qs, u"door"_qs, u"<start>"_qs};
        QTest::newRow("forward then back") << door << u"S F B B"_qs << false << QStringList()
                                           << QStringList{u"door"_qs, u"shall"_qs, u"door"_qs, u"<start>"_qs};
        QTest::newRow("back then forward")
            << door << u"E B F"_qs << false << QStringList() << QStringList{u"open"_qs, u"shall"_qs, u"open"_qs};
        QTest::newRow("the end stays the end")
            << door << u"S F F F F B"_qs << false << QStringList()
            << QStringList{u"door"_qs, u"shall"_qs, u"open"_qs, u"<end>"_qs, u"<end>"_qs, u"shall"_qs};
        QTest::newRow("hyphens and digits inside words")
            << u"Set door-2 to x42 now"_qs << u"S F F F"_qs << false << QStringList()
            << QStringList{u"Set"_qs, u"door-2"_qs, u"x42"_qs, u"now"_qs};
        QTest::newRow("apostrophe ends a word") << u"The oven's door"_qs << u"S F F"_qs << false << QStringList()
                                                << QStringList{u"oven"_qs, u"s"_qs, u"door"_qs};
        QTest::newRow("stop words in any case")
            << u"THE Door IS Open AND If closed I"_qs << u"S F F F"_qs << false << QStringList()
            << QStringList{u"Door"_qs, u"Open"_qs, u"closed"_qs, u"<end>"_qs};
        QTest::newRow("added words skipped")
            << u"The door shall open the DOOR"_qs << u"S F F"_qs << true << QStringList{u"Door"_qs}
            << QStringList{u"shall"_qs, u"open"_qs, u"<end>"_qs};
        QTest::newRow("added words offered without skipping")
            << u"The door shall open the DOOR"_qs << u"S F F F"_qs << false << QStringList{u"Door"_qs}
            << QStringList{u"door"_qs, u"shall"_qs, u"open"_qs, u"DOOR"_qs};
        QTest::newRow("added words skipped backward")
            << u"door shall open"_qs << u"E B"_qs << true << QStringList{u"open"_qs, u"shall"_qs}
            << QStringList{u"door"_qs, u"<start>"_qs};
        QTest::newRow("end on a word offers it whole")
            << u"the door opens"_qs << u"E B"_qs << false << QStringList() << QStringList{u"opens"_qs, u"door"_qs};
        QTest::newRow("caret inside a word passes it")
            << door << u"@5 F"_qs << false << QStringList() << QStringList{u"shall"_qs};
        QTest::newRow("caret between words")
            << door << u"@8 F"_qs << false << QStringList() << QStringList{u"shall"_qs};
        QTest::newRow("empty text") << QString() << u"S E"_qs << false << QStringList()
                                    << QStringList{u"<end>"_qs, u"<start>"_qs};
        QTest::newRow("only stop words") << u"the a an, I."_qs << u"S E"_qs << false << QStringList()
                                         << QStringList{u"<end>"_qs, u"<start>"_qs};
        QTest::newRow("letters of any script")
            << u"Der Türsensor meldet Ωmega"_qs << u"S F F F"_qs << false << QStringList()
            << QStringList{u"Der"_qs, u"Türsensor"_qs, u"meldet"_qs, u"Ωmega"_qs};
        QTest::newRow("lines and punctuation")
            << u"R1: The door\nshall open; R2"_qs << u"S F F F F"_qs << false << QStringList()
            << QStringList{u"R1"_qs, u"door"_qs, u"shall"_qs, u"open"_qs, u"R2"_qs};
    }

    void walk()
    {
        QFETCH(QString, text);
        QFETCH(QString, actions);
        QFETCH(bool, skipAdded);
        QFETCH(QStringList, added);
        QFETCH(QStringList, offered);
        CWordWalker w(text);
        w.SetSkipAdded(skipAdded);
        w.SetAddedWords(added);
        CWordWalker::Selection sel;
        QStringList got;
        for (const QString &a : actions.split(u' ')) {
            if (a.startsWith(u'@')) {
                sel = {a.mid(1).toInt(), a.mid(1).toInt()};
                w.SetLastDirection(1);
                continue;
            }
            CWordWalker::Step s;
            if (a == u"S")
                s = w.Start();
            else if (a == u"E")
                s = w.End();
            else
                s = w.Move(a == u"F" ? 1 : -1, sel);
            if (s.found) {
                sel = {s.start, s.start + s.length};
                got << text.mid(s.start, s.length);
                QCOMPARE(w.CurrentWord(), got.last());
            } else {
                QVERIFY(s.message == ReqImportTexts::ReachedEnd() || s.message == ReqImportTexts::ReachedStart());
                got << (s.message == ReqImportTexts::ReachedEnd() ? u"<end>"_qs : u"<start>"_qs);
                QCOMPARE(w.CurrentWord(), QString());
            }
        }
        QCOMPARE(got, offered);
    }
};

QTEST_GUILESS_MAIN(TestWordWalker)
#include "tst_wordwalker.moc"
