// The client calls answered from description files in a temporary folder.
#include "netsim_test_util.h"
#include "netware/mapped_drives.h"
#include "netware/netsim_store.h"
#include "netware/nwcalls.h"

#include <QtTest>

#include <cstring>

namespace {

struct Parsed
{
    NWCCODE rc = 0;
    NWCONN_HANDLE conn = 0;
    QByteArray server, volume, dir;
};

Parsed parse(const char *path)
{
    char server[NW_SERVER_NAME_LEN] = {};
    char volume[32] = {};
    char dir[NW_DIR_PATH_LEN] = {};
    Parsed p;
    p.rc = NWParsePath(path, server, &p.conn, volume, dir);
    p.server = server;
    p.volume = volume;
    p.dir = dir;
    return p;
}

// Connection numbers per batch until the call stops delivering.
QList<QList<int>> scanBatches(NWCONN_HANDLE conn, const char *volumePath, NWCCODE *last)
{
    QList<QList<int>> batches;
    nint16 iteration = 0;
    for (;;) {
        CONN_USING_FILE one;
        CONNS_USING_FILE all;
        *last = NWScanConnectionsUsingFile(conn, 0, volumePath, &iteration, &one, &all);
        if (*last != 0 || batches.size() > 10)
            return batches;
        QList<int> numbers;
        for (int i = 0; i < all.connCount; ++i)
            numbers.append(all.connInfo[i].connNumber);
        batches.append(numbers);
        ++iteration;
    }
}

QJsonArray manyUses(int count)
{
    QJsonArray a;
    for (int i = 0; i < count; ++i)
        a.append(testnet::openFile("SYS:APPS\\BIG.DBF", 1000 + i, i));
    return a;
}

} // namespace

class TestNwCalls : public QObject
{
    Q_OBJECT
private slots:
    void drivesEmptyBeforeInit();
    void initFailsOnBadFile();
    void batches_data();
    void batches();
    void pathMatchIgnoresCase_data();
    void pathMatchIgnoresCase();
    void parsePathOutputs();
    void nonOperatorHasNoRights();
    void overlongNamesAreCut();
    void connectionInformation();
    void absentAddressLeavesRecord();
    void invalidArgumentsFail();
    void trusteePaths();
    void directoryTrusteeBlocks_data();
    void directoryTrusteeBlocks();
    void contexts();
    void broadcastWritesBackKeepingUnknownFields();
    void broadcastRefusals_data();
    void broadcastRefusals();
    void clearRemovesConnectionAndUses();
    void rereadsChangedFile();
    void keepsLastGoodStateWhenFileBreaks();
    void storeReportsEachBadStateOnce();

private:
    QTemporaryDir m_dir;
};

void TestNwCalls::drivesEmptyBeforeInit()
{
    QVERIFY(NWClientMappedDrives().isEmpty());
    QCOMPARE(parse("F:\\APPS\\ORDERS.DBF").rc, NWCCODE(NW_ERR_NOT_INITIALIZED));
    const QString file = testnet::write(m_dir, testnet::network());
    QCOMPARE(testnet::init(file), NWCCODE(0));
    const QList<NetworkDrive> drives = NWClientMappedDrives();
    QCOMPARE(drives.size(), 3);
    QCOMPARE(drives[1].letter, 'G');
    QCOMPARE(drives[1].server, QString("FS2"));
    QCOMPARE(drives[1].nativeRoot, QDir(m_dir.path()).absoluteFilePath("volumes/FS2/DATA"));
}

void TestNwCalls::initFailsOnBadFile()
{
    QJsonObject net = testnet::network();
    testnet::editServer(net, 0, "connections", [](QJsonValue &v) {
        v = QJsonArray{testnet::connection(5, "A"), testnet::connection(5, "B")};
    });
    const QString file = testnet::write(m_dir, net, "bad.json");
    const QByteArray before = testnet::read(file);
    QVERIFY(testnet::init(file) != 0);
    QVERIFY(NWClientMappedDrives().isEmpty());
    QVERIFY(testnet::init(m_dir.filePath("missing.json")) != 0);
    QCOMPARE(testnet::read(file), before);
}

