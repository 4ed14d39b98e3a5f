#include "translateparsingmethods.h"

#include "identifier.h"
#include "translatecontext.h"
#include "translateexception.h"
#include "translatesets.h"
#include "translatetexts.h"

#include <limits>

namespace {

int componentIndex(CTranslateContext &ctx, const QString &raw)
{
    CTranslateCollections &c = ctx.Collections();
    const QString name = raw.trimmed();
    if (const int known = IndexOf(c.componentIndex, name); known >= 0)
        return known;
    CStateComponent comp;
    comp.name = name;
    comp.typeName = ctx.Names().ComponentTypeName(name);
    comp.variable = ctx.Names().ComponentVariableName(name);
    c.components.push_back(std::move(comp));
    const int index = int(c.components.size()) - 1;
    c.componentIndex.emplace(name, index);
    return index;
}

[[noreturn]] void refuse(const CTranslateContext &ctx, const QString &text, int node)
{
    throw CTranslateException(text + QStringLiteral(" (node %1: ").arg(node) + ctx.Describe(node) + u')');
}

// Numbers the model checkers hold: 32 bits, as UPPAAL's int.
bool fitsInt32(const QString &literal, qint64 &value)
{
    bool ok = false;
    value = literal.toLongLong(&ok);
    return ok && value >= std::numeric_limits<qint32>::min() && value <= std::numeric_limits<qint32>::max();
}

// The attribute variable, with what this node does with it: its kind is
// decided once every use is known (see decideAttributeKinds).
CAttributeVariable &attributeVariable(CTranslateContext &ctx, int node, const QString &component,
                                      const QString &attribute, const QString &value, bool numeric)
{
    CTranslateCollections &c = ctx.Collections();
    if (attribute.trimmed().isEmpty())
        refuse(ctx, TranslateTexts::EmptyName(), node);
    const QString name = ctx.Names().AttributeVariableName(component, attribute);
    int index = IndexOf(c.attributeIndex, name);
    if (index < 0) {
        CAttributeVariable v;
        v.name = name;
        c.attributes.push_back(std::move(v));
        index = int(c.attributes.size()) - 1;
        c.attributeIndex.emplace(name, index);
    }
    CAttributeVariable &v = c.attributes[size_t(index)];
    if (v.component.isEmpty()) {
        v.component = component.trimmed();
        v.attribute = attribute.trimmed();
    }
    if (IsIntegerLiteral(value)) {
        qint64 number = 0;
        if (!fitsInt32(value, number))
            refuse(ctx, TranslateTexts::NumberTooLarge() + value, node);
        if (!v.numberNode) {
            v.lowest = v.highest = number;
        } else {
            v.lowest = std::min(v.lowest, number);
            v.highest = std::max(v.highest, number);
        }
        v.numberNode = v.numberNode ? v.numberNode : node;
    } else if (IsBooleanLiteral(value)) {
        v.booleanNode = v.booleanNode ? v.booleanNode : node;
    } else if (!value.isEmpty()) {
        v.nameNode = v.nameNode ? v.nameNode : node;
        v.rawValues.Add(value);
    }
    if (numeric && !v.numberNode)
        v.numberNode = node;
    return v;
}

QString messageName(CTranslateContext &ctx, const QString &prefix, const CTranslateNode &n)
{
    return ctx.Names().MessageName(prefix, n.component, n.state);
}

// Finds the comparison in an attribute test; the returned operator is in SAL spelling.
bool splitComparison(const QString &text, QString &left, QString &op, QString &right)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QStringView two = QStringView(text).mid(i, 2);
        QString sal;
        qsizetype width = 2;
        if (two == u"<=" || two == u">=")
            sal = two.toString();
        else if (two == u"!=" || two == u"/=")
            sal = QStringLiteral("/=");
        else if (two == u"==" || two == u":=")
            sal = QStringLiteral("=");
        else if (text[i] == u'<' || text[i] == u'>' || text[i] == u'=') {
            sal = QString(text[i]);
            width = 1;
        }
        if (sal.isEmpty())
            continue;
        left = text.left(i).trimmed();
        right = text.mid(i + width).trimmed();
        op = sal;
        return !left.isEmpty();
    }
    return false;
}

// "NOT(text)" is the negated test of text, when its parenthesis closes at the end.
bool stripNot(QString &text)
{
    const QString t = text.trimmed();
    if (!t.startsWith(QStringLiteral("NOT"), Qt::CaseInsensitive) || !t.endsWith(u')'))
        return false;
    const QString rest = t.mid(3).trimmed();
    if (!rest.startsWith(u'('))
        return false;
    int depth = 0;
    for (qsizetype i = 0; i < rest.size(); ++i) {
        depth += rest[i] == u'(' ? 1 : rest[i] == u')' ? -1 : 0;
        if (depth == 0 && i != rest.size() - 1)
            return false; // "NOT(a) AND NOT(b)" is no single negation
    }
    text = rest.mid(1, rest.size() - 2).trimmed();
    return true;
}

