#include "uppaalwriter.h"

#include "identifier.h"
#include "salwriter.h"
#include "translatecontext.h"
#include "translateexception.h"
#include "translatetexts.h"

#include "semantics/behaviormodel.h"

#include <QPoint>
#include <QSet>
#include <QVarLengthArray>

#include <algorithm>

namespace {

using TranslateTexts::kEol;

using L1 = QStringView; // literals are copied as they stand, with no conversion

struct CUppaalLocation
{
    QString id;
    QString name;
    int x = 0, y = 0;
    int nameX = 0, nameY = 0;
    QString invariant;
    bool committed = false;
    bool killable = true; // a committed one only where a kill may find its process in it
};

// One edge of a process template.
struct CUppaalEdge
{
    QString source;
    QString target;
    QString guard;
    QString sync;
    QString assignment;
    QPoint guardAt, syncAt, assignmentAt;
    QList<QPoint> nails;
};

struct CUppaalProcess
{
    QList<CUppaalLocation> extraLocations; // committed places of synchronisation chains
    QList<CUppaalEdge> transitions;
    QSet<QString> jumpChannels; // received; one edge each
    bool killable = false;
};

// The processes the steps make, and the channels they declare.
struct CUppaalNetwork
{
    std::vector<CUppaalProcess> processes; // by thread, 1..T
    COrderedNames jumpAndKillChannels;
    std::set<int> startedThreads; // threads a branching sends "startpro"
};

// The location of a thread's counter value; 0 is the disabled location.
QString locationId(int thread, int step)
{
    QString id;
    id.reserve(24); // one allocation: asked for every location and edge end
    id += QLatin1StringView("pro");
    AppendNumber(id, thread);
    id += QLatin1StringView("state");
    AppendNumber(id, step);
    return id;
}

void at(QString &out, int x, int y)
{
    out += L1(u" x=\"");
    AppendNumber(out, x);
    out += L1(u"\" y=\"");
    AppendNumber(out, y);
    out += u'"';
}

// A location's XML id, which only the document's own references see:
// "pro12state34_5" is written "p12_34_5". The location keeps its full name
// for queries and the editor. Other ids (env, init_env) stand as they are.
void appendId(QString &out, const QString &id)
{
    if (id.startsWith(L1(u"pro"))) {
        qsizetype digits = 3;
        while (digits < id.size() && id[digits].isDigit())
            ++digits;
        if (digits > 3 && QStringView(id).mid(digits).startsWith(L1(u"state"))) {
            out += u'p';
            out += QStringView(id).mid(3, digits - 3);
            out += u'_';
            out += QStringView(id).mid(digits + 5);
            return;
        }
    }
    AppendXmlEscaped(out, id);
}

// Process locations keep their own place, so that the editor shows the
// thread as a column of steps, but leave their name's place to the editor:
// a large tree has hundreds of thousands of them.
void location(QString &out, const CUppaalLocation &l, bool namePlaced = false)
{
    out += L1(u"<location id=\"");
    appendId(out, l.id);
    out += u'"';
    at(out, l.x, l.y);
    out += L1(u"><name");
    if (namePlaced)
        at(out, l.nameX, l.nameY);
    out += u'>';
    AppendXmlEscaped(out, l.name);
    out += L1(u"</name>");
    if (!l.invariant.isEmpty()) {
        out += L1(u"<label kind=\"invariant\">");
        AppendXmlEscaped(out, l.invariant);
        out += L1(u"</label>");
    }
    if (l.committed)
        out += L1(u"<committed/>");
    out += L1(u"</location>\r\n");
}

void label(QString &out, QStringView kind, const QPoint *p, const QString &text)
{
    out += L1(u"<label kind=\"");
    out += kind;
    out += u'"';
    if (p)
        at(out, p->x(), p->y());
    out += u'>';
    AppendXmlEscaped(out, text);
    out += L1(u"</label>");
}

// The environment's few edges keep their labels' places and a line each;
// a process edge is one line whose labels the editor places, which halves
// what the many edges of a large tree cost.
void transition(QString &out, const CUppaalEdge &t, bool placed, bool emptyAssignment = false)
{
    const QStringView eol = placed ? L1(u"\r\n") : QStringView();
    out += L1(u"<transition>");
    out += eol;
    out += L1(u"<source ref=\"");
    appendId(out, t.source);
    out += L1(u"\"/>");
    out += eol;
    out += L1(u"<target ref=\"");
    appendId(out, t.target);
    out += L1(u"\"/>");
    out += eol;
    if (!t.guard.isEmpty()) {
        label(out, L1(u"guard"), placed ? &t.guardAt : nullptr, t.guard);
        out += eol;
    }
    if (!t.sync.isEmpty()) {
        label(out, L1(u"synchronisation"), placed ? &t.syncAt : nullptr, t.sync);
        out += eol;
    }
    if (!t.assignment.isEmpty() || emptyAssignment) {
        label(out, L1(u"assignment"), placed ? &t.assignmentAt : nullptr, t.assignment);
        out += eol;
    }
    for (const QPoint &n : t.nails) {
        out += L1(u"<nail");
        at(out, n.x(), n.y());
        out += L1(u"/>");
        out += eol;
    }
    out += L1(u"</transition>\r\n");
}

QString uppaalType(const CAttributeVariable &v)
{
    switch (v.kind) {
    case CAttributeVariable::Boolean: return QStringLiteral("bool");
    case CAttributeVariable::Enumerated: return u'i' + v.typeName;
    case CAttributeVariable::Integer: break;
    }
    return v.low.isEmpty() ? QStringLiteral("int") : QStringLiteral("int[%1,%2]").arg(v.low, v.high);
}

void typeDeclaration(QString &out, const QString &typeName, const QStringList &values)
{
    out += QStringLiteral("typedef int[0,%1] i").arg(values.size() - 1) + XmlEscaped(typeName) + u';' + kEol;
    QStringList constants;
    for (qsizetype i = 0; i < values.size(); ++i)
        constants.append(XmlEscaped(values[i]) + u'=' + QString::number(i));
    out += QStringLiteral("const int ") + constants.join(QStringLiteral(", ")) + u';' + kEol;
}

void environment(QString &out, const CTranslateCollections &c)
{
    out += QStringLiteral("<template>") + kEol + QStringLiteral("<name x=\"32\" y=\"16\">env</name>") + kEol;
    location(out, {QStringLiteral("init_env"), QStringLiteral("init_env"), 64, 80, -8, 48, {}, false, true}, true);
    const QStringList &entries = c.environment.List();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const int x = 64 + 120 * int(i);
        const QString id = QStringLiteral("env") + QString::number(i + 1);
        location(out, {id, id, x, 180, x - 25, 180, {}, false, true}, true);
    }
    out += QStringLiteral("<init ref=\"init_env\"/>") + kEol;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const int x = 64 + 120 * int(i);
        const QString id = QStringLiteral("env") + QString::number(i + 1);
        CUppaalEdge offer;
        offer.source = QStringLiteral("init_env");
        offer.target = id;
        offer.sync = entries[i];
        offer.syncAt = QPoint(x - 25, 120);
        transition(out, offer, true);
        CUppaalEdge back;
        back.source = id;
        back.target = QStringLiteral("init_env");
        back.assignmentAt = QPoint(x + 35, 120);
        back.nails.append(QPoint(x + 15, 120));
        transition(out, back, true, true);
    }
    out += QStringLiteral("</template>") + kEol;
}

