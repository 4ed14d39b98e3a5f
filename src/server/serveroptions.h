#pragma once

#include "collabserver.h"

#include <QStringList>

// Reads the command line of verdantis-server into options. False with a
// message for the user when an option is wrong; help and version requests
// are answered by the parser itself.
struct CServerCommandLine
{
    CServerOptions options;
    bool verbose = false;
    QString usersFile;
};

bool ParseServerCommandLine(const QStringList &arguments, CServerCommandLine &out, QString *error);

// One user id a line; blank lines and lines starting with "#" are skipped,
// blanks around an id are not part of it.
bool ReadUsersFile(const QString &path, QSet<QString> &users, QString *error);
