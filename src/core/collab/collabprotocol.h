#pragma once

#include <QString>
#include <QStringView>

// The words and limits of the packet protocol, shared by the client and the
// server so that both sides spell them the same way.
namespace Collab {

inline constexpr quint16 kDefaultPort = 8002;
inline constexpr QStringView kDefaultServer = u"127.0.0.1";
// The built-in user id and password: three letters, the same for both.
inline constexpr QStringView kDefaultUser = u"usr";

// Server-to-client packets end with this; it never belongs to the packet.
inline constexpr QStringView kTerminator = u"..";
inline constexpr QChar kSeparator = u'#';

// A packet larger than this is refused on either side rather than buffered.
inline constexpr qint64 kDefaultMaxPacketBytes = qint64(256) * 1024 * 1024;
// Longest solution name or user id the server takes.
inline constexpr qsizetype kMaxNameLength = 255;

// Requests
inline constexpr QStringView kUIDLog = u"UIDLog";
inline constexpr QStringView kFileListReq = u"FileListReq";
inline constexpr QStringView kFileSave = u"FileSave";
inline constexpr QStringView kFileDownRec = u"FileDownRec";
inline constexpr QStringView kOpCont = u"OpCont";
// The members of a shared solution: listed to its members, changed by its owner.
inline constexpr QStringView kMemberListReq = u"MemberListReq";
inline constexpr QStringView kMemberAddReq = u"MemberAddReq";
inline constexpr QStringView kMemberDelReq = u"MemberDelReq";
// The saves of a shared solution, and the text of one of them, for its members.
inline constexpr QStringView kHistListReq = u"HistListReq";
inline constexpr QStringView kHistDownReq = u"HistDownReq";
// Requests this client never sends; error replies to them are ignored.
inline constexpr QStringView kOpIdReq = u"OpIdReq";
inline constexpr QStringView kObCreReq = u"ObCreReq";
inline constexpr QStringView kUIDListReq = u"UIDListReq";
inline constexpr QStringView kFileUpReq = u"FileUpReq";

// Replies
inline constexpr QStringView kUIDLogAck = u"UIDLogAck";
inline constexpr QStringView kFileListAck = u"FileListAck";
inline constexpr QStringView kFileDownAck = u"FileDownAck";
inline constexpr QStringView kFileSaveAck = u"FileSaveAck";
// "MemberListAck#name#owner#member#...#"
inline constexpr QStringView kMemberListAck = u"MemberListAck";
// "HistListAck#name#id#time#user#size#...#", newest first, time in ISO 8601 UTC
inline constexpr QStringView kHistListAck = u"HistListAck";
// "HistDownAck#name#id#size#text", the text as in "FileDownAck"
inline constexpr QStringView kHistDownAck = u"HistDownAck";
// Both a reply and, in error handling, a request.
inline constexpr QStringView kFileSynReq = u"FileSynReq";
inline constexpr QStringView kOpIdAck = u"OpIdAck";
inline constexpr QStringView kObCreAct = u"ObCreAct";
inline constexpr QStringView kUIDListAck = u"UIDListAck";
inline constexpr QStringView kFileUpAck = u"FileUpAck";

inline bool IsKeyword(QStringView field, QStringView keyword)
{
    return field.compare(keyword, Qt::CaseInsensitive) == 0;
}

// Why a solution name or user id cannot travel, or an empty text when it
// can. Names come back in reply fields, which are split at "#", trimmed,
// and ended by ".."; a name that does not survive that would never match
// its reply again. Names are keys, never paths, so "/" is fine.
QString NameProblem(QStringView name);

} // namespace Collab
