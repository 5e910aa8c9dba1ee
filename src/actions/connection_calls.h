// The two network operations on one connection of the scanned file's server:
// a broadcast message and clearing (logging out) the connection.
#pragma once

#include "netware/nwcalls.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <functional>

// True exactly when the client accepted the message for that connection; a
// message the client's code page cannot hold is not sent.
bool SendToConnection(uint16_t connNumber, const QString &message, NWCONN_HANDLE server);
// Why the client cannot take a message, as the end of a status line
// (". The message is longer than 255 characters."); empty when it can.
QString MessageProblem(const QString &message);
// True exactly when the client cleared that connection.
bool ClearConnection(NWCONN_HANDLE server, uint16_t connNumber);

// The operations as values, so the callers' logic runs without a network.
struct ConnectionCalls
{
    std::function<bool(uint16_t connNumber, const QString &message, NWCONN_HANDLE server)> send;
    std::function<bool(NWCONN_HANDLE server, uint16_t connNumber)> clear;

    // Inline so that only code asking for the real client links it.
    static ConnectionCalls client() { return {&SendToConnection, &ClearConnection}; }
};
