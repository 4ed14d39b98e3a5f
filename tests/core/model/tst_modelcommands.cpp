#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/kelrequirement.h"
#include "model/keltree.h"
#include "model/nodeattributes.h"
#include "model/operationrecord.h"
#include "model/treeops.h"
#include "scriptedprompt.h"

#include "testkit.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>

namespace {

using TestKit::CRecordingSink;

// A solution with R1, R2, component Door with [open], and an RBT "T" of
// three nodes a -> b -> c.
struct Fixture
{
    CKELDataManager m;
    CScriptedPrompt prompt;
    int r1 = 0, r2 = 0, tree = 0, a = 0, b = 0, c = 0;

    Fixture()
    {
        m.SetPrompt(&prompt);
        m.NewSolution();
        m.AddRequirement(u"R1"_qs, u"first"_qs);
        m.AddRequirement(u"R2"_qs, u"second"_qs);
        r1 = m.FindRequirement(u"R1"_qs)->GetId();
        r2 = m.FindRequirement(u"R2"_qs)->GetId();
        m.AddComponent(u"Door"_qs, false);
        m.AddState(u"Door"_qs, u"open"_qs, 1, u"R1"_qs);
        m.AddRBT(u"T"_qs, {r1}, 50);
        tree = m.FindTree(KEL::RBTs, u"T"_qs)->GetId();
        m.AddNode(tree, 0, TestKit::Node(u"Door"_qs, u"open"_qs), 0, 0);
        a = m.MaxCount();
        m.AddNode(tree, a, TestKit::Node(u"Door"_qs, u"closed"_qs), 0, 0);
        b = m.MaxCount() - 1; // the node, then its new state
        m.AddNode(tree, b, TestKit::Node(u"Door"_qs, u"open"_qs), 0, 0);
        c = m.MaxCount();
        prompt.texts.clear();
        prompt.captions.clear();
    }
    const CKELMethod *n(int id) const { return m.LookupAs<CKELMethod>(id, KEL::Method); }
};

// Random but repeatable edits, some of them bound to conflict.
QStringList randomRecords(quint32 seed, int count)
{
    QRandomGenerator rng(seed);
    QStringList out;
    for (int i = 0; i < count; ++i) {
        const int id = int(rng.bounded(9, 60));
        const int other = int(rng.bounded(9, 60));
        switch (rng.bounded(9)) {
        case 0: out << u"addreq;tag:R%1;desc:d%2;ver:3;"_qs.arg(rng.bounded(6)).arg(i); break;
        case 1: out << u"addcom;name:C%1;issys:0;ver:3;"_qs.arg(rng.bounded(4)); break;
        case 2: out << u"addrbt;name:T%1;req:%2;lvg:50;ver:3;"_qs.arg(rng.bounded(3)).arg(id); break;
        case 3:
            out << u"addmsd;fun:para;Comp:C%1;State:s%2;StatDec:1;DispExtTag:1;DispExtInfo:1;x:0;y:0;eparent:%3;treeid:%4;"_qs
                       .arg(rng.bounded(4))
                       .arg(rng.bounded(3))
                       .arg(other)
                       .arg(id);
            break;
        case 4: out << u"linknode;par:%1;chd:%2;"_qs.arg(id).arg(other); break;
        case 5: out << u"rmnode;id:%1;"_qs.arg(id); break;
        case 6:
            out << u"addsta;sta:s%1;comp:C%2;dec:1;req:R%3;ver:3;"_qs.arg(rng.bounded(3))
                       .arg(rng.bounded(4))
                       .arg(rng.bounded(6));
            break;
        case 7: out << u"modreq;tag:R%1;desc:x;id:%2;"_qs.arg(rng.bounded(6)).arg(id); break;
        default: out << u"delreq;id:%1;"_qs.arg(id); break;
        }
    }
    return out;
}

bool acyclicAndConsistent(const CKELDataManager &m)
{
    for (const CKELData *e : m.IdMap()) {
        if (!e->IsMethod())
            continue;
        auto *n = static_cast<const CKELMethod *>(e);
        if (n->ParentId()) {
            auto *p = m.LookupAs<CKELMethod>(n->ParentId(), KEL::Method);
            if (!p || !p->ChildIds().contains(n->GetId()) || TreeOps::IsAncestorOrSelf(m, n, p))
                return false;
        }
        for (int c : n->ChildIds()) {
            auto *child = m.LookupAs<CKELMethod>(c, KEL::Method);
            if (!child || child->ParentId() != n->GetId())
                return false;
        }
    }
    return true;
}

} // namespace

