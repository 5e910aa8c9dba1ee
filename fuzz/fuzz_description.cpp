// Fuzzes the network-description loader. Besides not crashing, a loaded
// description must survive the client's write-back (serialised and loaded
// again) and every drive and volume it names must parse as a path; the lean
// JSON reader must read whatever it takes as QJsonDocument does, and the
// store's load must agree with the write-back's parse.
#include "json_compare.h"
#include "netware/json_reader.h"
#include "netware/netsim_network.h"
#include "netware/netsim_path.h"

#include <QJsonDocument>

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fault(const char *what, const QString &detail = QString())
{
    std::fprintf(stderr, "fuzz_description: %s %s\n", what, detail.toLocal8Bit().constData());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray json
        = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString base = QStringLiteral("/velmora-fuzz-base");

    netsim::json::Document lean;
    if (lean.parse(json)) {
        QJsonParseError pe;
        const QJsonDocument qt = QJsonDocument::fromJson(json, &pe);
        if (pe.error != QJsonParseError::NoError)
            fault("the lean reader took what Qt refuses:", pe.errorString());
        const QString d = jsoncompare::difference(lean.root(), qt.object());
        if (!d.isEmpty())
            fault("the lean reader reads otherwise:", d);
    }

    netsim::Network net;
    QString error;
    const bool loaded = netsim::parseDescription(json, base, &net, &error);
    netsim::Network stored;
    QString storedError;
    if (netsim::loadDescription(QByteArray(json.constData(), json.size()), base, &stored,
                                &storedError)
            != loaded
        || storedError != error)
        fault("the store's load disagrees:", storedError + QStringLiteral(" / ") + error);
    if (!loaded) {
        if (error.isEmpty())
            fault("a rejected description without a reason");
        return 0;
    }
    netsim::Network withoutRoot = net;
    withoutRoot.root = QJsonObject();
    if (!(stored == withoutRoot))
        fault("the store's load gives another network");

    // QJsonDocument drops a raw U+FEFF that starts a name, yet the object
    // does not answer to the name without it; written back, the member
    // answers and may be refused. The write-back's own check then writes
    // nothing, so such texts are left out here.
    if (!json.contains("\xef\xbb\xbf")) {
        netsim::Network again;
        if (!netsim::parseDescription(QJsonDocument(net.root).toJson(), base, &again, &error))
            fault("the written-back description no longer loads:", error);
        if (again.servers.size() != net.servers.size() || again.drives.size() != net.drives.size())
            fault("the written-back description lost servers or drives");
    }

    for (const netsim::Drive &d : net.drives) {
        netsim::ParsedPath p;
        if (!netsim::parseNetWarePath(
                net, QString(QLatin1Char(d.letter)) + QStringLiteral(":\\A\\B.DAT"), &p)
            || p.server != d.server || p.volume != d.volume
            || p.dirPath != QLatin1String("A\\B.DAT"))
            fault("a mapped drive does not parse to its volume:", QString(QLatin1Char(d.letter)));
    }
    for (const netsim::Server &s : net.servers) {
        for (const netsim::Volume &v : s.volumes) {
            netsim::ParsedPath p;
            if (!netsim::parseNetWarePath(
                    net, s.name + QLatin1Char('/') + v.name + QStringLiteral(":X"), &p)
                || p.server != s.name || p.volume != v.name)
                fault("a server's volume does not parse:", s.name + QLatin1Char('/') + v.name);
        }
    }
    return 0;
}
