// Text forms of what the client returns: fixed buffers, login time, address;
// and the 12-hour clock that every time shown to the user uses.
#pragma once

#include "netware/nwcalls.h"

#include <QString>

// The part of a fixed-size 8-bit buffer before its first NUL (or all of it).
QString CutAtNul(const char *buffer, std::size_t size);
QString CutAtNul(const QString &text);

// "hh:mm am" / "hh:mm pm" from numbers: hour 0 is 12 am, hour 12 is 12 pm.
// Not QTime's "ap", which would follow the locale's words.
QString TwelveHourClock(int hour, int minute);

// From the 7 login-time bytes: year, month, day, hour, minute, second, weekday.
QString FormatLoginTime(const nuint8 *bytes);

QString FormatAddress(const NWINET_ADDR &addr);
