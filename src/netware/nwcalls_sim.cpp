// The NetWare client calls answered from the simulated network.
#include "netware/client_text.h"
#include "netware/mapped_drives.h"
#include "netware/netsim_path.h"
#include "netware/netsim_store.h"
#include "netware/nwcalls.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMap>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>

using namespace netsim;

namespace {

constexpr size_t kMaxInputText = 1024;
constexpr int kTrusteeLabelMax = 0xFFFE; // 0xFFFF means "before the first"

struct Client
{
    std::unique_ptr<Store> store;
    QMap<QString, NWCONN_HANDLE> handles; // upper-case server name -> handle, never reused
    // Handle -> index into the state's servers, -1 when its server is gone;
    // made anew for every state (generation), read on every call.
    QList<int> serverByHandle {-1};
    QList<NWCONN_HANDLE> handleByServer; // the other way round, for the same state
    quint64 handlesFor = 0;
    // The last trustee path and object asked for, and their trustees: the
    // rights lookup asks for each twice or more in a row, and for each path
    // right after it was handed out.
    struct
    {
        quint64 generation = 0;
        const Server *server = nullptr;
        QString path;
        ServerIndex::Positions trustees;
    } lastPath;
    struct
    {
        quint64 generation = 0;
        const Server *server = nullptr;
        nuint32 id = 0;
        ServerIndex::Positions trustees;
    } lastObject;
    NWCONN_HANDLE nextHandle = 1;
    // The open context handles and their name contexts: a lookup holds one
    // for four calls, so a short list beats a map's node per handle.
    QList<std::pair<NWDSContextHandle, QString>> contexts;
    NWDSContextHandle nextContext = 1;
    QString initError;
    QString input; // the calls' decoded input, its buffer reused

