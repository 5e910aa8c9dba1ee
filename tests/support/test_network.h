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

    QJsonObject &root() { return m_root; }

    // A server with volume SYS (number 0) whose files live in <dir>/<name>/SYS.
    void addServer(const QString &name, bool workstationIsOperator = true);
    void mapDrive(const QString &letter, const QString &serverVolume);
    void addObject(int server, const QString &name, qint64 id);
    void addConnection(int server, int number, const QString &object,
                       const QJsonValue &loginTime = QStringLiteral("2026-12-07 08:15:00"),
                       const QJsonValue &address = QStringLiteral("IP:10.1.2.3"));
    void addOpenFile(int server, const QString &path, int connection, int task = 1,
                     int lockType = 8, int accessControl = 3, int lockFlag = 0);
    void addTrustee(int server, const QString &path, const QString &object, int rights);

    // Writes the file (a new one each time, so a reload is never missed),
    // creates the volume folders, sets NWSIM_NETWORK and calls NWCallsInit.
    bool install();
    QString file() const { return m_file; }
    QString volumeDir(const QString &server, const QString &volume = QStringLiteral("SYS")) const;
    QJsonObject readBack() const;

private:
    QTemporaryDir m_dir;
    QJsonObject m_root;
    QString m_file;
    int m_generation = 0;
};