// A value as UPPAAL writes it.
void appendUppaalValue(QString &out, const CBehaviorVariable &v, int value)
{
    switch (v.kind) {
    case CBehaviorVariable::State:
    case CBehaviorVariable::Enumerated:
        if (value >= 0 && value < v.valueIdentifiers.size())
            out += v.valueIdentifiers.at(value);
        return;
    case CBehaviorVariable::Boolean:
    case CBehaviorVariable::Message: out += QLatin1StringView(value ? "true" : "false"); return;
    case CBehaviorVariable::Integer: break;
    }
    AppendNumber(out, value);
}

QLatin1StringView uppaalOpText(CBehaviorTest::Op op)
{
    switch (op) {
    case CBehaviorTest::Eq: break;
    case CBehaviorTest::Ne: return QLatin1StringView("!=");
    case CBehaviorTest::Lt: return QLatin1StringView("<");
    case CBehaviorTest::Gt: return QLatin1StringView(">");
    case CBehaviorTest::Le: return QLatin1StringView("<=");
    case CBehaviorTest::Ge: return QLatin1StringView(">=");
    }
    return QLatin1StringView("==");
}

// Turns the form's steps into edges: a step is one edge when it has at most
// one synchronisation, else a chain through committed locations, one
// synchronisation per edge.
class CUppaalEdges
{
public:
    CUppaalEdges(const CBehaviorModel &form, int threads) : m_form(form)
    {
        m_net.processes.resize(size_t(threads) + 1);
    }

