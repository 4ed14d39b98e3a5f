#pragma once

#include "requirementscan.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class CKELDataManager;

// What the requirements translation assistant reads, writes and hands to
// the model. Every change goes through the model manager's commands, so
// it works alike in a local and in a shared solution.
namespace ReqImport {

// A text as the user wrote it: UTF-8 when the bytes are valid UTF-8 (a
// byte order mark is dropped), code page 1252 otherwise; CR LF becomes LF.
QString DecodeText(const QByteArray &bytes);
bool ReadText(const QString &path, QString &text, QString *error = nullptr);
// Writes UTF-8.
bool WriteText(const QString &path, const QString &text, QString *error = nullptr);

// The current version's requirements as a text the scan reads back:
// TAG + ": " + description, then an empty line.
QString RequirementsText(const CKELDataManager &manager);

// Adds each requirement through the manager; returns how many it took
// (a tag it already has is refused, with its message).
int ExportRequirements(CKELDataManager &manager, const QList<CScannedRequirement> &requirements);

struct NodeExport
{
    int added = 0;
    int refused = 0;
};
// Adds one root node to the tree per non-blank line of nodesText, placed
// in rows below the tree's nodes.
NodeExport ExportNodes(CKELDataManager &manager, int treeId, const QString &nodesText, int defaultKind);

// "Add Tag", "Add Component", "Add  Behavior": adds word unless the list
// holds it (ignoring case). Returns the error text for an empty word, else
// an empty text.
QString AddWord(QStringList &list, const QString &word, const QString &kind);

// "Create Node" from the chosen entries (an empty text or -1 is no choice).
// Returns the node line, or an empty text and in error which list lacks a choice.
QString CreateNodeLine(const QString &tag, const QString &component, const QString &behavior, int behaviorTypeIndex,
                       QString *error);

} // namespace ReqImport
