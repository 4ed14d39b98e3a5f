#pragma once

#include <QString>

#include <memory>

class QMimeData;

// How nodes travel through the clipboard: our own records under our MIME
// type, which keep every field and the shape of the subtree, and plain
// text for documents and mails (one node line per node, indented by depth).
namespace NodeClipboard {

std::unique_ptr<QMimeData> Encode(const QString &records, const QString &text);
// Our records when the data carries them, else its plain text; empty when
// it holds neither.
QString Decode(const QMimeData *data);

} // namespace NodeClipboard
