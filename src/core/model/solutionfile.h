#pragma once

#include <QString>

class CKELDataManager;

// The solution file on disk: one record a line in code page 1252, lines
// ended by CR LF.
class CSolutionFile
{
public:
    // Writes through a temporary file beside the target that replaces it
    // only when complete, so a failed save leaves the old file intact.
    static bool Write(const CKELDataManager &manager, const QString &path, QString *error);
    // Replaces the manager's solution with the file's. On failure the open
    // solution stays as it was and error says why.
    static bool Read(CKELDataManager &manager, const QString &path, QString *error);

    // Lines longer than this are skipped while reading.
    static constexpr qsizetype kMaxLineBytes = qsizetype(64) * 1024 * 1024;
};
