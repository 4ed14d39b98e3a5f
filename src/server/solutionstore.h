#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// Where the server keeps shared solutions: one SQLite database in the data
// folder. Names are keys in it, never file names, so any name is stored
// safely. Every text a client saves is also kept as history; what the
// server stores of its own accord (periodically, when the last client
// leaves) only replaces the current text. Relayed records are kept beside
// the current text until a newer text holds them, so a solution is always
// its current text plus the records stored after it.
struct CHistoryEntry
{
    qint64 id = 0;
    QDateTime saved;
    QString user;
    qint64 size = 0; // characters
};

class CSolutionStore
{
public:
    explicit CSolutionStore(const QString &directory);
    ~CSolutionStore();
    CSolutionStore(const CSolutionStore &) = delete;
    CSolutionStore &operator=(const CSolutionStore &) = delete;

    // Creates the folder and the tables when missing.
    bool Open(QString *error = nullptr);
    QString FilePath() const;
    static QString FileName() { return QStringLiteral("verdantis-server.sqlite"); }

    QStringList Names() const;
    // The names user may see: those user is a member of, and those nobody owns.
    QStringList NamesFor(const QString &user) const;
    std::optional<QString> Load(const QString &name) const;
    // Records stored after the current text, oldest first.
    QStringList Records(const QString &name) const;
    // Adds records of several solutions in one transaction: all or none.
    bool AppendRecords(const QList<std::pair<QString, QString>> &nameAndRecord);
    // Replaces the current text, which holds every record stored so far.
    bool Store(const QString &name, const QString &text);
    // Replaces the current text and adds it to the history, with who saved it.
    bool Save(const QString &name, const QString &text, const QString &user);
    int HistoryCount(const QString &name) const;
    // Saves of name, newest first, without their texts.
    QList<CHistoryEntry> History(const QString &name) const;
    std::optional<QString> HistoryText(const QString &name, qint64 id) const;
    // Which saves each solution keeps: with keep > 0 the newest keep saves;
    // with 0 every save of the last 7 days, then the newest of each day for
    // 90 days. Applied after every save.
    void SetHistoryKeep(int keep) { m_historyKeep = keep; }
    bool Prune(const QString &name, const QDateTime &now);
    // The saves to drop of entries (any order) under that rule.
    static QList<qint64> HistoryToDrop(const QList<CHistoryEntry> &entries, int keep, const QDateTime &now);

    // Who may use a solution: its owner (who saved it first) and the members
    // the owner added. A solution stored before owners were kept has none;
    // whoever saves it next becomes its owner.
    QString Owner(const QString &name) const;
    QStringList Members(const QString &name) const; // owner first
    bool IsMember(const QString &name, const QString &user) const;
    // False with LastError() when the solution does not exist, or, for a
    // revoke, when user is its owner or no member.
    bool Grant(const QString &name, const QString &user);
    bool Revoke(const QString &name, const QString &user);
    QString LastError() const { return m_lastError; }

private:
    bool storeCurrent(const QString &name, const QString &text);
    bool exec(class QSqlQuery &q) const;

    QString m_directory;
    QString m_connection;
    // prepared once: records are stored many times a second
    std::unique_ptr<class QSqlQuery> m_insertRecord;
    int m_historyKeep = 0;
    mutable QString m_lastError;
};