    bool ready() const { return store && store->isLoaded(); }
    const Network &net() const { return store->network(); }
};

std::mutex g_mutex;

Client &client()
{
    static Client c;
    return c;
}

void report(const QString &line)
{
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

// Once per state: every call that may bring a new one asks for it, and
// serverOf() asks again in case one did not.
void assignHandles(Client &c)
{
    if (c.handlesFor == c.store->generation())
        return;
    c.handleByServer.clear();
    for (const Server &s : c.net().servers) {
        const QString key = s.name.toUpper();
        auto it = c.handles.find(key);
        if (it == c.handles.end())
            it = c.handles.insert(key, c.nextHandle++);
        c.handleByServer.append(it.value());
    }
    c.serverByHandle.fill(-1, c.nextHandle);
    for (auto it = c.handles.cbegin(); it != c.handles.cend(); ++it)
        c.serverByHandle[it.value()] = c.net().serverIndex(it.key());
    c.handlesFor = c.store->generation();
}

void refresh(Client &c, bool checkContent)
{
    if (!c.ready())
        return;
    QString error;
    if (!c.store->refresh(checkContent, &error))
        report(error);
    assignHandles(c);
}

// The server behind a handle in the current state, or null.
const Server *serverOf(Client &c, NWCONN_HANDLE conn)
{
    if (!c.ready())
        return nullptr;
    assignHandles(c);
    if (conn >= NWCONN_HANDLE(c.serverByHandle.size()))
        return nullptr;
    const int i = c.serverByHandle[conn];
    return i < 0 ? nullptr : &c.net().servers[i];
}

// What every call on a connection needs first: a started client and a
// server behind the handle.
NWCCODE serverFor(Client &c, NWCONN_HANDLE conn, const Server **s)
{
    if (!c.ready())
        return NW_ERR_NOT_INITIALIZED;
    // The description is re-read only where a scan or a lookup starts (path
    // parse, first batch): a stat per call was a quarter of a scan.
    *s = serverOf(c, conn);
    return *s ? NWCCODE(NW_SUCCESS) : NWCCODE(NW_ERR_INVALID_CONNECTION);
}

// Reads a NUL-terminated input; false when null or longer than the limit.
bool inputText(const char *s, QString *out, size_t max = kMaxInputText)
{
    if (!s)
        return false;
    const size_t n = strnlen(s, max + 1);
    if (n > max)
        return false;
    ClientText::decodeInto(s, n, out);
    return true;
}

// Writes text into a buffer of size bytes, cut to fit, always NUL-terminated.
void outputText(char *dst, size_t size, QStringView text)
{
    // The loader refuses names the code page cannot hold, so this never fails.
    ClientText::encodeInto(text, dst, size);
}

// The trustee assignments of an object ID on a server.
ServerIndex::Positions trusteesOfId(Client &c, const Server *s, nuint32 id)
{
    auto &last = c.lastObject;
    const quint64 generation = c.store->generation();
    if (last.generation != generation || last.server != s || last.id != id)
        last = {generation, s, id, s->trusteesOf(s->objectById(id))};
    return last.trustees;
}

// Keeps a path's trustees under the text last.path now holds.
void rememberPath(Client &c, const Server *s, ServerIndex::Positions trustees)
{
    auto &last = c.lastPath;
    last.generation = c.store->generation();
    last.server = s;
    last.trustees = trustees;
}

// The trustee assignments of a volume path on a server: the path last
// handed out as it was handed out, any other normalized.
ServerIndex::Positions trusteesOfPath(Client &c, const Server *s, QStringView path)
{
    auto &last = c.lastPath;
    if (last.generation != c.store->generation() || last.server != s || last.path != path) {
        // Copied into its own buffer: sharing the caller's would cost the
        // next call's input an allocation.
        last.path.resize(path.size());
        std::copy(path.begin(), path.end(), last.path.begin());
        rememberPath(c, s, s->index.ofPath(s->index.runOfPath(last.path)));
    }
    return last.trustees;
}

// The name context of an open context handle, or null.
QString *contextOf(Client &c, NWDSContextHandle handle)
{
    for (auto &[h, name] : c.contexts)
        if (h == handle)
            return &name;
    return nullptr;
}

// Case-insensitive resolution of a directory path under a volume's folder.
QString nativePath(const QString &root, const QString &dirPath)
{
    QString current = root;
    if (!QFileInfo(current).isDir())
        return QString();
    for (const QString &part : dirPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        const QStringList entries
            = QDir(current).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        auto it = std::find_if(entries.begin(), entries.end(), [&](const QString &e) {
            return e.compare(part, Qt::CaseInsensitive) == 0;
        });
        if (it == entries.end())
            return QString();
        current += QLatin1Char('/') + *it;
    }
    return current;
}

} // namespace

extern "C" {

NWCCODE NWCallsInit(void *, void *)
{
    std::lock_guard guard(g_mutex);
    Client &c = client();
    c.store.reset();
    QString error;
    const QString file = descriptionFile(&error);
    auto store = file.isEmpty() ? nullptr : std::make_unique<Store>(file);
    if (!store || !store->load(&error)) {
        report(error);
        c.initError = error;
        return NW_ERR_NOT_INITIALIZED;
    }
    c.initError.clear();
    c.store = std::move(store);
    assignHandles(c);
    return NW_SUCCESS;
}

NWCCODE NWParsePath(const char *path, char *serverName, NWCONN_HANDLE *conn, char *volName,
                    char *dirPath)
{
    std::lock_guard guard(g_mutex);
    Client &c = client();
    // Failure leaves empty texts and the handle as it was.
    outputText(serverName, NW_SERVER_NAME_LEN, QString());
    outputText(volName, NW_VOLUME_NAME_LEN, QString());
    outputText(dirPath, NW_DIR_PATH_LEN, QString());
    if (!c.ready())
        return NW_ERR_NOT_INITIALIZED;
    QString &text = c.input;
    if (!inputText(path, &text))
        return NW_ERR_INVALID_PARAMETER;
    // Size and time only: the rights lookup parses a path per listed user,
    // and reading the whole description each time made a scan quadratic.
    // The scan's first batch request still compares the content.
    refresh(c, false);
    ParsedPath parsed;
    if (!parseNetWarePath(c.net(), text, &parsed))
        return NW_ERR_INVALID_PATH;
    // A cut directory path would name another file: refuse instead.
    if (parsed.dirPath.size() >= NW_DIR_PATH_LEN)
        return NW_ERR_INVALID_PATH;
    outputText(serverName, NW_SERVER_NAME_LEN, parsed.server);
    // Volume names are at most 16 characters, well within the buffer.
    outputText(volName, NW_VOLUME_NAME_LEN, parsed.volume);
    outputText(dirPath, NW_DIR_PATH_LEN, parsed.dirPath);
    if (conn)
        *conn = c.handleByServer.value(parsed.serverIndex);
    return NW_SUCCESS;
}

NWCCODE NWScanConnectionsUsingFile(NWCONN_HANDLE conn, nuint8, const char *filePath,
                                   nint16 *iterHandle, CONN_USING_FILE *fileUse,
                                   CONNS_USING_FILE *fileUsed)
{
    std::lock_guard guard(g_mutex);
    Client &c = client();
    if (!c.ready())
        return NW_ERR_NOT_INITIALIZED;
    QString &path = c.input;
    if (!iterHandle || !fileUsed || !inputText(filePath, &path))
        return NW_ERR_INVALID_PARAMETER;
    if (*iterHandle == 0)
        refresh(c, true); // a scan's first request also compares the content
    const Server *s = nullptr;
    if (const NWCCODE rc = serverFor(c, conn, &s))
        return rc;
    if (!s->isOperator(c.net().login))
        return NW_ERR_NO_RIGHTS;

    const FileUses *found = s->fileUses(path);
    const qint64 total = found ? found->entries.size() : 0;
    const auto use = [&](qint64 i) -> const OpenFile & { return s->openFiles[found->entries[i]]; };
    const qint64 first = qint64(*iterHandle) * NW_MAX_CONNS_PER_BATCH;
    if (*iterHandle < 0 || first >= total)
        return NW_ERR_NO_MORE_ENTRIES;

    // The counts cover every use of the file; the loader keeps them, so a
    // batch costs its own entries only.
    CONNS_USING_FILE r;
    std::memset(&r, 0, sizeof r);
    r.useCount = nuint16(total);
    r.openCount = nuint16(total);
    r.openForReadCount = nuint16(found->forRead);
    r.openForWriteCount = nuint16(found->forWrite);
    r.denyReadCount = nuint16(found->denyRead);
    r.denyWriteCount = nuint16(found->denyWrite);
    r.locked = found->locked ? 1 : 0;
    const qint64 end = std::min<qint64>(first + NW_MAX_CONNS_PER_BATCH, total);
    for (qint64 i = first; i < end; ++i) {
        CONN_USING_FILE &e = r.connInfo[r.connCount++];
        e.connNumber = use(i).connection;
        e.taskNumber = use(i).task;
        e.lockType = use(i).lockType;
        e.accessControl = use(i).accessControl;
        e.lockFlag = use(i).lockFlag;
    }
    r.nextRequest = end < total ? nuint16(*iterHandle + 1) : 0;
    *fileUsed = r;
    if (fileUse)
        *fileUse = r.connInfo[0];
    return NW_SUCCESS;
}

NWCCODE NWGetConnectionInformation(NWCONN_HANDLE conn, nuint16 connNumber, char *objName,
                                   nuint16 *objType, nuint32 *objID, nuint8 *loginTime)
{
    std::lock_guard guard(g_mutex);
    Client &c = client();
    const Server *s = nullptr;
    if (const NWCCODE rc = serverFor(c, conn, &s))
        return rc;
    const Connection *cn = s->connection(connNumber);
    if (!cn)
        return NW_ERR_NO_SUCH_CONNECTION;
    outputText(objName, NW_OBJECT_NAME_LEN, cn->object);
    if (objType)
        *objType = 1; // a user object
    if (objID)
        *objID = cn->objectId;
    if (loginTime) {
        std::memcpy(loginTime, cn->loginTime.data(), cn->loginTime.size());
        loginTime[7] = 0;
    }
    return NW_SUCCESS;
}

NWCCODE NWGetInetAddr(NWCONN_HANDLE conn, nuint16 connNumber, NWINET_ADDR *inetAddr)
{
    std::lock_guard guard(g_mutex);
    Client &c = client();
    if (!c.ready())
        return NW_ERR_NOT_INITIALIZED;
    if (!inetAddr)
        return NW_ERR_INVALID_PARAMETER;
    const Server *s = nullptr;
    if (const NWCCODE rc = serverFor(c, conn, &s))
        return rc;
    const Connection *cn = s->connection(connNumber);
    if (!cn)
        return NW_ERR_NO_SUCH_CONNECTION;
    if (!cn->address)
        return NW_ERR_NO_MORE_ENTRIES;
    NWINET_ADDR a;
    std::memcpy(a.networkAddr, cn->address->net.data(), 4);
    std::memcpy(a.netNodeAddr, cn->address->node.data(), 6);
    std::memcpy(a.socket, cn->address->socket.data(), 2);
    a.connType = cn->address->type;
    *inetAddr = a;
    return NW_SUCCESS;
}

NWCCODE NWSendBroadcastMessage(NWCONN_HANDLE conn, const char *message, nuint16 connCount,
                               const nuint16 *connList, nuint8 *resultList)
{
    std::lock_guard guard(g_mutex);
    Client &c = client();
    if (!c.ready())
        return NW_ERR_NOT_INITIALIZED;
    if (!message || !connList || connCount == 0)
        return NW_ERR_INVALID_PARAMETER;
    const size_t length = strnlen(message, NW_MAX_BROADCAST_LEN + 1);
    if (length > size_t(NW_MAX_BROADCAST_LEN))
        return NW_ERR_MESSAGE_TOO_LONG;
    const Server *s = nullptr;
    if (const NWCCODE rc = serverFor(c, conn, &s))
        return rc;
    const QString serverName = s->name;
    const Message msg {
        c.net().login, ClientText::decode(message, length),
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))};

