// Builds simulated-network description files for tests, in the documented
// format, and points the client library at them.
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QTemporaryDir>

class TestNetwork
{
public:
    TestNetwork();

    // A server with volume SYS (number 0) whose files live in volumeDir(name).
    void addServer(const QString &name, bool workstationIsOperator = true);
    void mapDrive(const QString &letter, const QString &serverVolume);
    void addConnection(int server, int number, const QString &object,
                       const QJsonValue &loginTime = QStringLiteral("2026-12-07 08:15:00"),
                       const QJsonValue &address = QStringLiteral("IP:10.1.2.3"));
    void addOpenFile(int server, const QString &path, int connection, int task = 1,
                     int lockType = 8, int accessControl = 3, int lockFlag = 0);
    void closeFilesOf(int server, int connection);

    // Writes the file (a new one each time, so a reload is never missed),
    // creates the volume folders, sets NWSIM_NETWORK and calls NWCallsInit.
    bool install();
    QString volumeDir(const QString &server) const;

private:
    void append(int server, const QString &key, const QJsonObject &item);
    QTemporaryDir m_dir;
    QJsonObject m_root;
    QJsonArray m_servers;
    int m_generation = 0;
};
