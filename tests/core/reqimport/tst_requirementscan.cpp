#include "reqimport/requirementscan.h"

#include <QtTest>

namespace {

// "R1=The door shall open.|R2=..." for compact expectations.
QString joined(const QList<CScannedRequirement> &list)
{
    QStringList parts;
    for (const CScannedRequirement &r : list)
        parts << r.tag + u'=' + r.description;
    return parts.join(u'|');
}

} // namespace

class TestRequirementScan : public QObject
{
    Q_OBJECT
private slots:
    void scan_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QChar>("preceded");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QStringList>("onlyTags"); // empty: every tag
        QTest::addColumn<QString>("expected");

        const QString two = u"R1: The door shall open.\nR2: The door  shall close.\n"_qs;
        const QString both = u"R1=The door shall open.|R2=The door shall close."_qs;
        QTest::newRow("two requirements") << two << QChar(u'\n') << QChar(u':') << QStringList() << both;
        QTest::newRow("only added tags") << two << QChar(u'\n') << QChar(u':') << QStringList{u"R2"_qs}
                                         << u"R2=The door shall close."_qs;
        QTest::newRow("added tags ignore case")
            << two << QChar(u'\n') << QChar(u':') << QStringList{u"r1"_qs} << u"R1=The door shall open."_qs;
        QTest::newRow("heading ignored") << u"Door requirements of the oven\n"_qs + two << QChar(u'\n') << QChar(u':')
                                         << QStringList() << both;
        QTest::newRow("heading with a colon is a chunk with blanks")
            << u"Door requirements: the oven\n"_qs + two << QChar(u'\n') << QChar(u':') << QStringList() << both;
        QTest::newRow("description over several lines")
            << u"R1: The door\nshall\topen.\nR2: Shut.\n"_qs << QChar(u'\n') << QChar(u':') << QStringList()
            << u"R1=The door shall open.|R2=Shut."_qs;
        QTest::newRow("no preceding character at all") << u"R1: The door shall open"_qs << QChar(u'\n') << QChar(u':')
                                                       << QStringList() << u"R1=The door shall open"_qs;
        QTest::newRow("last description without its preceding character")
            << u"R1: The door shall open.\nR2: The door shall close"_qs << QChar(u'\n') << QChar(u':') << QStringList()
            << u"R1=The door shall open.|R2=The door shall close"_qs;
        QTest::newRow("period before tags") << u"R1: The door shall open. R2: The door shall close."_qs << QChar(u'.')
                                            << QChar(u':') << QStringList() << both;
        QTest::newRow("tag on a line of its own") << u"R1\nThe door shall open.\nR2\nThe door shall close.\n"_qs
                                                  << QChar(u'\n') << QChar(u'\n') << QStringList() << both;
        QTest::newRow("separator run skipped") << u"R1:: The door shall open.\n"_qs << QChar(u'\n') << QChar(u':')
                                               << QStringList() << u"R1=The door shall open."_qs;
        QTest::newRow("last word without separator") << u"R1: The door shall open.\nEND"_qs << QChar(u'\n')
                                                     << QChar(u':') << QStringList() << u"R1=The door shall open."_qs;
        QTest::newRow("single word without anything")
            << u"R1"_qs << QChar(u'\n') << QChar(u':') << QStringList() << QString();
        QTest::newRow("empty description skipped")
            << u"R1:\nR2: x\n"_qs << QChar(u'\n') << QChar(u':') << QStringList() << u"R2=x"_qs;
        QTest::newRow("trailing blank lines")
            << two + u"\n\n  \n"_qs << QChar(u'\n') << QChar(u':') << QStringList() << both;
        QTest::newRow("repeated tag listed twice")
            << u"R1: a.\nR1: b.\n"_qs << QChar(u'\n') << QChar(u':') << QStringList() << u"R1=a.|R1=b."_qs;
        QTest::newRow("empty text") << QString() << QChar(u'\n') << QChar(u':') << QStringList() << QString();
        QTest::newRow("only blanks") << u" \n\t \n"_qs << QChar(u'\n') << QChar(u':') << QStringList() << QString();
    }

    void scan()
    {
        QFETCH(QString, text);
        QFETCH(QChar, preceded);
        QFETCH(QChar, separator);
        QFETCH(QStringList, onlyTags);
        QFETCH(QString, expected);
        CTagSpecs tagRules;
        tagRules.precededBy = preceded;
        tagRules.separator = separator;
        tagRules.onlyAddedTags = !onlyTags.isEmpty();
        tagRules.addedTags = onlyTags;
        QCOMPARE(joined(RequirementScan::Scan(text, tagRules)), expected);
    }

    void normalise_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("runs of blanks") << u"a  b   c"_qs << u"a b c"_qs;
        QTest::newRow("tabs and line feeds") << u"a\t\tb\n\nc"_qs << u"a b c"_qs;
        QTest::newRow("ends trimmed") << u" \n a b \n "_qs << u"a b"_qs;
        QTest::newRow("carriage return inside stays") << u"a\rb"_qs << u"a\rb"_qs;
        QTest::newRow("empty") << QString() << QString();
    }

    void normalise()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(RequirementScan::Normalise(text), expected);
    }

    // Twenty thousand requirements, in one go, all found.
    void longTextInOnePass()
    {
        QString text;
        for (int i = 0; i < 20000; ++i)
            text += u"R%1: The door number %1 shall open\nwhen asked.\n"_qs.arg(i);
        const QList<CScannedRequirement> found = RequirementScan::Scan(text, CTagSpecs());
        QCOMPARE(found.size(), 20000);
        QCOMPARE(found.last(), (CScannedRequirement{u"R19999"_qs, u"The door number 19999 shall open when asked."_qs}));
    }
};

QTEST_GUILESS_MAIN(TestRequirementScan)
#include "tst_requirementscan.moc"
