// Stored settings: defaults, histories and what older runs left behind.
#include "app/settings_store.h"

#include <QTemporaryDir>
#include <QtTest>

class TestSettingsStore : public QObject
{
    Q_OBJECT
private slots:
    void defaults();
    void historyRoundTrip_data();
    void historyRoundTrip();
    void readStopsAtFirstEmpty();
    void shorterWriteHidesOlderTail();
    void nonStringValuesCountAsMissing();

private:
    QString iniFile() const { return m_dir.filePath(QStringLiteral("Velmora.conf")); }
    QTemporaryDir m_dir;
};

void TestSettingsStore::defaults()
{
    SettingsStore s(m_dir.filePath(QStringLiteral("fresh.conf")));
    QCOMPARE(s.path(), QStringLiteral("\\"));
    QCOMPARE(s.pattern(), QStringLiteral("*.*"));
    QVERIFY(s.readHistory(SettingsStore::FileHistory).isEmpty());
}

void TestSettingsStore::historyRoundTrip_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("kept");
    QTest::newRow("one") << 1 << 1;
    QTest::newRow("nine") << 9 << 9;
    QTest::newRow("ten") << 10 << 10;
    QTest::newRow("twelve keeps the newest ten") << 12 << 10;
}

void TestSettingsStore::historyRoundTrip()
{
    QFETCH(int, entries);
    QFETCH(int, kept);
    QStringList list;
    for (int i = 1; i <= entries; ++i)
        list << QStringLiteral("F:\\DATA\\FILE%1.DBF").arg(i);
    {
        SettingsStore s(iniFile());
        s.writeHistory(SettingsStore::FileHistory, list);
        s.sync();
    }
    SettingsStore again(iniFile());
    const QStringList back = again.readHistory(SettingsStore::FileHistory);
    QCOMPARE(back, list.mid(entries - kept)); // same order, oldest dropped
    // Twice more: a save-and-load cycle never reorders.
    again.writeHistory(SettingsStore::FileHistory, back);
    QCOMPARE(again.readHistory(SettingsStore::FileHistory), back);
    // The keys keep their old meaning: Path_0 is an entry, values are paths.
    QCOMPARE(again.read(QStringLiteral("Path_0"), QString()), back.first());
}

void TestSettingsStore::readStopsAtFirstEmpty()
{
    SettingsStore s(m_dir.filePath(QStringLiteral("gap.conf")));
    s.write(QStringLiteral("Path_0"), QStringLiteral("F:\\A.TXT"));
    s.write(QStringLiteral("Path_1"), QStringLiteral("F:\\B.TXT"));
    s.write(QStringLiteral("Path_2"), QString());
    s.write(QStringLiteral("Path_3"), QStringLiteral("F:\\D.TXT"));
    QCOMPARE(s.readHistory(SettingsStore::FileHistory),
             QStringList({QStringLiteral("F:\\A.TXT"), QStringLiteral("F:\\B.TXT")}));
}

void TestSettingsStore::shorterWriteHidesOlderTail()
{
    SettingsStore s(m_dir.filePath(QStringLiteral("tail.conf")));
    s.write(QStringLiteral("Pattern_0"), QStringLiteral("*.a"));
    s.write(QStringLiteral("Pattern_1"), QString());
    s.write(QStringLiteral("Pattern_2"), QStringLiteral("*.stale"));
    s.writeHistory(SettingsStore::PatternHistory, {QStringLiteral("*.a"), QStringLiteral("*.b")});
    // Without the closing empty key, "*.stale" would come back as a third entry.
    QCOMPARE(s.readHistory(SettingsStore::PatternHistory),
             QStringList({QStringLiteral("*.a"), QStringLiteral("*.b")}));
}

void TestSettingsStore::nonStringValuesCountAsMissing()
{
    const QString file = m_dir.filePath(QStringLiteral("junk.conf"));
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Options]\nPath=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\nPattern=a, b\nPath_0=F:\\\\X.TXT\n");
    }
    SettingsStore s(file);
    QCOMPARE(s.path(), QStringLiteral("\\"));
    QCOMPARE(s.pattern(), QStringLiteral("*.*"));
    QCOMPARE(s.readHistory(SettingsStore::FileHistory), QStringList({QStringLiteral("F:\\X.TXT")}));
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settings_store.moc"
