// The window side of the scan against simulated networks: controls, the
// re-entrancy rule and the Find box.
#include "forms/form1.h"
#include "platform/classic_timer.h"
#include "scan/scan_context.h"
#include "scan/scanner.h"
#include "support/fake_platform.h"
#include "support/test_network.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

namespace {
const QString kFile = QStringLiteral("SYS:APPS\\DATA\\ORDERS.DBF");

struct Rig
{
    TestNetwork net, denied, idle;
    Form1 form;
    FakePlatform p;
    ScanContext ctx;
    Scanner scanner {form, p, ctx};
    QString dir = QStringLiteral("F:\\APPS\\DATA");
    int completed = 0;

    Rig()
    {
        for (TestNetwork *n : {&net, &denied, &idle}) {
            n->addServer(QStringLiteral("FS1"), n != &denied);
            n->mapDrive(QStringLiteral("F"), QStringLiteral("FS1/SYS:"));
        }
        QObject::connect(&scanner, &Scanner::completed, [this] { ++completed; });
        form.show();
    }
    void users(int n)
    {
        for (int i = 1; i <= n; ++i) {
            net.addConnection(0, i, QStringLiteral("U%1").arg(i));
            net.addOpenFile(0, kFile, i);
        }
    }
    void scan(TestNetwork &n)
    {
        QVERIFY(n.install());
        scanner.Scan(dir, QStringLiteral("ORDERS.DBF"));
    }
};
} // namespace

