#include "explorerlisting.h"

#include "keldata.h"
#include "keldatamanager.h"

#include <vector>

QList<CExplorerRow> ExplorerRows(const CKELData *root)
{
    QList<CExplorerRow> rows;
    if (!root)
        return rows;
    // explicit stack: pushed in reverse so that items come out in order
    std::vector<CExplorerRow> stack{{root, 0, false}};
    while (!stack.empty()) {
        const CExplorerRow row = stack.back();
        stack.pop_back();
        rows.append(row);
        if (row.isVirtual)
            continue;
        const CKELData *e = row.element;
        const QList<int> &vkids = e->VChildIds();
        const CKELDataManager *m = e->Manager();
        for (qsizetype i = vkids.size() - 1; i >= 0; --i) {
            if (const CKELData *v = m ? m->Lookup(vkids[i]) : nullptr)
                stack.push_back({v, row.depth + 1, true});
        }
        for (int i = e->ChildCount() - 1; i >= 0; --i)
            stack.push_back({e->ChildAt(i), row.depth + 1, false});
    }
    return rows;
}

QString ExplorerText(const CKELData *root)
{
    QString text;
    for (const CExplorerRow &row : ExplorerRows(root)) {
        text += QString(row.depth * 2, u' ');
        if (row.isVirtual)
            text += QStringLiteral("~ ");
        text += row.element->GetLabel();
        text += u'\n';
    }
    return text;
}
