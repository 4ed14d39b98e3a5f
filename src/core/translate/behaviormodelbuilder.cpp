#include "behaviormodelbuilder.h"

#include "translatecontext.h"
#include "translateparsingmethods.h"
#include "translatesalmain.h"

#include "model/keltypes.h"

#include <QHash>

namespace {

QString label(const CTranslateNode &n)
{
    QString text = n.component + KEL::Decorate(n.state, n.behaviorType);
    if (n.jumpType == 1)
        text += QStringLiteral(" ^");
    else if (n.jumpType == 2)
        text += QStringLiteral(" =>");
    if (n.IsKill())
        text += QStringLiteral(" --");
    return text;
}

// The attribute as the node writes it, in front of its operator.
QString attributeText(QString text)
{
    text = text.trimmed();
    if (text.startsWith(QStringLiteral("NOT"), Qt::CaseInsensitive) && text.endsWith(u')')) {
        const qsizetype open = text.indexOf(u'(');
        if (open > 0)
            text = text.mid(open + 1, text.size() - open - 2);
    }
    qsizetype end = 0;
    while (end < text.size() && !QStringLiteral("<>=!/:+-").contains(text[end]))
        ++end;
    return text.left(end).trimmed();
}

// The test's state as the node writes it, without a NOT( ) around it.
QString stateText(QString text)
{
    text = text.trimmed();
    if (text.startsWith(QStringLiteral("NOT"), Qt::CaseInsensitive) && text.endsWith(u')')) {
        const qsizetype open = text.indexOf(u'(');
        if (open > 0)
            return text.mid(open + 1, text.size() - open - 2).trimmed();
    }
    return text;
}

CBehaviorTest::Op testOp(const QString &sal)
{
    if (sal == u"/=")
        return CBehaviorTest::Ne;
    if (sal == u"<")
        return CBehaviorTest::Lt;
    if (sal == u">")
        return CBehaviorTest::Gt;
    if (sal == u"<=")
        return CBehaviorTest::Le;
    if (sal == u">=")
        return CBehaviorTest::Ge;
    return CBehaviorTest::Eq;
}

class Builder
{
public:
    explicit Builder(CTranslateContext &ctx) : m_ctx(ctx) {}

    CBehaviorModel Build()
    {
        PrepareSteps(m_ctx);
        m_model.threads = m_ctx.Collections().ThreadCount();
        const std::set<int> &initial = m_ctx.Collections().initialThreads;
        m_model.initialThreads = QList<int>(initial.cbegin(), initial.cend());
        m_model.messageMode = m_ctx.Settings().messageMode;
        for (int n = 1; n <= m_ctx.NodeCount(); ++n)
            m_model.nodes.push_back({m_ctx.Node(n).elementId, label(m_ctx.Node(n))});
        // pre-order, so that variables and values are numbered as the tree shows them
        for (int n = 1; n <= m_ctx.NodeCount(); ++n)
            registerNode(n);
        for (int n : m_ctx.InitBlock()) {
            m_model.initNodes.append(n - 1);
            for (const CBehaviorAssignment &a : m_nodeAssignments.value(n)) {
                int &v = m_model.variables[size_t(a.variable)].initial;
                v = a.add ? v + a.value : a.value;
            }
        }
        for (const CTranslateStep &step : m_ctx.Steps())
            addStep(step);
        m_model.BuildIndex();
        return std::move(m_model);
    }

private:
    int variable(const QString &key, const QString &name, CBehaviorVariable::Kind kind)
    {
        if (const auto it = m_variables.constFind(key); it != m_variables.cend())
            return *it;
        CBehaviorVariable v;
        v.name = name;
        v.identifier = key; // the translators' identifier, so every writer names it alike
        v.kind = kind;
        if (kind == CBehaviorVariable::State || kind == CBehaviorVariable::Enumerated)
            v.values.append(QString()); // 0: not set yet
        m_model.variables.push_back(v);
        const int index = int(m_model.variables.size()) - 1;
        m_variables.insert(key, index);
        return index;
    }

    // A state or enumerated value, by its identifier; the first spelling names it.
    int value(int var, const QString &identifier, const QString &text)
    {
        CBehaviorVariable &v = m_model.variables[size_t(var)];
        if (v.kind == CBehaviorVariable::Integer) {
            bool ok = false;
            const int number = identifier.toInt(&ok);
            return ok ? number : 0;
        }
        if (v.kind == CBehaviorVariable::Boolean)
            return identifier.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0 ? 1 : 0;
        QHash<QString, int> &known = m_values[var];
        if (const auto it = known.constFind(identifier); it != known.cend())
            return *it;
        v.values.append(text);
        const int index = int(v.values.size()) - 1;
        known.insert(identifier, index);
        return index;
    }

