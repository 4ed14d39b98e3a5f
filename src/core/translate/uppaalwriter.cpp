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

// A location of the environment, its name placed.
struct CUppaalLocation
{
    QString id;
    QString name;
    int x = 0, y = 0;
    int nameX = 0, nameY = 0;
};

// An edge of the environment, its label placed: it offers a message, or
// it returns with an empty assignment.
struct CUppaalEdge
{
    QString source;
    QString target;
    QString sync; // empty: the way back
    QPoint labelAt;
    QList<QPoint> nails;
};

// A synchronisation that a step's chain sends to another thread.
struct CUppaalSend
{
    enum Kind : quint8 { Kill, Start, Jump };
    Kind kind = Kill;
    int thread = 0;
    int value = 0; // a jump: the counter value it sends the thread to
};

// A committed location in the middle of a step's chain.
struct CUppaalLink
{
    int pc = 0;            // the step's counter value
    int link = 0;          // its place in the chain, from 1
    bool killable = false; // the step pairs with another process, which may kill this one meanwhile
};

struct CUppaalProcess
{
    QString edges;                  // its steps' edges and the jumps it receives, as written
    std::vector<CUppaalLink> links; // committed places of synchronisation chains
    QSet<int> jumpTargets;          // counter values a jump sends it to: one receiving edge each
    bool killable = false;          // another step kills it: every location takes "killpro"
    bool started = false;           // a branching sends it "startpro"
};

// The processes the steps make, and the channels they declare.
struct CUppaalNetwork
{
    std::vector<CUppaalProcess> processes; // by thread, 1..T
    QStringList jumpAndKillChannels;       // as the steps first use them
};

// A location's name: "pro12state34", in a chain "pro12state34_5".
void appendLocationName(QString &out, int thread, int step, int link = 0)
{
    out += QLatin1StringView("pro");
    AppendNumber(out, thread);
    out += QLatin1StringView("state");
    AppendNumber(out, step);
    if (link) {
        out += u'_';
        AppendNumber(out, link);
    }
}

// A location's XML id, which only the document's own references see:
// "pro12state34_5" is written "p12_34_5". The location keeps its full name
// for queries and the editor.
void appendLocationRef(QString &out, int thread, int step, int link = 0)
{
    out += u'p';
    AppendNumber(out, thread);
    out += u'_';
    AppendNumber(out, step);
    if (link) {
        out += u'_';
        AppendNumber(out, link);
    }
}

void at(QString &out, int x, int y)
{
    out += L1(u" x=\"");
    AppendNumber(out, x);
    out += L1(u"\" y=\"");
    AppendNumber(out, y);
    out += u'"';
}

void location(QString &out, const CUppaalLocation &l)
{
    out += L1(u"<location id=\"");
    AppendXmlEscaped(out, l.id);
    out += u'"';
    at(out, l.x, l.y);
    out += L1(u"><name");
    at(out, l.nameX, l.nameY);
    out += u'>';
    AppendXmlEscaped(out, l.name);
    out += L1(u"</name></location>\r\n");
}

// Process locations keep their own place, so that the editor shows the
// thread as a column of steps, but leave their name's place to the editor:
// a large tree has hundreds of thousands of them.
void processLocation(QString &out, int thread, int step, int link, bool committed)
{
    constexpr int kColumn = 120;
    out += L1(u"<location id=\"");
    appendLocationRef(out, thread, step, link);
    out += u'"';
    at(out, 64 + kColumn * link, step == 0 ? 20 : 120 + kColumn * (step - 1));
    out += L1(u"><name>");
    if (step == 0 && link == 0)
        out += L1(u"disabled");
    else
        appendLocationName(out, thread, step, link);
    out += L1(u"</name>");
    if (committed)
        out += L1(u"<committed/>");
    out += L1(u"</location>\r\n");
}

void label(QString &out, QStringView kind, const QPoint &p, const QString &text)
{
    out += L1(u"<label kind=\"");
    out += kind;
    out += u'"';
    at(out, p.x(), p.y());
    out += u'>';
    AppendXmlEscaped(out, text);
    out += L1(u"</label>");
}

