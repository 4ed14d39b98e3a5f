#include "salwriter.h"

#include "identifier.h"
#include "translatecontext.h"
#include "translateparsingrule.h"
#include "translatetexts.h"

#include "semantics/behaviormodel.h"

#include <algorithm>

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

QLatin1StringView salOpText(CBehaviorTest::Op op)
{
    switch (op) {
    case CBehaviorTest::Eq: break;
    case CBehaviorTest::Ne: return QLatin1StringView("/=");
    case CBehaviorTest::Lt: return QLatin1StringView("<");
    case CBehaviorTest::Gt: return QLatin1StringView(">");
    case CBehaviorTest::Le: return QLatin1StringView("<=");
    case CBehaviorTest::Ge: return QLatin1StringView(">=");
    }
    return QLatin1StringView("=");
}

// The step's guard, appended to g: its counter, then its conditions as its
// nodes list them.
void appendGuard(QString &g, const CBehaviorModel &form, const CBehaviorStep &s, bool spaced)
{
    using Part = CBehaviorStep::Part;
    const QLatin1StringView notOpen(spaced ? "NOT (" : "NOT(");
    g += QLatin1StringView("pc");
    AppendNumber(g, s.thread);
    g += u'=';
    AppendNumber(g, s.pc);
    qsizetype tests = 0, events = 0, sets = 0;
    s.ForEachPart([&](Part part) {
        if (part == Part::Test) {
            const CBehaviorTest &t = s.tests[tests++];
            const CBehaviorVariable &v = form.variables[size_t(t.variable)];
            g += QLatin1StringView(" AND ");
            if (t.negated)
                g += notOpen;
            g += v.identifier;
            g += salOpText(t.op);
            AppendFormValue(g, v, t.value, true);
            if (t.negated)
                g += u')';
        } else if (part == Part::Event) {
            g += QLatin1StringView(" AND ");
            g += form.events[size_t(s.events[events++])].identifier;
            g += QLatin1StringView("=true");
        } else if (part == Part::SetTest) {
            const CBehaviorSetText &t = s.setTests[sets++];
            g += QLatin1StringView(" AND ");
            if (t.negated)
                g += notOpen;
            g += t.text;
            if (t.negated)
                g += u')';
        }
    });
}

// The step's updates, one line each: the nodes' own in their order, the
// counters, and the failure view a go-to enters.
void appendUpdates(QString &out, const CBehaviorModel &form, const CBehaviorStep &s)
{
    using Part = CBehaviorStep::Part;
    qsizetype assignments = 0, outputs = 0, sets = 0;
    s.ForEachPart([&](Part part) {
        if (part == Part::Assignment) {
            const CBehaviorAssignment &a = s.assignments[assignments++];
            const CBehaviorVariable &v = form.variables[size_t(a.variable)];
            out += u'\t';
            out += v.identifier;
            out += QLatin1StringView("'=");
            if (a.add) {
                out += v.identifier;
                out += a.value < 0 ? u'-' : u'+';
                AppendNumber(out, a.value < 0 ? -a.value : a.value);
            } else {
                AppendFormValue(out, v, a.value, true);
            }
            out += QLatin1StringView(";\r\n");
        } else if (part == Part::Output) {
            out += u'\t';
            out += form.outputs[size_t(s.outputs[outputs++])].identifier;
            out += QLatin1StringView("'=true;\r\n");
        } else if (part == Part::SetAssignment) {
            out += u'\t';
            out += s.setAssignments[sets++].text;
            out += QLatin1StringView(";\r\n");
        }
    });
    for (const auto &[thread, value] : s.counters) {
        out += QLatin1StringView("\tpc");
        AppendNumber(out, thread);
        out += QLatin1StringView("'=");
        AppendNumber(out, value);
        out += QLatin1StringView(";\r\n");
    }
    if (s.failureView) {
        // the go-to still moves its thread; the view variable records which
        // failure view it entered, so that a property can ask for it
        out += QLatin1StringView("\tview'=");
        AppendNumber(out, s.failureView);
        out += QLatin1StringView(";\r\n");
    }
}

// The steps' guards and the message mode's terms after them. Negations are
// spelt as the rule that made the step spells them, which the form does
// not keep.
class CGuards
{
public:
    CGuards(const CTranslateContext &ctx, const CBehaviorModel &form) : m_ctx(ctx), m_form(form) {}