void TestNwCalls::batches_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<QList<int>>("sizes");
    QTest::newRow("150 entries") << 150 << QList<int>{70, 70, 10};
    QTest::newRow("140 entries") << 140 << QList<int>{70, 70};
    QTest::newRow("one entry") << 1 << QList<int>{1};
    QTest::newRow("none") << 0 << QList<int>{};
}

void TestNwCalls::batches()
{
    QFETCH(int, entries);
    QFETCH(QList<int>, sizes);
    QJsonObject net = testnet::network();
    testnet::editServer(net, 0, "openFiles", [&](QJsonValue &v) { v = manyUses(entries); });
    QCOMPARE(testnet::init(testnet::write(m_dir, net)), NWCCODE(0));
    const Parsed p = parse("F:\\APPS\\BIG.DBF");
    QCOMPARE(p.rc, NWCCODE(0));
    NWCCODE last = 0;
    const QList<QList<int>> got = scanBatches(p.conn, "SYS:APPS\\BIG.DBF", &last);
    QList<int> gotSizes, order;
    for (const QList<int> &b : got) {
        gotSizes.append(b.size());
        order += b;
    }
    QCOMPARE(gotSizes, sizes);
    QVERIFY(last != 0 && last != NW_ERR_NO_RIGHTS);
    for (int i = 0; i < order.size(); ++i)
        QCOMPARE(order[i], 1000 + i);
}

void TestNwCalls::pathMatchIgnoresCase_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QByteArray>("scanned");
    QTest::addColumn<int>("count");
    QTest::newRow("same case") << "SYS:APPS\\ORDERS.DBF" << QByteArray("SYS:APPS\\ORDERS.DBF") << 1;
    QTest::newRow("stored lower") << "sys:apps\\orders.dbf" << QByteArray("SYS:APPS\\ORDERS.DBF") << 1;
    QTest::newRow("scanned mixed") << "SYS:APPS\\ORDERS.DBF" << QByteArray("Sys:Apps\\Orders.dbf") << 1;
    QTest::newRow("other file") << "SYS:APPS\\ORDERS.DBF" << QByteArray("SYS:APPS\\ORDERS.DB") << 0;
}

void TestNwCalls::pathMatchIgnoresCase()
{
    QFETCH(QString, stored);
    QFETCH(QByteArray, scanned);
    QFETCH(int, count);
    QJsonObject net = testnet::network();
    testnet::editServer(net, 0, "openFiles", [&](QJsonValue &v) { v = QJsonArray{testnet::openFile(stored, 5)}; });
    QCOMPARE(testnet::init(testnet::write(m_dir, net)), NWCCODE(0));
    NWCCODE last = 0;
    const auto got = scanBatches(parse("F:\\X").conn, scanned.constData(), &last);
    QCOMPARE(got.isEmpty() ? 0 : got[0].size(), count);
}

void TestNwCalls::parsePathOutputs()
{
    QCOMPARE(testnet::init(testnet::write(m_dir, testnet::network())), NWCCODE(0));
    const Parsed f = parse("f:\\APPS\\ORDERS.DBF");
    QCOMPARE(f.rc, NWCCODE(0));
    QCOMPARE(f.server, QByteArray("FS1"));
    QCOMPARE(f.volume, QByteArray("SYS"));
    QCOMPARE(f.dir, QByteArray("APPS\\ORDERS.DBF"));
    const Parsed g = parse("FS2/DATA:X");
    QVERIFY(g.conn != 0 && g.conn != f.conn);
    QCOMPARE(parse("F:\\").conn, f.conn); // stable per server
    QCOMPARE(parse("F:\\").dir, QByteArray());

    char server[NW_SERVER_NAME_LEN] = "old";
    NWCONN_HANDLE conn = 77;
    QVERIFY(NWParsePath("C:\\AUTOEXEC.BAT", server, &conn, nullptr, nullptr) != 0);
    QCOMPARE(conn, NWCONN_HANDLE(77));
    QCOMPARE(server[0], '\0');
    const QByteArray tooLong = "F:\\" + QByteArray(300, 'A');
    QVERIFY(parse(tooLong.constData()).rc != 0);
}

