// Watch mode on the whole program: ticks, notifications, the seconds box.
#include "browser/file_browser.h"
#include "forms/form1.h"
#include "platform/classic_timer.h"
#include "scan/scanner.h"
#include "scan/watch_mode.h"
#include "support/app_fixture.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

namespace {
const QString kPath = QStringLiteral("SYS:APPS\\DATA\\ORDERS.DBF");
const QString kBox = QStringLiteral("Velmora Notification Message");
} // namespace

class TestWatchMode : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_fx = std::make_unique<AppFixture>();
        m_fx->createFile(QStringLiteral("APPS\\DATA\\ORDERS.DBF"));
        m_fx->net.addConnection(0, 5, QStringLiteral("JSMITH"));
        m_fx->net.addConnection(0, 6, QStringLiteral("ANNA"));
        m_fx->net.addOpenFile(0, kPath, 5);
        m_fx->net.addOpenFile(0, kPath, 6);
        m_fx->start(QStringLiteral("F:\\APPS\\DATA\\ORDERS.DBF"));
        m_fx->platform.calls.clear();
    }
    void cleanup() { m_fx.reset(); }
    // The name in upper case, month and day in two digits; "No one has file"
    // and the clock's hours are in the rows below and the users report's table.
    void notificationText()
    {
        QCOMPARE(NotificationText(true, "orders.dbf", QDateTime(QDate(1999, 1, 6), QTime(12, 0))),
                 "Someone got file ORDERS.DBF at 12:00 pm, 01/06/99.");
    }
    void notifies_data()
    {
        QTest::addColumn<bool>("watching");
        QTest::addColumn<QList<int>>("settings"); // when user, when nobody, by beep, by message
        QTest::addColumn<int>("users"); // who has the file: connections 5 and 6, or fewer
        QTest::addColumn<QStringList>("calls"); // per scan
        const QString box
            = "box|" + kBox + "|%1 ORDERS.DBF at 02:15 pm, 12/06/99.|exclamation|ok|topmost";
        const QString someone = box.arg("Someone got file"), nobody = box.arg("No one has file");
        const QString raise = "activate|" + kBox;
        const auto row = [](const char *name, bool watching, const QList<int> &settings, int users,
                            const QStringList &calls) {
            QTest::newRow(name) << watching << settings << users << calls;
        };
        row("user has file, beep and box", true, {-1, 0, 1, 1}, 2, {"beep", raise, someone});
        row("user has file, box only", true, {-1, 0, 0, 1}, 2, {raise, someone});
        row("one user has file", true, {-1, 0, 0, 1}, 1, {raise, someone});
        row("no user wanted, file in use", true, {0, -1, 1, 1}, 2, {});
        row("no user wanted, nobody", true, {0, -1, 1, 1}, 0, {"beep", raise, nobody});
        row("don't notify me", true, {0, 0, 1, 1}, 2, {});
        row("unchecked never notifies", false, {-1, -1, 1, 1}, 2, {});
    }
    void notifies()
    {
        QFETCH(bool, watching);
        QFETCH(QList<int>, settings);
        QFETCH(int, users);
        QFETCH(QStringList, calls);
        if (users < 2) {
            m_fx->net.closeFilesOf(0, 6);
            if (users < 1)
                m_fx->net.closeFilesOf(0, 5);
            QVERIFY(m_fx->net.install());
        }
        Form1 &f = form();
        f.Check1()->setChecked(watching);
        NotificationSettings &s = m_fx->app->notificationSettings();
        s.NotifyWhenUserHasFile = int16_t(settings[0]);
        s.NotifyWhenNoUserHasFile = int16_t(settings[1]);
        s.NotifyByBeep = int16_t(settings[2]);
        s.NotifyByMessage = int16_t(settings[3]);
        // The scan completes only after the box closes: the count label still
        // holds the previous text while it is open.
        QStringList labelWhileOpen;
        m_fx->platform.whileBoxOpen
            = [&](const QString &) { labelWhileOpen << f.Label5()->text(); };
        f.Label5()->clear();
        for (int tick = 0; tick < 2; ++tick) { // every interval notifies again
            m_fx->platform.calls.clear();
            emit f.Timer1()->tick();
            QCOMPARE(m_fx->platform.calls, calls);
        }
        QVERIFY(labelWhileOpen.isEmpty() || labelWhileOpen.first().isEmpty());
        QCOMPARE(f.Label5()->text(), users ? QString("%1 user(s)").arg(users) : "No users");
    }
    void openBoxIsRaisedNotDoubled()
    {
        watchUsers();
        int ticksInside = 0;
        m_fx->platform.whileBoxOpen = [&](const QString &) {
            while (ticksInside++ < 2) // ticks keep arriving while the box is open
                emit form().Timer1()->tick();
        };
        emit form().Timer1()->tick();
        QCOMPARE(m_fx->platform.count("box|"), 1);
        QCOMPARE(m_fx->platform.count("beep"), 3);
        QCOMPARE(m_fx->platform.count("activate|"), 3);
        QCOMPARE(form().Label5()->text(), "2 user(s)");
    }
    void nestedScanKeepsNewerResult()
    {
        watchUsers();
        bool once = false;
        m_fx->platform.whileBoxOpen = [&](const QString &) {
            if (std::exchange(once, true))
                return;
            m_fx->net.closeFilesOf(0, 6); // ANNA closes the file meanwhile
            QVERIFY(m_fx->net.install());
            emit form().Timer1()->tick();
        };
        emit form().Timer1()->tick();
        QCOMPARE(form().Label5()->text(), "1 user(s)");
        QCOMPARE(form().List1()->count(), 1);
        QCOMPARE(m_fx->app->scanContext().table.size(), 1);
    }
    // A tick that falls due under one of the program's own dialogs waits
    // for it to close, then runs once; the dialog's action sees the list
    // it was opened on.
    void tickWaitsForProgramDialog_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("status");
        QTest::newRow("send prompt") << "Command12" << QString("Message sent to user JSMITH.");
        QTest::newRow("clear confirmation")
            << "Command13" << QString("Connection cleared for user JSMITH.");
        QTest::newRow("about box") << "Command7" << QString();
    }
    void tickWaitsForProgramDialog()
    {
        Form1 &f = form();
        f.Text3()->setText("1");
        f.Check1()->setChecked(true);
        f.List1()->item(0)->setSelected(true);
        f.setStatus(QString());
        m_fx->platform.inputs << "hello";
        m_fx->platform.answers << Platform::Answer::Yes;
        int scansInside = 0;
        m_fx->platform.whileBoxOpen = [&](const QString &) {
            const int before = m_fx->platform.processEventsCount;
            emit f.Timer1()->tick();
            emit f.Timer1()->tick();
            scansInside += m_fx->platform.processEventsCount - before;
        };
        QFETCH(QString, button);
        f.findChild<QPushButton *>(button)->click();
        QCOMPARE(scansInside, 0);
        QTEST(f.status(), "status");
        const int after = m_fx->platform.processEventsCount;
        // The held tick's scan waits one whole interval from the close (a
        // box it opened again at once could never be got out of), then runs
        // once: one yield before the batch and one before the closing request.
        QTest::qWait(500);
        QCOMPARE(m_fx->platform.processEventsCount, after);
        QTRY_COMPARE_WITH_TIMEOUT(m_fx->platform.processEventsCount, after + 2, 3000);
        QTest::qWait(20);
        QCOMPARE(m_fx->platform.processEventsCount, after + 2);
    }
    // A folder change while a scan yields withdraws its result, even before
    // anyone is listed and with Stop pressed in the same pass; the next scan
    // runs in full.
    void folderChangeDuringScan_data()
    {
        QTest::addColumn<bool>("stopToo");
        QTest::addColumn<int>("atYield"); // 1: before the first batch
        QTest::newRow("nobody listed yet") << false << 1;
        QTest::newRow("stop in the same pass") << true << 2;
    }
    void folderChangeDuringScan()
    {
        QFETCH(bool, stopToo);
        QFETCH(int, atYield);
        Form1 &f = form();
        f.Check1()->setChecked(true);
        const int history = f.Combo1()->count();
        int yields = 0;
        m_fx->platform.onProcessEvents = [&] {
            if (++yields != atYield)
                return;
            if (stopToo)
                f.Command9()->click();
            QVERIFY(m_fx->app->browser().setFolder("F:\\APPS"));
        };
        QVERIFY(m_fx->app->browser().openAndScan("F:\\APPS\\DATA\\ORDERS.DBF"));
        QCOMPARE(f.List1()->count(), 0);
        QVERIFY(!f.Timer1()->isEnabled());
        QCOMPARE(f.Combo1()->count(), history);
        QVERIFY(f.Label5()->text().isEmpty());

        QVERIFY(m_fx->app->browser().openAndScan("F:\\APPS\\DATA\\ORDERS.DBF"));
        QCOMPARE(f.Label5()->text(), "2 user(s)");
        QCOMPARE(f.status(), "");
    }
    // The seconds box through the keyboard: what a paste over the selection
    // leaves and the interval it sets (0: watch mode on, never ticks).
    void secondsBox_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("text");
        const auto row = [](const char *name, const char *before, const char *pasted,
                            const char *text) { QTest::newRow(name) << before << pasted << text; };
        row("79 becomes 65", "", "79", "65");
        row("letters first, then digits", "", "abc12", "12");
        row("one letter, two digits, above 65", "", "x99", "65");
        row("long number cut to two", "", "1234", "12");
        row("over the selection", "10", "s7s", "7");
        row("letters only", "", "ab", "");
        row("0 never ticks", "", "0", "0");
    }
    void secondsBox()
    {
        QFETCH(QString, before);
        QFETCH(QString, pasted);
        QFETCH(QString, text);
        Form1 &f = form();
        f.Check1()->setChecked(true);
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QLineEdit *box = f.Text3();
        box->setText(before);
        box->setFocus();
        box->selectAll();
        QGuiApplication::clipboard()->setText(pasted);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->text(), text);
        QCOMPARE(f.Timer1()->interval(), text.toInt() * 1000);
        QVERIFY(f.Timer1()->isEnabled());
        QCOMPARE(f.Timer1()->isTicking(), text.toInt() > 0);
        if (text.size() == 2) {
            QTest::keyClick(box, Qt::Key_1); // a full box takes no more
            QCOMPARE(box->text(), text);
        }
    }
    void typedKeys()
    {
        Form1 &f = form();
        QLineEdit *box = f.Text3();
        box->clear();
        QTest::keyClicks(box, "a0b9:7"); // letters and signs never; a third digit not
        QCOMPARE(box->text(), "09");
        QCOMPARE(f.Timer1()->interval(), 9000);
    }
    void patternChangeStopsAndNextScanRestores()
    {
        Form1 &f = form();
        f.Check1()->setChecked(true);
        f.Combo2()->setEditText(QStringLiteral("*.DBF"));
        QVERIFY(!f.Timer1()->isEnabled() && f.Check1()->isHidden() && f.Text3()->isHidden());
        QVERIFY(f.Check1()->isChecked());
        QVERIFY(m_fx->app->browser().selectFileByPrefix(QStringLiteral("ORDERS.DBF")));
        f.Command1()->click();
        QVERIFY(f.Check1()->isVisible() && f.Text3()->isVisible() && f.Check1()->isChecked());
        QVERIFY(f.Timer1()->isEnabled());
    }

private:
    Form1 &form() { return m_fx->app->form(); }
    void watchUsers()
    {
        form().Check1()->setChecked(true);
        m_fx->app->notificationSettings().NotifyWhenUserHasFile = -1;
    }
    std::unique_ptr<AppFixture> m_fx;
};

QTEST_MAIN(TestWatchMode)
#include "tst_watch_mode.moc"