class TestScanner : public QObject
{
    Q_OBJECT
private slots:
    // Names reach the client in its code page: those it holds keep users
    // apart, a file name it cannot hold does not parse.
    void namesBeyondAscii()
    {
        Rig r;
        r.net.addConnection(0, 5, QStringLiteral("\u0161imon")); // s caron, not in Latin-1
        r.net.addConnection(0, 6, QStringLiteral("\u017Eimon")); // z caron
        r.net.addOpenFile(0, kFile, 5);
        r.net.addOpenFile(0, kFile, 6);
        r.scan(r.net);
        QCOMPARE(r.form.List1()->count(), 2);
        QCOMPARE(r.form.List1()->item(0)->text() + "," + r.form.List1()->item(1)->text(),
                 QStringLiteral("\u0160IMON,\u017DIMON"));

        const QString greek = QStringLiteral("\u03A3.DBF");
        r.p.calls.clear();
        r.scanner.Scan(r.dir, greek);
        QCOMPARE(r.p.calls,
                 QStringList({"beep",
                              "box|Velmora|Error! Could not parse the path for file " + greek
                                  + ".|exclamation|ok"}));
    }
    // Each row rescans after a completed scan of 150 users with every result
    // control shown; what is kept and what is redone depends on the outcome.
    void outcome_data()
    {
        QTest::addColumn<QString>("how");
        // Stop, user buttons, result controls, Find, watch: S/H/= kept
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("listed");
        QTest::addColumn<int>("records"); // -1: not looked at
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("completed");
        const auto row
            = [](const char *name, const char *how, const char *shown, int listed, int records,
                 const char *label, const char *status, const char *box, bool completed) {
                  QTest::newRow(name)
                      << how << shown << listed << records << label << status << box << completed;
              };
        const char *before = "150 user(s)";
        row("local drive not parsed", "c:\\TMP", "H====", 150, 150, before, "",
            "Error! Could not parse the path for file ORDERS.DBF.", false);
        row("no rights empties only the list", "denied", "HH===", 0, 150, before, "",
            "Error! You do not have rights to scan this file.", false);
        row("stop keeps users listed so far", "stop", "HH===", 70, 70, before, "Scan terminated.",
            "", false);
        row("completed with users", "rescan", "HHSSS", 150, 150, before, "", "", true);
        row("completed, nobody", "idle", "HHHHS", 0, -1, "No users", "", "", true);
    }
    void outcome()
    {
        QFETCH(QString, how);
        QFETCH(QString, shown);
        QFETCH(int, listed);
        QFETCH(int, records);
        QFETCH(QString, box);
        QFETCH(bool, completed);
        Rig r;
        r.users(150);
        r.scan(r.net);
        QCOMPARE(r.form.List1()->count(), 150);
        const NWCONN_HANDLE server = r.ctx.ServerConnection;
        const QList<QList<QWidget *>> groups = {
            {r.form.Command9()},
            {r.form.Command12(), r.form.Command13(), r.form.Command16()},
            {r.form.Command4(), r.form.Command5(), r.form.Command6(), r.form.Command11(),
             r.form.Command14(), r.form.Command15()},
            {r.form.Label7(), r.form.Text1()},
            {r.form.Check1(), r.form.Text3()},
        };
        for (const auto &g : groups)
            for (QWidget *w : g)
                w->show();
        r.form.Text1()->setText("x");
        r.form.Check1()->setChecked(true);
        r.form.Timer1()->setEnabled(false);
        r.completed = 0;
        r.p.calls.clear();
        int yields = 0;
        bool stopWhileScanning = false;
        r.form.Command9()->hide(); // as every finished scan leaves it
        r.p.onProcessEvents = [&] {
            stopWhileScanning = stopWhileScanning || r.form.Command9()->isVisible();
            if (how == "stop" && ++yields == 2) // after the first batch
                r.scanner.onStopClicked();
        };
        if (how.contains('\\'))
            r.dir = how;
        int busyInBox = -1; // the pointer is back to normal while a box waits
        r.p.whileBoxOpen = [&](const QString &) { busyInBox = r.p.busyDepth; };
        r.scan(how == "denied" ? r.denied : how == "idle" ? r.idle : r.net);

        for (int g = 0; g < groups.size(); ++g)
            for (QWidget *w : groups[g])
                QVERIFY2(w->isVisible() == (shown.at(g) != 'H'), qPrintable(w->objectName()));
        QCOMPARE(r.form.List1()->count(), listed);
        if (records >= 0)
            QCOMPARE(r.ctx.table.size(), records);
        QTEST(r.form.Label5()->text(), "label");
        QTEST(r.form.status(), "status");
        QCOMPARE(r.p.calls,
                 box.isEmpty() ? QStringList()
                               : QStringList({"beep", "box|Velmora|" + box + "|exclamation|ok"}));
        QCOMPARE(r.completed, completed ? 1 : 0);
        QCOMPARE(r.form.Timer1()->isEnabled(), completed);
        if (completed) {
            QCOMPARE(r.form.List1()->toolTip(), listed ? " Click on user for more data " : "");
            QCOMPARE(r.form.Text1()->text().isEmpty(), listed > 0);
        }
        if (!box.isEmpty()
            && listed) // a path that does not parse leaves Send and Clear aimed as before
            QCOMPARE(r.ctx.ServerConnection, server);
        QVERIFY(!r.ctx.StopRequested);
        QCOMPARE(stopWhileScanning, !how.contains('\\')); // Stop can be pressed while it yields
        QCOMPARE(r.p.busyDepth, 0);
        QCOMPARE(busyInBox, box.isEmpty() ? -1 : 0);
    }
    // Lines go into List1 in bunches, but the first users show at the next
    // yield, and a result withdrawn while the scan yields (a folder change)
    // ends it.
    void listShownWhileScanning_data()
    {
        QTest::addColumn<bool>("emptied");
        QTest::newRow("grows") << false;
        QTest::newRow("emptied at the third yield") << true;
    }
    void listShownWhileScanning()
    {
        QFETCH(bool, emptied);
        Rig r;
        r.users(300);
        QList<int> counts;
        r.p.onProcessEvents = [&] {
            counts << r.form.List1()->count();
            if (emptied && counts.size() == 3) {
                r.form.withdrawResult();
                r.scanner.withdraw();
            }
        };
        r.scan(r.net);
        QVERIFY(counts.size() >= 3);
        QCOMPARE(counts.mid(0, 2), QList<int>({0, 70}));
        QCOMPARE(r.form.List1()->count(), emptied ? 0 : 300);
        QCOMPARE(r.completed, emptied ? 0 : 1);
    }
    void triggerDuringScanIsIgnored()
    {
        Rig r;
        r.users(100);
        int nested = 0;
        r.p.onProcessEvents = [&] {
            if (nested++ < 3)
                r.scanner.Scan(r.dir, "ORDERS.DBF"); // a tick, a click, a double-click
        };
        r.scan(r.net);
        QCOMPARE(r.form.List1()->count(), 100);
        QCOMPARE(r.ctx.table.size(), 100);
        QCOMPARE(r.completed, 1);
    }
    void noSelectedFileNoScan()
    {
        Rig r;
        r.users(1);
        r.form.setStatus(QStringLiteral("before"));
        QVERIFY(r.net.install());
        r.scanner.Scan(r.dir, QString());
        QCOMPARE(r.p.calls, QStringList());
        QCOMPARE(r.form.status(), QStringLiteral("before"));
        QCOMPARE(r.completed, 0);
    }
    void findBoxFlashesFirstPrefixMatch()
    {
        Rig r;
        QListWidget *list = r.form.List1();
        list->addItems({"ANNA", "JOHN", "JOE"});
        list->item(2)->setSelected(true);
        bool selectedDuringFlash = false;
        r.p.onProcessEvents = [&] { selectedDuringFlash = list->item(1)->isSelected(); };
        r.form.Command12()->show();
        r.form.Text1()->setText("jo");
        r.scanner.onFindTextChanged();
        QCOMPARE(list->currentRow(), 1);
        QVERIFY(selectedDuringFlash);
        QVERIFY(!list->item(1)->isSelected());
        QVERIFY(list->item(2)->isSelected()); // others keep their state
        QCOMPARE(r.p.sleptMs, 100);
        QVERIFY(r.form.Command12()->isHidden());

        r.form.setStatus("details");
        r.form.Text1()->setText("zz");
        r.scanner.onFindTextChanged();
        QCOMPARE(list->currentRow(), -1);
        QCOMPARE(r.form.status(), "");

        r.form.Text1()->setText("an"); // the first row flashes too
        r.scanner.onFindTextChanged();
        QCOMPARE(list->currentRow(), 0);
        QCOMPARE(r.p.sleptMs, 200);
    }
};

QTEST_MAIN(TestScanner)
#include "tst_scanner.moc"
