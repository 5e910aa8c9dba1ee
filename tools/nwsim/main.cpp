// nwsim: shows and changes a simulated NetWare network description with the
// client library's own loader and its locked write-back.
#include "netware/netsim_path.h"
#include "netware/netsim_store.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonArray>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <optional>

using namespace netsim;

namespace {

const char kHelp[] = R"(Usage: nwsim [--network FILE] COMMAND [ARGUMENTS] [OPTIONS]

Shows and changes the simulated NetWare network that Velmora's client library
answers from. The description file is FILE, else the file named by the
environment variable NWSIM_NETWORK, else the per-user copy of the built-in
demo network (created on first use). Changes are made like the library makes
them: re-read, change, write a temporary file and rename it, under the lock
file FILE.lock (of the real file when FILE is a symlink), keeping every field
nwsim does not know. Control characters in stored texts are printed escaped
(\x1b, \u{202e}).

A PATH is any path the client parses: a mapped drive ("F:\APPS\ORDERS.DBF"),
"SERVER/VOLUME:DIR\FILE" or "VOLUME:DIR\FILE" (first server with the volume);
"." and ".." in it are resolved.
Numbers may be decimal or 0x-prefixed hexadecimal.

Commands:
  path                      print the description file in use
  check                     load the description; print "ok" or the problem
  list [PATH]               who has what open (only PATH when given):
                            server, volume path, connection, user, task,
                            lock type, access control, lock flag
  connections [SERVER]      the connections: number, user, login time,
                            address, accepts messages, messages received
  messages [SERVER [CONN]]  the broadcast messages delivered so far
  open CONN PATH            record that connection CONN (on the server of
                            PATH) has the file open. Options:
                              --task N       task number (default 1)
                              --access N     access control bits: 1 read,
                                             2 write, 4 deny read, 8 deny
                                             write (default 1)
                              --lock-type N  8 shareable, other exclusive
                                             (default 8)
                              --lock-flag N  non-zero: holds a lock (default 0)
  close CONN PATH           remove the open-file entries of CONN on PATH
                            (only those of one task with --task N)
  login SERVER OBJECT       log OBJECT in on SERVER; prints the connection
                            number. Options:
                              --number N     connection number (default: the
                                             lowest free one)
                              --address A    "IP:a.b.c.d" or
                                             "IPX:NNNNNNNN:HHHHHHHHHHHH:SSSS"
                                             (default: none)
                              --time T       login time "YYYY-MM-DD HH:MM:SS"
                                             (default: now)
                              --no-messages  the connection refuses broadcasts
  logout SERVER CONN        remove the connection and all its open files
  reset                     replace the demo copy by the built-in demo network
                            (not with --network or NWSIM_NETWORK)

Options:
  --network FILE            the description file to use
  -h, --help                show this text

Exit status: 0 done, 1 the command failed, 2 wrong usage.
)";

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}

QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

// Stored text comes from anyone who can broadcast or log in: control and
// format characters (terminal escapes, line breaks, direction overrides) are
// printed as \xNN or \u{NNNN} so they can neither act nor forge lines.
QString shown(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        switch (c.category()) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            out += c.unicode() < 0x100
                ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'))
                : QStringLiteral("\\u{%1}").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            break;
        default:
            out += c;
        }
    }
    return out;
}

int usage(const QString &problem)
{
    err() << "nwsim: " << shown(problem) << "\nTry 'nwsim --help'.\n";
    return 2;
}

int failure(const QString &problem)
{
    err() << "nwsim: " << shown(problem) << '\n';
    return 1;
}

std::optional<uint> number(const QString &text, uint max)
{
    bool ok = false;
    const uint v = text.toUInt(&ok, 0);
    if (!ok || v > max)
        return std::nullopt;
    return v;
}

