#include "platform/drive_namespace.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace {

struct Drive
{
    QChar letter; // upper case
    QString root; // clean absolute native folder; empty when it has none
    QString label;
};

QList<Drive> &driveTable()
{
    static QList<Drive> table;
    return table;
}

Drive localDrive()
{
    QString label = QStorageInfo::root().name();
    if (label.isEmpty())
        label = QStringLiteral("local");
    return {QLatin1Char('C'), QStringLiteral("/"), label};
}

const Drive *findDrive(QChar letter)
{
    const QChar up = letter.toUpper();
    if (up == QLatin1Char('C')) {
        static const Drive local = localDrive();
        return &local;
    }
    for (const Drive &d : driveTable())
        if (d.letter == up)
            return &d;
    return nullptr;
}

bool isSeparator(QChar c) { return c == QLatin1Char('\\') || c == QLatin1Char('/'); }

struct Parsed
{
    QChar letter;
    QStringList parts;
};

std::optional<Parsed> parse(const QString &dosPath)
{
    if (dosPath.size() < 2 || dosPath.at(1) != QLatin1Char(':'))
        return std::nullopt;
    const QChar letter = dosPath.at(0).toUpper();
    if (letter < QLatin1Char('A') || letter > QLatin1Char('Z'))
        return std::nullopt;
    const QString rest = dosPath.mid(2);
    if (!rest.isEmpty() && !isSeparator(rest.at(0)))
        return std::nullopt; // drive-relative: there is no per-drive current folder
    if (rest.contains(QChar(0)))
        return std::nullopt;
    Parsed p {letter, {}};
    QString part;
    const auto flush = [&]() -> bool {
        if (part == QLatin1String("..")) {
            if (p.parts.isEmpty())
                return false;
            p.parts.removeLast();
        } else if (!part.isEmpty() && part != QLatin1String(".")) {
            p.parts << part;
        }
        part.clear();
        return true;
    };
    for (QChar c : rest) {
        if (isSeparator(c)) {
            if (!flush())
                return std::nullopt;
        } else {
            part += c;
        }
    }
    if (!flush())
        return std::nullopt;
    return p;
}

QString dosText(QChar letter, const QStringList &parts)
{
    return QString(letter) + QStringLiteral(":\\") + parts.join(QLatin1Char('\\'));
}

QString nativeChild(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// The on-disk spelling of `name` in `folder`: exact when present, else the
// first name equal without regard to case, else `name` itself.
QString matchName(const QString &folder, const QString &name)
{
    if (QFileInfo::exists(nativeChild(folder, name)))
        return name;
    QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                 | QDir::NoDotAndDotDot);
    std::sort(entries.begin(), entries.end());
    for (const QString &e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return e;
    return name;
}

std::optional<QStringList> nativePartsUnder(const QString &root, const QString &native)
{
    if (native == root)
        return QStringList();
    const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    if (!native.startsWith(prefix))
        return std::nullopt;
    return native.mid(prefix.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

QString dosUnder(const Drive &drive, const QString &native)
{
    const auto parts = nativePartsUnder(drive.root, native);
    if (!parts)
        return {};
    for (const QString &p : *parts)
        if (!DriveNamespace::isShowableName(p))
            return {};
    return dosText(drive.letter, *parts);
}

QString cleanNative(const QString &nativePath)
{
    if (!QDir::isAbsolutePath(nativePath))
        return {};
    return QDir::cleanPath(nativePath);
}

QStringList sortedShowable(QStringList names)
{
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const QString &n) { return !DriveNamespace::isShowableName(n); }),
                names.end());
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

} // namespace

void DriveNamespace::setNetworkDrives(const QList<NetworkDrive> &drives)
{
    QList<Drive> table;
    for (const NetworkDrive &nd : drives) {
        const QChar letter = QChar::fromLatin1(nd.letter).toUpper();
        if (letter < QLatin1Char('A') || letter > QLatin1Char('Z') || letter == QLatin1Char('C'))
            continue;
        if (std::any_of(table.begin(), table.end(),
                        [&](const Drive &d) { return d.letter == letter; }))
            continue;
        const QString root = cleanNative(nd.nativeRoot);
        table << Drive {letter, root, nd.server + QLatin1Char('/') + nd.volume};
    }
    std::sort(table.begin(), table.end(),
              [](const Drive &a, const Drive &b) { return a.letter < b.letter; });
    driveTable() = table;
}

