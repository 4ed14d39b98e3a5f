// The plain XML rendering of a tree, with the shipped behavior parser.
#include "translatetest.h"

#include "translate/xmltranslator.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

// Well-formed, when xmllint is there to say so.
static void checkWellFormed(const QString &text, const QString &folder)
{
    const QString xmllint = QStandardPaths::findExecutable(u"xmllint"_qs);
    if (xmllint.isEmpty())
        return;
    const QString file = folder + u"/export.xml"_qs;
    QVERIFY(WriteTranslationFile(file, text));
    QProcess lint;
    lint.start(xmllint, {u"--noout"_qs, u"--nonet"_qs, file});
    QVERIFY(lint.waitForFinished(60000));
    QVERIFY2(lint.exitCode() == 0, lint.readAllStandardError().constData());
}

class TestXmlExport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_scratch.isValid()); }

    void golden_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<QString>("golden");
        QTest::newRow("one state realisation") << u"1|Door|closed|@R1"_qs << u"xml-one-node.xml"_qs;
        QTest::newRow("every behavior type, modifiers and depth") << u"1|Door|closed|@R1\n"
                                                                     "  3|User|push|@R1\n"
                                                                     "    2|Door|NOT(open)|@R2\n"
                                                                     "      4|Counter|count >= 3|~@R2\n"
                                                                     "        1|Counter|count := 0\n"
                                                                     "          5|Sensor|beam\n"
                                                                     "          6|Lamp|on\n"
                                                                     "          7|Ctrl|go\n"
                                                                     "          8|Ctrl|go\n"
                                                                     "      4|Timer|expired|~\n"
                                                                     "        9|Doors|d : allDoors\n"
                                                                     "          10|Doors|x:open & shut\n"
                                                                     "            1|Door|closed|^\n"
                                                                     "            1|Counter|count++|=\n"_qs
                                                                  << u"xml-every-type.xml"_qs;
    }

    void golden()
    {
        QFETCH(QString, sketch);
        QFETCH(QString, golden);
        const QString text = exportText(sketch, TranslateTest::Settings(m_scratch.path()));
        QVERIFY(TranslateTest::MatchesGolden(text, golden));
        checkWellFormed(text, m_scratch.path());
    }

    void failures_data()
    {
        QTest::addColumn<QString>("parser");
        QTest::addColumn<QString>("message");
        QTest::newRow("parser not there")
            << u"/no/such/parser {in} {out}"_qs << u"Parsing error: The behavior parser failed: "_qs;
        QTest::newRow("parser writes nothing")
            << u"true"_qs << u"Parsing error: Cannot read the behavior parser output: "_qs;
    }

    void failures()
    {
        QFETCH(QString, parser);
        QFETCH(QString, message);
        CTranslateSettings s = TranslateTest::Settings(m_scratch.path());
        s.behaviorParserCommand = parser;
        const QString text = exportText(u"1|Door|closed\n  3|User|push"_qs, s);
        QVERIFY2(text.startsWith(message), qPrintable(text));
        // an event needs no parser: a tree without other behavior exports anyway
        QVERIFY(exportText(u"3|User|push"_qs, s).startsWith(u"<bt>"_qs));
    }

    void equalTextsParsedOnce()
    {
        CTranslateSettings s = TranslateTest::Settings(m_scratch.path());
        const QString log = m_scratch.filePath(u"runs.log"_qs);
        s.behaviorParserCommand = u"echo run >> '"_qs + log + u"'; "_qs + s.behaviorParserCommand;
        exportText(u"1|Door|closed\n  2|Door|closed\n    1|Door|closed\n      1|Door|open\n        9|Door|closed"_qs,
                   s);
        // "closed" twice as state realisation and selection alike, "open", and "||closed"
        QCOMPARE(TranslateTest::ReadText(log).count(u"run"_qs), 3);
    }

    // A child the model does not know keeps its place but carries no behavior.
    void unknownChild()
    {
        CKELDataManager m;
        CKELTree *tree = TreeSketch::AddTree(m, u"1|Door|closed"_qs);
        tree->Nodes().first()->ChildIds().append(987654);
        XMLTranslator xml(TranslateTest::Settings(m_scratch.path()));
        xml.Export(m, *tree);
        QVERIFY(xml.Result().contains(u"  <child>\r\n    <btreeid>"_qs));
        QVERIFY(
            xml.Result().contains(u"    <nodeid>987654</nodeid>\r\n    <tag></tag>\r\n    <traceabilitymeasure>"
                                  "</traceabilitymeasure>\r\n    <typedata>\r\n    </typedata>\r\n    </rootnode>\r\n"
                                  "  </child>\r\n"_qs));
    }

private:
    QString exportText(const QString &sketch, const CTranslateSettings &settings)
    {
        CKELDataManager m;
        const CKELTree *tree = TreeSketch::AddTree(m, sketch);
        XMLTranslator xml(settings);
        try {
            xml.Export(m, *tree);
        } catch (const CTranslateException &e) {
            return e.Message();
        }
        // ids depend on how many elements the solution has: count nodes from 1
        QString text =
            QString(xml.Result())
                .replace(QStringLiteral("<btreeid>%1</btreeid>").arg(tree->GetId()), u"<btreeid>T</btreeid>"_qs);
        const int first = tree->Nodes().isEmpty() ? 0 : tree->Nodes().first()->GetId();
        static const QRegularExpression nodeId(u"<nodeid>(\\d+)</nodeid>"_qs);
        QString out;
        qsizetype last = 0;
        for (QRegularExpressionMatchIterator it = nodeId.globalMatch(text); it.hasNext();) {
            const QRegularExpressionMatch mm = it.next();
            out += text.mid(last, mm.capturedStart() - last)
                   + QStringLiteral("<nodeid>%1</nodeid>").arg(mm.captured(1).toInt() - first + 1);
            last = mm.capturedEnd();
        }
        return out + text.mid(last);
    }

    QTemporaryDir m_scratch;
};

QTEST_GUILESS_MAIN(TestXmlExport)
#include "tst_xmlexport.moc"
