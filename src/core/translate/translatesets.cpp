#include "translatesets.h"

#include "externalparser.h"
#include "identifier.h"
#include "translatecontext.h"
#include "translateexception.h"
#include "translatetexts.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>

// ---- Parsed expressions ---------------------------------------------------

QString CSetExpression::OperationKeyword(const QString &word)
{
    static const QHash<QString, QString> forms{
        {QStringLiteral("card"), QStringLiteral("cardinality")},
        {QStringLiteral("cardinality"), QStringLiteral("cardinality")},
        {QStringLiteral("boolsym"), QStringLiteral("boolsym")},
        {QStringLiteral("union"), QStringLiteral("union")},
        {QStringLiteral("Attribute"), QStringLiteral("attribute")},
        {QStringLiteral("attribute"), QStringLiteral("attribute")},
        {QStringLiteral("empty"), QStringLiteral("empty")},
        {QStringLiteral("mem"), QStringLiteral("membership")},
        {QStringLiteral("membership"), QStringLiteral("membership")},
        {QStringLiteral("diff"), QStringLiteral("difference")},
        {QStringLiteral("difference"), QStringLiteral("difference")},
        {QStringLiteral("intersect"), QStringLiteral("intersection")},
        {QStringLiteral("intersection"), QStringLiteral("intersection")},
        {QStringLiteral("subset"), QStringLiteral("subset")},
    };
    return forms.value(word);
}

bool CSetExpression::IsComparison(const QString &word)
{
    return word == u"LessThan" || word == u"GreaterThan" || word == u"EqualTo" || word == u"LessThanOrEqual"
           || word == u"GreaterThanOrEqual";
}

namespace {

// The same name the plain attributes get, so that a set variable never meets one of them.
QString setName(CTranslateContext &ctx, const QString &component, const QString &attribute)
{
    return ctx.Names().AttributeVariableName(component, attribute);
}

QStringList readLines(const QString &path, bool &ok)
{
    QFile f(path);
    ok = !path.isEmpty() && f.open(QIODevice::ReadOnly);
    if (!ok)
        return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
    for (QString &line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    return lines;
}

QStringList splitList(const QString &text)
{
    QStringList out;
    for (const QString &item : text.split(u',')) {
        const QString t = item.trimmed();
        if (!t.isEmpty() && t != u"Empty")
            out.append(t);
    }
    return out;
}

int setTypeIndex(CTranslateCollections &c, const QString &rawName)
{
    const QString name = MakeIdentifier(rawName, true);
    if (const int known = IndexOf(c.setTypeIndex, name); known >= 0)
        return known;
    CSetType type;
    type.name = name;
    c.setTypes.push_back(std::move(type));
    c.setTypeIndex.emplace(name, int(c.setTypes.size()) - 1);
    return int(c.setTypes.size()) - 1;
}

QString prefix(const CSetType &type)
{
    // the set library is a parametric context: its actual parameters are
    // types, then ";", then values, and the ";" is always written
    return QStringLiteral("set{") + type.name + QStringLiteral(";}!");
}

} // namespace

void CTranslateSets::ReadDeclarations(CTranslateContext &ctx, const QString &path)
{
    if (path.isEmpty())
        return;
    bool ok = false;
    const QStringList lines = readLines(path, ok);
    if (!ok)
        throw CTranslateException(QStringLiteral("Cannot read the declaration file: ") + path);
    CTranslateCollections &c = ctx.Collections();
    for (const QString &line : lines) {
        if (line.trimmed().isEmpty())
            continue;
        const QStringList f = line.split(u';');
        if (f.first().trimmed() == u"NOTSET") {
            if (f.value(5).trimmed() != u"#INTEGER#" || f.value(1).trimmed().isEmpty()
                || f.value(2).trimmed().isEmpty())
                continue; // an attribute whose type its uses decide
            CAttributeVariable v;
            v.name = setName(ctx, f[1], f[2]);
            v.kind = CAttributeVariable::Integer;
            v.component = f[1].trimmed();
            v.attribute = f[2].trimmed();
            v.declared = true;
            if (IsIntegerLiteral(f.value(3).trimmed()) && IsIntegerLiteral(f.value(4).trimmed())) {
                v.low = f[3].trimmed();
                v.high = f[4].trimmed();
            }
            if (!c.attributeIndex.count(v.name)) {
                c.attributeIndex.emplace(v.name, int(c.attributes.size()));
                c.attributes.push_back(std::move(v));
            }
            continue;
        }
        if (f.size() < 3 || f[0].trimmed().isEmpty() || f[1].trimmed().isEmpty() || f[2].trimmed().isEmpty())
            throw CTranslateException(QStringLiteral("Set declaration not understood: ") + line.trimmed());
        CSetVariable v;
        v.name = setName(ctx, f[0], f[1]);
        v.type = setTypeIndex(c, f[2]);
        CSetType &type = c.setTypes[size_t(v.type)];
        for (const QString &e : splitList(f.value(3)))
            v.initial.append(MakeIdentifier(e, false));
        v.hasInitial = !v.initial.isEmpty();
        for (const QString &e : std::as_const(v.initial))
            type.values.Add(e);
        for (const QString &e : splitList(f.value(4)))
            type.values.Add(MakeIdentifier(e, false));
        if (!c.setVariableIndex.count(v.name)) {
            c.setVariableIndex.emplace(v.name, int(c.setVariables.size()));
            c.setVariables.push_back(std::move(v));
        }
    }
}

QList<CSetExpression> CTranslateSets::ReadParserOutput(const QStringList &lines, bool *numberedInOrder)
{
    QList<CSetExpression> groups;
    bool inOrder = true;
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty())
            continue;
        static const QRegularExpression blank(QStringLiteral("\\s"));
        const qsizetype space = line.indexOf(blank);
        const QString keyword = space < 0 ? line : line.left(space);
        const QString rest = space < 0 ? QString() : line.mid(space).trimmed();
        if (keyword == u"RULE") {
            groups.append(CSetExpression());
            if (!rest.isEmpty() && rest.toInt() != groups.size())
                inOrder = false;
            continue;
        }
        if (groups.isEmpty())
            groups.append(CSetExpression()); // a parser that marks no groups wrote one expression
        CSetExpression &e = groups.last();
        if (keyword == u"VALUE") {
            e.values.append(rest);
        } else if (keyword == u"Name") {
            e.names.append(rest);
        } else if (keyword == u"Num") {
            e.number = rest;
        } else if (keyword == u"NOT") {
            e.negated = true;
        } else if (keyword == u"ERROR") {
            e.error = rest.isEmpty() ? QStringLiteral("refused by the set parser") : rest;
        } else if (CSetExpression::IsComparison(keyword)) {
            e.comparison = keyword;
        } else if (const QString op = CSetExpression::OperationKeyword(keyword); !op.isEmpty()) {
            e.keywords.append(op);
            if (op == u"attribute")
                e.attribute = rest;
            else if (op == u"boolsym" && !rest.isEmpty())
                e.comparison = rest;
        }
    }
    if (numberedInOrder)
        *numberedInOrder = inOrder;
    return groups;
}

