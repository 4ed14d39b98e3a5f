#include "solutionfile.h"

#include "codepage1252.h"
#include "kelcontainers.h"
#include "keldatamanager.h"
#include "solutionloader.h"

#include <QFile>
#include <QSaveFile>

bool CSolutionFile::Write(const CKELDataManager &manager, const QString &path, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("Cannot write \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    constexpr qsizetype kFlushAt = 1 << 20;
    QByteArray buffer;
    buffer.reserve(kFlushAt + 4096);
    bool good = true;
    manager.WriteSolutionLines([&](const QString &line) {
        if (!good)
            return;
        Cp1252::encodeAppend(line, buffer);
        buffer.append("\r\n", 2);
        if (buffer.size() >= kFlushAt) {
            good = file.write(buffer) == buffer.size();
            buffer.resize(0);
        }
    });
    if (good && !buffer.isEmpty())
        good = file.write(buffer) == buffer.size();
    if (!good || !file.commit()) {
        if (error)
            *error = QStringLiteral("Cannot write \"%1\": %2").arg(path, file.errorString());
        file.cancelWriting();
        return false;
    }
    return true;
}

bool CSolutionFile::Read(CKELDataManager &manager, const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Cannot read \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    CSolutionLoader loader(manager);
    loader.Reserve(qsizetype(std::min<qint64>(file.size() / 100, 50'000'000)));
    constexpr qint64 kChunk = 1 << 20;
    QByteArray chunk;
    QByteArray carry;
    bool skipping = false; // inside a line that has grown too long
    for (;;) {
        chunk = file.read(kChunk);
        if (chunk.isEmpty())
            break;
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
            *error = QStringLiteral("Cannot read \"%1\": %2").arg(path, file.errorString());
        return false; // the loader puts the open solution back
    }
    if (!carry.isEmpty() && !skipping)
        loader.AddLine(carry); // a last line without a line break
    if (!loader.Finish(error))
        return false;
    manager.Solution()->SetPath(path);
    manager.SetLocal(true);
    return true;
}
