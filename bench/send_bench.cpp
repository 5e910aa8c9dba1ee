// Send to every user of the benchmarks' network (bench_network.h), one
// client call a user as the window's Send makes them, then Clear each of
// those connections, while nwsim writers change the same description;
// prints the time a user and how the writers fared (none may fail for a
// lock wait).
//
//   velmora_send_bench [--entries 1000] [--writers 2]
#include "bench_network.h"
#include "netware/nwcalls.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

namespace {

double cpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

int intArg(const QStringList &args, const QString &name, int fallback)
{
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1].toInt() : fallback;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int entries = intArg(args, QStringLiteral("--entries"), 1000);
    const int writers = intArg(args, QStringLiteral("--writers"), 2);

    QTemporaryDir dir;
    int users = 0;
    const QString file = bench::writeNetwork(dir.path(), entries, &users);
    if (file.isEmpty())
        return 1;
    qputenv("NWSIM_NETWORK", QFile::encodeName(file));
    char server[64] = {}, volume[64] = {}, path[512] = {};
    NWCONN_HANDLE conn = 0;
    if (NWCallsInit(nullptr, nullptr) != 0
        || NWParsePath("F:\\APPS\\ORDERS.DBF", server, &conn, volume, path) != 0)
        return 1;

    // Each writer opens and closes a file of its own, as often as it can, on
    // the last connection (a second one of its user: Send and Clear take
    // the first ones).
    const int last = entries + 1;
    const QString loop = QStringLiteral(
        "n=0; failed=0; longest=0; while [ ! -e \"$0.stop\" ]; do"
        " s=$(date +%s%N); \"$1\" open \"$3\" 'F:\\APPS\\W'$2'.DAT' >/dev/null 2>>\"$0.err\" || "
        "failed=$((failed+1)); \"$1\" close \"$3\" 'F:\\APPS\\W'$2'.DAT' >/dev/null 2>>\"$0.err\" "
        "|| "
        "failed=$((failed+1)); t=$(( ($(date +%s%N) - s) / 1000000 ));"
        " [ $t -gt $longest ] && longest=$t; n=$((n+2)); done;"
        " echo \"$n $failed $longest\" > \"$0.out$2\"");
    QList<QProcess *> running;
    const QString flag = dir.filePath(QStringLiteral("writers"));
    for (int w = 0; w < writers; ++w) {
        auto *p = new QProcess(&app);
        p->start(QStringLiteral("bash"),
                 {QStringLiteral("-c"), loop, flag, QStringLiteral(NWSIM_EXE), QString::number(w),
                  QString::number(last)});
        running.append(p);
    }

    QElapsedTimer wall;
    wall.start();
    const double cpu = cpuMs();
    int failed = 0;
    for (int u = 0; u < users; ++u) {
        const nuint16 number = nuint16(2 + u); // each user's first connection
        nuint8 result = 0;
        if (NWSendBroadcastMessage(conn, "Backup in 5 minutes", 1, &number, &result) != 0)
            ++failed;
    }
    const double wallMs = double(wall.nsecsElapsed()) / 1e6;
    const double cpuUsed = cpuMs() - cpu;

    // Then Clear every user's first connection, one call each as well.
    wall.restart();
    const double clearCpu = cpuMs();
    int clearFailed = 0;
    for (int u = 0; u < users; ++u)
        clearFailed += NWClearConnectionNumber(conn, nuint16(2 + u)) != 0;
    const double clearWallMs = double(wall.nsecsElapsed()) / 1e6;
    const double clearCpuUsed = cpuMs() - clearCpu;

    QFile(flag + QStringLiteral(".stop")).open(QIODevice::WriteOnly);
    int changes = 0, writerFailures = 0, longest = 0;
    for (int w = 0; w < writers; ++w) {
        running[w]->waitForFinished(30000);
        QFile out(flag + QStringLiteral(".out") + QString::number(w));
        if (out.open(QIODevice::ReadOnly)) {
            const QList<QByteArray> f = out.readAll().simplified().split(' ');
            if (f.size() == 3) {
                changes += f[0].toInt();
                writerFailures += f[1].toInt();
                longest = std::max(longest, f[2].toInt());
            }
        }
    }
    std::printf("send to %d users of %d entries: %.0f ms wall, %.0f ms cpu, %.2f ms a user,"
                " %d failed\n",
                users, entries, wallMs, cpuUsed, wallMs / users, failed);
    std::printf("clear %d connections: %.0f ms wall, %.0f ms cpu, %.2f ms a connection,"
                " %d failed\n",
                users, clearWallMs, clearCpuUsed, clearWallMs / users, clearFailed);
    std::printf("%d nwsim writers meanwhile: %d changes, %d failed, longest %d ms\n", writers,
                changes, writerFailures, longest);
    QFile errors(flag + QStringLiteral(".err"));
    if (errors.open(QIODevice::ReadOnly) && errors.size() > 0)
        std::printf("writer errors:\n%s", errors.readAll().left(2000).constData());
    return failed || clearFailed || writerFailures ? 1 : 0;
}
