// The built-in demo network: copied out on first use, and showing its cases.
#include "netware/mapped_drives.h"
#include "netware/netsim_store.h"
#include "netware/nwcalls.h"

#include <QtTest>

class TestNetsimDemo : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void copiedOutOnFirstUse();
    void scans_data();
    void scans();
    void rightsWords_data();
    void rightsWords();
    void resetRestoresChangedCopy();

private:
    QTemporaryDir m_home;
    NWCONN_HANDLE parse(const char *path, NWCCODE *rc = nullptr);
};

NWCONN_HANDLE TestNetsimDemo::parse(const char *path, NWCCODE *rc)
{
    char server[NW_SERVER_NAME_LEN], volume[32], dir[NW_DIR_PATH_LEN];
    NWCONN_HANDLE conn = 0;
    const NWCCODE r = NWParsePath(path, server, &conn, volume, dir);
    if (rc)
        *rc = r;
    return conn;
}

void TestNetsimDemo::initTestCase()
{
    // Never touch the user's real copy.
    qputenv("XDG_DATA_HOME", m_home.path().toLocal8Bit());
    qunsetenv("NWSIM_NETWORK");
}

void TestNetsimDemo::copiedOutOnFirstUse()
{
    QVERIFY(!QFileInfo::exists(netsim::demoFile()));
    QCOMPARE(NWCallsInit(nullptr, nullptr), NWCCODE(0));
    QVERIFY(netsim::demoFile().startsWith(m_home.path()));
    QVERIFY(QFileInfo(netsim::demoFile()).isWritable());
    const QList<NetworkDrive> drives = NWClientMappedDrives();
    QCOMPARE(drives.size(), 3);
    QCOMPARE(drives[0].letter, 'F');
    QVERIFY(QFileInfo::exists(drives[0].nativeRoot + "/APPS/DATA/ORDERS.DBF"));
    QVERIFY(QFileInfo::exists(drives[1].nativeRoot + "/LEDGER/LEDGER.DAT"));
}

void TestNetsimDemo::scans_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("volumePath");
    QTest::addColumn<NWCCODE>("result"); // of the first batch
    QTest::addColumn<int>("entries");
    QTest::newRow("several users") << QByteArray("F:\\APPS\\DATA\\ORDERS.DBF") << QByteArray("SYS:APPS\\DATA\\ORDERS.DBF") << NWCCODE(0) << 5;
    QTest::newRow("locked file") << QByteArray("F:\\APPS\\DATA\\CUSTOMER.DBF") << QByteArray("SYS:APPS\\DATA\\CUSTOMER.DBF") << NWCCODE(0) << 2;
    QTest::newRow("nobody") << QByteArray("F:\\README.TXT") << QByteArray("SYS:README.TXT") << NWCCODE(NW_ERR_NO_MORE_ENTRIES) << 0;
    QTest::newRow("second server") << QByteArray("G:\\LEDGER\\LEDGER.DAT") << QByteArray("DATA:LEDGER\\LEDGER.DAT") << NWCCODE(0) << 2;
    QTest::newRow("not an operator") << QByteArray("H:\\PROJECTS\\PLAN.TXT") << QByteArray("WORK:PROJECTS\\PLAN.TXT") << NWCCODE(NW_ERR_NO_RIGHTS) << 0;
}

void TestNetsimDemo::scans()
{
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, volumePath);
    QFETCH(NWCCODE, result);
    QFETCH(int, entries);
    NWCCODE rc = 1;
    const NWCONN_HANDLE conn = parse(path.constData(), &rc);
    QCOMPARE(rc, NWCCODE(0));
    nint16 it = 0;
    CONN_USING_FILE one;
    CONNS_USING_FILE all;
    all.connCount = 0;
    QCOMPARE(NWScanConnectionsUsingFile(conn, 0, volumePath.constData(), &it, &one, &all), result);
    QCOMPARE(result == 0 ? int(all.connCount) : 0, entries);
}

void TestNetsimDemo::rightsWords_data()
{
    QTest::addColumn<QByteArray>("user");
    QTest::addColumn<int>("rights"); // of the last trustee path reported on SYS
    QTest::newRow("all words") << QByteArray("ADMIN") << 0x1FB;
    QTest::newRow("last of two paths") << QByteArray("JSMITH") << 0x0B;
    QTest::newRow("read and file scan") << QByteArray("MJONES") << 0x41;
    QTest::newRow("only the unshown bit") << QByteArray("KLEE") << 0x04;
    QTest::newRow("no trustee paths") << QByteArray("TEMP") << -1;
}

void TestNetsimDemo::rightsWords()
{
    QFETCH(QByteArray, user);
    QFETCH(int, rights);
    const NWCONN_HANDLE conn = parse("F:\\APPS\\DATA\\ORDERS.DBF");
    NWDSContextHandle ctx = 0;
    QCOMPARE(NWDSCreateContextHandle(&ctx), NWDSCCODE(0));
    nuint32 id = 0;
    QCOMPARE(NWDSMapNameToID(ctx, conn, user.constData(), &id), NWDSCCODE(0));
    QCOMPARE(NWDSFreeContext(ctx), NWDSCCODE(0));
    nuint16 volume = 0;
    QCOMPARE(NWGetVolumeNumber(conn, "SYS", &volume), NWCCODE(0));
    nuint16 it = 0xFFFF;
    char path[NW_TRUSTEE_PATH_LEN];
    nuint8 unused = 0;
    int last = -1;
    while (NWScanObjectTrusteePaths(conn, id, volume, &it, &unused, path) == 0 && path[0]) {
        nuint32 blockIt = 0;
        TRUSTEE_INFO block[NW_TRUSTEES_PER_BLOCK];
        while (NWScanDirectoryForTrustees2(conn, 0, path, &blockIt, nullptr, nullptr, nullptr, block) == 0)
            for (const TRUSTEE_INFO &t : block)
                if (t.objectID == id)
                    last = t.objectRights;
    }
    QCOMPARE(last, rights);
}

void TestNetsimDemo::resetRestoresChangedCopy()
{
    const NWCONN_HANDLE conn = parse("F:\\X");
    const nuint16 list[1] = {5};
    QCOMPARE(NWSendBroadcastMessage(conn, "Please close ORDERS.DBF", 1, list, nullptr), NWCCODE(0));
    QFile resource(":/velmora-netsim/demo/network.json");
    QVERIFY(resource.open(QIODevice::ReadOnly));
    const QByteArray builtIn = resource.readAll();
    QFile copy(netsim::demoFile());
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QVERIFY(copy.readAll() != builtIn);
    copy.close();

    QString error;
    QVERIFY2(netsim::installDemo(true, &error), qPrintable(error));
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), builtIn);
}

QTEST_GUILESS_MAIN(TestNetsimDemo)
#include "tst_netsim_demo.moc"