QString loginTimeText(const std::array<uint8_t, 7> &t)
{
    static const char *days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    return QStringLiteral("%1-%2-%3 %4:%5:%6 %7")
        .arg(t[0], 2, 10, QLatin1Char('0'))
        .arg(t[1], 2, 10, QLatin1Char('0'))
        .arg(t[2], 2, 10, QLatin1Char('0'))
        .arg(t[3], 2, 10, QLatin1Char('0'))
        .arg(t[4], 2, 10, QLatin1Char('0'))
        .arg(t[5], 2, 10, QLatin1Char('0'))
        .arg(QLatin1String(t[6] < 7 ? days[t[6]] : "?"));
}

QString addressText(const std::optional<Address> &a)
{
    if (!a)
        return QStringLiteral("(none)");
    if (a->type == 11)
        return QStringLiteral("IP:%1.%2.%3.%4")
            .arg(a->net[0])
            .arg(a->net[1])
            .arg(a->net[2])
            .arg(a->net[3]);
    auto hex = [](const auto &bytes) {
        QString s;
        for (uint8_t b : bytes)
            s += QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
        return s;
    };
    const QString prefix
        = a->type == 2 ? QStringLiteral("IPX") : QStringLiteral("type %1").arg(a->type);
    return prefix + QLatin1Char(':') + hex(a->net) + QLatin1Char(':') + hex(a->node)
        + QLatin1Char(':') + hex(a->socket);
}

struct Options
{
    QString network;
    QStringList args;
    QMap<QString, QString> values; // --task etc.
    bool noMessages = false;
};

// Parses the command line by hand: options may come anywhere.
std::optional<Options> parseArguments(const QStringList &argv, QString *problem, bool *help)
{
    static const QStringList valued {"--network",   "--task",   "--access",  "--lock-type",
                                     "--lock-flag", "--number", "--address", "--time"};
    Options o;
    for (int i = 1; i < argv.size(); ++i) {
        const QString a = argv[i];
        if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            *help = true;
            return o;
        }
        if (a == QLatin1String("--no-messages")) {
            o.noMessages = true;
            continue;
        }
        QString name = a, value;
        bool hasValue = false;
        if (a.startsWith(QLatin1String("--")) && a.contains(QLatin1Char('='))) {
            name = a.section(QLatin1Char('='), 0, 0);
            value = a.section(QLatin1Char('='), 1);
            hasValue = true;
        }
        if (valued.contains(name)) {
            if (!hasValue) {
                if (i + 1 >= argv.size()) {
                    *problem = QStringLiteral("option %1 needs a value").arg(name);
                    return std::nullopt;
                }
                value = argv[++i];
            }
            if (name == QLatin1String("--network"))
                o.network = value;
            else
                o.values.insert(name, value);
            continue;
        }
        if (a.startsWith(QLatin1String("--"))) {
            *problem = QStringLiteral("unknown option %1").arg(a);
            return std::nullopt;
        }
        o.args.append(a);
    }
    return o;
}

class Tool
{
public:
    Tool(Store &store, const Options &o) : m_store(store), m_o(o) { }

    int run(const QString &command)
    {
        const QStringList a = m_o.args.mid(1);
        if (command == QLatin1String("path"))
            return expect(a, 0, 0) ? (out() << m_store.file() << '\n', 0) : 2;
        if (command == QLatin1String("check"))
            return expect(a, 0, 0) ? (out() << "ok\n", 0) : 2;
        if (command == QLatin1String("list"))
            return expect(a, 0, 1) ? list(a.value(0)) : 2;
        if (command == QLatin1String("connections"))
            return expect(a, 0, 1) ? connections(a.value(0)) : 2;
        if (command == QLatin1String("messages"))
            return expect(a, 0, 2) ? messages(a.value(0), a.value(1)) : 2;
        if (command == QLatin1String("open"))
            return expect(a, 2, 2) ? open(a[0], a[1]) : 2;
        if (command == QLatin1String("close"))
            return expect(a, 2, 2) ? close(a[0], a[1]) : 2;
        if (command == QLatin1String("login"))
            return expect(a, 2, 2) ? login(a[0], a[1]) : 2;
        if (command == QLatin1String("logout"))
            return expect(a, 2, 2) ? logout(a[0], a[1]) : 2;
        return usage(QStringLiteral("unknown command %1").arg(command));
    }

private:
    bool expect(const QStringList &a, int min, int max)
    {
        if (a.size() >= min && a.size() <= max)
            return true;
        usage(QStringLiteral("%1 takes %2 argument(s)")
                  .arg(m_o.args[0],
                       min == max ? QString::number(min)
                                  : QStringLiteral("%1 to %2").arg(min).arg(max)));
        return false;
    }

