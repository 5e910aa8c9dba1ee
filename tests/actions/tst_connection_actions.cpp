// Selecting users, sending them a message and clearing their connections:
// against scripted network results, then through the client library on the
// simulated network of tests/data/actions/network.json (copied: calls write it).
#include "actions/connection_actions.h"
#include "forms/form1.h"
#include "netware/nwcalls.h"
#include "scan/scan_context.h"
#include "support/fake_platform.h"
#include "support/file_size_limit.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using IntList = QList<int>;
using BoolList = QList<bool>;

namespace {
const QString kRights = QStringLiteral(". You may not have the necessary rights to do this.");

struct Rig
{
    Form1 form;
    FakePlatform platform;
    ScanContext ctx;
    IntList called; // connection numbers handed to the network
    QStringList messages;
    BoolList results; // taken in order; missing results succeed
    std::unique_ptr<ConnectionActions> actions;

    // Scripted calls; with `real` the client library's.
    explicit Rig(bool real = false)
    {
        const auto next = [this] { return results.isEmpty() || results.takeFirst(); };
        const ConnectionCalls scripted {
            [this, next](uint16_t c, const QString &m, NWCONN_HANDLE s) {
                called << (s == 0x10001 ? c : -1);
                messages << m;
                return next();
            },
            [this, next](NWCONN_HANDLE s, uint16_t c) {
                called << (s == 0x10001 ? c : -1);
                return next();
            }};
        actions = std::make_unique<ConnectionActions>(form, platform, ctx,
                                                      real ? ConnectionCalls::client() : scripted);
        ctx.ServerConnection = 0x10001;
    }
    // "NAME:conn" lines with their records ("NAME" alone: no record), then the selection.
    void fill(const QStringList &users, const IntList &selected)
    {
        for (const QString &u : users) {
            form.List1()->addItem(u.section(':', 0, 0));
            if (u.contains(':')) {
                ctx.table.append(ConnectionRecord());
                ctx.table.last().ConnNumber = uint16_t(u.section(':', 1).toUInt());
            }
        }
        for (int k : selected)
            form.List1()->item(k)->setSelected(true);
    }
};

QJsonObject server(const QString &file, const QString &name)
{
    QFile f(file);
    if (f.open(QIODevice::ReadOnly))
        for (const QJsonValue &s : QJsonDocument::fromJson(f.readAll())["servers"].toArray())
            if (s["name"] == name)
                return s.toObject();
    return {};
}
} // namespace

class TestConnectionActions : public QObject
{
    Q_OBJECT
private slots:
    void walk_data()
    {
        QTest::addColumn<bool>("clear");
        QTest::addColumn<IntList>("selected");
        QTest::addColumn<BoolList>("results");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<IntList>("expectedCalls");
        QTest::addColumn<QString>("status");
        for (bool clear : {false, true}) {
            const QString ok
                = clear ? "Connection cleared for user %1." : "Message sent to user %1.";
            const QString bad = (clear ? "Connection could not be cleared for user %1"
                                       : "Message could not be sent to user %1")
                + kRights;
            const QString all = clear ? "Connection successfully cleared for %1 users."
                                      : "Message successfully sent to %1 users.";
            const auto row
                = [&](const char *name, const IntList &sel, const BoolList &res,
                      const QString &subject, const IntList &calls, const QString &status) {
                      QTest::newRow(qPrintable((clear ? "clear: " : "send: ") + QString(name)))
                          << clear << sel << res << subject << calls << status;
                  };
            row("one user", {0}, {true}, "user ADAMS", {11}, ok.arg("ADAMS"));
            row("three all succeed", {0, 1, 2}, {}, "3 users", {11, 12, 13}, all.arg(3));
            row("first two of three", {0, 1, 2}, {true, true, false}, "3 users", {11, 12, 13},
                all.arg(2));
            row("first of two", {0, 2}, {true, false}, "2 users", {11, 13}, bad.arg("CLARK"));
            row("nothing selected", {}, {}, "", {}, "");
            row("line without record skipped", {0, 3}, {}, "2 users", {11}, ok.arg("ADAMS"));
        }
    }
    void walk()
    {
        QFETCH(bool, clear);
        QFETCH(IntList, selected);
        QFETCH(BoolList, results);
        QFETCH(QString, subject);
        QFETCH(IntList, expectedCalls);
        QFETCH(QString, status);
        Rig r;
        r.fill({"ADAMS:11", "BAKER:12", "CLARK:13", "DAVIS"}, selected);
        r.results = results;
        if (clear) {
            r.platform.answers << Platform::Answer::Yes;
            r.actions->onClearClicked();
            if (!subject.isEmpty())
                QCOMPARE(r.platform.calls.value(0),
                         "box|Velmora|Are you sure you want to clear the connection for " + subject
                             + "?|question|yesno");
        } else {
            r.platform.inputs << "Back in 5";
            r.actions->onSendClicked();
            if (!subject.isEmpty())
                QCOMPARE(r.platform.calls.value(0),
                         "input|Velmora - Send Message|Enter Message to send to " + subject + "|");
            QCOMPARE(r.messages, QStringList(expectedCalls.size(), "Back in 5"));
        }
        QCOMPARE(r.called, expectedCalls);
        QCOMPARE(r.form.status(), status);
        // Cleared users stay listed and selected.
        QCOMPARE(r.form.List1()->count(), 4);
        QCOMPARE(r.ctx.table.size(), 3);
        QCOMPARE(r.form.List1()->selectedItems().size(), selected.size());
    }

