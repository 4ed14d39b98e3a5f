// What a model-checker user relies on: names that stay apart, models that
// declare what they use, text the public grammars read, and no part of the
// tree dropped without a word. Random trees with hostile names carry most of
// the load.
#include "declarationcheck.h"
#include "randomsketch.h"
#include "salexplorer.h"
#include "salgrammar.h"
#include "translatetest.h"

#include "simulate/abstranslator.h"
#include "translate/behaviormodelbuilder.h"
#include "translate/identifiermap.h"
#include "translate/xmltranslator.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

using Kind = CIdentifierMap::Kind;

struct Name
{
    Kind kind;
    QString name;
    QString owner;
};

QString identifierOf(CIdentifierMap &map, const Name &n)
{
    switch (n.kind) {
    case CIdentifierMap::State: return map.StateName(n.owner, n.name);
    case CIdentifierMap::AttributeVariable: return map.AttributeVariableName(n.owner, n.name);
    case CIdentifierMap::AttributeValue: return map.AttributeValueName(n.owner, u"mode"_qs, n.name);
    case CIdentifierMap::Message: return map.MessageName(u"extInMsg_"_qs, n.owner, n.name);
    default: return map.Identifier(n.kind, n.name, n.owner);
    }
}

// A condition as "variable op", "!" in front when negated; a term without
// an operator (the message modes' own) stands as it is written.
QString condition(QString c)
{
    c = c.trimmed();
    QString negated;
    for (const QString &open : {u"NOT"_qs, u"not"_qs}) {
        if (c.startsWith(open) && c.endsWith(u')')) {
            c = c.mid(open.size()).trimmed().mid(1).chopped(1).trimmed();
            negated = u"!"_qs;
        }
    }
    static const QRegularExpression op(u"^([^=!/<>]+)([=!/<>]+)"_qs);
    const QRegularExpressionMatch m = op.match(c);
    if (!m.hasMatch())
        return negated + c;
    const QString o = m.captured(2);
    return negated + m.captured(1).trimmed() + (o == u"=" ? u"=="_qs : o == u"/=" ? u"!="_qs : o);
}

QString stepText(const QString &at, QStringList conditions, const QStringList &counters, int assignments)
{
    conditions.sort();
    return at + u" if "_qs + conditions.join(u" & "_qs) + u" -> "_qs + counters.join(u", "_qs) + u" | "_qs
           + QString::number(assignments);
}

// Where each counter ends up, by thread.
QStringList counterList(const QMap<int, int> &counters)
{
    QStringList out;
    for (auto c = counters.cbegin(); c != counters.cend(); ++c)
        out.append(QStringLiteral("pc%1'=%2").arg(c.key()).arg(c.value()));
    return out;
}

