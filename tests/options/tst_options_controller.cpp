// The options window edits NotificationSettings as it is clicked, keeps them
// on every way of closing, and pauses watch mode while open.
#include "forms/form1.h"
#include "forms/options_form.h"
#include "options/notification_settings.h"
#include "options/options_controller.h"
#include "platform/classic_timer.h"
#include "support/fake_platform.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QtTest>

namespace {

// The ticked controls, e.g. "Option3 Check1 Check2".
QString ticked(const Options &w)
{
    QStringList on;
    for (const char *name : {"Option3", "Option1", "Option2", "Check1", "Check2"})
        if (w.findChild<QAbstractButton *>(name)->isChecked())
            on << name;
    return on.join(' ');
}

// One opening: `clicks` are clicked, then the window closes by `route`; returns what it showed on
// opening.
QString openAndUse(OptionsController &c, const QString &route = "esc",
                   const QStringList &clicks = {})
{
    QString atOpen;
    c.setModalRun([&](Options &w) {
        atOpen = ticked(w);
        w.show();
        for (const QString &name : clicks)
            w.findChild<QAbstractButton *>(name)->click();
        if (route == "esc")
            QTest::keyClick(&w, Qt::Key_Escape);
        else if (route == "button")
            w.Command2()->click();
        else
            w.close();
    });
    c.open();
    return atOpen;
}

} // namespace

class TestOptionsController : public QObject
{
    Q_OBJECT
private slots:
    void choicesLastForTheRun_data();
    void choicesLastForTheRun();
    void watchTimer_data();
    void watchTimer();
};

void TestOptionsController::choicesLastForTheRun_data()
{
    QTest::addColumn<QString>("route");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("reopened");
    QTest::newRow("closed with Esc")
        << "esc" << QStringList {"Option2", "Check1"} << "Option2 Check2";
    QTest::newRow("closed with Close")
        << "button" << QStringList {"Option1"} << "Option1 Check1 Check2";
    QTest::newRow("closed by the window, both ways off")
        << "window" << QStringList {"Option2", "Check1", "Check2"} << "Option2";
}

void TestOptionsController::choicesLastForTheRun()
{
    QFETCH(QString, route);
    QFETCH(QStringList, clicks);
    Form1 form;
    FakePlatform platform;
    NotificationSettings settings = NotificationSettings::startValues();
    OptionsController c(form, platform, settings);
    QCOMPARE(openAndUse(c, route, clicks), QString("Option3 Check1 Check2"));
    QTEST(openAndUse(c), "reopened");
    QCOMPARE(settings.NotifyWhenUserHasFile, int16_t(clicks[0] == "Option2" ? -1 : 0));
    QCOMPARE(settings.NotifyWhenNoUserHasFile, int16_t(clicks[0] == "Option1" ? -1 : 0));
    QCOMPARE(settings.NotifyByBeep, uint8_t(clicks.contains("Check1") ? 0 : 1));
    QCOMPARE(settings.NotifyByMessage, uint8_t(clicks.contains("Check2") ? 0 : 1));
    // Nothing is saved: a new run starts from the start values.
    NotificationSettings restarted = NotificationSettings::startValues();
    OptionsController again(form, platform, restarted);
    QCOMPARE(openAndUse(again), QString("Option3 Check1 Check2"));
}

void TestOptionsController::watchTimer_data()
{
    QTest::addColumn<bool>("running");
    QTest::newRow("watch mode on is paused, then resumed") << true;
    QTest::newRow("watch mode off stays off") << false;
}

void TestOptionsController::watchTimer()
{
    QFETCH(bool, running);
    Form1 form;
    FakePlatform platform;
    NotificationSettings settings = NotificationSettings::startValues();
    OptionsController c(form, platform, settings);
    form.Timer1()->setEnabled(running);
    bool enabledWhileOpen = true;
    c.setModalRun([&](Options &) { enabledWhileOpen = form.Timer1()->isEnabled(); });
    c.open();
    QVERIFY(!enabledWhileOpen);
    QCOMPARE(form.Timer1()->isEnabled(), running);
}

QTEST_MAIN(TestOptionsController)
#include "tst_options_controller.moc"