    void messageIsRememberedAndCancelResetsIt()
    {
        Rig r;
        r.fill({"JSMITH:5"}, {0});
        r.platform.inputs = {"Please log out", "", "Again"};
        for (int i = 0; i < 3; ++i)
            r.actions->onSendClicked();
        const QString prompt = "input|Velmora - Send Message|Enter Message to send to user JSMITH|";
        QCOMPARE(r.platform.calls, QStringList({prompt, prompt + "Please log out", prompt}));
        QCOMPARE(r.messages, QStringList({"Please log out", "Again"}));
    }

    void clearAnsweredNoMakesNoCall()
    {
        Rig r;
        r.fill({"JSMITH:5"}, {0});
        r.form.setStatus("before");
        r.platform.answers << Platform::Answer::No;
        r.actions->onClearClicked();
        QVERIFY(r.called.isEmpty());
        QCOMPARE(r.form.status(), "before");
    }

    void selectAllNone_data()
    {
        QTest::addColumn<bool>("all");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("status");
        QTest::newRow("All on one line") << true << 1 << "1 users selected.";
        QTest::newRow("All on three") << true << 3 << "3 users selected.";
        QTest::newRow("None counts every line") << false << 4 << "4 users de-selected.";
    }
    void selectAllNone()
    {
        QFETCH(bool, all);
        QFETCH(int, lines);
        QFETCH(QString, status);
        Rig r;
        r.fill(QStringList(lines, "USER:1"), {0});
        r.form.show();
        const QList<QPushButton *> buttons {r.form.Command12(), r.form.Command13(),
                                            r.form.Command16()};
        for (QPushButton *b : buttons)
            b->setVisible(!all);
        all ? r.actions->onSelectAllClicked() : r.actions->onSelectNoneClicked();
        QCOMPARE(r.form.List1()->selectedItems().size(), all ? lines : 0);
        QCOMPARE(r.form.status(), status);
        for (QPushButton *b : buttons)
            QCOMPARE(b->isVisible(), all);
    }

