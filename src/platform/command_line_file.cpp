#include "platform/command_line_file.h"

#include "platform/drive_namespace.h"

#include <QDir>

QString CommandLineFile(const QString &text)
{
    if (text.startsWith(QLatin1Char('/')))
        return DriveNamespace::toDos(text);
    if (text.contains(QLatin1Char('\\')) || text.contains(QLatin1Char(':')))
        return text;
    const QString here = DriveNamespace::toDos(QDir::currentPath());
    return here.isEmpty() ? QString() : DriveNamespace::join(here, text);
}
