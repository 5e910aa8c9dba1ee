#include "cli/scan_options.h"

#include <limits>

namespace {

// The window's seconds box takes the same range.
constexpr int kMinWatch = 1;
constexpr int kMaxWatch = 65;

bool toNumber(const QString &text, int low, int high, int *value)
{
    bool ok = false;
    const int n = text.toInt(&ok, 10);
    if (!ok || n < low || n > high || text.startsWith(QLatin1Char('+')))
        return false;
    *value = n;
    return true;
}

} // namespace

ParsedScanArguments ParseScanArguments(const QStringList &arguments)
{
    ParsedScanArguments parsed;
    ScanOptions &o = parsed.options;
    QStringList files;
    bool formatGiven = false;
    bool countGiven = false;
    bool optionsEnded = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (optionsEnded || !arg.startsWith(QLatin1String("--"))) {
            files << arg;
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        QString name = arg;
        QString value;
        bool hasValue = false;
        if (const qsizetype eq = arg.indexOf(QLatin1Char('=')); eq > 0) {
            name = arg.left(eq);
            value = arg.mid(eq + 1);
            hasValue = true;
        }
        const bool takesValue = name == QLatin1String("--format")
            || name == QLatin1String("--watch") || name == QLatin1String("--count");
        if (!takesValue) {
            if (hasValue
                || (name != QLatin1String("--help") && name != QLatin1String("--version"))) {
                parsed.problem = QStringLiteral("unknown option %1").arg(arg);
                return parsed;
            }
            (name == QLatin1String("--help") ? o.help : o.version) = true;
            continue;
        }
        if (!hasValue) {
            if (i + 1 >= arguments.size()) {
                parsed.problem = QStringLiteral("option %1 needs a value").arg(name);
                return parsed;
            }
            value = arguments.at(++i);
        }
        if (name == QLatin1String("--format")) {
            if (value == QLatin1String("csv"))
                o.format = ScanOptions::Format::Csv;
            else if (value == QLatin1String("json"))
                o.format = ScanOptions::Format::Json;
            else if (value == QLatin1String("text"))
                o.format = ScanOptions::Format::Text;
            else {
                parsed.problem = QStringLiteral("--format: not csv, json or text: %1").arg(value);
                return parsed;
            }
            formatGiven = true;
        } else if (name == QLatin1String("--watch")) {
            if (!toNumber(value, kMinWatch, kMaxWatch, &o.watchSeconds)) {
                parsed.problem = QStringLiteral("--watch: not a number of seconds in %1..%2: %3")
                                     .arg(kMinWatch)
                                     .arg(kMaxWatch)
                                     .arg(value);
                return parsed;
            }
        } else {
            if (!toNumber(value, 1, std::numeric_limits<int>::max(), &o.count)) {
                parsed.problem = QStringLiteral("--count: not a positive number: %1").arg(value);
                return parsed;
            }
            countGiven = true;
        }
    }
    if (o.help || o.version)
        return parsed;
    if (countGiven && o.watchSeconds == 0) {
        parsed.problem = QStringLiteral("--count needs --watch");
        return parsed;
    }
    // Watch mode prints events; the users report has no event form.
    if (o.watchSeconds > 0 && !formatGiven)
        o.format = ScanOptions::Format::Text;
    if (files.size() != 1) {
        parsed.problem = files.isEmpty() ? QStringLiteral("no FILE given")
                                         : QStringLiteral("more than one FILE given");
        return parsed;
    }
    o.file = files.constFirst();
    return parsed;
}

QString ScanUsageLine()
{
    return QStringLiteral(
        "Usage: velmora-scan [--format csv|json|text] [--watch SECONDS [--count N]] FILE");
}

QString ScanHelpText()
{
    return ScanUsageLine() + QStringLiteral(R"(

Lists who has FILE open on the NetWare network, as Velmora's window does.
FILE is a drive path (F:\APPS\DATA\ORDERS.DBF), a native path, or a name in
the current folder. The simulated client reads the network named by
NWSIM_NETWORK (the built-in demo network when it is unset).

Without --format the users report is printed as Velmora's Copy button builds
it: the file, the date, the user names, the count.

Options:
  --format csv|json|text  one record per user, with every field of the
                          details: user, connection, task, opened, lockType,
                          fileRights, accessControl, directoryRights, locked,
                          lockFlag, login, loginRaw, address, addressRaw;
                          with the file, the server and the time of the scan.
                          csv: RFC 4180 with a header row; json: one document
  --watch SECONDS         scan every SECONDS (1 to 65) and print the changes
                          as events, one a line: present (first scan), opened,
                          closed, locked, unlocked, modeChanged (text unless
                          --format says csv or json: then one object a line)
  --count N               with --watch: stop after N scans
  --help                  print this help
  --version               print the version

SIGINT and SIGTERM end watch mode after the scan in progress.

Exit status: 0 the scan completed (any number of users), 1 the path could not
be parsed or the file does not exist, 2 no rights to scan the file, 3 the
NetWare client could not be initialised, 64 wrong usage, 74 the output could
not be written.
)");
}

QString ScanVersionText()
{
    return QStringLiteral("velmora-scan (Velmora) %1.%2")
        .arg(VELMORA_VERSION_MAJOR)
        .arg(VELMORA_VERSION_MINOR);
}
