// The client calls answered from description files in a temporary folder.
#include "netsim_test_util.h"
#include "netware/mapped_drives.h"

#include <QtTest>

#include <cstring>

using namespace testnet;

namespace {

// Connection numbers per batch until the call stops delivering.
QList<QList<int>> scanBatches(NWCONN_HANDLE conn, const char *volumePath, NWCCODE *last)
{
    QList<QList<int>> batches;
    nint16 iteration = 0;
    CONN_USING_FILE one;
    CONNS_USING_FILE all;
    while ((*last = NWScanConnectionsUsingFile(conn, 0, volumePath, &iteration, &one, &all)) == 0
           && batches.size() < 10) {
        QList<int> numbers;
        for (int i = 0; i < all.connCount; ++i)
            numbers.append(all.connInfo[i].connNumber);
        batches.append(numbers);
        ++iteration;
    }
    return batches;
}

QList<QList<int>> scanBatches(const char *volumePath)
{
    NWCCODE last = 0;
    return scanBatches(handle("F:\\X"), volumePath, &last);
}

} // namespace

class TestNwCalls : public QObject
{
    Q_OBJECT
private slots:
    void loadsOnlyGoodFiles();
    void batches_data();
    void batches();
    void pathMatchIgnoresCase_data();
    void pathMatchIgnoresCase();
    void parsePath_data();
    void parsePath();
    void nonOperatorHasNoRights();
    void overlongNamesAreCut();
    void connectionInformation();
    void trusteePaths();
    void directoryTrusteeBlocks_data();
    void directoryTrusteeBlocks();
    void broadcast_data();
    void broadcast();
    void clearRemovesConnectionAndUses();
    void rereadsChangedFile();
    void keepsLastGoodStateWhenFileBreaks();

private:
    QTemporaryDir m_dir;
    QString start(const QJsonObject &net)
    {
        const QString file = write(m_dir, net);
        if (testnet::init(file) != 0)
            qFatal("simulated network did not load");
        return file;
    }
};

void TestNwCalls::loadsOnlyGoodFiles()
{
    QVERIFY(NWClientMappedDrives().isEmpty());
    QCOMPARE(handle("F:\\X"), NWCONN_HANDLE(0));
    QVERIFY(testnet::init(m_dir.filePath("missing.json")) != 0);
    QVERIFY(NWClientMappedDrives().isEmpty());
    start(network());
    const QList<NetworkDrive> drives = NWClientMappedDrives();
    QCOMPARE(drives.size(), 3);
    QCOMPARE(drives[1].letter, 'G');
    QCOMPARE(drives[1].nativeRoot, QDir(m_dir.path()).absoluteFilePath("volumes/FS2/DATA"));
}

void TestNwCalls::batches_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<QList<int>>("sizes");
    QTest::newRow("150 entries") << 150 << QList<int>{70, 70, 10};
    QTest::newRow("140 entries") << 140 << QList<int>{70, 70};
    QTest::newRow("none") << 0 << QList<int>{};
}

void TestNwCalls::batches()
{
    QFETCH(int, entries);
    QFETCH(QList<int>, sizes);
    QJsonObject net = network();
    QJsonArray uses;
    for (int i = 0; i < entries; ++i)
        uses.append(use("SYS:APPS\\BIG.DBF", 1000 + i, i));
    set(net, 0, "openFiles", uses);
    start(net);
    NWCCODE last = 0;
    QList<int> gotSizes, order, expectedOrder;
    for (const QList<int> &b : scanBatches(handle("F:\\APPS\\BIG.DBF"), "SYS:APPS\\BIG.DBF", &last)) {
        gotSizes.append(b.size());
        order += b;
    }
    for (int i = 0; i < entries; ++i)
        expectedOrder.append(1000 + i);
    QCOMPARE(gotSizes, sizes);
    QCOMPARE(order, expectedOrder);
    QCOMPARE(last, NWCCODE(NW_ERR_NO_MORE_ENTRIES));
}

