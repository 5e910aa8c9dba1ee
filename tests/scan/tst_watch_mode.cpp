// Watch mode on the whole program: ticks, notifications, the seconds box.
#include "browser/file_browser.h"
#include "forms/form1.h"
#include "platform/classic_timer.h"
#include "scan/scanner.h"
#include "scan/watch_mode.h"
#include "support/app_fixture.h"

#include <QCheckBox>
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
    void init();
    void cleanup();
    void notificationText();
    void notifies_data();
    void notifies();
    void openBoxIsRaisedNotDoubled();
    void nestedScanKeepsNewerResult();
    void secondsBox_data();
    void secondsBox();
    void patternChangeStopsAndNextScanRestores();

private:
    void scanTwice();
    std::unique_ptr<AppFixture> m_fx;
};

void TestWatchMode::init()
{
    m_fx = std::make_unique<AppFixture>();
    m_fx->createFile(QStringLiteral("APPS\\DATA\\ORDERS.DBF"));
    m_fx->net.addConnection(0, 5, QStringLiteral("JSMITH"));
    m_fx->net.addConnection(0, 6, QStringLiteral("ANNA"));
    m_fx->net.addOpenFile(0, kPath, 5);
    m_fx->net.addOpenFile(0, kPath, 6);
    m_fx->platform.clock = QDateTime(QDate(1999, 12, 6), QTime(14, 15));
    m_fx->start(QStringLiteral("F:\\APPS\\DATA\\ORDERS.DBF"));
    m_fx->platform.calls.clear();
}

void TestWatchMode::cleanup()
{
    m_fx.reset();
}

void TestWatchMode::notificationText()
{
    const QDateTime at(QDate(1999, 12, 6), QTime(14, 15));
    QCOMPARE(NotificationText(true, QStringLiteral("orders.dbf"), at),
             QStringLiteral("Someone got file ORDERS.DBF at 02:15 pm, 12/06/99."));
    QCOMPARE(NotificationText(false, QStringLiteral("a.txt"), QDateTime(QDate(2026, 1, 2), QTime(0, 5))),
             QStringLiteral("No one has file A.TXT at 12:05 am, 01/02/26."));
    QCOMPARE(NotificationText(true, QStringLiteral("x"), QDateTime(QDate(2026, 1, 2), QTime(12, 0))),
             QStringLiteral("Someone got file X at 12:00 pm, 01/02/26."));
}

void TestWatchMode::notifies_data()
{
    QTest::addColumn<bool>("watching");
    QTest::addColumn<int>("whenUser");
    QTest::addColumn<int>("whenNobody");
    QTest::addColumn<bool>("beep");
    QTest::addColumn<bool>("message");
    QTest::addColumn<bool>("nobodyHasIt");
    QTest::addColumn<QStringList>("calls"); // per scan
    const QString someone = QStringLiteral("box|Velmora Notification Message|Someone got file "
                                           "ORDERS.DBF at 02:15 pm, 12/06/99.|exclamation|ok|topmost");
    const QString nobody = QStringLiteral("box|Velmora Notification Message|No one has file "
                                          "ORDERS.DBF at 02:15 pm, 12/06/99.|exclamation|ok|topmost");
    const QString activate = QStringLiteral("activate|Velmora Notification Message");
    QTest::newRow("user has file, beep and box") << true << -1 << 0 << true << true << false
                                                 << QStringList{"beep", activate, someone};
    QTest::newRow("user has file, box only") << true << -1 << 0 << false << true << false
                                             << QStringList{activate, someone};
    QTest::newRow("both means off") << true << -1 << 0 << false << false << false << QStringList{};
    QTest::newRow("no user wanted, file in use") << true << 0 << -1 << true << true << false << QStringList{};
    QTest::newRow("no user wanted, nobody") << true << 0 << -1 << true << true << true
                                            << QStringList{"beep", activate, nobody};
    QTest::newRow("don't notify me") << true << 0 << 0 << true << true << false << QStringList{};
    QTest::newRow("unchecked never notifies") << false << -1 << -1 << true << true << false << QStringList{};
}

void TestWatchMode::notifies()
{
    QFETCH(bool, watching);
    QFETCH(int, whenUser);
    QFETCH(int, whenNobody);
    QFETCH(bool, beep);
    QFETCH(bool, message);
    QFETCH(bool, nobodyHasIt);
    QFETCH(QStringList, calls);
    if (nobodyHasIt) {
        m_fx->net.closeFilesOf(0, 5);
        m_fx->net.closeFilesOf(0, 6);
        QVERIFY(m_fx->net.install());
    }
    Form1 &f = m_fx->app->form();
    f.Check1()->setChecked(watching);
    NotificationSettings &s = m_fx->app->notificationSettings();
    s.NotifyWhenUserHasFile = int16_t(whenUser);
    s.NotifyWhenNoUserHasFile = int16_t(whenNobody);
    s.NotifyByBeep = beep ? 1 : 0;
    s.NotifyByMessage = message ? 1 : 0;
    // The scan completes only after the box closes: the count label still
    // holds the previous text while it is open.
    QStringList labelWhileOpen;
    m_fx->platform.whileBoxOpen = [&](const QString &) { labelWhileOpen << f.Label5()->text(); };
    f.Label5()->clear();
    for (int tick = 0; tick < 2; ++tick) {
        m_fx->platform.calls.clear();
        emit f.Timer1()->tick(); // every interval notifies again
        QCOMPARE(m_fx->platform.calls, calls);
    }
    if (!calls.isEmpty() && message)
        QCOMPARE(labelWhileOpen.first(), QString());
    QCOMPARE(f.Label5()->text(), nobodyHasIt ? QStringLiteral("No users") : QStringLiteral("2 user(s)"));
    QCOMPARE(f.Timer1()->isEnabled(), watching);
}