QStringList DriveNamespace::driveTexts()
{
    QList<const Drive *> all {findDrive(QLatin1Char('C'))};
    for (const Drive &d : driveTable())
        all << &d;
    std::sort(all.begin(), all.end(),
              [](const Drive *a, const Drive *b) { return a->letter < b->letter; });
    QStringList texts;
    for (const Drive *d : all)
        texts << QString(d->letter.toLower()) + QStringLiteral(": [") + d->label + QLatin1Char(']');
    return texts;
}

bool DriveNamespace::hasDrive(QChar letter) { return findDrive(letter) != nullptr; }

bool DriveNamespace::isAvailable(QChar letter)
{
    const Drive *d = findDrive(letter);
    if (!d || d->root.isEmpty())
        return false;
    const QFileInfo fi(d->root);
    return fi.isDir() && fi.isReadable() && fi.isExecutable();
}

QString DriveNamespace::normalize(const QString &dosPath)
{
    const auto p = parse(dosPath);
    return p ? dosText(p->letter, p->parts) : QString();
}

QString DriveNamespace::toNative(const QString &dosPath)
{
    const auto p = parse(dosPath);
    if (!p)
        return {};
    const Drive *d = findDrive(p->letter);
    if (!d || d->root.isEmpty())
        return {};
    QString native = d->root;
    for (const QString &part : p->parts)
        native = nativeChild(native, matchName(native, part));
    return native;
}

QString DriveNamespace::toDos(const QString &nativePath)
{
    const QString native = cleanNative(nativePath);
    if (native.isEmpty())
        return {};
    const Drive *best = nullptr;
    for (const Drive &d : driveTable())
        if (!d.root.isEmpty() && nativePartsUnder(d.root, native)
            && (!best || d.root.size() > best->root.size()))
            best = &d;
    return dosUnder(best ? *best : *findDrive(QLatin1Char('C')), native);
}

QString DriveNamespace::canonical(const QString &dosPath)
{
    const auto p = parse(dosPath);
    if (!p)
        return {};
    const QString native = toNative(dosPath);
    if (native.isEmpty())
        return {};
    return dosUnder(*findDrive(p->letter), native);
}

QString DriveNamespace::join(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('\\')) ? folder + name : folder + QLatin1Char('\\') + name;
}

bool DriveNamespace::isFolder(const QString &dosPath)
{
    const QString native = toNative(dosPath);
    if (native.isEmpty())
        return false;
    const QFileInfo fi(native);
    return fi.isDir() && fi.isReadable() && fi.isExecutable();
}

QStringList DriveNamespace::subfolders(const QString &dosFolder)
{
    const QString native = toNative(dosFolder);
    if (native.isEmpty())
        return {};
    return sortedShowable(QDir(native).entryList(QDir::Dirs | QDir::NoDotAndDotDot));
}

QStringList DriveNamespace::files(const QString &dosFolder)
{
    const QString native = toNative(dosFolder);
    if (native.isEmpty())
        return {};
    // Without QDir::Hidden and QDir::System: no dot files, no special files.
    return sortedShowable(QDir(native).entryList(QDir::Files));
}

std::optional<DriveNamespace::FileFacts> DriveNamespace::fileFacts(const QString &dosPath)
{
    if (dosPath.isEmpty() || isSeparator(dosPath.back()))
        return std::nullopt; // a trailing separator names a folder
    const QString native = toNative(dosPath);
    if (native.isEmpty())
        return std::nullopt;
    const QFileInfo fi(native);
    if (!fi.isFile() || !fi.isReadable())
        return std::nullopt;
    const QDateTime modified = fi.lastModified();
    if (!modified.isValid())
        return std::nullopt;
    return FileFacts {fi.size(), modified};
}
