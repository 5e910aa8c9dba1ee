#include "scan/scan_format.h"

#include "netware/client_text.h"

QString CutAtNul(const char *buffer, std::size_t size) { return ClientText::decode(buffer, size); }

QString CutAtNul(const QString &text)
{
    const qsizetype i = text.indexOf(QChar(0));
    return i < 0 ? text : text.left(i);
}

QString FormatLoginTime(const nuint8 *b)
{
    static const char *const days[]
        = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    const int year = b[0], month = b[1], day = b[2], hour = b[3], minute = b[4], weekday = b[6];
    QString text = weekday < 7 ? QString::fromLatin1(days[weekday]) : QString();
    text += QStringLiteral(", %1/%2/%3, ").arg(month).arg(day).arg(year);
    // An hour or minute no clock shows leaves the time out rather than
    // inventing one.
    if (hour > 23 || minute > 59)
        return text;
    const int h12 = hour % 12 == 0 ? 12 : hour % 12;
    text += QStringLiteral("%1:%2 %3")
                .arg(h12, 2, 10, QLatin1Char('0'))
                .arg(minute, 2, 10, QLatin1Char('0'))
                .arg(hour < 12 ? QLatin1String("am") : QLatin1String("pm"));
    return text;
}

QString FormatAddress(const NWINET_ADDR &a)
{
    const nuint8 type = static_cast<nuint8>(a.connType & 0xFF);
    QString text;
    switch (type) {
    case NW_CONN_IPX:
        text = QStringLiteral("IPX:");
        break;
    case NW_CONN_AFP:
        text = QStringLiteral("AFP:");
        break;
    case NW_CONN_IP:
        text = QStringLiteral("IP:");
        break;
    default:
        break;
    }
    if (type == NW_CONN_IP) {
        for (int i = 0; i < 4; ++i) {
            if (i > 0)
                text += QLatin1Char('.');
            text += QLatin1Char(' ') + QString::number(a.networkAddr[i]);
        }
        return text;
    }
    const auto hex = [&text](const nuint8 *bytes, int n) {
        for (int i = 0; i < n; ++i)
            text += QStringLiteral("%1").arg(bytes[i], 2, 16, QLatin1Char('0')).toUpper();
    };
    hex(a.networkAddr, 4);
    text += QLatin1Char(':');
    hex(a.netNodeAddr, 6);
    text += QLatin1Char(':');
    hex(a.socket, 2);
    return text;
}
