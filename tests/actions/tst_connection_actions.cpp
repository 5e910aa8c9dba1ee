// Selecting users, sending them a message and clearing their connections,
// against scripted network results.
#include "actions/connection_actions.h"
#include "forms/form1.h"
#include "scan/scan_context.h"
#include "support/fake_platform.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using IntList = QList<int>;
using BoolList = QList<bool>;

namespace {
struct Fixture
{
    Form1 form;
    FakePlatform platform;
    ScanContext ctx;
    QList<uint16_t> called; // connection numbers handed to the network
    QStringList messages;
    QList<NWCONN_HANDLE> servers;
    BoolList results;       // taken in order; missing results succeed
    ConnectionActions actions{form, platform, ctx, calls()};

    ConnectionCalls calls()
    {
        auto next = [this] { return results.isEmpty() || results.takeFirst(); };
        return {[this, next](uint16_t c, const QString &m, NWCONN_HANDLE s) {
                    called << c;
                    messages << m;
                    servers << s;
                    return next();
                },
                [this, next](NWCONN_HANDLE s, uint16_t c) {
                    called << c;
                    servers << s;
                    return next();
                }};
    }

    // Users get connection numbers 11, 12, ...; `records` may be shorter.
    void fill(const QStringList &users, const IntList &selected, int records = -1)
    {
        ctx.ServerConnection = 0x10001;
        for (int k = 0; k < users.size(); ++k) {
            form.List1()->addItem(users[k]);
            if (records < 0 || k < records)
            {
                ConnectionRecord r;
                r.ConnNumber = uint16_t(11 + k);
                ctx.table.append(r);
            }
        }
        for (int k : selected)
            form.List1()->item(k)->setSelected(true);
    }
};
} // namespace

class TestConnectionActions : public QObject
{
    Q_OBJECT
private slots:
    void walk_data();
    void walk();
    void rememberedMessage();
    void clearAnsweredNo();
    void clearedUserStaysListed();
    void walkReadsSelectionAfterDialog();
    void selectAllNone_data();
    void selectAllNone();
    void clearFind();
    void ansiText_data();
    void ansiText();
};

void TestConnectionActions::walk_data()
{
    QTest::addColumn<bool>("clear");
    QTest::addColumn<QStringList>("users");
    QTest::addColumn<IntList>("selected");
    QTest::addColumn<int>("records");
    QTest::addColumn<BoolList>("results");
    QTest::addColumn<QString>("question");
    QTest::addColumn<IntList>("expectedCalls");
    QTest::addColumn<QString>("status");

    const QStringList three = {"ADAMS", "BAKER", "CLARK"};
    const QString rights = ". You may not have the necessary rights to do this.";
    for (bool clear : {false, true}) {
        const QString op = clear ? "clear: " : "send: ";
        const QString ask = clear ? "Are you sure you want to clear the connection for %1?"
                                  : "Enter Message to send to %1";
        const QString ok = clear ? "Connection cleared for user %1." : "Message sent to user %1.";
        const QString bad = clear ? "Connection could not be cleared for user %1" + rights
                                  : "Message could not be sent to user %1" + rights;
        const QString all = clear ? "Connection successfully cleared for %1 users."
                                  : "Message successfully sent to %1 users.";
        auto row = [&](const char *name, const QStringList &users, const IntList &selected,
                       int records, const BoolList &results, const QString &subject,
                       const IntList &calls, const QString &status) {
            QTest::newRow(qPrintable(op + name)) << clear << users << selected << records
                                                 << results << ask.arg(subject) << calls << status;
        };
        row("one user", {"JSMITH"}, {0}, -1, {true}, "user JSMITH", {11}, ok.arg("JSMITH"));
        row("three all succeed", three, {0, 1, 2}, -1, {true, true, true}, "3 users",
            {11, 12, 13}, all.arg(3));
        row("first two of three", three, {0, 1, 2}, -1, {true, true, false}, "3 users",
            {11, 12, 13}, all.arg(2));
        row("first of two", three, {0, 2}, -1, {true, false}, "2 users", {11, 13},
            bad.arg("CLARK"));
        row("one refused", three, {1}, -1, {false}, "user BAKER", {12}, bad.arg("BAKER"));
        row("nothing selected", three, {}, -1, {}, "", {}, "");
        row("line without record skipped", three, {0, 2}, 2, {true}, "2 users", {11},
            ok.arg("ADAMS"));
        row("only line without record", three, {2}, 2, {}, "user CLARK", {}, "");
    }
}

void TestConnectionActions::walk()
{
    QFETCH(bool, clear);
    QFETCH(QStringList, users);
    QFETCH(IntList, selected);
    QFETCH(int, records);
    QFETCH(BoolList, results);
    QFETCH(QString, question);
    QFETCH(IntList, expectedCalls);
    QFETCH(QString, status);

    Fixture f;
    f.fill(users, selected, records);
    f.results = results;
    if (clear) {
        f.platform.answers << Platform::Answer::Yes;
        f.actions.onClearClicked();
        QCOMPARE(f.platform.calls.value(0),
                 "box|Velmora|" + question + "|question|yesno");
    } else {
        f.platform.inputs << "Back in 5";
        f.actions.onSendClicked();
        QCOMPARE(f.platform.calls.value(0), "input|Velmora - Send Message|" + question + "|");
        for (const QString &m : std::as_const(f.messages))
            QCOMPARE(m, QStringLiteral("Back in 5"));
    }
    IntList called;
    for (uint16_t c : std::as_const(f.called))
        called << c;
    QCOMPARE(called, expectedCalls);
    for (NWCONN_HANDLE s : std::as_const(f.servers))
        QCOMPARE(s, NWCONN_HANDLE(0x10001));
    QCOMPARE(f.form.status(), status);
}

