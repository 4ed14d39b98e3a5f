#pragma once

#include "semantics/behaviormodel.h"

class CKELDataManager;
class CKELTree;
class CTranslateContext;

// Builds the executable form of a tree through the translation front end,
// so that it means what the SAL and UPPAAL texts mean. Throws
// CTranslateException with the translation's texts.
class CBehaviorModelBuilder
{
public:
    static CBehaviorModel FromTree(const CKELDataManager &manager, const CKELTree &tree, int messageMode = 1);
    // A context whose nodes are built (a model tree or a generated one).
    static CBehaviorModel FromContext(CTranslateContext &ctx);
    // A context whose steps and node actions are made, as a translation
    // makes them; sets included. Without labels the nodes keep only their
    // element ids: a writer of the steps shows no node.
    static CBehaviorModel FromSteps(const CTranslateContext &ctx, bool labels = true);
};