    const Network &net() const { return m_store.network(); }

    int option(const char *name, uint def, uint max, bool *ok)
    {
        const QString text = m_o.values.value(QLatin1String(name));
        if (text.isEmpty())
            return int(def);
        const auto v = number(text, max);
        if (!v) {
            usage(QStringLiteral("%1: not a number in 0..%2").arg(QLatin1String(name)).arg(max));
            *ok = false;
            return 0;
        }
        return int(*v);
    }

    int serverArg(const QString &name)
    {
        const int i = net().serverIndex(name);
        if (i < 0)
            failure(QStringLiteral("no server %1 in %2").arg(name, m_store.file()));
        return i;
    }

    std::optional<ParsedPath> pathArg(const QString &path)
    {
        ParsedPath p;
        if (!parseNetWarePath(net(), path, &p)) {
            failure(
                QStringLiteral("%1 does not name a file on a known server and volume").arg(path));
            return std::nullopt;
        }
        // Scans never send "." or "..": an entry stored with them would never be found.
        QStringList parts;
        for (const QString &part : p.dirPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
            if (part == QLatin1String("..")) {
                if (parts.isEmpty()) {
                    failure(
                        QStringLiteral("%1 goes above the root of volume %2").arg(path, p.volume));
                    return std::nullopt;
                }
                parts.removeLast();
            } else if (part != QLatin1String(".")) {
                parts.append(part);
            }
        }
        p.dirPath = parts.join(QLatin1Char('\\'));
        return p;
    }

    int list(const QString &path)
    {
        std::optional<ParsedPath> only;
        if (!path.isEmpty() && !(only = pathArg(path)))
            return 1;
        const QString wanted = only
            ? normalizedVolumePath(only->volume + QLatin1Char(':') + only->dirPath)
            : QString();
        out() << "SERVER  PATH                              CONN  USER          TASK  LOCKTYPE  "
                 "ACCESS  LOCKFLAG\n";
        for (int si = 0; si < net().servers.size(); ++si) {
            const Server &s = net().servers[si];
            if (only && only->serverIndex != si)
                continue;
            for (const OpenFile &f : s.openFiles) {
                if (only && normalizedVolumePath(f.path) != wanted)
                    continue;
                const Connection *c = s.connection(f.connection);
                out() << QStringLiteral("%1 %2 %3  %4 %5  %6  0x%7    %8\n")
                             .arg(shown(s.name), -7)
                             .arg(shown(f.path), -33)
                             .arg(f.connection, 4)
                             .arg(c ? shown(c->object.left(12)) : QStringLiteral("(none)"), -12)
                             .arg(f.task, 4)
                             .arg(QStringLiteral("%1 %2")
                                      .arg(f.lockType, 3)
                                      .arg(f.lockType == 8 ? "shr" : "exc"),
                                  -8)
                             .arg(f.accessControl, 2, 16, QLatin1Char('0'))
                             .arg(f.lockFlag);
            }
        }
        return 0;
    }

    int connections(const QString &server)
    {
        if (!server.isEmpty() && serverArg(server) < 0)
            return 1;
        for (const Server &s : net().servers) {
            if (!server.isEmpty() && s.name.compare(server, Qt::CaseInsensitive) != 0)
                continue;
            out() << shown(s.name)
                  << (s.isOperator(net().login) ? ""
                                                : "  (workstation login is not a console operator)")
                  << '\n';
            for (const Connection &c : s.connections)
                out() << QStringLiteral("  %1  %2  %3  %4  %5  %6 message(s)\n")
                             .arg(c.number, 5)
                             .arg(shown(c.object.left(16)), -16)
                             .arg(loginTimeText(c.loginTime))
                             .arg(addressText(c.address), -32)
                             .arg(c.acceptsMessages ? "accepts" : "refuses")
                             .arg(c.messages.size());
        }
        return 0;
    }

