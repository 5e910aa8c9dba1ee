// The toolkit seams: twips conversion and the classic timer's meaning.
#include "platform/classic_timer.h"
#include "platform/twips.h"

#include <QSignalSpy>
#include <QtTest>

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void twipsToPixels_data();
    void twipsToPixels();
    void timerIntervalZeroNeverTicks();
    void timerTicksOnlyWhenEnabled();
    void timerIntervalChangeRestartsCount();
};

void TestPlatform::twipsToPixels_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("pixels");
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("one pixel") << 15 << 1;
    QTest::newRow("margin") << 120 << 8;
    QTest::newRow("window width") << 8685 << 579;
    QTest::newRow("window height") << 5910 << 394;
    QTest::newRow("rounds half up") << 8 << 1;
    QTest::newRow("rounds down") << 7 << 0;
}

void TestPlatform::twipsToPixels()
{
    QFETCH(int, twips);
    QFETCH(int, pixels);
    QCOMPARE(twips::toPixels(twips), pixels);
}

void TestPlatform::timerIntervalZeroNeverTicks()
{
    ClassicTimer t;
    QSignalSpy spy(&t, &ClassicTimer::tick);
    t.setInterval(0);
    t.setEnabled(true);
    QVERIFY(t.isEnabled());
    QVERIFY(!t.isTicking());
    QTest::qWait(50);
    QCOMPARE(spy.count(), 0);
    t.setInterval(10);
    QVERIFY(t.isTicking());
    QTRY_VERIFY(spy.count() > 0);
}

void TestPlatform::timerTicksOnlyWhenEnabled()
{
    ClassicTimer t;
    QSignalSpy spy(&t, &ClassicTimer::tick);
    t.setInterval(5);
    QTest::qWait(40);
    QCOMPARE(spy.count(), 0);
    t.setEnabled(true);
    QTRY_VERIFY(spy.count() > 0);
    t.setEnabled(false);
    const int seen = spy.count();
    QTest::qWait(40);
    QCOMPARE(spy.count(), seen);
}

void TestPlatform::timerIntervalChangeRestartsCount()
{
    ClassicTimer t;
    t.setInterval(60000);
    t.setEnabled(true);
    QTest::qWait(30);
    const int before = t.remainingMs();
    QVERIFY(before < 60000);
    t.setInterval(60000);
    QVERIFY(t.remainingMs() > before);
}

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