    NWCCODE result = NW_SUCCESS;
    QList<int> numbers;
    for (int i = 0; i < connCount; ++i)
        numbers.append(connList[i]);
    QList<Store::Delivery> outcome;
    QString error;
    const bool written = c.store->deliver(serverName, numbers, msg, &outcome, &error);
    QList<NWCCODE> perConnection;
    for (Store::Delivery d : outcome)
        perConnection.append(d == Store::Delivery::Delivered          ? NW_SUCCESS
                                 : d == Store::Delivery::NoServer     ? NW_ERR_INVALID_CONNECTION
                                 : d == Store::Delivery::NoConnection ? NW_ERR_NO_SUCH_CONNECTION
                                                                      : NW_ERR_MESSAGE_REFUSED);
    for (int i = 0; i < connCount; ++i) {
        const NWCCODE code = i < perConnection.size() ? perConnection[i] : NW_ERR_WRITE_FAILED;
        const NWCCODE effective = (code == NW_SUCCESS && !written) ? NW_ERR_WRITE_FAILED : code;
        if (resultList)
            resultList[i] = effective == NW_SUCCESS ? 0 : 0xFF;
        if (result == NW_SUCCESS)
            result = effective;
    }
    if (!written && !error.isEmpty())
        report(error);
    assignHandles(c);
    return result;
}

