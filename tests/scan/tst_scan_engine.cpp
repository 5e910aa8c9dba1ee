// The scan engine's rules against simulated networks, with no window.
#include "scan/scan_engine.h"
#include "support/test_network.h"

#include <QtTest>

#include <memory>

namespace {
const QString kFile = QStringLiteral("SYS:APPS\\DATA\\ORDERS.DBF");
const QString kPath = QStringLiteral("F:\\APPS\\DATA\\ORDERS.DBF");

struct Sink final : ScanSink
{
    QList<ScannedUser> users;
    int batches = 0;
    int stopAt = -1; // the nextBatch() call that answers false
    NWCONN_HANDLE server = 0;
    void started(NWCONN_HANDLE s) override { server = s; }
    void userListed(const ScannedUser &user) override { users << user; }
    bool nextBatch() override { return ++batches != stopAt; }
};

TestNetwork &network(bool operatorRights = true)
{
    // Held until exit, so the last one's folder is removed too.
    static std::unique_ptr<TestNetwork> net;
    net = std::make_unique<TestNetwork>();
    net->addServer(QStringLiteral("FS1"), operatorRights);
    net->mapDrive(QStringLiteral("F"), QStringLiteral("FS1/SYS:"));
    return *net;
}
} // namespace

class TestScanEngine : public QObject
{
    Q_OBJECT
private slots:
    // Also: the rights lookup is asked with the volume path and the server, an
    // empty answer shows as NA, and an entry without connection data is skipped.
    void listsEachUserOnceWithFirstEntry()
    {
        TestNetwork &net = network();
        net.addConnection(0, 5, "jsmith", "2026-12-07 13:30:00");
        net.addConnection(0, 6, "AJones", QJsonArray {99, 12, 6, 0, 5, 0, 3},
                          "IPX:00001234:00A0C9010203:4003");
        net.addConnection(0, 7, "JSMITH");
        net.addConnection(0, 8, "NOADDR", "2026-12-07 08:15:00", QJsonValue());
        net.addOpenFile(0, kFile, 9); // no such connection
        net.addOpenFile(0, kFile, 5, 2, 8, 3, 0);
        net.addOpenFile(0, "sys:apps\\data\\orders.dbf", 6, 1, 0, 0x0B, 1);
        net.addOpenFile(0, kFile, 7, 9, 0, 1, 1);
        net.addOpenFile(0, kFile, 5, 3, 0, 1, 1);
        net.addOpenFile(0, kFile, 8);
        QVERIFY(net.install());
        QStringList asked;
        const ScanEngine engine([&](const QString &path, const QString &user, const QString &srv) {
            asked << path + "|" + user + "|" + srv;
            return user == "AJONES" ? QString() : QStringLiteral("Read,FileScan");
        });
        Sink sink;
        const ScanResult r = engine.run(kPath, 0, sink);

        QCOMPARE(r.outcome, ScanResult::Outcome::Completed);
        QCOMPARE(r.names, QStringList({"JSMITH", "AJONES", "NOADDR"}));
        QCOMPARE(QStringList({r.serverName, r.volumePath}), QStringList({"FS1", kFile}));
        QCOMPARE(
            asked,
            QStringList({kFile + "|JSMITH|FS1", kFile + "|AJONES|FS1", kFile + "|NOADDR|FS1"}));
        QCOMPARE(sink.users.size(), 3);
        QCOMPARE(r.table.size(), 3);
        QCOMPARE(sink.server, r.server);
        QVERIFY(r.server != 0);
        const ConnectionRecord &a = r.table[0], &b = r.table[1];
        QCOMPARE(QList<int>({a.ConnNumber, a.TaskNumber, a.LockType, a.AccessControl, a.LockFlag}),
                 QList<int>({5, 2, 8, 3, 0}));
        QCOMPARE(QStringList({a.RightsText, a.LoginTimeText, a.AddressText}),
                 QStringList({"Read,FileScan", "Monday, 12/7/26, 01:30 pm", "IP: 10. 1. 2. 3"}));
        QCOMPARE(
            QStringList({b.RightsText, b.LoginTimeText, b.AddressText}),
            QStringList({"NA", "Wednesday, 12/6/99, 12:05 am", "IPX:00001234:00A0C9010203:4003"}));
        // The raw data behind the texts, for the command line.
        const ScannedUser &u = sink.users[1];
        QCOMPARE(u.name, "AJONES");
        QCOMPARE(QList<int>(u.loginTime.begin(), u.loginTime.end()),
                 QList<int>({99, 12, 6, 0, 5, 0, 3}));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(u.address.networkAddr), 4).toHex(),
                 "00001234");
        QCOMPARE(sink.users[2].record.AddressText, "NA");
        QCOMPARE(
            QByteArray(reinterpret_cast<const char *>(&sink.users[2].address), sizeof(NWINET_ADDR)),
            QByteArray(sizeof(NWINET_ADDR), '\0'));
    }
    // 300 users with two entries each: nine batches and the closing request;
    // an 8-bit duplicate check would stop seeing users after 256.
    void outcome_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("operatorRights");
        QTest::addColumn<int>("stopAt"); // the nextBatch() call that answers false
        QTest::addColumn<ScanResult::Outcome>("outcome");
        QTest::addColumn<int>("listed");
        QTest::addColumn<int>("batches"); // nextBatch() calls
        using O = ScanResult::Outcome;
        QTest::newRow("local drive not parsed")
            << "c:\\TMP\\ORDERS.DBF" << true << -1 << O::NotParsed << 0 << 0;
        QTest::newRow("no rights") << kPath << false << -1 << O::NoRights << 0 << 1;
        QTest::newRow("stop before the first batch") << kPath << true << 1 << O::Stopped << 0 << 1;
        QTest::newRow("stop after the first batch") << kPath << true << 2 << O::Stopped << 70 << 2;
        QTest::newRow("completed") << kPath << true << -1 << O::Completed << 300 << 10;
    }
    void outcome()
    {
        QFETCH(QString, path);
        QFETCH(bool, operatorRights);
        QFETCH(int, stopAt);
        QFETCH(ScanResult::Outcome, outcome);
        QFETCH(int, listed);
        TestNetwork &net = network(operatorRights);
        for (int i = 1; i <= 300; ++i)
            net.addConnection(0, i, QStringLiteral("U%1").arg(i));
        for (int t = 1; t <= 2; ++t)
            for (int i = 1; i <= 300; ++i)
                net.addOpenFile(0, kFile, i, t);
        QVERIFY(net.install());
        Sink sink;
        sink.stopAt = stopAt;
        const NWCONN_HANDLE before = 0x4711;
        const ScanResult r = ScanEngine().run(path, before, sink);
        QCOMPARE(r.outcome, outcome);
        QTEST(sink.batches, "batches");
        QCOMPARE(sink.users.size(), listed);
        QCOMPARE(r.names.size(), listed);
        if (listed == 300) {
            QCOMPARE(r.names.last(), "U300");
            QCOMPARE(QList<int>({r.table[299].ConnNumber, r.table[299].TaskNumber}),
                     QList<int>({300, 1}));
            QCOMPARE(r.table[0].RightsText, "NA"); // no lookup given
        }
        // Only a parsed path re-aims the connection handle.
        QCOMPARE(r.server == before, outcome == ScanResult::Outcome::NotParsed);
        QCOMPARE(sink.server != 0, outcome != ScanResult::Outcome::NotParsed);
    }
};

QTEST_GUILESS_MAIN(TestScanEngine)
#include "tst_scan_engine.moc"