void CTranslateSets::ParseExpressions(CTranslateContext &ctx, const CExternalParser &parser)
{
    QList<int> nodes;
    QString input;
    for (int n = 1; n <= ctx.NodeCount(); ++n) {
        const CTranslateNode &node = ctx.Node(n);
        if (!node.setOp)
            continue;
        nodes.append(n);
        QString text = node.state;
        text.replace(u'\r', u' ').replace(u'\n', u' ');
        input += text + QStringLiteral("\r\n");
    }
    if (nodes.isEmpty())
        return;
    const CExternalParser::Output out = parser.Run(input);
    if (!out.read)
        throw CTranslateException(parser.FailureText(out));
    bool inOrder = true;
    QList<CSetExpression> groups = ReadParserOutput(out.lines, &inOrder);
    // the parser's own word on an expression first, then how it ended
    for (qsizetype i = 0; i < std::min(groups.size(), nodes.size()); ++i) {
        if (!groups[i].error.isEmpty())
            throw CTranslateException(TranslateTexts::SetNotUnderstood() + ctx.Describe(nodes[i]) + QStringLiteral(": ")
                                      + groups[i].error);
    }
    if (out.exitCode != 0)
        throw CTranslateException(parser.FailureText(out));
    if (groups.size() != nodes.size() || !inOrder)
        throw CTranslateException(QStringLiteral("The set parser's output does not match the expressions sent"));
    for (qsizetype i = 0; i < nodes.size(); ++i) {
        if (groups[i].keywords.isEmpty())
            throw CTranslateException(TranslateTexts::SetNotUnderstood() + ctx.Describe(nodes[i]));
        ctx.Node(nodes[i]).setExpression = std::make_unique<CSetExpression>(std::move(groups[i]));
    }
}

