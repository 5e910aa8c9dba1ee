// The lean JSON reader: whatever it takes, QJsonDocument reads alike; what it
// refuses goes to QJsonDocument, so a description loads the same either way.
#include "json_compare.h"
#include "netsim_test_util.h"
#include "netware/json_reader.h"
#include "netware/netsim_network.h"

#include <QtTest>

using namespace netsim;

namespace {

QByteArray nested(int depth)
{
    return "{\"a\":" + QByteArray(depth - 1, '[') + QByteArray(depth - 1, ']') + "}";
}

} // namespace

class TestJsonReader : public QObject
{
    Q_OBJECT
private slots:
    void readsAsQt_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("taken");
        QTest::newRow("nested values")
            << QByteArray("{\"a\":[1,-2.5e3,true,false,null,{\"b\":\"c\"},[]],\"d\":{}}") << true;
        QTest::newRow("escapes") << QByteArray(
            "{\"s\":\"q\\\"b\\\\s\\/f\\bn\\nr\\rt\\tu\\u00e9\\u00a3\\u20AC\\u0000end\"}")
                                 << true;
        QTest::newRow("surrogate pair") << QByteArray("{\"s\":\"x\\ud83d\\uDE00y\"}") << true;
        QTest::newRow("UTF-8 of 2, 3 and 4 bytes, a noncharacter")
            << QByteArray("{\"s\":\"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\xef\xbf\xbf\"}") << true;
        QTest::newRow("U+FEFF inside a text")
            << QByteArray("{\"a\":\"x\xef\xbb\xbf\",\"b\":\"\\ufeff\"}") << true;
        QTest::newRow("empty name and text") << QByteArray("{\"\":\"\",\"e\":[\"\"]}") << true;
        QTest::newRow("last of equal names counts")
            << QByteArray("{\"a\":1,\"b\":0,\"a\":{\"x\":2,\"x\":3}}") << true;
        QTest::newRow("escaped names")
            << QByteArray("{\"n\\u0061me\":1,\"name\":2,\"\\\"\":3}") << true;
        QTest::newRow("numbers") << QByteArray(
            "{\"n\":[0,-0,1e2,1E-2,2.5E+3,123456789012345678,9007199254740993,"
            "-9223372036854775808,18446744073709551617,1.7976931348623157e308]}")
                                 << true;
        QTest::newRow("white space") << QByteArray(" \t\r\n{ \"a\" :\n[ 1 , 2 ] }\r\n") << true;
        QTest::newRow("deep, within the limit") << nested(json::Document::kMaxDepth) << true;
        // QJsonDocument takes these; the lean reader leaves them to it.
        QTest::newRow("too deep") << nested(json::Document::kMaxDepth + 1) << false;
        QTest::newRow("fraction without digits") << QByteArray("{\"a\":1.}") << false;
        QTest::newRow("no digit before the point") << QByteArray("{\"a\":.5}") << false;
        QTest::newRow("unknown escape") << QByteArray("{\"a\":\"\\x\"}") << false;
        QTest::newRow("no hex digit in an escape") << QByteArray("{\"a\":\"\\u00g0\"}") << false;
        QTest::newRow("raw control character") << QByteArray("{\"a\":\"\x01\"}") << false;
        QTest::newRow("lone surrogate") << QByteArray("{\"a\":\"\\ud800\"}") << false;
        QTest::newRow("lone low surrogate") << QByteArray("{\"a\":\"\\udc00\"}") << false;
        QTest::newRow("high surrogate, then no escape")
            << QByteArray("{\"a\":\"\\ud800xudc00\"}") << false;
        QTest::newRow("reversed surrogates") << QByteArray("{\"a\":\"\\udc00\\ud800\"}") << false;
        QTest::newRow("U+FEFF leading a text") << QByteArray("{\"a\":\"\xef\xbb\xbfx\"}") << false;
        QTest::newRow("byte-order mark") << QByteArray("\xef\xbb\xbf{\"a\":1}") << false;
        QTest::newRow("underflow") << QByteArray("{\"a\":1e-400}") << false;
        QTest::newRow("subnormal") << QByteArray("{\"a\":4.9e-324}") << false;
        // Both refuse these.
        QTest::newRow("top-level array") << QByteArray("[1]") << false;
        QTest::newRow("garbage after") << QByteArray("{\"a\":1}x") << false;
        QTest::newRow("leading zero") << QByteArray("{\"a\":01}") << false;
        QTest::newRow("minus alone") << QByteArray("{\"a\":-}") << false;
        QTest::newRow("exponent without digits") << QByteArray("{\"a\":1e}") << false;
        QTest::newRow("overflow") << QByteArray("{\"a\":1e999}") << false;
        QTest::newRow("trailing comma") << QByteArray("{\"a\":[1,]}") << false;
        QTest::newRow("cut short") << QByteArray("{\"a\":\"b") << false;
        QTest::newRow("overlong UTF-8") << QByteArray("{\"a\":\"\xc0\x80\"}") << false;
        QTest::newRow("overlong UTF-8 of 4 bytes")
            << QByteArray("{\"a\":\"\xf0\x8f\xbf\xbf\"}") << false;
        QTest::newRow("UTF-8 surrogate") << QByteArray("{\"a\":\"\xed\xa0\x80\"}") << false;
        QTest::newRow("past U+10FFFF") << QByteArray("{\"a\":\"\xf4\x90\x80\x80\"}") << false;
        QTest::newRow("missing comma") << QByteArray("{\"a\":1 \"b\":2}") << false;
        QTest::newRow("name without a value") << QByteArray("{\"a\":{\"b\"}") << false;
        QTest::newRow("cut inside a character") << QByteArray("{\"a\":\"\xe2\x82") << false;
        QTest::newRow("literal cut") << QByteArray("{\"a\":tru}") << false;
        QTest::newRow("literal misspelt") << QByteArray("{\"a\":trux}") << false;
        QTest::newRow("NUL after") << QByteArray("{\"a\":1}\0", 8) << false;
    }
    void readsAsQt()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, taken);
        json::Document lean;
        QCOMPARE(lean.parse(text), taken);
        if (!taken)
            return;
        QJsonParseError error;
        const QJsonDocument qt = QJsonDocument::fromJson(text, &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(jsoncompare::difference(lean.root(), qt.object()), QString());
    }

    // Descriptions load alike by both readers, accepted or refused, including
    // those the lean reader hands back.
    void loadsAsQt_data()
    {
        QTest::addColumn<QByteArray>("text");
        const QByteArray base = testnet::baseText();
        auto edited = [&](const char *from, const char *to) {
            QByteArray t = base;
            return t.replace(from, to);
        };
        QTest::newRow("test network") << base;
        QTest::newRow("escaped names and texts")
            << edited("\"JSMITH\"", "\"J\\u0053MITH\"")
                   .replace("\"messages\": []",
                            "\"messages\": [{\"from\": \"A\\u20AC\", \"text\": \"x\\ny\"}]");
        QTest::newRow("a name twice in an entry")
            << edited("\"task\": 1,", "\"task\": 9, \"task\": 1,");
        QTest::newRow("drive name outside the Basic Multilingual Plane")
            << edited("\"H\"", "\"\\ud83d\\ude00\"");
        QTest::newRow("drive names by case") << edited("\"H\"", "\"h\"");
        QTest::newRow("number Qt alone reads") << edited("\"task\": 1,", "\"task\": 1.,");
        QTest::newRow("broken") << base.left(base.size() / 2);
    }
    void loadsAsQt()
    {
        QFETCH(QByteArray, text);
        Network lean, qt;
        QString leanError, qtError;
        const bool leanOk = loadDescription(QByteArray(text), "/tmp", &lean, &leanError);
        QCOMPARE(parseDescription(text, "/tmp", &qt, &qtError), leanOk);
        QCOMPARE(leanError, qtError);
        qt.root = QJsonObject();
        QVERIFY(lean == qt);
    }
};

QTEST_GUILESS_MAIN(TestJsonReader)
#include "tst_json_reader.moc"