// The environment's few edges keep their labels' places and a line each;
// a process edge is one line whose labels the editor places, which halves
// what the many edges of a large tree cost.
void transition(QString &out, const CUppaalEdge &t)
{
    out += L1(u"<transition>\r\n<source ref=\"");
    AppendXmlEscaped(out, t.source);
    out += L1(u"\"/>\r\n<target ref=\"");
    AppendXmlEscaped(out, t.target);
    out += L1(u"\"/>\r\n");
    if (t.sync.isEmpty())
        label(out, L1(u"assignment"), t.labelAt, QString());
    else
        label(out, L1(u"synchronisation"), t.labelAt, t.sync);
    out += kEol;
    for (const QPoint &n : t.nails) {
        out += L1(u"<nail");
        at(out, n.x(), n.y());
        out += L1(u"/>\r\n");
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
    location(out, {QStringLiteral("init_env"), QStringLiteral("init_env"), 64, 80, -8, 48});
    const QStringList &entries = c.environment.List();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const int x = 64 + 120 * int(i);
        const QString id = QStringLiteral("env") + QString::number(i + 1);
        location(out, {id, id, x, 180, x - 25, 180});
    }
    out += QStringLiteral("<init ref=\"init_env\"/>") + kEol;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const int x = 64 + 120 * int(i);
        const QString id = QStringLiteral("env") + QString::number(i + 1);
        CUppaalEdge offer;
        offer.source = QStringLiteral("init_env");
        offer.target = id;
        offer.sync = entries[i];
        offer.labelAt = QPoint(x - 25, 120);
        transition(out, offer);
        CUppaalEdge back;
        back.source = id;
        back.target = QStringLiteral("init_env");
        back.labelAt = QPoint(x + 35, 120);
        back.nails.append(QPoint(x + 15, 120));
        transition(out, back);
    }
    out += QStringLiteral("</template>") + kEol;
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

void appendUppaalSend(QString &out, const CUppaalSend &send)
{
    switch (send.kind) {
    case CUppaalSend::Kill: out += QLatin1StringView("killpro"); break;
    case CUppaalSend::Start: out += QLatin1StringView("startpro"); break;
    case CUppaalSend::Jump: out += QLatin1StringView("jumpToPro"); break;
    }
    AppendNumber(out, send.thread);
    if (send.kind == CUppaalSend::Jump) {
        out += QLatin1StringView("state");
        AppendNumber(out, send.value);
    }
}