CNodeAction analyse(CTranslateContext &ctx, int number)
{
    CTranslateCollections &c = ctx.Collections();
    const CTranslateNode &n = ctx.Node(number);
    CNodeAction a;
    // a kill node names the branch it stops; it does not run that behavior
    if (n.IsKill() && n.IsStepHead())
        return a;
    if (n.setOp && n.setExpression) {
        CTranslateSets::AnalyseSetNode(ctx, number, a);
        return a;
    }
    const QString text = n.state.trimmed();
    // an empty name would declare nothing that a checker can read
    if (n.component.trimmed().isEmpty() || text.isEmpty())
        refuse(ctx, TranslateTexts::EmptyName(), number);
    switch (n.setOp ? 0 : n.behaviorType) {
    case 1: {
        const qsizetype assign = text.indexOf(QStringLiteral(":="));
        if (assign >= 0) {
            const QString attribute = text.left(assign).trimmed();
            a.kind = CNodeAction::AssignAttribute;
            a.value = text.mid(assign + 2).trimmed();
            if (a.value.isEmpty())
                refuse(ctx, TranslateTexts::EmptyName(), number);
            a.variable = attributeVariable(ctx, number, n.component, attribute, a.value, false).name;
        } else if (const qsizetype inc = text.indexOf(QStringLiteral("++")); inc >= 0) {
            a.kind = CNodeAction::Increment;
            a.variable = attributeVariable(ctx, number, n.component, text.left(inc), QString(), true).name;
        } else if (const qsizetype dec = text.indexOf(QStringLiteral("--")); dec >= 0) {
            a.kind = CNodeAction::Decrement;
            a.variable = attributeVariable(ctx, number, n.component, text.left(dec), QString(), true).name;
        } else {
            a.kind = CNodeAction::AssignState;
            a.component = componentIndex(ctx, n.component);
            a.variable = c.components[size_t(a.component)].variable;
            a.value = text;
            a.valueIndex = c.components[size_t(a.component)].rawValues.Insert(a.value).first;
        }
        break;
    }
    case 2:
    case 4: {
        QString test = text;
        a.negated = stripNot(test);
        QString left, op, right;
        if (splitComparison(test, left, op, right)) {
            a.kind = CNodeAction::TestAttribute;
            a.op = op;
            a.value = right;
            if (a.value.isEmpty())
                refuse(ctx, TranslateTexts::EmptyName(), number);
            // an order holds between numbers only
            const bool numeric = op != u"=" && op != u"/=";
            a.variable = attributeVariable(ctx, number, n.component, left, a.value, numeric).name;
        } else {
            a.kind = CNodeAction::TestState;
            a.component = componentIndex(ctx, n.component);
            a.variable = c.components[size_t(a.component)].variable;
            a.value = test.trimmed();
            if (a.value.isEmpty())
                refuse(ctx, TranslateTexts::EmptyName(), number);
            a.valueIndex = c.components[size_t(a.component)].rawValues.Insert(a.value).first;
        }
        break;
    }
    case 3:
    case 5:
        a.kind = CNodeAction::ExternalInput;
        a.variable = messageName(ctx, QStringLiteral("extInMsg_"), n);
        c.inputMessages.Add(a.variable);
        c.environment.Add(a.variable + u'!');
        break;
    case 6:
        a.kind = CNodeAction::ExternalOutput;
        a.variable = messageName(ctx, QStringLiteral("extOutMsg_"), n);
        c.outputMessages.Add(a.variable);
        c.environment.Add(a.variable + u'?');
        break;
    case 7:
        a.kind = CNodeAction::InternalInput;
        a.variable = messageName(ctx, QStringLiteral("intInMsg_"), n);
        c.internalMessages.Add(a.variable);
        break;
    case 8:
        a.kind = CNodeAction::InternalOutput;
        a.receivers = ctx.InternalReceivers(number);
        a.variable = messageName(ctx, QStringLiteral("intInMsg_"), n);
        c.internalMessages.Add(a.variable);
        break;
    default:
        // set-all and set-any have no form here, nor has a set expression
        // outside a translation with sets
        throw CTranslateException(TranslateTexts::NoMatchingRules() + ctx.Describe(number));
    }
    return a;
}