    // On the simulated network: FS1 (F:) has JSMITH:5, MBROWN:7 and KLEE:40000,
    // who refuses messages; on FS2 (G:) the workstation is no operator.
    void network_data()
    {
        QTest::addColumn<QString>("drive");
        QTest::addColumn<QStringList>("users");
        QTest::addColumn<QString>("message"); // empty: clear instead
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("after"); // per connection left: number and messages received
        const auto row = [](const char *name, const QStringList &users, const QString &message,
                            const QString &status, const QString &after,
                            const char *drive = "F:\\APPS\\ORDERS.DBF") {
            QTest::newRow(name) << QString(drive) << users << message << status << after;
        };
        const QString cannot = "Message could not be sent to user JSMITH. The message ";
        row("send: two users receive it", {"JSMITH:5", "MBROWN:7"}, "Back at noon",
            "Message successfully sent to 2 users.", "5 Back at noon|7 Back at noon|40000");
        row("send: Windows-1252 text, euro sign included", {"JSMITH:5"},
            QString::fromUtf8("Caf\u00e9 costs 3\u20ac"), "Message sent to user JSMITH.",
            QString::fromUtf8("5 Caf\u00e9 costs 3\u20ac|7|40000"));
        row("send: refused by a workstation", {"KLEE:40000"}, "Hello",
            "Message could not be sent to user KLEE" + kRights, "5|7|40000");
        row("send: too long for the network", {"JSMITH:5"}, QString(256, 'x'),
            cannot + "is longer than 255 characters.", "5|7|40000");
        row("send: a character the code page cannot hold", {"JSMITH:5"}, QStringLiteral("\u03A3"),
            cannot + "holds characters the network cannot carry.", "5|7|40000");
        row("send: the disk is full", {"JSMITH:5"}, "Hello",
            "Message could not be sent to user JSMITH" + kRights, "5|7|40000");
        row("clear: the disk is full", {"MBROWN:7"}, "",
            "Connection could not be cleared for user MBROWN" + kRights, "5|7|40000");
        row("clear: removes the connection", {"MBROWN:7", "KLEE:40000"}, "",
            "Connection successfully cleared for 2 users.", "5");
        row("clear: not an operator", {"TJONES:12"}, "",
            "Connection could not be cleared for user TJONES" + kRights, "12", "G:\\LEDGER.DAT");
    }
    void network()
    {
        QFETCH(QString, drive);
        QFETCH(QStringList, users);
        QFETCH(QString, message);
        QFETCH(QString, status);
        QFETCH(QString, after);
        QTemporaryDir dir;
        const QString file = dir.filePath("network.json");
        QVERIFY(
            QFile::copy(qEnvironmentVariable("VELMORA_TEST_DATA") + "/actions/network.json", file));
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
        qputenv("NWSIM_NETWORK", file.toLocal8Bit());
        QCOMPARE(NWCallsInit(nullptr, nullptr), NWCCODE(0));
        Rig r(true);
        char name[NW_SERVER_NAME_LEN], volume[NW_VOLUME_NAME_LEN], path[NW_DIR_PATH_LEN];
        QCOMPARE(
            NWParsePath(drive.toLatin1().constData(), name, &r.ctx.ServerConnection, volume, path),
            NWCCODE(0));
        r.fill(users, IntList {0, 1}.mid(0, users.size()));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();

        // A real failed write: the new description is cut off after 1 KB.
        std::optional<FileSizeLimit> diskFull;
        if (QString(QTest::currentDataTag()).contains("full"))
            diskFull.emplace(1024);
        if (message.isEmpty()) {
            r.platform.answers << Platform::Answer::Yes;
            r.actions->onClearClicked();
        } else {
            r.platform.inputs << message;
            r.actions->onSendClicked();
        }
        diskFull.reset();
        QCOMPARE(r.form.status(), status);
        const QJsonObject s = server(file, drive.startsWith('F') ? "FS1" : "FS2");
        QStringList left;
        for (const QJsonValue &c : s["connections"].toArray()) {
            QStringList got {QString::number(c["number"].toInt())};
            for (const QJsonValue &m : c["messages"].toArray())
                got << m["text"].toString();
            left << got.join(' ');
        }
        QCOMPARE(left.join('|'), after);
        for (const QJsonValue &o :
             s["openFiles"].toArray()) // a cleared connection's files are closed
            QVERIFY(after.contains(QString::number(o["connection"].toInt())));
        if (status.contains("could not be")) {
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), before);
        }
    }
};

QTEST_MAIN(TestConnectionActions)
#include "tst_connection_actions.moc"
