#include "forms/app_icon.h"

#include <QDir>

QIcon velmoraIcon()
{
    // The pictures installed into the icon theme are also built in, so a run
    // from the build folder shows the same icon as an installed one.
    QIcon builtIn;
    const QDir sizes(QStringLiteral(":/icons/hicolor"));
    for (const QString &size : sizes.entryList(QDir::Dirs))
        builtIn.addFile(sizes.filePath(size + QStringLiteral("/velmora.png")));
    return QIcon::fromTheme(QStringLiteral("velmora"), builtIn);
}
