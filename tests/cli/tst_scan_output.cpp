// velmora-scan's rules without a network: arguments, CSV quoting, events.
#include "cli/scan_events.h"
#include "cli/scan_options.h"
#include "csv_reader.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QtTest>

namespace {
// "A" a plain user, "A*" holding a lock, "A+" opened with another mode.
QList<ScannedUser> users(const QString &words)
{
    QList<ScannedUser> out;
    for (QString w : words.split(' ', Qt::SkipEmptyParts)) {
        ScannedUser u;
        u.record.LockFlag = w.contains('*') ? 1 : 0;
        u.record.AccessControl = w.contains('+') ? 3 : 1;
        u.name = w.remove('*').remove('+');
        out << u;
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
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("problem");
        QTest::addColumn<int>("watchSeconds");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("format");
        const auto row = [](const char *name, const char *args, const char *problem, int watch,
                            int count, const char *format) {
            QTest::newRow(name) << args << problem << watch << count << format;
        };
        const char *seconds = "--watch: not a number of seconds in 1..65: %1";
        row("options after the file", "F:\\A.DBF --format csv", "", 0, 0, "csv");
        row("values after =", "--watch=65 --count=3 x", "", 65, 3, "text");
        row("watch with a format", "--format json --watch 5 x", "", 5, 0, "json");
        row("a file after -- may look like an option", "-- --help", "", 0, 0, "report");
        row("watch 0", "--watch 0 x", qPrintable(QString(seconds).arg(0)), 0, 0, "report");
        row("watch 66", "--watch 66 x", qPrintable(QString(seconds).arg(66)), 0, 0, "report");
        row("count without watch", "--count 2 x", "--count needs --watch", 0, 2, "report");
        row("count 0", "--watch 5 --count 0 x", "--count: not a positive number: 0", 5, 0,
            "report");
        row("unknown format", "--format xml x", "--format: not csv, json or text: xml", 0, 0,
            "report");
        row("value missing", "x --watch", "option --watch needs a value", 0, 0, "report");
        row("two files", "a b", "more than one FILE given", 0, 0, "report");
        row("help", "--help", "", 0, 0, "report");
        row("version", "--version", "", 0, 0, "report");
        row("unknown option", "--bogus x", "unknown option --bogus", 0, 0, "report");
    }
    void arguments()
    {
        QFETCH(QString, args);
        const ParsedScanArguments p = ParseScanArguments(args.split(' '));
        QTEST(p.problem, "problem");
        QTEST(p.options.watchSeconds, "watchSeconds");
        QTEST(p.options.count, "count");
        const char *formats[] = {"report", "csv", "json", "text"};
        QTEST(QString(formats[int(p.options.format)]), "format");
        const QByteArray tag = QTest::currentDataTag(); // the two rows that ask for them
        QCOMPARE(QList<bool>({p.options.help, p.options.version}),
                 QList<bool>({tag == "help", tag == "version"}));
    }

    void csvFieldsParseBack_data()
    {
        QTest::addColumn<QString>("field");
        QTest::newRow("empty") << "";
        QTest::newRow("comma and quotes") << "DOE, \"JR\"";
        QTest::newRow("line feed") << "two\nlines";
        QTest::newRow("quoted line break") << "\"a\",\r\n\"b\"";
    }
    void csvFieldsParseBack()
    {
        QFETCH(QString, field);
        const QList<QStringList> records
            = ReadCsv(CsvRow({"first", field, "last"}) + CsvRow({"x"}));
        QCOMPARE(records, (QList<QStringList> {{"first", field, "last"}, {"x"}}));
    }

    void events_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("events");
        const auto row
            = [](const char *name, const char *before, const char *after, const char *events) {
                  QTest::newRow(name) << before << after << events;
              };
        row("first scan lists who is there", "-", "A B*", "present A, present B");
        row("nothing changed", "A B*", "A B*", "");
        row("closed first, then the new order", "A B", "C B D", "closed A, opened C, opened D");
        row("lock taken and released", "A* B", "A B*", "unlocked A, locked B");
        row("mode then lock", "A", "A+*", "modeChanged A, locked A");
    }
    void events()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        const QList<ScannedUser> old = users(before);
        QStringList words;
        for (const ScanEvent &e : DiffScans(before == "-" ? nullptr : &old, users(after)))
            words << ScanEventName(e.kind) + ' ' + e.user.name;
        QTEST(words.join(", "), "events");
    }

    void printableText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("space, tilde and no-break space kept") << "A B~\u00a0"
                                                              << "A B~\u00a0";
        QTest::newRow("C0, DEL and C1 escaped") << "\x1f\x7f\u0080\u009f"
                                                << "\\x1f\\x7f\\x80\\x9f";
    }
    void printableText()
    {
        QFETCH(QString, text);
        QTEST(PrintableText(text), "shown");
    }

    // Every byte of the address and the login time, in text and in JSON.
    void rawFields()
    {
        ScannedUser u;
        u.record.AddressText = "IP: 10. 1. 2. 3";
        u.address = {{0x0a, 0x01, 0x02, 0x03}, {0, 0, 0, 0, 0, 0x2b}, {0x40, 0x05}, 8};
        u.loginTime = {99, 12, 6, 9, 5, 0, 1};
        QMap<QString, ScanField> by;
        for (const ScanField &f : UserFields(u))
            by.insert(f.name, f);
        QCOMPARE(by["addressRaw"].text, "8:0A010203:00000000002B:4005");
        QCOMPARE(by["addressRaw"].json.toObject(),
                 (QJsonObject {{"type", 8},
                               {"net", QJsonArray {10, 1, 2, 3}},
                               {"node", QJsonArray {0, 0, 0, 0, 0, 0x2b}},
                               {"socket", QJsonArray {0x40, 0x05}}}));
        QCOMPARE(by["loginRaw"].text, "99 12 6 9 5 0 1");
        QCOMPARE(by["loginRaw"].json.toArray(), (QJsonArray {99, 12, 6, 9, 5, 0, 1}));
    }

    void textFormsEscapeControlCharacters()
    {
        const ScanSnapshot scan {"F:\\A.DBF", "FS1", QDateTime::currentDateTime(),
                                 users("EVIL\x1b[2J\nFORGED")};
        QVERIFY(TextOutput(scan).contains("user: EVIL\\x1b[2J\\x0aFORGED\n"));
        const QByteArray event = EventTextLines(scan, DiffScans(nullptr, scan.users));
        QCOMPARE(event.count('\n'), 1);
        QVERIFY(!event.contains('\x1b'));
    }
};

QTEST_GUILESS_MAIN(TestScanOutput)
#include "tst_scan_output.moc"
