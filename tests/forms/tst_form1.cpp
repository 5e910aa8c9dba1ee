// The main window's control inventory against the designer's table, and the
// captions of both windows against their designer widths.
#include "forms/form1.h"
#include "forms/options_form.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QtTest>

#include <memory>

class TestForm1 : public QObject
{
    Q_OBJECT
private slots:
    void inventory_data();
    void inventory();
    void captionsFit_data();
    void captionsFit();
    void window();
};

void TestForm1::inventory_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QRect>("twipsRect");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("bold");
    auto row = [](const char *name, const char *kind, const char *caption, const char *tip, int l,
                  int t, int w, int h, bool visible, bool bold) {
        QTest::newRow(name) << QByteArray(kind) << QString::fromLatin1(caption)
                            << QString::fromLatin1(tip) << QRect(l, t, w, h) << visible << bold;
    };
    row("Drive1", "DriveListBox", "", " Select drive ", 120, 120, 4095, 315, true, false);
    row("Combo2", "QComboBox", "", " Specify or select file pattern ", 4440, 120, 3735, 315, true,
        false);
    row("Command3", "QPushButton", "All", " Select all files ", 8160, 150, 375, 255, true, false);
    row("Dir1", "DirListBox", "", " Select directory ", 120, 600, 4095, 1440, true, false);
    row("File1", "FileListBox", "", "", 4440, 600, 4095, 1455, true, false);
    row("Label1", "QLabel", "", "", 120, 2040, 3975, 255, true, false);
    row("Label2", "QLabel", "", "", 4320, 2040, 3135, 255, true, false);
    row("Combo1", "QComboBox", "", " Select file ", 120, 2350, 8415, 315, true, false);
    row("Label4", "QLabel", "Connections", "", 120, 2760, 1215, 255, true, true);
    row("Label3", "QLabel", "System Messages/Connection Information", "", 3600, 2760, 4215, 255,
        true, true);
    row("List1", "QListWidget", "", "", 120, 3000, 3255, 1815, true, false);
    row("Text2", "QPlainTextEdit", "", "", 3600, 3000, 4935, 1815, true, false);
    row("Label5", "QLabel", "", "", 1080, 4845, 1455, 255, true, false);
    row("Command14", "QPushButton", "All", " Select all users ", 120, 4850, 615, 255, false, false);
    row("Command15", "QPushButton", "None", " De-select all users ", 2760, 4850, 615, 255, false,
        false);
    row("Label7", "QLabel", "Find", "", 3600, 4920, 495, 255, false, true);
    row("Text1", "QLineEdit", "", "", 4080, 4920, 1215, 285, false, false);
    row("Command6", "QPushButton", "Clear", " Clear text box ", 5280, 4920, 615, 255, false, false);
    row("Check1", "QCheckBox", "Update every         secs", "", 6060, 4920, 2415, 255, false,
        false);
    row("Text3", "QLineEdit", "10", "", 7320, 4920, 375, 285, false, false);
    row("Command1", "QPushButton", "&Scan", " Scan all connections using the file  ", 120, 5280,
        615, 495, false, true);
    row("Command9", "QPushButton", "S&top", " Interrupt scanning ", 840, 5280, 615, 495, false,
        true);
    row("Command4", "QPushButton", "&Print", " Print all connections using the file ", 1560, 5280,
        615, 495, false, true);
    row("Command5", "QPushButton", "&Copy", " Copy all connections using the file to Clipboard ",
        2280, 5280, 615, 495, false, true);
    row("Command16", "QPushButton", "&User", " Copy user info to Clipboard ", 3000, 5280, 615, 495,
        false, true);
    row("Command11", "QPushButton", "&Locked", " Find user who has file locked ", 3720, 5280, 855,
        495, false, true);
    row("Command12", "QPushButton", "Se&nd", " Send message to user(s) ", 4680, 5280, 615, 495,
        false, true);
    row("Command13", "QPushButton", "Clea&r", " Clear connection for user(s) ", 5400, 5280, 615,
        495, false, true);
    row("Command17", "QPushButton", "&Options", " Options screen ", 6120, 5280, 855, 495, true,
        true);
    row("Command7", "QPushButton", "&About", " About this program ", 7080, 5280, 735, 495, true,
        true);
    row("Command2", "QPushButton", "&Exit", " Exit Velmora  ", 7920, 5280, 615, 495, true, true);
}

