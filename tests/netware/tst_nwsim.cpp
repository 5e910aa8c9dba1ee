// Several processes (the nwsim tool and this one) change the description at once.
#include "netsim_test_util.h"
#include "netware/netsim_network.h"
#include "support/file_size_limit.h"

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

// Runs nwsim on file; returns its exit code and its output.
int nwsim(const QString &file, const QStringList &args, QByteArray *output = nullptr)
{
    QProcess p;
    p.start(NWSIM_EXE, QStringList {"--network", file} + args);
    p.waitForFinished(60000);
    if (output)
        *output = p.readAllStandardOutput() + p.readAllStandardError();
    return p.exitCode();
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

    // Stored text is printed with its control characters escaped, so a
    // message cannot drive the operator's terminal or forge a line.
    void storedTextIsPrintedEscaped()
    {
        QJsonObject net = testnet::network();
        QJsonObject c = testnet::conn(5, "J\x1b[2JSMITH");
        c["messages"] = QJsonArray {
            QJsonObject {{"from", "ADMIN"}, {"text", "hi\nFS1 6  forged\u202E"}, {"at", "x"}}};
        testnet::set(net, 0, "connections", QJsonArray {c});
        const QString file = testnet::write(m_dir, net);
        QByteArray shown;
        QCOMPARE(nwsim(file, {"messages"}, &shown), 0);
        QVERIFY2(shown.contains("J\\x1b[2JSMITH")
                     && shown.contains("hi\\x0aFS1 6  forged\\u{202e}"),
                 shown.constData());
        QCOMPARE(shown.count('\n'), 1);
        QVERIFY(!shown.contains('\x1b'));
    }
    void dotDotInPaths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("stored");
        QTest::newRow("resolved") << "F:\\APPS\\.\\OLD\\..\\X.DBF" << 0 << "SYS:APPS\\X.DBF";
        QTest::newRow("above the volume root") << "F:\\APPS\\..\\..\\X.DBF" << 1 << "";
    }
    void dotDotInPaths()
    {
        QFETCH(QString, path);
        QFETCH(QString, stored);
        QJsonObject net = testnet::network();
        testnet::set(net, 0, "openFiles", QJsonArray());
        const QString file = testnet::write(m_dir, net);
        QTEST(nwsim(file, {"open", "5", path}), "exitCode");
        const QJsonArray files = load(file).root["servers"][0]["openFiles"].toArray();
        QCOMPARE(files.isEmpty() ? QString() : files[0]["path"].toString(), stored);
    }
    // close takes out the entries of that connection on that path only.
    void closeRemovesOnlyThatPath()
    {
        QJsonObject net = testnet::network();
        testnet::set(
            net, 0, "openFiles",
            QJsonArray {testnet::use("SYS:APPS\\A.DBF", 5), testnet::use("SYS:APPS\\B.DBF", 5)});
        const QString file = testnet::write(m_dir, net);
        QByteArray output;
        QCOMPARE(nwsim(file, {"close", "5", "F:\\APPS\\a.dbf"}, &output), 0);
        QCOMPARE(output.trimmed(), "1 entry removed");
        const QJsonArray files = load(file).root["servers"][0]["openFiles"].toArray();
        QCOMPARE(files.size(), 1);
        QCOMPARE(files[0]["path"].toString(), QString("SYS:APPS\\B.DBF"));
        QCOMPARE(nwsim(file, {"close", "5", "F:\\APPS\\A.DBF"}, &output), 1);
        QCOMPARE(output.trimmed(), "nwsim: connection 5 on FS1 does not have SYS:APPS\\A.DBF open");
    }
    // A real failed write (the file size limit nwsim inherits) leaves the
    // description as it was and says so.
    void failedWriteKeepsFile()
    {
        const QString file = testnet::write(m_dir, testnet::network());
        const QByteArray before = testnet::read(file);
        int code = 0;
        {
            FileSizeLimit diskFull(512);
            code = nwsim(file, {"login", "FS1", "NEWUSER"});
        }
        QCOMPARE(code, 1);
        QCOMPARE(testnet::read(file), before);
    }
    // A script must not take output lost on a full disk for an empty answer.
    void lostOutputFails_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("list") << QStringList {"list"};
        QTest::newRow("a change that prints its result") << QStringList {"login", "FS1", "NEWUSER"};
        QTest::newRow("help") << QStringList {"--help"};
    }
    void lostOutputFails()
    {
        QFETCH(QStringList, args);
        QProcess p;
        p.setStandardOutputFile("/dev/full");
        p.start(NWSIM_EXE,
                QStringList {"--network", testnet::write(m_dir, testnet::network())} + args);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 1);
        QCOMPARE(p.readAllStandardError(), "nwsim: could not write the output\n");
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestNwsim)
#include "tst_nwsim.moc"
