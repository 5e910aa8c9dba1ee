// The options window edits NotificationSettings as it is clicked, writes
// them back on every way of closing, and pauses watch mode while open.
#include "forms/form1.h"
#include "forms/options_form.h"
#include "options/notification_settings.h"
#include "options/options_controller.h"
#include "platform/classic_timer.h"
#include "support/fake_platform.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {
struct Shown
{
    bool none = false, noUser = false, user = false, beep = false, message = false;
    bool operator==(const Shown &) const = default;
};

Shown shown(const Options &w)
{
    return {w.Option3()->isChecked(), w.Option1()->isChecked(), w.Option2()->isChecked(),
            w.Check1()->isChecked(), w.Check2()->isChecked()};
}

// One opening of the window: `act` plays the user, then it closes by `route`.
Shown openAndUse(OptionsController &c, const QString &route,
                 const std::function<void(Options &)> &act = {})
{
    Shown atOpen;
    c.setModalRun([&](Options &w) {
        atOpen = shown(w);
        w.show();
        if (act)
            act(w);
        if (route == "esc")
            QTest::keyClick(&w, Qt::Key_Escape);
        else if (route == "button")
            w.Command2()->click();
        else
            w.close();
        QVERIFY(!w.isVisible());
    });
    c.open();
    return atOpen;
}
} // namespace

class TestOptionsController : public QObject
{
    Q_OBJECT
private slots:
    void firstOpening();
    void choicesLastForTheRun_data();
    void choicesLastForTheRun();
    void clicksTakeEffectAtOnce();
    void bothMeansOffKeepsTheCase();
    void watchTimer_data();
    void watchTimer();
    void opensCentred();
    void defaultRunIsModal();
};

void TestOptionsController::firstOpening()
{
    Form1 form;
    FakePlatform platform;
    NotificationSettings settings = NotificationSettings::startValues();
    OptionsController c(form, platform, settings);
    const Shown s = openAndUse(c, "esc");
    QVERIFY((s == Shown{true, false, false, true, true}));
}

void TestOptionsController::choicesLastForTheRun_data()
{
    QTest::addColumn<QString>("route");
    QTest::newRow("closed with Esc") << "esc";
    QTest::newRow("closed with Close") << "button";
    QTest::newRow("closed by the window") << "window";
}

void TestOptionsController::choicesLastForTheRun()
{
    QFETCH(QString, route);
    Form1 form;
    FakePlatform platform;
    NotificationSettings settings = NotificationSettings::startValues();
    OptionsController c(form, platform, settings);
    openAndUse(c, route, [](Options &w) {
        w.Option2()->click();
        w.Check1()->click();
    });
    QCOMPARE(settings.NotifyWhenUserHasFile, int16_t(-1));
    QCOMPARE(settings.NotifyWhenNoUserHasFile, int16_t(0));
    QCOMPARE(settings.NotifyByBeep, uint8_t(0));
    QCOMPARE(settings.NotifyByMessage, uint8_t(1));

    const Shown again = openAndUse(c, route);
    QVERIFY((again == Shown{false, false, true, false, true}));

    // Nothing is saved: a new run starts from the start values.
    const NotificationSettings restarted = NotificationSettings::startValues();
    QCOMPARE(restarted.NotifyWhenUserHasFile, int16_t(0));
    QCOMPARE(restarted.NotifyWhenNoUserHasFile, int16_t(0));
    QCOMPARE(restarted.NotifyByBeep, uint8_t(1));
    QCOMPARE(restarted.NotifyByMessage, uint8_t(1));
}

void TestOptionsController::clicksTakeEffectAtOnce()
{
    Form1 form;
    FakePlatform platform;
    NotificationSettings settings = NotificationSettings::startValues();
    OptionsController c(form, platform, settings);
    openAndUse(c, "esc", [&](Options &w) {
        w.Option1()->click();
        QCOMPARE(settings.NotifyWhenNoUserHasFile, int16_t(-1));
        QCOMPARE(settings.NotifyWhenUserHasFile, int16_t(0));
        w.Option2()->click();
        QCOMPARE(settings.NotifyWhenNoUserHasFile, int16_t(0));
        QCOMPARE(settings.NotifyWhenUserHasFile, int16_t(-1));
        w.Option3()->click();
        QCOMPARE(settings.NotifyWhenUserHasFile, int16_t(0));
        w.Check2()->click();
        QCOMPARE(settings.NotifyByMessage, uint8_t(0));
    });
    // All zero (start-up stopped early): nothing ticked after loading.
    settings = NotificationSettings{};
    const Shown s = openAndUse(c, "esc");
    QVERIFY((s == Shown{true, false, false, false, false}));
}

void TestOptionsController::bothMeansOffKeepsTheCase()
{
    Form1 form;
    FakePlatform platform;
    NotificationSettings settings = NotificationSettings::startValues();
    OptionsController c(form, platform, settings);
    openAndUse(c, "button", [](Options &w) {
        w.Option2()->click();
        w.Check1()->click();
        w.Check2()->click();
    });
    QCOMPARE(settings.NotifyWhenUserHasFile, int16_t(-1));
    QCOMPARE(settings.NotifyByBeep, uint8_t(0));
    QCOMPARE(settings.NotifyByMessage, uint8_t(0));
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

void TestOptionsController::opensCentred()
{
    Form1 form;
    FakePlatform platform;
    platform.screen = QSize(1000, 700);
    NotificationSettings settings = NotificationSettings::startValues();
    OptionsController c(form, platform, settings);
    QPoint at;
    c.setModalRun([&](Options &w) { at = w.frameGeometry().topLeft(); });
    c.open();
    QCOMPARE(at, QPoint((1000 - 190) / 2, qRound((700 - 176) * 0.9 / 2)));
}

void TestOptionsController::defaultRunIsModal()
{
    Form1 form;
    form.show();
    FakePlatform platform;
    NotificationSettings settings = NotificationSettings::startValues();
    OptionsController c(form, platform, settings);
    bool sawModal = false;
    QTimer::singleShot(0, [&] {
        auto *w = qobject_cast<Options *>(QApplication::activeModalWidget());
        sawModal = w != nullptr;
        if (w) {
            w->Option1()->click();
            QTest::keyClick(w, Qt::Key_Escape);
        }
    });
    c.open();
    QVERIFY(sawModal);
    QCOMPARE(settings.NotifyWhenNoUserHasFile, int16_t(-1));
}

QTEST_MAIN(TestOptionsController)
#include "tst_options_controller.moc"
