// Sending and clearing through the client library, on a simulated network
// described in tests/data/actions/network.json (copied, since calls write it).
#include "actions/connection_actions.h"
#include "forms/form1.h"
#include "netware/nwcalls.h"
#include "scan/scan_context.h"
#include "support/fake_platform.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// "JSMITH:5" -> a line of List1 and its record, selected.
void fill(Form1 &form, ScanContext &ctx, const QStringList &users)
{
    for (const QString &u : users) {
        form.List1()->addItem(u.section(':', 0, 0));
        form.List1()->item(form.List1()->count() - 1)->setSelected(true);
        ConnectionRecord r;
        r.ConnNumber = uint16_t(u.section(':', 1).toUInt());
        ctx.table.append(r);
    }
}

QJsonObject server(const QString &file, const QString &name)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    for (const QJsonValue &s : QJsonDocument::fromJson(f.readAll())["servers"].toArray())
        if (s["name"].toString() == name)
            return s.toObject();
    return {};
}

// Connection number -> the texts of the messages it has received.
QMap<int, QStringList> inboxes(const QJsonObject &server)
{
    QMap<int, QStringList> out;
    for (const QJsonValue &c : server["connections"].toArray()) {
        QStringList texts;
        for (const QJsonValue &m : c["messages"].toArray()) {
            if (m["from"].toString() == QLatin1String("ADMIN"))
                texts << m["text"].toString();
        }
        out[c["number"].toInt()] = texts;
    }
    return out;
}

QByteArray contents(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

using Inboxes = QMap<int, QStringList>;
using IntList = QList<int>;

class TestConnectionActionsNetsim : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void send_data();
    void send();
    void clear_data();
    void clear();

private:
    NWCONN_HANDLE server(const char *path);

    QTemporaryDir m_dir;
    QString m_file;
};

void TestConnectionActionsNetsim::init()
{
    m_file = m_dir.filePath(QStringLiteral("network.json"));
    QFile::remove(m_file);
    const QString source = qEnvironmentVariable("VELMORA_TEST_DATA") + "/actions/network.json";
    QVERIFY(QFile::copy(source, m_file));
    QFile::setPermissions(m_file, QFile::ReadOwner | QFile::WriteOwner);
    qputenv("NWSIM_NETWORK", m_file.toLocal8Bit());
    QCOMPARE(NWCallsInit(nullptr, nullptr), NWCCODE(0));
}

NWCONN_HANDLE TestConnectionActionsNetsim::server(const char *path)
{
    char name[NW_SERVER_NAME_LEN];
    char volume[NW_VOLUME_NAME_LEN];
    char dir[NW_DIR_PATH_LEN];
    NWCONN_HANDLE conn = 0;
    return NWParsePath(path, name, &conn, volume, dir) == 0 ? conn : 0;
}

void TestConnectionActionsNetsim::send_data()
{
    QTest::addColumn<QStringList>("users");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("status");
    QTest::addColumn<Inboxes>("expected");

    QTest::newRow("two users receive it")
        << QStringList{"JSMITH:5", "MBROWN:7"} << "Back up at noon"
        << "Message successfully sent to 2 users."
        << Inboxes{{5, {"Back up at noon"}}, {7, {"Back up at noon"}}, {40000, {}}};
    QTest::newRow("8-bit text, ? for the rest")
        << QStringList{"JSMITH:5"} << QString::fromUtf8("Caf\u00e9 costs 3\u20ac")
        << "Message sent to user JSMITH."
        << Inboxes{{5, {QString::fromUtf8("Caf\u00e9 costs 3?")}}, {7, {}}, {40000, {}}};
    QTest::newRow("refused by a workstation")
        << QStringList{"KLEE:40000"} << "Hello"
        << "Message could not be sent to user KLEE. You may not have the necessary rights to do this."
        << Inboxes{{5, {}}, {7, {}}, {40000, {}}};
    QTest::newRow("too long for the network")
        << QStringList{"JSMITH:5"} << QString(256, 'x')
        << "Message could not be sent to user JSMITH. You may not have the necessary rights to do this."
        << Inboxes{{5, {}}, {7, {}}, {40000, {}}};
}

void TestConnectionActionsNetsim::send()
{
    QFETCH(QStringList, users);
    QFETCH(QString, message);
    QFETCH(QString, status);
    QFETCH(Inboxes, expected);

    Form1 form;
    FakePlatform platform;
    ScanContext ctx;
    ctx.ServerConnection = server("F:\\APPS\\ORDERS.DBF");
    QVERIFY(ctx.ServerConnection != 0);
    fill(form, ctx, users);
    ConnectionActions actions(form, platform, ctx);
    platform.inputs << message;
    actions.onSendClicked();
    QCOMPARE(form.status(), status);
    QCOMPARE(inboxes(::server(m_file, "FS1")), expected);
}

void TestConnectionActionsNetsim::clear_data()
{
    QTest::addColumn<QString>("drive");
    QTest::addColumn<QStringList>("users");
    QTest::addColumn<QString>("status");
    QTest::addColumn<IntList>("remaining");

    QTest::newRow("operator clears one")
        << "F:\\APPS\\ORDERS.DBF" << QStringList{"JSMITH:5"}
        << "Connection cleared for user JSMITH." << IntList{7, 40000};
    QTest::newRow("operator clears two")
        << "F:\\APPS\\ORDERS.DBF" << QStringList{"MBROWN:7", "KLEE:40000"}
        << "Connection successfully cleared for 2 users." << IntList{5};
    QTest::newRow("not an operator")
        << "G:\\LEDGER.DAT" << QStringList{"TJONES:12"}
        << "Connection could not be cleared for user TJONES. You may not have the necessary rights to do this."
        << IntList{12};
}

void TestConnectionActionsNetsim::clear()
{
    QFETCH(QString, drive);
    QFETCH(QStringList, users);
    QFETCH(QString, status);
    QFETCH(IntList, remaining);

    Form1 form;
    FakePlatform platform;
    ScanContext ctx;
    ctx.ServerConnection = server(drive.toLatin1().constData());
    QVERIFY(ctx.ServerConnection != 0);
    fill(form, ctx, users);
    const QString serverName = drive.startsWith('F') ? "FS1" : "FS2";
    const QByteArray before = contents(m_file);

    ConnectionActions actions(form, platform, ctx);
    platform.answers << Platform::Answer::Yes;
    actions.onClearClicked();
    QCOMPARE(form.status(), status);

    const QJsonObject after = ::server(m_file, serverName);
    IntList numbers;
    for (const QJsonValue &c : after["connections"].toArray())
        numbers << c["number"].toInt();
    QCOMPARE(numbers, remaining);
    for (const QJsonValue &o : after["openFiles"].toArray())
        QVERIFY(remaining.contains(o["connection"].toInt()));
    if (status.contains("could not"))
        QCOMPARE(contents(m_file), before);
}

QTEST_MAIN(TestConnectionActionsNetsim)
#include "tst_connection_actions_netsim.moc"
