#pragma once

#include <QString>

class CKELDataManager;

// Feeds solution lines from a file or a text to the loader. On failure the
// open solution stays as it was and error says why.
class CSolutionReader
{
public:
    static bool ReadFile(CKELDataManager &manager, const QString &path, QString *error);
    // Lines ended by "\n", as the server keeps and sends them.
    static bool ReadText(CKELDataManager &manager, const QString &text, QString *error);

    // Lines longer than this are skipped while reading.
    static constexpr qsizetype kMaxLineBytes = qsizetype(64) * 1024 * 1024;
    // "obj;id:1;type:EVT;" and its line break
    static constexpr qsizetype kShortestElementLine = 16;
};
