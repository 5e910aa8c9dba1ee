// The main window's control inventory against the designer's table.
#include "browser/dir_list_box.h"
#include "browser/drive_list_box.h"
#include "browser/file_list_box.h"
#include "forms/form1.h"
#include "platform/classic_timer.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

class TestForm1 : public QObject
{
    Q_OBJECT
private slots:
    void inventory_data();
    void inventory();
    void window();
    void popupMenu();
};

void TestForm1::inventory_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QRect>("twipsRect");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("bold");

    auto row = [](const char *name, const char *kind, const char *caption, const char *tip, int l,
                  int t, int w, int h, bool visible, bool bold) {
        QTest::newRow(name) << QString::fromLatin1(kind) << QString::fromLatin1(caption)
                            << QString::fromLatin1(tip) << QRect(l, t, w, h) << visible << bold;
    };
    row("Drive1", "drive", "", " Select drive ", 120, 120, 4095, 315, true, false);
    row("Combo2", "combo-edit", "", " Specify or select file pattern ", 4440, 120, 3735, 315, true, false);
    row("Command3", "button", "All", " Select all files ", 8160, 150, 375, 255, true, false);
    row("Dir1", "dir", "", " Select directory ", 120, 600, 4095, 1440, true, false);
    row("File1", "file", "", "", 4440, 600, 4095, 1455, true, false);
    row("Label1", "label", "", "", 120, 2040, 3975, 255, true, false);
    row("Label2", "label", "", "", 4320, 2040, 3135, 255, true, false);
    row("Combo1", "combo-list", "", " Select file ", 120, 2350, 8415, 315, true, false);
    row("Label4", "label", "Connections", "", 120, 2760, 1215, 255, true, true);
    row("Label3", "label", "System Messages/Connection Information", "", 3600, 2760, 4215, 255, true, true);
    row("List1", "list", "", "", 120, 3000, 3255, 1815, true, false);
    row("Text2", "memo", "", "", 3600, 3000, 4935, 1815, true, false);
    row("Label5", "label", "", "", 1080, 4845, 1455, 255, true, false);
    row("Command14", "button", "All", " Select all users ", 120, 4850, 615, 255, false, false);
    row("Command15", "button", "None", " De-select all users ", 2760, 4850, 615, 255, false, false);
    row("Label7", "label", "Find", "", 3600, 4920, 495, 255, false, true);
    row("Text1", "text30", "", "", 4080, 4920, 1215, 285, false, false);
    row("Command6", "button", "Clear", " Clear text box ", 5280, 4920, 615, 255, false, false);
    row("Check1", "check", "Update every         secs", "", 6060, 4920, 2415, 255, false, false);
    row("Text3", "text2", "10", "", 7320, 4920, 375, 285, false, false);
    row("Command1", "button", "&Scan", " Scan all connections using the file  ", 120, 5280, 615, 495, false, true);
    row("Command9", "button", "S&top", " Interrupt scanning ", 840, 5280, 615, 495, false, true);
    row("Command4", "button", "&Print", " Print all connections using the file ", 1560, 5280, 615, 495, false, true);
    row("Command5", "button", "&Copy", " Copy all connections using the file to Clipboard ", 2280, 5280, 615, 495, false, true);
    row("Command16", "button", "&User", " Copy user info to Clipboard ", 3000, 5280, 615, 495, false, true);
    row("Command11", "button", "&Locked", " Find user who has file locked ", 3720, 5280, 855, 495, false, true);
    row("Command12", "button", "Se&nd", " Send message to user(s) ", 4680, 5280, 615, 495, false, true);
    row("Command13", "button", "Clea&r", " Clear connection for user(s) ", 5400, 5280, 615, 495, false, true);
    row("Command17", "button", "&Options", " Options screen ", 6120, 5280, 855, 495, true, true);
    row("Command7", "button", "&About", " About this program ", 7080, 5280, 735, 495, true, true);
    row("Command2", "button", "&Exit", " Exit Velmora  ", 7920, 5280, 615, 495, true, true);
}

