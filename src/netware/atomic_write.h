// Replacing a file that matters: all or nothing, checked to the last byte.
#pragma once

#include <QByteArray>
#include <QString>

// Writes bytes to a temporary file in the target's folder, checks every
// write, the flush and the sync to disk, then renames it over the target (a
// symlink's final target). On any failure the temporary file is removed, the
// old file stays as it was, false is returned and *error says why.
bool WriteFileAtomically(const QString &file, const QByteArray &bytes, QString *error);

// Tests: the next count writes fail at the flush, as on a full disk.
void FailNextAtomicWrites(int count);
