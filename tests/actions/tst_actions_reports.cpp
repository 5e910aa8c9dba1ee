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

struct Rig
{
    explicit Rig(const QStringList &users = {"ANNA", "JSMITH"})
    {
        platform.clock = kNow;
        for (const QString &u : users) {
            form.List1()->addItem(u);
            scan.table.append(ConnectionRecord());
            ConnectionRecord &r = scan.table.last();
            r.ConnNumber = static_cast<int16_t>(scan.table.size());
            r.AccessControl = 0x03;
            r.RightsText = QStringLiteral("Read,Write");
            r.LoginTimeText = QStringLiteral("Monday, 12/6/99, 08:15 am");
            r.AddressText = QStringLiteral("IP: 10. 1. 2. 3");
        }
    }
    Form1 form;
    ScanContext scan;
    FakePlatform platform;
    Reports reports {form, scan, platform, [] { return kPath; }};
};
} // namespace

class TestActionsReports : public QObject
{
    Q_OBJECT
private slots:
    void reportText_data()
    {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no rows, hour 0 is 12 am")
            << QDateTime(QDate(2005, 1, 2), QTime(0, 5)) << QStringList {}
            << kPath + "\r\n01/02/05 12:05 am\r\n\r\n\r\n0 users";
        QTest::newRow("two rows, afternoon")
            << kNow << QStringList {"ANNA", "JSMITH"}
            << kPath + "\r\n12/06/99 02:05 pm\r\n\r\nANNA\r\nJSMITH\r\n\r\n2 users";
        QTest::newRow("hour 12 is 12 pm")
            << QDateTime(QDate(2026, 11, 30), QTime(12, 0)) << QStringList {"ANNA"}
            << kPath + "\r\n11/30/26 12:00 pm\r\n\r\nANNA\r\n\r\n1 users";
    }
    void reportText()
    {
        QFETCH(QDateTime, when);
        QFETCH(QStringList, rows);
        QFETCH(QString, expected);
        QCOMPARE(UsersReportText(kPath, when, rows), expected);
    }

    void copy_data()
    {
        QTest::addColumn<bool>("whole"); // Copy, or User
        QTest::addColumn<int>("current");
        QTest::addColumn<bool>("works");
        QTest::addColumn<QString>("status");
        // 18 + 17 + 0 + 4 + 6 + 0 + 7 characters and six "\r\n" pairs.
        const auto row
            = [](const char *name, bool whole, int current, bool works, const char *status) {
                  QTest::newRow(name) << whole << current << works << status;
              };
        const char *refused = "Could not copy to the clipboard.";
        row("Copy counts CR/LF", true, -1, true, "64 bytes copied to the clipboard.");
        row("User copies the current user", false, 1, true, "");
        row("User with no current user", false, -1, true,
            "No user is current: click on a user first.");
        row("Copy refused", true, -1, false, refused);
        row("User refused", false, 0, false, refused);
    }
    void copy()
    {
        QFETCH(bool, whole);
        QFETCH(int, current);
        QFETCH(bool, works);
        QFETCH(QString, status);
        Rig r;
        r.form.List1()->selectAll();
        if (current >= 0)
            r.form.List1()->setCurrentRow(current, QItemSelectionModel::NoUpdate);
        r.platform.clipboardWorks = works;
        whole ? r.reports.onCopyClicked() : r.reports.onUserClicked();
        const QString copied = whole ? UsersReportText(kPath, kNow, {"ANNA", "JSMITH"})
            : current < 0            ? QString()
                                     : ConnectionDetailText(r.form.List1()->item(current)->text(),
                                                            r.scan.table[current], false);
        if (status.isEmpty())
            status = QString::number(copied.size()) + " bytes copied to the clipboard.";
        QVERIFY(!copied.contains("Directory Rights: ")); // the User copy leaves out the rights line
        QCOMPARE(r.platform.calls,
                 copied.isEmpty() ? QStringList() : QStringList("clipboard|" + copied));
        QCOMPARE(r.form.status(), status);
        QCOMPARE(r.platform.busyDepth, 0);
    }

    void printedLines()
    {
        Rig r;
        r.reports.onPrintClicked();
        const FakePrinter &p = r.platform.fakePrinter;
        QCOMPARE(p.calls.mid(0, 2), QStringList({"begin", "font|Courier New"}));
        QCOMPARE(p.calls.last(), "end");
        const QStringList expected = UsersReportLines(kPath, kNow, {"ANNA", "JSMITH"});
        QCOMPARE(p.lines.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(p.lines[i].text, expected[i]);
            QCOMPARE(p.lines[i].bold, i < 2);
            QCOMPARE(p.lines[i].font, "Courier New");
        }
        QCOMPARE(r.form.status(), "Report printed.");
        QVERIFY(r.platform.calls.isEmpty());
    }

    void printFailure_data()
    {
        QTest::addColumn<bool>("noPrinter");
        QTest::newRow("no printer") << true;
        QTest::newRow("document refused") << false;
    }
    void printFailure()
    {
        QFETCH(bool, noPrinter);
        Rig r;
        r.form.setStatus("before");
        r.platform.fakePrinter.available = !noPrinter;
        r.platform.fakePrinter.failEnd = !noPrinter;
        r.reports.onPrintClicked();
        QCOMPARE(
            r.platform.calls,
            QStringList({"beep", "box|Velmora|Error! Could not print the report.|exclamation|ok"}));
        QCOMPARE(r.form.status(), "before");
        QCOMPARE(r.platform.busyDepth, 0);
    }

    // A report longer than a page goes on to the next, losing no line.
    void printToPdf()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath("report.pdf");
        QtPrinter printer(pdf);
        QStringList many {"ANNA"};
        for (int i = 0; i < 100; ++i)
            many << QString("U%1").arg(i, 3, 10, QLatin1Char('0'));
        many << "JSMITH";
        Rig r(many);
        r.platform.realPrinter = &printer;
        r.reports.onPrintClicked();
        QCOMPARE(r.form.status(), "Report printed.");
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(4), QByteArray("%PDF"));
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (pdftotext.isEmpty())
            return; // the file's text can only be read back with the tool
        QProcess tool;
        tool.start(pdftotext, {"-layout", pdf, "-"});
        QVERIFY(tool.waitForFinished());
        const QString text = QString::fromUtf8(tool.readAllStandardOutput());
        for (const QString &line :
             {kPath, QStringLiteral("12/06/99 02:05 pm"), QStringLiteral("U000"),
              QStringLiteral("U099"), QStringLiteral("JSMITH"), QStringLiteral("102 users")})
            QVERIFY2(text.contains(line), qPrintable(line));
        const qsizetype pages = text.count('\f'); // pdftotext ends each page so
        QVERIFY2(pages >= 2 && pages <= 4, qPrintable(QString::number(pages)));
    }
};

QTEST_MAIN(TestActionsReports)
#include "tst_actions_reports.moc"
