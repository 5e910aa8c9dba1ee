// The trustee-rights lookup against small simulated networks.
#include "netware/nwcalls.h"
#include "scan/trustee_rights.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QJsonObject trustee(const QString &path, const QString &object, int rights)
{
    return {{"path", path}, {"object", object}, {"rights", rights}};
}

// Volumes SYS and DATA; ADMIN, JSMITH, U1..U25 and "ÿves" with IDs from firstId.
QJsonObject server(const QString &name, int firstId, const QJsonArray &trustees)
{
    QJsonArray objects {QJsonObject {{"name", "ADMIN"}, {"id", 1}},
                        QJsonObject {{"name", "JSMITH"}, {"id", firstId}}};
    for (int i = 1; i <= 25; ++i)
        objects.append(QJsonObject {{"name", QStringLiteral("U%1").arg(i)}, {"id", firstId + i}});
    objects.append(QJsonObject {{"name", QStringLiteral("\u00FFves")}, {"id", firstId + 99}});
    const auto volume = [&](const char *v, int n) {
        return QJsonObject {{"name", v}, {"number", n}, {"root", "vol/" + name + "/" + v}};
    };
    return {{"name", name},
            {"operators", QJsonArray {"ADMIN"}},
            {"objects", objects},
            {"volumes", QJsonArray {volume("SYS", 0), volume("DATA", 1)}},
            {"trustees", trustees},
            {"connections", QJsonArray()},
            {"openFiles", QJsonArray()}};
}

// Trustees U1..Un on path, each with Read, then `rest`.
QJsonArray others(int n, const QJsonArray &rest = {})
{
    QJsonArray list;
    for (int i = 1; i <= n; ++i)
        list.append(trustee("SYS:APPS", QStringLiteral("U%1").arg(i), 1));
    for (const QJsonValue &v : rest)
        list.append(v);
    return list;
}
} // namespace

class TestScanRights : public QObject
{
    Q_OBJECT
private slots:
    // FS2 also has SYS, where JSMITH (another object ID there) has Write,Create.
    void lookup_data()
    {
        QTest::addColumn<QJsonArray>("trustees"); // on FS1
        QTest::addColumn<QString>("volumePath");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("serverName");
        QTest::addColumn<QString>("rights");
        const QString file = "SYS:APPS\\ORDERS.DBF", js = "JSMITH";
        const QJsonArray read {trustee("SYS:APPS", js, 0x01)};
        const auto row
            = [&](const char *name, const QJsonArray &on, const QString &user, const char *rights,
                  const char *serverName = "", const char *path = nullptr) {
                  QTest::newRow(name) << on << (path ? QString(path) : file) << user
                                      << QString(serverName) << QString(rights);
              };
        row("last path wins, whatever the file's folder",
            {trustee("SYS:APPS", js, 0x41), trustee("SYS:PUBLIC", js, 0x03)}, js, "Read,Write");
        row("last match wins even with no words",
            {trustee("SYS:APPS", js, 0x41), trustee("SYS:PUBLIC", js, 0x04)}, js, "");
        row("other trustees and volumes ignored",
            {trustee("SYS:APPS", "U1", 0x1FB), trustee("SYS:APPS", js, 0x01),
             trustee("DATA:X", js, 0x02)},
            js, "Read");
        row("a path on another volume is not the file's",
            {trustee("SYS:APPS", js, 0x01), trustee("SYS:PUBLIC", js, 0x02),
             trustee("DATA:APPS", js, 0x08)},
            js, "Write");
        // Handed out as stored, asked for as handed out: one path however spelt.
        row("a path stored in lower case, and again in upper case",
            {trustee("sys:apps", js, 0x01), trustee("SYS:APPS", "U1", 0x1FB),
             trustee("SYS:Apps", js, 0x02)},
            js, "Write");
        row("file on the second volume",
            {trustee("SYS:APPS", js, 0x01), trustee("DATA:APPS", js, 0x08)}, js, "Create", "",
            "DATA:APPS\\LEDGER.DAT");
        row("match in the second block of a path", others(20, {trustee("SYS:APPS", js, 0x80)}), js,
            "Modify");
        // Twenty trustees fill one block; the next block's first slot is empty,
        // and the request after it fails: the lookup goes on with the next path.
        row("block with empty first slot, next path still read",
            others(19, {trustee("SYS:APPS", js, 0x01), trustee("SYS:PUBLIC", js, 0x02)}), js,
            "Write");
        // The scan's upper case of "ÿves" is 0x9F in the client's code page.
        row("name beyond Latin-1", {trustee("SYS:APPS", QStringLiteral("\u00FFves"), 0x01)},
            QStringLiteral("\u0178VES"), "Read");
        // Object 1, ADMIN, holds rights: an ID left unset must not name it.
        row("unknown user", others(3, {trustee("SYS:APPS", "ADMIN", 0x01)}), "NOBODY", "");
        row("unknown volume", read, js, "", "", "NOVOL:APPS\\ORDERS.DBF");
        row("same-named volume, second server named", read, js, "Write,Create", "FS2");
        row("same-named volume, first server named", read, js, "Read", "FS1");
    }

    void lookup()
    {
        QFETCH(QJsonArray, trustees);
        trustees.append(trustee("SYS:HOME", "U25", 0x03)); // asked next
        QFETCH(QString, volumePath);
        QFETCH(QString, user);
        QFETCH(QString, serverName);
        QFETCH(QString, rights);
        QTemporaryDir dir;
        const QJsonArray servers {server("FS1", 1000, trustees),
                                  server("FS2", 5000, {trustee("SYS:APPS", "JSMITH", 0x0A)})};
        for (const char *path : {"FS1/SYS", "FS1/DATA", "FS2/SYS", "FS2/DATA"})
            QDir(dir.path()).mkpath(QStringLiteral("vol/") + path);
        QFile f(dir.filePath("network.json"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(
            QJsonDocument(QJsonObject {{"format", "velmora-netsim/1"},
                                       {"workstation",
                                        QJsonObject {{"login", "ADMIN"},
                                                     {"drives", QJsonObject {{"F", "FS1/SYS:"}}}}},
                                       {"servers", servers}})
                .toJson());
        f.close();
        qputenv("NWSIM_NETWORK", QFile::encodeName(f.fileName()));
        QCOMPARE(NWCallsInit(nullptr, nullptr), NWCCODE(NW_SUCCESS));
        QCOMPARE(LookUpTrusteeRights(volumePath, user, serverName), rights);
        // The next user of a scan gets its own paths, not the last user's.
        QCOMPARE(LookUpTrusteeRights("SYS:APPS\\ORDERS.DBF", "U25", "FS1"), "Read,Write");
    }
};

QTEST_GUILESS_MAIN(TestScanRights)
#include "tst_scan_rights.moc"
