#include "tracedrawing.h"

#include "treesvgsource.h"

#include "model/keldatamanager.h"

#include <QBuffer>

QByteArray TraceDrawing(CKELDataManager &manager, int treeId)
{
    // the user's scheme, as in the tree windows (Classic unless chosen)
    const CTreeSvgSource source(manager, treeId, nullptr, ColourScheme::Current());
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
