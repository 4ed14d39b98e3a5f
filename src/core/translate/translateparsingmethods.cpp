#include "translateparsingmethods.h"

#include "identifier.h"
#include "translatecontext.h"
#include "translateexception.h"
#include "translatesets.h"
#include "translatetexts.h"


namespace {

QString constantKey(const QString &typeName, const QString &value)
{
    return typeName + u'\x1f' + value;
}

int componentIndex(CTranslateCollections &c, const QString &raw)
{
    if (const int known = IndexOf(c.componentIndex, raw); known >= 0)
        return known;
    CStateComponent comp;
    comp.typeName = MakeIdentifier(raw, true);
    comp.variable = MakeIdentifier(raw, false);
    c.components.push_back(std::move(comp));
    const int index = int(c.components.size()) - 1;
    c.componentIndex.emplace(raw, index);
    return index;
}

QString attributeName(const QString &component, const QString &attribute)
{
    return MakeIdentifier(component, false) + u'_' + MakeIdentifier(attribute, false);
}

// The attribute variable, registered with the kind of the first value it meets.
CAttributeVariable &attributeVariable(CTranslateCollections &c, const QString &component, const QString &attribute,
                                      const QString &value)
{
    const QString name = attributeName(component, attribute);
    int index = IndexOf(c.attributeIndex, name);
    if (index < 0) {
        CAttributeVariable v;
        v.name = name;
        if (value.isEmpty() || IsIntegerLiteral(value)) {
            v.kind = CAttributeVariable::Integer;
        } else if (IsBooleanLiteral(value)) {
            v.kind = CAttributeVariable::Boolean;
        } else {
            v.kind = CAttributeVariable::Enumerated;
            v.typeName = MakeIdentifier(component, true) + u'_' + MakeIdentifier(attribute, false);
        }
        c.attributes.push_back(std::move(v));
        index = int(c.attributes.size()) - 1;
        c.attributeIndex.emplace(name, index);
    }
    CAttributeVariable &v = c.attributes[size_t(index)];
    if (v.kind == CAttributeVariable::Enumerated && !value.isEmpty() && !IsIntegerLiteral(value)
        && !IsBooleanLiteral(value))
        v.values.Add(value);
    return v;
}

QString messageName(const char16_t *prefix, const CTranslateNode &n)
{
    return QString::fromUtf16(prefix) + MakeIdentifier(n.component, false) + u'_' + MakeIdentifier(n.state, false);
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
    switch (n.setOp ? 0 : n.behaviorType) {
    case 1: {
        const qsizetype assign = text.indexOf(QStringLiteral(":="));
        if (assign >= 0) {
            const QString attribute = text.left(assign).trimmed();
            a.kind = CNodeAction::AssignAttribute;
            a.value = MakeValue(text.mid(assign + 2));
            a.variable = attributeVariable(c, n.component, attribute, a.value).name;
        } else if (const qsizetype inc = text.indexOf(QStringLiteral("++")); inc >= 0) {
            a.kind = CNodeAction::Increment;
            a.variable = attributeVariable(c, n.component, text.left(inc), QString()).name;
        } else if (const qsizetype dec = text.indexOf(QStringLiteral("--")); dec >= 0) {
            a.kind = CNodeAction::Decrement;
            a.variable = attributeVariable(c, n.component, text.left(dec), QString()).name;
        } else {
            a.kind = CNodeAction::AssignState;
            a.component = componentIndex(c, n.component);
            a.variable = c.components[size_t(a.component)].variable;
            a.value = MakeIdentifier(text, false);
            c.components[size_t(a.component)].values.Add(a.value);
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
            a.value = MakeValue(right);
            a.variable = attributeVariable(c, n.component, left, a.value).name;
        } else {
            a.kind = CNodeAction::TestState;
            a.component = componentIndex(c, n.component);
            a.variable = c.components[size_t(a.component)].variable;
            a.value = MakeIdentifier(test, false);
            c.components[size_t(a.component)].values.Add(a.value);
        }
        break;
    }
    case 3:
    case 5:
        a.kind = CNodeAction::ExternalInput;
        a.variable = messageName(u"extInMsg_", n);
        c.inputMessages.Add(a.variable);
        c.environment.Add(a.variable + u'!');
        break;
    case 6:
        a.kind = CNodeAction::ExternalOutput;
        a.variable = messageName(u"extOutMsg_", n);
        c.outputMessages.Add(a.variable);
        c.environment.Add(a.variable + u'?');
        break;
    case 7:
        a.kind = CNodeAction::InternalInput;
        a.variable = messageName(u"intInMsg_", n);
        c.internalMessages.Add(a.variable);
        break;
    case 8:
        a.kind = CNodeAction::InternalOutput;
        a.receivers = ctx.InternalReceivers(number);
        a.variable = messageName(u"intInMsg_", n);
        c.internalMessages.Add(a.variable);
        break;
    default:
        // set-all and set-any have no form here, nor has a set expression
        // outside a translation with sets
        throw CTranslateException(TranslateTexts::NoMatchingRules() + ctx.Describe(number));
    }
    return a;
}

} // namespace

