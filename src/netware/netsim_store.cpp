#include "netware/netsim_store.h"

#include "netware/atomic_write.h"
#include "netware/change_watch.h"
#include "netware/json_reader.h"
#include "netware/large_pages.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLockFile>
#include <QMap>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstring>

#include <sys/stat.h>

namespace netsim {

namespace {

std::atomic<int> g_lockWaitMs {10000};
// An empty lock file older than this is no writer's: QLockFile fills it
// right after creating it.
constexpr int kEmptyLockGraceMs = 1000;
constexpr int kLockRetryMs = 2;
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
    // A large text goes into a buffer advised before its first byte is written.
    const qint64 size = f.size();
    if (size < (qint64(4) << 20)) {
        *bytes = f.readAll();
        return true;
    }
    QByteArray text(size, Qt::Uninitialized);
    adviseLargePages(text.constData(), size_t(size));
    const qint64 got = f.read(text.data(), size);
    if (got < 0) {
        *problem = QStringLiteral("cannot be read: %1").arg(f.errorString());
        return false;
    }
    text.truncate(got);
    text += f.readAll(); // grown while read
    *bytes = std::move(text);
    return true;
}

QString oneLine(const QString &file, const QString &problem)
{
    return file + QStringLiteral(": ") + problem;
}

// The system's own words for why nothing can be written in a folder.
QString whyNotWritable(const QString &dir)
{
    QTemporaryFile probe(dir + QStringLiteral("/.velmora-probe-XXXXXX"));
    if (!probe.open())
        return probe.errorString();
    if (probe.write("x", 1) != 1 || !probe.flush())
        return probe.errorString();
    return QStringLiteral("unknown error");
}

// One lock per file however it is reached: a symlink and its target share it.
QString lockFileFor(const QString &file)
{
    const QFileInfo fi(file);
    return (fi.exists() ? fi.canonicalFilePath() : fi.absoluteFilePath()) + QStringLiteral(".lock");
}

// A crash between creating and filling a lock file leaves it empty, and
// QLockFile would wait out its 30 s stale time. Removed under QLockFile's own
// ".rmlock" guard, so two waiters never both remove and re-create it.
void removeAbandonedEmptyLock(const QLockFile &lock)
{
    const auto abandoned = [&] {
        qint64 pid = 0;
        QString host, app;
        const QFileInfo fi(lock.fileName());
        return fi.exists() && !lock.getLockInfo(&pid, &host, &app)
            && fi.lastModified().msecsTo(QDateTime::currentDateTime()) > kEmptyLockGraceMs;
    };
    if (!abandoned())
        return;
    QLockFile guard(lock.fileName() + QStringLiteral(".rmlock"));
    if (guard.tryLock(0) && abandoned())
        QFile::remove(lock.fileName());
}

// Tries at a short fixed interval, so a waiter never falls behind newer
// writers the way QLockFile's growing back-off lets it. A dead owner's lock
// QLockFile itself takes over at once.
bool takeLock(QLockFile &lock, QString *problem)
{
    const QDeadlineTimer deadline(g_lockWaitMs.load());
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError) {
            *problem = QStringLiteral("cannot create the lock file %1: %2")
                           .arg(lock.fileName(),
                                whyNotWritable(QFileInfo(lock.fileName()).absolutePath()));
            return false;
        }
        if (deadline.hasExpired()) {
            qint64 pid = 0;
            QString host, app;
            const QString owner = lock.getLockInfo(&pid, &host, &app)
                ? QStringLiteral("process %1 (%2 on %3)").arg(pid).arg(app, host)
                : QStringLiteral("another program");
            *problem = QStringLiteral("busy: the lock file %1 stayed taken for %2 s (last by %3)")
                           .arg(lock.fileName())
                           .arg(g_lockWaitMs / 1000.0)
                           .arg(owner);
            return false;
        }
        removeAbandonedEmptyLock(lock);
        QThread::msleep(kLockRetryMs);
    }
    return true;
}