    void Add(const CBehaviorStep &s)
    {
        using Part = CBehaviorStep::Part;
        CUppaalEdge first;
        // whether the step takes or sends an internal message
        bool messages = false;
        qsizetype tests = 0, events = 0, assignments = 0, outputs = 0;
        s.ForEachPart([&](Part part) {
            switch (part) {
            case Part::Test: {
                const qsizetype i = tests++;
                const CBehaviorTest &t = s.tests[i];
                const CBehaviorVariable &v = m_form.variables[size_t(t.variable)];
                if (v.kind == CBehaviorVariable::Message) {
                    // taking the message is the synchronisation
                    messages = true;
                    addSync(first, v.identifier + u'?');
                    break;
                }
                const QString guard = guardText(v, t);
                if (s.jumpTests && i == s.tests.size() - 1 && !first.guard.isEmpty())
                    first.guard += QStringLiteral(" && ") + guard; // the target's test, made again by the jump
                else
                    addGuard(first, guard);
                break;
            }
            case Part::Event: addSync(first, m_form.events[size_t(s.events[events++])].identifier + u'?'); break;
            case Part::Assignment: {
                const CBehaviorAssignment &a = s.assignments[assignments++];
                const CBehaviorVariable &v = m_form.variables[size_t(a.variable)];
                if (v.kind != CBehaviorVariable::Message) {
                    addAssignment(first, assignmentText(v, a));
                } else if (a.value) {
                    // one send per receiver: more than one cannot share an edge
                    messages = true;
                    for (int r = 0; r < v.receivers; ++r)
                        addSync(first, v.identifier + u'!');
                }
                break;
            }
            case Part::Output: addSync(first, m_form.outputs[size_t(s.outputs[outputs++])].identifier + u'!'); break;
            case Part::SetTest:
            case Part::SetAssignment: break; // a translation with sets writes no UPPAAL
            }
        });

        // where each other thread's counter ends up, the last change winning,
        // by thread
        QVarLengthArray<QPair<int, int>, 8> others;
        int own = 0;
        for (const auto &[t, value] : s.counters) {
            if (t == s.thread) {
                own = value;
                continue;
            }
            const auto known = std::find_if(others.begin(), others.end(), [t](const auto &o) { return o.first == t; });
            if (known != others.end())
                known->second = value;
            else
                others.append({t, value});
        }
        std::sort(others.begin(), others.end());

        // A stopped thread is killed; a started child waits in its disabled
        // location. A jump moves a thread wherever it stands, so it is killed
        // first and sent on from its disabled location.
        // A start is received only where the thread is stopped: a branching
        // that a go-to brings back may find its threads still running, and
        // restarts them as a jump does.
        QStringList kills;
        QStringList moves;
        for (const auto &[t, value] : others) {
            if (value == 0) {
                kills.append(killChannel(t));
            } else if (!s.jump) {
                if (s.restartsThreads)
                    kills.append(killChannel(t));
                moves.append(QStringLiteral("startpro") + QString::number(t) + u'!');
                m_net.startedThreads.insert(t);
            } else {
                kills.append(killChannel(t));
                moves.append(jumpChannel(t, value));
            }
        }
        QStringList extra = kills + moves;

        // one synchronisation per edge: the rest follow through committed locations
        CUppaalProcess &process = m_net.processes[size_t(s.thread)];
        if (first.sync.isEmpty() && !extra.isEmpty())
            first.sync = extra.takeFirst();
        QString from = locationId(s.thread, s.pc);
        CUppaalEdge current = std::move(first);
        for (qsizetype k = 0; k < extra.size(); ++k) {
            CUppaalLocation chain;
            chain.id = chain.name = locationId(s.thread, s.pc) + u'_' + QString::number(k + 1);
            chain.x = kLeft + kColumn * (int(k) + 1);
            chain.y = s.pc == 0 ? 20 : 100 + 20 + kColumn * (s.pc - 1);
            chain.nameX = chain.x - 70;
            chain.nameY = chain.y;
            chain.committed = true;
            // A message pairs two processes, both of which may then stand in a
            // chain, and a kill from one must not wait for the other to finish.
            chain.killable = messages;
            process.extraLocations.append(chain);
            current.source = from;
            current.target = chain.id;
            process.transitions.append(current);
            current = CUppaalEdge();
            current.sync = extra[k];
            from = chain.id;
        }
        current.source = from;
        current.target = locationId(s.thread, own);
        process.transitions.append(current);
    }

