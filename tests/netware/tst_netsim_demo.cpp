// The built-in demo network: copied out on first use, and showing its cases.
#include "netsim_test_util.h"
#include "netware/mapped_drives.h"
#include "netware/netsim_store.h"

#include <QtTest>

class TestNetsimDemo : public QObject
{
    Q_OBJECT
private slots:
    void copiedOutOnFirstUse();
    void resetRestoresChangedCopy();

private:
    QTemporaryDir m_home;
};

void TestNetsimDemo::copiedOutOnFirstUse()
{
    qputenv("XDG_DATA_HOME", m_home.path().toLocal8Bit()); // never the user's real copy
    qunsetenv("NWSIM_NETWORK");
    QVERIFY(!QFileInfo::exists(netsim::demoFile()));
    QCOMPARE(NWCallsInit(nullptr, nullptr), NWCCODE(0));
    QVERIFY(netsim::demoFile().startsWith(m_home.path()));
    const QList<NetworkDrive> drives = NWClientMappedDrives();
    QCOMPARE(drives.size(), 3);
    QVERIFY(QFileInfo::exists(drives[0].nativeRoot + "/APPS/DATA/ORDERS.DBF"));
    QVERIFY(QFileInfo::exists(drives[1].nativeRoot + "/LEDGER/LEDGER.DAT"));
    nint16 it = 0;
    CONN_USING_FILE one;
    CONNS_USING_FILE all;
    const NWCONN_HANDLE conn = testnet::handle("F:\\APPS\\DATA\\ORDERS.DBF");
    QCOMPARE(NWScanConnectionsUsingFile(conn, 0, "SYS:APPS\\DATA\\ORDERS.DBF", &it, &one, &all), NWCCODE(0));
    QCOMPARE(int(all.connCount), 5); // several users of one file to look at
}

void TestNetsimDemo::resetRestoresChangedCopy()
{
    const nuint16 list[1] = {5};
    QCOMPARE(NWSendBroadcastMessage(testnet::handle("F:\\X"), "Please close", 1, list, nullptr), NWCCODE(0));
    const QByteArray builtIn = testnet::read(":/velmora-netsim/demo/network.json");
    QVERIFY(!builtIn.isEmpty());
    QVERIFY(testnet::read(netsim::demoFile()) != builtIn);
    QString error;
    QVERIFY2(netsim::installDemo(true, &error), qPrintable(error));
    QCOMPARE(testnet::read(netsim::demoFile()), builtIn);
}

QTEST_GUILESS_MAIN(TestNetsimDemo)
#include "tst_netsim_demo.moc"
