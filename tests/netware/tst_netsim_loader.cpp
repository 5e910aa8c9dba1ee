// The description loader and the path parser, as pure functions.
#include "netsim_test_util.h"
#include "netware/netsim_network.h"
#include "netware/netsim_path.h"

#include <QtTest>

using namespace netsim;

using NetEdit = std::function<void(QJsonObject &)>;
Q_DECLARE_METATYPE(NetEdit)

class TestNetsimLoader : public QObject
{
    Q_OBJECT
private slots:
    void rejectsMalformed_data();
    void rejectsMalformed();
    void readsFieldForms();
    void keepsUnknownFields();
    void parsesPaths_data();
    void parsesPaths();
};

namespace {

using Edit = NetEdit;

Edit connField(const QString &key, const QJsonValue &value)
{
    return [=](QJsonObject &n) {
        testnet::editServer(n, 0, "connections", [&](QJsonValue &v) {
            QJsonArray a = v.toArray();
            QJsonObject c = a[0].toObject();
            c[key] = value;
            a[0] = c;
            v = a;
        });
    };
}

Edit serverListEntry(const QString &list, int index, const QString &key, const QJsonValue &value)
{
    return [=](QJsonObject &n) {
        testnet::editServer(n, 0, list, [&](QJsonValue &v) {
            QJsonArray a = v.toArray();
            QJsonObject e = a[index].toObject();
            e[key] = value;
            a[index] = e;
            v = a;
        });
    };
}

Edit drive(const QString &letter, const QJsonValue &target)
{
    return [=](QJsonObject &n) {
        QJsonObject ws = n["workstation"].toObject();
        QJsonObject d = ws["drives"].toObject();
        d[letter] = target;
        ws["drives"] = d;
        n["workstation"] = ws;
    };
}

} // namespace

