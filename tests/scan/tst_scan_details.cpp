// The scan's texts (login time, address, flag words, detail text, buffers),
// the List1 click and the lock-holder search.
#include "forms/form1.h"
#include "scan/connection_details.h"
#include "scan/detail_text.h"
#include "scan/scan_context.h"
#include "scan/scan_format.h"
#include "support/app_fixture.h"
#include "support/fake_platform.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <algorithm>
#include <cstring>

namespace {
ConnectionRecord record(uint8_t lockFlag = 1)
{
    ConnectionRecord r;
    r.ConnNumber = 12;
    r.TaskNumber = 3;
    r.LockType = 8;
    r.AccessControl = 0x0B;
    r.RightsText = QStringLiteral("Read,FileScan");
    r.LockFlag = lockFlag;
    r.LoginTimeText = QStringLiteral("Monday, 12/6/99, 09:05 am");
    r.AddressText = QStringLiteral("IP: 10. 1. 2. 3");
    return r;
}

// Text2 holds lines, not the "\r\n" they were joined with.
QString shown(const QString &user, const ConnectionRecord &r)
{
    return ConnectionDetailText(user, r, true)
        .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

struct Rig
{
    Form1 form;
    FakePlatform platform;
    ScanContext scan;
    ConnectionDetails details {form, scan, platform};
    void add(const QString &user, uint8_t lockFlag)
    {
        form.List1()->addItem(user);
        scan.table.append(record(lockFlag));
        scan.table.last().ConnNumber = static_cast<int16_t>(100 + scan.table.size());
    }
};
} // namespace

class TestScanDetails : public QObject
{
    Q_OBJECT
private slots:
    void loginTime_data()
    {
        // Hours 0 and 13 and the IP and IPX forms are in the scanner's first-entry test.
        QTest::addColumn<QByteArray>("bytes"); // year, month, day, hour, minute, second, weekday
        QTest::addColumn<QString>("text");
        const auto row = [](const char *name, std::initializer_list<char> b, const char *text) {
            QTest::newRow(name) << QByteArray(b.begin(), int(b.size()))
                                << QString::fromLatin1(text);
        };
        row("hour 12 is 12 pm", {99, 12, 6, 12, 0, 0, 2}, "Tuesday, 12/6/99, 12:00 pm");
        row("last minute of the day", {26, 12, 31, 23, 59, 0, 4}, "Thursday, 12/31/26, 11:59 pm");
        row("weekday 7 has no name", {26, 1, 7, 8, 0, 0, 7}, ", 1/7/26, 08:00 am");
        row("raw year byte, no century", {5, 3, 4, 10, 0, 0, 6}, "Saturday, 3/4/5, 10:00 am");
        row("impossible time left out", {26, 3, 4, 25, 70, 0, 5}, "Friday, 3/4/26, ");
    }
    void loginTime()
    {
        QFETCH(QByteArray, bytes);
        QTEST(FormatLoginTime(reinterpret_cast<const nuint8 *>(bytes.constData())), "text");
    }

