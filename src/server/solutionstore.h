#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Where the server keeps shared solutions: one SQLite database in the data
// folder. Names are keys in it, never file names, so any name is stored
// safely. Every text a client saves is also kept as history; what the
// server stores of its own accord (periodically, when the last client
// leaves) only replaces the current text.
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
    std::optional<QString> Load(const QString &name) const;
    // Replaces the current text.
    bool Store(const QString &name, const QString &text);
    // Replaces the current text and adds it to the history, with who saved it.
    bool Save(const QString &name, const QString &text, const QString &user);
    int HistoryCount(const QString &name) const;
    QString LastError() const { return m_lastError; }

private:
    bool storeCurrent(const QString &name, const QString &text);

    QString m_directory;
    QString m_connection;
    mutable QString m_lastError;
};
