// What a screen reader finds in both windows, read through Qt's accessibility
// interfaces as assistive technology reads it.
#include "forms/form1.h"
#include "forms/options_form.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QtTest>

#include <memory>

namespace {

// Every widget the accessibility tree reaches from the window, with the
// interface it is announced through.
QHash<QWidget *, QAccessibleInterface *> walk(QAccessibleInterface *iface)
{
    QHash<QWidget *, QAccessibleInterface *> seen;
    if (auto *w = qobject_cast<QWidget *>(iface->object()))
        seen.insert(w, iface);
    for (int i = 0; i < iface->childCount(); ++i)
        if (QAccessibleInterface *child = iface->child(i))
            seen.insert(walk(child));
    return seen;
}

// Designer controls a user can reach with Tab or click.
QList<QWidget *> interactiveControls(QWidget *window)
{
    QList<QWidget *> controls;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        const QString name = w->objectName();
        if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_"))
            && (w->focusPolicy() & Qt::TabFocus || qobject_cast<QAbstractButton *>(w)))
            controls << w;
    }
    return controls;
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT
private slots:
    void everyControlNamedAndDescribed_data();
    void everyControlNamedAndDescribed();
    void labelsNameTheirControls_data();
    void labelsNameTheirControls();
    void descriptionFollowsChangingTooltip();
    void statusBoxShowsFocusFromKeyboard();
};

void TestAccessibility::everyControlNamedAndDescribed_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("expectedControls");
    QTest::newRow("main window") << QStringLiteral("Form1") << 25;
    QTest::newRow("options window") << QStringLiteral("Options") << 6;
}

void TestAccessibility::everyControlNamedAndDescribed()
{
    QFETCH(QString, window);
    std::unique_ptr<QWidget> w;
    if (window == QLatin1String("Form1"))
        w = std::make_unique<Form1>();
    else
        w = std::make_unique<Options>();
    const auto reached = walk(QAccessible::queryAccessibleInterface(w.get()));

    const QList<QWidget *> controls = interactiveControls(w.get());
    QTEST(int(controls.size()), "expectedControls");
    for (QWidget *control : controls) {
        const QString id = control->objectName();
        QAccessibleInterface *iface = reached.value(control);
        QVERIFY2(iface, qPrintable(id + " is not in the accessibility tree"));
        const QString name = iface->text(QAccessible::Name);
        QVERIFY2(!name.isEmpty(), qPrintable(id + " has no accessible name"));
        QVERIFY2(!name.contains(QLatin1Char('&')), qPrintable(id + ": " + name));
        QCOMPARE(iface->text(QAccessible::Description), control->toolTip().trimmed());
    }
}

void TestAccessibility::labelsNameTheirControls_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    const auto row
        = [](const char *name, const char *label, const char *control, const char *accessibleName) {
              QTest::newRow(name) << QString(label) << QString(control) << QString(accessibleName);
          };
    row("Find box", "Label7", "Text1", "Find");
    row("user list", "Label4", "List1", "Connections");
    row("status box", "Label3", "Text2", "System messages");
}

void TestAccessibility::labelsNameTheirControls()
{
    QFETCH(QString, label);
    QFETCH(QString, control);
    Form1 form;
    auto *l = form.findChild<QLabel *>(label);
    auto *c = form.findChild<QWidget *>(control);
    QCOMPARE(l->buddy(), c);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(c);
    QTEST(iface->text(QAccessible::Name), "name");
    // Announced from the label's side: Qt's list interface reports no relations.
    bool labels = false;
    const auto relations
        = QAccessible::queryAccessibleInterface(l)->relations(QAccessible::Labelled);
    for (const auto &relation : relations)
        labels = labels || relation.first->object() == c;
    QVERIFY2(labels, qPrintable(label + " is not announced as the label of " + control));
}

void TestAccessibility::descriptionFollowsChangingTooltip()
{
    // The scan gives the user list a tooltip once users are listed.
    Form1 form;
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(form.List1());
    QCOMPARE(iface->text(QAccessible::Description), QString());
    form.List1()->setToolTip(QStringLiteral(" Click on user for more data "));
    QCOMPARE(iface->text(QAccessible::Description), QStringLiteral("Click on user for more data"));
    form.List1()->setToolTip(QString());
    QCOMPARE(iface->text(QAccessible::Description), QString());
}

void TestAccessibility::statusBoxShowsFocusFromKeyboard()
{
    Form1 form;
    form.setStatus(QStringLiteral("Scan terminated."));
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.List1()->setFocus(Qt::TabFocusReason);
    const QImage unfocused = form.Text2()->grab().toImage();
    QTest::keyClick(form.List1(), Qt::Key_Tab);
    QTRY_VERIFY(form.Text2()->hasFocus());
    QVERIFY2(form.Text2()->grab().toImage() != unfocused, "Text2 looks the same with the focus");
    QTest::keyClick(form.Text2(), Qt::Key_Tab); // no keyboard trap
    QTRY_VERIFY(!form.Text2()->hasFocus());
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
