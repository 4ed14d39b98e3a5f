#include "autosave.h"

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/solutionfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <atomic>

namespace {

const QString kPrefix = QStringLiteral("session-");

QString infoFile(const QString &base)
{
    return base + QStringLiteral(".path");
}

} // namespace

CAutoSave::CAutoSave(CKELDataManager &manager, const QString &directory, QObject *parent)
    : QObject(parent)
    , m_manager(manager)
    , m_directory(directory)
{
    if (m_directory.isEmpty())
        m_directory =
            QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/recovery");
    // pid and start time: a later process with a recycled pid gets other
    // files; the serial keeps apart the sessions of one process that start in
    // the same millisecond, so that neither takes the other's lock and file
    static std::atomic<int> serial{0};
    m_base = m_directory + u'/' + kPrefix + QString::number(QCoreApplication::applicationPid()) + u'-'
             + QString::number(QDateTime::currentMSecsSinceEpoch()) + u'-' + QString::number(++serial);
    m_timer.setInterval(kDefaultIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &CAutoSave::WriteNow);
    m_timer.start();
    // a saved, closed or replaced solution needs no copy any more
    connect(&m_manager, &CKELDataManager::modifiedChanged, this, [this](bool modified) {
        if (!modified)
            Discard();
    });
    connect(&m_manager, &CKELDataManager::solutionReplaced, this, &CAutoSave::Discard);
}

CAutoSave::~CAutoSave()
{
    Discard();
    if (m_lock)
        m_lock->unlock();
}

bool CAutoSave::ensureLocked()
{
    if (m_lock && m_lock->isLocked())
        return true;
    if (!QDir().mkpath(m_directory))
        return false;
    m_lock = std::make_unique<QLockFile>(m_base + QStringLiteral(".lock"));
    m_lock->setStaleLockTime(0);
    return m_lock->tryLock(0);
}

bool CAutoSave::WriteNow()
{
    const CKELSolution *s = m_manager.Solution();
    if (!s || !s->IsModified() || !m_manager.IsLocal() || !ensureLocked())
        return false;
    // where the solution lives goes first: a copy found without it after a
    // crash would be offered as an untitled solution, its file forgotten
    QSaveFile info(infoFile(m_base));
    if (!info.open(QIODevice::WriteOnly) || info.write(s->Path().toUtf8()) < 0 || !info.commit())
        return false;
    QString error;
    return CSolutionFile::Write(m_manager, RecoveryFile(), &error);
}

void CAutoSave::removeFiles(const QString &base)
{
    QFile::remove(base + QStringLiteral(".kvf"));
    QFile::remove(infoFile(base));
}

void CAutoSave::Discard()
{
    removeFiles(m_base);
}

QList<CAutoSave::Orphan> CAutoSave::Orphans() const
{
    QList<Orphan> found;
    const QDir dir(m_directory);
    const QFileInfoList files = dir.entryInfoList({kPrefix + QStringLiteral("*.kvf")}, QDir::Files);
    for (const QFileInfo &file : files) {
        const QString base = file.absolutePath() + u'/' + file.completeBaseName();
        if (base == m_base)
            continue;
        // a lock still held means its session is alive; a stale one is taken over
        QLockFile lock(base + QStringLiteral(".lock"));
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0))
            continue;
        lock.unlock();
        Orphan o;
        o.base = base;
        o.written = file.lastModified();
        QFile info(infoFile(base));
        if (info.open(QIODevice::ReadOnly))
            o.originalPath = QString::fromUtf8(info.readAll());
        found.append(o);
    }
    std::sort(found.begin(), found.end(), [](const Orphan &a, const Orphan &b) { return a.written > b.written; });
    return found;
}

bool CAutoSave::Restore(const Orphan &orphan, QString *error)
{
    if (!CSolutionFile::Read(m_manager, orphan.base + QStringLiteral(".kvf"), error))
        return false;
    m_manager.SetSolutionPath(orphan.originalPath);
    m_manager.SetLocal(true);
    m_manager.MarkModified();
    // the copy is ours now: written before the old one goes
    WriteNow();
    DiscardOrphan(orphan);
    return true;
}

void CAutoSave::DiscardOrphan(const Orphan &orphan)
{
    removeFiles(orphan.base);
    QFile::remove(orphan.base + QStringLiteral(".lock"));
}
