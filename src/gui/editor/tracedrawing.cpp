#include "tracedrawing.h"

#include "treesvgsource.h"

#include "model/keldatamanager.h"

#include <QBuffer>

QByteArray TraceDrawing(CKELDataManager &manager, int treeId)
{
    // a report is a file: the notation's own colours, whatever the desktop shows
    const CTreeSvgSource source(manager, treeId, nullptr, ColourScheme::Scheme::Classic);
    CSvgOptions options;
    const CKELData *tree = manager.Lookup(treeId);
    options.title = tree ? tree->GetName() : QString();
    options.declaration = false; // inline in a page
    options.hitBoxes = true;
    QByteArray svg;
    QBuffer buffer(&svg);
    buffer.open(QIODevice::WriteOnly);
    if (!CSvgWriter::Write(source, buffer, options))
        return {};
    return svg;
}