NWCCODE NWClearConnectionNumber(NWCONN_HANDLE conn, nuint16 connNumber)
{
    std::lock_guard guard(g_mutex);
    Client &c = client();
    const Server *s = nullptr;
    if (const NWCCODE rc = serverFor(c, conn, &s))
        return rc;
    const QString serverName = s->name;
    Store::Clearing outcome = Store::Clearing::NoServer;
    QString error;
    c.store->clear(serverName, connNumber, &outcome, &error);
    NWCCODE result = outcome == Store::Clearing::Cleared ? NW_SUCCESS
        : outcome == Store::Clearing::NoServer           ? NW_ERR_INVALID_CONNECTION
        : outcome == Store::Clearing::NoRights           ? NW_ERR_NO_RIGHTS
                                                         : NW_ERR_NO_SUCH_CONNECTION;
    if (!error.isEmpty()) {
        report(error);
        result = NW_ERR_WRITE_FAILED;
    }
    assignHandles(c);
    return result;
}

NWDSCCODE NWDSCreateContextHandle(NWDSContextHandle *context)
{
    std::lock_guard guard(g_mutex);
    if (!context)
        return NWDS_ERR_NULL_POINTER;
    Client &c = client();
    const NWDSContextHandle h = c.nextContext++;
    c.contexts.append({h, QString()});
    *context = h;
    return NW_SUCCESS;
}

NWDSCCODE NWDSSetContext(NWDSContextHandle context, int key, const void *value)
{
    std::lock_guard guard(g_mutex);
    Client &c = client();
    QString *name = contextOf(c, context);
    if (!name)
        return NWDS_ERR_INVALID_HANDLE;
    if (key != DCK_NAME_CONTEXT)
        return NWDS_ERR_BAD_KEY;
    return inputText(static_cast<const char *>(value), name) ? NWDSCCODE(NW_SUCCESS)
                                                             : NWDSCCODE(NWDS_ERR_NULL_POINTER);
}

