// The scan of one file against simulated networks.
#include "forms/form1.h"
#include "platform/classic_timer.h"
#include "scan/scan_context.h"
#include "scan/scanner.h"
#include "support/fake_platform.h"
#include "support/test_network.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

namespace {
QStringList lines(const QListWidget *l)
{
    QStringList out;
    for (int i = 0; i < l->count(); ++i)
        out << l->item(i)->text();
    return out;
}

const QString kFile = QStringLiteral("SYS:APPS\\DATA\\ORDERS.DBF");
} // namespace

class TestScanner : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void listsEachUserOnceWithFirstEntry();
    void manyUsersAcrossBatches();
    void stopKeepsUsersListedSoFar();
    void noRightsEmptiesOnlyTheList();
    void parseFailureKeepsEverything();
    void triggerDuringScanIsIgnored();
    void rightsLookupGetsVolumePathAndServer();
    void outcomeStates_data();
    void outcomeStates();
    void findBoxFlashesFirstPrefixMatch();

private:
    void scanWith(TestNetwork &net);
    TestNetwork *m_net = nullptr;
    Form1 *m_form = nullptr;
    FakePlatform *m_p = nullptr;
    ScanContext *m_ctx = nullptr;
    Scanner *m_scanner = nullptr;
    QStringList m_history;
    QString m_dir = QStringLiteral("F:\\APPS\\DATA");
    int m_notified = 0;
};

void TestScanner::init()
{
    m_net = new TestNetwork;
    m_net->addServer(QStringLiteral("FS1"));
    m_net->mapDrive(QStringLiteral("F"), QStringLiteral("FS1/SYS:"));
    m_form = new Form1;
    m_p = new FakePlatform;
    m_ctx = new ScanContext;
    m_scanner = new Scanner(*m_form, *m_p, *m_ctx);
    m_history.clear();
    m_dir = QStringLiteral("F:\\APPS\\DATA");
    m_notified = 0;
    m_scanner->setFileSource([this] { return m_dir; }, [] { return QStringLiteral("ORDERS.DBF"); },
                             [this](const QString &p) { m_history << p; });
    m_scanner->setNotifier([this](bool) { ++m_notified; });
    m_form->show();
}

void TestScanner::cleanup()
{
    delete m_scanner;
    delete m_ctx;
    delete m_p;
    delete m_form;
    delete m_net;
}

void TestScanner::scanWith(TestNetwork &net)
{
    QVERIFY(net.install());
    m_scanner->Scan();
}

void TestScanner::listsEachUserOnceWithFirstEntry()
{
    m_net->addConnection(0, 5, QStringLiteral("jsmith"), QStringLiteral("2026-12-07 13:30:00"));
    m_net->addConnection(0, 6, QStringLiteral("AJones"), QJsonArray{99, 12, 6, 0, 5, 0, 3},
                         QStringLiteral("IPX:00001234:00A0C9010203:4003"));
    m_net->addConnection(0, 7, QStringLiteral("JSMITH"));
    m_net->addOpenFile(0, kFile, 5, 2, 8, 3, 0);
    m_net->addOpenFile(0, QStringLiteral("sys:apps\\data\\orders.dbf"), 6, 1, 0, 0x0B, 1);
    m_net->addOpenFile(0, kFile, 7, 9, 0, 1, 1);
    m_net->addOpenFile(0, kFile, 5, 3, 0, 1, 1);
    scanWith(*m_net);

    QCOMPARE(lines(m_form->List1()), QStringList({"JSMITH", "AJONES"}));
    QCOMPARE(m_ctx->table.size(), 2);
    const ConnectionRecord &first = m_ctx->table[0];
    QCOMPARE(first.ConnNumber, 5);
    QCOMPARE(first.TaskNumber, 2);
    QCOMPARE(first.LockType, 8);
    QCOMPARE(first.AccessControl, 3);
    QCOMPARE(first.LockFlag, 0);
    QCOMPARE(first.RightsText, QStringLiteral("NA"));
    QCOMPARE(first.LoginTimeText, QStringLiteral("Monday, 12/7/26, 01:30 pm"));
    QCOMPARE(first.AddressText, QStringLiteral("IP: 10. 1. 2. 3"));
    QCOMPARE(m_ctx->table[1].LoginTimeText, QStringLiteral("Wednesday, 12/6/99, 12:05 am"));
    QCOMPARE(m_ctx->table[1].AddressText, QStringLiteral("IPX:00001234:00A0C9010203:4003"));
    QCOMPARE(m_ctx->table[1].LockFlag, 1);
    QCOMPARE(m_form->Label5()->text(), QStringLiteral("2 user(s)"));
    QCOMPARE(m_history, QStringList({"F:\\APPS\\DATA\\ORDERS.DBF"}));
    QCOMPARE(m_notified, 1);
    QCOMPARE(m_p->busyDepth, 0);
}