    CUppaalNetwork Take() { return std::move(m_net); }

private:
    static constexpr int kColumn = 120;
    static constexpr int kLeft = 64;

    QString guardText(const CBehaviorVariable &v, const CBehaviorTest &t) const
    {
        QString g;
        if (t.negated)
            g += QLatin1StringView("not(");
        g += v.identifier;
        g += uppaalOpText(t.op);
        appendUppaalValue(g, v, t.value);
        if (t.negated)
            g += u')';
        return g;
    }

    static QString assignmentText(const CBehaviorVariable &v, const CBehaviorAssignment &a)
    {
        QString text = v.identifier;
        text += u'=';
        if (a.add) {
            text += v.identifier;
            text += a.value < 0 ? u'-' : u'+';
            AppendNumber(text, a.value < 0 ? -qint64(a.value) : a.value);
        } else {
            appendUppaalValue(text, v, a.value);
        }
        return text;
    }

    static void addGuard(CUppaalEdge &e, const QString &guard)
    {
        if (!e.guard.isEmpty())
            throw CTranslateException(TranslateTexts::UppaalGuards() + guard);
        e.guard = guard;
    }

    static void addSync(CUppaalEdge &e, const QString &sync)
    {
        if (!e.sync.isEmpty())
            throw CTranslateException(TranslateTexts::UppaalSynchronisations() + sync);
        e.sync = sync;
    }

    static void addAssignment(CUppaalEdge &e, const QString &assignment)
    {
        if (!e.assignment.isEmpty())
            e.assignment += QLatin1StringView(", ");
        e.assignment += assignment;
    }

    QString killChannel(int thread)
    {
        const QString channel = QStringLiteral("killpro") + QString::number(thread);
        m_net.jumpAndKillChannels.Add(channel);
        m_net.processes[size_t(thread)].killable = true;
        return channel + u'!';
    }

    QString jumpChannel(int thread, int step)
    {
        const QString channel = QStringLiteral("jumpToPro%1state%2").arg(thread).arg(step);
        m_net.jumpAndKillChannels.Add(channel);
        CUppaalProcess &p = m_net.processes[size_t(thread)];
        if (!p.jumpChannels.contains(channel)) {
            // the jumping edge stops the thread first, so it is received where a stopped thread waits
            p.jumpChannels.insert(channel);
            CUppaalEdge e;
            e.source = locationId(thread, 0);
            e.target = locationId(thread, step);
            e.sync = channel + u'?';
            p.transitions.append(e);
        }
        return channel + u'!';
    }

    const CBehaviorModel &m_form;
    CUppaalNetwork m_net;
};

