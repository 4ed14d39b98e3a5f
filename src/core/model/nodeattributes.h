#pragma once

#include "keltypes.h"

#include <QString>
#include <QStringList>
#include <QStringView>

class CKELMethod;
class CKELRecord;

// What the node dialog edits: every attribute of a node but its place.
struct CNodeAttributes
{
    QString component;
    QString behavior;
    int behaviorType = KEL::StateRealisation;
    QString requirementTag;
    int jumpType = 0;
    QString qualifier;
    int missType = 0;
    bool doubleLine = false;
    bool nonDeterministic = false;
    bool atomic = false;
    bool setOperation = false;
    bool hasExtendedTag = false;
    QString extendedTag;
    bool displayExtendedTag = true;
    bool displayExtraInfo = true;
    QStringList extraInfoTags;
    QStringList extraInfoNames;

    static CNodeAttributes Of(const CKELMethod &node);
    void ApplyTo(CKELMethod &node) const;

    // The node fields of an edit record, under the conditions the node
    // record writes them, with packet-safe text.
    QString RecordFields() const;
    static CNodeAttributes FromRecord(const CKELRecord &record);

    bool operator==(const CNodeAttributes &) const = default;
};

// The one writer and the one reader of a node's own fields, for the node record of the solution
// file (CKELMethod) and for edit records (CNodeAttributes), so that both
// write a field under the same condition. The node record puts its place
// between the head and the tail.
namespace NodeFields {
enum class Escaping { File, Packet };
template<class Node> void AppendHead(QString &out, const Node &node, Escaping escaping);
template<class Node> void AppendTail(QString &out, const Node &node, Escaping escaping);
// Reads them by key; an empty extended tag reads as none, as it is written.
template<class Node> void Read(const CKELRecord &record, Node &node);

// The same in two steps for a reader that walks the record once for other
// keys too: Take keeps the raw value of a node field (false for any other
// key), Apply reads the kept values as Read does.
struct Raw
{
    QStringView component, behavior, behaviorType, requirementTag, jumpType, qualifier, missType;
    QStringView doubleLine, nonDeterministic, atomic, setOperation, extendedTag, displayExtendedTag;
    QStringView extraInfo, displayExtraInfo;
};
bool Take(Raw &raw, QStringView key, QStringView value);
template<class Node> void Apply(const CKELRecord &record, const Raw &raw, Node &node);
} // namespace NodeFields