// Each step of an UPPAAL network: the location it leaves, its guard and
// message synchronisations, where every counter ends up after its chain of
// edges, and how many variables it sets. bareStarts gets the threads a step
// starts without killing them first ("pc1=2 starts 3").
QStringList uppaalSteps(const QString &text, QSet<QString> *bareStarts = nullptr)
{
    static const QRegularExpression edge(
        u"<transition><source ref=\"(p\\d+_[\\d_]+)\"/><target ref=\"([^\"]+)\"/>(.*)</transition>"_qs);
    static const QRegularExpression label(u"<label kind=\"(\\w+)\">([^<]*)</label>"_qs);
    static const QRegularExpression received(u"^(killpro|jumpToPro|startpro).*\\?$"_qs);
    static const QRegularExpression sent(u"^(kill|start|jumpTo)[Pp]ro(\\d+)(?:state(\\d+))?!$"_qs);
    static const QRegularExpression location(u"^p(\\d+)_(\\d+)$"_qs);
    struct Edge
    {
        QString target;
        QMap<QString, QString> labels;
    };
    QMultiMap<QString, Edge> from;
    for (auto it = edge.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        Edge e{m.captured(2), {}};
        for (auto l = label.globalMatch(m.captured(3)); l.hasNext();) {
            const QRegularExpressionMatch lm = l.next();
            QString value = lm.captured(2);
            e.labels.insert(
                lm.captured(1),
                value.replace(u"&lt;"_qs, u"<"_qs).replace(u"&gt;"_qs, u">"_qs).replace(u"&amp;"_qs, u"&"_qs));
        }
        if (!received.match(e.labels.value(u"synchronisation"_qs)).hasMatch())
            from.insert(m.captured(1), e);
    }
    const auto count = [](const QString &list) { return list.isEmpty() ? 0 : int(list.count(u", "_qs)) + 1; };
    QStringList out;
    for (auto it = from.cbegin(); it != from.cend(); ++it) {
        const QRegularExpressionMatch at = location.match(it.key());
        if (!at.hasMatch())
            continue; // the middle of a chain
        QStringList conditions;
        for (const QString &c : it->labels.value(u"guard"_qs).split(u" && "_qs, Qt::SkipEmptyParts))
            conditions.append(condition(c));
        QMap<int, int> counters;
        int assignments = count(it->labels.value(u"assignment"_qs));
        Edge e = *it;
        QSet<int> killed;
        for (int links = 0;; ++links) {
            const QString sync = e.labels.value(u"synchronisation"_qs);
            if (const QRegularExpressionMatch s = sent.match(sync); s.hasMatch()) {
                const int thread = s.captured(2).toInt();
                counters[thread] = s.captured(1) == u"kill" ? 0 : qMax(1, s.captured(3).toInt());
                if (s.captured(1) == u"kill")
                    killed.insert(thread);
                else if (s.captured(1) == u"start" && !killed.contains(thread) && bareStarts)
                    bareStarts->insert(u"pc"_qs + at.captured(1) + u'=' + at.captured(2) + u" starts "_qs
                                       + QString::number(thread));
            } else if (sync.endsWith(u'?') || sync.startsWith(u"intInMsg_"_qs)) {
                conditions.append(sync);
            }
            if (const QRegularExpressionMatch end = location.match(e.target); end.hasMatch()) {
                counters[end.captured(1).toInt()] = end.captured(2).toInt();
                break;
            }
            const QList<Edge> next = from.values(e.target);
            if (next.size() != 1 || links > 1000)
                return {u"a chain that does not go on at "_qs + e.target};
            e = next.first();
            assignments += count(e.labels.value(u"assignment"_qs));
        }
        out.append(stepText(u"pc"_qs + at.captured(1) + u'=' + at.captured(2), conditions, counterList(counters),
                            assignments));
    }
    out.sort();
    return out;
}

// The steps of the executable form as UPPAAL writes them: it receives
// messages on channels and leaves only where each counter ends up.
QStringList formSteps(const CBehaviorModel &form)
{
    static const char *const ops[] = {"==", "!=", "<", ">", "<=", ">="};
    QStringList out;
    for (const CBehaviorStep &s : form.steps) {
        QStringList conditions;
        for (const CBehaviorTest &t : s.tests) {
            const CBehaviorVariable &v = form.variables[size_t(t.variable)];
            if (v.kind == CBehaviorVariable::Message) // the handshake takes the flag's place
                conditions.append(v.identifier + u'?');
            else
                conditions.append((t.negated ? u"!"_qs : QString()) + v.identifier + QLatin1StringView(ops[t.op]));
        }
        for (int e : s.events)
            conditions.append(form.events[size_t(e)].identifier + u'?');
        int assignments = int(s.assignments.size());
        for (const CBehaviorAssignment &a : s.assignments) {
            const CBehaviorVariable &v = form.variables[size_t(a.variable)];
            if (v.kind != CBehaviorVariable::Message)
                continue;
            --assignments;
            if (a.value == 1) // a message set is a send on the same step
                conditions.append(v.identifier + u'!');
        }
        QMap<int, int> last;
        for (const auto &[thread, value] : s.counters)
            last[thread] = value;
        out.append(
            stepText(QStringLiteral("pc%1=%2").arg(s.thread).arg(s.pc), conditions, counterList(last), assignments));
    }
    out.sort();
    return out;
}

