// velmora-scan end to end: the built command against a copy of the test
// network in tests/data/cli, changed with the built nwsim between scans.
#include "csv_reader.h"

#include <QtTest>

namespace {
const QString kFile = QStringLiteral("F:\\APPS\\ORDERS.DBF");

// Every field of the three users of the test network, as the text and CSV
// forms show them.
const QStringList kFields {"user",     "connection", "task",          "opened",
                           "lockType", "fileRights", "accessControl", "directoryRights",
                           "locked",   "lockFlag",   "login",         "loginRaw",
                           "address",  "addressRaw"};
const QList<QStringList> kUsers {
    {"JSMITH", "5", "2", "Shareable", "8", "Read,Write", "3",
     "Read,Write,Create,Delete,AccessCtrl,FileScan,Modify", "true", "1",
     "Sunday, 12/6/26, 08:15 am", "26 12 6 8 15 0 0", "IP: 10. 1. 2. 3",
     "11:0A010203:000000000000:0000"},
    {"DOE, \"JR\"", "7", "1", "Exclusive", "0", "Read,Deny Write", "9", "NA", "false", "0",
     "Wednesday, 12/6/99, 12:05 am", "99 12 6 0 5 0 3", "IPX:00001234:00A0C9010203:4003",
     "2:00001234:00A0C9010203:4003"},
    {"KLEE", "40000", "4", "Shareable", "8", "Read", "1", "NA", "false", "0",
     "Sunday, 12/6/26, 12:00 pm", "26 12 6 12 0 0 0", "NA", ""},
};
// Bytes as upper-case hex digits, or joined decimals.
QString bytes(const QJsonArray &array, const char *separator = "", int base = 16)
{
    QStringList out;
    for (const QJsonValue &b : array)
        out << QString::number(b.toInt(), base).rightJustified(base == 16 ? 2 : 1, '0').toUpper();
    return out.join(QLatin1String(separator));
}
} // namespace

