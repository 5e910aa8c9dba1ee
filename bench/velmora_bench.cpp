// Times the scan on simulated networks of growing size (bench_network.h),
// offscreen, against a floor computed in the same run.
//
//   velmora_bench [--reps N] [--sizes 100,1000,10000,50000]
//
// The floor is the same answers (every listed user's record, rights text
// included) read straight from the loaded network's indexes: no client
// calls, no window. The scan runs as ScanEngine (no window) and as the
// window's Scanner offscreen; the list filling is the latter without rights. Each phase is reported
// as process CPU time (robust to a shared machine) and wall time, and as a ratio to its floor; the
// phases with a floor of their own run by turns with it.
#include "bench_network.h"
#include "forms/form1.h"
#include "netware/netsim_network.h"
#include "netware/nwcalls.h"
#include "platform/qt_platform.h"
#include "scan/detail_text.h"
#include "scan/scan_context.h"
#include "scan/scan_engine.h"
#include "scan/scan_format.h"
#include "scan/scanner.h"
#include "scan/trustee_rights.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QListWidget>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <tuple>
#include <vector>

namespace {

using namespace bench;

// Slow phases stop repeating once they have used this much wall time.
constexpr double kPhaseBudgetMs = 30000;

double cpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

struct Timing
{
    double cpu = 0; // median CPU ms
    double wall = 0; // median wall ms
    int runs = 0;
};

Timing median(int reps, const std::function<void()> &run)
{
    std::vector<double> cpu;
    std::vector<double> wall;
    double spent = 0;
    for (int i = 0; i < reps && spent < kPhaseBudgetMs; ++i) {
        QElapsedTimer t;
        t.start();
        const double c0 = cpuMs();
        run();
        cpu.push_back(cpuMs() - c0);
        wall.push_back(double(t.nsecsElapsed()) / 1e6);
        spent += wall.back();
    }
    std::sort(cpu.begin(), cpu.end());
    std::sort(wall.begin(), wall.end());
    return {cpu[cpu.size() / 2], wall[wall.size() / 2], int(cpu.size())};
}

// A phase and its floor run by turns, so that both meet the same machine:
// on a shared one the load moves between two phases run one after the other.
std::pair<Timing, Timing> byTurns(int reps, const std::function<void()> &phase,
                                  const std::function<void()> &floor)
{
    std::vector<double> cpu[2];
    std::vector<double> wall[2];
    double spent = 0;
    for (int i = 0; i < reps && spent < kPhaseBudgetMs; ++i) {
        for (int k = 0; k < 2; ++k) {
            // Each timed run follows an untimed one of its own, as when a
            // phase repeats: caches and allocator then hold what it uses.
            (k == 0 ? phase : floor)();
            QElapsedTimer t;
            t.start();
            const double c0 = cpuMs();
            (k == 0 ? phase : floor)();
            cpu[k].push_back(cpuMs() - c0);
            wall[k].push_back(double(t.nsecsElapsed()) / 1e6);
            spent += wall[k].back();
        }
    }
    Timing out[2];
    for (int k = 0; k < 2; ++k) {
        std::sort(cpu[k].begin(), cpu[k].end());
        std::sort(wall[k].begin(), wall[k].end());
        out[k] = {cpu[k][cpu[k].size() / 2], wall[k][wall[k].size() / 2], int(cpu[k].size())};
    }
    return {out[0], out[1]};
}

// The 1-minute load average, for reading the figures of a shared machine.
QByteArray loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? f.readAll().split(' ').value(0) : QByteArray("?");
}

[[noreturn]] void die(const char *what)
{
    std::fprintf(stderr, "velmora_bench: %s\n", what);
    std::exit(1);
}

// The answers of a scan straight from the network's indexes: what the client
// and the window add to this is what the benchmark measures.
struct Floor
{
    const netsim::Server &server;

    QStringList listUsers(ConnectionTable *table) const
    {
        QStringList users;
        QSet<QString> listed;
        for (int i : server.usesOf(kVolumePath)) {
            const netsim::OpenFile &f = server.openFiles[i];
            const netsim::Connection *c = server.connection(f.connection);
            if (!c)
                continue;
            const QString user = c->object.toUpper();
            if (listed.contains(user))
                continue;
            listed.insert(user);
            ConnectionRecord rec;
            rec.ConnNumber = f.connection;
            rec.TaskNumber = f.task;
            rec.LockType = f.lockType;
            rec.AccessControl = f.accessControl;
            rec.LockFlag = f.lockFlag;
            rec.LoginTimeText = FormatLoginTime(c->loginTime.data());
            if (c->address) {
                NWINET_ADDR a {};
                std::memcpy(a.networkAddr, c->address->net.data(), 4);
                std::memcpy(a.netNodeAddr, c->address->node.data(), 6);
                std::memcpy(a.socket, c->address->socket.data(), 2);
                a.connType = c->address->type;
                rec.AddressText = FormatAddress(a);
            } else {
                rec.AddressText = QStringLiteral("NA");
            }
            rec.RightsText = QStringLiteral("NA");
            table->append(std::move(rec));
            users << user;
        }
        return users;
    }

