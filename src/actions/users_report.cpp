#include "actions/users_report.h"

QString ReportDateText(const QDateTime &when)
{
    // Built from numbers: QDateTime's "ap" would follow the locale's am/pm words.
    const QDate d = when.date();
    const QTime t = when.time();
    const int hour12 = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
    auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    return two(d.month()) + QLatin1Char('/') + two(d.day()) + QLatin1Char('/') + two(d.year() % 100)
        + QLatin1Char(' ') + two(hour12) + QLatin1Char(':') + two(t.minute())
        + (t.hour() < 12 ? QStringLiteral(" am") : QStringLiteral(" pm"));
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
