// Dragging and re-centring a window by its surfaces.
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
    void doubleClickRecentres();
};

void TestWindowMoves::centredPosition_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("top at 45 % of the free height") << QSize(1024, 768) << QSize(224, 168) << QPoint(400, 270);
    QTest::newRow("odd free width rounds") << QSize(1024, 768) << QSize(579, 394) << QPoint(223, 168);
    QTest::newRow("window fills the screen") << QSize(800, 600) << QSize(800, 600) << QPoint(0, 0);
    QTest::newRow("window larger than screen") << QSize(640, 480) << QSize(840, 580) << QPoint(-100, -45);
}

void TestWindowMoves::centredPosition()
{
    QFETCH(QSize, screen);
    QFETCH(QSize, window);
    QFETCH(QPoint, expected);
    QCOMPARE(::centredPosition(screen, window), expected);
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
    QFETCH(bool, moves);

    FakePlatform platform;
    QWidget window;
    window.resize(300, 200);
    auto *label = new QLabel(QStringLiteral("drag me"), &window);
    label->setGeometry(10, 10, 100, 20);
    auto *other = new QLabel(QStringLiteral("not me"), &window);
    other->setGeometry(10, 40, 100, 20);
    auto *control = new QPushButton(QStringLiteral("OK"), &window);
    control->setGeometry(10, 70, 100, 30);
    WindowMoves filter(window, platform, {&window, label});
    window.show();

    QWidget *at = target == "background" ? &window
                  : target == "label"    ? static_cast<QWidget *>(label)
                  : target == "button"   ? static_cast<QWidget *>(control)
                                         : static_cast<QWidget *>(other);
    const QPoint pos = at == &window ? QPoint(250, 150) : QPoint(5, 5);
    QTest::mousePress(at, button, {}, pos);
    QTest::mouseRelease(at, button, {}, pos);
    QCOMPARE(platform.count(QStringLiteral("windowMove")), moves ? 1 : 0);
}

void TestWindowMoves::doubleClickRecentres()
{
    FakePlatform platform;
    platform.screen = QSize(1024, 768);
    QWidget window;
    window.setFixedSize(224, 168);
    auto *label = new QLabel(QStringLiteral("drag me"), &window);
    label->setGeometry(10, 10, 100, 20);
    WindowMoves filter(window, platform, {&window, label});
    window.move(5, 5);
    window.show();

    // The outer size counts, frame included.
    const QSize outer = window.frameGeometry().size();
    QTest::mouseDClick(label, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(window.frameGeometry().topLeft(),
             QPoint((1024 - outer.width()) / 2, qRound((768 - outer.height()) * 0.45)));

    window.move(5, 5);
    QTest::mouseDClick(label, Qt::RightButton, {}, QPoint(5, 5));
    QCOMPARE(window.frameGeometry().topLeft(), QPoint(5, 5));
}

QTEST_MAIN(TestWindowMoves)
#include "tst_window_moves.moc"
