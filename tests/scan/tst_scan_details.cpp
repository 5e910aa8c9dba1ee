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

ConnectionRecord sampleRecord()
{
    ConnectionRecord r;
    r.ConnNumber = 12;
    r.TaskNumber = 3;
    r.LockType = 8;
    r.AccessControl = 0x0B;
    r.RightsText = QStringLiteral("Read,FileScan");
    r.LockFlag = 1;
    r.LoginTimeText = QStringLiteral("Monday, 12/6/99, 09:05 am");
    r.AddressText = QStringLiteral("IP: 10. 1. 2. 3");
    return r;
}

ConnectionRecord withLock(uint8_t flag)
{
    ConnectionRecord r = sampleRecord();
    r.LockFlag = flag;
    return r;
}

// Text2 holds lines, not the "\r\n" they were joined with.
QString asShown(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

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
    void bytes();

    void clickShowsDetailsAndButtons_data();
    void clickShowsDetailsAndButtons();
    void clickOnRowWithoutRecord();
    void locked_data();
    void locked();
};

void TestScanDetails::detailText_data()
{
    QTest::addColumn<bool>("rights");
    QTest::addColumn<QString>("expected");
    QTest::newRow("nine lines with rights")
        << true
        << QStringLiteral("User: JSMITH\r\nConnection No: 12\r\nTask No: 3\r\nOpened: Shareable\r\n"
                          "File Rights: Read,Write,Deny Write\r\nDirectory Rights: Read,FileScan\r\n"
                          "Locked: Yes\r\nLogin: Monday, 12/6/99, 09:05 am\r\nAddress: IP: 10. 1. 2. 3");
    QTest::newRow("eight lines without rights")
        << false
        << QStringLiteral("User: JSMITH\r\nConnection No: 12\r\nTask No: 3\r\nOpened: Shareable\r\n"
                          "File Rights: Read,Write,Deny Write\r\n"
                          "Locked: Yes\r\nLogin: Monday, 12/6/99, 09:05 am\r\nAddress: IP: 10. 1. 2. 3");
}

void TestScanDetails::detailText()
{
    QFETCH(bool, rights);
    QFETCH(QString, expected);
    QCOMPARE(ConnectionDetailText(QStringLiteral("JSMITH"), sampleRecord(), rights), expected);
}

void TestScanDetails::openedAndLocked_data()
{
    QTest::addColumn<int>("lockType");
    QTest::addColumn<int>("lockFlag");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("locked");
    QTest::newRow("lock type 8 is shareable") << 8 << 0 << "Shareable" << "No";
    QTest::newRow("lock type 0 is exclusive") << 0 << 1 << "Exclusive" << "Yes";
    QTest::newRow("lock type 1 is exclusive") << 1 << 2 << "Exclusive" << "Yes";
    QTest::newRow("lock type 0xFF is exclusive") << 0xFF << 0xFF << "Exclusive" << "Yes";
}

void TestScanDetails::openedAndLocked()
{
    QFETCH(int, lockType);
    QFETCH(int, lockFlag);
    QFETCH(QString, opened);
    QFETCH(QString, locked);
    ConnectionRecord r = sampleRecord();
    r.LockType = static_cast<uint8_t>(lockType);
    r.LockFlag = static_cast<uint8_t>(lockFlag);
    const QStringList lines = ConnectionDetailText(QStringLiteral("A"), r, true).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.at(3), QStringLiteral("Opened: ") + opened);
    QCOMPARE(lines.at(6), QStringLiteral("Locked: ") + locked);
}

void TestScanDetails::openMode_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << 0x00 << "";
    QTest::newRow("read write deny write") << 0x0B << "Read,Write,Deny Write";
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
    QTest::newRow("read and file scan") << 0x0041 << "Read,FileScan";
    QTest::newRow("all eight words") << 0x01FB
                                     << "Read,Write,Create,Delete,AccessCtrl,FileScan,Modify,Supervisor";
    QTest::newRow("0x0004 alone shows nothing") << 0x0004 << "";
    QTest::newRow("bits above 0x100 not shown") << 0xFE00 << "";
    QTest::newRow("high bits beside supervisor") << 0x8102 << "Write,Supervisor";
}

void TestScanDetails::trusteeRights()
{
    QFETCH(int, mask);
    QFETCH(QString, text);
    QCOMPARE(TrusteeRightsText(static_cast<uint16_t>(mask)), text);
}

