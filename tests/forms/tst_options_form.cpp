// The options window's control inventory, tab order and option group.
#include "forms/options_form.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

class TestOptionsForm : public QObject
{
    Q_OBJECT
private slots:
    void inventory_data();
    void inventory();
    void tabOrder();
    void window();
};

void TestOptionsForm::inventory_data()
{
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QRect>("twipsRect");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("bold");
    auto row = [](const char *name, const char *parent, const char *caption, const char *tip, int l,
                  int t, int w, int h, bool checked, bool bold) {
        QTest::newRow(name) << QString::fromLatin1(parent) << QString::fromLatin1(caption)
                            << QString::fromLatin1(tip) << QRect(l, t, w, h) << checked << bold;
    };
    row("Frame1", "Options", "Notify Me When", "", 120, 120, 1815, 1335, false, false);
    row("Option3", "Frame1", "Don't notify me", "", 240, 360, 1455, 255, true, false);
    row("Option1", "Frame1", "No user has file", "", 240, 600, 1455, 375, false, false);
    row("Option2", "Frame1", "A user has file", "", 240, 960, 1455, 195, false, false);
    row("Frame2", "Options", "Notify Me Via", "", 120, 1560, 1455, 975, false, false);
    row("Check1", "Frame2", "Beep", "", 240, 360, 975, 195, true, false);
    row("Check2", "Frame2", "Message", "", 240, 600, 975, 195, true, false);
    row("Command2", "Options", "&Close", " Close Options Screen  ", 2040, 2040, 735, 495, false,
        true);
}

void TestOptionsForm::inventory()
{
    QFETCH(QRect, twipsRect);
    Options window;
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    auto *w = window.findChild<QWidget *>(name);
    QVERIFY2(w, qPrintable(name));
    QTEST(w->parentWidget()->objectName(), "parent");
    QString text;
    if (auto *frame = qobject_cast<QGroupBox *>(w))
        text = frame->title();
    else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
        text = button->text();
        QTEST(button->isChecked(), "checked");
    }
    QTEST(text, "caption");
    QTEST(w->toolTip(), "tip");
    const auto px = [](int t) { return qRound(t / 15.0); };
    const QRect designer(px(twipsRect.x()), px(twipsRect.y()), px(twipsRect.width()),
                         px(twipsRect.height()));
    // A control lower than its indicator grows about its designer centre line.
    QCOMPARE(w->x(), designer.x());
    QCOMPARE(w->width(), designer.width());
    QVERIFY(w->height() >= designer.height());
    QVERIFY(qAbs(w->geometry().center().y() - designer.center().y()) <= 1);
    QTEST(w->font().bold(), "bold");
}

void TestOptionsForm::tabOrder()
{
    Options window;
    const QList<QWidget *> expected = {window.Option3(), window.Option1(), window.Option2(),
                                       window.Check1(),  window.Check2(),  window.Command2()};
    QWidget *w = window.Option3();
    for (int i = 1; i < expected.size(); ++i) {
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
        QCOMPARE(w->objectName(), expected[i]->objectName());
    }
    // One group: choosing one option button releases the others.
    window.Option2()->click();
    QVERIFY(!window.Option3()->isChecked());
}

void TestOptionsForm::window()
{
    Options window;
    QCOMPARE(window.windowTitle(), "Velmora - Options Screen");
    // Fixed at the designer's 2850 x 2640 twips.
    QCOMPARE(window.minimumSize(), QSize(190, 176));
    QCOMPARE(window.maximumSize(), QSize(190, 176));
    QVERIFY(!window.windowIcon().isNull()); // the test sets no application icon
    // Close is no default button: Enter on an option leaves the window open.
    window.show();
    QTest::keyClick(window.Option1(), Qt::Key_Return);
    QVERIFY(window.isVisible());
}

QTEST_MAIN(TestOptionsForm)
#include "tst_options_form.moc"
