#include "actions/connection_calls.h"

#include "netware/client_text.h"

bool SendToConnection(uint16_t connNumber, const QString &message, NWCONN_HANDLE server)
{
    const std::optional<QByteArray> text = ClientText::encodeZ(message);
    const nuint16 connList[1] = {connNumber};
    nuint8 results[1] = {0};
    return text
        && NWSendBroadcastMessage(server, text->constData(), 1, connList, results) == NW_SUCCESS;
}

QString MessageProblem(const QString &message)
{
    const std::optional<QByteArray> text = ClientText::encode(message);
    if (!text)
        return QStringLiteral(". The message holds characters the network cannot carry.");
    if (text->size() > NW_MAX_BROADCAST_LEN)
        return QStringLiteral(". The message is longer than %1 characters.")
            .arg(NW_MAX_BROADCAST_LEN);
    return QString();
}

bool ClearConnection(NWCONN_HANDLE server, uint16_t connNumber)
{
    return NWClearConnectionNumber(server, connNumber) == NW_SUCCESS;
}
