#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class CKELDataManager;
class QLockFile;

// Keeps a recovery copy of a changed local solution. Every session writes
// its own copy in the user's data folder and holds a lock file beside it;
// a copy whose lock is no longer held belongs to a session that ended
// without closing properly, and is offered on the next start.
class CAutoSave : public QObject
{
    Q_OBJECT
public:
    static constexpr int kDefaultIntervalMs = 2 * 60 * 1000;

    // directory empty: "recovery" in the application's data folder.
    explicit CAutoSave(CKELDataManager &manager, const QString &directory = QString(), QObject *parent = nullptr);
    ~CAutoSave() override;

    const QString &Directory() const { return m_directory; }
    void SetInterval(int ms) { m_timer.setInterval(ms); }
    int Interval() const { return m_timer.interval(); }
    QString RecoveryFile() const { return m_base + QStringLiteral(".kvf"); }

    // Writes the copy now when the solution is local and changed. The copy
    // replaces the previous one in one step, so a crash never leaves half.
    bool WriteNow();
    // Deletes this session's copy: the solution was saved, closed or left.
    void Discard();

    struct Orphan
    {
        QString base;         // path of the files without extension
        QString originalPath; // where the solution lived; empty for a new one
        QDateTime written;
    };
    // Copies of sessions that are gone, newest first.
    QList<Orphan> Orphans() const;
    // Loads a copy as the open solution, changed and under its old name,
    // then takes it over as this session's copy.
    bool Restore(const Orphan &orphan, QString *error);
    void DiscardOrphan(const Orphan &orphan);

private:
    bool ensureLocked();
    static void removeFiles(const QString &base);

    CKELDataManager &m_manager;
    QString m_directory;
    QString m_base;
    std::unique_ptr<QLockFile> m_lock;
    QTimer m_timer;
};
