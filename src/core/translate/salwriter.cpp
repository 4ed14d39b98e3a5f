#include "salwriter.h"

#include "identifier.h"
#include "translatecontext.h"
#include "translatetexts.h"

namespace {

using TranslateTexts::kEol;

QString attributeType(const CAttributeVariable &v)
{
    switch (v.kind) {
    case CAttributeVariable::Boolean: return QStringLiteral("BOOLEAN");
    case CAttributeVariable::Enumerated: return v.typeName;
    case CAttributeVariable::Integer: break;
    }
    // blanks around "..": a numeral right before it reads as a decimal number
    return v.low.isEmpty() ? QStringLiteral("INTEGER") : u'[' + v.low + QStringLiteral(" .. ") + v.high + u']';
}

void typeLine(QString &out, const QString &name, const QStringList &values)
{
    out += name + QStringLiteral(": TYPE={") + values.join(u',') + QStringLiteral("};") + kEol;
}

QString setPrefix(const CSetType &type)
{
    return QStringLiteral("set{") + type.name + QStringLiteral(";}!");
}

} // namespace

QString CSalWriter::Header(const CTranslateContext &ctx, QStringView comment)
{
    QString out;
    const QString table = ctx.Names().ChangedTable(comment, kEol);
    if (!table.isEmpty())
        out +=
            comment.toString() + QStringLiteral("Identifiers that differ from the names of the tree:") + kEol + table;
    if (ctx.Collections().usesDefaultRange)
        out += comment.toString() + QStringLiteral("Integer attributes that no declaration bounds range over ")
               + QString::number(ctx.Settings().intLow) + QStringLiteral(" .. ")
               + QString::number(ctx.Settings().intHigh) + kEol;
    return out;
}

QString CSalWriter::Properties(const CTranslateContext &ctx)
{
    // a leaf is reached when its thread's counter stands at its step: the
    // counterexample of "never there" is a run that gets there
    QString out;
    for (int n = 1; n <= ctx.NodeCount(); ++n) {
        const CTranslateNode &node = ctx.Node(n);
        if (!node.IsLeaf() || node.initBlock || node.thread <= 0)
            continue;
        out += QStringLiteral("% node %1: ").arg(n) + CommentText(ctx.Describe(n)) + kEol;
        out += QStringLiteral("reach%1: THEOREM behavior |- G(NOT(pc%2 = %3));").arg(n).arg(node.thread).arg(node.pc)
               + kEol;
    }
    // the closing ELSE keeps the module from stopping, so a deadlock is a
    // state where none of the steps can run
    const CTranslateCollections &c = ctx.Collections();
    if (!c.transitions.empty()) {
        out += QStringLiteral("deadlockFree: THEOREM behavior |- G(");
        for (size_t i = 0; i < c.transitions.size(); ++i)
            out += (i ? QStringLiteral(" OR (") : QStringLiteral("(")) + c.transitions[i].guard + u')';
        out += QStringLiteral(");") + kEol;
    }
    if (!out.isEmpty())
        out += kEol;
    return out;
}

QString CSalWriter::CommentText(QString text)
{
    for (QChar &ch : text) {
        if (ch.category() == QChar::Other_Control || ch == QChar::LineSeparator || ch == QChar::ParagraphSeparator)
            ch = u' ';
    }
    return text;
}

