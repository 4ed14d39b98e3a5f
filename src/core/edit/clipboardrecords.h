#pragma once

#include <QList>
#include <QString>

class CKELDataManager;

// What Copy puts on the clipboard and Paste reads back. Each listed node is
// copied with its whole subtree (a node under another listed node comes
// once, with its ancestor).
namespace Clipboard {
// The MIME type of our own text.
inline QString MimeType()
{
    return QStringLiteral("application/x-verdantis-nodes");
}
} // namespace Clipboard

// Our own text: one record a node with its fields, geometry and the place
// of its parent in the list, so a paste keeps shape and every attribute.
QString CopyNodesAsRecords(const CKELDataManager &m, const QList<int> &nodeIds);
// Plain text for documents and mail: the node lines of the import, one a
// node, indented two spaces per level.
QString CopyNodesAsText(const CKELDataManager &m, const QList<int> &nodeIds);
// Adds the nodes of either text to the tree, under parentId (0: as new
// roots) with the copied top-left corner at x,y; new ids, one undo step
// "Paste". Behaviors the target's components lack become their states.
// False when the text holds no node or the target is no tree.
bool PasteNodes(CKELDataManager &m, int treeId, int parentId, int x, int y, const QString &recordsOrText);
