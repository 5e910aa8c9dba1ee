#include "netware/netsim_store.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <sys/stat.h>

namespace netsim {

namespace {

constexpr int kLockWaitMs = 10000;
const char kDemoResource[] = ":/velmora-netsim/demo";

QString baseDirOf(const QString &file) { return QFileInfo(file).absolutePath(); }

bool readAll(const QString &file, QByteArray *bytes, QString *problem)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        *problem = f.exists() ? QStringLiteral("cannot be read: %1").arg(f.errorString())
                              : QStringLiteral("does not exist");
        return false;
    }
    *bytes = f.readAll();
    return true;
}

QString oneLine(const QString &file, const QString &problem)
{
    return file + QStringLiteral(": ") + problem;
}

} // namespace

FileStamp FileStamp::of(const QString &file)
{
    struct stat st;
    if (::stat(QFile::encodeName(file).constData(), &st) != 0)
        return {};
    return {true, qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

Store::Store(const QString &file) : m_file(QFileInfo(file).absoluteFilePath()) { }

namespace {
// Tells contents apart without keeping them: size and two 64-bit hashes.
QByteArray digestOf(const QByteArray &bytes)
{
    const quint64 parts[3]
        = {quint64(bytes.size()), quint64(qHash(bytes, 0x5eed)), quint64(qHash(bytes, 0xfeed))};
    return QByteArray(reinterpret_cast<const char *>(parts), sizeof parts);
}
} // namespace

bool Store::adopt(QByteArray bytes, const QByteArray &digest, QString *error)
{
    // Without the document: a write-back reads and parses the file anew.
    Network n;
    QString problem;
    if (!loadDescription(std::move(bytes), baseDirOf(m_file), &n, &problem)) {
        if (error)
            *error = oneLine(m_file, problem);
        return false;
    }
    m_network = std::move(n);
    m_digest = digest;
    m_failedDigest.clear();
    m_loaded = true;
    return true;
}

bool Store::load(QString *error)
{
    // Taken before reading, so a change during the read is seen next time.
    const FileStamp stamp = FileStamp::of(m_file);
    QByteArray bytes;
    QString problem;
    if (!readAll(m_file, &bytes, &problem)) {
        if (error)
            *error = oneLine(m_file, problem);
        return false;
    }
    const QByteArray digest = digestOf(bytes);
    if (!adopt(std::move(bytes), digest, error))
        return false;
    m_stamp = stamp;
    return true;
}

bool Store::refresh(bool checkContent, QString *error)
{
    const FileStamp stamp = FileStamp::of(m_file);
    const bool statChanged = !stamp.exists || !(stamp == m_stamp);
    if (!statChanged && !checkContent)
        return true;
    QByteArray bytes;
    QString problem;
    if (!readAll(m_file, &bytes, &problem)) {
        const QByteArray marker("\0missing", 8); // reported once until the file is back
        if (m_failedDigest == marker)
            return true;
        m_failedDigest = marker;
        if (error)
            *error = oneLine(m_file, problem);
        return false;
    }
    const QByteArray digest = digestOf(bytes);
    if (digest != m_digest) {
        if (digest == m_failedDigest)
            return true;
        if (!adopt(std::move(bytes), digest, error)) {
            m_failedDigest = digest;
            return false;
        }
    } else {
        m_failedDigest.clear();
    }
    m_stamp = stamp;
    return true;
}

bool Store::modify(const Change &change, QString *error)
{
    auto failed = [&](const QString &problem) {
        if (error)
            *error = oneLine(m_file, problem);
        return false;
    };
    QLockFile lock(m_file + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockWaitMs))
        return failed(
            QStringLiteral("lock file %1 is held by another program").arg(lock.fileName()));

    QByteArray bytes;
    QString problem;
    if (!readAll(m_file, &bytes, &problem))
        return failed(problem);
    Network current;
    if (!parseDescription(bytes, baseDirOf(m_file), &current, &problem))
        return failed(problem + QStringLiteral(" (nothing written)"));

    QJsonObject root = current.root;
    if (!change(root, current, &problem)) {
        if (error)
            *error = problem;
        return false;
    }
    const QByteArray out = QJsonDocument(root).toJson(QJsonDocument::Indented);
    Network after;
    if (!parseDescription(out, baseDirOf(m_file), &after, &problem))
        return failed(QStringLiteral("change would make the description invalid: ") + problem);

    QSaveFile save(m_file);
    if (!save.open(QIODevice::WriteOnly) || save.write(out) != out.size() || !save.commit())
        return failed(QStringLiteral("cannot be written: %1").arg(save.errorString()));

    after.root = QJsonObject();
    m_network = std::move(after);
    m_digest = digestOf(out);
    m_failedDigest.clear();
    m_loaded = true;
    m_stamp = FileStamp::of(m_file);
    return true;
}

QString demoDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/velmora-netsim/demo");
}

QString demoFile() { return demoDir() + QStringLiteral("/network.json"); }