class TestVelmoraScan : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_network;

    QProcess *start(const QStringList &args, const QString &network = QString())
    {
        auto *p = new QProcess(this);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("NWSIM_NETWORK", network.isEmpty() ? m_network : network);
        p->setProcessEnvironment(env);
        p->setWorkingDirectory(m_dir.path() + "/volumes/FS1/SYS/APPS");
        p->start(VELMORA_SCAN_EXE, args);
        return p;
    }
    struct Run
    {
        int code;
        QString out;
        QString err;
    };
    Run run(const QStringList &args, const QString &network = QString())
    {
        QProcess *p = start(args, network);
        p->waitForFinished(60000);
        Run r {p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1,
               QString::fromUtf8(p->readAllStandardOutput()),
               QString::fromUtf8(p->readAllStandardError())};
        delete p;
        return r;
    }
    void nwsim(const QStringList &args)
    {
        QProcess p;
        p.start(NWSIM_EXE, QStringList {"--network", m_network} + args);
        QVERIFY(p.waitForFinished(60000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
    }
    // The next line of a watch stream, as JSON.
    QJsonObject nextEvent(QProcess *p)
    {
        QDeadlineTimer deadline(30000);
        while (!p->canReadLine() && !deadline.hasExpired())
            p->waitForReadyRead(int(deadline.remainingTime()));
        return QJsonDocument::fromJson(p->readLine()).object();
    }

private slots:
    void initTestCase()
    {
        const QString data = qEnvironmentVariable("VELMORA_TEST_DATA") + "/cli";
        for (const char *f :
             {"network.json", "volumes/FS1/SYS/APPS/ORDERS.DBF", "volumes/FS2/DATA/LEDGER.DAT"}) {
            QVERIFY(QDir().mkpath(QFileInfo(m_dir.filePath(f)).path()));
            QVERIFY(QFile::copy(data + '/' + f, m_dir.filePath(f)));
        }
        m_network = m_dir.filePath("network.json");
    }

    void exitStatusAndReason_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("network");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("lastErrorLine");
        const auto row = [](const char *name, const QStringList &args, int code,
                            const QString &line = {}, const QString &network = {}) {
            QTest::newRow(name) << args << network << code << line;
        };
        row("completed", {kFile}, 0);
        row("completed, path with ..", {"--format", "csv", "f:\\apps\\..\\APPS\\orders.dbf"}, 0);
        row("local file does not parse", {"/NETWORK.JSON"}, 1,
            "Error! Could not parse the path for file network.json.");
        row("missing file", {"F:\\APPS\\NONE.DBF"}, 1,
            "Passed file 'F:\\APPS\\NONE.DBF' does not exist.");
        row("no rights", {"G:\\LEDGER.DAT"}, 2, "Error! You do not have rights to scan this file.");
        row("no client", {kFile}, 3, "Error! Could not initialize Netware Client.",
            "/nonexistent/network.json");
        row("usage", {"--watch", "66", kFile}, 64, "Try 'velmora-scan --help' for more.");
        row("watch ends after count", {"--watch", "1", "--count", "2", kFile}, 0);
    }
    void exitStatusAndReason()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, network);
        if (args.constFirst() == "/NETWORK.JSON")
            args = QStringList {m_network};
        const Run r = run(args, network);
        QTEST(r.code, "code");
        QTEST(r.err.split('\n', Qt::SkipEmptyParts).value(r.err.count('\n') - 1), "lastErrorLine");
    }

    // Also: FILE is resolved as Velmora's command line does.
    void defaultIsTheUsersReport_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("drive path") << kFile;
        QTest::newRow("drive path in lower case") << "f:/apps/orders.dbf";
        QTest::newRow("native path") << "/NATIVE";
        QTest::newRow("name in the current folder") << "ORDERS.DBF";
    }
    void defaultIsTheUsersReport()
    {
        QFETCH(QString, file);
        if (file == "/NATIVE")
            file = m_dir.filePath("volumes/FS1/SYS/APPS/ORDERS.DBF");
        const Run r = run({file});
        QCOMPARE(r.code, 0);
        const QStringList lines = r.out.split('\n');
        QCOMPARE(lines.size(), 9);
        QCOMPARE(lines.at(0), kFile);
        QVERIFY2(QRegularExpression("^\\d\\d/\\d\\d/\\d\\d \\d\\d:\\d\\d [ap]m$")
                     .match(lines.at(1))
                     .hasMatch(),
                 qPrintable(lines.at(1)));
        QCOMPARE(lines.mid(2),
                 (QStringList {"", "JSMITH", "DOE, \"JR\"", "KLEE", "", "3 users", ""}));
    }

    void csvHasEveryField()
    {
        const Run r = run({"--format", "csv", kFile});
        QCOMPARE(r.code, 0);
        const QList<QStringList> records = ReadCsv(r.out);
        QCOMPARE(records.size(), 1 + kUsers.size());
        QCOMPARE(records.at(0), QStringList({"file", "server", "time"}) + kFields);
        for (int i = 0; i < kUsers.size(); ++i) {
            QCOMPARE(records.at(i + 1).mid(0, 2), (QStringList {kFile, "FS1"}));
            QVERIFY(QDateTime::fromString(records.at(i + 1).at(2), Qt::ISODate).isValid());
            QCOMPARE(records.at(i + 1).mid(3), kUsers.at(i));
        }
    }

    void jsonHasEveryField()
    {
        const Run r = run({"--format", "json", kFile});
        QCOMPARE(r.code, 0);
        QJsonParseError error;
        const QJsonObject doc = QJsonDocument::fromJson(r.out.toUtf8(), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(doc["file"].toString(), kFile);
        QCOMPARE(doc["server"].toString(), "FS1");
        QVERIFY(QDateTime::fromString(doc["time"].toString(), Qt::ISODate).isValid());
        const QJsonArray users = doc["users"].toArray();
        QCOMPARE(users.size(), kUsers.size());
        for (int i = 0; i < kUsers.size(); ++i) {
            const QJsonObject u = users.at(i).toObject();
            QCOMPARE(u.keys().size(), kFields.size());
            for (int f = 0; f < kFields.size(); ++f) {
                const QJsonValue v = u[kFields.at(f)];
                QString text = v.isDouble() ? QString::number(v.toInt()) : v.toString();
                if (v.isBool())
                    text = v.toBool() ? "true" : "false";
                if (v.isArray())
                    text = bytes(v.toArray(), " ", 10);
                if (v.isObject())
                    text = QString::number(v["type"].toInt()) + ':' + bytes(v["net"].toArray())
                        + ':' + bytes(v["node"].toArray()) + ':' + bytes(v["socket"].toArray());
                QCOMPARE(text, kUsers.at(i).at(f));
            }
        }
        QVERIFY(users.at(2)["addressRaw"].isNull());
    }

    // Each step is one locked write by nwsim, so no scan sees half a change.
    void watchReportsChangesMadeBetweenScans()
    {
        QProcess *p = start({"--watch", "1", "--format", "json", kFile});
        for (int i = 0; i < 3; ++i)
            QCOMPARE(nextEvent(p)["event"].toString(), "present");
        const QString path = kFile;
        const auto expect = [&](const QString &event, const QString &user) {
            const QJsonObject e = nextEvent(p);
            QCOMPARE(e["event"].toString() + ' ' + e["user"].toString(), event + ' ' + user);
        };
        nwsim({"close", "40000", path});
        expect("closed", "KLEE");
        nwsim({"open", "9", path, "--access", "3"});
        expect("opened", "MBROWN");
        // JSMITH's second connection, unlocked, becomes the first entry met.
        nwsim({"login", "FS1", "JSMITH", "--number", "11"});
        nwsim({"open", "11", path, "--task", "2", "--access", "3"});
        nwsim({"close", "5", path});
        expect("unlocked", "JSMITH");
        nwsim({"open", "7", path, "--task", "3", "--access", "1", "--lock-flag", "1"});
        nwsim({"close", "7", path, "--task", "1"});
        expect("modeChanged", "DOE, \"JR\"");
        expect("locked", "DOE, \"JR\"");

        p->terminate();
        QVERIFY(p->waitForFinished(10000));
        QCOMPARE(p->exitStatus(), QProcess::NormalExit);
        QCOMPARE(p->exitCode(), 0);
        QCOMPARE(p->readAllStandardOutput(), QByteArray());
        QCOMPARE(p->readAllStandardError(), QByteArray()); // re-reading is no problem to report
    }
};

QTEST_GUILESS_MAIN(TestVelmoraScan)
#include "tst_velmora_scan.moc"
