#include "support/test_network.h"

#include "netware/nwcalls.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>

TestNetwork::TestNetwork()
{
    m_root = {{"format", "velmora-netsim/1"},
              {"workstation", QJsonObject {{"login", "ADMIN"}, {"drives", QJsonObject()}}}};
}

void TestNetwork::addServer(const QString &name, bool workstationIsOperator)
{
    const QJsonObject vol {{"name", "SYS"}, {"number", 0}, {"root", "volumes/" + name + "/SYS"}};
    m_servers.append(
        QJsonObject {{"name", name},
                     {"operators", workstationIsOperator ? QJsonArray {"ADMIN"} : QJsonArray {}},
                     {"volumes", QJsonArray {vol}},
                     {"objects", QJsonArray {QJsonObject {{"name", "ADMIN"}, {"id", 1}}}},
                     {"connections", QJsonArray()},
                     {"openFiles", QJsonArray()},
                     {"trustees", QJsonArray()}});
}

void TestNetwork::mapDrive(const QString &letter, const QString &serverVolume)
{
    QJsonObject ws = m_root["workstation"].toObject();
    QJsonObject drives = ws["drives"].toObject();
    drives.insert(letter, serverVolume);
    ws.insert("drives", drives);
    m_root.insert("workstation", ws);
}

void TestNetwork::append(int server, const QString &key, const QJsonObject &item)
{
    QJsonObject s = m_servers.at(server).toObject();
    QJsonArray a = s[key].toArray();
    a.append(item);
    s.insert(key, a);
    m_servers.replace(server, s);
}

void TestNetwork::addConnection(int server, int number, const QString &object,
                                const QJsonValue &loginTime, const QJsonValue &address)
{
    append(server, "connections",
           {{"number", number},
            {"object", object},
            {"loginTime", loginTime},
            {"address", address},
            {"acceptsMessages", true},
            {"messages", QJsonArray()}});
}

void TestNetwork::addOpenFile(int server, const QString &path, int connection, int task,
                              int lockType, int accessControl, int lockFlag)
{
    append(server, "openFiles",
           {{"path", path},
            {"connection", connection},
            {"task", task},
            {"lockType", lockType},
            {"accessControl", accessControl},
            {"lockFlag", lockFlag}});
}

void TestNetwork::closeFilesOf(int server, int connection)
{
    QJsonObject s = m_servers.at(server).toObject();
    QJsonArray kept;
    for (const QJsonValue &v : s["openFiles"].toArray())
        if (v["connection"].toInt() != connection)
            kept.append(v);
    s.insert("openFiles", kept);
    m_servers.replace(server, s);
}

QString TestNetwork::volumeDir(const QString &server) const
{
    return m_dir.filePath("volumes/" + server + "/SYS");
}

bool TestNetwork::install()
{
    for (const QJsonValue &s : std::as_const(m_servers))
        QDir().mkpath(volumeDir(s["name"].toString()));
    m_root.insert("servers", m_servers);
    QFile f(m_dir.filePath(QStringLiteral("network-%1.json").arg(++m_generation)));
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(QJsonDocument(m_root).toJson());
    f.close();
    qputenv("NWSIM_NETWORK", f.fileName().toLocal8Bit());
    return NWCallsInit(nullptr, nullptr) == 0;
}
