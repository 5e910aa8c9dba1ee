// The simulated NetWare network as read from its description file, and the
// pure loader that validates a description (usable without any file or state).
#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace netsim {

inline constexpr const char *kFormat = "velmora-netsim/1";
inline constexpr int kMaxVolumeNameLen = 16;

struct Volume
{
    QString name;
    int number = 0;
    QString root; // absolute local folder of the volume's files
    friend bool operator==(const Volume &, const Volume &) = default;
};

struct DirObject
{
    QString name;
    uint32_t id = 0;
    friend bool operator==(const DirObject &, const DirObject &) = default;
};

struct Address
{
    uint16_t type = 0;
    std::array<uint8_t, 4> net {};
    std::array<uint8_t, 6> node {};
    std::array<uint8_t, 2> socket {};
    friend bool operator==(const Address &, const Address &) = default;
};

struct Message
{
    QString from;
    QString text;
    QString at;
    friend bool operator==(const Message &, const Message &) = default;
};

struct Connection
{
    uint16_t number = 0;
    QString object;
    uint32_t objectId = 0; // of object in the directory, 0 when it has none
    std::array<uint8_t, 7> loginTime {}; // Y mod 100, M, D, h, m, s, weekday (0 = Sunday)
    std::optional<Address> address;
    bool acceptsMessages = true;
    QList<Message> messages;
    friend bool operator==(const Connection &, const Connection &) = default;
};

struct OpenFile
{
    QString path; // "VOLUME:DIR\FILE"
    uint16_t connection = 0;
    uint16_t task = 0;
    uint8_t lockType = 0;
    uint8_t accessControl = 0;
    uint8_t lockFlag = 0;
    friend bool operator==(const OpenFile &, const OpenFile &) = default;
};

struct Trustee
{
    QString path; // "VOLUME:" or "VOLUME:DIR\..."
    QString object;
    uint16_t rights = 0;
    uint32_t objectId = 0; // of object, resolved while loading
    friend bool operator==(const Trustee &, const Trustee &) = default;
};

// The entries on one file, in file order, with the counts a scan reports
// in every batch.
struct FileUses
{
    QList<int> entries; // positions in openFiles
    int forRead = 0;
    int forWrite = 0;
    int denyRead = 0;
    int denyWrite = 0;
    bool locked = false;
    friend bool operator==(const FileUses &, const FileUses &) = default;
};

// A key's trustees: positions [start, start + count) of one of the index's
// position lists.
struct TrusteeRun
{
    int start = 0;
    int count = 0;
    friend bool operator==(const TrusteeRun &, const TrusteeRun &) = default;
};

// Positions by name, exact: one array of slots and the names one after
// another in one buffer. A hash of strings reads a node and then a name in
// its own heap block, and the rights lookup asks for every listed user.
class NameIndex
{
public:
    void reserve(qsizetype n);
    // The position of name: the one given when name was not there yet.
    int findOrInsert(QStringView name, int position);
    int value(QStringView name) const; // -1 when absent
    qsizetype size() const { return m_entries.size(); }
    friend bool operator==(const NameIndex &a, const NameIndex &b)
    {
        return a.m_entries == b.m_entries && a.m_names == b.m_names;
    }

private:
    struct Slot
    {
        uint32_t hash = 0; // its low half: enough to skip almost every other name
        int entry = -1; // -1 when free
    };
    struct Entry
    {
        int start = 0; // in m_names
        int size = 0;
        int position = 0;
        friend bool operator==(const Entry &, const Entry &) = default;
    };
    qsizetype slotOf(QStringView name, uint32_t hash) const; // its slot or the free one to take
    void rehash(qsizetype count);
    QList<Slot> m_slots; // a power of two, at most half used
    QList<Entry> m_entries;
    QString m_names;
};

