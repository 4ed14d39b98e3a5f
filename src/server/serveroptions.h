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
    // "--insecure-listen": a non-loopback address without TLS, with a warning.
    bool insecureListen = false;
    QString usersFile;
    // "--hash-password": read a password from standard input, print its hash.
    bool hashPassword = false;
    // "--grant USER SOLUTION" and "--revoke USER SOLUTION": change the
    // members of a stored solution, and exit.
    QString grantUser;
    QString revokeUser;
    QString solution;
    // "--history SOLUTION" lists its saves; "--restore SOLUTION ID" makes one
    // of them the current text again, as a new save.
    QString historyOf;
    QString restoreOf;
    qint64 restoreId = 0;
};

bool ParseServerCommandLine(const QStringList &arguments, CServerCommandLine &out, QString *error);