void TestScanner::manyUsersAcrossBatches()
{
    // 300 distinct users, each met twice, over nine batches: an 8-bit
    // duplicate check would stop seeing users after 256.
    for (int i = 1; i <= 300; ++i) {
        m_net->addConnection(0, i, QStringLiteral("USER%1").arg(i, 3, 10, QLatin1Char('0')));
        m_net->addOpenFile(0, kFile, i, 1);
    }
    for (int i = 1; i <= 300; ++i)
        m_net->addOpenFile(0, kFile, i, 2);
    scanWith(*m_net);
    QCOMPARE(m_form->List1()->count(), 300);
    QCOMPARE(m_ctx->table.size(), 300);
    QCOMPARE(m_form->List1()->item(299)->text(), QStringLiteral("USER300"));
    QCOMPARE(m_ctx->table[299].ConnNumber, 300);
    QCOMPARE(m_ctx->table[299].TaskNumber, 1);
    QCOMPARE(m_form->Label5()->text(), QStringLiteral("300 user(s)"));
    QVERIFY(m_p->processEventsCount >= 9); // yields once per batch
}

void TestScanner::stopKeepsUsersListedSoFar()
{
    for (int i = 1; i <= 150; ++i) {
        m_net->addConnection(0, i, QStringLiteral("U%1").arg(i));
        m_net->addOpenFile(0, kFile, i);
    }
    m_p->onProcessEvents = [this] {
        if (m_p->processEventsCount == 2) // after the first batch
            m_scanner->onStopClicked();
    };
    scanWith(*m_net);
    QCOMPARE(m_form->List1()->count(), 70);
    QCOMPARE(m_ctx->table.size(), 70);
    QCOMPARE(m_form->status(), QStringLiteral("Scan terminated."));
    QVERIFY(!m_ctx->StopRequested);
    QVERIFY(m_form->Command9()->isHidden());
    QVERIFY(m_history.isEmpty());
    QCOMPARE(m_notified, 0);
    QCOMPARE(m_p->busyDepth, 0);
}

void TestScanner::noRightsEmptiesOnlyTheList()
{
    m_net->addConnection(0, 5, QStringLiteral("JSMITH"));
    m_net->addOpenFile(0, kFile, 5);
    scanWith(*m_net);
    QCOMPARE(m_form->List1()->count(), 1);

    TestNetwork other;
    other.addServer(QStringLiteral("FS1"), false);
    other.mapDrive(QStringLiteral("F"), QStringLiteral("FS1/SYS:"));
    m_p->calls.clear();
    scanWith(other);
    QCOMPARE(m_form->List1()->count(), 0);
    QCOMPARE(m_ctx->table.size(), 1);
    QCOMPARE(m_form->Label5()->text(), QStringLiteral("1 user(s)"));
    QVERIFY(m_form->Command5()->isVisible());
    QCOMPARE(m_p->calls, QStringList({"beep", "box|Velmora|Error! You do not have rights to scan "
                                               "this file.|exclamation|ok"}));
    QCOMPARE(m_form->status(), QString());
    QCOMPARE(m_notified, 1);
}

