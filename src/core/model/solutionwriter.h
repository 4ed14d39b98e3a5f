#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class CKELDataManager;

// Turns a solution into its record lines and puts them on disk.
class CSolutionWriter
{
public:
    // Hands the solution's lines to sink one by one, without line breaks.
    static void WriteLines(const CKELDataManager &manager, const std::function<void(const QString &)> &sink);
    // The lines ended by "\n", as the server keeps and sends them.
    static QString Text(const CKELDataManager &manager);

    enum class Outcome { Failed, Atomic, InPlace };
    // Writes the file in code page 1252 with CR LF line ends. The new bytes
    // go to a temporary file beside the target that replaces it once it is
    // complete and on disk. A folder that allows no new file (a shared folder
    // of fixed files) gets the bytes written over the existing file instead,
    // with room reserved first and the old bytes put back on any failure,
    // so the file is never left half written.
    static Outcome WriteFile(const CKELDataManager &manager, const QString &path, QString *error);

private:
    // Appends the solution's lines to out, calling lineEnded after each;
    // it may add a line break, or take the text and empty out.
    template<class LineEnded>
    static void appendLines(const CKELDataManager &manager, QString &out, LineEnded lineEnded);
    static Outcome writeInPlace(const QString &path, const QByteArray &bytes, QString *error);
};
