#include "cli/scan_events.h"

#include "scan/detail_text.h"

#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>

QString ScanEventName(ScanEvent::Kind kind)
{
    switch (kind) {
    case ScanEvent::Kind::Present:
        return QStringLiteral("present");
    case ScanEvent::Kind::Opened:
        return QStringLiteral("opened");
    case ScanEvent::Kind::Closed:
        return QStringLiteral("closed");
    case ScanEvent::Kind::Locked:
        return QStringLiteral("locked");
    case ScanEvent::Kind::Unlocked:
        return QStringLiteral("unlocked");
    case ScanEvent::Kind::ModeChanged:
        return QStringLiteral("modeChanged");
    }
    return {};
}

QList<ScanEvent> DiffScans(const QList<ScannedUser> *previous, const QList<ScannedUser> &current)
{
    QList<ScanEvent> events;
    if (!previous) {
        for (const ScannedUser &u : current)
            events.append({ScanEvent::Kind::Present, u});
        return events;
    }
    QHash<QString, const ScannedUser *> before;
    for (const ScannedUser &u : *previous)
        before.insert(u.name, &u);
    QHash<QString, const ScannedUser *> now;
    for (const ScannedUser &u : current)
        now.insert(u.name, &u);

    for (const ScannedUser &u : *previous)
        if (!now.contains(u.name))
            events.append({ScanEvent::Kind::Closed, u});
    for (const ScannedUser &u : current) {
        const ScannedUser *old = before.value(u.name);
        if (!old) {
            events.append({ScanEvent::Kind::Opened, u});
            continue;
        }
        if (old->record.LockType != u.record.LockType
            || old->record.AccessControl != u.record.AccessControl)
            events.append({ScanEvent::Kind::ModeChanged, u});
        const bool wasLocked = old->record.LockFlag != 0;
        const bool isLocked = u.record.LockFlag != 0;
        if (wasLocked != isLocked)
            events.append({isLocked ? ScanEvent::Kind::Locked : ScanEvent::Kind::Unlocked, u});
    }
    return events;
}

QByteArray EventTextLines(const ScanSnapshot &scan, const QList<ScanEvent> &events)
{
    const QString time = ScanTimeText(scan.time);
    QString out;
    for (const ScanEvent &e : events) {
        const ConnectionRecord &r = e.user.record;
        out += time + QLatin1Char(' ') + ScanEventName(e.kind) + QLatin1Char(' ')
            + PrintableText(e.user.name) + QStringLiteral(" (connection ")
            + QString::number(r.ConnNumber) + QStringLiteral(", task ")
            + QString::number(r.TaskNumber) + QStringLiteral(", ")
            + (r.LockType == 8 ? QStringLiteral("Shareable") : QStringLiteral("Exclusive"));
        const QString mode = OpenModeText(r.AccessControl);
        if (!mode.isEmpty())
            out += QStringLiteral(", ") + mode;
        out += r.LockFlag != 0 ? QStringLiteral(", locked)\n") : QStringLiteral(")\n");
    }
    return out.toUtf8();
}

QByteArray EventCsvHeader()
{
    QStringList names {QStringLiteral("time"), QStringLiteral("event"), QStringLiteral("file"),
                       QStringLiteral("server")};
    for (const ScanField &f : UserFields(ScannedUser {}))
        names << f.name;
    return CsvRow(names).toUtf8();
}

QByteArray EventCsvLines(const ScanSnapshot &scan, const QList<ScanEvent> &events)
{
    const QString time = ScanTimeText(scan.time);
    QString out;
    for (const ScanEvent &e : events) {
        QStringList row {time, ScanEventName(e.kind), scan.file, scan.server};
        for (const ScanField &f : UserFields(e.user))
            row << f.text;
        out += CsvRow(row);
    }
    return out.toUtf8();
}

QByteArray EventJsonLines(const ScanSnapshot &scan, const QList<ScanEvent> &events)
{
    const QString time = ScanTimeText(scan.time);
    QByteArray out;
    for (const ScanEvent &e : events) {
        QJsonObject o {{QStringLiteral("time"), time},
                       {QStringLiteral("event"), ScanEventName(e.kind)},
                       {QStringLiteral("file"), scan.file},
                       {QStringLiteral("server"), scan.server}};
        for (const ScanField &f : UserFields(e.user))
            o.insert(f.name, f.json);
        out += QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
    }
    return out;
}