void TestWatchMode::openBoxIsRaisedNotDoubled()
{
    Form1 &f = m_fx->app->form();
    f.Check1()->setChecked(true);
    m_fx->app->notificationSettings().NotifyWhenUserHasFile = -1;
    int ticksInside = 0;
    m_fx->platform.whileBoxOpen = [&](const QString &title) {
        QCOMPARE(title, kBox);
        // Ticks keep arriving while the box is open.
        while (ticksInside < 2) {
            ++ticksInside;
            emit f.Timer1()->tick();
        }
    };
    emit f.Timer1()->tick();
    QCOMPARE(m_fx->platform.count(QStringLiteral("box|")), 1);
    QCOMPARE(m_fx->platform.count(QStringLiteral("beep")), 3);
    QCOMPARE(m_fx->platform.count(QStringLiteral("activate|")), 3);
    QCOMPARE(f.Label5()->text(), QStringLiteral("2 user(s)"));
}

void TestWatchMode::nestedScanKeepsNewerResult()
{
    Form1 &f = m_fx->app->form();
    f.Check1()->setChecked(true);
    m_fx->app->notificationSettings().NotifyWhenUserHasFile = -1;
    bool once = false;
    m_fx->platform.whileBoxOpen = [&](const QString &) {
        if (once)
            return;
        once = true;
        m_fx->net.closeFilesOf(0, 6); // ANNA closes the file meanwhile
        QVERIFY(m_fx->net.install());
        emit f.Timer1()->tick();
    };
    emit f.Timer1()->tick();
    // The inner scan's newer result stands after the outer box closed.
    QCOMPARE(f.Label5()->text(), QStringLiteral("1 user(s)"));
    QCOMPARE(f.List1()->count(), 1);
    QCOMPARE(m_fx->app->scanContext().table.size(), 1);
    QVERIFY(f.Command5()->isVisible());
}

void TestWatchMode::secondsBox_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("interval");
    QTest::addColumn<bool>("ticking");
    QTest::newRow("79 becomes 65") << "79" << "65" << 65000 << true;
    QTest::newRow("65 stays") << "65" << "65" << 65000 << true;
    QTest::newRow("7") << "7" << "7" << 7000 << true;
    QTest::newRow("pasted a7 keeps the digit") << "a7" << "7" << 7000 << true;
    QTest::newRow("pasted letters only") << "ab" << "" << 0 << false;
    QTest::newRow("empty never ticks") << "" << "" << 0 << false;
    QTest::newRow("0 never ticks") << "0" << "0" << 0 << false;
}

void TestWatchMode::secondsBox()
{
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(int, interval);
    QFETCH(bool, ticking);
    Form1 &f = m_fx->app->form();
    f.Check1()->setChecked(true);
    f.Text3()->setText(typed);
    QCOMPARE(f.Text3()->text(), text);
    QCOMPARE(f.Timer1()->interval(), interval);
    QVERIFY(f.Check1()->isChecked());
    QVERIFY(f.Timer1()->isEnabled());
    QCOMPARE(f.Timer1()->isTicking(), ticking);
}

void TestWatchMode::patternChangeStopsAndNextScanRestores()
{
    Form1 &f = m_fx->app->form();
    f.Check1()->setChecked(true);
    QVERIFY(f.Timer1()->isEnabled());
    f.Text3()->setFocus();
    QTest::keyClick(f.Text3(), Qt::Key_X); // letters never reach the box
    QCOMPARE(f.Text3()->text(), QStringLiteral("10"));

    f.Combo2()->setEditText(QStringLiteral("*.DBF"));
    QVERIFY(!f.Timer1()->isEnabled());
    QVERIFY(f.Check1()->isHidden());
    QVERIFY(f.Text3()->isHidden());
    QVERIFY(f.Check1()->isChecked());

    QVERIFY(m_fx->app->browser().selectFileByPrefix(QStringLiteral("ORDERS.DBF")));
    m_fx->app->scanner().Scan();
    QVERIFY(f.Check1()->isVisible());
    QVERIFY(f.Text3()->isVisible());
    QVERIFY(f.Check1()->isChecked());
    QVERIFY(f.Timer1()->isEnabled());
}

QTEST_MAIN(TestWatchMode)
#include "tst_watch_mode.moc"