void TestNwCalls::nonOperatorHasNoRights()
{
    const QString file = testnet::write(m_dir, testnet::network());
    QCOMPARE(testnet::init(file), NWCCODE(0));
    const Parsed h = parse("H:\\APPS\\ORDERS.DBF");
    QCOMPARE(h.server, QByteArray("FS3"));
    NWCCODE last = 0;
    QVERIFY(scanBatches(h.conn, "DATA:APPS\\ORDERS.DBF", &last).isEmpty());
    QCOMPARE(last, NWCCODE(NW_ERR_NO_RIGHTS));
    const QByteArray before = testnet::read(file);
    QVERIFY(NWClearConnectionNumber(h.conn, 5) != 0);
    QCOMPARE(testnet::read(file), before);
    // Operator names compare without regard to case ("admin" on FS1).
    QVERIFY(!scanBatches(parse("F:\\X").conn, "SYS:APPS\\ORDERS.DBF", &last).isEmpty());
}

void TestNwCalls::overlongNamesAreCut()
{
    const QString longServer(60, 'S');
    const QString longUser(300, 'U');
    QJsonObject net = testnet::network();
    QJsonArray servers = net["servers"].toArray();
    QJsonObject s = testnet::server(longServer, "VOLUMENAME16CHRS", {"ADMIN"});
    s["connections"] = QJsonArray{testnet::connection(5, longUser)};
    servers.append(s);
    net["servers"] = servers;
    QCOMPARE(testnet::init(testnet::write(m_dir, net)), NWCCODE(0));

    struct
    {
        char server[NW_SERVER_NAME_LEN];
        char canary1[8];
        char volume[32];
        char canary2[8];
        char dir[NW_DIR_PATH_LEN];
        char canary3[8];
    } out;
    std::memset(&out, 'x', sizeof out);
    NWCONN_HANDLE conn = 0;
    const QByteArray path = longServer.toLatin1() + "/volumename16chrs:A\\B";
    QCOMPARE(NWParsePath(path.constData(), out.server, &conn, out.volume, out.dir), NWCCODE(0));
    QCOMPARE(QByteArray(out.server), longServer.left(NW_SERVER_NAME_LEN - 1).toLatin1());
    QCOMPARE(QByteArray(out.volume), QByteArray("VOLUMENAME16CHRS"));
    QCOMPARE(QByteArray(out.canary1, 8), QByteArray(8, 'x'));
    QCOMPARE(QByteArray(out.canary2, 8), QByteArray(8, 'x'));
    QCOMPARE(QByteArray(out.canary3, 8), QByteArray(8, 'x'));

    struct
    {
        char name[NW_OBJECT_NAME_LEN];
        char canary[8];
    } info;
    std::memset(&info, 'x', sizeof info);
    nuint8 login[NW_LOGIN_TIME_LEN];
    QCOMPARE(NWGetConnectionInformation(conn, 5, info.name, nullptr, nullptr, login), NWCCODE(0));
    QCOMPARE(qstrlen(info.name), uint(NW_OBJECT_NAME_LEN - 1));
    QCOMPARE(QByteArray(info.canary, 8), QByteArray(8, 'x'));
}

