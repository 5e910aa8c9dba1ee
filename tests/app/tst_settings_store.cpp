// Stored settings: histories and what older runs left behind.
#include "app/settings_store.h"

#include <QTemporaryDir>
#include <QtTest>

class TestSettingsStore : public QObject
{
    Q_OBJECT
private slots:
    void historyRoundTrip_data()
    {
        QTest::addColumn<int>("entries");
        QTest::newRow("one") << 1;
        QTest::newRow("ten") << 10;
        QTest::newRow("twelve keeps the newest ten") << 12;
    }
    void historyRoundTrip()
    {
        QFETCH(int, entries);
        QStringList list;
        for (int i = 1; i <= entries; ++i)
            list << QStringLiteral("F:\\DATA\\FILE%1.DBF").arg(i);
        SettingsStore(m_dir.filePath("h.conf")).writeHistory(SettingsStore::FileHistory, list);
        SettingsStore again(m_dir.filePath("h.conf"));
        QCOMPARE(again.readHistory(SettingsStore::FileHistory), list.mid(qMax(0, entries - 10)));
        QCOMPARE(again.read("Path_0", QString()),
                 list.value(qMax(0, entries - 10))); // oldest kept first
    }

    void historyEndsAtFirstEmpty()
    {
        SettingsStore s(m_dir.filePath("gap.conf"));
        s.write("Pattern_0", "*.a");
        s.write("Pattern_1", "");
        s.write("Pattern_2", "*.stale");
        QCOMPARE(s.readHistory(SettingsStore::PatternHistory), QStringList {"*.a"});
        // A shorter list written over a longer one must not bring back "*.stale".
        s.writeHistory(SettingsStore::PatternHistory, {"*.a", "*.b"});
        QCOMPARE(s.readHistory(SettingsStore::PatternHistory), QStringList({"*.a", "*.b"}));
    }

    void nonStringValuesCountAsMissing()
    {
        const QString file = m_dir.filePath("junk.conf");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Options]\nPath=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\nPattern=a, "
                "b\nPath_0=F:\\\\X.TXT\n");
        f.close();
        SettingsStore s(file);
        QCOMPARE(s.path(), "\\");
        QCOMPARE(s.pattern(), "*.*");
        QCOMPARE(s.readHistory(SettingsStore::FileHistory), QStringList({"F:\\X.TXT"}));
    }

    // A save keeps what it did not change, as what another run wrote.
    void saveKeepsOtherKeys()
    {
        const QString file = m_dir.filePath("keep.conf");
        for (const auto &[key, value] : {std::pair {"Path", "F:\\APPS"}, {"Pattern", "*.DBF"}}) {
            SettingsStore s(file);
            s.write(key, value);
            QVERIFY(s.sync());
        }
        const SettingsStore s(file);
        QCOMPARE(QStringList({s.path(), s.pattern()}), QStringList({"F:\\APPS", "*.DBF"}));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settings_store.moc"
