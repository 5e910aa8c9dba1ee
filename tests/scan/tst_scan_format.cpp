// Login time, address and buffer texts as the scan builds them.
#include "scan/scan_format.h"

#include <QtTest>

#include <algorithm>
#include <cstring>

class TestScanFormat : public QObject
{
    Q_OBJECT
private slots:
    void loginTime_data();
    void loginTime();
    void address_data();
    void address();
    void cutAtNul();
};

void TestScanFormat::loginTime_data()
{
    QTest::addColumn<QByteArray>("bytes"); // year, month, day, hour, minute, second, weekday
    QTest::addColumn<QString>("text");
    const auto row = [](const char *name, std::initializer_list<char> b, const char *text) {
        QTest::newRow(name) << QByteArray(b.begin(), int(b.size())) << QString::fromLatin1(text);
    };
    row("hour 0 is 12 am", {99, 12, 6, 0, 5, 0, 0}, "Sunday, 12/6/99, 12:05 am");
    row("hour 12 is 12 pm", {99, 12, 6, 12, 0, 0, 2}, "Tuesday, 12/6/99, 12:00 pm");
    row("hour 13 is 01 pm", {99, 12, 6, 13, 30, 0, 3}, "Wednesday, 12/6/99, 01:30 pm");
    row("weekday 7 has no name", {26, 1, 7, 8, 0, 0, 7}, ", 1/7/26, 08:00 am");
    row("weekday 255 has no name", {26, 1, 7, 8, 0, 0, char(255)}, ", 1/7/26, 08:00 am");
    row("raw year byte, no century", {5, 3, 4, 10, 0, 0, 6}, "Saturday, 3/4/5, 10:00 am");
    row("year byte above 99 kept raw", {126, 3, 4, 10, 0, 0, 5}, "Friday, 3/4/126, 10:00 am");
    row("impossible time left out", {26, 3, 4, 25, 70, 0, 5}, "Friday, 3/4/26, ");
}

void TestScanFormat::loginTime()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(FormatLoginTime(reinterpret_cast<const nuint8 *>(bytes.constData())), text);
}

void TestScanFormat::address_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("hex"); // 4 net, 6 node, 2 socket
    QTest::addColumn<QString>("text");
    QTest::newRow("IP spacing") << 11 << QByteArray("c0a80114") << "IP: 192. 168. 1. 20";
    QTest::newRow("IPX hex") << 2 << QByteArray("0000123400a0c90102034003") << "IPX:00001234:00A0C9010203:4003";
    QTest::newRow("type without prefix") << 7 << QByteArray("010203040506070809000a0b") << "01020304:050607080900:0A0B";
    QTest::newRow("only the low byte is the type") << 0x010B << QByteArray("01020304") << "IP: 1. 2. 3. 4";
}

void TestScanFormat::address()
{
    QFETCH(int, type);
    QFETCH(QByteArray, hex);
    QFETCH(QString, text);
    const QByteArray b = QByteArray::fromHex(hex).leftJustified(12, '\0');
    // Copied through a fixed buffer: the sanitizer build's bounds analysis
    // cannot see that the row's bytes are never short.
    char raw[12] = {};
    memcpy(raw, b.constData(), std::min<size_t>(size_t(b.size()), sizeof raw));
    NWINET_ADDR a{};
    memcpy(a.networkAddr, raw, 4);
    memcpy(a.netNodeAddr, raw + 4, 6);
    memcpy(a.socket, raw + 10, 2);
    a.connType = static_cast<nuint16>(type);
    QCOMPARE(FormatAddress(a), text);
}

void TestScanFormat::cutAtNul()
{
    const char buf[5] = {'A', 'B', '\0', 'C', 'D'};
    QCOMPARE(CutAtNul(buf, sizeof buf), "AB");
    const char full[4] = {'W', 'X', 'Y', 'Z'}; // no NUL: never read past the end
    QCOMPARE(CutAtNul(full, sizeof full), "WXYZ");
}

QTEST_GUILESS_MAIN(TestScanFormat)
#include "tst_scan_format.moc"
