#pragma once

#include <QList>
#include <QString>

class CKELData;

// The items of the solution explorer in display order: each element under
// its owner, owned children first, then the elements it shows as virtual
// children (which show nothing below themselves).
struct CExplorerRow
{
    const CKELData *element = nullptr;
    int depth = 0;
    bool isVirtual = false;
};

QList<CExplorerRow> ExplorerRows(const CKELData *root);

// One line per row: two blanks per level, "~ " before a virtual child's label.
QString ExplorerText(const CKELData *root);