void TestNwCalls::pathMatchIgnoresCase_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QByteArray>("scanned");
    QTest::addColumn<int>("count");
    QTest::newRow("stored lower") << "sys:apps\\orders.dbf" << QByteArray("SYS:APPS\\ORDERS.DBF") << 1;
    QTest::newRow("scanned mixed") << "SYS:APPS\\ORDERS.DBF" << QByteArray("Sys:Apps\\Orders.dbf") << 1;
    QTest::newRow("other file") << "SYS:APPS\\ORDERS.DBF" << QByteArray("SYS:APPS\\ORDERS.DB") << 0;
}

void TestNwCalls::pathMatchIgnoresCase()
{
    QFETCH(QString, stored);
    QFETCH(QByteArray, scanned);
    QJsonObject net = network();
    set(net, 0, "openFiles", QJsonArray{use(stored, 5)});
    start(net);
    const auto got = scanBatches(scanned.constData());
    QTEST(got.isEmpty() ? 0 : int(got[0].size()), "count");
}

void TestNwCalls::parsePath_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("server"); // empty: does not parse
    QTest::addColumn<QByteArray>("volume");
    QTest::addColumn<QByteArray>("dir");
    QTest::newRow("mapped drive, lower case") << QByteArray("f:\\APPS\\ORDERS.DBF") << QByteArray("FS1") << QByteArray("SYS") << QByteArray("APPS\\ORDERS.DBF");
    QTest::newRow("drive mapped in lower case") << QByteArray("G:\\L.DAT") << QByteArray("FS2") << QByteArray("DATA") << QByteArray("L.DAT");
    QTest::newRow("drive root") << QByteArray("F:\\") << QByteArray("FS1") << QByteArray("SYS") << QByteArray();
    QTest::newRow("server and volume") << QByteArray("fs3/data:X") << QByteArray("FS3") << QByteArray("DATA") << QByteArray("X");
    QTest::newRow("volume on first server having it") << QByteArray("DATA:X\\Y") << QByteArray("FS2") << QByteArray("DATA") << QByteArray("X\\Y");
    QTest::newRow("local drive c:") << QByteArray("c:\\AUTOEXEC.BAT") << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("unmapped drive") << QByteArray("Q:\\X.DBF") << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("no drive") << QByteArray("\\APPS\\ORDERS.DBF") << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("bare file name") << QByteArray("ORDERS.DBF") << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("unknown volume on server") << QByteArray("FS1/DATA:X") << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("second colon") << QByteArray("F:\\A:B") << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("longer than a path") << "F:\\" + QByteArray(300, 'A') << QByteArray() << QByteArray() << QByteArray();
}

void TestNwCalls::parsePath()
{
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, server);
    start(network());
    char srv[NW_SERVER_NAME_LEN] = "old", volume[32] = {}, dir[NW_DIR_PATH_LEN] = {};
    NWCONN_HANDLE conn = 77;
    const NWCCODE rc = NWParsePath(path.constData(), srv, &conn, volume, dir);
    QCOMPARE(rc == 0, !server.isEmpty());
    QCOMPARE(QByteArray(srv), server);
    if (rc != 0) {
        QCOMPARE(conn, NWCONN_HANDLE(77));
        return;
    }
    QTEST(QByteArray(volume), "volume");
    QTEST(QByteArray(dir), "dir");
    QCOMPARE(handle(path.constData()), handle(server + "/" + volume + ":")); // one handle per server
}

void TestNwCalls::nonOperatorHasNoRights()
{
    const QString file = start(network());
    NWCCODE last = 0;
    QVERIFY(scanBatches(handle("H:\\X"), "DATA:APPS\\ORDERS.DBF", &last).isEmpty());
    QCOMPARE(last, NWCCODE(NW_ERR_NO_RIGHTS));
    const QByteArray before = read(file);
    QVERIFY(NWClearConnectionNumber(handle("H:\\X"), 5) != 0);
    QCOMPARE(read(file), before);
}