void CTranslateSets::ReadInitialisationFile(CTranslateContext &ctx, const QString &path)
{
    if (path.isEmpty())
        return;
    bool ok = false;
    const QStringList lines = readLines(path, ok);
    if (!ok)
        throw CTranslateException(QStringLiteral("Cannot read the initialisation file: ") + path);
    CTranslateCollections &c = ctx.Collections();
    for (const QString &line : lines) {
        const QStringList f = line.split(u';');
        if (f.size() < 3)
            continue;
        const QString name = setName(ctx, f[0], f[1]);
        if (c.initFileVariables.count(name))
            continue; // one initial value per variable
        QString value = f.mid(2).join(u';').trimmed();
        if (const int set = IndexOf(c.setVariableIndex, name); set >= 0) {
            CSetType &type = c.setTypes[size_t(c.setVariables[size_t(set)].type)];
            if (value.startsWith(u'{') && value.endsWith(u'}'))
                value = value.mid(1, value.size() - 2);
            QStringList elements;
            for (const QString &e : splitList(value)) {
                elements.append(MakeIdentifier(e, false));
                type.values.Add(elements.last());
            }
            value = elements.isEmpty() ? prefix(type) + QStringLiteral("empty_set") : u'{' + elements.join(u',') + u'}';
        } else if (c.attributeIndex.count(name) && !value.isEmpty()) {
            value = MakeValue(value);
        } else {
            continue;
        }
        c.initFileValues.append({name, value});
        c.initFileVariables.insert(name);
    }
}

// ---- Rules ----------------------------------------------------------------

int CTranslateSets::RuleFor(const CSetExpression &e)
{
    const bool attribute = e.Has(QStringLiteral("attribute"));
    const bool membership = e.Has(QStringLiteral("membership"));
    const bool onion = e.Has(QStringLiteral("union"));
    const bool difference = e.Has(QStringLiteral("difference"));
    if (onion && membership && attribute)
        return TranslateRule::SetAdd;
    if (e.Has(QStringLiteral("cardinality")))
        return TranslateRule::SetCardinality;
    if (difference && attribute && !membership)
        return TranslateRule::SetDifference;
    if (e.Has(QStringLiteral("empty")))
        return TranslateRule::SetEmpty;
    if (e.Has(QStringLiteral("intersection")) && attribute)
        return TranslateRule::SetIntersection;
    if (membership && !onion && !difference && !attribute)
        return TranslateRule::SetMember;
    if (difference && membership && attribute)
        return TranslateRule::SetSubtract;
    if (onion && attribute)
        return TranslateRule::SetUnion;
    if (e.Has(QStringLiteral("subset")))
        return TranslateRule::SetSubset;
    return 0;
}

bool CTranslateSetRule::Recognises(const CTranslateContext &ctx, int node) const
{
    const CTranslateNode &n = ctx.Node(node);
    return n.setOp && n.setExpression && CTranslateSets::RuleFor(*n.setExpression) == Number();
}

// ---- SAL forms ------------------------------------------------------------

