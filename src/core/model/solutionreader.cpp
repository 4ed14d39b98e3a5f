#include "solutionreader.h"
#include "modeltexts.h"

#include "codepage1252.h"
#include "kelcontainers.h"
#include "keldatamanager.h"
#include "solutionloader.h"

#include <QFile>

bool CSolutionReader::ReadFile(CKELDataManager &manager, const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = ModelTexts::CannotRead(path, file.errorString());
        return false;
    }
    CSolutionLoader loader(manager);
    loader.SetMaxLines(qsizetype(std::min<qint64>(file.size() / kShortestElementLine, KEL::MaxElementId)));
    constexpr qint64 kChunk = 1 << 20;
    // one buffer for the whole file: a fresh one per read costs as much again in page faults
    QByteArray buffer(kChunk, Qt::Uninitialized);
    QByteArray carry;
    bool skipping = false; // inside a line that has grown too long
    for (;;) {
        const qint64 got = file.read(buffer.data(), kChunk);
        if (got <= 0)
            break;
        const QByteArrayView chunk(buffer.constData(), qsizetype(got));
        qsizetype start = 0;
        for (;;) {
            const qsizetype nl = chunk.indexOf('\n', start);
            if (nl < 0)
                break;
            if (skipping) {
                skipping = false;
            } else if (carry.isEmpty()) {
                loader.AddLine(QByteArrayView(chunk.constData() + start, nl - start));
            } else {
                carry.append(chunk.constData() + start, nl - start);
                loader.AddLine(carry);
                carry.clear();
            }
            start = nl + 1;
        }
        if (!skipping)
            carry.append(chunk.constData() + start, chunk.size() - start);
        if (carry.size() > kMaxLineBytes) {
            carry.clear();
            skipping = true;
            loader.IgnoreLine();
        }
    }
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = ModelTexts::CannotRead(path, file.errorString());
        return false; // the loader puts the open solution back
    }
    if (!carry.isEmpty() && !skipping)
        loader.AddLine(carry); // a last line without a line break
    if (!loader.Finish(error))
        return false;
    manager.SetSolutionPath(path);
    manager.SetLocal(true);
    return true;
}

bool CSolutionReader::ReadText(CKELDataManager &manager, const QString &text, QString *error)
{
    CSolutionLoader loader(manager);
    // The record text may hold any UTF-16 character; the loader reads bytes
    // in the file's encoding, which keeps such characters as escapes.
    const QByteArray bytes = Cp1252::encode(text);
    loader.SetMaxLines(bytes.size() / kShortestElementLine);
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            break; // text after the last line feed is not a line
        loader.AddLine(QByteArrayView(bytes.constData() + start, end - start));
        start = end + 1;
    }
    return loader.Finish(error);
}
