// UPPAAL networks of small trees: golden files, validity against the
// flat-system 1.1 DTD, and the label errors.
#include "translatetest.h"

#include <QProcess>
#include <QStandardPaths>

namespace {

struct Tree
{
    const char *name;
    const char16_t *sketch;
    const char16_t *golden;
};

// Shared by the golden and the DTD tests.
const Tree kTrees[] = {
    {"one thread, no external input", u"1|Door|closed\n  1|Door|open\n    1|Door|closed", u"uppaal-one-thread.xml"},
    {"every behavior type",
     u"1|Door|closed\n"
     "  3|User|push\n"
     "    2|Door|closed\n"
     "      4|Timer|NOT(running)\n"
     "        5|Sensor|beam\n"
     "          6|Lamp|on\n"
     "            8|Ctrl|ready\n"
     "              7|Ctrl|ready\n"
     "                1|Counter|count := 0\n"
     "                  1|Counter|count++\n"
     "                    4|Counter|count < 5\n"
     "                      1|Door|open\n",
     u"uppaal-every-type.xml"},
    {"concurrent branching",
     u"1|Light|off\n"
     "  3|User|press\n"
     "    1|Light|on\n"
     "      3|Timer|expired\n"
     "        1|Light|off\n"
     "      3|Motion|seen\n"
     "        1|Light|bright\n"
     "      1|Fan|on\n",
     u"uppaal-concurrent.xml"},
    {"alternative branching",
     u"1|Gate|closed\n"
     "  3|Car|arrives\n"
     "    2|Ticket|valid|~\n"
     "      1|Gate|open\n"
     "    2|Ticket|NOT(valid)|~\n"
     "      1|Alarm|on\n",
     u"uppaal-alternative.xml"},
    {"reversion, to a node and to the root",
     u"1|Oven|idle\n"
     "  3|User|start\n"
     "    1|Oven|cooking\n"
     "      1|Light|on\n"
     "        3|Timer|tick\n"
     "          1|Oven|cooking|^\n"
     "        3|User|stop\n"
     "          1|Oven|idle|^\n",
     u"uppaal-reversion.xml"},
    {"reversion within its own thread",
     u"1|Watch|stopped\n"
     "  3|User|start\n"
     "    1|Watch|running\n"
     "      3|Timer|tick\n"
     "        1|Watch|ticked\n"
     "          1|Watch|running|^\n",
     u"uppaal-reversion-local.xml"},
    // the go-to above the branching finds the other branch still running
    {"go to, in another thread, in its own and above a branching",
     u"1|Alarm|off\n"
     "  3|User|arm\n"
     "    1|Alarm|ready\n"
     "      1|Alarm|armed\n"
     "        3|Sensor|tripped\n"
     "          1|Siren|on\n"
     "            3|User|quiet\n"
     "              1|Alarm|armed|=\n"
     "            3|User|reset\n"
     "              1|Alarm|ready|=\n"
     "        3|User|panic\n"
     "          1|Siren|on|=\n",
     u"uppaal-goto.xml"},
    {"thread kill",
     u"1|Pump|off\n"
     "  3|User|start\n"
     "    1|Pump|on\n"
     "      3|Sensor|high\n"
     "        1|Alarm|on\n"
     "      3|User|stop\n"
     "        3|Sensor|high|!\n"
     "          1|Pump|off\n",
     u"uppaal-kill.xml"},
    {"atomic block: one edge, assignments joined",
     u"1|Door|closed\n"
     "  1|Light|off|*\n"
     "    3|User|push\n"
     "      1|Door|open|*\n"
     "        1|Light|on|*\n",
     u"uppaal-atomic.xml"},
    {"state names shared by components",
     u"1|Door|open\n"
     "  1|Window|open|*\n"
     "    3|User|push\n"
     "      2|Window|open\n"
     "        1|Door|shut\n"
     "          1|Window|shut\n"
     "            1|Mode|door\n",
     u"uppaal-shared-names.xml"},
};

} // namespace

