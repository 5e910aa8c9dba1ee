// Start-up and shutdown of the whole program on a simulated network.
#include "app/lifecycle.h"
#include "app/tray_icon.h"
#include "browser/drive_list_box.h"
#include "browser/file_browser.h"
#include "forms/form1.h"
#include "support/app_fixture.h"
#include "support/file_size_limit.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QtTest>

namespace {
const QString kOrders = QStringLiteral("F:\\APPS\\DATA\\ORDERS.DBF");

// FS1 with ORDERS.DBF, opened by JSMITH.
std::unique_ptr<AppFixture> fixture()
{
    auto fx = std::make_unique<AppFixture>();
    fx->createFile(QStringLiteral("APPS\\DATA\\ORDERS.DBF"));
    fx->net.addConnection(0, 5, QStringLiteral("JSMITH"));
    fx->net.addOpenFile(0, QStringLiteral("SYS:APPS\\DATA\\ORDERS.DBF"), 5);
    return fx;
}
} // namespace

class TestLifecycle : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_fx = fixture(); }
    void cleanup() { m_fx.reset(); }

    void firstRunFallsBack()
    {
        m_fx->start();
        Form1 &f = m_fx->app->form();
        QVERIFY(f.Drive1()->currentText().startsWith("c:"));
        QCOMPARE(m_fx->app->browser().directoryPath(), "C:\\");
        QCOMPARE(f.Combo2()->currentText(), "*.*");
        QCOMPARE(f.Combo1()->count() + f.Combo2()->count(), 0);
        const NotificationSettings &n = m_fx->app->notificationSettings();
        QCOMPARE(QList<int>({n.NotifyWhenUserHasFile, n.NotifyWhenNoUserHasFile, n.NotifyByBeep,
                             n.NotifyByMessage}),
                 QList<int>({0, 0, 1, 1}));
        QVERIFY(m_fx->platform.calls.isEmpty()); // quietly
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("status");
        const auto missing = [](const QString &line) {
            QTest::newRow(qPrintable(line)) << line << "Passed file '" + line + "' does not exist.";
        };
        QTest::newRow("spaces") << "   " << QString();
        QTest::newRow("/p") << " /p " << QString();
        missing("/P"); // a path, not the switch
        missing("F:\\NOPE.TXT");
        missing("F:\\APPS"); // a folder
        missing("\"" + kOrders + "\""); // quotes are kept
    }
    void commandLine()
    {
        QFETCH(QString, line);
        QFETCH(QString, status);
        m_fx->start(line);
        QCOMPARE(m_fx->app->form().status(), status);
        QCOMPARE(m_fx->platform.count("beep"), status.isEmpty() ? 0 : 1);
        QCOMPARE(m_fx->app->form().List1()->count(), 0);
    }

    void commandLineFileIsScannedBeforeShow()
    {
        const QString here = QDir::currentPath();
        // A DOS path in any case, a native path, and a bare name in the current folder.
        for (QString line : {QStringLiteral("  f:\\apps\\data\\orders.dbf "),
                             QStringLiteral("native"), QStringLiteral("ORDERS.DBF")}) {
            m_fx = fixture();
            bool shownDuringScan = true;
            m_fx->platform.onProcessEvents
                = [&] { shownDuringScan = m_fx->app->form().isVisible(); };
            const QString folder = m_fx->net.volumeDir("FS1") + "/APPS/DATA";
            if (line == "native")
                line = folder + "/ORDERS.DBF";
            QDir::setCurrent(folder);
            m_fx->start(line);
            QVERIFY2(m_fx->app->form().List1()->count() == 1, qPrintable(line));
            QVERIFY(!shownDuringScan);
            QCOMPARE(m_fx->app->browser().selectedFileName(), "ORDERS.DBF");
            QCOMPARE(m_fx->app->browser().fileHistory().size(), 1);
        }
        QDir::setCurrent(here);
    }

    void historyKeepsOrderAndNewestTen()
    {
        QStringList stored;
        for (int i = 0; i < 10; ++i)
            stored << QStringLiteral("F:\\OLD\\FILE%1.TXT").arg(i);
        m_fx->store->writeHistory(SettingsStore::FileHistory, stored);
        m_fx->start(kOrders); // an eleventh entry, scanned from the command line
        m_fx->app->browser().addToFileHistory("F:\\NEW.TXT"); // a twelfth
        m_fx->app->form().close();
        QCOMPARE(m_fx->store->readHistory(SettingsStore::FileHistory),
                 (stored + QStringList {kOrders, "F:\\NEW.TXT"}).mid(2));
    }

    // The remembered patterns come back without replacing the stored one.
    void patternHistoryKeepsStoredPattern()
    {
        m_fx->store->setPath("F:\\APPS");
        m_fx->store->setPattern("*.DBF");
        m_fx->store->writeHistory(SettingsStore::PatternHistory, {"*.TXT", "*.LOG"});
        m_fx->start();
        QCOMPARE(m_fx->app->form().Combo2()->currentText(), "*.DBF");
        QCOMPARE(m_fx->app->browser().patternHistory(), QStringList({"*.TXT", "*.LOG"}));
        m_fx->app->browser().appendPatternHistory("*.DAT");
        m_fx->app->form().close();
        QCOMPARE(m_fx->store->readHistory(SettingsStore::PatternHistory),
                 QStringList({"*.TXT", "*.LOG", "*.DAT"}));
    }

    // A launcher shows no standard error: the client's reason goes to Text2 too.
    void failedClientStart()
    {
        const QString missing = m_fx->m_settingsDir.filePath("none.json");
        qputenv("NWSIM_NETWORK", missing.toLocal8Bit());
        m_fx->store->setPath("F:\\APPS");
        m_fx->app = std::make_unique<VelmoraApp>(m_fx->platform, *m_fx->store);
        m_fx->app->start(kOrders);
        QCOMPARE(m_fx->platform.calls,
                 QStringList(
                     {"beep",
                      "box|Velmora|Error! Could not initialize Netware Client.|exclamation|ok"}));
        QCOMPARE(m_fx->app->form().status(), missing + ": does not exist");
        QCOMPARE(m_fx->app->form().List1()->count(), 0); // the command line was not looked at
        m_fx->app->form().close();
        QCOMPARE(m_fx->store->path(), "F:\\APPS"); // the window never held it: not overwritten
    }
    // A real failed write at shutdown (the file size limit) leaves the stored
    // settings as they were, unreported.
    void failedSettingsWriteKeepsFile()
    {
        QStringList stored;
        for (int i = 0; i < 10; ++i)
            stored << QStringLiteral("F:\\%1\\FILE%2.TXT").arg(QString(150, 'D')).arg(i);
        m_fx->store->writeHistory(SettingsStore::FileHistory, stored);
        QVERIFY(m_fx->store->sync());
        QFile file(m_fx->settingsFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        m_fx->start(kOrders); // one more history entry to write
        {
            FileSizeLimit diskFull(before.size() / 2);
            m_fx->app->form().close();
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        QCOMPARE(m_fx->platform.calls.filter("box"), QStringList());
    }

    void everyCloseRouteShutsDownOnce_data()
    {
        QTest::addColumn<QString>("route");
        QTest::newRow("Exit button") << "Command2";
        QTest::newRow("tray menu Exit") << "mPopExit";
        QTest::newRow("Esc on a control") << "Esc";
        QTest::newRow("window close") << "close";
        QTest::newRow("the application quitting") << "quit"; // the session ending
    }
    void everyCloseRouteShutsDownOnce()
    {
        QFETCH(QString, route);
        m_fx->start();
        Form1 &f = m_fx->app->form();
        int closed = 0;
        connect(m_fx->app.get(), &VelmoraApp::closed, [&] { ++closed; });
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        if (route == "Command2")
            f.Command2()->click();
        else if (route == "mPopExit")
            f.mPopExit()->trigger();
        else if (route == "Esc")
            QTest::keyClick(f.List1(), Qt::Key_Escape);
        else if (route == "quit")
            QVERIFY(QMetaObject::invokeMethod(qApp, "aboutToQuit"));
        else
            f.close();
        QCOMPARE(f.isVisible(), route == "quit"); // quitting leaves the closing to Qt
        QSettings ini(m_fx->settingsFile(), QSettings::IniFormat);
        QCOMPARE(ini.value("Options/Pattern").toString(), "*.*"); // settings written
        m_fx->app->lifecycle().shutdown(); // a later quit changes nothing
        QCOMPARE(closed, route == "quit" ? 0 : 1);
    }

    // Each button of the assembled window reaches its own handler, and only it.
    void buttonsReachTheirHandlers_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("effects");
        const auto row = [](const char *name, const char *button, const QString &effects) {
            QTest::newRow(name) << QString(button) << effects;
        };
        row("All", "Command14", "selected 2");
        row("None", "Command15", "selected 0");
        row("Send", "Command12", "input|Velmora - Send Message selected 1");
        row("Clear", "Command13", "box|Velmora selected 1");
        row("clear Find", "Command6", "selected 1 find empty");
        row("User", "Command16", "clipboard|User: JSMITH selected 1");
        row("Copy", "Command5", "clipboard|" + kOrders + " selected 1");
        row("Print", "Command4", "printed selected 1");
        row("About", "Command7", "box|Velmora - About Box box|Velmora selected 1");
    }
    void buttonsReachTheirHandlers()
    {
        QFETCH(QString, button);
        m_fx->net.addConnection(0, 6, QStringLiteral("ADAMS"));
        m_fx->net.addOpenFile(0, QStringLiteral("SYS:APPS\\DATA\\ORDERS.DBF"), 6);
        m_fx->start(kOrders);
        Form1 &f = m_fx->app->form();
        QCOMPARE(f.List1()->count(), 2);
        f.Text1()->setText("J");
        QListWidget *list = f.List1();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(0)).center()); // selects one
        m_fx->platform.calls.clear();
        f.findChild<QPushButton *>(button)->click();
        QStringList effects;
        for (const QString &call : std::as_const(m_fx->platform.calls))
            effects << call.section('|', 0, 1).section('\r', 0, 0);
        if (!m_fx->platform.fakePrinter.calls.isEmpty())
            effects << "printed";
        effects << QString("selected %1").arg(list->selectedItems().size());
        if (f.Text1()->text().isEmpty())
            effects << "find empty";
        QTEST(effects.join(' '), "effects");
    }

    void trayCallback_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("minimised");
        QTest::addColumn<int>("action");
        const int none = int(TrayAction::None), restore = int(TrayAction::Restore),
                  menu = int(TrayAction::PopUpMenu);
        QTest::newRow("left up, minimised") << 0x202 << true << restore;
        QTest::newRow("double-click, minimised") << 0x203 << true << restore;
        QTest::newRow("right up, minimised") << 0x205 << true << menu;
        QTest::newRow("left down, minimised") << 0x201 << true << none;
        QTest::newRow("middle up, minimised") << 0x208 << true << none;
        QTest::newRow("left up, on screen") << 0x202 << false << none;
        QTest::newRow("right up, on screen") << 0x205 << false << none;
    }
    void trayCallback()
    {
        QFETCH(int, code);
        QFETCH(bool, minimised);
        QFETCH(int, action);
        QCOMPARE(int(TrayCallbackAction(code, minimised)), action);
    }

    void minimiseUnderModalDialogIsUndone_data()
    {
        QTest::addColumn<bool>("dialogItself");
        QTest::newRow("main window minimised") << false;
        QTest::newRow("options window minimised") << true;
    }
    void minimiseUnderModalDialogIsUndone()
    {
        QFETCH(bool, dialogItself);
        m_fx->start();
        Form1 &f = m_fx->app->form();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        bool back = false;
        QTimer::singleShot(0, &f, [&] {
            QWidget *options = QApplication::activeModalWidget();
            QVERIFY(options && options->objectName() == "Options");
            QWidget *minimised = dialogItself ? options : static_cast<QWidget *>(&f);
            minimised->setWindowState(Qt::WindowMinimized);
            back = QTest::qWaitFor([&] {
                return !f.isMinimized() && f.isVisible() && !options->isMinimized()
                    && options->isVisible();
            });
            options->findChild<QPushButton *>("Command2")->click();
        });
        f.Command17()->click(); // Options, modal
        QVERIFY(back);
        // With no modal dialog open, a minimise stands.
        f.setWindowState(Qt::WindowMinimized);
        QTest::qWait(20);
        QVERIFY(f.isMinimized());
    }

    void trayHostAppearsAndGoes()
    {
        // Started without a notification area; a tray host starts later.
        m_fx->start();
        Form1 &f = m_fx->app->form();
        TrayIcon &tray = m_fx->app->tray();
        bool host = false;
        tray.hostAvailable = [&host] { return host; };
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        host = true;
        tray.checkHost();
        QVERIFY(tray.isPresent());
        f.showMinimized();
        QTRY_VERIFY(!f.isVisible()); // hidden in the tray
        f.mPopRestore()->trigger(); // the tray menu's Restore
        QTRY_VERIFY(f.isVisible() && !f.isMinimized());
        f.showMinimized();
        QTRY_VERIFY(!f.isVisible());
        host = false;
        tray.checkHost();
        QVERIFY(!tray.isPresent());
        QTRY_VERIFY(f.isVisible()); // back, or it could never be restored
        QVERIFY(!f.isMinimized());
    }

    void dragSurfaces()
    {
        m_fx->start();
        Form1 &f = m_fx->app->form();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        for (QWidget *w : std::initializer_list<QWidget *> {f.Label4(), f.Label5(), &f}) {
            m_fx->platform.calls.clear();
            QTest::mousePress(w, Qt::RightButton, {}, QPoint(2, 2));
            QTest::mousePress(w, Qt::LeftButton, {}, QPoint(2, 2));
            QCOMPARE(m_fx->platform.calls, QStringList({"windowMove"})); // left button only
        }
        m_fx->platform.calls.clear();
        QTest::mousePress(f.Command1(), Qt::LeftButton);
        QVERIFY(m_fx->platform.calls.isEmpty()); // buttons are not drag surfaces
    }

private:
    std::unique_ptr<AppFixture> m_fx;
};

QTEST_MAIN(TestLifecycle)
#include "tst_lifecycle.moc"