void TestNwCalls::overlongNamesAreCut()
{
    const QString longServer(60, 'S');
    QJsonObject net = network();
    QJsonArray servers = net["servers"].toArray();
    QJsonObject s = servers[0].toObject();
    s["name"] = longServer;
    s["volumes"] = QJsonArray{obj(R"({"name": "VOLUMENAME16CHRS", "number": 0, "root": "v"})")};
    s["connections"] = QJsonArray{conn(5, QString(300, 'U'))};
    servers.append(s);
    net["servers"] = servers;
    start(net);

    struct
    {
        char server[NW_SERVER_NAME_LEN], canary1[8], volume[32], canary2[8], dir[NW_DIR_PATH_LEN], canary3[8];
        char name[NW_OBJECT_NAME_LEN], canary4[8];
    } out;
    std::memset(&out, 'x', sizeof out);
    NWCONN_HANDLE h = 0;
    const QByteArray path = longServer.toLatin1() + "/volumename16chrs:A\\B";
    QCOMPARE(NWParsePath(path.constData(), out.server, &h, out.volume, out.dir), NWCCODE(0));
    nuint8 login[NW_LOGIN_TIME_LEN];
    QCOMPARE(NWGetConnectionInformation(h, 5, out.name, nullptr, nullptr, login), NWCCODE(0));
    QCOMPARE(QByteArray(out.server), longServer.left(NW_SERVER_NAME_LEN - 1).toLatin1());
    QCOMPARE(QByteArray(out.volume), QByteArray("VOLUMENAME16CHRS"));
    QCOMPARE(QByteArray(out.name), QByteArray(NW_OBJECT_NAME_LEN - 1, 'U'));
    for (const char *canary : {out.canary1, out.canary2, out.canary3, out.canary4})
        QCOMPARE(QByteArray(canary, 8), QByteArray(8, 'x'));
}

void TestNwCalls::connectionInformation()
{
    QJsonObject net = network();
    QJsonObject absent = conn(6, "ADMIN"), null = conn(7, "ADMIN");
    absent.remove("address");
    null["address"] = QJsonValue::Null;
    set(net, 0, "connections", QJsonArray{conn(5, "JSMITH"), absent, null});
    start(net);
    const NWCONN_HANDLE h = handle("F:\\X");
    char name[NW_OBJECT_NAME_LEN];
    nuint16 type = 0;
    nuint32 id = 0;
    nuint8 login[NW_LOGIN_TIME_LEN];
    QCOMPARE(NWGetConnectionInformation(h, 5, name, &type, &id, login), NWCCODE(0));
    QCOMPARE(QByteArray(name), QByteArray("JSMITH"));
    QCOMPARE(id, nuint32(1001));
    QCOMPARE(QByteArray(reinterpret_cast<char *>(login), 7), QByteArray("\x63\x0c\x06\x09\x05\x00\x01", 7)); // a Monday
    QVERIFY(NWGetConnectionInformation(h, 99, name, &type, &id, login) != 0);
    NWINET_ADDR addr;
    QCOMPARE(NWGetInetAddr(h, 5, &addr), NWCCODE(0));
    QCOMPARE(addr.networkAddr[3], nuint8(3));
    for (nuint16 number : {6, 7, 99}) { // no address, null address, no connection: the record stays
        std::memset(&addr, 0xAB, sizeof addr);
        QVERIFY(NWGetInetAddr(h, number, &addr) != 0);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(&addr), sizeof addr), QByteArray(sizeof addr, char(0xAB)));
    }
}