void TestScanDetails::bytes()
{
    std::array<uint8_t, 4> small{9, 9, 9, 9};
    QCOMPARE(StringToBytes(QStringLiteral("[Root]"), small), std::size_t(4));
    QCOMPARE(BytesToString(small), QStringLiteral("[Roo"));

    std::array<uint8_t, 8> buf{};
    buf.fill(0x55);
    QCOMPARE(StringToBytes(QStringLiteral("\u00C4b") + QChar(u'\0') + QStringLiteral("\u20AC"), buf),
             std::size_t(4));
    QCOMPARE(buf[0], uint8_t(0xC4));
    QCOMPARE(buf[3], uint8_t('?'));
    QCOMPARE(buf[4], uint8_t(0x55)); // nothing past the text
    QCOMPARE(BytesToString(buf), QStringLiteral("\u00C4b"));
}

void TestScanDetails::clickShowsDetailsAndButtons_data()
{
    QTest::addColumn<bool>("leaveSelected");
    QTest::newRow("click selects the row") << true;
    QTest::newRow("click deselects the last row") << false;
}

void TestScanDetails::clickShowsDetailsAndButtons()
{
    QFETCH(bool, leaveSelected);
    Form1 form;
    FakePlatform platform;
    ScanContext scan;
    scan.table = {withLock(0), sampleRecord()};
    form.List1()->addItems({QStringLiteral("ANNA"), QStringLiteral("JSMITH")});
    ConnectionDetails details(form, scan, platform);
    form.Command12()->setVisible(!leaveSelected);
    form.Command13()->setVisible(!leaveSelected);
    form.Command16()->setVisible(!leaveSelected);

    form.List1()->setCurrentRow(1, leaveSelected ? QItemSelectionModel::Select
                                                 : QItemSelectionModel::Deselect);
    details.onList1Click();

    QCOMPARE(form.status(), asShown(ConnectionDetailText(QStringLiteral("JSMITH"), sampleRecord(), true)));
    QCOMPARE(form.Command12()->isVisibleTo(&form), leaveSelected);
    QCOMPARE(form.Command13()->isVisibleTo(&form), leaveSelected);
    QCOMPARE(form.Command16()->isVisibleTo(&form), leaveSelected);
    QVERIFY(platform.calls.isEmpty());
}

void TestScanDetails::clickOnRowWithoutRecord()
{
    Form1 form;
    FakePlatform platform;
    ScanContext scan;
    scan.table = {sampleRecord()};
    form.List1()->addItems({QStringLiteral("ANNA"), QStringLiteral("BERT")});
    ConnectionDetails details(form, scan, platform);
    form.setStatus(QStringLiteral("before"));

    form.List1()->setCurrentRow(1, QItemSelectionModel::Select);
    details.onList1Click();

    QCOMPARE(form.status(), QStringLiteral("before"));
    QVERIFY(platform.calls.isEmpty());
    QVERIFY(form.Command16()->isVisibleTo(&form)); // the buttons still follow the selection
}

void TestScanDetails::locked_data()
{
    QTest::addColumn<QList<int>>("flags");
    QTest::addColumn<int>("found"); // -1: nobody
    QTest::newRow("empty list") << QList<int>{} << -1;
    QTest::newRow("nobody locked") << QList<int>{0, 0, 0} << -1;
    QTest::newRow("first of several locks") << QList<int>{0, 0, 1, 0, 0, 1} << 2;
    QTest::newRow("any non-zero flag counts") << QList<int>{0, 0x80} << 1;
}

void TestScanDetails::locked()
{
    QFETCH(QList<int>, flags);
    QFETCH(int, found);
    Form1 form;
    FakePlatform platform;
    ScanContext scan;
    for (int k = 0; k < flags.size(); ++k) {
        scan.table.append(withLock(static_cast<uint8_t>(flags[k])));
        scan.table.last().ConnNumber = static_cast<int16_t>(100 + k);
        form.List1()->addItem(QStringLiteral("USER%1").arg(k));
    }
    ConnectionDetails details(form, scan, platform);
    form.setStatus(QStringLiteral("old text"));
    if (!flags.isEmpty())
        form.List1()->item(0)->setSelected(true);

    details.onLockedClick();

    if (found < 0) {
        QCOMPARE(form.status(), QStringLiteral("No user has the file locked."));
        return;
    }
    QCOMPARE(form.List1()->currentRow(), found);
    QCOMPARE(form.status(), asShown(ConnectionDetailText(QStringLiteral("USER%1").arg(found),
                                                         scan.table[found], true)));
    // Pointing at the lock holder leaves the selection as it was.
    QVERIFY(!form.List1()->item(found)->isSelected());
    QVERIFY(form.List1()->item(0)->isSelected());
    QVERIFY(form.Command16()->isVisibleTo(&form));
}

QTEST_MAIN(TestScanDetails)
#include "tst_scan_details.moc"
