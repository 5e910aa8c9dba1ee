// Text forms of what the client returns: fixed buffers, login time, address.
#pragma once

#include "netware/nwcalls.h"

#include <QString>

// The part of a fixed-size 8-bit buffer before its first NUL (or all of it).
QString CutAtNul(const char *buffer, std::size_t size);
QString CutAtNul(const QString &text);

// From the 7 login-time bytes: year, month, day, hour, minute, second, weekday.
QString FormatLoginTime(const nuint8 *bytes);

QString FormatAddress(const NWINET_ADDR &addr);
