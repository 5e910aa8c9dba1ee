// The program's drive-letter world on this workstation: "c:" is the local
// file system, the NetWare client's mapped drives sit beside it over their
// volumes' local folders. The only code that knows native paths.
#pragma once

#include "netware/mapped_drives.h"

#include <QDateTime>
#include <QStringList>

#include <optional>

class DriveNamespace final
{
public:
    DriveNamespace() = delete;

    // Replaces the mapped drives. A drive lettered C, or a letter given twice,
    // is ignored: c: always stays the local file system.
    static void setNetworkDrives(const QList<NetworkDrive> &drives);

    // One text per drive in letter order: "c: [local]", "f: [FS1/SYS]".
    static QStringList driveTexts();
    static bool hasDrive(QChar letter);
    // The drive exists and its root folder can be listed.
    static bool isAvailable(QChar letter);

    // "f:/apps\\data\\" -> "F:\APPS\DATA"; "f:" -> "F:\". Accepts "\" and "/"
    // as separators and resolves "." and "..". Empty when malformed: no drive
    // letter, a drive-relative path ("F:APPS"), ".." above the root, a NUL.
    static QString normalize(const QString &dosPath);
    // The native path of a DOS path, each component matched without regard
    // to case when no exact match exists; empty when malformed or unknown.
    static QString toNative(const QString &dosPath);
    // The DOS path of a native absolute path, on the mapped drive whose root
    // holds it (the deepest one) or else on c:; empty when a component
    // cannot be shown (it holds "\") or the path is not absolute.
    static QString toDos(const QString &nativePath);
    // The DOS path with each component spelled as on disk, kept on its drive.
    static QString canonical(const QString &dosPath);

    static bool isShowableName(const QString &name) { return !name.contains(QLatin1Char('\\')); }
    // folder + "\" (unless it already ends in one) + name.
    static QString join(const QString &folder, const QString &name);

    // An existing folder that can be listed.
    static bool isFolder(const QString &dosPath);
    // Sorted without regard to case; hidden (dot) and unshowable names left out.
    static QStringList subfolders(const QString &dosFolder);
    // Ordinary files only: no hidden, no system (device, socket, pipe) files.
    static QStringList files(const QString &dosFolder);

    struct FileFacts
    {
        qint64 size = 0;
        QDateTime modified;
    };
    // Size and last change of an existing readable file; nothing otherwise.
    static std::optional<FileFacts> fileFacts(const QString &dosPath);
};
