// Start-up and shutdown of the whole program on a simulated network.
#include "app/lifecycle.h"
#include "app/main_window_behaviour.h"
#include "app/tray_icon.h"
#include "browser/drive_list_box.h"
#include "browser/file_browser.h"
#include "browser/file_list_box.h"
#include "forms/form1.h"
#include "forms/window_moves.h"
#include "support/app_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QtTest>

namespace {
const QString kOrders = QStringLiteral("F:\\APPS\\DATA\\ORDERS.DBF");

QStringList keysIn(const QString &iniFile)
{
    QSettings s(iniFile, QSettings::IniFormat);
    s.beginGroup(QStringLiteral("Options"));
    QStringList keys = s.childKeys();
    keys.sort();
    return keys;
}
} // namespace

class TestLifecycle : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void firstRunFallsBack();
    void restoresStoredValues();
    void commandLine_data();
    void commandLine();
    void commandLineFileIsScannedBeforeShow();
    void runThatAddsNothingWritesPathAndPattern();
    void historiesKeepOrderAndNewestTen();
    void failedClientStart();
    void everyCloseRouteShutsDownOnce_data();
    void everyCloseRouteShutsDownOnce();
    void trayCallback_data();
    void trayCallback();
    void minimiseWithoutTrayKeepsWindowReachable();
    void dragSurfaces();

private:
    std::unique_ptr<AppFixture> m_fx;
};

void TestLifecycle::init()
{
    m_fx = std::make_unique<AppFixture>();
    m_fx->createFile(QStringLiteral("APPS\\DATA\\ORDERS.DBF"));
    m_fx->createFile(QStringLiteral("APPS\\DATA\\EMPTY.DAT"), QByteArray());
    m_fx->net.addConnection(0, 5, QStringLiteral("JSMITH"));
    m_fx->net.addOpenFile(0, QStringLiteral("SYS:APPS\\DATA\\ORDERS.DBF"), 5);
}

void TestLifecycle::cleanup()
{
    m_fx.reset();
}

void TestLifecycle::firstRunFallsBack()
{
    m_fx->start();
    Form1 &f = m_fx->app->form();
    QCOMPARE(f.windowTitle(), QStringLiteral("Velmora"));
    QVERIFY(f.Drive1()->currentText().startsWith(QStringLiteral("c:")));
    QCOMPARE(m_fx->app->browser().directoryPath(), QStringLiteral("C:\\"));
    QCOMPARE(f.Combo2()->currentText(), QStringLiteral("*.*"));
    QCOMPARE(f.Combo1()->count(), 0);
    QCOMPARE(f.Combo2()->count(), 0);
    const NotificationSettings &n = m_fx->app->notificationSettings();
    QCOMPARE(n.NotifyWhenUserHasFile, 0);
    QCOMPARE(n.NotifyWhenNoUserHasFile, 0);
    QCOMPARE(n.NotifyByBeep, 1);
    QCOMPARE(n.NotifyByMessage, 1);
    QVERIFY(m_fx->platform.calls.isEmpty()); // quietly
    QCOMPARE(m_fx->platform.busyDepth, 0);
}

void TestLifecycle::restoresStoredValues()
{
    SettingsStore &s = *m_fx->store;
    s.setPath(QStringLiteral("F:\\APPS\\DATA"));
    s.setPattern(QStringLiteral("*.DBF"));
    s.write(QStringLiteral("Path_0"), kOrders);
    s.write(QStringLiteral("Path_1"), QStringLiteral("F:\\GONE.TXT"));
    s.write(QStringLiteral("Path_2"), QString());
    s.write(QStringLiteral("Path_3"), QStringLiteral("F:\\NEVER.TXT"));
    s.write(QStringLiteral("Pattern_0"), QStringLiteral("*.DBF"));
    m_fx->start();
    Form1 &f = m_fx->app->form();
    QCOMPARE(m_fx->app->browser().directoryPath(), QStringLiteral("F:\\APPS\\DATA"));
    QCOMPARE(f.Combo2()->currentText(), QStringLiteral("*.DBF"));
    QCOMPARE(m_fx->app->browser().fileHistory(), QStringList({kOrders, "F:\\GONE.TXT"}));
    QCOMPARE(m_fx->app->browser().patternHistory(), QStringList({"*.DBF"}));
    QCOMPARE(f.File1()->count(), 1);
}

