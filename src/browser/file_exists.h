// The file-existence test shared by the browser and start-up.
#pragma once

#include <QString>

// True when the DOS path names an existing file whose size can be read, an
// empty file included; false for a folder, a missing file, a malformed path
// or a file that cannot be read.
bool FileExists(const QString &path);
