#include "behaviormodelbuilder.h"

#include "translatecontext.h"
#include "translateparsingmethods.h"
#include "translateparsingrule.h"
#include "translatesalmain.h"

#include "model/keltypes.h"

#include <QHash>
#include <QSet>
#include <QVarLengthArray>

#include <algorithm>

namespace {

QString label(const CTranslateNode &n)
{
    // one allocation: every node of the tree gets one
    const QString open = KEL::OpeningBracket(n.behaviorType);
    const QString close = KEL::ClosingBracket(n.behaviorType);
    QString text;
    text.reserve(n.component.size() + open.size() + n.state.size() + close.size() + 6);
    text += n.component;
    text += open;
    text += n.state;
    text += close;
    if (n.jumpType == 1)
        text += QLatin1StringView(" ^");
    else if (n.jumpType == 2)
        text += QLatin1StringView(" =>");
    if (n.IsKill())
        text += QLatin1StringView(" --");
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

// What one node adds to a step: at most one condition and one update.
struct NodeParts
{
    using Part = CBehaviorStep::Part;
    bool hasCondition = false;
    bool hasEffect = false;
    Part condition = Part::Test;
    Part effect = Part::Assignment;
    CBehaviorTest test;
    CBehaviorAssignment assignment;
    int event = -1;
    int output = -1;
    CBehaviorSetText set; // the set test or update
};

class Builder
{
public:
    Builder(const CTranslateContext &ctx, bool labels) : m_ctx(ctx), m_labels(labels) {}

    CBehaviorModel Build()
    {
        m_model.threads = m_ctx.Collections().ThreadCount();
        const std::set<int> &initial = m_ctx.Collections().initialThreads;
        m_model.initialThreads = QList<int>(initial.cbegin(), initial.cend());
        m_model.messageMode = m_ctx.Settings().messageMode;
        m_model.nodes.reserve(size_t(m_ctx.NodeCount()));
        for (int n = 1; n <= m_ctx.NodeCount(); ++n)
            m_model.nodes.push_back({m_ctx.Node(n).elementId, m_labels ? label(m_ctx.Node(n)) : QString()});
        // pre-order, so that variables and values are numbered as the tree shows them
        m_parts.resize(size_t(m_ctx.NodeCount()) + 1);
        m_variables.reserve(m_ctx.NodeCount() / 4);
        m_events.reserve(m_ctx.NodeCount() / 4);
        m_components.assign(m_ctx.Collections().components.size(), -1);
        for (int n = 1; n <= m_ctx.NodeCount(); ++n)
            registerNode(n);
        for (int n : m_ctx.InitBlock()) {
            m_model.initNodes.append(n - 1);
            const NodeParts &p = m_parts[size_t(n)];
            if (p.hasEffect && p.effect == NodeParts::Part::Assignment) {
                const CBehaviorAssignment &a = p.assignment;
                int &v = m_model.variables[size_t(a.variable)].initial;
                v = a.add ? v + a.value : a.value;
            }
        }
        m_model.steps.reserve(m_ctx.Steps().size());
        for (const CTranslateStep &step : m_ctx.Steps())
            addStep(step);
        m_model.BuildIndex();
        return std::move(m_model);
    }

private:
    // The variable of that identifier; name() gives its name the first time.
    template<typename Name> int variable(const QString &key, CBehaviorVariable::Kind kind, const Name &name)
    {
        if (const auto it = m_variables.constFind(key); it != m_variables.cend())
            return *it;
        CBehaviorVariable v;
        v.name = name();
        v.identifier = key; // the translators' identifier, so every writer names it alike
        v.kind = kind;
        if (kind == CBehaviorVariable::State || kind == CBehaviorVariable::Enumerated) {
            v.values.append(QString()); // 0: not set yet
            v.valueIdentifiers.append(QString());
        }
        m_model.variables.push_back(v);
        m_values.emplace_back();
        const int index = int(m_model.variables.size()) - 1;
        m_variables.insert(key, index);
        return index;
    }

    // A state or enumerated value, by its identifier; text() gives the
    // first spelling, which names it.
    template<typename Text> int value(int var, const QString &identifier, const Text &text)
    {
        CBehaviorVariable &v = m_model.variables[size_t(var)];
        if (v.kind == CBehaviorVariable::Integer) {
            bool ok = false;
            const int number = identifier.toInt(&ok);
            return ok ? number : 0;
        }
        if (v.kind == CBehaviorVariable::Boolean)
            return identifier.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0 ? 1 : 0;
        QHash<QString, int> &known = m_values[size_t(var)];
        if (const auto it = known.constFind(identifier); it != known.cend())
            return *it;
        v.values.append(text());
        v.valueIdentifiers.append(identifier);
        const int index = int(v.values.size()) - 1;
        known.insert(identifier, index);
        return index;
    }

    // A component's state variable. Its values are the component's states,
    // numbered as the front end met them in pre-order, as value() would; a
    // node then finds its state by its place in that list.
    int stateVariable(const CNodeAction &a, const CTranslateNode &node)
    {
        int &known = m_components[size_t(a.component)];
        if (known >= 0)
            return known;
        known = variable(a.variable, CBehaviorVariable::State, [&node] { return node.component; });
        const CStateComponent &comp = m_ctx.Collections().components[size_t(a.component)];
        if (comp.values.Size() == comp.rawValues.Size()) {
            CBehaviorVariable &v = m_model.variables[size_t(known)];
            v.values += comp.rawValues.List();
            v.valueIdentifiers += comp.values.List();
            m_listed.insert(known);
        }
        return known;
    }

    template<typename Text> int stateValue(int var, const CNodeAction &a, const Text &text)
    {
        return m_listed.contains(var) && a.valueIndex >= 0 ? int(a.valueIndex) + 1 : value(var, a.value, text);
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

    // An external event or output, once per identifier.
    static int eventIndex(std::vector<CBehaviorEvent> &list, QHash<QString, int> &known, const CTranslateNode &node,
                          const QString &name, const QString &identifier)
    {
        if (const auto it = known.constFind(identifier); it != known.cend())
            return *it;
        list.push_back({node.component, name, identifier});
        const int index = int(list.size()) - 1;
        known.insert(identifier, index);
        return index;
    }

    void registerNode(int n)
    {
        using Part = NodeParts::Part;
        const CTranslateNode &node = m_ctx.Node(n);
        const CNodeAction &a = m_ctx.Action(n);
        NodeParts &p = m_parts[size_t(n)];
        const auto condition = [&p](Part kind) {
            p.hasCondition = true;
            p.condition = kind;
        };
        const auto effect = [&p](Part kind) {
            p.hasEffect = true;
            p.effect = kind;
        };
        const auto attribute = [this, &node, &a] {
            if (const auto it = m_variables.constFind(a.variable); it != m_variables.cend())
                return *it;
            return variable(a.variable, attributeKind(a.variable),
                            [&node] { return node.component + u'.' + attributeText(node.state); });
        };
        const auto message = [&node] { return node.component + QStringLiteral(" <") + node.state + u'>'; };
        const auto same = [&a] { return a.value; };
        switch (a.kind) {
        case CNodeAction::AssignState: {
            const int v = stateVariable(a, node);
            p.assignment = {v, stateValue(v, a, [&node] { return node.state.trimmed(); }), false};
            effect(Part::Assignment);
            break;
        }
        case CNodeAction::TestState: {
            const int v = stateVariable(a, node);
            p.test = {v, CBehaviorTest::Eq, stateValue(v, a, [&node] { return stateText(node.state); }), a.negated};
            condition(Part::Test);
            break;
        }
        case CNodeAction::AssignAttribute: {
            const int v = attribute();
            p.assignment = {v, value(v, a.value, same), false};
            effect(Part::Assignment);
            break;
        }
        case CNodeAction::Increment:
        case CNodeAction::Decrement: {
            const int v = attribute();
            p.assignment = {v, a.kind == CNodeAction::Increment ? 1 : -1, true};
            effect(Part::Assignment);
            break;
        }
        case CNodeAction::TestAttribute: {
            const int v = attribute();
            p.test = {v, testOp(a.op), value(v, a.value, same), a.negated};
            condition(Part::Test);
            break;
        }
        case CNodeAction::InternalInput: {
            // the message is there, and taking it clears it
            const int v = variable(a.variable, CBehaviorVariable::Message, message);
            p.test = {v, CBehaviorTest::Eq, 1, false};
            p.assignment = {v, 0, false};
            condition(Part::Test);
            effect(Part::Assignment);
            break;
        }
        case CNodeAction::InternalOutput: {
            const int v = variable(a.variable, CBehaviorVariable::Message, message);
            int &receivers = m_model.variables[size_t(v)].receivers;
            if (!receivers)
                receivers = int(a.receivers.size());
            p.assignment = {v, 1, false};
            effect(Part::Assignment);
            break;
        }
        case CNodeAction::ExternalInput:
            p.event = eventIndex(m_model.events, m_events, node, node.state.trimmed(), a.variable);
            condition(Part::Event);
            break;
        case CNodeAction::ExternalOutput:
            p.output = eventIndex(m_model.outputs, m_outputs, node, node.state.trimmed(), a.variable);
            effect(Part::Output);
            break;
        case CNodeAction::SetGuard:
            p.set = {a.setText, a.negated};
            condition(Part::SetTest);
            break;
        case CNodeAction::SetAssignment:
            p.set = {a.setText, false};
            effect(Part::SetAssignment);
            break;
        default: break;
        }
    }

    void addStep(const CTranslateStep &step)
    {
        using Part = NodeParts::Part;
        const CTranslateNode &head = m_ctx.Node(step.firstNode);
        CBehaviorStep s;
        s.thread = head.thread;
        s.pc = head.pc;
        s.nodes.reserve(step.block.size());
        QVarLengthArray<Part, 8> order;
        for (int n : step.block) {
            s.nodes.append(n - 1);
            const NodeParts &p = m_parts[size_t(n)];
            if (!p.hasCondition)
                continue;
            order.append(p.condition);
            switch (p.condition) {
            case Part::Test: s.tests.append(p.test); break;
            case Part::Event: s.events.append(p.event); break;
            default: s.setTests.append(p.set); break;
            }
        }
        for (int n : CTranslateParsingMethods::StepAssignmentNodes(m_ctx, step)) {
            const NodeParts &p = m_parts[size_t(n)];
            if (!p.hasEffect)
                continue;
            order.append(p.effect);
            switch (p.effect) {
            case Part::Assignment: s.assignments.append(p.assignment); break;
            case Part::Output: s.outputs.append(p.output); break;
            default: s.setAssignments.append(p.set); break;
            }
        }
        // most steps list their parts in the plain order, which needs no record
        if (!std::is_sorted(order.cbegin(), order.cend()))
            s.order = QList<Part>(order.cbegin(), order.cend());
        s.jump = step.rule == TranslateRule::Reversion || step.rule == TranslateRule::Macro;
        if (s.jump) {
            const NodeParts &own = m_parts[size_t(step.block.last())];
            s.jumpTests = own.hasCondition && own.condition == Part::Test;
        } else {
            s.restartsThreads = m_ctx.ReachedAgainByGoTo(step.block.last());
        }
        s.counters = CTranslateParsingMethods::StepCounters(m_ctx, step);
        s.kind = CTranslateParsingMethods::StepKind(m_ctx, step);
        if (step.rule == TranslateRule::Macro && m_ctx.Settings().useFailureViews) {
            // the view a go-to enters, numbered as the go-tos first name their targets
            auto view = m_views.constFind(step.target);
            if (view == m_views.cend())
                view = m_views.insert(step.target, int(m_views.size()) + 1);
            s.failureView = *view;
        }
        m_model.steps.push_back(std::move(s));
    }

    const CTranslateContext &m_ctx;
    bool m_labels;
    CBehaviorModel m_model;
    QHash<QString, int> m_variables;
    std::vector<QHash<QString, int>> m_values; // by variable
    QHash<QString, int> m_events;
    QHash<QString, int> m_outputs;
    QHash<int, int> m_views; // go-to target -> failure view
    std::vector<NodeParts> m_parts;
    std::vector<int> m_components; // component -> its state variable, -1 before its first node
    QSet<int> m_listed;            // state variables holding every state of their component
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
    PrepareSteps(ctx);
    return FromSteps(ctx);
}

CBehaviorModel CBehaviorModelBuilder::FromSteps(const CTranslateContext &ctx, bool labels)
{
    return Builder(ctx, labels).Build();
}
