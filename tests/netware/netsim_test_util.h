// A small simulated network (tests/data/netware/network.json), edited per test
// and written into a temporary folder.
#pragma once

#include "netware/nwcalls.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace testnet {

inline QByteArray read(const QString &file)
{
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// FS1/SYS (ADMIN operator as "admin", drive F:), FS2/DATA (drive g:), FS3/DATA (H:, ADMIN is not
// operator).
inline QByteArray baseText()
{
    return read(qEnvironmentVariable("VELMORA_TEST_DATA") + "/netware/network.json");
}
inline QJsonObject network() { return QJsonDocument::fromJson(baseText()).object(); }
inline QJsonObject obj(const char *json) { return QJsonDocument::fromJson(json).object(); }

inline QJsonObject use(const QString &path, int connection, int task = 1)
{
    return QJsonObject {{"path", path},  {"connection", connection}, {"task", task},
                        {"lockType", 8}, {"accessControl", 3},       {"lockFlag", 0}};
}

inline QJsonObject conn(int number, const QString &object)
{
    return QJsonObject {{"number", number},
                        {"object", object},
                        {"loginTime", "1999-12-06 09:05:00"},
                        {"address", "IP:10.1.2.3"},
                        {"messages", QJsonArray()}};
}

// Replaces servers[s].<key>.
inline void set(QJsonObject &net, int s, const QString &key, const QJsonValue &value)
{
    QJsonArray servers = net["servers"].toArray();
    QJsonObject srv = servers[s].toObject();
    srv[key] = value;
    servers[s] = srv;
    net["servers"] = servers;
}

inline QString write(const QTemporaryDir &dir, const QJsonObject &net)
{
    const QString file = dir.filePath("network.json");
    QFile f(file);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(QJsonDocument(net).toJson());
    for (const char *folder : {"volumes/FS1/SYS/APPS", "volumes/FS2/DATA", "volumes/FS3/DATA"})
        QDir(dir.path()).mkpath(folder);
    return file;
}

inline NWCCODE init(const QString &file)
{
    qputenv("NWSIM_NETWORK", file.toLocal8Bit());
    return NWCallsInit(nullptr, nullptr);
}

// The connection handle of a path's server (0 when it does not parse).
inline NWCONN_HANDLE handle(const char *path)
{
    char server[NW_SERVER_NAME_LEN], volume[32], dir[NW_DIR_PATH_LEN];
    NWCONN_HANDLE conn = 0;
    NWParsePath(path, server, &conn, volume, dir);
    return conn;
}

} // namespace testnet