void CTranslateParsingMethods::AnalyseNodes(CTranslateContext &ctx)
{
    CTranslateCollections &c = ctx.Collections();
    for (int n = 1; n <= ctx.NodeCount(); ++n) {
        ctx.Actions()[size_t(n)] = analyse(ctx, n);
        if (!ctx.Node(n).initBlock)
            continue;
        const CNodeAction &a = ctx.Action(n);
        if (a.kind == CNodeAction::AssignState) {
            c.components[size_t(a.component)].initial = a.value;
            c.initialValues.append({a.variable, a.value});
        } else if (a.kind == CNodeAction::AssignAttribute) {
            c.attributes[size_t(IndexOf(c.attributeIndex, a.variable))].initial = a.value;
            c.initialValues.append({a.variable, a.value});
        }
    }
}

QList<CCondition> CTranslateParsingMethods::SalConditions(const CNodeAction &a)
{
    switch (a.kind) {
    case CNodeAction::TestState:
        return {{a.variable + u'=' + a.value, a.negated}};
    case CNodeAction::TestAttribute:
        return {{a.variable + a.op + a.value, a.negated}};
    case CNodeAction::ExternalInput:
    case CNodeAction::InternalInput:
        return {{a.variable + QStringLiteral("=true"), false}};
    case CNodeAction::SetGuard:
        return {{a.setText, a.negated}};
    default:
        return {};
    }
}

QStringList CTranslateParsingMethods::SalAssignments(const CNodeAction &a)
{
    switch (a.kind) {
    case CNodeAction::AssignState:
    case CNodeAction::AssignAttribute:
        return {a.variable + QStringLiteral("'=") + a.value};
    case CNodeAction::Increment:
        return {a.variable + QStringLiteral("'=") + a.variable + QStringLiteral("+1")};
    case CNodeAction::Decrement:
        return {a.variable + QStringLiteral("'=") + a.variable + QStringLiteral("-1")};
    case CNodeAction::ExternalOutput:
    case CNodeAction::InternalOutput:
        return {a.variable + QStringLiteral("'=true")};
    case CNodeAction::InternalInput:
        return {a.variable + QStringLiteral("'=false")};
    case CNodeAction::SetAssignment:
        return {a.setText};
    default:
        return {};
    }
}

QString CTranslateParsingMethods::LocationId(int thread, int step)
{
    QString id = QStringLiteral("pro");
    AppendNumber(id, thread);
    id += QLatin1StringView("state");
    AppendNumber(id, step);
    return id;
}

