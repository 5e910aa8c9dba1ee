// The toolkit seams: twips conversion and the classic timer's meaning.
#include "platform/classic_timer.h"
#include "platform/twips.h"

#include <QSignalSpy>
#include <QtTest>

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void twipsToPixels_data()
    {
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("one pixel") << 15 << 1;
        QTest::newRow("window width") << 8685 << 579;
        QTest::newRow("rounds half up") << 8 << 1;
        QTest::newRow("rounds down") << 7 << 0;
    }
    void twipsToPixels()
    {
        QFETCH(int, twips);
        QFETCH(int, pixels);
        QCOMPARE(twips::toPixels(twips), pixels);
    }

    void timerTicksOnlyWhenEnabledWithAnInterval()
    {
        ClassicTimer t;
        QSignalSpy spy(&t, &ClassicTimer::tick);
        t.setInterval(5);
        QVERIFY(!t.isTicking());
        t.setInterval(0);
        t.setEnabled(true);
        QVERIFY(t.isEnabled());
        QVERIFY(!t.isTicking()); // interval 0 never ticks, even enabled
        QTest::qWait(30);
        QCOMPARE(spy.count(), 0);
        t.setInterval(10);
        QVERIFY(t.isTicking());
        QTRY_VERIFY(spy.count() > 1); // on and on, not once
        t.setEnabled(false);
        QVERIFY(!t.isTicking());
    }

    void timerIntervalChangeRestartsCount()
    {
        ClassicTimer t;
        t.setInterval(60000);
        t.setEnabled(true);
        QTest::qWait(30);
        const int before = t.remainingMs();
        t.setInterval(60000);
        QVERIFY(t.remainingMs() > before);
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