void TestNwCalls::trusteePaths()
{
    QJsonObject net = network();
    set(net, 0, "volumes", QJsonDocument::fromJson(R"([{"name": "SYS", "number": 0, "root": "v/S"},
        {"name": "VOL1", "number": 3, "root": "v/V"}])").array());
    set(net, 0, "trustees", QJsonDocument::fromJson(R"([{"path": "SYS:APPS", "object": "JSMITH", "rights": 65},
        {"path": "VOL1:X", "object": "JSMITH", "rights": 1}, {"path": "SYS:", "object": "ADMIN", "rights": 507},
        {"path": "sys:Apps/Data", "object": "jsmith", "rights": 11}])").array());
    start(net);
    const NWCONN_HANDLE h = handle("F:\\X");
    NWDSContextHandle ctx = 0;
    nuint32 id = 0;
    QCOMPARE(NWDSCreateContextHandle(&ctx), NWDSCCODE(0));
    QVERIFY(NWDSMapNameToID(ctx, h, "NOBODY", &id) != 0);
    QCOMPARE(id, nuint32(0));
    QCOMPARE(NWDSMapNameToID(ctx, h, "jSmith", &id), NWDSCCODE(0));
    NWDSFreeContext(ctx);
    nuint16 volume = 99, iteration = 0xFFFF;
    QCOMPARE(NWGetVolumeNumber(h, "sys", &volume), NWCCODE(0));
    QStringList paths;
    char path[NW_TRUSTEE_PATH_LEN];
    nuint8 r = 0;
    while (NWScanObjectTrusteePaths(h, id, volume, &iteration, &r, path) == 0 && paths.size() < 10)
        paths.append(QString::fromLatin1(path) + "=" + QString::number(r));
    QCOMPARE(paths, (QStringList{"SYS:APPS=65", "SYS:Apps\\Data=11"}));
}

void TestNwCalls::directoryTrusteeBlocks_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("trustees");
    QTest::addColumn<QList<int>>("filled"); // used slots per delivered block
    QTest::newRow("25 trustees") << "SYS:APPS" << 25 << QList<int>{20, 5};
    QTest::newRow("exactly 20: last block starts empty") << "SYS:APPS" << 20 << QList<int>{20, 0};
    QTest::newRow("existing folder without trustees") << "SYS:APPS" << 0 << QList<int>{0};
    QTest::newRow("unknown folder") << "SYS:NOWHERE" << 0 << QList<int>{};
}

void TestNwCalls::directoryTrusteeBlocks()
{
    QFETCH(QString, path);
    QFETCH(int, trustees);
    QJsonObject net = network();
    QJsonArray objects, assigned{obj(R"({"path": "SYS:PUBLIC", "object": "ADMIN", "rights": 1})")};
    for (int i = 0; i < trustees; ++i) {
        objects.append(QJsonObject{{"name", QString("U%1").arg(i)}, {"id", 100 + i}});
        assigned.append(QJsonObject{{"path", i % 2 ? "sys:apps\\" : "SYS:APPS"}, {"object", QString("U%1").arg(i)}, {"rights", i}});
    }
    objects.append(obj(R"({"name": "ADMIN", "id": 1})"));
    set(net, 0, "objects", objects);
    set(net, 0, "trustees", assigned);
    start(net);
    QList<int> filled, ids, expectedIds;
    nuint32 iteration = 0;
    TRUSTEE_INFO block[NW_TRUSTEES_PER_BLOCK];
    while (NWScanDirectoryForTrustees2(handle("F:\\X"), 0, path.toLatin1().constData(), &iteration, nullptr,
                                       nullptr, nullptr, block) == 0 && filled.size() < 10) {
        filled.append(0);
        for (const TRUSTEE_INFO &t : block) {
            if (t.objectID == 0)
                continue;
            QCOMPARE(filled.last()++, int(&t - block)); // no gaps before empty slots
            QCOMPARE(int(t.objectRights), int(t.objectID) - 100);
            ids.append(int(t.objectID));
        }
    }
    for (int i = 0; i < trustees; ++i)
        expectedIds.append(100 + i);
    QTEST(filled, "filled");
    QCOMPARE(ids, expectedIds);
}

void TestNwCalls::broadcast_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("length");
    QTest::newRow("255 bytes is accepted") << 5 << 255;
    QTest::newRow("256 bytes") << 5 << 256;
    QTest::newRow("does not accept messages") << 6 << 5;
    QTest::newRow("no such connection") << 7 << 5;
}

