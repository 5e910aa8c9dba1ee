// The two network operations on one connection of the scanned file's server:
// a broadcast message and clearing (logging out) the connection.
#pragma once

#include "netware/nwcalls.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <functional>

// The text in the client's 8-bit code page (Latin-1), NUL-terminated; a
// character that has no 8-bit form becomes "?".
// (Inline: usable without linking the client.)
inline QByteArray AnsiText(const QString &text)
{
    QByteArray out;
    out.reserve(text.size() + 1);
    for (char32_t c : text.toUcs4())
        out.append(c < 0x100 ? char(c) : '?');
    out.append('\0');
    return out;
}

// True exactly when the client accepted the message for that connection.
bool SendToConnection(uint16_t connNumber, const QString &message, NWCONN_HANDLE server);
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
