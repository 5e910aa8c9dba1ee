// Times the scan on simulated networks of growing size (bench_network.h),
// offscreen, against a floor computed in the same run.
//
//   velmora_bench [--reps N] [--sizes 100,1000,10000,50000] [--fragment N]
//
// The floor is the same answers (every listed user's record, rights text
// included) read straight from the loaded network's indexes: no client
// calls, no window. The scan runs as ScanEngine (no window) and as the
// window's Scanner offscreen; the list filling is the latter without rights. Each phase is reported
// as process CPU time (robust to a shared machine) and wall time, and as a ratio to its floor; the
// phases with a floor of their own run by turns with it. The growth from one size to the next
// is measured apart, the two sizes by turns.
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
#include <memory>
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

// One network size, set up once and kept: its description, its own parse
// for the floor, and a window to scan it in.
class Sized
{
public:
    enum Phase { Scan, Rights, List, Window, Load, FloorScan, FloorRights, FloorList };

    explicit Sized(int entries) : m_entries(entries)
    {
        m_file = m_dir.isValid() ? writeNetwork(m_dir.path(), entries, &m_users) : QString();
        if (m_file.isEmpty())
            die("cannot write the network description");
        QFile written(m_file);
        if (!written.open(QIODevice::ReadOnly))
            die("cannot read the network description back");
        m_json = written.readAll();
        QString error;
        if (!netsim::parseDescription(m_json, m_dir.path(), &m_network, &error))
            die("the description does not load");
        m_floor = std::make_unique<Floor>(Floor {m_network.servers.first()});
        ConnectionTable t;
        m_listed = m_floor->listUsers(&t);
        // Each name in its own copy, made in a row: a scan looks a user up
        // right after decoding the name. Shared with the parsed document,
        // spread over the heap, each name was a cache miss of the benchmark's
        // own that grew with the network.
        for (QString &user : m_listed)
            user = QString(user.constData(), user.size());
        m_expected = m_floor->scan();
        m_form.show();
        QApplication::processEvents();
    }

    int entries() const { return m_entries; }
    int users() const { return m_users; }
    const QByteArray &json() const { return m_json; }

    // The client reads this size's description.
    void use()
    {
        qputenv("NWSIM_NETWORK", m_file.toLocal8Bit());
        if (NWCallsInit(nullptr, nullptr) != 0)
            die("NWCallsInit failed");
    }

    static bool needsClient(Phase p) { return p < FloorScan; }

    void run(Phase p)
    {
        switch (p) {
        case Scan: {
            NoWindow sink;
            const ScanResult r = m_engine.run(kDir + QLatin1Char('\\') + kFile, 0, sink);
            if (r.outcome != ScanResult::Outcome::Completed || !sameAnswers(r.table, m_expected))
                die("the engine and the floor disagree");
            break;
        }
        case Rights:
            for (const QString &u : m_listed)
                if (LookUpTrusteeRights(kVolumePath, u, QStringLiteral("FS1")).isEmpty())
                    die("no rights for a user");
            break;
        case List:
        case Window:
            (p == List ? m_withoutRights : m_withRights).Scan(kDir, kFile);
            if (m_form.List1()->count() != m_users || m_ctx.table.size() != m_users)
                die("the scan did not list every user once");
            if (p == Window && !sameAnswers(m_ctx.table, m_expected))
                die("the window's scan and the floor disagree");
            break;
        case Load:
            use();
            break;
        case FloorScan:
            m_floor->scan();
            break;
        case FloorRights:
            for (const QString &u : m_listed)
                if (m_floor->rights(u).isEmpty())
                    die("the floor found no rights for a user");
            break;
        case FloorList: {
            ConnectionTable t;
            m_floor->listUsers(&t);
            break;
        }
        }
    }

private:
    int m_entries = 0;
    int m_users = 0;
    QTemporaryDir m_dir;
    QString m_file;
    QByteArray m_json;
    netsim::Network m_network;
    std::unique_ptr<Floor> m_floor;
    QStringList m_listed;
    ConnectionTable m_expected;
    const ScanEngine m_engine {&LookUpTrusteeRights};
    Form1 m_form;
    QtPlatform m_platform;
    ScanContext m_ctx;
    Scanner m_withoutRights {m_form, m_platform, m_ctx, {}};
    Scanner m_withRights {m_form, m_platform, m_ctx, &LookUpTrusteeRights};
};

Figures measure(Sized &s, int reps)
{
    Figures f;
    f.entries = s.entries();
    f.users = s.users();
    f.parse = median(reps, [&] {
        if (!QJsonDocument::fromJson(s.json()).isObject())
            die("the description is not JSON");
    });
    f.load = median(reps, [&] { s.run(Sized::Load); });
    const auto turns = [&](Sized::Phase phase, Sized::Phase floor) {
        return byTurns(
            reps, [&] { s.run(phase); }, [&] { s.run(floor); });
    };
    std::tie(f.scan, f.floorScan) = turns(Sized::Scan, Sized::FloorScan);
    std::tie(f.rights, f.floorRights) = turns(Sized::Rights, Sized::FloorRights);
    std::tie(f.list, f.floorList) = turns(Sized::List, Sized::FloorList);
    f.window = median(reps, [&] { s.run(Sized::Window); });
    return f;
}

