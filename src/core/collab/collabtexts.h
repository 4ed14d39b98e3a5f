#pragma once

#include <QString>

// Texts of the shared-solution client that more than one of its parts shows.
namespace CollabTexts {

// A shared solution the server could not hand over.
inline QString OpenFailed()
{
    return QStringLiteral("Exception handling not ready yet (in ackfileopen).");
}

} // namespace CollabTexts