void TestNwCalls::connectionInformation()
{
    QCOMPARE(testnet::init(testnet::write(m_dir, testnet::network())), NWCCODE(0));
    const NWCONN_HANDLE conn = parse("F:\\X").conn;
    char name[NW_OBJECT_NAME_LEN];
    nuint16 type = 0;
    nuint32 id = 0;
    nuint8 login[NW_LOGIN_TIME_LEN];
    QCOMPARE(NWGetConnectionInformation(conn, 5, name, &type, &id, login), NWCCODE(0));
    QCOMPARE(QByteArray(name), QByteArray("JSMITH"));
    QCOMPARE(id, nuint32(1001));
    const nuint8 expected[7] = {99, 12, 6, 9, 5, 0, 1}; // a Monday
    QCOMPARE(QByteArray(reinterpret_cast<char *>(login), 7), QByteArray(reinterpret_cast<const char *>(expected), 7));
    QVERIFY(NWGetConnectionInformation(conn, 6, name, &type, &id, login) != 0);

    NWINET_ADDR addr;
    QCOMPARE(NWGetInetAddr(conn, 5, &addr), NWCCODE(0));
    QCOMPARE(addr.connType & 0xFF, int(NW_CONN_IP));
    QCOMPARE(addr.networkAddr[3], nuint8(3));
}

void TestNwCalls::absentAddressLeavesRecord()
{
    QJsonObject net = testnet::network();
    testnet::editServer(net, 0, "connections", [](QJsonValue &v) {
        QJsonObject absent = testnet::connection(5, "JSMITH");
        absent.remove("address");
        QJsonObject null = testnet::connection(6, "ADMIN");
        null["address"] = QJsonValue::Null;
        v = QJsonArray{absent, null};
    });
    QCOMPARE(testnet::init(testnet::write(m_dir, net)), NWCCODE(0));
    const NWCONN_HANDLE conn = parse("F:\\X").conn;
    for (nuint16 number : {5, 6, 99}) {
        NWINET_ADDR addr;
        std::memset(&addr, 0xAB, sizeof addr);
        QVERIFY(NWGetInetAddr(conn, number, &addr) != 0);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(&addr), sizeof addr), QByteArray(sizeof addr, char(0xAB)));
    }
    QVERIFY(NWGetInetAddr(conn, 5, nullptr) != 0);
}

void TestNwCalls::invalidArgumentsFail()
{
    QCOMPARE(testnet::init(testnet::write(m_dir, testnet::network())), NWCCODE(0));
    const NWCONN_HANDLE conn = parse("F:\\X").conn;
    const NWCONN_HANDLE unknown = 999;
    CONN_USING_FILE one;
    CONNS_USING_FILE all;
    nint16 it = 0;
    char buf[NW_TRUSTEE_PATH_LEN];
    nuint16 vol = 0, it16 = 0xFFFF;
    nuint32 it32 = 0;
    TRUSTEE_INFO block[NW_TRUSTEES_PER_BLOCK];
    const nuint16 list[1] = {5};
    QVERIFY(NWParsePath(nullptr, buf, nullptr, nullptr, nullptr) != 0);
    QVERIFY(NWScanConnectionsUsingFile(unknown, 0, "SYS:APPS\\ORDERS.DBF", &it, &one, &all) != 0);
    QVERIFY(NWScanConnectionsUsingFile(conn, 0, nullptr, &it, &one, &all) != 0);
    QVERIFY(NWScanConnectionsUsingFile(conn, 0, "SYS:APPS\\ORDERS.DBF", nullptr, &one, &all) != 0);
    QVERIFY(NWScanConnectionsUsingFile(conn, 0, "SYS:APPS\\ORDERS.DBF", &it, &one, nullptr) != 0);
    it = -1;
    QVERIFY(NWScanConnectionsUsingFile(conn, 0, "SYS:APPS\\ORDERS.DBF", &it, &one, &all) != 0);
    QVERIFY(NWGetConnectionInformation(unknown, 5, buf, nullptr, nullptr, nullptr) != 0);
    QVERIFY(NWSendBroadcastMessage(conn, nullptr, 1, list, nullptr) != 0);
    QVERIFY(NWSendBroadcastMessage(conn, "hi", 0, list, nullptr) != 0);
    QVERIFY(NWSendBroadcastMessage(unknown, "hi", 1, list, nullptr) != 0);
    QVERIFY(NWClearConnectionNumber(unknown, 5) != 0);
    QVERIFY(NWGetVolumeNumber(conn, "NOPE", &vol) != 0);
    QVERIFY(NWGetVolumeNumber(conn, nullptr, &vol) != 0);
    QVERIFY(NWScanObjectTrusteePaths(conn, 1, 0, nullptr, nullptr, buf) != 0);
    QVERIFY(NWScanObjectTrusteePaths(conn, 1, 0, &it16, nullptr, nullptr) != 0);
    QVERIFY(NWScanObjectTrusteePaths(conn, 1, 200, &it16, nullptr, buf) != 0);
    QVERIFY(NWScanDirectoryForTrustees2(conn, 0, "SYS:APPS", &it32, nullptr, nullptr, nullptr, nullptr) != 0);
    QVERIFY(NWScanDirectoryForTrustees2(conn, 0, nullptr, &it32, nullptr, nullptr, nullptr, block) != 0);
    QVERIFY(NWDSCreateContextHandle(nullptr) != 0);
}