    int messages(const QString &server, const QString &conn)
    {
        if (!server.isEmpty() && serverArg(server) < 0)
            return 1;
        std::optional<uint> only;
        if (!conn.isEmpty() && !(only = number(conn, 65535)))
            return usage(QStringLiteral("%1: not a connection number").arg(conn));
        for (const Server &s : net().servers) {
            if (!server.isEmpty() && s.name.compare(server, Qt::CaseInsensitive) != 0)
                continue;
            for (const Connection &c : s.connections) {
                if (only && c.number != *only)
                    continue;
                for (const Message &m : c.messages)
                    out() << QStringLiteral("%1 %2 %3  %4  from %5: %6\n")
                                 .arg(shown(s.name), shown(c.object))
                                 .arg(c.number)
                                 .arg(shown(m.at), shown(m.from), shown(m.text));
            }
        }
        return 0;
    }

    // Reports the change only once it is on disk.
    int write(const Store::Change &change)
    {
        QString error;
        m_done.clear();
        if (!m_store.modify(change, &error))
            return failure(error);
        out() << shown(m_done) << '\n';
        return 0;
    }

    int open(const QString &connText, const QString &path)
    {
        const auto conn = number(connText, 65535);
        if (!conn || *conn == 0)
            return usage(QStringLiteral("%1: not a connection number").arg(connText));
        bool ok = true;
        const int task = option("--task", 1, 65535, &ok);
        const int access = option("--access", 1, 255, &ok);
        const int lockType = option("--lock-type", 8, 255, &ok);
        const int lockFlag = option("--lock-flag", 0, 255, &ok);
        if (!ok)
            return 2;
        const auto p = pathArg(path);
        if (!p)
            return 1;
        const QString server = p->server;
        const QString volumePath = p->volume + QLatin1Char(':') + p->dirPath;
        return write([&](QJsonObject &root, const Network &n, QString *error) {
            const int si = n.serverIndex(server);
            if (si < 0 || !n.servers[si].connection(int(*conn))) {
                *error = QStringLiteral("no connection %1 on %2 (log one in first)")
                             .arg(*conn)
                             .arg(server);
                return false;
            }
            edit::addOpenFile(root, si,
                              QJsonObject {{QStringLiteral("path"), volumePath},
                                           {QStringLiteral("connection"), int(*conn)},
                                           {QStringLiteral("task"), task},
                                           {QStringLiteral("lockType"), lockType},
                                           {QStringLiteral("accessControl"), access},
                                           {QStringLiteral("lockFlag"), lockFlag}});
            m_done = QStringLiteral("%1 %2 opened by connection %3")
                         .arg(server, volumePath)
                         .arg(*conn);
            return true;
        });
    }

    int close(const QString &connText, const QString &path)
    {
        const auto conn = number(connText, 65535);
        if (!conn)
            return usage(QStringLiteral("%1: not a connection number").arg(connText));
        bool ok = true;
        const int task
            = m_o.values.contains(QStringLiteral("--task")) ? option("--task", 0, 65535, &ok) : -1;
        if (!ok)
            return 2;
        const auto p = pathArg(path);
        if (!p)
            return 1;
        const QString server = p->server;
        const QString volumePath = p->volume + QLatin1Char(':') + p->dirPath;
        return write([&](QJsonObject &root, const Network &n, QString *error) {
            const int si = n.serverIndex(server);
            const int removed
                = si < 0 ? 0 : edit::removeOpenFiles(root, si, int(*conn), volumePath, task);
            if (removed == 0) {
                *error = QStringLiteral("connection %1 on %2 does not have %3 open")
                             .arg(*conn)
                             .arg(server, volumePath);
                return false;
            }
            m_done = QStringLiteral("%1 %2 removed")
                         .arg(removed)
                         .arg(removed == 1 ? "entry" : "entries");
            return true;
        });
    }

