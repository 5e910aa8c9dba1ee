// Times velmora-scan against the engine's own scan of the same network, the
// benchmarks' network of `entries` file-use entries (bench_network.h).
//
//   velmora_scan_bench [--reps N] [--entries 10000]
#include "bench_network.h"
#include "netware/nwcalls.h"
#include "scan/scan_engine.h"
#include "scan/trustee_rights.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

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
    int users = 0;
    const QString network = bench::writeNetwork(dir.path(), entries, &users);
    if (network.isEmpty())
        die("cannot write the network");
    qputenv("NWSIM_NETWORK", network.toLocal8Bit());

    const double load = medianMs(reps, [] {
        if (NWCallsInit(nullptr, nullptr) != 0)
            die("NWCallsInit failed");
    });
    const ScanEngine engine(&LookUpTrusteeRights);
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
