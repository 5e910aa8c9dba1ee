#include "actions/users_report.h"

#include "scan/scan_format.h"

QString ReportDateText(const QDateTime &when)
{
    const QDate d = when.date();
    auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    return two(d.month()) + QLatin1Char('/') + two(d.day()) + QLatin1Char('/') + two(d.year() % 100)
        + QLatin1Char(' ') + TwelveHourClock(when.time().hour(), when.time().minute());
}

QStringList UsersReportLines(const QString &fullPath, const QDateTime &now, const QStringList &rows)
{
    QStringList lines {fullPath, ReportDateText(now), QString()};
    lines << rows;
    lines << QString() << QString::number(rows.size()) + QStringLiteral(" users");
    return lines;
}

QString UsersReportText(const QString &fullPath, const QDateTime &now, const QStringList &rows)
{
    return UsersReportLines(fullPath, now, rows).join(QStringLiteral("\r\n"));
}
