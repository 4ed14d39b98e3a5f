#pragma once

#include <QString>

// Texts of translation errors that more than one file raises or that callers
// compare against. Each error text names the node after it.
namespace TranslateTexts {

// The line end of every translation's text.
inline const QString kEol = QStringLiteral("\r\n");

inline QString RootNotStateRealisation()
{
    return QStringLiteral("Root node must be a state-realisation.");
}
inline QString InitialisationBlock()
{
    return QStringLiteral("Initialisation block must all be state-realisations with no branching.");
}
inline QString NoMatchingRules()
{
    return QStringLiteral("No matching rules found for node: ");
}
inline QString NoInternalInput()
{
    return QStringLiteral("No matching internal input node found for: ");
}
inline QString MacroNotFound()
{
    return QStringLiteral("Matching macro node not found for: ");
}
inline QString TooManyMacros()
{
    return QStringLiteral("Too many matching macro nodes found for: ");
}
inline QString AtomicJump()
{
    return QStringLiteral("Jumping to an atomic node is not allowed: ");
}
inline QString NoReversionPoint()
{
    return QStringLiteral("Top reversion point not found for: ");
}
inline QString InvalidBranchKill()
{
    return QStringLiteral("Branch kill not referring to a valid branch: ");
}

inline QString EmptyName()
{
    return QStringLiteral("A component, behavior, attribute or value name is empty");
}
inline QString NumberTooLarge()
{
    return QStringLiteral("A number does not fit in 32 bits: ");
}
inline QString MixedAttribute()
{
    return QStringLiteral("An attribute takes values of two kinds: ");
}
inline QString SeveralRoots(qsizetype roots)
{
    return QStringLiteral("The tree has %1 roots; join them under one root or translate one subtree").arg(roots);
}

inline QString SetNotUnderstood()
{
    return QStringLiteral("Set expression not understood for: ");
}
inline QString SetNotDeclared()
{
    return QStringLiteral("Set attribute not declared: ");
}

inline QString UppaalGuards()
{
    return QStringLiteral("Error: There cannot be more than 1 UPPAAL guard per transition."
                          "\nAn atomic block exists which contains >1 BT selection or guard."
                          "\nThe block involves the following UPPAAL guard:");
}
inline QString UppaalSynchronisations()
{
    return QStringLiteral("Error: There cannot be more than 1 synchronisation per transition."
                          "\nAn atomic block exists which contains >1 BT events \nor one event with multiple receivers."
                          "\nThe block involves the following UPPAAL guard:");
}

} // namespace TranslateTexts
