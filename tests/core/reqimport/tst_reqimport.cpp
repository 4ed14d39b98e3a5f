#include "testkit.h"
#include "scriptedprompt.h"

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/kelrequirement.h"
#include "model/keltree.h"
#include "model/nodeattributes.h"
#include "reqimport/reqimport.h"
#include "reqimport/reqimporttexts.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Model
{
    Model()
    {
        m.NewSolution();
        m.SetPrompt(&prompt);
    }
    CKELTree *addTree(const QString &name)
    {
        if (!m.AddRBT(name, {}, 50))
            return nullptr;
        const auto &trees = m.CurrentVersion()->RBTFolder()->Children();
        return TestKit::Mutable(static_cast<const CKELTree *>(trees.back().get()));
    }
    CScriptedPrompt prompt;
    CKELDataManager m;
};

} // namespace

class TestReqImport : public QObject
{
    Q_OBJECT
private slots:
    // A user's file must come in as written, whichever of the two encodings it uses.
    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("ascii") << QByteArray("R1: open.\n") << u"R1: open.\n"_qs;
        QTest::newRow("utf-8") << QByteArray("T\xc3\xbcr \xe2\x80\x9copen\xe2\x80\x9d") << u"Tür “open”"_qs;
        QTest::newRow("code page 1252") << QByteArray("T\xfcr \x93open\x94 \x80") << u"Tür “open” €"_qs;
        QTest::newRow("byte order mark dropped") << QByteArray("\xef\xbb\xbfR1: x") << u"R1: x"_qs;
        QTest::newRow("line ends") << QByteArray("a\r\nb\r\n") << u"a\nb\n"_qs;
        QTest::newRow("cut utf-8 sequence is 1252") << QByteArray("ok \xc3") << u"ok Ã"_qs;
        QTest::newRow("empty") << QByteArray() << QString();
    }

    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(ReqImport::DecodeText(bytes), text);
    }

    void writesUtf8()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"out.txt"_qs);
        QVERIFY(ReqImport::WriteText(path, u"Tür “open” €\n"_qs));
        QCOMPARE(TestKit::ReadFile(path), QByteArray("T\xc3\xbcr \xe2\x80\x9copen\xe2\x80\x9d \xe2\x82\xac\n"));
        QString back;
        QVERIFY(ReqImport::ReadText(path, back));
        QCOMPARE(back, u"Tür “open” €\n"_qs);
        QString error;
        QVERIFY(!ReqImport::ReadText(dir.filePath(u"none.txt"_qs), back, &error));
        QVERIFY(error.contains(u"none.txt"_qs));
    }

    // Requirements imported from the model scan back to the same requirements.
    void requirementsTextScansBack()
    {
        Model x;
        QVERIFY(x.m.AddRequirement(u"R1"_qs, u"The door shall open."_qs));
        QVERIFY(x.m.AddRequirement(u"R2"_qs, u"If the button is pushed, the oven cooks."_qs));
        const QString text = ReqImport::RequirementsText(x.m);
        QCOMPARE(text, u"R1: The door shall open.\n\nR2: If the button is pushed, the oven cooks.\n\n"_qs);
        const QList<CScannedRequirement> back = RequirementScan::Scan(text, CTagSpecs());
        QCOMPARE(back, (QList<CScannedRequirement>{{u"R1"_qs, u"The door shall open."_qs},
                                                   {u"R2"_qs, u"If the button is pushed, the oven cooks."_qs}}));
    }

    void exportRequirements_data()
    {
        QTest::addColumn<QStringList>("tags"); // exported, in order; R1 and R3 exist
        QTest::addColumn<int>("added");
        QTest::addColumn<QStringList>("texts");
        const QString refused = u"Requirement with tag %1 is already added in the project"_qs;
        QTest::newRow("one refusal, its own message")
            << QStringList{u"R1"_qs, u"R2"_qs} << 1 << QStringList{refused.arg(u"R1"_qs)};
        QTest::newRow("several refusals, one message listing them")
            << QStringList{u"R1"_qs, u"R2"_qs, u"R3"_qs} << 1
            << QStringList{u"2 requirements were not added:\n\n"_qs + refused.arg(u"R1"_qs) + u'\n'
                           + refused.arg(u"R3"_qs)};
        QTest::newRow("none refused, nothing said") << QStringList{u"R2"_qs, u"R4"_qs} << 2 << QStringList{};
    }

    // Refusals are gathered into one message instead of a box per tag.
    void exportRequirements()
    {
        QFETCH(QStringList, tags);
        QFETCH(int, added);
        QFETCH(QStringList, texts);
        Model x;
        QVERIFY(x.m.AddRequirement(u"R1"_qs, u"old"_qs));
        QVERIFY(x.m.AddRequirement(u"R3"_qs, u"old"_qs));
        QList<CScannedRequirement> found;
        for (const QString &tag : tags)
            found.append({tag, u"new "_qs + tag});
        QCOMPARE(ReqImport::ExportRequirements(x.m, found), added);
        QCOMPARE(x.prompt.texts, texts);
        QCOMPARE(x.m.FindRequirement(u"R1"_qs)->Description(), u"old"_qs);
        QCOMPARE(x.m.FindRequirement(u"R2"_qs)->Description(), u"new R2"_qs);
        // later messages reach the user again
        x.m.AddRequirement(u"R1"_qs, QString());
        QCOMPARE(x.prompt.texts.size(), texts.size() + 1);
    }

    void exportNodes()
    {
        Model x;
        CKELTree *tree = x.addTree(u"T"_qs);
        QVERIFY(tree);
        CNodeAttributes existing;
        existing.component = u"OVEN"_qs;
        existing.behavior = u"idle"_qs;
        QVERIFY(x.m.AddNode(tree->GetId(), 0, existing, 80, 300));
        const QString lines = u"R1:DOOR??open??\n\n  \nR1:LIGHT[on]\r\nR2:OVEN\nR2:BELL<<ring>>\n"
                              u"R3:A[a]\nR3:B[b]\nR3:C[c]\nR3:D[d]\n"_qs;
        const ReqImport::NodeExport result = ReqImport::ExportNodes(x.m, tree->GetId(), lines, KEL::StateRealisation);
        QCOMPARE(result.added, 7);
        QCOMPARE(result.refused, 1); // "R2:OVEN" names no behavior
        QCOMPARE(x.prompt.texts, QStringList{u"State name can't be empty"_qs});
        const QList<CKELMethod *> nodes = tree->Nodes();
        QCOMPARE(nodes.size(), 8);
        const CKELMethod *door = nodes[1];
        QCOMPARE(door->requirementTag, u"R1"_qs);
        QCOMPARE(door->component, u"DOOR"_qs);
        QCOMPARE(door->behavior, u"open"_qs);
        QCOMPARE(door->behaviorType, int(KEL::Event));
        QCOMPARE(nodes[3]->GetDecoratedBehavior(), u"<<ring>>"_qs);
        QSet<QPair<int, int>> places;
        for (const CKELMethod *n : nodes.mid(1)) {
            QCOMPARE(n->ParentId(), 0);
            QVERIFY2(n->y > 300, "new nodes go below the tree");
            places.insert({n->x, n->y});
        }
        QCOMPARE(places.size(), 7); // none on top of another
        // a behavior the component lacked became one of its states
        QVERIFY(x.m.FindComponent(u"BELL"_qs));
        QVERIFY(x.m.FindComponent(u"BELL"_qs)->FindState(u"<<ring>>"_qs));
    }

    void exportNodesAsksOnCaseTwin_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<int>("answer"); // to the one question, when asked
        QTest::addColumn<int>("questions");
        QTest::addColumn<QStringList>("components"); // of the new nodes, in order
        QTest::addColumn<bool>("twinMade");          // a component "light" now exists
        const QString twice = u"R1:light[on]\nR2:light[off]\n"_qs;
        QTest::newRow("yes uses the existing name")
            << twice << int(CPrompt::Yes) << 1 << QStringList{u"LIGHT"_qs, u"LIGHT"_qs} << false;
        QTest::newRow("no makes the new component")
            << twice << int(CPrompt::No) << 1 << QStringList{u"light"_qs, u"light"_qs} << true;
        QTest::newRow("cancel leaves the nodes out") << twice << int(CPrompt::Cancel) << 1 << QStringList{} << false;
        QTest::newRow("the same name is not asked about")
            << u"R1:LIGHT[on]\n"_qs << int(CPrompt::No) << 0 << QStringList{u"LIGHT"_qs} << false;
        QTest::newRow("a new name is not asked about")
            << u"R1:LAMP[on]\n"_qs << int(CPrompt::No) << 0 << QStringList{u"LAMP"_qs} << false;
    }

    // A new component whose name differs from an existing one only in case is
    // asked about, once per name.
    void exportNodesAsksOnCaseTwin()
    {
        QFETCH(QString, lines);
        QFETCH(int, answer);
        QFETCH(int, questions);
        QFETCH(QStringList, components);
        QFETCH(bool, twinMade);
        Model x;
        CKELTree *tree = x.addTree(u"T"_qs);
        QVERIFY(x.m.AddComponent(u"LIGHT"_qs, false));
        x.prompt.answers = {CPrompt::Answer(answer)};
        const ReqImport::NodeExport result = ReqImport::ExportNodes(x.m, tree->GetId(), lines, KEL::StateRealisation);
        QCOMPARE(x.prompt.texts.size(), questions);
        if (questions)
            QCOMPARE(x.prompt.texts.first(), ReqImportTexts::CaseTwinQuestion(u"light"_qs, u"LIGHT"_qs));
        QStringList made;
        for (const CKELMethod *n : tree->Nodes())
            made.append(n->component);
        QCOMPARE(made, components);
        QCOMPARE(result.added, int(components.size()));
        QCOMPARE(x.m.FindComponent(u"light"_qs) != nullptr, twinMade);
    }

    void addWord_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("error");
        QTest::newRow("new word") << QStringList{u"door"_qs} << u"oven"_qs << QStringList{u"door"_qs, u"oven"_qs}
                                  << QString();
        QTest::newRow("held in another case")
            << QStringList{u"door"_qs} << u"DOOR"_qs << QStringList{u"door"_qs} << QString();
        QTest::newRow("empty selection") << QStringList() << QString() << QStringList()
                                         << u"Cannot add Empty String as Component"_qs;
    }

    void addWord()
    {
        QFETCH(QStringList, list);
        QFETCH(QString, word);
        QFETCH(QStringList, after);
        QFETCH(QString, error);
        QCOMPARE(ReqImport::AddWord(list, word, ReqImportTexts::ComponentKind()), error);
        QCOMPARE(list, after);
    }

    void createNodeLine_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("component");
        QTest::addColumn<QString>("behavior");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("missing");
        QTest::newRow("complete guard") << u"R1"_qs << u"Door"_qs << u"closed"_qs << 3 << u"R1:Door???closed???\n"_qs
                                        << QString();
        QTest::newRow("no tag") << QString() << u"Door"_qs << u"closed"_qs << 0 << QString() << u"Tag"_qs;
        QTest::newRow("no component") << u"R1"_qs << QString() << u"closed"_qs << 0 << QString() << u"Component"_qs;
        QTest::newRow("no behavior") << u"R1"_qs << u"Door"_qs << QString() << 0 << QString()
                                     << u"Component Behaviors"_qs;
        QTest::newRow("no type") << u"R1"_qs << u"Door"_qs << u"closed"_qs << -1 << QString() << u"Behavior Types"_qs;
    }

    void createNodeLine()
    {
        QFETCH(QString, tag);
        QFETCH(QString, component);
        QFETCH(QString, behavior);
        QFETCH(int, type);
        QFETCH(QString, line);
        QFETCH(QString, missing);
        QString error;
        QCOMPARE(ReqImport::CreateNodeLine(tag, component, behavior, type, &error), line);
        QCOMPARE(error, missing.isEmpty() ? QString() : ReqImportTexts::MissingChoice(missing));
    }
};

QTEST_GUILESS_MAIN(TestReqImport)
#include "tst_reqimport.moc"
