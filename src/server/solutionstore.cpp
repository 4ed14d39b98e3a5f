#include "solutionstore.h"

#include <QDateTime>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

QString now()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
}

} // namespace

CSolutionStore::CSolutionStore(const QString &directory)
    : m_directory(directory),
      m_connection(QStringLiteral("verdantis-store-%1").arg(quintptr(this), 0, 16))
{
}

CSolutionStore::~CSolutionStore()
{
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
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(FilePath());
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

bool CSolutionStore::storeCurrent(const QString &name, const QString &text)
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(QStringLiteral("INSERT INTO solutions (name, text, updated) VALUES (?, ?, ?) "
                             "ON CONFLICT(name) DO UPDATE SET text = excluded.text, updated = excluded.updated"));
    q.addBindValue(name);
    q.addBindValue(text);
    q.addBindValue(now());
    if (!q.exec()) {
        m_lastError = q.lastError().text();
        return false;
    }
    return true;
}

bool CSolutionStore::Store(const QString &name, const QString &text)
{
    return storeCurrent(name, text);
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
    if (!q.exec() || !storeCurrent(name, text)) {
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