// Look-ups by key, so a call costs what a server's answer would, not a walk
// over every entry of the description.
struct ServerIndex
{
    QHash<QString, FileUses> openFilesByPath; // normalized volume path -> openFiles
    QHash<int, int> connectionByNumber; // -> connections
    NameIndex objectByName; // upper case -> objects
    QHash<uint32_t, int> objectById; // -> objects
    // Each key's trustee positions stand together, in file order, in one list:
    // a scan reads the runs of every listed user and of each of their paths,
    // and a heap node per key made each of those reads a cache miss.
    using Positions = std::span<const int>;
    NameIndex pathByName; // normalized volume path -> pathRuns
    QList<TrusteeRun> pathRuns; // -> pathTrustees
    TrusteeRun runOfPath(QStringView normalized) const
    {
        const int k = pathByName.value(normalized);
        return k < 0 ? TrusteeRun() : pathRuns[k];
    }
    QList<TrusteeRun> trusteesByObject; // parallel to objects -> objectTrustees
    QList<int> pathTrustees; // positions in trustees
    QList<int> objectTrustees;
    QList<TrusteeRun> pathRunOf; // parallel to trustees: the run of each one's path
    // Each trustee's path after "VOLUME:" as the client is handed it: code
    // page bytes, "\" between folders, all in one buffer. A rights lookup
    // hands out every path of every listed user, and read from its own heap
    // block each path was a cache miss once a long run had cut up the heap.
    struct ClientPath
    {
        int volume = -1; // position in volumes, -1 for none
        int start = 0; // in clientPathBytes
        int size = -1; // -1 when the code page cannot hold it
        friend bool operator==(const ClientPath &, const ClientPath &) = default;
    };
    QList<ClientPath> clientPaths; // parallel to trustees
    QByteArray clientPathBytes;
    Positions ofPath(TrusteeRun r) const { return runOf(pathTrustees, r); }
    Positions ofObject(TrusteeRun r) const { return runOf(objectTrustees, r); }
    static Positions runOf(const QList<int> &list, TrusteeRun r)
    {
        return {list.constData() + r.start, std::size_t(r.count)};
    }
    friend bool operator==(const ServerIndex &, const ServerIndex &) = default;
};

struct Server
{
    QString name;
    QStringList operators;
    QList<Volume> volumes;
    QList<DirObject> objects;
    QList<Connection> connections;
    QList<OpenFile> openFiles;
    QList<Trustee> trustees;

    const Volume *volume(QStringView name) const; // case-insensitive
    const Volume *volumeByNumber(int number) const;
    const DirObject *object(const QString &name) const; // case-insensitive
    const DirObject *objectById(uint32_t id) const;
    const Connection *connection(int number) const;
    bool isOperator(const QString &login) const; // case-insensitive

    // Positions in openFiles / trustees, in file order, from the indexes the
    // loader builds.
    QList<int> usesOf(const QString &volumePath) const;
    const FileUses *fileUses(const QString &volumePath) const; // null when unused
    ServerIndex::Positions trusteesOfPath(const QString &volumePath) const;
    ServerIndex::Positions trusteesOfObject(const QString &name) const;
    ServerIndex::Positions trusteesOf(const DirObject *o) const; // none for null

    ServerIndex index;
    // Index one entry already appended.
    void indexOpenFile(int i);
    // Index all trustees at once, given each one's position in objects.
    void indexTrustees(const QList<int> &objectOf);
    friend bool operator==(const Server &, const Server &) = default;
};

struct Drive
{
    char letter = 0; // upper case
    QString server;
    QString volume;
    friend bool operator==(const Drive &, const Drive &) = default;
};

struct Network
{
    QString login;
    QList<Drive> drives; // by letter
    QList<Server> servers; // file order
    QJsonObject root; // the whole parsed document, unknown fields included

    const Server *server(const QString &name) const; // case-insensitive
    int serverIndex(const QString &name) const; // -1 when unknown
    const Drive *drive(QChar letter) const; // any case
    // Everything, indexes and document included.
    friend bool operator==(const Network &, const Network &) = default;
};

// Validates and loads a description. Relative volume roots are taken from
// baseDir. On failure *error holds the problem, for a bad field prefixed by
// its path ("servers[0].connections[3].number: not an integer in 1..65535"),
// for bad JSON by the offset and the parser's message; *out is untouched.
bool parseDescription(const QByteArray &json, const QString &baseDir, Network *out, QString *error);
// The same without the document (out->root stays empty): the text and each
// entry are released as soon as they are read, for the smallest peak.
bool loadDescription(QByteArray &&json, const QString &baseDir, Network *out, QString *error);

// Address forms of the description: "IP:a.b.c.d", "IPX:NNNNNNNN:HHHHHHHHHHHH:SSSS".
std::optional<Address> parseAddressText(const QString &text);
// "YYYY-MM-DD HH:MM:SS" to the 7 login-time bytes.
std::optional<std::array<uint8_t, 7>> parseLoginTimeText(const QString &text);

// A volume path for comparison: upper case, "/" as "\", no "SERVER/" prefix.
QString normalizedVolumePath(const QString &path);
// The volume part of "VOLUME:..." (empty when there is no colon).
QString volumeOfPath(const QString &path);

} // namespace netsim