    // Step i's guard, its message mode's term included, appended to out.
    void Append(QString &out, size_t i) const
    {
        const CBehaviorStep &s = m_form.steps[i];
        appendGuard(out, m_form, s, spaced(i));
        if (m_form.messageMode == 2 && s.kind == CBehaviorStep::ExternalInput) {
            // what the definition of internalMessages is for: input from outside waits
            out += QLatin1StringView(" AND NOT(internalMessages)");
        } else if (m_form.messageMode == 4 && s.kind == CBehaviorStep::ExternalInput) {
            out += QLatin1StringView(" AND NOT(internalActions)");
        } else if (m_form.messageMode == 4 && s.kind == CBehaviorStep::InternalAction) {
            // an internal action gives way to any step that takes a waiting message
            out += QLatin1StringView(" AND NOT(messageReady)");
        }
    }
    QString Full(size_t i) const
    {
        QString g;
        Append(g, i);
        return g;
    }
    // Mode 4: the guards, without the mode's term, of the steps of that kind.
    QStringList OfKind(CBehaviorStep::Kind kind) const
    {
        QStringList out;
        for (size_t i = 0; i < m_form.steps.size(); ++i) {
            if (m_form.steps[i].kind != kind)
                continue;
            QString g;
            appendGuard(g, m_form, m_form.steps[i], spaced(i));
            out.append(g);
        }
        return out;
    }

private:
    // the first steps of alternatives and the set steps write "NOT ("
    bool spaced(size_t i) const
    {
        const CTranslateStep &step = m_ctx.Steps()[i];
        return !m_ctx.Node(step.firstNode).disableThreads.isEmpty() || step.rule >= TranslateRule::SetAdd;
    }

    const CTranslateContext &m_ctx;
    const CBehaviorModel &m_form;
};

// A reachability theorem per leaf and a deadlock-freedom theorem over the
// steps' guards.
QString properties(const CTranslateContext &ctx, const CGuards &guards, size_t steps)
{
    // a leaf is reached when its thread's counter stands at its step: the
    // counterexample of "never there" is a run that gets there
    QString out;
    for (int n = 1; n <= ctx.NodeCount(); ++n) {
        const CTranslateNode &node = ctx.Node(n);
        if (!node.IsLeaf() || node.initBlock || node.thread <= 0)
            continue;
        out += QStringLiteral("% node %1: ").arg(n) + CSalWriter::CommentText(ctx.Describe(n)) + kEol;
        out += QStringLiteral("reach%1: THEOREM behavior |- G(NOT(pc%2 = %3));").arg(n).arg(node.thread).arg(node.pc)
               + kEol;
    }
    // the closing ELSE keeps the module from stopping, so a deadlock is a
    // state where none of the steps can run
    if (steps) {
        out += QStringLiteral("deadlockFree: THEOREM behavior |- G(");
        for (size_t i = 0; i < steps; ++i) {
            out += QLatin1StringView(i ? " OR (" : "(");
            guards.Append(out, i);
            out += u')';
        }
        out += QStringLiteral(");") + kEol;
    }
    if (!out.isEmpty())
        out += kEol;
    return out;
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

QString CSalWriter::CommentText(QString text)
{
    for (QChar &ch : text) {
        if (ch.category() == QChar::Other_Control || ch == QChar::LineSeparator || ch == QChar::ParagraphSeparator)
            ch = u' ';
    }
    return text;
}

QString CSalWriter::Write(const CTranslateContext &ctx, const CBehaviorModel &form, const CSalSetTimes &times)
{
    const CTranslateCollections &c = ctx.Collections();
    const int mode = ctx.Settings().messageMode;
    const bool sets = ctx.WithSets();
    const CGuards guards(ctx, form);
    QString out;
    out.reserve(qsizetype(form.steps.size()) * 120 + 1024);

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
    if (ctx.Settings().useFailureViews) {
        int views = 0;
        for (const CBehaviorStep &s : form.steps)
            views = std::max(views, s.failureView);
        local.append(QStringLiteral("view:[0 .. %1]").arg(views)); // 0: no failure view entered yet
    }
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
        const QStringList ready = guards.OfKind(CBehaviorStep::InternalInput);
        if (messages.isEmpty() || ready.isEmpty()) {
            out += QStringLiteral("false");
        } else {
            for (qsizetype i = 0; i < ready.size(); ++i)
                out += (i ? kEol + QStringLiteral("OR (") : QStringLiteral("(")) + ready[i] + u')';
        }
        out += kEol + kEol + QStringLiteral("DEFINITION") + kEol + QStringLiteral("internalActions = ");
        const QStringList internalActions = guards.OfKind(CBehaviorStep::InternalAction);
        if (internalActions.isEmpty())
            out += QStringLiteral("false") + kEol;
        else
            out += kEol;
        for (qsizetype i = 0; i < internalActions.size(); ++i)
            out += (i ? QStringLiteral("OR (") : QStringLiteral("(")) + internalActions[i] + u')' + kEol;
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
    for (size_t i = 0; i < form.steps.size(); ++i) {
        out += u'A';
        AppendNumber(out, ++label);
        out += u':';
        guards.Append(out, i);
        out += QLatin1StringView("-->\r\n");
        appendUpdates(out, form, form.steps[i]);
        out += QLatin1StringView("[]\r\n\r\n");
    }
    out += u'A' + QString::number(label + 1) + QStringLiteral(": ELSE --> ") + kEol + u']' + kEol + kEol;
    out += QStringLiteral("END; % of MODULE") + kEol + kEol;
    if (ctx.Settings().properties)
        out += properties(ctx, guards, form.steps.size());
    out += QStringLiteral("END") + kEol;

    if (times.shown && sets) {
        // after END only comments may follow
        out += QStringLiteral("% Time for reading initialisation file: ") + QString::number(times.initialisationFileMs)
               + kEol;
        out += QStringLiteral("% Time for parsing set info: ") + QString::number(times.setParsingMs) + kEol;
    }
    return out;
}
