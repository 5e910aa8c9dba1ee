// Drive letters over the local file system and mapped volumes, the
// file-existence test built on them, and file patterns.
#include "browser/file_exists.h"
#include "browser/file_pattern.h"
#include "platform/drive_namespace.h"

#include <QtTest>

class TestNamespace : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(QDir(m_vol.path()).mkpath(QStringLiteral("APPS/Data")));
        for (const char *name :
             {"APPS/ORDERS.DBF", "APPS/EMPTY.TXT", "APPS/back\\slash.txt", "APPS/.hidden"}) {
            QFile f(native(QString::fromLatin1(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        setDrives();
    }
    // A file two drives reach is named through the drive nearest to it; a
    // folder two drives map, through the first letter.
    void toDosPicksTheNearestDrive()
    {
        DriveNamespace::setNetworkDrives({{'K', "FS1", "SYS", m_vol.path()},
                                          {'F', "FS1", "SYS", m_vol.path()},
                                          {'H', "FS1", "SYS", m_vol.filePath("APPS")}});
        const QString file = DriveNamespace::toDos(native("APPS/ORDERS.DBF"));
        const QString root = DriveNamespace::toDos(m_vol.path());
        setDrives();
        QCOMPARE(file, QStringLiteral("H:\\ORDERS.DBF"));
        QCOMPARE(root, QStringLiteral("F:\\"));
    }
    void normalize_data()
    {
        QTest::addColumn<QString>("dos");
        QTest::addColumn<QString>("normal");
        const auto row = [](const char *name, const char *dos, const char *normal) {
            QTest::newRow(name) << dos << normal;
        };
        row("bare drive is its root", "f:", "F:\\");
        row("trailing backslash dropped", "F:\\APPS\\", "F:\\APPS");
        row("slashes and doubled separators", "f:/APPS\\\\Data", "F:\\APPS\\Data");
        row("dot and dot-dot", "F:\\APPS\\.\\Data\\..\\X", "F:\\APPS\\X");
        row("above the root", "F:\\..", "");
        row("drive-relative", "F:APPS", "");
        row("UNC", "\\\\FS1\\SYS", "");
    }
    void normalize()
    {
        QFETCH(QString, dos);
        QTEST(DriveNamespace::normalize(dos), "normal");
    }
    void roundTrip_data()
    {
        QTest::addColumn<QString>("dos");
        QTest::addColumn<QString>("nativePath");
        QTest::newRow("volume root") << "F:\\" << m_vol.path();
        QTest::newRow("file") << "F:\\APPS\\ORDERS.DBF" << native("APPS/ORDERS.DBF");
        QTest::newRow("local folder") << "C:\\usr\\lib" << QString("/usr/lib");
    }
    void roundTrip()
    {
        QFETCH(QString, dos);
        QFETCH(QString, nativePath);
        QCOMPARE(DriveNamespace::toNative(dos), nativePath);
        QCOMPARE(DriveNamespace::toDos(nativePath), dos);
    }
    void namesAndDrives()
    {
        // Volumes are case-insensitive: a path typed in another case finds the file.
        QCOMPARE(DriveNamespace::toNative("f:\\apps\\orders.dbf"), native("APPS/ORDERS.DBF"));
        QCOMPARE(DriveNamespace::canonical("f:\\apps\\data"), QStringLiteral("F:\\APPS\\Data"));
        // Hidden names and names a DOS path cannot show are left out.
        QCOMPARE(DriveNamespace::files("F:\\APPS"), QStringList({"EMPTY.TXT", "ORDERS.DBF"}));
        QCOMPARE(DriveNamespace::toDos(native("APPS/back\\slash.txt")), QString());
        const QStringList texts = DriveNamespace::driveTexts();
        QCOMPARE(texts.size(), 3);
        QVERIFY(texts.at(0).startsWith(QStringLiteral("c: [")));
        QCOMPARE(texts.mid(1), QStringList({"f: [FS1/SYS]", "g: [FS2/DATA]"}));
        QVERIFY(DriveNamespace::isAvailable(QLatin1Char('F'))
                && !DriveNamespace::isAvailable(QLatin1Char('g')));
    }
    void fileExists_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("exists");
        QTest::newRow("empty file") << "F:\\APPS\\EMPTY.TXT" << true;
        QTest::newRow("other case") << "f:\\apps\\orders.dbf" << true;
        QTest::newRow("folder") << "F:\\APPS" << false;
        QTest::newRow("trailing backslash") << "F:\\APPS\\ORDERS.DBF\\" << false;
        QTest::newRow("malformed") << "F:APPS\\ORDERS.DBF" << false;
        QTest::newRow("unavailable drive") << "G:\\X" << false;
        QTest::newRow("unmapped drive") << "Q:\\X" << false;
        QTest::newRow("empty") << "" << false;
    }
    void fileExists()
    {
        QFETCH(QString, path);
        QTEST(FileExists(path), "exists");
    }
    void patterns_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("matches");
        QTest::newRow("*.* takes a name without a dot") << "*.*" << true << "README" << true;
        QTest::newRow("spaces around, several dots") << " *.* " << true << "a.tar.gz" << true;
        QTest::newRow("case ignored") << "*.txt" << true << "NOTES.TXT" << true;
        QTest::newRow("extension must end the name") << "*.txt" << true << "notes.txt.bak" << false;
        QTest::newRow("second element") << "*.TXT;*.doc" << true << "Letter.DOC" << true;
        QTest::newRow("? is not zero characters") << "a?c" << true << "ac" << false;
        QTest::newRow("*. refuses an extension") << "*." << true << "read.me" << false;
        QTest::newRow("name.* takes the bare name") << "orders.*" << true << "ORDERS" << true;
        QTest::newRow("regex characters are literal") << "a+(b).*" << true << "a+(b).txt" << true;
        QTest::newRow("blank") << "   " << false << "" << false;
        QTest::newRow("trailing semicolon skipped") << "*.txt;" << true << "a.txt" << true;
        QTest::newRow("empty element skipped") << "*.txt; ;*.doc" << true << "b.doc" << true;
        QTest::newRow("only semicolons") << " ; ;" << false << "a.txt" << false;
        QTest::newRow("backslash") << "apps\\*.*" << false << "x" << false;
        QTest::newRow("bar") << "*.txt|*.doc" << false << "a.txt" << false;
        QTest::newRow("control character") << "*.t\tt" << false << "a.txt" << false;
        QTest::newRow("space inside a name") << "my *.txt" << true << "my notes.txt" << true;
    }
    void patterns()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, name);
        QTEST(FilePattern::isValid(pattern), "valid");
        QTEST(FilePattern(pattern).matches(name), "matches");
    }

private:
    void setDrives()
    {
        DriveNamespace::setNetworkDrives({
            {'F', "FS1", "SYS", m_vol.path()},
            {'g', "FS2", "DATA", m_vol.filePath("gone")},
            {'C', "FS3", "VOL", m_vol.path()}, // c: stays local
            {'F', "FS9", "DUP", "/"}, // letter taken
        });
    }
    QString native(const QString &rel) const { return m_vol.filePath(rel); }
    QTemporaryDir m_vol;
};

QTEST_GUILESS_MAIN(TestNamespace)
#include "tst_browser_namespace.moc"
