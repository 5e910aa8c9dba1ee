#include "cli/scan_output.h"

#include "actions/users_report.h"
#include "scan/detail_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString hex(const nuint8 *bytes, int n)
{
    QString text;
    for (int i = 0; i < n; ++i)
        text += QStringLiteral("%1").arg(bytes[i], 2, 16, QLatin1Char('0')).toUpper();
    return text;
}

QJsonArray byteArray(const nuint8 *bytes, int n)
{
    QJsonArray array;
    for (int i = 0; i < n; ++i)
        array.append(bytes[i]);
    return array;
}

ScanField number(const char *name, int value)
{
    return {QLatin1String(name), value, QString::number(value)};
}

ScanField text(const char *name, const QString &value)
{
    return {QLatin1String(name), value, value};
}

QStringList headerNames(const ScannedUser &sample)
{
    QStringList names;
    for (const ScanField &f : UserFields(sample))
        names << f.name;
    return names;
}

} // namespace

QList<ScanField> UserFields(const ScannedUser &user)
{
    const ConnectionRecord &r = user.record;
    QStringList login;
    for (nuint8 b : user.loginTime)
        login << QString::number(b);
    // A failed address query has no raw data to show: the text is then "NA".
    const bool hasAddress = r.AddressText != QLatin1String("NA");
    const NWINET_ADDR &a = user.address;
    // Copied out: the record is packed, and a reference to its 16-bit field
    // would be misaligned.
    const int connType = a.connType;
    const QJsonValue addressJson = hasAddress
        ? QJsonValue(QJsonObject {{QStringLiteral("type"), connType},
                                  {QStringLiteral("net"), byteArray(a.networkAddr, 4)},
                                  {QStringLiteral("node"), byteArray(a.netNodeAddr, 6)},
                                  {QStringLiteral("socket"), byteArray(a.socket, 2)}})
        : QJsonValue(QJsonValue::Null);
    const QString addressText = hasAddress
        ? QString::number(connType) + QLatin1Char(':') + hex(a.networkAddr, 4) + QLatin1Char(':')
            + hex(a.netNodeAddr, 6) + QLatin1Char(':') + hex(a.socket, 2)
        : QString();
    const bool locked = r.LockFlag != 0;
    return {
        text("user", user.name),
        number("connection", r.ConnNumber),
        number("task", r.TaskNumber),
        text("opened", r.LockType == 8 ? QStringLiteral("Shareable") : QStringLiteral("Exclusive")),
        number("lockType", r.LockType),
        text("fileRights", OpenModeText(r.AccessControl)),
        number("accessControl", r.AccessControl),
        text("directoryRights", r.RightsText),
        {QStringLiteral("locked"), locked,
         locked ? QStringLiteral("true") : QStringLiteral("false")},
        number("lockFlag", r.LockFlag),
        text("login", r.LoginTimeText),
        {QStringLiteral("loginRaw"), byteArray(user.loginTime.data(), 7),
         login.join(QLatin1Char(' '))},
        text("address", r.AddressText),
        {QStringLiteral("addressRaw"), addressJson, addressText},
    };
}

QString ScanTimeText(const QDateTime &time)
{
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate);
}

QString PrintableText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u < 0xA0))
            out += QStringLiteral("\\x%1").arg(unsigned(u), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

QString CsvField(const QString &text)
{
    static const QString special = QStringLiteral(",\"\r\n");
    bool quote = false;
    for (QChar c : text)
        quote = quote || special.contains(c);
    if (!quote)
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString CsvRow(const QStringList &fields)
{
    QStringList out;
    out.reserve(fields.size());
    for (const QString &f : fields)
        out << CsvField(f);
    return out.join(QLatin1Char(',')) + QLatin1String("\r\n");
}

QByteArray ReportOutput(const ScanSnapshot &scan)
{
    QStringList names;
    names.reserve(scan.users.size());
    for (const ScannedUser &u : scan.users)
        names << u.name;
    const QStringList lines = UsersReportLines(scan.file, scan.time, names);
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

QByteArray CsvOutput(const ScanSnapshot &scan)
{
    const QStringList head {QStringLiteral("file"), QStringLiteral("server"),
                            QStringLiteral("time")};
    const QStringList scanFields {scan.file, scan.server, ScanTimeText(scan.time)};
    QString out = CsvRow(head + headerNames(ScannedUser {}));
    for (const ScannedUser &u : scan.users) {
        QStringList row = scanFields;
        for (const ScanField &f : UserFields(u))
            row << f.text;
        out += CsvRow(row);
    }
    return out.toUtf8();
}

QByteArray JsonOutput(const ScanSnapshot &scan)
{
    QJsonArray users;
    for (const ScannedUser &u : scan.users) {
        QJsonObject o;
        for (const ScanField &f : UserFields(u))
            o.insert(f.name, f.json);
        users.append(o);
    }
    const QJsonObject root {{QStringLiteral("file"), scan.file},
                            {QStringLiteral("server"), scan.server},
                            {QStringLiteral("time"), ScanTimeText(scan.time)},
                            {QStringLiteral("users"), users}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QByteArray TextOutput(const ScanSnapshot &scan)
{
    QString out = QStringLiteral("file: ") + PrintableText(scan.file) + QStringLiteral("\nserver: ")
        + PrintableText(scan.server) + QStringLiteral("\ntime: ") + ScanTimeText(scan.time)
        + QStringLiteral("\nusers: ") + QString::number(scan.users.size()) + QLatin1Char('\n');
    for (const ScannedUser &u : scan.users) {
        out += QLatin1Char('\n');
        for (const ScanField &f : UserFields(u))
            out += f.name + QStringLiteral(": ") + PrintableText(f.text) + QLatin1Char('\n');
    }
    return out.toUtf8();
}
