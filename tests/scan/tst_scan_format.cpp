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
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    auto row = [](const char *name, std::initializer_list<int> b, const char *text) {
        QByteArray bytes;
        for (int v : b)
            bytes.append(char(v));
        QTest::newRow(name) << bytes << QString::fromLatin1(text);
    };
    row("morning", {99, 12, 6, 9, 5, 0, 1}, "Monday, 12/6/99, 09:05 am");
    row("hour 0 is 12 am", {99, 12, 6, 0, 5, 0, 0}, "Sunday, 12/6/99, 12:05 am");
    row("hour 12 is 12 pm", {99, 12, 6, 12, 0, 0, 2}, "Tuesday, 12/6/99, 12:00 pm");
    row("hour 13 is 01 pm", {99, 12, 6, 13, 30, 0, 4}, "Thursday, 12/6/99, 01:30 pm");
    row("weekday 3 spelled right", {26, 1, 7, 23, 59, 59, 3}, "Wednesday, 1/7/26, 11:59 pm");
    row("weekday 7 has no name", {26, 1, 7, 8, 0, 0, 7}, ", 1/7/26, 08:00 am");
    row("weekday 255 has no name", {26, 1, 7, 8, 0, 0, 255}, ", 1/7/26, 08:00 am");
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
    QTest::addColumn<QByteArray>("bytes"); // 4 net, 6 node, 2 socket
    QTest::addColumn<QString>("text");
    QTest::newRow("IP spacing") << 11 << QByteArray::fromHex("c0a80114" "000000000000" "0000")
                                << "IP: 192. 168. 1. 20";
    QTest::newRow("IP zeros") << 11 << QByteArray(12, '\0') << "IP: 0. 0. 0. 0";
    QTest::newRow("IPX hex") << 2 << QByteArray::fromHex("00001234" "00a0c9010203" "4003")
                             << "IPX:00001234:00A0C9010203:4003";
    QTest::newRow("AFP") << 3 << QByteArray::fromHex("0a0b0c0d" "ffffffffffff" "00ff")
                         << "AFP:0A0B0C0D:FFFFFFFFFFFF:00FF";
    QTest::newRow("type without prefix") << 7 << QByteArray::fromHex("01020304" "050607080900" "0a0b")
                                         << "01020304:050607080900:0A0B";
    QTest::newRow("only the low byte is the type") << 0x010B << QByteArray::fromHex("01020304" "000000000000" "0000")
                                                   << "IP: 1. 2. 3. 4";
}

void TestScanFormat::address()
{
    QFETCH(int, type);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(bytes.size(), 12);
    // Copied through a fixed buffer: the sanitizer build's bounds analysis
    // cannot see that the row's bytes are never empty.
    char raw[12] = {};
    memcpy(raw, bytes.constData(), std::min<size_t>(size_t(bytes.size()), sizeof raw));
    NWINET_ADDR a{};
    memcpy(a.networkAddr, raw, 4);
    memcpy(a.netNodeAddr, raw + 4, 6);
    memcpy(a.socket, raw + 10, 2);
    a.connType = static_cast<nuint16>(type);
    QCOMPARE(FormatAddress(a), text);
}

void TestScanFormat::cutAtNul()
{
    const char buf[8] = {'A', 'B', '\0', 'C', 'D', 'E', 'F', 'G'};
    QCOMPARE(CutAtNul(buf, sizeof buf), QStringLiteral("AB"));
    const char full[4] = {'W', 'X', 'Y', 'Z'}; // no NUL: never read past the end
    QCOMPARE(CutAtNul(full, sizeof full), QStringLiteral("WXYZ"));
    QCOMPARE(CutAtNul(QStringLiteral("ab") + QChar(0) + QStringLiteral("cd")), QStringLiteral("ab"));
    QCOMPARE(CutAtNul(QStringLiteral("plain")), QStringLiteral("plain"));
}

QTEST_GUILESS_MAIN(TestScanFormat)
#include "tst_scan_format.moc"
