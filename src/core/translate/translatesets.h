#pragma once

#include "translateparsingrule.h"

#include <QList>
#include <QString>
#include <QStringList>

class CExternalParser;

// Set-valued and integer attributes in a translation with sets: their
// declarations, the expressions the set parser reads, the initial values of
// the initialisation file, and the SAL forms of the set library.
class CTranslateSets
{
public:
    // Records "Component;attribute;ElementType;initial elements or Empty;further
    // element values" declare sets; "NOTSET;Component;attribute;low;high;#INTEGER#"
    // declares an integer attribute. Throws when the file cannot be read.
    static void ReadDeclarations(CTranslateContext &ctx, const QString &path);
    // Has the set parser read the expression of every SetOp node.
    static void ParseExpressions(CTranslateContext &ctx, const CExternalParser &parser);
    // Gathers the parser's keyword lines into one expression per "RULE" line.
    static QList<CSetExpression> ReadParserOutput(const QStringList &lines, bool *numberedInOrder = nullptr);
    // Lines "component;attribute;value" give declared variables their initial values.
    static void ReadInitialisationFile(CTranslateContext &ctx, const QString &path);

    // The rule number for an expression's keywords, 0 when no rule takes it.
    static int RuleFor(const CSetExpression &expression);
    // What a set node does; registers the elements it names.
    static void AnalyseSetNode(CTranslateContext &ctx, int node, CNodeAction &action);
    // Cardinality tests are written once every element of their type is known.
    static void FinishSetActions(CTranslateContext &ctx);
};

// The nine set rules: each takes the expressions of its keyword structure.
// They have no UPPAAL form.
class CTranslateSetRule : public CTranslateParsingRule
{
public:
    using CTranslateParsingRule::CTranslateParsingRule;
    bool Recognises(const CTranslateContext &ctx, int node) const override;
};

#define VERDANTIS_SET_RULE(Class, Number)                                                                              \
    class Class : public CTranslateSetRule                                                                             \
    {                                                                                                                  \
    public:                                                                                                            \
        Class() : CTranslateSetRule(TranslateRule::Number) {}                                                          \
    };

VERDANTIS_SET_RULE(CTranslateSetAdd, SetAdd)
VERDANTIS_SET_RULE(CTranslateSetUnion, SetUnion)
VERDANTIS_SET_RULE(CTranslateSetSubtract, SetSubtract)
VERDANTIS_SET_RULE(CTranslateSetDifference, SetDifference)
VERDANTIS_SET_RULE(CTranslateSetCardinality, SetCardinality)
VERDANTIS_SET_RULE(CTranslateSetEmpty, SetEmpty)
VERDANTIS_SET_RULE(CTranslateSetIntersection, SetIntersection)
VERDANTIS_SET_RULE(CTranslateSetMember, SetMember)
VERDANTIS_SET_RULE(CTranslateSetSubset, SetSubset)

#undef VERDANTIS_SET_RULE
