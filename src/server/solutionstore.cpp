#include "solutionstore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

namespace {

QString now()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
}

} // namespace

CSolutionStore::CSolutionStore(const QString &directory)
    : m_directory(directory)
    , m_connection(QStringLiteral("verdantis-store-%1").arg(quintptr(this), 0, 16))
{}

CSolutionStore::~CSolutionStore()
{
    m_insertRecord.reset();
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

QString CSolutionStore::FilePath() const
{
    return QDir(m_directory).filePath(FileName());
}

bool CSolutionStore::Open(QString *error)
{
    auto fail = [&](const QString &text) {
        m_lastError = text;
        if (error)
            *error = text;
        return false;
    };
    if (!QDir().mkpath(m_directory))
        return fail(QStringLiteral("cannot create the data folder %1").arg(m_directory));
    // the texts are the team's work: only the server's own user reads them
    QFile::setPermissions(m_directory, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    {
        // made before SQLite opens it; its journal files take the same mode
        QFile file(FilePath());
        if (!file.exists() && !file.open(QIODevice::WriteOnly))
            return fail(QStringLiteral("cannot create %1: %2").arg(FilePath(), file.errorString()));
    }
    QFile::setPermissions(FilePath(), QFile::ReadOwner | QFile::WriteOwner);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(FilePath());
    // the server and a --grant beside it share the file
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        return fail(db.lastError().text());
    QSqlQuery q(db);
    // a committed write survives the server being killed
    const char *setup[] = {
        "PRAGMA journal_mode=WAL",
        "PRAGMA synchronous=NORMAL",
        "CREATE TABLE IF NOT EXISTS solutions (name TEXT PRIMARY KEY NOT NULL, text TEXT NOT NULL, "
        "updated TEXT NOT NULL)",
        "CREATE TABLE IF NOT EXISTS history (id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT NOT NULL, "
        "text TEXT NOT NULL, saved TEXT NOT NULL, user TEXT NOT NULL)",
        "CREATE INDEX IF NOT EXISTS history_name ON history(name)",
        "CREATE TABLE IF NOT EXISTS records (id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT NOT NULL, "
        "record TEXT NOT NULL)",
        "CREATE INDEX IF NOT EXISTS records_name ON records(name, id)",
        "CREATE TABLE IF NOT EXISTS members (name TEXT NOT NULL, member TEXT NOT NULL, owner INTEGER NOT NULL, "
        "PRIMARY KEY (name, member))",
    };
    for (const char *statement : setup) {
        if (!q.exec(QString::fromLatin1(statement)))
            return fail(q.lastError().text());
    }
    return true;
}

QStringList CSolutionStore::Names() const
{
    QStringList names;
    QSqlQuery q(QSqlDatabase::database(m_connection));
    if (!q.exec(QStringLiteral("SELECT name FROM solutions ORDER BY name"))) {
        m_lastError = q.lastError().text();
        return names;
    }
    while (q.next())
        names.append(q.value(0).toString());
    return names;
}

QStringList CSolutionStore::NamesFor(const QString &user) const
{
    QStringList names;
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("SELECT s.name FROM solutions s WHERE NOT EXISTS (SELECT 1 FROM members m WHERE m.name = "
                             "s.name) OR EXISTS (SELECT 1 FROM members m WHERE m.name = s.name AND m.member = ?) "
                             "ORDER BY s.name"));
    q.addBindValue(user);
    if (!exec(q))
        return names;
    while (q.next())
        names.append(q.value(0).toString());
    return names;
}

QString CSolutionStore::Owner(const QString &name) const
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("SELECT member FROM members WHERE name = ? AND owner = 1"));
    q.addBindValue(name);
    return exec(q) && q.next() ? q.value(0).toString() : QString();
}

QStringList CSolutionStore::Members(const QString &name) const
{
    QStringList users;
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("SELECT member FROM members WHERE name = ? ORDER BY owner DESC, member"));
    q.addBindValue(name);
    if (!exec(q))
        return users;
    while (q.next())
        users.append(q.value(0).toString());
    return users;
}

bool CSolutionStore::IsMember(const QString &name, const QString &user) const
{
    const QStringList users = Members(name);
    return users.isEmpty() || users.contains(user);
}

