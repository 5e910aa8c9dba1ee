// Reports: the users report text, the User and Copy clipboard copies and the
// printed report, on the fake printer and once through the real one.
#include "actions/reports.h"
#include "actions/users_report.h"
#include "forms/form1.h"
#include "platform/qt_printer.h"
#include "scan/detail_text.h"
#include "scan/scan_context.h"
#include "support/fake_platform.h"

#include <QListWidget>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kPath = QStringLiteral("F:\\APPS\\ORDERS.DBF");
const QDateTime kNow(QDate(1999, 12, 6), QTime(14, 5));

ConnectionRecord record(int16_t conn)
{
    ConnectionRecord r;
    r.ConnNumber = conn;
    r.TaskNumber = 1;
    r.LockType = 0;
    r.AccessControl = 0x03;
    r.RightsText = QStringLiteral("Read,Write");
    r.LoginTimeText = QStringLiteral("Monday, 12/6/99, 08:15 am");
    r.AddressText = QStringLiteral("IP: 10. 1. 2. 3");
    return r;
}

// The fake platform, but printing through a real QtPrinter into a PDF.
class PdfPlatform final : public Platform
{
public:
    explicit PdfPlatform(const QString &pdf) : m_printer(pdf) {}
    void beep() override { fake.beep(); }
    Answer messageBox(QWidget *p, const QString &text, const QString &title, Icon icon,
                      Buttons buttons, bool topmost) override
    {
        return fake.messageBox(p, text, title, icon, buttons, topmost);
    }
    QString inputBox(QWidget *p, const QString &a, const QString &b, const QString &c) override
    {
        return fake.inputBox(p, a, b, c);
    }
    void pushBusyCursor() override { fake.pushBusyCursor(); }
    void popBusyCursor() override { fake.popBusyCursor(); }
    QDateTime now() override { return fake.now(); }
    void processEvents() override { fake.processEvents(); }
    void sleepMs(int ms) override { fake.sleepMs(ms); }
    bool setClipboardText(const QString &t) override { return fake.setClipboardText(t); }
    Printer &printer() override { return m_printer; }
    bool openUrl(const QString &url) override { return fake.openUrl(url); }
    bool activateWindowByTitle(const QString &t) override { return fake.activateWindowByTitle(t); }
    QSize screenSize() override { return fake.screenSize(); }
    bool startWindowMove(QWidget *w) override { return fake.startWindowMove(w); }

    FakePlatform fake;

private:
    QtPrinter m_printer;
};

struct Fixture
{
    explicit Fixture(QStringList users, QString path = kPath)
        : reports(form, scan, platform, [path] { return path; })
    {
        platform.clock = kNow;
        for (int k = 0; k < users.size(); ++k) {
            form.List1()->addItem(users[k]);
            scan.table.append(record(static_cast<int16_t>(10 + k)));
        }
    }
    Form1 form;
    ScanContext scan;
    FakePlatform platform;
    Reports reports;
};

} // namespace

class TestActionsReports : public QObject
{
    Q_OBJECT
private slots:
    void reportText_data();
    void reportText();
    void reportDate_data();
    void reportDate();

    void copyReport();
    void userDetails();
    void userWithoutCurrentRow();
    void clipboardRefused_data();
    void clipboardRefused();

    void printedLines();
    void printFailure_data();
    void printFailure();
    void printToPdf();
};

void TestActionsReports::reportText_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no rows") << kPath << QStringList{}
                             << QStringLiteral("F:\\APPS\\ORDERS.DBF\r\n12/06/99 02:05 pm\r\n\r\n\r\n0 users");
    QTest::newRow("two rows") << kPath << QStringList{"ANNA", "JSMITH"}
                              << QStringLiteral("F:\\APPS\\ORDERS.DBF\r\n12/06/99 02:05 pm\r\n\r\n"
                                                "ANNA\r\nJSMITH\r\n\r\n2 users");
    QTest::newRow("one row keeps the plural") << kPath << QStringList{"ANNA"}
                                              << QStringLiteral("F:\\APPS\\ORDERS.DBF\r\n12/06/99 02:05 pm"
                                                                "\r\n\r\nANNA\r\n\r\n1 users");
}

void TestActionsReports::reportText()
{
    QFETCH(QString, path);
    QFETCH(QStringList, rows);
    QFETCH(QString, expected);
    QCOMPARE(UsersReportText(path, kNow, rows), expected);
}

void TestActionsReports::reportDate_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("text");
    QTest::newRow("hour 0 is 12 am") << QDateTime(QDate(2005, 1, 2), QTime(0, 5)) << "01/02/05 12:05 am";
    QTest::newRow("hour 12 is 12 pm") << QDateTime(QDate(2026, 11, 30), QTime(12, 0)) << "11/30/26 12:00 pm";
    QTest::newRow("hour 23 is 11 pm") << QDateTime(QDate(2000, 7, 4), QTime(23, 59, 59)) << "07/04/00 11:59 pm";
    QTest::newRow("morning") << QDateTime(QDate(1999, 12, 6), QTime(9, 7)) << "12/06/99 09:07 am";
}

void TestActionsReports::reportDate()
{
    QFETCH(QDateTime, when);
    QFETCH(QString, text);
    QCOMPARE(ReportDateText(when), text);
}