NWDSCCODE NWDSMapNameToID(NWDSContextHandle context, NWCONN_HANDLE conn, const char *objectName,
                          nuint32 *objectID)
{
    std::lock_guard guard(g_mutex);
    Client &c = client();
    if (!contextOf(c, context))
        return NWDS_ERR_INVALID_HANDLE;
    QString &name = c.input;
    if (!objectID || !inputText(objectName, &name))
        return NWDS_ERR_NULL_POINTER;
    const Server *s = nullptr;
    if (const NWCCODE rc = serverFor(c, conn, &s))
        return rc;
    if (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1); // a distinguished name from the root
    const DirObject *o = s->object(name);
    if (!o)
        return NWDS_ERR_NO_SUCH_ENTRY;
    *objectID = o->id;
    // Its trustee paths are the next question: the object is at hand, while
    // the index by ID is too large to stay in the cache.
    c.lastObject = {c.store->generation(), s, o->id, s->trusteesOf(o)};
    return NW_SUCCESS;
}

NWDSCCODE NWDSFreeContext(NWDSContextHandle context)
{
    std::lock_guard guard(g_mutex);
    auto &open = client().contexts;
    const auto it
        = std::find_if(open.begin(), open.end(), [&](const auto &c) { return c.first == context; });
    if (it == open.end())
        return NWDS_ERR_INVALID_HANDLE;
    open.erase(it);
    return NW_SUCCESS;
}

NWCCODE NWGetVolumeNumber(NWCONN_HANDLE conn, const char *volName, nuint16 *volNum)
{
    std::lock_guard guard(g_mutex);
    Client &c = client();
    if (!c.ready())
        return NW_ERR_NOT_INITIALIZED;
    QString &name = c.input;
    if (!volNum || !inputText(volName, &name))
        return NW_ERR_INVALID_PARAMETER;
    const Server *s = nullptr;
    if (const NWCCODE rc = serverFor(c, conn, &s))
        return rc;
    const Volume *v = s->volume(name);
    if (!v)
        return NW_ERR_NO_SUCH_VOLUME;
    *volNum = nuint16(v->number);
    return NW_SUCCESS;
}

NWCCODE NWScanObjectTrusteePaths(NWCONN_HANDLE conn, nuint32 objID, nuint16 volNum,
                                 nuint16 *iterHandle, nuint8 *accessRights, char *dirPath)
{
    std::lock_guard guard(g_mutex);
    Client &c = client();
    if (!c.ready())
        return NW_ERR_NOT_INITIALIZED;
    if (!iterHandle || !dirPath)
        return NW_ERR_INVALID_PARAMETER;
    const Server *s = nullptr;
    if (const NWCCODE rc = serverFor(c, conn, &s))
        return rc;
    const Volume *v = s->volumeByNumber(volNum);
    if (!v)
        return NW_ERR_NO_SUCH_VOLUME;

    // The handle holds the position of the path last returned.
    const int start = *iterHandle == 0xFFFF ? 0 : int(*iterHandle) + 1;
    const int volumeAt = int(v - s->volumes.constData());
    const ServerIndex &index = s->index;
    int position = 0;
    for (int ti : trusteesOfId(c, s, objID)) {
        const ServerIndex::ClientPath &rest = index.clientPaths[ti];
        if (rest.volume != volumeAt)
            continue;
        if (position >= start && position <= kTrusteeLabelMax) {
            *iterHandle = nuint16(position);
            // A cut path would name another folder and its trustees.
            if (v->name.size() + 1 + rest.size >= NW_TRUSTEE_PATH_LEN) {
                dirPath[0] = '\0';
                return NW_ERR_INVALID_PATH;
            }
            // "VOLUME:" and the rest, written in place: this runs for every
            // trustee path of every user a scan lists.
            const auto head = ClientText::encodeInto(v->name, dirPath, NW_TRUSTEE_PATH_LEN);
            if (!head || rest.size < 0) {
                dirPath[0] = '\0';
            } else {
                dirPath[*head] = ':';
                std::memcpy(dirPath + *head + 1, index.clientPathBytes.constData() + rest.start,
                            std::size_t(rest.size));
                dirPath[*head + 1 + std::size_t(rest.size)] = '\0';
                // Its trustees are the next question: the path index is too
                // large to stay in the cache, this trustee's run is at hand.
                ClientText::decodeInto(dirPath, NW_TRUSTEE_PATH_LEN, &c.lastPath.path);
                rememberPath(c, s, index.ofPath(index.pathRunOf[ti]));
            }
            if (accessRights)
                *accessRights = nuint8(s->trustees[ti].rights);
            return NW_SUCCESS;
        }
        ++position;
    }
    dirPath[0] = '\0';
    return NW_ERR_NO_MORE_ENTRIES;
}