    int login(const QString &server, const QString &object)
    {
        bool ok = true;
        const int wanted = option("--number", 0, 65535, &ok);
        if (!ok)
            return 2;
        const QString address = m_o.values.value(QStringLiteral("--address"));
        if (!address.isEmpty() && !parseAddressText(address))
            return usage(QStringLiteral(
                "--address: not \"IP:a.b.c.d\" or \"IPX:NNNNNNNN:HHHHHHHHHHHH:SSSS\""));
        QString time = m_o.values.value(QStringLiteral("--time"));
        if (time.isEmpty())
            time = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        else if (!parseLoginTimeText(time))
            return usage(QStringLiteral("--time: not \"YYYY-MM-DD HH:MM:SS\""));
        if (serverArg(server) < 0)
            return 1;
        return write([&](QJsonObject &root, const Network &n, QString *error) {
            const int si = n.serverIndex(server);
            if (si < 0) {
                *error = QStringLiteral("no server %1").arg(server);
                return false;
            }
            int number = wanted;
            if (number == 0)
                for (number = 1; n.servers[si].connection(number); ++number) { }
            if (number > 65535 || n.servers[si].connection(number)) {
                *error = QStringLiteral("connection %1 on %2 is in use")
                             .arg(number)
                             .arg(n.servers[si].name);
                return false;
            }
            QJsonObject c {{QStringLiteral("number"), number},
                           {QStringLiteral("object"), object},
                           {QStringLiteral("loginTime"), time},
                           {QStringLiteral("acceptsMessages"), !m_o.noMessages},
                           {QStringLiteral("messages"), QJsonArray()}};
            if (!address.isEmpty())
                c.insert(QStringLiteral("address"), address);
            edit::addConnection(root, si, c);
            m_done = QStringLiteral("%1 connection %2: %3")
                         .arg(n.servers[si].name)
                         .arg(number)
                         .arg(object);
            return true;
        });
    }

    int logout(const QString &server, const QString &connText)
    {
        const auto conn = number(connText, 65535);
        if (!conn)
            return usage(QStringLiteral("%1: not a connection number").arg(connText));
        if (serverArg(server) < 0)
            return 1;
        return write([&](QJsonObject &root, const Network &n, QString *error) {
            const int si = n.serverIndex(server);
            if (si < 0 || !edit::removeConnection(root, si, int(*conn))) {
                *error = QStringLiteral("no connection %1 on %2").arg(*conn).arg(server);
                return false;
            }
            m_done
                = QStringLiteral("%1 connection %2 logged out").arg(n.servers[si].name).arg(*conn);
            return true;
        });
    }

    Store &m_store;
    const Options &m_o;
    QString m_done;
};

// What a command printed must have reached its reader: a script reading a
// full disk or a closed pipe would otherwise take the missing lines for an
// empty answer.
int outputChecked(int status)
{
    out().flush();
    if (out().status() == QTextStream::Ok && std::fflush(stdout) == 0 && !std::ferror(stdout))
        return status;
    err() << "nwsim: could not write the output\n";
    return status == 0 ? 1 : status;
}

int runTool(const QCoreApplication &app)
{
    QString problem;
    bool help = false;
    const auto o = parseArguments(app.arguments(), &problem, &help);
    if (help) {
        out() << kHelp;
        return 0;
    }
    if (!o)
        return usage(problem);
    if (o->args.isEmpty())
        return usage(QStringLiteral("no command given"));
    const QString command = o->args[0];

    if (command == QLatin1String("reset")) {
        if (o->args.size() != 1)
            return usage(QStringLiteral("reset takes no arguments"));
        if (!o->network.isEmpty() || !qEnvironmentVariable("NWSIM_NETWORK").isEmpty())
            return failure(QStringLiteral(
                "reset works on the demo copy only; unset NWSIM_NETWORK and drop --network"));
        if (!installDemo(true, &problem))
            return failure(problem);
        out() << "demo network reset: " << demoFile() << '\n';
        return 0;
    }

    const QString file = o->network.isEmpty() ? descriptionFile(&problem) : o->network;
    if (file.isEmpty())
        return failure(problem);
    Store store(file);
    if (!store.load(&problem))
        return failure(problem);
    return Tool(store, *o).run(command);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return outputChecked(runTool(app));
}
