// The nwsim tool changes the description; several processes change it at once.
#include "netsim_test_util.h"
#include "netware/netsim_network.h"

#include <QProcess>
#include <QtTest>

class TestNwsim : public QObject
{
    Q_OBJECT
private slots:
    void changesTheFile();
    void concurrentChangesAreAllKept();

private:
    QTemporaryDir m_dir;
};

namespace {

netsim::Network load(const QString &file)
{
    netsim::Network n;
    QString error;
    if (!netsim::parseDescription(testnet::read(file), QFileInfo(file).absolutePath(), &n, &error))
        qWarning() << error;
    return n;
}

} // namespace

void TestNwsim::changesTheFile()
{
    QJsonObject net = testnet::network();
    net["x-keep"] = true;
    const QString file = testnet::write(m_dir, net);
    QProcess p;
    p.start(NWSIM_EXE, {"--network", file, "open", "5", "F:\\APPS\\CUSTOMER.DBF", "--lock-flag", "1"});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    const netsim::Network after = load(file);
    QCOMPARE(after.servers[0].openFiles.size(), 2);
    QCOMPARE(after.servers[0].openFiles[1].path, QString("SYS:APPS\\CUSTOMER.DBF"));
    QVERIFY(after.root["x-keep"].toBool());
}

void TestNwsim::concurrentChangesAreAllKept()
{
    const QString file = testnet::write(m_dir, testnet::network());
    QCOMPARE(testnet::init(file), NWCCODE(0));
    const int processes = 6, messages = 5;
    QList<QProcess *> running;
    for (int i = 0; i < processes; ++i) {
        running.append(new QProcess(this));
        running.last()->start(NWSIM_EXE, {"--network", file, "login", "FS1", QString("USER%1").arg(i), "--number",
                                          QString::number(100 + i)});
    }
    const nuint16 list[1] = {5};
    for (int i = 0; i < messages; ++i)
        QCOMPARE(NWSendBroadcastMessage(testnet::handle("F:\\X"), QByteArray::number(i).constData(), 1, list, nullptr),
                 NWCCODE(0));
    for (QProcess *p : running) {
        QVERIFY(p->waitForFinished(60000));
        QCOMPARE(p->exitCode(), 0);
    }
    const netsim::Network net = load(file);
    const netsim::Server &s = net.servers[0];
    for (int i = 0; i < processes; ++i)
        QVERIFY(s.connection(100 + i));
    QCOMPARE(s.connection(5)->messages.size(), messages);
    for (int i = 0; i < messages; ++i)
        QCOMPARE(s.connection(5)->messages[i].text, QString::number(i));
}

QTEST_GUILESS_MAIN(TestNwsim)
#include "tst_nwsim.moc"