void TestScanner::parseFailureKeepsEverything()
{
    m_net->addConnection(0, 5, QStringLiteral("JSMITH"));
    m_net->addOpenFile(0, kFile, 5);
    scanWith(*m_net);
    const NWCONN_HANDLE server = m_ctx->ServerConnection;
    QVERIFY(server != 0);

    for (const QString &dir : {QStringLiteral("c:\\TMP"), QStringLiteral("Q:\\"), QStringLiteral("APPS")}) {
        m_dir = dir;
        m_p->calls.clear();
        m_scanner->Scan();
        QCOMPARE(m_p->calls, QStringList({"beep", "box|Velmora|Error! Could not parse the path for "
                                                   "file ORDERS.DBF.|exclamation|ok"}));
        QCOMPARE(lines(m_form->List1()), QStringList({"JSMITH"}));
        QCOMPARE(m_ctx->table.size(), 1);
        QCOMPARE(m_form->Label5()->text(), QStringLiteral("1 user(s)"));
        QCOMPARE(m_ctx->ServerConnection, server);
        QVERIFY(m_form->Command9()->isHidden());
        QCOMPARE(m_p->busyDepth, 0);
    }
}

void TestScanner::triggerDuringScanIsIgnored()
{
    for (int i = 1; i <= 100; ++i) {
        m_net->addConnection(0, i, QStringLiteral("U%1").arg(i));
        m_net->addOpenFile(0, kFile, i);
    }
    int nested = 0;
    m_p->onProcessEvents = [&] {
        if (nested++ < 3)
            m_scanner->Scan(); // a tick, a click, a double-click
    };
    scanWith(*m_net);
    QCOMPARE(m_form->List1()->count(), 100);
    QCOMPARE(m_ctx->table.size(), 100);
    QCOMPARE(m_history.size(), 1);
    QCOMPARE(m_notified, 1);
    QVERIFY(!m_scanner->isScanning());
}

void TestScanner::rightsLookupGetsVolumePathAndServer()
{
    m_net->addConnection(0, 5, QStringLiteral("jsmith"));
    m_net->addConnection(0, 6, QStringLiteral("ANNA"));
    m_net->addOpenFile(0, kFile, 5);
    m_net->addOpenFile(0, kFile, 6);
    QStringList asked;
    m_scanner->setRightsLookup([&](const QString &path, const QString &user, const QString &server) {
        asked << path + "|" + user + "|" + server;
        return user == "ANNA" ? QString() : QStringLiteral("Read,FileScan");
    });
    scanWith(*m_net);
    QCOMPARE(asked, QStringList({"SYS:APPS\\DATA\\ORDERS.DBF|JSMITH|FS1",
                                 "SYS:APPS\\DATA\\ORDERS.DBF|ANNA|FS1"}));
    QCOMPARE(m_ctx->table[0].RightsText, QStringLiteral("Read,FileScan"));
    QCOMPARE(m_ctx->table[1].RightsText, QStringLiteral("NA"));
}

void TestScanner::outcomeStates_data()
{
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<QString>("expected"); // per control: S shown, H hidden, = as before
    // Order: Stop, Send/Clear/User, Print/Copy/Clear-text/Locked/All/None, Find, Check1/Text3
    QTest::newRow("path not parsed") << "parse" << "H===" "=";
    QTest::newRow("no rights") << "rights" << "HH==" "=";
    QTest::newRow("stopped") << "stop" << "HH==" "=";
    QTest::newRow("completed, users") << "users" << "HHSS" "S";
    QTest::newRow("completed, none") << "none" << "HHHH" "S";
}