void process(QString &out, const CTranslateContext &ctx, const CUppaalNetwork &net, int thread)
{
    const CTranslateCollections &c = ctx.Collections();
    const CUppaalProcess &p = net.processes[size_t(thread)];
    const auto id = [thread](int step) { return locationId(thread, step); };
    out += L1(u"<template>\r\n<name x=\"32\" y=\"16\">process");
    AppendNumber(out, thread);
    out += L1(u"</name>\r\n<declaration/>\r\n");

    QList<CUppaalLocation> all;
    all.reserve(c.highestCounter[size_t(thread)] + 1 + p.extraLocations.size());
    all.append({id(0), QStringLiteral("disabled"), 64, 20, -8, 20, {}, false, true});
    all.append({id(1), id(1), 64, 120, -8, 120, {}, false, true});
    for (int n = 2; n <= c.highestCounter[size_t(thread)]; ++n) {
        const int y = 120 + 120 * (n - 1);
        const QString name = id(n);
        all.append({name, name, 64, y, 64 - 70, y, {}, false, true});
    }
    all += p.extraLocations;
    for (const CUppaalLocation &l : std::as_const(all))
        location(out, l);
    const bool running = c.initialThreads.count(thread) != 0;
    out += L1(u"<init ref=\"");
    appendId(out, id(running ? 1 : 0));
    out += L1(u"\"/>\r\n");

    if (net.startedThreads.count(thread)) {
        // every thread but the first is started by the branching above it
        CUppaalEdge start;
        start.source = id(0);
        start.target = id(1);
        start.sync = QStringLiteral("startpro") + QString::number(thread) + u'?';
        transition(out, start, false);
    }
    for (const CUppaalEdge &t : p.transitions)
        transition(out, t, false);
    if (p.killable) {
        // from everywhere, the disabled location included, so that a kill never
        // blocks. A step runs at once, so the committed middle of a chain is
        // left out where no other process can stand in a chain meanwhile.
        // Each edge is written on one line, its label where the editor puts it.
        QString tail = L1(u"\"/><target ref=\"").toString();
        appendId(tail, id(0));
        tail += L1(u"\"/><label kind=\"synchronisation\">killpro");
        AppendNumber(tail, thread);
        tail += L1(u"?</label></transition>\r\n");
        for (const CUppaalLocation &l : std::as_const(all)) {
            if (l.committed && !l.killable)
                continue;
            out += L1(u"<transition><source ref=\"");
            appendId(out, l.id);
            out += tail;
        }
    }
    out += L1(u"\r\n</template>\r\n");
}

// No deadlock, and every leaf reachable: a leaf is reached when its
// thread stands at the location of its step.
void queries(QString &out, const CTranslateContext &ctx)
{
    const auto query = [&out](const QString &formula, const QString &comment) {
        out += L1(u"<query>\r\n<formula>");
        AppendXmlEscaped(out, formula);
        out += L1(u"</formula>\r\n<comment>");
        AppendXmlEscaped(out, comment);
        out += L1(u"</comment>\r\n</query>\r\n");
    };
    out += L1(u"<queries>\r\n");
    query(QStringLiteral("A[] not deadlock"), QStringLiteral("The network never deadlocks"));
    for (int n = 1; n <= ctx.NodeCount(); ++n) {
        const CTranslateNode &node = ctx.Node(n);
        if (!node.IsLeaf() || node.initBlock || node.thread <= 0)
            continue;
        query(QStringLiteral("E<> process%1.").arg(node.thread) + locationId(node.thread, node.pc),
              QStringLiteral("node %1: ").arg(n) + CSalWriter::CommentText(ctx.Describe(n)));
    }
    out += L1(u"</queries>\r\n");
}

} // namespace

QString CUppaalWriter::DocTypeWithQueries()
{
    return QStringLiteral("<!DOCTYPE nta PUBLIC '-//Uppaal Team//DTD Flat System 1.2//EN' "
                          "'http://www.it.uu.se/research/group/darts/uppaal/flat-1_2.dtd'>");
}

