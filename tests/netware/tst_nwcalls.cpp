// The client calls answered from description files in a temporary folder.
#include "netsim_test_util.h"
#include "netware/atomic_write.h"
#include "netware/change_watch.h"
#include "netware/mapped_drives.h"
#include "netware/netsim_store.h"
#include "support/file_size_limit.h"

#include <QLockFile>
#include <QProcess>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    void batches_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<QList<int>>("sizes");
        QTest::addColumn<int>("padding"); // bytes of an unknown field
        QTest::newRow("150 entries") << 150 << QList<int> {70, 70, 10} << 0;
        QTest::newRow("140 entries") << 140 << QList<int> {70, 70} << 0;
        QTest::newRow("none") << 0 << QList<int> {} << 0;
        QTest::newRow("a description read in one piece")
            << 150 << QList<int> {70, 70, 10} << (5 << 20);
    }
    void batches()
    {
        QFETCH(int, entries);
        QFETCH(QList<int>, sizes);
        QFETCH(int, padding);
        QJsonObject net = network();
        if (padding)
            net["padding"] = QString(padding, 'x');
        QJsonArray uses;
        int modes[4] = {}; // open for read, for write, deny read, deny write
        for (int i = 0; i < entries; ++i) {
            QJsonObject u = use("SYS:APPS\\BIG.DBF", 1000 + i, i);
            u["accessControl"] = i % 16;
            uses.append(u);
            for (int bit = 0; bit < 4; ++bit)
                modes[bit] += (i % 16 >> bit) & 1;
        }
        set(net, 0, "openFiles", uses);
        start(net);
        // The first batch counts every use of the file, not its own alone.
        nint16 first = 0;
        CONN_USING_FILE one;
        CONNS_USING_FILE all {};
        NWScanConnectionsUsingFile(handle("F:\\APPS\\BIG.DBF"), 0, "SYS:APPS\\BIG.DBF", &first,
                                   &one, &all);
        QCOMPARE((QList<int> {all.useCount, all.openForReadCount, all.openForWriteCount,
                              all.denyReadCount, all.denyWriteCount}),
                 (QList<int> {entries, modes[0], modes[1], modes[2], modes[3]}));
        NWCCODE last = 0;
        QList<int> gotSizes, order, expectedOrder;
        for (const QList<int> &b :
             scanBatches(handle("F:\\APPS\\BIG.DBF"), "SYS:APPS\\BIG.DBF", &last)) {
            gotSizes.append(b.size());
            order += b;
        }
        for (int i = 0; i < entries; ++i)
            expectedOrder.append(1000 + i);
        QCOMPARE(gotSizes, sizes);
        QCOMPARE(order, expectedOrder);
        QCOMPARE(last, NWCCODE(NW_ERR_NO_MORE_ENTRIES));
    }
    void pathMatchIgnoresCase_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QByteArray>("scanned");
        QTest::addColumn<int>("count");
        const auto row = [](const char *name, const char *stored, const char *scanned, int n) {
            QTest::newRow(name) << QString(stored) << QByteArray(scanned) << n;
        };
        row("stored lower", "sys:apps\\orders.dbf", "SYS:APPS\\ORDERS.DBF", 1);
        row("scanned mixed", "SYS:APPS\\ORDERS.DBF", "Sys:Apps\\Orders.dbf", 1);
        row("other file", "SYS:APPS\\ORDERS.DBF", "SYS:APPS\\ORDERS.DB", 0);
        row("stored with a space before", " SYS:APPS\\ORDERS.DBF", "SYS:APPS\\ORDERS.DBF", 1);
        row("stored with its server", "FS1\\SYS:APPS\\ORDERS.DBF", "SYS:APPS\\ORDERS.DBF", 1);
        row("stored with slashes", "FS1/SYS:APPS/ORDERS.DBF", "SYS:APPS\\ORDERS.DBF", 1);
    }
    void pathMatchIgnoresCase()
    {
        QFETCH(QString, stored);
        QFETCH(QByteArray, scanned);
        QJsonObject net = network();
        set(net, 0, "openFiles", QJsonArray {use(stored, 5)});
        start(net);
        const auto got = scanBatches(scanned.constData());
        QTEST(got.isEmpty() ? 0 : int(got[0].size()), "count");
    }
    void unparsablePath_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::newRow("local drive c:") << QByteArray("c:\\AUTOEXEC.BAT");
        QTest::newRow("unmapped drive") << QByteArray("Q:\\X.DBF");
        QTest::newRow("no drive") << QByteArray("\\APPS\\ORDERS.DBF");
        QTest::newRow("unknown volume on server") << QByteArray("FS1/DATA:X");
        QTest::newRow("unknown server") << QByteArray("FS9/SYS:X");
        QTest::newRow("second colon") << QByteArray("F:\\A:B");
        QTest::newRow("longer than a path") << "F:\\" + QByteArray(300, 'A');
    }
    void unparsablePath()
    {
        QFETCH(QByteArray, path);
        start(network());
        char srv[NW_SERVER_NAME_LEN] = "old", volume[32] = {}, dir[NW_DIR_PATH_LEN] = {};
        NWCONN_HANDLE conn = 77;
        QVERIFY(NWParsePath(path.constData(), srv, &conn, volume, dir) != 0);
        QCOMPARE(QByteArray(srv), QByteArray());
        QCOMPARE(conn, NWCONN_HANDLE(77));
    }
    void nonOperatorHasNoRights()
    {
        const QString file = start(network());
        NWCCODE last = 0;
        QVERIFY(scanBatches(handle("H:\\X"), "DATA:APPS\\ORDERS.DBF", &last).isEmpty());
        QCOMPARE(last, NWCCODE(NW_ERR_NO_RIGHTS));
        const QByteArray before = read(file);
        QVERIFY(NWClearConnectionNumber(handle("H:\\X"), 5) != 0);
        QCOMPARE(read(file), before);
    }
    void overlongNamesAreCut()
    {
        const QString longServer(60, 'S');
        QJsonObject net = network();
        QJsonArray servers = net["servers"].toArray();
        QJsonObject s = servers[0].toObject();
        s["name"] = longServer;
        s["volumes"]
            = QJsonArray {obj(R"({"name": "VOLUMENAME16CHRS", "number": 0, "root": "v"})")};
        s["connections"] = QJsonArray {conn(5, QString(300, 'U'))};
        servers.append(s);
        net["servers"] = servers;
        start(net);

        struct
        {
            char server[NW_SERVER_NAME_LEN], canary1[8], volume[32], canary2[8],
                dir[NW_DIR_PATH_LEN], canary3[8];
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
    void absentAddressLeavesRecord()
    {
        QJsonObject net = network();
        QJsonObject absent = conn(6, "ADMIN"), null = conn(7, "ADMIN");
        absent.remove("address");
        null["address"] = QJsonValue::Null;
        set(net, 0, "connections", QJsonArray {conn(5, "JSMITH"), absent, null});
        start(net);
        NWINET_ADDR addr;
        // No address, null address, no connection: the record stays.
        for (nuint16 number : {6, 7, 99}) {
            std::memset(&addr, 0xAB, sizeof addr);
            QVERIFY(NWGetInetAddr(handle("F:\\X"), number, &addr) != 0);
            QCOMPARE(QByteArray(reinterpret_cast<char *>(&addr), sizeof addr),
                     QByteArray(sizeof addr, char(0xAB)));
        }
    }
    void directoryTrusteeBlocks_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("trustees");
        QTest::addColumn<QList<int>>("filled"); // used slots per delivered block
        QTest::addColumn<QString>("stored"); // every second trustee's path: another spelling
        QTest::newRow("25 trustees") << "SYS:APPS" << 25 << QList<int> {20, 5} << "sys:apps\\";
        QTest::newRow("exactly 20: last block starts empty")
            << "SYS:APPS" << 20 << QList<int> {20, 0} << "SYS:APPS\\";
        QTest::newRow("unknown folder") << "SYS:NOWHERE" << 0 << QList<int> {} << "";
        QTest::newRow("no volume") << "APPS" << 0 << QList<int> {} << "";
        QTest::newRow("folder without trustees, other case")
            << "sys:apps" << 0 << QList<int> {0} << "";
        QTest::newRow("volume root, with and without a backslash")
            << "SYS:" << 3 << QList<int> {3} << "sys:\\";
    }
    void directoryTrusteeBlocks()
    {
        QFETCH(QString, path);
        QFETCH(int, trustees);
        QFETCH(QString, stored);
        QJsonObject net = network();
        QJsonArray objects,
            assigned {obj(R"({"path": "SYS:PUBLIC", "object": "ADMIN", "rights": 1})")};
        for (int i = 0; i < trustees; ++i) {
            objects.append(QJsonObject {{"name", QString("U%1").arg(i)}, {"id", 100 + i}});
            assigned.append(QJsonObject {
                {"path", i % 2 ? stored : path}, {"object", QString("U%1").arg(i)}, {"rights", i}});
        }
        objects.append(obj(R"({"name": "ADMIN", "id": 1})"));
        set(net, 0, "objects", objects);
        set(net, 0, "trustees", assigned);
        start(net);
        QList<int> filled, ids, expectedIds;
        nuint32 iteration = 0;
        TRUSTEE_INFO block[NW_TRUSTEES_PER_BLOCK];
        while (NWScanDirectoryForTrustees2(handle("F:\\X"), 0, path.toLatin1().constData(),
                                           &iteration, nullptr, nullptr, nullptr, block)
                   == 0
               && filled.size() < 10) {
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
        // Another folder right after: its own trustees, not the last one's.
        nuint32 again = 0;
        QCOMPARE(NWScanDirectoryForTrustees2(handle("F:\\X"), 0, "SYS:PUBLIC", &again, nullptr,
                                             nullptr, nullptr, block),
                 NWCCODE(0));
        QCOMPARE((QList<nuint32> {block[0].objectID, block[1].objectID}), (QList<nuint32> {1, 0}));
        // ... and still after U0's path was handed out in between.
        nuint16 pathIt = 0xFFFF;
        char handed[NW_TRUSTEE_PATH_LEN];
        if (trustees > 0) {
            QCOMPARE(NWScanObjectTrusteePaths(handle("F:\\X"), 100, 0, &pathIt, nullptr, handed),
                     NWCCODE(0));
            again = 0;
            QCOMPARE(NWScanDirectoryForTrustees2(handle("F:\\X"), 0, "SYS:PUBLIC", &again, nullptr,
                                                 nullptr, nullptr, block),
                     NWCCODE(0));
            QCOMPARE(block[0].objectID, nuint32(1));
        }
    }
    // A description that does not load fails the start and says why.
    void invalidDescriptionFailsTheStart()
    {
        QJsonObject net = network();
        net.remove("workstation");
        QVERIFY(init(write(m_dir, net)) != 0);
        QVERIFY2(NWClientInitError().contains("workstation: missing"),
                 qPrintable(NWClientInitError()));
        nuint16 volume = 0;
        QCOMPARE(NWGetVolumeNumber(1, "SYS", &volume), NWCCODE(NW_ERR_NOT_INITIALIZED));
    }
    // A demo copy that cannot be made fails the start with the true reason;
    // with the copy in place nothing needs writing, so a home folder where
    // nothing can be written (here, no lock file can be made) still starts.
    void existingDemoCopyNeedsNoWrite()
    {
        const QByteArray env = qgetenv("NWSIM_NETWORK");
        qunsetenv("NWSIM_NETWORK");
        qputenv("XDG_DATA_HOME", m_dir.filePath("home").toLocal8Bit());
        {
            FileSizeLimit diskFull(0);
            QVERIFY(NWCallsInit(nullptr, nullptr) != 0);
        }
        QVERIFY2(NWClientInitError().contains("File too large"), qPrintable(NWClientInitError()));
        QCOMPARE(NWCallsInit(nullptr, nullptr), NWCCODE(0)); // makes the copy
        QVERIFY(QDir().mkpath(netsim::demoDir() + ".lock"));
        QCOMPARE(NWCallsInit(nullptr, nullptr), NWCCODE(0));
        QVERIFY(NWClientInitError().isEmpty());
        qputenv("NWSIM_NETWORK", env);
    }
    // A trustee path the 512-byte buffer cannot hold is refused, not cut to
    // the name of another folder.
    void overlongTrusteePathIsRefused()
    {
        QJsonObject net = network();
        const QString deep = "SYS:" + QString(520, 'D');
        set(net, 0, "trustees",
            QJsonArray {QJsonObject {{"path", deep}, {"object", "JSMITH"}, {"rights", 1}},
                        obj(R"({"path": "SYS:APPS/DATA", "object": "JSMITH", "rights": 2})")});
        start(net);
        nuint16 it = 0xFFFF;
        char path[NW_TRUSTEE_PATH_LEN];
        QVERIFY(NWScanObjectTrusteePaths(handle("F:\\X"), 1001, 0, &it, nullptr, path) != 0);
        QCOMPARE(QByteArray(path), QByteArray());
        QCOMPARE(NWScanObjectTrusteePaths(handle("F:\\X"), 1001, 0, &it, nullptr, path),
                 NWCCODE(0)); // the walk can go on past it
        QCOMPARE(QByteArray(path), QByteArray("SYS:APPS\\DATA")); // stored with '/'
    }
    // A write-back that fails leaves the file as it was and fails the call.
    void failedWriteBackChangesNothing()
    {
        const QString file = start(network());
        const QByteArray before = read(file);
        const nuint16 list[1] = {5};
        FailNextAtomicWrites(1);
        QVERIFY(NWSendBroadcastMessage(handle("F:\\X"), "Hi", 1, list, nullptr) != 0);
        FailNextAtomicWrites(1);
        QVERIFY(NWClearConnectionNumber(handle("F:\\X"), 5) != 0);
        QCOMPARE(read(file), before);
        QCOMPARE(QDir(m_dir.path()).entryList({"network.json.*"}, QDir::Files), QStringList());
    }
    // A lock another writer keeps past the wait: the change fails, and
    // nothing is written without the lock.
    void heldLockFailsTheChange_data()
    {
        QTest::addColumn<bool>("send"); // else a change as nwsim makes it
        QTest::newRow("send") << true;
        QTest::newRow("general change") << false;
    }
    void heldLockFailsTheChange()
    {
        QFETCH(bool, send);
        const QString file = start(network());
        const QByteArray before = read(file);
        const NWCONN_HANDLE conn = handle("F:\\X");
        QLockFile held(file + ".lock");
        QVERIFY(held.tryLock(0));
        netsim::SetLockWaitMs(300);
        const nuint16 list[1] = {5};
        const bool failed = send ? NWSendBroadcastMessage(conn, "Hi", 1, list, nullptr) != 0
                                 : !netsim::Store(file).modify(
                                     [](QJsonObject &root, const netsim::Network &, QString *) {
                                         root["x-changed"] = true;
                                         return true;
                                     },
                                     nullptr);
        netsim::SetLockWaitMs(10000);
        QVERIFY(failed);
        QCOMPARE(read(file), before);
    }
    // One description reached through a symlink and through its real path:
    // both writers share one lock, so no change is lost.
    void writersThroughSymlinkShareLock()
    {
        const QString file = start(network());
        const QString link = m_dir.filePath("link.json");
        QVERIFY(QFile::link(file, link));
        const int changes = 40;
        auto writer = [&](const QString &path, int first) {
            netsim::Store store(path);
            for (int i = first; i < first + changes; ++i)
                store.modify(
                    [&](QJsonObject &root, const netsim::Network &, QString *) {
                        netsim::edit::addConnection(root, 0, conn(i, "JSMITH"));
                        return true;
                    },
                    nullptr);
        };
        std::thread a(writer, file, 100), b(writer, link, 200);
        a.join();
        b.join();
        netsim::Store after(file);
        QVERIFY(after.load(nullptr));
        QCOMPARE(after.network().servers[0].connections.size(), 1 + 2 * changes);
        QVERIFY(QFileInfo(link).isSymLink());
    }
    // An empty lock file a crash left a few seconds ago does not hold writers
    // until the 30 s QLockFile waits by default.
    void abandonedEmptyLockIsTaken()
    {
        const QString file = start(network());
        QFile lock(file + ".lock");
        QVERIFY(lock.open(QIODevice::WriteOnly));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-6),
                                 QFileDevice::FileModificationTime));
        lock.close();
        QElapsedTimer clock;
        clock.start();
        const nuint16 list[1] = {5};
        QCOMPARE(NWSendBroadcastMessage(handle("F:\\X"), "Hi", 1, list, nullptr), NWCCODE(0));
        QVERIFY(clock.elapsed() < 2000);
    }
    // Send inserts its message into the text and leaves every other byte;
    // a change by another writer in between is read, not overwritten; a
    // text only Qt's lenient reader takes is written back the general way.
    void sendWritesOnlyItsMessage_data()
    {
        QTest::addColumn<bool>("lenient");
        QTest::addColumn<bool>("changedBetween");
        QTest::addColumn<int>("times"); // connection 5 named this often in one call
        QTest::newRow("as read") << false << false << 1;
        QTest::newRow("another writer between") << false << true << 1;
        QTest::newRow("lenient text") << true << false << 1;
        QTest::newRow("one connection twice in a call") << false << false << 2;
    }
    void sendWritesOnlyItsMessage()
    {
        QFETCH(bool, lenient);
        QFETCH(bool, changedBetween);
        QFETCH(int, times);
        const QString file = start(network());
        QByteArray text = read(file);
        text.replace("\"servers\"",
                     lenient ? "\"x-lenient\": 1., \"servers\"" : "\"x-kept\" :  7 ,\"servers\"");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
        f.close();
        QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
        const QFile::Permissions mode = f.permissions();
        const nuint16 five[2] = {5, 5};
        QCOMPARE(NWSendBroadcastMessage(handle("F:\\X"), "One", nuint16(times), five, nullptr),
                 NWCCODE(0));
        // The change lands between the path parse, which re-reads, and the send.
        const NWCONN_HANDLE sender = handle("F:\\X");
        if (changedBetween) {
            // Put first, where the connection sent to stood.
            netsim::Store other(file);
            QVERIFY(other.modify(
                [](QJsonObject &root, const netsim::Network &, QString *) {
                    QJsonArray servers = root["servers"].toArray();
                    QJsonObject server = servers[0].toObject();
                    QJsonArray connections = server["connections"].toArray();
                    connections.prepend(conn(9, "JSMITH"));
                    server["connections"] = connections;
                    servers[0] = server;
                    root["servers"] = servers;
                    return true;
                },
                nullptr));
        }
        QCOMPARE(NWSendBroadcastMessage(sender, "Two", 1, five, nullptr), NWCCODE(0));

        const QByteArray after = read(file);
        QCOMPARE(QFile::permissions(file), mode); // others may still read it
        const QJsonArray connections
            = QJsonDocument::fromJson(after).object()["servers"][0]["connections"].toArray();
        QCOMPARE(connections.size(), changedBetween ? 2 : 1);
        const QJsonArray messages = connections.last()["messages"].toArray();
        QCOMPARE(messages.size(), times + 1);
        QCOMPARE(messages[times - 1]["text"].toString(), QString("One"));
        QCOMPARE(messages[times]["text"].toString(), QString("Two"));
        if (!lenient && !changedBetween) {
            // Everything but the two messages is byte for byte as it was.
            const QRegularExpression item(
                ",?\\{\"at\":\"[^\"]+\",\"from\":\"ADMIN\",\"text\":\"(One|Two)\"\\}");
            QCOMPARE(QString::fromUtf8(after).remove(item), QString::fromUtf8(text));
        }
    }
    // Clear cuts the connection and its open files out of the text, with
    // their separators, wherever they stand, and leaves the rest; a text only
    // Qt's lenient reader takes loses them the general way.
    void clearCutsOnlyTheConnection_data()
    {
        QTest::addColumn<QList<int>>("users"); // connection of each open file, in order
        QTest::addColumn<bool>("lenient");
        QTest::newRow("first") << QList<int> {5, 7, 7} << false;
        QTest::newRow("middle") << QList<int> {7, 5, 7} << false;
        QTest::newRow("last") << QList<int> {7, 7, 5} << false;
        QTest::newRow("first two") << QList<int> {5, 5, 7} << false;
        QTest::newRow("first and last") << QList<int> {5, 7, 5} << false;
        QTest::newRow("all") << QList<int> {5, 5} << false;
        QTest::newRow("lenient text") << QList<int> {5, 7, 5} << true;
    }
    void clearCutsOnlyTheConnection()
    {
        QFETCH(QList<int>, users);
        QFETCH(bool, lenient);
        QJsonObject net = network();
        QJsonArray files;
        for (int c : users)
            files.append(use("SYS:APPS\\ORDERS.DBF", c));
        set(net, 0, "openFiles", files);
        set(net, 0, "connections", QJsonArray {conn(5, "JSMITH"), conn(7, "JSMITH")});
        const QString file = start(net);
        QByteArray text = read(file);
        text.replace("\"servers\"",
                     lenient ? "\"x-lenient\": 1., \"servers\"" : "\"x-kept\" :  7 ,\"servers\"");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
        f.close();

        QCOMPARE(NWClearConnectionNumber(handle("F:\\X"), 5), NWCCODE(0));
        const QByteArray after = read(file);
        QVERIFY(lenient || after.contains("\"x-kept\" :  7 ,\"servers\""));
        const QJsonObject server = QJsonDocument::fromJson(after).object()["servers"][0].toObject();
        QList<int> left;
        for (const QJsonValue &u : server["openFiles"].toArray())
            left.append(u["connection"].toInt());
        QList<int> expected = users;
        expected.removeAll(5);
        QCOMPARE(left, expected);
        QCOMPARE(server["connections"].toArray().size(), 1);
        QCOMPARE(server["connections"][0]["number"].toInt(), 7);
    }
    // A message written back the general way (a text only Qt's lenient
    // reader takes, parsed and written again in full) loses no field the
    // program does not know, big integers digit for digit.
    void writeBackKeepsUnknownFields()
    {
        QJsonObject net = network();
        net["x-top"] = "kept";
        QJsonObject c = conn(5, "JSMITH");
        c["x-desk"] = 42;
        set(net, 0, "connections", QJsonArray {c});
        const QString file = start(net);
        QByteArray text0 = read(file);
        text0.replace("\"x-top\"",
                      "\"x-big\": [12345678901234567890, -98765432109876543210, \"1\"], "
                      "\"x-lenient\": 1., \"x-top\"");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text0);
        f.close();
        const QByteArray text(255, char(0xFC)); // the longest message, not ASCII
        const nuint16 list[1] = {5};
        nuint8 result[1] = {0x55};
        QCOMPARE(NWSendBroadcastMessage(handle("F:\\X"), text.constData(), 1, list, result),
                 NWCCODE(0));
        QCOMPARE(result[0], nuint8(0));
        QVERIFY(!QFileInfo::exists(file + ".lock"));
        const QJsonObject after = QJsonDocument::fromJson(read(file)).object();
        QCOMPARE(after["x-top"].toString(), QString("kept"));
        const QJsonObject stored = after["servers"][0]["connections"][0].toObject();
        QCOMPARE(stored["x-desk"].toInt(), 42);
        QCOMPARE(stored["messages"].toArray().size(), 1);
        QCOMPARE(stored["messages"][0]["from"].toString(), QString("ADMIN"));
        QCOMPARE(stored["messages"][0]["text"].toString(), QString(255, QChar(0xFC)));
        QVERIFY(read(file).contains("12345678901234567890,"));
        QVERIFY(read(file).contains("-98765432109876543210,"));
    }
    void rereadsChangedFile()
    {
        QJsonObject net = network();
        const QString file = start(net);
        CONN_USING_FILE one;
        CONNS_USING_FILE all;
        nint16 it = 0;
        QCOMPARE(
            NWScanConnectionsUsingFile(handle("F:\\X"), 0, "SYS:APPS\\ORDERS.DBF", &it, &one, &all),
            NWCCODE(0));
        QCOMPARE(all.connInfo[0].lockFlag, nuint8(0));
        // Same size and the same time: only the content tells.
        QJsonObject locked = use("SYS:APPS\\ORDERS.DBF", 5);
        locked["lockFlag"] = 1;
        set(net, 0, "openFiles", QJsonArray {locked});
        const qint64 size = read(file).size();
        struct stat before;
        QCOMPARE(::stat(QFile::encodeName(file), &before), 0);
        write(m_dir, net);
        const timespec times[2] = {{0, UTIME_OMIT}, before.st_mtim};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(file), times, 0), 0);
        QCOMPARE(read(file).size(), size);
        QCOMPARE(
            NWScanConnectionsUsingFile(handle("F:\\X"), 0, "SYS:APPS\\ORDERS.DBF", &it, &one, &all),
            NWCCODE(0));
        QCOMPARE(all.connInfo[0].lockFlag, nuint8(1));
    }
    // However the description is changed, the next path parse reads it: the
    // file rewritten or replaced, written through another name, its folder or
    // one above it replaced, a link on the way re-aimed.
    void parseSeesEveryChange_data()
    {
        QTest::addColumn<QString>("way");
        for (const char *way :
             {"rewritten in place", "replaced by rename", "removed, then written anew",
              "written through a hard link", "replaced, then written through a hard link",
              "its folder replaced", "a folder above replaced", "its linked folder re-aimed",
              "a link re-aimed", "a link put in its place, then its target rewritten"})
            QTest::newRow(way) << QString(way);
    }
    void parseSeesEveryChange()
    {
        QFETCH(QString, way);
        QTemporaryDir top;
        const QString dir = top.filePath("a/b");
        auto folder = [&](const QString &path) {
            for (const char *volume : {"volumes/FS1/SYS", "volumes/FS2/DATA", "volumes/FS3/DATA"})
                QDir(path).mkpath(volume);
        };
        // The base network with one more connection, numbered n.
        auto text = [](int n) {
            QJsonObject net = network();
            QJsonArray connections = net["servers"][0]["connections"].toArray();
            connections.append(conn(n, "JSMITH"));
            set(net, 0, "connections", connections);
            return QJsonDocument(net).toJson();
        };
        auto put = [](const QString &path, const QByteArray &bytes) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QCOMPARE(f.write(bytes), bytes.size());
        };
        auto rename = [](const QString &from, const QString &to) {
            QCOMPARE(::rename(QFile::encodeName(from), QFile::encodeName(to)), 0);
        };
        auto replace = [&](const QString &path, const QByteArray &bytes) {
            put(path + ".new", bytes);
            rename(path + ".new", path);
        };
        auto linkAs = [&](const QString &target, const QString &path) {
            QVERIFY(QFile::link(target, path + ".new"));
            rename(path + ".new", path);
        };
        NWCONN_HANDLE fs1 = 0;
        auto sees = [&](int n) {
            char name[NW_OBJECT_NAME_LEN];
            return NWGetConnectionInformation(fs1, nuint16(n), name, nullptr, nullptr, nullptr)
                == 0;
        };
        // Not read before the parse, read by it.
        auto parseSees = [&](int n) {
            QVERIFY(!sees(n));
            fs1 = handle("F:\\X");
            QVERIFY(sees(n));
        };

        QString file = dir + "/network.json";
        if (way == "its linked folder re-aimed") {
            folder(top.filePath("one"));
            folder(top.filePath("two"));
            put(top.filePath("one/network.json"), text(70));
            put(top.filePath("two/network.json"), text(71));
            QDir().mkpath(top.filePath("a"));
            linkAs(top.filePath("one"), dir);
        } else if (way == "a link re-aimed") {
            folder(dir);
            put(dir + "/70.json", text(70));
            put(dir + "/71.json", text(71));
            linkAs(dir + "/70.json", file);
        } else {
            folder(dir);
            put(file, text(70));
        }
        QCOMPARE(init(file), NWCCODE(0));
        fs1 = handle("F:\\X");
        QVERIFY(sees(70));

        if (way == "rewritten in place") {
            put(file, text(71));
        } else if (way == "replaced by rename") {
            replace(file, text(71));
        } else if (way == "removed, then written anew") {
            QVERIFY(QFile::remove(file));
            handle("F:\\X");
            put(file, text(71));
        } else if (way == "written through a hard link") {
            QCOMPARE(::link(QFile::encodeName(file), QFile::encodeName(top.filePath("alias"))), 0);
            put(top.filePath("alias"), text(71));
        } else if (way == "replaced, then written through a hard link") {
            replace(file, text(72));
            parseSees(72);
            QCOMPARE(::link(QFile::encodeName(file), QFile::encodeName(top.filePath("alias"))), 0);
            put(top.filePath("alias"), text(71));
        } else if (way == "its folder replaced" || way == "a folder above replaced") {
            const QString moved = way == "its folder replaced" ? dir : top.filePath("a");
            rename(moved, moved + "-old");
            folder(dir);
            put(file, text(72));
            parseSees(72);
            // A file made anew where no watch on the old folders reaches.
            QVERIFY(QFile::remove(file));
            handle("F:\\X");
            put(file, text(71));
        } else if (way == "its linked folder re-aimed") {
            linkAs(top.filePath("two"), dir);
        } else if (way == "a link re-aimed") {
            linkAs(dir + "/71.json", file);
        } else if (way == "a link put in its place, then its target rewritten") {
            put(top.filePath("target.json"), text(72));
            linkAs(top.filePath("target.json"), file);
            parseSees(72);
            put(top.filePath("target.json"), text(71));
        }
        parseSees(71);
    }
    // What cannot change what the path reads leaves the watch quiet and on:
    // a watch that turned itself off would cost a stat at every parse again.
    void watchStaysQuiet_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<bool>("signalsBlocked"); // asked from a thread that blocks them all
        QTest::newRow("the file read") << "read" << false << false;
        QTest::newRow("a file beside it written") << "beside" << false << false;
        QTest::newRow("a file in the folder above touched") << "above" << false << false;
        QTest::newRow("the file rewritten") << "rewrite" << true << false;
        QTest::newRow("the file rewritten by another process") << "process" << true << false;
        QTest::newRow("a thread that blocks signals asks") << "rewrite" << true << true;
    }
    void watchStaysQuiet()
    {
        QFETCH(QString, action);
        QFETCH(bool, changed);
        QFETCH(bool, signalsBlocked);
        QTemporaryDir top;
        QVERIFY(QDir(top.path()).mkpath("a"));
        const QString file = top.filePath("a/network.json");
        auto put = [](const QString &path) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Append));
            f.write("x");
        };
        put(file);
        put(top.filePath("above"));
        ChangeWatch watch(file);
        if (!watch.watching())
            QSKIP("this file system is not watched");
        // Quiet, the action, quiet again, then a rewrite seen at once.
        QList<bool> seen;
        auto asks = [&] {
            seen << watch.mayHaveChanged();
            if (action == "read")
                read(file);
            else if (action == "beside")
                put(top.filePath("a/network.json.lock"));
            else if (action == "above")
                ::utimensat(AT_FDCWD, QFile::encodeName(top.filePath("above")), nullptr, 0);
            else if (action == "process")
                QProcess::execute("sh", {"-c", "printf x >> \"$0\"", file});
            else
                put(file);
            seen << watch.mayHaveChanged() << watch.mayHaveChanged();
            put(file);
            seen << watch.mayHaveChanged();
        };
        if (signalsBlocked)
            std::thread([&] {
                sigset_t all;
                sigfillset(&all);
                pthread_sigmask(SIG_BLOCK, &all, nullptr);
                asks();
            }).join();
        else
            asks();
        QCOMPARE(seen, (QList<bool> {false, changed, false, true}));
        QVERIFY(watch.watching());
    }
    // A server gone from the description takes its handle with it; the
    // others keep theirs, wherever they now stand in the file.
    void handlesFollowTheServers()
    {
        QJsonObject net = network();
        start(net);
        const NWCONN_HANDLE fs2 = handle("G:\\X"), fs3 = handle("H:\\X");
        QJsonArray servers = net["servers"].toArray();
        servers.removeAt(1);
        net["servers"] = servers;
        QJsonObject ws = net["workstation"].toObject();
        ws["drives"] = obj(R"({"F": "FS1/SYS:", "H": "FS3/DATA:"})");
        net["workstation"] = ws;
        write(m_dir, net);
        QVERIFY(handle("F:\\X") != 0);
        nuint16 volume = 0;
        QCOMPARE(NWGetVolumeNumber(fs2, "DATA", &volume), NWCCODE(NW_ERR_INVALID_CONNECTION));
        QCOMPARE(handle("H:\\X"), fs3);
        CONN_USING_FILE one;
        CONNS_USING_FILE all;
        nint16 it = 0;
        QCOMPARE(NWScanConnectionsUsingFile(fs3, 0, "DATA:X", &it, &one, &all),
                 NWCCODE(NW_ERR_NO_RIGHTS)); // FS3's own answer: ADMIN is no operator there
        QCOMPARE(NWGetVolumeNumber(fs3 + 1, "DATA", &volume), // never handed out
                 NWCCODE(NW_ERR_INVALID_CONNECTION));
    }
    // A trustee path or object asked for again after a change, or on another
    // server with the same object ID, is answered from what holds there now.
    void trusteesFollowTheDescription()
    {
        QJsonObject net = network();
        auto assign = [&](int rights) {
            // ADMIN's assignment stands second here, first on FS2.
            set(net, 0, "trustees",
                QJsonArray {
                    QJsonObject {{"path", "SYS:APPS"}, {"object", "JSMITH"}, {"rights", 1}},
                    QJsonObject {{"path", "SYS:APPS"}, {"object", "ADMIN"}, {"rights", rights}}});
            set(net, 1, "trustees",
                QJsonArray {
                    QJsonObject {{"path", "DATA:SHARED"}, {"object", "ADMIN"}, {"rights", 7}}});
            write(m_dir, net);
        };
        assign(3);
        start(net);
        // ADMIN is object 1 on both servers.
        auto answers = [&](const char *drive, const char *volumeName, const char *dir) {
            const NWCONN_HANDLE conn = handle(drive);
            nuint16 volume = 0, pathIt = 0xFFFF;
            nuint8 pathRights = 0;
            char path[NW_TRUSTEE_PATH_LEN];
            nuint32 it = 0;
            TRUSTEE_INFO block[NW_TRUSTEES_PER_BLOCK];
            if (NWGetVolumeNumber(conn, volumeName, &volume) != 0
                || NWScanObjectTrusteePaths(conn, 1, volume, &pathIt, &pathRights, path) != 0
                || NWScanDirectoryForTrustees2(conn, 0, dir, &it, nullptr, nullptr, nullptr, block)
                    != 0)
                return QList<int> {};
            for (const TRUSTEE_INFO &t : block)
                if (t.objectID == 1)
                    return QList<int> {pathRights, int(t.objectRights)};
            return QList<int> {pathRights};
        };
        QCOMPARE(answers("F:\\X", "SYS", "SYS:APPS"), (QList<int> {3, 3}));
        QCOMPARE(answers("G:\\X", "DATA", "DATA:SHARED"), (QList<int> {7, 7}));
        assign(0x41);
        QCOMPARE(answers("F:\\X", "SYS", "SYS:APPS"), (QList<int> {0x41, 0x41}));

        // A path handed out as stored, asked for as it was handed out after
        // the description changed: its trustees there now.
        const auto stored = [&](int rights) {
            set(net, 0, "trustees",
                QJsonArray {
                    QJsonObject {{"path", "sys:apps"}, {"object", "ADMIN"}, {"rights", rights}}});
            write(m_dir, net);
            return handle("F:\\X"); // the parse that rereads it
        };
        NWCONN_HANDLE conn = stored(5);
        nuint16 pathIt = 0xFFFF;
        char handed[NW_TRUSTEE_PATH_LEN];
        QCOMPARE(NWScanObjectTrusteePaths(conn, 1, 0, &pathIt, nullptr, handed), NWCCODE(0));
        QCOMPARE(QByteArray(handed), QByteArray("SYS:apps"));
        conn = stored(6);
        nuint32 it = 0;
        TRUSTEE_INFO block[NW_TRUSTEES_PER_BLOCK];
        QCOMPARE(
            NWScanDirectoryForTrustees2(conn, 0, handed, &it, nullptr, nullptr, nullptr, block),
            NWCCODE(0));
        QCOMPARE((QList<nuint32> {block[0].objectID, block[0].objectRights}),
                 (QList<nuint32> {1, 6}));
    }
    // A context handle lives from its creation to its release, once.
    void contextHandles()
    {
        start(network());
        NWDSContextHandle context = 0;
        QCOMPARE(NWDSCreateContextHandle(&context), NWDSCCODE(0));
        QCOMPARE(NWDSSetContext(context, DCK_NAME_CONTEXT, "[Root]"), NWDSCCODE(0));
        QCOMPARE(NWDSSetContext(context, DCK_NAME_CONTEXT + 1, "[Root]"),
                 NWDSCCODE(NWDS_ERR_BAD_KEY));
        nuint32 id = 0;
        QCOMPARE(NWDSMapNameToID(context, handle("F:\\X"), ".jsmith", &id), NWDSCCODE(0));
        QVERIFY(id != 0);
        QCOMPARE(NWDSFreeContext(context), NWDSCCODE(0));
        QCOMPARE(NWDSFreeContext(context), NWDSCCODE(NWDS_ERR_INVALID_HANDLE));
        QCOMPARE(NWDSSetContext(context, DCK_NAME_CONTEXT, "[Root]"),
                 NWDSCCODE(NWDS_ERR_INVALID_HANDLE));
    }
    // A change lands between two batches: the running scan keeps one state,
    // the next path parse or first batch reads the new one.
    void rereadWhereAScanStarts_data()
    {
        QTest::addColumn<bool>("parse");
        QTest::addColumn<bool>("restart");
        QTest::addColumn<int>("lockFlag"); // of the second batch's entry
        QTest::newRow("next batch of the same scan") << false << false << 0;
        QTest::newRow("path parse") << true << false << 10;
        QTest::newRow("first batch of the next scan") << false << true << 10;
    }
    void rereadWhereAScanStarts()
    {
        QFETCH(bool, parse);
        QFETCH(bool, restart);
        QJsonObject net = network();
        QJsonArray uses;
        for (int i = 0; i < 80; ++i)
            uses.append(use("SYS:APPS\\BIG.DBF", 1000 + i));
        set(net, 0, "openFiles", uses);
        start(net);
        const NWCONN_HANDLE conn = handle("F:\\X");
        CONN_USING_FILE one;
        CONNS_USING_FILE all;
        nint16 it = 0;
        QCOMPARE(NWScanConnectionsUsingFile(conn, 0, "SYS:APPS\\BIG.DBF", &it, &one, &all),
                 NWCCODE(0));
        QJsonObject locked = uses[75].toObject();
        locked["lockFlag"] = 10; // a longer file: the size alone tells the change
        uses[75] = locked;
        set(net, 0, "openFiles", uses);
        write(m_dir, net);
        if (parse)
            handle("F:\\X");
        if (restart)
            NWScanConnectionsUsingFile(conn, 0, "SYS:APPS\\BIG.DBF", &it, &one, &all);
        it = 1;
        QCOMPARE(NWScanConnectionsUsingFile(conn, 0, "SYS:APPS\\BIG.DBF", &it, &one, &all),
                 NWCCODE(0));
        QFETCH(int, lockFlag);
        QCOMPARE(int(all.connInfo[5].lockFlag), lockFlag);
        QCOMPARE(all.locked != 0, lockFlag != 0);
    }

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

QTEST_GUILESS_MAIN(TestNwCalls)
#include "tst_nwcalls.moc"
