// velmora-scan's outputs: the users report, and every field of each listed
// user as text, CSV (RFC 4180) or JSON, for one scan or as watch events.
#pragma once

#include "scan/scan_engine.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

// One completed scan as the command shows it.
struct ScanSnapshot
{
    QString file; // the full DOS path, as the window builds it
    QString server;
    QDateTime time; // when the scan completed
    QList<ScannedUser> users;
};

// One named field of a listed user; text is its CSV and text form.
struct ScanField
{
    QString name;
    QJsonValue json;
    QString text;
};

// Every field the details show, and the raw data behind them, in a fixed
// order under stable names.
QList<ScanField> UserFields(const ScannedUser &user);

// ISO 8601 with the local offset, e.g. "2026-12-07T08:15:02+01:00".
QString ScanTimeText(const QDateTime &time);

// Control characters as \xNN, so that a stored name cannot drive the
// terminal or forge a line of the text outputs.
QString PrintableText(const QString &text);

// RFC 4180: quoted when it holds a comma, a quote or a line break.
QString CsvField(const QString &text);
// The fields joined by commas, ended by CRLF.
QString CsvRow(const QStringList &fields);

// Each output ends with a line end, UTF-8.
QByteArray ReportOutput(const ScanSnapshot &scan); // the users report, "\n" line ends
QByteArray CsvOutput(const ScanSnapshot &scan);
QByteArray JsonOutput(const ScanSnapshot &scan);
QByteArray TextOutput(const ScanSnapshot &scan);
