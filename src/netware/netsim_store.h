// The description file as the simulated network's server state: loaded,
// re-read when it changed on disk, and changed only through a locked
// read-change-write that keeps every field it does not know.
#pragma once

#include "netware/netsim_network.h"

#include <QString>

#include <functional>
#include <memory>

class ChangeWatch;

namespace netsim {

namespace json {
class Document;
}

// What tells a changed file: read with one stat, no time-zone conversion,
// since every path parse compares it.
struct FileStamp
{
    bool exists = false;
    qint64 size = -1;
    qint64 mtimeNs = 0;
    friend bool operator==(const FileStamp &, const FileStamp &) = default;
    static FileStamp of(const QByteArray &nativeFile);
};

// Tests: how long a change waits for the lock another writer holds before
// it fails (10 s unless set).
void SetLockWaitMs(int ms);

class Store final
{
public:
    explicit Store(const QString &file);
    ~Store();

    QString file() const { return m_file; }
    bool isLoaded() const { return m_loaded; }
    const Network &network() const { return m_network; }
    // Changes whenever network() is replaced, and differs between stores:
    // what callers keep of it (an index, a pointer) is good while it stays.
    quint64 generation() const { return m_generation; }

    // Reads and validates the file. On failure *error names the file and the
    // problem in one line, and the last good state (if any) stays.
    bool load(QString *error);

    // Re-reads when size or modification time changed; with checkContent also
    // when the bytes differ (same size within one timestamp tick). Returns
    // false with *error set only when a changed file failed to load; the
    // same failure is reported once.
    bool refresh(bool checkContent, QString *error);

    // The change gets the freshly read document and its validated network;
    // it edits the document and returns false (with *error) to write nothing.
    using Change = std::function<bool(QJsonObject &root, const Network &network, QString *error)>;
    bool modify(const Change &change, QString *error);

    // Broadcast delivery: appends message to each connection in numbers on
    // the server that exists and accepts messages, in one write-back that
    // inserts the messages into the text and leaves every other byte as it
    // was. False without *error when nobody could take it (nothing written).
    enum class Delivery { Delivered, NoServer, NoConnection, Refused };
    bool deliver(const QString &server, const QList<int> &numbers, const Message &message,
                 QList<Delivery> *outcome, QString *error);

    // Clear: removes the connection and its open files when the workstation's
    // user is an operator of the server, cutting them out of the text.
    enum class Clearing { Cleared, NoServer, NoRights, NoConnection };
    bool clear(const QString &server, int number, Clearing *outcome, QString *error);

private:
    bool adopt(QByteArray bytes, const QByteArray &digest, QString *error);
    // Under the lock: the file's text and the state it holds (the state held
    // already when the text is the one it came from).
    bool readLocked(QByteArray *bytes, Network *state, QString *problem);
    // Writes the changed text and takes its state.
    bool commit(const QByteArray &bytes, Network state, QString *problem);
    // Send's and Clear's locked read-change-write: decide answers from the
    // state the file holds with the server's position (-1: nothing to do);
    // edit changes the text in place and brings the state along (false with
    // *problem: nothing written). A text only Qt's lenient reader takes is
    // changed by general instead.
    using Decide = std::function<int(const Network &)>;
    using TextEdit = std::function<bool(const json::Document &doc, int server, QByteArray *text,
                                        Network *state, QString *problem)>;
    bool changeInPlace(const Decide &decide, const TextEdit &edit, const Change &general,
                       QString *error);

    QString m_file;
    QByteArray m_nativeFile; // m_file for the system: stamped at every path parse
    std::unique_ptr<ChangeWatch> m_watch; // spares most of those stamps
    Network m_network;
    quint64 m_generation = 0;
    bool m_loaded = false;
    QByteArray m_digest; // of the content the current state was read from
    FileStamp m_stamp;
    QByteArray m_failedDigest; // of the last content reported as bad
};

// NWSIM_NETWORK when set, otherwise the demo copy (installed on first use).
QString descriptionFile(QString *error);

// The writable per-user copy of the built-in demo network.
QString demoDir();
QString demoFile();
// Copies the built-in demo out when its description is missing; with reset,
// replaces the whole copy by the built-in one.
bool installDemo(bool reset, QString *error);

// Edits of a validated document, shared by the client calls and nwsim. The
// server is addressed by its index in "servers".
namespace edit {
bool appendMessage(QJsonObject &root, int server, int connection, const Message &message);
bool removeConnection(QJsonObject &root, int server, int connection);
void addConnection(QJsonObject &root, int server, const QJsonObject &connection);
void addOpenFile(QJsonObject &root, int server, const QJsonObject &entry);
// Removes the entries of a connection on a path (one task, or all when task < 0); returns how many.
int removeOpenFiles(QJsonObject &root, int server, int connection, const QString &path, int task);
} // namespace edit

} // namespace netsim