    void address_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("hex"); // 4 net, 6 node, 2 socket
        QTest::addColumn<QString>("text");
        QTest::newRow("type without prefix")
            << 7 << QByteArray("010203040506070809000a0b") << "01020304:050607080900:0A0B";
        QTest::newRow("only the low byte is the type")
            << 0x010B << QByteArray("01020304") << "IP: 1. 2. 3. 4";
    }
    void address()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, hex);
        const QByteArray b = QByteArray::fromHex(hex).leftJustified(12, '\0');
        // Copied through a fixed buffer: the sanitizer build's bounds analysis
        // cannot see that the row's bytes are never short.
        char raw[12] = {};
        memcpy(raw, b.constData(), std::min<size_t>(size_t(b.size()), sizeof raw));
        NWINET_ADDR a {};
        memcpy(a.networkAddr, raw, 4);
        memcpy(a.netNodeAddr, raw + 4, 6);
        memcpy(a.socket, raw + 10, 2);
        a.connType = static_cast<nuint16>(type);
        QTEST(FormatAddress(a), "text");
    }

    void words_data()
    {
        QTest::addColumn<QString>("function");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("open: all four") << "open" << 0x0F << "Read,Write,Deny Read,Deny Write";
        QTest::newRow("open: compatibility after deny write")
            << "open" << 0x19 << "Read,Deny Write,Compatibility";
        QTest::newRow("open: bits above compatibility not shown") << "open" << 0xE4 << "Deny Read";
        QTest::newRow("rights: all eight words")
            << "rights" << 0x01FB
            << "Read,Write,Create,Delete,AccessCtrl,FileScan,Modify,Supervisor";
        QTest::newRow("rights: 0x0004 alone shows nothing") << "rights" << 0x0004 << "";
        QTest::newRow("rights: high bits beside supervisor")
            << "rights" << 0x8102 << "Write,Supervisor";
    }
    void words()
    {
        QFETCH(QString, function);
        QFETCH(int, value);
        QTEST(function == "open" ? OpenModeText(static_cast<uint8_t>(value))
                                 : TrusteeRightsText(static_cast<uint16_t>(value)),
              "text");
    }

    void detailText_data()
    {
        QTest::addColumn<bool>("rights");
        QTest::addColumn<int>("lockType");
        QTest::addColumn<int>("lockFlag");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("locked");
        const auto row = [](const char *name, bool rights, int lockType, int lockFlag,
                            const char *opened, const char *locked) {
            QTest::newRow(name) << rights << lockType << lockFlag << opened << locked;
        };
        row("nine lines, type 8 shareable", true, 8, 1, "Shareable", "Yes");
        row("eight lines without rights, type 0", false, 0, 0, "Exclusive", "No");
        row("type 0xFF, flag 0xFF", true, 0xFF, 0xFF, "Exclusive", "Yes");
    }
    void detailText()
    {
        QFETCH(bool, rights);
        QFETCH(int, lockType);
        QFETCH(int, lockFlag);
        QFETCH(QString, opened);
        QFETCH(QString, locked);
        ConnectionRecord r = record(static_cast<uint8_t>(lockFlag));
        r.LockType = static_cast<uint8_t>(lockType);
        QCOMPARE(ConnectionDetailText(QStringLiteral("JSMITH"), r, rights),
                 "User: JSMITH\r\nConnection No: 12\r\nTask No: 3\r\nOpened: " + opened
                     + "\r\nFile Rights: Read,Write,Deny Write\r\n"
                     + (rights ? "Directory Rights: Read,FileScan\r\n" : "") + "Locked: " + locked
                     + "\r\nLogin: Monday, 12/6/99, 09:05 am\r\nAddress: IP: 10. 1. 2. 3");
    }

    void buffersNeverOverrun()
    {
        std::array<uint8_t, 4> small {};
        QCOMPARE(StringToBytes(QStringLiteral("[Root]"), small), std::size_t(4));
        QCOMPARE(BytesToString(small), "[Roo");
        std::array<uint8_t, 8> bytes {};
        bytes.fill(0x55);
        QCOMPARE(StringToBytes(QStringLiteral("\u00C4b") + QChar(u'\0') + QStringLiteral("\u03A3"),
                               bytes),
                 std::size_t(4));
        QCOMPARE(bytes[3], uint8_t('?'));
        QCOMPARE(bytes[4], uint8_t(0x55));
        QCOMPARE(BytesToString(bytes), QStringLiteral("\u00C4b"));
    }

    void click_data()
    {
        QTest::addColumn<bool>("select");
        QTest::addColumn<int>("records");
        QTest::newRow("click selects the row") << true << 2;
        QTest::newRow("click leaves nothing selected") << false << 2;
        QTest::newRow("row without record keeps the text") << true << 1;
    }
    void click()
    {
        QFETCH(bool, select);
        QFETCH(int, records);
        Rig r;
        r.add("ANNA", 0);
        r.add("JSMITH", 1);
        r.scan.table.resize(records);
        const QList<QPushButton *> buttons {r.form.Command12(), r.form.Command13(),
                                            r.form.Command16()};
        for (QPushButton *b : buttons)
            b->setVisible(!select);
        r.form.setStatus("before");
        r.form.List1()->setCurrentRow(
            1, select ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
        r.details.onList1Click();
        QCOMPARE(r.form.status(), records < 2 ? "before" : shown("JSMITH", r.scan.table[1]));
        for (QPushButton *b : buttons)
            QCOMPARE(b->isVisibleTo(&r.form), select);
        QVERIFY(r.platform.calls.isEmpty());
    }

    // Through the whole window: the keyboard selects, the Find box finds the
    // row that is already current; both show what a click shows.
    void keyboardAndFind()
    {
        AppFixture fx;
        fx.createFile("APPS\\ORDERS.DBF");
        for (int c : {5, 6}) {
            fx.net.addConnection(0, c, c == 5 ? "JSMITH" : "ANNA");
            fx.net.addOpenFile(0, "SYS:APPS\\ORDERS.DBF", c);
        }
        fx.start("F:\\APPS\\ORDERS.DBF");
        Form1 &f = fx.app->form();
        QListWidget *list = f.List1();
        QCOMPARE(list->count(), 2);
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.Combo1()->setFocus();
        QTest::keyClick(f.Combo1(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), list);
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Space);
        QVERIFY(list->item(1)->isSelected());
        QVERIFY(f.Command12()->isVisible() && f.Command13()->isVisible()
                && f.Command16()->isVisible());
        QCOMPARE(f.status(), shown("ANNA", fx.app->scanContext().table[1]));

        f.setStatus("Message sent to user ANNA.");
        QTest::keyClicks(f.Text1(), "an");
        QCOMPARE(list->currentRow(), 1);
        QCOMPARE(f.status(), shown("ANNA", fx.app->scanContext().table[1]));
        QVERIFY(f.Command12()->isHidden());
    }

    void locked_data()
    {
        QTest::addColumn<QList<int>>("flags");
        QTest::addColumn<int>("found"); // -1: nobody
        QTest::newRow("empty list") << QList<int> {} << -1;
        QTest::newRow("nobody locked") << QList<int> {0, 0} << -1;
        QTest::newRow("first non-zero flag of several") << QList<int> {0, 0, 0x80, 0, 1} << 2;
        QTest::newRow("holder on the first line") << QList<int> {1, 0} << 0;
    }
    void locked()
    {
        QFETCH(QList<int>, flags);
        QFETCH(int, found);
        Rig r;
        for (int k = 0; k < flags.size(); ++k)
            r.add(QStringLiteral("USER%1").arg(k), static_cast<uint8_t>(flags[k]));
        if (!flags.isEmpty())
            r.form.List1()->item(int(flags.size()) - 1)->setSelected(true);
        r.details.onLockedClick();
        if (found < 0) {
            QCOMPARE(r.form.status(), "No user has the file locked.");
            return;
        }
        QCOMPARE(r.form.List1()->currentRow(), found);
        QCOMPARE(r.form.status(), shown(QStringLiteral("USER%1").arg(found), r.scan.table[found]));
        // Pointing at the lock holder leaves the selection as it was.
        QVERIFY(!r.form.List1()->item(found)->isSelected());
        QVERIFY(r.form.List1()->item(int(flags.size()) - 1)->isSelected());
    }
};

QTEST_MAIN(TestScanDetails)
#include "tst_scan_details.moc"