void CTranslateParsingMethods::NameUppaalConstants(CTranslateContext &ctx)
{
    CTranslateCollections &c = ctx.Collections();
    std::unordered_set<QString, CNameHash> used;
    for (const CStateComponent &comp : c.components) {
        used.insert(comp.variable);
        used.insert(u'i' + comp.typeName);
    }
    for (const CAttributeVariable &v : c.attributes) {
        used.insert(v.name);
        used.insert(u'i' + v.typeName);
    }
    for (const QString &m : c.internalMessages.List())
        used.insert(m);
    for (const QString &e : c.environment.List())
        used.insert(e.chopped(1));
    const auto name = [&](const QString &typeName, const QString &variable, const QString &value) {
        QString constant = value;
        if (used.count(constant))
            constant = variable + u'_' + value;
        for (int k = 2; used.count(constant); ++k)
            constant = variable + u'_' + value + QString::number(k);
        used.insert(constant);
        c.uppaalConstants.emplace(constantKey(typeName, value), constant);
    };
    for (const CStateComponent &comp : c.components) {
        for (const QString &v : comp.values.List())
            name(comp.typeName, comp.variable, v);
    }
    for (const CAttributeVariable &attr : c.attributes) {
        for (const QString &v : attr.values.List())
            name(attr.typeName, attr.name, v);
    }
}

QString CTranslateParsingMethods::UppaalConstant(const CTranslateContext &ctx, const QString &typeName,
                                                 const QString &value)
{
    const CNameMap<QString> &constants = ctx.Collections().uppaalConstants;
    const auto it = constants.find(constantKey(typeName, value));
    return it == constants.end() ? value : it->second;
}

namespace {

QString uppaalValue(const CTranslateContext &ctx, const CNodeAction &a)
{
    const CTranslateCollections &c = ctx.Collections();
    if (a.component >= 0)
        return CTranslateParsingMethods::UppaalConstant(ctx, c.components[size_t(a.component)].typeName, a.value);
    const int index = IndexOf(c.attributeIndex, a.variable);
    if (index >= 0 && c.attributes[size_t(index)].kind == CAttributeVariable::Enumerated)
        return CTranslateParsingMethods::UppaalConstant(ctx, c.attributes[size_t(index)].typeName, a.value);
    return a.value;
}

} // namespace

QString CTranslateParsingMethods::UppaalGuard(const CTranslateContext &ctx, const CNodeAction &a)
{
    QString guard;
    if (a.kind == CNodeAction::TestState) {
        guard = a.variable + QStringLiteral("==") + uppaalValue(ctx, a);
    } else if (a.kind == CNodeAction::TestAttribute) {
        const QString op = a.op == u"=" ? QStringLiteral("==") : a.op == u"/=" ? QStringLiteral("!=") : a.op;
        guard = a.variable + op + uppaalValue(ctx, a);
    } else {
        return QString();
    }
    return a.negated ? QStringLiteral("not(") + guard + u')' : guard;
}

QStringList CTranslateParsingMethods::UppaalSyncs(const CNodeAction &a)
{
    switch (a.kind) {
    case CNodeAction::ExternalInput:
    case CNodeAction::InternalInput:
        return {a.variable + u'?'};
    case CNodeAction::ExternalOutput:
        return {a.variable + u'!'};
    case CNodeAction::InternalOutput: {
        // one send per receiver: more than one cannot share an edge
        QStringList syncs;
        for (qsizetype i = 0; i < a.receivers.size(); ++i)
            syncs.append(a.variable + u'!');
        return syncs;
    }
    default:
        return {};
    }
}

QStringList CTranslateParsingMethods::UppaalAssignments(const CTranslateContext &ctx, const CNodeAction &a)
{
    switch (a.kind) {
    case CNodeAction::AssignState:
    case CNodeAction::AssignAttribute:
        return {a.variable + u'=' + uppaalValue(ctx, a)};
    case CNodeAction::Increment:
        return {a.variable + u'=' + a.variable + QStringLiteral("+1")};
    case CNodeAction::Decrement:
        return {a.variable + u'=' + a.variable + QStringLiteral("-1")};
    default:
        return {};
    }
}
