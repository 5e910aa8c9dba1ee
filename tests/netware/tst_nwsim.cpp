// Several processes (the nwsim tool and this one) change the description at once.
#include "netsim_test_util.h"
#include "netware/netsim_network.h"

#include <QProcess>
#include <QtTest>

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

class TestNwsim : public QObject
{
    Q_OBJECT
private slots:
    void concurrentChangesAreAllKept()
    {
        const QString file = testnet::write(m_dir, testnet::network());
        QCOMPARE(testnet::init(file), NWCCODE(0));
        const int processes = 6, messages = 5;
        QList<QProcess *> running;
        for (int i = 0; i < processes; ++i) {
            running.append(new QProcess(this));
            running.last()->start(NWSIM_EXE,
                                  {"--network", file, "login", "FS1", QString("USER%1").arg(i),
                                   "--number", QString::number(100 + i)});
        }
        const nuint16 list[1] = {5};
        for (int i = 0; i < messages; ++i)
            QCOMPARE(NWSendBroadcastMessage(testnet::handle("F:\\X"),
                                            QByteArray::number(i).constData(), 1, list, nullptr),
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

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestNwsim)
#include "tst_nwsim.moc"
