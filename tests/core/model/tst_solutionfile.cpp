#include "testkit.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/kelrecord.h"
#include "model/kelrequirement.h"
#include "model/keltree.h"
#include "model/nodeattributes.h"
#include "model/solutionfile.h"
#include "model/treeops.h"
#include "model/codepage1252.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

namespace {

// A file of the given element lines between a header and an end line.
QByteArray solutionFile(const QByteArray &body, int count = 8, int maxcount = 8)
{
    return "VLM;system:KEL-Tessel;Version:1.00;count:" + QByteArray::number(count) + ";maxcount:"
           + QByteArray::number(maxcount) + "\r\n" + body + "ENV;ZEPHSim:;\r\nEND;actversion:3;solution:1;\r\n";
}

const QByteArray kSkeleton = "obj;id:1;type:Solution;name:;children:2,8;\r\n"
                             "obj;id:2;type:Project;name:;children:3;\r\n"
                             "obj;id:3;type:Version;name:1.0;children:6,7,5,4;\r\n"
                             "obj;id:4;type:IBTs;name:;children:;\r\n"
                             "obj;id:5;type:RBTs;name:;children:;\r\n"
                             "obj;id:6;type:Requirements;name:;children:;\r\n"
                             "obj;id:7;type:Components;name:;children:;\r\n"
                             "obj;id:8;type:EVTs;name:;children:;\r\n";

CKELTree *addTree(CKELDataManager &m, int code, const QString &name)
{
    std::unique_ptr<CKELData> e = m.CreateElement(code);
    m.RegisterElement(e.get());
    auto *tree = static_cast<CKELTree *>(e.get());
    tree->SetName(name);
    CKELVersion *version = TestKit::Mutable(m.CurrentVersion());
    CKELData *folder = code == KEL::DBT ? static_cast<CKELData *>(version->DBTFolder())
                                        : static_cast<CKELData *>(version->RBTFolder());
    folder->AddChild(e);
    return tree;
}

template<class T> T *addTo(CKELDataManager &m, const CKELData *owner, int code)
{
    std::unique_ptr<CKELData> e = m.CreateElement(code);
    m.RegisterElement(e.get());
    T *t = static_cast<T *>(e.get());
    TestKit::Mutable(owner)->AddChild(e);
    return t;
}

} // namespace