// Integers beyond a double's 15 exact digits (12345678901234567890) would
// come back rounded from QJsonDocument; they cross the parse and write as
// marked strings and are put back verbatim.
QByteArray protectBigIntegers(const QByteArray &json, const QByteArray &marker, bool *any)
{
    QByteArray out;
    out.reserve(json.size());
    const qsizetype n = json.size();
    for (qsizetype i = 0; i < n;) {
        const char c = json[i];
        if (c == '"') {
            qsizetype j = i + 1;
            while (j < n && json[j] != '"')
                j += json[j] == '\\' ? 2 : 1;
            out.append(json.constData() + i, std::min(j + 1, n) - i);
            i = j + 1;
            continue;
        }
        if (c != '-' && (c < '0' || c > '9')) {
            out.append(c);
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        bool integer = true;
        while (j < n
               && (std::isdigit(uchar(json[j])) || (json[j] && std::strchr(".eE+-", json[j])))) {
            integer = integer && std::isdigit(uchar(json[j]));
            ++j;
        }
        const QByteArray token = json.mid(i, j - i);
        QByteArray digits = token.startsWith('-') ? token.mid(1) : token;
        while (digits.startsWith('0'))
            digits.remove(0, 1);
        if (integer && digits.size() > 15) {
            out += '"' + marker + token + '"';
            *any = true;
        } else {
            out += token;
        }
        i = j;
    }
    return out;
}

QByteArray restoreBigIntegers(QByteArray json, const QByteArray &marker)
{
    const QByteArray open = '"' + marker;
    for (qsizetype at = json.indexOf(open); at >= 0; at = json.indexOf(open, at)) {
        const qsizetype end = json.indexOf('"', at + open.size());
        if (end < 0)
            break;
        json.replace(at, end + 1 - at, json.mid(at + open.size(), end - at - open.size()));
    }
    return json;
}

} // namespace

void SetLockWaitMs(int ms) { g_lockWaitMs = ms; }

namespace {
// Unique over every store of the process, so that a cache made for one
// store's state is never taken for another's.
quint64 nextGeneration()
{
    static std::atomic<quint64> last {0};
    return ++last;
}
} // namespace

