// Trees made from the input, through the SAL and UPPAAL translators and the
// ZEPH writer; the set parser's output is read as it would come back. A
// tree that cannot be translated must say so with a translation error.
#include "fuzztarget.h"

#include "../tests/common/testkit.h"
#include "../tests/core/translate/declarationcheck.h"

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/treeops.h"
#include "simulate/abstranslator.h"
#include "translate/translateexception.h"
#include "translate/translatesalmain.h"
#include "translate/translatesets.h"

#include <QStringList>

namespace {

// Few names, so that reversions, go-tos, kills and messages find partners.
QString pick(Fuzz::CByteReader &in, const char16_t *prefix)
{
    const int n = in.Byte();
    if (n >= 240)
        return in.Word(6);
    return QString::fromUtf16(prefix) + QString::number(n % 4);
}

CKELTree *buildTree(CKELDataManager &manager, Fuzz::CByteReader &in)
{
    manager.NewSolution();
    auto owned = manager.CreateElement(in.Byte() & 1 ? KEL::RBT : KEL::DBT);
    manager.RegisterElement(owned.get());
    auto *tree = static_cast<CKELTree *>(owned.get());
    const CKELVersion *version = manager.CurrentVersion();
    CKELData *folder =
        TestKit::Mutable(tree->GetTypeCode() == KEL::RBT ? static_cast<const CKELData *>(version->RBTFolder())
                                                         : static_cast<const CKELData *>(version->DBTFolder()));
    folder->AddChild(owned);

    QList<CKELMethod *> nodes;
    const int count = 1 + in.Below(48);
    for (int i = 0; i < count && !in.AtEnd(); ++i) {
        CKELMethod *node = TreeOps::NewNode(manager, *tree);
        node->component = pick(in, u"c");
        node->behavior = pick(in, u"s");
        node->behaviorType = 1 + in.Below(KEL::BehaviorTypeCount);
        const uint8_t flags = in.Byte();
        node->jumpType = flags % 3;
        node->atomic = flags & 4;
        node->setOperation = flags & 8;
        node->nonDeterministic = flags & 16;
        node->requirementTag = flags & 32 ? pick(in, u"R") : QString();
        // most nodes hang under an earlier one; the first stays the root
        if (!nodes.isEmpty() && (flags & 64) == 0)
            TreeOps::Link(manager, nodes[in.Below(int(nodes.size()))], node);
        nodes.append(node);
    }
    return tree;
}

} // namespace

VERDANTIS_FUZZ_TARGET(translate)
{
    Fuzz::Setup();
    Fuzz::CByteReader in(data, size);
    const uint8_t options = in.Byte();
    CKELDataManager manager;
    CKELTree *tree = buildTree(manager, in);
    Fuzz::CheckModel(manager);

    CTranslateSALMain sal;
    CTranslateUPPAAL uppaal;
    for (CTranslateSALMain *t : {&sal, static_cast<CTranslateSALMain *>(&uppaal)}) {
        t->Settings().messageMode = CTranslateSettings::ValidMessageMode(1 << (options % 3));
        t->Settings().useFailureViews = options & 4;
        t->Settings().displayTime = false;
        t->Settings().properties = options & 32;
        try {
            const auto result = t->Translate(manager, tree->GetId());
            Fuzz::Check(result.has_value() && !result->text.isEmpty(), "translation gave no text");
            // names stay apart, and the model declares what it uses, once
            Fuzz::Check(DeclarationCheck::Injectivity(result->identifiers).isEmpty(), "two names, one identifier");
            const QString fault =
                t == &sal ? DeclarationCheck::Sal(result->text) : DeclarationCheck::Uppaal(result->text);
            Fuzz::Check(fault.isEmpty(), "a name used but not declared, or declared twice", fault);
        } catch (const CTranslateException &) {
            // refused with a reason: fine
        }
    }
    try {
        (void)Zeph::TranslateTree(manager, *tree, 1 + (options >> 3), options & 8);
    } catch (const CTranslateException &) {
    }

    // whatever is left of the input, as lines from the set parser
    const QString rest = QString::fromUtf8(in.Rest());
    bool inOrder = false;
    (void)CTranslateSets::ReadParserOutput(rest.split(u'\n'), &inOrder);
    return 0;
}