void TestLifecycle::commandLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("beeped");
    QTest::newRow("empty") << "" << "" << false;
    QTest::newRow("spaces") << "   " << "" << false;
    QTest::newRow("/p") << " /p " << "" << false;
    QTest::newRow("/P is a path") << "/P" << "Passed file '/P' does not exist." << true;
    QTest::newRow("missing file") << "F:\\APPS\\NOPE.TXT" << "Passed file 'F:\\APPS\\NOPE.TXT' does not exist." << true;
    QTest::newRow("a folder") << "F:\\APPS" << "Passed file 'F:\\APPS' does not exist." << true;
    QTest::newRow("quotes are kept") << "\"F:\\APPS\\DATA\\ORDERS.DBF\""
                                     << "Passed file '\"F:\\APPS\\DATA\\ORDERS.DBF\"' does not exist." << true;
}

void TestLifecycle::commandLine()
{
    QFETCH(QString, line);
    QFETCH(QString, status);
    QFETCH(bool, beeped);
    m_fx->start(line);
    QCOMPARE(m_fx->app->form().status(), status);
    QCOMPARE(m_fx->platform.count(QStringLiteral("beep")), beeped ? 1 : 0);
    QCOMPARE(m_fx->app->form().List1()->count(), 0);
}

void TestLifecycle::commandLineFileIsScannedBeforeShow()
{
    const QString here = QDir::currentPath();
    // A DOS path in any case, a native path, and a bare name in the current folder.
    for (QString line : {kOrders, QStringLiteral("  f:\\apps\\data\\orders.dbf "), QStringLiteral("native"),
                         QStringLiteral("ORDERS.DBF")}) {
        m_fx = std::make_unique<AppFixture>();
        m_fx->createFile(QStringLiteral("APPS\\DATA\\ORDERS.DBF"));
        m_fx->net.addConnection(0, 5, QStringLiteral("JSMITH"));
        m_fx->net.addOpenFile(0, QStringLiteral("SYS:APPS\\DATA\\ORDERS.DBF"), 5);
        bool shownDuringScan = true;
        m_fx->platform.onProcessEvents = [&] { shownDuringScan = m_fx->app->form().isVisible(); };
        const QString folder = m_fx->net.volumeDir(QStringLiteral("FS1")) + QStringLiteral("/APPS/DATA");
        if (line == QStringLiteral("native"))
            line = folder + QStringLiteral("/ORDERS.DBF");
        QDir::setCurrent(folder);
        m_fx->start(line);
        Form1 &f = m_fx->app->form();
        QVERIFY2(f.List1()->count() == 1, qPrintable(line));
        QVERIFY(!shownDuringScan);
        QVERIFY(f.Command1()->isVisible());
        QCOMPARE(f.Combo2()->currentText(), QStringLiteral("*.*"));
        QCOMPARE(m_fx->app->browser().selectedFileName(), QStringLiteral("ORDERS.DBF"));
        QCOMPARE(m_fx->app->browser().fileHistory().size(), 1);
    }
    QDir::setCurrent(here);
}

void TestLifecycle::runThatAddsNothingWritesPathAndPattern()
{
    m_fx->store->write(QStringLiteral("Path_0"), kOrders);
    m_fx->store->sync();
    m_fx->start();
    m_fx->app->form().close();
    QCOMPARE(keysIn(m_fx->settingsFile()), QStringList({"Path", "Path_0", "Pattern"}));
    QCOMPARE(m_fx->store->read(QStringLiteral("Path_0"), QString()), kOrders);
    QCOMPARE(m_fx->store->read(QStringLiteral("Path"), QString()), QStringLiteral("C:\\"));
    QCOMPARE(m_fx->store->read(QStringLiteral("Pattern"), QString()), QStringLiteral("*.*"));
}

void TestLifecycle::historiesKeepOrderAndNewestTen()
{
    QStringList stored;
    for (int i = 0; i < 10; ++i)
        stored << QStringLiteral("F:\\OLD\\FILE%1.TXT").arg(i);
    m_fx->store->writeHistory(SettingsStore::FileHistory, stored);
    m_fx->start(kOrders); // an eleventh entry, scanned from the command line
    m_fx->app->browser().addToFileHistory(QStringLiteral("F:\\NEW.TXT")); // a twelfth
    m_fx->app->form().close();
    const QStringList expected = (stored + QStringList{kOrders, "F:\\NEW.TXT"}).mid(2);
    QCOMPARE(m_fx->store->readHistory(SettingsStore::FileHistory), expected);
}

