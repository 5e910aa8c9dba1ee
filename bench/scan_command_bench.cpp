// Times velmora-scan against the engine's own scan of the same network, the
// benchmark's shape: `entries` file-use entries on F:\APPS\ORDERS.DBF, a
// quarter of them second connections of users listed earlier, three trustee
// paths per user.
//
//   velmora_scan_bench [--reps N] [--entries 10000]
#include "netware/nwcalls.h"
#include "scan/scan_engine.h"
#include "scan/trustee_rights.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

QByteArray describe(int entries)
{
    const int twice = entries / 4;
    const int users = entries - twice;
    QJsonArray objects {QJsonObject {{"name", "ADMIN"}, {"id", 1}}};
    QJsonArray connections, openFiles, trustees;
    int number = 1;
    auto use = [&](int u) {
        ++number;
        const QString name = QStringLiteral("U%1").arg(u, 5, 10, QLatin1Char('0'));
        connections.append(QJsonObject {
            {"number", number},
            {"object", name},
            {"loginTime", "2026-12-07 08:15:00"},
            {"address", QStringLiteral("IP:10.1.%1.%2").arg(number / 256).arg(number % 256)}});
        openFiles.append(QJsonObject {{"path", "SYS:APPS\\ORDERS.DBF"},
                                      {"connection", number},
                                      {"task", 1 + u % 7},
                                      {"lockType", 8},
                                      {"accessControl", 3},
                                      {"lockFlag", 0}});
    };
    for (int u = 0; u < users; ++u) {
        const QString name = QStringLiteral("U%1").arg(u, 5, 10, QLatin1Char('0'));
        objects.append(QJsonObject {{"name", name}, {"id", 1000 + u}});
        for (const QString &path :
             {"SYS:HOME\\" + name, "SYS:HOME\\" + name + "\\MAIL", "SYS:APPS\\" + name})
            trustees.append(QJsonObject {{"path", path}, {"object", name}, {"rights", 0x0B}});
        use(u);
    }
    for (int u = 0; u < twice; ++u)
        use(u);
    const QJsonObject server {
        {"name", "FS1"},
        {"operators", QJsonArray {"ADMIN"}},
        {"volumes",
         QJsonArray {QJsonObject {{"name", "SYS"}, {"number", 0}, {"root", "volumes/FS1/SYS"}}}},
        {"objects", objects},
        {"connections", connections},
        {"openFiles", openFiles},
        {"trustees", trustees}};
    const QJsonObject root {
        {"format", "velmora-netsim/1"},
        {"workstation",
         QJsonObject {{"login", "ADMIN"}, {"drives", QJsonObject {{"F", "FS1/SYS:"}}}}},
        {"servers", QJsonArray {server}}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

double medianMs(int reps, const std::function<void()> &run)
{
    std::vector<double> times;
    for (int i = 0; i < reps; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

[[noreturn]] void die(const char *what)
{
    std::fprintf(stderr, "velmora_scan_bench: %s\n", what);
    std::exit(1);
}

struct Sink final : ScanSink
{
    int users = 0;
    void started(NWCONN_HANDLE) override { }
    void userListed(const ScannedUser &) override { ++users; }
    bool nextBatch() override { return true; }
};

void command(const QStringList &args)
{
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(VELMORA_SCAN_EXE, args);
    if (!p.waitForFinished(600000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        die("velmora-scan failed");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    int reps = 5;
    int entries = 10000;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--reps") && i + 1 < args.size())
            reps = qMax(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--entries") && i + 1 < args.size())
            entries = qMax(4, args[++i].toInt());
        else {
            std::fprintf(stderr, "usage: velmora_scan_bench [--reps N] [--entries 10000]\n");
            return 2;
        }
    }
    QTemporaryDir dir;
    const QString apps = dir.filePath("volumes/FS1/SYS/APPS");
    QFile network(dir.filePath("network.json"));
    QFile scanned(apps + "/ORDERS.DBF");
    if (!QDir().mkpath(apps) || !network.open(QIODevice::WriteOnly)
        || network.write(describe(entries)) < 0 || !scanned.open(QIODevice::WriteOnly))
        die("cannot write the network");
    network.close();
    scanned.close();
    qputenv("NWSIM_NETWORK", network.fileName().toLocal8Bit());

    const double load = medianMs(reps, [] {
        if (NWCallsInit(nullptr, nullptr) != 0)
            die("NWCallsInit failed");
    });
    const ScanEngine engine(&LookUpTrusteeRights);
    const int users = entries - entries / 4;
    const double scan = medianMs(reps, [&] {
        Sink sink;
        if (engine.run("F:\\APPS\\ORDERS.DBF", 0, sink).outcome != ScanResult::Outcome::Completed
            || sink.users != users)
            die("the engine did not list every user");
    });
    const double start = medianMs(reps, [] { command({"--version"}); });
    const double whole = medianMs(reps, [] { command({"F:\\APPS\\ORDERS.DBF"}); });
    std::printf("median of %d runs, %d entries, %d users, wall ms\n"
                "  process start (velmora-scan --version) %9.1f\n"
                "  description load (NWCallsInit)          %9.1f\n"
                "  engine scan, rights included            %9.1f\n"
                "  velmora-scan FILE > /dev/null           %9.1f\n"
                "velmora-scan/(engine scan + start + load) at %d entries: %.2f\n"
                "velmora-scan/(engine scan + start) at %d entries: %.2f\n",
                reps, entries, users, start, load, scan, whole, entries,
                whole / (scan + start + load), entries, whole / (scan + start));
    return 0;
}