void TestNwCalls::trusteePaths()
{
    QJsonObject net = testnet::network();
    testnet::editServer(net, 0, "volumes", [](QJsonValue &v) {
        QJsonArray a = v.toArray();
        a.append(QJsonObject{{"name", "VOL1"}, {"number", 3}, {"root", "volumes/FS1/VOL1"}});
        v = a;
    });
    testnet::editServer(net, 0, "trustees", [](QJsonValue &v) {
        auto t = [](const char *path, const char *object, int rights) {
            return QJsonObject{{"path", path}, {"object", object}, {"rights", rights}};
        };
        v = QJsonArray{t("SYS:APPS", "JSMITH", 0x41), t("VOL1:X", "JSMITH", 1), t("SYS:", "ADMIN", 0x1FB),
                       t("sys:Apps/Data", "jsmith", 0x0B), t("SYS:PUBLIC", "JSMITH", 0x04)};
    });
    QCOMPARE(testnet::init(testnet::write(m_dir, net)), NWCCODE(0));
    const NWCONN_HANDLE conn = parse("F:\\X").conn;
    nuint16 volume = 99;
    QCOMPARE(NWGetVolumeNumber(conn, "sys", &volume), NWCCODE(0));
    QCOMPARE(volume, nuint16(0));

    QStringList paths;
    QList<int> rights;
    nuint16 iteration = 0xFFFF;
    char path[NW_TRUSTEE_PATH_LEN];
    nuint8 r = 0;
    while (NWScanObjectTrusteePaths(conn, 1001, volume, &iteration, &r, path) == 0 && paths.size() < 10) {
        paths.append(QString::fromLatin1(path));
        rights.append(r);
    }
    QCOMPARE(paths, (QStringList{"SYS:APPS", "SYS:Apps\\Data", "SYS:PUBLIC"}));
    QCOMPARE(rights, (QList<int>{0x41, 0x0B, 0x04}));
    QCOMPARE(path[0], '\0');
    iteration = 0xFFFF;
    QVERIFY(NWScanObjectTrusteePaths(conn, 4242, volume, &iteration, &r, path) != 0);
}

void TestNwCalls::directoryTrusteeBlocks_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("trustees");
    QTest::addColumn<QList<int>>("filled"); // used slots per delivered block
    QTest::newRow("25 trustees") << "SYS:APPS" << 25 << QList<int>{20, 5};
    QTest::newRow("exactly 20: last block starts empty") << "SYS:APPS" << 20 << QList<int>{20, 0};
    QTest::newRow("three") << "SYS:APPS" << 3 << QList<int>{3};
    QTest::newRow("existing folder without trustees") << "SYS:APPS" << 0 << QList<int>{0};
    QTest::newRow("unknown folder") << "SYS:NOWHERE" << 0 << QList<int>{};
}