// The steps that start a thread which may still be running when they fire,
// as uppaalSteps names them: found by a walk of the states the form reaches.
QSet<QString> startsOfRunningThreads(const CBehaviorModel &form)
{
    const auto key = [](const CBehaviorState &s) {
        QByteArray k(reinterpret_cast<const char *>(s.values.data()), qsizetype(s.values.size() * 4));
        k.append(reinterpret_cast<const char *>(s.counters.data()), qsizetype(s.counters.size() * 4));
        return k;
    };
    QSet<QString> out;
    std::vector<CBehaviorState> queue{form.InitialState()};
    QSet<QByteArray> seen{key(queue.front())};
    for (size_t i = 0; i < queue.size() && queue.size() < 50000; ++i) {
        const CBehaviorState s = queue[i];
        for (int k : form.EnabledSteps(s, [](int) { return true; })) {
            const CBehaviorStep &step = form.steps[size_t(k)];
            for (const auto &[thread, value] : step.counters) {
                if (value != 0 && thread != step.thread && s.counters[size_t(thread)] != 0)
                    out.insert(QStringLiteral("pc%1=%2 starts %3").arg(step.thread).arg(step.pc).arg(thread));
            }
            CBehaviorState next = s;
            form.Fire(next, k);
            if (const QByteArray nk = key(next); !seen.contains(nk)) {
                seen.insert(nk);
                queue.push_back(std::move(next));
            }
        }
    }
    return out;
}

QString xmllintFault(const QString &xml, const QString &folder)
{
    const QString dtd = TranslateTest::ReferenceDtd();
    const QString xmllint = QStandardPaths::findExecutable(u"xmllint"_qs);
    if (!QFile::exists(dtd) || xmllint.isEmpty())
        return QString();
    const QString path = folder + u"/model.xml"_qs;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(xml.toUtf8()) < 0)
        return u"cannot write "_qs + path;
    f.close();
    QProcess p;
    p.start(xmllint, {u"--noout"_qs, u"--nonet"_qs, u"--dtdvalid"_qs, dtd, path});
    if (!p.waitForFinished(60000))
        return u"xmllint did not finish"_qs;
    return p.exitCode() == 0 ? QString() : QString::fromUtf8(p.readAllStandardError()).left(400);
}

} // namespace

class TestTranslateChecks : public QObject
{
    Q_OBJECT
private slots:
    void namesStayApart_data()
    {
        QTest::addColumn<int>("firstKind");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("firstOwner");
        QTest::addColumn<int>("secondKind");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("secondOwner");
        const int type = CIdentifierMap::ComponentType, var = CIdentifierMap::ComponentVariable,
                  state = CIdentifierMap::State, value = CIdentifierMap::AttributeValue,
                  attr = CIdentifierMap::AttributeVariable, msg = CIdentifierMap::Message;
        QTest::newRow("components that differ in case")
            << var << u"Door"_qs << QString() << var << u"door"_qs << QString();
        QTest::newRow("types that differ in case")
            << type << u"Door"_qs << QString() << type << u"door"_qs << QString();
        QTest::newRow("a blank and a hyphen")
            << state << u"half open"_qs << u"Door"_qs << state << u"half-open"_qs << u"Door"_qs;
        QTest::newRow("umlauts") << var << u"Tür"_qs << QString() << var << u"Tör"_qs << QString();
        QTest::newRow("a transliteration meets its ASCII name")
            << var << u"Tür"_qs << QString() << var << u"Tur"_qs << QString();
        QTest::newRow("two CJK names") << var << u"門"_qs << QString() << var << u"扉"_qs << QString();
        QTest::newRow("one value in two types")
            << state << u"closing"_qs << u"Door"_qs << value << u"closing"_qs << u"Motor"_qs;
        QTest::newRow("a component named like its own state")
            << var << u"door"_qs << QString() << state << u"door"_qs << u"door"_qs;
        QTest::newRow("a variable named like a type's UPPAAL form")
            << type << u"Door"_qs << QString() << var << u"iDoor"_qs << QString();
        QTest::newRow("attributes whose parts meet") << attr << u"b c"_qs << u"a"_qs << attr << u"c"_qs << u"a b"_qs;
        QTest::newRow("a component named like a message")
            << msg << u"open"_qs << u"Door"_qs << var << u"extInMsg_door_open"_qs << QString();
        QTest::newRow("UPPAAL built-in function") << var << u"exit"_qs << QString() << var << u"exit_"_qs << QString();
        QTest::newRow("UPPAAL query word")
            << state << u"probability"_qs << u"A"_qs << state << u"before_update"_qs << u"A"_qs;
        QTest::newRow("SAL keyword as a type")
            << type << u"OBSERVE"_qs << QString() << type << u"INVARIANT"_qs << QString();
        QTest::newRow("counter and process names")
            << var << u"pc1"_qs << QString() << var << u"process1"_qs << QString();
        QTest::newRow("clock and start channel")
            << var << u"globalClock"_qs << QString() << state << u"startpro1"_qs << u"A"_qs;
        QTest::newRow("environment and location")
            << var << u"env"_qs << QString() << state << u"pro1state2"_qs << u"A"_qs;
        QTest::newRow("a digit first and an underscore first")
            << var << u"2nd"_qs << QString() << var << u"_2nd"_qs << QString();
    }

