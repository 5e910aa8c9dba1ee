#include "browser/file_exists.h"

#include "platform/drive_namespace.h"

bool FileExists(const QString &path) { return DriveNamespace::fileFacts(path).has_value(); }