    // The last assignment of the user found over the user's trustee paths on
    // the volume, as the lookup walks them.
    QString rights(const QString &user) const
    {
        const netsim::DirObject *o = server.object(user);
        if (!o)
            return QString();
        QString result;
        for (int ti : server.trusteesOfObject(o->name)) {
            const QString &path = server.trustees[ti].path;
            if (netsim::volumeOfPath(path).compare(QLatin1String("SYS"), Qt::CaseInsensitive))
                continue;
            for (int tj : server.trusteesOfPath(path))
                if (server.object(server.trustees[tj].object)->id == o->id)
                    result = TrusteeRightsText(server.trustees[tj].rights);
        }
        return result;
    }

    ConnectionTable scan() const
    {
        ConnectionTable table;
        const QStringList users = listUsers(&table);
        for (int k = 0; k < users.size(); ++k) {
            const QString r = rights(users[k]);
            table[k].RightsText = r.isEmpty() ? QStringLiteral("NA") : r;
        }
        return table;
    }
};

bool sameAnswers(const ConnectionTable &a, const ConnectionTable &b)
{
    if (a.size() != b.size())
        return false;
    for (int k = 0; k < a.size(); ++k)
        if (a[k].ConnNumber != b[k].ConnNumber || a[k].TaskNumber != b[k].TaskNumber
            || a[k].LoginTimeText != b[k].LoginTimeText || a[k].AddressText != b[k].AddressText
            || a[k].RightsText != b[k].RightsText)
            return false;
    return true;
}

struct Figures
{
    int entries = 0;
    int users = 0;
    Timing parse; // the JSON parse of the description alone
    Timing load; // NWCallsInit: read, validate, index
    Timing floorScan; // the answers of the whole scan from the indexes
    Timing floorList; // ... without the rights
    Timing floorRights; // ... the rights alone
    Timing scan; // ScanEngine with the rights lookup, no window
    Timing rights; // LookUpTrusteeRights for every listed user
    Timing list; // Scanner::Scan without the rights lookup, window shown: the list filling
    Timing window; // Scanner::Scan with the rights lookup, window shown
};

// The engine on its own: every batch, nothing shown.
class NoWindow final : public ScanSink
{
public:
    void started(NWCONN_HANDLE) override { }
    void userListed(const ScannedUser &) override { }
    bool nextBatch() override { return true; }
};

Figures measure(int entries, int reps)
{
    Figures f;
    f.entries = entries;
    QTemporaryDir dir;
    const QString file = dir.isValid() ? writeNetwork(dir.path(), entries, &f.users) : QString();
    if (file.isEmpty())
        die("cannot write the network description");
    qputenv("NWSIM_NETWORK", file.toLocal8Bit());
    QFile written(file);
    if (!written.open(QIODevice::ReadOnly))
        die("cannot read the network description back");
    const QByteArray json = written.readAll();

    f.parse = median(reps, [&] {
        if (!QJsonDocument::fromJson(json).isObject())
            die("the description is not JSON");
    });
    f.load = median(reps, [&] {
        if (NWCallsInit(nullptr, nullptr) != 0)
            die("NWCallsInit failed");
    });

    netsim::Network network;
    QString error;
    if (!netsim::parseDescription(json, dir.path(), &network, &error))
        die("the description does not load");
    const Floor floor {network.servers.first()};
    ConnectionTable expected;
    const ScanEngine engine(&LookUpTrusteeRights);
    ScanResult result;
    std::tie(f.scan, f.floorScan) = byTurns(
        reps,
        [&] {
            NoWindow sink;
            result = engine.run(kDir + QLatin1Char('\\') + kFile, 0, sink);
        },
        [&] { expected = floor.scan(); });
    if (result.outcome != ScanResult::Outcome::Completed || !sameAnswers(result.table, expected))
        die("the engine and the floor disagree");
    QStringList users;
    {
        ConnectionTable t;
        users = floor.listUsers(&t);
    }
    std::tie(f.rights, f.floorRights) = byTurns(
        reps,
        [&] {
            for (const QString &u : users)
                if (LookUpTrusteeRights(kVolumePath, u, QStringLiteral("FS1")).isEmpty())
                    die("no rights for a user");
        },
        [&] {
            for (const QString &u : users)
                if (floor.rights(u).isEmpty())
                    die("the floor found no rights for a user");
        });

    Form1 form;
    QtPlatform platform;
    ScanContext ctx;
    Scanner withoutRights(form, platform, ctx, {});
    Scanner withRights(form, platform, ctx, &LookUpTrusteeRights);
    form.show();
    QApplication::processEvents();

    Scanner *scanner = &withoutRights;
    auto scan = [&] {
        scanner->Scan(kDir, kFile);
        if (form.List1()->count() != f.users || ctx.table.size() != f.users)
            die("the scan did not list every user once");
    };
    std::tie(f.list, f.floorList) = byTurns(reps, scan, [&] {
        ConnectionTable t;
        floor.listUsers(&t);
    });
    scanner = &withRights;
    f.window = median(reps, scan);
    if (!sameAnswers(ctx.table, expected))
        die("the window's scan and the floor disagree");
    return f;
}

