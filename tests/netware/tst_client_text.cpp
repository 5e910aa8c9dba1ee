// Text to and from the client in its code page, Windows-1252.
#include "netware/client_text.h"

#include <QtTest>

#include <cstring>

class TestClientText : public QObject
{
    Q_OBJECT
private slots:
    void encode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("encodes");
        QTest::newRow("ASCII") << "SYS:APPS\\A.DBF" << QByteArray("SYS:APPS\\A.DBF") << true;
        QTest::newRow("Latin-1 range")
            << "\u00C4\u00FF\u00B5" << QByteArray("\xC4\xFF\xB5") << true;
        QTest::newRow("euro and S caron from 0x80..0x9F")
            << "\u20AC\u0160\u0178" << QByteArray("\x80\x8A\x9F") << true;
        QTest::newRow("unassigned byte kept as its C1 control")
            << QString(QChar(0x81)) << QByteArray("\x81") << true;
        QTest::newRow("C1 control the page uses for another character")
            << QString(QChar(0x80)) << QByteArray() << false;
        QTest::newRow("no-break space, just past 0x80..0x9F") << "A\u00A0B"
                                                              << QByteArray("A\xA0"
                                                                            "B")
                                                              << true;
        QTest::newRow("first character past the Latin-1 range")
            << "A\u0100" << QByteArray() << false;
        QTest::newRow("Greek capital sigma") << "A\u03A3.TXT" << QByteArray() << false;
    }
    void encode()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, encodes);
        const auto got = ClientText::encode(text);
        QCOMPARE(got.has_value(), encodes);
        QCOMPARE(ClientText::canEncode(text), encodes);
        if (encodes) {
            QCOMPARE(*got, bytes);
            QCOMPARE(ClientText::decode(bytes), text);
        }
    }

    void encodeIntoBuffer_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("size");
        QTest::addColumn<QByteArray>("written");
        const auto row = [](const char *name, const char *text, int size, const char *written) {
            QTest::newRow(name) << QString::fromUtf8(text) << size << QByteArray(written);
        };
        row("fits", "SYS:A", 8, "SYS:A");
        row("exactly fits with its NUL", "€AB", 4, "\200AB");
        row("cut to fit", "SYS:APPS", 4, "SYS");
        row("no place for a character before the cut", "AΣB", 8, "");
        row("no place for a character after the cut", "ABCΣ", 3, "");
    }
    void encodeIntoBuffer()
    {
        QFETCH(QString, text);
        QFETCH(int, size);
        QFETCH(QByteArray, written);
        char buffer[9];
        std::memset(buffer, 'x', sizeof buffer);
        const auto n = ClientText::encodeInto(text, buffer, std::size_t(size));
        QCOMPARE(n.has_value(), !written.isEmpty());
        QCOMPARE(QByteArray(buffer), written); // always terminated
        QCOMPARE(buffer[size], 'x'); // never past the buffer
        if (n)
            QCOMPARE(qsizetype(*n), written.size());
    }

    void decodeCutsAtFirstNul()
    {
        const char buffer[6] = {'\x80', 'B', '\0', 'C', '\0', 'D'};
        QCOMPARE(ClientText::decode(buffer, sizeof buffer), QString("\u20ACB"));
        const char full[2] = {'\x9F', '\xFF'}; // no NUL: never read past the end
        QCOMPARE(ClientText::decode(full, sizeof full), QString("\u0178\u00FF"));
    }

    void upperStaysInPage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("upper");
        const auto row = [](const char *name, const char *text, const char *upper) {
            QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(upper);
        };
        row("ASCII", "jsmith", "JSMITH");
        row("y diaeresis to 0x9F", "\u00FFves", "\u0178VES");
        row("micro sign has no upper case in the page", "\u00B5m", "\u00B5M");
        row("sharp s stays one character", "stra\u00DFe", "STRA\u00DFE");
        row("s caron and oe", "\u0161\u0153", "\u0160\u0152");
    }
    void upperStaysInPage()
    {
        QFETCH(QString, text);
        QTEST(ClientText::upper(text), "upper");
        QVERIFY(ClientText::canEncode(ClientText::upper(text)));
    }
};

QTEST_GUILESS_MAIN(TestClientText)
#include "tst_client_text.moc"