void TestForm1::inventory()
{
    QFETCH(QByteArray, kind);
    QFETCH(QRect, twipsRect);
    QFETCH(bool, bold);
    Form1 form;
    form.show();
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    auto *w = form.findChild<QWidget *>(name);
    QVERIFY2(w && w->inherits(kind.constData()), qPrintable(name));
    QString text;
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        text = b->text();
    else if (auto *l = qobject_cast<QLabel *>(w))
        text = l->text();
    else if (auto *e = qobject_cast<QLineEdit *>(w)) {
        text = e->text();
        if (name == "Text1")
            QCOMPARE(e->maxLength(), 30);
    }
    if (name.startsWith("Combo"))
        QCOMPARE(qobject_cast<QComboBox *>(w)->isEditable(), name == "Combo2");
    if (name == "List1")
        QCOMPARE(qobject_cast<QListWidget *>(w)->selectionMode(),
                 QAbstractItemView::MultiSelection);
    QTEST(text, "caption");
    QTEST(w->toolTip(), "tip");
    const auto px = [](int t) { return qRound(t / 15.0); };
    QCOMPARE(
        w->geometry(),
        QRect(px(twipsRect.x()), px(twipsRect.y()), px(twipsRect.width()), px(twipsRect.height())));
    QTEST(w->isVisible(), "visible");
    QCOMPARE(w->font().bold(), bold);
    if (bold)
        QCOMPARE(w->font().pointSizeF(), 8.25);
}

namespace {
// Where a check box or option button starts drawing its caption.
int captionStart(QAbstractButton *b)
{
    QStyleOptionButton opt;
    opt.initFrom(b);
    const bool check = qobject_cast<QCheckBox *>(b);
    return b->style()
        ->subElementRect(check ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents, &opt,
                         b)
        .left();
}
QString shown(QString caption) { return caption.remove(QLatin1Char('&')); }
} // namespace

void TestForm1::captionsFit_data()
{
    QTest::addColumn<bool>("options");
    QTest::newRow("main window") << false;
    QTest::newRow("options window") << true;
}

void TestForm1::captionsFit()
{
    QFETCH(bool, options);
    std::unique_ptr<QWidget> window;
    if (options)
        window = std::make_unique<Options>();
    else
        window = std::make_unique<Form1>();
    window->ensurePolished();
    QVERIFY2(QFontInfo(window->font()).family().startsWith(QStringLiteral("Nimbus Sans")),
             "fonts-urw-base35 is not installed");
    int checked = 0;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        w->ensurePolished();
        const QFontMetrics fm(w->font());
        const QString name = w->objectName();
        QString text;
        int room = 0;
        if (auto *l = qobject_cast<QLabel *>(w)) {
            text = l->text();
            room = l->contentsRect().width();
        } else if (auto *g = qobject_cast<QGroupBox *>(w)) {
            text = g->title();
            room = g->contentsRect().width();
        } else if (auto *b = qobject_cast<QPushButton *>(w)) {
            text = b->text();
            QStyleOptionButton opt;
            opt.initFrom(b);
            room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b).width();
        } else if (auto *b = qobject_cast<QAbstractButton *>(w)) {
            text = b->text();
            room = b->width() - captionStart(b);
            const int indicator = b->style()->pixelMetric(qobject_cast<QCheckBox *>(b)
                                                              ? QStyle::PM_IndicatorHeight
                                                              : QStyle::PM_ExclusiveIndicatorHeight,
                                                          nullptr, b);
            QVERIFY2(b->height() >= qMax(indicator, fm.height()),
                     qPrintable(name + " is cut off at the top or bottom"));
        }
        if (text.isEmpty())
            continue;
        ++checked;
        QVERIFY2(fm.horizontalAdvance(shown(text)) <= room,
                 qPrintable(QStringLiteral("%1 \"%2\" needs %3 px, has %4")
                                .arg(name, text)
                                .arg(fm.horizontalAdvance(shown(text)))
                                .arg(room)));
    }
    QVERIFY(checked >= (options ? 8 : 19));
    if (options)
        return;
    // The seconds box sits in the caption's nine spaces, clear of both words.
    auto &form = static_cast<Form1 &>(*window);
    const QFontMetrics fm(form.Check1()->font());
    const int textLeft = form.Check1()->x() + captionStart(form.Check1());
    QVERIFY(textLeft + fm.horizontalAdvance(QStringLiteral("Update every")) <= form.Text3()->x());
    QVERIFY(textLeft + fm.horizontalAdvance(QStringLiteral("Update every         "))
            > form.Text3()->geometry().right());
}

void TestForm1::window()
{
    Form1 form;
    // Fixed at the designer's 8685 x 5910 twips.
    QCOMPARE(form.minimumSize(), QSize(579, 394));
    QCOMPARE(form.maximumSize(), QSize(579, 394));
    QVERIFY(!form.windowIcon().isNull()); // the test sets no application icon
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
