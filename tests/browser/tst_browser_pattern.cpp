// Which patterns the file list takes, and which names they match.
#include "browser/file_pattern.h"

#include <QtTest>

class TestPattern : public QObject
{
    Q_OBJECT
private slots:
    void validity_data();
    void validity();
    void matching_data();
    void matching();
};

void TestPattern::validity_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("valid");
    QTest::newRow("all files") << "*.*" << true;
    QTest::newRow("spaces around") << " *.* " << true;
    QTest::newRow("question marks") << "a?c.*" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("blank") << "   " << false;
    QTest::newRow("trailing semicolon") << "*.txt;" << false;
    QTest::newRow("leading semicolon") << ";*.txt" << false;
    QTest::newRow("empty element between") << "*.txt; ;*.doc" << false;
    QTest::newRow("backslash") << "apps\\*.*" << false;
    QTest::newRow("slash") << "apps/*.*" << false;
    QTest::newRow("colon") << "f:*.*" << false;
    QTest::newRow("quote") << "\"*.*\"" << false;
    QTest::newRow("bar") << "*.txt|*.doc" << false;
    QTest::newRow("tab") << "*.\t" << false;
}

void TestPattern::validity()
{
    QFETCH(QString, pattern);
    QFETCH(bool, valid);
    QCOMPARE(FilePattern::isValid(pattern), valid);
}

void TestPattern::matching_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("matches");
    QTest::newRow("*.* takes a name without a dot") << "*.*" << "README" << true;
    QTest::newRow("*.* takes several dots") << "*.*" << "a.tar.gz" << true;
    QTest::newRow("case ignored") << "*.txt" << "NOTES.TXT" << true;
    QTest::newRow("extension must end the name") << "*.txt" << "notes.txt.bak" << false;
    QTest::newRow("second element") << "*.TXT;*.doc" << "Letter.DOC" << true;
    QTest::newRow("no element fits") << "*.txt;*.doc" << "sheet.xls" << false;
    QTest::newRow("? is not zero characters") << "a?c" << "ac" << false;
    QTest::newRow("*. wants no extension") << "*." << "README" << true;
    QTest::newRow("*. refuses an extension") << "*." << "read.me" << false;
    QTest::newRow("name.* takes the bare name") << "orders.*" << "ORDERS" << true;
    QTest::newRow("spaces around element ignored") << " *.txt " << "a.txt" << true;
    QTest::newRow("regex characters are literal") << "a+(b).*" << "a+(b).txt" << true;
    QTest::newRow("refused pattern matches nothing") << "a/b" << "a/b" << false;
}

void TestPattern::matching()
{
    QFETCH(QString, pattern);
    QFETCH(QString, name);
    QFETCH(bool, matches);
    QCOMPARE(FilePattern(pattern).matches(name), matches);
}

QTEST_GUILESS_MAIN(TestPattern)
#include "tst_browser_pattern.moc"