// A phase's CPU time on the larger network over the smaller, as the median
// of pairs run by turns. The machines this runs on have fast and slow spells
// a second or two long (1.7 times apart); sizes measured one after the other
// then differ by the spell they met, pairs a fraction of a second long seldom
// do.
double growth(Sized &small, Sized &big, Sized::Phase p, int reps)
{
    std::vector<double> ratios;
    double spent = 0;
    for (int i = 0; i < reps && spent < kPhaseBudgetMs; ++i) {
        double cpu[2] = {};
        for (int k = 0; k < 2; ++k) {
            Sized &s = k ? big : small;
            if (Sized::needsClient(p))
                s.use();
            s.run(p); // untimed, as in byTurns
            QElapsedTimer t;
            t.start();
            const double c0 = cpuMs();
            s.run(p);
            cpu[k] = cpuMs() - c0;
            spent += double(t.nsecsElapsed()) / 1e6;
        }
        ratios.push_back(cpu[1] / cpu[0]);
    }
    std::sort(ratios.begin(), ratios.end());
    return ratios[ratios.size() / 2];
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
    int fragment = 0;
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
        } else if (args[i] == QLatin1String("--fragment") && i + 1 < args.size()) {
            fragment = qMax(0, args[++i].toInt());
        } else {
            std::fprintf(stderr,
                         "usage: velmora_bench [--reps N] [--sizes 100,1000,10000,50000] "
                         "[--fragment N]\n");
            return 2;
        }
    }

    std::printf(
        "median of up to %d runs (runs in brackets; a phase stops repeating after %.0f s);\n"
        "the engine's scan, the rights and the list filling run by turns with their floors,\n"
        "the growth ratios are medians of pairs of sizes run by turns\n"
        "CPU = process CPU time (CLOCK_PROCESS_CPUTIME_ID); ratios are to the floor of the "
        "same run; machine load (1-minute average) %s at the start\n",
        reps, kPhaseBudgetMs / 1000, loadAverage().constData());
    // A heap cut up as a long run leaves it: N small blocks, every other one
    // freed, so that what is allocated next lands in holes pages apart.
    std::vector<std::unique_ptr<QString>> blocks(static_cast<std::size_t>(fragment));
    for (auto &block : blocks)
        block = std::make_unique<QString>(QString::number(qsizetype(&block - blocks.data()))
                                          + QStringLiteral("-kept"));
    for (std::size_t i = 0; i < blocks.size(); i += 2)
        blocks[i].reset();
    if (fragment)
        std::printf("heap cut up first: %d small blocks, every other one freed\n", fragment);
    std::vector<std::unique_ptr<Sized>> networks;
    QList<Figures> all;
    for (int n : sizes) {
        networks.push_back(std::make_unique<Sized>(n));
        const Figures f = measure(*networks.back(), reps);
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
    const auto network = [&](int n) -> Sized * {
        for (const auto &s : networks)
            if (s->entries() == n)
                return s.get();
        return nullptr;
    };
    const auto growthLines = [&](int big, int small, double linear) {
        Sized *b = network(big);
        Sized *s = network(small);
        if (!b || !s)
            return;
        const auto g = [&](Sized::Phase p) { return growth(*s, *b, p, reps); };
        std::printf("\nCPU ratio %d/%d (%.0f = linear), pairs by turns: scan %.1f, list filling "
                    "%.1f, rights %.1f, window scan %.1f, load %.1f\n",
                    big, small, linear, g(Sized::Scan), g(Sized::List), g(Sized::Rights),
                    g(Sized::Window), g(Sized::Load));
        // The floor does the same reads with no other work: its growth is
        // what the machine's caches add for the larger network.
        std::printf("  the floors' own: scan %.1f, list %.1f, rights %.1f\n", g(Sized::FloorScan),
                    g(Sized::FloorList), g(Sized::FloorRights));
        const Figures *fb = find(big);
        const Figures *fs = find(small);
        std::printf("  from the tables above (each size at its own time): scan %.1f, list filling "
                    "%.1f, rights %.1f\n",
                    fb->scan.cpu / fs->scan.cpu, fb->list.cpu / fs->list.cpu,
                    fb->rights.cpu / fs->rights.cpu);
    };
    growthLines(10000, 1000, 10);
    growthLines(50000, 10000, 5);
    std::printf("\nmachine load (1-minute average) %s at the end\n", loadAverage().constData());
    if (const Figures *f = find(10000))
        std::printf("\nscan/floor at 10000 entries: %.1f\n", f->scan.cpu / f->floorScan.cpu);
    return 0;
}
