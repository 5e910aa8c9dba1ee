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

QJsonObject server(const QString &name, const QJsonArray &objects, const QJsonArray &trustees)
{
    return {{"name", name},
            {"operators", QJsonArray{"ADMIN"}},
            {"volumes", QJsonArray{QJsonObject{{"name", "SYS"}, {"number", 0}, {"root", "vol/" + name + "/SYS"}},
                                   QJsonObject{{"name", "DATA"}, {"number", 1}, {"root", "vol/" + name + "/DATA"}}}},
            {"objects", objects},
            {"connections", QJsonArray()},
            {"openFiles", QJsonArray()},
            {"trustees", trustees}};
}

// The directory of FS1: JSMITH and twenty-odd other users.
QJsonArray users(int firstId)
{
    QJsonArray objects{QJsonObject{{"name", "ADMIN"}, {"id", 1}},
                       QJsonObject{{"name", "JSMITH"}, {"id", firstId}}};
    for (int i = 1; i <= 25; ++i)
        objects.append(QJsonObject{{"name", QStringLiteral("U%1").arg(i)}, {"id", firstId + i}});
    return objects;
}

// Trustees U1..Un on path, each with Read.
QJsonArray others(const QString &path, int n)
{
    QJsonArray list;
    for (int i = 1; i <= n; ++i)
        list.append(trustee(path, QStringLiteral("U%1").arg(i), 1));
    return list;
}

QJsonArray operator+(QJsonArray a, const QJsonArray &b)
{
    for (const QJsonValue &v : b)
        a.append(v);
    return a;
}

// Writes the description, points the client at it and starts the client anew.
bool startNetwork(const QTemporaryDir &dir, const QJsonArray &servers)
{
    const QJsonObject net{{"format", "velmora-netsim/1"},
                          {"workstation", QJsonObject{{"login", "ADMIN"},
                                                      {"drives", QJsonObject{{"F", "FS1/SYS:"}}}}},
                          {"servers", servers}};
    for (const QJsonValue &s : servers)
        for (const char *vol : {"/SYS", "/DATA"})
            QDir(dir.path()).mkpath("vol/" + s.toObject()["name"].toString() + vol);
    QFile f(dir.filePath("network.json"));
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(QJsonDocument(net).toJson());
    f.close();
    qputenv("NWSIM_NETWORK", QFile::encodeName(f.fileName()));
    return NWCallsInit(nullptr, nullptr) == NW_SUCCESS;
}

} // namespace

class TestScanRights : public QObject
{
    Q_OBJECT
private slots:
    void lookup_data();
    void lookup();
    void sameVolumeOnTwoServers_data();
    void sameVolumeOnTwoServers();
};

void TestScanRights::lookup_data()
{
    QTest::addColumn<QJsonArray>("trustees");
    QTest::addColumn<QString>("volumePath");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("rights");

    const QString file = QStringLiteral("SYS:APPS\\ORDERS.DBF");
    const QString jsmith = QStringLiteral("JSMITH");
    QTest::newRow("one path") << QJsonArray{trustee("SYS:APPS", jsmith, 0x41)} << file << jsmith
                              << "Read,FileScan";
    QTest::newRow("last path wins, whatever the file's folder")
        << QJsonArray{trustee("SYS:APPS", jsmith, 0x41), trustee("SYS:PUBLIC", jsmith, 0x03)} << file
        << jsmith << "Read,Write";
    QTest::newRow("last match wins even with no words")
        << QJsonArray{trustee("SYS:APPS", jsmith, 0x41), trustee("SYS:PUBLIC", jsmith, 0x04)} << file
        << jsmith << "";
    QTest::newRow("other trustees of the path ignored")
        << QJsonArray{trustee("SYS:APPS", "U1", 0x1FB), trustee("SYS:APPS", jsmith, 0x01),
                      trustee("SYS:APPS", "U2", 0x02)}
        << file << jsmith << "Read";
    QTest::newRow("other volume not looked at")
        << QJsonArray{trustee("SYS:APPS", jsmith, 0x01), trustee("DATA:X", jsmith, 0x02)} << file
        << jsmith << "Read";
    QTest::newRow("match in the second block of a path")
        << others("SYS:APPS", 20) + QJsonArray{trustee("SYS:APPS", jsmith, 0x80)} << file << jsmith
        << "Modify";
    // Twenty trustees fill one block; the next block's first slot is empty,
    // and the request after it fails: the lookup goes on with the next path.
    QTest::newRow("empty block ends the path, next path still read")
        << others("SYS:APPS", 19) + QJsonArray{trustee("SYS:APPS", jsmith, 0x01),
                                                trustee("SYS:PUBLIC", jsmith, 0x02)}
        << file << jsmith << "Write";
    QTest::newRow("no trustee paths") << others("SYS:APPS", 3) << file << jsmith << "";
    QTest::newRow("unknown user") << others("SYS:APPS", 3) << file << "NOBODY" << "";
    QTest::newRow("unknown volume") << QJsonArray{trustee("SYS:APPS", jsmith, 0x01)}
                                    << "NOVOL:APPS\\ORDERS.DBF" << jsmith << "";
}

void TestScanRights::lookup()
{
    QFETCH(QJsonArray, trustees);
    QFETCH(QString, volumePath);
    QFETCH(QString, user);
    QFETCH(QString, rights);
    QTemporaryDir dir;
    QVERIFY(startNetwork(dir, {server("FS1", users(1000), trustees)}));
    QCOMPARE(LookUpTrusteeRights(volumePath, user), rights);
}

void TestScanRights::sameVolumeOnTwoServers_data()
{
    QTest::addColumn<QString>("serverName");
    QTest::addColumn<QString>("rights");
    QTest::newRow("second server named") << "FS2" << "Write,Create";
    QTest::newRow("first server named") << "FS1" << "Read";
    QTest::newRow("no server: the first with the volume") << "" << "Read";
}

void TestScanRights::sameVolumeOnTwoServers()
{
    QFETCH(QString, serverName);
    QFETCH(QString, rights);
    QTemporaryDir dir;
    // JSMITH has another object ID on FS2, so the name must be mapped there too.
    QVERIFY(startNetwork(dir, {server("FS1", users(1000), {trustee("SYS:APPS", "JSMITH", 0x01)}),
                               server("FS2", users(5000), {trustee("SYS:APPS", "JSMITH", 0x0A)})}));
    QCOMPARE(LookUpTrusteeRights(QStringLiteral("SYS:APPS\\ORDERS.DBF"), QStringLiteral("JSMITH"),
                                 serverName),
             rights);
}

QTEST_GUILESS_MAIN(TestScanRights)
#include "tst_scan_rights.moc"
