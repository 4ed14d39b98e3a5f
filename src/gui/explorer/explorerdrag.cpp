#include "explorerdrag.h"

#include <QList>
#include <QMimeData>

namespace ExplorerDrag {

QByteArray Encode(const Payload &payload)
{
    return QByteArray::number(payload.elementId) + ',' + QByteArray::number(payload.shownUnderId) + ','
           + QByteArray::number(payload.typeCode);
}

std::optional<Payload> Decode(const QMimeData *data)
{
    if (!data || !data->hasFormat(MimeType()))
        return std::nullopt;
    const QList<QByteArray> parts = data->data(MimeType()).split(',');
    if (parts.size() != 3)
        return std::nullopt;
    Payload p;
    bool ok[3] = {};
    p.elementId = parts[0].toInt(&ok[0]);
    p.shownUnderId = parts[1].toInt(&ok[1]);
    p.typeCode = parts[2].toInt(&ok[2]);
    if (!ok[0] || !ok[1] || !ok[2] || p.elementId <= 0)
        return std::nullopt;
    return p;
}

} // namespace ExplorerDrag