QString CUppaalWriter::DocType()
{
    return QStringLiteral("<!DOCTYPE nta PUBLIC '-//Uppaal Team//DTD Flat System 1.1//EN' "
                          "'http://www.it.uu.se/research/group/darts/uppaal/flat-1_1.dtd'>");
}

QString CUppaalWriter::Write(const CTranslateContext &ctx, const CBehaviorModel &form)
{
    const CTranslateCollections &c = ctx.Collections();
    CUppaalEdges edges(form, c.ThreadCount());
    for (const CBehaviorStep &s : form.steps)
        edges.Add(s);
    const CUppaalNetwork net = edges.Take();
    // one allocation for the whole text: an edge takes about 110 characters, a location 90
    qsizetype edgeCount = 2 * c.environment.Size();
    qsizetype locations = c.environment.Size();
    for (int t = 1; t <= c.ThreadCount(); ++t) {
        const CUppaalProcess &p = net.processes[size_t(t)];
        const qsizetype here = c.highestCounter[size_t(t)] + 1 + p.extraLocations.size();
        locations += here;
        edgeCount += p.transitions.size() + 1 + (p.killable ? here : 0);
    }
    QString out;
    out.reserve(edgeCount * 110 + locations * 90 + 4096);
    out += QStringLiteral("<?xml version='1.0' encoding='utf-8'?>")
           + (ctx.Settings().properties ? DocTypeWithQueries() : DocType()) + QStringLiteral("<nta>");

    out += kEol + QStringLiteral("<declaration>") + kEol;
    out += XmlEscaped(CSalWriter::Header(ctx, u"// "));
    out += QStringLiteral("// Local channels") + kEol;
    for (const QString &m : c.internalMessages.List())
        out += QStringLiteral("chan ") + XmlEscaped(m) + u';' + kEol;
    out += QStringLiteral("// External channels") + kEol;
    for (const QString &e : c.environment.List())
        out += QStringLiteral("chan ") + XmlEscaped(e.chopped(1)) + u';' + kEol;
    out += QStringLiteral("// Jump and Kill channels") + kEol;
    for (const QString &ch : net.jumpAndKillChannels.List())
        out += QStringLiteral("chan ") + ch + u';' + kEol;
    out += QStringLiteral("// Start channels") + kEol;
    for (int t : net.startedThreads)
        out += QStringLiteral("chan startpro%1;").arg(t) + kEol;

    out += kEol + QStringLiteral("//Declaration of variable types") + kEol;
    for (const CStateComponent &comp : c.components)
        typeDeclaration(out, comp.typeName, comp.values.List());
    for (const CAttributeVariable &v : c.attributes) {
        if (v.kind == CAttributeVariable::Enumerated)
            typeDeclaration(out, v.typeName, v.values.List());
    }

    out += kEol + QStringLiteral("// Declaration of variables") + kEol;
    for (const CStateComponent &comp : c.components) {
        out += u'i' + XmlEscaped(comp.typeName) + u' ' + XmlEscaped(comp.variable);
        if (!comp.initial.isEmpty())
            out += u'=' + XmlEscaped(comp.initial);
        out += u';' + kEol;
    }
    for (const CAttributeVariable &v : c.attributes) {
        out += XmlEscaped(uppaalType(v)) + u' ' + XmlEscaped(v.name);
        if (!v.initial.isEmpty()) {
            out += u'=' + XmlEscaped(v.initial);
        }
        out += u';' + kEol;
    }
    out += QStringLiteral("</declaration>") + kEol;

    environment(out, c);
    QStringList names;
    for (int t = 1; t <= c.ThreadCount(); ++t) {
        process(out, ctx, net, t);
        names.append(QStringLiteral("process") + QString::number(t));
    }
    names.append(QStringLiteral("env"));
    out += QStringLiteral("<system>system ") + names.join(u',') + QStringLiteral(";</system>") + kEol;
    if (ctx.Settings().properties)
        queries(out, ctx);
    out += QStringLiteral("</nta>");
    return out;
}
