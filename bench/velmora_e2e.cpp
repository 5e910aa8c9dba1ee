// The program from its start to the user count on screen, for e2e_bench.sh.
//
//   velmora_e2e --write DIR ENTRIES   writes the benchmark network into DIR
//   velmora_e2e --load                times NWCallsInit on $NWSIM_NETWORK
//   velmora_e2e ARGUMENTS...          runs the program as `velmora ARGUMENTS`
//
// The last form builds the window exactly as the program's main() does and
// ends the process the moment the count label is painted with the count. It
// prints the wall clock at that moment (CLOCK_REALTIME, so the script can
// subtract its own time before exec), the process CPU time and the peak
// resident size so far.
#include "app/settings_store.h"
#include "app/velmora_app.h"
#include "bench_network.h"
#include "forms/form1.h"
#include "netware/nwcalls.h"
#include "platform/qt_platform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

double clockMs(clockid_t clock)
{
    timespec t {};
    clock_gettime(clock, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Ends the process at the first paint of the count.
class CountShown final : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const auto *label = qobject_cast<QLabel *>(watched);
        if (event->type() == QEvent::Paint && label
            && label->text().endsWith(QLatin1String(" user(s)"))) {
            rusage usage {};
            getrusage(RUSAGE_SELF, &usage);
            std::printf("shown %.3f ms (realtime)\ncpu %.1f ms\nrss %ld kB\ncount %s\n",
                        clockMs(CLOCK_REALTIME), clockMs(CLOCK_PROCESS_CPUTIME_ID), usage.ru_maxrss,
                        qPrintable(label->text()));
            std::fflush(stdout);
            std::_Exit(0);
        }
        return false;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 4 && qstrcmp(argv[1], "--write") == 0) {
        int users = 0;
        const QString file
            = bench::writeNetwork(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]), &users);
        if (file.isEmpty())
            return 1;
        std::printf("%s\n", qPrintable(file));
        return 0;
    }
    if (argc == 2 && qstrcmp(argv[1], "--load") == 0) {
        QElapsedTimer wall;
        wall.start();
        const double cpu = clockMs(CLOCK_PROCESS_CPUTIME_ID);
        if (NWCallsInit(nullptr, nullptr) != 0)
            return 1;
        const double wallMs = double(wall.nsecsElapsed()) / 1e6;
        const double cpuMsUsed = clockMs(CLOCK_PROCESS_CPUTIME_ID) - cpu;
        rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("description load: %.0f ms wall, %.0f ms cpu, peak RSS %ld MB\n", wallMs,
                    cpuMsUsed, usage.ru_maxrss / 1024);
        return 0;
    }

    // As main.cpp.
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setOrganizationName(QStringLiteral("Velmora"));
    QApplication::setQuitOnLastWindowClosed(false);
    QtPlatform platform;
    SettingsStore store;
    VelmoraApp velmora(platform, store);
    QObject::connect(&velmora, &VelmoraApp::closed, &app, &QCoreApplication::quit);
    CountShown shown;
    velmora.form().Label5()->installEventFilter(&shown);
    velmora.start(QCoreApplication::arguments().mid(1).join(QLatin1Char(' ')));
    return QApplication::exec();
}