void TestNwCalls::broadcast()
{
    QFETCH(int, number);
    QFETCH(int, length);
    QJsonObject net = network();
    net["x-top"] = "kept";
    QJsonObject c = conn(5, "JSMITH"), deaf = conn(6, "ADMIN");
    c["x-desk"] = 42;
    deaf["acceptsMessages"] = false;
    set(net, 0, "connections", QJsonArray{c, deaf});
    const QString file = start(net);
    const QByteArray before = read(file);
    const QByteArray text = QString(length, QChar(0xFC)).toLatin1(); // not ASCII
    const nuint16 list[1] = {nuint16(number)};
    nuint8 result[1] = {0x55};
    const bool accepted = number == 5 && length <= 255;
    QCOMPARE(NWSendBroadcastMessage(handle("F:\\X"), text.constData(), 1, list, result) == 0, accepted);
    QVERIFY(!QFileInfo::exists(file + ".lock"));
    if (!accepted) {
        QCOMPARE(read(file), before);
        return;
    }
    QCOMPARE(result[0], nuint8(0));
    const QJsonObject after = QJsonDocument::fromJson(read(file)).object();
    QCOMPARE(after["x-top"].toString(), QString("kept"));
    const QJsonObject stored = after["servers"][0]["connections"][0].toObject();
    QCOMPARE(stored["x-desk"].toInt(), 42);
    QCOMPARE(stored["messages"].toArray().size(), 1);
    QCOMPARE(stored["messages"][0]["from"].toString(), QString("ADMIN"));
    QCOMPARE(stored["messages"][0]["text"].toString(), QString(length, QChar(0xFC)));
    QVERIFY(QDateTime::fromString(stored["messages"][0]["at"].toString(), "yyyy-MM-dd HH:mm:ss").isValid());
}

void TestNwCalls::clearRemovesConnectionAndUses()
{
    QJsonObject net = network();
    set(net, 0, "connections", QJsonArray{conn(5, "JSMITH"), conn(6, "ADMIN")});
    set(net, 0, "openFiles", QJsonArray{use("SYS:A", 5), use("SYS:A", 6), use("SYS:B", 5, 2)});
    const QString file = start(net);
    QCOMPARE(NWClearConnectionNumber(handle("F:\\X"), 5), NWCCODE(0));
    QVERIFY(NWClearConnectionNumber(handle("F:\\X"), 5) != 0);
    QCOMPARE(scanBatches("SYS:A"), (QList<QList<int>>{{6}}));
    QVERIFY(scanBatches("SYS:B").isEmpty());
    QCOMPARE(QJsonDocument::fromJson(read(file))["servers"][0]["openFiles"].toArray().size(), 1);
}

void TestNwCalls::rereadsChangedFile()
{
    QJsonObject net = network();
    const QString file = start(net);
    CONN_USING_FILE one;
    CONNS_USING_FILE all;
    nint16 it = 0;
    QCOMPARE(NWScanConnectionsUsingFile(handle("F:\\X"), 0, "SYS:APPS\\ORDERS.DBF", &it, &one, &all), NWCCODE(0));
    QCOMPARE(all.connInfo[0].lockFlag, nuint8(0));
    // Same size, and possibly the same timestamp: the content still counts.
    QJsonObject locked = use("SYS:APPS\\ORDERS.DBF", 5);
    locked["lockFlag"] = 1;
    set(net, 0, "openFiles", QJsonArray{locked});
    const qint64 size = read(file).size();
    write(m_dir, net);
    QCOMPARE(read(file).size(), size);
    QCOMPARE(NWScanConnectionsUsingFile(handle("F:\\X"), 0, "SYS:APPS\\ORDERS.DBF", &it, &one, &all), NWCCODE(0));
    QCOMPARE(all.connInfo[0].lockFlag, nuint8(1));
}

void TestNwCalls::keepsLastGoodStateWhenFileBreaks()
{
    const QString file = start(network());
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("{ half written");
    f.close();
    NWCCODE rc = 1;
    handle("F:\\X", &rc);
    QCOMPARE(rc, NWCCODE(0)); // the last good state answers
    const nuint16 list[1] = {5};
    QVERIFY(NWSendBroadcastMessage(handle("F:\\X"), "hi", 1, list, nullptr) != 0);
    QCOMPARE(read(file), QByteArray("{ half written"));
}

QTEST_GUILESS_MAIN(TestNwCalls)
#include "tst_nwcalls.moc"
