// derive cbt: the component behavior tree of one component, as text.
#include "clicommands.h"

#include "derive/cbt.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/keltree.h"
#include "model/prompt.h"

#include <utility>
#include <vector>

namespace {

// One line a node, two blanks per depth: component, bracketed behavior, the
// flow-control mark and a non-zero evolution status.
void printOutline(QTextStream &out, const CKELDataManager &manager, const CKELCBT &cbt)
{
    const CKELMethod *init = Cbt::InitNode(cbt);
    if (!init)
        return;
    std::vector<std::pair<const CKELMethod *, int>> stack;
    if (Cbt::InitShown(cbt)) {
        stack.emplace_back(init, 0);
    } else if (const CKELData *top = manager.Lookup(init->ChildIds().first()); top && top->IsMethod()) {
        stack.emplace_back(static_cast<const CKELMethod *>(top), 0);
    }
    while (!stack.empty()) {
        const auto [n, depth] = stack.back();
        stack.pop_back();
        out << QString(2 * depth, u' ') << n->component << ' ' << n->GetDecoratedBehavior();
        if (n->jumpType == 1)
            out << " ^";
        else if (n->jumpType == 2)
            out << " =";
        if (n->GetEvStyle() != 0)
            out << " {" << n->GetEvStyle() << '}';
        out << '\n';
        const QList<int> &kids = n->ChildIds();
        for (qsizetype i = kids.size() - 1; i >= 0; --i) {
            const CKELData *k = manager.Lookup(kids[i]);
            if (k && k->IsMethod())
                stack.emplace_back(static_cast<const CKELMethod *>(k), depth + 1);
        }
    }
}

int runDeriveCbt(Cli::Context &c)
{
    if (c.args.size() != 3)
        return Cli::Usage(c, CliTexts::DeriveCbtUsage);
    CKELDataManager manager;
    const CKELTree *tree = Cli::LoadTree(c, manager);
    if (!tree)
        return Cli::FileError;
    const QString &component = c.args[2];
    if (!Cbt::ComponentList(*tree).contains(component))
        return Cli::Fail(c, CliTexts::NoComponentInTree(component, tree->GetName()));
    Cli::CCliPrompt prompt(c.err, CPrompt::Cancel);
    manager.SetPrompt(&prompt);
    // the window's command, so that the model changes only through the edit layer
    const CKELCBT *cbt = manager.CreateCBT(tree->GetId(), component) ? Cbt::FindCbt(*tree, component) : nullptr;
    if (!cbt)
        return Cli::FileError;
    printOutline(c.out, manager, *cbt);
    return Cli::Ok;
}

const Cli::Registration registerDeriveCbt("derive cbt", CliTexts::DeriveCbtHelp, &runDeriveCbt);

} // namespace