FileStamp FileStamp::of(const QByteArray &nativeFile)
{
    struct stat st;
    if (::stat(nativeFile.constData(), &st) != 0)
        return {};
    return {true, qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

Store::Store(const QString &file)
    : m_file(QFileInfo(file).absoluteFilePath()), m_nativeFile(QFile::encodeName(m_file))
{
}

Store::~Store() = default;

namespace {
// Tells contents apart without keeping them: size and a 64-bit hash.
QByteArray digestOf(const QByteArray &bytes)
{
    const quint64 parts[2] = {quint64(bytes.size()), quint64(qHash(bytes, 0x5eed))};
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
    m_generation = nextGeneration();
    m_digest = digest;
    m_failedDigest.clear();
    m_loaded = true;
    return true;
}

bool Store::load(QString *error)
{
    // Both taken before reading, so a change during the read is seen next time.
    if (!m_watch)
        m_watch = std::make_unique<ChangeWatch>(m_file);
    const FileStamp stamp = FileStamp::of(m_nativeFile);
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
    // Without a notification the stamp is the one of the last look.
    if (!checkContent && m_watch && !m_watch->mayHaveChanged())
        return true;
    const FileStamp stamp = FileStamp::of(m_nativeFile);
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
    QString problem;
    QLockFile lock(lockFileFor(m_file));
    if (!takeLock(lock, &problem))
        return failed(problem);

    QByteArray bytes;
    if (!readAll(m_file, &bytes, &problem))
        return failed(problem);
    const QByteArray marker
        = "\\u0001" + QByteArray::number(QRandomGenerator::global()->generate64(), 36) + ':';
    bool bigIntegers = false;
    const QByteArray protectedBytes = protectBigIntegers(bytes, marker, &bigIntegers);
    Network current;
    if (!parseDescription(bigIntegers ? protectedBytes : bytes, baseDirOf(m_file), &current,
                          &problem))
        return failed(problem + QStringLiteral(" (nothing written)"));

    QJsonObject root = current.root;
    if (!change(root, current, &problem)) {
        if (error)
            *error = problem;
        return false;
    }
    QByteArray out = QJsonDocument(root).toJson(QJsonDocument::Indented);
    if (bigIntegers)
        out = restoreBigIntegers(out, marker);
    Network after;
    if (!parseDescription(out, baseDirOf(m_file), &after, &problem))
        return failed(QStringLiteral("change would make the description invalid: ") + problem);

    after.root = QJsonObject();
    return commit(out, std::move(after), &problem) || failed(problem);
}

bool Store::readLocked(QByteArray *bytes, Network *state, QString *problem)
{
    if (!readAll(m_file, bytes, problem))
        return false;
    // Loaded anew only when someone else changed the file since.
    if (m_loaded && digestOf(*bytes) == m_digest) {
        *state = m_network;
        return true;
    }
    if (loadDescription(QByteArray(*bytes), baseDirOf(m_file), state, problem))
        return true;
    *problem += QStringLiteral(" (nothing written)");
    return false;
}

bool Store::commit(const QByteArray &bytes, Network state, QString *problem)
{
    if (!WriteFileAtomically(m_file, bytes, problem)) {
        *problem += QStringLiteral(" (nothing written)");
        return false;
    }
    m_network = std::move(state);
    m_generation = nextGeneration();
    m_digest = digestOf(bytes);
    m_failedDigest.clear();
    m_loaded = true;
    m_stamp = FileStamp::of(m_nativeFile);
    return true;
}

namespace {

// servers[si].<list> of the text, as the loader saw it.
json::Array listOf(const json::Document &doc, int si, const char *list)
{
    return doc.root()
        .value(QLatin1String("servers"))
        .toArray()
        .at(si)
        .toObject()
        .value(QLatin1String(list))
        .toArray();
}

// The byte ranges that take out elements `gone` (ascending) of an array of
// objects, with their separators, from the back.
QList<std::pair<qsizetype, qsizetype>> removals(const json::Array &a, const QList<int> &gone)
{
    QList<std::pair<qsizetype, qsizetype>> out;
    if (gone.isEmpty())
        return out;
    auto end = [&](qsizetype k) { return a.at(k).closingOffset() + 1; };
    // A leading run goes up to the first element kept; any later one from
    // the end of the element before it.
    qsizetype lead = 0;
    while (lead < gone.size() && gone[lead] == lead)
        ++lead;
    for (qsizetype g = gone.size() - 1; g >= lead; --g)
        out.append({end(gone[g] - 1), end(gone[g])});
    if (lead == a.size())
        out.append({a.at(0).offset(), end(lead - 1)});
    else if (lead > 0)
        out.append({a.at(0).offset(), a.at(lead).offset()});
    return out;
}

} // namespace

bool Store::changeInPlace(const Decide &decide, const TextEdit &edit, const Change &general,
                          QString *error)
{
    QString problem;
    {
        QLockFile lock(lockFileFor(m_file));
        QByteArray bytes;
        Network current;
        if (!takeLock(lock, &problem) || !readLocked(&bytes, &current, &problem)) {
            if (error)
                *error = oneLine(m_file, problem);
            return false;
        }
        const int si = decide(current);
        if (si < 0) {
            if (error)
                error->clear();
            return false;
        }
        // A text only Qt's lenient reader takes is changed the general way.
        json::Document doc;
        if (doc.parse(bytes)) {
            if (!edit(doc, si, &bytes, &current, &problem)
                || !commit(bytes, std::move(current), &problem)) {
                if (error)
                    *error = oneLine(m_file, problem);
                return false;
            }
            return true;
        }
    }
    return modify(general, error);
}

bool Store::deliver(const QString &server, const QList<int> &numbers, const Message &message,
                    QList<Delivery> *outcome, QString *error)
{
    auto deliveries = [&](const Network &net) {
        outcome->clear();
        const int si = net.serverIndex(server);
        for (int number : numbers) {
            const Connection *c = si < 0 ? nullptr : net.servers[si].connection(number);
            outcome->append(si < 0                    ? Delivery::NoServer
                                : !c                  ? Delivery::NoConnection
                                : !c->acceptsMessages ? Delivery::Refused
                                                      : Delivery::Delivered);
        }
        return outcome->contains(Delivery::Delivered) ? si : -1;
    };
    auto insert = [&](const json::Document &doc, int si, QByteArray *bytes, Network *state,
                      QString *problem) {
        const QByteArray item = QJsonDocument(QJsonObject {{QStringLiteral("from"), message.from},
                                                           {QStringLiteral("text"), message.text},
                                                           {QStringLiteral("at"), message.at}})
                                    .toJson(QJsonDocument::Compact);
        // Servers and connections stand in the network in file order.
        const json::Array connections = listOf(doc, si, "connections");
        // A connection named twice gets the message twice, in one insert.
        QMap<int, int> copies; // connection position -> messages to add
        Server &s = state->servers[si];
        for (qsizetype i = 0; i < numbers.size(); ++i) {
            if ((*outcome)[i] != Delivery::Delivered)
                continue;
            const int ci = s.index.connectionByNumber.value(numbers[i]);
            ++copies[ci];
            s.connections[ci].messages.append(message);
        }
        QList<std::pair<qsizetype, QByteArray>> inserts;
        for (auto it = copies.cbegin(); it != copies.cend(); ++it) {
            const json::Value c = connections.at(it.key());
            const json::Value messages = c.toObject().value(QLatin1String("messages"));
            QByteArray items = item;
            for (int k = 1; k < it.value(); ++k)
                items += ',' + item;
            const auto at = messages.isArray()
                ? std::pair(messages.closingOffset(),
                            (messages.toArray().size() ? "," : "") + items)
                : std::pair(c.closingOffset(), ",\"messages\":[" + items + ']');
            // The changed connection must still read as one object, as a
            // general write-back checks its whole result.
            QByteArray changed = bytes->mid(c.offset(), c.closingOffset() + 1 - c.offset());
            changed.insert(at.first - c.offset(), at.second);
            if (json::Document check; !check.parse(changed)) {
                *problem = QStringLiteral("change would make the description invalid "
                                          "(nothing written)");
                return false;
            }
            inserts.append(at);
        }
        // From the back, so that earlier offsets still hold.
        std::sort(inserts.begin(), inserts.end(),
                  [](const auto &a, const auto &b) { return a.first > b.first; });
        for (const auto &[offset, text] : inserts)
            bytes->insert(offset, text);
        return true;
    };
    return changeInPlace(
        deliveries, insert,
        [&](QJsonObject &root, const Network &net, QString *) {
            const int si = deliveries(net);
            bool any = false;
            for (qsizetype i = 0; si >= 0 && i < numbers.size(); ++i)
                if ((*outcome)[i] == Delivery::Delivered)
                    any = edit::appendMessage(root, si, numbers[i], message) || any;
            return any;
        },
        error);
}

bool Store::clear(const QString &server, int number, Clearing *outcome, QString *error)
{
    auto clearing = [&](const Network &net) {
        const int si = net.serverIndex(server);
        *outcome = si < 0                            ? Clearing::NoServer
            : !net.servers[si].isOperator(net.login) ? Clearing::NoRights
            : !net.servers[si].connection(number)    ? Clearing::NoConnection
                                                     : Clearing::Cleared;
        return *outcome == Clearing::Cleared ? si : -1;
    };
    auto cut = [&](const json::Document &doc, int si, QByteArray *bytes, Network *state,
                   QString *problem) {
        const Server &s = state->servers[si];
        QList<int> uses;
        for (int i = 0; i < s.openFiles.size(); ++i)
            if (s.openFiles[i].connection == number)
                uses.append(i);
        auto ranges = removals(listOf(doc, si, "openFiles"), uses)
            + removals(listOf(doc, si, "connections"), {s.index.connectionByNumber.value(number)});
        std::sort(ranges.begin(), ranges.end(),
                  [](const auto &a, const auto &b) { return a.first > b.first; });
        for (const auto &[from, to] : ranges)
            bytes->remove(from, to - from);
        // The indexes change throughout: the text is loaded anew.
        if (loadDescription(QByteArray(*bytes), baseDirOf(m_file), state, problem))
            return true;
        *problem = QStringLiteral("change would make the description invalid: ") + *problem;
        return false;
    };
    return changeInPlace(
        clearing, cut,
        [&](QJsonObject &root, const Network &net, QString *) {
            const int si = clearing(net);
            return si >= 0 && edit::removeConnection(root, si, number);
        },
        error);
}

QString demoDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/velmora-netsim/demo");
}

QString demoFile() { return demoDir() + QStringLiteral("/network.json"); }

bool installDemo(bool reset, QString *error)
{
    // A copy already there needs nothing written: a read-only home still works.
    if (!reset && QFileInfo::exists(demoFile()))
        return true;
    const QString dir = demoDir();
    auto failed = [&](const QString &where, const QString &problem) {
        if (error)
            *error = oneLine(where, problem);
        return false;
    };
    const QString parent = QFileInfo(dir).absolutePath();
    if (!QDir().mkpath(parent)) {
        QString existing = parent;
        while (!QFileInfo(existing).isDir() && existing != QFileInfo(existing).absolutePath())
            existing = QFileInfo(existing).absolutePath();
        return failed(dir,
                      QStringLiteral("cannot create the folder: %1").arg(whyNotWritable(existing)));
    }
    QLockFile lock(dir + QStringLiteral(".lock"));
    QString problem;
    if (!takeLock(lock, &problem))
        return failed(dir, problem);
    if (!reset && QFileInfo::exists(demoFile()))
        return true;
    if (reset && QFileInfo::exists(dir) && !QDir(dir).removeRecursively())
        return failed(dir, QStringLiteral("cannot remove the old copy"));
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
        if (!QDir().mkpath(QFileInfo(target).absolutePath()))
            return failed(
                target, QStringLiteral("cannot create the folder: %1").arg(whyNotWritable(parent)));
        if (!WriteFileAtomically(target, in.readAll(), &problem))
            return failed(target, problem);
    }
    if (!any || description.isEmpty())
        return failed(dir, QStringLiteral("the built-in demo network is missing from the program"));
    QDir().mkpath(dir);
    if (!WriteFileAtomically(demoFile(), description, &problem))
        return failed(demoFile(), problem);
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
