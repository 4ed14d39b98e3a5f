#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QMimeData;

// What a drag from the solution explorer carries: the element and the
// element whose item it was shown under. Only nodes ("Method"), states and
// RBTs can be dragged; the tree windows take the drop.
namespace ExplorerDrag {

inline QString MimeType()
{
    return QStringLiteral("application/x-verdantis-explorer-item");
}

struct Payload
{
    int elementId = 0;
    int shownUnderId = 0;
    int typeCode = 0;
};

QByteArray Encode(const Payload &payload);
std::optional<Payload> Decode(const QMimeData *data);

} // namespace ExplorerDrag
