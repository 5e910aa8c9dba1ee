// Drive letters over the local file system and mapped volumes, and the
// file-existence test built on them.
#include "browser/file_exists.h"
#include "platform/drive_namespace.h"

#include <QtTest>

class TestNamespace : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void normalize_data();
    void normalize();
    void roundTrip_data();
    void roundTrip();
    void namesDifferingInCase();
    void unshowableNames();
    void drives();
    void fileExists_data();
    void fileExists();

private:
    QString native(const QString &rel) const { return m_vol.filePath(rel); }
    void write(const QString &rel, const QByteArray &data = {})
    {
        QFile f(native(rel));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    QTemporaryDir m_vol;
};

void TestNamespace::initTestCase()
{
    QVERIFY(m_vol.isValid());
    QVERIFY(QDir(m_vol.path()).mkpath(QStringLiteral("APPS/Data")));
    write(QStringLiteral("APPS/ORDERS.DBF"), "x");
    write(QStringLiteral("APPS/EMPTY.TXT"));
    write(QStringLiteral("APPS/back\\slash.txt"));
    write(QStringLiteral("APPS/.hidden"));
    DriveNamespace::setNetworkDrives({
        {'F', QStringLiteral("FS1"), QStringLiteral("SYS"), m_vol.path()},
        {'g', QStringLiteral("FS2"), QStringLiteral("DATA"), m_vol.filePath(QStringLiteral("gone"))},
        {'C', QStringLiteral("FS3"), QStringLiteral("VOL"), m_vol.path()},   // c: stays local
        {'F', QStringLiteral("FS9"), QStringLiteral("DUP"), QStringLiteral("/")}, // letter taken
    });
}

void TestNamespace::normalize_data()
{
    QTest::addColumn<QString>("dos");
    QTest::addColumn<QString>("normal");
    QTest::newRow("bare drive is its root") << "f:" << "F:\\";
    QTest::newRow("trailing backslash dropped") << "F:\\APPS\\" << "F:\\APPS";
    QTest::newRow("slashes and doubled separators") << "f:/APPS\\\\Data" << "F:\\APPS\\Data";
    QTest::newRow("dot and dot-dot") << "F:\\APPS\\.\\Data\\..\\X" << "F:\\APPS\\X";
    QTest::newRow("above the root") << "F:\\.." << "";
    QTest::newRow("drive-relative") << "F:APPS" << "";
    QTest::newRow("UNC") << "\\\\FS1\\SYS" << "";
    QTest::newRow("digit for a letter") << "1:\\APPS" << "";
    QTest::newRow("empty") << "" << "";
}

void TestNamespace::normalize()
{
    QFETCH(QString, dos);
    QFETCH(QString, normal);
    QCOMPARE(DriveNamespace::normalize(dos), normal);
}

void TestNamespace::roundTrip_data()
{
    QTest::addColumn<QString>("dos");
    QTest::addColumn<QString>("nativePath");
    QTest::newRow("volume root") << "F:\\" << m_vol.path();
    QTest::newRow("folder") << "F:\\APPS\\Data" << native("APPS/Data");
    QTest::newRow("file") << "F:\\APPS\\ORDERS.DBF" << native("APPS/ORDERS.DBF");
    QTest::newRow("local root") << "C:\\" << "/";
    QTest::newRow("local folder") << "C:\\usr\\lib" << "/usr/lib";
}

void TestNamespace::roundTrip()
{
    QFETCH(QString, dos);
    QFETCH(QString, nativePath);
    QCOMPARE(DriveNamespace::toNative(dos), nativePath);
    QCOMPARE(DriveNamespace::toDos(nativePath), dos);
}

void TestNamespace::namesDifferingInCase()
{
    // Volumes are case-insensitive: a path typed in another case finds the file.
    QCOMPARE(DriveNamespace::toNative(QStringLiteral("f:\\apps\\orders.dbf")),
             native("APPS/ORDERS.DBF"));
    QCOMPARE(DriveNamespace::canonical(QStringLiteral("f:\\apps\\data")),
             QStringLiteral("F:\\APPS\\Data"));
    // The local spelling of a mapped folder keeps its own drive.
    const QString onC = QStringLiteral("C:") + QString(m_vol.path()).replace('/', '\\');
    QCOMPARE(DriveNamespace::canonical(onC + QStringLiteral("\\apps")),
             onC + QStringLiteral("\\APPS"));
    QCOMPARE(DriveNamespace::toDos(native("APPS")), QStringLiteral("F:\\APPS"));
}

void TestNamespace::unshowableNames()
{
    QCOMPARE(DriveNamespace::files(QStringLiteral("F:\\APPS")),
             QStringList({QStringLiteral("EMPTY.TXT"), QStringLiteral("ORDERS.DBF")}));
    QCOMPARE(DriveNamespace::subfolders(QStringLiteral("F:\\APPS")),
             QStringList(QStringLiteral("Data")));
    QCOMPARE(DriveNamespace::toDos(native("APPS/back\\slash.txt")), QString());
    QCOMPARE(DriveNamespace::toDos(QStringLiteral("relative/path")), QString());
}

void TestNamespace::drives()
{
    const QStringList texts = DriveNamespace::driveTexts();
    QCOMPARE(texts.size(), 3);
    QVERIFY(texts.at(0).startsWith(QStringLiteral("c: [")));
    QCOMPARE(texts.at(1), QStringLiteral("f: [FS1/SYS]"));
    QCOMPARE(texts.at(2), QStringLiteral("g: [FS2/DATA]"));
    QVERIFY(DriveNamespace::isAvailable(QLatin1Char('c')));
    QVERIFY(DriveNamespace::isAvailable(QLatin1Char('F')));
    QVERIFY(!DriveNamespace::isAvailable(QLatin1Char('g')));
    QVERIFY(!DriveNamespace::isAvailable(QLatin1Char('q')));
    QVERIFY(!DriveNamespace::isFolder(QStringLiteral("G:\\")));
}

void TestNamespace::fileExists_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("exists");
    QTest::newRow("file") << "F:\\APPS\\ORDERS.DBF" << true;
    QTest::newRow("empty file") << "F:\\APPS\\EMPTY.TXT" << true;
    QTest::newRow("folder") << "F:\\APPS" << false;
    QTest::newRow("missing") << "F:\\APPS\\NONE.TXT" << false;
    QTest::newRow("trailing backslash") << "F:\\APPS\\ORDERS.DBF\\" << false;
    QTest::newRow("malformed") << "F:APPS\\ORDERS.DBF" << false;
    QTest::newRow("unmapped drive") << "Q:\\APPS\\ORDERS.DBF" << false;
    QTest::newRow("unavailable drive") << "G:\\X" << false;
    QTest::newRow("empty") << "" << false;
}

void TestNamespace::fileExists()
{
    QFETCH(QString, path);
    QFETCH(bool, exists);
    QCOMPARE(FileExists(path), exists);
}

QTEST_GUILESS_MAIN(TestNamespace)
#include "tst_browser_namespace.moc"
