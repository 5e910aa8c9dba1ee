// Dragging a window by its surfaces, and where re-centring puts it.
#include "forms/window_moves.h"
#include "support/fake_platform.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

class TestWindowMoves : public QObject
{
    Q_OBJECT
private slots:
    void centredPosition_data();
    void centredPosition();
    void press_data();
    void press();
};

void TestWindowMoves::centredPosition_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("top at 45 % of the free height")
        << QSize(1024, 768) << QSize(224, 168) << QPoint(400, 270);
    QTest::newRow("odd free width rounds")
        << QSize(1024, 768) << QSize(579, 394) << QPoint(223, 168);
    QTest::newRow("window fills the screen") << QSize(800, 600) << QSize(800, 600) << QPoint(0, 0);
    QTest::newRow("window larger than screen")
        << QSize(640, 480) << QSize(840, 580) << QPoint(-100, -45);
}

void TestWindowMoves::centredPosition()
{
    QFETCH(QSize, screen);
    QFETCH(QSize, window);
    QTEST(::centredPosition(screen, window), "expected");
}

void TestWindowMoves::press_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("moves");
    QTest::newRow("left on background") << "background" << Qt::LeftButton << true;
    QTest::newRow("left on label") << "label" << Qt::LeftButton << true;
    QTest::newRow("right on label") << "label" << Qt::RightButton << false;
    QTest::newRow("middle on background") << "background" << Qt::MiddleButton << false;
    QTest::newRow("left on a control") << "button" << Qt::LeftButton << false;
    QTest::newRow("left on a label not listed") << "other" << Qt::LeftButton << false;
}

void TestWindowMoves::press()
{
    QFETCH(QString, target);
    QFETCH(Qt::MouseButton, button);
    FakePlatform platform;
    QWidget window;
    window.resize(300, 200);
    QLabel label("drag me", &window), other("not me", &window);
    QPushButton control("OK", &window);
    other.move(10, 40);
    control.move(10, 70);
    WindowMoves filter(window, platform, {&window, &label});
    window.show();
    QWidget *at = target == "background" ? &window
        : target == "label"              ? static_cast<QWidget *>(&label)
        : target == "button"             ? static_cast<QWidget *>(&control)
                                         : static_cast<QWidget *>(&other);
    const QPoint pos = at == &window ? QPoint(250, 150) : QPoint(5, 5);
    QTest::mousePress(at, button, {}, pos);
    QTest::mouseRelease(at, button, {}, pos);
    QTEST(platform.count(QStringLiteral("windowMove")) == 1, "moves");
}

QTEST_MAIN(TestWindowMoves)
#include "tst_window_moves.moc"