// Turns the form's steps into edges, written as they come into their
// process's text: a step is one edge when it has at most one
// synchronisation, else a chain through committed locations, one
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
        m_guard.truncate(0);
        m_sync.truncate(0);
        m_assignment.truncate(0);
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
                    addSync(v.identifier, u'?');
                } else if (m_guard.isEmpty()) {
                    appendGuard(m_guard, v, t);
                } else if (s.jumpTests && i == s.tests.size() - 1) {
                    m_guard += QLatin1StringView(" && "); // the target's test, made again by the jump
                    appendGuard(m_guard, v, t);
                } else {
                    QString guard;
                    appendGuard(guard, v, t);
                    throw CTranslateException(TranslateTexts::UppaalGuards() + guard);
                }
                break;
            }
            case Part::Event: addSync(m_form.events[size_t(s.events[events++])].identifier, u'?'); break;
            case Part::Assignment: {
                const CBehaviorAssignment &a = s.assignments[assignments++];
                const CBehaviorVariable &v = m_form.variables[size_t(a.variable)];
                if (v.kind != CBehaviorVariable::Message) {
                    appendAssignment(v, a);
                } else if (a.value) {
                    // one send per receiver: more than one cannot share an edge
                    messages = true;
                    for (int r = 0; r < v.receivers; ++r)
                        addSync(v.identifier, u'!');
                }
                break;
            }
            case Part::Output: addSync(m_form.outputs[size_t(s.outputs[outputs++])].identifier, u'!'); break;
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
        QVarLengthArray<CUppaalSend, 8> sends;
        QVarLengthArray<CUppaalSend, 8> moves;
        for (const auto &[t, value] : others) {
            if (value == 0 || s.jump || s.restartsThreads)
                sends.append(kill(t));
            if (value == 0)
                continue;
            if (s.jump) {
                moves.append(jump(t, value));
            } else {
                moves.append({CUppaalSend::Start, t, 0});
                m_net.processes[size_t(t)].started = true;
            }
        }
        sends.append(moves.cbegin(), moves.size());

        // one synchronisation per edge: the rest follow through committed locations
        CUppaalProcess &process = m_net.processes[size_t(s.thread)];
        QString &out = process.edges;
        const int first = m_sync.isEmpty() && !sends.isEmpty() ? 1 : 0;
        const int links = int(sends.size()) - first;
        for (int link = 0; link <= links; ++link) {
            out += L1(u"<transition><source ref=\"");
            appendLocationRef(out, s.thread, s.pc, link);
            out += L1(u"\"/><target ref=\"");
            if (link < links)
                appendLocationRef(out, s.thread, s.pc, link + 1);
            else
                appendLocationRef(out, s.thread, own);
            out += L1(u"\"/>");
            if (link == 0) {
                if (!m_guard.isEmpty()) {
                    out += L1(u"<label kind=\"guard\">");
                    AppendXmlEscaped(out, m_guard);
                    out += L1(u"</label>");
                }
                if (first) {
                    out += L1(u"<label kind=\"synchronisation\">");
                    appendUppaalSend(out, sends[0]);
                    out += L1(u"!</label>");
                } else if (!m_sync.isEmpty()) {
                    out += L1(u"<label kind=\"synchronisation\">");
                    AppendXmlEscaped(out, m_sync);
                    out += L1(u"</label>");
                }
                if (!m_assignment.isEmpty()) {
                    out += L1(u"<label kind=\"assignment\">");
                    AppendXmlEscaped(out, m_assignment);
                    out += L1(u"</label>");
                }
            } else {
                out += L1(u"<label kind=\"synchronisation\">");
                appendUppaalSend(out, sends[first + link - 1]);
                out += L1(u"!</label>");
            }
            out += L1(u"</transition>\r\n");
            // A message pairs two processes, both of which may then stand in a
            // chain, and a kill from one must not wait for the other to finish.
            if (link < links)
                process.links.push_back({s.pc, link + 1, messages});
        }
    }

    CUppaalNetwork Take() { return std::move(m_net); }

private:
    static void appendGuard(QString &out, const CBehaviorVariable &v, const CBehaviorTest &t)
    {
        if (t.negated)
            out += QLatin1StringView("not(");
        out += v.identifier;
        out += uppaalOpText(t.op);
        AppendFormValue(out, v, t.value, false);
        if (t.negated)
            out += u')';
    }

    void appendAssignment(const CBehaviorVariable &v, const CBehaviorAssignment &a)
    {
        if (!m_assignment.isEmpty())
            m_assignment += QLatin1StringView(", ");
        m_assignment += v.identifier;
        m_assignment += u'=';
        if (a.add) {
            m_assignment += v.identifier;
            m_assignment += a.value < 0 ? u'-' : u'+';
            AppendNumber(m_assignment, a.value < 0 ? -qint64(a.value) : a.value);
        } else {
            AppendFormValue(m_assignment, v, a.value, false);
        }
    }

    void addSync(const QString &channel, QChar direction)
    {
        if (!m_sync.isEmpty())
            throw CTranslateException(TranslateTexts::UppaalSynchronisations() + channel + direction);
        m_sync += channel;
        m_sync += direction;
    }

    CUppaalSend kill(int thread)
    {
        CUppaalProcess &p = m_net.processes[size_t(thread)];
        if (!p.killable) {
            p.killable = true;
            m_net.jumpAndKillChannels.append(QStringLiteral("killpro") + QString::number(thread));
        }
        return {CUppaalSend::Kill, thread, 0};
    }

    CUppaalSend jump(int thread, int step)
    {
        CUppaalProcess &p = m_net.processes[size_t(thread)];
        const CUppaalSend send{CUppaalSend::Jump, thread, step};
        if (!p.jumpTargets.contains(step)) {
            // the jumping edge stops the thread first, so it is received where a stopped thread waits
            p.jumpTargets.insert(step);
            QString channel;
            appendUppaalSend(channel, send);
            m_net.jumpAndKillChannels.append(channel);
            p.edges += L1(u"<transition><source ref=\"");
            appendLocationRef(p.edges, thread, 0);
            p.edges += L1(u"\"/><target ref=\"");
            appendLocationRef(p.edges, thread, step);
            p.edges += L1(u"\"/><label kind=\"synchronisation\">");
            p.edges += channel;
            p.edges += L1(u"?</label></transition>\r\n");
        }
        return send;
    }

    const CBehaviorModel &m_form;
    CUppaalNetwork m_net;
    // the step's first edge: reused, so that a step allocates nothing
    QString m_guard;
    QString m_sync;
    QString m_assignment;
};

