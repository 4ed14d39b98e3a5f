#include "solutionwriter.h"
#include "modeltexts.h"

#include "codepage1252.h"
#include "kelcontainers.h"
#include "keldatamanager.h"
#include "kelmethod.h"
#include "kelrecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstring>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

// a template rather than a std::function: it runs once a line, a million times a file
template<class LineEnded>
void CSolutionWriter::appendLines(const CKELDataManager &m, QString &line, LineEnded lineEnded)
{
    line += QStringLiteral("VLM;system:KEL-Tessel;Version:") + CKELDataManager::FormatVersion()
            + QStringLiteral(";count:") + QString::number(m.Count()) + QStringLiteral(";maxcount:")
            + QString::number(m.MaxCount());
    lineEnded(line);

    // the table walks in id order: the file lists elements by id
    const CIdTable &idMap = m.IdMap();

    // each node writes its place among its siblings: gathered once here
    // rather than searched for in the parent's list node by node
    m.m_siblingOrderCache = std::make_unique<CSiblingOrder>(idMap.maxKey(), idMap.size());
    for (const CKELData *e : idMap) {
        if (!e->IsMethod())
            continue;
        const QList<int> &kids = static_cast<const CKELMethod *>(e)->ChildIds();
        for (qsizetype i = 0; i < kids.size(); ++i)
            m.m_siblingOrderCache->Set(kids[i], int(i));
    }
    for (const CKELData *e : idMap) {
        if (!e->IsPersistent())
            continue;
        line += u"obj;";
        e->AppendRecord(line);
        lineEnded(line);
    }
    m.m_siblingOrderCache.reset();

    line += QStringLiteral("ENV;ZEPHSim:") + CKELRecord::Escape(m.SimulatorPath()) + u';';
    lineEnded(line);
    line += QStringLiteral("END;actversion:") + QString::number(m.CurrentVersion() ? m.CurrentVersion()->GetId() : 0)
            + QStringLiteral(";solution:") + QString::number(m.Solution() ? m.Solution()->GetId() : 0) + u';';
    lineEnded(line);
}

void CSolutionWriter::WriteLines(const CKELDataManager &manager, const std::function<void(const QString &)> &sink)
{
    QString line;
    appendLines(manager, line, [&sink](QString &done) {
        sink(done);
        done.resize(0);
    });
}

QString CSolutionWriter::Text(const CKELDataManager &manager)
{
    QString text;
    appendLines(manager, text, [](QString &done) { done += u'\n'; });
    return text;
}

namespace {

#ifdef Q_OS_UNIX
// A rename is on disk only once its folder is.
void syncFolder(const QString &path)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
#endif

} // namespace

CSolutionWriter::Outcome CSolutionWriter::WriteFile(const CKELDataManager &manager, const QString &path, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        const QString why = file.errorString();
        // a file we may change in a folder we may not add to
        const QFileInfo target(path);
        const QFileInfo folder(target.absolutePath());
        if (target.isFile() && target.isWritable() && folder.isDir() && !folder.isWritable()) {
            QByteArray bytes;
            QString text;
            appendLines(manager, text, [&](QString &done) {
                done += u"\r\n";
                Cp1252::encodeAppend(done, bytes);
                done.resize(0);
            });
            return writeInPlace(path, bytes, error);
        }
        if (error)
            *error = ModelTexts::CannotWrite(path, why);
        return Outcome::Failed;
    }
    // lines gather in one text that is encoded and written a block at a time
    constexpr qsizetype kFlushAt = 1 << 20;
    QString text;
    text.reserve(kFlushAt + 4096);
    QByteArray buffer;
    bool good = true;
    auto flush = [&](QString &done) {
        buffer.resize(0);
        Cp1252::encodeAppend(done, buffer);
        done.resize(0);
        good = good && file.write(buffer) == buffer.size();
    };
    appendLines(manager, text, [&](QString &done) {
        done += u"\r\n";
        if (done.size() >= kFlushAt)
            flush(done);
    });
    if (!text.isEmpty())
        flush(text);
    QString why;
#ifdef Q_OS_UNIX
    // the new bytes are on disk before the rename makes them the file
    good = good && file.flush();
    if (good && ::fsync(file.handle()) != 0) {
        why = QString::fromLocal8Bit(::strerror(errno));
        good = false;
    }
#endif
    if (!good || !file.commit()) {
        if (error)
            *error = ModelTexts::CannotWrite(path, why.isEmpty() ? file.errorString() : why);
        file.cancelWriting();
        return Outcome::Failed;
    }
#ifdef Q_OS_UNIX
    syncFolder(path);
#endif
    return Outcome::Atomic;
}

CSolutionWriter::Outcome CSolutionWriter::writeInPlace(const QString &path, const QByteArray &bytes, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) {
        if (error)
            *error = ModelTexts::CannotWrite(path, file.errorString());
        return Outcome::Failed;
    }
    const QByteArray old = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = ModelTexts::CannotWrite(path, file.errorString());
        return Outcome::Failed;
    }
#ifdef Q_OS_UNIX
    // Reserve the room first: a full disk refuses here, before a byte of the
    // old file has changed.
    if (bytes.size() > old.size()) {
        const int rc = ::posix_fallocate(file.handle(), 0, off_t(bytes.size()));
        if (rc != 0 && rc != EOPNOTSUPP && rc != EINVAL) {
            file.resize(old.size());
            if (error)
                *error =
                    ModelTexts::CannotWrite(path, QString::fromLocal8Bit(::strerror(rc))) + ModelTexts::FileLeftAsItWas;
            return Outcome::Failed;
        }
    }
#endif
    auto put = [&file](const QByteArray &data) {
        bool ok = file.seek(0) && file.write(data) == data.size() && file.resize(data.size()) && file.flush();
#ifdef Q_OS_UNIX
        ok = ok && ::fsync(file.handle()) == 0;
#endif
        return ok;
    };
    if (put(bytes))
        return Outcome::InPlace;
    const QString why = file.errorString();
    const bool restored = put(old);
    if (error) {
        *error = ModelTexts::CannotWrite(path, why)
                 + (restored ? ModelTexts::FileLeftAsItWas : ModelTexts::FileMayBeDamaged);
    }
    return Outcome::Failed;
}
