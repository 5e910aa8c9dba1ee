#include "support/test_network.h"

#include "netware/nwcalls.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <functional>

TestNetwork::TestNetwork()
{
    m_root.insert(QStringLiteral("format"), QStringLiteral("velmora-netsim/1"));
    QJsonObject ws;
    ws.insert(QStringLiteral("login"), QStringLiteral("ADMIN"));
    ws.insert(QStringLiteral("drives"), QJsonObject());
    m_root.insert(QStringLiteral("workstation"), ws);
    m_root.insert(QStringLiteral("servers"), QJsonArray());
}

namespace {
void editServer(QJsonObject &root, int i, const std::function<void(QJsonObject &)> &edit)
{
    QJsonArray servers = root.value(QStringLiteral("servers")).toArray();
    QJsonObject s = servers.at(i).toObject();
    edit(s);
    servers.replace(i, s);
    root.insert(QStringLiteral("servers"), servers);
}

void append(QJsonObject &o, const QString &key, const QJsonValue &v)
{
    QJsonArray a = o.value(key).toArray();
    a.append(v);
    o.insert(key, a);
}
} // namespace

void TestNetwork::addServer(const QString &name, bool workstationIsOperator)
{
    QJsonObject s;
    s.insert(QStringLiteral("name"), name);
    s.insert(QStringLiteral("operators"),
             workstationIsOperator ? QJsonArray{QStringLiteral("ADMIN")} : QJsonArray{});
    QJsonObject vol;
    vol.insert(QStringLiteral("name"), QStringLiteral("SYS"));
    vol.insert(QStringLiteral("number"), 0);
    vol.insert(QStringLiteral("root"), QStringLiteral("volumes/%1/SYS").arg(name));
    s.insert(QStringLiteral("volumes"), QJsonArray{vol});
    s.insert(QStringLiteral("objects"),
             QJsonArray{QJsonObject{{QStringLiteral("name"), QStringLiteral("ADMIN")},
                                    {QStringLiteral("id"), 1}}});
    s.insert(QStringLiteral("connections"), QJsonArray());
    s.insert(QStringLiteral("openFiles"), QJsonArray());
    s.insert(QStringLiteral("trustees"), QJsonArray());
    QJsonArray servers = m_root.value(QStringLiteral("servers")).toArray();
    servers.append(s);
    m_root.insert(QStringLiteral("servers"), servers);
}

void TestNetwork::mapDrive(const QString &letter, const QString &serverVolume)
{
    QJsonObject ws = m_root.value(QStringLiteral("workstation")).toObject();
    QJsonObject drives = ws.value(QStringLiteral("drives")).toObject();
    drives.insert(letter, serverVolume);
    ws.insert(QStringLiteral("drives"), drives);
    m_root.insert(QStringLiteral("workstation"), ws);
}

void TestNetwork::addObject(int server, const QString &name, qint64 id)
{
    editServer(m_root, server, [&](QJsonObject &s) {
        append(s, QStringLiteral("objects"),
               QJsonObject{{QStringLiteral("name"), name}, {QStringLiteral("id"), id}});
    });
}

void TestNetwork::addConnection(int server, int number, const QString &object,
                                const QJsonValue &loginTime, const QJsonValue &address)
{
    editServer(m_root, server, [&](QJsonObject &s) {
        QJsonObject c{{QStringLiteral("number"), number},
                      {QStringLiteral("object"), object},
                      {QStringLiteral("loginTime"), loginTime},
                      {QStringLiteral("acceptsMessages"), true},
                      {QStringLiteral("messages"), QJsonArray()}};
        if (!address.isUndefined())
            c.insert(QStringLiteral("address"), address);
        append(s, QStringLiteral("connections"), c);
    });
}

void TestNetwork::addOpenFile(int server, const QString &path, int connection, int task,
                              int lockType, int accessControl, int lockFlag)
{
    editServer(m_root, server, [&](QJsonObject &s) {
        append(s, QStringLiteral("openFiles"),
               QJsonObject{{QStringLiteral("path"), path},
                           {QStringLiteral("connection"), connection},
                           {QStringLiteral("task"), task},
                           {QStringLiteral("lockType"), lockType},
                           {QStringLiteral("accessControl"), accessControl},
                           {QStringLiteral("lockFlag"), lockFlag}});
    });
}

void TestNetwork::addTrustee(int server, const QString &path, const QString &object, int rights)
{
    editServer(m_root, server, [&](QJsonObject &s) {
        append(s, QStringLiteral("trustees"),
               QJsonObject{{QStringLiteral("path"), path},
                           {QStringLiteral("object"), object},
                           {QStringLiteral("rights"), rights}});
    });
}

QString TestNetwork::volumeDir(const QString &server, const QString &volume) const
{
    return m_dir.filePath(QStringLiteral("volumes/%1/%2").arg(server, volume));
}

bool TestNetwork::install()
{
    for (const QJsonValue &sv : m_root.value(QStringLiteral("servers")).toArray()) {
        const QString name = sv.toObject().value(QStringLiteral("name")).toString();
        QDir().mkpath(volumeDir(name));
    }
    m_file = m_dir.filePath(QStringLiteral("network-%1.json").arg(++m_generation));
    QFile f(m_file);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(QJsonDocument(m_root).toJson());
    f.close();
    qputenv("NWSIM_NETWORK", m_file.toLocal8Bit());
    return NWCallsInit(nullptr, nullptr) == 0;
}

QJsonObject TestNetwork::readBack() const
{
    QFile f(m_file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).object();
}