    // Two different names never share an identifier, and neither is a word of
    // the languages or a name the translators declare; the same calls give the
    // same identifiers again, and the reverse table names the original.
    void namesStayApart()
    {
        QFETCH(int, firstKind);
        QFETCH(QString, first);
        QFETCH(QString, firstOwner);
        QFETCH(int, secondKind);
        QFETCH(QString, second);
        QFETCH(QString, secondOwner);
        const Name a{Kind(firstKind), first, firstOwner};
        const Name b{Kind(secondKind), second, secondOwner};

        CIdentifierMap map;
        const QString idA = identifierOf(map, a);
        const QString idB = identifierOf(map, b);
        QVERIFY2(idA != idB, qPrintable(idA));
        QVERIFY2(DeclarationCheck::Injectivity(map.Entries()).isEmpty(),
                 qPrintable(DeclarationCheck::Injectivity(map.Entries())));
        QCOMPARE(map.Find(idA)->name, first.trimmed());
        QCOMPARE(map.Find(idB)->name, second.trimmed());

        CIdentifierMap again;
        QCOMPARE(identifierOf(again, a), idA);
        QCOMPARE(identifierOf(again, b), idB);
    }

    void changedNamesListed_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QStringList>("notListed");
        QTest::newRow("plain names, no table")
            << u"1|Door|closed\n  1|Door|open"_qs << QStringList() << QStringList{u"% Identifiers"_qs};
        QTest::newRow("a blank") << u"1|traffic light|red\n  1|traffic light|green"_qs
                                 << QStringList{u"% Traffic_light = traffic light\r\n"_qs,
                                                u"% traffic_light = traffic light\r\n"_qs}
                                 << QStringList{u"% red"_qs};
        QTest::newRow("a state that meets another")
            << u"1|Door|half open\n  1|Door|half-open"_qs
            << QStringList{u"% half_open = half open (Door)\r\n"_qs, u"% door_half_open = half-open (Door)\r\n"_qs}
            << QStringList();
        QTest::newRow("states named like generated names")
            << u"1|A|pro12state3_4\n  1|A|jumpToPro2state1\n    1|A|killpro7\n      1|A|reach3"_qs
            << QStringList{u"% pro12state3_4_ = pro12state3_4 (A)\r\n"_qs, u"% jumpToPro2state1_ = "_qs,
                           u"% killpro7_ = killpro7 (A)\r\n"_qs, u"% reach3_ = reach3 (A)\r\n"_qs}
            << QStringList();
        QTest::newRow("names that only start like generated ones")
            << u"1|A|pro1state\n  1|A|pro1state2_\n    1|A|killpro\n      1|A|pc1x"_qs << QStringList()
            << QStringList{u"% Identifiers"_qs};
        QTest::newRow("a name over two lines stays one comment line")
            << u"1|Door|a\n  1|Door|b"_qs.replace(u"|a"_qs, u"|a\u2028b"_qs) << QStringList{u"= a b (Door)\r\n"_qs}
            << QStringList();
    }

    // The comment table lets a user read a counterexample: every changed name,
    // on one line each, before the context.
    void changedNamesListed()
    {
        QFETCH(QString, sketch);
        QFETCH(QStringList, listed);
        QFETCH(QStringList, notListed);
        CTranslateSALMain sal;
        sal.Settings().displayTime = false;
        const QString text = TranslateTest::Translate(sal, sketch);
        const QString head = text.left(text.indexOf(u":CONTEXT"_qs));
        for (const QString &line : listed)
            QVERIFY2(head.contains(line), qPrintable(line + u" in\n"_qs + head));
        for (const QString &line : notListed)
            QVERIFY2(!head.contains(line), qPrintable(line));
        QVERIFY2(SalGrammar::Checker(NameSalContext(text, u"T"_qs)).Check().isEmpty(),
                 qPrintable(SalGrammar::Checker(NameSalContext(text, u"T"_qs)).Check()));
    }

    void translation_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<bool>("uppaal");
        QTest::addColumn<QString>("range"); // empty: the default
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QStringList>("absent");
        const QString mixed = u"1|A|mode := 0\n  3|U|go\n    1|A|mode := fast"_qs;
        QTest::newRow("a name after a number")
            << mixed << false << QString()
            << QStringList{u"Parsing error: An attribute takes values of two kinds: A mode (node 1: A mode := 0; "
                           u"node 3: A mode := fast)"_qs}
            << QStringList();
        QTest::newRow("a count after a name")
            << u"1|A|mode := slow\n  1|A|mode++"_qs << true << QString()
            << QStringList{u"Parsing error: An attribute takes values of two kinds: A mode"_qs} << QStringList();
        QTest::newRow("a number beyond 32 bits")
            << u"1|A|a\n  1|A|n := 99999999999"_qs << false << QString()
            << QStringList{u"Parsing error: A number does not fit in 32 bits: 99999999999 (node 2: A n := 99999999999)"_qs}
            << QStringList();
        QTest::newRow("an empty behavior")
            << u"1|A|a\n  1|A| "_qs << false << QString()
            << QStringList{u"Parsing error: A component, behavior, attribute or value name is empty (node 2: A )"_qs}
            << QStringList();
        QTest::newRow("an empty component")
            << u"1|A|a\n  1| |b"_qs << true << QString()
            << QStringList{u"Parsing error: A component, behavior, attribute or value name is empty (node 2:   b)"_qs}
            << QStringList();
        QTest::newRow("names only: an enumeration")
            << mixed.left(mixed.lastIndexOf(u'0')) + u"slow\n  3|U|go\n    1|A|mode := fast"_qs << false << QString()
            << QStringList{u"A_mode: TYPE={slow,fast};"_qs, u"a_mode: A_mode"_qs} << QStringList{u"INTEGER"_qs};
        QTest::newRow("a count gets a finite range and a start")
            << u"1|A|a\n  3|U|go\n    1|A|n++"_qs << false << QString()
            << QStringList{u"a_n: [0 .. 255]"_qs, u"a_n=0;"_qs,
                           u"% Integer attributes that no declaration bounds range over 0 .. 255\r\n"_qs}
            << QStringList{u"INTEGER"_qs};
        QTest::newRow("the range from the settings, widened to the tree's numbers")
            << u"1|A|a\n  3|U|go\n    1|A|n := -1\n      2|A|n < 9"_qs << false << u"2..5"_qs
            << QStringList{u"a_n: [-1 .. 9]"_qs, u"a_n=0;"_qs, u"a_n'= -1"_qs} << QStringList{u"'=-"_qs};
        QTest::newRow("UPPAAL: a bounded int and no clock")
            << u"1|A|a\n  3|U|go\n    1|A|n--"_qs << true << QString()
            << QStringList{u"int[0,255] a_n=0;"_qs, u"// Integer attributes"_qs}
            << QStringList{u"clock"_qs, u"startpro"_qs};
        QTest::newRow("UPPAAL: a value in two types is qualified")
            << u"1|Door|closing\n  1|Motor|closing"_qs << true << QString()
            << QStringList{u"const int closing=0;"_qs, u"const int motor_closing=0;"_qs} << QStringList();
        QTest::newRow("UPPAAL: a kill of a receiver's branch receives nothing")
            << u"1|Pump|off\n  3|User|start\n    1|Pump|on\n      7|Ctrl|go\n        1|Alarm|on\n      3|User|ping\n"
               u"        8|Ctrl|go\n      3|User|stop\n        7|Ctrl|go|!\n          1|Pump|off"_qs
            << true << QString() << QStringList{u"intInMsg_ctrl_go!"_qs} << QStringList{u"Parsing error"_qs};
        QTest::newRow("SAL: a value in two types is qualified")
            << u"1|Door|closing\n  1|Motor|closing"_qs << false << QString()
            << QStringList{u"Door: TYPE={closing};"_qs, u"Motor: TYPE={motor_closing};"_qs} << QStringList();
    }

    // Types come from every use; numbers fit; names are never empty; what a
    // checker reads declares what it uses.
    void translation()
    {
        QFETCH(QString, sketch);
        QFETCH(bool, uppaal);
        QFETCH(QString, range);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, absent);
        CTranslateSALMain sal;
        CTranslateUPPAAL upp;
        CTranslateSALMain &translator = uppaal ? upp : sal;
        translator.Settings().displayTime = false;
        if (!range.isEmpty())
            QVERIFY(
                CTranslateSettings::ParseIntRange(range, translator.Settings().intLow, translator.Settings().intHigh));
        const QString text = TranslateTest::Translate(translator, sketch);
        for (const QString &e : expected)
            QVERIFY2(text.contains(e), qPrintable(e + u"\nin\n"_qs + text));
        for (const QString &a : absent)
            QVERIFY2(!text.contains(a), qPrintable(a + u"\nin\n"_qs + text));
        if (text.startsWith(u"Parsing error"_qs))
            return;
        const QString fault = uppaal ? DeclarationCheck::Uppaal(text) : DeclarationCheck::Sal(text);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }

    void severalRoots_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char *kind : {"sal", "uppaal", "xml", "zeph"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }

    // An integration halfway done or a list of exported nodes has several
    // roots: every translation refuses them rather than translate the first.
    void severalRoots()
    {
        QFETCH(QString, kind);
        CKELDataManager m;
        const CKELTree *tree = TreeSketch::AddTree(m, u"1|A|a\n  1|A|b\n1|B|c\n1|C|d"_qs);
        QString message;
        try {
            if (kind == u"xml") {
                XMLTranslator xml(TranslateTest::Settings(QDir::tempPath()));
                xml.Export(m, *tree);
            } else if (kind == u"zeph") {
                const QString text = Zeph::TranslateTree(m, *tree, 10, false, &message);
                QVERIFY(text.isEmpty());
            } else {
                CTranslateSALMain sal;
                CTranslateUPPAAL uppaal;
                (kind == u"sal" ? sal : uppaal).Translate(m, tree->GetId());
            }
        } catch (const CTranslateException &e) {
            message = e.Message();
        }
        QCOMPARE(message, u"Parsing error: The tree has 3 roots; join them under one root or translate one subtree"_qs);
    }

    void grammarCatchesLexerTraps_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("parses");
        const QString head = u"t:CONTEXT=\r\nBEGIN\r\nm:MODULE=\r\nBEGIN\r\nLOCAL\r\nx: "_qs;
        const QString tail = u"\r\nINITIALIZATION\r\nx=0;\r\nTRANSITION\r\n[\r\nA1:x=0-->\r\n\tx'=%1;\r\n[]\r\n\r\n"
                             u"A2: ELSE --> \r\n]\r\nEND;\r\nEND\r\n"_qs;
        QTest::newRow("blanks around ..") << head + u"[0 .. 1]"_qs + tail.arg(u"1"_qs) << true;
        QTest::newRow("a numeral right before ..") << head + u"[0..1]"_qs + tail.arg(u"1"_qs) << false;
        QTest::newRow("a blank after =") << head + u"[-1 .. 1]"_qs + tail.arg(u" -1"_qs) << true;
        QTest::newRow("= right before -") << head + u"[-1 .. 1]"_qs + tail.arg(u"-1"_qs) << false;
        QTest::newRow("a letter outside ASCII")
            << head + u"[0 .. 1]"_qs + tail.arg(u"1"_qs).replace(u"A1"_qs, u"Ä1"_qs) << false;
        QTest::newRow("a reserved word as a name")
            << QString(head).replace(u"m:MODULE"_qs, u"OBSERVE:MODULE"_qs) + u"[0 .. 1]"_qs + tail.arg(u"1"_qs)
            << false;
    }

    // The grammar check of the tests knows the public lexer's traps, so that the
    // random trees below would catch a writer that falls into them.
    void grammarCatchesLexerTraps()
    {
        QFETCH(QString, text);
        QFETCH(bool, parses);
        const QString fault = SalGrammar::Checker(text).Check();
        QVERIFY2(fault.isEmpty() == parses, qPrintable(fault));
    }

    void modelsMove_data()
    {
        QTest::addColumn<QString>("sketch");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("failureViews");
        const QString busyReceiver = u"1|A|idle\n  3|U|go\n    1|P|start\n      8|M|msg\n    1|Q|prep\n      7|M|msg\n"
                                     u"        1|Q|done"_qs;
        for (int mode : {1, 2, 4})
            QTest::newRow(qPrintable(QStringLiteral("mode %1: a receiver busy before its input").arg(mode)))
                << busyReceiver << mode << false;
        const QString goTo = u"1|A|idle\n  3|U|go\n    1|A|busy\n      3|U|again\n        1|A|busy|="_qs;
        QTest::newRow("a go-to") << goTo << 1 << false;
        QTest::newRow("a go-to with failure views") << goTo << 1 << true;
        const QString otherThread = u"1|A|idle\n  3|U|go\n    3|U|left\n      1|A|left\n    3|U|right\n      1|B|on\n"
                                    u"        3|U|back\n          1|A|left|="_qs;
        QTest::newRow("a go-to into another thread with failure views") << otherThread << 2 << true;
        QTest::newRow("a reversion in mode 4")
            << u"1|A|idle\n  3|U|go\n    1|A|busy\n      3|U|stop\n        1|A|idle2\n          3|U|go|^"_qs << 4
            << false;
    }

    // Every leaf of a small tree is reached, and no run ends with a thread that
    // has not finished yet nothing can move: what a model checker finds when it
    // checks the properties the translation adds.
    void modelsMove()
    {
        QFETCH(QString, sketch);
        QFETCH(int, mode);
        QFETCH(bool, failureViews);
        CTranslateSALMain sal;
        sal.Settings().displayTime = false;
        sal.Settings().messageMode = mode;
        sal.Settings().useFailureViews = failureViews;
        sal.Settings().properties = true;
        const QString text = TranslateTest::Translate(sal, sketch);
        QVERIFY2(!text.startsWith(u"Parsing error"_qs), qPrintable(text));
        const SalExplorer::Model model(text);
        QVERIFY(!model.Commands().isEmpty());
        const QList<SalExplorer::State> states = model.Reachable();
        static const QRegularExpression reach(
            QStringLiteral("(reach\\d+): THEOREM behavior \\|- G\\(NOT\\((pc\\d+) = (\\d+)\\)\\);"));
        int leaves = 0;
        for (auto it = reach.globalMatch(text); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            ++leaves;
            const bool reached = std::any_of(states.cbegin(), states.cend(), [&](const SalExplorer::State &s) {
                return s.value(m.captured(2)) == m.captured(3);
            });
            QVERIFY2(reached, qPrintable(m.captured(1) + u" is never reached\n"_qs + text));
        }
        QVERIFY(leaves > 0);
        for (const SalExplorer::State &s : states) {
            if (!model.Next(s).isEmpty())
                continue;
            for (auto v = s.cbegin(); v != s.cend(); ++v)
                QVERIFY2(!v.key().startsWith(u"pc"_qs) || v.value() == u"0",
                         qPrintable(v.key() + u" is stuck at "_qs + v.value() + u"\n"_qs + text));
        }
    }

    // Hundreds of random trees with hostile names, in every message mode, with
    // and without failure views and properties: each translation that succeeds
    // has injective identifiers, declares what it uses exactly once, parses
    // with the public lexer's rules and, for UPPAAL, is valid by the DTD.
    void randomTrees()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const int trees = qEnvironmentVariableIntValue("VERDANTIS_RANDOM_TREES") > 0
                              ? qEnvironmentVariableIntValue("VERDANTIS_RANDOM_TREES")
                              : 300;
        int translated = 0;
        QMap<QString, int> refusals; // why, to tell what the generator should make less of
        for (int seed = 1; seed <= trees; ++seed) {
            const QString sketch = RandomSketch::Sketch(unsigned(seed), {5 + seed % 40, true});
            for (const bool uppaal : {false, true}) {
                CKELDataManager m;
                const CKELTree *tree = TreeSketch::AddTree(m, sketch);
                CTranslateSALMain sal;
                CTranslateUPPAAL upp;
                CTranslateSALMain &translator = uppaal ? upp : sal;
                CTranslateSettings &s = translator.Settings();
                s.displayTime = false;
                s.messageMode = std::array{1, 2, 4}[size_t(seed % 3)];
                s.useFailureViews = seed % 2;
                s.properties = seed % 4 < 2;
                std::optional<CTranslationResult> result;
                try {
                    result = translator.Translate(m, tree->GetId());
                } catch (const CTranslateException &e) {
                    ++refusals[e.Text().left(30)];
                    if (qEnvironmentVariableIsSet("VERDANTIS_SHOW_REFUSALS"))
                        qInfo("%s\n%s", qPrintable(e.Text()), qPrintable(sketch));
                    continue; // the generator makes trees the rules refuse, too
                }
                ++translated;
                const QString what =
                    QStringLiteral("seed %1, %2:\n").arg(seed).arg(uppaal ? u"UPPAAL"_qs : u"SAL"_qs) + sketch;
                QString fault = DeclarationCheck::Injectivity(result->identifiers);
                if (fault.isEmpty() && uppaal) {
                    fault = DeclarationCheck::Uppaal(result->text);
                    if (fault.isEmpty() && !s.properties)
                        fault = xmllintFault(result->text, folder.path());
                } else if (fault.isEmpty()) {
                    fault = SalGrammar::Checker(NameSalContext(result->text, u"T"_qs)).Check();
                    if (fault.isEmpty())
                        fault = DeclarationCheck::Sal(result->text);
                }
                QVERIFY2(fault.isEmpty(), qPrintable(fault + u"\n"_qs + what));
            }
        }
        // a generator whose trees the translator always refuses would test nothing
        QString why;
        for (auto it = refusals.cbegin(); it != refusals.cend(); ++it)
            why += QStringLiteral("\n%1 x %2").arg(it.value()).arg(it.key());
        QVERIFY2(translated >= trees / 2, qPrintable(QString::number(translated) + why));
    }

    // UPPAAL writes a step as an edge, or as a chain of edges whose
    // synchronisations kill, start and send on other threads. Followed to its
    // end, each chain must leave every counter where the form's step puts it,
    // with the step's conditions, and a start must never wait for a thread
    // that still runs: random trees in every message mode.
    void chainsAreTheFormsSteps_data()
    {
        QTest::addColumn<QString>("given"); // empty: a corpus of random trees
        QTest::newRow("random trees") << QString();
        // the go-to brings thread 1 back above the branching while "User panic" still waits
        QTest::newRow("a go-to above a branching")
            << u"1|A|off\n  3|U|arm\n    1|A|ready\n      1|A|armed\n        3|S|tripped\n          1|A|ready|=\n"
               "        3|U|panic\n          1|B|on"_qs;
        // the reversion's own node makes its target's test again, on the edge of the step it ends
        QTest::newRow("a reversion that tests, atomic after a test")
            << u"1|Pump|off\n  3|U|go\n    2|Tank|full\n      1|Pump|on\n        2|Valve|open\n"
               "          2|Tank|full|*^"_qs;
    }

    void chainsAreTheFormsSteps()
    {
        QFETCH(QString, given);
        int compared = 0;
        for (int seed = 1; seed <= (given.isEmpty() ? 150 : 1); ++seed) {
            const QString sketch =
                given.isEmpty() ? RandomSketch::Sketch(unsigned(seed), {5 + seed % 30, true}) : given;
            CKELDataManager m;
            const CKELTree *tree = TreeSketch::AddTree(m, sketch);
            CTranslateUPPAAL translator;
            translator.Settings().displayTime = false;
            translator.Settings().messageMode = std::array{1, 2, 4}[size_t(seed % 3)];
            translator.Settings().useFailureViews = seed % 2;
            QString text;
            CBehaviorModel form;
            try {
                text = translator.Translate(m, tree->GetId())->text;
                form = CBehaviorModelBuilder::FromTree(m, *tree, translator.Settings().messageMode);
            } catch (const CTranslateException &) {
                continue; // refusals are the subject of randomTrees
            }
            ++compared;
            QVERIFY(!form.steps.empty());
            QSet<QString> bareStarts;
            QCOMPARE(uppaalSteps(text, &bareStarts), formSteps(form));
            // a start waits for a stopped thread, where the form restarts a running one
            const QSet<QString> blocked = bareStarts & startsOfRunningThreads(form);
            QVERIFY2(blocked.isEmpty(), qPrintable(QStringList(blocked.cbegin(), blocked.cend()).join(u", "_qs)));
        }
        QVERIFY(compared >= (given.isEmpty() ? 60 : 1)); // UPPAAL refuses atomic blocks with two synchronisations
    }
};

QTEST_GUILESS_MAIN(TestTranslateChecks)
#include "tst_translatechecks.moc"