void TestActionsReports::copyReport()
{
    // A drive's root: the heading takes the browser's path as it comes.
    Fixture f({"ANNA", "JSMITH"}, QStringLiteral("F:\\ORDERS.DBF"));
    f.reports.onCopyClicked();
    const QString expected = UsersReportText(QStringLiteral("F:\\ORDERS.DBF"), kNow, {"ANNA", "JSMITH"});
    QVERIFY(expected.startsWith(QStringLiteral("F:\\ORDERS.DBF\r\n")));
    QCOMPARE(f.platform.clipboard, expected);
    // 13 + 17 + 0 + 4 + 6 + 0 + 7 characters and six "\r\n" pairs.
    QCOMPARE(f.form.status(), QStringLiteral("59 bytes copied to the clipboard."));
    QCOMPARE(f.platform.busyDepth, 0);
}

void TestActionsReports::userDetails()
{
    Fixture f({"ANNA", "JSMITH"});
    f.form.List1()->setCurrentRow(1, QItemSelectionModel::NoUpdate); // current, not selected
    f.reports.onUserClicked();
    const QString details = ConnectionDetailText(QStringLiteral("JSMITH"), f.scan.table[1], false);
    QCOMPARE(f.platform.clipboard, details);
    QVERIFY(!f.platform.clipboard.contains(QStringLiteral("Directory Rights: ")));
    QCOMPARE(f.platform.clipboard.count(QStringLiteral("\r\n")), 7);
    QCOMPARE(f.form.status(), QString::number(details.size()) + QStringLiteral(" bytes copied to the clipboard."));
}

void TestActionsReports::userWithoutCurrentRow()
{
    Fixture f({"ANNA"});
    f.form.List1()->selectAll();
    f.reports.onUserClicked();
    QCOMPARE(f.platform.count(QStringLiteral("clipboard|")), 0);
    QCOMPARE(f.form.status(), QStringLiteral("No user is current: click on a user first."));
}

void TestActionsReports::clipboardRefused_data()
{
    QTest::addColumn<bool>("wholeReport");
    QTest::newRow("copy") << true;
    QTest::newRow("user") << false;
}

void TestActionsReports::clipboardRefused()
{
    QFETCH(bool, wholeReport);
    Fixture f({"ANNA"});
    f.form.List1()->setCurrentRow(0);
    f.platform.clipboardWorks = false;
    wholeReport ? f.reports.onCopyClicked() : f.reports.onUserClicked();
    QCOMPARE(f.form.status(), QStringLiteral("Could not copy to the clipboard."));
    QCOMPARE(f.platform.busyDepth, 0);
}

void TestActionsReports::printedLines()
{
    Fixture f({"ANNA", "JSMITH"});
    f.reports.onPrintClicked();
    const FakePrinter &p = f.platform.fakePrinter;
    QCOMPARE(p.calls.first(), QStringLiteral("begin"));
    QCOMPARE(p.calls.at(1), QStringLiteral("font|Courier New"));
    QCOMPARE(p.calls.last(), QStringLiteral("end"));

    const QStringList expected = UsersReportLines(kPath, kNow, {"ANNA", "JSMITH"});
    QCOMPARE(p.lines.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        QCOMPARE(p.lines[i].text, expected[i]);
        QCOMPARE(p.lines[i].bold, i < 2);
        QCOMPARE(p.lines[i].font, QStringLiteral("Courier New"));
    }
    QCOMPARE(f.form.status(), QStringLiteral("Report printed."));
    QCOMPARE(f.platform.busyDepth, 0);
    QCOMPARE(f.platform.count(QStringLiteral("box|")), 0);
}

void TestActionsReports::printFailure_data()
{
    QTest::addColumn<bool>("noPrinter");
    QTest::newRow("no printer") << true;
    QTest::newRow("document refused") << false;
}

void TestActionsReports::printFailure()
{
    QFETCH(bool, noPrinter);
    Fixture f({"ANNA"});
    f.form.setStatus(QStringLiteral("before"));
    f.platform.fakePrinter.available = !noPrinter;
    f.platform.fakePrinter.failEnd = !noPrinter;
    f.reports.onPrintClicked();
    QCOMPARE(f.platform.calls,
             QStringList({"beep", "box|Velmora|Error! Could not print the report.|exclamation|ok"}));
    QCOMPARE(f.form.status(), QStringLiteral("before"));
    QCOMPARE(f.platform.busyDepth, 0);
    if (noPrinter)
        QCOMPARE(f.platform.fakePrinter.calls, QStringList{"begin"});
}

void TestActionsReports::printToPdf()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    Form1 form;
    ScanContext scan;
    PdfPlatform platform(pdf);
    platform.fake.clock = kNow;
    form.List1()->addItems({QStringLiteral("ANNA"), QStringLiteral("JSMITH")});
    scan.table = {record(1), record(2)};
    Reports reports(form, scan, platform, [] { return kPath; });

    reports.onPrintClicked();

    QCOMPARE(form.status(), QStringLiteral("Report printed."));
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.size() > 0);
    QCOMPARE(file.read(4), QByteArray("%PDF"));

    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        return; // the file's text can only be read back with the tool
    QProcess tool;
    tool.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(tool.waitForFinished());
    const QString text = QString::fromUtf8(tool.readAllStandardOutput());
    for (const QString &line : {kPath, QStringLiteral("12/06/99 02:05 pm"), QStringLiteral("ANNA"),
                                QStringLiteral("JSMITH"), QStringLiteral("2 users")})
        QVERIFY2(text.contains(line), qPrintable(line));
}

QTEST_MAIN(TestActionsReports)
#include "tst_actions_reports.moc"
