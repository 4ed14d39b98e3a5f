#include "uppaalwriter.h"

#include "identifier.h"
#include "salwriter.h"
#include "translatecontext.h"
#include "translatetexts.h"
#include "translateparsingmethods.h"

namespace {

using TranslateTexts::kEol;

using L1 = QStringView; // literals are copied as they stand, with no conversion

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
void transition(QString &out, const CTranslateUTrans &t, bool placed, bool emptyAssignment = false)
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
        CTranslateUTrans offer;
        offer.source = QStringLiteral("init_env");
        offer.target = id;
        offer.sync = entries[i];
        offer.syncAt = QPoint(x - 25, 120);
        transition(out, offer, true);
        CTranslateUTrans back;
        back.source = id;
        back.target = QStringLiteral("init_env");
        back.assignmentAt = QPoint(x + 35, 120);
        back.nails.append(QPoint(x + 15, 120));
        transition(out, back, true, true);
    }
    out += QStringLiteral("</template>") + kEol;
}

void process(QString &out, const CTranslateContext &ctx, int thread)
{
    const CTranslateCollections &c = ctx.Collections();
    const CUppaalProcess &p = c.processes[size_t(thread)];
    const auto id = [thread](int step) { return CTranslateParsingMethods::LocationId(thread, step); };
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

    if (c.startedThreads.count(thread)) {
        // every thread but the first is started by the branching above it
        CTranslateUTrans start;
        start.source = id(0);
        start.target = id(1);
        start.sync = QStringLiteral("startpro") + QString::number(thread) + u'?';
        transition(out, start, false);
    }
    for (const CTranslateUTrans &t : p.transitions)
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
        query(QStringLiteral("E<> process%1.").arg(node.thread)
                  + CTranslateParsingMethods::LocationId(node.thread, node.pc),
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

QString CUppaalWriter::Write(const CTranslateContext &ctx)
{
    const CTranslateCollections &c = ctx.Collections();
    // one allocation for the whole text: an edge takes about 110 characters, a location 90
    qsizetype edges = 2 * c.environment.Size();
    qsizetype locations = c.environment.Size();
    for (int t = 1; t <= c.ThreadCount(); ++t) {
        const CUppaalProcess &p = c.processes[size_t(t)];
        const qsizetype here = c.highestCounter[size_t(t)] + 1 + p.extraLocations.size();
        locations += here;
        edges += p.transitions.size() + 1 + (p.killable ? here : 0);
    }
    QString out;
    out.reserve(edges * 110 + locations * 90 + 4096);
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
    for (const QString &ch : c.jumpAndKillChannels.List())
        out += QStringLiteral("chan ") + ch + u';' + kEol;
    out += QStringLiteral("// Start channels") + kEol;
    for (int t : c.startedThreads)
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
        process(out, ctx, t);
        names.append(QStringLiteral("process") + QString::number(t));
    }
    names.append(QStringLiteral("env"));
    out += QStringLiteral("<system>system ") + names.join(u',') + QStringLiteral(";</system>") + kEol;
    if (ctx.Settings().properties)
        queries(out, ctx);
    out += QStringLiteral("</nta>");
    return out;
}