void CTranslateSets::AnalyseSetNode(CTranslateContext &ctx, int node, CNodeAction &a)
{
    CTranslateCollections &c = ctx.Collections();
    const CTranslateNode &n = ctx.Node(node);
    const CSetExpression &e = *n.setExpression;
    const auto notUnderstood = [&] {
        return CTranslateException(TranslateTexts::SetNotUnderstood() + ctx.Describe(node));
    };
    // a name is an attribute of the node's component unless it says "Component.attribute"
    const auto variable = [&](const QString &name) -> const CSetVariable & {
        const qsizetype dot = name.lastIndexOf(u'.');
        const QString component = dot < 0 ? n.component : name.left(dot);
        const QString attribute = dot < 0 ? name : name.mid(dot + 1);
        if (name.trimmed().isEmpty())
            throw notUnderstood();
        const int index = IndexOf(c.setVariableIndex, setName(ctx, component, attribute));
        if (index < 0)
            throw CTranslateException(TranslateTexts::SetNotDeclared() + component.trimmed() + u' '
                                      + attribute.trimmed());
        return c.setVariables[size_t(index)];
    };
    const auto element = [&](const CSetVariable &set) {
        if (e.values.isEmpty())
            throw notUnderstood();
        const QString id = MakeIdentifier(e.values.first(), false);
        c.setTypes[size_t(set.type)].values.Add(id);
        return id;
    };
    const auto operand = [&](qsizetype i) -> const CSetVariable & {
        if (i >= e.names.size())
            throw notUnderstood();
        return variable(e.names[i]);
    };

    const int rule = CTranslateSets::RuleFor(e);
    const bool assignment = rule == TranslateRule::SetAdd || rule == TranslateRule::SetUnion
                            || rule == TranslateRule::SetSubtract || rule == TranslateRule::SetDifference
                            || rule == TranslateRule::SetIntersection
                            || (rule == TranslateRule::SetEmpty && e.Has(QStringLiteral("attribute")));
    if (assignment) {
        const CSetVariable &target = variable(e.attribute.isEmpty() ? e.names.value(0) : e.attribute);
        const QString p = prefix(c.setTypes[size_t(target.type)]);
        a.kind = CNodeAction::SetAssignment;
        a.variable = target.name;
        // with one operand, the target is also the set it starts from
        const qsizetype other = e.names.size() >= 2 ? 1 : 0;
        const QString source = e.names.size() >= 2 ? operand(0).name : target.name;
        QString form;
        switch (rule) {
        case TranslateRule::SetAdd:
            form = p + QStringLiteral("insert(") + source + u',' + element(target) + u')';
            break;
        case TranslateRule::SetSubtract:
            form = p + QStringLiteral("remove(") + source + u',' + element(target) + u')';
            break;
        case TranslateRule::SetUnion:
            form = p + QStringLiteral("union(") + source + u',' + operand(other).name + u')';
            break;
        case TranslateRule::SetDifference:
            form = p + QStringLiteral("difference(") + source + u',' + operand(other).name + u')';
            break;
        case TranslateRule::SetIntersection:
            form = p + QStringLiteral("intersection(") + source + u',' + operand(other).name + u')';
            break;
        default: form = p + QStringLiteral("empty_set"); break;
        }
        a.setText = target.name + QStringLiteral("'=") + form;
        return;
    }

    const CSetVariable &set = operand(0);
    const QString p = prefix(c.setTypes[size_t(set.type)]);
    a.kind = CNodeAction::SetGuard;
    a.variable = set.name;
    a.negated = e.negated;
    switch (rule) {
    case TranslateRule::SetEmpty: a.setText = p + QStringLiteral("empty?(") + set.name + u')'; break;
    case TranslateRule::SetMember:
        a.setText = p + QStringLiteral("contains?(") + set.name + u',' + element(set) + u')';
        break;
    case TranslateRule::SetSubset:
        a.setText = p + QStringLiteral("subset?(") + set.name + u',' + operand(1).name + u')';
        break;
    case TranslateRule::SetCardinality: {
        bool ok = false;
        const int bound = e.number.trimmed().toInt(&ok);
        if (!ok || !CSetExpression::IsComparison(e.comparison))
            throw notUnderstood();
        // written when the type's elements are all known
        a.op = e.comparison;
        a.value = QString::number(bound);
        break;
    }
    default: throw notUnderstood();
    }
}

namespace {

// |S| <= bound, with size?(S, n) true when S holds exactly n elements; no set
// holds more elements than its type has values.
QString atMost(const QString &p, const QString &set, int bound, int typeSize)
{
    if (bound < 0)
        return QStringLiteral("FALSE");
    QStringList terms{p + QStringLiteral("empty?(") + set + u')'};
    for (int n = 1; n <= std::min(bound, typeSize); ++n)
        terms.append(p + QStringLiteral("size?(") + set + u',' + QString::number(n) + u')');
    return terms.size() == 1 ? terms.first() : u'(' + terms.join(QStringLiteral(" OR ")) + u')';
}

} // namespace

void CTranslateSets::FinishSetActions(CTranslateContext &ctx)
{
    CTranslateCollections &c = ctx.Collections();
    for (const CSetType &type : c.setTypes) {
        if (type.values.IsEmpty())
            throw CTranslateException(QStringLiteral("No element values known for the set type: ") + type.name);
    }
    for (CNodeAction &a : ctx.Actions()) {
        if (a.kind != CNodeAction::SetGuard || a.op.isEmpty())
            continue;
        const CSetType &type = c.setTypes[size_t(c.setVariables[size_t(IndexOf(c.setVariableIndex, a.variable))].type)];
        const QString p = prefix(type);
        const int k = a.value.toInt();
        const int size = int(type.values.Size());
        if (a.op == u"EqualTo") {
            a.setText = k == 0 ? p + QStringLiteral("empty?(") + a.variable + u')'
                               : p + QStringLiteral("size?(") + a.variable + u',' + a.value + u')';
        } else if (a.op == u"LessThan" || a.op == u"GreaterThanOrEqual") {
            a.setText = atMost(p, a.variable, k - 1, size);
            a.negated = a.negated != (a.op == u"GreaterThanOrEqual");
        } else {
            a.setText = atMost(p, a.variable, k, size);
            a.negated = a.negated != (a.op == u"GreaterThan");
        }
    }
}
