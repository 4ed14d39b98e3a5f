#include "recentfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString kKey = QStringLiteral("RecentFileList");

bool samePath(const QString &a, const QString &b)
{
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) == QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

} // namespace

QStringList CRecentFiles::Files() const
{
    QStringList files = QSettings().value(kKey).toStringList();
    if (files.size() > kMaxFiles)
        files.resize(kMaxFiles);
    return files;
}

void CRecentFiles::Add(const QString &path)
{
    if (path.isEmpty())
        return;
    QStringList files = Files();
    files.removeIf([&path](const QString &f) { return samePath(f, path); });
    files.prepend(QFileInfo(path).absoluteFilePath());
    if (files.size() > kMaxFiles)
        files.resize(kMaxFiles);
    QSettings().setValue(kKey, files);
}

void CRecentFiles::Remove(const QString &path)
{
    QStringList files = Files();
    files.removeIf([&path](const QString &f) { return samePath(f, path); });
    QSettings().setValue(kKey, files);
}