class TestSolutionFile : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    // The exact bytes other readers and version control see.
    void newSolutionBytes()
    {
        CKELDataManager m;
        m.NewSolution();
        QCOMPARE(m.Count(), 8);
        QCOMPARE(m.MaxCount(), 8);
        QString error;
        QVERIFY2(CSolutionFile::Write(m, path(u"new.kvf"_qs), &error), qPrintable(error));
        QCOMPARE(TestKit::ReadFile(path(u"new.kvf"_qs)),
                 TestKit::ReadFile(QStringLiteral(VERDANTIS_TEST_DATA "/model/new-solution.kvf")));
        QVERIFY(!m.Solution()->IsModified());
        QVERIFY(m.Solution()->IsPristine());
    }

    void recordOfEachKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("variant");
        QTest::addColumn<QString>("tail"); // the record after "id:N;type:T;name:X;children:;"
        QTest::newRow("new node") << 14 << 0
                                  << u"Comp:;State:;StatDec:1;Parent:0;x:0;y:0;h:0;w:0;DispExtTag:1;DispExtInfo:1;"_qs;
        QTest::newRow("node with every field")
            << 14 << 1
            << u"Comp:Door;State:open;StatDec:3;ReqTag:R2;Parent:0;x:5;y:6;h:8;w:7;JumpType:2;Quali:q.cm.1;MissType:1;"
               "DblLine:1;NonDet:1;Atomic:1;SetOp:1;ExtTag:E;ExtraInfo:A,first,B,second;"_qs;
        // a reader takes an empty extra tag for none, so none is written
        QTest::newRow("node with an empty extra tag")
            << 14 << 2 << u"Comp:;State:;StatDec:1;Parent:0;x:0;y:0;h:0;w:0;DispExtTag:1;DispExtInfo:1;"_qs;
        // fields written in one piece up to a size, in several past it
        QTest::newRow("node with long texts and negative place")
            << 14 << 3
            << u"Comp:"_qs + QString(130, u'C') + u";State:"_qs + QString(122, u'b') + u";StatDec:1;ReqTag:"_qs
                   + QString(120, u'r') + u";Parent:0;x:-2147483648;y:-7;h:0;w:0;DispExtTag:1;DispExtInfo:1;"_qs;
        QTest::newRow("rbt") << 10 << 0 << u"pgw:1;pgh:1;lvg:50;"_qs;
        QTest::newRow("rbt with requirements") << 10 << 1 << u"Associated Req:4,5;pgw:2;pgh:3;lvg:80;"_qs;
        QTest::newRow("evt without sources") << 21 << 0 << u"pgw:1;pgh:1;lvg:50;EvTrees:;"_qs;
        QTest::newRow("component") << 7 << 0 << QString();
        QTest::newRow("system component") << 7 << 1 << u"SysComp:1;"_qs;
        QTest::newRow("state") << 8 << 0 << u"stat:open;statdec:2;"_qs;
        QTest::newRow("requirement") << 5 << 0 << u"desc:a.cm.b.hcm.c\\nd;"_qs;
    }

    void recordOfEachKind()
    {
        QFETCH(int, kind);
        QFETCH(int, variant);
        QFETCH(QString, tail);
        CKELDataManager m;
        std::unique_ptr<CKELData> e = m.CreateElement(kind);
        e->SetId(9);
        switch (kind) {
        case 14: {
            auto *n = static_cast<CKELMethod *>(e.get());
            if (variant == 1) {
                n->component = u"Door"_qs;
                n->behavior = u"open"_qs;
                n->behaviorType = 3;
                n->requirementTag = u"R2"_qs;
                n->x = 5, n->y = 6, n->w = 7, n->h = 8;
                n->jumpType = 2;
                n->qualifier = u"q:1"_qs;
                n->missType = 1;
                n->doubleLine = n->nonDeterministic = n->atomic = n->setOperation = true;
                n->hasExtendedTag = true;
                n->extendedTag = u"E"_qs;
                n->displayExtendedTag = n->displayExtraInfo = false;
                n->SetExtraInfo(u"A,first,B,second"_qs);
            }
            if (variant == 2)
                n->hasExtendedTag = true;
            if (variant == 3) {
                n->component = QString(130, u'C');
                n->behavior = QString(122, u'b');
                n->requirementTag = QString(120, u'r');
                n->x = std::numeric_limits<int>::min();
                n->y = -7;
            }
            break;
        }
        case 10:
            if (variant == 1) {
                auto *t = static_cast<CKELRBT *>(e.get());
                t->SetAssociatedRequirements({4, 5});
                t->SetPages(2, 3);
                t->SetLevelGap(80);
            }
            break;
        case 7: static_cast<CKELComponent *>(e.get())->SetSystemComponent(variant == 1); break;
        case 8: static_cast<CKELState *>(e.get())->SetBehavior(u"open"_qs, 2); break;
        case 5: static_cast<CKELRequirement *>(e.get())->SetDescription(u"a:b;c\nd"_qs); break;
        default: break;
        }
        const QString head =
            u"id:9;type:"_qs + e->GetType() + u";name:"_qs + CKELRecord::Escape(e->GetName()) + u";children:;"_qs;
        QCOMPARE(e->ToRecord(), head + tail);
        if (kind == 14) {
            // an edit record carries the node's fields as the file writes them
            const QString fields = CNodeAttributes::Of(*static_cast<CKELMethod *>(e.get())).RecordFields();
            for (const QString &field : fields.split(u';', Qt::SkipEmptyParts))
                QVERIFY2(tail.contains(field + u';'), qPrintable(field));
        }

        // and it reads back into the same record
        CKELDataManager m2;
        std::unique_ptr<CKELData> back = m2.CreateElement(kind);
        back->FromRecord(CKELRecord(u"obj;"_qs + head + tail));
        back->SetId(9);
        QCOMPARE(back->ToRecord(), head + tail);
    }

    // What a reader makes of values it did not write itself.
    void readingRules_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("expect");
        QTest::newRow("flag other than 1 is false")
            << QByteArray("obj;id:20;type:Method;name:;children:;SetOp:yes;DblLine:true;Atomic:1;")
            << u"setop=0 dbl=0 atomic=1"_qs;
        QTest::newRow("absent display flags are false")
            << QByteArray("obj;id:20;type:Method;name:;children:;Comp:A;") << u"disptag=0 dispinfo=0"_qs;
        QTest::newRow("missing behavior type is 0")
            << QByteArray("obj;id:20;type:Method;name:;children:;State:x;") << u"type=0 label=:-x"_qs;
        QTest::newRow("a repeated key: the later one counts")
            << QByteArray("obj;id:20;type:Method;name:;children:;Comp:A;State:x;Comp:B;DblLine:1;DblLine:0;")
            << u"dbl=0 label=:-Bx"_qs;
        QTest::newRow("odd extra info gives empty name")
            << QByteArray("obj;id:20;type:Method;name:;children:;ExtraInfo:A,first,B;") << u"extra=A/first,B/"_qs;
        QTest::newRow("level gap 0 becomes 50")
            << QByteArray("obj;id:20;type:RBT;name:t;children:;lvg:0;pgw:-3;pgh:0;") << u"lvg=50 pgw=1 pgh=1"_qs;
        QTest::newRow("tree without keys")
            << QByteArray("obj;id:20;type:RBT;name:t;children:;") << u"lvg=50 pgw=1 pgh=1"_qs;
    }

    void readingRules()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, expect);
        CKELDataManager m;
        QVERIFY(TestKit::WriteFile(path(u"r.kvf"_qs), solutionFile(kSkeleton + line + "\r\n", 9, 20)));
        QVERIFY(CSolutionFile::Read(m, path(u"r.kvf"_qs), nullptr));
        CKELData *e = TestKit::Mutable(m.Lookup(20));
        QVERIFY(e);
        QStringList got;
        if (e->IsMethod()) {
            auto *n = static_cast<CKELMethod *>(e);
            const QMap<QString, QString> facts{
                {u"setop"_qs, QString::number(n->setOperation)},
                {u"dbl"_qs, QString::number(n->doubleLine)},
                {u"atomic"_qs, QString::number(n->atomic)},
                {u"disptag"_qs, QString::number(n->displayExtendedTag)},
                {u"dispinfo"_qs, QString::number(n->displayExtraInfo)},
                {u"type"_qs, QString::number(n->behaviorType)},
                {u"label"_qs, n->GetLabel()},
            };
            QStringList extra;
            for (qsizetype i = 0; i < n->extraInfoTags.size(); ++i)
                extra << n->extraInfoTags[i] + u'/' + n->extraInfoNames[i];
            for (const QString &part : expect.split(u' ')) {
                const QString key = part.section(u'=', 0, 0);
                got << key + u'=' + (key == u"extra" ? extra.join(u',') : facts.value(key));
            }
        } else {
            auto *t = static_cast<CKELRBT *>(e);
            got << u"lvg=%1 pgw=%2 pgh=%3"_qs.arg(t->LevelGap()).arg(t->PagesWide()).arg(t->PagesHigh());
        }
        QCOMPARE(got.join(u' '), expect);
    }

    // Records may name elements that come later in the file.
    void forwardReferences()
    {
        const QByteArray body = kSkeleton.left(kSkeleton.indexOf("obj;id:5"))
                                + "obj;id:5;type:RBTs;name:;children:12;\r\n"
                                  "obj;id:6;type:Requirements;name:;children:;\r\n"
                                  "obj;id:7;type:Components;name:;children:;\r\n"
                                  "obj;id:8;type:EVTs;name:;children:;\r\n"
                                  "obj;id:13;type:Method;name:;children:;Comp:B;State:b;StatDec:1;Parent:14;\r\n"
                                  "obj;id:12;type:RBT;name:T;children:13,14;\r\n"
                                  "obj;id:14;type:Method;name:;children:;Comp:A;State:a;StatDec:1;Parent:0;\r\n";
        QVERIFY(TestKit::WriteFile(path(u"f.kvf"_qs), solutionFile(body, 11, 14)));
        CKELDataManager m;
        QVERIFY(CSolutionFile::Read(m, path(u"f.kvf"_qs), nullptr));
        auto *tree = m.LookupAs<CKELRBT>(12, KEL::RBT);
        QVERIFY(tree);
        QCOMPARE(tree->GetParent(), m.CurrentVersion()->RBTFolder());
        QCOMPARE(tree->Roots().size(), 1);
        QCOMPARE(tree->Roots().first()->GetId(), 14);
        QCOMPARE(tree->Roots().first()->ChildIds(), QList<int>{13});
    }

    void linesThatAreSkipped_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("comment") << QByteArray("#obj;id:20;type:RBT;name:x;children:;") << 20 << false;
        QTest::newRow("unknown type") << QByteArray("obj;id:20;type:Widget;name:x;children:;") << 20 << false;
        QTest::newRow("derived folder type") << QByteArray("obj;id:20;type:CBTs;name:x;children:;") << 20 << false;
        QTest::newRow("network type") << QByteArray("obj;id:20;type:CIN;name:x;children:;") << 20 << false;
        QTest::newRow("reserved Methods folder")
            << QByteArray("obj;id:20;type:Methods;name:x;children:;") << 20 << false;
        QTest::newRow("unknown kind") << QByteArray("XYZ;id:20;type:RBT;name:x;children:;") << 20 << false;
        QTest::newRow("id zero") << QByteArray("obj;id:0;type:RBT;name:x;children:;") << 0 << false;
        QTest::newRow("negative id") << QByteArray("obj;id:-4;type:RBT;name:x;children:;") << -4 << false;
        QTest::newRow("CBT line makes an element") << QByteArray("obj;id:20;type:CBT;name:x;children:;") << 20 << true;
        QTest::newRow("IBT alias of DBT") << QByteArray("obj;id:20;type:IBT;name:x;children:;") << 20 << true;
    }

    void linesThatAreSkipped()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, id);
        QFETCH(bool, loaded);
        QVERIFY(TestKit::WriteFile(path(u"s.kvf"_qs), solutionFile(kSkeleton + line + "\r\n", 9, 20)));
        CKELDataManager m;
        QVERIFY(CSolutionFile::Read(m, path(u"s.kvf"_qs), nullptr));
        QCOMPARE(m.Lookup(id) != nullptr, loaded);
        QCOMPARE(m.Solution()->GetId(), 1);
    }

    void duplicateIdLaterWins()
    {
        QVERIFY(TestKit::WriteFile(path(u"d.kvf"_qs),
                                   solutionFile(kSkeleton.left(kSkeleton.indexOf("obj;id:6"))
                                                    + "obj;id:6;type:Requirements;name:;children:20;\r\n"
                                                      "obj;id:20;type:Requirement;name:R1;children:;desc:old;\r\n"
                                                      "obj;id:20;type:Requirement;name:R1;children:;desc:older;\r\n"
                                                      "obj;id:20;type:Requirement;name:R1;children:;desc:new;\r\n"
                                                    + kSkeleton.mid(kSkeleton.indexOf("obj;id:7")),
                                                9, 20)));
        CKELDataManager m;
        QVERIFY(CSolutionFile::Read(m, path(u"d.kvf"_qs), nullptr));
        auto *r = m.LookupAs<CKELRequirement>(20, KEL::Requirement);
        QVERIFY(r);
        QCOMPARE(r->Description(), u"new"_qs);
        QCOMPARE(m.CurrentVersion()->RequirementsFolder()->ChildCount(), 1);
        QCOMPARE(m.LastLoadReport().duplicateIds, 2); // every replaced line counts
    }

    void evtFolderAddedOnLoad()
    {
        QByteArray body = kSkeleton;
        body.replace("children:2,8;", "children:2;");
        body.replace("obj;id:8;type:EVTs;name:;children:;\r\n", "");
        QVERIFY(TestKit::WriteFile(path(u"e.kvf"_qs), solutionFile(body, 7, 7)));
        CKELDataManager m;
        QVERIFY(CSolutionFile::Read(m, path(u"e.kvf"_qs), nullptr));
        QVERIFY(m.Solution()->EvtFolder());
        QCOMPARE(m.Solution()->EvtFolder()->GetId(), 8); // maxcount + 1
        QCOMPARE(m.MaxCount(), 8);
    }

    void derivedNeverWritten()
    {
        CKELDataManager m;
        m.NewSolution();
        CKELTree *dbt = addTree(m, KEL::DBT, u"D"_qs);
        auto *cbts = addTo<CKELData>(m, dbt, KEL::CBTs);
        addTo<CKELData>(m, cbts, KEL::CBT);
        addTo<CKELData>(m, dbt, KEL::CIN);
        addTo<CKELData>(m, dbt, KEL::FactoryMethod);
        const QString text = m.BuildSolutionText();
        QVERIFY(!text.contains(u"type:CBT"_qs));
        QVERIFY(!text.contains(u"type:CIN"_qs));
        QVERIFY(text.contains(u"obj;id:9;type:DBT;name:D;children:13;"_qs));
    }

    void textRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("separators") << u"a:b;c"_qs;
        QTest::newRow("greek") << u"Πόρτα ανοιχτή"_qs;
        QTest::newRow("emoji") << u"🚪 open 👍🏽"_qs;
        // the writer narrows text in runs of characters: others fall between them
        QTest::newRow("page and other characters between long runs")
            << QString(15, u'a') + u"€"_qs + QString(16, u'b') + u"门"_qs + QString(40, u'c') + u"ü"_qs;
        QTest::newRow("text longer than a write block") << QString(1 << 20, u'x') + u"ü门"_qs;
    }

    // Whatever the user types comes back from the file unchanged.
    void textRoundTrip()
    {
        QFETCH(QString, text);
        CKELDataManager m;
        m.NewSolution();
        TestKit::Mutable(m.Solution())->SetName(text);
        m.SetSimulatorPath(text);
        auto *r = addTo<CKELRequirement>(m, m.CurrentVersion()->RequirementsFolder(), KEL::Requirement);
        r->SetName(text);
        r->SetDescription(text + text);
        CKELTree *tree = addTree(m, KEL::RBT, text);
        CKELMethod *n = TreeOps::NewNode(m, *tree);
        n->component = text;
        n->behavior = text;
        n->qualifier = text;
        n->hasExtendedTag = true;
        n->extendedTag = text;
        QVERIFY(CSolutionFile::Write(m, path(u"t.kvf"_qs), nullptr));

        CKELDataManager back;
        QVERIFY(CSolutionFile::Read(back, path(u"t.kvf"_qs), nullptr));
        QCOMPARE(back.Solution()->GetName(), text);
        QCOMPARE(back.SimulatorPath(), text);
        auto *r2 = back.LookupAs<CKELRequirement>(r->GetId(), KEL::Requirement);
        QCOMPARE(r2->GetName(), text);
        QCOMPARE(r2->Description(), text + text);
        QCOMPARE(back.Lookup(tree->GetId())->GetName(), text);
        auto *n2 = back.LookupAs<CKELMethod>(n->GetId(), KEL::Method);
        QCOMPARE(n2->component, text);
        QCOMPARE(n2->behavior, text);
        QCOMPARE(n2->qualifier, text);
        QCOMPARE(n2->extendedTag, text);
    }

    void siblingOrderSurvives()
    {
        CKELDataManager m;
        m.NewSolution();
        CKELTree *tree = addTree(m, KEL::RBT, u"T"_qs);
        CKELMethod *root = TreeOps::NewNode(m, *tree);
        QList<CKELMethod *> kids;
        for (int i = 0; i < 5; ++i)
            kids << TreeOps::NewNode(m, *tree);
        // linked in an order unlike creation
        for (int i : {3, 0, 4, 1, 2})
            QVERIFY(TreeOps::Link(m, root, kids[i]));
        const QList<int> order = root->ChildIds();
        QVERIFY(CSolutionFile::Write(m, path(u"o.kvf"_qs), nullptr));
        CKELDataManager back;
        QVERIFY(CSolutionFile::Read(back, path(u"o.kvf"_qs), nullptr));
        QCOMPARE(back.LookupAs<CKELMethod>(root->GetId(), KEL::Method)->ChildIds(), order);
        // the tree's own element list keeps creation order
        QList<int> elementOrder;
        for (const CKELMethod *n : static_cast<const CKELTree *>(back.Lookup(tree->GetId()))->Nodes())
            elementOrder << n->GetId();
        QCOMPARE(elementOrder, (QList<int>{10, 11, 12, 13, 14, 15}));
    }

    void filesWithoutSiblingOrderUseIdOrder()
    {
        QByteArray body = kSkeleton;
        body.replace("obj;id:5;type:RBTs;name:;children:;", "obj;id:5;type:RBTs;name:;children:9;");
        body += "obj;id:9;type:RBT;name:T;children:10,11,12;\r\n"
                "obj;id:10;type:Method;name:;children:;Parent:0;\r\n"
                "obj;id:12;type:Method;name:;children:;Parent:10;\r\n"
                "obj;id:11;type:Method;name:;children:;Parent:10;\r\n";
        QVERIFY(TestKit::WriteFile(path(u"n.kvf"_qs), solutionFile(body, 12, 12)));
        CKELDataManager m;
        QVERIFY(CSolutionFile::Read(m, path(u"n.kvf"_qs), nullptr));
        QCOMPARE(m.LookupAs<CKELMethod>(10, KEL::Method)->ChildIds(), (QList<int>{11, 12}));
    }

    void resaveIsByteIdentical()
    {
        // a file of every kind, saved by us, loaded and saved again
        CKELDataManager m;
        m.NewSolution();
        auto *req = addTo<CKELRequirement>(m, m.CurrentVersion()->RequirementsFolder(), KEL::Requirement);
        req->SetName(u"R1"_qs);
        auto *comp = addTo<CKELComponent>(m, m.CurrentVersion()->ComponentsFolder(), KEL::Component);
        comp->SetName(u"Door"_qs);
        auto *state = addTo<CKELState>(m, comp, KEL::State);
        state->SetBehavior(u"open"_qs, 1);
        req->AddVirtualChild(state);
        CKELTree *tree = addTree(m, KEL::RBT, u"T"_qs);
        static_cast<CKELRBT *>(tree)->SetAssociatedRequirements({req->GetId()});
        tree->AddVirtualChild(req);
        CKELMethod *a = TreeOps::NewNode(m, *tree);
        CKELMethod *b = TreeOps::NewNode(m, *tree);
        CKELMethod *c = TreeOps::NewNode(m, *tree);
        TreeOps::Link(m, a, c);
        TreeOps::Link(m, a, b);
        auto *evt = addTo<CKELEVT>(m, m.Solution()->EvtFolder(), KEL::EVT);
        evt->SourceTrees() = {tree->GetId()};
        CKELMethod *en = TreeOps::NewNode(m, *evt);
        en->SetEvolution(true);
        en->EvTags() = {tree->GetId()};
        en->SetEvStyle(-1);
        m.SetSimulatorPath(u"/opt/sim;v2:x"_qs);

        QVERIFY(CSolutionFile::Write(m, path(u"1.kvf"_qs), nullptr));
        for (const QString &file : {path(u"1.kvf"_qs), QStringLiteral(VERDANTIS_TEST_DATA "/fixtures/microwave.kvf")}) {
            CKELDataManager back;
            QVERIFY(CSolutionFile::Read(back, file, nullptr));
            QVERIFY(CSolutionFile::Write(back, path(u"2.kvf"_qs), nullptr));
            QCOMPARE(TestKit::ReadFile(path(u"2.kvf"_qs)), TestKit::ReadFile(file));
        }
    }

    // Damaged or hostile input loads what is sound, never hangs and never crashes.
    void hostileFiles_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("check");
        const QByteArray tree = "obj;id:9;type:RBT;name:T;children:10,11,12;\r\n";
        QByteArray skel = kSkeleton;
        skel.replace("obj;id:5;type:RBTs;name:;children:;", "obj;id:5;type:RBTs;name:;children:9;");
        QTest::newRow("child of two parents stays with the first")
            << skel + "obj;id:7;type:Components;name:;children:9;\r\n" + tree << u"owner 9 5"_qs;
        QTest::newRow("child of itself") << kSkeleton + "obj;id:20;type:Project;name:;children:20;\r\n"
                                         << u"owner 20 0"_qs;
        QTest::newRow("ownership cycle") << kSkeleton
                                                + "obj;id:20;type:Project;name:;children:21;\r\n"
                                                  "obj;id:21;type:Version;name:;children:20;\r\n"
                                         << u"owner 20 0"_qs;
        QTest::newRow("solution listed as a child")
            << skel.replace("type:Project;name:;children:3;", "type:Project;name:;children:3,1;") << u"owner 1 0"_qs;
        QTest::newRow("node parent cycle")
            << kSkeleton.left(kSkeleton.indexOf("obj;id:5")) + "obj;id:5;type:RBTs;name:;children:9;\r\n" + tree
                   + "obj;id:10;type:Method;name:;children:;Parent:12;\r\n"
                     "obj;id:11;type:Method;name:;children:;Parent:10;\r\n"
                     "obj;id:12;type:Method;name:;children:;Parent:11;\r\n"
            << u"roots 1"_qs;
        QTest::newRow("node is its own parent")
            << kSkeleton.left(kSkeleton.indexOf("obj;id:5")) + "obj;id:5;type:RBTs;name:;children:9;\r\n" + tree
                   + "obj;id:10;type:Method;name:;children:;Parent:10;\r\n"
            << u"roots 1"_qs;
        QTest::newRow("parent in another tree")
            << kSkeleton.left(kSkeleton.indexOf("obj;id:5")) + "obj;id:5;type:RBTs;name:;children:9,13;\r\n" + tree
                   + "obj;id:13;type:RBT;name:U;children:14;\r\n"
                     "obj;id:14;type:Method;name:;children:;Parent:0;\r\n"
                     "obj;id:10;type:Method;name:;children:;Parent:14;\r\n"
            << u"roots 1"_qs;
        QTest::newRow("ids beyond 32 bits") << kSkeleton
                                                   + "obj;id:4294967297;type:RBT;name:x;children:;\r\n"
                                                     "obj;id:20;type:Project;name:;children:99999999999;\r\n"
                                            << u"elements 9"_qs;
        QTest::newRow("sparse ids up to the largest allowed")
            << QByteArray(kSkeleton).replace("type:RBTs;name:;children:;",
                                             "type:RBTs;name:;children:2000000000,1500000;")
                   + "obj;id:2000000000;type:RBT;name:far;children:;\r\n"
                     "obj;id:1500000;type:RBT;name:mid;children:;\r\n"
            << u"owner 2000000000 5"_qs;
        QTest::newRow("binary noise") << kSkeleton + QByteArray("obj;\0\x01\xff;id:\x80;type:\0RBT\r\n\xfe\xfe\0", 26)
                                      << u"elements 8"_qs;
        QTest::newRow("megabyte lines") << kSkeleton + "obj;id:30;type:Requirement;name:" + QByteArray(3 << 20, 'r')
                                               + ";children:;\r\n" + QByteArray(2 << 20, ';') + "\r\n"
                                        << u"elements 9"_qs;
        QTest::newRow("end names no solution") << kSkeleton + "END;actversion:77;solution:5;\r\n" << u"elements 8"_qs;
    }

    void hostileFiles()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, check);
        QVERIFY(TestKit::WriteFile(path(u"h.kvf"_qs), solutionFile(body, 8, 30)));
        CKELDataManager m;
        QString error;
        QVERIFY2(CSolutionFile::Read(m, path(u"h.kvf"_qs), &error), qPrintable(error));
        QCOMPARE(m.Solution()->GetId(), 1);
        QVERIFY(m.CurrentVersion());
        const QStringList words = check.split(u' ');
        if (words[0] == u"owner") {
            CKELData *e = TestKit::Mutable(m.Lookup(words[1].toInt()));
            QVERIFY(e);
            QCOMPARE(e->GetParent() ? e->GetParent()->GetId() : 0, words[2].toInt());
        } else if (words[0] == u"roots") {
            auto *t = static_cast<const CKELTree *>(m.Lookup(9));
            QCOMPARE(int(t->Roots().size()), words[1].toInt());
            // every node is reachable from a root, and walking up always ends
            int reached = 0;
            for (const CKELMethod *r : t->Roots())
                reached += int(TreeOps::PreOrder(m, r).size());
            QCOMPARE(reached, int(t->Nodes().size()));
        } else {
            QCOMPARE(int(m.IdMap().size()), words[1].toInt());
        }
        // what loaded saves and loads again
        QVERIFY(CSolutionFile::Write(m, path(u"h2.kvf"_qs), nullptr));
        CKELDataManager again;
        QVERIFY(CSolutionFile::Read(again, path(u"h2.kvf"_qs), nullptr));
        QCOMPARE(again.IdMap().size(), m.IdMap().size());
    }

    void notASolutionKeepsOpenSolution_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        const QString notASolution = u"not a solution file"_qs;
        QTest::newRow("empty file") << QByteArray() << notASolution;
        QTest::newRow("text file") << QByteArray("Dear diary,\r\ntoday I drew a tree.\r\n") << notASolution;
        QByteArray noise(100000, '\0');
        QRandomGenerator rng(7);
        for (char &c : noise)
            c = char(rng.bounded(256));
        QTest::newRow("binary") << noise << notASolution;
        QTest::newRow("no solution element")
            << solutionFile(kSkeleton.mid(kSkeleton.indexOf("obj;id:2"))) << notASolution;
        // the ids after it would wrap round to negative ones
        QTest::newRow("element id past the largest")
            << solutionFile(kSkeleton + "obj;id:2100000000;type:Requirement;name:R;children:;\r\n")
            << u"damaged: element id 2100000000 is out of range"_qs;
    }

    void notASolutionKeepsOpenSolution()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        CKELDataManager m;
        m.NewSolution();
        CKELTree *tree = addTree(m, KEL::RBT, u"Mine"_qs);
        const QString before = m.BuildSolutionText();
        QVERIFY(TestKit::WriteFile(path(u"x.kvf"_qs), content));
        QString error;
        QSignalSpy replaced(&m, &CKELDataManager::solutionReplaced);
        QVERIFY(!CSolutionFile::Read(m, path(u"x.kvf"_qs), &error));
        QVERIFY2(error.contains(message), qPrintable(error));
        QCOMPARE(replaced.count(), 0);
        QCOMPARE(m.BuildSolutionText(), before);
        QCOMPARE(m.Lookup(tree->GetId()), tree);
        QCOMPARE(m.CurrentVersion()->RBTFolder()->ChildAt(0), tree);
    }

    void deepOwnershipChainLoadsAndCloses()
    {
        // 200 000 projects each owning the next: no recursion may follow this
        QByteArray body = kSkeleton;
        body.replace("obj;id:8;type:EVTs;name:;children:;", "obj;id:8;type:EVTs;name:;children:10;");
        const int depth = 200000;
        for (int i = 10; i < 10 + depth; ++i)
            body += "obj;id:" + QByteArray::number(i) + ";type:Project;name:;children:" + QByteArray::number(i + 1)
                    + ";\r\n";
        QVERIFY(TestKit::WriteFile(path(u"deep.kvf"_qs), solutionFile(body, 8 + depth, 10 + depth)));
        CKELDataManager m;
        QVERIFY(CSolutionFile::Read(m, path(u"deep.kvf"_qs), nullptr));
        QCOMPARE(int(m.IdMap().size()), 8 + depth);
        m.CloseSolution();
        QCOMPARE(m.IdMap().size(), 0);
    }

    // A save either replaces the file with a complete one or leaves the old
    // bytes where they were; nothing half written takes the user's file's place.
    void saveFailures_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("oldFile");
        QTest::addColumn<bool>("folderLocked"); // the folder allows no new file
        QTest::addColumn<int>("fileSizeLimit"); // bytes a file may grow to; 0: none
        QTest::addColumn<QString>("outcome");   // "atomic", "in place" or the error's words
        QTest::newRow("target is a folder") << u"folder.kvf"_qs << false << false << 0 << u"folder.kvf"_qs;
        QTest::newRow("folder does not exist") << u"missing/x.kvf"_qs << false << false << 0 << u"missing/x.kvf"_qs;
        QTest::newRow("plain save") << u"ok.kvf"_qs << true << false << 0 << u"atomic"_qs;
        QTest::newRow("locked folder, file may change") << u"ok.kvf"_qs << true << true << 0 << u"in place"_qs;
        QTest::newRow("locked folder, no file yet") << u"ok.kvf"_qs << false << true << 0 << u"Cannot write"_qs;
        QTest::newRow("disk full") << u"ok.kvf"_qs << true << false << 65536 << u"Cannot write"_qs;
        QTest::newRow("disk full in a locked folder") << u"ok.kvf"_qs << true << true << 65536 << u"left as it was"_qs;
    }

    void saveFailures()
    {
        QFETCH(QString, target);
        QFETCH(bool, oldFile);
        QFETCH(bool, folderLocked);
        QFETCH(int, fileSizeLimit);
        QFETCH(QString, outcome);
        const QString folder = path(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(QDir(folder).mkpath(u"folder.kvf"_qs));
        const QString file = folder + u'/' + target;
        const QByteArray oldBytes = "an older solution\r\n";
        if (oldFile)
            QVERIFY(TestKit::WriteFile(file, oldBytes));
        CKELDataManager m;
        m.NewSolution();
        // big enough to pass the size limit
        for (int i = 0; i < 1500; ++i)
            addTo<CKELRequirement>(m, m.CurrentVersion()->RequirementsFolder(), KEL::Requirement)
                ->SetName(u"R%1 with a name long enough to fill the file"_qs.arg(i));
        const QByteArray newBytes = Cp1252::encode(m.BuildSolutionText().replace(u'\n', u"\r\n"_qs));

        QFile::setPermissions(m_dir.path(), QFileDevice::Permissions(0x7755));
        QFile::setPermissions(file, QFileDevice::Permissions(0x6666));
        if (folderLocked)
            QFile::setPermissions(folder, QFileDevice::Permissions(0x5555));
        // the superuser may write anywhere: act as an ordinary user meanwhile
        const bool dropped = folderLocked && ::geteuid() == 0 && ::setresuid(65534, 65534, 0) == 0;
        rlimit oldLimit{};
        ::getrlimit(RLIMIT_FSIZE, &oldLimit);
        const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
        if (fileSizeLimit) {
            rlimit limit = oldLimit;
            limit.rlim_cur = rlim_t(fileSizeLimit);
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        QString error;
        bool inPlace = false;
        const bool saved = CSolutionFile::Write(m, file, &error, &inPlace);
        ::setrlimit(RLIMIT_FSIZE, &oldLimit);
        std::signal(SIGXFSZ, oldSignal);
        if (dropped)
            QVERIFY(::setresuid(0, 0, 0) == 0);
        QFile::setPermissions(folder, QFileDevice::Permissions(0x7755));
        if (folderLocked && !dropped && QFileInfo(folder).isWritable() && ::geteuid() == 0)
            QSKIP("no ordinary user to act as");

        if (outcome == u"atomic" || outcome == u"in place") {
            QVERIFY2(saved, qPrintable(error));
            QCOMPARE(inPlace, outcome == u"in place");
            QCOMPARE(TestKit::ReadFile(file), newBytes);
        } else {
            QVERIFY(!saved);
            QVERIFY2(error.contains(outcome), qPrintable(error));
            if (oldFile)
                QCOMPARE(TestKit::ReadFile(file), oldBytes);
        }
        // no temporary file stays behind
        const QStringList left = QDir(folder).entryList(QDir::Files);
        QCOMPARE(left, oldFile || saved ? QStringList{target} : QStringList());
    }

    // The header's id counter and the ids in the file decide the next new id;
    // a counter no int can follow is damage, not a reason to wrap round.
    void idCounterOnLoad_data()
    {
        QTest::addColumn<QByteArray>("maxcount");
        QTest::addColumn<int>("nextId");
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<bool>("usedUp");
        QTest::newRow("counter below an id in the file") << QByteArray("3") << 51 << false << false;
        QTest::newRow("counter ahead of the ids") << QByteArray("70") << 71 << false << false;
        QTest::newRow("counter at the largest int") << QByteArray("2147483647") << 51 << true << false;
        QTest::newRow("counter beyond 32 bits") << QByteArray("99999999999") << 51 << true << false;
        QTest::newRow("counter where new ids end")
            << QByteArray::number(KEL::NewIdsEnd) << KEL::NewIdsEnd + 1 << false << true;
    }

    void idCounterOnLoad()
    {
        QFETCH(QByteArray, maxcount);
        QFETCH(int, nextId);
        QFETCH(bool, damaged);
        QFETCH(bool, usedUp);
        QByteArray file = solutionFile(kSkeleton + "obj;id:50;type:Project;name:;children:;\r\n", 9, 1);
        file.replace(";maxcount:1\r\n", ";maxcount:" + maxcount + "\r\n");
        QVERIFY(TestKit::WriteFile(path(u"m.kvf"_qs), file));
        CKELDataManager m;
        QVERIFY(CSolutionFile::Read(m, path(u"m.kvf"_qs), nullptr));
        QCOMPARE(m.LastLoadReport().damagedCounter, damaged);
        QCOMPARE(m.IdsUsedUp(), usedUp);
        if (usedUp)
            QVERIFY(!m.AddRequirement(u"R1"_qs, u"d"_qs));
        else
            QVERIFY(m.AddRequirement(u"R1"_qs, u"d"_qs));
        // what was made keeps its id through a save and a load
        QVERIFY(CSolutionFile::Write(m, path(u"m2.kvf"_qs), nullptr));
        CKELDataManager again;
        QVERIFY(CSolutionFile::Read(again, path(u"m2.kvf"_qs), nullptr));
        QCOMPARE(again.FindRequirement(u"R1"_qs) ? again.FindRequirement(u"R1"_qs)->GetId() : 0, usedUp ? 0 : nextId);
        QCOMPARE(again.MaxCount(), usedUp ? KEL::NewIdsEnd : nextId);
    }

    void loadTextFromServer()
    {
        CKELDataManager m;
        m.NewSolution();
        TestKit::Mutable(m.Solution())->SetName(u"Σ shared"_qs);
        const QString text = m.BuildSolutionText() + u"trailing text without line feed"_qs;
        CKELDataManager other;
        QVERIFY(other.LoadSolutionText(text));
        QCOMPARE(other.Solution()->GetName(), u"Σ shared"_qs);
        QCOMPARE(other.BuildSolutionText(), m.BuildSolutionText());
    }

private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
};

QTEST_GUILESS_MAIN(TestSolutionFile)
#include "tst_solutionfile.moc"
