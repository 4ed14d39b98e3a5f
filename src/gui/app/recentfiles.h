#pragma once

#include <QStringList>

// The list of the four files opened or saved last, newest first, kept in
// the application's settings.
class CRecentFiles
{
public:
    static constexpr int kMaxFiles = 4;

    QStringList Files() const;
    void Add(const QString &path);
    void Remove(const QString &path);
};
