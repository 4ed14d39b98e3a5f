// The server's byte stream as the client reads it: UTF-16 decoding across
// arbitrary read boundaries, packet framing, field splitting, and every
// reply handler down to the model changes that replies make.
#include "fuzztarget.h"

#include "collab/packetframer.h"
#include "collab/sharedsolutionclient.h"
#include "model/keldatamanager.h"

#include <QStringList>

VERDANTIS_FUZZ_TARGET(packets)
{
    Fuzz::Setup();
    Fuzz::CByteReader in(data, size);
    const uint8_t requests = in.Byte();
    const int chunk = 1 + in.Below(64);
    const QByteArrayView stream = in.Rest();

    // the same bytes in one piece and in chunks decode alike
    QString whole;
    CUtf16Decoder().Decode(stream, whole);
    CPacketFramer framer;
    for (qsizetype at = 0; at < stream.size(); at += chunk)
        framer.AppendBytes(stream.sliced(at, qMin<qsizetype>(chunk, stream.size() - at)));

    CKELDataManager manager;
    manager.NewSolution();
    CSharedSolutionClient client(manager);
    CClientSocket &socket = client.Socket();
    // what the last requests were decides how replies are checked
    if (requests & 1)
        socket.Login(QStringLiteral("usr"), QString());
    if (requests & 2)
        socket.ListFile();
    if (requests & 4)
        socket.OpenFile(QStringLiteral("s"));
    if (requests & 8)
        socket.SaveFile(QStringLiteral("s"), 3, QStringLiteral("abc"));
    if (requests & 16)
        socket.AskAction(QStringLiteral("s"), QStringLiteral("AddDBT;name:t;"));

    QString taken;
    QString packet;
    while (framer.TakePacket(packet)) {
        taken += packet + QStringLiteral("..");
        const QStringList fields = CPacketFramer::SplitFields(packet);
        const bool download = !fields.isEmpty() && fields[0].compare(u"FileDownAck", Qt::CaseInsensitive) == 0;
        for (qsizetype i = 0; i < fields.size(); ++i) {
            Fuzz::Check(!fields[i].isEmpty(), "empty field");
            if (download && i == 4)
                continue; // the solution text, kept as it came
            Fuzz::Check(fields[i] == fields[i].trimmed(), "field untrimmed", fields[i]);
            Fuzz::Check(!fields[i].contains(u'#'), "field holds a separator", fields[i]);
        }
        socket.ProcessPacket(packet);
        Fuzz::CheckModel(manager);
    }
    Fuzz::Check(taken + framer.Pending().toString() == whole, "framing lost or changed text");
    return 0;
}