bool CSolutionStore::Grant(const QString &name, const QString &user)
{
    if (!Load(name)) {
        m_lastError = QStringLiteral("no shared solution has this name");
        return false;
    }
    QSqlQuery q(QSqlDatabase::database(m_connection));
    // the first one granted to an unowned solution owns it
    q.prepare(QStringLiteral("INSERT INTO members (name, member, owner) SELECT ?, ?, CASE WHEN EXISTS (SELECT 1 FROM "
                             "members WHERE name = ?) THEN 0 ELSE 1 END WHERE NOT EXISTS (SELECT 1 FROM members "
                             "WHERE name = ? AND member = ?)"));
    q.addBindValue(name);
    q.addBindValue(user);
    q.addBindValue(name);
    q.addBindValue(name);
    q.addBindValue(user);
    return exec(q);
}

bool CSolutionStore::Revoke(const QString &name, const QString &user)
{
    if (Owner(name) == user) {
        m_lastError = QStringLiteral("the owner of a solution stays its member");
        return false;
    }
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("DELETE FROM members WHERE name = ? AND member = ?"));
    q.addBindValue(name);
    q.addBindValue(user);
    if (!exec(q))
        return false;
    if (q.numRowsAffected() < 1) {
        m_lastError = QStringLiteral("%1 is no member of this solution").arg(user);
        return false;
    }
    return true;
}

std::optional<QString> CSolutionStore::Load(const QString &name) const
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("SELECT text FROM solutions WHERE name = ?"));
    q.addBindValue(name);
    if (!q.exec()) {
        m_lastError = q.lastError().text();
        return std::nullopt;
    }
    if (!q.next())
        return std::nullopt;
    return q.value(0).toString();
}

bool CSolutionStore::exec(QSqlQuery &q) const
{
    if (q.exec())
        return true;
    m_lastError = q.lastError().text();
    return false;
}

QStringList CSolutionStore::Records(const QString &name) const
{
    QStringList records;
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT record FROM records WHERE name = ? ORDER BY id"));
    q.addBindValue(name);
    if (!exec(q))
        return records;
    while (q.next())
        records.append(q.value(0).toString());
    return records;
}

bool CSolutionStore::AppendRecords(const QList<std::pair<QString, QString>> &nameAndRecord)
{
    if (nameAndRecord.isEmpty())
        return true;
    QSqlDatabase db = QSqlDatabase::database(m_connection);
    if (!db.transaction()) {
        m_lastError = db.lastError().text();
        return false;
    }
    if (!m_insertRecord) {
        m_insertRecord = std::make_unique<QSqlQuery>(db);
        if (!m_insertRecord->prepare(QStringLiteral("INSERT INTO records (name, record) VALUES (?, ?)"))) {
            m_lastError = m_insertRecord->lastError().text();
            m_insertRecord.reset();
            db.rollback();
            return false;
        }
    }
    QSqlQuery &q = *m_insertRecord;
    for (const auto &[name, record] : nameAndRecord) {
        q.bindValue(0, name);
        q.bindValue(1, record);
        if (!exec(q)) {
            db.rollback();
            return false;
        }
    }
    if (!db.commit()) {
        m_lastError = db.lastError().text();
        db.rollback();
        return false;
    }
    return true;
}

bool CSolutionStore::storeCurrent(const QString &name, const QString &text)
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("INSERT INTO solutions (name, text, updated) VALUES (?, ?, ?) "
                             "ON CONFLICT(name) DO UPDATE SET text = excluded.text, updated = excluded.updated"));
    q.addBindValue(name);
    q.addBindValue(text);
    q.addBindValue(now());
    if (!exec(q))
        return false;
    // the text holds them now
    QSqlQuery d(QSqlDatabase::database(m_connection));
    d.prepare(QStringLiteral("DELETE FROM records WHERE name = ?"));
    d.addBindValue(name);
    return exec(d);
}

bool CSolutionStore::Store(const QString &name, const QString &text)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection);
    if (!db.transaction()) {
        m_lastError = db.lastError().text();
        return false;
    }
    if (!storeCurrent(name, text) || !db.commit()) {
        if (db.lastError().isValid())
            m_lastError = db.lastError().text();
        db.rollback();
        return false;
    }
    return true;
}

