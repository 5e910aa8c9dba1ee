// Times Scanner::Scan() on simulated networks of growing size, offscreen.
//
//   velmora_bench [--reps N] [--sizes 100,1000,10000]
//
// Each network has `size` file-use entries on F:\APPS\ORDERS.DBF; half of
// them belong to users with two connections (the scan lists each user once),
// and every user holds three trustee paths on the volume.
#include "forms/form1.h"
#include "netware/nwcalls.h"
#include "platform/qt_platform.h"
#include "scan/scan_context.h"
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
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

const QString kDir = QStringLiteral("F:\\APPS");
const QString kFile = QStringLiteral("ORDERS.DBF");
const QString kVolumePath = QStringLiteral("SYS:APPS\\ORDERS.DBF");

QString userName(int u) { return QStringLiteral("U%1").arg(u, 5, 10, QLatin1Char('0')); }

// Users with two entries come first; their second entry sits in the second
// half of the file, so the duplicate check spans batches.
QByteArray describe(int entries, int *users)
{
    const int twice = entries / 4;
    const int once = entries - 2 * twice;
    *users = twice + once;

    QJsonArray objects {
        QJsonObject {{QStringLiteral("name"), QStringLiteral("ADMIN")}, {QStringLiteral("id"), 1}}};
    QJsonArray connections;
    QJsonArray openFiles;
    QJsonArray trustees;
    int number = 1;
    auto use = [&](int u) {
        ++number;
        connections.append(
            QJsonObject {{QStringLiteral("number"), number},
                         {QStringLiteral("object"), userName(u)},
                         {QStringLiteral("loginTime"), QStringLiteral("2026-12-07 08:15:00")},
                         {QStringLiteral("address"),
                          QStringLiteral("IP:10.1.%1.%2").arg(number / 256).arg(number % 256)}});
        openFiles.append(QJsonObject {{QStringLiteral("path"), kVolumePath},
                                      {QStringLiteral("connection"), number},
                                      {QStringLiteral("task"), 1 + u % 7},
                                      {QStringLiteral("lockType"), 8},
                                      {QStringLiteral("accessControl"), 3},
                                      {QStringLiteral("lockFlag"), 0}});
    };
    for (int u = 0; u < *users; ++u) {
        const QString name = userName(u);
        objects.append(
            QJsonObject {{QStringLiteral("name"), name}, {QStringLiteral("id"), 1000 + u}});
        for (const QString &path : {QStringLiteral("SYS:HOME\\") + name,
                                    QStringLiteral("SYS:HOME\\") + name + QStringLiteral("\\MAIL"),
                                    QStringLiteral("SYS:APPS\\") + name})
            trustees.append(QJsonObject {{QStringLiteral("path"), path},
                                         {QStringLiteral("object"), name},
                                         {QStringLiteral("rights"), 0x0B}});
        use(u);
    }
    for (int u = 0; u < twice; ++u)
        use(u);

    const QJsonObject server {
        {QStringLiteral("name"), QStringLiteral("FS1")},
        {QStringLiteral("operators"), QJsonArray {QStringLiteral("ADMIN")}},
        {QStringLiteral("volumes"),
         QJsonArray {QJsonObject {{QStringLiteral("name"), QStringLiteral("SYS")},
                                  {QStringLiteral("number"), 0},
                                  {QStringLiteral("root"), QStringLiteral("volumes/FS1/SYS")}}}},
        {QStringLiteral("objects"), objects},
        {QStringLiteral("connections"), connections},
        {QStringLiteral("openFiles"), openFiles},
        {QStringLiteral("trustees"), trustees}};
    const QJsonObject root {
        {QStringLiteral("format"), QStringLiteral("velmora-netsim/1")},
        {QStringLiteral("workstation"),
         QJsonObject {{QStringLiteral("login"), QStringLiteral("ADMIN")},
                      {QStringLiteral("drives"),
                       QJsonObject {{QStringLiteral("F"), QStringLiteral("FS1/SYS:")}}}}},
        {QStringLiteral("servers"), QJsonArray {server}}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

// Slow phases stop repeating once they have used this much time.
constexpr double kPhaseBudgetMs = 30000;

struct Timing
{
    double ms = 0; // median
    int runs = 0;
};

Timing medianMs(int reps, const std::function<void()> &run)
{
    std::vector<double> times;
    double spent = 0;
    for (int i = 0; i < reps && spent < kPhaseBudgetMs; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
        spent += times.back();
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], int(times.size())};
}

struct Figures
{
    int entries = 0;
    int users = 0;
    Timing scan; // the whole scan, rights included
    Timing list; // the scan without rights lookup
    Timing rights; // LookUpTrusteeRights for every listed user
    Timing client; // the client calls of the list filling, without the scan
};

[[noreturn]] void die(const char *what)
{
    std::fprintf(stderr, "velmora_bench: %s\n", what);
    std::exit(1);
}

// The client calls the list filling makes, on their own: what the simulated
// library costs, apart from the scan's own work.
void clientCallsOnly(NWCONN_HANDLE conn)
{
    nint16 iteration = 0;
    CONN_USING_FILE single {};
    CONNS_USING_FILE batch {};
    const QByteArray path = kVolumePath.toLatin1();
    while (NWScanConnectionsUsingFile(conn, 0, path.constData(), &iteration, &single, &batch)
           == 0) {
        for (int d = 0; d < qMin<int>(batch.connCount, NW_MAX_CONNS_PER_BATCH); ++d) {
            char objName[NW_OBJECT_NAME_LEN] = {};
            nuint16 objType = 0;
            nuint32 objId = 0;
            nuint8 loginTime[NW_LOGIN_TIME_LEN] = {};
            NWINET_ADDR addr {};
            NWGetConnectionInformation(conn, batch.connInfo[d].connNumber, objName, &objType,
                                       &objId, loginTime);
            NWGetInetAddr(conn, batch.connInfo[d].connNumber, &addr);
        }
        ++iteration;
    }
}

Figures measure(int entries, int reps)
{
    Figures f;
    f.entries = entries;
    QTemporaryDir dir;
    if (!dir.isValid() || !QDir().mkpath(dir.filePath(QStringLiteral("volumes/FS1/SYS/APPS"))))
        die("cannot create the temporary network folder");
    QFile file(dir.filePath(QStringLiteral("network.json")));
    if (!file.open(QIODevice::WriteOnly) || file.write(describe(entries, &f.users)) < 0)
        die("cannot write the network description");
    file.close();
    qputenv("NWSIM_NETWORK", file.fileName().toLocal8Bit());
    if (NWCallsInit(nullptr, nullptr) != 0)
        die("NWCallsInit failed");

    Form1 form;
    QtPlatform platform;
    ScanContext ctx;
    Scanner withRights(form, platform, ctx, &LookUpTrusteeRights);
    Scanner withoutRights(form, platform, ctx);
    Scanner *scanner = &withRights;
    form.show();
    QApplication::processEvents();

    auto scan = [&] {
        scanner->Scan(kDir, kFile);
        if (form.List1()->count() != f.users || ctx.table.size() != f.users)
            die("the scan did not list every user once");
    };
    f.scan = medianMs(reps, scan);
    if (ctx.table.constLast().RightsText == QLatin1String("NA"))
        die("the rights lookup found nothing");
    scanner = &withoutRights;
    f.list = medianMs(reps, scan);

    QStringList users;
    for (int i = 0; i < form.List1()->count(); ++i)
        users << form.List1()->item(i)->text();
    f.rights = medianMs(reps, [&] {
        for (const QString &u : users)
            if (LookUpTrusteeRights(kVolumePath, u, QStringLiteral("FS1")).isEmpty())
                die("no rights for a user");
    });
    f.client = medianMs(reps, [&] { clientCallsOnly(ctx.ServerConnection); });
    return f;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    int reps = 5;
    QList<int> sizes {100, 1000, 10000};
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
            std::fprintf(stderr, "usage: velmora_bench [--reps N] [--sizes 100,1000,10000]\n");
            return 2;
        }
    }

    std::printf(
        "median of up to %d runs (runs in brackets; a phase stops repeating after %.0f s);\n"
        "per entry = time / file-use entries, per user = time / users\n\n",
        reps, kPhaseBudgetMs / 1000);
    std::printf("%7s %6s | %16s %8s | %16s %8s | %16s %8s | %16s %8s\n", "entries", "users",
                "scan ms", "us/entry", "list ms", "us/entry", "rights ms", "us/user", "client ms",
                "us/entry");
    QList<Figures> all;
    for (int n : sizes) {
        const Figures f = measure(n, reps);
        all << f;
        const auto cell = [](const Timing &t, int count) {
            return QStringLiteral("%1 [%2] %3")
                .arg(t.ms, 11, 'f', 2)
                .arg(t.runs)
                .arg(1000 * t.ms / count, 8, 'f', 2)
                .toStdString();
        };
        std::printf("%7d %6d | %s | %s | %s | %s\n", f.entries, f.users,
                    cell(f.scan, f.entries).c_str(), cell(f.list, f.entries).c_str(),
                    cell(f.rights, f.users).c_str(), cell(f.client, f.entries).c_str());
        std::fflush(stdout);
    }
    const auto find = [&](int n) -> const Figures * {
        for (const Figures &f : all)
            if (f.entries == n)
                return &f;
        return nullptr;
    };
    if (const Figures *big = find(10000), *small = find(1000); big && small)
        std::printf("\nratio 10000/1000 (10 = linear): scan %.1f, list filling %.1f, rights %.1f, "
                    "client calls %.1f\n",
                    big->scan.ms / small->scan.ms, big->list.ms / small->list.ms,
                    big->rights.ms / small->rights.ms, big->client.ms / small->client.ms);
    return 0;
}