NWCCODE NWScanDirectoryForTrustees2(NWCONN_HANDLE conn, nuint8, const char *srchPath,
                                    nuint32 *iterHandle, char *dirName, nuint32 *dirDateTime,
                                    nuint32 *ownerID, TRUSTEE_INFO *trusteeList)
{
    std::lock_guard guard(g_mutex);
    Client &c = client();
    if (!c.ready())
        return NW_ERR_NOT_INITIALIZED;
    QString &path = c.input;
    if (!iterHandle || !trusteeList || !inputText(srchPath, &path))
        return NW_ERR_INVALID_PARAMETER;
    const Server *s = nullptr;
    if (const NWCCODE rc = serverFor(c, conn, &s))
        return rc;
    // The path just handed out comes back as it was: no need to normalize it.
    const auto &last = c.lastPath;
    const bool handedOut
        = last.generation == c.store->generation() && last.server == s && path == last.path;
    const QString wanted = handedOut ? last.path : normalizedVolumePath(path);
    const qsizetype colon = wanted.indexOf(QLatin1Char(':'));
    const Volume *v
        = colon < 0 ? s->volume(QStringView()) : s->volume(QStringView(wanted).left(colon));
    if (!v)
        return NW_ERR_NO_SUCH_VOLUME;

    const ServerIndex::Positions all = trusteesOfPath(c, s, wanted);
    const QStringView dir = QStringView(wanted).mid(colon + 1);
    // A path with trustees exists for the server; only one without needs the
    // disk to tell an empty folder from a missing one.
    if (all.empty() && nativePath(v->root, dir.toString()).isEmpty())
        return NW_ERR_INVALID_PATH;

    // Block k holds trustees 20k..20k+19; the last block always has an empty
    // slot, so a path with exactly 20 trustees ends with an empty block.
    const qint64 first = qint64(*iterHandle) * NW_TRUSTEES_PER_BLOCK;
    const qint64 size = qint64(all.size());
    if (first > size)
        return NW_ERR_NO_MORE_ENTRIES;
    for (int i = 0; i < NW_TRUSTEES_PER_BLOCK; ++i)
        trusteeList[i] = first + i < size ? TRUSTEE_INFO {s->trustees[all[first + i]].objectId,
                                                          s->trustees[all[first + i]].rights, 0}
                                          : TRUSTEE_INFO {0, 0, 0};
    if (dirName)
        outputText(dirName, NW_DIR_NAME_LEN,
                   dir.isEmpty() ? QStringView(v->name)
                                 : dir.mid(dir.lastIndexOf(QLatin1Char('\\')) + 1));
    // No date: reading it meant resolving the folder on disk for every path
    // of a rights lookup, which never reads it.
    if (dirDateTime)
        *dirDateTime = 0;
    if (ownerID)
        *ownerID = 0;
    *iterHandle += 1;
    return NW_SUCCESS;
}

} // extern "C"

QList<NetworkDrive> NWClientMappedDrives()
{
    std::lock_guard guard(g_mutex);
    Client &c = client();
    QList<NetworkDrive> out;
    if (!c.ready())
        return out;
    refresh(c, false);
    for (const Drive &d : c.net().drives) {
        const Server *s = c.net().server(d.server);
        const Volume *v = s ? s->volume(d.volume) : nullptr;
        if (v)
            out.append(NetworkDrive {d.letter, s->name, v->name, v->root});
    }
    std::sort(out.begin(), out.end(),
              [](const NetworkDrive &a, const NetworkDrive &b) { return a.letter < b.letter; });
    return out;
}

QString NWClientInitError()
{
    std::lock_guard guard(g_mutex);
    return client().initError;
}