void TestConnectionActions::rememberedMessage()
{
    Fixture f;
    f.fill({"JSMITH"}, {0});
    f.platform.inputs << "Please log out" << "" << "Again";
    f.actions.onSendClicked();
    f.actions.onSendClicked(); // cancelled: nothing sent, status kept
    QCOMPARE(f.form.status(), QStringLiteral("Message sent to user JSMITH."));
    f.actions.onSendClicked();
    const QString prompt = "|Enter Message to send to user JSMITH|";
    QCOMPARE(f.platform.calls,
             (QStringList{"input|Velmora - Send Message" + prompt,
                          "input|Velmora - Send Message" + prompt + "Please log out",
                          "input|Velmora - Send Message" + prompt}));
    QCOMPARE(f.messages, (QStringList{"Please log out", "Again"}));
}

void TestConnectionActions::clearAnsweredNo()
{
    Fixture f;
    f.fill({"JSMITH"}, {0});
    f.form.setStatus(QStringLiteral("before"));
    f.platform.answers << Platform::Answer::No;
    f.actions.onClearClicked();
    QVERIFY(f.called.isEmpty());
    QCOMPARE(f.form.status(), QStringLiteral("before"));
}

void TestConnectionActions::clearedUserStaysListed()
{
    Fixture f;
    f.fill({"ADAMS", "BAKER"}, {1});
    f.platform.answers << Platform::Answer::Yes;
    f.actions.onClearClicked();
    QCOMPARE(f.form.List1()->count(), 2);
    QCOMPARE(f.ctx.table.size(), 2);
    QVERIFY(f.form.List1()->item(1)->isSelected());
    QVERIFY(!f.form.List1()->item(0)->isSelected());
}

void TestConnectionActions::walkReadsSelectionAfterDialog()
{
    Fixture f;
    f.fill({"ADAMS", "BAKER"}, {1});
    f.platform.answers << Platform::Answer::Yes;
    f.platform.whileBoxOpen = [&](const QString &) { f.form.List1()->item(0)->setSelected(true); };
    f.actions.onClearClicked();
    // Worded for one user, so the walk ends at the first line selected now.
    QVERIFY(f.platform.calls.value(0).contains("for user BAKER?"));
    QCOMPARE(f.called, QList<uint16_t>{11});
    QCOMPARE(f.form.status(), QStringLiteral("Connection cleared for user ADAMS."));
}

void TestConnectionActions::selectAllNone_data()
{
    QTest::addColumn<bool>("all");
    QTest::addColumn<int>("lines");
    QTest::addColumn<IntList>("selected");
    QTest::addColumn<QString>("status");
    QTest::newRow("All on one line") << true << 1 << IntList{} << "1 users selected.";
    QTest::newRow("All with some selected") << true << 3 << IntList{1} << "3 users selected.";
    QTest::newRow("None counts every line") << false << 4 << IntList{0, 2} << "4 users de-selected.";
    QTest::newRow("None on an empty list") << false << 0 << IntList{} << "0 users de-selected.";
}

void TestConnectionActions::selectAllNone()
{
    QFETCH(bool, all);
    QFETCH(int, lines);
    QFETCH(IntList, selected);
    QFETCH(QString, status);

    Fixture f;
    QStringList users;
    for (int k = 0; k < lines; ++k)
        users << QStringLiteral("USER%1").arg(k);
    f.fill(users, selected);
    f.form.show();
    for (QPushButton *b : {f.form.Command12(), f.form.Command13(), f.form.Command16()})
        b->setVisible(!all);
    QSignalSpy changes(f.form.List1(), &QListWidget::itemSelectionChanged);

    all ? f.actions.onSelectAllClicked() : f.actions.onSelectNoneClicked();

    QCOMPARE(f.form.List1()->selectedItems().size(), all ? lines : 0);
    QCOMPARE(f.form.status(), status);
    for (QPushButton *b : {f.form.Command12(), f.form.Command13(), f.form.Command16()})
        QCOMPARE(b->isVisible(), all);
    QCOMPARE(changes.count(), 0); // no per-line click handling
}

void TestConnectionActions::clearFind()
{
    Fixture f;
    f.form.show();
    f.form.Text1()->show();
    f.form.Text1()->setText(QStringLiteral("JS"));
    QSignalSpy edits(f.form.Text1(), &QLineEdit::textChanged);
    f.actions.onClearFindClicked();
    QCOMPARE(f.form.Text1()->text(), QString());
    QCOMPARE(edits.count(), 1);
    QTRY_VERIFY(f.form.Text1()->hasFocus());
}

void TestConnectionActions::ansiText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("plain") << "Hi" << QByteArray("Hi\0", 3);
    QTest::newRow("empty") << "" << QByteArray("\0", 1);
    QTest::newRow("Latin-1 kept") << QString::fromUtf8("Caf\u00e9 \u00a3")
                                  << QByteArray("Caf\xe9 \xa3\0", 7);
    QTest::newRow("no 8-bit form") << QString::fromUtf8("\u20ac5") << QByteArray("?5\0", 3);
    QTest::newRow("astral is one ?") << QString::fromUtf8("a\U0001F600b") << QByteArray("a?b\0", 4);
}

void TestConnectionActions::ansiText()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(AnsiText(text), bytes);
}

QTEST_MAIN(TestConnectionActions)
#include "tst_connection_actions.moc"