void TestNwCalls::directoryTrusteeBlocks()
{
    QFETCH(QString, path);
    QFETCH(int, trustees);
    QFETCH(QList<int>, filled);
    QJsonObject net = testnet::network();
    testnet::editServer(net, 0, "objects", [&](QJsonValue &v) {
        QJsonArray a;
        for (int i = 0; i < trustees; ++i)
            a.append(QJsonObject{{"name", QString("U%1").arg(i)}, {"id", 100 + i}});
        v = a;
    });
    testnet::editServer(net, 0, "trustees", [&](QJsonValue &v) {
        QJsonArray a;
        a.append(QJsonObject{{"path", "SYS:PUBLIC"}, {"object", "U0"}, {"rights", 1}}); // another path
        for (int i = 0; i < trustees; ++i)
            a.append(QJsonObject{{"path", i % 2 ? "sys:apps\\" : "SYS:APPS"}, {"object", QString("U%1").arg(i)}, {"rights", i}});
        v = trustees ? a : QJsonArray();
    });
    QCOMPARE(testnet::init(testnet::write(m_dir, net)), NWCCODE(0));
    const NWCONN_HANDLE conn = parse("F:\\X").conn;

    QList<int> gotFilled;
    QList<int> ids;
    nuint32 iteration = 0;
    TRUSTEE_INFO block[NW_TRUSTEES_PER_BLOCK];
    char dirName[NW_DIR_NAME_LEN];
    nuint32 dateTime = 0, owner = 0;
    const QByteArray p = path.toLatin1();
    while (NWScanDirectoryForTrustees2(conn, 0, p.constData(), &iteration, dirName, &dateTime, &owner, block) == 0
           && gotFilled.size() < 10) {
        int used = 0;
        for (const TRUSTEE_INFO &t : block) {
            if (t.objectID != 0) {
                QCOMPARE(used, int(&t - block)); // no gaps before empty slots
                ++used;
                ids.append(int(t.objectID));
                QCOMPARE(int(t.objectRights), int(t.objectID) - 100);
            }
        }
        gotFilled.append(used);
    }
    QCOMPARE(gotFilled, filled);
    for (int i = 0; i < ids.size(); ++i)
        QCOMPARE(ids[i], 100 + i);
}

void TestNwCalls::contexts()
{
    QCOMPARE(testnet::init(testnet::write(m_dir, testnet::network())), NWCCODE(0));
    const NWCONN_HANDLE conn = parse("F:\\X").conn;
    NWDSContextHandle a = 0, b = 0;
    QCOMPARE(NWDSCreateContextHandle(&a), NWDSCCODE(0));
    QCOMPARE(NWDSCreateContextHandle(&b), NWDSCCODE(0));
    QVERIFY(a != 0 && a != b);
    QCOMPARE(NWDSSetContext(a, DCK_NAME_CONTEXT, "[Root]"), NWDSCCODE(0));
    nuint32 id = 0;
    QCOMPARE(NWDSMapNameToID(a, conn, "jSmith", &id), NWDSCCODE(0));
    QCOMPARE(id, nuint32(1001));
    id = 0;
    QVERIFY(NWDSMapNameToID(a, conn, "NOBODY", &id) != 0);
    QCOMPARE(id, nuint32(0));
    QVERIFY(NWDSMapNameToID(a, 999, "JSMITH", &id) != 0);
    QCOMPARE(NWDSFreeContext(a), NWDSCCODE(0));
    QVERIFY(NWDSMapNameToID(a, conn, "JSMITH", &id) != 0);
    QCOMPARE(id, nuint32(0));
    QVERIFY(NWDSSetContext(a, DCK_NAME_CONTEXT, "[Root]") != 0);
    QVERIFY(NWDSFreeContext(a) != 0);
    QVERIFY(NWDSFreeContext(12345) != 0);
    QVERIFY(NWDSSetContext(b, DCK_NAME_CONTEXT, nullptr) != 0);
    QCOMPARE(NWDSFreeContext(b), NWDSCCODE(0));
}

