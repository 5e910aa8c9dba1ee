// The benchmarks' simulated network: `entries` file-use entries on
// F:\APPS\ORDERS.DBF; half of them belong to users with two connections
// (the scan lists each user once), and every user holds three trustee paths
// on the volume.
#pragma once

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

namespace bench {

inline const QString kDir = QStringLiteral("F:\\APPS");
inline const QString kFile = QStringLiteral("ORDERS.DBF");
inline const QString kVolumePath = QStringLiteral("SYS:APPS\\ORDERS.DBF");

inline QString userName(int u) { return QStringLiteral("U%1").arg(u, 5, 10, QLatin1Char('0')); }

// Users with two entries come first; their second entry sits in the second
// half of the file, so the duplicate check spans batches.
inline QByteArray describe(int entries, int *users)
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

// Writes the description and the volume folder with the scanned file into
// dir; returns the description's path, or an empty text on failure.
inline QString writeNetwork(const QString &dir, int entries, int *users)
{
    const QByteArray json = describe(entries, users);
    if (!QDir().mkpath(dir + QStringLiteral("/volumes/FS1/SYS/APPS")))
        return QString();
    QFile scanned(dir + QStringLiteral("/volumes/FS1/SYS/APPS/") + kFile);
    if (!scanned.open(QIODevice::WriteOnly) || scanned.write("order data\n") < 0)
        return QString();
    QFile file(dir + QStringLiteral("/network.json"));
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size())
        return QString();
    return file.fileName();
}

} // namespace bench
