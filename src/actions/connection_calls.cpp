#include "actions/connection_calls.h"

bool SendToConnection(uint16_t connNumber, const QString &message, NWCONN_HANDLE server)
{
    const QByteArray text = AnsiText(message);
    const nuint16 connList[1] = {connNumber};
    nuint8 results[1] = {0};
    return NWSendBroadcastMessage(server, text.constData(), 1, connList, results) == NW_SUCCESS;
}

bool ClearConnection(NWCONN_HANDLE server, uint16_t connNumber)
{
    return NWClearConnectionNumber(server, connNumber) == NW_SUCCESS;
}