bool installDemo(bool reset, QString *error)
{
    const QString dir = demoDir();
    if (!QDir().mkpath(QFileInfo(dir).absolutePath())) {
        if (error)
            *error = oneLine(dir, QStringLiteral("cannot create the folder"));
        return false;
    }
    QLockFile lock(dir + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockWaitMs)) {
        if (error)
            *error = oneLine(
                dir,
                QStringLiteral("lock file %1 is held by another program").arg(lock.fileName()));
        return false;
    }
    if (!reset && QFileInfo::exists(demoFile()))
        return true;
    if (reset && QFileInfo::exists(dir) && !QDir(dir).removeRecursively()) {
        if (error)
            *error = oneLine(dir, QStringLiteral("cannot remove the old copy"));
        return false;
    }
    const QString base = QLatin1String(kDemoResource);
    QDirIterator it(base, QDir::Files, QDirIterator::Subdirectories);
    QByteArray description;
    bool any = false;
    while (it.hasNext()) {
        const QString source = it.next();
        const QString relative = source.mid(base.size() + 1);
        QFile in(source);
        if (!in.open(QIODevice::ReadOnly))
            continue;
        any = true;
        if (relative == QLatin1String("network.json")) {
            description = in.readAll();
            continue; // written last: its presence means the copy is complete
        }
        const QString target = dir + QLatin1Char('/') + relative;
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile out(target);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(in.readAll()) < 0) {
            if (error)
                *error = oneLine(target,
                                 QStringLiteral("cannot be written: %1").arg(out.errorString()));
            return false;
        }
    }
    if (!any || description.isEmpty()) {
        if (error)
            *error = oneLine(
                dir, QStringLiteral("the built-in demo network is missing from the program"));
        return false;
    }
    QDir().mkpath(dir);
    QSaveFile save(demoFile());
    if (!save.open(QIODevice::WriteOnly) || save.write(description) != description.size()
        || !save.commit()) {
        if (error)
            *error = oneLine(demoFile(),
                             QStringLiteral("cannot be written: %1").arg(save.errorString()));
        return false;
    }
    return true;
}

QString descriptionFile(QString *error)
{
    const QString env = qEnvironmentVariable("NWSIM_NETWORK");
    if (!env.isEmpty())
        return QFileInfo(env).absoluteFilePath();
    if (!installDemo(false, error))
        return QString();
    return demoFile();
}

namespace edit {

namespace {

// Runs f on servers[server].<list>, writing the changed list back.
template<typename F> auto withList(QJsonObject &root, int server, const char *list, F f)
{
    QJsonArray servers = root.value(QLatin1String("servers")).toArray();
    QJsonObject s = servers.at(server).toObject();
    QJsonArray a = s.value(QLatin1String(list)).toArray();
    const auto result = f(a);
    s.insert(QLatin1String(list), a);
    servers.replace(server, s);
    root.insert(QLatin1String("servers"), servers);
    return result;
}

int intOf(const QJsonObject &o, const char *key) { return o.value(QLatin1String(key)).toInt(); }

} // namespace

bool appendMessage(QJsonObject &root, int server, int connection, const Message &message)
{
    return withList(root, server, "connections", [&](QJsonArray &a) {
        for (int i = 0; i < a.size(); ++i) {
            QJsonObject c = a[i].toObject();
            if (intOf(c, "number") != connection)
                continue;
            QJsonArray messages = c.value(QLatin1String("messages")).toArray();
            messages.append(QJsonObject {{QStringLiteral("from"), message.from},
                                         {QStringLiteral("text"), message.text},
                                         {QStringLiteral("at"), message.at}});
            c.insert(QLatin1String("messages"), messages);
            a.replace(i, c);
            return true;
        }
        return false;
    });
}

bool removeConnection(QJsonObject &root, int server, int connection)
{
    const bool found = withList(root, server, "connections", [&](QJsonArray &a) {
        for (int i = 0; i < a.size(); ++i)
            if (intOf(a[i].toObject(), "number") == connection) {
                a.removeAt(i);
                return true;
            }
        return false;
    });
    if (!found)
        return false;
    withList(root, server, "openFiles", [&](QJsonArray &a) {
        for (int i = a.size() - 1; i >= 0; --i)
            if (intOf(a[i].toObject(), "connection") == connection)
                a.removeAt(i);
        return true;
    });
    return true;
}

void addConnection(QJsonObject &root, int server, const QJsonObject &connection)
{
    withList(root, server, "connections", [&](QJsonArray &a) {
        a.append(connection);
        return true;
    });
}

void addOpenFile(QJsonObject &root, int server, const QJsonObject &entry)
{
    withList(root, server, "openFiles", [&](QJsonArray &a) {
        a.append(entry);
        return true;
    });
}

int removeOpenFiles(QJsonObject &root, int server, int connection, const QString &path, int task)
{
    const QString wanted = normalizedVolumePath(path);
    return withList(root, server, "openFiles", [&](QJsonArray &a) {
        int removed = 0;
        for (int i = a.size() - 1; i >= 0; --i) {
            const QJsonObject f = a[i].toObject();
            if (intOf(f, "connection") == connection
                && normalizedVolumePath(f.value(QLatin1String("path")).toString()) == wanted
                && (task < 0 || intOf(f, "task") == task)) {
                a.removeAt(i);
                ++removed;
            }
        }
        return removed;
    });
}

} // namespace edit

} // namespace netsim
