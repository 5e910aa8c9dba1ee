// Small descriptions of simulated networks, written into temporary folders.
#pragma once

#include "netware/nwcalls.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace testnet {

inline QJsonObject connection(int number, const QString &object)
{
    return QJsonObject{{"number", number}, {"object", object}, {"loginTime", "1999-12-06 09:05:00"},
                       {"address", "IP:10.1.2.3"}, {"messages", QJsonArray()}};
}

inline QJsonObject openFile(const QString &path, int connection, int task = 1)
{
    return QJsonObject{{"path", path}, {"connection", connection}, {"task", task}, {"lockType", 8},
                       {"accessControl", 3}, {"lockFlag", 0}};
}

inline QJsonObject server(const QString &name, const QString &volume, const QJsonArray &operators)
{
    return QJsonObject{
        {"name", name},
        {"operators", operators},
        {"volumes", QJsonArray{QJsonObject{{"name", volume}, {"number", 0},
                                           {"root", "volumes/" + name + "/" + volume}}}},
        {"objects", QJsonArray{QJsonObject{{"name", "ADMIN"}, {"id", 1}},
                               QJsonObject{{"name", "JSMITH"}, {"id", 1001}}}},
        {"connections", QJsonArray{connection(5, "JSMITH")}},
        {"openFiles", QJsonArray{openFile(volume + ":APPS\\ORDERS.DBF", 5)}},
        {"trustees", QJsonArray()}};
}

// FS1/SYS (ADMIN is operator, drive F:), FS2/DATA (drive G:), FS3/DATA (ADMIN is not).
inline QJsonObject network()
{
    return QJsonObject{
        {"format", "velmora-netsim/1"},
        {"workstation", QJsonObject{{"login", "ADMIN"},
                                    {"drives", QJsonObject{{"F", "FS1/SYS:"}, {"g", "FS2/DATA:"},
                                                           {"H", "FS3/DATA:"}}}}},
        {"servers", QJsonArray{server("FS1", "SYS", {"admin"}), server("FS2", "DATA", {"ADMIN"}),
                               server("FS3", "DATA", {"SUPERVISOR"})}}};
}

// Edits servers[s].<key> in place.
template <typename F>
void editServer(QJsonObject &net, int s, const QString &key, F f)
{
    QJsonArray servers = net["servers"].toArray();
    QJsonObject srv = servers[s].toObject();
    QJsonValue v = srv[key];
    f(v);
    srv[key] = v;
    servers[s] = srv;
    net["servers"] = servers;
}

inline QString write(const QTemporaryDir &dir, const QJsonObject &net,
                     const QString &name = "network.json")
{
    const QString file = dir.filePath(name);
    QFile f(file);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(QJsonDocument(net).toJson());
    f.close();
    for (const char *folder : {"volumes/FS1/SYS/APPS", "volumes/FS2/DATA", "volumes/FS3/DATA"})
        QDir(dir.path()).mkpath(folder);
    return file;
}

inline QByteArray read(const QString &file)
{
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

inline NWCCODE init(const QString &file)
{
    qputenv("NWSIM_NETWORK", file.toLocal8Bit());
    return NWCallsInit(nullptr, nullptr);
}

} // namespace testnet