void TestLifecycle::failedClientStart()
{
    m_fx->store->setPath(QStringLiteral("F:\\APPS"));
    m_fx->store->sync();
    m_fx->app = std::make_unique<VelmoraApp>(m_fx->platform, *m_fx->store);
    m_fx->app->lifecycle().initClient = [] { return NWCCODE(NW_ERR_NOT_INITIALIZED); };
    m_fx->app->start(kOrders);
    QCOMPARE(m_fx->platform.calls,
             QStringList({"beep", "box|Velmora|Error! Could not initialize Netware Client.|exclamation|ok"}));
    QCOMPARE(m_fx->platform.busyDepth, 0);
    QCOMPARE(m_fx->app->form().List1()->count(), 0); // the command line was not looked at
    QCOMPARE(m_fx->app->notificationSettings().NotifyByBeep, 0);
    m_fx->app->form().close();
    // The window never held the stored folder: it is not overwritten.
    QCOMPARE(m_fx->store->path(), QStringLiteral("F:\\APPS"));
}

void TestLifecycle::everyCloseRouteShutsDownOnce_data()
{
    QTest::addColumn<QString>("route");
    QTest::newRow("Exit button") << "Command2";
    QTest::newRow("tray menu Exit") << "mPopExit";
    QTest::newRow("Esc on a control") << "Esc";
    QTest::newRow("window close") << "close";
}

void TestLifecycle::everyCloseRouteShutsDownOnce()
{
    QFETCH(QString, route);
    m_fx->start();
    Form1 &f = m_fx->app->form();
    int closed = 0;
    m_fx->app->onClosed = [&] { ++closed; };
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    if (route == "Command2")
        f.Command2()->click();
    else if (route == "mPopExit")
        f.mPopExit()->trigger();
    else if (route == "Esc")
        QTest::keyClick(f.List1(), Qt::Key_Escape);
    else
        f.close();
    QVERIFY(!f.isVisible());
    QCOMPARE(closed, 1);
    QCOMPARE(keysIn(m_fx->settingsFile()), QStringList({"Path", "Pattern"}));
    m_fx->app->lifecycle().shutdown(); // a later quit changes nothing
    QCOMPARE(closed, 1);
}

void TestLifecycle::trayCallback_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("minimised");
    QTest::addColumn<int>("action");
    const int none = int(TrayAction::None), restore = int(TrayAction::Restore),
              menu = int(TrayAction::PopUpMenu);
    QTest::newRow("left up, minimised") << 0x202 << true << restore;
    QTest::newRow("double-click, minimised") << 0x203 << true << restore;
    QTest::newRow("right up, minimised") << 0x205 << true << menu;
    QTest::newRow("move, minimised") << 0x200 << true << none;
    QTest::newRow("left down, minimised") << 0x201 << true << none;
    QTest::newRow("right down, minimised") << 0x204 << true << none;
    QTest::newRow("middle up, minimised") << 0x208 << true << none;
    QTest::newRow("left up, on screen") << 0x202 << false << none;
    QTest::newRow("double-click, on screen") << 0x203 << false << none;
    QTest::newRow("right up, on screen") << 0x205 << false << none;
}

void TestLifecycle::trayCallback()
{
    QFETCH(int, code);
    QFETCH(bool, minimised);
    QFETCH(int, action);
    QCOMPARE(int(TrayCallbackAction(code, minimised)), action);
}

void TestLifecycle::minimiseWithoutTrayKeepsWindowReachable()
{
    m_fx->start();
    Form1 &f = m_fx->app->form();
    QVERIFY(!m_fx->app->tray().isPresent()); // offscreen has no tray
    f.showMinimized();
    QVERIFY(f.isVisible());
    m_fx->app->behaviour().restore();
    QVERIFY(!f.isMinimized());
    QCOMPARE(f.pos(), centredPosition(m_fx->platform.screen, f.frameGeometry().size()));
}

void TestLifecycle::dragSurfaces()
{
    m_fx->start();
    Form1 &f = m_fx->app->form();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    for (QWidget *w : {static_cast<QWidget *>(f.Label4()), static_cast<QWidget *>(f.Label5()),
                       static_cast<QWidget *>(&f)}) {
        m_fx->platform.calls.clear();
        QTest::mousePress(w, Qt::RightButton, {}, QPoint(2, 2));
        QTest::mousePress(w, Qt::MiddleButton, {}, QPoint(2, 2));
        QVERIFY(m_fx->platform.calls.isEmpty());
        QTest::mousePress(w, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(m_fx->platform.calls, QStringList({"windowMove"}));
    }
    m_fx->platform.calls.clear();
    QTest::mousePress(f.Command1(), Qt::LeftButton);
    QVERIFY(m_fx->platform.calls.isEmpty()); // buttons are not drag surfaces
}

QTEST_MAIN(TestLifecycle)
#include "tst_lifecycle.moc"