bool CSolutionStore::Save(const QString &name, const QString &text, const QString &user)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection);
    if (!db.transaction()) {
        m_lastError = db.lastError().text();
        return false;
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO history (name, text, saved, user) VALUES (?, ?, ?, ?)"));
    q.addBindValue(name);
    q.addBindValue(text);
    q.addBindValue(now());
    q.addBindValue(user);
    QSqlQuery own(db);
    // who saves a solution nobody owns becomes its owner
    own.prepare(QStringLiteral("INSERT INTO members (name, member, owner) SELECT ?, ?, 1 WHERE NOT EXISTS (SELECT 1 "
                               "FROM members WHERE name = ?)"));
    own.addBindValue(name);
    own.addBindValue(user);
    own.addBindValue(name);
    if (!q.exec() || !storeCurrent(name, text) || !exec(own)) {
        if (m_lastError.isEmpty() || q.lastError().isValid())
            m_lastError = q.lastError().text();
        db.rollback();
        return false;
    }
    if (!db.commit()) {
        m_lastError = db.lastError().text();
        db.rollback();
        return false;
    }
    // the save is in; an old save left over is no loss
    Prune(name, QDateTime::currentDateTimeUtc());
    return true;
}

QList<CHistoryEntry> CSolutionStore::History(const QString &name) const
{
    QList<CHistoryEntry> entries;
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("SELECT id, saved, user, LENGTH(text) FROM history WHERE name = ? ORDER BY id DESC"));
    q.addBindValue(name);
    if (!exec(q))
        return entries;
    while (q.next()) {
        entries.append({q.value(0).toLongLong(), QDateTime::fromString(q.value(1).toString(), Qt::ISODateWithMs),
                        q.value(2).toString(), q.value(3).toLongLong()});
    }
    return entries;
}

std::optional<QString> CSolutionStore::HistoryText(const QString &name, qint64 id) const
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("SELECT text FROM history WHERE name = ? AND id = ?"));
    q.addBindValue(name);
    q.addBindValue(id);
    if (!exec(q) || !q.next())
        return std::nullopt;
    return q.value(0).toString();
}

QList<qint64> CSolutionStore::HistoryToDrop(const QList<CHistoryEntry> &entries, int keep, const QDateTime &now)
{
    QList<CHistoryEntry> newestFirst = entries;
    std::sort(newestFirst.begin(), newestFirst.end(), [](const CHistoryEntry &a, const CHistoryEntry &b) {
        return a.saved != b.saved ? a.saved > b.saved : a.id > b.id;
    });
    QList<qint64> drop;
    if (keep > 0) {
        for (qsizetype i = keep; i < newestFirst.size(); ++i)
            drop.append(newestFirst[i].id);
        return drop;
    }
    // the newest save is always kept, however old: it is what the solution was
    QSet<QDate> daysKept;
    for (qsizetype i = 0; i < newestFirst.size(); ++i) {
        const CHistoryEntry &e = newestFirst[i];
        const qint64 age = e.saved.secsTo(now) / 86400; // whole days
        if (i == 0 || age < 7)
            continue;
        const QDate day = e.saved.toUTC().date();
        if (age < 90 && !daysKept.contains(day)) {
            daysKept.insert(day);
            continue;
        }
        drop.append(e.id);
    }
    return drop;
}

bool CSolutionStore::Prune(const QString &name, const QDateTime &now)
{
    const QList<qint64> drop = HistoryToDrop(History(name), m_historyKeep, now);
    if (drop.isEmpty())
        return true;
    QSqlDatabase db = QSqlDatabase::database(m_connection);
    if (!db.transaction()) {
        m_lastError = db.lastError().text();
        return false;
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral("DELETE FROM history WHERE id = ?"));
    for (qint64 id : drop) {
        q.bindValue(0, id);
        if (!exec(q)) {
            db.rollback();
            return false;
        }
    }
    if (!db.commit()) {
        m_lastError = db.lastError().text();
        db.rollback();
        return false;
    }
    return true;
}

int CSolutionStore::HistoryCount(const QString &name) const
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("SELECT COUNT(*) FROM history WHERE name = ?"));
    q.addBindValue(name);
    if (!q.exec() || !q.next())
        return -1;
    return q.value(0).toInt();
}