void TestForm1::inventory()
{
    QFETCH(QString, kind);
    QFETCH(QString, caption);
    QFETCH(QString, tip);
    QFETCH(QRect, twipsRect);
    QFETCH(bool, visible);
    QFETCH(bool, bold);

    Form1 form;
    form.show();
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    auto *w = form.findChild<QWidget *>(name);
    QVERIFY2(w, qPrintable(name));

    QString text;
    if (kind == "button") {
        QVERIFY(qobject_cast<QPushButton *>(w));
        text = qobject_cast<QPushButton *>(w)->text();
    } else if (kind == "label") {
        QVERIFY(qobject_cast<QLabel *>(w));
        text = qobject_cast<QLabel *>(w)->text();
    } else if (kind == "check") {
        QVERIFY(qobject_cast<QCheckBox *>(w));
        text = qobject_cast<QCheckBox *>(w)->text();
    } else if (kind.startsWith("text")) {
        auto *e = qobject_cast<QLineEdit *>(w);
        QVERIFY(e);
        text = e->text();
        QCOMPARE(e->maxLength(), kind == "text30" ? 30 : 2);
    } else if (kind == "combo-edit" || kind == "combo-list") {
        auto *c = qobject_cast<QComboBox *>(w);
        QVERIFY(c);
        QCOMPARE(c->isEditable(), kind == "combo-edit");
    } else if (kind == "list") {
        auto *l = qobject_cast<QListWidget *>(w);
        QVERIFY(l);
        QCOMPARE(l->selectionMode(), QAbstractItemView::MultiSelection);
        QVERIFY(!l->isSortingEnabled());
    } else if (kind == "memo") {
        QVERIFY(qobject_cast<QPlainTextEdit *>(w));
    } else if (kind == "drive") {
        QVERIFY(qobject_cast<DriveListBox *>(w));
    } else if (kind == "dir") {
        QVERIFY(qobject_cast<DirListBox *>(w));
    } else if (kind == "file") {
        QVERIFY(qobject_cast<FileListBox *>(w));
    }
    QCOMPARE(text, caption);
    QCOMPARE(w->toolTip(), tip);
    const auto px15 = [](int t) { return qRound(t / 15.0); };
    const QRect px(px15(twipsRect.x()), px15(twipsRect.y()), px15(twipsRect.width()),
                   px15(twipsRect.height()));
    QCOMPARE(w->geometry(), px);
    QCOMPARE(w->isVisible(), visible);
    QCOMPARE(w->font().bold(), bold);
    if (bold)
        QCOMPARE(w->font().pointSizeF(), 8.25);
}

void TestForm1::window()
{
    Form1 form;
    QCOMPARE(form.size(), QSize(579, 394)); // 8685 x 5910 twips
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!form.windowIcon().isNull());
    QVERIFY(form.windowIcon().availableSizes().contains(QSize(32, 32)));
    QVERIFY(form.windowTitle().isEmpty()); // start-up sets the caption
    auto *timer = form.findChild<ClassicTimer *>(QStringLiteral("Timer1"));
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 10000);
    QVERIFY(!timer->isEnabled());
    QVERIFY(form.Text2()->toPlainText().isEmpty());
    QCOMPARE(form.List1()->count(), 0);
}

void TestForm1::popupMenu()
{
    Form1 form;
    QCOMPARE(form.mnu_1()->objectName(), QStringLiteral("mnu_1"));
    QCOMPARE(form.mnu_1()->title(), QStringLiteral("&Options"));
    const auto actions = form.mnu_1()->actions();
    QCOMPARE(actions.size(), 2);
    QCOMPARE(actions[0]->objectName(), QStringLiteral("mPopRestore"));
    QCOMPARE(actions[0]->text(), QStringLiteral("&Restore"));
    QCOMPARE(actions[1]->objectName(), QStringLiteral("mPopExit"));
    QCOMPARE(actions[1]->text(), QStringLiteral("&Exit"));
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