void TestScanner::outcomeStates()
{
    QFETCH(QString, outcome);
    QFETCH(QString, expected);
    const QList<QList<QWidget *>> groups = {
        {m_form->Command9()},
        {m_form->Command12(), m_form->Command13(), m_form->Command16()},
        {m_form->Command4(), m_form->Command5(), m_form->Command6(), m_form->Command11(),
         m_form->Command14(), m_form->Command15()},
        {m_form->Label7(), m_form->Text1()},
        {m_form->Check1(), m_form->Text3()},
    };
    // A recognisable "before": every group shown, a list line and a label.
    for (const auto &g : groups)
        for (QWidget *w : g)
            w->show();
    m_form->List1()->addItem(QStringLiteral("OLD"));
    m_form->Label5()->setText(QStringLiteral("before"));
    m_form->Text1()->setText(QStringLiteral("x"));
    m_form->Check1()->setChecked(true);
    m_form->Timer1()->setEnabled(false);

    if (outcome == "users" || outcome == "stop") {
        for (int i = 1; i <= 80; ++i) {
            m_net->addConnection(0, i, QStringLiteral("U%1").arg(i));
            m_net->addOpenFile(0, kFile, i);
        }
    }
    TestNetwork denied;
    denied.addServer(QStringLiteral("FS1"), false);
    denied.mapDrive(QStringLiteral("F"), QStringLiteral("FS1/SYS:"));
    if (outcome == "parse")
        m_dir = QStringLiteral("c:\\TMP");
    if (outcome == "stop")
        m_p->onProcessEvents = [this] { m_scanner->onStopClicked(); };
    scanWith(outcome == "rights" ? denied : *m_net);

    for (int g = 0; g < groups.size(); ++g) {
        for (QWidget *w : groups[g]) {
            const QChar e = expected.at(g);
            if (e != QLatin1Char('='))
                QVERIFY2(w->isVisible() == (e == QLatin1Char('S')), qPrintable(w->objectName()));
            else
                QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
        }
    }
    const QString label = m_form->Label5()->text();
    const QString tip = m_form->List1()->toolTip();
    if (outcome == "users") {
        QCOMPARE(label, QStringLiteral("80 user(s)"));
        QCOMPARE(tip, QStringLiteral(" Click on user for more data "));
        QVERIFY(m_form->Text1()->text().isEmpty());
        QVERIFY(m_form->Timer1()->isEnabled());
    } else if (outcome == "none") {
        QCOMPARE(label, QStringLiteral("No users"));
        QCOMPARE(tip, QString());
        QVERIFY(m_form->Timer1()->isEnabled());
    } else {
        QCOMPARE(label, QStringLiteral("before"));
        QVERIFY(!m_form->Timer1()->isEnabled());
    }
    QCOMPARE(m_form->status(), outcome == "stop" ? QStringLiteral("Scan terminated.") : QString());
    QCOMPARE(m_form->List1()->count(), outcome == "parse" ? 1 : outcome == "stop" ? 0 : outcome == "users" ? 80 : 0);
    QCOMPARE(m_p->busyDepth, 0);
}

void TestScanner::findBoxFlashesFirstPrefixMatch()
{
    for (const char *name : {"ANNA", "JOHN", "JOE"})
        m_form->List1()->addItem(QString::fromLatin1(name));
    m_form->List1()->item(2)->setSelected(true);
    int shown = 0;
    connect(m_form->List1(), &QListWidget::currentRowChanged, this, [&] { ++shown; });
    bool selectedDuringFlash = false;
    m_p->onProcessEvents = [&] { selectedDuringFlash = m_form->List1()->item(1)->isSelected(); };
    m_form->Command12()->show();
    m_form->Text1()->setText(QStringLiteral("jo"));
    m_scanner->onFindTextChanged();
    QCOMPARE(m_form->List1()->currentRow(), 1);
    QVERIFY(selectedDuringFlash);
    QVERIFY(!m_form->List1()->item(1)->isSelected());
    QVERIFY(m_form->List1()->item(2)->isSelected()); // others keep their state
    QCOMPARE(m_p->sleptMs, 100);
    QCOMPARE(shown, 1);
    QVERIFY(m_form->Command12()->isHidden());

    m_form->setStatus(QStringLiteral("details"));
    m_form->Text1()->setText(QStringLiteral("zz"));
    m_scanner->onFindTextChanged();
    QCOMPARE(m_form->List1()->currentRow(), -1);
    QCOMPARE(m_form->status(), QString());

    m_form->Command13()->show();
    m_form->setStatus(QStringLiteral("kept"));
    m_form->Text1()->clear();
    m_scanner->onFindTextChanged();
    QCOMPARE(m_form->status(), QStringLiteral("kept"));
    QVERIFY(m_form->Command13()->isHidden());
}

QTEST_MAIN(TestScanner)
#include "tst_scanner.moc"