void TestNwCalls::broadcastWritesBackKeepingUnknownFields()
{
    QJsonObject net = testnet::network();
    net["x-top"] = "kept";
    testnet::editServer(net, 0, "connections", [](QJsonValue &v) {
        QJsonObject c = testnet::connection(5, "JSMITH");
        c["x-desk"] = 42;
        v = QJsonArray{c, testnet::connection(6, "ADMIN")};
    });
    const QString file = testnet::write(m_dir, net);
    QCOMPARE(testnet::init(file), NWCCODE(0));
    const NWCONN_HANDLE conn = parse("F:\\X").conn;
    const QByteArray text = QString("Gr\u00fc\u00dfe, bitte schlie\u00dfen").toLatin1();
    const nuint16 list[1] = {5};
    nuint8 result[1] = {0x55};
    QCOMPARE(NWSendBroadcastMessage(conn, text.constData(), 1, list, result), NWCCODE(0));
    QCOMPARE(result[0], nuint8(0));

    const QJsonObject after = QJsonDocument::fromJson(testnet::read(file)).object();
    QCOMPARE(after["x-top"].toString(), QString("kept"));
    const QJsonObject c = after["servers"].toArray()[0].toObject()["connections"].toArray()[0].toObject();
    QCOMPARE(c["x-desk"].toInt(), 42);
    const QJsonArray messages = c["messages"].toArray();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0]["from"].toString(), QString("ADMIN"));
    QCOMPARE(messages[0]["text"].toString(), QString("Gr\u00fc\u00dfe, bitte schlie\u00dfen"));
    QVERIFY(QDateTime::fromString(messages[0]["at"].toString(), "yyyy-MM-dd HH:mm:ss").isValid());
    QVERIFY(!QFileInfo::exists(file + ".lock"));
}

void TestNwCalls::broadcastRefusals_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("length");
    QTest::newRow("255 bytes is accepted") << 5 << 255;
    QTest::newRow("256 bytes") << 5 << 256;
    QTest::newRow("does not accept messages") << 6 << 5;
    QTest::newRow("no such connection") << 7 << 5;
}

void TestNwCalls::broadcastRefusals()
{
    QFETCH(int, number);
    QFETCH(int, length);
    QJsonObject net = testnet::network();
    testnet::editServer(net, 0, "connections", [](QJsonValue &v) {
        QJsonObject deaf = testnet::connection(6, "ADMIN");
        deaf["acceptsMessages"] = false;
        v = QJsonArray{testnet::connection(5, "JSMITH"), deaf};
    });
    const QString file = testnet::write(m_dir, net);
    QCOMPARE(testnet::init(file), NWCCODE(0));
    const QByteArray before = testnet::read(file);
    const QByteArray text(length, 'm');
    const nuint16 list[1] = {nuint16(number)};
    const bool accepted = number == 5 && length <= 255;
    QCOMPARE(NWSendBroadcastMessage(parse("F:\\X").conn, text.constData(), 1, list, nullptr) == 0, accepted);
    QCOMPARE(testnet::read(file) == before, !accepted);
}

void TestNwCalls::clearRemovesConnectionAndUses()
{
    QJsonObject net = testnet::network();
    testnet::editServer(net, 0, "connections", [](QJsonValue &v) {
        v = QJsonArray{testnet::connection(5, "JSMITH"), testnet::connection(6, "ADMIN")};
    });
    testnet::editServer(net, 0, "openFiles", [](QJsonValue &v) {
        v = QJsonArray{testnet::openFile("SYS:A", 5), testnet::openFile("SYS:A", 6), testnet::openFile("SYS:B", 5, 2)};
    });
    const QString file = testnet::write(m_dir, net);
    QCOMPARE(testnet::init(file), NWCCODE(0));
    const NWCONN_HANDLE conn = parse("F:\\X").conn;
    QCOMPARE(NWClearConnectionNumber(conn, 5), NWCCODE(0));
    QVERIFY(NWClearConnectionNumber(conn, 5) != 0);
    NWCCODE last = 0;
    QCOMPARE(scanBatches(conn, "SYS:A", &last), (QList<QList<int>>{{6}}));
    QVERIFY(scanBatches(conn, "SYS:B", &last).isEmpty());
    const QJsonObject s = QJsonDocument::fromJson(testnet::read(file)).object()["servers"].toArray()[0].toObject();
    QCOMPARE(s["connections"].toArray().size(), 1);
    QCOMPARE(s["openFiles"].toArray().size(), 1);
}

