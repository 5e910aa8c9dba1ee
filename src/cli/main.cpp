// velmora-scan: the scan of Velmora's window as a command, through the same
// scan engine, with text, CSV and JSON output and a watch stream.
#include "browser/file_exists.h"
#include "cli/scan_events.h"
#include "cli/scan_options.h"
#include "cli/scan_output.h"
#include "netware/mapped_drives.h"
#include "platform/command_line_file.h"
#include "platform/drive_namespace.h"
#include "scan/scan_engine.h"
#include "scan/trustee_rights.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <unistd.h>

namespace {

enum ExitCode : int {
    Completed = 0,
    NotParsed = 1,
    NoRights = 2,
    NoClient = 3,
    Usage = 64,
    OutputFailed = 74,
};

volatile std::sig_atomic_t g_stop = 0;
int g_wake[2] = {-1, -1};

// A pipe wakes the sleep between scans at once; the flag is read between scans.
void onSignal(int)
{
    g_stop = 1;
    if (g_wake[1] >= 0) {
        const ssize_t ignored = write(g_wake[1], "x", 1);
        (void)ignored;
    }
}

void installSignalHandlers()
{
    if (pipe2(g_wake, O_CLOEXEC | O_NONBLOCK) != 0)
        g_wake[0] = g_wake[1] = -1;
    struct sigaction action
    {
    };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

// False when a signal asked to stop.
bool sleepUnlessStopped(int seconds)
{
    QDeadlineTimer deadline(qint64(seconds) * 1000);
    while (!g_stop && !deadline.hasExpired()) {
        pollfd fd {g_wake[0], POLLIN, 0};
        poll(&fd, g_wake[0] >= 0 ? 1 : 0, int(deadline.remainingTime()));
    }
    return !g_stop;
}

void printError(const QString &text) { std::fprintf(stderr, "%s\n", qPrintable(text)); }

bool writeOut(const QByteArray &bytes)
{
    if (!bytes.isEmpty())
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

class CollectingSink final : public ScanSink
{
public:
    void started(NWCONN_HANDLE) override { }
    void userListed(const ScannedUser &user) override { users.append(user); }
    // The command has no Stop button: a signal waits for the scan to end.
    bool nextBatch() override { return true; }
    QList<ScannedUser> users;
};

int usageError(const QString &problem)
{
    printError(QStringLiteral("velmora-scan: ") + PrintableText(problem));
    printError(ScanUsageLine());
    printError(QStringLiteral("Try 'velmora-scan --help' for more."));
    return Usage;
}

QByteArray scanOutput(ScanOptions::Format format, const ScanSnapshot &scan)
{
    switch (format) {
    case ScanOptions::Format::Report:
        return ReportOutput(scan);
    case ScanOptions::Format::Csv:
        return CsvOutput(scan);
    case ScanOptions::Format::Json:
        return JsonOutput(scan);
    case ScanOptions::Format::Text:
        return TextOutput(scan);
    }
    return {};
}

QByteArray eventOutput(ScanOptions::Format format, const ScanSnapshot &scan,
                       const QList<ScanEvent> &events)
{
    switch (format) {
    case ScanOptions::Format::Csv:
        return EventCsvLines(scan, events);
    case ScanOptions::Format::Json:
        return EventJsonLines(scan, events);
    case ScanOptions::Format::Report:
    case ScanOptions::Format::Text:
        return EventTextLines(scan, events);
    }
    return {};
}

int run(const ScanOptions &options)
{
    if (NWCallsInit(nullptr, nullptr) != 0) {
        printError(QStringLiteral("Error! Could not initialize Netware Client."));
        return NoClient;
    }
    DriveNamespace::setNetworkDrives(NWClientMappedDrives());
    const QString file = CommandLineFile(options.file);
    if (file.isEmpty() || !FileExists(file)) {
        printError(QStringLiteral("Passed file '") + PrintableText(options.file)
                   + QStringLiteral("' does not exist."));
        return NotParsed;
    }
    // The window scans the file as its folder and file lists spell it.
    const QString canonical = DriveNamespace::canonical(file);
    const QString fullPath = canonical.isEmpty() ? file : canonical;
    const QString name = fullPath.mid(fullPath.lastIndexOf(QLatin1Char('\\')) + 1);

    const bool watch = options.watchSeconds > 0;
    if (watch && options.format == ScanOptions::Format::Csv && !writeOut(EventCsvHeader()))
        return OutputFailed;
    const ScanEngine engine(&LookUpTrusteeRights);
    NWCONN_HANDLE connection = 0;
    std::optional<QList<ScannedUser>> previous;
    int status = Completed;
    for (int scans = 1;; ++scans) {
        CollectingSink sink;
        const ScanResult result = engine.run(fullPath, connection, sink);
        connection = result.server;
        if (result.outcome == ScanResult::Outcome::NotParsed) {
            printError(QStringLiteral("Error! Could not parse the path for file ") + name
                       + QLatin1Char('.'));
            status = NotParsed;
        } else if (result.outcome == ScanResult::Outcome::NoRights) {
            printError(QStringLiteral("Error! You do not have rights to scan this file."));
            status = NoRights;
        } else {
            status = Completed;
            ScanSnapshot scan {fullPath, result.serverName, QDateTime::currentDateTime(),
                               std::move(sink.users)};
            const QByteArray out = watch
                ? eventOutput(options.format, scan,
                              DiffScans(previous ? &*previous : nullptr, scan.users))
                : scanOutput(options.format, scan);
            if (!writeOut(out)) {
                printError(QStringLiteral("velmora-scan: could not write the output"));
                return OutputFailed;
            }
            previous = std::move(scan.users);
        }
        if (!watch || g_stop || (options.count > 0 && scans >= options.count)
            || !sleepUnlessStopped(options.watchSeconds))
            return status;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const ParsedScanArguments parsed = ParseScanArguments(QCoreApplication::arguments().mid(1));
    if (!parsed.problem.isEmpty())
        return usageError(parsed.problem);
    if (parsed.options.help || parsed.options.version) {
        const QString text
            = parsed.options.help ? ScanHelpText() : ScanVersionText() + QLatin1Char('\n');
        return writeOut(text.toUtf8()) ? Completed : OutputFailed;
    }
    installSignalHandlers();
    return run(parsed.options);
}
