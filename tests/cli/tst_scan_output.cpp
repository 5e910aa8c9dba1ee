// velmora-scan's rules without a network: arguments, CSV quoting, events.
#include "cli/scan_events.h"
#include "cli/scan_options.h"
#include "cli/scan_output.h"
#include "csv_reader.h"

#include <QtTest>

namespace {
ScannedUser user(const QString &name, int access = 1, int lockFlag = 0, int lockType = 8)
{
    ScannedUser u;
    u.name = name;
    u.record.AccessControl = uint8_t(access);
    u.record.LockFlag = uint8_t(lockFlag);
    u.record.LockType = uint8_t(lockType);
    return u;
}

// "A" a plain user, "A*" holding a lock, "A+" opened with another mode.
QList<ScannedUser> users(const QString &words)
{
    QList<ScannedUser> out;
    for (QString w : words.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const bool locked = w.endsWith(QLatin1Char('*'));
        w.remove(QLatin1Char('*'));
        const bool otherMode = w.endsWith(QLatin1Char('+'));
        w.remove(QLatin1Char('+'));
        out << user(w, otherMode ? 3 : 1, locked ? 1 : 0);
    }
    return out;
}
} // namespace

class TestScanOutput : public QObject
{
    Q_OBJECT
private slots:
    void arguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("problem");
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("watch");
        QTest::addColumn<int>("count");
        const int report = int(ScanOptions::Format::Report);
        const int csv = int(ScanOptions::Format::Csv);
        const int json = int(ScanOptions::Format::Json);
        const int text = int(ScanOptions::Format::Text);
        QTest::newRow("a file alone is the report")
            << QStringList {"F:\\A.DBF"} << "" << report << 0 << 0;
        QTest::newRow("format with =")
            << QStringList {"--format=json", "F:\\A.DBF"} << "" << json << 0 << 0;
        QTest::newRow("options after the file")
            << QStringList {"F:\\A.DBF", "--format", "csv"} << "" << csv << 0 << 0;
        QTest::newRow("watch prints text events")
            << QStringList {"--watch", "1", "x"} << "" << text << 1 << 0;
        QTest::newRow("watch 65 with count")
            << QStringList {"--watch=65", "--count", "3", "x"} << "" << text << 65 << 3;
        QTest::newRow("a file after -- may start with dashes")
            << QStringList {"--", "--help"} << "" << report << 0 << 0;
        QTest::newRow("watch 0") << QStringList {"--watch", "0", "x"}
                                 << "--watch: not a number of seconds in 1..65: 0" << report << 0
                                 << 0;
        QTest::newRow("watch 66") << QStringList {"--watch", "66", "x"}
                                  << "--watch: not a number of seconds in 1..65: 66" << report << 0
                                  << 0;
        QTest::newRow("watch in words")
            << QStringList {"--watch", "ten", "x"}
            << "--watch: not a number of seconds in 1..65: ten" << report << 0 << 0;
        QTest::newRow("count without watch")
            << QStringList {"--count", "2", "x"} << "--count needs --watch" << report << 0 << 2;
        QTest::newRow("count 0") << QStringList {"--watch", "5", "--count", "0", "x"}
                                 << "--count: not a positive number: 0" << report << 5 << 0;
        QTest::newRow("unknown format")
            << QStringList {"--format", "xml", "x"} << "--format: not csv, json or text: xml"
            << report << 0 << 0;
        QTest::newRow("unknown option")
            << QStringList {"--fast", "x"} << "unknown option --fast" << report << 0 << 0;
        QTest::newRow("value missing")
            << QStringList {"x", "--watch"} << "option --watch needs a value" << report << 0 << 0;
        QTest::newRow("no file") << QStringList {"--format", "csv"} << "no FILE given" << csv << 0
                                 << 0;
        QTest::newRow("two files")
            << QStringList {"a", "b"} << "more than one FILE given" << report << 0 << 0;
    }
    void arguments()
    {
        QFETCH(QStringList, args);
        const ParsedScanArguments p = ParseScanArguments(args);
        QTEST(p.problem, "problem");
        QTEST(int(p.options.format), "format");
        QTEST(p.options.watchSeconds, "watch");
        QTEST(p.options.count, "count");
    }

    void csvFieldsParseBack_data()
    {
        QTest::addColumn<QString>("field");
        QTest::newRow("plain") << "JSMITH";
        QTest::newRow("empty") << "";
        QTest::newRow("comma") << "Read,Write";
        QTest::newRow("quotes") << "DOE \"JR\"";
        QTest::newRow("line feed") << "two\nlines";
        QTest::newRow("carriage return and line feed") << "two\r\nlines";
        QTest::newRow("all at once") << "\"a\",\r\n\"b\"";
    }
    void csvFieldsParseBack()
    {
        QFETCH(QString, field);
        const QString csv = CsvRow({"first", field, "last"}) + CsvRow({"x", "y", "z"});
        const QList<QStringList> records = ReadCsv(csv);
        QCOMPARE(records.size(), 2);
        QCOMPARE(records.at(0), (QStringList {"first", field, "last"}));
    }

    void events_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("events");
        QTest::newRow("first scan lists who is there") << "-"
                                                       << "A B*"
                                                       << "present A, present B";
        QTest::newRow("first scan of nobody") << "-"
                                              << ""
                                              << "";
        QTest::newRow("nothing changed") << "A B*"
                                         << "A B*"
                                         << "";
        QTest::newRow("closed before opened") << "A B"
                                              << "B C"
                                              << "closed A, opened C";
        QTest::newRow("took a lock") << "A B"
                                     << "A B*"
                                     << "locked B";
        QTest::newRow("released a lock") << "A* B"
                                         << "A B"
                                         << "unlocked A";
        QTest::newRow("mode then lock") << "A"
                                        << "A+*"
                                        << "modeChanged A, locked A";
        QTest::newRow("everyone left") << "A B"
                                       << ""
                                       << "closed A, closed B";
        QTest::newRow("order of the new scan") << "A B"
                                               << "C B A D"
                                               << "opened C, opened D";
    }
    void events()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        const QList<ScannedUser> old = users(before);
        const QList<ScanEvent> got = DiffScans(before == "-" ? nullptr : &old, users(after));
        QStringList words;
        for (const ScanEvent &e : got)
            words << ScanEventName(e.kind) + ' ' + e.user.name;
        QTEST(words.join(", "), "events");
    }

    void exchangeModeAndLockTypeIsAModeChange()
    {
        const QList<ScannedUser> old {user("A", 1, 0, 8)};
        const QList<ScanEvent> got = DiffScans(&old, {user("A", 1, 0, 0)});
        QCOMPARE(got.size(), 1);
        QCOMPARE(got.at(0).kind, ScanEvent::Kind::ModeChanged);
    }

    void textFormsEscapeControlCharacters()
    {
        ScanSnapshot scan {
            "F:\\A.DBF", "FS1", QDateTime::currentDateTime(), {user("EVIL\x1b[2J\nFORGED")}};
        QVERIFY(TextOutput(scan).contains("user: EVIL\\x1b[2J\\x0aFORGED\n"));
        const QByteArray event = EventTextLines(scan, DiffScans(nullptr, scan.users));
        QCOMPARE(event.count('\n'), 1);
        QVERIFY(!event.contains('\x1b'));
    }
};

QTEST_GUILESS_MAIN(TestScanOutput)
#include "tst_scan_output.moc"
