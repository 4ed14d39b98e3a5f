#include "nodeclipboard.h"

#include "edit/clipboardrecords.h"

#include <QMimeData>

namespace NodeClipboard {

std::unique_ptr<QMimeData> Encode(const QString &records, const QString &text)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(Clipboard::MimeType(), records.toUtf8());
    data->setText(text);
    return data;
}

QString Decode(const QMimeData *data)
{
    if (!data)
        return QString();
    if (data->hasFormat(Clipboard::MimeType()))
        return QString::fromUtf8(data->data(Clipboard::MimeType()));
    return data->hasText() ? data->text() : QString();
}

} // namespace NodeClipboard