class TestModelCommands : public QObject
{
    Q_OBJECT
private slots:
    // What goes over the wire, field for field.
    void encoding_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("record");
        QTest::newRow("addreq") << u"addreq"_qs << u"addreq;tag:R9;desc:a.cm.b.hcm.c;ver:3;"_qs;
        QTest::newRow("addrbt with no requirements") << u"addrbt"_qs << u"addrbt;name:U;req:;lvg:50;ver:3;"_qs;
        QTest::newRow("modreq") << u"modreq"_qs << u"modreq;tag:R1;desc:x;id:9;"_qs;
        QTest::newRow("linknode") << u"linknode"_qs << u"linknode;par:0;chd:%C;"_qs;
        QTest::newRow("addmsd")
            << u"addmsd"_qs
            << u"addmsd;fun:para;Comp:Door;State:open;StatDec:2;ReqTag:R1;JumpType:1;DispExtTag:1;DispExtInfo:1;x:5;y:6;eparent:%A;treeid:%T;"_qs;
        QTest::newRow("modmsd")
            << u"modmsd"_qs
            << u"modmsd;fun:para;Comp:Door;State:shut;StatDec:1;ReqTag:R1;ExtTag:E1;ExtraInfo:k,v;nodeid:%B;"_qs;
        QTest::newRow("addcom") << u"addcom"_qs << u"addcom;name:Bell;issys:1;ver:3;"_qs;
        QTest::newRow("addver") << u"addver"_qs << u"addver;vname:2.0;ovid:3;"_qs;
    }

    void encoding()
    {
        QFETCH(QString, command);
        QFETCH(QString, record);
        Fixture f;
        CRecordingSink sink;
        f.m.SetOperationSink(&sink);
        f.m.SetLocal(false);
        if (command == u"addreq")
            f.m.AddRequirement(u"R9"_qs, u"a:b;c"_qs);
        else if (command == u"addrbt")
            f.m.AddRBT(u"U"_qs, {}, 50);
        else if (command == u"modreq")
            f.m.ChangeRequirement(f.r1, u"R1"_qs, u"x"_qs);
        else if (command == u"linknode")
            f.m.LinkNode(0, f.c);
        else if (command == u"addmsd") {
            CNodeAttributes a = TestKit::Node(u"Door"_qs, u"open"_qs, 2);
            a.jumpType = 1;
            f.m.AddNode(f.tree, f.a, a, 5, 6);
        } else if (command == u"modmsd") {
            CNodeAttributes a = TestKit::Node(u"Door"_qs, u"shut"_qs);
            a.hasExtendedTag = true;
            a.extendedTag = u"E1"_qs;
            a.displayExtendedTag = a.displayExtraInfo = false;
            a.extraInfoTags = {u"k"_qs};
            a.extraInfoNames = {u"v"_qs};
            f.m.ChangeNode(f.b, a);
        } else if (command == u"addcom")
            f.m.AddComponent(u"Bell"_qs, true);
        else if (command == u"addver")
            f.m.NewVersion(u"2.0"_qs, f.m.CurrentVersion()->GetId());
        QVERIFY(!sink.sent.isEmpty());
        QCOMPARE(sink.sent.first(), QString(record)
                                        .replace(u"%A"_qs, QString::number(f.a))
                                        .replace(u"%B"_qs, QString::number(f.b))
                                        .replace(u"%C"_qs, QString::number(f.c))
                                        .replace(u"%T"_qs, QString::number(f.tree)));
    }

    void readingRules_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<bool>("applied");
        QTest::addColumn<QString>("check");
        QTest::newRow("addreq applies its description")
            << u"addreq;tag:R9;desc:a.cm.b.hcm.c;"_qs << true << u"desc a:b;c"_qs;
        QTest::newRow("kind in another case is ignored") << u"AddReq;tag:R9;desc:x;"_qs << false << u"count 0"_qs;
        QTest::newRow("unknown kind") << u"addwidget;name:x;"_qs << false << u"count 0"_qs;
        QTest::newRow("flag other than 1 is false") << u"addcom;name:Bell;issys:yes;"_qs << true << u"system 0"_qs;
        QTest::newRow("flag 1") << u"addcom;name:Bell;issys:1;"_qs << true << u"system 1"_qs;
        QTest::newRow("empty requirement list") << u"addrbt;name:U;req:;lvg:0;"_qs << true << u"tree U 0 50"_qs;
        QTest::newRow("requirements of the list")
            << u"addrbt;name:U;req:9,,10,999;lvg:70;"_qs << true << u"tree U 2 70"_qs;
        QTest::newRow("id that names nothing") << u"delreq;id:4242;"_qs << false << u"count 0"_qs;
        QTest::newRow("remove names the wrong kind") << u"rmrbt;tid:1;"_qs << false << u"count 0"_qs;
        QTest::newRow("modcom is applied") << u"modcom;id:11;name:Gate;issys:1;"_qs << true << u"component Gate"_qs;
        QTest::newRow("modcom to a taken name") << u"modcom;id:11;name:Lock;issys:1;"_qs << false << u"count 0"_qs;
    }

    void readingRules()
    {
        QFETCH(QString, record);
        QFETCH(bool, applied);
        QFETCH(QString, check);
        Fixture f;
        f.m.AddComponent(u"Lock"_qs, false);
        const QString before = f.m.BuildSolutionText();
        QCOMPARE(f.m.ApplyOperationRecord(record), applied);
        const QStringList w = check.split(u' ');
        if (w[0] == u"count")
            QCOMPARE(f.m.BuildSolutionText(), before);
        else if (w[0] == u"desc")
            QCOMPARE(f.m.FindRequirement(u"R9"_qs)->Description(), w[1]);
        else if (w[0] == u"system")
            QCOMPARE(int(f.m.FindComponent(u"Bell"_qs)->IsSystemComponent()), w[1].toInt());
        else if (w[0] == u"component")
            QCOMPARE(f.m.Lookup(11)->GetName(), w[1]);
        else if (w[0] == u"tree") {
            auto *t = static_cast<const CKELRBT *>(f.m.FindTree(KEL::RBTs, w[1]));
            QVERIFY(t);
            QCOMPARE(int(t->AssociatedRequirements().size()), w[2].toInt());
            QCOMPARE(t->LevelGap(), w[3].toInt());
            QCOMPARE(t->VChildIds(), t->AssociatedRequirements());
        }
    }

    // Each check shows its text with the caption "Message" and changes nothing.
    void validation_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty tag") << u"addreq ''"_qs << u"Requirement tag can't be empty"_qs;
        QTest::newRow("duplicate tag") << u"addreq R1"_qs
                                       << u"Requirement with tag R1 is already added in the project"_qs;
        QTest::newRow("tags differ in case") << u"addreq r1"_qs << QString();
        QTest::newRow("change to another's tag")
            << u"modreq R2"_qs << u"Requirement with tag R2 is already in the project"_qs;
        QTest::newRow("change to own tag") << u"modreq R1"_qs << QString();
        QTest::newRow("change to empty tag") << u"modreq ''"_qs << u"Requirement tag can't be empty"_qs;
        QTest::newRow("empty component") << u"addcom ''"_qs << u"Component name can't be empty"_qs;
        QTest::newRow("duplicate component")
            << u"addcom Door"_qs << u"Component with name Door is already in the project"_qs;
        QTest::newRow("empty state") << u"addsta Door ''"_qs << u"State cannot be empty"_qs;
        QTest::newRow("state without component") << u"addsta '' open"_qs << u"Component name cannot be empty"_qs;
        QTest::newRow("duplicate state") << u"addsta Door open"_qs
                                         << u"State [open] is already added in the component"_qs;
        QTest::newRow("same behavior other type") << u"addsta Door open 2"_qs << QString();
        QTest::newRow("empty RBT name") << u"addrbt ''"_qs << u"RBT Tag Name can't be empty"_qs;
        QTest::newRow("duplicate RBT") << u"addrbt T"_qs << u"RBT with tag name T is already added in the project"_qs;
        QTest::newRow("duplicate IBT") << u"adddbt D"_qs << u"IBT with name D is already added in the project"_qs;
        QTest::newRow("rename DBT to taken name")
            << u"moddbt E"_qs << u"DBT with name E is already added in the project"_qs;
        QTest::newRow("node without component") << u"addmsd '' open"_qs << u"Component can't be empty"_qs;
        QTest::newRow("node without behavior") << u"addmsd Door ''"_qs << u"State name can't be empty"_qs;
        QTest::newRow("tree copied into itself") << u"clotre"_qs << u"A tree cannot be copied into itself."_qs;
        // "full": the id counter is where no new element may be made
        const QString usedUp = u"Nothing can be added to this solution: it has used up its element ids."_qs;
        QTest::newRow("ids used up: requirement") << u"full addreq R9"_qs << usedUp;
        QTest::newRow("ids used up: node") << u"full addmsd Door open"_qs << usedUp;
        QTest::newRow("ids used up: IBT") << u"full adddbt F"_qs << usedUp;
        QTest::newRow("ids used up: a rename still works") << u"full moddbt F"_qs << QString();
    }

    void validation()
    {
        QFETCH(QString, command);
        QFETCH(QString, message);
        Fixture f;
        f.m.AddDBT(u"D"_qs);
        f.m.AddDBT(u"E"_qs);
        const int d = f.m.FindTree(KEL::DBTs, u"D"_qs)->GetId();
        QStringList w = command.split(u' ');
        if (w[0] == u"full") {
            w.removeFirst();
            QString text = f.m.BuildSolutionText();
            text.replace(QRegularExpression(u";maxcount:\\d+"_qs), u";maxcount:%1"_qs.arg(KEL::NewIdsEnd));
            QVERIFY(f.m.LoadSolutionText(text));
        }
        const QString before = f.m.BuildSolutionText();
        for (QString &s : w)
            s.remove(u'\'');
        bool ok = false;
        if (w[0] == u"addreq")
            ok = f.m.AddRequirement(w[1], u"d"_qs);
        else if (w[0] == u"modreq")
            ok = f.m.ChangeRequirement(f.r1, w[1], u"d"_qs);
        else if (w[0] == u"addcom")
            ok = f.m.AddComponent(w[1], false);
        else if (w[0] == u"addsta")
            ok = f.m.AddState(w[1], w[2], w.size() > 3 ? w[3].toInt() : 1, QString());
        else if (w[0] == u"addrbt")
            ok = f.m.AddRBT(w[1], {}, 50);
        else if (w[0] == u"adddbt")
            ok = f.m.AddDBT(w[1]);
        else if (w[0] == u"moddbt")
            ok = f.m.RenameDBT(d, w[1]);
        else if (w[0] == u"addmsd")
            ok = f.m.AddNode(f.tree, 0, TestKit::Node(w[1], w[2]), 0, 0);
        else if (w[0] == u"clotre")
            ok = f.m.CopyTree(f.tree, f.tree);
        if (message.isEmpty()) {
            QVERIFY(ok);
            QVERIFY(f.prompt.texts.isEmpty());
            return;
        }
        QVERIFY(!ok);
        QCOMPARE(f.prompt.texts, QStringList{message});
        QCOMPARE(f.prompt.captions, QStringList{u"Message"_qs});
        QCOMPARE(f.m.BuildSolutionText(), before);
    }

    void confirmations_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("question");
        QTest::newRow("requirement") << u"req"_qs
                                     << u"Are you sure that you want to remove the requirement of \"R1\" ?"_qs;
        QTest::newRow("RBT") << u"rbt"_qs << u"Are you sure that you want to remove the RBT \"T\" ?"_qs;
        QTest::newRow("DBT") << u"dbt"_qs << u"Are you sure that you want to remove the DBT \"D\" ?"_qs;
        QTest::newRow("state from requirement")
            << u"state"_qs << u"Are you sure that you want to remove the state from the requirement of \"R1\" ?"_qs;
    }

    void confirmations()
    {
        QFETCH(QString, what);
        QFETCH(QString, question);
        for (const CPrompt::Answer answer : {CPrompt::No, CPrompt::Yes}) {
            Fixture f;
            f.m.AddDBT(u"D"_qs);
            const int d = f.m.FindTree(KEL::DBTs, u"D"_qs)->GetId();
            const int state = f.m.FindComponent(u"Door"_qs)->FindState(u"[open]"_qs)->GetId();
            f.prompt.answers = {answer};
            const QString before = f.m.BuildSolutionText();
            bool ok = false;
            if (what == u"req")
                ok = f.m.RemoveRequirement(f.r1);
            else if (what == u"rbt")
                ok = f.m.RemoveRBT(f.tree);
            else if (what == u"dbt")
                ok = f.m.RemoveDBT(d);
            else
                ok = f.m.DetachState(state, f.r1);
            QCOMPARE(f.prompt.texts, QStringList{question});
            QCOMPARE(f.prompt.captions, QStringList{u"Confirm Message"_qs});
            QCOMPARE(ok, answer == CPrompt::Yes);
            QCOMPARE(f.m.BuildSolutionText() == before, answer == CPrompt::No);
        }
    }

    void sharedSolutionSendsInstead()
    {
        Fixture f;
        CRecordingSink sink;
        f.m.SetOperationSink(&sink);
        f.m.SetLocal(false);
        TestKit::Mutable(f.m.Solution())->SetModified(false);
        const QString before = f.m.BuildSolutionText();
        QVERIFY(f.m.AddRequirement(u"R3"_qs, u"d"_qs));
        QVERIFY(f.m.RemoveNode(f.b));
        QCOMPARE(sink.sent.size(), 2);
        QCOMPARE(f.m.BuildSolutionText(), before); // nothing until the server relays it
        QVERIFY(!f.m.Solution()->IsModified());
        // a "No" sends nothing
        f.prompt.answers = {CPrompt::No};
        QVERIFY(!f.m.RemoveRBT(f.tree));
        QCOMPARE(sink.sent.size(), 2);
        for (const QString &r : std::as_const(sink.sent))
            QVERIFY(f.m.ApplyOperationRecord(r));
        QVERIFY(f.m.FindRequirement(u"R3"_qs));
        QVERIFY(!f.n(f.b));
        QVERIFY(f.m.Solution()->IsModified());
    }

    void textTravelsUnchanged_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("hash") << u"#1 # two"_qs;
        QTest::newRow("full stops") << u"wait.. then... go."_qs;
        QTest::newRow("markers next to each other") << u":;.:.;..cm..hcm."_qs;
    }

    void textTravelsUnchanged()
    {
        QFETCH(QString, text);
        Fixture f;
        CRecordingSink sink;
        f.m.SetOperationSink(&sink);
        f.m.SetLocal(false);
        QVERIFY(f.m.AddRequirement(text, text));
        QVERIFY(f.m.AddComponent(text, false));
        CNodeAttributes a = TestKit::Node(text, text, 1, text);
        a.qualifier = text;
        a.hasExtendedTag = true;
        a.extendedTag = text;
        QVERIFY(f.m.ChangeNode(f.a, a));
        for (const QString &r : std::as_const(sink.sent)) {
            QVERIFY2(!r.contains(u'#') && !r.contains(u".."), qPrintable(r));
            QVERIFY(f.m.ApplyOperationRecord(r));
        }
        QCOMPARE(f.m.FindRequirement(text)->Description(), text);
        QVERIFY(f.m.FindComponent(text));
        QCOMPARE(CNodeAttributes::Of(*f.n(f.a)), a);
    }

    void removingLeavesNoDanglingReference()
    {
        Fixture f;
        auto *tree = static_cast<const CKELRBT *>(f.m.Lookup(f.tree));
        const CKELState *open = f.m.FindComponent(u"Door"_qs)->FindState(u"[open]"_qs);
        QCOMPARE(open->RequirementIds(), QList<int>{f.r1});
        QVERIFY(f.m.RemoveRequirement(f.r1));
        QVERIFY(tree->AssociatedRequirements().isEmpty());
        QVERIFY(tree->VChildIds().isEmpty());
        QVERIFY(open->RequirementIds().isEmpty());
        QVERIFY(open->VParentIds().isEmpty());

        QVERIFY(f.m.RemoveNode(f.b));
        QVERIFY(f.n(f.a)->ChildIds().isEmpty());
        QCOMPARE(f.n(f.c)->ParentId(), 0);
        QCOMPARE(tree->Roots().size(), 2);

        // a whole tree: its nodes leave the id map with it
        QVERIFY(f.m.RemoveRBT(f.tree));
        QVERIFY(!f.m.Lookup(f.a) && !f.m.Lookup(f.c) && !f.m.Lookup(f.tree));
    }

    void nodeLinks()
    {
        Fixture f;
        QVERIFY(!f.m.LinkNode(f.c, f.a)); // a is above c
        QVERIFY(!f.m.LinkNode(f.a, f.a));
        QVERIFY(f.m.LinkNode(f.a, f.c)); // moves c up, detaching it from b
        QCOMPARE(f.n(f.a)->ChildIds(), (QList<int>{f.b, f.c}));
        QVERIFY(f.n(f.b)->ChildIds().isEmpty());
        // linking to the parent it has detaches first: b goes to the end
        QVERIFY(f.m.LinkNode(f.a, f.b));
        QCOMPARE(f.n(f.a)->ChildIds(), (QList<int>{f.c, f.b}));
        QVERIFY(f.m.LinkNode(0, f.b));
        QCOMPARE(f.n(f.b)->ParentId(), 0);
        QCOMPARE(f.n(f.a)->ChildIds(), QList<int>{f.c});
        // a node of another tree is not a parent
        f.m.AddRBT(u"U"_qs, {}, 50);
        const int u = f.m.FindTree(KEL::RBTs, u"U"_qs)->GetId();
        QVERIFY(f.m.AddNode(u, 0, TestKit::Node(u"Door"_qs, u"open"_qs), 0, 0));
        QVERIFY(!f.m.LinkNode(f.m.MaxCount(), f.b));
    }

    void newNodeAddsItsBehavior()
    {
        Fixture f;
        // "closed" was added to Door by the fixture's second node, under R1
        const CKELState *closed = f.m.FindComponent(u"Door"_qs)->FindState(u"[closed]"_qs);
        QVERIFY(closed);
        QCOMPARE(closed->RequirementIds(), QList<int>{f.r1});
        // a component nobody added appears with the behavior
        QVERIFY(f.m.AddNode(f.tree, f.c, TestKit::Node(u"Bell"_qs, u"ring"_qs, 3, u"R2"_qs), 0, 0));
        QVERIFY(f.m.FindComponent(u"Bell"_qs));
        QVERIFY(f.m.FindComponent(u"Bell"_qs)->FindState(u"??ring??"_qs));
        // a change of a node leaves the components alone
        const int states = f.m.FindComponent(u"Door"_qs)->ChildCount();
        QVERIFY(f.m.ChangeNode(f.a, TestKit::Node(u"Door"_qs, u"ajar"_qs)));
        QCOMPARE(f.m.FindComponent(u"Door"_qs)->ChildCount(), states);
    }

    void newVersionCopies()
    {
        Fixture f;
        const CKELVersion *v1 = f.m.CurrentVersion();
        QVERIFY(f.m.NewVersion(u"2.0"_qs, v1->GetId()));
        QCOMPARE(f.m.CurrentVersion(), v1); // not current by itself
        const auto *v2 = static_cast<const CKELVersion *>(f.m.Solution()->Project()->ChildAt(1));
        QCOMPARE(v2->GetName(), u"2.0"_qs);
        const CKELRequirement *r1copy = f.m.FindRequirement(u"R1"_qs, v2);
        QVERIFY(r1copy && r1copy->GetId() != f.r1);
        QCOMPARE(r1copy->Description(), u"first"_qs);
        // copied states hang under the copied requirements only
        const CKELState *open2 = f.m.FindComponent(u"Door"_qs, v2)->FindState(u"[open]"_qs);
        QCOMPARE(open2->RequirementIds(), QList<int>{r1copy->GetId()});
        QCOMPARE(f.m.FindComponent(u"Door"_qs, v1)->FindState(u"[open]"_qs)->RequirementIds(), QList<int>{f.r1});
        // the tree with its three levels and its requirement
        auto *t2 = static_cast<const CKELRBT *>(f.m.FindTree(KEL::RBTs, u"T"_qs, v2));
        QCOMPARE(t2->AssociatedRequirements(), QList<int>{r1copy->GetId()});
        QCOMPARE(t2->Roots().size(), 1);
        const QList<const CKELMethod *> order = TreeOps::PreOrder(f.m, t2->Roots().first());
        QCOMPARE(order.size(), 3);
        QCOMPARE(order[1]->behavior, u"closed"_qs);
        QCOMPARE(order[2]->ParentId(), order[1]->GetId());
        // the copy survives a save and a load
        CKELDataManager back;
        QVERIFY(back.LoadSolutionText(f.m.BuildSolutionText()));
        QCOMPARE(back.BuildSolutionText(), f.m.BuildSolutionText());
    }

    void notifications()
    {
        Fixture f;
        TestKit::Mutable(f.m.Solution())->SetModified(false);
        QSignalSpy added(&f.m, &CKELDataManager::elementAdded);
        QSignalSpy aboutToRemove(&f.m, &CKELDataManager::elementAboutToBeRemoved);
        QSignalSpy removed(&f.m, &CKELDataManager::elementRemoved);
        QSignalSpy modified(&f.m, &CKELDataManager::modifiedChanged);

        QVERIFY(f.m.AddRequirement(u"R3"_qs, QString()));
        QCOMPARE(added.count(), 1);
        QCOMPARE(modified.count(), 1);
        TestKit::Mutable(f.m.Solution())->SetModified(false);

        // the element still resolves while listeners hear it is going
        int seenWhileGoing = -1;
        connect(&f.m, &CKELDataManager::elementAboutToBeRemoved, this,
                [&](int id) { seenWhileGoing = f.m.Lookup(id) ? id : 0; });
        QVERIFY(f.m.RemoveNode(f.c));
        QCOMPARE(seenWhileGoing, f.c);
        QCOMPARE(removed.count(), 1);

        TestKit::Mutable(f.m.Solution())->SetModified(false);
        // a refused record modifies nothing either
        QVERIFY(!f.m.ApplyOperationRecord(u"delreq;id:99999;"_qs));
        QVERIFY(!f.m.Solution()->IsModified());
    }

    // Tags and names are found through an index: it must follow renames,
    // removals and names shared by several elements of a damaged file.
    void lookupsFollowEveryChange()
    {
        Fixture f;
        QVERIFY(f.m.FindRequirement(u"R1"_qs));
        QVERIFY(f.m.ChangeRequirement(f.r1, u"R5"_qs, u"d"_qs));
        QVERIFY(!f.m.FindRequirement(u"R1"_qs));
        QCOMPARE(f.m.FindRequirement(u"R5"_qs)->GetId(), f.r1);
        QVERIFY(f.m.AddRequirement(u"R1"_qs, u"new"_qs));
        QCOMPARE(f.m.FindRequirement(u"R1"_qs)->Description(), u"new"_qs);
        QVERIFY(f.m.RemoveRequirement(f.m.FindRequirement(u"R1"_qs)->GetId()));
        QVERIFY(!f.m.FindRequirement(u"R1"_qs));
        QVERIFY(!f.m.FindRequirement(QString()));

        // two requirements share a tag: the first in the folder is the one found
        QString text = f.m.BuildSolutionText();
        text.replace(u"name:R2;"_qs, u"name:R5;"_qs);
        CKELDataManager m;
        QVERIFY(m.LoadSolutionText(text));
        CKELRequirement *first = TestKit::Mutable(m.FindRequirement(u"R5"_qs));
        QCOMPARE(first->GetId(), f.r1);
        CKELData::Destroy(first->GetParent()->TakeChild(first));
        QCOMPARE(m.FindRequirement(u"R5"_qs)->GetId(), f.r2);
        TestKit::Mutable(m.FindRequirement(u"R5"_qs))->SetName(u"R7"_qs);
        QVERIFY(!m.FindRequirement(u"R5"_qs));
        QCOMPARE(m.FindRequirement(u"R7"_qs)->GetId(), f.r2);
    }

    // Every client applies the relayed records in one order and must end with
    // the same model, byte for byte, whatever conflicts the records hold.
    void sameRecordsSameModel()
    {
        for (quint32 seed = 1; seed <= 20; ++seed) {
            CKELDataManager a;
            CKELDataManager b;
            a.NewSolution();
            b.NewSolution();
            // the second client looks at another version; records still land alike
            b.NewVersion(u"2"_qs, 3);
            a.NewVersion(u"2"_qs, 3);
            b.SetCurrentVersion(b.Solution()->Project()->ChildAt(1)->GetId());
            for (const QString &r : randomRecords(seed, 400)) {
                a.ApplyOperationRecord(r);
                b.ApplyOperationRecord(r);
            }
            b.SetCurrentVersion(3);
            QCOMPARE(a.BuildSolutionText(), b.BuildSolutionText());
            QVERIFY(acyclicAndConsistent(a));
        }
    }

    // Two users edit at once: each checks against its own model, the server
    // relays both records in one order, and both clients refuse the same one.
    void crossingRecordsConverge()
    {
        Fixture base;
        QVERIFY(base.m.AddNode(base.tree, 0, TestKit::Node(u"Door"_qs, u"open"_qs), 0, 0));
        const int d = base.m.MaxCount(); // a second root
        const QString start = base.m.BuildSolutionText();
        CKELDataManager a;
        CKELDataManager b;
        QVERIFY(a.LoadSolutionText(start));
        QVERIFY(b.LoadSolutionText(start));
        CRecordingSink sa;
        CRecordingSink sb;
        for (auto [m, s] : {std::pair{&a, &sa}, std::pair{&b, &sb}}) {
            m->SetLocal(false);
            m->SetOperationSink(s);
        }
        // both add R3; a puts the first root under d while b puts d under that
        // root's grandchild: each is sound alone, together they close a cycle
        QVERIFY(a.AddRequirement(u"R3"_qs, u"from a"_qs));
        QVERIFY(b.AddRequirement(u"R3"_qs, u"from b"_qs));
        QVERIFY(a.LinkNode(d, base.a));
        QVERIFY(b.LinkNode(base.c, d));
        const QStringList relayed = sa.sent + sb.sent;
        for (CKELDataManager *m : {&a, &b}) {
            for (const QString &r : relayed)
                m->ApplyOperationRecord(r);
        }
        QCOMPARE(a.BuildSolutionText(), b.BuildSolutionText());
        QCOMPARE(a.FindRequirement(u"R3"_qs)->Description(), u"from a"_qs);
        QVERIFY(acyclicAndConsistent(a));
    }
};

QTEST_GUILESS_MAIN(TestModelCommands)
#include "tst_modelcommands.moc"
