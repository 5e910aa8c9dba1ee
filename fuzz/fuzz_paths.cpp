// Fuzzes path parsing: the simulated network's path resolution, the client's
// NWParsePath with its fixed-size output buffers, and the drive namespace's
// DOS-path normalisation.
#include "netware/mapped_drives.h"
#include "netware/netsim_network.h"
#include "netware/netsim_path.h"
#include "netware/nwcalls.h"
#include "platform/drive_namespace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

const char kNetwork[] = R"({
  "format": "velmora-netsim/1",
  "workstation": { "login": "ADMIN", "drives": { "F": "FS1/SYS:", "g": "FS2/DATA:", "H": "FS1/VOL1:\\" } },
  "servers": [
    { "name": "FS1", "operators": ["ADMIN"],
      "volumes": [ { "name": "SYS", "number": 0, "root": "volumes/FS1/SYS" },
                   { "name": "VOL1", "number": 1, "root": "volumes/FS1/VOL1" } ],
      "objects": [ { "name": "ADMIN", "id": 1 } ] },
    { "name": "FS2",
      "volumes": [ { "name": "DATA", "number": 0, "root": "volumes/FS2/DATA" },
                   { "name": "SYS", "number": 1, "root": "volumes/FS2/SYS" } ] }
  ]
})";

netsim::Network g_net;

[[noreturn]] void fault(const char *what, const QString &detail = QString())
{
    std::fprintf(stderr, "fuzz_paths: %s %s\n", what, detail.toLocal8Bit().constData());
    std::abort();
}

// A heap buffer of exactly the documented size, so a write past it is caught.
struct Out
{
    explicit Out(size_t n) : size(n), bytes(new char[n]) { std::memset(bytes.get(), 'x', n); }
    bool terminated() const { return strnlen(bytes.get(), size) < size; }
    size_t size;
    std::unique_ptr<char[]> bytes;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("network.json"));
    QFile f(file);
    if (!dir.isValid() || !f.open(QIODevice::WriteOnly) || f.write(kNetwork) < 0)
        fault("cannot write the network description");
    f.close();
    QString error;
    if (!netsim::parseDescription(kNetwork, dir.path(), &g_net, &error))
        fault("the fixed network does not load:", error);
    qputenv("NWSIM_NETWORK", file.toLocal8Bit());
    if (NWCallsInit(nullptr, nullptr) != 0)
        fault("NWCallsInit failed");
    DriveNamespace::setNetworkDrives(NWClientMappedDrives());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *chars = reinterpret_cast<const char *>(data);
    const QString latin = QString::fromLatin1(chars, qsizetype(size));

    netsim::ParsedPath parsed;
    const bool resolves = netsim::parseNetWarePath(g_net, latin, &parsed);
    if (resolves) {
        if (parsed.serverIndex < 0 || parsed.serverIndex >= g_net.servers.size()
            || !g_net.servers[parsed.serverIndex].volume(parsed.volume)
            || parsed.dirPath.contains(QLatin1Char(':')))
            fault("an inconsistent parse of", latin);
    }

    // The client reads a NUL-terminated text: the input up to its first NUL.
    const std::string text(chars, size);
    Out server(NW_SERVER_NAME_LEN), volume(NW_VOLUME_NAME_LEN), dirPath(NW_DIR_PATH_LEN);
    NWCONN_HANDLE conn = 0;
    const NWCCODE rc = NWParsePath(text.c_str(), server.bytes.get(), &conn, volume.bytes.get(),
                                   dirPath.bytes.get());
    if (!server.terminated() || !volume.terminated() || !dirPath.terminated())
        fault("an output left without its NUL for", latin);
    if (rc == 0 && conn == 0)
        fault("a parsed path without a connection:", latin);
    const bool plain = std::strlen(text.c_str()) == size && size <= 1024;
    if (plain && rc == 0 && !resolves)
        fault("the client parsed what the network does not resolve:", latin);
    if (plain && rc == 0 && QString::fromLatin1(server.bytes.get()) != parsed.server)
        fault("the client names another server for", latin);
    if (plain && rc != 0 && resolves && parsed.dirPath.toLatin1().size() < NW_DIR_PATH_LEN)
        fault("the client refused a path the network resolves:", latin);

    // DOS paths arrive as text, so the same bytes are read as UTF-8 too.
    for (const QString &dos : {latin, QString::fromUtf8(chars, qsizetype(size))}) {
        const QString normal = DriveNamespace::normalize(dos);
        if (normal.isEmpty())
            continue;
        if (normal.size() < 3 || normal[1] != QLatin1Char(':') || normal[2] != QLatin1Char('\\')
            || DriveNamespace::normalize(normal) != normal)
            fault("normalize is not stable for", dos);
    }
    return 0;
}