void TestNetsimLoader::rejectsMalformed_data()
{
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<QString>("expected");

    const Edit none;
    QTest::newRow("broken JSON") << QByteArray("{\"workstation\": ") << none << "JSON error at offset 16";
    QTest::newRow("not an object") << QByteArray("[1]") << none << "not a JSON object";
    QTest::newRow("wrong format") << QByteArray()
                                  << Edit([](QJsonObject &n) { n["format"] = "velmora-netsim/2"; })
                                  << "format: not \"velmora-netsim/1\"";
    QTest::newRow("no servers") << QByteArray() << Edit([](QJsonObject &n) { n.remove("servers"); })
                                << "servers: missing";
    QTest::newRow("no login") << QByteArray()
                              << Edit([](QJsonObject &n) { n["workstation"] = QJsonObject(); })
                              << "workstation.login: missing";
    QTest::newRow("connection number 0") << QByteArray() << connField("number", 0)
                                         << "servers[0].connections[0].number: not an integer in 1..65535";
    QTest::newRow("connection number too big") << QByteArray() << connField("number", 65536)
                                               << "servers[0].connections[0].number: not an integer in 1..65535";
    QTest::newRow("connection number fraction") << QByteArray() << connField("number", 2.5)
                                                << "servers[0].connections[0].number: not an integer";
    QTest::newRow("connection number text") << QByteArray() << connField("number", "5")
                                            << "servers[0].connections[0].number: not an integer";
    QTest::newRow("duplicate connection number")
        << QByteArray()
        << Edit([](QJsonObject &n) {
               testnet::editServer(n, 0, "connections", [](QJsonValue &v) {
                   QJsonArray a = v.toArray();
                   a.append(testnet::connection(5, "ADMIN"));
                   v = a;
               });
           })
        << "servers[0].connections[1].number: duplicate connection number 5";
    QTest::newRow("bad address text") << QByteArray() << connField("address", "IP:10.1.2")
                                      << "servers[0].connections[0].address: not \"IP:";
    QTest::newRow("address byte 256") << QByteArray() << connField("address", "IP:10.1.2.256")
                                      << "servers[0].connections[0].address:";
    QTest::newRow("address node too short")
        << QByteArray()
        << connField("address", QJsonObject{{"type", 2}, {"node", QJsonArray{1, 2, 3}}})
        << "servers[0].connections[0].address.node: not an array of 6 bytes";
    QTest::newRow("login time no date") << QByteArray() << connField("loginTime", "1999-02-30 10:00:00")
                                        << "servers[0].connections[0].loginTime: not a time";
    QTest::newRow("login time 6 bytes") << QByteArray()
                                        << connField("loginTime", QJsonArray{99, 12, 6, 9, 5, 0})
                                        << "servers[0].connections[0].loginTime: not an array of 7 bytes";
    QTest::newRow("accepts messages text") << QByteArray() << connField("acceptsMessages", "yes")
                                           << "servers[0].connections[0].acceptsMessages: not true or false";
    QTest::newRow("volume number 256") << QByteArray() << serverListEntry("volumes", 0, "number", 256)
                                       << "servers[0].volumes[0].number: not an integer in 0..255";
    QTest::newRow("volume name too long")
        << QByteArray() << serverListEntry("volumes", 0, "name", "ABCDEFGHIJKLMNOPQ")
        << "servers[0].volumes[0].name: not a volume name of at most 16";
    QTest::newRow("object id 0") << QByteArray() << serverListEntry("objects", 1, "id", 0)
                                 << "servers[0].objects[1].id: not an integer in 1..4294967295";
    QTest::newRow("open file lock type 256") << QByteArray()
                                             << serverListEntry("openFiles", 0, "lockType", 256)
                                             << "servers[0].openFiles[0].lockType: not an integer in 0..255";
    QTest::newRow("open file without volume") << QByteArray()
                                              << serverListEntry("openFiles", 0, "path", "APPS\\X.DBF")
                                              << "servers[0].openFiles[0].path: not a VOLUME:DIR\\FILE path";
    QTest::newRow("trustee of unknown object")
        << QByteArray()
        << Edit([](QJsonObject &n) {
               testnet::editServer(n, 1, "trustees", [](QJsonValue &v) {
                   v = QJsonArray{QJsonObject{{"path", "DATA:"}, {"object", "NOBODY"}, {"rights", 1}}};
               });
           })
        << "servers[1].trustees[0].object: unknown object \"NOBODY\"";
    QTest::newRow("drive to unknown server") << QByteArray() << drive("K", "FS9/SYS:")
                                             << "workstation.drives.K: unknown server \"FS9\"";
    QTest::newRow("drive to unknown volume") << QByteArray() << drive("K", "FS1/VOL9:")
                                             << "workstation.drives.K: unknown volume \"VOL9\"";
    QTest::newRow("drive letter twice") << QByteArray() << drive("f", "FS2/DATA:")
                                        << "workstation.drives.f: drive mapped twice";
    QTest::newRow("drive name not a letter") << QByteArray() << drive("FF", "FS2/DATA:")
                                             << "workstation.drives.FF: not a drive letter";
}

void TestNetsimLoader::rejectsMalformed()
{
    QFETCH(QByteArray, raw);
    QFETCH(Edit, edit);
    QFETCH(QString, expected);
    if (raw.isEmpty()) {
        QJsonObject n = testnet::network();
        edit(n);
        raw = QJsonDocument(n).toJson();
    }
    Network out;
    out.login = "UNTOUCHED";
    QString error;
    QVERIFY(!parseDescription(raw, "/tmp", &out, &error));
    QVERIFY2(error.startsWith(expected), qPrintable(error));
    QCOMPARE(out.login, QString("UNTOUCHED"));
}

