// The description loader, as a pure function.
#include "netsim_test_util.h"
#include "netware/large_pages.h"
#include "netware/netsim_network.h"

#include <QtTest>

using namespace netsim;

namespace {

// The base description with the first occurrence of `from` replaced.
QByteArray edited(const QByteArray &from, const QByteArray &to)
{
    QByteArray text = testnet::baseText();
    const qsizetype at = text.indexOf(from);
    if (at < 0)
        qFatal("%s not in the base description", from.constData());
    return text.replace(at, from.size(), to);
}

} // namespace

class TestNetsimLoader : public QObject
{
    Q_OBJECT
private slots:
    void rejectsMalformed_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("expected");
        const QString c0 = "servers[0].connections[0].";
        QTest::newRow("broken JSON")
            << QByteArray("{\"workstation\": ") << "JSON error at offset 16";
        QTest::newRow("not an object") << QByteArray("[1]") << "not a JSON object";
        QTest::newRow("wrong format")
            << edited("netsim/1", "netsim/2") << "format: not \"velmora-netsim/1\"";
        QTest::newRow("no servers") << edited("\"servers\"", "\"x\"") << "servers: missing";
        QTest::newRow("connection number too big") << edited("\"number\": 5,", "\"number\": 65536,")
                                                   << c0 + "number: not an integer in 1..65535";
        QTest::newRow("connection without a number")
            << edited("\"number\": 5,", "") << c0 + "number: missing";
        QTest::newRow("connection number text")
            << edited("\"number\": 5,", "\"number\": \"5\",") << c0 + "number: not an integer";
        QTest::newRow("duplicate connection number")
            << edited("\"messages\": []}",
                      "\"messages\": []}, {\"number\": 5, \"object\": \"A\", \"loginTime\": "
                      "\"1999-12-06 09:05:00\", \"messages\": []}")
            << "servers[0].connections[1].number: duplicate connection number 5";
        QTest::newRow("bad address text")
            << edited("IP:10.1.2.3", "IP:10.1.2") << c0 + "address: not \"IP:";
        QTest::newRow("address a number")
            << edited("\"IP:10.1.2.3\"", "5") << c0 + "address: neither a text, an object nor null";
        QTest::newRow("address node too short")
            << edited("\"IP:10.1.2.3\"", "{\"type\": 2, \"node\": [1, 2, 3]}")
            << c0 + "address.node: not an array of 6 bytes";
        QTest::newRow("login time no date")
            << edited("1999-12-06", "1999-02-30") << c0 + "loginTime: not a time";
        QTest::newRow("message not an object")
            << edited("\"messages\": []", "\"messages\": [5]") << c0 + "messages[0]: not an object";
        QTest::newRow("accepts messages text")
            << edited("\"messages\"", "\"acceptsMessages\": \"yes\", \"messages\"")
            << c0 + "acceptsMessages: not true or false";
        QTest::newRow("server name with a slash")
            << edited("{\"name\": \"FS1\"", "{\"name\": \"FS/1\"")
            << "servers[0].name: contains '/', '\\' or ':'";
        QTest::newRow("object without a name")
            << edited("{\"name\": \"JSMITH\", ", "{") << "servers[0].objects[1].name: missing";
        QTest::newRow("object named twice, in two cases")
            << edited("\"JSMITH\", \"id\"", "\"admin\", \"id\"")
            << "servers[0].objects[1].name: duplicate object \"admin\"";
        QTest::newRow("connections not an array") << edited(
            "\"connections\": [], \"openFiles\": []", "\"connections\": {}, \"openFiles\": []")
                                                  << "servers[1].connections: not an array";
        QTest::newRow("open files not an array") << edited("\"connections\": [], \"openFiles\": []",
                                                           "\"connections\": [], \"openFiles\": {}")
                                                 << "servers[1].openFiles: not an array";
        QTest::newRow("trustees not an array")
            << edited("\"trustees\": []", "\"trustees\": 5") << "servers[0].trustees: not an array";
        QTest::newRow("no volumes")
            << edited("\"volumes\"", "\"x\"") << "servers[0].volumes: missing";
        QTest::newRow("operators not an array")
            << edited("[\"admin\"]", "\"admin\"") << "servers[0].operators: not an array";
        QTest::newRow("trustee rights above 16 bits")
            << edited(
                   "\"trustees\": []",
                   "\"trustees\": [{\"path\": \"SYS:\", \"object\": \"ADMIN\", \"rights\": 65536}]")
            << "servers[0].trustees[0].rights: not an integer in 0..65535";
        QTest::newRow("volume name too long")
            << edited("\"SYS\"", "\"ABCDEFGHIJKLMNOPQ\"")
            << "servers[0].volumes[0].name: not a volume name of at most 16";
        QTest::newRow("object id 0")
            << edited("1001", "0") << "servers[0].objects[1].id: not an integer in 1..4294967295";
        QTest::newRow("open file without volume")
            << edited("SYS:APPS", "APPS")
            << "servers[0].openFiles[0].path: not a VOLUME:DIR\\FILE path";
        QTest::newRow("open file of connection 0")
            << edited("\"connection\": 5,", "\"connection\": 0,")
            << "servers[0].openFiles[0].connection: not an integer in 1..65535";
        QTest::newRow("open file with an empty volume")
            << edited("SYS:APPS", ":APPS")
            << "servers[0].openFiles[0].path: not a VOLUME:DIR\\FILE path";
        QTest::newRow("drives not an object")
            << edited("{\"F\": \"FS1/SYS:\", \"g\": \"FS2/DATA:\", \"H\": \"FS3/DATA:\"}", "[]")
            << "workstation.drives: not an object";
        QTest::newRow("drive not a text")
            << edited("\"FS1/SYS:\"", "5") << "workstation.drives.F: not a string";
        QTest::newRow("trustee of unknown object")
            << edited("\"trustees\": []",
                      "\"trustees\": [{\"path\": \"SYS:\", \"object\": \"NOBODY\", \"rights\": 1}]")
            << "servers[0].trustees[0].object: unknown object \"NOBODY\"";
        QTest::newRow("drive to unknown server")
            << edited("FS1/SYS:", "FS9/SYS:") << "workstation.drives.F: unknown server \"FS9\"";
        QTest::newRow("drive Z is a letter, its server unknown")
            << edited("\"H\": \"FS3/", "\"Z\": \"FS9/") << "workstation.drives.Z: unknown server";
        QTest::newRow("drive letter twice")
            << edited("\"H\"", "\"f\"") << "workstation.drives.f: drive mapped twice";
        const QString page = ": holds a character outside the Windows-1252 code page";
        QTest::newRow("object name outside the code page")
            << edited("{\"name\": \"JSMITH\"", "{\"name\": \"J\u03A3\"")
            << "servers[0].objects[1].name" + page;
        QTest::newRow("open file path outside the code page")
            << edited("SYS:APPS\\\\ORDERS", "SYS:\u0391PPS\\\\ORDERS")
            << "servers[0].openFiles[0].path" + page;
        QTest::newRow("connection's user outside the code page")
            << edited("\"object\": \"JSMITH\", \"loginTime\"", "\"object\": \"JΣ\", \"loginTime\"")
            << c0 + "object" + page;
        QTest::newRow("volume name outside the code page")
            << edited("\"SYS\"", "\"\u03A3YS\"") << "servers[0].volumes[0].name" + page;
        QTest::newRow("drive name not a letter")
            << edited("\"H\"", "\"HH\"") << "workstation.drives.HH: not a drive letter";
    }
    void rejectsMalformed()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, expected);
        Network out;
        out.login = "UNTOUCHED";
        QString error;
        QVERIFY(!parseDescription(text, "/tmp", &out, &error));
        QVERIFY2(error.startsWith(expected), qPrintable(error));
        QCOMPARE(out.login, QString("UNTOUCHED"));
        // The store's loader, which drops entries as it reads, finds the same.
        QString dropping;
        QVERIFY(!loadDescription(QByteArray(text), "/tmp", &out, &dropping));
        QCOMPARE(dropping, error);
    }
    // Object names by position, however the index was sized before filling.
    void nameIndex_data()
    {
        QTest::addColumn<int>("reserved"); // -1: never
        QTest::addColumn<int>("names");
        QTest::newRow("empty, never reserved") << -1 << 0;
        QTest::newRow("grown from nothing") << -1 << 300;
        QTest::newRow("reserved too little") << 3 << 300;
        QTest::newRow("reserved in full") << 300 << 300;
    }
    void nameIndex()
    {
        QFETCH(int, reserved);
        QFETCH(int, names);
        NameIndex index;
        if (reserved >= 0)
            index.reserve(reserved);
        for (int i = 0; i < names; ++i)
            QCOMPARE(index.findOrInsert(QStringLiteral("U%1").arg(i), i * 3), i * 3);
        QCOMPARE(index.size(), qsizetype(names));
        for (int i = 0; i < names; ++i) {
            QCOMPARE(index.value(QStringLiteral("U%1").arg(i)), i * 3);
            // Found again, changing nothing.
            QCOMPARE(index.findOrInsert(QStringLiteral("U%1").arg(i), 7), i * 3);
            QCOMPARE(index.value(QStringLiteral("U%1").arg(i)), i * 3);
        }
        for (const QString &absent :
             {QString("U%1").arg(names), QString("U"), QString(), QString("u1")})
            QCOMPARE(index.value(absent), -1);
    }
    // Preparing pages for writing keeps what they and their neighbours hold.
    void preparedPagesKeepTheirBytes()
    {
        QByteArray bytes(3 << 20, Qt::Uninitialized);
        for (qsizetype i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i * 7 + i / 4096);
        const QByteArray before(bytes.constData(), bytes.size()); // not shared
        prepareToFill(bytes.constData() + 1000, size_t(bytes.size()) - 2000);
        QVERIFY(bytes == before);
        QList<int> list {1, 2, 3};
        reserveLarge(list, 100000);
        QCOMPARE(list, (QList<int> {1, 2, 3}));
    }
    // The text forms of an address and a login time, accepted or refused.
    void addressAndLoginTexts_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("net"); // empty when refused
        QTest::newRow("IP") << "IP:10.1.2.255" << QByteArray("\x0a\x01\x02\xff", 4);
        QTest::newRow("IP lower case, final line break") << "ip:0.0.0.7\n"
                                                         << QByteArray("\x00\x00\x00\x07", 4);
        QTest::newRow("IPX hex any case")
            << "ipx:0000aB01:0000000000C1:0451" << QByteArray("\x00\x00\xab\x01", 4);
        QTest::newRow("IP byte above 255") << "IP:10.1.2.256" << QByteArray();
        QTest::newRow("IP four digits") << "IP:1000.1.2.3" << QByteArray();
        QTest::newRow("IP three parts") << "IP:10.1.2" << QByteArray();
        QTest::newRow("IP trailing dot") << "IP:10.1.2.3." << QByteArray();
        QTest::newRow("IPX short node") << "IPX:00000001:00000000C1:0451" << QByteArray();
        QTest::newRow("IPX not hex") << "IPX:0000000G:0000000000C1:0451" << QByteArray();
    }
    void addressAndLoginTexts()
    {
        QFETCH(QString, address);
        QFETCH(QByteArray, net);
        const auto a = parseAddressText(address);
        QCOMPARE(a.has_value(), !net.isEmpty());
        if (a)
            QCOMPARE(QByteArray(reinterpret_cast<const char *>(a->net.data()), 4), net);
    }
    void loginTimeTexts()
    {
        const auto t = parseLoginTimeText("2026-12-06 08:15:09");
        QVERIFY(t && *t == (std::array<uint8_t, 7> {26, 12, 6, 8, 15, 9, 0}));
        for (const char *bad : {"2026-12-6 08:15:09", "2026-12-06T08:15:09", "2026-12-06 08:15:9",
                                "2026-13-06 08:15:09", "2026-12-06 08:15:09 "})
            QVERIFY2(!parseLoginTimeText(bad), bad);
    }
};

QTEST_GUILESS_MAIN(TestNetsimLoader)
#include "tst_netsim_loader.moc"