void printRow(const char *phase, const Timing &t, const Timing *floor)
{
    if (floor)
        std::printf("  %-28s %10.2f %10.2f %8.1f %8.1f  [%d]\n", phase, t.cpu, t.wall,
                    t.cpu / floor->cpu, t.wall / floor->wall, t.runs);
    else
        std::printf("  %-28s %10.2f %10.2f %8s %8s  [%d]\n", phase, t.cpu, t.wall, "", "", t.runs);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    int reps = 5;
    QList<int> sizes {100, 1000, 10000, 50000};
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--reps") && i + 1 < args.size()) {
            reps = qMax(1, args[++i].toInt());
        } else if (args[i] == QLatin1String("--sizes") && i + 1 < args.size()) {
            sizes.clear();
            for (const QString &s : args[++i].split(QLatin1Char(',')))
                if (s.toInt() >= 4)
                    sizes << s.toInt();
        } else {
            std::fprintf(stderr,
                         "usage: velmora_bench [--reps N] [--sizes 100,1000,10000,50000]\n");
            return 2;
        }
    }

    std::printf(
        "median of up to %d runs (runs in brackets; a phase stops repeating after %.0f s);\n"
        "the engine's scan, the rights and the list filling run by turns with their floors\n"
        "CPU = process CPU time (CLOCK_PROCESS_CPUTIME_ID); ratios are to the floor of the "
        "same run; machine load (1-minute average) %s at the start\n",
        reps, kPhaseBudgetMs / 1000, loadAverage().constData());
    QList<Figures> all;
    for (int n : sizes) {
        const Figures f = measure(n, reps);
        all << f;
        std::printf("\n%d entries, %d users\n  %-28s %10s %10s %8s %8s\n", f.entries, f.users,
                    "phase", "CPU ms", "wall ms", "CPU/fl", "wall/fl");
        printRow("description: JSON parse", f.parse, nullptr);
        printRow("description: load", f.load, &f.parse);
        printRow("floor: whole scan", f.floorScan, nullptr);
        printRow("floor: list", f.floorList, nullptr);
        printRow("floor: rights", f.floorRights, nullptr);
        printRow("whole scan (engine)", f.scan, &f.floorScan);
        printRow("rights lookups", f.rights, &f.floorRights);
        printRow("list filling (window)", f.list, &f.floorList);
        printRow("whole scan (window)", f.window, &f.floorScan);
        std::fflush(stdout);
    }
    const auto find = [&](int n) -> const Figures * {
        for (const Figures &f : all)
            if (f.entries == n)
                return &f;
        return nullptr;
    };
    const auto growth = [&](int big, int small, double linear) {
        const Figures *b = find(big);
        const Figures *s = find(small);
        if (!b || !s)
            return;
        std::printf("\nCPU ratio %d/%d (%.0f = linear): scan %.1f, list filling %.1f, rights "
                    "%.1f, window scan %.1f, load %.1f\n",
                    big, small, linear, b->scan.cpu / s->scan.cpu, b->list.cpu / s->list.cpu,
                    b->rights.cpu / s->rights.cpu, b->window.cpu / s->window.cpu,
                    b->load.cpu / s->load.cpu);
        // The floor does the same reads with no other work: its growth is
        // what the machine's caches add for the larger network.
        std::printf("  the floors' own: scan %.1f, list %.1f, rights %.1f\n",
                    b->floorScan.cpu / s->floorScan.cpu, b->floorList.cpu / s->floorList.cpu,
                    b->floorRights.cpu / s->floorRights.cpu);
    };
    growth(10000, 1000, 10);
    growth(50000, 10000, 5);
    std::printf("\nmachine load (1-minute average) %s at the end\n", loadAverage().constData());
    if (const Figures *f = find(10000))
        std::printf("\nscan/floor at 10000 entries: %.1f\n", f->scan.cpu / f->floorScan.cpu);
    return 0;
}
