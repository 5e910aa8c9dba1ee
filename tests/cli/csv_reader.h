// A strict RFC 4180 reader, to parse velmora-scan's CSV back in the tests.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Records split at CRLF outside quotes; a quote inside a quoted field is
// doubled. Empty when the text breaks the rules.
inline QList<QStringList> ReadCsv(const QString &text)
{
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    bool wasQuoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c != QLatin1Char('"'))
                field += c;
            else if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"'))
                field += text.at(++i);
            else
                quoted = false;
        } else if (c == QLatin1Char('"') && field.isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else if (c == QLatin1Char(',')) {
            record << field;
            field.clear();
            wasQuoted = false;
        } else if (c == QLatin1Char('\r') && i + 1 < text.size()
                   && text.at(i + 1) == QLatin1Char('\n')) {
            record << field;
            records << record;
            record.clear();
            field.clear();
            wasQuoted = false;
            ++i;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\r') || c == QLatin1Char('\n')
                   || wasQuoted) {
            return {};
        } else {
            field += c;
        }
    }
    if (quoted || !field.isEmpty() || !record.isEmpty())
        return {}; // the last record lacks its CRLF
    return records;
}
