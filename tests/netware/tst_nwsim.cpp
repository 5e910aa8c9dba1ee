// The nwsim tool, and changes by several processes at once.
#include "netsim_test_util.h"
#include "netware/netsim_network.h"

#include <QProcess>
#include <QtTest>

class TestNwsim : public QObject
{
    Q_OBJECT
private slots:
    void commands_data();
    void commands();
    void concurrentChangesAreAllKept();
    void helpNamesEveryCommand();

private:
    QTemporaryDir m_dir;
};

namespace {

struct Result
{
    int code = -1;
    QString out, err;
};

Result nwsim(const QStringList &args)
{
    QProcess p;
    p.start(NWSIM_EXE, args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

netsim::Network load(const QString &file)
{
    netsim::Network n;
    QString error;
    if (!netsim::parseDescription(testnet::read(file), QFileInfo(file).absolutePath(), &n, &error))
        qWarning() << error;
    return n;
}

} // namespace

void TestNwsim::commands_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("output");  // expected in stdout (or stderr on failure)
    QTest::addColumn<int>("fs1OpenFiles"); // afterwards
    QTest::addColumn<int>("fs1Connections");

    QTest::newRow("check") << QStringList{"check"} << 0 << "ok" << 1 << 1;
    QTest::newRow("list one file") << QStringList{"list", "f:\\apps\\orders.dbf"} << 0 << "JSMITH" << 1 << 1;
    QTest::newRow("open with bits")
        << QStringList{"open", "5", "F:\\APPS\\CUSTOMER.DBF", "--access", "0x0b", "--lock-type=0", "--lock-flag", "1", "--task", "7"}
        << 0 << "FS1 SYS:APPS\\CUSTOMER.DBF opened by connection 5" << 2 << 1;
    QTest::newRow("open for unknown connection") << QStringList{"open", "9", "F:\\A"} << 1 << "no connection 9" << 1 << 1;
    QTest::newRow("close") << QStringList{"close", "5", "SYS:apps\\orders.dbf"} << 0 << "1 entry removed" << 0 << 1;
    QTest::newRow("close what is not open") << QStringList{"close", "5", "F:\\NOPE"} << 1 << "does not have" << 1 << 1;
    QTest::newRow("login") << QStringList{"login", "fs1", "GUEST", "--address", "IPX:00001234:00A0C9010203:4003"}
                           << 0 << "FS1 connection 1: GUEST" << 1 << 2;
    QTest::newRow("login bad address") << QStringList{"login", "FS1", "GUEST", "--address", "IP:1"} << 2 << "--address" << 1 << 1;
    QTest::newRow("logout") << QStringList{"logout", "FS1", "5"} << 0 << "logged out" << 0 << 0;
    QTest::newRow("unknown server") << QStringList{"logout", "FS9", "5"} << 1 << "no server FS9" << 1 << 1;
    QTest::newRow("reset refuses a named file") << QStringList{"reset"} << 1 << "demo copy only" << 1 << 1;
    QTest::newRow("unknown command") << QStringList{"frobnicate"} << 2 << "unknown command" << 1 << 1;
}

void TestNwsim::commands()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, output);
    QJsonObject net = testnet::network();
    net["x-keep"] = true;
    const QString file = testnet::write(m_dir, net);
    const Result r = nwsim(QStringList{"--network", file} + args);
    QCOMPARE(r.code, code);
    QVERIFY2((code == 0 ? r.out : r.err).contains(output), qPrintable(r.out + r.err));
    const netsim::Network after = load(file);
    QTEST(int(after.servers[0].openFiles.size()), "fs1OpenFiles");
    QTEST(int(after.servers[0].connections.size()), "fs1Connections");
    QVERIFY(after.root["x-keep"].toBool());
}

void TestNwsim::concurrentChangesAreAllKept()
{
    const QString file = testnet::write(m_dir, testnet::network());
    QCOMPARE(testnet::init(file), NWCCODE(0));
    char server[NW_SERVER_NAME_LEN], volume[32], dir[NW_DIR_PATH_LEN];
    NWCONN_HANDLE conn = 0;
    QCOMPARE(NWParsePath("F:\\X", server, &conn, volume, dir), NWCCODE(0));

    const int processes = 6, messages = 5;
    QList<QProcess *> running;
    for (int i = 0; i < processes; ++i) {
        auto *p = new QProcess(this);
        p->start(NWSIM_EXE, {"--network", file, "login", "FS1", QString("USER%1").arg(i), "--number",
                             QString::number(100 + i)});
        running.append(p);
    }
    const nuint16 list[1] = {5};
    for (int i = 0; i < messages; ++i)
        QCOMPARE(NWSendBroadcastMessage(conn, QByteArray::number(i).constData(), 1, list, nullptr), NWCCODE(0));
    for (QProcess *p : running) {
        QVERIFY(p->waitForFinished(60000));
        QCOMPARE(p->exitCode(), 0);
    }

    const netsim::Network after = load(file);
    const netsim::Server &s = after.servers[0];
    for (int i = 0; i < processes; ++i)
        QVERIFY(s.connection(100 + i));
    QCOMPARE(s.connection(5)->messages.size(), messages);
    for (int i = 0; i < messages; ++i)
        QCOMPARE(s.connection(5)->messages[i].text, QString::number(i));
}

void TestNwsim::helpNamesEveryCommand()
{
    const Result r = nwsim({"--help"});
    QCOMPARE(r.code, 0);
    for (const char *word : {"path", "check", "list", "connections", "messages", "open", "close", "login",
                             "logout", "reset", "--network", "NWSIM_NETWORK", "--access", "--lock-type",
                             "--lock-flag", "--task", "--address", "--time", "--no-messages"})
        QVERIFY2(r.out.contains(QLatin1String(word)), word);
}

QTEST_GUILESS_MAIN(TestNwsim)
#include "tst_nwsim.moc"