class TestUppaalTranslation : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_scratch.isValid()); }

    void golden_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<QString>("golden");
        for (const Tree &t : kTrees)
            QTest::newRow(t.name) << QString::fromUtf16(t.sketch) << QString::fromUtf16(t.golden);
    }

    void golden()
    {
        QFETCH(QString, sketch);
        QFETCH(QString, golden);
        CTranslateUPPAAL uppaal;
        uppaal.Settings() = TranslateTest::Settings(m_scratch.path());
        QVERIFY(TranslateTest::MatchesGolden(TranslateTest::Translate(uppaal, sketch), golden));
    }

    void validAgainstDtd_data()
    {
        QTest::addColumn<QString>("sketch");
        for (const Tree &t : kTrees)
            QTest::newRow(t.name) << QString::fromUtf16(t.sketch);
        // names that need escaping in XML
        QTest::newRow("ampersand and angle brackets")
            << u"1|R&D|idle\n  3|User|push\n    4|R&D|count > 2\n      4|R&D|count <= 3\n        1|R&D|busy"_qs;
    }

    void validAgainstDtd()
    {
        QFETCH(QString, sketch);
        const QString dtd = TranslateTest::ReferenceDtd();
        if (!QFile::exists(dtd))
            QSKIP("the reference DTD is not beside the repository");
        const QString xmllint = QStandardPaths::findExecutable(u"xmllint"_qs);
        if (xmllint.isEmpty())
            QSKIP("xmllint is not installed (Debian package libxml2-utils)");
        CTranslateUPPAAL uppaal;
        uppaal.Settings() = TranslateTest::Settings(m_scratch.path());
        const QString text = TranslateTest::Translate(uppaal, sketch);
        QVERIFY2(!text.startsWith(u"Parsing error"_qs), qPrintable(text));
        const QString file = m_scratch.filePath(u"network.xml"_qs);
        QVERIFY(WriteTranslationFile(file, text));
        QProcess lint;
        lint.start(xmllint, {u"--noout"_qs, u"--nonet"_qs, u"--dtdvalid"_qs, dtd, file});
        QVERIFY(lint.waitForFinished(60000));
        QVERIFY2(lint.exitCode() == 0, lint.readAllStandardError().constData());
        // the document type names the standard DTD
        QVERIFY(text.startsWith(u"<?xml version='1.0' encoding='utf-8'?><!DOCTYPE nta PUBLIC "
                                "'-//Uppaal Team//DTD Flat System 1.1//EN' "
                                "'http://www.it.uu.se/research/group/darts/uppaal/flat-1_1.dtd'><nta>\r\n"_qs));
    }

    // An edge carries at most one guard and one synchronisation.
    void labelErrors_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<QString>("message");
        const QString guards = u"Error: There cannot be more than 1 UPPAAL guard per transition."
                               "\nAn atomic block exists which contains >1 BT selection or guard."
                               "\nThe block involves the following UPPAAL guard:"_qs;
        const QString syncs =
            u"Error: There cannot be more than 1 synchronisation per transition."
            "\nAn atomic block exists which contains >1 BT events \nor one event with multiple receivers."
            "\nThe block involves the following UPPAAL guard:"_qs;
        QTest::newRow("two selections in an atomic block")
            << u"1|Door|closed\n  3|User|push\n    2|Door|closed|*\n      2|Light|off|*"_qs
            << guards + u"light==off"_qs;
        QTest::newRow("a selection and a negated guard")
            << u"1|Door|closed\n  2|Door|closed\n    4|Timer|NOT(running)|*"_qs << guards + u"not(timer==running)"_qs;
        QTest::newRow("two events in an atomic block")
            << u"1|Door|closed\n  3|User|push\n    3|User|pull|*"_qs << syncs + u"extInMsg_user_pull?"_qs;
        QTest::newRow("an event and an output")
            << u"1|Door|closed\n  3|User|push\n    6|Lamp|on|*"_qs << syncs + u"extOutMsg_lamp_on!"_qs;
        QTest::newRow("a message with two receivers")
            << u"1|Ctrl|idle\n  3|U|go\n    8|Ctrl|start\n      7|Ctrl|start\n      7|Ctrl|start"_qs
            << syncs + u"intInMsg_ctrl_start!"_qs;
    }

    void labelErrors()
    {
        QFETCH(QString, sketch);
        QFETCH(QString, message);
        CTranslateUPPAAL uppaal;
        uppaal.Settings() = TranslateTest::Settings(m_scratch.path());
        QCOMPARE(TranslateTest::Translate(uppaal, sketch), u"Parsing error: "_qs + message);
        // SAL has no such limit
        CTranslateSALMain sal;
        sal.Settings() = uppaal.Settings();
        QVERIFY(!TranslateTest::Translate(sal, sketch).startsWith(u"Parsing error"_qs));
    }

private:
    QTemporaryDir m_scratch;
};

QTEST_GUILESS_MAIN(TestUppaalTranslation)
#include "tst_uppaaltranslation.moc"
