#pragma once

#include <QString>
#include <QStringList>

// Texts of the shared-solution client: what it tells the user, the reasons
// a name cannot travel, the socket's error words and the lines of its packet log.
namespace CollabTexts {

// A shared solution the server could not hand over.
inline QString OpenFailed()
{
    return QStringLiteral("Exception handling not ready yet (in ackfileopen).");
}

// Messages and notices
inline const QString LoginFirst = QStringLiteral("Please connect and login to the server");
inline QString SaveFailed(const QString &name)
{
    return QStringLiteral("Failed to save solution ") + name;
}
inline QString SaveFailedBecause(const QString &name, const QString &reason)
{
    return SaveFailed(name) + QStringLiteral(": ") + reason;
}
inline QString Saved(const QString &name)
{
    return QStringLiteral("Solution ") + name + QStringLiteral(" saved");
}
inline QString UserIdUnusable(const QString &problem)
{
    return QStringLiteral("The user id cannot be used: ") + problem;
}
inline QString NameUnusable(const QString &name, const QString &problem)
{
    return QStringLiteral("The name ") + name + QStringLiteral(" cannot be used on the server: ") + problem;
}
inline const QString PortOutOfRange = QStringLiteral("The port must be a number from 1 to 65535");
inline const QString LoginFailed = QStringLiteral("Login failed.");
inline const QString LoginFailedCaption = QStringLiteral("CKELDataManager::EstablishedConnection");
inline const QString Disconnected = QStringLiteral("Disconnected");
inline const QString MembersNeedShared =
    QStringLiteral("Members belong to a shared solution: open one from the server first");
inline const QString SaveLocallyQuestion = QStringLiteral("Are you going to save the solution locally?");
inline const QString SaveLocallyCaption = QStringLiteral("Save a solution");
inline const QString LoginSuccessful = QStringLiteral("Login successful");
inline const QString LoginUnsuccessful = QStringLiteral("Login unsuccessful");
inline QString LoginUnsuccessfulBecause(const QString &reason)
{
    return QStringLiteral("Login unsuccessful: ") + reason;
}
inline QString ServerSays(const QString &text)
{
    return QStringLiteral("The server says: ") + text;
}
inline QString EditRefused(const QString &text)
{
    return QStringLiteral("The server refused an edit: ") + text;
}
inline const QString EarlierSaveUnreadable = QStringLiteral("The earlier save could not be read");

// Window titles
inline const QString TitlePrefix = QStringLiteral(" TESSEL: ");
inline QString ConnectedTo(const QString &server, const QString &userId)
{
    return QStringLiteral("[Connected to ") + server + u'(' + userId + QStringLiteral(")]");
}

// Why a name cannot be used on the server
inline const QString NameEmpty = QStringLiteral("it is empty");
inline QString NameTooLong(qsizetype limit)
{
    return QStringLiteral("it is longer than %1 characters").arg(limit);
}
inline const QString NameBlankEnds = QStringLiteral("it begins or ends with white space");
inline const QString NameHasSeparator = QStringLiteral("it contains \"#\"");
inline const QString NameHasTerminator = QStringLiteral("it contains two adjacent full stops");
inline const QString NameHasControl = QStringLiteral("it contains a control character");

// Encrypted connections
inline const QString EncryptedCaption = QStringLiteral("Encrypted connection");
inline const QString SecurityWarningCaption = QStringLiteral("Security Warning");
inline QString NoCertificate(const QString &hostPort)
{
    return QStringLiteral("The server %1 sent no certificate. The connection is refused.").arg(hostPort);
}
inline QString CertificateChanged(const QString &hostPort, const QString &trusted, const QString &presented)
{
    return QStringLiteral("WARNING: THE CERTIFICATE OF THE SERVER %1 HAS CHANGED.\n\n"
                          "Someone may be intercepting the connection. It is refused.\n\n"
                          "Trusted SHA-256 fingerprint:\n%2\n\nFingerprint now presented:\n%3\n\n"
                          "If the server's administrator confirms that the certificate was replaced, "
                          "remove the trust with \"Forget Trusted Certificate\" in \"Connect to "
                          "Server\", then connect again.")
        .arg(hostPort, trusted, presented);
}
inline QString TrustCertificateQuestion(const QString &hostPort, const QString &problems, const QString &subject,
                                        const QString &fingerprint)
{
    return QStringLiteral("The server %1 presents a certificate that no authority on this system vouches for:\n%2\n\n"
                          "Subject: %3\nSHA-256 fingerprint:\n%4\n\n"
                          "Compare the fingerprint with the one the server's administrator gives you. Trust this "
                          "certificate for %1 from now on?")
        .arg(hostPort, problems, subject, fingerprint);
}

// Socket errors; the text of one carries its number in decimal and hexadecimal
inline const QString SocketNone = QStringLiteral("The operation completed successfully");
inline const QString SocketInterrupted = QStringLiteral("A blocking operation was interrupted");
inline const QString SocketAccessDenied = QStringLiteral("Access to the socket was denied");
inline const QString SocketInvalid = QStringLiteral("An invalid argument was supplied");
inline const QString SocketWouldBlock =
    QStringLiteral("A non-blocking socket operation could not be completed immediately");
inline const QString SocketAlready = QStringLiteral("An operation is already in progress on this socket");
inline const QString SocketNotSupported = QStringLiteral("The operation is not supported on this socket");
inline const QString SocketAddressInUse = QStringLiteral("The address is already in use");
inline const QString SocketAddressNotAvailable = QStringLiteral("The requested address is not valid here");
inline const QString SocketNetworkDown = QStringLiteral("The network is down or unreachable");
inline const QString SocketConnectionAborted = QStringLiteral("The connection was aborted on this machine");
inline const QString SocketConnectionReset = QStringLiteral("The connection was reset by the remote host");
inline const QString SocketNoBuffers = QStringLiteral("No buffer space is available for the socket");
inline const QString SocketNotConnected = QStringLiteral("The socket is not connected");
inline const QString SocketTimedOut = QStringLiteral("The connection attempt timed out");
inline const QString SocketConnectionRefused = QStringLiteral("The connection was refused by the remote host");
inline const QString SocketHostNotFound = QStringLiteral("No such host is known");
inline const QString SocketTryAgain = QStringLiteral("The host name could not be looked up now; try again later");
inline const QString SocketSecureChannel = QStringLiteral("No encrypted connection could be made with the server");
inline const QString SocketUntrusted = QStringLiteral("The server's certificate is not trusted");
inline QString SocketErrorText(const QString &message, int code)
{
    return message + QStringLiteral(" (%1)(0x%2)").arg(QString::number(code), QString::number(uint(code), 16));
}

// The packet log
inline QString Bracketed(const QString &text)
{
    return u'[' + text + u']';
}
inline const QString LogPrefix = QStringLiteral("[TesselPacket] - ");
inline const QString LogStarted = QStringLiteral("Started.");
inline const QString LogFinished = QStringLiteral("Finished.");
inline QString LogErrorCode(int code)
{
    return QStringLiteral("Error code=[") + QString::number(code) + u']';
}
inline QString LogCreateFailed(const QString &why)
{
    return QStringLiteral("Create failed. ") + why;
}
inline QString LogConnectReturned(bool started, const QString &why)
{
    return QStringLiteral("Return code of Connect=[") + QString::number(started ? 1 : 0) + QStringLiteral("] ") + why;
}
inline const QString LogWouldBlock = QStringLiteral("Return code of GetLastError=[WSAEWOULDBLOCK]");
inline QString LogSent(const QString &shown, qint64 result)
{
    return QStringLiteral("Sent message=[") + shown + QStringLiteral("]  Return code of send=[")
           + QString::number(result) + u']';
}
inline const QString LogSendFailed = QStringLiteral("Sending the message failed. The return value is SOCKET_ERROR");
inline const QString LogPasswordUnsendable = QStringLiteral("The password cannot be sent.");
inline const QString LogSendPacketFailed = QStringLiteral("SendPacket failed.");
inline QString LogNetworkFailed(int code)
{
    return QStringLiteral("Fatal error! Network subsystem failed.  Error code=[") + QString::number(code) + u']';
}
inline const QString LogConnectionClosed = QStringLiteral("ERROR : Connection has been closed.");
inline const QString LogNothingReceived = QStringLiteral("No message received from the server.");
inline const QString LogNoKeyword = QStringLiteral("The received message doesn't contain any predeterminer.");
inline QString LogReplyTooLarge(qint64 limit)
{
    return QStringLiteral("ERROR : The message from the server is larger than ") + QString::number(limit)
           + QStringLiteral(" bytes. The connection is closed.");
}
inline QString LogUnaskedReply(const QString &keyword)
{
    return QStringLiteral("ERROR : A reply to no request of this client is ignored: [") + keyword + u']';
}
inline QString LogUnsendableRecord(const QString &record)
{
    return QStringLiteral("CKELDataManager::SendOperation - ERROR : The record cannot travel in a packet and is not "
                          "sent: ")
           + record;
}
inline QString LogError(const QString &text)
{
    return QStringLiteral("ERROR : ") + text;
}
inline const QString LogSuccess = QStringLiteral("This method called successfully.");
inline const QString LogSpacedSuccess = QStringLiteral("  This method called successfully.");
// The heading of a reply's lines: its keyword in brackets
inline QString LogReply(QStringView keyword)
{
    return u'[' + keyword.toString() + QStringLiteral("]  ");
}
inline QString LogPacketCount(qsizetype n)
{
    return QStringLiteral("Packet count=") + Bracketed(QString::number(n));
}
// The packet count of a reply and the name its request remembered
inline QString LogIntendedDownload(qsizetype n, const QString &name)
{
    return LogPacketCount(n) + QStringLiteral("  An intended download file name=") + Bracketed(name);
}
inline QString LogIntendedUpload(qsizetype n, const QString &name)
{
    return LogPacketCount(n) + QStringLiteral("  An intended upload file name=") + Bracketed(name);
}
inline QString LogIntendedSync(qsizetype n, const QString &name)
{
    return LogPacketCount(n) + QStringLiteral("  An intended sync file name=") + Bracketed(name);
}
inline QString LogIntendedOperationId(qsizetype n, const QString &name)
{
    return LogPacketCount(n) + QStringLiteral("  An intended operation id file name=") + Bracketed(name);
}
inline QString LogIntendedOperation(qsizetype n, const QString &name, const QString &record)
{
    return LogPacketCount(n) + QStringLiteral("  An intended file name=") + Bracketed(name)
           + QStringLiteral("  An intended content=") + Bracketed(record);
}
inline QString LogIntendedObjectGenerate(qsizetype n, const QString &name)
{
    return LogPacketCount(n) + QStringLiteral("  An intended object generate file name=") + Bracketed(name)
           + QStringLiteral("  ");
}
inline QString LogCountMismatch(qsizetype count, int required, bool trailingBlank)
{
    return QStringLiteral("Packet count=[") + QString::number(count)
           + QStringLiteral("]  ERROR : The packet count must be the same as the intended packet count, ")
           + QString::number(required) + (trailingBlank ? QStringLiteral(" ") : QString());
}
inline QString LogNameMismatch(const QString &received, const QString &intended)
{
    return QStringLiteral("A received file name=") + Bracketed(received)
           + QStringLiteral("  ERROR : The file name must be the same as the intended file name, ") + intended;
}
inline QString LogNoFileName(qsizetype n)
{
    return LogPacketCount(n)
           + QStringLiteral("  ERROR : The packet count must be greater than the intended packet count, 1 "
                            "This packet doesn't contain any file name.");
}
inline QString LogNoUserId(qsizetype n)
{
    return LogPacketCount(n)
           + QStringLiteral("  ERROR : The packet count must be greater than the intended packet count, 1 "
                            "This packet doesn't contain any user id.");
}
inline QString LogReceivedUserId(const QString &id)
{
    return QStringLiteral("A received user id=") + Bracketed(id);
}
inline QString LogReceivedFileName(const QString &name)
{
    return QStringLiteral("A received file name=") + Bracketed(name);
}
inline QString LogReceivedNames(const QStringList &names)
{
    return QStringLiteral("A received file count=") + Bracketed(QString::number(names.size()))
           + QStringLiteral("  Received file names=") + Bracketed(names.join(u','));
}
inline QString LogReceivedSize(const QString &name, int size)
{
    return LogReceivedFileName(name) + QStringLiteral("  Received file size=") + Bracketed(QString::number(size));
}
inline QString LogReceivedOperationId(const QString &name, int id)
{
    return LogReceivedFileName(name) + QStringLiteral("  A received operation id=") + Bracketed(QString::number(id));
}
inline QString LogReceivedContent(const QString &name, const QString &content)
{
    return LogReceivedFileName(name) + QStringLiteral("  A received content=") + Bracketed(content);
}
inline QString LogReceivedObject(const QString &name, const QString &objectId, const QString &operationId)
{
    return LogReceivedFileName(name) + QStringLiteral("  A received object id=") + Bracketed(objectId)
           + QStringLiteral("  A received operation id=") + Bracketed(operationId);
}

} // namespace CollabTexts