void TestNwCalls::rereadsChangedFile()
{
    QJsonObject net = testnet::network();
    const QString file = testnet::write(m_dir, net);
    QCOMPARE(testnet::init(file), NWCCODE(0));
    const NWCONN_HANDLE conn = parse("F:\\X").conn;
    CONN_USING_FILE one;
    CONNS_USING_FILE all;
    nint16 it = 0;
    QCOMPARE(NWScanConnectionsUsingFile(conn, 0, "SYS:APPS\\ORDERS.DBF", &it, &one, &all), NWCCODE(0));
    QCOMPARE(all.connInfo[0].lockFlag, nuint8(0));

    // Same size, and possibly the same timestamp: the content still counts.
    testnet::editServer(net, 0, "openFiles", [](QJsonValue &v) {
        QJsonObject f = testnet::openFile("SYS:APPS\\ORDERS.DBF", 5);
        f["lockFlag"] = 1;
        v = QJsonArray{f};
    });
    const QByteArray before = testnet::read(file);
    testnet::write(m_dir, net);
    QCOMPARE(testnet::read(file).size(), before.size());
    QCOMPARE(NWScanConnectionsUsingFile(conn, 0, "SYS:APPS\\ORDERS.DBF", &it, &one, &all), NWCCODE(0));
    QCOMPARE(all.connInfo[0].lockFlag, nuint8(1));

    testnet::editServer(net, 0, "openFiles", [](QJsonValue &v) { v = QJsonArray(); });
    testnet::write(m_dir, net);
    QCOMPARE(parse("F:\\X").rc, NWCCODE(0));
    QVERIFY(NWScanConnectionsUsingFile(conn, 0, "SYS:APPS\\ORDERS.DBF", &it, &one, &all) != 0);
}

void TestNwCalls::keepsLastGoodStateWhenFileBreaks()
{
    const QString file = testnet::write(m_dir, testnet::network());
    QCOMPARE(testnet::init(file), NWCCODE(0));
    const NWCONN_HANDLE conn = parse("F:\\X").conn;
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("{ half written");
    }
    QCOMPARE(parse("F:\\X").rc, NWCCODE(0)); // the last good state answers
    const nuint16 list[1] = {5};
    QVERIFY(NWSendBroadcastMessage(conn, "hi", 1, list, nullptr) != 0);
    QCOMPARE(testnet::read(file), QByteArray("{ half written"));
}

void TestNwCalls::storeReportsEachBadStateOnce()
{
    QJsonObject net = testnet::network();
    const QString file = testnet::write(m_dir, net);
    netsim::Store store(file);
    QString error;
    QVERIFY(store.load(&error));
    auto overwrite = [&](const QByteArray &bytes) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    };
    overwrite("[]");
    QVERIFY(!store.refresh(true, &error));
    QVERIFY(error.startsWith(file + ": "));
    error.clear();
    QVERIFY(store.refresh(true, &error));
    QVERIFY(error.isEmpty());
    QFile::remove(file);
    QVERIFY(!store.refresh(true, &error));
    QVERIFY(error.endsWith("does not exist"));
    QVERIFY(store.refresh(true, &error));
    QCOMPARE(store.network().servers.size(), 3); // the last good state throughout

    net["workstation"] = QJsonObject{{"login", "OTHER"}};
    testnet::write(m_dir, net);
    QVERIFY(store.refresh(false, &error));
    QCOMPARE(store.network().login, QString("OTHER"));
}

QTEST_GUILESS_MAIN(TestNwCalls)
#include "tst_nwcalls.moc"