// An attribute is an enumeration when the tree gives it names only, an
// integer when it gives numbers or counts or orders it, a Boolean when it
// gives true or false; two kinds on one attribute make a model that tests
// something else than the tree says.
void decideAttributeKinds(CTranslateContext &ctx)
{
    CTranslateCollections &c = ctx.Collections();
    const CTranslateSettings &s = ctx.Settings();
    for (CAttributeVariable &v : c.attributes) {
        const int uses[3] = {v.nameNode, v.numberNode, v.booleanNode};
        int first = 0, second = 0;
        for (int node : uses) {
            if (!node)
                continue;
            if (!first || node < first) {
                second = first;
                first = node;
            } else if (!second || node < second) {
                second = node;
            }
        }
        if (second) {
            throw CTranslateException(TranslateTexts::MixedAttribute() + v.component + u' ' + v.attribute
                                      + QStringLiteral(" (node %1: ").arg(first) + ctx.Describe(first)
                                      + QStringLiteral("; node %1: ").arg(second) + ctx.Describe(second) + u')');
        }
        if (v.declared && (v.nameNode || v.booleanNode)) {
            const int node = v.nameNode ? v.nameNode : v.booleanNode;
            throw CTranslateException(TranslateTexts::MixedAttribute() + v.component + u' ' + v.attribute
                                      + QStringLiteral(" (declared an integer; node %1: ").arg(node)
                                      + ctx.Describe(node) + u')');
        }
        if (v.nameNode) {
            v.kind = CAttributeVariable::Enumerated;
            v.typeName = ctx.Names().AttributeTypeName(v.component, v.attribute);
        } else if (v.booleanNode) {
            v.kind = CAttributeVariable::Boolean;
        } else {
            v.kind = CAttributeVariable::Integer;
            if (v.low.isEmpty()) {
                // a finite range, wide enough for every number the tree writes
                qint64 low = s.intLow, high = s.intHigh;
                if (v.numberNode) {
                    low = std::min(low, v.lowest);
                    high = std::max(high, v.highest);
                }
                v.low = QString::number(low);
                v.high = QString::number(high);
                c.usesDefaultRange = true;
            }
        }
    }
}

// Enumeration values become identifiers once every name of the tree is
// known: components' states first, then attributes' values.
void nameValues(CTranslateContext &ctx)
{
    CTranslateCollections &c = ctx.Collections();
    CIdentifierMap &names = ctx.Names();
    for (CStateComponent &comp : c.components) {
        for (const QString &v : comp.rawValues.List())
            comp.values.Add(names.StateName(comp.name, v));
    }
    for (CAttributeVariable &attr : c.attributes) {
        if (attr.kind != CAttributeVariable::Enumerated)
            continue;
        for (const QString &v : attr.rawValues.List())
            attr.values.Add(names.AttributeValueName(attr.component, attr.attribute, v));
    }
    for (int n = 1; n <= ctx.NodeCount(); ++n) {
        CNodeAction &a = ctx.Actions()[size_t(n)];
        switch (a.kind) {
        case CNodeAction::AssignState:
        case CNodeAction::TestState: {
            // the states were named in the order they were seen: the node's
            // place in that list saves asking the map again
            const CStateComponent &comp = c.components[size_t(a.component)];
            a.value = comp.values.Size() == comp.rawValues.Size() && a.valueIndex >= 0
                          ? comp.values.List()[a.valueIndex]
                          : names.StateName(comp.name, a.value);
            break;
        }
        case CNodeAction::AssignAttribute:
        case CNodeAction::TestAttribute: {
            const CAttributeVariable &v = c.attributes[size_t(IndexOf(c.attributeIndex, a.variable))];
            if (v.kind == CAttributeVariable::Enumerated)
                a.value = names.AttributeValueName(v.component, v.attribute, a.value);
            else if (v.kind == CAttributeVariable::Boolean)
                a.value = a.value.toLower();
            else
                a.value = QString::number(a.value.toLongLong()); // "+7" and "007" as the checkers read them
            break;
        }
        default: break;
        }
    }
}

} // namespace

void CTranslateParsingMethods::AnalyseNodes(CTranslateContext &ctx)
{
    CTranslateCollections &c = ctx.Collections();
    // about one name a node: states and messages are mostly the node's own
    ctx.Names().Reserve(ctx.NodeCount());
    for (int n = 1; n <= ctx.NodeCount(); ++n)
        ctx.Actions()[size_t(n)] = analyse(ctx, n);
    decideAttributeKinds(ctx);
    nameValues(ctx);
    for (int n : ctx.InitBlock()) {
        const CNodeAction &a = ctx.Action(n);
        if (a.kind == CNodeAction::AssignState) {
            c.components[size_t(a.component)].initial = a.value;
            c.initialValues.append({a.variable, a.value});
        } else if (a.kind == CNodeAction::AssignAttribute) {
            c.attributes[size_t(IndexOf(c.attributeIndex, a.variable))].initial = a.value;
            c.initialValues.append({a.variable, a.value});
        }
    }
    // an integer the initialisation gives no value starts at the value of
    // its range nearest to 0, so that a checker has one initial state
    for (CAttributeVariable &v : c.attributes) {
        if (v.kind != CAttributeVariable::Integer || !v.initial.isEmpty() || c.initFileVariables.count(v.name))
            continue;
        const qint64 low = v.low.toLongLong(), high = v.high.toLongLong();
        const qint64 start = low > 0 ? low : high < 0 ? high : 0;
        v.initial = QString::number(start);
        c.initialValues.append({v.name, v.initial});
    }
}
