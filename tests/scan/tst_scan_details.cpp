// Connection details: the detail text, the flag words, the List1 click and
// the lock-holder search.
#include "forms/form1.h"
#include "scan/connection_details.h"
#include "scan/detail_text.h"
#include "scan/scan_context.h"
#include "support/fake_platform.h"

#include <QListWidget>
#include <QPushButton>
#include <QtTest>

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
QString asShown(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

struct Rig
{
    Form1 form;
    FakePlatform platform;
    ScanContext scan;
    ConnectionDetails details{form, scan, platform};
    void add(const QString &user, uint8_t lockFlag)
    {
        form.List1()->addItem(user);
        scan.table.append(record(lockFlag));
        scan.table.last().ConnNumber = static_cast<int16_t>(100 + scan.table.size());
    }
    bool buttonsShown() const
    {
        return form.Command12()->isVisibleTo(&form) && form.Command13()->isVisibleTo(&form)
               && form.Command16()->isVisibleTo(&form);
    }
};
} // namespace

class TestScanDetails : public QObject
{
    Q_OBJECT
private slots:
    void detailText_data();
    void detailText();
    void openedAndLocked_data();
    void openedAndLocked();
    void openMode_data();
    void openMode();
    void trusteeRights_data();
    void trusteeRights();
    void bytesStayInTheBuffer();
    void click_data();
    void click();
    void locked_data();
    void locked();
};

void TestScanDetails::detailText_data()
{
    QTest::addColumn<bool>("rights");
    QTest::addColumn<QString>("expected");
    const QString head = "User: JSMITH\r\nConnection No: 12\r\nTask No: 3\r\nOpened: Shareable\r\n"
                         "File Rights: Read,Write,Deny Write\r\n";
    const QString tail = "Locked: Yes\r\nLogin: Monday, 12/6/99, 09:05 am\r\nAddress: IP: 10. 1. 2. 3";
    QTest::newRow("nine lines with rights") << true << head + "Directory Rights: Read,FileScan\r\n" + tail;
    QTest::newRow("eight lines without rights") << false << head + tail;
}

void TestScanDetails::detailText()
{
    QFETCH(bool, rights);
    QFETCH(QString, expected);
    QCOMPARE(ConnectionDetailText(QStringLiteral("JSMITH"), record(), rights), expected);
}

void TestScanDetails::openedAndLocked_data()
{
    QTest::addColumn<int>("lockType");
    QTest::addColumn<int>("lockFlag");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("locked");
    QTest::newRow("lock type 8 is shareable") << 8 << 0 << "Shareable" << "No";
    QTest::newRow("lock type 0 is exclusive") << 0 << 1 << "Exclusive" << "Yes";
    QTest::newRow("lock type 0xFF, flag 0xFF") << 0xFF << 0xFF << "Exclusive" << "Yes";
}

void TestScanDetails::openedAndLocked()
{
    QFETCH(int, lockType);
    QFETCH(int, lockFlag);
    QFETCH(QString, opened);
    QFETCH(QString, locked);
    ConnectionRecord r = record(static_cast<uint8_t>(lockFlag));
    r.LockType = static_cast<uint8_t>(lockType);
    const QStringList lines = ConnectionDetailText(QStringLiteral("A"), r, true).split("\r\n");
    QCOMPARE(lines.at(3), "Opened: " + opened);
    QCOMPARE(lines.at(6), "Locked: " + locked);
}

void TestScanDetails::openMode_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << 0x00 << "";
    QTest::newRow("all four") << 0x0F << "Read,Write,Deny Read,Deny Write";
    QTest::newRow("compatibility after deny write") << 0x19 << "Read,Deny Write,Compatibility";
    QTest::newRow("bits above compatibility not shown") << 0xE4 << "Deny Read";
}

void TestScanDetails::openMode()
{
    QFETCH(int, value);
    QFETCH(QString, text);
    QCOMPARE(OpenModeText(static_cast<uint8_t>(value)), text);
}

