#pragma once

#include "solutionreader.h"
#include "solutionwriter.h"

// The solution file on disk: one record a line in code page 1252, lines
// ended by CR LF.
class CSolutionFile
{
public:
    // Replaces the target only when the new file is complete (see
    // CSolutionWriter::WriteFile); inPlace tells when the folder allowed
    // no temporary file and the bytes were written over the old ones.
    static bool Write(const CKELDataManager &manager, const QString &path, QString *error, bool *inPlace = nullptr)
    {
        const CSolutionWriter::Outcome outcome = CSolutionWriter::WriteFile(manager, path, error);
        if (inPlace)
            *inPlace = outcome == CSolutionWriter::Outcome::InPlace;
        return outcome != CSolutionWriter::Outcome::Failed;
    }
    // Replaces the manager's solution with the file's. On failure the open
    // solution stays as it was and error says why.
    static bool Read(CKELDataManager &manager, const QString &path, QString *error)
    {
        return CSolutionReader::ReadFile(manager, path, error);
    }
};