void TestNetsimLoader::readsFieldForms()
{
    QJsonObject n = testnet::network();
    testnet::editServer(n, 0, "connections", [](QJsonValue &v) {
        QJsonObject ipx = testnet::connection(6, "A");
        ipx["address"] = "IPX:00001234:00a0c9010203:4003";
        ipx["loginTime"] = "2026-12-06 00:05:09"; // a Sunday
        QJsonObject raw = testnet::connection(7, "B");
        raw["address"] = QJsonObject{{"type", 3}, {"net", QJsonArray{1, 2, 3, 4}}};
        raw["loginTime"] = QJsonArray{99, 12, 8, 13, 30, 0, 3};
        QJsonObject none = testnet::connection(8, "C");
        none["address"] = QJsonValue::Null;
        none.remove("loginTime");
        v = QJsonArray{ipx, raw, none};
    });
    Network out;
    QString error;
    QVERIFY2(parseDescription(QJsonDocument(n).toJson(), "/base/dir", &out, &error), qPrintable(error));
    const Server &s = out.servers[0];
    QCOMPARE(s.volumes[0].root, QString("/base/dir/volumes/FS1/SYS"));
    const Address ipx{2, {0, 0, 0x12, 0x34}, {0x00, 0xA0, 0xC9, 1, 2, 3}, {0x40, 0x03}};
    QVERIFY(s.connections[0].address == ipx);
    QCOMPARE(s.connections[0].loginTime, (std::array<uint8_t, 7>{26, 12, 6, 0, 5, 9, 0}));
    QCOMPARE(s.connections[1].address->type, uint16_t(3));
    QCOMPARE(s.connections[1].address->node, (std::array<uint8_t, 6>{}));
    QCOMPARE(s.connections[1].loginTime[6], uint8_t(3));
    QVERIFY(!s.connections[2].address.has_value());
    QVERIFY(s.connections[2].acceptsMessages);
    QCOMPARE(out.drive('g')->server, QString("FS2"));
}

void TestNetsimLoader::keepsUnknownFields()
{
    QJsonObject n = testnet::network();
    n["x-site"] = "Hull";
    Network out;
    QString error;
    QVERIFY(parseDescription(QJsonDocument(n).toJson(), "/", &out, &error));
    QCOMPARE(out.root["x-site"].toString(), QString("Hull"));
}

void TestNetsimLoader::parsesPaths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("volume");
    QTest::addColumn<QString>("dir");

    QTest::newRow("mapped drive") << "F:\\APPS\\ORDERS.DBF" << true << "FS1" << "SYS" << "APPS\\ORDERS.DBF";
    QTest::newRow("lower-case drive") << "f:\\apps\\orders.dbf" << true << "FS1" << "SYS" << "apps\\orders.dbf";
    QTest::newRow("drive mapped in lower case") << "G:\\LEDGER.DAT" << true << "FS2" << "DATA" << "LEDGER.DAT";
    QTest::newRow("drive root") << "F:\\" << true << "FS1" << "SYS" << "";
    QTest::newRow("server and volume") << "FS2/DATA:LEDGER\\L.DAT" << true << "FS2" << "DATA" << "LEDGER\\L.DAT";
    QTest::newRow("server and volume, any case") << "fs3/data:X" << true << "FS3" << "DATA" << "X";
    QTest::newRow("volume on first server having it") << "DATA:X\\Y" << true << "FS2" << "DATA" << "X\\Y";
    QTest::newRow("volume in lower case") << "sys:APPS" << true << "FS1" << "SYS" << "APPS";
    QTest::newRow("local drive c:") << "c:\\AUTOEXEC.BAT" << false << "" << "" << "";
    QTest::newRow("unmapped drive") << "Q:\\X.DBF" << false << "" << "" << "";
    QTest::newRow("no drive") << "\\APPS\\ORDERS.DBF" << false << "" << "" << "";
    QTest::newRow("bare file name") << "ORDERS.DBF" << false << "" << "" << "";
    QTest::newRow("empty") << "" << false << "" << "" << "";
    QTest::newRow("unknown server") << "FS9/SYS:X" << false << "" << "" << "";
    QTest::newRow("unknown volume on server") << "FS1/DATA:X" << false << "" << "" << "";
    QTest::newRow("unknown volume") << "VOL9:X" << false << "" << "" << "";
    QTest::newRow("second colon") << "F:\\A:B" << false << "" << "" << "";
}

void TestNetsimLoader::parsesPaths()
{
    QFETCH(QString, path);
    QFETCH(bool, ok);
    Network net;
    QString error;
    QVERIFY(parseDescription(QJsonDocument(testnet::network()).toJson(), "/", &net, &error));
    ParsedPath parsed;
    QCOMPARE(parseNetWarePath(net, path, &parsed), ok);
    if (ok) {
        QTEST(parsed.server, "server");
        QTEST(parsed.volume, "volume");
        QTEST(parsed.dirPath, "dir");
    }
}

QTEST_GUILESS_MAIN(TestNetsimLoader)
#include "tst_netsim_loader.moc"