    CBehaviorVariable::Kind attributeKind(const QString &name) const
    {
        const CTranslateCollections &c = m_ctx.Collections();
        const int at = IndexOf(c.attributeIndex, name);
        if (at < 0)
            return CBehaviorVariable::Integer;
        switch (c.attributes[size_t(at)].kind) {
        case CAttributeVariable::Boolean: return CBehaviorVariable::Boolean;
        case CAttributeVariable::Enumerated: return CBehaviorVariable::Enumerated;
        case CAttributeVariable::Integer: break;
        }
        return CBehaviorVariable::Integer;
    }

    void registerNode(int n)
    {
        const CTranslateNode &node = m_ctx.Node(n);
        const CNodeAction &a = m_ctx.Action(n);
        QList<CBehaviorTest> tests;
        QList<CBehaviorAssignment> assignments;
        const QString attribute = node.component + u'.' + attributeText(node.state);
        switch (a.kind) {
        case CNodeAction::AssignState: {
            const int v = variable(a.variable, node.component, CBehaviorVariable::State);
            assignments.append({v, value(v, a.value, node.state.trimmed()), false});
            break;
        }
        case CNodeAction::TestState: {
            const int v = variable(a.variable, node.component, CBehaviorVariable::State);
            tests.append({v, CBehaviorTest::Eq, value(v, a.value, stateText(node.state)), a.negated});
            break;
        }
        case CNodeAction::AssignAttribute: {
            const int v = variable(a.variable, attribute, attributeKind(a.variable));
            assignments.append({v, value(v, a.value, a.value), false});
            break;
        }
        case CNodeAction::Increment:
        case CNodeAction::Decrement: {
            const int v = variable(a.variable, attribute, attributeKind(a.variable));
            assignments.append({v, a.kind == CNodeAction::Increment ? 1 : -1, true});
            break;
        }
        case CNodeAction::TestAttribute: {
            const int v = variable(a.variable, attribute, attributeKind(a.variable));
            tests.append({v, testOp(a.op), value(v, a.value, a.value), a.negated});
            break;
        }
        case CNodeAction::InternalInput: {
            const int v = variable(a.variable, node.component + QStringLiteral(" <") + node.state + u'>',
                                   CBehaviorVariable::Message);
            tests.append({v, CBehaviorTest::Eq, 1, false});
            assignments.append({v, 0, false});
            break;
        }
        case CNodeAction::InternalOutput: {
            const int v = variable(a.variable, node.component + QStringLiteral(" <") + node.state + u'>',
                                   CBehaviorVariable::Message);
            assignments.append({v, 1, false});
            break;
        }
        case CNodeAction::ExternalInput: {
            const auto it = m_events.constFind(a.variable);
            int e = 0;
            if (it == m_events.cend()) {
                m_model.events.push_back({node.component, node.state.trimmed(), a.variable});
                e = int(m_model.events.size()) - 1;
                m_events.insert(a.variable, e);
            } else {
                e = *it;
            }
            m_nodeEvents.insert(n, e);
            break;
        }
        case CNodeAction::ExternalOutput:
            m_nodeOutputs.insert(n, node.component + KEL::Decorate(node.state, node.behaviorType));
            break;
        default: break;
        }
        if (!tests.isEmpty())
            m_nodeTests.insert(n, tests);
        if (!assignments.isEmpty())
            m_nodeAssignments.insert(n, assignments);
    }

    void addStep(const CTranslateStep &step)
    {
        const CTranslateNode &head = m_ctx.Node(step.firstNode);
        CBehaviorStep s;
        s.thread = head.thread;
        s.pc = head.pc;
        for (int n : step.block) {
            s.nodes.append(n - 1);
            s.tests += m_nodeTests.value(n);
            if (m_nodeEvents.contains(n))
                s.events.append(m_nodeEvents.value(n));
        }
        for (int n : CTranslateParsingMethods::StepAssignmentNodes(m_ctx, step)) {
            s.assignments += m_nodeAssignments.value(n);
            if (m_nodeOutputs.contains(n))
                s.outputs.append(m_nodeOutputs.value(n));
        }
        s.counters = CTranslateParsingMethods::StepCounters(m_ctx, step);
        s.kind = CTranslateParsingMethods::StepKind(m_ctx, step);
        m_model.steps.push_back(std::move(s));
    }

    CTranslateContext &m_ctx;
    CBehaviorModel m_model;
    QHash<QString, int> m_variables;
    QHash<int, QHash<QString, int>> m_values;
    QHash<QString, int> m_events;
    QHash<int, QList<CBehaviorTest>> m_nodeTests;
    QHash<int, QList<CBehaviorAssignment>> m_nodeAssignments;
    QHash<int, int> m_nodeEvents;
    QHash<int, QString> m_nodeOutputs;
};

} // namespace

CBehaviorModel CBehaviorModelBuilder::FromTree(const CKELDataManager &manager, const CKELTree &tree, int messageMode)
{
    CTranslateSettings settings;
    settings.messageMode = CTranslateSettings::ValidMessageMode(messageMode);
    CTranslateContext ctx(settings, false, false);
    ctx.BuildNodes(manager, tree);
    return FromContext(ctx);
}

CBehaviorModel CBehaviorModelBuilder::FromContext(CTranslateContext &ctx)
{
    return Builder(ctx).Build();
}
