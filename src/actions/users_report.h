// The users report: the scanned file, when, and the users listed.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// "mm/dd/yy hh:mm am/pm", e.g. "12/06/99 02:15 pm".
QString ReportDateText(const QDateTime &when);

// Path, date, empty line, one row per line, empty line, "<n> users".
QStringList UsersReportLines(const QString &fullPath, const QDateTime &now,
                             const QStringList &rows);

// The report's lines joined by "\r\n", with no line break after the last.
QString UsersReportText(const QString &fullPath, const QDateTime &now, const QStringList &rows);