void TestScanDetails::trusteeRights_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << 0x0000 << "";
    QTest::newRow("all eight words") << 0x01FB << "Read,Write,Create,Delete,AccessCtrl,FileScan,Modify,Supervisor";
    QTest::newRow("0x0004 alone shows nothing") << 0x0004 << "";
    QTest::newRow("high bits beside supervisor") << 0x8102 << "Write,Supervisor";
}

void TestScanDetails::trusteeRights()
{
    QFETCH(int, mask);
    QFETCH(QString, text);
    QCOMPARE(TrusteeRightsText(static_cast<uint16_t>(mask)), text);
}

void TestScanDetails::bytesStayInTheBuffer()
{
    std::array<uint8_t, 4> small{};
    QCOMPARE(StringToBytes(QStringLiteral("[Root]"), small), std::size_t(4));
    QCOMPARE(BytesToString(small), "[Roo"); // no NUL: never read past the end
    std::array<uint8_t, 8> buf{};
    buf.fill(0x55);
    QCOMPARE(StringToBytes(QStringLiteral("\u00C4b") + QChar(u'\0') + QStringLiteral("\u20AC"), buf), std::size_t(4));
    QCOMPARE(buf[3], uint8_t('?'));
    QCOMPARE(buf[4], uint8_t(0x55));
    QCOMPARE(BytesToString(buf), QStringLiteral("\u00C4b"));
}

void TestScanDetails::click_data()
{
    QTest::addColumn<bool>("select");
    QTest::addColumn<int>("records");
    QTest::newRow("click selects the row") << true << 2;
    QTest::newRow("click leaves nothing selected") << false << 2;
    QTest::newRow("row without record keeps the text") << true << 1;
}

void TestScanDetails::click()
{
    QFETCH(bool, select);
    QFETCH(int, records);
    Rig r;
    r.add("ANNA", 0);
    r.add("JSMITH", 1);
    r.scan.table.resize(records);
    for (QPushButton *b : {r.form.Command12(), r.form.Command13(), r.form.Command16()})
        b->setVisible(!select);
    r.form.setStatus("before");
    r.form.List1()->setCurrentRow(1, select ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
    r.details.onList1Click();
    QCOMPARE(r.form.status(), records < 2 ? "before" : asShown(ConnectionDetailText("JSMITH", r.scan.table[1], true)));
    QCOMPARE(r.buttonsShown(), select);
    QVERIFY(r.platform.calls.isEmpty());
}

void TestScanDetails::locked_data()
{
    QTest::addColumn<QList<int>>("flags");
    QTest::addColumn<int>("found"); // -1: nobody
    QTest::newRow("empty list") << QList<int>{} << -1;
    QTest::newRow("nobody locked") << QList<int>{0, 0} << -1;
    QTest::newRow("first of several locks") << QList<int>{0, 0, 1, 0, 1} << 2;
    QTest::newRow("any non-zero flag counts") << QList<int>{0, 0x80} << 1;
}

void TestScanDetails::locked()
{
    QFETCH(QList<int>, flags);
    QFETCH(int, found);
    Rig r;
    for (int k = 0; k < flags.size(); ++k)
        r.add(QStringLiteral("USER%1").arg(k), static_cast<uint8_t>(flags[k]));
    if (!flags.isEmpty())
        r.form.List1()->item(0)->setSelected(true);
    r.details.onLockedClick();
    if (found < 0) {
        QCOMPARE(r.form.status(), "No user has the file locked.");
        return;
    }
    QCOMPARE(r.form.List1()->currentRow(), found);
    QCOMPARE(r.form.status(), asShown(ConnectionDetailText(QStringLiteral("USER%1").arg(found), r.scan.table[found], true)));
    // Pointing at the lock holder leaves the selection as it was.
    QVERIFY(!r.form.List1()->item(found)->isSelected());
    QVERIFY(r.form.List1()->item(0)->isSelected());
}

QTEST_MAIN(TestScanDetails)
#include "tst_scan_details.moc"