QString CSalWriter::Write(const CTranslateContext &ctx, const CSalSetTimes &times)
{
    const CTranslateCollections &c = ctx.Collections();
    const int mode = ctx.Settings().messageMode;
    const bool sets = ctx.WithSets();
    QString out;
    out.reserve(qsizetype(c.transitions.size()) * 80 + 1024);

    out += Header(ctx, u"% ");
    out += QStringLiteral(":CONTEXT=") + kEol + QStringLiteral("BEGIN") + kEol;
    for (const CStateComponent &comp : c.components)
        typeLine(out, comp.typeName, comp.values.List());
    for (const CAttributeVariable &v : c.attributes) {
        if (v.kind == CAttributeVariable::Enumerated)
            typeLine(out, v.typeName, v.values.List());
    }
    if (sets) {
        for (const CSetType &type : c.setTypes)
            typeLine(out, type.name, type.values.List());
    }

    out += kEol + QStringLiteral("behavior:MODULE=") + kEol + QStringLiteral("BEGIN") + kEol;
    if (!c.inputMessages.IsEmpty())
        out += QStringLiteral("INPUT ") + c.inputMessages.List().join(u',') + QStringLiteral(":BOOLEAN") + kEol;
    if (!c.outputMessages.IsEmpty())
        out += QStringLiteral("OUTPUT ") + c.outputMessages.List().join(u',') + QStringLiteral(":BOOLEAN") + kEol;

    // declarations are separated by commas: the last one has none
    QStringList local;
    for (const CStateComponent &comp : c.components)
        local.append(comp.variable + QStringLiteral(": ") + comp.typeName);
    for (const CAttributeVariable &v : c.attributes)
        local.append(v.name + QStringLiteral(": ") + attributeType(v));
    if (mode == 2) {
        local.append(QStringLiteral("internalMessages:BOOLEAN"));
    } else if (mode == 4) {
        local.append(QStringLiteral("internalActions: BOOLEAN"));
        local.append(QStringLiteral("messageReady: BOOLEAN"));
    }
    for (const QString &m : c.internalMessages.List())
        local.append(m + QStringLiteral(":BOOLEAN"));
    if (sets) {
        for (const CSetVariable &v : c.setVariables)
            local.append(v.name + QStringLiteral(": ") + setPrefix(c.setTypes[size_t(v.type)]) + QStringLiteral("Set"));
    }
    if (ctx.Settings().useFailureViews)
        local.append(QStringLiteral("view:[0 .. %1]").arg(c.views.Size())); // 0: no failure view entered yet
    for (int t = 1; t <= c.ThreadCount(); ++t) {
        QString pc = QStringLiteral("pc");
        AppendNumber(pc, t);
        pc += QLatin1StringView(": [0 .. ");
        AppendNumber(pc, c.highestCounter[size_t(t)]);
        pc += u']';
        local.append(pc);
    }
    if (!local.isEmpty())
        out += QStringLiteral("LOCAL") + kEol + local.join(u',' + kEol) + kEol;

    const QStringList &messages = c.internalMessages.List();
    if (mode == 2) {
        out += QStringLiteral("DEFINITION") + kEol + QStringLiteral("internalMessages = ");
        if (messages.isEmpty()) {
            out += QStringLiteral("false") + kEol + kEol;
        } else {
            for (qsizetype i = 0; i < messages.size(); ++i)
                out += (i ? QStringLiteral(" OR (") : QStringLiteral("(")) + messages[i] + u')' + kEol;
        }
    } else if (mode == 4) {
        // a message is ready when a step that takes it can run: a message
        // whose receiver is still busy elsewhere must not stop that receiver
        out += QStringLiteral("DEFINITION") + kEol + QStringLiteral("messageReady = ");
        const QStringList &ready = c.messageReadyTerms;
        if (messages.isEmpty() || ready.isEmpty()) {
            out += QStringLiteral("false");
        } else {
            for (qsizetype i = 0; i < ready.size(); ++i)
                out += (i ? kEol + QStringLiteral("OR (") : QStringLiteral("(")) + ready[i] + u')';
        }
        out += kEol + kEol + QStringLiteral("DEFINITION") + kEol + QStringLiteral("internalActions = ");
        if (c.internalActionTerms.isEmpty())
            out += QStringLiteral("false") + kEol;
        else
            out += kEol;
        for (qsizetype i = 0; i < c.internalActionTerms.size(); ++i)
            out += (i ? QStringLiteral("OR (") : QStringLiteral("(")) + c.internalActionTerms[i] + u')' + kEol;
    }

    out += QStringLiteral("INITIALIZATION") + kEol;
    for (const auto &[name, value] : c.initFileValues)
        out += name + u'=' + value + u';' + kEol;
    for (const auto &[name, value] : c.initialValues)
        out += name + u'=' + value + u';' + kEol;
    if (sets) {
        for (const CSetVariable &v : c.setVariables) {
            if (c.initFileVariables.count(v.name))
                continue;
            out += v.name
                   + (v.hasInitial ? QStringLiteral("={") + v.initial.join(u',') + u'}'
                                   : u'=' + setPrefix(c.setTypes[size_t(v.type)]) + QStringLiteral("empty_set"))
                   + u';' + kEol;
        }
    }
    for (const QString &m : messages)
        out += m + QStringLiteral("=false;") + kEol;
    if (ctx.Settings().useFailureViews)
        out += QStringLiteral("view=0;") + kEol;
    for (int t = 1; t <= c.ThreadCount(); ++t) {
        out += QLatin1StringView("pc");
        AppendNumber(out, t);
        out += QLatin1StringView(c.initialThreads.count(t) ? "=1;\r\n" : "=0;\r\n");
    }

    out += QStringLiteral("TRANSITION") + kEol + u'[' + kEol;
    int label = 0;
    for (const CSalTransition &t : c.transitions) {
        out += u'A';
        AppendNumber(out, ++label);
        out += u':';
        out += t.guard;
        out += QLatin1StringView("-->\r\n");
        out += t.assignments;
        out += QLatin1StringView("[]\r\n\r\n");
    }
    out += u'A' + QString::number(label + 1) + QStringLiteral(": ELSE --> ") + kEol + u']' + kEol + kEol;
    out += QStringLiteral("END; % of MODULE") + kEol + kEol;
    if (ctx.Settings().properties)
        out += Properties(ctx);
    out += QStringLiteral("END") + kEol;

    if (times.shown && sets) {
        // after END only comments may follow
        out += QStringLiteral("% Time for reading initialisation file: ") + QString::number(times.initialisationFileMs)
               + kEol;
        out += QStringLiteral("% Time for parsing set info: ") + QString::number(times.setParsingMs) + kEol;
    }
    return out;
}
