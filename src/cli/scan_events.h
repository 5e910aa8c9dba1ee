// Watch mode of velmora-scan: what changed between two scans of one file,
// as events, and their text, CSV and JSON lines.
#pragma once

#include "cli/scan_output.h"

#include <QByteArray>
#include <QList>
#include <QString>

struct ScanEvent
{
    // Present: listed by the first scan, so not known to have just opened it.
    enum class Kind { Present, Opened, Closed, Locked, Unlocked, ModeChanged };
    Kind kind = Kind::Present;
    ScannedUser user; // as now listed; as last listed for Closed
};

QString ScanEventName(ScanEvent::Kind kind);

// Users are matched by name, as the list shows them. previous is null for
// the first scan. Closed users come first, in their old order; then the
// users listed now, in order, each with its open-mode change before its lock
// change.
QList<ScanEvent> DiffScans(const QList<ScannedUser> *previous, const QList<ScannedUser> &current);

// One line per event, each ended by a line end; the CSV header row comes
// before the first scan's events.
QByteArray EventTextLines(const ScanSnapshot &scan, const QList<ScanEvent> &events);
QByteArray EventCsvHeader();
QByteArray EventCsvLines(const ScanSnapshot &scan, const QList<ScanEvent> &events);
QByteArray EventJsonLines(const ScanSnapshot &scan, const QList<ScanEvent> &events);