void process(QString &out, const CTranslateContext &ctx, const CUppaalNetwork &net, int thread)
{
    const CTranslateCollections &c = ctx.Collections();
    const CUppaalProcess &p = net.processes[size_t(thread)];
    const int highest = c.highestCounter[size_t(thread)];
    out += L1(u"<template>\r\n<name x=\"32\" y=\"16\">process");
    AppendNumber(out, thread);
    out += L1(u"</name>\r\n<declaration/>\r\n");

    for (int n = 0; n <= std::max(highest, 1); ++n)
        processLocation(out, thread, n, 0, false);
    for (const CUppaalLink &l : p.links)
        processLocation(out, thread, l.pc, l.link, true);
    const bool running = c.initialThreads.count(thread) != 0;
    out += L1(u"<init ref=\"");
    appendLocationRef(out, thread, running ? 1 : 0);
    out += L1(u"\"/>\r\n");

    if (p.started) {
        // every thread but the first is started by the branching above it
        out += L1(u"<transition><source ref=\"");
        appendLocationRef(out, thread, 0);
        out += L1(u"\"/><target ref=\"");
        appendLocationRef(out, thread, 1);
        out += L1(u"\"/><label kind=\"synchronisation\">startpro");
        AppendNumber(out, thread);
        out += L1(u"?</label></transition>\r\n");
    }
    out += p.edges;
    if (p.killable) {
        // from everywhere, the disabled location included, so that a kill never
        // blocks. A step runs at once, so the committed middle of a chain is
        // left out where no other process can stand in a chain meanwhile.
        // Each edge is written on one line, its label where the editor puts it.
        QString tail = L1(u"\"/><target ref=\"").toString();
        appendLocationRef(tail, thread, 0);
        tail += L1(u"\"/><label kind=\"synchronisation\">killpro");
        AppendNumber(tail, thread);
        tail += L1(u"?</label></transition>\r\n");
        const auto kill = [&out, &tail, thread](int step, int link) {
            out += L1(u"<transition><source ref=\"");
            appendLocationRef(out, thread, step, link);
            out += tail;
        };
        for (int n = 0; n <= std::max(highest, 1); ++n)
            kill(n, 0);
        for (const CUppaalLink &l : p.links) {
            if (l.killable)
                kill(l.pc, l.link);
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
        QString formula = QStringLiteral("E<> process%1.").arg(node.thread);
        appendLocationName(formula, node.thread, node.pc);
        query(formula, QStringLiteral("node %1: ").arg(n) + CSalWriter::CommentText(ctx.Describe(n)));
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
    // one allocation for the whole text: a location and its kill edge take
    // about 90 characters each, an environment edge 110
    qsizetype edgeText = 0;
    qsizetype locations = c.environment.Size();
    qsizetype killEdges = 0;
    for (int t = 1; t <= c.ThreadCount(); ++t) {
        const CUppaalProcess &p = net.processes[size_t(t)];
        const qsizetype here = c.highestCounter[size_t(t)] + 2 + qsizetype(p.links.size());
        edgeText += p.edges.size();
        locations += here;
        killEdges += p.killable ? here : 0;
    }
    QString out;
    out.reserve(edgeText + (locations + killEdges) * 90 + c.environment.Size() * 220 + 4096);
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
    for (const QString &ch : net.jumpAndKillChannels)
        out += QStringLiteral("chan ") + ch + u';' + kEol;
    out += QStringLiteral("// Start channels") + kEol;
    for (int t = 1; t <= c.ThreadCount(); ++t) {
        if (net.processes[size_t(t)].started)
            out += QStringLiteral("chan startpro%1;").arg(t) + kEol;
    }

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
